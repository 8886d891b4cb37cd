#include "core/HostClockSync.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
struct Event
{
    int64_t sample; // on the run's own time line, from the first block
    std::vector<uint8_t> bytes;
};

/** Runs the clock over consecutive blocks of a moving (or stopped) transport. */
class Transport
{
public:
    Transport (double rate, double tempo) : sampleRate (rate)
    {
        position.resetToDefault();
        position.bpm = tempo;
    }

    void play (double startQuarterNotes)
    {
        position.isPlaying = true;
        position.ppqPosition = startQuarterNotes;
    }

    void run (int blocks, int blockSize)
    {
        for (int b = 0; b < blocks; ++b)
            runBlock (blockSize);
    }

    void runBlock (int blockSize)
    {
        juce::MidiBuffer out;
        clock.process (position, blockSize, sampleRate, out);
        for (const auto m : out)
        {
            EXPECT_LT (m.samplePosition, blockSize);
            events.push_back ({elapsed + m.samplePosition, std::vector<uint8_t> (m.data, m.data + m.numBytes)});
        }
        elapsed += blockSize;
        if (position.isPlaying)
            position.ppqPosition += blockSize * position.bpm / 60.0 / sampleRate;
    }

    std::vector<Event> take (uint8_t status)
    {
        std::vector<Event> found;
        for (const auto& e : events)
            if (e.bytes[0] == status)
                found.push_back (e);
        return found;
    }

    std::vector<uint8_t> statuses() const
    {
        std::vector<uint8_t> s;
        for (const auto& e : events)
            if (e.bytes[0] != 0xF8)
                s.push_back (e.bytes[0]);
        return s;
    }

    double sampleRate;
    juce::AudioPlayHead::CurrentPositionInfo position;
    HostClockSync clock;
    std::vector<Event> events;
    int64_t elapsed = 0;
};

int songPosition (const Event& e)
{
    return e.bytes[1] | (e.bytes[2] << 7);
}
} // namespace

TEST (HostClockSync, StartingAtOnePointThreeQuarterNotes)
{
    Transport t (44100.0, 120.0);
    t.play (1.30);
    t.run (20, 512);

    ASSERT_FALSE (t.events.empty());
    EXPECT_EQ (t.events[0].bytes, (std::vector<uint8_t>{0xF2, 6, 0})) << "Song Position of the next sixteenth";
    EXPECT_EQ (t.events[0].sample, 0);

    const auto continues = t.take (0xFB);
    ASSERT_EQ (continues.size(), 1u);
    // 0.2 quarter notes at 120 bpm and 44.1 kHz are 4410 samples; rounding may take the next one.
    EXPECT_GE (continues[0].sample, 4410);
    EXPECT_LE (continues[0].sample, 4411);

    // A tick every 918.75 samples on the host's time line (1.3 quarter notes are sample 28665),
    // each at the first sample at or after its exact place: tick 32 falls on 29400.
    const auto ticks = t.take (0xF8);
    ASSERT_EQ (ticks.size(), 11u);
    for (size_t i = 0; i < ticks.size(); ++i)
        EXPECT_EQ (28665 + ticks[i].sample, (int64_t)std::ceil ((32.0 + (double)i) * 918.75)) << "tick " << i;
    EXPECT_TRUE (t.take (0xFC).empty()) << "no Stop while it plays";
}

namespace
{
/** Every tick within one sample after its exact place, none missing: k x samplesPerTick. */
void expectTicksInPlace (Transport& t, double rate, double bpm)
{
    const auto exact = rate * 60.0 / (bpm * 24.0);
    const auto ticks = t.take (0xF8);
    int64_t due = 0; // ticks whose sample falls within the run
    while ((double)due * exact <= (double)(t.elapsed - 1))
        ++due;
    ASSERT_EQ ((int64_t)ticks.size(), due) << rate << " Hz " << bpm << " bpm";
    for (size_t k = 0; k < ticks.size(); ++k)
    {
        const auto error = (double)ticks[k].sample - (double)k * exact;
        ASSERT_GE (error, -1.0e-6) << "tick " << k << " early at " << rate << " Hz " << bpm << " bpm";
        ASSERT_LT (error, 1.0) << "tick " << k << " a sample late or more at " << rate << " Hz " << bpm << " bpm";
    }
}
} // namespace

TEST (HostClockSync, TicksKeepTheirPlaceAcrossOddBlockSizesAndRates)
{
    for (const double rate : {48000.0, 96000.0, 22050.0})
    {
        Transport t (rate, 120.0);
        t.play (0.0);
        for (int b = 0; b < 60; ++b)
            t.runBlock (b % 3 == 0 ? 480 : b % 3 == 1 ? 1023 : 37);
        expectTicksInPlace (t, rate, 120.0);
    }
}

TEST (HostClockSync, TenMinutesOfTicksNeverDriftBySample)
{
    // 918.75 samples a tick at 44.1 kHz and 120 bpm: rounded to 919, the clock ran 54 ms late
    // after 200 s. 48 kHz at 97.3 bpm gives no round number either.
    for (const auto& [rate, bpm] : {std::pair<double, double>{44100.0, 120.0}, {48000.0, 97.3}})
    {
        Transport t (rate, bpm);
        t.play (0.0);
        const auto blocks = (int)(600.0 * rate / 512.0);
        t.run (blocks, 512);
        expectTicksInPlace (t, rate, bpm);
    }
}

TEST (HostClockSync, ARelocationWhilePlayingStopsAndRestartsAtTheNewPlace)
{
    Transport t (44100.0, 120.0);
    t.play (0.0);
    t.run (10, 512);
    ASSERT_EQ (t.statuses(), (std::vector<uint8_t>{0xF2, 0xFB}));

    t.position.ppqPosition = 8.0;
    const auto jumpAt = t.elapsed;
    t.runBlock (512);
    const auto after = t.statuses();
    ASSERT_EQ (after, (std::vector<uint8_t>{0xF2, 0xFB, 0xFC, 0xF2, 0xFB}));
    const auto positions = t.take (0xF2);
    EXPECT_EQ (songPosition (positions[1]), 32);
    EXPECT_EQ (positions[1].sample, jumpAt);
    EXPECT_EQ (t.take (0xFB)[1].sample, jumpAt) << "8.0 is itself a sixteenth";
}

TEST (HostClockSync, StopsBeforeTheLoopEndAndContinuesAfterTheJumpBack)
{
    Transport t (44100.0, 120.0);
    t.position.isLooping = true;
    t.position.ppqLoopStart = 1.0;
    t.position.ppqLoopEnd = 2.0;
    t.play (1.0);
    t.run (43, 512); // up to about 1.998 quarter notes

    auto stops = t.take (0xFC);
    ASSERT_EQ (stops.size(), 1u);
    // Within one tick (919 samples) of the loop end, which lies 22050 samples after the start.
    EXPECT_GE (stops[0].sample, 22050 - 919 - 1);
    EXPECT_LE (stops[0].sample, 22050 - 919 + 1);

    t.position.ppqPosition = 1.0; // the host loops back
    t.runBlock (512);
    EXPECT_EQ (t.take (0xFC).size(), 1u) << "no second Stop at the jump";
    const auto positions = t.take (0xF2);
    ASSERT_EQ (positions.size(), 2u);
    EXPECT_EQ (songPosition (positions[1]), 4);
    EXPECT_EQ (t.take (0xFB).size(), 2u);
}

TEST (HostClockSync, ATransportThatNeverMovesGetsStopAndSongPositionOnce)
{
    Transport t (44100.0, 120.0); // what a host without play head looks like
    t.run (30, 256);
    ASSERT_EQ (t.statuses(), (std::vector<uint8_t>{0xFC, 0xF2}));
    EXPECT_EQ (songPosition (t.events[1]), 0);
    EXPECT_TRUE (t.take (0xF8).empty());

    t.position.ppqPosition = 3.0; // moved while stopped
    t.runBlock (256);
    EXPECT_EQ (t.statuses(), (std::vector<uint8_t>{0xFC, 0xF2, 0xFC, 0xF2}));
}

TEST (HostClockSync, StoppingAfterPlayingSendsStopAndWhereItStopped)
{
    Transport t (44100.0, 120.0);
    t.play (0.0);
    t.run (100, 441); // 2 quarter notes
    t.position.isPlaying = false;
    t.position.ppqPosition = 2.0;
    t.runBlock (441);
    const auto positions = t.take (0xF2);
    ASSERT_EQ (positions.size(), 2u);
    EXPECT_EQ (songPosition (positions[1]), 8);
    EXPECT_EQ (t.take (0xFC).size(), 1u);

    t.play (2.0); // continuing from where it stopped is no jump: no Song Position
    t.run (2, 441);
    EXPECT_EQ (t.take (0xF2).size(), 2u);
    EXPECT_EQ (t.take (0xFB).size(), 2u);
}

TEST (HostClockSync, ClockOffStillSendsTransportMessagesAndNonsenseTempoIsSafe)
{
    Transport t (44100.0, 0.0);
    t.clock.clockEnabled = false;
    t.play (0.5);
    t.run (5, 512);
    EXPECT_TRUE (t.take (0xF8).empty());
    EXPECT_FALSE (t.take (0xF2).empty());

    EXPECT_EQ (HostClockSync::songPositionSixteenths (-3.0), 0);
    EXPECT_EQ (HostClockSync::songPositionSixteenths (1.0e9), 16383);
    EXPECT_EQ (HostClockSync::samplesPerTick (44100.0, 120.0), 919);
}
