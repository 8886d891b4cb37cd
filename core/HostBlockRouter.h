#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <array>

class MidiCntrState;

/** The host's side of the hub, once per audio block: the host's MIDI goes to the instrument
    (late by the latency, in the host's order) and to the editor, and what waits for the host
    goes into the block, spread over it. Messages for the host wait, stamped in milliseconds,
    until the next block; those older than MidiCntrState::toHostAgeLimitMs are dropped.

    Real-time safe on the audio thread: the queue's memory is reserved up front, and the lock is
    the one the MIDI input and message threads hold only to add a message or a key. */
class HostBlockRouter
{
public:
    explicit HostBlockRouter (MidiCntrState& hub);

    /** Once per audio block, on the audio thread. */
    void routeBlock (juce::MidiBuffer& hostMidi, int numSamples);

    /** A message for the host. Any thread. */
    void queueForHost (const uint8_t* bytes, int size);
    /** A message from the instrument's port through to the host, keeping track of its keys. */
    void passToHost (const uint8_t* bytes, int size);
    /** No note is held and nothing waits for the host. */
    void clearKeysAndQueue();

    /** The keys held, by the instrument's port or the host's MIDI through to it. */
    std::array<uint8_t, 128> keyState{};

private:
    void queueLocked (const uint8_t* bytes, int size);

    MidiCntrState& hub;
    juce::CriticalSection lock; // keyState and toHostQueue

    // Host MIDI through to the instrument keeps its order: no event is due before the one before.
    double lastThruDue = 0; // audio thread

    // Host-bound MIDI stamped in milliseconds, and a spare for ageing without allocating.
    juce::MidiBuffer toHostQueue, toHostSpare;

    JUCE_DECLARE_NON_COPYABLE (HostBlockRouter)
};
