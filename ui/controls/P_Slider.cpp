#include "ui/controls/P_Slider.h"
#include "ui/controls/ControlAccess.h"

#include "core/MidiCntrState.h"
#include "ui/controls/RavlinLookAndFeel.h"

using Look = RavlinLookAndFeel;

P_Slider::P_Slider (CableListener& p, int parameter) : processor (p), positionParameter (parameter)
{
    setTitle (parameter == 1025 ? "Slider 1" : "Slider 2");
    ControlAccess::makeFocusable (*this);
}

bool P_Slider::keyPressed (const juce::KeyPress& key)
{
    const auto code = key.getKeyCode();
    if (code == juce::KeyPress::leftKey || code == juce::KeyPress::rightKey)
    {
        change (position, pressure + (code == juce::KeyPress::rightKey ? 1 : -1));
        return true;
    }
    if (const auto next = ControlAccess::steppedValue (key, position, 0, 127))
    {
        change (*next, pressure);
        return true;
    }
    return false;
}

std::unique_ptr<juce::AccessibilityHandler> P_Slider::createAccessibilityHandler()
{
    return ControlAccess::ranged (*this, juce::AccessibilityRole::slider,
                                  {[this] { return position; }, [this] (int v) { change (v, pressure); },
                                   [this] { return juce::String (position) + ", pressure " + juce::String (pressure); },
                                   0, 127});
}

void P_Slider::change (int newPosition, int newPressure)
{
    newPosition = juce::jlimit (0, 127, newPosition);
    newPressure = juce::jlimit (0, 127, newPressure);
    if (newPosition != position)
    {
        position = newPosition;
        processor.cableChanged (positionParameter, position, false, true, true);
    }
    if (newPressure != pressure)
    {
        pressure = newPressure;
        processor.cableChanged (1027, pressure, false, true, true);
    }
    repaint();
}

void P_Slider::setScale (float s)
{
    scale = s;
    repaint();
}

void P_Slider::setValues (int newPosition, int newPressure)
{
    position = juce::jlimit (0, 127, newPosition);
    pressure = juce::jlimit (0, 127, newPressure);
    repaint();
}

void P_Slider::mouseDrag (const juce::MouseEvent& e)
{
    const auto y = (float)e.y / scale;
    const auto newPosition = y >= 128.0f ? 0 : e.y < 0 ? 127 : juce::jlimit (0, 127, (int)(127.0f - y));
    const auto newPressure = juce::jlimit (0, 127, (int)((float)e.x / scale - 36.0f));
    change (newPosition, newPressure);
}

void P_Slider::paint (juce::Graphics& g)
{
    const auto area = getLocalBounds().toFloat();
    g.setColour (juce::Colour (Look::box));
    g.fillRoundedRectangle (area, 4.0f * scale);
    g.setColour (juce::Colour (Look::boxFrame));
    g.drawRoundedRectangle (area.reduced (0.5f), 4.0f * scale, 1.0f);
    // The lit column up to the position, brighter with pressure.
    const auto lit = area.reduced (4.0f * scale)
                         .withTrimmedTop ((1.0f - (float)position / 127.0f) * (area.getHeight() - 8.0f * scale));
    g.setColour (juce::Colour (Look::accent).withAlpha (0.35f + 0.65f * (float)pressure / 127.0f));
    g.fillRoundedRectangle (lit, 2.0f * scale);
    ControlAccess::drawFocus (g, *this);
}
