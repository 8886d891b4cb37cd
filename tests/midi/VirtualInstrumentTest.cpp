#include "midi/VirtualInstrument.h"
#include "instrument/BankFolder.h"
#include "instrument/GlobalDump.h"
#include "midi/MIDI_PORTS_Control.h"
#include "support/FakeMidiDevices.h"

#include <gtest/gtest.h>

#include <mutex>

using ravlin::Bytes;

namespace
{
/** Plays the plug-in's input callback and collects what the instrument sends. */
struct Receiver : public juce::MidiInputCallback
{
    void handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage& m) override
    {
        std::lock_guard<std::mutex> guard (lock);
        messages.emplace_back (m.getRawData(), m.getRawData() + m.getRawDataSize());
        times.push_back (juce::Time::getMillisecondCounterHiRes());
    }

    bool waitFor (size_t count, int timeoutMs = 3000)
    {
        const auto end = juce::Time::getMillisecondCounterHiRes() + timeoutMs;
        for (;;)
        {
            {
                std::lock_guard<std::mutex> guard (lock);
                if (messages.size() >= count)
                    return true;
            }
            if (juce::Time::getMillisecondCounterHiRes() > end)
                return false;
            juce::Thread::sleep (1);
        }
    }

    std::vector<Bytes> taken()
    {
        std::lock_guard<std::mutex> guard (lock);
        return messages;
    }

    std::vector<double> takenTimes()
    {
        std::lock_guard<std::mutex> guard (lock);
        return times;
    }

    std::mutex lock;
    std::vector<Bytes> messages;
    std::vector<double> times;
};

class Instrument : public ::testing::Test
{
protected:
    void SetUp() override { instrument.connectOutput (&receiver); }
    void TearDown() override { instrument.connectOutput (nullptr); }

    void feed (const Bytes& bytes) { instrument.receive (bytes.data(), (int)bytes.size()); }

    static Bytes image (uint8_t seed)
    {
        Bytes result (1024);
        for (size_t i = 0; i < result.size(); ++i)
            result[i] = (uint8_t)(i * 31 + seed);
        return result;
    }

    VirtualInstrument instrument;
    Receiver receiver;
};
} // namespace

TEST_F (Instrument, AnswersRequestsWithTheInstrumentsDumps)
{
    instrument.setProgram (5, 17, image (3));
    feed (ravlin::requestProgramDump (5, 17));
    feed (ravlin::requestEditBufferDump());
    feed (ravlin::requestGlobalParameters());
    ASSERT_TRUE (receiver.waitFor (3));

    const auto replies = receiver.taken();
    EXPECT_EQ (replies[0], ravlin::packProgramDump (image (3), 5, 17));
    EXPECT_EQ (replies[0][2], 0x2B) << "the module's device byte";
    EXPECT_EQ (replies[1], ravlin::packEditBufferDump (instrument.getEditBuffer()));

    // 25 globals as 50 nibbles, low nibble first, set as the setup's help text asks.
    const auto& globals = replies[2];
    ASSERT_EQ (globals.size(), 55u);
    EXPECT_EQ (Bytes (globals.begin(), globals.begin() + 4), (Bytes{0xF0, 0x01, 0x2B, 0x0F}));
    EXPECT_EQ (Bytes (globals.begin() + 4, globals.begin() + 8), (Bytes{12, 0, 2, 3})) << "coarse 12, fine 50";
    EXPECT_EQ (Bytes (globals.begin() + 4 + 2 * 5, globals.begin() + 4 + 2 * 9), (Bytes{0, 0, 1, 0, 1, 0, 1, 0}))
        << "parameters sent as NRPN, received as NRPN, controllers and SysEx on";
    EXPECT_EQ (globals.back(), 0xF7);
}

TEST (InstrumentModels, EachAnswersItsOwnByteAndTheIdentityRequest)
{
    for (const auto model : {ravlin::InstrumentModel::module, ravlin::InstrumentModel::keyboard})
    {
        VirtualInstrument instrument (model);
        Receiver receiver;
        instrument.connectOutput (&receiver);
        const auto own = ravlin::deviceByteOf (model);
        const auto other =
            model == ravlin::InstrumentModel::module ? ravlin::sysex::deviceKeyboard : ravlin::sysex::deviceModule;
        auto feed = [&instrument] (const Bytes& b) { instrument.receive (b.data(), (int)b.size()); };

        // The other model's requests and dumps go unanswered and change nothing.
        const auto before = instrument.getProgram (1, 2);
        feed (ravlin::requestProgramDump (1, 2, other));
        feed (ravlin::requestEditBufferDump (other));
        feed (ravlin::requestGlobalParameters (other));
        feed (ravlin::packProgramDump (Bytes (1024, 9), 1, 2, other));
        feed (ravlin::identity::request());
        ASSERT_TRUE (receiver.waitFor (1));
        juce::Thread::sleep (30);
        auto replies = receiver.taken();
        ASSERT_EQ (replies.size(), 1u) << "only the identity request is answered";
        EXPECT_EQ (ravlin::identity::modelOfReply (replies[0].data(), replies[0].size()), model);
        EXPECT_EQ (instrument.getProgram (1, 2), before);

        feed (ravlin::packProgramDump (Bytes (1024, 9), 1, 2, own));
        feed (ravlin::requestProgramDump (1, 2, own));
        feed (ravlin::requestGlobalParameters (own));
        ASSERT_TRUE (receiver.waitFor (3));
        replies = receiver.taken();
        EXPECT_EQ (replies[1], ravlin::packProgramDump (Bytes (1024, 9), 1, 2, own));
        EXPECT_TRUE (ravlin::globalDump::decode (replies[2].data(), replies[2].size()).has_value());
        EXPECT_EQ (replies[2][2], own);
        EXPECT_EQ (juce::String (instrument.getPortName()),
                   juce::String (model == ravlin::InstrumentModel::module ? "Prophet 12 Module (virtual)"
                                                                          : "Prophet 12 Keyboard (virtual)"));
        instrument.connectOutput (nullptr);
    }
}

TEST_F (Instrument, BanksStartAsTheFactorySounds)
{
    const BankFolder folder;
    EXPECT_EQ (instrument.getProgram (4, 0), Bytes (folder.bank (0), folder.bank (0) + 1024));
    EXPECT_EQ (instrument.getProgram (7, 98), Bytes (folder.bank (3) + 98 * 1024, folder.bank (3) + 99 * 1024));
    EXPECT_TRUE (instrument.getProgram (8, 0).empty());
    EXPECT_TRUE (instrument.getProgram (0, 99).empty());
}

TEST_F (Instrument, NrpnInEveryFormTheEditorSends)
{
    // Full form: 99, 98, 6, 38. NRPN 5 is "Wave L 1", parameter 16.
    feed ({0xB0, 99, 0, 0xB0, 98, 5, 0xB0, 6, 0, 0xB0, 38, 11});
    EXPECT_EQ (instrument.getEditBuffer()[16], 11);

    // Repeat-suppressed forms: 38 alone, then 6 and 38 with running status.
    feed ({0xB0, 38, 9});
    EXPECT_EQ (instrument.getEditBuffer()[16], 9);
    feed ({0xB0, 6, 1, 38, 2});
    EXPECT_EQ (instrument.getEditBuffer()[16], 130);

    // Layer B by +512: NRPN 513 is "Fine 1" of layer B, parameter 516.
    feed ({0xB0, 99, 4, 98, 1, 6, 0, 38, 77});
    EXPECT_EQ (instrument.getEditBuffer()[516], 77);

    // Globals at 1024 + k: "Pot Mode" (13) to 2.
    feed ({0xB0, 99, 8, 98, 13, 6, 0, 38, 2});
    EXPECT_EQ (instrument.getGlobals()[13], 2);

    // Another channel and an unknown number change nothing.
    const auto before = instrument.getEditBuffer();
    feed ({0xB3, 99, 0, 98, 5, 6, 0, 38, 1});
    feed ({0xB0, 99, 0, 98, 14, 6, 0, 38, 1});
    EXPECT_EQ (instrument.getEditBuffer(), before);
}

TEST_F (Instrument, BankSelectProgramChangeAndIncomingDumps)
{
    instrument.setProgram (2, 40, image (9));
    feed ({0xB0, 32, 2, 0xC0, 40});
    EXPECT_EQ (instrument.getCurrentBank(), 2);
    EXPECT_EQ (instrument.getCurrentProgram(), 40);
    EXPECT_EQ (instrument.getEditBuffer(), image (9));

    feed (ravlin::packProgramDump (image (1), 1, 98));
    EXPECT_EQ (instrument.getProgram (1, 98), image (1));

    feed (ravlin::packEditBufferDump (image (2)));
    EXPECT_EQ (instrument.getEditBuffer(), image (2));
}

TEST_F (Instrument, SysExInPiecesAndBadInput)
{
    const auto dump = ravlin::packEditBufferDump (image (4));
    for (size_t at = 0; at < dump.size(); at += 256)
    {
        const auto end = std::min (dump.size(), at + 256);
        feed (Bytes (dump.begin() + (ptrdiff_t)at, dump.begin() + (ptrdiff_t)end));
        if (at == 512)
            feed ({0xF8}); // a clock tick inside the dump does not break it
    }
    EXPECT_EQ (instrument.getEditBuffer(), image (4));

    // Truncated SysEx, SysEx without F7, stray data bytes: all dropped, nothing breaks.
    feed ({0xF0, 0x01, 0x2B, 0x06});
    feed ({0xB0, 32, 1});
    feed ({0x12, 0x34, 0xF0, 0x01});
    feed ({0xF7, 0xF7, 0x00});
    feed (Bytes (20000, 0x10));
    EXPECT_EQ (instrument.getCurrentBank(), 1);
    juce::Thread::sleep (30);
    EXPECT_TRUE (receiver.taken().empty()) << "the cut-short request was not answered";

    feed (ravlin::requestEditBufferDump());
    EXPECT_TRUE (receiver.waitFor (1)) << "and the instrument still answers";
}

TEST_F (Instrument, KnobsSendNrpnAndASilentInstrumentSaysNothing)
{
    instrument.turnKnob (85, 150); // "LPF Freq", NRPN 90
    ASSERT_TRUE (receiver.waitFor (4));
    const auto sent = receiver.taken();
    EXPECT_EQ (sent[0], (Bytes{0xB0, 99, 0}));
    EXPECT_EQ (sent[1], (Bytes{0xB0, 98, 90}));
    EXPECT_EQ (sent[2], (Bytes{0xB0, 6, 1}));
    EXPECT_EQ (sent[3], (Bytes{0xB0, 38, 150 - 128}));
    EXPECT_EQ (instrument.getEditBuffer()[85], 150);

    instrument.setSilent (true);
    feed (ravlin::requestEditBufferDump());
    instrument.turnKnob (85, 3);
    juce::Thread::sleep (30);
    EXPECT_EQ (receiver.taken().size(), 4u);
}

TEST_F (Instrument, DinSpeedTakesThePhysicalTime)
{
    instrument.setWireSpeed (VirtualInstrument::WireSpeed::din);
    const auto start = juce::Time::getMillisecondCounterHiRes();
    feed (ravlin::requestProgramDump (0, 0));
    ASSERT_TRUE (receiver.waitFor (1, 5000));
    EXPECT_GE (receiver.takenTimes()[0] - start, 1178 * 0.32 - 1.0);
}

TEST_F (Instrument, ADumpHandedOverWhileTheOneBeforeIsStillOnTheWireIsLost)
{
    // As a system port takes a dump at once and the real instrument's input overruns.
    instrument.setWireSpeed (VirtualInstrument::WireSpeed::din);
    feed (ravlin::packProgramDump (image (1), 0, 1));
    feed (ravlin::packProgramDump (image (2), 0, 2));
    EXPECT_EQ (instrument.getProgram (0, 1), image (1));
    EXPECT_NE (instrument.getProgram (0, 2), image (2));
    EXPECT_EQ (instrument.getNumDumpsLost(), 1);

    juce::Thread::sleep ((int)(1178 * VirtualInstrument::dinMillisecondsPerByte) + 20);
    feed (ravlin::packProgramDump (image (3), 0, 3));
    EXPECT_EQ (instrument.getProgram (0, 3), image (3)) << "once the wire is free again";
    EXPECT_EQ (instrument.getNumDumpsLost(), 1);

    instrument.setWireSpeed (VirtualInstrument::WireSpeed::unlimited);
    feed (ravlin::packProgramDump (image (4), 0, 4));
    feed (ravlin::packProgramDump (image (5), 0, 5));
    EXPECT_EQ (instrument.getProgram (0, 5), image (5)) << "a wire without speed never overruns";
}

TEST (VirtualPorts, ComeAfterTheSystemsDevicesAndTalkThroughThePorts)
{
    ravlin::test::FakeMidiDevices system;
    VirtualInstrument instrument;
    DevicesWithVirtualInstrument devices (system, {&instrument});

    const auto inputs = devices.inputNames();
    ASSERT_EQ (inputs.size(), 3);
    EXPECT_EQ (inputs[2], "Prophet 12 Module (virtual)");
    EXPECT_EQ (devices.outputNames()[2], "Prophet 12 Module (virtual)");

    Receiver receiver;
    MIDI_PORTS_Control ports (devices, receiver);
    juce::String inName, outName;
    ports.selectInput (3, inName);
    ports.selectOutput (3, outName);
    EXPECT_EQ (inName, "Prophet 12 Module (virtual)");
    ASSERT_TRUE (ports.inputOpen && ports.outputOpen);

    const auto request = ravlin::requestProgramDump (6, 1);
    ports.sendSysEx (request.data(), (int)request.size());
    ASSERT_TRUE (receiver.waitFor (1));
    EXPECT_EQ (receiver.taken()[0], ravlin::packProgramDump (instrument.getProgram (6, 1), 6, 1));

    // A whole dump back to the instrument goes in 256-byte pieces and arrives whole.
    Bytes newSound (1024, 0x42);
    const auto dump = ravlin::packProgramDump (newSound, 0, 3);
    ports.sendSysEx (dump.data(), (int)dump.size());
    const auto end = juce::Time::getMillisecondCounterHiRes() + 3000;
    while (instrument.getProgram (0, 3) != newSound && juce::Time::getMillisecondCounterHiRes() < end)
        juce::Thread::sleep (1);
    EXPECT_EQ (instrument.getProgram (0, 3), newSound);

    ports.openInput (0);
    ports.sendSysEx (request.data(), (int)request.size());
    juce::Thread::sleep (50);
    EXPECT_EQ (receiver.taken().size(), 1u) << "a closed input hears nothing";
}
