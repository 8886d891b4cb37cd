#include "ui/editor/menus/SyncMenu.h"

#include "core/InstrumentSync.h"

SyncMenu::SyncMenu (InstrumentSync& s, std::function<void()> c) : sync (s), changed (std::move (c)) {}

juce::String SyncMenu::differenceText (int count)
{
    return count == 1 ? "1 parameter differs" : juce::String (count) + " parameters differ";
}

juce::PopupMenu SyncMenu::build() const
{
    juce::PopupMenu m;
    if (sync.getState() == InstrumentSync::State::differs)
    {
        m.addSectionHeader (differenceText (sync.getNumDiffering()) + " from the instrument's edit buffer");
        m.addItem (showItem, "Show Differences", showDifferences != nullptr);
        m.addItem (sendItem, "Send to Instrument");
        m.addItem (takeItem, "Take from Instrument");
        m.addSeparator();
    }
    m.addItem (checkItem, "Check Again", sync.getState() != InstrumentSync::State::waiting);
    return m;
}

void SyncMenu::chosen (int item)
{
    switch (item)
    {
        case sendItem: sync.sendToInstrument(); break;
        case takeItem: sync.takeFromInstrument(); break;
        case checkItem: sync.check (juce::Time::getMillisecondCounterHiRes()); break;
        case showItem:
            if (showDifferences)
                showDifferences();
            return;
        default: return;
    }
    changed();
}
