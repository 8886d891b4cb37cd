// The whole editor against the virtual instrument: receive, edit, banks, write, files, channel.
#include "core/HubEvents.h"
#include "core/RavlinAudioProcessor.h"
#include "instrument/InstrumentModel.h"
#include "instrument/ParDes.h"
#include "instrument/ProgramPacking.h"
#include "library/ProgramFiles.h"
#include "library/ProgramLibrary.h"
#include "support/FakeMidiDevices.h"
#include "support/MenuItems.h"
#include "support/MessagePump.h"
#include "support/UiEvents.h"
#include "ui/editor/MainComp.h"

#include <gtest/gtest.h>

#include <map>

using ravlin::Bytes;
using ravlin::test::itemTexts;
using ravlin::test::mouseAt;
using ravlin::test::pumpMessages;
using ravlin::test::pumpUntil;

namespace
{
constexpr int virtualPort = 3; // after the fake devices' two

Bytes pattern (int seed)
{
    Bytes image (1024, 0);
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = (uint8_t)((i * 7 + (size_t)seed) % 100);
    ProgramLibrary::writeName (image.data(), "Pattern " + juce::String (seed));
    return image;
}

class MainEditor : public ::testing::Test
{
protected:
    MainEditor()
    {
        auto fake = std::make_unique<ravlin::test::FakeMidiDevices>();
        devices = fake.get();
        processor = std::make_unique<RavlinAudioProcessor> (std::move (fake), juce::File());
        hub().selectInputPort (virtualPort);
        hub().selectOutputPort (virtualPort);
        editor = std::make_unique<MainComp> (processor.get());
    }
    ~MainEditor() override
    {
        editor.reset();
        processor.reset();
    }

    MidiCntrState& hub() { return processor->getHub(); }
    VirtualInstrument& instrument() { return hub().getVirtualInstrument(); }
    /** Pumps messages and drains the editor's events until the condition holds. */
    template <typename Condition> bool waitFor (Condition&& condition, int ms = 5000)
    {
        return pumpUntil (
            [&]
            {
                editor->drainEvents();
                return condition();
            },
            ms);
    }
    StsCont* control (int layer, int parameter)
    {
        const auto section = hub().parameterTable.section (parameter);
        auto* panel = editor->getEditorPanel()->getPanel (layer, section);
        return panel != nullptr ? panel->findControl (parameter) : nullptr;
    }

    juce::ScopedJuceInitialiser_GUI messageThread;
    ravlin::test::FakeMidiDevices* devices = nullptr;
    std::unique_ptr<RavlinAudioProcessor> processor;
    std::unique_ptr<MainComp> editor;
};
} // namespace

TEST_F (MainEditor, SizesAndScalesFollowTheConstructionRules)
{
    // The default height holds the panel at scale 1.0 and the keyboard strip below it.
    EXPECT_EQ (MainComp::editorSizeFor ({0, 0}, {0, 0, 1920, 1080}), juce::Point<int> (1200, 882));
    EXPECT_EQ (MainComp::editorSizeFor ({0, 0}, {0, 0, 1024, 768}), juce::Point<int> (1014, 758));
    EXPECT_EQ (MainComp::editorSizeFor ({1500, 900}, {0, 0, 1920, 800}), juce::Point<int> (1500, 790));
    EXPECT_EQ (MainComp::scaleFor (0.0), 1.0f);
    EXPECT_EQ (MainComp::scaleFor (2.0), 1.5f);
    EXPECT_EQ (MainComp::panelHeightFor (150, 900), 200);
    EXPECT_EQ (MainComp::panelHeightFor (5000, 1080), 838);
    EXPECT_EQ (MainComp::panelHeightFor (5000, 1600), 1030);

    EXPECT_EQ (editor->getWidth(), 1200);
    EXPECT_EQ (editor->getEditorPanel()->getHeight(), 710);
    EXPECT_EQ (editor->getKeyboard()->getY(), 710);
    ASSERT_NE (editor->getAbout(), nullptr) << "the first opening shows the About box";
    editor.reset();
    editor = std::make_unique<MainComp> (processor.get());
    EXPECT_EQ (editor->getAbout(), nullptr) << "only the first";
}

TEST_F (MainEditor, ReceiveReplacesEveryControlWithTheInstrumentsEditBuffer)
{
    const auto sent = pattern (3);
    const auto dump = ravlin::packEditBufferDump (sent);
    instrument().receive (dump.data(), (int)dump.size());
    editor->command (MainComp::receiveCommand);
    ASSERT_TRUE (waitFor ([&] { return hub().getCurrentProgram() == sent; }));
    editor->drainEvents();
    int checked = 0;
    for (int address = 0; address < 942; ++address)
    {
        if (address >= 430 && address < 512)
            continue;
        const auto layer = address / 512, number = address % 512;
        if (auto* c = control (layer, number))
        {
            EXPECT_EQ (c->getShownValue(), juce::jlimit (c->getMinimum(), c->getMaximum(), (int)sent[(size_t)address]))
                << address;
            ++checked;
        }
    }
    EXPECT_GT (checked, 450);
    EXPECT_EQ (editor->getEditorPanel()->getLcd().getName(), "Pattern 3");
}

TEST_F (MainEditor, TheProgramDisplayAndMenuShowAllTwentyNameCharacters)
{
    auto image = pattern (5);
    ProgramLibrary::writeName (image.data(), "Wurly Trem ModWheel2");
    hub().setCurrentProgram (image);
    editor->getEditorPanel()->refreshAll();
    EXPECT_EQ (editor->getEditorPanel()->getLcd().getName(), "Wurly Trem ModWheel2");

    hub().currentBank = 0;
    hub().setBankProgram (0, 4, image);
    EXPECT_EQ (itemTexts (editor->getMenu (MainComp::programMenuId)->build())[4 + 4], "P 5  Wurly Trem ModWheel2");
}

TEST_F (MainEditor, AKnobDragReachesTheInstrumentAndTheHostWithAGesture)
{
    auto* cutoff = control (0, 85);
    ASSERT_NE (cutoff, nullptr);
    const auto slot = hub().parameterTable.slotForParameter (85);
    const auto before = cutoff->getShownValue();
    cutoff->mouseDown (mouseAt (*cutoff, 30, 40));
    const auto time = juce::Time::getCurrentTime();
    cutoff->mouseDrag (juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), {50.0f, 30.0f},
                                         juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier), 1.0f, 0.0f, 0.0f,
                                         0.0f, 0.0f, cutoff, cutoff, time, {30.0f, 40.0f}, time, 1, true));
    const auto target = before + 30;
    EXPECT_TRUE (processor->isGestureOpen (slot));
    EXPECT_NEAR (processor->getSlotParameter (slot).getValue(), (float)target / 164.0f, 1e-4f);
    ASSERT_TRUE (waitFor ([&] { return instrument().getEditBuffer()[85] == target; }));
    ASSERT_TRUE (waitFor ([&] { return cutoff->getShownValue() == target; })) << "the value comes back as an event";
    EXPECT_TRUE (waitFor ([&] { return !processor->isGestureOpen (slot); }, 2000)) << "closed 200 ms later";
}

TEST_F (MainEditor, AKnobTurnedOnTheInstrumentMovesTheControlAndIsNotEchoed)
{
    pumpMessages (100);
    const auto received = instrument().getNumMessagesReceived();
    instrument().turnKnob (86, 77);
    auto* resonance = control (0, 86);
    ASSERT_TRUE (waitFor ([&] { return resonance->getShownValue() == 77; }));
    const auto slot = hub().parameterTable.slotForParameter (86);
    EXPECT_NEAR (processor->getSlotParameter (slot).getValue(), 77.0f / 127.0f, 1e-3f);
    pumpMessages (200);
    EXPECT_EQ (instrument().getNumMessagesReceived(), received) << "nothing went back to the instrument";
}

TEST_F (MainEditor, ReceivingAllUserBanksShowsProgressAndFillsTheBanksPage)
{
    for (int b = 0; b < 4; ++b)
        instrument().setProgram (b, 98, pattern (b + 10));
    editor->showBanks (true);
    editor->startBankOperation (777, 0);
    ASSERT_TRUE (editor->getTransfer()->isRunning());
    EXPECT_EQ (editor->getTransfer()->getBar()->getBounds(), editor->getLocalBounds());
    ASSERT_TRUE (waitFor ([&] { return !editor->getTransfer()->isRunning(); }, 30000));
    for (int b = 0; b < 4; ++b)
        EXPECT_EQ (hub().getBankProgram (b, 98), pattern (b + 10)) << b;
    EXPECT_EQ (hub().transferCode.load(), -1);
    EXPECT_EQ (editor->getBanksPage()->getGrid().getRows().size(), 99u);
}

TEST_F (MainEditor, WriteStoresOnBothSides)
{
    hub().setCurrentProgram (pattern (21));
    editor->command (MainComp::writeCommand);
    auto* dialog = editor->getWriteDialog();
    ASSERT_NE (dialog, nullptr);
    EXPECT_EQ (dialog->getBounds(), juce::Rectangle<int> (0, 54, editor->getWidth(), editor->getHeight() - 54));

    // While it shows, BANKS and MIDI do nothing; WRITE closes it.
    editor->command (MainComp::banksCommand);
    editor->command (MainComp::midiCommand);
    EXPECT_FALSE (editor->isBanksShown());
    EXPECT_FALSE (editor->getMidiSetup()->isSetupShown());

    dialog->chooseBank (2);
    dialog->getNameEditor().setText ("Written Here");
    const auto program = dialog->getChosenProgram();
    const auto before = instrument().getProgram (2, program);
    dialog->write();
    // Another slot than the one being edited: the editor asks first, naming it.
    ASSERT_NE (editor->getMessage(), nullptr);
    EXPECT_TRUE (editor->getMessage()->getMessage().contains ("overwrites 1 program in the instrument's memory: U3 P"))
        << editor->getMessage()->getMessage();
    pumpMessages (100);
    EXPECT_EQ (instrument().getProgram (2, program), before) << "nothing sent before the answer";
    editor->getMessage()->getOkButton().triggerClick();
    ASSERT_TRUE (waitFor ([&] { return editor->getWriteDialog() == nullptr; }));
    ASSERT_TRUE (waitFor (
        [&]
        { return ProgramLibrary::nameOf (instrument().getProgram (2, program).data()).trimEnd() == "Written Here"; }));
    EXPECT_EQ (hub().getBankProgram (2, program), instrument().getProgram (2, program));

    editor->command (MainComp::writeCommand);
    editor->command (MainComp::writeCommand);
    EXPECT_EQ (editor->getWriteDialog(), nullptr);
}

TEST_F (MainEditor, FileSaveAndLoadRoundTrip)
{
    const auto folder = juce::File::getSpecialLocation (juce::File::tempDirectory)
                            .getChildFile ("ravlin-main-" + juce::String::toHexString (juce::Random().nextInt64()));
    folder.createDirectory();
    const auto file = folder.getChildFile ("round.syx");
    editor->getFileMan().answerDialog = [file] (const FileMan::Kind&) { return file; };
    const auto saved = pattern (44);
    hub().setCurrentProgram (saved);
    const auto texts = itemTexts (editor->getMenu (MainComp::fileMenuId)->build());
    EXPECT_EQ (texts, (juce::StringArray{"Load Single Program", "Save Pattern 44", "About"}));
    editor->menuChosen (MainComp::fileMenuId, 2);
    ASSERT_TRUE (file.existsAsFile());

    hub().setCurrentProgram (pattern (45));
    editor->menuChosen (MainComp::fileMenuId, 1);
    ASSERT_TRUE (waitFor ([&] { return hub().getCurrentProgram() == saved; }));
    EXPECT_EQ (editor->getEditorPanel()->getLcd().getName(), "Pattern 44");
    folder.deleteRecursively();
}

TEST_F (MainEditor, TheChannelMenuChangesTheChannelOfWhatIsSent)
{
    hub().selectOutputPort (1);
    editor->menuChosen (MainComp::channelMenuId, 5);
    EXPECT_EQ (hub().midiChannel.load(), 5);
    EXPECT_EQ (editor->getEditorPanel()->getAppBar().getChannelText(), "Chan: 5");
    EXPECT_EQ (hub().settingsBlock[SettingsBlock::midiChannel], 5);
    EXPECT_EQ (itemTexts (editor->getMenu (MainComp::channelMenuId)->build())[15], "Channel 16");

    control (0, 86)->userValue (control (0, 86)->getShownValue() + 1, true);
    auto& out = devices->recorders[0];
    ASSERT_TRUE (pumpUntil ([&] { return out.count() > 1; }));
    EXPECT_EQ (out.taken()[0].bytes, ravlin::identity::request()) << "whoever is on the new output is asked first";
    EXPECT_EQ (out.taken()[1].bytes[0], 0xB4) << "an NRPN on channel 5";
}

TEST_F (MainEditor, MenusOfferWhatTheirStateAllows)
{
    // The program menu lists the four user banks only, then 99 programs.
    const auto program = itemTexts (editor->getMenu (MainComp::programMenuId)->build());
    EXPECT_EQ (program.size(), 4 + 99);
    EXPECT_EQ (program[0], hub().banks[0]->bankName);

    hub().currentBank = 2;
    EXPECT_TRUE (
        itemTexts (editor->getMenu (MainComp::optionsMenuId)->build()).contains ("Initialize User Program Bank 3"));
    hub().currentBank = 5;
    EXPECT_FALSE (
        itemTexts (editor->getMenu (MainComp::optionsMenuId)->build()).joinIntoString ("|").contains ("Initialize"));

    EXPECT_EQ (itemTexts (editor->getMenu (MainComp::editMenuId)->build())[3], "Paste ") << "an empty clipboard";
    hub().setCurrentProgram (pattern (7));
    editor->menuChosen (MainComp::editMenuId, 1);
    EXPECT_TRUE (editor->isClipboardFilled());
    EXPECT_EQ (itemTexts (editor->getMenu (MainComp::editMenuId)->build())[3], "Paste Pattern 7");
    EXPECT_EQ (itemTexts (editor->getMenu (MainComp::editMenuId)->build())[9], "VCA                           [5] ")
        << "in \"Voice Parameters \"";

    editor->menuChosen (MainComp::editMenuId, 11 + 4); // "VCA [5]"
    EXPECT_EQ (editor->getEditorPanel()->getLeft(), 2072) << "the feedback column";

    // The computer keyboard's digits jump too.
    editor->getKeyboard()->getKeyPlayer().keyPressed (juce::KeyPress ('3', {}, '3'));
    ASSERT_TRUE (waitFor ([&] { return editor->getEditorPanel()->getLeft() == 1204; }));

    EXPECT_EQ (itemTexts (editor->getMenu (MainComp::sendMenuId)->build())[0], "Current Preset: Pattern 7");
}

TEST_F (MainEditor, SendingEitherPresetReachesTheInstrumentsEditBuffer)
{
    const auto image = pattern (61);
    hub().setCurrentProgram (image);
    editor->menuChosen (MainComp::sendMenuId, 1);
    ASSERT_TRUE (waitFor ([&] { return instrument().getEditBuffer() == image; }));

    // "FX Bank Preset": the plug-in's preset becomes the program edited and the instrument's sound.
    const auto preset = pattern (62);
    hub().setPresetProgram (3, preset);
    hub().presetProgramIndex = 3;
    EXPECT_TRUE (itemTexts (editor->getMenu (MainComp::sendMenuId)->build())[1].startsWith ("FX Bank Preset: "));
    editor->menuChosen (MainComp::sendMenuId, 2);
    EXPECT_EQ (hub().getCurrentProgram(), preset);
    ASSERT_TRUE (waitFor ([&] { return instrument().getEditBuffer() == preset; }));
}

TEST_F (MainEditor, TheBanksPageCutsThePanelToTheBarAndComesBack)
{
    editor->command (MainComp::banksCommand);
    ASSERT_TRUE (editor->isBanksShown());
    EXPECT_EQ (editor->getEditorPanel()->getHeight(), 54);
    EXPECT_EQ (editor->getBanksPage()->getBounds(), juce::Rectangle<int> (0, 54, 1200, 882 - 54 - 172))
        << "the page takes the room above the keyboard strip";
    EXPECT_EQ (editor->getKeyboard()->getBottom(), editor->getHeight());
    EXPECT_FALSE (editor->getEditorPanel()->getScrollBar().isVisible());
    auto* osc = editor->getEditorPanel()->getAppBar().findButton (AppBar::firstSectionCommand);
    osc->mouseUp (mouseAt (*osc, 5, 5));
    EXPECT_FALSE (editor->isBanksShown()) << "a section button closes the page";
    EXPECT_EQ (editor->getEditorPanel()->getHeight(), 710);

    editor->command (MainComp::banksCommand);
    ASSERT_TRUE (editor->isBanksShown());
    editor->getBanksPage()->getOkButton().triggerClick();
    EXPECT_TRUE (waitFor ([&] { return !editor->isBanksShown(); })) << "so does OK";
    EXPECT_EQ (editor->getEditorPanel()->getHeight(), 710);
}

TEST_F (MainEditor, ATransferThatCannotStartSaysWhy)
{
    hub().selectOutputPort (0);
    editor->startBankOperation (777, 0);
    EXPECT_FALSE (editor->getTransfer()->isRunning());
    ASSERT_NE (editor->getMessage(), nullptr);
    EXPECT_TRUE (editor->getMessage()->getMessage().contains ("No MIDI output port"));
    EXPECT_EQ (editor->getMessage()->getBounds(), editor->getLocalBounds());
    editor->getMessage()->getOkButton().triggerClick();
    EXPECT_TRUE (waitFor ([&] { return editor->getMessage() == nullptr; }));
}

TEST_F (MainEditor, TheZoomHandleResizesThePanelAndTheEditor)
{
    auto& handle = editor->getEditorPanel()->getZoomHandle();
    handle.mouseDown (mouseAt (handle, 45, 5));
    const auto time = juce::Time::getCurrentTime();
    handle.mouseDrag (juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), {45.0f, -570.0f},
                                        juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier), 1.0f, 0.0f, 0.0f,
                                        0.0f, 0.0f, &handle, &handle, time, {45.0f, 5.0f}, time, 1, true));
    EXPECT_EQ (editor->getEditorPanel()->getHeight(), 200) << "never below 200";
    EXPECT_NEAR (editor->getEditorPanel()->getScale(), 130.0f / 640.0f, 1e-4f);
    EXPECT_EQ (editor->getHeight(), editor->getKeyboard()->getHeight() + 200);
    EXPECT_EQ (handle.getText(), "20%");
    handle.mouseUp (mouseAt (handle, 45, -570));
}

TEST_F (MainEditor, ProgramCategoryAndBankMenusActOnTheirTargets)
{
    // The program menu selects on the instrument and in the plug-in.
    instrument().setProgram (1, 4, pattern (77));
    hub().setBankProgram (1, 4, pattern (77));
    editor->menuChosen (MainComp::programMenuId, 100000 + 1);
    editor->menuChosen (MainComp::programMenuId, 1000 + 4);
    EXPECT_EQ (hub().getCurrentProgram(), pattern (77));
    ASSERT_TRUE (waitFor ([&] { return instrument().getCurrentBank() == 1 && instrument().getCurrentProgram() == 4; }));

    // The category menu changes byte 426 of the current program and the display.
    editor->menuChosen (MainComp::categoryMenuId, 1 + 12);
    EXPECT_EQ (hub().getProgramByte (426), 12);
    EXPECT_EQ (editor->getEditorPanel()->getLcd().getCategoryText(), ParDes::categoryText (12));

    // A grid press plays from the bank copy when asked to.
    hub().playFromBankCopy = true;
    hub().setBankProgram (2, 9, pattern (78));
    editor->showBanks (true);
    editor->getBanksPage()->getGrid().setContent (0, 2);
    auto& grid = editor->getBanksPage()->getGrid();
    grid.mouseDown (mouseAt (grid, 60, 9 * grid.getRowHeight() + 5));
    EXPECT_EQ (hub().getCurrentProgram(), pattern (78));

    // The program cell menu: copy the current program, paste it into another slot.
    editor->menuChosen (MainComp::cellMenuId, 1);
    ASSERT_TRUE (editor->isClipboardFilled());
    grid.mouseDown (mouseAt (grid, 60, 20 * grid.getRowHeight() + 5));
    editor->menuChosen (MainComp::cellMenuId, 2);
    EXPECT_EQ (hub().getBankProgram (2, 20), pattern (78));

    // The bank file menu loads a bank file into a user bank and saves one.
    const auto folder = juce::File::getSpecialLocation (juce::File::tempDirectory)
                            .getChildFile ("ravlin-bankfile-" + juce::String::toHexString (juce::Random().nextInt64()));
    folder.createDirectory();
    Bank_Program source ("source");
    for (int p = 0; p < 99; ++p)
        source.setProgram (p, pattern (200 + p));
    const auto bankFile = folder.getChildFile ("bank.syx");
    ASSERT_TRUE (ProgramFiles::write (bankFile, ProgramFiles::bankContent (source, 0)));
    editor->getFileMan().answerDialog = [bankFile] (const FileMan::Kind&) { return bankFile; };
    EXPECT_EQ (itemTexts (editor->getMenu (MainComp::bankFileMenuId)->build())[1], "Load Program Bank To Bank U2");
    editor->menuChosen (MainComp::bankFileMenuId, 101);
    ASSERT_NE (editor->getMessage(), nullptr);
    editor->getMessage()->getOkButton().onClick();
    EXPECT_TRUE (waitFor ([&] { return hub().getBankProgram (1, 50) == pattern (250); }));
    const auto saved = folder.getChildFile ("saved.syx");
    editor->getFileMan().answerDialog = [saved] (const FileMan::Kind&) { return saved; };
    editor->menuChosen (MainComp::bankFileMenuId, 201);
    EXPECT_TRUE (waitFor ([&] { return saved.existsAsFile(); }));
    folder.deleteRecursively();

    // Options: initialise the selected user bank.
    hub().currentBank = 2;
    editor->menuChosen (MainComp::optionsMenuId, 99);
    ASSERT_NE (editor->getMessage(), nullptr);
    editor->getMessage()->getOkButton().onClick();
    EXPECT_TRUE (waitFor ([&] { return editor->getMessage() == nullptr; }));
    EXPECT_EQ (hub().getBankProgram (2, 20), hub().getBankProgram (2, 0));
    EXPECT_NE (hub().getBankProgram (2, 20), pattern (78));
}

TEST_F (MainEditor, ReopeningKeepsTheLayoutAndInstancesKeepTheirOwn)
{
    auto& handle = editor->getEditorPanel()->getZoomHandle();
    handle.mouseDown (mouseAt (handle, 45, 5));
    const auto time = juce::Time::getCurrentTime();
    handle.mouseDrag (juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), {45.0f, -185.0f},
                                        juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier), 1.0f, 0.0f, 0.0f,
                                        0.0f, 0.0f, &handle, &handle, time, {45.0f, 5.0f}, time, 1, true));
    handle.mouseUp (mouseAt (handle, 45, -185));
    const auto scale = editor->getEditorPanel()->getScale();
    ASSERT_NEAR (scale, 450.0f / 640.0f, 1e-4f);
    editor->menuChosen (MainComp::channelMenuId, 9);
    editor.reset();

    editor = std::make_unique<MainComp> (processor.get());
    EXPECT_NEAR (editor->getEditorPanel()->getScale(), scale, 1e-3f) << "the scale came back";
    EXPECT_EQ (editor->getEditorPanel()->getAppBar().getChannelText(), "Chan: 9");

    // A second instance is a world of its own: its own channel, its own first opening.
    RavlinAudioProcessor other (std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File());
    MainComp otherEditor (&other);
    EXPECT_NE (otherEditor.getAbout(), nullptr);
    EXPECT_EQ (other.getHub().midiChannel.load(), 1);
    EXPECT_EQ (otherEditor.getEditorPanel()->getAppBar().getChannelText(), "Chan: 1");
}

TEST_F (MainEditor, HubEventsReachTheirControls)
{
    hub().hostChange (1028, 1);
    hub().hostChange (1025, 90);
    ASSERT_TRUE (waitFor ([&] { return control (0, 1028)->getShownValue() == 1; }));
    auto* sliders = editor->getEditorPanel()->getPanel (0, 0);
    EXPECT_TRUE (waitFor ([&] { return sliders->getSlider (0)->getPosition() == 90; }));

    hub().postEvent (HubEvent::online);
    EXPECT_TRUE (waitFor ([&] { return editor->getKeyboard()->getStatusText() == "DSI:  PROPHET 12 MDL ON-LINE"; }));
    hub().postEvent (HubEvent::offline);
    EXPECT_TRUE (waitFor ([&] { return editor->getKeyboard()->getStatusText() == "OFF-LINE"; }));
    hub().postEvent (HubEvent::pitchBend (1, 100 * 128));
    hub().postEvent (HubEvent::controller (1, 1, 33));
    EXPECT_TRUE (waitFor ([&] { return editor->getKeyboard()->getModWheel().getValue() == 33; }));
    EXPECT_EQ (editor->getKeyboard()->getPitchWheel().getValue(), 100);
    // An instrument on channel 16 moves the wheels just the same.
    hub().setMidiChannelSetting (16);
    hub().handleIncomingMidiMessage (nullptr, juce::MidiMessage::pitchWheel (16, 20 * 128));
    hub().handleIncomingMidiMessage (nullptr, juce::MidiMessage::controllerEvent (16, 1, 77));
    EXPECT_TRUE (waitFor ([&] { return editor->getKeyboard()->getModWheel().getValue() == 77; }));
    EXPECT_EQ (editor->getKeyboard()->getPitchWheel().getValue(), 20);
    hub().postEvent (0x210002D7 + 7); // the eighth code: modulation
    EXPECT_TRUE (waitFor ([&] { return editor->getEditorPanel()->getLeft() == 4562; }));
}

TEST_F (MainEditor, UndoAndRedoFromTheEditMenuAndTheKeyboard)
{
    auto items = itemTexts (editor->getMenu (MainComp::editMenuId)->build());
    EXPECT_EQ (items[0], "Undo");
    EXPECT_EQ (items[1], "Redo");
    const auto menu = editor->getMenu (MainComp::editMenuId)->build();
    juce::PopupMenu::MenuItemIterator first (menu);
    ASSERT_TRUE (first.next());
    EXPECT_FALSE (first.getItem().isEnabled) << "nothing to undo yet";

    const auto before = hub().getProgramByte (85);
    auto* cutoff = control (0, 85);
    ASSERT_NE (cutoff, nullptr);
    processor->cableChanged (85, (before + 30) % 128, true, true, true);
    processor->recordHistory();
    items = itemTexts (editor->getMenu (MainComp::editMenuId)->build());
    EXPECT_EQ (items[0],
               "Undo " + juce::String (hub().parameterTable.hostName (hub().parameterTable.slotForParameter (85))));

    editor->menuChosen (MainComp::editMenuId, EditMenu::undoItem);
    EXPECT_EQ (hub().getProgramByte (85), before);
    EXPECT_TRUE (waitFor ([&] { return cutoff->getShownValue() == before; })) << "the control follows";
    EXPECT_TRUE (waitFor ([&] { return instrument().getEditBuffer()[85] == before; }));

    // Ctrl+Shift+Z redoes and Ctrl+Z undoes, even with the computer keyboard playing notes.
    auto& player = editor->getKeyboard()->getKeyPlayer();
    const auto ctrl = juce::ModifierKeys::commandModifier;
    EXPECT_FALSE (player.keyPressed (juce::KeyPress ('z', juce::ModifierKeys (ctrl), 'z')));
    EXPECT_TRUE (
        editor->keyPressed (juce::KeyPress ('z', juce::ModifierKeys (ctrl | juce::ModifierKeys::shiftModifier), 'Z')));
    EXPECT_EQ (hub().getProgramByte (85), (before + 30) % 128);
    EXPECT_TRUE (editor->keyPressed (juce::KeyPress ('z', juce::ModifierKeys (ctrl), 'z')));
    EXPECT_EQ (hub().getProgramByte (85), before);
    EXPECT_FALSE (editor->keyPressed (juce::KeyPress ('z', {}, 'z'))) << "a plain z is a note";
}

TEST_F (MainEditor, CompareAndRevertFromTheApplicationBar)
{
    auto& bar = editor->getEditorPanel()->getAppBar();
    auto* compare = bar.findButton (AppBar::compareCommand);
    ASSERT_NE (compare, nullptr);
    EXPECT_TRUE (compare->isVisible());
    EXPECT_TRUE (bar.getLocalBounds().contains (compare->getBounds()));

    const auto stored = pattern (21);
    hub().setBankProgram (0, 3, stored);
    hub().selectProgram (3, false, false);
    processor->recordHistory();
    processor->cableChanged (85, (stored[85] + 9) % 128, true, true, true);
    const auto edited = hub().getCurrentProgram();

    compare->mouseUp (mouseAt (*compare, 5, 5));
    EXPECT_TRUE (processor->isComparing());
    EXPECT_TRUE (compare->isSelected());
    EXPECT_TRUE (waitFor ([&] { return instrument().getEditBuffer() == stored; }));
    EXPECT_TRUE (waitFor ([&] { return control (0, 85)->getShownValue() == stored[85]; }));
    ravlin::test::saveSnapshot (bar, "appbar-comparing");

    compare->mouseUp (mouseAt (*compare, 5, 5));
    EXPECT_FALSE (compare->isSelected());
    EXPECT_TRUE (waitFor ([&] { return instrument().getEditBuffer() == edited; }));

    auto* revert = bar.findButton (AppBar::revertCommand);
    revert->mouseUp (mouseAt (*revert, 5, 5));
    EXPECT_EQ (hub().getCurrentProgram(), stored);
    EXPECT_TRUE (waitFor ([&] { return instrument().getEditBuffer() == stored; }));

    hub().selectProgram (-1, false, false);
    compare->mouseUp (mouseAt (*compare, 5, 5));
    ASSERT_NE (editor->getMessage(), nullptr);
    EXPECT_TRUE (editor->getMessage()->getMessage().contains ("Choose a bank program first"));
    EXPECT_FALSE (compare->isSelected());
}

TEST_F (MainEditor, TheOutLampTurnsAmberWhenAutomationHasWaitedForTheLinkForASecond)
{
    auto& bar = editor->getEditorPanel()->getAppBar();
    auto& out = bar.getOutputLamp();
    instrument().setWireSpeed (VirtualInstrument::WireSpeed::din);
    ASSERT_TRUE (waitFor ([&] { return hub().globalsReceived.load(); }));
    EXPECT_FALSE (out.isWarning());

    // The host moves every parameter with an NRPN at once: nearly two seconds of DIN MIDI.
    std::map<int, int> moved;
    const auto& table = hub().parameterTable;
    for (int row = 0; row < ravlin::ParameterTable::numImageParameters; ++row)
        if (table.nrpnNumber (row) != ravlin::ParameterTable::noNrpn && table.highest (row) > 0)
        {
            moved[row] = (hub().getProgramByte (row) + 1) % (table.highest (row) + 1);
            hub().hostChange (row, moved[row]);
        }
    ASSERT_GT ((double)moved.size() * 12 * LinkSpeed::dinMillisecondsPerByte, 1500.0);

    pumpMessages (500);
    editor->drainEvents();
    EXPECT_FALSE (out.isWarning()) << "half a second behind is no news yet";
    EXPECT_TRUE (out.getTooltip().isEmpty());

    ASSERT_TRUE (waitFor ([&] { return out.isWarning(); }, 3000)) << "after a second, amber";
    const auto tip = out.getTooltip();
    EXPECT_TRUE (tip.startsWith ("MIDI out is full: the instrument is ")) << tip;
    EXPECT_TRUE (tip.endsWith (" ms behind the host's automation")) << tip;
    const auto behind = tip.fromFirstOccurrenceOf ("instrument is ", false, false).getIntValue();
    EXPECT_GT (behind, 0) << tip;
    EXPECT_LT (behind, 2000) << tip;
    ravlin::test::saveSnapshot (bar, "appbar-midi-out-behind");

    ASSERT_TRUE (waitFor ([&] { return !out.isWarning(); }, 5000)) << "back to red once it has caught up";
    EXPECT_TRUE (out.getTooltip().isEmpty());
    const auto image = instrument().getEditBuffer();
    std::map<int, int> rowsOfNumber; // a number two rows share lands on one of them
    for (const auto& [row, value] : moved)
        ++rowsOfNumber[table.nrpnNumber (row)];
    int differing = 0;
    for (const auto& [row, value] : moved)
        differing += rowsOfNumber[table.nrpnNumber (row)] == 1 && image[(size_t)row] != value ? 1 : 0;
    EXPECT_EQ (differing, 0) << "and the instrument holds what the host set";
}

TEST_F (MainEditor, ActivityLampsFollowThePluginsOwnPorts)
{
    auto& bar = editor->getEditorPanel()->getAppBar();
    auto& in = bar.getInputLamp();
    auto& out = bar.getOutputLamp();
    EXPECT_TRUE (bar.getLocalBounds().contains (out.getBounds()));
    // The global dump asked for at opening has come back and its flash is over.
    ASSERT_TRUE (waitFor (
        [&]
        {
            return hub().globalsReceived.load() && in.getSeenCount() == hub().getPorts().messagesIn.load() &&
                   !in.isLit() && !out.isLit();
        }));

    processor->cableChanged (85, 3, true, true, true);
    ASSERT_TRUE (waitFor ([&] { return out.isLit(); })) << "an NRPN went out";
    EXPECT_FALSE (in.isLit());
    ASSERT_TRUE (waitFor ([&] { return !out.isLit(); })) << "and the lamp goes out again";

    instrument().turnKnob (86, 5);
    ASSERT_TRUE (waitFor ([&] { return in.isLit(); }));
    ravlin::test::saveSnapshot (bar, "appbar-midi-in");

    // Another port's traffic is none of theirs.
    hub().selectInputPort (0);
    hub().selectOutputPort (0);
    ASSERT_TRUE (waitFor ([&] { return !in.isLit() && !out.isLit(); }));
    processor->cableChanged (85, 4, true, true, true);
    instrument().turnKnob (86, 6);
    pumpMessages (200);
    editor->drainEvents();
    EXPECT_FALSE (in.isLit());
    EXPECT_FALSE (out.isLit());
}

namespace
{
/** A temporary folder for the files dropped and loaded. */
struct DropFolder
{
    DropFolder() { folder.createDirectory(); }
    ~DropFolder() { folder.deleteRecursively(); }
    juce::File write (const juce::String& name, const Bytes& content) const
    {
        const auto f = folder.getChildFile (name);
        EXPECT_TRUE (ProgramFiles::write (f, content));
        return f;
    }
    /** Program dumps for the given banks, program p of bank b being pattern (b * 100 + p). */
    juce::File banksFile (const juce::String& name, std::initializer_list<int> banks) const
    {
        Bytes content;
        for (auto b : banks)
            for (int p = 0; p < 99; ++p)
            {
                const auto dump = ravlin::packProgramDump (pattern (b * 100 + p), b, p);
                content.insert (content.end(), dump.begin(), dump.end());
            }
        return write (name, content);
    }
    const juce::File folder =
        juce::File::getSpecialLocation (juce::File::tempDirectory)
            .getChildFile ("ravlin-drop-" + juce::String::toHexString (juce::Random().nextInt64()));
};
} // namespace

TEST_F (MainEditor, AProgramFileDroppedOnTheEditorBecomesTheCurrentProgram)
{
    const DropFolder files;
    const auto single = files.write ("one.syx", ProgramFiles::singleProgramContent (pattern (71)));
    EXPECT_TRUE (editor->isInterestedInFileDrag ({single.getFullPathName()}));
    EXPECT_FALSE (editor->isInterestedInFileDrag ({files.folder.getChildFile ("notes.txt").getFullPathName()}));

    editor->filesDropped ({single.getFullPathName()}, 600, 300);
    EXPECT_EQ (hub().getCurrentProgram(), pattern (71));
    EXPECT_TRUE (waitFor ([&] { return editor->getEditorPanel()->getLcd().getName() == "Pattern 71"; }));

    // A bank or garbage is no program for the editor: said so, nothing changes.
    const auto bank = files.banksFile ("bank.p12b", {1});
    editor->filesDropped ({bank.getFullPathName()}, 600, 300);
    ASSERT_NE (editor->getMessage(), nullptr);
    EXPECT_TRUE (editor->getMessage()->getMessage().contains ("drop bank files on the banks page"));
    EXPECT_EQ (hub().getCurrentProgram(), pattern (71));
    const auto garbage = files.write ("garbage.syx", Bytes (3000, 0xF0));
    editor->filesDropped ({garbage.getFullPathName()}, 600, 300);
    EXPECT_EQ (hub().getCurrentProgram(), pattern (71));
}

TEST_F (MainEditor, ABankFileDroppedOnTheBanksPageFillsTheShownUserBankAfterAsking)
{
    const DropFolder files;
    const auto bank = files.banksFile ("bank.syx", {6}); // dumps of factory bank 3 go wherever dropped
    const auto before = hub().getBankProgram (1, 0);
    editor->command (MainComp::banksCommand);
    editor->getBanksPage()->getGrid().setContent (0, 1);
    const auto at = editor->getBanksPage()->getBounds().getCentre();

    editor->filesDropped ({bank.getFullPathName()}, at.x, at.y);
    ASSERT_NE (editor->getMessage(), nullptr);
    EXPECT_EQ (editor->getMessage()->getMessage(), "Load the 99 programs of bank.syx into User Bank 2?");
    editor->getMessage()->getCancelButton().onClick();
    ASSERT_TRUE (waitFor ([&] { return editor->getMessage() == nullptr; }));
    EXPECT_EQ (hub().getBankProgram (1, 0), before);

    editor->filesDropped ({bank.getFullPathName()}, at.x, at.y);
    editor->getMessage()->getOkButton().onClick();
    ASSERT_TRUE (waitFor ([&] { return hub().getBankProgram (1, 98) == pattern (698); }));
    EXPECT_EQ (hub().getBankProgram (1, 0), pattern (600));

    editor->getBanksPage()->getGrid().setContent (0, 5);
    editor->filesDropped ({bank.getFullPathName()}, at.x, at.y);
    ASSERT_NE (editor->getMessage(), nullptr);
    EXPECT_EQ (editor->getMessage()->getMessage(), "Show a user bank to drop a bank file on it.");
}

TEST_F (MainEditor, AllBanksFilesGoIntoTheBanksTheirDumpsName)
{
    const DropFolder files;
    const auto all = files.banksFile ("all.syx", {0, 1, 2, 3});
    editor->getFileMan().answerDialog = [all] (const FileMan::Kind&) { return all; };
    EXPECT_TRUE (itemTexts (editor->getMenu (MainComp::bankFileMenuId)->build()).contains ("Load All Banks From File"));

    const auto untouched = hub().getBankProgram (0, 10);
    editor->menuChosen (MainComp::bankFileMenuId, BankFileMenu::allBanksItem);
    ASSERT_NE (editor->getMessage(), nullptr);
    EXPECT_EQ (editor->getMessage()->getMessage(),
               "all.syx holds 396 programs. Overwrite User Bank 1, User Bank 2, User Bank 3, User Bank 4 with them?");
    editor->getMessage()->getCancelButton().onClick();
    ASSERT_TRUE (waitFor ([&] { return editor->getMessage() == nullptr; }));
    EXPECT_EQ (hub().getBankProgram (0, 10), untouched);

    editor->menuChosen (MainComp::bankFileMenuId, BankFileMenu::allBanksItem);
    editor->getMessage()->getOkButton().onClick();
    ASSERT_TRUE (waitFor ([&] { return hub().getBankProgram (3, 98) == pattern (398); }));
    for (int b = 0; b < 4; ++b)
        EXPECT_EQ (hub().getBankProgram (b, 42), pattern (b * 100 + 42)) << b;
    ASSERT_NE (editor->getMessage(), nullptr);
    EXPECT_TRUE (editor->getMessage()->getMessage().startsWith ("Loaded 396 programs from all.syx into User Bank 1"));

    // Factory banks only: nothing of the user's is at stake, so no question.
    const auto factory = files.banksFile ("factory.syx", {5, 7});
    editor->getFileMan().answerDialog = [factory] (const FileMan::Kind&) { return factory; };
    editor->menuChosen (MainComp::bankFileMenuId, BankFileMenu::allBanksItem);
    EXPECT_EQ (hub().getBankProgram (5, 1), pattern (501));
    EXPECT_EQ (hub().getBankProgram (7, 97), pattern (797));
    EXPECT_EQ (editor->getMessage()->getMessage(),
               "Loaded 198 programs from factory.syx into Factory Bank 2, Factory Bank 4.");

    // Dropped on the banks page, a file of several banks takes the same way.
    editor->command (MainComp::banksCommand);
    const auto at = editor->getBanksPage()->getBounds().getCentre();
    editor->filesDropped ({all.getFullPathName()}, at.x, at.y);
    EXPECT_TRUE (editor->getMessage()->getMessage().startsWith ("all.syx holds 396 programs. Overwrite"));
}

TEST_F (MainEditor, EveryControlIsNamedReadableAndReachableWithTab)
{
    int controls = 0;
    std::function<void (juce::Component&)> visit = [&] (juce::Component& c)
    {
        if (auto* control = dynamic_cast<StsCont*> (&c))
        {
            ++controls;
            const auto access = control->createAccessibilityHandler();
            EXPECT_TRUE (control->getTitle().length() > 2) << control->getAddress();
            EXPECT_TRUE (control->getWantsKeyboardFocus()) << control->getAddress();
            if (auto* value = access->getValueInterface())
                EXPECT_EQ (value->getCurrentValueAsString(), control->getValueText()) << control->getAddress();
            else
                EXPECT_EQ (access->getRole(), juce::AccessibilityRole::toggleButton) << control->getAddress();
        }
        for (auto* child : c.getChildren())
            visit (*child);
    };
    visit (*editor);
    EXPECT_GT (controls, 450);

    // Tab moves through the controls of the sections shown, the bar's buttons and the program
    // display; the program display speaks its program.
    const auto traverser = editor->createKeyboardFocusTraverser();
    int knobs = 0, buttons = 0;
    for (auto* c : traverser->getAllComponents (editor.get()))
    {
        knobs += dynamic_cast<StsCont*> (c) != nullptr ? 1 : 0;
        buttons += dynamic_cast<StsBut*> (c) != nullptr ? 1 : 0;
    }
    EXPECT_GT (knobs, 50);
    EXPECT_GE (buttons, 7 + 12 + 2);
    hub().storeEditorProgram (false, 0, 0, pattern (9));
    editor->drainEvents();
    auto& lcd = editor->getEditorPanel()->getLcd();
    EXPECT_TRUE (lcd.spokenText().contains ("Pattern 9"));
    EXPECT_EQ (lcd.createAccessibilityHandler()->getValueInterface()->getCurrentValueAsString(), lcd.spokenText());
}

//==============================================================================
TEST_F (MainEditor, TransmitsAskBeforeOverwritingAndSayHowMany)
{
    const auto before = instrument().getProgram (0, 0);
    for (int p = 0; p < 99; ++p)
        hub().setBankProgram (0, p, pattern (p + 50));
    editor->showBanks (true);
    editor->startBankOperation (MidiCntrState::transmitAllUserBanks, 0);
    ASSERT_NE (editor->getMessage(), nullptr);
    EXPECT_EQ (editor->getMessage()->getMessage(),
               "This overwrites 396 programs in the instrument's memory: User Banks 1 to 4. Continue?");
    EXPECT_FALSE (editor->getTransfer()->isRunning());
    editor->getMessage()->getCancelButton().triggerClick();
    ASSERT_TRUE (waitFor ([&] { return editor->getMessage() == nullptr; }));
    pumpMessages (100);
    EXPECT_FALSE (editor->getTransfer()->isRunning());
    EXPECT_EQ (instrument().getProgram (0, 0), before) << "cancelled: nothing sent";

    hub().currentProgram = 41;
    editor->startBankOperation (MidiCntrState::transmitProgramToBank, 5);
    ASSERT_NE (editor->getMessage(), nullptr);
    EXPECT_EQ (editor->getMessage()->getMessage(),
               "This overwrites 1 program in the instrument's memory: F2 P 42. Continue?");
    editor->getMessage()->getOkButton().triggerClick();
    ASSERT_TRUE (waitFor ([&] { return editor->getTransfer()->isRunning(); }));
    ASSERT_TRUE (waitFor ([&] { return !editor->getTransfer()->isRunning(); }));
    EXPECT_EQ (instrument().getProgram (5, 41), hub().getCurrentProgram());

    // Receiving overwrites only the plug-in's copies: no question.
    editor->startBankOperation (0, 6);
    EXPECT_EQ (editor->getMessage(), nullptr);
    EXPECT_TRUE (editor->getTransfer()->isRunning());
    editor->getTransfer()->cancel();
}

TEST_F (MainEditor, WriteReportsWhatReadingBackFoundAndWhenNothingWasSent)
{
    hub().verifyAfterWriting = true;
    hub().currentBank = 1;
    hub().currentProgram = 7;
    hub().setCurrentProgram (pattern (33));
    instrument().ignoreWritesTo (1, 7); // a slot that does not take what is written

    editor->command (MainComp::writeCommand);
    ASSERT_NE (editor->getWriteDialog(), nullptr);
    EXPECT_TRUE (editor->getWriteDialog()->getVerifyBox().isTicked());
    editor->getWriteDialog()->write(); // the slot being edited: no question
    ASSERT_TRUE (waitFor ([&] { return editor->getMessage() != nullptr; }));
    EXPECT_EQ (editor->getMessage()->getMessage(), "Read back: 1 of 1 program differs from what was sent: U2 P 8.");
    editor->getMessage()->getOkButton().triggerClick();
    ASSERT_TRUE (waitFor ([&] { return editor->getMessage() == nullptr; }));

    hub().selectOutputPort (0);
    editor->command (MainComp::writeCommand);
    ASSERT_NE (editor->getWriteDialog(), nullptr);
    editor->getWriteDialog()->write();
    ASSERT_TRUE (waitFor ([&] { return editor->getMessage() != nullptr; }));
    EXPECT_TRUE (editor->getMessage()->getMessage().startsWith ("Nothing was written: no MIDI output port is open"));
    EXPECT_NE (editor->getWriteDialog(), nullptr) << "the dialog stays for another try";
}

TEST (TransferTexts, ReadBackReportsNameEverySlotInRuns)
{
    BankTransmitter::Report all;
    all.total = all.sent = all.checked = 396;
    all.readBack = true;
    EXPECT_EQ (TransferProgress::reportText (all), "Read back 396 programs: all matched what was sent.");

    BankTransmitter::Report some = all;
    some.differing = {{0, 2}, {0, 3}, {0, 4}, {0, 9}, {1, 0}, {5, 98}};
    EXPECT_EQ (TransferProgress::reportText (some),
               "Read back: 6 of 396 programs differ from what was sent: U1 P 3-5, U1 P 10, U2 P 1, F2 P 99.");

    BankTransmitter::Report silent;
    silent.total = silent.sent = 99;
    silent.checked = 10;
    silent.answered = false;
    EXPECT_EQ (TransferProgress::reportText (silent),
               "The instrument stopped answering: 89 programs not checked (10 programs matched).");

    BankTransmitter::Report cut;
    cut.total = 99;
    cut.sent = 87;
    EXPECT_EQ (TransferProgress::reportText (cut),
               "The MIDI output stopped taking data: 12 of 99 programs were not sent.");

    bool ticked = false;
    const auto menu = TransferProgress::buildBankMenu ("User Bank 1", true); // the iterator keeps no copy
    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
        if (it.getItem().text == "Verify After Writing")
            ticked = it.getItem().isTicked;
    EXPECT_TRUE (ticked);
}

TEST_F (MainEditor, CheckConnectionNamesTheModelAndKeepsItsVerdictInTheStatusLine)
{
    EXPECT_EQ (itemTexts (editor->getMenu (MainComp::midiMenuId)->build()),
               (juce::StringArray{"MIDI Setup", "Check Connection", "MIDI Monitor"}));
    auto& status = *editor->getKeyboard();

    // The virtual module, set as the setup's help text asks.
    editor->menuChosen (MainComp::midiMenuId, MidiMenu::checkConnectionItem);
    EXPECT_TRUE (editor->getMidiSetup()->isScanShown());
    ASSERT_TRUE (waitFor ([&] { return status.getStatusText() == "PROPHET 12 MDL: SETTINGS OK"; }))
        << status.getStatusText();
    ASSERT_TRUE (waitFor ([&] { return !editor->getMidiSetup()->isScanShown(); })) << "a good check closes itself";

    // Both ports moved to the keyboard in the setup: OK starts the check by itself.
    editor->menuChosen (MainComp::midiMenuId, MidiMenu::setupItem);
    auto* setup = editor->getMidiSetup()->getSetup();
    ASSERT_NE (setup, nullptr);
    EXPECT_EQ (setup->getStatusText(), status.getStatusText()) << "the panel's title says the same";
    setup->portChosen (true, 5); // NONE, two system ports, the virtual module, the virtual keyboard
    setup->portChosen (false, 5);
    EXPECT_EQ (status.getStatusText(), "OFF-LINE") << "the verdict was about the other ports";
    auto& keyboard = hub().getVirtualInstrument (ravlin::InstrumentModel::keyboard);
    keyboard.setGlobal (6, 2); // "MIDI Param Recv.": CC only
    setup->getOkButton().triggerClick();
    ASSERT_TRUE (waitFor ([&] { return status.getStatusText() == "PROPHET 12 KBD: CHECK SETTINGS"; }))
        << status.getStatusText();
    EXPECT_FALSE (editor->getMidiSetup()->isSetupShown());
    ASSERT_TRUE (editor->getMidiSetup()->isScanShown()) << "the warnings stay until clicked";
    EXPECT_EQ (editor->getMidiSetup()->getScan()->getWarnings(),
               juce::StringArray ("- Parameter Receive = ALL or NRPN"));
    ravlin::test::saveSnapshot (*editor, "main-check-connection-keyboard");

    // Saved program files carry the keyboard's byte; the keyboard never heard the module's.
    EXPECT_EQ (editor->getFileMan().deviceByte(), ravlin::sysex::deviceKeyboard);
    EXPECT_EQ (keyboard.getNumOtherModelMessages(), 0);

    keyboard.setGlobal (6, 0); // "All"
    editor->menuChosen (MainComp::midiMenuId, MidiMenu::checkConnectionItem);
    ASSERT_TRUE (waitFor ([&] { return status.getStatusText() == "PROPHET 12 KBD: SETTINGS OK"; }))
        << status.getStatusText();

    // The global panel follows each answer by itself: a reply that is no global dump dims it and
    // says so, the next good one brings it back.
    editor->menuChosen (MainComp::midiMenuId, MidiMenu::setupItem);
    setup = editor->getMidiSetup()->getSetup();
    ASSERT_NE (setup, nullptr);
    setup->toggleGlobals();
    auto* globals = setup->getGlobalsPanel();
    ASSERT_NE (globals, nullptr);
    // Opening the panel asked for the globals: their answer first, or on a busy machine it comes
    // after the bad reply below and brings the panel back before the test looks.
    ASSERT_TRUE (waitFor ([&] { return hub().globalsReceived.load() && globals->getControl (13)->isEnabled(); }));
    const Bytes raw{0xF0, 0x01, 0x2A, 0x0F, 1, 2, 3, 0xF7};
    hub().handleIncomingMidiMessage (nullptr, juce::MidiMessage (raw.data(), (int)raw.size()));
    ASSERT_TRUE (waitFor ([&] { return !globals->getControl (13)->isEnabled(); }));
    EXPECT_TRUE (globals->getNote().contains ("(8 bytes) was not a global dump"));
    hub().requestGlobals();
    ASSERT_TRUE (waitFor ([&] { return globals->getControl (13)->isEnabled(); }));
    EXPECT_TRUE (globals->getNote().isEmpty());
}

TEST_F (MainEditor, TheModelChosenInTheSetupIsSpokenAndKept)
{
    editor->menuChosen (MainComp::midiMenuId, MidiMenu::setupItem);
    auto* setup = editor->getMidiSetup()->getSetup();
    ASSERT_NE (setup, nullptr);
    EXPECT_EQ (setup->getModelText(), "Detect");
    setup->modelChosen (3);
    EXPECT_EQ (setup->getModelText(), "Prophet 12 Keyboard");
    EXPECT_EQ (hub().settingsBlock[SettingsBlock::instrumentModel], 2);
    EXPECT_EQ (hub().deviceByte(), ravlin::sysex::deviceKeyboard) << "whatever the module on the ports said";
    ravlin::test::saveSnapshot (*setup, "setup-model-keyboard");

    // The module on the ports no longer answers: its byte is not the one spoken.
    hub().requestEditBuffer();
    EXPECT_TRUE (waitFor ([&] { return instrument().getNumOtherModelMessages() > 0; }));
    setup->modelChosen (1);
    EXPECT_EQ (hub().settingsBlock[SettingsBlock::instrumentModel], 0);
    EXPECT_EQ (hub().deviceByte(), ravlin::sysex::deviceModule);
}
