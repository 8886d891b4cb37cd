#include "ui/controls/StsCont.h"

#include "core/MidiCntrState.h"
#include "instrument/ParDes.h"
#include "ui/controls/ControlAccess.h"
#include "ui/controls/RavlinLookAndFeel.h"
#include "ui/controls/ValueMenus.h"

using Look = RavlinLookAndFeel;

StsCont::StsCont (CableListener& p, int l) : processor (p), layer (l)
{
    ControlAccess::makeFocusable (*this);
}

StsCont::~StsCont() = default;

void StsCont::setup (int parameterNumber, const juce::String& labelText, int x, int y, int w, int h, int lowest,
                     int highest, int controlKind, int valueKind)
{
    parameter = parameterNumber;
    label = labelText;
    minimum = lowest;
    maximum = juce::jmax (lowest, highest);
    kind = controlKind;
    displayKind = valueKind;
    unscaled = {x, y - 16, w, h};
    frame = frameFor (shown, minimum, maximum);
    setTitle (fullName());
    place();
}

int StsCont::frameFor (int value, int lowest, int highest)
{
    const auto range = highest - lowest;
    if (range <= 0)
        return 0;
    const auto f = (300.0 - (double)(range + lowest - value) * (300.0 / range)) / 5.0;
    return juce::jlimit (0, 60, juce::roundToInt (f));
}

void StsCont::showValue (int value, const juce::String& newText)
{
    const auto v = juce::jlimit (minimum, maximum, value);
    if (v == shown)
        return;
    shown = v;
    frame = frameFor (v, minimum, maximum);
    text = newText;
    repaint();
    if (auto* handler = getAccessibilityHandler())
        handler->notifyAccessibilityEvent (juce::AccessibilityEvent::valueChanged);
}

void StsCont::previewText (const juce::String& newText)
{
    text = newText;
    repaint();
}

void StsCont::userValue (int value, bool endNow)
{
    const auto v = juce::jlimit (minimum, maximum, value);
    pending = v;
    if (v != shown)
        processor.cableChanged (getAddress(), v, endNow, true, true);
}

juce::String StsCont::fullName() const
{
    return (layer == 0 ? "A " : "B ") + (label.isNotEmpty() ? label : juce::String ("Split Point"));
}

juce::String StsCont::getTooltip()
{
    return fullName() + ": " + text;
}

bool StsCont::keyPressed (const juce::KeyPress& key)
{
    const bool isSwitch = kind == 1 || kind == 101;
    if (ControlAccess::isPressKey (key) && (isSwitch || kind == 0))
    {
        if (isSwitch)
            userValue (shown == 0 ? 1 : 0, true);
        else
            openMenu();
        return true;
    }
    if (isSwitch)
        return false;
    if (const auto next = ControlAccess::steppedValue (key, shown, minimum, maximum))
    {
        userValue (*next, false);
        return true;
    }
    return false;
}

std::unique_ptr<juce::AccessibilityHandler> StsCont::createAccessibilityHandler()
{
    if (kind == 1 || kind == 101)
        return ControlAccess::toggle (
            *this, [this] { return shown != 0; }, [this] { userValue (shown == 0 ? 1 : 0, true); });

    ControlAccess::Ranged access{[this] { return shown; }, [this] (int v) { userValue (v, true); },
                                 [this] { return text; }, minimum, maximum};
    if (kind == 0)
        return ControlAccess::ranged (*this, juce::AccessibilityRole::comboBox, std::move (access),
                                      juce::AccessibilityActions()
                                          .addAction (juce::AccessibilityActionType::showMenu, [this] { openMenu(); })
                                          .addAction (juce::AccessibilityActionType::press, [this] { openMenu(); }));
    return ControlAccess::ranged (*this, juce::AccessibilityRole::slider, std::move (access));
}

void StsCont::setScale (float newScale)
{
    scale = newScale;
    place();
}

void StsCont::moveTo (int x, int y)
{
    unscaled.setPosition (x, y - 16);
    place();
}

void StsCont::setGridOrigin (juce::Point<float> scaledOrigin)
{
    origin = scaledOrigin;
    place();
}

void StsCont::place()
{
    // Scaled and rounded on the section's grid: neighbours meet exactly and a control inside its
    // section stays inside it, whatever the scale.
    const auto onGrid = (unscaled.toFloat() * scale + origin).toNearestIntEdges();
    setBounds (onGrid - origin.roundToInt());
}

void StsCont::addListener (StsContListener* l)
{
    const juce::ScopedLock sl (listenerLock);
    listeners.addIfNotAlreadyThere (l);
}

void StsCont::removeListener (StsContListener* l)
{
    const juce::ScopedLock sl (listenerLock);
    listeners.removeAllInstancesOf (l);
}

void StsCont::notifyZoom()
{
    juce::Array<StsContListener*> toCall;
    {
        const juce::ScopedLock sl (listenerLock);
        toCall = listeners;
    }
    for (auto* l : toCall)
        l->zoomRequested (*this);
}

//==============================================================================
void StsCont::mouseDown (const juce::MouseEvent& e)
{
    dragging = false;
    pressInTopBand = false;
    if (e.mods.isRightButtonDown() || (scale < editThreshold && !anyScale))
    {
        notifyZoom();
        return;
    }
    dragStart = e.getPosition();
    dragStartValue = shown;
    const auto x = (float)e.x;
    switch (kind)
    {
        case 0: pressInTopBand = (float)e.y < 18.0f * scale; break;
        case 1:
            if (x < 25.0f * scale)
                userValue (shown == 0 ? 1 : 0, false);
            break;
        case 3: dragging = true; break;
        case 12:
            if (shown != 0)
                userValue (0, false);
            else if (x < 28.0f * scale)
                userValue (1, false);
            else if (x > 35.0f * scale)
                userValue (2, false);
            break;
        case 101:
        {
            const auto left = (float)(unscaled.getWidth() - 20) / 2.0f * scale;
            if (x >= left && x <= left + 20.0f * scale)
                userValue (shown == 0 ? 1 : 0, false);
            break;
        }
        default: break;
    }
}

void StsCont::mouseDrag (const juce::MouseEvent& e)
{
    if (!dragging || kind != 3)
        return;
    const auto d = e.getPosition() - dragStart;
    userValue (dragStartValue + (d.x - d.y) / pixelsPerStep(), false);
}

void StsCont::mouseUp (const juce::MouseEvent& e)
{
    dragging = false;
    if (kind == 0 && pressInTopBand && (float)e.y < 18.0f * scale && e.y >= 0 && e.x >= 0 && e.x < getWidth())
        openMenu();
    pressInTopBand = false;
}

void StsCont::openMenu()
{
    juce::Component::SafePointer<StsCont> self (this);
    ParDes::chooseValue (
        displayKind, maximum, this,
        [self] (int value)
        {
            if (self != nullptr && value >= 0)
                self->userValue (value, true);
        },
        shown);
}

void StsCont::mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails& wheel)
{
    if ((scale < editThreshold && !anyScale) || wheel.deltaY == 0.0f)
        return;
    const auto up = (wheel.deltaY > 0.0f) != wheel.isReversed;
    userValue (shown + (up ? 1 : -1), false);
}

//==============================================================================
void StsCont::paint (juce::Graphics& g)
{
    const auto s = scale;
    const auto area = getLocalBounds().toFloat();
    switch (kind)
    {
        case 3:
        {
            g.setColour (juce::Colour (Look::valueText));
            g.setFont (Look::font (11.0f * s));
            g.drawText (text, area.withHeight (13.0f * s), juce::Justification::centred, false);
            Look::drawKnob (g, area.withTrimmedTop (12.0f * s).withTrimmedBottom (15.0f * s), frame);
            g.setColour (juce::Colour (Look::label));
            g.setFont (Look::font (12.0f * s));
            g.drawFittedText (label, area.withTrimmedTop (area.getHeight() - 15.0f * s).toNearestInt(),
                              juce::Justification::centred, 1, 0.7f);
            break;
        }
        case 0:
        {
            // The box takes the top band, where a press opens the menu; the label sits below.
            Look::drawValueBox (g, area.withHeight (18.0f * s).reduced (0.5f), text, s);
            if (label.isNotEmpty())
            {
                g.setColour (juce::Colour (Look::label));
                g.setFont (Look::font (11.0f * s));
                g.drawFittedText (label, area.withTrimmedTop (18.0f * s).toNearestInt(), juce::Justification::centred,
                                  1, 0.7f);
            }
            break;
        }
        case 1:
        {
            const auto lamp = juce::Rectangle<float> (0.0f, 0.0f, 25.0f * s, area.getHeight()).reduced (6.0f * s);
            Look::drawLamp (g, lamp, shown != 0);
            if ((float)getWidth() < 50.0f * s)
                break; // too narrow: the section writes the label underneath
            g.setColour (juce::Colour (Look::label));
            g.setFont (Look::font (12.0f * s));
            g.drawFittedText (label, area.withTrimmedLeft (25.0f * s).toNearestInt(), juce::Justification::centredLeft,
                              1, 0.7f);
            break;
        }
        case 12:
        {
            const auto lampSize = 10.0f * s;
            Look::drawLamp (g, {9.0f * s, 2.0f * s, lampSize, lampSize}, shown == 1);
            Look::drawLamp (g, {42.0f * s, 2.0f * s, lampSize, lampSize}, shown == 2);
            // The label beside the lamps, so that captions can go under each lamp.
            g.setColour (juce::Colour (Look::label));
            g.setFont (Look::font (11.0f * s));
            g.drawFittedText (label, area.withTrimmedLeft (56.0f * s).withHeight (14.0f * s).toNearestInt(),
                              juce::Justification::centredLeft, 1, 0.7f);
            break;
        }
        case 101:
        {
            const auto left = (float)(unscaled.getWidth() - 20) / 2.0f * s;
            if (label.isNotEmpty())
            {
                g.setColour (juce::Colour (Look::label));
                g.setFont (Look::font (11.0f * s));
                g.drawFittedText (label, area.withHeight (13.0f * s).toNearestInt(), juce::Justification::centred, 1,
                                  0.7f);
            }
            Look::drawSlideSwitch (g, {left, 14.0f * s, 20.0f * s, 14.0f * s}, shown != 0);
            break;
        }
        default: break;
    }
    ControlAccess::drawFocus (g, *this);
}
