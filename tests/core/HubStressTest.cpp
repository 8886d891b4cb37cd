// Every thread that touches the hub at once: host parameter calls, the instrument's MIDI input,
// audio blocks and the message thread draining events. Run under ThreadSanitizer it must report
// nothing; in the other builds it checks that all the traffic got through.

#include "core/MidiCntrState.h"
#include "core/MidiMonitorModel.h"
#include "support/FakeMidiDevices.h"

#include <gtest/gtest.h>

#include <thread>

namespace
{
double stressSeconds()
{
    const auto fromEnvironment = juce::SystemStats::getEnvironmentVariable ("RAVLIN_STRESS_SECONDS", "2");
    return juce::jlimit (0.2, 600.0, fromEnvironment.getDoubleValue());
}

struct CountingListener : public MidiCntrStateListener
{
    void stateEvent (MidiCntrState&) override { ++calls; }
    std::atomic<int> calls{0};
};
} // namespace

TEST (HubStress, HostInstrumentAudioAndMessageThreadsTogether)
{
    juce::ScopedJuceInitialiser_GUI messageThread;
    MidiCntrState hub (std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File());
    constexpr int virtualPort = 3;
    hub.selectInputPort (virtualPort);
    hub.selectOutputPort (virtualPort);
    ASSERT_TRUE (hub.getPorts().inputOpen && hub.getPorts().outputOpen);
    hub.thruHostToPort = true;
    hub.programChangeWithAutomation = true;
    // The MIDI monitor open: the sender and the input write to its log, the audio thread too, the
    // message thread reads it.
    auto& monitor = hub.getPorts().getMonitor();
    monitor.setEnabled (true);
    MidiMonitorModel monitorModel (monitor, hub.parameterTable);
    size_t monitorIn = 0, monitorOut = 0, monitorDumps = 0;

    std::atomic<bool> running{true};
    std::atomic<int> hostCalls{0}, knobTurns{0}, blocks{0};

    std::thread host (
        [&]
        {
            for (int n = 0; running; ++n)
            {
                const int row = n % 400, value = n % 128;
                hub.storeValue (row, value);
                hub.fastNrpnSend (row, value, (n & 1) ? 2.0 : 0.0, 48000.0);
                hub.postEvent (HubEvent::parameter (row, value));
                if (n % 97 == 0)
                    hub.selectProgram (n % 792, true, true);
                ++hostCalls;
                std::this_thread::sleep_for (std::chrono::microseconds (200));
            }
        });

    std::thread instrument (
        [&]
        {
            auto& vi = hub.getVirtualInstrument();
            for (int n = 0; running; ++n)
            {
                vi.turnKnob (n % 300, n % 100);
                if (n % 50 == 0)
                    hub.requestProgram (n % 8, n % 99);
                if (n % 77 == 0)
                    hub.requestEditBuffer();
                ++knobTurns;
                std::this_thread::sleep_for (std::chrono::microseconds (500));
            }
        });

    const auto dump = ravlin::packProgramDump (ravlin::Bytes (1024, 0x15), 1, 50);
    std::thread audio (
        [&]
        {
            juce::MidiBuffer block;
            block.ensureSize (4096);
            for (int n = 0; running; ++n)
            {
                block.clear();
                block.addEvent (juce::MidiMessage::noteOn (1, 40 + n % 40, (juce::uint8)100), 0);
                block.addEvent (juce::MidiMessage::noteOff (1, 40 + (n + 20) % 40), 100);
                block.addEvent (juce::MidiMessage::controllerEvent (1, 7, n % 128), 200);
                block.addEvent (juce::MidiMessage::pitchWheel (1, (n * 37) % 16384), 300);
                if (n % 40 == 0)
                    block.addEvent (juce::MidiMessage::programChange (1, n % 99), 400);
                if (n % 25 == 0) // a program dump from a track, through to the instrument
                    block.addEvent (dump.data(), (int)dump.size(), 450);
                hub.routeBlock (block, 512);
                const uint8_t marker[] = {0xB5, 20, (uint8_t)(n & 0x7F)};
                monitor.record (MidiMonitorLog::Direction::out, marker, 3, juce::Time::getMillisecondCounterHiRes());
                ++blocks;
                std::this_thread::sleep_for (std::chrono::milliseconds (1));
            }
        });

    size_t events = 0, nrpn = 0;
    CountingListener listener;
    const auto end = juce::Time::getMillisecondCounterHiRes() + stressSeconds() * 1000.0;
    for (int n = 0; juce::Time::getMillisecondCounterHiRes() < end; ++n)
    {
        if (n % 10 == 0)
            hub.addListener (&listener);
        // The editor's own traffic: a global, a WRITE read back, bank receives cancelled midway.
        if (n % 20 == 0)
            hub.sendNrpn (1024 + 13, n % 3);
        if (n % 100 == 50)
            hub.transmitPrograms ({{1, n % 99, hub.getCurrentProgram()}}, true, true);
        if (n % 130 == 0)
            hub.startBankReceive (0, n % 8);
        if (n % 130 == 40 || n % 100 == 90)
            hub.cancelTransfer();
        events += hub.takeEvents().size();
        nrpn += hub.takeReceivedNrpn().size();
        const auto image = hub.getCurrentProgram();
        const auto stored = hub.getBankProgram (n % 8, n % 99);
        EXPECT_EQ (image.size(), 1024u);
        EXPECT_EQ (stored.size(), 1024u);
        if (n % 10 == 5)
            hub.removeListener (&listener);
        monitorModel.update();
        for (const auto& line : monitorModel.getLines())
        {
            (line.direction == MidiMonitorLog::Direction::in ? monitorIn : monitorOut)++;
            monitorDumps += line.text.startsWith ("program dump U2 P 51") ? 1 : 0;
        }
        monitorModel.clear();
        std::this_thread::sleep_for (std::chrono::milliseconds (2));
    }
    running = false;
    host.join();
    instrument.join();
    audio.join();
    hub.removeListener (&listener);
    events += hub.takeEvents().size(); // posted after the last look

    EXPECT_GT (hostCalls.load(), 100);
    EXPECT_GT (knobTurns.load(), 100);
    EXPECT_GT (blocks.load(), 100);
    EXPECT_GT (events, (size_t)hostCalls.load()) << "every host change and every host note was posted";
    EXPECT_GT (nrpn, 0u) << "the instrument's knobs reached the hub";
    EXPECT_GT (listener.calls.load(), 0);
    EXPECT_GT (hub.getVirtualInstrument().getNumMessagesReceived(), 100);
    EXPECT_GT (monitorIn, 100u) << "the instrument's messages reached the monitor";
    EXPECT_GT (monitorOut, 100u) << "what went out reached the monitor";
    EXPECT_GT (monitorDumps, 0u) << "the track's dumps went out whole, named by bank and program";
}
