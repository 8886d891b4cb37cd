#pragma once

#include "library/FileMan.h"
#include "library/ProgramLibrary.h"
#include "ui/library/LibraryWidgets.h"
#include "ui/library/StsFile.h"

class MidiCntrState;
class RavlinAudioProcessor;

/** The "LIBRARY" page: the record list, the buttons, the category grid and the question
    dialog over a ProgramLibrary. It keeps the default library file: read on construction,
    written back shortly after each change and on destruction (never when empty), so that a
    failed write is told while the user can still act on it. */
class LibClass : public juce::Component,
                 public ProgramLibrary::Host,
                 private juce::Timer,
                 private LibButListener,
                 private CatListener,
                 private StsFileListener,
                 private textmsgListener
{
public:
    enum Command
    {
        loadCommand = 1211,
        saveCommand = 1209,
        clearAllCommand = 1210,
        renameCommand = 1203,
        deleteCommand = 1204,
        addCurrentCommand = 1205,
        doneCommand = 1201,
        duplicatesCommand = 1230,
        autoCategoryCommand = 1231
    };

    /** folder: where "p12Lib.p12l" lives; an empty File keeps the library in memory only. */
    LibClass (RavlinAudioProcessor& processor, juce::File folder);
    ~LibClass() override;

    void loadDefaultLibrary();
    void saveDefaultLibrary();
    void applySelected();
    void refresh() { library.refresh(); }
    void showLoadMenu();

    ProgramLibrary& getLibrary() noexcept { return library; }
    StsFile& getList() noexcept { return list; }
    CatContainer& getGrid() noexcept { return grid; }
    LibBut& getButton (int command);
    const SimpleLabel& getHeading() const noexcept { return heading; }
    const SimpleLabel& getStatus() const noexcept { return status; }
    /** Null until the first question. */
    TextInputCont* getDialog() noexcept { return dialog.get(); }
    FileMan& getFileMan() noexcept { return fileMan; }
    juce::ComboBox& getSortBox() noexcept { return sortBox; }
    juce::ToggleButton& getFavouritesButton() noexcept { return favouritesButton; }
    /** The LOAD menu's texts and, for each entry, the source it reads. */
    static std::vector<std::pair<juce::String, int>> loadMenuEntries (const MidiCntrState& hub);

    // ProgramLibrary::Host
    void ask (const ProgramLibrary::Question& question,
              std::function<void (const ProgramLibrary::Answer&)> answered) override;
    void chooseFile (int kind, const juce::String& defaultName, std::function<void (juce::File)> chosen) override;
    void applyProgramChunk (const ravlin::Bytes& chunk) override;

    void paint (juce::Graphics& g) override;
    void resized() override;
    void mouseDown (const juce::MouseEvent& e) override;

private:
    void libButPressed (LibBut& button, int command) override;
    void libButHover (LibBut& button, bool entered) override;
    void categoryChosen (int index) override;
    void selectionChanged (int record) override;
    void contentChanged() override;
    void rowDoubleClicked (int record) override;
    void positiveAnswer (int identifier, int variant, const juce::String& text, int category) override;
    void negativeAnswer (int identifier, int variant) override;
    void cancelAnswer (int identifier, int variant) override;
    void answer (int identifier, ProgramLibrary::Answer a);
    void modelChanged();
    void updateButtons();
    void timerCallback() override;
    void visibilityChanged() override;

    RavlinAudioProcessor& processor;
    const juce::File folder;
    ProgramLibrary library;
    StsFile list{library};
    CatContainer grid;
    SimpleLabel heading{juce::Colour (0xff373535), 16.0f, true, juce::Justification::centredLeft};
    SimpleLabel status{juce::Colour (0xff373535), 15.0f, false, juce::Justification::centredLeft};
    LibButtons buttons;
    juce::Label sortLabel{{}, "Sort:"};
    juce::ComboBox sortBox;
    juce::ToggleButton favouritesButton{"Favourites only"};
    std::unique_ptr<TextInputCont> dialog;
    FileMan fileMan;
    int questionId = 0;
    std::function<void (const ProgramLibrary::Answer&)> pendingAnswer;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LibClass)
};
