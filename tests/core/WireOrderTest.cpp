// What reaches the instrument, byte for byte and in order, from the host's MIDI, the input port
// and the processor, as a user would see it on the instrument.
#include "core/RavlinAudioProcessor.h"
#include "support/FakeMidiDevices.h"
#include "support/MessagePump.h"

#include <gtest/gtest.h>

using ravlin::Bytes;

namespace
{
constexpr int virtualPort = 3; // after the two fake system devices

class Wire : public ::testing::Test
{
protected:
    Wire() : hub (processor.getHub()) {}

    /** The wire carries only what the test sends: with the model chosen, no identity request. */
    ravlin::test::RecordingOutput& recordOutput()
    {
        hub.setModelChoice (ModelDetector::Choice::module);
        hub.selectOutputPort (1);
        return system->recorders[0];
    }

    /** Host MIDI through to the instrument at 48 kHz, late by the given latency. */
    void throughWithLatency (int milliseconds)
    {
        hub.thruHostToPort = true;
        hub.sampleRate = 48000.0;
        hub.sampleRateIndex = 1;
        hub.latencyTable[1] = milliseconds;
        hub.latencyMode = 0;
    }

    void connectVirtual()
    {
        hub.selectInputPort (virtualPort);
        hub.selectOutputPort (virtualPort);
        ASSERT_TRUE (hub.getPorts().outputOpen);
    }

    /** Waits until count messages arrived (or 3 s), then a moment for any extra. */
    static std::vector<ravlin::test::RecordingOutput::Sent> sent (ravlin::test::RecordingOutput& out, size_t count)
    {
        const auto end = juce::Time::getMillisecondCounterHiRes() + 3000;
        while (out.count() < count && juce::Time::getMillisecondCounterHiRes() < end)
            juce::Thread::sleep (1);
        juce::Thread::sleep (30);
        return out.taken();
    }

    static Bytes joined (const std::vector<ravlin::test::RecordingOutput::Sent>& messages)
    {
        Bytes all;
        for (const auto& m : messages)
            all.insert (all.end(), m.bytes.begin(), m.bytes.end());
        return all;
    }

    void fromInstrument (const Bytes& bytes)
    {
        hub.handleIncomingMidiMessage (nullptr, juce::MidiMessage (bytes.data(), (int)bytes.size()));
    }

    static Bytes dumpOf (int bank, int program, uint8_t fill)
    {
        return ravlin::packProgramDump (Bytes (1024, fill), bank, program);
    }

    juce::ScopedJuceInitialiser_GUI messageThread;
    ravlin::test::FakeMidiDevices* system = new ravlin::test::FakeMidiDevices();
    RavlinAudioProcessor processor{std::unique_ptr<MidiDeviceSet> (system), juce::File()};
    MidiCntrState& hub;
};
} // namespace

TEST_F (Wire, HostMidiKeepsItsOrderAcrossBlocksWithLatency)
{
    auto& out = recordOutput();
    throughWithLatency (50);

    // A short note: on at sample 100 of one block, off at sample 0 of the next. Blocks come as
    // hosts send them, sometimes back to back.
    for (int note = 60; note < 64; ++note)
    {
        juce::MidiBuffer first, second;
        first.addEvent (juce::MidiMessage::noteOn (1, note, (juce::uint8)100), 100);
        second.addEvent (juce::MidiMessage::noteOff (1, note), 0);
        hub.routeBlock (first, 128);
        hub.routeBlock (second, 128);
    }
    const auto start = juce::Time::getMillisecondCounterHiRes();
    const auto arrivals = sent (out, 8);
    ASSERT_EQ (arrivals.size(), 8u);
    for (size_t i = 0; i < 8; ++i)
    {
        EXPECT_EQ (arrivals[i].bytes[0], i % 2 == 0 ? 0x90 : 0x80) << "message " << i;
        EXPECT_EQ (arrivals[i].bytes[1], 60 + (int)i / 2) << "message " << i;
    }
    EXPECT_GT (arrivals[0].time - start, 30.0) << "every message waits the latency, sample 0 too";
    EXPECT_GE (arrivals[1].time, arrivals[0].time);
}

TEST_F (Wire, HostSysExOfAnyLengthReachesTheInstrumentWholeAndInOrder)
{
    connectVirtual();
    auto& instrument = hub.getVirtualInstrument();
    hub.thruHostToPort = true;

    // Two program dumps played from a DAW track with a controller between them.
    const auto first = dumpOf (0, 10, 0x11), second = dumpOf (0, 11, 0x22);
    juce::MidiBuffer block;
    block.addEvent (first.data(), (int)first.size(), 0);
    block.addEvent (juce::MidiMessage::controllerEvent (1, 32, 3), 10);
    block.addEvent (second.data(), (int)second.size(), 20);
    processor.getHub().routeBlock (block, 512);
    EXPECT_TRUE (ravlin::test::pumpUntil ([&] { return instrument.getProgram (0, 11) == Bytes (1024, 0x22); }));
    EXPECT_EQ (instrument.getProgram (0, 10), Bytes (1024, 0x11));
    EXPECT_EQ (instrument.getCurrentBank(), 3);

    // The ports' own block sends take them too.
    const auto third = dumpOf (1, 5, 0x33);
    juce::MidiBuffer direct;
    direct.addEvent (third.data(), (int)third.size(), 0);
    hub.getPorts().sendBufferAt (direct, 2.0, 48000.0);
    const auto fourth = dumpOf (1, 6, 0x44);
    direct.clear();
    direct.addEvent (fourth.data(), (int)fourth.size(), 0);
    hub.getPorts().sendBuffer (direct);
    EXPECT_TRUE (ravlin::test::pumpUntil ([&] { return instrument.getProgram (1, 5) == Bytes (1024, 0x33); }));
    EXPECT_TRUE (ravlin::test::pumpUntil ([&] { return instrument.getProgram (1, 6) == Bytes (1024, 0x44); }));

    // On a system port the pieces follow each other with nothing between them.
    auto& out = recordOutput();
    block.clear();
    block.addEvent (juce::MidiMessage::noteOn (1, 60, (juce::uint8)90), 0);
    block.addEvent (first.data(), (int)first.size(), 1);
    block.addEvent (juce::MidiMessage::noteOff (1, 60), 2);
    hub.routeBlock (block, 512);
    Bytes expected (first.size() + 6);
    const uint8_t noteOn[] = {0x90, 60, 90}, noteOff[] = {0x80, 60, 0};
    std::copy (noteOn, noteOn + 3, expected.begin());
    std::copy (first.begin(), first.end(), expected.begin() + 3);
    std::copy (noteOff, noteOff + 3, expected.end() - 3);
    EXPECT_EQ (joined (sent (out, 7)), expected);
    EXPECT_EQ (hub.getPorts().getSender().getNumDropped(), 0);
}

TEST_F (Wire, AnUnterminatedSysExLosesNothingThatFollows)
{
    // From the instrument: a status byte ends the SysEx; the controller and note still count.
    hub.takeEvents();
    fromInstrument ({0xF0, 0x01, 0x2B, 0x0E});
    fromInstrument ({0xB0, 1, 64});
    fromInstrument ({0x90, 60, 100});
    fromInstrument ({0x01, 0x02, 0xF7}); // data bytes after the SysEx ended belong to nothing
    EXPECT_EQ (hub.takeEvents(),
               (std::vector<uint32_t>{HubEvent::controller (1, 1, 64), HubEvent::noteOn (1, 60, 100)}));

    // Real-time bytes inside a SysEx do not end it.
    const auto dump = ravlin::packEditBufferDump (Bytes (1024, 0x3C));
    fromInstrument (Bytes (dump.begin(), dump.begin() + 600));
    fromInstrument ({0xFE});
    fromInstrument (Bytes (dump.begin() + 600, dump.end()));
    EXPECT_EQ (hub.getCurrentProgram(), Bytes (1024, 0x3C));

    // From the host to the instrument: the same rule on the way out.
    connectVirtual();
    hub.thruHostToPort = true;
    juce::MidiBuffer block;
    const uint8_t cut[] = {0xF0, 0x01, 0x2B, 0x0E};
    block.addEvent (cut, 4, 0);
    block.addEvent (juce::MidiMessage::controllerEvent (1, 32, 5), 1);
    hub.routeBlock (block, 64);
    auto& instrument = hub.getVirtualInstrument();
    EXPECT_TRUE (ravlin::test::pumpUntil ([&] { return instrument.getCurrentBank() == 5; }));
}

TEST_F (Wire, AProgramChangeFromTheInstrumentIsNotSentBackAndLoadsOnce)
{
    auto& out = recordOutput();
    hub.programChangeWithAutomation = true;
    hub.currentBank = 2;
    hub.takeEvents();
    fromInstrument ({0xC0, 7});

    EXPECT_EQ (hub.currentProgram, 7);
    const auto events = hub.takeEvents();
    EXPECT_EQ (std::count (events.begin(), events.end(), HubEvent::programLoaded), 1);
    EXPECT_EQ (hub.getCurrentProgram(), hub.getBankProgram (2, 7));
    EXPECT_EQ (processor.getSlotParameter (618).getValue(), (float)(2 * 99 + 7) / 791.0f) << "the host hears of it";
    juce::Thread::sleep (50);
    EXPECT_EQ (out.count(), 0u) << "nothing goes back to the instrument";

    // Chosen in the editor instead, it goes to the instrument once.
    hub.selectProgram (3 * 99 + 4, true, true);
    const auto messages = sent (out, 2);
    ASSERT_EQ (messages.size(), 2u);
    EXPECT_EQ (messages[0].bytes, (Bytes{0xB0, 32, 3}));
    EXPECT_EQ (messages[1].bytes, (Bytes{0xC0, 4}));
}

TEST_F (Wire, ProgramChangesAbove98AndBanksAbove8AreIgnored)
{
    auto& out = recordOutput();
    hub.currentBank = 1;
    hub.currentProgram = 5;
    const auto before = hub.getCurrentProgram();
    juce::MidiBuffer block;
    block.addEvent (juce::MidiMessage::programChange (1, 110), 0);
    block.addEvent (juce::MidiMessage::controllerEvent (1, 32, 12), 1);
    hub.routeBlock (block, 64);
    fromInstrument ({0xC0, 99});
    fromInstrument ({0xB0, 32, 9});

    EXPECT_EQ (hub.currentBank, 1) << "not carried into bank 2";
    EXPECT_EQ (hub.currentProgram, 5);
    EXPECT_EQ (hub.getCurrentProgram(), before);
    juce::Thread::sleep (50);
    EXPECT_EQ (out.count(), 0u);

    block.clear();
    block.addEvent (juce::MidiMessage::programChange (1, 98), 0);
    hub.routeBlock (block, 64);
    EXPECT_EQ (hub.currentProgram, 98);
    EXPECT_EQ (hub.getCurrentProgram(), hub.getBankProgram (1, 98));
}

TEST_F (Wire, EventsOfChannel16StayTheirKind)
{
    hub.takeEvents();
    fromInstrument ({0xEF, 0x00, 0x50});
    fromInstrument ({0xBF, 1, 99});
    fromInstrument ({0x9F, 64, 1});
    fromInstrument ({0x8F, 64, 0});
    const auto events = hub.takeEvents();
    ASSERT_EQ (events.size(), 4u);
    EXPECT_EQ (HubEvent::kindOf (events[0]), 0x0E0u);
    EXPECT_EQ (HubEvent::channelOf (events[0]), 16);
    EXPECT_EQ (events[0] & 0x3FFF, 0x50u * 128);
    EXPECT_EQ (HubEvent::kindOf (events[1]), 0x0B0u);
    EXPECT_EQ (HubEvent::kindOf (events[2]), 0x090u);
    EXPECT_EQ (HubEvent::kindOf (events[3]), 0x080u);
    EXPECT_EQ (HubEvent::kindOf (HubEvent::noteOff (16, 1)), 0x080u) << "not a note on of channel 1";
    EXPECT_EQ (HubEvent::channelOf (HubEvent::noteOn (1, 60, 1)), 1);
}

TEST_F (Wire, HostProgramChangesKeepTheirPlaceAmongTheNotes)
{
    auto& out = recordOutput();
    throughWithLatency (30);
    hub.currentBank = 0;
    hub.currentProgram = 0;

    juce::MidiBuffer block;
    block.addEvent (juce::MidiMessage::noteOn (1, 60, (juce::uint8)90), 10);
    block.addEvent (juce::MidiMessage::noteOff (1, 60), 20);
    block.addEvent (juce::MidiMessage::controllerEvent (1, 32, 2), 30);
    block.addEvent (juce::MidiMessage::programChange (1, 9), 40);
    block.addEvent (juce::MidiMessage::noteOn (1, 62, (juce::uint8)90), 50);
    const auto start = juce::Time::getMillisecondCounterHiRes();
    hub.routeBlock (block, 128);
    EXPECT_EQ (hub.getCurrentProgram(), hub.getBankProgram (2, 9)) << "the editor follows at once";

    std::vector<Bytes> order;
    const auto arrivals = sent (out, 7);
    for (const auto& m : arrivals)
        order.push_back (m.bytes);
    EXPECT_EQ (order,
               (std::vector<Bytes>{
                   {0x90, 60, 90}, {0x80, 60, 0}, {0xB0, 32, 2}, {0xC0, 0}, {0xB0, 32, 2}, {0xC0, 9}, {0x90, 62, 90}}))
        << "bank and program go where the host put them, each selection whole";
    ASSERT_FALSE (arrivals.empty());
    EXPECT_GT (arrivals[2].time - start, 20.0) << "late by the latency, as the notes";
}

TEST_F (Wire, TheSameProgramNumberAfterABankSelectFromTheInstrumentLoads)
{
    hub.setBankProgram (0, 5, Bytes (1024, 0x05));
    hub.setBankProgram (1, 5, Bytes (1024, 0x68));
    hub.currentBank = 0;
    fromInstrument ({0xC0, 5});
    EXPECT_EQ (hub.getCurrentProgram(), hub.getBankProgram (0, 5));
    fromInstrument ({0xB0, 32, 1});
    fromInstrument ({0xC0, 5});
    EXPECT_EQ (hub.getCurrentProgram(), hub.getBankProgram (1, 5)) << "bank 2, program 6 is another sound";
    hub.takeEvents();
    fromInstrument ({0xC0, 5});
    EXPECT_TRUE (hub.takeEvents().empty()) << "the same program again loads nothing";
}
