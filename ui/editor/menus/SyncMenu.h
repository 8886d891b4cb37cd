#pragma once

#include "ui/editor/menus/BarMenu.h"

class InstrumentSync;

/** The menu under the IN SYNC / DIFFERS lamp: how many parameters differ, "Show Differences"
    (the list of them), "Send to Instrument", "Take from Instrument" (undoable) and "Check Again".
    Nothing goes to the instrument but what the user chooses here. */
class SyncMenu : public BarMenu
{
public:
    static constexpr int sendItem = 1, takeItem = 2, checkItem = 3, showItem = 4;

    /** changed shows the lamp's new state. */
    SyncMenu (InstrumentSync& sync, std::function<void()> changed);

    juce::PopupMenu build() const override;
    void chosen (int item) override;

    /** Lists what differs between the program being edited and the instrument's answer. */
    std::function<void()> showDifferences;

    /** "3 parameters differ", "1 parameter differs". */
    static juce::String differenceText (int count);

private:
    InstrumentSync& sync;
    std::function<void()> changed;
};
