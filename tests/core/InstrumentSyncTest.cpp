// The IN SYNC / DIFFERS lamp against the virtual instrument: after the host restores a project
// the instrument is asked for its edit buffer, which is compared and never replaces the program
// being edited; nothing but the request goes out until the user sends or takes a program.

#include "core/InstrumentSync.h"
#include "core/MidiMonitorModel.h"
#include "core/RavlinAudioProcessor.h"
#include "instrument/DSI_Program.h"
#include "support/FakeMidiDevices.h"

#include <gtest/gtest.h>

#include <thread>

namespace
{
class InstrumentSyncTest : public ::testing::Test
{
protected:
    InstrumentSyncTest()
    {
        // The project: a program of its own, saved as the host saves it.
        edited = ravlin::Bytes (1024, 0x12);
        DSI_Program named;
        named.setImage (edited.data(), edited.size());
        named.setName ("Project Sound");
        edited = named.getImage();
        hub.setCurrentProgram (edited);
        processor.getHistory().resetTo (edited); // as edited so far: no undo step of its own
        processor.getStateInformation (project);
        instrumentHolds (edited);
        monitor.setEnabled (true);
    }

    /** The instrument's edit buffer as its own panel would leave it, the plug-in told nothing. */
    void instrumentHolds (const ravlin::Bytes& image)
    {
        const auto dump = ravlin::packEditBufferDump (image);
        vi().receive (dump.data(), (int)dump.size());
        for (int wait = 0; wait < 200 && vi().getEditBuffer() != image; ++wait)
            std::this_thread::sleep_for (std::chrono::milliseconds (5));
        ASSERT_EQ (vi().getEditBuffer(), image);
    }

    /** Restores the project, then runs the editor's timer until the lamp has its answer. */
    InstrumentSync::State loadProjectAndWait()
    {
        processor.setStateInformation (project.getData(), (int)project.getSize());
        auto now = 0.0;
        sync.tick (now);
        for (int wait = 0; wait < 300 && sync.getState() == InstrumentSync::State::waiting; ++wait)
        {
            std::this_thread::sleep_for (std::chrono::milliseconds (5));
            sync.tick (now += 5);
        }
        return sync.getState();
    }

    /** What went out to the instrument since the last look, in the monitor's words. */
    std::vector<juce::String> sent()
    {
        std::this_thread::sleep_for (std::chrono::milliseconds (50));
        model.update();
        std::vector<juce::String> out;
        for (const auto& line : model.getLines())
            if (line.direction == MidiMonitorLog::Direction::out && line.text != "identity request")
                out.push_back (line.text); // the model detection's own question is not the lamp's
        model.clear();
        return out;
    }

    VirtualInstrument& vi() { return hub.getVirtualInstrument(); }

    bool openPorts()
    {
        hub.selectInputPort (3);
        hub.selectOutputPort (3);
        return hub.getPorts().inputOpen && hub.getPorts().outputOpen;
    }

    juce::ScopedJuceInitialiser_GUI messageThread;
    RavlinAudioProcessor processor{std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File()};
    MidiCntrState& hub = processor.getHub();
    MidiMonitorLog& monitor = hub.getPorts().getMonitor();
    MidiMonitorModel model{monitor, hub.parameterTable};
    const bool portsOpen = openPorts(); // before the editor's check is made, as when a project opens
    InstrumentSync sync{processor};
    ravlin::Bytes edited;
    juce::MemoryBlock project;
};

using Texts = std::vector<juce::String>;
} // namespace

TEST_F (InstrumentSyncTest, SameProgramOnTheInstrumentIsInSync)
{
    EXPECT_FALSE (sync.tick (0)) << "ports already open when the editor comes ask nothing";
    EXPECT_EQ (sync.lampText(), "");
    EXPECT_EQ (sent(), Texts{});

    EXPECT_EQ (loadProjectAndWait(), InstrumentSync::State::inSync);
    EXPECT_EQ (sync.lampText(), "IN SYNC");
    EXPECT_EQ (sent(), Texts{"edit buffer request"});
    EXPECT_EQ (hub.getCurrentProgram(), edited);
}

TEST_F (InstrumentSyncTest, ChangedInstrumentDiffersAndOnlyTheClickSends)
{
    auto changed = edited;
    changed[85] = 3;    // A LPF Freq
    changed[600] = 9;   // a layer B parameter
    changed[402] = 'X'; // the name's first letter
    instrumentHolds (changed);

    EXPECT_EQ (loadProjectAndWait(), InstrumentSync::State::differs);
    EXPECT_EQ (sync.lampText(), "DIFFERS");
    EXPECT_EQ (sync.getNumDiffering(), 3);
    EXPECT_EQ (hub.getCurrentProgram(), edited) << "the answer never replaces the program being edited";
    EXPECT_EQ (vi().getEditBuffer(), changed);
    EXPECT_EQ (sent(), Texts{"edit buffer request"}) << "nothing but the request before a click";

    // Take from Instrument: the instrument's program is edited now, and one undo brings back ours.
    ASSERT_TRUE (sync.takeFromInstrument());
    EXPECT_EQ (hub.getCurrentProgram(), changed);
    EXPECT_EQ (sync.lampText(), "IN SYNC");
    EXPECT_EQ (sent(), Texts{}) << "taking sends nothing";
    ASSERT_TRUE (processor.undoEdit());
    EXPECT_EQ (hub.getCurrentProgram(), edited);
    std::this_thread::sleep_for (std::chrono::milliseconds (100)); // the undo reaches the instrument

    // Send to Instrument: our program into its edit buffer.
    instrumentHolds (changed);
    sent();
    EXPECT_EQ (loadProjectAndWait(), InstrumentSync::State::differs);
    EXPECT_EQ (sent(), Texts{"edit buffer request"});
    ASSERT_TRUE (sync.sendToInstrument());
    EXPECT_EQ (sync.lampText(), "IN SYNC");
    EXPECT_EQ (sent(), Texts{"edit buffer dump 'Project Sound'"});
    EXPECT_EQ (vi().getEditBuffer(), hub.getCurrentProgram());
}

TEST_F (InstrumentSyncTest, SilentInstrumentShowsNoReplyAndReceiveStillWorks)
{
    vi().setSilent (true);
    processor.setStateInformation (project.getData(), (int)project.getSize());
    EXPECT_TRUE (sync.tick (1000));
    EXPECT_EQ (sync.lampText(), "");
    EXPECT_FALSE (sync.tick (1000 + InstrumentSync::replyTimeoutMs - 1));
    EXPECT_TRUE (sync.tick (1000 + InstrumentSync::replyTimeoutMs + 1));
    EXPECT_EQ (sync.lampText(), "NO REPLY");

    // RECV after that loads the instrument's program as always.
    auto other = edited;
    other[85] = 77;
    vi().setSilent (false);
    instrumentHolds (other);
    hub.requestEditBuffer();
    for (int wait = 0; wait < 200 && hub.getCurrentProgram() != other; ++wait)
        std::this_thread::sleep_for (std::chrono::milliseconds (5));
    EXPECT_EQ (hub.getCurrentProgram(), other);
}

TEST_F (InstrumentSyncTest, PortsOpeningAskAgain)
{
    hub.selectInputPort (0);
    sync.tick (0);
    sent();
    hub.selectInputPort (3);
    EXPECT_TRUE (sync.tick (10)) << "both ports open: asked";
    EXPECT_EQ (sync.getState(), InstrumentSync::State::waiting);
    EXPECT_EQ (sent(), Texts{"edit buffer request"});
}
