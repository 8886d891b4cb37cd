#pragma once

#include "core/MidiCntrState.h"
#include "library/FileMan.h"
#include "library/ProgramFiles.h"
#include "ui/controls/RavlinLookAndFeel.h"
#include "ui/editor/BankComp.h"
#include "ui/editor/EditorPanel.h"
#include "ui/editor/TransferProgress.h"
#include "ui/editor/WriteSnd.h"
#include "ui/keyboard/KeyBrd.h"
#include "ui/library/Lib_Manager_Comp.h"
#include "ui/panels/ConnectionStatus.h"
#include "ui/panels/MidiSetupController.h"

class RavlinAudioProcessor;

/** The component that fills the editor window: the section editor with its application bar,
    the keyboard strip, the banks page, and on demand the write dialog, the progress panel, the
    setup and scan panels, the About box and the library window. It turns clicks and menu choices
    into operations on the hub and the hub's events into control updates. It broadcasts when its
    own size changes so that the window follows. */
class MainComp : public juce::Component,
                 public juce::ChangeBroadcaster,
                 public juce::FileDragAndDropTarget,
                 private MidiCntrStateListener,
                 private juce::Timer,
                 private juce::ChangeListener,
                 private GridListener,
                 private WinMovCanListener
{
public:
    static constexpr int defaultWidth = 1200;
    static constexpr int keyboardHeight = 172;
    /** The editor panel at scale 1.0 (640 + 70) with the keyboard strip below it. */
    static constexpr int defaultHeight = 640 + 70 + keyboardHeight;
    static constexpr int aboutMs = 2000;
    static constexpr int drainHz = 60;

    // Application bar commands.
    enum Command
    {
        banksCommand = 99,
        fileCommand = 75,
        editCommand = 73,
        midiCommand = 77,
        sendCommand = 701,
        receiveCommand = 71,
        writeCommand = 969
    };

    explicit MainComp (RavlinAudioProcessor* processor);
    ~MainComp() override;

    void paint (juce::Graphics& g) override;
    void resized() override;

    // Sizes and scales as the construction rules give them.
    static juce::Point<int> editorSizeFor (juce::Point<int> saved, juce::Rectangle<int> monitor);
    static float scaleFor (double saved);
    /** The zoom handle's drag: the panel height within 200 .. 640 m + 70. */
    static int panelHeightFor (int requested, int monitorHeight);

    void command (int number);
    void showBanks (bool shouldShow);
    bool isBanksShown() const noexcept { return banksShown; }
    void toggleWriteDialog();
    WriteSnd* getWriteDialog() noexcept { return writeDialog.get(); }
    void showAbout (bool shouldShow, int closeAfterMs = 0);
    AboutPanel* getAbout() noexcept { return about.get(); }
    void showLibrary();
    Lib_Manager_Win* getLibraryWindow() noexcept { return libraryWindow.get(); }
    void startBankOperation (int code, int firstBank);
    /** A message over the editor; either of its buttons closes it. */
    void showMessage (const juce::String& text);
    /** A question over the editor: OK runs the action, CANCEL only closes it. */
    void askThen (const juce::String& text, std::function<void()> onOk, std::function<void()> onCancel = nullptr);

    /** A program file dropped on the editor becomes the current program; a bank file dropped
        on the banks page goes into the user bank shown, after a question. */
    bool isInterestedInFileDrag (const juce::StringArray& files) override;
    void filesDropped (const juce::StringArray& files, int x, int y) override;
    /** Each program into the bank and place its dump names, asking first when user banks
        would be overwritten. */
    void importAllBanks (const std::vector<ProgramFiles::BankedProgram>& programs, const juce::String& fileName);
    MsgCont* getMessage() noexcept { return message.get(); }

    /** The menus as (text, item) pairs; item 0 is a separator, items of a submenu are
        prefixed with its title and "/". */
    juce::PopupMenu fileMenu() const;
    juce::PopupMenu editMenu() const;
    juce::PopupMenu sendMenu() const;
    juce::PopupMenu programMenu() const;
    /** What the category menu sets: the edited program's category, the banks page's category
        listing, or the category of the bank program last pressed in the grid. */
    enum CategoryTarget
    {
        programCategory = 0,
        listedCategory = 1,
        cellCategory = 2
    };
    /** The category names, the target's category ticked. */
    juce::PopupMenu categoryMenu (int target) const;
    /** "Channel 1" .. "Channel 16", the hub's channel ticked. */
    juce::PopupMenu channelMenu() const;
    /** "MIDI Setup" (ticked while shown), "Check Connection". */
    juce::PopupMenu midiMenu() const;
    /** The status line and the setup panel's title say what is known of the connection. */
    void showConnection();
    juce::PopupMenu bankFileMenu() const;
    juce::PopupMenu optionsMenu() const;
    juce::PopupMenu programCellMenu (int bank, int program) const;
    /** Runs a menu choice; the menu is named by its button's command or one of these. */
    enum Menu
    {
        fileMenuId = 75,
        editMenuId = 73,
        sendMenuId = 701,
        programMenuId = 1,
        categoryMenuId = 2,
        channelMenuId = 3,
        bankFileMenuId = 890,
        transferMenuId = 891,
        optionsMenuId = 201,
        cellMenuId = 4,
        midiMenuId = 5
    };
    static constexpr int midiSetupItem = 1, checkConnectionItem = 2; // of the MIDI menu
    const ConnectionStatus& getConnectionStatus() const noexcept { return connection; }
    void menuChosen (int menu, int item);
    static constexpr int undoItem = 21, redoItem = 22; // of the EDIT menu
    static constexpr int allBanksItem = 300;           // of the bank file menu
    /** Ctrl+Z undoes, Ctrl+Shift+Z (or Ctrl+Y) redoes. */
    bool keyPressed (const juce::KeyPress& key) override;
    /** Keys that nothing in the window took play the computer keyboard, wherever the focus is. */
    void parentHierarchyChanged() override;
    juce::String currentProgramName() const;

    EditorPanel* getEditorPanel() noexcept { return editorPanel.get(); }
    KeyBrd* getKeyboard() noexcept { return keyboard.get(); }
    BankComp* getBanksPage() noexcept { return banksPage.get(); }
    MidiSetupController* getMidiSetup() noexcept { return midiSetup.get(); }
    TransferProgress* getTransfer() noexcept { return transfer.get(); }
    FileMan& getFileMan() noexcept { return fileMan; }
    bool isClipboardFilled() const noexcept { return clipboardFilled; }

    /** Drains the hub's events now (tests; the editor does it asynchronously). */
    void drainEvents();

    /** Takes a new size of its own (zoom, keyboard) and tells the window. */
    void setOwnSize (int width, int height);

private:
    void stateEvent (MidiCntrState& hub) override;
    void timerCallback() override;
    void handleEvent (uint32_t code);
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;
    void gridAction (int action, int program, int bank) override;
    void windowControl (int code) override;
    void appBarButton (StsBut& button);
    void zoomHandle (int phase, int height);
    void lcdZone (int zone);
    void show (const juce::PopupMenu& menu, int menuId, juce::Component* at);
    void resendCurrent();
    void storeReceived (bool toBank, int bank, int program, const ravlin::Bytes& image);
    void loadBankDumps (int bank, const ravlin::Bytes& joinedDumps, int count);
    void askToLoadBankDumps (int bank, const ravlin::Bytes& joinedDumps, int count, const juce::String& fileName);
    void copyCurrentToClipboard();
    void readMonitor();
    void placeKeyboardAfterSlide();
    void listenToWindowKeys();

    /** Keys that reach the window unused go to the keyboard player. */
    struct WindowKeys : public juce::KeyListener
    {
        explicit WindowKeys (KeyPlayClass& p) : player (p) {}
        bool keyPressed (const juce::KeyPress& key, juce::Component*) override { return player.keyPressed (key); }
        bool keyStateChanged (bool isKeyDown, juce::Component*) override { return player.keyStateChanged (isKeyDown); }
        KeyPlayClass& player;
    };
    int selectedBank() const;
    int selectedProgram() const;

    RavlinAudioProcessor* processor;
    RavlinLookAndFeel look;
    juce::Rectangle<int> monitor{0, 0, 1920, 1080};
    std::unique_ptr<EditorPanel> editorPanel;
    std::unique_ptr<KeyBrd> keyboard;
    std::unique_ptr<BankComp> banksPage;
    std::unique_ptr<WriteSnd> writeDialog;
    std::unique_ptr<AboutPanel> about;
    std::unique_ptr<MidiSetupController> midiSetup;
    std::unique_ptr<TransferProgress> transfer;
    std::unique_ptr<Lib_Manager_Win> libraryWindow;
    std::unique_ptr<MsgCont> message;
    FileMan fileMan;
    ConnectionStatus connection;
    ravlin::Bytes clipboard;
    bool clipboardFilled = false, banksShown = false;
    int rememberedPanelHeight = 0, cellBank = 0, cellProgram = 0, categoryTarget = 0;
    int lastSliders[4] = {-1, -1, -1, -1};
    std::atomic<bool> eventsWaiting{false};
    std::unique_ptr<WindowKeys> windowKeys;
    juce::Component::SafePointer<juce::Component> keysWindow;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainComp)
};
