#pragma once

#include "ui/controls/SmallWidgets.h"
#include "ui/keyboard/KeyPlayClass.h"
#include "ui/library/LibClass.h"
#include "ui/library/Plugin_Bank.h"

class RavlinAudioProcessor;

/** The library window's content: a title strip, the "PRESET BANK" and "LIBRARY" tabs with their
    pages (each created on first use), the close control and a keyboard player, so that notes
    can be played while the window has the focus. */
class Lib_Manager_Comp : public juce::Component,
                         public LibButListener,
                         public KeyPlayListener,
                         public juce::ChangeBroadcaster,
                         public juce::FileDragAndDropTarget,
                         private WinMovCanListener
{
public:
    static constexpr int libraryTab = 1217, presetBankTab = 1218, closeCode = 122;
    static constexpr int defaultWidth = 1000, defaultHeight = 620;

    /** libraryFolder: where the default library lives; an empty File keeps it in memory. */
    Lib_Manager_Comp (RavlinAudioProcessor& processor, juce::File libraryFolder);
    ~Lib_Manager_Comp() override;

    /** The settings folder of the processor's hub, or nothing when it keeps no files. */
    static juce::File libraryFolderOf (RavlinAudioProcessor& processor);

    void showPage (int tab);
    int getShownTab() const noexcept { return shownTab; }
    const juce::String& getTitle() const noexcept { return title; }
    LibClass* getLibraryPage() noexcept { return libraryPage.get(); }
    Plugin_Bank* getPresetPage() noexcept { return presetPage.get(); }
    LibBut& getTab (int tab) noexcept { return tab == libraryTab ? libraryButton : presetButton; }
    WinMovCan& getCloseControl() noexcept { return closeControl; }
    KeyPlayClass& getKeyPlayer() noexcept { return keyPlayer; }
    const SimpleLabel& getStatus() const noexcept { return status; }
    /** Above the library's record list: filters it by name as one types. */
    juce::TextEditor& getSearchBox() noexcept { return searchBox; }

    /** Runs when the close control or a page's DONE is pressed; the window hides itself. */
    std::function<void()> onClose;

    void paint (juce::Graphics& g) override;
    void resized() override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseMove (const juce::MouseEvent& e) override;
    /** Keys no child took (the lists, the buttons) play notes as the player's own do. */
    bool keyPressed (const juce::KeyPress& key) override;
    bool keyStateChanged (bool isKeyDown) override;

    /** A library or bank file dropped on the LIBRARY page goes through LOAD. */
    bool isInterestedInFileDrag (const juce::StringArray& files) override;
    void filesDropped (const juce::StringArray& files, int x, int y) override;

    void libButPressed (LibBut& button, int command) override;
    void libButHover (LibBut& button, bool entered) override;
    void keyPlayDragStarted (const juce::MouseEvent& e) override;
    void keyPlayDragged (const juce::MouseEvent& e) override;
    void keyPlayDragEnded() override {}

private:
    void windowControl (int code) override;
    void startWindowDrag (const juce::MouseEvent& e);
    void dragWindow (const juce::MouseEvent& e);

    RavlinAudioProcessor& processor;
    const juce::File libraryFolder;
    juce::String title;
    int shownTab = 0;
    LibBut presetButton{"PRESET BANK", presetBankTab}, libraryButton{"LIBRARY", libraryTab};
    WinMovCan closeControl{true};
    KeyPlayClass keyPlayer;
    SimpleLabel status{juce::Colour (0xff373535), 15.0f, false, juce::Justification::centredLeft};
    juce::TextEditor searchBox;
    std::unique_ptr<LibClass> libraryPage;
    std::unique_ptr<Plugin_Bank> presetPage;
    juce::Point<int> dragStartMouse, dragStartWindow;
    bool draggingWindow = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Lib_Manager_Comp)
};

/** The library manager's desktop window: black, no title-bar buttons, on top when shown;
    closing only hides it. */
class Lib_Manager_Win : public juce::DocumentWindow
{
public:
    Lib_Manager_Win (RavlinAudioProcessor& processor, juce::File libraryFolder);

    Lib_Manager_Comp& getContent() noexcept { return *content; }
    /** Brings the window up, on top of other windows. */
    void present();
    void closeButtonPressed() override { setVisible (false); }

private:
    Lib_Manager_Comp* content;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Lib_Manager_Win)
};
