// Host automation at the wire's limit: every host slot moving every block, a clock running, the
// plug-in's output on a DIN MIDI link. What the user would notice: how late each change reaches
// the instrument, whether the clock stays even, and whether the instrument ends where the host did.
#include "core/RavlinAudioProcessor.h"
#include "midi/VirtualInstrument.h"
#include "support/TransportPlayHead.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>

namespace
{
/** A DIN MIDI link behind the port: the driver takes every message at once, and the wire carries
    them one after another at 320 microseconds a byte. */
class DinWire : public MidiOutputDevice
{
public:
    struct Message
    {
        double offered, onWire, crossed;
        uint8_t bytes[3];
        uint8_t size;
    };

    DinWire() { messages.reserve (4000000); }

    void sendNow (const uint8_t* bytes, int size) override
    {
        const auto now = juce::Time::getMillisecondCounterHiRes();
        std::lock_guard<std::mutex> guard (lock);
        const auto start = std::max (now, freeAt);
        freeAt = start + size * LinkSpeed::dinMillisecondsPerByte;
        Message m{now, start, freeAt, {0, 0, 0}, (uint8_t)std::min (size, 3)};
        std::copy (bytes, bytes + m.size, m.bytes);
        messages.push_back (m);
    }

    std::mutex lock;
    std::vector<Message> messages;
    double freeAt = 0;
};

class WireDevices : public MidiDeviceSet
{
public:
    explicit WireDevices (DinWire& w) : wire (w) {}
    juce::StringArray inputNames() override { return {}; }
    juce::StringArray outputNames() override { return {"DIN link"}; }
    std::unique_ptr<MidiInputDevice> openInput (int, juce::MidiInputCallback&) override { return nullptr; }
    std::unique_ptr<MidiOutputDevice> openOutput (int index) override
    {
        struct Forward : public MidiOutputDevice
        {
            explicit Forward (DinWire& w) : wire (w) {}
            void sendNow (const uint8_t* bytes, int size) override { wire.sendNow (bytes, size); }
            DinWire& wire;
        };
        return index == 0 ? std::make_unique<Forward> (wire) : nullptr;
    }
    DinWire& wire;
};

double percentile (std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort (values.begin(), values.end());
    return values[std::min (values.size() - 1, (size_t)(p * (double)values.size()))];
}

/** 624 host slots moving along their own curves every block of 512 samples at 48 kHz, for ten
    seconds of host time played in real time, the clock on at 120 beats per minute, the output on
    a DIN link; then four seconds for what is still on its way. */
void hostAutomationFloodAtDinPace (benchmark::State& state)
{
    constexpr double rate = 48000.0;
    constexpr int blockSize = 512, blocks = 938; // ten seconds
    constexpr double blockMs = blockSize * 1000.0 / rate, settleMs = 4000.0;
    constexpr double clockPeriodMs = 60000.0 / (120.0 * 24.0);

    for (auto _ : state)
    {
        juce::ScopedJuceInitialiser_GUI messageThread;
        DinWire wire;
        RavlinAudioProcessor processor (std::make_unique<WireDevices> (wire), juce::File());
        auto& hub = processor.getHub();
        hub.setModelChoice (ModelDetector::Choice::module);
        hub.setLinkSpeed (LinkSpeed::Kind::din);
        hub.selectOutputPort (1);
        hub.clockOption = true;
        hub.latencyMode = 100; // no added latency: every delay measured is the link's
        ravlin::test::TransportPlayHead playHead;
        playHead.playInto (processor, 120.0, 0.0, rate, blockSize);
        juce::AudioBuffer<float> audio (2, blockSize);
        juce::MidiBuffer midi;

        auto& table = processor.getAutomationTable();
        struct Change
        {
            double time;
            int raw;
        };
        std::map<int, std::vector<Change>> hostChanges; // row -> the host's changes, in order
        std::vector<double> processMs, automationMs;
        processMs.reserve (blocks);
        automationMs.reserve (blocks);

        const auto start = juce::Time::getMillisecondCounterHiRes() + 50;
        for (int b = 0; b < blocks; ++b)
        {
            const auto due = start + b * blockMs;
            while (juce::Time::getMillisecondCounterHiRes() < due)
                std::this_thread::sleep_for (std::chrono::microseconds (100));

            const auto t = b * blockMs / 1000.0;
            const auto automationStart = juce::Time::getMillisecondCounterHiRes();
            for (int slot = 0; slot < AutomationTable::numSlots; ++slot)
            {
                const auto frequency = 0.3 + 0.05 * (slot % 11);
                const auto x = 0.5 + 0.5 * std::sin (2.0 * juce::MathConstants<double>::pi * frequency * t + slot);
                processor.getSlotParameter (slot).setValue ((float)x);
            }
            const auto automationEnd = juce::Time::getMillisecondCounterHiRes();
            automationMs.push_back (automationEnd - automationStart);

            // What the host set, as the plug-in holds it (outside the timed part).
            for (int slot = 0; slot < AutomationTable::numSlots; ++slot)
            {
                const auto row = table.parameterIndex (slot);
                if (row < 0 || row >= ravlin::ParameterTable::numImageParameters ||
                    hub.parameterTable.nrpnNumber (row) == ravlin::ParameterTable::noNrpn)
                    continue;
                auto& changes = hostChanges[row];
                const int raw = hub.getProgramByte (row);
                if (changes.empty() || changes.back().raw != raw)
                    changes.push_back ({automationStart, raw});
            }

            midi.clear();
            const auto processStart = juce::Time::getMillisecondCounterHiRes();
            processor.processBlock (audio, midi);
            processMs.push_back (juce::Time::getMillisecondCounterHiRes() - processStart);
            playHead.advance (blockSize, rate);
        }
        const auto floodEnd = juce::Time::getMillisecondCounterHiRes();
        juce::Thread::sleep ((int)settleMs);
        const auto horizon = juce::Time::getMillisecondCounterHiRes();
        processor.setPlayHead (nullptr);
        const auto dropped = hub.getPorts().getSender().getNumDropped();
        hub.selectOutputPort (0);

        std::vector<DinWire::Message> onWire;
        double wireFreeAt = 0;
        {
            std::lock_guard<std::mutex> guard (wire.lock);
            onWire = wire.messages;
            wireFreeAt = wire.freeAt;
        }

        // The instrument's view: NRPN values as they finish crossing the wire, and the clock.
        struct Applied
        {
            double offered, crossed;
            int row, value;
        };
        std::map<int, std::vector<Applied>> applied;
        std::vector<double> clockTicks;
        VirtualInstrument instrument;
        int numberHigh = -1, numberLow = -1, valueHigh = 0;
        double bytesInFlood = 0, nrpnInFlood = 0;
        for (const auto& m : onWire)
        {
            if (m.offered <= floodEnd)
            {
                bytesInFlood += m.size;
                nrpnInFlood += (m.size == 3 && m.bytes[1] == 38) ? 1 : 0;
            }
            if (m.crossed <= horizon)
                instrument.receive (m.bytes, m.size);
            if (m.bytes[0] == 0xF8)
            {
                clockTicks.push_back (m.onWire);
                continue;
            }
            if ((m.bytes[0] & 0xF0) != 0xB0 || m.size < 3)
                continue;
            switch (m.bytes[1])
            {
                case 99: numberHigh = m.bytes[2]; break;
                case 98: numberLow = m.bytes[2]; break;
                case 6: valueHigh = m.bytes[2]; break;
                case 38:
                    if (const auto row = hub.parameterTable.parameterForNrpn (numberHigh * 128 + numberLow); row >= 0)
                        applied[row].push_back ({m.offered, m.crossed, row, valueHigh * 128 + m.bytes[2]});
                    break;
                default: break;
            }
        }

        // A host change has reached the instrument when a value the host set at that moment or
        // later has crossed the wire; changes still waiting at the end count until the end.
        double worstDelay = 0;
        int unresolved = 0, differing = 0;
        const auto image = instrument.getEditBuffer();
        for (const auto& [row, changes] : hostChanges)
        {
            const auto& values = applied[row];
            size_t next = 0; // first change not yet reached
            for (const auto& a : values)
            {
                // The newest change this value stands for: set before it was offered, same value.
                size_t k = next;
                bool found = false;
                for (size_t i = next; i < changes.size() && changes[i].time <= a.offered; ++i)
                    if (changes[i].raw == a.value)
                    {
                        k = i;
                        found = true;
                    }
                if (!found || a.crossed > horizon)
                    continue;
                worstDelay = std::max (worstDelay, a.crossed - changes[next].time);
                next = k + 1;
            }
            if (next < changes.size())
            {
                unresolved += (int)(changes.size() - next);
                worstDelay = std::max (worstDelay, horizon - changes[next].time);
            }
            differing += image[(size_t)row] != changes.back().raw ? 1 : 0;
        }

        // Windows of one second: the most the port was offered.
        double mostBytesInASecond = 0;
        {
            size_t first = 0;
            double bytes = 0;
            for (size_t i = 0; i < onWire.size(); ++i)
            {
                bytes += onWire[i].size;
                while (onWire[first].offered < onWire[i].offered - 1000.0)
                    bytes -= onWire[first++].size;
                mostBytesInASecond = std::max (mostBytesInASecond, bytes);
            }
        }

        std::vector<double> clockJitter;
        for (size_t i = 1; i < clockTicks.size(); ++i)
            if (clockTicks[i] <= horizon)
                clockJitter.push_back (std::abs (clockTicks[i] - clockTicks[i - 1] - clockPeriodMs));

        size_t hostChangeCount = 0;
        for (const auto& [row, changes] : hostChanges)
            hostChangeCount += changes.size();

        const auto floodSeconds = (floodEnd - start) / 1000.0;
        state.counters["host_changes_per_s"] = (double)hostChangeCount / floodSeconds;
        state.counters["offered_nrpn_per_s"] = nrpnInFlood / floodSeconds;
        state.counters["link_nrpn_per_s"] = 1000.0 / (12 * LinkSpeed::dinMillisecondsPerByte);
        state.counters["offered_bytes_per_s"] = bytesInFlood / floodSeconds;
        state.counters["offered_bytes_most_in_1s"] = mostBytesInASecond;
        state.counters["link_bytes_per_s"] = 1000.0 / LinkSpeed::dinMillisecondsPerByte;
        state.counters["worst_delay_ms"] = worstDelay;
        state.counters["changes_not_arrived"] = unresolved;
        state.counters["wire_backlog_at_end_s"] = std::max (0.0, wireFreeAt - horizon) / 1000.0;
        state.counters["clock_jitter_median_ms"] = percentile (clockJitter, 0.5);
        state.counters["clock_jitter_p99_ms"] = percentile (clockJitter, 0.99);
        state.counters["clock_ticks"] = (double)clockJitter.size();
        state.counters["params_compared"] = (double)hostChanges.size();
        state.counters["params_differing_at_end"] = differing;
        state.counters["sender_dropped"] = dropped;
        state.counters["processBlock_median_us"] = percentile (processMs, 0.5) * 1000.0;
        state.counters["processBlock_p99_us"] = percentile (processMs, 0.99) * 1000.0;
        state.counters["automation_624_median_us"] = percentile (automationMs, 0.5) * 1000.0;
        state.counters["automation_624_p99_us"] = percentile (automationMs, 0.99) * 1000.0;
    }
}
} // namespace

BENCHMARK (hostAutomationFloodAtDinPace)->Iterations (1)->Unit (benchmark::kSecond)->UseRealTime();
