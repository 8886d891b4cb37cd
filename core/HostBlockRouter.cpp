#include "core/HostBlockRouter.h"

#include "core/HubMidi.h"
#include "core/MidiCntrState.h"

namespace
{
// Host-bound messages are stamped in milliseconds since the plug-in was loaded, so stamps stay small.
const juce::uint32 epoch = juce::Time::getMillisecondCounter();
int millisecondStamp() noexcept
{
    return (int)(juce::Time::getMillisecondCounter() - epoch);
}
} // namespace

using namespace hubmidi;

HostBlockRouter::HostBlockRouter (MidiCntrState& h) : hub (h)
{
    toHostQueue.ensureSize (16384);
    toHostSpare.ensureSize (16384);
}

void HostBlockRouter::queueForHost (const uint8_t* bytes, int size)
{
    const juce::ScopedLock sl (lock);
    queueLocked (bytes, size);
}

void HostBlockRouter::passToHost (const uint8_t* data, int size)
{
    const juce::ScopedLock sl (lock);
    if (isNoteOn (data, size))
        keyState[data[1] & 0x7F] = 1;
    else if (isNoteOff (data, size))
        keyState[data[1] & 0x7F] = 0;
    queueLocked (data, size);
}

void HostBlockRouter::clearKeysAndQueue()
{
    const juce::ScopedLock sl (lock);
    keyState.fill (0);
    toHostQueue.clear();
}

void HostBlockRouter::queueLocked (const uint8_t* bytes, int size)
{
    const auto ageLimit = (int)MidiCntrState::toHostAgeLimitMs;
    const auto now = millisecondStamp();
    toHostQueue.addEvent (bytes, size, now);

    // Drop what has waited longer than the host would still want it.
    if (!toHostQueue.isEmpty() && toHostQueue.getFirstEventTime() < now - ageLimit)
    {
        toHostSpare.clear();
        for (const auto m : toHostQueue)
            if (m.samplePosition >= now - ageLimit)
                toHostSpare.addEvent (m.data, m.numBytes, m.samplePosition);
        toHostQueue.swapWith (toHostSpare);
    }
}

void HostBlockRouter::routeBlock (juce::MidiBuffer& hostMidi, int numSamples)
{
    const juce::ScopedLock sl (lock);
    const auto rate = hub.sampleRate.load();
    const auto now = TimedMidiSender::now();
    auto& ports = hub.getPorts();

    for (const auto event : hostMidi)
    {
        const auto* data = event.data;
        const auto status = data[0];
        const auto kind = status & 0xF0;
        const bool noteOn = isNoteOn (data, event.numBytes);
        const bool noteOff = isNoteOff (data, event.numBytes);

        // Every event for the instrument is late by the same latency, and none goes before one the
        // host put earlier, however unevenly the host calls its blocks.
        auto dueOfEvent = [&]
        {
            lastThruDue = juce::jmax (lastThruDue, now + hub.currentLatencyMs() + event.samplePosition * 1000.0 / rate);
            return lastThruDue;
        };

        if (hub.thruHostToPort)
        {
            if (noteOn)
                keyState[data[1] & 0x7F] = 1;
            else if (noteOff)
                keyState[data[1] & 0x7F] = 0;

            // Bank select and program change go as the selection they make, below.
            const bool held =
                (kind == 0xB0 && event.numBytes >= 2 && (isNrpnController (data[1]) || data[1] == 32)) || kind == 0xC0;
            if (!held && ports.outputOpen)
                ports.getSender().schedule (data, event.numBytes, dueOfEvent());
        }

        const auto channel = (status & 0x0F) + 1;
        if (kind == 0xB0 && event.numBytes >= 3)
        {
            const int controller = data[1] & 0x7F, value = data[2] & 0x7F;
            if (controller == 0)
                continue;
            if (controller == 32)
            {
                if (value != hub.currentBank && value < MidiCntrState::numBanks)
                {
                    hub.currentBank = value;
                    if (hub.currentProgram >= 0) // without a program, nothing to select yet
                    {
                        hub.selectProgram (hub.currentProgram + 99 * value, false, false);
                        hub.sendSelectionAt (dueOfEvent());
                    }
                }
                continue;
            }
            hub.postEvent (HubEvent::controller (channel, controller, value));
        }
        else if (kind == 0xC0 && event.numBytes >= 2)
        {
            // Programs 99 to 127 name nothing in a bank of 99: ignored, not carried into the next bank.
            if (data[1] != hub.currentProgram && data[1] < Bank_Program::numPrograms)
            {
                hub.currentProgram = data[1];
                hub.selectProgram (hub.currentBank * 99 + data[1], false, false);
                hub.sendSelectionAt (dueOfEvent());
            }
        }
        else if (noteOn)
            hub.postEvent (HubEvent::noteOn (channel, data[1] & 0x7F, data[2] & 0x7F));
        else if (noteOff)
            hub.postEvent (HubEvent::noteOff (channel, data[1] & 0x7F));
        else if (kind == 0xE0 && event.numBytes >= 3)
            hub.postEvent (HubEvent::pitchBend (channel, (data[2] & 0x7F) * 128 + (data[1] & 0x7F)));
    }

    hostMidi.clear();

    if (!toHostQueue.isEmpty() && numSamples > 0)
    {
        const auto t0 = toHostQueue.getFirstEventTime();
        const auto t1 = toHostQueue.getLastEventTime();
        for (const auto m : toHostQueue)
        {
            const auto position =
                juce::roundToInt ((double)numSamples / (double)(t1 - t0 + 1) * (m.samplePosition - t0));
            hostMidi.addEvent (m.data, m.numBytes, juce::jlimit (0, numSamples - 1, position));
        }
    }
    toHostQueue.clear();
}
