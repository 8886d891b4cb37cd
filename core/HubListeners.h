#pragma once

#include "core/CodeQueue.h"

#include <array>
#include <atomic>

class MidiCntrState;
class MidiCntrStateListener;
class CableListener;

/** Who hears of the hub: the event log every posted code goes into, the listeners told after
    each, and the cable listeners that take parameter changes as the processor does.

    Event listeners are called outside any lock, so a slow listener on one thread never holds up
    the audio thread; removal waits for calls in flight to finish. */
class HubListeners
{
public:
    explicit HubListeners (MidiCntrState& hub);

    void addCableListener (CableListener* listener);
    void removeCableListener (CableListener* listener);
    void addListener (MidiCntrStateListener* listener);
    void removeListener (MidiCntrStateListener* listener);

    /** Into the log, then to every listener. Any thread. */
    void post (uint32_t code);
    std::vector<uint32_t> takeEvents() { return eventLog.takeAll(); }
    /** Tells every cable listener, under their lock. */
    void cableChanged (int parameterIndex, int value, bool endGestureNow, bool sendToInstrument, bool notifyHub);

private:
    MidiCntrState& hub;

    CodeQueue eventLog{8192};
    juce::Array<CableListener*> cableListeners;
    juce::CriticalSection cableLock;

    static constexpr int maxListeners = 16;
    std::array<MidiCntrStateListener*, maxListeners> listeners{};
    int numListeners = 0;
    juce::SpinLock listenerLock;
    std::atomic<int> callsInFlight{0};

    JUCE_DECLARE_NON_COPYABLE (HubListeners)
};
