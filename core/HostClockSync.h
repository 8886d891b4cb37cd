#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

/** MIDI clock that follows the host's transport: Stop and Song Position when the transport stops
    or jumps, Continue at the next sixteenth once it moves, a Stop just before a loop end, and
    24 ticks per quarter note, each at the first sample at or after its exact place on the host's
    time line. Plain arithmetic, no allocation beyond the output buffer's reserved storage. */
class HostClockSync
{
public:
    HostClockSync();

    /** Appends this block's messages to out. The position is the one the host gave for this block. */
    void process (const juce::AudioPlayHead::CurrentPositionInfo& position, int numSamples, double sampleRate,
                  juce::MidiBuffer& out);

    /** Quarter notes -> the 14-bit sixteenth count a Song Position message carries. */
    static int songPositionSixteenths (double quarterNotes) noexcept;
    /** Samples per clock tick at a tempo, rounded to the nearest integer (at least 1): how near a
        loop end the Stop goes. */
    static int samplesPerTick (double sampleRate, double bpm) noexcept;

    bool clockEnabled = true;
    bool running = false;
    double lastPosition = -999.0;
    double jumpTolerance = 0.001;
    double nextSixteenth = 0.0;
    bool stopAtLoopEnd = true;
    uint8_t pendingFlags = 0; // bit 1: Continue due at the next boundary; bit 0: loop-end Stop sent
    int offsetSamples = 0;
    int64_t nextTick = 0; // the next clock tick, in 24ths of a quarter note on the host's time line

    static constexpr uint8_t continuePending = 2, loopStopSent = 1;

private:
    void addSongPosition (juce::MidiBuffer& out, double quarterNotes) const;

    const juce::MidiMessage clock, continueMessage, stop, songPosition;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (HostClockSync)
};
