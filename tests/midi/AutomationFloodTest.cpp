// Host automation faster than the link to the instrument carries it: what reaches the wire, in
// which order and at what pace, in simulated time through a sender that runs no thread of its own,
// and with the whole hub against the virtual instrument.
#include "core/MidiCntrState.h"
#include "support/FakeMidiDevices.h"
#include "support/MessagePump.h"

#include <gtest/gtest.h>

#include <map>

using ravlin::Bytes;

namespace
{
/** The port, recording each message with the simulated time at which it was handed over. */
class SimulatedPort : public MidiOutputDevice
{
public:
    struct Message
    {
        double time;
        Bytes bytes;
    };
    void sendNow (const uint8_t* bytes, int size) override { messages.push_back ({time, Bytes (bytes, bytes + size)}); }

    double time = 0;
    std::vector<Message> messages;
};

/** A stopped sender on a DIN link, run through simulated time in steps of 50 microseconds. */
struct SimulatedLink
{
    SimulatedLink() { sender.setLinkMillisecondsPerByte (LinkSpeed::dinMillisecondsPerByte); }

    void runUntil (double end)
    {
        for (; port.time < end; port.time += 0.05)
            sender.deliverDueAt (port.time);
    }

    SimulatedPort port;
    TimedMidiSender sender{port};
};

uint64_t nrpn (int number, int value)
{
    return ParameterMessage::makeNrpn (1, number, value);
}

/** The NRPN values the instrument applies, in wire order: (number, value). */
std::vector<std::pair<int, int>> appliedValues (const std::vector<SimulatedPort::Message>& messages)
{
    std::vector<std::pair<int, int>> applied;
    int high = -1, low = -1, valueHigh = -1;
    for (const auto& m : messages)
    {
        if (m.bytes.size() != 3 || m.bytes[0] != 0xB0)
            continue;
        switch (m.bytes[1])
        {
            case 99: high = m.bytes[2]; break;
            case 98: low = m.bytes[2]; break;
            case 6: valueHigh = m.bytes[2]; break;
            case 38: applied.push_back ({high * 128 + low, valueHigh * 128 + m.bytes[2]}); break;
            default: break;
        }
    }
    return applied;
}
} // namespace

TEST (AutomationFlood, ANewerValueReplacesTheWaitingOneAndParametersKeepTheOrderOfTheirFirstChange)
{
    SimulatedLink link;
    link.sender.offerParameter (10, nrpn (10, 1), 0);
    link.sender.offerParameter (5, nrpn (5, 1), 0);
    link.sender.offerParameter (10, nrpn (10, 2), 0);
    link.sender.offerParameter (7, nrpn (7, 9), 0);
    link.sender.offerParameter (10, nrpn (10, 300), 0);
    link.runUntil (1.0);                                // the first controller of parameter 10 is on the wire
    link.sender.offerParameter (10, nrpn (10, 301), 0); // taken already: it queues again, last
    link.sender.offerParameter (5, nrpn (5, 2), 0);     // still waiting: replaced in place
    link.runUntil (100.0);

    EXPECT_EQ (appliedValues (link.port.messages),
               (std::vector<std::pair<int, int>>{{10, 300}, {5, 2}, {7, 9}, {10, 301}}));
    // The receiver holds number 7 when 10 comes again: all four controllers.
    ASSERT_EQ (link.port.messages.size(), 16u);
    EXPECT_EQ (link.port.messages[12].bytes, (Bytes{0xB0, 99, 0}));
    EXPECT_EQ (link.port.messages[13].bytes, (Bytes{0xB0, 98, 10}));
    EXPECT_EQ (link.sender.getNumDropped(), 0);
}

TEST (AutomationFlood, TheLinkIsNeverOfferedMoreThanItCarriesAndNotesAndClockGoFirst)
{
    // Ten simulated seconds: 600 parameters moving every block of 512 samples at 48 kHz, a clock
    // tick every 20.8 ms and a note every 100 ms, on DIN MIDI.
    SimulatedLink link;
    constexpr double blockMs = 512 * 1000.0 / 48000.0, tickMs = 60000.0 / (120.0 * 24.0), seconds = 10;
    constexpr double msPerByte = LinkSpeed::dinMillisecondsPerByte;
    std::map<int, int> lastValue;
    std::vector<double> dueOfClock, dueOfNote;
    double nextBlock = 0, nextTick = 0, nextNote = 0;
    for (int block = 0; nextBlock < seconds * 1000.0; ++block, nextBlock += blockMs)
    {
        for (int key = 0; key < 600; ++key)
        {
            const auto value = (block * 3 + key) % 16384;
            link.sender.offerParameter (key, nrpn (key, value), nextBlock);
            lastValue[key] = value;
        }
        for (; nextTick < nextBlock + blockMs; nextTick += tickMs)
        {
            const uint8_t tick = 0xF8;
            link.sender.schedule (&tick, 1, nextTick);
            dueOfClock.push_back (nextTick);
        }
        for (; nextNote < nextBlock + blockMs; nextNote += 100.0)
        {
            const uint8_t note[3] = {0x90, 60, 100};
            link.sender.schedule (note, 3, nextNote);
            dueOfNote.push_back (nextNote);
        }
        link.runUntil (nextBlock + blockMs);
    }
    const auto floodEnd = link.port.time;
    EXPECT_GT (link.sender.getFullForMilliseconds (floodEnd), 9000.0) << "the link was full all along";
    EXPECT_GT (link.sender.getBacklogMilliseconds(), 600 * 11 * msPerByte) << "about every parameter waits";
    link.runUntil (floodEnd + 5000.0);
    EXPECT_EQ (link.sender.getFullForMilliseconds (link.port.time), 0.0);
    EXPECT_EQ (link.sender.getBacklogMilliseconds(), 0.0);

    // The wire as the instrument sees it: each message starts when the one before has crossed.
    const auto& messages = link.port.messages;
    double wireFree = 0, mostInASecond = 0, bytesInWindow = 0;
    std::vector<double> clockStarts, noteStarts;
    size_t first = 0;
    for (const auto& m : messages)
    {
        const auto start = std::max (wireFree, m.time);
        wireFree = start + (double)m.bytes.size() * msPerByte;
        if (m.bytes[0] == 0xF8)
            clockStarts.push_back (start);
        if (m.bytes[0] == 0x90)
            noteStarts.push_back (start);

        bytesInWindow += (double)m.bytes.size();
        while (messages[first].time <= m.time - 1000.0)
            bytesInWindow -= (double)messages[first++].bytes.size();
        mostInASecond = std::max (mostInASecond, bytesInWindow);
    }
    const auto capacity = 1000.0 / msPerByte;
    EXPECT_LE (mostInASecond, capacity + 12) << "never more than the link carries in a second, give or take a message";
    EXPECT_GT (mostInASecond, capacity * 0.95) << "and the link was used";

    // A tick or a note waits at most for the controller already on the wire and another tick or note.
    ASSERT_EQ (clockStarts.size(), dueOfClock.size());
    ASSERT_EQ (noteStarts.size(), dueOfNote.size());
    for (size_t i = 0; i < clockStarts.size(); ++i)
        ASSERT_LE (clockStarts[i] - dueOfClock[i], 6 * msPerByte + 0.05) << "tick " << i;
    for (size_t i = 0; i < noteStarts.size(); ++i)
        ASSERT_LE (noteStarts[i] - dueOfNote[i], 6 * msPerByte + 0.05) << "note " << i;

    // Every parameter ends on its last value.
    std::map<int, int> held;
    for (const auto& [number, value] : appliedValues (messages))
        held[number] = value;
    EXPECT_EQ (held, lastValue);
    EXPECT_EQ (link.sender.getNumDropped(), 0);
}

namespace
{
constexpr int virtualPort = 3; // after the two fake system devices

class HubFlood : public ::testing::Test
{
protected:
    HubFlood()
    {
        auto fake = std::make_unique<ravlin::test::FakeMidiDevices>();
        system = fake.get();
        hub = std::make_unique<MidiCntrState> (std::move (fake), juce::File());
        hub->setModelChoice (ModelDetector::Choice::module);
        hub->latencyMode = 100;
    }

    /** Rows with an NRPN number, from the first on. */
    std::vector<int> nrpnRows (int count) const
    {
        std::vector<int> rows;
        for (int row = 0; row < 1024 && (int)rows.size() < count; ++row)
            if (hub->parameterTable.nrpnNumber (row) != ravlin::ParameterTable::noNrpn &&
                hub->parameterTable.highest (row) >= 100)
                rows.push_back (row);
        return rows;
    }

    juce::ScopedJuceInitialiser_GUI messageThread;
    ravlin::test::FakeMidiDevices* system = nullptr;
    std::unique_ptr<MidiCntrState> hub;
};
} // namespace

TEST_F (HubFlood, AfterAFloodOfHostChangesTheInstrumentHoldsTheHostsLastValues)
{
    auto& instrument = hub->getVirtualInstrument();
    instrument.setWireSpeed (VirtualInstrument::WireSpeed::din);
    hub->selectInputPort (virtualPort);
    hub->selectOutputPort (virtualPort);
    ASSERT_TRUE (hub->getPorts().outputOpen);

    // 120 parameters, each moved 40 times, a block's worth every 10.7 ms: about 11,000 NRPN a
    // second asked of a link that carries 260.
    const auto rows = nrpnRows (120);
    ASSERT_EQ (rows.size(), 120u);
    std::map<int, int> last;
    for (int block = 0; block < 40; ++block)
    {
        for (size_t i = 0; i < rows.size(); ++i)
        {
            const auto value = (block * 7 + (int)i * 3) % (hub->parameterTable.highest (rows[i]) + 1);
            hub->hostChange (rows[i], value);
            last[rows[i]] = value;
        }
        juce::Thread::sleep (10);
    }

    auto differing = [&]
    {
        const auto image = instrument.getEditBuffer();
        int count = 0;
        for (const auto& [row, value] : last)
            count += image[(size_t)row] != value ? 1 : 0;
        return count;
    };
    EXPECT_TRUE (ravlin::test::pumpUntil ([&] { return differing() == 0; }, 5000));
    EXPECT_EQ (differing(), 0);
    EXPECT_EQ (hub->getPorts().getSender().getNumDropped(), 0);
    EXPECT_TRUE (ravlin::test::pumpUntil ([&] { return hub->linkBacklogMilliseconds() == 0.0; }, 2000));
}

TEST_F (HubFlood, NotesAndProgramChangesOvertakeTheAutomationWaitingForTheLink)
{
    hub->selectOutputPort (1); // a system port: DIN MIDI as set up
    auto& out = system->recorders[0];
    const auto rows = nrpnRows (200); // 770 ms of the link
    for (size_t i = 0; i < rows.size(); ++i)
        hub->hostChange (rows[i], 1 + (int)i % 90);
    ASSERT_TRUE (ravlin::test::pumpUntil ([&] { return out.count() >= 2; })) << "automation on the wire";
    const auto before = (int)out.count();
    hub->noteOnToInstrument (1, 60, 100);
    hub->selectProgram (2 * 99 + 5, true, false);

    EXPECT_TRUE (ravlin::test::pumpUntil (
        [&] { return hub->linkBacklogMilliseconds() == 0.0 && out.count() > rows.size() * 3; }, 3000))
        << out.count() << " sent, " << hub->linkBacklogMilliseconds() << " ms behind";
    juce::Thread::sleep (20);
    const auto sent = out.taken();
    auto indexOf = [&sent] (const Bytes& message)
    {
        for (size_t i = 0; i < sent.size(); ++i)
            if (sent[i].bytes == message)
                return (int)i;
        return -1;
    };
    const auto note = indexOf ({0x90, 60, 100}), bank = indexOf ({0xB0, 32, 2}), program = indexOf ({0xC0, 5});
    ASSERT_GE (note, before);
    EXPECT_LT (note, before + 3) << "the note waited for a controller at most, not for 200 NRPN";
    EXPECT_GT (bank, note);
    EXPECT_EQ (program, bank + 1);
    EXPECT_LT (program, before + 8) << "bank select and program change after the NRPN in flight only";

    // The automation that waited went on after them: every parameter ends on the host's value.
    std::vector<SimulatedPort::Message> messages;
    for (const auto& m : sent)
        messages.push_back ({m.time, m.bytes});
    std::map<int, int> held;
    for (const auto& [number, value] : appliedValues (messages))
        held[number] = value;
    std::map<int, int> set; // by NRPN number: rows that share one end on the later row's value
    for (size_t i = 0; i < rows.size(); ++i)
        set[hub->parameterTable.nrpnNumber (rows[i])] = 1 + (int)i % 90;
    EXPECT_EQ (held, set);
}

TEST_F (HubFlood, AKnobTurnedWhileTheHostsValueWaitsForTheLinkHasTheLastWord)
{
    auto& instrument = hub->getVirtualInstrument();
    instrument.setWireSpeed (VirtualInstrument::WireSpeed::din);
    hub->selectInputPort (virtualPort);
    hub->selectOutputPort (virtualPort);
    ASSERT_TRUE (hub->getPorts().outputOpen);

    // The host moves 200 parameters: most of them wait for the link. The user then turns the
    // knob of one that waits at the back of the line, and the knob's value goes at once.
    const auto rows = nrpnRows (200);
    for (size_t i = 0; i < rows.size(); ++i)
        hub->hostChange (rows[i], 10 + (int)i % 80);
    const auto knob = rows.back();
    hub->storeValue (knob, 99);
    hub->fastNrpnSend (knob, 99, 0.0, 48000.0);

    ASSERT_TRUE (ravlin::test::pumpUntil ([&] { return hub->linkBacklogMilliseconds() == 0.0; }, 5000));
    juce::Thread::sleep (50);
    EXPECT_EQ (instrument.getEditBuffer()[(size_t)knob], 99)
        << "the host's older value, still waiting when the knob turned, must not land after the knob's";
}
