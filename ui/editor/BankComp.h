#pragma once

#include "ui/controls/SmallWidgets.h"
#include "ui/editor/StsGrid.h"

class MidiCntrState;

/** The banks page: a bank's programs or one category's across the user banks, the sources the
    bank lists come from, and the "Use Loaded Data" switch. Reports to its owner by change
    messages carrying a code (200 bank, 890 FILE, 891 MIDI, 201 PRESETS, 206 switch). */
class BankComp : public juce::Component,
                 public juce::ChangeBroadcaster,
                 private stsbutChangeListener,
                 private GridListener,
                 private juce::ChangeListener
{
public:
    enum Code
    {
        bankChosen = 200,
        fileSource = 890,
        midiSource = 891,
        presetsSource = 201,
        useLoadedDataSwitch = 206
    };
    static constexpr int numCategories = 26;

    explicit BankComp (MidiCntrState& hub);
    ~BankComp() override;

    int getLastCode() const noexcept { return lastCode; }
    int getChosenBank() const noexcept { return chosenBank; }
    StsGrid& getGrid() noexcept { return grid; }
    StsBut& getBankButton (int i) noexcept { return *bankButtons[i]; }
    StsBut& getCategoryButton (int k) noexcept { return *categoryButtons[k]; }
    StsBut& getSourceButton (int i) noexcept { return *sourceButtons[i]; }
    SwitchLED& getUseLoadedData() noexcept { return useLoadedData; }
    juce::TextButton& getOkButton() noexcept { return okButton; }

    void chooseBank (int bank);
    void chooseCategory (int category);

    void paint (juce::Graphics& g) override;
    void resized() override;

private:
    void stsbutChanged (StsBut& button) override;
    void gridAction (int action, int program, int bank) override;
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;
    void send (int code);

    MidiCntrState& hub;
    int lastCode = 0, chosenBank = 0;
    juce::OwnedArray<StsBut> bankButtons, sourceButtons, categoryButtons;
    SwitchLED useLoadedData{"Use Loaded Data"};
    juce::TextButton okButton{"OK"};
    StsGrid grid;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BankComp)
};
