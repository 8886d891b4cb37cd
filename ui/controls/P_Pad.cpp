#include "ui/controls/P_Pad.h"
#include "ui/controls/ControlAccess.h"

#include "core/MidiCntrState.h"
#include "ui/controls/RavlinLookAndFeel.h"

using Look = RavlinLookAndFeel;

P_Pad::P_Pad (CableListener& p, MidiCntrState& h) : processor (p), hub (h)
{
    setTitle ("Pressure Pad");
    ControlAccess::makeFocusable (*this);
}

bool P_Pad::keyPressed (const juce::KeyPress& key)
{
    const auto code = key.getKeyCode();
    const auto step = key.getModifiers().isShiftDown() ? 10 : 1;
    if (code == juce::KeyPress::leftKey || code == juce::KeyPress::rightKey)
        set (first + (code == juce::KeyPress::rightKey ? step : -step), second);
    else if (code == juce::KeyPress::upKey || code == juce::KeyPress::downKey)
        set (first, second + (code == juce::KeyPress::upKey ? step : -step));
    else
        return false;
    return true;
}

bool P_Pad::keyStateChanged (bool isKeyDown)
{
    if (!isKeyDown)
        release();
    return false;
}

std::unique_ptr<juce::AccessibilityHandler> P_Pad::createAccessibilityHandler()
{
    // A screen reader sets the horizontal value; the keys move both.
    return ControlAccess::ranged (*this, juce::AccessibilityRole::slider,
                                  {[this] { return first; }, [this] (int v) { set (v, second); },
                                   [this] { return juce::String (first) + ", " + juce::String (second); }, 0, 127});
}

void P_Pad::setScale (float s)
{
    scale = s;
    repaint();
}

void P_Pad::set (int newFirst, int newSecond)
{
    newFirst = juce::jlimit (0, 127, newFirst);
    newSecond = juce::jlimit (0, 127, newSecond);
    if (newFirst != first)
        processor.cableChanged (1025, first = newFirst, false, true, true);
    if (newSecond != second)
        processor.cableChanged (1026, second = newSecond, false, true, true);
    repaint();
}

void P_Pad::mouseDrag (const juce::MouseEvent& e)
{
    const auto w = juce::jmax (1, getWidth()), h = juce::jmax (1, getHeight());
    set (e.x * 127 / w, (h - e.y) * 127 / h);
}

void P_Pad::mouseUp (const juce::MouseEvent&)
{
    release();
}

void P_Pad::release()
{
    set (hub.latches[0] != 0 ? first : 0, hub.latches[1] != 0 ? second : 0);
}

void P_Pad::paint (juce::Graphics& g)
{
    const auto area = getLocalBounds().toFloat();
    g.setColour (juce::Colour (Look::box));
    g.fillRoundedRectangle (area, 5.0f * scale);
    g.setColour (juce::Colour (Look::boxFrame));
    g.drawRoundedRectangle (area.reduced (0.5f), 5.0f * scale, 1.0f);
    const juce::Point<float> p (area.getWidth() * (float)first / 127.0f,
                                area.getHeight() * (1.0f - (float)second / 127.0f));
    const auto r = 6.0f * scale;
    g.setColour (juce::Colour (Look::accent).withAlpha (first + second > 0 ? 1.0f : 0.4f));
    g.fillEllipse (p.x - r, p.y - r, 2.0f * r, 2.0f * r);
    ControlAccess::drawFocus (g, *this);
}
