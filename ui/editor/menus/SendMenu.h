#pragma once

#include "ui/editor/menus/BarMenu.h"

class MidiCntrState;

/** SEND: the edited program to the instrument's edit buffer, or the FX bank's preset program. */
class SendMenu : public BarMenu
{
public:
    static constexpr int currentItem = 1, presetItem = 2;

    explicit SendMenu (MidiCntrState& hub);

    juce::PopupMenu build() const override;
    void chosen (int item) override;

private:
    MidiCntrState& hub;
};
