#include "ui/controls/ZoneKeyClass.h"
#include "ui/controls/ControlAccess.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include "ui/controls/RavlinLookAndFeel.h"

using Look = RavlinLookAndFeel;

namespace
{
bool isBlack (int note)
{
    const auto k = note % 12;
    return k == 1 || k == 3 || k == 6 || k == 8 || k == 10;
}

void paintKeys (juce::Graphics& g, juce::Rectangle<float> area, int numKeys, int split)
{
    const auto keyWidth = area.getWidth() / (float)numKeys;
    for (int n = 0; n < numKeys; ++n)
    {
        const juce::Rectangle<float> key (area.getX() + keyWidth * (float)n, area.getY(), keyWidth, area.getHeight());
        const bool upper = n >= split;
        auto colour = juce::Colour (isBlack (n) ? Look::keyBlack : Look::keyWhite);
        if (upper)
            colour = colour.interpolatedWith (juce::Colour (0xff4070c0), 0.35f);
        else
            colour = colour.interpolatedWith (juce::Colour (Look::accent), 0.25f);
        g.setColour (colour);
        g.fillRect (key);
    }
    g.setColour (juce::Colours::red);
    const auto x = area.getX() + keyWidth * (float)split;
    g.fillRect (x - 1.0f, area.getY(), 2.0f, area.getHeight());
}
} // namespace

ZoneKeyClass::ZoneKeyClass()
{
    setTitle ("Split Point");
    ControlAccess::makeFocusable (*this);
}

bool ZoneKeyClass::keyPressed (const juce::KeyPress& key)
{
    return onOpen && ControlAccess::pressOnKey (key, onOpen);
}

std::unique_ptr<juce::AccessibilityHandler> ZoneKeyClass::createAccessibilityHandler()
{
    // Read out as its note; a press opens the split keyboard, where it is set.
    return ControlAccess::ranged (*this, juce::AccessibilityRole::button,
                                  {[this] { return split; }, nullptr,
                                   [this] { return juce::MidiMessage::getMidiNoteName (split, true, true, 3); }, 0,
                                   127},
                                  juce::AccessibilityActions().addAction (juce::AccessibilityActionType::press,
                                                                          [this]
                                                                          {
                                                                              if (onOpen)
                                                                                  onOpen();
                                                                          }));
}

void ZoneKeyClass::setSplit (int note)
{
    note = juce::jlimit (0, 127, note);
    if (note == split)
        return;
    split = note;
    repaint();
}

void ZoneKeyClass::paint (juce::Graphics& g)
{
    paintKeys (g, getLocalBounds().toFloat().reduced (0.0f, 2.0f), 128, split);
}

void ZoneKeyClass::mouseUp (const juce::MouseEvent& e)
{
    if (getLocalBounds().contains (e.getPosition()) && onOpen)
        onOpen();
}

//==============================================================================
ZoneKeyClassB::ZoneKeyClassB (int n) : numKeys (juce::jmax (1, n)) {}

void ZoneKeyClassB::setSplit (int note)
{
    note = juce::jlimit (0, numKeys - 1, note);
    if (note == split)
        return;
    split = note;
    repaint();
}

int ZoneKeyClassB::splitAt (int x) const noexcept
{
    return juce::jlimit (0, numKeys - 1, (int)((float)x / ((float)keyboardWidth / (float)numKeys)));
}

void ZoneKeyClassB::mouseDown (const juce::MouseEvent& e)
{
    setSplit (splitAt (e.x));
    if (onPress)
        onPress (split);
}

void ZoneKeyClassB::mouseDrag (const juce::MouseEvent& e)
{
    setSplit (splitAt (e.x));
    if (onDrag)
        onDrag (split);
}

void ZoneKeyClassB::mouseUp (const juce::MouseEvent&)
{
    if (onRelease)
        onRelease (split);
}

void ZoneKeyClassB::paint (juce::Graphics& g)
{
    paintKeys (g, getLocalBounds().toFloat().withWidth ((float)keyboardWidth), numKeys, split);
}
