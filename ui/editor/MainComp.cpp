#include "ui/editor/MainComp.h"

#include "core/HubEvents.h"
#include "core/RavlinAudioProcessor.h"
#include "instrument/ParDes.h"
#include "ui/controls/ValueMenus.h"
#include "ui/editor/SectionLayout.h"

MainComp::MainComp (RavlinAudioProcessor* owner) : processor (owner)
{
    setLookAndFeel (&look);
    if (processor == nullptr)
    {
        setSize (defaultWidth, defaultHeight);
        return;
    }
    auto& hub = processor->getHub();
    hub.loadLayout();
    readMonitor();
    // A transfer left running by a closed editor has nobody watching it any more.
    if (hub.transferCode.load() >= 0)
        hub.cancelTransfer();
    hub.bankReceiving = false;
    hub.transferCode = -1;

    fileMan.tell = [this] (const juce::String& text) { showMessage (text); };
    fileMan.deviceByte = [&hub] { return hub.deviceByte(); };
    fileMan.confirm = [this] (const juce::String& question, std::function<void()> yes, std::function<void()> no)
    { askThen (question, std::move (yes), std::move (no)); };

    banksPage = std::make_unique<BankComp> (hub);
    addChildComponent (*banksPage);
    banksPage->setBounds (-20, 54, 10, 10);
    // OK leaves the banks page for the editor, as BANKS or a section button does.
    banksPage->getOkButton().onClick = [this] { showBanks (false); };

    editorPanel = std::make_unique<EditorPanel> (*processor);
    addAndMakeVisible (*editorPanel);
    editorPanel->onButton = [this] (StsBut& b) { appBarButton (b); };
    editorPanel->onZoomHandle = [this] (int phase, int h) { zoomHandle (phase, h); };
    editorPanel->getLcd().onZone = [this] (int zone) { lcdZone (zone); };
    editorPanel->getLibraryButton().addChangeListener (this);
    panelEvents = std::make_unique<PanelEvents> (hub, *editorPanel);
    editorPanel->getAppBar().onChannelClick = [this] { show (*channelMenu, &editorPanel->getAppBar()); };

    keyboard = std::make_unique<KeyBrd> (hub);
    addAndMakeVisible (*keyboard);
    keyboard->addChangeListener (this);
    windowKeys = std::make_unique<WindowKeys> (keyboard->getKeyPlayer());
    windowKeys->follow (getTopLevelComponent());

    midiSetup = std::make_unique<MidiSetupController> (hub, *this);
    midiSetup->isWriteDialogShown = [this] { return overlays.getWriteDialog() != nullptr; };
    connection = std::make_unique<ConnectionView> (hub, *keyboard, *midiSetup);
    transfer = std::make_unique<TransferProgress> (hub, *this);
    instrumentSync = std::make_unique<InstrumentSync> (*processor);
    makeMenus();

    const auto size = editorSizeFor ({hub.layout.editor.getWidth(), hub.layout.editor.getHeight()}, monitor);
    const auto savedKeyboard = hub.layout.keyboard.getHeight();
    const auto stripHeight = savedKeyboard < 50 ? keyboardHeight : savedKeyboard;
    // The panel and the strip below it both fit in the editor: a saved scale too large for the
    // height the monitor allows is made smaller.
    const auto scale =
        juce::jmax (0.1f, juce::jmin (scaleFor (hub.layout.panelScale), (float)(size.y - stripHeight - 70) / 640.0f));
    editorPanel->setBounds (0, 0, size.x, juce::roundToInt (scale * 640.0f) + 70);
    editorPanel->setScale (scale);
    editorPanel->getScrollBar().setPosition (0);
    keyboard->layout (scale, editorPanel->getBottom(), size.x, stripHeight);

    setSize (size.x, size.y);

    if (!hub.editorOpenedBefore.exchange (true))
        showAbout (true, aboutMs);

    editorPanel->refreshAll();
    hub.requestGlobals();
    hub.addListener (this);
    startTimerHz (drainHz);
}

MainComp::~MainComp()
{
    if (processor != nullptr)
    {
        auto& hub = processor->getHub();
        hub.removeListener (this);
        stopTimer();
        windowKeys.reset();
        if (libraryWindow != nullptr)
            libraryWindow->getContent().getCloseControl().removeListener (this);
        libraryWindow.reset(); // writes the library back
        monitorWindow.reset();
        transfer.reset();
        midiSetup.reset();
        keyboard->removeChangeListener (this);
        editorPanel->getLibraryButton().removeChangeListener (this);
        hub.saveLayout();
    }
    setLookAndFeel (nullptr);
}

//==============================================================================
juce::Point<int> MainComp::editorSizeFor (juce::Point<int> saved, juce::Rectangle<int> area)
{
    auto width = saved.x < 100 ? defaultWidth : saved.x;
    auto height = saved.y < 100 ? defaultHeight : saved.y;
    if (area.getWidth() > 0 && area.getWidth() < width)
        width = area.getWidth() - 10;
    if (area.getHeight() > 0 && area.getHeight() < height)
        height = area.getHeight() - 10;
    return {width, height};
}

float MainComp::scaleFor (double saved)
{
    if (saved < 0.1)
        return 1.0f;
    return (float)juce::jmin (1.5, saved);
}

int MainComp::panelHeightFor (int requested, int monitorHeight)
{
    const auto m = monitorHeight <= 1000 ? 1.0 : monitorHeight <= 1200 ? 1.2 : 1.5;
    return juce::jlimit (200, (int)(640.0 * m + 70.0), requested);
}

void MainComp::readMonitor()
{
    if (const auto* display = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay())
        monitor = display->userArea;
}

void MainComp::setOwnSize (int width, int height)
{
    setSize (width, height);
    sendChangeMessage();
}

//==============================================================================
void MainComp::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);
}

void MainComp::resized()
{
    if (processor == nullptr)
        return;
    const auto w = getWidth(), h = getHeight();
    if (banksShown)
    {
        editorPanel->setBounds (0, 0, w, SectionLayout::barHeight);
        banksPage->setBounds (0, 54, w, juce::jmax (0, h - 54 - keyboardHeight)); // the strip below it
    }
    else
        editorPanel->setBounds (editorPanel->getX(), editorPanel->getY(), w, editorPanel->getHeight());
    const auto below = banksShown ? banksPage->getBottom() : editorPanel->getBottom();
    keyboard->layout (editorPanel->getScale(), below, w, keyboardHeight);
    if (transfer->isRunning())
        transfer->getBar()->setBounds (getLocalBounds());
    overlays.layout();
    if (explore != nullptr)
        explore->layout();

    auto& layout = processor->getHub().layout;
    const auto boxOf = [] (const juce::Component& c) -> PixelBox {
        return {c.getX(), c.getY(), c.getWidth(), c.getHeight()};
    };
    layout.editor = boxOf (*this);
    layout.panel = boxOf (*editorPanel);
    layout.keyboard = boxOf (*keyboard);
}

//==============================================================================
void MainComp::stateEvent (MidiCntrState&)
{
    // Any thread, the audio thread included: only a flag, since posting a message would take
    // the message queue's lock there. The controls change on the message thread.
    eventsWaiting = true;
}

void MainComp::timerCallback()
{
    if (eventsWaiting.exchange (false))
        drainEvents();
    auto& bar = editorPanel->getAppBar();
    bar.updateActivity (juce::Time::getMillisecondCounter());
    bar.setComparing (processor->isComparing());
    instrumentSync->tick (juce::Time::getMillisecondCounterHiRes());
    bar.setSyncText (instrumentSync->lampText());
}

void MainComp::drainEvents()
{
    if (processor == nullptr)
        return;
    for (auto code : processor->getHub().takeEvents())
        handleEvent (code);
}

void MainComp::handleEvent (uint32_t code)
{
    auto& hub = processor->getHub();
    const auto kind = HubEvent::kindOf (code);
    switch (kind)
    {
        case 0x080:
        case 0x090: return;
        case 0x0B0:
            if (((code >> 7) & 0x7F) == 1)
                keyboard->setModWheel ((int)(code & 0x7F));
            return;
        case 0x0E0: keyboard->setPitchWheel ((int)((code >> 7) & 0x7F)); return;
        case 0x120:
        case 0x130:
        case 0x1D0:
        case 0x1E0: connection->hubEvent (kind); return;
        case 0x160:
        case 0x170: transfer->handleEvent (code); return;
        case 0x1C0: showMessage (TransferProgress::reportText (hub.getLastTransmitReport())); return;
        case 0x190:
            // The same listing with new contents: it keeps its selection and where it was scrolled.
            banksPage->getGrid().refreshContent();
            if (auto* dialog = overlays.getWriteDialog())
                dialog->getGrid().refreshContent();
            return;
        default: panelEvents->handle (code); return;
    }
}

bool MainComp::keyPressed (const juce::KeyPress& key)
{
    if (processor == nullptr)
        return false;
    const auto mods = key.getModifiers();
    if (!mods.isCommandDown())
        return false;
    const auto code = juce::CharacterFunctions::toLowerCase ((juce::juce_wchar)key.getKeyCode());
    if (code == 'z' && !mods.isShiftDown())
        processor->undoEdit();
    else if ((code == 'z' && mods.isShiftDown()) || code == 'y')
        processor->redoEdit();
    else
        return false;
    return true;
}

void MainComp::parentHierarchyChanged()
{
    if (windowKeys != nullptr)
        windowKeys->follow (getTopLevelComponent());
}

//==============================================================================
void MainComp::appBarButton (StsBut& button)
{
    const auto c = button.getCommand();
    if (c >= AppBar::firstSectionCommand && c < AppBar::firstSectionCommand + SectionLayout::numSectionButtons)
    {
        if (banksShown)
            showBanks (false);
        if (overlays.getWriteDialog() != nullptr)
            toggleWriteDialog();
        return;
    }
    command (c);
}

void MainComp::command (int number)
{
    auto* bar = &editorPanel->getAppBar();
    auto* at = bar->findButton (number);
    switch (number)
    {
        case banksCommand:
            if (overlays.getWriteDialog() == nullptr)
                showBanks (!banksShown);
            break;
        case fileCommand: show (*fileMenu, at); break;
        case editCommand: show (*editMenu, at); break;
        case midiCommand:
            if (overlays.getWriteDialog() == nullptr)
                show (*midiMenu, at);
            break;
        case sendCommand: show (*sendMenu, at); break;
        case receiveCommand: processor->getHub().requestEditBuffer(); break;
        case writeCommand: toggleWriteDialog(); break;
        case AppBar::compareCommand:
            if (!processor->setComparing (!processor->isComparing()))
                showMessage ("Choose a bank program first: COMPARE shows the version stored there.");
            bar->setComparing (processor->isComparing());
            break;
        case AppBar::revertCommand:
            if (!processor->revertToStored())
                showMessage ("Choose a bank program first: REVERT goes back to the version stored there.");
            bar->setComparing (false);
            break;
        default: break;
    }
}

void MainComp::makeMenus()
{
    auto& hub = processor->getHub();
    prompts.tell = [this] (const juce::String& text) { showMessage (text); };
    prompts.ask = [this] (const juce::String& question, std::function<void()> onOk)
    { askThen (question, std::move (onOk)); };
    fileMenu = std::make_unique<FileMenu> (hub, fileMan,
                                           [this]
                                           {
                                               if (overlays.getWriteDialog() == nullptr)
                                                   showAbout (overlays.getAbout() == nullptr);
                                           });
    editMenu =
        std::make_unique<EditMenu> (*processor, clipboard, [this] (int section) { editorPanel->jumpTo (section); });
    explore = std::make_unique<ExplorePanels> (
        *this, *processor, *editorPanel,
        [this]() -> ravlin::Bytes
        {
            if (libraryWindow != nullptr)
                if (auto* page = libraryWindow->getContent().getLibraryPage())
                    return page->getLibrary().block();
            return ExplorePanels::recordsOfFile (
                Lib_Manager_Comp::libraryFolderOf (*processor).getChildFile (ProgramLibrary::defaultFileName));
        });
    editMenu->compareWith = [this] (const ravlin::Bytes& other, const juce::String& name)
    { explore->compareWith (other, name); };
    editMenu->compareWithFile = [this] { explore->compareWithFile(); };
    editMenu->findPrograms = [this] { explore->openSearch(); };
    editMenu->libraryRecords = [this] { return explore->libraryRecords(); };
    sendMenu = std::make_unique<SendMenu> (hub);
    midiMenu = std::make_unique<MidiMenu> (*midiSetup, [this] { connection->show(); });
    midiMenu->showMonitor = [this]
    {
        if (monitorWindow == nullptr)
            monitorWindow = std::make_unique<MidiMonitorWindow> (processor->getHub());
        monitorWindow->present();
    };
    midiMenu->isMonitorShown = [this] { return monitorWindow != nullptr && monitorWindow->isVisible(); };
    syncMenu = std::make_unique<SyncMenu> (*instrumentSync, [this]
                                           { editorPanel->getAppBar().setSyncText (instrumentSync->lampText()); });
    syncMenu->showDifferences = [this]
    { explore->compareWith (instrumentSync->getInstrumentProgram(), "Instrument's Edit Buffer"); };
    editorPanel->getAppBar().onSyncClick = [this] { show (*syncMenu, &editorPanel->getAppBar()); };
    channelMenu = std::make_unique<ChannelMenu> (hub, [this] { editorPanel->getAppBar().updateChannel(); });
    programMenu = std::make_unique<ProgramMenu> (hub);
    categoryMenu =
        std::make_unique<CategoryMenu> (*processor, *banksPage, [this] { editorPanel->refreshProgramDisplay(); });
    banksControl = std::make_unique<BanksPageController> (
        hub, *banksPage, fileMan, clipboard, prompts, *categoryMenu,
        [this] (BarMenu& menu, juce::Component* at) { show (menu, at); }, *transfer, *this);
}

BarMenu* MainComp::getMenu (int menuId) noexcept
{
    if (banksControl == nullptr) // no processor, no menus
        return nullptr;
    switch (menuId)
    {
        case fileMenuId: return fileMenu.get();
        case editMenuId: return editMenu.get();
        case sendMenuId: return sendMenu.get();
        case programMenuId: return programMenu.get();
        case categoryMenuId: return categoryMenu.get();
        case channelMenuId: return channelMenu.get();
        case bankFileMenuId: return &banksControl->getFileMenu();
        case transferMenuId: return &banksControl->getTransferMenu();
        case optionsMenuId: return &banksControl->getPresetsMenu();
        case cellMenuId: return &banksControl->getCellMenu();
        case midiMenuId: return midiMenu.get();
        case syncMenuId: return syncMenu.get();
        default: return nullptr;
    }
}

void MainComp::menuChosen (int menu, int item)
{
    if (auto* chosenMenu = getMenu (menu))
        chosenMenu->chosen (item);
}

void MainComp::show (BarMenu& menu, juce::Component* at)
{
    juce::Component::SafePointer<MainComp> self (this);
    auto options = juce::PopupMenu::Options();
    if (at != nullptr)
        options = options.withTargetComponent (at);
    ValueMenus::show (menu.build(), options,
                      [self, &menu] (int item)
                      {
                          if (self != nullptr && item > 0)
                              menu.chosen (item);
                      });
}

bool MainComp::isInterestedInFileDrag (const juce::StringArray& files)
{
    return processor != nullptr && !files.isEmpty() && overlays.getWriteDialog() == nullptr &&
           BankActions::isProgramFile (files[0]);
}

void MainComp::filesDropped (const juce::StringArray& files, int x, int y)
{
    if (!isInterestedInFileDrag (files))
        return;
    auto& grid = banksPage->getGrid();
    banksControl->getActions().dropped (juce::File (files[0]), banksShown, banksPage->getBounds().contains (x, y),
                                        grid.getMode() == 0 ? grid.getModeValue() : -1);
}

//==============================================================================
void MainComp::lcdZone (int zone)
{
    if (zone == 1)
        show (*programMenu, &editorPanel->getLcd());
    else if (zone == 3)
    {
        categoryMenu->setTarget (CategoryMenu::programCategory);
        show (*categoryMenu, &editorPanel->getLcd());
    }
}

void MainComp::showBanks (bool shouldShow)
{
    if (shouldShow == banksShown)
        return;
    banksShown = shouldShow;
    if (shouldShow)
    {
        banksPage->getGrid().setContent (0, EditorPrograms::selectedBank (processor->getHub()));
        banksPage->getGrid().selectProgram (EditorPrograms::selectedProgram (processor->getHub()),
                                            EditorPrograms::selectedBank (processor->getHub()));
        rememberedPanelHeight = editorPanel->getHeight();
        banksPage->setVisible (true);
    }
    else
    {
        banksPage->setVisible (false);
        banksPage->setBounds (-20, 54, 10, 10);
        editorPanel->setBounds (0, 0, getWidth(), rememberedPanelHeight);
    }
    resized();
}

void MainComp::toggleWriteDialog()
{
    overlays.toggleWriteDialog (processor->getHub(),
                                [this]
                                {
                                    if (banksShown)
                                        banksPage->getGrid().repaint();
                                    resized();
                                });
    resized();
}

void MainComp::showLibrary()
{
    if (libraryWindow == nullptr)
    {
        libraryWindow = std::make_unique<Lib_Manager_Win> (*processor, Lib_Manager_Comp::libraryFolderOf (*processor));
        libraryWindow->getContent().getCloseControl().addListener (this);
    }
    libraryWindow->present();
}

void MainComp::windowControl (int code)
{
    if (libraryWindow == nullptr)
        return;
    if (code == 121)
        libraryWindow->setFullScreen (!libraryWindow->isFullScreen());
    else if (code == 122)
        libraryWindow->setVisible (false);
}

//==============================================================================
void MainComp::zoomHandle (int phase, int height)
{
    // The view stays on the section shown, and so does the scroll thumb that says where it is.
    if (phase == CorButton::pressPhase)
    {
        editorPanel->closeZoom();
        return;
    }
    if (phase == CorButton::releasePhase)
    {
        readMonitor();
        return;
    }
    const auto h = panelHeightFor (height, monitor.getHeight());
    const auto scale = (float)(h - 70) / 640.0f;
    editorPanel->setBounds (editorPanel->getX(), editorPanel->getY(), getWidth(), h);
    editorPanel->setScale (scale);
    setOwnSize (getWidth(), keyboard->getHeight() + h);
}

void MainComp::placeKeyboardAfterSlide()
{
    const auto* above = banksShown ? (juce::Component*)banksPage.get() : (juce::Component*)editorPanel.get();
    const auto limit = above->getBottom() - juce::roundToInt (140.0f * editorPanel->getScale());
    if (keyboard->getY() > limit)
        keyboard->layout (editorPanel->getScale(), above->getBottom(), getWidth(), keyboard->getHeight());
}

void MainComp::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (source == &editorPanel->getLibraryButton())
        showLibrary();
    else if (source == keyboard.get())
        placeKeyboardAfterSlide();
}
