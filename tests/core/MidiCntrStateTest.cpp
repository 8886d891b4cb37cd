#include "core/MidiCntrState.h"
#include "support/FakeMidiDevices.h"
#include "support/MessagePump.h"

#include <gtest/gtest.h>

#include <map>
#include <thread>

using ravlin::Bytes;
using ravlin::test::FakeMidiDevices;

namespace
{
constexpr int virtualPort = 3; // after the two fake system devices

class Hub : public ::testing::Test
{
protected:
    Hub()
    {
        auto fake = std::make_unique<FakeMidiDevices>();
        system = fake.get();
        hub = std::make_unique<MidiCntrState> (std::move (fake), juce::File());
    }

    void connectVirtual()
    {
        hub->selectInputPort (virtualPort);
        hub->selectOutputPort (virtualPort);
        ASSERT_TRUE (hub->getPorts().inputOpen && hub->getPorts().outputOpen);
    }

    /** The hub's output to a recording fake device instead of the instrument. */
    /** The wire carries only what the test sends: with the model chosen, no identity request. */
    ravlin::test::RecordingOutput& recordOutput()
    {
        hub->setModelChoice (ModelDetector::Choice::module);
        hub->selectOutputPort (1);
        return system->recorders[0];
    }

    static std::vector<Bytes> sent (ravlin::test::RecordingOutput& out, size_t count)
    {
        const auto end = juce::Time::getMillisecondCounterHiRes() + 3000;
        while (out.count() < count && juce::Time::getMillisecondCounterHiRes() < end)
            juce::Thread::sleep (1);
        juce::Thread::sleep (20);
        std::vector<Bytes> result;
        for (const auto& s : out.taken())
            result.push_back (s.bytes);
        return result;
    }

    bool waitForEvent (uint32_t code, int timeoutMs = 3000)
    {
        const auto end = juce::Time::getMillisecondCounterHiRes() + timeoutMs;
        while (juce::Time::getMillisecondCounterHiRes() < end)
        {
            for (auto c : hub->takeEvents())
            {
                seen.push_back (c);
                if (c == code)
                    return true;
            }
            juce::Thread::sleep (1);
        }
        return false;
    }

    void fromInstrument (const Bytes& bytes)
    {
        hub->handleIncomingMidiMessage (nullptr, juce::MidiMessage (bytes.data(), (int)bytes.size()));
    }

    juce::ScopedJuceInitialiser_GUI messageThread;
    FakeMidiDevices* system = nullptr;
    std::unique_ptr<MidiCntrState> hub;
    std::vector<uint32_t> seen;
};
} // namespace

TEST_F (Hub, StartsWithItsDefaults)
{
    EXPECT_EQ (hub->midiChannel, 1);
    EXPECT_EQ (hub->settingsBlock[6], 1) << "the channel is written back into the settings";
    EXPECT_EQ (hub->settingsBlock[0], 255);
    EXPECT_EQ (SettingsBlock::read32 (hub->settingsBlock.data(), SettingsBlock::latencyMode), 402);
    EXPECT_EQ (hub->portNames, (juce::StringArray{"NONE", "NONE", "NONE", "0"}));
    EXPECT_FALSE (hub->getPorts().inputOpen);
    EXPECT_EQ (hub->banks[0]->bankName, "User Bank 1");
    EXPECT_EQ (hub->banks[7]->bankName, "Factory Bank 4");
    EXPECT_EQ (hub->banks[1]->getProgram (5), hub->banks[5]->getProgram (5)) << "user bank i starts as factory set i";
    EXPECT_EQ (hub->presetBank.getProgram (0), hub->banks[4]->getProgram (0));
    EXPECT_EQ (hub->presetProgramIndex, -1);
    EXPECT_EQ (hub->currentBank, 0);
}

TEST_F (Hub, ListenersAreCalledLastAddedFirst)
{
    struct Recorder : public MidiCntrStateListener
    {
        Recorder (std::vector<int>& o, int n) : order (o), number (n) {}
        void stateEvent (MidiCntrState&) override { order.push_back (number); }
        std::vector<int>& order;
        int number;
    };
    std::vector<int> order;
    Recorder first (order, 1), second (order, 2);
    hub->addListener (&first);
    hub->addListener (&second);
    hub->postEvent (HubEvent::sliders);
    EXPECT_EQ (order, (std::vector<int>{2, 1}));
    EXPECT_EQ (hub->takeEvents(), (std::vector<uint32_t>{HubEvent::sliders}));
    EXPECT_TRUE (hub->takeEvents().empty());
    hub->removeListener (&first);
    hub->removeListener (&second);
}

TEST_F (Hub, StoringValuesAndPseudoParameters)
{
    hub->storeValue (85, 150);
    EXPECT_EQ (hub->getProgramByte (85), 150);
    hub->storeValue (1024, 205);
    EXPECT_EQ (hub->currentBank, 2);
    EXPECT_EQ (hub->currentProgram, 7);
    hub->storeValue (1024, 792);
    EXPECT_EQ (hub->currentBank, 2) << "a slot above 791 changes nothing";
    hub->storeValue (1024, -1);
    EXPECT_EQ (hub->currentBank, -1);
    EXPECT_EQ (hub->currentProgram, -1);

    const auto before = hub->getCurrentProgram();
    hub->selectProgram (-1, false, false);
    EXPECT_EQ (hub->getCurrentProgram(), before) << "no valid selection leaves the program alone";
}

TEST_F (Hub, NrpnFromTheInstrumentIsQueuedAndBroadcast)
{
    struct Counter : public juce::ChangeListener
    {
        void changeListenerCallback (juce::ChangeBroadcaster*) override { ++count; }
        int count = 0;
    } counter;
    hub->addChangeListener (&counter);

    fromInstrument ({0xB0, 38, 11}); // both number bytes still 0xFF: number 32895, no row
    EXPECT_TRUE (hub->takeReceivedNrpn().empty());

    fromInstrument ({0xB0, 99, 0});
    fromInstrument ({0xB0, 98, 5});
    fromInstrument ({0xB0, 6, 0});
    fromInstrument ({0xB0, 38, 11});
    EXPECT_EQ (hub->takeReceivedNrpn(), (std::vector<uint32_t>{16u * 65536u + 11u}));
    EXPECT_TRUE (ravlin::test::pumpUntil ([&counter] { return counter.count > 0; }));
    hub->removeChangeListener (&counter);
}

TEST_F (Hub, InstrumentKnobsArriveThroughTheVirtualPorts)
{
    connectVirtual();
    hub->getVirtualInstrument().turnKnob (516, 77); // "Fine 1" of layer B
    const auto end = juce::Time::getMillisecondCounterHiRes() + 3000;
    std::vector<uint32_t> received;
    while (received.empty() && juce::Time::getMillisecondCounterHiRes() < end)
    {
        received = hub->takeReceivedNrpn();
        juce::Thread::sleep (1);
    }
    EXPECT_EQ (received, (std::vector<uint32_t>{516u * 65536u + 77u}));
}

TEST_F (Hub, AnNrpnInBetweenFromAnotherPathMakesTheNextGoOutWhole)
{
    // Row 85 from the editor, a global from the global panel, row 85 again: the second row-85
    // change must name its parameter again, or the instrument writes it into the global.
    connectVirtual();
    auto& instrument = hub->getVirtualInstrument();
    hub->fastNrpnSend (85, 150, 0, 44100);
    hub->sendNrpn (1024 + 13, 2); // "Pot Mode" to "Jump"
    hub->fastNrpnSend (85, 151, 0, 44100);
    EXPECT_TRUE (ravlin::test::pumpUntil ([&] { return instrument.getEditBuffer()[85] == 151; }));
    EXPECT_EQ (instrument.getGlobals()[13], 2) << "the global keeps its value";

    auto& out = recordOutput();
    const auto number = hub->parameterTable.nrpnNumber (85);
    hub->fastNrpnSend (85, 150, 0, 44100); // a new port: nothing is known, all four
    hub->sendNrpn (1024 + 13, 2);          // all four
    hub->fastNrpnSend (85, 151, 0, 44100); // another number since: all four again
    hub->fastNrpnSend (85, 151, 0, 44100); // the same value: its low byte again
    hub->fastNrpnSend (85, 20, 0, 44100);  // the high byte changed: 6 and 38
    hub->fastNrpnSend (24, 1, 0, 44100);   // no NRPN: nothing
    const auto bytes = sent (out, 15);
    const Bytes row85{0xB0, 99, (uint8_t)(number >> 7), 0xB0, 98, (uint8_t)(number & 0x7F)};
    std::vector<Bytes> expected;
    auto whole = [&expected] (const Bytes& numberBytes, int value)
    {
        expected.push_back (Bytes (numberBytes.begin(), numberBytes.begin() + 3));
        expected.push_back (Bytes (numberBytes.begin() + 3, numberBytes.end()));
        expected.push_back ({0xB0, 6, (uint8_t)(value >> 7)});
        expected.push_back ({0xB0, 38, (uint8_t)(value & 0x7F)});
    };
    whole (row85, 150);
    whole ({0xB0, 99, 8, 0xB0, 98, 13}, 2);
    whole (row85, 151);
    expected.push_back ({0xB0, 38, 151 - 128});
    expected.push_back ({0xB0, 6, 0});
    expected.push_back ({0xB0, 38, 20});
    EXPECT_EQ (bytes, expected);
}

TEST_F (Hub, TheInstrumentsOwnChangesProgramLoadsAndPortsMakeTheNextNrpnGoOutWhole)
{
    auto& out = recordOutput();
    auto countAfter = [&] (std::function<void()> change)
    {
        hub->fastNrpnSend (85, 100, 0, 44100);
        hub->fastNrpnSend (85, 101, 0, 44100); // the number is held: only 38
        sent (out, out.count() + 5);
        const auto before = out.count();
        change();
        hub->fastNrpnSend (85, 100, 0, 44100); // back to a value sent before
        sent (out, before + 4);
        return out.count() - before;
    };
    EXPECT_EQ (countAfter ([] {}), 1u) << "nothing in between: the low byte alone";
    EXPECT_EQ (countAfter (
                   [&]
                   {
                       fromInstrument ({0xB0, 99, 0}), fromInstrument ({0xB0, 98, 85}), fromInstrument ({0xB0, 6, 0}),
                           fromInstrument ({0xB0, 38, 7});
                   }),
               4u)
        << "the instrument changed a parameter itself";
    EXPECT_EQ (countAfter ([&] { hub->loadPresetProgram(); }), 4u) << "another program";
    EXPECT_EQ (countAfter ([&] { fromInstrument ({0xC0, 17}); }), 4u) << "a program change from the instrument";
    EXPECT_EQ (countAfter ([&] { hub->selectOutputPort (1); }), 4u) << "the port opened again";
}

TEST_F (Hub, NrpnsFromManyThreadsEachReachTheirOwnParameter)
{
    // Host automation, the editor and the global panel send at once; whatever the interleaving,
    // a receiver that takes the wire as the instrument does must apply every value to the
    // parameter it was meant for, and end on each thread's last value. Each thread has values
    // of its own, and turns one parameter in runs, so that the same number often follows
    // another thread's NRPN.
    auto& out = recordOutput();
    constexpr int threads = 4, perThread = 400;
    std::vector<std::thread> senders;
    for (int t = 0; t < threads; ++t)
        senders.emplace_back (
            [this, t]
            {
                for (int i = 1; i <= perThread; ++i)
                {
                    if (t == 3)
                        hub->sendNrpn (1024 + (i % 2 == 0 ? 13 : 14), i % 3);
                    else
                        hub->fastNrpnSend (85 + 16 * t + (i / 10) % 3, 100 + 40 * t + i % 40, 0.5 * t, 48000);
                    if (i % 4 == 0) // the threads take turns often
                        std::this_thread::sleep_for (std::chrono::microseconds (100));
                }
            });
    for (auto& s : senders)
        s.join();
    juce::Thread::sleep (50);

    std::map<int, int> applied; // NRPN number -> value, as the instrument would hold them
    int high = -1, low = -1, valueHigh = -1;
    for (const auto& m : sent (out, 0))
    {
        ASSERT_EQ (m.size(), 3u);
        if (m[1] == 99)
            high = m[2];
        else if (m[1] == 98)
            low = m[2];
        else if (m[1] == 6)
            valueHigh = m[2];
        else if (m[1] == 38)
        {
            ASSERT_GE (high, 0) << "a value before any number";
            ASSERT_GE (valueHigh, 0);
            const auto number = high * 128 + low, value = valueHigh * 128 + m[2];
            const auto row = number >= 1024 ? number : hub->parameterTable.parameterForNrpn (number);
            const bool ofAGlobal = row == 1024 + 13 || row == 1024 + 14;
            ASSERT_TRUE (ofAGlobal || (row >= 85 && row < 85 + 16 * 3 + 3)) << "number " << number;
            const auto owner = ofAGlobal ? 3 : (row - 85) / 16;
            const auto lowest = owner == 3 ? 0 : 100 + 40 * owner, highest = owner == 3 ? 2 : lowest + 39;
            ASSERT_TRUE (value >= lowest && value <= highest) << value << " landed on number " << number;
            applied[row] = value;
        }
    }
    for (int t = 0; t < 3; ++t)
        EXPECT_EQ (applied[85 + 16 * t + (perThread / 10) % 3], 100 + 40 * t + perThread % 40) << "thread " << t;
    EXPECT_EQ (applied[1024 + 13], perThread % 3);
    EXPECT_EQ (hub->getPorts().getSender().getNumDropped(), 0);
}

TEST_F (Hub, EditBufferAndGlobalRequests)
{
    connectVirtual();
    Bytes sound (1024, 0x21);
    hub->getVirtualInstrument().receive (ravlin::packEditBufferDump (sound).data(), 1176);
    hub->requestEditBuffer();
    ASSERT_TRUE (waitForEvent (HubEvent::programLoaded));
    EXPECT_EQ (hub->getCurrentProgram(), sound);

    hub->requestGlobals();
    EXPECT_FALSE (hub->globalsReceived);
    ASSERT_TRUE (waitForEvent (HubEvent::online));
    EXPECT_NE (std::find (seen.begin(), seen.end(), HubEvent::offline), seen.end());
    EXPECT_TRUE (hub->globalsReceived);
    // As the instrument's own settings page would read them: parameters sent and received as NRPN.
    EXPECT_EQ (hub->globalsImage[5], 0);
    EXPECT_EQ (hub->globalsImage[6], 1);
    EXPECT_EQ (hub->globalsImage[7], 1);
    EXPECT_EQ (hub->globalsImage[8], 1);
}

TEST_F (Hub, GlobalDumpsInNibblesAreDecoded)
{
    Bytes dump{0xF0, 0x01, 0x2B, 0x0F};
    for (int k = 0; k < 25; ++k)
        dump.push_back ((uint8_t)(k & 0x0F)), dump.push_back ((uint8_t)(k >> 4));
    dump.push_back (0xF7);
    fromInstrument (dump);
    EXPECT_EQ (hub->globalsImage[24], 24);
    EXPECT_EQ (hub->globalsImage[17], 17);
    EXPECT_EQ (hub->globalsImage[25], 0);

    EXPECT_EQ (hub->unreadableGlobalsSize, -1);
    hub->takeEvents();

    // Bytes instead of nibbles, a dump cut short, a nibble out of range: none of them is shown as
    // values the instrument holds.
    const auto image = hub->globalsImage;
    auto outOfRange = dump;
    outOfRange[10] = 0x10;
    auto cutShort = dump;
    cutShort.erase (cutShort.end() - 3, cutShort.end() - 1);
    for (const auto& reply : {Bytes{0xF0, 0x01, 0x2A, 0x0F, 7, 8, 0x40, 0xF7}, outOfRange, cutShort})
    {
        fromInstrument (reply);
        EXPECT_EQ (hub->globalsImage, image);
        EXPECT_EQ (hub->unreadableGlobalsSize, (int)reply.size());
        EXPECT_EQ (hub->takeEvents(), (std::vector<uint32_t>{HubEvent::globalsUnreadable}));
    }

    // The keyboard's dump reads the same.
    dump[2] = 0x2A;
    dump[4] = 9;
    fromInstrument (dump);
    EXPECT_EQ (hub->globalsImage[0], 9);
    EXPECT_EQ (hub->unreadableGlobalsSize, -1);
}

TEST_F (Hub, DumpLengthAndDeviceRules)
{
    const auto before = hub->getCurrentProgram();
    auto dump = ravlin::packProgramDump (Bytes (1024, 3), 1, 2);
    dump.erase (dump.begin() + 100);
    fromInstrument (dump); // 1177 bytes
    fromInstrument ({0xF0, 0x7E, 0xF7});
    fromInstrument ({0xF0, 0x7E, 0x00, 0x06, 0x02, 0xF7});
    auto foreign = ravlin::packEditBufferDump (Bytes (1024, 4));
    foreign[2] = 0x23;
    fromInstrument (foreign);
    auto otherMaker = ravlin::packProgramDump (Bytes (1024, 5), 1, 1);
    otherMaker[1] = 0x02; // same shape, another manufacturer
    fromInstrument (otherMaker);
    EXPECT_NE (hub->banks[1]->getProgram (1), Bytes (1024, 5));
    auto outside = ravlin::packProgramDump (Bytes (1024, 5), 8, 0);
    fromInstrument (outside);
    EXPECT_EQ (hub->getCurrentProgram(), before);
    EXPECT_TRUE (hub->takeEvents().empty());

    fromInstrument (ravlin::packEditBufferDump (Bytes (1024, 6)));
    EXPECT_EQ (hub->getCurrentProgram(), Bytes (1024, 6));

    fromInstrument (ravlin::packProgramDump (Bytes (1024, 7), 3, 44));
    EXPECT_EQ (hub->currentBank, 3);
    EXPECT_EQ (hub->currentProgram, 44);
    EXPECT_EQ (hub->banks[3]->getProgram (44), Bytes (1024, 7));
    EXPECT_EQ (hub->takeEvents(),
               (std::vector<uint32_t>{HubEvent::programLoaded, HubEvent::bankChanged, HubEvent::programLoaded}));
}

TEST_F (Hub, SysExSplitAcrossCallbacksAndThePartialCallback)
{
    const auto dump = ravlin::packEditBufferDump (Bytes (1024, 9));
    hub->handleIncomingMidiMessage (nullptr, juce::MidiMessage (dump.data(), 600));
    hub->handleIncomingMidiMessage (nullptr, juce::MidiMessage (dump.data() + 600, 576));
    EXPECT_EQ (hub->getCurrentProgram(), Bytes (1024, 9));

    auto longer = ravlin::packEditBufferDump (Bytes (1024, 10));
    longer.back() = 0x00; // no F7: it waits for the partial callback
    hub->handleIncomingMidiMessage (nullptr, juce::MidiMessage (longer.data(), (int)longer.size()));
    EXPECT_EQ (hub->getCurrentProgram(), Bytes (1024, 9));
    hub->handlePartialSysexMessage (nullptr, nullptr, 0, 0);
    EXPECT_EQ (hub->getCurrentProgram(), Bytes (1024, 10)) << "1176 bytes are long enough, F7 or not";
}

TEST_F (Hub, ReceivingAFactoryBankAsksForEachProgramInTurn)
{
    connectVirtual();
    Bytes marked (1024, 0x55);
    hub->getVirtualInstrument().setProgram (6, 98, marked);
    hub->startBankReceive (0, 6);
    ASSERT_TRUE (waitForEvent (HubEvent::bankDone, 10000));
    EXPECT_EQ (hub->banks[6]->getProgram (98), marked);
    EXPECT_FALSE (hub->bankReceiving);
    int progress = 0;
    for (auto c : seen)
    {
        if (HubEvent::kindOf (c) == 0x170)
        {
            EXPECT_EQ (c, HubEvent::bankProgress (6, progress++));
        }
    }
    EXPECT_EQ (progress, 99);
}

TEST_F (Hub, ReceivingAllUserBanksStopsAfterBankFour)
{
    connectVirtual();
    for (int b = 0; b < 4; ++b)
        hub->getVirtualInstrument().setProgram (b, 50, Bytes (1024, (uint8_t)(b + 1)));
    hub->startBankReceive (MidiCntrState::receiveAllUserBanks, 0);
    ASSERT_TRUE (waitForEvent (HubEvent::bankDone, 20000));
    for (int b = 0; b < 4; ++b)
        EXPECT_EQ (hub->banks[(size_t)b]->getProgram (50), Bytes (1024, (uint8_t)(b + 1)));
    EXPECT_EQ (std::count_if (seen.begin(), seen.end(), [] (uint32_t c) { return HubEvent::kindOf (c) == 0x170; }),
               396);
}

TEST_F (Hub, ASilentInstrumentLeavesTheReceiveWaiting)
{
    connectVirtual();
    hub->getVirtualInstrument().setSilent (true);
    hub->startBankReceive (0, 4);
    EXPECT_FALSE (waitForEvent (HubEvent::bankDone, 300));
    EXPECT_TRUE (hub->bankReceiving);
    EXPECT_TRUE (seen.empty());
}

TEST_F (Hub, ProgramChangeFromTheInstrumentTellsTheHostWhenAsked)
{
    fromInstrument ({0xB0, 32, 2});
    fromInstrument ({0xC0, 7});
    EXPECT_EQ (hub->currentBank, 2);
    EXPECT_EQ (hub->currentProgram, 7);
    EXPECT_EQ (hub->getCurrentProgram(), hub->banks[2]->getProgram (7));

    juce::MidiBuffer host;
    hub->routeBlock (host, 512);
    EXPECT_TRUE (host.isEmpty()) << "with the option off the host hears nothing";

    struct Cable : public CableListener
    {
        void cableChanged (int index, int value, bool, bool, bool) override { calls.push_back ({index, value}); }
        std::vector<std::pair<int, int>> calls;
    } cable;
    hub->addCableListener (&cable);
    hub->programChangeWithAutomation = true;
    fromInstrument ({0xC0, 8});
    ASSERT_EQ (cable.calls.size(), 1u);
    EXPECT_EQ (cable.calls[0], (std::pair<int, int>{1024, 2 * 99 + 8}));

    hub->routeBlock (host, 512);
    std::vector<Bytes> toHost;
    for (const auto m : host)
        toHost.emplace_back (m.data, m.data + m.numBytes);
    EXPECT_EQ (toHost, (std::vector<Bytes>{{0xB0, 32, 2}, {0xC0, 8}}));
    hub->removeCableListener (&cable);
}

TEST_F (Hub, ThruFromTheInstrumentToTheHostKeepsKeyState)
{
    hub->thruPortToHost = true;
    fromInstrument ({0x90, 60, 100});
    EXPECT_EQ (hub->keyState[60], 1);
    fromInstrument ({0xB0, 99, 1}); // NRPN parts are not forwarded
    fromInstrument ({0xF8});
    fromInstrument ({0x80, 60, 0});
    EXPECT_EQ (hub->keyState[60], 0);

    juce::MidiBuffer host;
    host.addEvent (juce::MidiMessage::noteOn (1, 40, (juce::uint8)1), 5);
    hub->routeBlock (host, 256);
    std::vector<Bytes> toHost;
    for (const auto m : host)
    {
        toHost.emplace_back (m.data, m.data + m.numBytes);
        EXPECT_LT (m.samplePosition, 256);
    }
    EXPECT_EQ (toHost, (std::vector<Bytes>{{0x90, 60, 100}, {0x80, 60, 0}}))
        << "the host's own MIDI is not sent back to it";
    EXPECT_TRUE (hub->takeEvents().size() >= 1) << "the host's note is still interpreted";
}

TEST_F (Hub, HostMidiGoesToTheInstrumentAfterTheLatency)
{
    auto& out = recordOutput();
    hub->thruHostToPort = true;
    hub->sampleRate = 48000.0;
    hub->sampleRateIndex = 1;
    hub->latencyTable[1] = 40;
    hub->latencyMode = 0;

    juce::MidiBuffer host;
    host.addEvent (juce::MidiMessage::noteOn (1, 60, (juce::uint8)90), 0);
    host.addEvent (juce::MidiMessage::noteOn (1, 62, (juce::uint8)90), 100);
    host.addEvent (juce::MidiMessage::controllerEvent (1, 99, 1), 10); // held back
    const auto start = juce::Time::getMillisecondCounterHiRes();
    hub->routeBlock (host, 512);
    EXPECT_TRUE (host.isEmpty());
    EXPECT_EQ (hub->keyState[62], 1);

    sent (out, 2);
    const auto arrivals = out.taken();
    ASSERT_EQ (arrivals.size(), 2u);
    EXPECT_EQ (arrivals[0].bytes[1], 60);
    EXPECT_NEAR (arrivals[0].time - start, 40.0, 10.0) << "sample 0 is as late as every other";
    EXPECT_NEAR (arrivals[1].time - start, 40.0 + 100.0 / 48.0, 10.0);
}

namespace
{
/** Plays the instrument by hand: answers each request the hub sent with the dump it asked for,
    or with the dump chosen by the caller. */
class HandAnsweredReceive : public Hub
{
protected:
    /** Waits for the next request and returns its (bank, program), or (-1, -1) if none came. */
    std::pair<int, int> nextRequest (ravlin::test::RecordingOutput& out, int timeoutMs = 2000)
    {
        const auto end = juce::Time::getMillisecondCounterHiRes() + timeoutMs;
        while (juce::Time::getMillisecondCounterHiRes() < end)
        {
            const auto all = out.taken();
            if (all.size() > consumed)
            {
                const auto& r = all[consumed++].bytes;
                if (r.size() == 7 && r[3] == 0x05)
                    return {r[4], r[5]};
                return {-2, -2};
            }
            juce::Thread::sleep (0);
        }
        return {-1, -1};
    }

    void reply (int bank, int program)
    {
        fromInstrument (ravlin::packProgramDump (Bytes (1024, (uint8_t)(program % 100)), bank, program));
    }

    size_t consumed = 0;
};
} // namespace

TEST_F (HandAnsweredReceive, AllUserBanksAreRequestedInOrderAndEndAfterTheLastReply)
{
    auto& out = recordOutput();
    hub->startBankReceive (MidiCntrState::receiveAllUserBanks, 0);
    for (int b = 0; b < 4; ++b)
        for (int p = 0; p < 99; ++p)
        {
            ASSERT_EQ (nextRequest (out), std::make_pair (b, p));
            reply (b, p);
        }
    EXPECT_EQ (nextRequest (out, 100), std::make_pair (-1, -1)) << "nothing after (3, 98)";
    EXPECT_FALSE (hub->bankReceiving);
    const auto events = hub->takeEvents();
    ASSERT_GE (events.size(), 2u);
    EXPECT_EQ (events[events.size() - 2], HubEvent::bankChanged);
    EXPECT_EQ (events.back(), HubEvent::bankDone);
    EXPECT_EQ (hub->banks[3]->getProgram (98), Bytes (1024, 98));
}

TEST_F (HandAnsweredReceive, OneFactoryBankEndsWithoutAskingForTheNext)
{
    auto& out = recordOutput();
    hub->startBankReceive (0, 5);
    for (int p = 0; p < 99; ++p)
    {
        ASSERT_EQ (nextRequest (out), std::make_pair (5, p));
        reply (5, p);
    }
    EXPECT_EQ (nextRequest (out, 100), std::make_pair (-1, -1)) << "bank 6 is not requested";
    EXPECT_FALSE (hub->bankReceiving);
    EXPECT_EQ (hub->banks[6]->getProgram (0), hub->banks[2]->getProgram (0)) << "bank 6 untouched";
}

TEST_F (HandAnsweredReceive, AReplyWithAnotherProgramNumberIsStoredWhereItSaysAndPacesFromThere)
{
    auto& out = recordOutput();
    const auto current = hub->getCurrentProgram();
    hub->startBankReceive (0, 5);
    ASSERT_EQ (nextRequest (out), std::make_pair (5, 0));
    reply (5, 40);
    EXPECT_EQ (hub->banks[5]->getProgram (40), Bytes (1024, 40));
    EXPECT_EQ (hub->takeEvents(), (std::vector<uint32_t>{HubEvent::bankProgress (5, 40)}));
    EXPECT_EQ (nextRequest (out), std::make_pair (5, 41));
    EXPECT_EQ (hub->getCurrentProgram(), current) << "a bank receive leaves the edited program alone";
    EXPECT_EQ (hub->currentBank, 0);

    reply (2, 98); // another bank's last program ends a single-bank receive too
    EXPECT_FALSE (hub->bankReceiving);
    EXPECT_EQ (nextRequest (out, 100), std::make_pair (-1, -1));
}
