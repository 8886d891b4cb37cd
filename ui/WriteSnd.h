#pragma once

#include "ui/SmallWidgets.h"
#include "ui/StsGrid.h"

class MidiCntrState;

/** The write dialog: choose a user-bank slot and a name for the program being edited. WRITE puts
    it there, on the instrument and in the plug-in's copy of the bank; CANCEL changes nothing. */
class WriteSnd : public juce::Component, private stsbutChangeListener, private GridListener
{
public:
    static constexpr int nameLength = 16;

    WriteSnd (MidiCntrState& hub, int bank, int program, const juce::String& name, int category);
    ~WriteSnd() override;

    /** Told when the dialog closes: true after WRITE, false after CANCEL. */
    std::function<void (bool written)> onClose;

    int getChosenBank() const noexcept { return chosenBank; }
    int getChosenProgram() const noexcept { return chosenProgram; }
    /** The name as it will be written: cut or padded to 16 characters. */
    juce::String getName() const;
    juce::String getLcdText() const;

    StsGrid& getGrid() noexcept { return grid; }
    juce::TextEditor& getNameEditor() noexcept { return nameEditor; }
    StsBut& getBankButton (int i) noexcept { return *bankButtons[i]; }
    juce::TextButton& getWriteButton() noexcept { return writeButton; }
    juce::TextButton& getCancelButton() noexcept { return cancelButton; }
    juce::Rectangle<int> getLcdBounds() const noexcept { return {202, 18, 217, 46}; }

    void chooseBank (int bank);
    void write();

    void paint (juce::Graphics& g) override;
    void resized() override;

    /** The largest multiple of 46 not above the room given. */
    static int gridHeightFor (int room) noexcept { return std::max (0, room / 46 * 46); }

private:
    void stsbutChanged (StsBut& button) override;
    void gridAction (int action, int program, int bank) override;

    MidiCntrState& hub;
    int chosenBank, chosenProgram;
    const int category;
    juce::OwnedArray<StsBut> bankButtons;
    juce::TextButton writeButton{"WRITE"}, cancelButton{"CANCEL"};
    juce::TextEditor nameEditor;
    StsGrid grid;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (WriteSnd)
};
