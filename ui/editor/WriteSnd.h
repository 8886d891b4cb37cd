#pragma once

#include "instrument/DSI_Program.h"
#include "ui/controls/Check_But.h"
#include "ui/controls/SmallWidgets.h"
#include "ui/editor/StsGrid.h"

class MidiCntrState;

/** The write dialog: choose a user-bank slot, a name and a category for the program being edited.
    WRITE puts it there, on the instrument and in the plug-in's copy of the bank, asking first when
    the slot is not the one the program came from; CANCEL changes nothing. "Verify" reads the slot
    back. The slots are listed by bank, or, with "By Category", every user-bank slot of one
    category. */
class WriteSnd : public juce::Component,
                 private stsbutChangeListener,
                 private GridListener,
                 private juce::ChangeListener
{
public:
    static constexpr int nameLength = DSI_Program::nameLength;

    WriteSnd (MidiCntrState& hub, int bank, int program, const juce::String& name, int category);
    ~WriteSnd() override;

    /** Told when the dialog closes: true after WRITE, false after CANCEL. */
    std::function<void (bool written)> onClose;
    /** Asks the user; the action runs only on OK. Without it, WRITE goes ahead unasked. */
    std::function<void (const juce::String& question, std::function<void()> onOk)> ask;
    /** Tells the user why nothing was written. */
    std::function<void (const juce::String& text)> tell;

    int getChosenBank() const noexcept { return chosenBank; }
    int getChosenProgram() const noexcept { return chosenProgram; }
    /** The name as it will be written: cut or padded to 20 characters. */
    juce::String getName() const;
    /** The category written with the program: the edited program's until another is chosen. */
    int getCategory() const noexcept { return category; }
    void chooseCategory (int number);
    /** Lists the slots by category (true) or by bank. */
    void listByCategory (bool byCategory);
    bool isListedByCategory() const noexcept { return grid.getMode() == 1; }
    /** The category whose slots the list shows while listed by category. */
    void chooseListedCategory (int number);
    juce::String getLcdText() const;

    StsGrid& getGrid() noexcept { return grid; }
    juce::TextEditor& getNameEditor() noexcept { return nameEditor; }
    StsBut& getBankButton (int i) noexcept { return *bankButtons[i]; }
    juce::TextButton& getWriteButton() noexcept { return writeButton; }
    juce::TextButton& getCancelButton() noexcept { return cancelButton; }
    Check_But& getVerifyBox() noexcept { return verifyBox; }
    juce::TextButton& getCategoryField() noexcept { return categoryField; }
    Check_But& getListModeBox() noexcept { return listModeBox; }
    juce::Rectangle<int> getLcdBounds() const noexcept { return {202, 18, 217, 46}; }

    void chooseBank (int bank);
    /** WRITE pressed: asks before overwriting another slot, then writes. */
    void write();

    void paint (juce::Graphics& g) override;
    void resized() override;

    /** The largest multiple of 46 not above the room given. */
    static int gridHeightFor (int room) noexcept { return std::max (0, room / 46 * 46); }

private:
    void stsbutChanged (StsBut& button) override;
    void gridAction (int action, int program, int bank) override;
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;
    void writeNow();
    void showCategoryMenu (juce::Component& anchor, int ticked, std::function<void (int)> onChosen);

    MidiCntrState& hub;
    int chosenBank, chosenProgram;
    int category;
    juce::OwnedArray<StsBut> bankButtons;
    juce::TextButton writeButton{"WRITE"}, cancelButton{"CANCEL"}, categoryField;
    Check_But verifyBox{"Verify"}, listModeBox{"By Category"};
    juce::TextEditor nameEditor;
    StsGrid grid;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (WriteSnd)
};
