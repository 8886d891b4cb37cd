#include "core/HubListeners.h"

#include "core/MidiCntrState.h"

#include <thread>

HubListeners::HubListeners (MidiCntrState& h) : hub (h) {}

void HubListeners::addCableListener (CableListener* listener)
{
    const juce::ScopedLock sl (cableLock);
    cableListeners.addIfNotAlreadyThere (listener);
}

void HubListeners::removeCableListener (CableListener* listener)
{
    const juce::ScopedLock sl (cableLock);
    cableListeners.removeAllInstancesOf (listener);
}

void HubListeners::cableChanged (int parameterIndex, int value, bool endGestureNow, bool sendToInstrument,
                                 bool notifyHub)
{
    const juce::ScopedLock sl (cableLock);
    for (int i = cableListeners.size(); --i >= 0;)
        cableListeners.getUnchecked (i)->cableChanged (parameterIndex, value, endGestureNow, sendToInstrument,
                                                       notifyHub);
}

void HubListeners::addListener (MidiCntrStateListener* listener)
{
    const juce::SpinLock::ScopedLockType sl (listenerLock);
    const auto end = listeners.begin() + numListeners;
    if (listener != nullptr && std::find (listeners.begin(), end, listener) == end && numListeners < maxListeners)
        listeners[(size_t)numListeners++] = listener;
}

void HubListeners::removeListener (MidiCntrStateListener* listener)
{
    {
        const juce::SpinLock::ScopedLockType sl (listenerLock);
        const auto end = listeners.begin() + numListeners;
        const auto found = std::find (listeners.begin(), end, listener);
        if (found == end)
            return;
        std::copy (found + 1, end, found);
        listeners[(size_t)--numListeners] = nullptr;
    }
    // A call that copied the old list may still be running on another thread.
    while (callsInFlight.load() > 0)
        std::this_thread::yield();
}

void HubListeners::post (uint32_t code)
{
    eventLog.push (code);

    std::array<MidiCntrStateListener*, maxListeners> toCall;
    int count = 0;
    {
        const juce::SpinLock::ScopedLockType sl (listenerLock);
        count = numListeners;
        std::copy (listeners.begin(), listeners.begin() + count, toCall.begin());
        if (count > 0)
            ++callsInFlight;
    }
    if (count == 0)
        return;

    for (int i = count; --i >= 0;)
        toCall[(size_t)i]->stateEvent (hub);
    --callsInFlight;
}
