#pragma once

#include "core/MidiMonitorDecoder.h"
#include "instrument/ProgramPacking.h"

#include <deque>
#include <optional>

/** The MIDI monitor's list: what the panel's timer reads from the log, decoded, with the
    clock folded into one line per run ("clock x 96"), pausing, clearing, the list as text, and
    the raw SysEx the user types. Message thread. */
class MidiMonitorModel
{
public:
    static constexpr int maxLines = 5000;

    struct Line
    {
        double timeMs = 0;
        MidiMonitorLog::Direction direction = MidiMonitorLog::Direction::out;
        juce::String text;
        int clocks = 0; // a run of clock ticks: how many
    };

    MidiMonitorModel (MidiMonitorLog& log, const ravlin::ParameterTable& table);

    /** Takes what the log holds, at most one ring's worth, so a call ends however fast the
        writers are. True when the list changed or more went unseen. */
    bool update();

    /** While paused the list stays as it is; what comes meanwhile is counted, not shown. */
    void setPaused (bool shouldPause) noexcept { paused = shouldPause; }
    bool isPaused() const noexcept { return paused; }
    /** Empties the list and the count of messages not shown. */
    void clear();

    const std::deque<Line>& getLines() const noexcept { return lines; }
    /** Messages that never reached the list: the log was full, or the list paused. */
    int getNumNotShown() const noexcept { return notShown; }

    /** "clock x 96" for a run, the decoded text otherwise. */
    static juce::String textOf (const Line& line);
    /** "09:41:07.250". */
    static juce::String timeText (double timeMs);
    /** "09:41:07.250  OUT  edit buffer request". */
    static juce::String rowText (const Line& line);
    /** The whole list, a row a line, for "Save As Text...". */
    juce::String toText() const;

    /** The user's hex as a SysEx message: pairs of hex digits (spaces and commas between
        them optional), F0 first, F7 last, data bytes below 80. Otherwise nothing, and why in
        words. */
    static std::optional<ravlin::Bytes> parseSysEx (const juce::String& text, juce::String& error);

private:
    void add (const MidiMonitorLog::Entry& entry);

    MidiMonitorLog& log;
    MidiMonitorDecoder decoder;
    std::deque<Line> lines;
    bool paused = false;
    int notShown = 0;
};
