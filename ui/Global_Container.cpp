#include "ui/Global_Container.h"
#include "ui/Fonts.h"

Global_Container::Global_Container (MidiCntrState& hub)
{
    for (int k = 0; k < GlobalParameters::numShown; ++k)
    {
        if (GlobalParameters::kind (k) == GlobalParameters::Kind::none)
            continue;
        auto* control = controls.add (new GlbCont (hub, k));
        addAndMakeVisible (control);
    }
    setSize (builtWidth, builtHeight);
}

Global_Container::~Global_Container() = default;

GlbCont* Global_Container::getControl (int k) const noexcept
{
    for (auto* c : controls)
        if (c->getIndex() == k)
            return c;
    return nullptr;
}

void Global_Container::paint (juce::Graphics& g)
{
    const auto bounds = getLocalBounds().toFloat().reduced (1.5f);
    g.setColour (juce::Colour (0xee15222a));
    g.fillRoundedRectangle (bounds, 8.0f);
    g.setColour (juce::Colour (0xdd457089));
    g.drawRoundedRectangle (bounds, 8.0f, 2.0f);

    g.setFont (juce::Font (ravlin::arialName(), 12.0f, juce::Font::plain));
    g.setColour (juce::Colours::white);
    g.drawText ("Global Settings:", 14, 4, 200, 16, juce::Justification::centredLeft);

    for (auto* c : controls)
    {
        const auto offset = GlobalParameters::labelOffset (c->getIndex());
        if (offset == 0)
            continue;
        g.drawText (GlobalParameters::label (c->getIndex()), c->getX() - offset, c->getY() + 1, offset - 4,
                    c->getHeight() - 2, juce::Justification::centredLeft);
    }

    // The close mark: a cross in a box.
    const auto mark = closeMarkBounds().toFloat();
    g.setColour (juce::Colour (0xff8f8f8f));
    g.drawRect (mark, 1.0f);
    g.drawLine (mark.getX() + 3, mark.getY() + 3, mark.getRight() - 3, mark.getBottom() - 3, 1.5f);
    g.drawLine (mark.getRight() - 3, mark.getY() + 3, mark.getX() + 3, mark.getBottom() - 3, 1.5f);
}

void Global_Container::mouseUp (const juce::MouseEvent& e)
{
    if (closeMarkBounds().contains (e.getPosition()))
        listeners.call ([] (Global_Listener& l) { l.globalPanelMessage (GlobalParameters::closeMessage); });
}
