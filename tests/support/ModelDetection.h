#pragma once

#include "core/MidiCntrState.h"

namespace ravlin::test
{
/** Waits until the instrument on the hub's ports has answered the identity request that went out
    when they opened, then drops every event so far: what a test counts starts after it.
    False when no answer came in time. */
inline bool awaitModelReply (MidiCntrState& hub, int timeoutMs = 3000)
{
    const auto end = juce::Time::getMillisecondCounterHiRes() + timeoutMs;
    while (juce::Time::getMillisecondCounterHiRes() < end)
    {
        for (auto code : hub.takeEvents())
            if (code == HubEvent::modelChanged)
                return true;
        juce::Thread::sleep (1);
    }
    return false;
}
} // namespace ravlin::test
