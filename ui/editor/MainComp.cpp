#include "ui/editor/MainComp.h"

#include "core/HubEvents.h"
#include "core/RavlinAudioProcessor.h"
#include "instrument/ParDes.h"
#include "instrument/ProgramPacking.h"
#include "library/ProgramFiles.h"
#include "library/ProgramLibrary.h"
#include "ui/editor/SectionLayout.h"

namespace
{
constexpr uint32_t firstJumpCode = 0x210002D7;
constexpr int jumpsOfCodes[] = {1, 2, 3, 4, 5, 6, 7, 10, 11};

const char* const voiceParameterItems[] = {
    "OSCILLATORS            [1] ",         "CHARACTER                [2] ",      "VCA / LPF / HPF           [3] ",
    "HPF / FEEDBACK           [4] ",       "VCA                           [5] ", "FEEDBACK  / DELAY      [6] ",
    "LFO                            [7] ", "MODS                        [8] ",   "ARP / SLIDERS            [9] "};

juce::String bankName (int bank)
{
    return bank < 4 ? "User Bank " + juce::String (bank + 1) : "Factory Bank " + juce::String (bank - 3);
}
} // namespace

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
    banksPage->addChangeListener (this);
    banksPage->getGrid().addListener (this);
    banksPage->getUseLoadedData().setOn (hub.playFromBankCopy.load());

    editorPanel = std::make_unique<EditorPanel> (*processor);
    addAndMakeVisible (*editorPanel);
    editorPanel->onButton = [this] (StsBut& b) { appBarButton (b); };
    editorPanel->onZoomHandle = [this] (int phase, int h) { zoomHandle (phase, h); };
    editorPanel->getLcd().onZone = [this] (int zone) { lcdZone (zone); };
    editorPanel->getLibraryButton().addChangeListener (this);
    editorPanel->getAppBar().onChannelClick = [this]
    { show (channelMenu(), channelMenuId, &editorPanel->getAppBar()); };

    keyboard = std::make_unique<KeyBrd> (hub);
    addAndMakeVisible (*keyboard);
    keyboard->addChangeListener (this);
    windowKeys = std::make_unique<WindowKeys> (keyboard->getKeyPlayer());
    listenToWindowKeys();

    midiSetup = std::make_unique<MidiSetupController> (hub, *this);
    midiSetup->isWriteDialogShown = [this] { return writeDialog != nullptr; };
    midiSetup->onVerdict = [this] (MIDI_scan::Verdict v)
    {
        connection.setVerdict (v);
        showConnection();
    };
    midiSetup->onPortsChanged = [this]
    {
        // Whatever was known was about the ports before.
        connection.setVerdict (MIDI_scan::Verdict::none);
        connection.setOnline (false);
        connection.setModel (processor->getHub().getModel());
        showConnection();
    };
    transfer = std::make_unique<TransferProgress> (hub, *this);

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
        if (keysWindow != nullptr)
            keysWindow->removeKeyListener (windowKeys.get());
        if (libraryWindow != nullptr)
            libraryWindow->getContent().getCloseControl().removeListener (this);
        libraryWindow.reset(); // writes the library back
        transfer.reset();
        midiSetup.reset();
        keyboard->removeChangeListener (this);
        editorPanel->getLibraryButton().removeChangeListener (this);
        banksPage->getGrid().removeListener (this);
        banksPage->removeChangeListener (this);
        if (about != nullptr)
            about->removeChangeListener (this);
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

int MainComp::selectedBank() const
{
    return juce::jlimit (0, 7, processor->getHub().currentBank.load());
}

int MainComp::selectedProgram() const
{
    return juce::jlimit (0, 98, processor->getHub().currentProgram.load());
}

juce::String MainComp::currentProgramName() const
{
    auto image = processor->getHub().getCurrentProgram();
    image.resize (1024, 0);
    return ProgramLibrary::nameOf (image.data()).trimEnd();
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
    if (writeDialog != nullptr)
        writeDialog->setBounds (0, 54, w, h - 54);
    if (banksShown)
    {
        editorPanel->setBounds (0, 0, w, SectionLayout::barHeight);
        banksPage->setBounds (0, 54, w, juce::jmax (0, h - 54 - keyboardHeight)); // the strip below it
    }
    else
        editorPanel->setBounds (editorPanel->getX(), editorPanel->getY(), w, editorPanel->getHeight());
    const auto below = banksShown ? banksPage->getBottom() : editorPanel->getBottom();
    keyboard->layout (editorPanel->getScale(), below, w, keyboardHeight);
    if (about != nullptr && about->isVisible())
        about->setBounds (getLocalBounds());
    if (transfer->isRunning())
        transfer->getBar()->setBounds (getLocalBounds());
    if (message != nullptr)
        message->setBounds (getLocalBounds());

    auto& layout = processor->getHub().layout;
    layout.editor = getBounds();
    layout.panel = editorPanel->getBounds();
    layout.keyboard = keyboard->getBounds();
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
        case 0x100: editorPanel->updateParameter ((int)((code >> 8) & 0x7FF), (int)(code & 0xFF), false); return;
        case 0x110: editorPanel->refreshAll(); return;
        case 0x120:
        case 0x130:
        case 0x1D0:
        case 0x1E0:
        {
            if (kind == 0x120 || kind == 0x130)
                connection.setOnline (kind == 0x120);
            connection.setModel (hub.getModel());
            showConnection();
            // The values are read again when the instrument answers, and said to be stale when
            // the answer was no global dump.
            if (auto* setup = midiSetup->getSetup(); setup != nullptr && setup->getGlobalsPanel() != nullptr)
                setup->getGlobalsPanel()->refresh();
            return;
        }
        case 0x160:
        case 0x170: transfer->handleEvent (code); return;
        case 0x1C0: showMessage (TransferProgress::reportText (hub.getLastTransmitReport())); return;
        case 0x190:
            // The same listing with new contents: it keeps its selection and where it was scrolled.
            banksPage->getGrid().refreshContent();
            if (writeDialog != nullptr)
                writeDialog->getGrid().refreshContent();
            return;
        case 0x1A0:
        {
            auto* sliders = editorPanel->getPanel (0, 0);
            const int values[4] = {hub.sliderToHost[0].load(), hub.sliderToHost[1].load(), hub.sliderToHost[2].load(),
                                   hub.sliderToHost[1].load()};
            for (int k = 0; k < 2; ++k)
            {
                const auto position = values[k == 0 ? 0 : 2], pressure = values[1];
                if (position != lastSliders[k * 2] || pressure != lastSliders[k * 2 + 1])
                    sliders->getSlider (k)->setValues (position, pressure);
                lastSliders[k * 2] = position;
                lastSliders[k * 2 + 1] = pressure;
            }
            return;
        }
        case 0x1B0:
        case 0x1B1:
            if (code == HubEvent::latch1)
                editorPanel->updateLatch (1028, hub.latches[0].load());
            else if (code == HubEvent::latch2)
                editorPanel->updateLatch (1029, hub.latches[1].load());
            return;
        case 0x210:
            if (code >= firstJumpCode && code < firstJumpCode + 9)
                editorPanel->jumpTo (jumpsOfCodes[code - firstJumpCode]);
            return;
        default: return;
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
    listenToWindowKeys();
}

void MainComp::listenToWindowKeys()
{
    // The window that holds the editor gets the keys when nothing in it has the focus (a
    // standalone window takes the focus itself); keys that a focused control, a text box or a
    // dialog does not use travel up to it too.
    auto* window = getTopLevelComponent();
    if (windowKeys == nullptr || window == keysWindow.getComponent())
        return;
    if (keysWindow != nullptr)
        keysWindow->removeKeyListener (windowKeys.get());
    keysWindow = window;
    window->addKeyListener (windowKeys.get());
}

//==============================================================================
void MainComp::appBarButton (StsBut& button)
{
    const auto c = button.getCommand();
    if (c >= AppBar::firstSectionCommand && c < AppBar::firstSectionCommand + SectionLayout::numSectionButtons)
    {
        if (banksShown)
            showBanks (false);
        if (writeDialog != nullptr)
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
            if (writeDialog == nullptr)
                showBanks (!banksShown);
            break;
        case fileCommand: show (fileMenu(), fileMenuId, at); break;
        case editCommand: show (editMenu(), editMenuId, at); break;
        case midiCommand:
            if (writeDialog == nullptr)
                show (midiMenu(), midiMenuId, at);
            break;
        case sendCommand: show (sendMenu(), sendMenuId, at); break;
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

void MainComp::show (const juce::PopupMenu& menu, int menuId, juce::Component* at)
{
    juce::Component::SafePointer<MainComp> self (this);
    auto options = juce::PopupMenu::Options();
    if (at != nullptr)
        options = options.withTargetComponent (at);
    ParDes::showMenu (menu, options,
                      [self, menuId] (int item)
                      {
                          if (self != nullptr && item > 0)
                              self->menuChosen (menuId, item);
                      });
}

//==============================================================================
juce::PopupMenu MainComp::fileMenu() const
{
    juce::PopupMenu m;
    m.addItem (1, "Load Single Program");
    m.addItem (2, "Save " + currentProgramName());
    m.addSeparator();
    m.addItem (3, "About");
    return m;
}

juce::PopupMenu MainComp::editMenu() const
{
    auto& history = processor->getHistory();
    const auto& table = processor->getHub().parameterTable;
    juce::PopupMenu m;
    m.addItem (undoItem, ("Undo " + history.undoDescription (table)).trimEnd(), history.canUndo());
    m.addItem (redoItem, ("Redo " + history.redoDescription (table)).trimEnd(), history.canRedo());
    m.addSeparator();
    m.addItem (1, "Copy Program: " + currentProgramName());
    m.addItem (2, "Paste " + (clipboardFilled ? ProgramLibrary::nameOf (clipboard.data()).trimEnd() : juce::String()));
    m.addSeparator();
    juce::PopupMenu voice;
    for (int k = 0; k < 9; ++k)
        voice.addItem (11 + k, voiceParameterItems[k]);
    m.addSubMenu ("Voice Parameters ", voice);
    return m;
}

juce::PopupMenu MainComp::sendMenu() const
{
    auto& hub = processor->getHub();
    if (hub.presetProgramIndex < 0)
        hub.presetProgramIndex = 0;
    juce::PopupMenu m;
    m.addItem (1, "Current Preset: " + currentProgramName());
    m.addItem (2, "FX Bank Preset: " + hub.getPresetProgramName (hub.presetProgramIndex).trimEnd());
    return m;
}

juce::PopupMenu MainComp::programMenu() const
{
    auto& hub = processor->getHub();
    juce::PopupMenu m;
    for (int b = 0; b < 4; ++b)
        m.addItem (100000 + b, hub.banks[(size_t)b]->bankName, true, b == selectedBank());
    m.addSeparator();
    const auto selected = hub.currentBank.load() == selectedBank() ? hub.currentProgram.load() : -1;
    for (int p = 0; p < 99; ++p)
        m.addItem (1000 + p, "P " + juce::String (p + 1) + "  " + hub.getBankProgramName (selectedBank(), p).trimEnd(),
                   true, p == selected);
    return m;
}

juce::PopupMenu MainComp::categoryMenu (int target) const
{
    auto& hub = processor->getHub();
    auto& grid = banksPage->getGrid();
    const auto current = target == programCategory ? (int)hub.getProgramByte (DSI_Program::categoryOffset)
                         : target == listedCategory
                             ? (grid.getMode() == 1 ? grid.getModeValue() : -1)
                             : (int)hub.getBankProgram (cellBank, cellProgram)[(size_t)DSI_Program::categoryOffset];
    return ParDes::buildCategoryMenu (current);
}

juce::PopupMenu MainComp::channelMenu() const
{
    const auto channel = processor != nullptr ? processor->getHub().midiChannel.load() : 0;
    juce::PopupMenu m;
    for (int c = 1; c <= 16; ++c)
        m.addItem (c, "Channel " + juce::String (c), true, c == channel);
    return m;
}

juce::PopupMenu MainComp::midiMenu() const
{
    juce::PopupMenu m;
    m.addItem (midiSetupItem, "MIDI Setup", true, midiSetup->isSetupShown());
    m.addItem (checkConnectionItem, "Check Connection");
    return m;
}

void MainComp::showConnection()
{
    const auto text = connection.text();
    keyboard->setStatusText (text);
    if (auto* setup = midiSetup->getSetup())
        setup->setStatusText (text);
}

juce::PopupMenu MainComp::bankFileMenu() const
{
    juce::PopupMenu m;
    for (int b = 0; b < 4; ++b)
        m.addItem (100 + b, "Load Program Bank To Bank U" + juce::String (b + 1));
    m.addSeparator();
    for (int b = 0; b < 4; ++b)
        m.addItem (200 + b, "Save Program Bank U" + juce::String (b + 1));
    m.addSeparator();
    m.addItem (allBanksItem, "Load All Banks From File");
    return m;
}

juce::PopupMenu MainComp::optionsMenu() const
{
    juce::PopupMenu m, factory;
    for (int b = 0; b < 4; ++b)
        factory.addItem (100 + b, "User Bank " + juce::String (b + 1));
    m.addSubMenu ("Load Factory Presets to", factory);
    if (selectedBank() < 4)
    {
        m.addSeparator();
        m.addItem (99, "Initialize User Program Bank " + juce::String (selectedBank() + 1));
    }
    return m;
}

juce::PopupMenu MainComp::programCellMenu (int bank, int program) const
{
    const auto name = processor->getHub().getBankProgramName (bank, program).trimEnd();
    juce::PopupMenu m;
    m.addItem (1, "Copy Program: " + name);
    m.addItem (2, "Paste " + (clipboardFilled ? ProgramLibrary::nameOf (clipboard.data()).trimEnd() : juce::String()));
    m.addSeparator();
    m.addItem (3, "Save " + name);
    m.addItem (4, "Load Program ");
    return m;
}

//==============================================================================
void MainComp::storeReceived (bool toBank, int bank, int program, const ravlin::Bytes& image)
{
    auto& hub = processor->getHub();
    // The slot being edited now holds these bytes: they are what the editor shows and edits.
    if (toBank && bank == hub.currentBank.load() && program == hub.currentProgram.load())
        hub.setCurrentProgram (image);
    hub.storeEditorProgram (toBank, bank, program, image);
}

void MainComp::loadBankDumps (int bank, const ravlin::Bytes& joinedDumps, int count)
{
    auto& hub = processor->getHub();
    Bank_Program loaded ("file");
    loaded.loadFromDumps (joinedDumps);
    for (int p = 0; p < std::min (count, Bank_Program::numPrograms); ++p)
        hub.setBankProgram (bank, p, loaded.getProgram (p));
    hub.postEvent (HubEvent::bankChanged);
    if (banksShown)
        banksPage->getGrid().repaint();
}

void MainComp::askToLoadBankDumps (int bank, const ravlin::Bytes& joinedDumps, int count, const juce::String& fileName)
{
    juce::Component::SafePointer<MainComp> self (this);
    askThen ("Load the " + juce::String (juce::jmin (count, Bank_Program::numPrograms)) + " programs of " + fileName +
                 " into " + bankName (bank) + "?",
             [self, bank, joinedDumps, count]
             {
                 if (self != nullptr)
                     self->loadBankDumps (bank, joinedDumps, count);
             });
}

void MainComp::importAllBanks (const std::vector<ProgramFiles::BankedProgram>& programs, const juce::String& fileName)
{
    const auto banks = ProgramFiles::banksNamed (programs);
    if (banks.empty())
    {
        showMessage (fileName + " holds no program dumps that name a bank.");
        return;
    }
    juce::StringArray names, userNames;
    for (auto b : banks)
    {
        names.add (bankName (b));
        if (b < 4)
            userNames.add (bankName (b));
    }
    juce::Component::SafePointer<MainComp> self (this);
    auto import = [self, programs, names, fileName]
    {
        if (self == nullptr)
            return;
        auto& hub = self->processor->getHub();
        for (const auto& p : programs)
            hub.setBankProgram (p.bank, p.program, p.image);
        hub.postEvent (HubEvent::bankChanged);
        if (self->banksShown)
            self->banksPage->getGrid().repaint();
        self->showMessage ("Loaded " + juce::String ((int)programs.size()) + " programs from " + fileName + " into " +
                           names.joinIntoString (", ") + ".");
    };
    if (userNames.isEmpty())
        import();
    else
        askThen (fileName + " holds " + juce::String ((int)programs.size()) + " programs. Overwrite " +
                     userNames.joinIntoString (", ") + " with them?",
                 import);
}

bool MainComp::isInterestedInFileDrag (const juce::StringArray& files)
{
    if (processor == nullptr || files.isEmpty() || writeDialog != nullptr)
        return false;
    const auto extension = juce::File (files[0]).getFileExtension().toLowerCase();
    return extension == ".syx" || extension == ".p12p" || extension == ".p12b";
}

void MainComp::filesDropped (const juce::StringArray& files, int x, int y)
{
    if (!isInterestedInFileDrag (files))
        return;
    const juce::File file (files[0]);
    const auto name = file.getFileName();
    if (banksShown && banksPage->getBounds().contains (x, y))
    {
        FileMan reader;
        if (!reader.readProgramBank (file))
        {
            showMessage (name + " holds no program bank.");
            return;
        }
        const auto banked = ProgramFiles::readBankedPrograms (reader.sysExBytes);
        if (ProgramFiles::banksNamed (banked).size() > 1)
        {
            importAllBanks (banked, name);
            return;
        }
        auto& grid = banksPage->getGrid();
        const auto bank = grid.getMode() == 0 ? grid.getModeValue() : -1;
        if (!juce::isPositiveAndBelow (bank, 4))
        {
            showMessage ("Show a user bank to drop a bank file on it.");
            return;
        }
        askToLoadBankDumps (bank, reader.sysExBytes, reader.bankMessages, name);
        return;
    }

    // A bank's first program is not what a bank dropped on the editor means.
    FileMan reader;
    if ((reader.readProgramBank (file) && reader.bankMessages > 1) || !reader.readSingleProgram (file))
    {
        showMessage (name + " holds no single program" + (banksShown ? "." : ": drop bank files on the banks page."));
        return;
    }
    storeReceived (false, selectedBank(), selectedProgram(), reader.program.getImage());
}

void MainComp::resendCurrent()
{
    auto& hub = processor->getHub();
    const auto image = hub.getCurrentProgram();
    storeReceived (false, selectedBank(), selectedProgram(), image);
    // SEND sends: the program goes into the instrument's edit buffer too.
    hub.sendToInstrument (ravlin::packEditBufferDump (image));
}

void MainComp::copyCurrentToClipboard()
{
    clipboard = processor->getHub().getCurrentProgram();
    clipboard.resize (1024, 0);
    clipboardFilled = true;
}

void MainComp::menuChosen (int menu, int item)
{
    auto& hub = processor->getHub();
    juce::Component::SafePointer<MainComp> self (this);
    switch (menu)
    {
        case midiMenuId:
            if (writeDialog != nullptr)
                return;
            if (item == midiSetupItem)
            {
                if (midiSetup->isSetupShown())
                    midiSetup->closeSetup();
                else
                {
                    midiSetup->showSetup();
                    showConnection();
                }
            }
            else if (item == checkConnectionItem)
            {
                midiSetup->hideSetup();
                midiSetup->startCheck();
            }
            return;
        case fileMenuId:
            if (item == 1)
                fileMan.loadSingleProgram (
                    [self] (bool read)
                    {
                        if (self != nullptr && read)
                            self->storeReceived (false, self->selectedBank(), self->selectedProgram(),
                                                 self->fileMan.program.getImage());
                    });
            else if (item == 2)
                fileMan.saveSingleProgram (hub.getCurrentProgram(), currentProgramName(), nullptr);
            else if (item == 3 && writeDialog == nullptr)
                showAbout (about == nullptr);
            return;
        case editMenuId:
            if (item == undoItem)
                processor->undoEdit();
            else if (item == redoItem)
                processor->redoEdit();
            else if (item == 1)
                copyCurrentToClipboard(); // only copies: SEND is what sends
            else if (item == 2 && clipboardFilled)
                storeReceived (false, selectedBank(), selectedProgram(), clipboard);
            else if (item >= 11 && item < 20)
            {
                static constexpr int jumps[] = {1, 2, 3, 4, 5, 6, 7, 10, 11};
                editorPanel->jumpTo (jumps[item - 11]);
            }
            return;
        case sendMenuId:
            if (item == 1)
                resendCurrent();
            else if (item == 2)
                hub.loadPresetProgram();
            return;
        case programMenuId:
        {
            auto bank = selectedBank(), program = selectedProgram();
            if (item >= 100000)
                bank = item - 100000;
            else if (item >= 1000)
                program = item - 1000;
            hub.selectProgram (bank * 99 + program, true, true);
            return;
        }
        case categoryMenuId:
        {
            const auto category = item - 1;
            if (categoryTarget == programCategory)
            {
                processor->cableChanged (426, category, true, true, true);
                editorPanel->refreshProgramDisplay();
            }
            else if (categoryTarget == listedCategory)
                banksPage->chooseCategory (category);
            else if (categoryTarget == cellCategory)
            {
                auto image = hub.getBankProgram (cellBank, cellProgram);
                if (image.size() > 426)
                {
                    image[426] = (uint8_t)category;
                    hub.setBankProgram (cellBank, cellProgram, image);
                    banksPage->getGrid().refreshContent();
                }
            }
            return;
        }
        case channelMenuId:
            hub.setMidiChannelSetting (item);
            hub.saveSettings();
            editorPanel->getAppBar().updateChannel();
            return;
        case bankFileMenuId:
        {
            const auto bank = item % 100;
            if (item == allBanksItem)
                fileMan.loadProgramBank (
                    [self] (bool read)
                    {
                        if (self != nullptr && read)
                            self->importAllBanks (ProgramFiles::readBankedPrograms (self->fileMan.sysExBytes),
                                                  self->fileMan.chosenFile.getFileName());
                    });
            else if (item >= 200)
                fileMan.saveProgramBank (*hub.banks[(size_t)bank], bank, nullptr);
            else
                fileMan.loadProgramBank (
                    [self, bank] (bool read)
                    {
                        if (self != nullptr && read)
                            self->askToLoadBankDumps (bank, self->fileMan.sysExBytes, self->fileMan.bankMessages,
                                                      self->fileMan.chosenFile.getFileName());
                    });
            return;
        }
        case transferMenuId:
        {
            if (item == TransferProgress::verifyMenuItem)
            {
                hub.setOption (SettingsBlock::verifyAfterWriting, !hub.verifyAfterWriting);
                hub.saveSettings();
                return;
            }
            const auto [code, firstBank] = TransferProgress::transferForMenuItem (item);
            if (code >= 0)
                startBankOperation (code, firstBank);
            return;
        }
        case optionsMenuId:
        {
            // 99 initialises the selected user bank; 100 + k fills user bank k + 1 with factory set k.
            const auto bank = item == 99 ? selectedBank() : item - 100;
            if (!juce::isPositiveAndBelow (bank, 4))
                return;
            askThen ("Overwrite the 99 programs of " + bankName (bank) + "?",
                     [self, bank, item]
                     {
                         if (self == nullptr)
                             return;
                         Bank_Program filled ("options");
                         if (item == 99)
                             filled.initialise (false);
                         else
                             filled.loadFactoryBank (bank);
                         for (int p = 0; p < Bank_Program::numPrograms; ++p)
                             self->processor->getHub().setBankProgram (bank, p, filled.getProgram (p));
                         self->banksPage->getGrid().repaint();
                     });
            return;
        }
        case cellMenuId:
            if (item == 1)
                copyCurrentToClipboard(); // as EDIT's Copy: nothing is sent or stored
            else if (item == 2 && clipboardFilled)
                storeReceived (true, cellBank, cellProgram, clipboard);
            else if (item == 3)
                fileMan.saveSingleProgram (hub.getBankProgram (cellBank, cellProgram),
                                           hub.getBankProgramName (cellBank, cellProgram).trimEnd(), nullptr);
            else if (item == 4)
                fileMan.loadSingleProgram (
                    [self] (bool read)
                    {
                        if (self == nullptr || !read)
                            return;
                        const auto image = self->fileMan.program.getImage();
                        self->storeReceived (true, self->cellBank, self->cellProgram, image);
                    });
            return;
        default: return;
    }
}

//==============================================================================
void MainComp::lcdZone (int zone)
{
    if (zone == 1)
        show (programMenu(), programMenuId, &editorPanel->getLcd());
    else if (zone == 3)
    {
        categoryTarget = programCategory;
        show (categoryMenu (categoryTarget), categoryMenuId, &editorPanel->getLcd());
    }
}

void MainComp::showBanks (bool shouldShow)
{
    if (shouldShow == banksShown)
        return;
    banksShown = shouldShow;
    if (shouldShow)
    {
        banksPage->getGrid().setContent (0, selectedBank());
        banksPage->getGrid().selectProgram (selectedProgram(), selectedBank());
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
    if (writeDialog != nullptr)
    {
        writeDialog.reset();
        resized();
        return;
    }
    auto image = processor->getHub().getCurrentProgram();
    image.resize (1024, 0);
    writeDialog = std::make_unique<WriteSnd> (processor->getHub(), juce::jmin (3, selectedBank()), selectedProgram(),
                                              currentProgramName(), image[426]);
    writeDialog->ask = [this] (const juce::String& question, std::function<void()> then)
    { askThen (question, std::move (then)); };
    writeDialog->tell = [this] (const juce::String& text) { showMessage (text); };
    writeDialog->onClose = [this] (bool)
    {
        // After the dialog's own handler has returned.
        juce::Component::SafePointer<MainComp> self (this);
        juce::MessageManager::callAsync (
            [self]
            {
                if (self != nullptr && self->writeDialog != nullptr)
                {
                    self->writeDialog.reset();
                    if (self->banksShown)
                        self->banksPage->getGrid().repaint();
                    self->resized();
                }
            });
    };
    addAndMakeVisible (*writeDialog);
    resized();
}

void MainComp::showAbout (bool shouldShow, int closeAfterMs)
{
    if (!shouldShow)
    {
        if (about != nullptr)
            about->removeChangeListener (this);
        about.reset();
        return;
    }
    if (about != nullptr)
        return;
    about = std::make_unique<AboutPanel> (closeAfterMs);
    about->addChangeListener (this);
    addAndMakeVisible (*about);
    about->setBounds (getLocalBounds());
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

void MainComp::startBankOperation (int code, int firstBank)
{
    auto& hub = processor->getHub();
    auto start = [this, code, firstBank]
    {
        if (transfer->start (code, firstBank))
            transfer->getBar()->setBounds (getLocalBounds());
        else
            showMessage (processor->getHub().getPorts().outputOpen
                             ? juce::String ("A bank transfer is already running: nothing was sent.")
                             : juce::String ("No MIDI output port is open: nothing was sent. Choose the "
                                             "instrument's ports with MIDI."));
    };
    // Programs on the instrument are overwritten only when the user says so.
    if (TransferProgress::isTransmit (code) && hub.getPorts().outputOpen && !transfer->isRunning())
        askThen (TransferProgress::overwriteQuestion (code, firstBank, hub.currentProgram), start);
    else
        start();
}

void MainComp::showMessage (const juce::String& text)
{
    askThen (text, nullptr);
}

void MainComp::askThen (const juce::String& text, std::function<void()> onOk, std::function<void()> onCancel)
{
    message = std::make_unique<MsgCont> (text, onOk != nullptr);
    juce::Component::SafePointer<MainComp> self (this);
    auto close = [self] (std::function<void()> then)
    {
        // After the button's own click handling has returned.
        juce::MessageManager::callAsync (
            [self, then]
            {
                if (self == nullptr)
                    return;
                self->message.reset();
                if (then)
                    then();
            });
    };
    message->getOkButton().onClick = [close, onOk] { close (onOk); };
    message->getCancelButton().onClick = [close, onCancel] { close (onCancel); };
    addAndMakeVisible (*message);
    message->setBounds (getLocalBounds());
    message->toFront (true);
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
    else if (source == about.get())
        showAbout (false);
    else if (source == banksPage.get())
    {
        switch (banksPage->getLastCode())
        {
            case BankComp::bankChosen:
                if (banksPage->getGrid().getMode() == 0)
                {
                    processor->getHub().selectProgram (banksPage->getChosenBank() * 99 + selectedProgram(), true, true);
                    banksPage->getGrid().setContent (0, banksPage->getChosenBank());
                }
                else
                {
                    categoryTarget = listedCategory;
                    show (categoryMenu (categoryTarget), categoryMenuId, banksPage.get());
                }
                break;
            case BankComp::presetsSource:
                if (banksPage->getGrid().getMode() == 0)
                    show (optionsMenu(), optionsMenuId, &banksPage->getSourceButton (2));
                break;
            case BankComp::useLoadedDataSwitch:
                processor->getHub().playFromBankCopy = banksPage->getUseLoadedData().isOn();
                break;
            case BankComp::fileSource: show (bankFileMenu(), bankFileMenuId, &banksPage->getSourceButton (0)); break;
            case BankComp::midiSource:
                show (
                    TransferProgress::buildBankMenu (bankName (selectedBank()), processor->getHub().verifyAfterWriting),
                    transferMenuId, &banksPage->getSourceButton (1));
                break;
            default: break;
        }
    }
}

void MainComp::gridAction (int action, int program, int bank)
{
    auto& hub = processor->getHub();
    cellBank = bank;
    cellProgram = program;
    if (action == StsGrid::categoryMenu)
    {
        categoryTarget = cellCategory;
        show (categoryMenu (categoryTarget), categoryMenuId, &banksPage->getGrid());
    }
    else if (action == StsGrid::programMenu)
        show (programCellMenu (bank, program), cellMenuId, &banksPage->getGrid());
    else if (action == StsGrid::play)
    {
        if (hub.playFromBankCopy.load())
        {
            hub.currentBank = bank;
            hub.currentProgram = program;
            storeReceived (false, bank, program, hub.getBankProgram (bank, program));
        }
        else
            hub.selectProgram (bank * 99 + program, true, true);
    }
}
