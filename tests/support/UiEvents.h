#pragma once

// Synthesised mouse events and component snapshots for the editor's tests.
#include <juce_gui_basics/juce_gui_basics.h>

namespace ravlin::test
{
inline juce::MouseEvent mouseAt (juce::Component& c, int x, int y, bool right = false, int clicks = 1)
{
    const juce::Point<float> p ((float)x, (float)y);
    const auto now = juce::Time::getCurrentTime();
    return juce::MouseEvent (
        juce::Desktop::getInstance().getMainMouseSource(), p,
        juce::ModifierKeys (right ? juce::ModifierKeys::rightButtonModifier : juce::ModifierKeys::leftButtonModifier),
        1.0f, 0.0f, 0.0f, 0.0f, 0.0f, &c, &c, now, p, now, clicks, false);
}

inline void click (juce::Component& c, int x, int y, bool right = false)
{
    c.mouseDown (mouseAt (c, x, y, right));
    c.mouseUp (mouseAt (c, x, y, right));
}

#ifdef RAVLIN_SCREENSHOT_DIR
/** The component as it paints, as build/screenshots/<name>.png. */
inline juce::File saveSnapshot (juce::Component& c, const juce::String& name)
{
    const auto folder = juce::File (RAVLIN_SCREENSHOT_DIR);
    folder.createDirectory();
    const auto file = folder.getChildFile (name + ".png");
    file.deleteFile();
    juce::FileOutputStream out (file);
    juce::PNGImageFormat().writeImageToStream (c.createComponentSnapshot (c.getLocalBounds()), out);
    return file;
}
#endif
} // namespace ravlin::test
