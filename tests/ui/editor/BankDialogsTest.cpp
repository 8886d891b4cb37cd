// The write dialog, the banks page, the program grid and the small widgets of the transfers.
#include "core/MidiCntrState.h"
#include "support/FakeMidiDevices.h"
#include "support/MessagePump.h"
#include "support/UiEvents.h"
#include "ui/editor/BankComp.h"
#include "ui/editor/WriteSnd.h"

#include <gtest/gtest.h>

using ravlin::Bytes;

using ravlin::test::click;
using ravlin::test::mouseAt;
using ravlin::test::saveSnapshot;

namespace
{
struct Actions : public GridListener
{
    void gridAction (int action, int program, int bank) override { seen.push_back ({action, program, bank}); }
    std::vector<std::array<int, 3>> seen;
};

struct Broadcasts : public juce::ChangeListener
{
    void changeListenerCallback (juce::ChangeBroadcaster*) override { ++count; }
    int count = 0;
};

class BankDialogs : public ::testing::Test
{
protected:
    BankDialogs() : hub (std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File()) {}

    void setCategory (int bank, int program, int category)
    {
        auto image = hub.getBankProgram (bank, program);
        image[(size_t)DSI_Program::categoryOffset] = (uint8_t)category;
        hub.setBankProgram (bank, program, image);
    }

    juce::ScopedJuceInitialiser_GUI messageThread;
    MidiCntrState hub;
};
} // namespace

TEST_F (BankDialogs, TheGridListsABankOrACategoryAcrossTheUserBanks)
{
    StsGrid grid (hub);
    grid.setBounds (0, 0, 350, 460);
    grid.setContent (0, 5);
    ASSERT_EQ (grid.getRows().size(), 99u);
    EXPECT_EQ (grid.getRows()[3], (StsGrid::Row{3, 5}));

    for (int b = 0; b < 8; ++b)
        for (int p = 0; p < 99; ++p)
            setCategory (b, p, 1);
    setCategory (3, 40, 25);
    setCategory (0, 7, 25);
    setCategory (5, 1, 25); // a factory bank: not listed
    grid.selectProgram (10, 5);
    grid.setContent (1, 25);
    EXPECT_EQ (grid.getRows(), (std::vector<StsGrid::Row>{{7, 0}, {40, 3}}));
    EXPECT_EQ (grid.getSelectedRow(), -1) << "new content clears the selection";
    EXPECT_EQ (StsGrid::locationText (0, 0), "U1 P 1");
    EXPECT_EQ (StsGrid::locationText (5, 4), "F2 P 5");
}

TEST_F (BankDialogs, GridPressesScrollAndTheWheel)
{
    StsGrid grid (hub);
    grid.setBounds (0, 0, 350, 230); // 10 rows of 23
    grid.setContent (0, 2);
    Actions actions;
    grid.addListener (&actions);

    click (grid, 100, 50); // row 2
    EXPECT_EQ (grid.getSelectedRow(), 2);
    click (grid, 200, 5, true); // third column: category menu
    click (grid, 20, 5, true);  // elsewhere: program menu
    EXPECT_EQ (actions.seen,
               (std::vector<std::array<int, 3>>{{91, 2, 2}, {91, 0, 2}, {88, 0, 2}, {91, 0, 2}, {90, 0, 2}}));

    juce::MouseWheelDetails down{};
    down.deltaY = -0.3f;
    grid.mouseWheelMove (mouseAt (grid, 10, 10), down);
    EXPECT_EQ (grid.getFirstVisibleRow(), 1);
    grid.scrollTo (500);
    EXPECT_EQ (grid.getFirstVisibleRow(), 89) << "99 rows, 10 visible";
    grid.mouseDown (mouseAt (grid, 345, 0)); // the scroll bar
    EXPECT_EQ (grid.getFirstVisibleRow(), 0);
    grid.mouseUp (mouseAt (grid, 345, 0));
    grid.selectProgram (60, 2);
    EXPECT_EQ (grid.getSelectedRow(), 60);
    EXPECT_LE (grid.getFirstVisibleRow(), 60);
    EXPECT_GT (grid.getFirstVisibleRow() + grid.getVisibleRows(), 60) << "the selection is scrolled into view";
    grid.removeListener (&actions);
}

TEST_F (BankDialogs, WriteDialogLayoutAndWriting)
{
    hub.setCurrentProgram (Bytes (1024, 3));
    WriteSnd dialog (hub, 1, 20, "Old Name", 4);
    dialog.setSize (800, 600);
    EXPECT_EQ (dialog.getGrid().getBounds(), juce::Rectangle<int> (202, 74, 350, 506));
    EXPECT_EQ (dialog.getCancelButton().getPosition(), juce::Point<int> (582, 580 - 54));
    EXPECT_EQ (dialog.getWriteButton().getPosition(), juce::Point<int> (582, 580 - 18));
    EXPECT_EQ (dialog.getBankButton (3).getPosition(), juce::Point<int> (102, 80 + 36 * 3));
    EXPECT_EQ (dialog.getGrid().getSelectedRow(), 20);
    EXPECT_EQ (WriteSnd::gridHeightFor (91), 46);

    dialog.getNameEditor().setText ("A Name Far Longer Than Twenty", juce::sendNotification);
    dialog.getNameEditor().insertTextAtCaret ("X");
    EXPECT_EQ (dialog.getName(), "A Name Far Longer Th");
    dialog.getNameEditor().setText ("Short", juce::sendNotification);
    EXPECT_EQ (dialog.getName(), "Short               ");
    EXPECT_TRUE (dialog.getLcdText().startsWith ("U2 P 21  Short"));

    click (dialog.getBankButton (3), 5, 5);
    EXPECT_EQ (dialog.getGrid().getModeValue(), 3);
    click (dialog.getGrid(), 100, 23 * 4 + 3); // a row of bank 4
    EXPECT_EQ (dialog.getChosenBank(), 3);

    bool closed = false, written = false;
    dialog.onClose = [&] (bool w) { closed = true, written = w; };
    const auto before = hub.getBankProgram (3, dialog.getChosenProgram());
    dialog.getCancelButton().triggerClick();
    ravlin::test::pumpMessages (20);
    EXPECT_TRUE (closed);
    EXPECT_FALSE (written);
    EXPECT_EQ (hub.getBankProgram (3, dialog.getChosenProgram()), before);

    // No output port: nothing is written, and the user is told so.
    juce::StringArray told, asked;
    std::function<void()> answerOk;
    dialog.tell = [&] (const juce::String& text) { told.add (text); };
    dialog.ask = [&] (const juce::String& question, std::function<void()> onOk)
    {
        asked.add (question);
        answerOk = std::move (onOk);
    };
    hub.currentBank = 0;
    hub.currentProgram = 0;
    dialog.getWriteButton().triggerClick();
    ravlin::test::pumpMessages (20);
    ASSERT_EQ (asked.size(), 1) << "another slot than the one being edited: asked first";
    EXPECT_TRUE (asked[0].contains ("overwrites 1 program")) << asked[0];
    EXPECT_TRUE (asked[0].contains (StsGrid::locationText (3, dialog.getChosenProgram()))) << asked[0];
    EXPECT_EQ (hub.getBankProgram (3, dialog.getChosenProgram()), before) << "nothing before the answer";
    answerOk();
    EXPECT_FALSE (written);
    ASSERT_EQ (told.size(), 1);
    EXPECT_TRUE (told[0].startsWith ("Nothing was written: no MIDI output port is open")) << told[0];
    EXPECT_EQ (hub.getBankProgram (3, dialog.getChosenProgram()), before);
    EXPECT_EQ (hub.currentBank, 0);

    // With the instrument connected, and asked again, it is written.
    hub.selectOutputPort (3);
    dialog.getWriteButton().triggerClick();
    ravlin::test::pumpMessages (20);
    ASSERT_EQ (asked.size(), 2);
    answerOk();
    ravlin::test::pumpMessages (20);
    EXPECT_TRUE (written);
    EXPECT_EQ (hub.getBankProgramName (3, dialog.getChosenProgram()), "Short               ");
    EXPECT_EQ (hub.currentBank, 3);
    EXPECT_EQ (hub.currentProgram, dialog.getChosenProgram());

    // Into the slot being edited it writes at once, as a save does.
    written = false;
    while (hub.isTransmitting())
        juce::Thread::sleep (5);
    dialog.getWriteButton().triggerClick();
    ravlin::test::pumpMessages (20);
    EXPECT_EQ (asked.size(), 2);
    EXPECT_TRUE (written);

    // "Verify" is the same option as the banks page's "Verify After Writing".
    EXPECT_FALSE (dialog.getVerifyBox().isTicked());
    click (dialog.getVerifyBox(), 5, 5);
    EXPECT_TRUE (hub.verifyAfterWriting);
    EXPECT_EQ (hub.settingsBlock[SettingsBlock::verifyAfterWriting], 1);
    saveSnapshot (dialog, "write-dialog");
}

TEST_F (BankDialogs, BanksPageCodesButtonsAndListings)
{
    BankComp page (hub);
    page.setSize (1000, 560);
    Broadcasts heard;
    page.addChangeListener (&heard);
    std::vector<int> codes;
    struct Recorder : public juce::ChangeListener
    {
        Recorder (BankComp& p, std::vector<int>& c) : page (p), codes (c) {}
        void changeListenerCallback (juce::ChangeBroadcaster*) override { codes.push_back (page.getLastCode()); }
        BankComp& page;
        std::vector<int>& codes;
    } recorder (page, codes);
    page.addChangeListener (&recorder);

    click (page.getBankButton (6), 5, 5);
    EXPECT_EQ (page.getGrid().getModeValue(), 6);
    for (int i = 0; i < 3; ++i)
        click (page.getSourceButton (i), 5, 5);
    click (page.getUseLoadedData(), 5, 5);
    click (page.getUseLoadedData(), 40, 5); // right of the lamp: nothing
    EXPECT_EQ (codes, (std::vector<int>{200, 890, 891, 201, 206}));
    EXPECT_TRUE (page.getUseLoadedData().isOn());

    EXPECT_EQ (page.getCategoryButton (0).getText(), "- Not Assigned -") << "category 0 has one name everywhere";
    EXPECT_EQ (page.getCategoryButton (5).getText(), ParDes::categoryText (5));
    EXPECT_EQ (page.getCategoryButton (25).getBounds(), juce::Rectangle<int> (582 + 78, 50 + 36 * 6, 70, 18));
    EXPECT_EQ (page.getBankButton (7).getPosition(), juce::Point<int> (102, 50 + 36 * 7));
    EXPECT_EQ (page.getSourceButton (2).getPosition(), juce::Point<int> (358, 20));
    EXPECT_EQ (page.getGrid().getBounds(), juce::Rectangle<int> (202, 50, 350, 460));

    setCategory (2, 9, 13);
    click (page.getCategoryButton (13), 5, 5);
    EXPECT_EQ (page.getGrid().getMode(), 1);
    ASSERT_FALSE (page.getGrid().getRows().empty());
    EXPECT_NE (std::find (page.getGrid().getRows().begin(), page.getGrid().getRows().end(), StsGrid::Row{9, 2}),
               page.getGrid().getRows().end());
    saveSnapshot (page, "banks-page");
    page.removeChangeListener (&heard);
    page.removeChangeListener (&recorder);
}

TEST_F (BankDialogs, SmallWidgets)
{
    ProgBar bar;
    bar.setSize (1200, 730);
    EXPECT_EQ (bar.boxBounds(), juce::Rectangle<int> (400, 345, 400, 40));
    EXPECT_EQ (bar.getText(), "-");
    bar.setValue (200);
    EXPECT_EQ (bar.barWidth(), 381);
    bar.setValue (-5);
    EXPECT_EQ (bar.barWidth(), 0);

    WinMovCan strip;
    EXPECT_EQ (strip.getWidth(), 54);
    EXPECT_EQ (strip.zoneAt (5), 120);
    EXPECT_EQ (strip.zoneAt (30), 121);
    EXPECT_EQ (strip.zoneAt (40), 122);
    struct Codes : public WinMovCanListener
    {
        void windowControl (int code) override { seen.push_back (code); }
        std::vector<int> seen;
    } codes;
    strip.addListener (&codes);
    click (strip, 5, 5);
    strip.mouseDown (mouseAt (strip, 5, 5));
    strip.mouseUp (mouseAt (strip, 45, 5)); // released in another zone: nothing
    click (strip, 45, 5);
    EXPECT_EQ (codes.seen, (std::vector<int>{120, 122}));
    strip.removeListener (&codes);
    WinMovCan closeOnly (true);
    EXPECT_EQ (closeOnly.getWidth(), 17);
    EXPECT_EQ (closeOnly.zoneAt (2), 122);

    AppSetBarBut library;
    Broadcasts heard;
    library.addChangeListener (&heard);
    library.mouseDown (mouseAt (library, 10, 10));
    EXPECT_EQ (library.getCode(), 128);
    EXPECT_EQ (heard.count, 1);
    library.removeChangeListener (&heard);

    MsgCont message ("Done.", false);
    message.setSize (800, 600);
    EXPECT_FALSE (message.getCancelButton().isVisible());
    MsgCont question ("Sure?", true);
    EXPECT_TRUE (question.getCancelButton().isVisible());
}

#include "ui/editor/TransferProgress.h"

namespace
{
/** Hands the hub's events to the transfer, as the editor does, until the condition holds. */
bool runEvents (MidiCntrState& hub, TransferProgress& transfer, std::function<bool()> until, int timeoutMs)
{
    const auto end = juce::Time::getMillisecondCounterHiRes() + timeoutMs;
    while (!until())
    {
        if (juce::Time::getMillisecondCounterHiRes() > end)
            return false;
        for (auto code : hub.takeEvents())
            transfer.handleEvent (code);
        ravlin::test::pumpMessages (5);
    }
    return true;
}
} // namespace

TEST_F (BankDialogs, TheBankMenuAndItsTransfersWithProgress)
{
    EXPECT_EQ (TransferProgress::transferForMenuItem (6), std::make_pair (0, 5));
    EXPECT_EQ (TransferProgress::transferForMenuItem (103), std::make_pair (100, 3));
    EXPECT_EQ (TransferProgress::transferForMenuItem (200), std::make_pair (777, 0));
    EXPECT_EQ (TransferProgress::transferForMenuItem (250), std::make_pair (778, 4));
    EXPECT_EQ (TransferProgress::transferForMenuItem (300), std::make_pair (888, 0));
    EXPECT_EQ (TransferProgress::transferForMenuItem (350), std::make_pair (887, 4));
    EXPECT_EQ (TransferProgress::transferForMenuItem (9).first, -1);
    const auto menu = TransferProgress::buildBankMenu ("User Bank 2");
    juce::PopupMenu::MenuItemIterator items (menu);
    ASSERT_TRUE (items.next());
    EXPECT_EQ (items.getItem().text, "Receive Program Bank ");
    EXPECT_EQ (items.getItem().subMenu->getNumItems(), 8);

    juce::Component editor;
    editor.setSize (1200, 730);
    TransferProgress transfer (hub, editor);
    EXPECT_FALSE (transfer.start (0, 5)) << "no output port";
    hub.selectInputPort (3);
    hub.selectOutputPort (3);
    bool finished = false;
    transfer.onFinished = [&] { finished = true; };

    ASSERT_TRUE (transfer.start (0, 5));
    ASSERT_TRUE (transfer.isRunning());
    EXPECT_EQ (transfer.getBar()->getBounds(), editor.getLocalBounds());
    ASSERT_TRUE (runEvents (
        hub, transfer, [&] { return finished; }, 10000));
    EXPECT_FALSE (transfer.isRunning());
    EXPECT_EQ (editor.getNumChildComponents(), 0);

    hub.getVirtualInstrument().setWireSpeed (VirtualInstrument::WireSpeed::usb);
    finished = false;
    ASSERT_TRUE (transfer.start (MidiCntrState::transmitAllUserBanks, 0));
    ASSERT_TRUE (runEvents (
        hub, transfer, [&] { return transfer.getBar()->getValue() > 0; }, 5000));
    EXPECT_TRUE (transfer.getBar()->getText().startsWith ("Sent U1 P "));
    transfer.getBar()->getCancelButton().triggerClick();
    ravlin::test::pumpMessages (20);
    EXPECT_FALSE (transfer.isRunning());
    EXPECT_FALSE (hub.isTransmitting());
    EXPECT_EQ (hub.transferCode, -1);
    EXPECT_FALSE (finished);
}
