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

/** Delivers messages until the condition holds or the time is up; returns the condition. */
template <typename Condition> bool pumpUntil (Condition&& condition, int timeoutMilliseconds = 3000)
{
    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32)timeoutMilliseconds;
    while (!condition())
    {
        if (juce::Time::getMillisecondCounter() >= end)
            return false;
        pumpMessages (10);
    }
    return true;
}
} // namespace ravlin::test
