#pragma once

#include "library/FileMan.h"
#include "ui/library/LibraryWidgets.h"
#include "ui/library/Plugin_File.h"
#include "ui/library/TextSetCurCont.h"

class RavlinAudioProcessor;

/** The "PRESET BANK" page: the processor's 99 presets, filled from FX, bank and instrument
    sources, saved as FX files, renamed, and given the current program. */
class Plugin_Bank : public juce::Component,
                    private juce::Timer,
                    private LibButListener,
                    private PlugFileListener,
                    private textmsgListener,
                    private textSetCurListener
{
public:
    enum Command
    {
        loadCommand = 1211,
        saveCommand = 1209,
        renameCommand = 1203,
        setCurrentCommand = 1316,
        doneCommand = 1201
    };

    // LOAD and SAVE menu items.
    enum Item
    {
        loadSinglePreset = 1,
        loadPresetBank = 2,
        loadProgramBankFile = 3,
        loadInstrumentBank = 11, // 11..18: banks 1..8
        savePreset = 101,
        savePresetBank = 102
    };

    explicit Plugin_Bank (RavlinAudioProcessor& processor);
    ~Plugin_Bank() override;

    /** Moves the list's selection to the processor's current preset. */
    void followCurrentPreset();

    /** The menus as (text, item) pairs; item 0 is a separator. */
    std::vector<std::pair<juce::String, int>> loadMenuEntries() const;
    std::vector<std::pair<juce::String, int>> saveMenuEntries() const;
    /** Runs a LOAD or SAVE menu item. */
    void perform (int item);
    void rename();
    void setCurrent();
    /** A message with one "OK" button over the page. */
    void tell (const juce::String& message);
    /** A question with "YES" and "NO"; the matching action runs on the answer. */
    void confirm (const juce::String& question, std::function<void()> yes, std::function<void()> no);

    /** Shows the presets' stars, kept in the library's sidecar in the folder (none: in memory
        only), and written at once after each change. */
    void keepRatingsIn (const juce::File& folder);
    const LibraryMeta& getRatings() const noexcept { return ratings; }

    Plugin_File& getList() noexcept { return list; }
    LibBut& getButton (int command);
    const SimpleLabel& getStatus() const noexcept { return status; }
    TextInputCont* getDialog() noexcept { return dialog.get(); }
    TextSetCurCont* getStoreDialog() noexcept { return storeDialog.get(); }
    FileMan& getFileMan() noexcept { return fileMan; }

    void paint (juce::Graphics& g) override;
    void resized() override;
    void visibilityChanged() override;

    static constexpr int followMs = 250;

private:
    /** While shown, the selection follows program changes the host makes. */
    void timerCallback() override;
    void libButPressed (LibBut& button, int command) override;
    void libButHover (LibBut& button, bool entered) override;
    void presetRowPressed (int row) override;
    void presetRowDoubleClicked (int row) override;
    void positiveAnswer (int identifier, int variant, const juce::String& text, int category) override;
    void negativeAnswer (int identifier, int) override;
    void cancelAnswer (int identifier, int) override;
    TextInputCont& questionDialog();
    void storeAccepted (int slot, const juce::String& name) override;
    void storeCancelled() override {}
    void showMenu (const std::vector<std::pair<juce::String, int>>& entries, LibBut& at);
    /** Opens an FX file of the kind (11 preset, 10 bank) and hands its chunk on; anything
        else is refused with a message and changes nothing. */
    void loadFile (int kind, std::function<void (const ravlin::Bytes&)> use);
    void saveFile (int kind, const juce::String& defaultName, std::function<juce::MemoryBlock()> content);
    void changed();
    void updateButtons();
    int currentPreset();

    RavlinAudioProcessor& processor;
    Plugin_File list;
    LibButtons buttons;
    SimpleLabel status{juce::Colour (0xff373535), 15.0f, false, juce::Justification::centredLeft};
    std::unique_ptr<TextInputCont> dialog;
    std::unique_ptr<TextSetCurCont> storeDialog;
    FileMan fileMan;
    int followed = -1;
    std::function<void()> onYes, onNo;
    LibraryMeta ratings;
    juce::File ratingsFolder;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Plugin_Bank)
};
