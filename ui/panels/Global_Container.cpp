#include "ui/panels/Global_Container.h"
#include "ui/controls/Fonts.h"

#include "core/MidiCntrState.h"
#include "instrument/GlobalDump.h"

Global_Container::Global_Container (MidiCntrState& h) : hub (h)
{
    for (int k = 0; k < GlobalParameters::numShown; ++k)
    {
        if (GlobalParameters::kind (k) == GlobalParameters::Kind::none)
            continue;
        auto* control = controls.add (new GlbCont (hub, k));
        addAndMakeVisible (control);
    }
    setSize (builtWidth, builtHeight);
    refresh();
}

void Global_Container::refresh()
{
    const bool known = hub.globalsKnown;
    const auto unreadable = hub.unreadableGlobalsSize.load();
    if (unreadable >= 0)
        note = "The instrument's reply (" + juce::String (unreadable) +
               " bytes) was not a global dump: the values shown are not its settings.";
    else if (!known)
        note = "Waiting for the instrument's global settings...";
    else
        note = {};
    for (auto* c : controls)
    {
        // The dump holds globals 0..24: the tuning scale (25) can be set, but what it shows is
        // what was last set here, never read back, so it stays dimmed.
        const bool inDump = c->getIndex() < ravlin::globalDump::numGlobals;
        c->setEnabled (known && unreadable < 0);
        c->setAlpha (c->isEnabled() && inDump ? 1.0f : 0.4f);
        c->repaint();
    }
    repaint();
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
    if (note.isNotEmpty())
    {
        g.setColour (juce::Colour (0xffffc060));
        g.drawText (note, 120, 4, getWidth() - 160, 16, juce::Justification::centredLeft);
        g.setColour (juce::Colours::white);
    }

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
