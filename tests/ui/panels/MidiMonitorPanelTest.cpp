// The MIDI monitor as the user sees it, opened from the MIDI menu, and the IN SYNC / DIFFERS lamp
// on the application bar after the host restores a project.

#include "core/RavlinAudioProcessor.h"
#include "instrument/DSI_Program.h"
#include "support/FakeMidiDevices.h"
#include "support/MenuItems.h"
#include "support/MessagePump.h"
#include "support/UiEvents.h"
#include "ui/editor/MainComp.h"
#include "ui/editor/explore/DiffPanel.h"
#include "ui/editor/explore/ExplorePanels.h"

#include <gtest/gtest.h>

using ravlin::test::pumpUntil;

namespace
{
class MonitorEditor : public ::testing::Test
{
protected:
    MonitorEditor()
    {
        hub().selectInputPort (3);
        hub().selectOutputPort (3);
        editor = std::make_unique<MainComp> (processor.get());
        editor->showAbout (false);
    }
    ~MonitorEditor() override
    {
        editor.reset();
        processor.reset();
    }

    MidiCntrState& hub() { return processor->getHub(); }

    MidiMonitorPanel& openMonitor()
    {
        editor->menuChosen (MainComp::midiMenuId, MidiMenu::monitorItem);
        auto* window = editor->getMonitorWindow();
        EXPECT_NE (window, nullptr);
        return window->getPanel();
    }

    static juce::StringArray rows (MidiMonitorPanel& panel)
    {
        juce::StringArray texts;
        for (const auto& line : panel.getModel().getLines())
            texts.add ((line.direction == MidiMonitorLog::Direction::in ? "IN " : "OUT ") +
                       MidiMonitorModel::textOf (line));
        return texts;
    }

    juce::ScopedJuceInitialiser_GUI messageThread;
    std::unique_ptr<RavlinAudioProcessor> processor =
        std::make_unique<RavlinAudioProcessor> (std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File());
    std::unique_ptr<MainComp> editor;
};
} // namespace

TEST_F (MonitorEditor, MidiMenuOpensTheMonitorThatListsAndSendsRawSysEx)
{
    auto* menu = editor->getMenu (MainComp::midiMenuId);
    ASSERT_NE (menu, nullptr);
    EXPECT_EQ (ravlin::test::itemTexts (menu->build()).strings.getLast(), "MIDI Monitor");
    EXPECT_FALSE (ravlin::test::tickedTexts (menu->build()).contains ("MIDI Monitor"));

    auto& panel = openMonitor();
    EXPECT_TRUE (editor->getMonitorWindow()->isVisible());
    EXPECT_TRUE (ravlin::test::tickedTexts (menu->build()).contains ("MIDI Monitor"));

    // The user's own request, typed as hex: it goes out and the instrument's answer comes in.
    DSI_Program named;
    named.setImage (ravlin::Bytes (1024, 0x21).data(), 1024);
    named.setName ("Monitor Test");
    const auto dump = ravlin::packEditBufferDump (named.getImage());
    hub().getVirtualInstrument().receive (dump.data(), (int)dump.size());
    panel.getSysExBox().setText ("F0 01 2B 06 F7");
    panel.sendTypedSysEx();
    EXPECT_EQ (panel.getSysExMessage(), "Sent 5 bytes.");
    EXPECT_TRUE (pumpUntil ([&] { return rows (panel).size() >= 2; }));
    hub().noteOnToInstrument (1, 60, 100);
    EXPECT_TRUE (pumpUntil ([&] { return rows (panel).size() >= 3; }));
    EXPECT_EQ (rows (panel), juce::StringArray ("OUT edit buffer request", "IN edit buffer dump 'Monitor Test'",
                                                "OUT note on C5 velocity 100 (ch 1)"));
    EXPECT_EQ (panel.getStatusText(), "3 messages");

    // A typing mistake is said in words and nothing goes out.
    const auto received = hub().getVirtualInstrument().getNumMessagesReceived();
    panel.getSysExBox().setText ("F0 01 80 F7");
    panel.sendTypedSysEx();
    EXPECT_EQ (panel.getSysExMessage(), "Not sent: Byte 3 is 80: the bytes between F0 and F7 go up to 7F.");
    ravlin::test::pumpMessages (100);
    EXPECT_EQ (hub().getVirtualInstrument().getNumMessagesReceived(), received);
    EXPECT_EQ (rows (panel).size(), 3);

    // Pause holds the list; what comes meanwhile is counted.
    panel.getPauseButton().triggerClick();
    EXPECT_TRUE (pumpUntil ([&] { return panel.getModel().isPaused(); }));
    EXPECT_EQ (panel.getPauseButton().getButtonText(), "Resume");
    hub().noteOnToInstrument (1, 62, 0);
    EXPECT_TRUE (pumpUntil ([&] { return panel.getStatusText() == "3 messages, 1 message not shown (paused)"; }))
        << panel.getStatusText();

    auto* window = editor->getMonitorWindow();
    window->setSize (MidiMonitorPanel::defaultWidth, MidiMonitorPanel::defaultHeight);
    panel.setSize (MidiMonitorPanel::defaultWidth, MidiMonitorPanel::defaultHeight);
    const auto shot = ravlin::test::saveSnapshot (panel, "midi-monitor");
    EXPECT_TRUE (shot.existsAsFile());

    // Save As Text: the list as the user reads it; a failed save leaves the old file.
    const auto folder = juce::File::createTempFile ("monitor");
    folder.createDirectory();
    const auto file = folder.getChildFile ("log.txt");
    ASSERT_TRUE (panel.saveAsText (file));
    const auto saved = juce::StringArray::fromLines (file.loadFileAsString().trimEnd());
    ASSERT_EQ (saved.size(), 4);
    EXPECT_TRUE (saved[0].matchesWildcard ("??:??:??.???  OUT  edit buffer request", false)) << saved[0];
    EXPECT_TRUE (saved[1].endsWith ("  IN   edit buffer dump 'Monitor Test'")) << saved[1];
    EXPECT_EQ (saved[3], "1 message not shown");
    const auto before = file.loadFileAsString();
    EXPECT_FALSE (panel.saveAsText (folder)) << "a folder is no file to write over";
    EXPECT_EQ (file.loadFileAsString(), before);
    EXPECT_TRUE (folder.isDirectory());
    folder.deleteRecursively();

    // Closing the window stops the log; nothing is kept meanwhile.
    window->closeButtonPressed();
    EXPECT_FALSE (hub().getPorts().getMonitor().isEnabled());
}

TEST_F (MonitorEditor, LampReadsInSyncThenDiffersAfterAProjectLoad)
{
    auto& bar = editor->getEditorPanel()->getAppBar();
    ravlin::test::pumpMessages (100);
    EXPECT_EQ (bar.getSyncText(), "") << "nothing known before the instrument is asked";

    juce::MemoryBlock project;
    processor->getStateInformation (project);
    const auto edited = hub().getCurrentProgram();
    const auto dump = ravlin::packEditBufferDump (edited);
    hub().getVirtualInstrument().receive (dump.data(), (int)dump.size());
    EXPECT_TRUE (pumpUntil ([&] { return hub().getVirtualInstrument().getEditBuffer() == edited; }));

    processor->setStateInformation (project.getData(), (int)project.getSize());
    EXPECT_TRUE (pumpUntil ([&] { return bar.getSyncText() == "IN SYNC"; })) << bar.getSyncText();

    auto changed = edited;
    changed[85] = (uint8_t)(changed[85] ^ 1);
    changed[86] = (uint8_t)(changed[86] ^ 1);
    const auto other = ravlin::packEditBufferDump (changed);
    hub().getVirtualInstrument().receive (other.data(), (int)other.size());
    EXPECT_TRUE (pumpUntil ([&] { return hub().getVirtualInstrument().getEditBuffer() == changed; }));
    processor->setStateInformation (project.getData(), (int)project.getSize());
    EXPECT_TRUE (pumpUntil ([&] { return bar.getSyncText() == "DIFFERS"; })) << bar.getSyncText();
    EXPECT_EQ (hub().getCurrentProgram(), edited);

    auto* menu = editor->getMenu (MainComp::syncMenuId);
    ASSERT_NE (menu, nullptr);
    EXPECT_EQ (ravlin::test::itemTexts (menu->build()),
               juce::StringArray ("2 parameters differ from the instrument's edit buffer", "Show Differences",
                                  "Send to Instrument", "Take from Instrument", "Check Again"));
    const auto shot = ravlin::test::saveSnapshot (bar, "appbar-differs");
    EXPECT_TRUE (shot.existsAsFile());

    // "Show Differences" lists the two parameters, ours against the instrument's, and sends nothing.
    editor->menuChosen (MainComp::syncMenuId, SyncMenu::showItem);
    auto* diff = editor->getExplore()->getDiff();
    ASSERT_NE (diff, nullptr);
    EXPECT_EQ (diff->getParentComponent(), editor.get());
    juce::StringArray rows;
    for (int i = 0; i < diff->getNumLines(); ++i)
        if (diff->lineText (i).contains (" | "))
            rows.add (diff->lineText (i));
    ASSERT_EQ (rows.size(), 2) << rows.joinIntoString ("\n");
    for (const auto& row : rows)
        EXPECT_TRUE (row.startsWith ("A | ")) << row;
    EXPECT_EQ (bar.getSyncText(), "DIFFERS");
    EXPECT_NE (hub().getVirtualInstrument().getEditBuffer(), edited) << "showing sends nothing";

    editor->menuChosen (MainComp::syncMenuId, SyncMenu::sendItem);
    EXPECT_EQ (bar.getSyncText(), "IN SYNC");
    EXPECT_TRUE (pumpUntil ([&] { return hub().getVirtualInstrument().getEditBuffer() == edited; }));
}
