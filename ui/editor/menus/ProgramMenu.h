#pragma once

#include "ui/editor/menus/BarMenu.h"

class BankComp;
class MidiCntrState;
class RavlinAudioProcessor;

/** The display's program menu: the user banks with the selected one ticked, then the selected
    bank's 99 programs with the edited one ticked; choosing one selects it. */
class ProgramMenu : public BarMenu
{
public:
    static constexpr int firstBankItem = 100000, firstProgramItem = 1000;

    explicit ProgramMenu (MidiCntrState& hub);

    juce::PopupMenu build() const override;
    void chosen (int item) override;

private:
    MidiCntrState& hub;
};

/** The category names with the target's category ticked; choosing one sets the edited
    program's category, lists the category on the banks page, or sets the category of the bank
    program last pressed in the grid. */
class CategoryMenu : public BarMenu
{
public:
    enum Target
    {
        programCategory = 0,
        listedCategory = 1,
        cellCategory = 2
    };

    /** refreshProgramDisplay shows the edited program's new category. */
    CategoryMenu (RavlinAudioProcessor& processor, BankComp& banksPage, std::function<void()> refreshProgramDisplay);

    /** What the next choice sets. */
    void setTarget (int newTarget) noexcept { target = newTarget; }
    /** The bank program last pressed in the grid. */
    void setCell (int bank, int program) noexcept { cellBank = bank, cellProgram = program; }

    juce::PopupMenu build() const override { return buildFor (target); }
    juce::PopupMenu buildFor (int target) const;
    void chosen (int item) override;

private:
    RavlinAudioProcessor& processor;
    BankComp& banksPage;
    std::function<void()> refreshProgramDisplay;
    int target = programCategory, cellBank = 0, cellProgram = 0;
};
