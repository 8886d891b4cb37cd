#include "midi/JuceMidiDevices.h"
#include "midi/MIDI_PORTS_Control.h"
#include "midi/SysExJoiner.h"
#include "support/FakeMidiDevices.h"

#include <gtest/gtest.h>

using ravlin::test::FakeMidiDevices;

namespace
{
struct Collector : public juce::MidiInputCallback
{
    void handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage& m) override { received.add (m); }
    juce::Array<juce::MidiMessage> received;
};

class Ports : public ::testing::Test
{
protected:
    std::vector<std::vector<uint8_t>> sentOn (int output, size_t expected)
    {
        auto& recorder = devices.recorders[output];
        const auto end = juce::Time::getMillisecondCounterHiRes() + 3000;
        while (recorder.count() < expected && juce::Time::getMillisecondCounterHiRes() < end)
            juce::Thread::sleep (1);
        juce::Thread::sleep (10); // and nothing more arrives
        std::vector<std::vector<uint8_t>> result;
        for (const auto& s : recorder.taken())
            result.push_back (s.bytes);
        return result;
    }

    FakeMidiDevices devices;
    Collector collector;
    MIDI_PORTS_Control ports{devices, collector};
};

using Bytes = std::vector<uint8_t>;
} // namespace

TEST_F (Ports, SelectingRemembersNamesAndOpensByPortNumber)
{
    juce::String inName = "old in", outName = "old out";

    ports.selectInput (2, inName);
    EXPECT_EQ (inName, "Prophet 12 In");
    EXPECT_EQ (ports.inputIndex, 1);
    EXPECT_TRUE (ports.inputOpen);
    ASSERT_NE (devices.lastInput, nullptr);
    EXPECT_TRUE (devices.lastInput->started);

    devices.lastInput->deliver (juce::MidiMessage::controllerEvent (1, 7, 100));
    EXPECT_EQ (collector.received.size(), 1);

    ports.selectInput (0, inName);
    EXPECT_EQ (inName, "NONE");
    EXPECT_EQ (ports.inputIndex, -1);
    EXPECT_FALSE (ports.inputOpen);

    ports.selectOutput (2, outName);
    EXPECT_EQ (outName, "Prophet 12 Out");
    EXPECT_TRUE (ports.outputOpen);
    EXPECT_EQ (ports.outputIndex, 1);

    ports.selectOutput (5, outName);
    EXPECT_EQ (outName, "Prophet 12 Out") << "an out-of-range choice keeps the remembered name";
    EXPECT_FALSE (ports.outputOpen) << "and closes the previous port";
    EXPECT_EQ (ports.outputIndex, 4);

    const auto opensBefore = devices.outputOpens;
    ports.selectOutput (1, outName);
    ports.selectOutput (1, outName);
    EXPECT_EQ (devices.outputOpens, opensBefore + 2) << "the same port chosen again is reopened";
}

TEST_F (Ports, AFailedOpenRecordsTheIndexButStaysClosed)
{
    devices.failOpening = true;
    ports.openOutput (1);
    EXPECT_EQ (ports.outputIndex, 0);
    EXPECT_FALSE (ports.outputOpen);
    ports.openInput (1);
    EXPECT_EQ (ports.inputIndex, 0);
    EXPECT_FALSE (ports.inputOpen);

    ports.sendController (1, 7, 7);
    EXPECT_TRUE (sentOn (0, 0).empty()) << "sends on a closed port are dropped";
}

TEST_F (Ports, RememberedNamesAreMatchedExactlyAndNeverWhenShort)
{
    ports.reopenRememberedPorts ("Prophet 12 In", "Prophet 12 Out");
    EXPECT_EQ (ports.inputIndex, 1);
    EXPECT_EQ (ports.outputIndex, 1);

    ports.reopenRememberedPorts ("prophet 12 in", "NONE");
    EXPECT_EQ (ports.inputIndex, -1);
    EXPECT_EQ (ports.outputIndex, -1);

    devices.inputs.add ("AB");
    EXPECT_EQ (MIDI_PORTS_Control::findPort (devices.inputs, "AB"), 0);
    EXPECT_EQ (MIDI_PORTS_Control::findPort (devices.inputs, "Port In A"), 1);
    EXPECT_EQ (MIDI_PORTS_Control::findPort (devices.inputs, "Port In"), 0);
}

TEST_F (Ports, ChannelMessagesAndTheirRules)
{
    ports.openOutput (2);
    ports.sendController (17, 7, 100); // refused
    ports.sendController (0, 7, 200);  // channel 0 goes as 1, data masked
    ports.sendController (16, 32, 3);
    ports.sendNoteOff (2, 61);
    ports.sendPitchWheel (1, 0x2001); // low 7 bits, then high 7 bits
    ports.sendProgramChange (3, 128); // refused
    ports.sendProgramChange (3, 98);
    ports.sendProgramChange (17, 5); // refused: would land on another channel

    const auto sent = sentOn (1, 5);
    ASSERT_EQ (sent.size(), 5u);
    EXPECT_EQ (sent[0], (Bytes{0xB0, 7, 200 & 0x7F}));
    EXPECT_EQ (sent[1], (Bytes{0xBF, 32, 3}));
    EXPECT_EQ (sent[2], (Bytes{0x81, 61, 0}));
    EXPECT_EQ (sent[3], (Bytes{0xE0, 0x01, 0x40}));
    EXPECT_EQ (sent[4], (Bytes{0xC2, 98}));
}

TEST_F (Ports, SysExUpTo256BytesIsOneMessageLongerGoesInRawPieces)
{
    ports.openOutput (1);

    Bytes exact (256, 0x11);
    exact.front() = 0xF0, exact.back() = 0xF7;
    ports.sendSysEx (exact.data(), (int)exact.size());
    auto sent = sentOn (0, 1);
    ASSERT_EQ (sent.size(), 1u);
    EXPECT_EQ (sent[0], exact);

    Bytes longer (257, 0x22);
    longer.front() = 0xF0, longer.back() = 0xF7;
    ports.sendSysEx (longer.data(), (int)longer.size());
    sent = sentOn (0, 3);
    ASSERT_EQ (sent.size(), 3u);
    EXPECT_EQ (sent[1], Bytes (longer.begin(), longer.begin() + 256));
    EXPECT_EQ (sent[2], Bytes{0xF7});

    Bytes dump (1178, 0x05);
    dump.front() = 0xF0, dump.back() = 0xF7;
    ports.sendSysEx (dump.data(), (int)dump.size());
    sent = sentOn (0, 8);
    ASSERT_EQ (sent.size(), 8u);
    EXPECT_EQ (sent[7].size(), 1178u - 4 * 256);
    EXPECT_TRUE (ports.getSender().isSending()) << "the timed sender runs again afterwards";
}

TEST_F (Ports, ALongDumpKeepsItsPlaceBehindWhatIsAlreadyDue)
{
    ports.openOutput (1);
    juce::MidiBuffer later;
    later.addEvent (juce::MidiMessage::midiClock(), 0);
    ports.sendBufferAt (later, 200.0, 1000.0);
    ports.sendController (1, 38, 9); // the last edit before a whole program
    Bytes dump (1178, 0x05);
    dump.front() = 0xF0, dump.back() = 0xF7;
    ports.sendSysEx (dump.data(), (int)dump.size());

    const auto sent = sentOn (0, 7);
    ASSERT_EQ (sent.size(), 7u);
    EXPECT_EQ (sent[0], (Bytes{0xB0, 38, 9})) << "due before the dump, sent before it";
    EXPECT_EQ (sent[1].front(), 0xF0);
    EXPECT_EQ (sent[6], Bytes{0xF8}) << "due after it, sent after it";
}

TEST_F (Ports, TimedBuffersArriveAfterTheirDelay)
{
    ports.openOutput (1);
    juce::MidiBuffer buffer;
    buffer.addEvent (juce::MidiMessage::midiClock(), 0);
    buffer.addEvent (juce::MidiMessage::midiClock(), 480); // 10 ms at 48 kHz
    const auto start = juce::Time::getMillisecondCounterHiRes();
    ports.sendBufferAt (buffer, 25.0, 48000.0);

    sentOn (0, 2);
    const auto sent = devices.recorders[0].taken();
    ASSERT_EQ (sent.size(), 2u);
    EXPECT_GE (sent[0].time - start, 25.0);
    EXPECT_NEAR (sent[1].time - sent[0].time, 10.0, 5.0);
}

TEST (SystemMidi, AMachineWithoutMidiListsAndOpensNothing)
{
    if (juce::File ("/dev/snd/seq").exists())
        GTEST_SKIP() << "this machine has MIDI";

    JuceMidiDevices system;
    EXPECT_TRUE (system.inputNames().isEmpty());
    EXPECT_TRUE (system.outputNames().isEmpty());
    Collector collector;
    EXPECT_EQ (system.openInput (0, collector), nullptr);
    EXPECT_EQ (system.openOutput (0), nullptr);

    MIDI_PORTS_Control ports (system, collector);
    ports.reopenRememberedPorts ("Prophet 12", "Prophet 12");
    EXPECT_FALSE (ports.inputOpen);
    EXPECT_FALSE (ports.outputOpen);
    ports.sendController (1, 1, 1); // dropped, no crash
}

TEST (SysExJoiner, PiecesBecomeWholeMessagesOtherBytesPassOn)
{
    std::vector<Bytes> out;
    SysExJoiner joiner ([&out] (const uint8_t* b, int n) { out.emplace_back (b, b + n); });

    Bytes dump (600, 0x11);
    dump.front() = 0xF0, dump.back() = 0xF7;
    for (size_t at = 0; at < dump.size(); at += 256)
        joiner.write (dump.data() + at, (int)std::min<size_t> (256, dump.size() - at));
    ASSERT_EQ (out.size(), 1u);
    EXPECT_EQ (out[0], dump);

    const Bytes mixed{0xB0, 7, 100, 0xF0, 0x01, 0xF7, 0xC0, 5};
    joiner.write (mixed.data(), (int)mixed.size());
    ASSERT_EQ (out.size(), 4u);
    EXPECT_EQ (out[1], (Bytes{0xB0, 7, 100}));
    EXPECT_EQ (out[2], (Bytes{0xF0, 0x01, 0xF7}));
    EXPECT_EQ (out[3], (Bytes{0xC0, 5}));

    const Bytes cut{0xF0, 0x01, 0x02};
    const Bytes next{0xF0, 0x03, 0xF7};
    joiner.write (cut.data(), 3);
    joiner.write (next.data(), 3);
    ASSERT_EQ (out.size(), 5u);
    EXPECT_EQ (out[4], next) << "an unfinished message gives way to the next";

    // Any other status byte ends a SysEx that never ends: what follows is not held back.
    const Bytes unterminated{0xF0, 0x01, 0x2B, 0x0E};
    const Bytes after{0xB0, 1, 64, 0x90, 60, 100};
    joiner.write (unterminated.data(), 4);
    joiner.write (after.data(), (int)after.size());
    ASSERT_EQ (out.size(), 6u);
    EXPECT_EQ (out[5], after);

    // Real-time bytes inside a dump go at once and leave it whole.
    const Bytes firstHalf{0xF0, 0x01, 0x02, 0xF8, 0x03};
    const Bytes secondHalf{0x04, 0xF7};
    joiner.write (firstHalf.data(), (int)firstHalf.size());
    joiner.write (secondHalf.data(), (int)secondHalf.size());
    ASSERT_EQ (out.size(), 8u);
    EXPECT_EQ (out[6], Bytes{0xF8});
    EXPECT_EQ (out[7], (Bytes{0xF0, 0x01, 0x02, 0x03, 0x04, 0xF7}));
}
