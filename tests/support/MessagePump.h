#pragma once

#include <juce_events/juce_events.h>

namespace juce
{
// JUCE's own one-message step of its dispatch loop; the loop itself exists only where
// modal loops are allowed, which a plug-in build does not allow.
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
} // namespace juce

namespace ravlin::test
{
/** Delivers the message thread's messages for about the given time. */
inline void pumpMessages (int milliseconds)
{
    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32)milliseconds;
    while (juce::Time::getMillisecondCounter() < end)
        if (!juce::dispatchNextMessageOnSystemQueue (true))
            juce::Thread::sleep (2);
}
} // namespace ravlin::test
