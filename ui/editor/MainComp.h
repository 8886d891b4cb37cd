#pragma once

#include "core/InstrumentSync.h"
#include "core/MidiCntrState.h"
#include "library/FileMan.h"
#include "ui/controls/RavlinLookAndFeel.h"
#include "ui/editor/BankComp.h"
#include "ui/editor/BanksPageController.h"
#include "ui/editor/ConnectionView.h"
#include "ui/editor/EditorPanel.h"
#include "ui/editor/EditorPrograms.h"
#include "ui/editor/Overlays.h"
#include "ui/editor/PanelEvents.h"
#include "ui/editor/TransferProgress.h"
#include "ui/editor/WindowKeys.h"
#include "ui/editor/WriteSnd.h"
#include "ui/editor/explore/ExplorePanels.h"
#include "ui/editor/menus/EditMenu.h"
#include "ui/editor/menus/FileMenu.h"
#include "ui/editor/menus/MidiMenu.h"
#include "ui/editor/menus/ProgramMenu.h"
#include "ui/editor/menus/SendMenu.h"
#include "ui/editor/menus/SyncMenu.h"
#include "ui/keyboard/KeyBrd.h"
#include "ui/library/Lib_Manager_Comp.h"
#include "ui/panels/MidiMonitorPanel.h"
#include "ui/panels/MidiSetupController.h"

class RavlinAudioProcessor;

/** The component that fills the editor window: the section editor with its application bar,
    the keyboard strip, the banks page, and on demand the write dialog, the progress panel, the
    setup and scan panels, the About box and the library window. It owns the menus and opens the
    one a click asks for, whose choice that menu runs; it hands the hub's events to the controls
    that show them. It broadcasts when its own size changes so that the window follows. */
class MainComp : public juce::Component,
                 public juce::ChangeBroadcaster,
                 public juce::FileDragAndDropTarget,
                 private MidiCntrStateListener,
                 private juce::Timer,
                 private juce::ChangeListener,
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
    WriteSnd* getWriteDialog() noexcept { return overlays.getWriteDialog(); }
    void showAbout (bool shouldShow, int closeAfterMs = 0) { overlays.showAbout (shouldShow, closeAfterMs); }
    AboutPanel* getAbout() noexcept { return overlays.getAbout(); }
    void showLibrary();
    Lib_Manager_Win* getLibraryWindow() noexcept { return libraryWindow.get(); }
    void startBankOperation (int code, int firstBank) { banksControl->getTransferMenu().start (code, firstBank); }
    /** A message over the editor; either of its buttons closes it. */
    void showMessage (const juce::String& text) { overlays.showMessage (text); }
    /** A question over the editor: OK runs the action, CANCEL only closes it. */
    void askThen (const juce::String& text, std::function<void()> onOk, std::function<void()> onCancel = nullptr)
    {
        overlays.askThen (text, std::move (onOk), std::move (onCancel));
    }

    /** A program file dropped on the editor becomes the current program; a bank file dropped
        on the banks page goes into the user bank shown, after a question. */
    bool isInterestedInFileDrag (const juce::StringArray& files) override;
    void filesDropped (const juce::StringArray& files, int x, int y) override;
    MsgCont* getMessage() noexcept { return overlays.getMessage(); }

    /** The menus, each named by its button's command or one of these. */
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
        midiMenuId = 5,
        syncMenuId = 6
    };
    /** The menu of an id; nullptr for an id no menu has. */
    BarMenu* getMenu (int menuId) noexcept;
    CategoryMenu& getCategoryMenu() noexcept { return *categoryMenu; }
    /** Runs a menu choice as the menu shown would. */
    void menuChosen (int menu, int item);
    const ConnectionStatus& getConnectionStatus() const noexcept { return connection->getStatus(); }
    /** Ctrl+Z undoes, Ctrl+Shift+Z (or Ctrl+Y) redoes. */
    bool keyPressed (const juce::KeyPress& key) override;
    /** Keys that nothing in the window took play the computer keyboard, wherever the focus is. */
    void parentHierarchyChanged() override;

    EditorPanel* getEditorPanel() noexcept { return editorPanel.get(); }
    KeyBrd* getKeyboard() noexcept { return keyboard.get(); }
    BankComp* getBanksPage() noexcept { return banksPage.get(); }
    MidiSetupController* getMidiSetup() noexcept { return midiSetup.get(); }
    TransferProgress* getTransfer() noexcept { return transfer.get(); }
    FileMan& getFileMan() noexcept { return fileMan; }
    /** The compare and find panels (EDIT's "Compare With..." and "Find Programs..."). */
    ExplorePanels* getExplore() noexcept { return explore.get(); }
    InstrumentSync& getInstrumentSync() noexcept { return *instrumentSync; }
    /** The MIDI monitor's window, once the MIDI menu opened it. */
    MidiMonitorWindow* getMonitorWindow() noexcept { return monitorWindow.get(); }
    bool isClipboardFilled() const noexcept { return clipboard.filled; }

    /** Drains the hub's events now (tests; the editor does it asynchronously). */
    void drainEvents();

    /** Takes a new size of its own (zoom, keyboard) and tells the window. */
    void setOwnSize (int width, int height);

private:
    void stateEvent (MidiCntrState& hub) override;
    void timerCallback() override;
    void handleEvent (uint32_t code);
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;
    void windowControl (int code) override;
    void appBarButton (StsBut& button);
    void zoomHandle (int phase, int height);
    void lcdZone (int zone);
    void show (BarMenu& menu, juce::Component* at);
    void makeMenus();
    void readMonitor();
    void placeKeyboardAfterSlide();

    RavlinAudioProcessor* processor;
    RavlinLookAndFeel look;
    juce::Rectangle<int> monitor{0, 0, 1920, 1080};
    std::unique_ptr<EditorPanel> editorPanel;
    std::unique_ptr<KeyBrd> keyboard;
    std::unique_ptr<BankComp> banksPage;
    std::unique_ptr<MidiSetupController> midiSetup;
    std::unique_ptr<TransferProgress> transfer;
    std::unique_ptr<Lib_Manager_Win> libraryWindow;
    FileMan fileMan;
    std::unique_ptr<ConnectionView> connection;
    ProgramClipboard clipboard;
    Prompts prompts;
    bool banksShown = false;
    int rememberedPanelHeight = 0;
    std::atomic<bool> eventsWaiting{false};
    std::unique_ptr<WindowKeys> windowKeys;
    std::unique_ptr<PanelEvents> panelEvents;
    Overlays overlays{*this};
    std::unique_ptr<FileMenu> fileMenu;
    std::unique_ptr<EditMenu> editMenu;
    std::unique_ptr<SendMenu> sendMenu;
    std::unique_ptr<MidiMenu> midiMenu;
    std::unique_ptr<ChannelMenu> channelMenu;
    std::unique_ptr<ProgramMenu> programMenu;
    std::unique_ptr<CategoryMenu> categoryMenu;
    std::unique_ptr<BanksPageController> banksControl;
    std::unique_ptr<ExplorePanels> explore;
    std::unique_ptr<InstrumentSync> instrumentSync;
    std::unique_ptr<SyncMenu> syncMenu;
    std::unique_ptr<MidiMonitorWindow> monitorWindow;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainComp)
};
