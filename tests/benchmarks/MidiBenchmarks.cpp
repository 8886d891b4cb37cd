#include "midi/MIDI_PORTS_Control.h"
#include "midi/VirtualInstrument.h"
#include "support/FakeMidiDevices.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <condition_variable>

namespace
{
/** Notes when each event arrives, against the time it was due (its second and third bytes). */
class ArrivalTimes : public MidiOutputDevice
{
public:
    explicit ArrivalTimes (size_t expected) { lateness.reserve (expected); }

    void sendNow (const uint8_t* bytes, int) override
    {
        const auto now = TimedMidiSender::now();
        lateness.push_back (now - due[(size_t)(bytes[1] | (bytes[2] << 7))]);
    }

    std::vector<double> due;
    std::vector<double> lateness;
};

void timedSendJitter (benchmark::State& state)
{
    constexpr int events = 10000;
    for (auto _ : state)
    {
        ArrivalTimes out (events);
        TimedMidiSender sender (out);
        out.due.resize (events);
        sender.startSending();

        // 10,000 events spread over 2 seconds, scheduled a block at a time as the audio thread would.
        const auto start = TimedMidiSender::now() + 20;
        for (int i = 0; i < events; ++i)
        {
            out.due[(size_t)i] = start + i * 0.2;
            const uint8_t cc[3] = {0xB0, (uint8_t)(i & 0x7F), (uint8_t)((i >> 7) & 0x7F)};
            sender.schedule (cc, 3, out.due[(size_t)i]);
            if (i % 64 == 63)
                juce::Thread::sleep (5);
        }
        while (sender.getNumSent() < events)
            juce::Thread::sleep (5);
        sender.stopSending();

        // The high-resolution millisecond counter ticks in microseconds: figures below 1 us read 0.
        auto late = out.lateness;
        std::sort (late.begin(), late.end());
        state.counters["median_us"] = late[late.size() / 2] * 1.0e3;
        state.counters["p99_us"] = late[late.size() * 99 / 100] * 1.0e3;
        state.counters["max_us"] = late.back() * 1.0e3;
        state.counters["min_us"] = late.front() * 1.0e3;
    }
}

void timedSendCall (benchmark::State& state)
{
    ravlin::test::RecordingOutput out;
    TimedMidiSender sender (out);
    const uint8_t clock[1] = {0xF8};
    int n = 0;
    for (auto _ : state)
    {
        benchmark::DoNotOptimize (sender.schedule (clock, 1, 0));
        if (++n == TimedMidiSender::capacity) // keep the queue from filling: drain while the clock is paused
        {
            state.PauseTiming();
            sender.clearPending();
            n = 0;
            state.ResumeTiming();
        }
    }
}

struct Reply : public juce::MidiInputCallback
{
    void handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage& m) override
    {
        if (m.getRawDataSize() == 1178)
        {
            std::lock_guard<std::mutex> guard (lock);
            arrived = true;
            ready.notify_one();
        }
    }
    std::mutex lock;
    std::condition_variable ready;
    bool arrived = false;
};

void programDumpRoundTrip (benchmark::State& state)
{
    ravlin::test::FakeMidiDevices none;
    none.inputs.clear();
    none.outputs.clear();
    VirtualInstrument instrument;
    instrument.setWireSpeed ((VirtualInstrument::WireSpeed)state.range (0));
    DevicesWithVirtualInstrument devices (none, {&instrument});
    Reply reply;
    MIDI_PORTS_Control ports (devices, reply);
    ports.openInput (1);
    ports.openOutput (1);
    const auto request = ravlin::requestProgramDump (0, 0);

    for (auto _ : state)
    {
        std::unique_lock<std::mutex> guard (reply.lock);
        reply.arrived = false;
        ports.sendSysEx (request.data(), (int)request.size());
        reply.ready.wait (guard, [&] { return reply.arrived; });
    }
    state.SetLabel (state.range (0) == 0 ? "full speed" : state.range (0) == 1 ? "USB" : "DIN 31250 baud");
}
} // namespace

BENCHMARK (timedSendJitter)->Iterations (1)->Unit (benchmark::kMillisecond)->UseRealTime();
BENCHMARK (timedSendCall);
BENCHMARK (programDumpRoundTrip)->Arg (0)->Arg (1)->Arg (2)->Unit (benchmark::kMillisecond)->UseRealTime();

#include "core/MidiCntrState.h"

namespace
{
void routeHostBlock (benchmark::State& state)
{
    MidiCntrState hub (std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File());
    hub.selectOutputPort (1);
    hub.thruHostToPort = true;
    juce::MidiBuffer host;
    host.ensureSize (8192);
    int round = 0;
    for (auto _ : state)
    {
        state.PauseTiming();
        host.clear();
        for (int i = 0; i < 64; ++i)
            host.addEvent (juce::MidiMessage::noteOn (1, 36 + i % 48, (juce::uint8)100), i * 8);
        if (++round % 64 == 0)
        {
            hub.takeEvents();
            hub.getPorts().getSender().stopSending();
            hub.getPorts().getSender().clearPending(); // keep the queue from filling
            hub.getPorts().getSender().startSending();
        }
        state.ResumeTiming();
        hub.routeBlock (host, 512);
    }
    state.SetLabel ("512 samples, 64 host events");
}
} // namespace

BENCHMARK (routeHostBlock)->Unit (benchmark::kMicrosecond);

namespace
{
/** 99 program dumps to the instrument at DIN speed, from the start to the end the hub reports:
    against the wire's own floor (99 dumps of 377 ms plus the write gaps), as a ratio. The
    virtual instrument overruns as the real one does when a dump comes too soon. */
void bankTransmitAtDinPace (benchmark::State& state)
{
    juce::ScopedJuceInitialiser_GUI messageThread;
    MidiCntrState hub (std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File());
    hub.getVirtualInstrument().setWireSpeed (VirtualInstrument::WireSpeed::din);
    hub.selectOutputPort (3);
    std::vector<BankTransmitter::Item> items;
    for (int p = 0; p < 99; ++p)
        items.push_back ({0, p, ravlin::Bytes (1024, (uint8_t)p)});

    const auto floor =
        99 * (ravlin::sysex::programDumpSize * LinkSpeed::dinMillisecondsPerByte + BankTransmitter::gapAfterDumpMs);
    for (auto _ : state)
    {
        hub.takeEvents();
        const auto start = juce::Time::getMillisecondCounterHiRes();
        hub.transmitPrograms (items, true);
        for (bool done = false; !done;)
        {
            for (auto code : hub.takeEvents())
                done = done || code == HubEvent::bankDone;
            juce::Thread::sleep (1);
        }
        const auto took = juce::Time::getMillisecondCounterHiRes() - start;
        state.counters["seconds"] = took / 1000.0;
        state.counters["floor_seconds"] = floor / 1000.0;
        state.counters["ratio_to_floor"] = took / floor;
        state.counters["dumps_lost"] = hub.getVirtualInstrument().getNumDumpsLost();
    }
}
} // namespace

BENCHMARK (bankTransmitAtDinPace)->Iterations (1)->Unit (benchmark::kSecond)->UseRealTime();
