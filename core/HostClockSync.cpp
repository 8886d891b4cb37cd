#include "core/HostClockSync.h"

#include <cmath>

namespace
{
int roundHalfUp (double x) noexcept
{
    return (int)std::floor (x + 0.5);
}
} // namespace

HostClockSync::HostClockSync()
    : clock (juce::MidiMessage::midiClock()), continueMessage (juce::MidiMessage::midiContinue()),
      stop (juce::MidiMessage::midiStop()), songPosition (juce::MidiMessage::songPositionPointer (0))
{
}

int HostClockSync::songPositionSixteenths (double quarterNotes) noexcept
{
    const auto sixteenths = std::ceil (quarterNotes * 4.0);
    return (int)juce::jlimit (0.0, 16383.0, std::isfinite (sixteenths) ? sixteenths : 0.0);
}

int HostClockSync::samplesPerTick (double sampleRate, double bpm) noexcept
{
    return std::max (1, juce::roundToInt (sampleRate * 60.0 / (bpm * 24.0)));
}

void HostClockSync::addSongPosition (juce::MidiBuffer& out, double quarterNotes) const
{
    const auto sixteenths = songPositionSixteenths (quarterNotes);
    const uint8_t bytes[3] = {songPosition.getRawData()[0], (uint8_t)(sixteenths & 0x7F),
                              (uint8_t)((sixteenths >> 7) & 0x7F)};
    out.addEvent (bytes, 3, 0);
}

void HostClockSync::process (const juce::AudioPlayHead::CurrentPositionInfo& position, int numSamples,
                             double sampleRate, juce::MidiBuffer& out)
{
    // A host may report nonsense; the clock then runs as at 120 bpm rather than dividing by it.
    const auto bpm = std::isfinite (position.bpm) && position.bpm > 0.0 ? position.bpm : 120.0;
    const auto sr = std::isfinite (sampleRate) && sampleRate > 0.0 ? sampleRate : 44100.0;
    const auto ppq = std::isfinite (position.ppqPosition) ? position.ppqPosition : 0.0;

    const auto q = bpm / 60.0 / sr;
    const auto tolerance = sr * jumpTolerance * q;
    const auto start = offsetSamples * q + ppq;
    const bool jumped = std::abs (start - lastPosition) > tolerance;

    if (!position.isPlaying && !position.isRecording)
    {
        if (running || jumped)
        {
            out.addEvent (stop, 0);
            addSongPosition (out, start);
        }
        lastPosition = start;
        pendingFlags = continuePending;
        running = false;
        return;
    }

    // Ticks are counted in 24ths of a quarter note from the host's time line; after a start or a
    // jump the count is found again from the position.
    if (!running || jumped)
        nextTick = (int64_t)std::ceil (start * 24.0 - 1.0e-9);

    if (running)
    {
        if (jumped)
        {
            nextSixteenth = std::ceil (start * 4.0) / 4.0;
            if (pendingFlags == 0)
            {
                out.addEvent (stop, 0);
                addSongPosition (out, start);
                pendingFlags = continuePending;
            }
            else if (stopAtLoopEnd)
            {
                addSongPosition (out, start);
                pendingFlags = continuePending;
            }
            else
            {
                pendingFlags = 0;
            }
        }
    }
    else
    {
        nextSixteenth = std::ceil (start * 4.0) / 4.0;
        if (jumped)
            addSongPosition (out, nextSixteenth);
        // A host may start playing in its very first block, before any stopped one armed this.
        pendingFlags = continuePending;
    }

    const auto ticks = samplesPerTick (sr, bpm);
    const bool loopSet = position.isLooping && position.ppqLoopEnd != position.ppqLoopStart;

    for (int i = 0; i < numSamples; ++i)
    {
        lastPosition = start + i * q;
        if (lastPosition >= nextSixteenth)
        {
            if ((pendingFlags & continuePending) != 0)
            {
                out.addEvent (continueMessage, i);
                pendingFlags &= (uint8_t)~continuePending;
            }
            if (loopSet && (pendingFlags & loopStopSent) == 0)
            {
                const auto toLoopEnd = roundHalfUp (60.0 / bpm * std::abs (position.ppqLoopEnd - lastPosition) * sr);
                if (ticks >= toLoopEnd)
                {
                    if (stopAtLoopEnd)
                        out.addEvent (stop, i);
                    pendingFlags |= loopStopSent;
                }
            }
        }
    }

    // Each tick goes at the first sample at or after its exact place, so none strays by a whole
    // sample however many samples a tick lasts; counted on while the clock is off, so that
    // switching it on resumes in step.
    // At most a tick a sample, however absurd the tempo a host reports: the buffer's room holds.
    for (int placed = 0; placed < numSamples; ++placed)
    {
        const auto offset = ((double)nextTick / 24.0 - start) / q;
        const auto i = juce::jmax (0, (int)std::ceil (offset - 1.0e-6));
        if (i >= numSamples)
            break;
        if (clockEnabled)
            out.addEvent (clock, i);
        ++nextTick;
    }
    running = true;
}
