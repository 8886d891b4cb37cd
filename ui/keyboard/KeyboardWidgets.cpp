#include "ui/keyboard/KeyboardWidgets.h"
#include "ui/controls/ControlAccess.h"

#include "core/MidiCntrState.h"
#include "ui/controls/RavlinLookAndFeel.h"

using Look = RavlinLookAndFeel;

WheelCnt::WheelCnt (MidiCntrState& h, bool isPitch) : hub (h), pitch (isPitch), value (isPitch ? 64 : 0)
{
    setTitle (pitch ? "Pitch Wheel" : "Mod Wheel");
    ControlAccess::makeFocusable (*this);
}

bool WheelCnt::keyPressed (const juce::KeyPress& key)
{
    return ControlAccess::stepOnKey (key, value, 0, 127, [this] (int v) { change (v); });
}

bool WheelCnt::keyStateChanged (bool isKeyDown)
{
    if (pitch && !isKeyDown && value != 64)
        change (64);
    return false;
}

std::unique_ptr<juce::AccessibilityHandler> WheelCnt::createAccessibilityHandler()
{
    return ControlAccess::ranged (*this, juce::AccessibilityRole::slider,
                                  {[this] { return value; }, [this] (int v) { change (v); },
                                   [this] { return juce::String (pitch ? value - 64 : value); }, 0, 127});
}

void WheelCnt::setValue (int v)
{
    v = juce::jlimit (0, 127, v);
    if (v == value)
        return;
    value = v;
    repaint();
}

void WheelCnt::setScale (float s)
{
    scale = s;
    repaint();
}

void WheelCnt::change (int v)
{
    v = juce::jlimit (0, 127, v);
    if (v == value)
        return;
    value = v;
    repaint();
    const auto channel = hub.midiChannel.load();
    if (pitch)
    {
        hub.pitchBendToInstrumentAndHost (channel, value * 128);
    }
    else
    {
        hub.controllerToHost (channel, 1, value);
        if (hub.getPorts().outputOpen)
            hub.getPorts().sendController (channel, 1, value);
    }
}

void WheelCnt::mouseDown (const juce::MouseEvent& e)
{
    pressY = e.y;
    pressValue = value;
}

void WheelCnt::mouseDrag (const juce::MouseEvent& e)
{
    change (pressValue + (pressY - e.y));
}

void WheelCnt::mouseUp (const juce::MouseEvent&)
{
    if (pitch)
        change (64);
}

void WheelCnt::mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails& wheel)
{
    if (wheel.deltaY != 0.0f)
        change (value + (((wheel.deltaY > 0.0f) != wheel.isReversed) ? 1 : -1));
}

void WheelCnt::paint (juce::Graphics& g)
{
    const auto area = getLocalBounds().toFloat().reduced (1.0f);
    g.setColour (juce::Colours::black);
    g.fillRoundedRectangle (area, 4.0f * scale);
    const auto wheel = area.reduced (3.0f * scale);
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff202024), wheel.getX(), wheel.getY(),
                                             juce::Colour (0xff202024), wheel.getX(), wheel.getBottom(), false));
    g.fillRoundedRectangle (wheel, 3.0f * scale);
    // Ridges that move with the value, and the lit marker.
    const auto travel = wheel.getHeight() - 8.0f * scale;
    const auto markerY = wheel.getBottom() - 4.0f * scale - travel * (float)value / 127.0f;
    g.setColour (juce::Colour (0xff3c3c44));
    for (int k = -6; k <= 6; ++k)
    {
        const auto y = markerY + (float)k * 9.0f * scale;
        if (y > wheel.getY() + 2.0f && y < wheel.getBottom() - 2.0f)
            g.fillRect (wheel.getX() + 2.0f, y, wheel.getWidth() - 4.0f, 1.5f * scale);
    }
    g.setColour (juce::Colour (Look::accent));
    g.fillRect (wheel.getX() + 2.0f, markerY - 2.0f * scale, wheel.getWidth() - 4.0f, 4.0f * scale);
    ControlAccess::drawFocus (g, *this);
}

//==============================================================================
VelIndClass::VelIndClass (MidiCntrState& h) : hub (h)
{
    setTitle ("Note Velocity");
    ControlAccess::makeFocusable (*this);
}

int VelIndClass::getVelocity() const
{
    return hub.noteVelocity.load();
}

void VelIndClass::setVelocity (int velocity)
{
    hub.noteVelocity = juce::jlimit (0, 127, velocity);
    repaint();
    if (auto* handler = getAccessibilityHandler())
        handler->notifyAccessibilityEvent (juce::AccessibilityEvent::valueChanged);
}

bool VelIndClass::keyPressed (const juce::KeyPress& key)
{
    return ControlAccess::stepOnKey (key, getVelocity(), 0, 127, [this] (int v) { setVelocity (v); });
}

std::unique_ptr<juce::AccessibilityHandler> VelIndClass::createAccessibilityHandler()
{
    return ControlAccess::ranged (*this, juce::AccessibilityRole::slider,
                                  {[this] { return getVelocity(); }, [this] (int v) { setVelocity (v); },
                                   [this] { return juce::String (getVelocity()); }, 0, 127});
}

void VelIndClass::setScale (float s)
{
    scale = s;
    repaint();
}

void VelIndClass::mouseDown (const juce::MouseEvent& e)
{
    dragging = (float)e.x < 40.0f * scale;
    mouseDrag (e);
}

void VelIndClass::mouseDrag (const juce::MouseEvent& e)
{
    if (!dragging)
        return;
    hub.noteVelocity = juce::jlimit (0, 127, 127 - (int)((float)e.y / scale));
    repaint (juce::Rectangle<float> (0.0f, 16.0f * scale, 60.0f * scale, 102.0f * scale).toNearestInt());
}

void VelIndClass::paint (juce::Graphics& g)
{
    const auto v = (float)getVelocity() / 127.0f;
    g.setColour (juce::Colour (Look::label));
    g.setFont (Look::font (10.0f * scale));
    g.drawText ("Note Velocity", 0, 0, getWidth(), (int)(14.0f * scale), juce::Justification::centredLeft);
    const juce::Rectangle<float> track (6.0f * scale, 18.0f * scale, 24.0f * scale, 98.0f * scale);
    g.setColour (juce::Colour (Look::box));
    g.fillRoundedRectangle (track, 3.0f * scale);
    g.setColour (juce::Colour (Look::accent));
    g.fillRoundedRectangle (track.withTrimmedTop (track.getHeight() * (1.0f - v)), 3.0f * scale);
    g.setColour (juce::Colours::white);
    g.setFont (Look::font (11.0f * scale));
    g.drawText (juce::String (getVelocity()), (int)(32.0f * scale), (int)(18.0f * scale), (int)(28.0f * scale),
                (int)(14.0f * scale), juce::Justification::centredLeft);
    ControlAccess::drawFocus (g, *this);
}

//==============================================================================
OctaveKeyClass::OctaveKeyClass (MidiCntrState& h) : hub (h)
{
    setTitle ("Keyboard Octave");
    ControlAccess::makeFocusable (*this);
    position = hub.keyboardOctave.load() * 12;
}

void OctaveKeyClass::setScale (float s)
{
    scale = s;
    repaint();
}

void OctaveKeyClass::choose (int newPosition)
{
    position = juce::jlimit (0, (numOctaves - 1) * 12, newPosition);
    hub.keyboardOctave = position / 12;
    repaint();
    if (auto* handler = getAccessibilityHandler())
        handler->notifyAccessibilityEvent (juce::AccessibilityEvent::valueChanged);
}

bool OctaveKeyClass::keyPressed (const juce::KeyPress& key)
{
    return ControlAccess::stepOnKey (key, position / 12, 0, numOctaves - 1, [this] (int v) { choose (v * 12); });
}

std::unique_ptr<juce::AccessibilityHandler> OctaveKeyClass::createAccessibilityHandler()
{
    return ControlAccess::ranged (*this, juce::AccessibilityRole::slider,
                                  {[this] { return position / 12; }, [this] (int o) { choose (o * 12); },
                                   [this] { return "Octave " + juce::String (position / 12); }, 0, numOctaves - 1});
}

void OctaveKeyClass::mouseDown (const juce::MouseEvent& e)
{
    if (e.x < 0 || e.x >= getWidth())
        return;
    const auto cell = (float)getWidth() / (float)numOctaves;
    choose ((int)((float)e.x / cell) * 12);
}

void OctaveKeyClass::paint (juce::Graphics& g)
{
    const auto cell = (float)getWidth() / (float)numOctaves;
    g.setFont (Look::font (10.0f * scale));
    for (int o = 0; o < numOctaves; ++o)
    {
        const juce::Rectangle<float> r ((float)o * cell, 0.0f, cell - 1.0f, (float)getHeight());
        const bool chosen = o == position / 12;
        g.setColour (juce::Colour (chosen ? Look::accent : Look::box));
        g.fillRoundedRectangle (r, 2.0f);
        g.setColour (chosen ? juce::Colours::black : juce::Colour (Look::label));
        g.drawText ("C" + juce::String (o), r, juce::Justification::centred, false);
    }
    ControlAccess::drawFocus (g, *this);
}
