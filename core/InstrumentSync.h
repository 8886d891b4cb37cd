#pragma once

#include "instrument/ProgramPacking.h"

#include <juce_core/juce_core.h>

class MidiCntrState;
class RavlinAudioProcessor;

/** Whether the instrument holds the program being edited: after the host restored a project,
    or when both ports open, it asks the instrument for its edit buffer and compares. The answer
    never replaces the program being edited; nothing else goes to the instrument until the user
    sends or takes a program. Message thread (the editor's timer). */
class InstrumentSync
{
public:
    static constexpr double replyTimeoutMs = 3000.0;

    enum class State
    {
        unknown, // not asked yet
        waiting, // asked, no answer yet
        inSync,
        differs,
        noReply
    };

    explicit InstrumentSync (RavlinAudioProcessor& processor);

    /** Asks when a project was restored or both ports came open since the last call, reads the
        answer, and gives up after replyTimeoutMs. True when the state changed. */
    bool tick (double nowMs);
    /** Asks now; false, asking nothing, without an output. */
    bool check (double nowMs);

    State getState() const noexcept { return state; }
    /** "IN SYNC", "DIFFERS", "NO REPLY", or nothing while nothing is known. */
    juce::String lampText() const;
    int getNumDiffering() const noexcept { return differing; }
    /** The instrument's edit buffer as it answered. */
    const ravlin::Bytes& getInstrumentProgram() const noexcept { return instrumentProgram; }

    /** The program being edited into the instrument's edit buffer, as a dump. */
    bool sendToInstrument();
    /** The instrument's answer becomes the program being edited, one undo step away. False when
        there is no answer to take. */
    bool takeFromInstrument();

private:
    void compare();

    RavlinAudioProcessor& processor;
    MidiCntrState& hub;
    State state = State::unknown;
    double askedAt = 0;
    uint32_t restoresSeen = 0;
    bool portsWereOpen = false;
    int differing = 0;
    ravlin::Bytes instrumentProgram;
};
