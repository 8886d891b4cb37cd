// What the musician sees follows what happened: the program display, the bank list, the menus'
// ticks, the write dialog's category and the destination selectors.
#include "core/HubEvents.h"
#include "core/RavlinAudioProcessor.h"
#include "instrument/DSI_Program.h"
#include "instrument/ParDes.h"
#include "instrument/ProgramPacking.h"
#include "library/ProgramLibrary.h"
#include "support/FakeMidiDevices.h"
#include "support/MenuItems.h"
#include "support/MessagePump.h"
#include "support/UiEvents.h"
#include "ui/controls/ValueMenus.h"
#include "ui/editor/MainComp.h"
#include "ui/library/LibraryWidgets.h"

#include <gtest/gtest.h>

using ravlin::Bytes;
using ravlin::test::itemTexts;
using ravlin::test::mouseAt;
using ravlin::test::pumpMessages;
using ravlin::test::pumpUntil;
using ravlin::test::saveSnapshot;
using ravlin::test::tickedTexts;

namespace
{
constexpr int virtualPort = 3; // after the fake devices' two

/** A plain program: A/B mode NOR, arpeggiator off, category 0, the given name. */
Bytes plainProgram (const juce::String& name, int category = 0)
{
    Bytes image (1024, 0);
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = (uint8_t)((i * 3) % 20);
    image[(size_t)DSI_Program::abModeOffset] = 0;
    image[(size_t)DSI_Program::arpOnA] = 0;
    image[(size_t)DSI_Program::arpOnB] = 0;
    image[(size_t)DSI_Program::categoryOffset] = (uint8_t)category;
    ProgramLibrary::writeName (image.data(), name);
    return image;
}

class EditorFollows : public ::testing::Test
{
protected:
    EditorFollows()
    {
        auto fake = std::make_unique<ravlin::test::FakeMidiDevices>();
        processor = std::make_unique<RavlinAudioProcessor> (std::move (fake), juce::File());
        hub().selectInputPort (virtualPort);
        hub().selectOutputPort (virtualPort);
        editor = std::make_unique<MainComp> (processor.get());
        editor->showAbout (false);
    }
    ~EditorFollows() override
    {
        editor.reset();
        processor.reset();
    }

    MidiCntrState& hub() { return processor->getHub(); }
    VirtualInstrument& instrument() { return hub().getVirtualInstrument(); }
    LCD_Comp& display() { return editor->getEditorPanel()->getLcd(); }
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
        auto* panel = editor->getEditorPanel()->getPanel (layer, hub().parameterTable.section (parameter));
        return panel != nullptr ? panel->findControl (parameter) : nullptr;
    }
    /** Loads a program as the instrument's program change would, and shows it. */
    void loadProgram (const Bytes& image)
    {
        hub().storeEditorProgram (false, 0, 0, image);
        editor->drainEvents();
    }

    juce::ScopedJuceInitialiser_GUI messageThread;
    std::unique_ptr<RavlinAudioProcessor> processor;
    std::unique_ptr<MainComp> editor;
};
} // namespace

TEST_F (EditorFollows, TheProgramDisplayFollowsEveryChangeWhateverMadeIt)
{
    loadProgram (plainProgram ("Plain Start"));
    ASSERT_EQ (display().getAbMode(), "NOR");
    ASSERT_EQ (display().getArpMark(), "");
    pumpMessages (50);

    // The editor's own A/B mode selector.
    control (0, DSI_Program::abModeOffset)->userValue (1, true);
    ASSERT_TRUE (waitFor ([&] { return hub().getProgramByte (DSI_Program::abModeOffset) == 1; }));
    editor->drainEvents();
    EXPECT_EQ (display().getAbMode(), "A + B");

    // Host automation turns the arpeggiator on.
    hub().hostChange (DSI_Program::arpOnA, 1);
    editor->drainEvents();
    EXPECT_EQ (display().getArpMark(), "(A)");

    // The instrument's own front panel, by NRPN.
    instrument().turnKnob (DSI_Program::abModeOffset, 2);
    EXPECT_TRUE (waitFor ([&] { return display().getAbMode() == "A | B"; }));
    instrument().turnKnob (DSI_Program::arpOnA, 0);
    EXPECT_TRUE (waitFor ([&] { return display().getArpMark().isEmpty(); }));

    // Undo takes the last step back, and the display with it.
    control (0, DSI_Program::abModeOffset)->userValue (1, true);
    editor->drainEvents();
    ASSERT_EQ (display().getAbMode(), "A + B");
    ASSERT_TRUE (processor->undoEdit());
    const auto undone = hub().getProgramByte (DSI_Program::abModeOffset);
    ASSERT_NE (undone, 1);
    EXPECT_TRUE (waitFor ([&] { return display().getAbMode() == (undone == 0 ? "NOR" : "A | B"); }));

    // The category changed from the display's own menu.
    editor->menuChosen (MainComp::categoryMenuId, 1 + 24);
    EXPECT_EQ (display().getCategoryText(), "Pads");

    // A paste into the slot being edited: the display names what is there now.
    hub().setCurrentProgram (plainProgram ("Copied One"));
    editor->menuChosen (MainComp::editMenuId, 1);
    hub().setBankProgram (1, 7, plainProgram ("Old Slot"));
    editor->showBanks (true);
    auto& grid = editor->getBanksPage()->getGrid();
    grid.setContent (0, 1);
    hub().playFromBankCopy = true;
    grid.mouseDown (mouseAt (grid, 60, 7 * grid.getRowHeight() + 5));
    editor->drainEvents();
    ASSERT_EQ (display().getName(), "Old Slot");
    editor->menuChosen (MainComp::cellMenuId, 2);
    editor->drainEvents();
    EXPECT_EQ (display().getLocation(), "U2 P 8");
    EXPECT_EQ (display().getName(), "Copied One");
    EXPECT_EQ (hub().getBankProgram (1, 7), plainProgram ("Copied One"));
    EXPECT_EQ (hub().getCurrentProgram(), plainProgram ("Copied One")) << "what shows is what is edited";

    // A program received from the instrument, once what went out before has arrived there.
    waitFor (
        [&, count = -1]() mutable
        {
            const auto now = instrument().getNumMessagesReceived();
            const auto settled = now == count;
            count = now;
            pumpMessages (100);
            return settled;
        });
    const auto dump = ravlin::packEditBufferDump (plainProgram ("From The Instrument"));
    instrument().receive (dump.data(), (int)dump.size());
    editor->command (MainComp::receiveCommand);
    EXPECT_TRUE (waitFor ([&] { return display().getName() == "From The Instrument"; }));
}

TEST_F (EditorFollows, TheBankListKeepsItsPlaceWhenItsBankChanges)
{
    editor->showBanks (true);
    auto& grid = editor->getBanksPage()->getGrid();
    grid.setContent (0, 1);
    grid.scrollTo (40);
    grid.mouseDown (mouseAt (grid, 60, 5 * grid.getRowHeight() + 5)); // U2 P 46
    grid.mouseUp (mouseAt (grid, 60, 5 * grid.getRowHeight() + 5));
    editor->drainEvents();
    ASSERT_EQ (grid.getFirstVisibleRow(), 40);
    ASSERT_EQ (grid.getSelectedRow(), 45);

    auto expectInPlace = [&] (const char* what)
    {
        EXPECT_EQ (grid.getFirstVisibleRow(), 40) << what;
        EXPECT_EQ (grid.getSelectedRow(), 45) << what;
        EXPECT_EQ (grid.getModeValue(), 1) << what;
    };

    // A paste into another slot.
    hub().setCurrentProgram (plainProgram ("Pasted"));
    editor->menuChosen (MainComp::editMenuId, 1);
    hub().storeEditorProgram (true, 1, 60, plainProgram ("Pasted"));
    editor->drainEvents();
    expectInPlace ("paste");

    // A write.
    editor->command (MainComp::writeCommand);
    ASSERT_NE (editor->getWriteDialog(), nullptr);
    editor->getWriteDialog()->chooseBank (1);
    editor->getWriteDialog()->getNameEditor().setText ("Written");
    editor->getWriteDialog()->write();
    ASSERT_TRUE (waitFor ([&] { return editor->getWriteDialog() == nullptr; }));
    editor->drainEvents();
    expectInPlace ("write");

    // A bank received from the instrument.
    editor->startBankOperation (0, 1);
    ASSERT_TRUE (waitFor ([&] { return !editor->getTransfer()->isRunning(); }, 30000));
    editor->drainEvents();
    expectInPlace ("receive");

    // Listed by category, a program that leaves the category leaves the list; the rest stay.
    for (int p = 0; p < 30; ++p)
        hub().setBankProgram (2, p, plainProgram ("Bell " + juce::String (p), 18));
    grid.setContent (1, 18);
    grid.scrollTo (3);
    grid.selectProgram (10, 2);
    const auto top = grid.getFirstVisibleRow();
    hub().storeEditorProgram (true, 2, 0, plainProgram ("No Bell", 0));
    editor->drainEvents();
    EXPECT_EQ (grid.getFirstVisibleRow(), top);
    ASSERT_TRUE (juce::isPositiveAndBelow (grid.getSelectedRow(), (int)grid.getRows().size()));
    EXPECT_EQ (grid.getRows()[(size_t)grid.getSelectedRow()], (StsGrid::Row{10, 2}));
}

TEST_F (EditorFollows, CopyOnlyCopiesFromTheEditMenuAndTheGridAndSendSends)
{
    // What the opening editor asks (who is there, the global settings) has been answered.
    ASSERT_TRUE (waitFor ([&] { return hub().globalsReceived.load() && hub().getModelDetector().hasDetected(); }));
    const auto edited = plainProgram ("Edited Here", 5);
    hub().setCurrentProgram (edited);
    const auto received = instrument().getNumMessagesReceived();

    editor->menuChosen (MainComp::editMenuId, 1);
    pumpMessages (200);
    EXPECT_EQ (instrument().getNumMessagesReceived(), received) << "EDIT's Copy sends nothing";

    // The grid's Copy after a press: the press selects the program, the copy sends nothing more.
    hub().setBankProgram (0, 3, plainProgram ("Slot Three", 2));
    editor->showBanks (true);
    auto& grid = editor->getBanksPage()->getGrid();
    grid.setContent (0, 0);
    grid.mouseDown (mouseAt (grid, 60, 3 * grid.getRowHeight() + 5));
    ASSERT_TRUE (waitFor ([&] { return instrument().getCurrentProgram() == 3; }));
    pumpMessages (200);
    const auto afterPress = instrument().getNumMessagesReceived();
    editor->menuChosen (MainComp::cellMenuId, 1);
    pumpMessages (200);
    EXPECT_EQ (instrument().getNumMessagesReceived(), afterPress) << "the grid's Copy sends nothing either";
    EXPECT_EQ (itemTexts (editor->getMenu (MainComp::editMenuId)->build())[3], "Paste Slot Three");

    // Paste into a slot puts exactly what was copied there.
    grid.mouseDown (mouseAt (grid, 60, 9 * grid.getRowHeight() + 5));
    editor->menuChosen (MainComp::cellMenuId, 2);
    EXPECT_EQ (hub().getBankProgram (0, 9), plainProgram ("Slot Three", 2));
    EXPECT_NE (instrument().getEditBuffer(), plainProgram ("Slot Three", 2));

    // SEND is what puts the program into the instrument's edit buffer.
    editor->menuChosen (MainComp::sendMenuId, 1);
    EXPECT_TRUE (waitFor ([&] { return instrument().getEditBuffer() == plainProgram ("Slot Three", 2); }));
}

TEST_F (EditorFollows, MenusTickTheCurrentChoice)
{
    // Value menus: the value the selector shows.
    EXPECT_EQ (tickedTexts (ParDes::buildValueMenu (7, 104, 55)), juce::StringArray ("Delay 2 Feedback"));
    EXPECT_EQ (tickedTexts (ParDes::buildValueMenu (11, 4, -1)), juce::StringArray());

    // The program menu: the selected bank and program, each program with its number.
    hub().setBankProgram (1, 4, plainProgram ("Fifth Of Two"));
    editor->menuChosen (MainComp::programMenuId, 100000 + 1);
    editor->menuChosen (MainComp::programMenuId, 1000 + 4);
    const auto programs = itemTexts (editor->getMenu (MainComp::programMenuId)->build());
    EXPECT_EQ (programs[4], "P 1  " + hub().getBankProgramName (1, 0).trimEnd());
    EXPECT_EQ (tickedTexts (editor->getMenu (MainComp::programMenuId)->build()),
               juce::StringArray (hub().banks[1]->bankName, "P 5  Fifth Of Two"));

    // The category menu, for each of its targets.
    hub().setCurrentProgram (plainProgram ("Brassy", 12));
    EXPECT_EQ (tickedTexts (editor->getCategoryMenu().buildFor (CategoryMenu::programCategory)),
               juce::StringArray ("Brass"));
    editor->menuChosen (MainComp::categoryMenuId, 1 + 24);
    EXPECT_EQ (tickedTexts (editor->getCategoryMenu().buildFor (CategoryMenu::programCategory)),
               juce::StringArray ("Pads"));

    editor->showBanks (true);
    auto& grid = editor->getBanksPage()->getGrid();
    EXPECT_EQ (tickedTexts (editor->getCategoryMenu().buildFor (CategoryMenu::listedCategory)), juce::StringArray())
        << "a bank listing has no category";
    editor->getBanksPage()->chooseCategory (18);
    EXPECT_EQ (tickedTexts (editor->getCategoryMenu().buildFor (CategoryMenu::listedCategory)),
               juce::StringArray ("Bells"));

    hub().setBankProgram (0, 2, plainProgram ("Unsorted", 0));
    grid.setContent (0, 0);
    grid.mouseDown (mouseAt (grid, 60, 2 * grid.getRowHeight() + 5));
    EXPECT_EQ (tickedTexts (editor->getCategoryMenu().buildFor (CategoryMenu::cellCategory)),
               juce::StringArray ("- Not Assigned -"));

    // The channel menu.
    editor->menuChosen (MainComp::channelMenuId, 9);
    EXPECT_EQ (tickedTexts (editor->getMenu (MainComp::channelMenuId)->build()), juce::StringArray ("Channel 9"));

    // Category 0 has one name wherever it shows: menu, banks page, library, program display.
    const auto zero = itemTexts (editor->getCategoryMenu().buildFor (CategoryMenu::programCategory))[0];
    EXPECT_EQ (zero, "- Not Assigned -");
    EXPECT_EQ (editor->getBanksPage()->getCategoryButton (0).getText(), zero);
    CatContainer library;
    EXPECT_EQ (library.getCellText (0), zero);
    editor->menuChosen (MainComp::categoryMenuId, 1);
    EXPECT_EQ (display().getCategoryText(), zero);
}

TEST_F (EditorFollows, TheWriteDialogWritesTheCategoryChosenInIt)
{
    hub().setBankProgram (0, 6, plainProgram ("Slot Strings", 3));
    hub().setCurrentProgram (plainProgram ("Edited Brass", 12));
    hub().currentBank = 0;
    hub().currentProgram = 6;
    for (int p = 10; p < 14; ++p)
        hub().setBankProgram (3, p, plainProgram ("Pad " + juce::String (p), 24));

    editor->command (MainComp::writeCommand);
    auto* dialog = editor->getWriteDialog();
    ASSERT_NE (dialog, nullptr);
    dialog->setVisible (true);
    EXPECT_EQ (dialog->getCategoryField().getButtonText(), "Brass") << "the edited program's, not the slot's";
    EXPECT_TRUE (dialog->getLcdText().contains ("Brass")) << dialog->getLcdText();
    EXPECT_FALSE (dialog->getLcdText().contains ("Strings")) << dialog->getLcdText();

    // The field and the list mode lie beside the name, below the bank buttons, overlapping nothing.
    const auto field = dialog->getCategoryField().getBounds();
    for (juce::Component* other : {(juce::Component*)&dialog->getNameEditor(), (juce::Component*)&dialog->getGrid(),
                                   (juce::Component*)&dialog->getBankButton (3)})
        EXPECT_FALSE (field.intersects (other->getBounds()));
    EXPECT_FALSE (field.intersects (dialog->getLcdBounds()));
    EXPECT_FALSE (dialog->getListModeBox().getBounds().intersects (dialog->getBankButton (3).getBounds()));
    EXPECT_FALSE (dialog->getListModeBox().getBounds().intersects (dialog->getGrid().getBounds()));

    dialog->chooseCategory (24);
    EXPECT_EQ (dialog->getCategoryField().getButtonText(), "Pads");
    EXPECT_TRUE (dialog->getLcdText().contains ("Pads"));

    // Listed by category: the user-bank slots of the chosen category.
    dialog->listByCategory (true);
    ASSERT_TRUE (dialog->isListedByCategory());
    for (int b = 0; b < 4; ++b)
        EXPECT_FALSE (dialog->getBankButton (b).isSelected()) << "no one bank is listed";
    const auto& rows = dialog->getGrid().getRows();
    ASSERT_FALSE (rows.empty());
    for (const auto& row : rows)
        EXPECT_EQ (hub().getBankProgram (row.bank, row.program)[(size_t)DSI_Program::categoryOffset], 24);
    for (int p = 10; p < 14; ++p)
        EXPECT_NE (std::find (rows.begin(), rows.end(), StsGrid::Row{p, 3}), rows.end()) << p;
    const auto shot = saveSnapshot (*dialog, "write-dialog-category");
    EXPECT_TRUE (shot.existsAsFile());
    dialog->listByCategory (false);
    EXPECT_EQ (dialog->getGrid().getRows().size(), 99u);
    EXPECT_TRUE (dialog->getBankButton (0).isSelected());

    // Nothing is written until WRITE; then name and category go with the program.
    EXPECT_EQ (hub().getProgramByte (DSI_Program::categoryOffset), 12);
    dialog->write();
    ASSERT_TRUE (waitFor ([&] { return editor->getWriteDialog() == nullptr; }));
    ASSERT_TRUE (waitFor ([&] { return instrument().getProgram (0, 6)[(size_t)DSI_Program::categoryOffset] == 24; }));
    EXPECT_EQ (ProgramLibrary::nameOf (instrument().getProgram (0, 6).data()).trimEnd(), "Edited Brass");
    EXPECT_EQ (hub().getBankProgram (0, 6)[(size_t)DSI_Program::categoryOffset], 24);
    editor->drainEvents();
    EXPECT_EQ (display().getCategoryText(), "Pads");
}

TEST_F (EditorFollows, DestinationSelectorsOfferEveryDestinationAndShowItsText)
{
    auto image = plainProgram ("Far Destinations");
    image[144] = 103; // LFO 1
    image[196] = 99;  // envelope 3
    image[238] = 104; // matrix slot 1
    loadProgram (image);
    EXPECT_EQ (control (0, 144)->getValueText(), "Mod 15 Amount");
    EXPECT_EQ (control (0, 196)->getValueText(), "Mod 11 Amount");
    EXPECT_EQ (control (0, 238)->getValueText(), "Mod 16 Amount");
    EXPECT_EQ (control (0, 238)->getMaximum(), 104);

    // Choosing 98 from 103 is a change, and reaches the instrument.
    pumpMessages (100);
    control (0, 144)->userValue (98, true);
    EXPECT_TRUE (waitFor ([&] { return instrument().getEditBuffer()[144] == 98; }));
    EXPECT_EQ (control (0, 144)->getValueText(), "Mod 10 Amount");
    control (0, 144)->userValue (104, true);
    EXPECT_TRUE (waitFor ([&] { return instrument().getEditBuffer()[144] == 104; }));
}
