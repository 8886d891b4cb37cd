#include "ui/panels/GlbCont.h"
#include "ui/controls/Fonts.h"

#include "core/MidiCntrState.h"
#include "instrument/ParDes.h"
#include "ui/controls/ValueMenus.h"

using GlobalParameters::Kind;

GlbCont::GlbCont (MidiCntrState& h, int k) : hub (h), index (k)
{
    const auto place = GlobalParameters::placeOf (k);
    setBounds (place.x, place.y, place.width, place.height);
}

int GlbCont::getValue() const
{
    return juce::isPositiveAndBelow (index, (int)hub.globalsImage.size()) ? hub.globalsImage[(size_t)index] : 0;
}

void GlbCont::setValue (int newValue)
{
    newValue = juce::jlimit (0, GlobalParameters::highest (index), newValue);
    if (newValue == getValue() || !juce::isPositiveAndBelow (index, (int)hub.globalsImage.size()))
        return;
    hub.globalsImage[(size_t)index] = (uint8_t)newValue;
    hub.sendNrpn (GlobalParameters::firstNrpn + index, newValue);
    repaint();
}

juce::PopupMenu GlbCont::buildMenu() const
{
    juce::PopupMenu menu;
    for (int v = 0; v <= GlobalParameters::highest (index); ++v)
        if (const auto text = GlobalParameters::valueText (index, v); text.isNotEmpty())
            menu.addItem (v + 1, text, true, v == getValue());
    return menu;
}

void GlbCont::mouseDown (const juce::MouseEvent& e)
{
    pressed = true;
    dragStartValue = getValue();
    if (GlobalParameters::kind (index) == Kind::toggle)
        setValue (getValue() == 0 ? 1 : 0);
    juce::ignoreUnused (e);
}

void GlbCont::mouseDrag (const juce::MouseEvent& e)
{
    if (GlobalParameters::kind (index) != Kind::knob)
        return;
    const auto offset = e.getOffsetFromDragStart();
    setValue (GlobalParameters::knobValueAfterDrag (index, dragStartValue, offset.x, offset.y));
}

void GlbCont::mouseUp (const juce::MouseEvent&)
{
    if (!pressed)
        return;
    pressed = false;
    if (GlobalParameters::kind (index) != Kind::menu)
        return;

    juce::Component::SafePointer<GlbCont> self (this);
    ValueMenus::show (buildMenu(), juce::PopupMenu::Options().withTargetComponent (this),
                      [self] (int chosen)
                      {
                          if (self != nullptr && chosen > 0)
                              self->setValue (chosen - 1);
                      });
}

void GlbCont::mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails& wheel)
{
    const auto delta = wheel.deltaY != 0.0f ? wheel.deltaY : -wheel.deltaX;
    if (delta > 0.0f)
        setValue (getValue() + 1);
    else if (delta < 0.0f)
        setValue (getValue() - 1);
}

void GlbCont::paintKnob (juce::Graphics& g)
{
    const auto frame = GlobalParameters::knobFrame (index, getValue());
    g.setFont (juce::Font (ravlin::arialName(), 12.0f, juce::Font::plain));
    g.setColour (juce::Colours::white);
    g.drawText (GlobalParameters::valueText (index, getValue()), 0, 0, getWidth(), 12, juce::Justification::centred);
    g.drawText (GlobalParameters::label (index), 0, getHeight() - 12, getWidth(), 12, juce::Justification::centred);

    // The face: 57 positions over a 270 degree sweep.
    const auto area = juce::Rectangle<float> (0.0f, 13.0f, (float)getWidth(), (float)getHeight() - 26.0f);
    const auto size = std::min (area.getWidth(), area.getHeight()) - 2.0f;
    const auto circle = juce::Rectangle<float> (size, size).withCentre (area.getCentre());
    g.setColour (juce::Colour (0xff2b3a44));
    g.fillEllipse (circle);
    g.setColour (juce::Colour (0xff8ed3ff));
    g.drawEllipse (circle, 1.5f);
    const auto angle = juce::degreesToRadians (-135.0f + 270.0f * (float)frame / 56.0f);
    const auto centre = circle.getCentre();
    const auto radius = size * 0.45f;
    g.drawLine (centre.x, centre.y, centre.x + radius * std::sin (angle), centre.y - radius * std::cos (angle), 2.0f);
}

void GlbCont::paint (juce::Graphics& g)
{
    const auto kind = GlobalParameters::kind (index);
    if (kind == Kind::knob)
    {
        paintKnob (g);
        return;
    }

    const auto box = getLocalBounds().toFloat().reduced (1.0f, 3.0f);
    if (kind == Kind::toggle)
    {
        const auto lamp = juce::Rectangle<float> (14.0f, 14.0f).withCentre (box.getCentre());
        g.setColour (getValue() != 0 ? juce::Colour (0xffff4a2a) : juce::Colour (0xff3a2a2a));
        g.fillEllipse (lamp);
        g.setColour (juce::Colours::white.withAlpha (0.6f));
        g.drawEllipse (lamp, 1.0f);
        return;
    }

    g.setColour (juce::Colour (0xff282626));
    g.fillRoundedRectangle (box, 3.0f);
    g.setColour (juce::Colour (0xff8f8f8f));
    g.drawRoundedRectangle (box, 3.0f, 1.0f);
    g.setColour (juce::Colours::white);
    g.setFont (juce::Font (ravlin::arialName(), 12.0f, juce::Font::plain));
    g.drawFittedText (GlobalParameters::valueText (index, getValue()), box.reduced (4.0f, 0.0f).toNearestInt(),
                      juce::Justification::centredLeft, 1, 0.8f);
}
