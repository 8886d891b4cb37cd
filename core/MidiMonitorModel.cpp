#include "core/MidiMonitorModel.h"

#include "midi/TimedMidiSender.h"

using Direction = MidiMonitorLog::Direction;

MidiMonitorModel::MidiMonitorModel (MidiMonitorLog& l, const ravlin::ParameterTable& table) : log (l), decoder (table)
{
}

bool MidiMonitorModel::update()
{
    bool changed = false;
    const auto lost = (int)log.takeLost();
    if (lost > 0)
    {
        notShown += lost;
        changed = true;
    }
    // At most one ring's worth a call: while writers keep the ring full (a flood of clock, a
    // track's dumps through to the instrument) the timer still returns to the message thread, and
    // what the ring cannot hold meanwhile is counted as not shown.
    MidiMonitorLog::Entry entry;
    for (int taken = 0; taken < MidiMonitorLog::capacity && log.read (entry); ++taken)
    {
        if (paused)
            ++notShown;
        else
            add (entry);
        changed = true;
    }
    return changed;
}

void MidiMonitorModel::add (const MidiMonitorLog::Entry& entry)
{
    for (const auto& text : decoder.decode (entry))
    {
        if (text == "clock" && !lines.empty() && lines.back().clocks > 0 && lines.back().direction == entry.direction)
        {
            ++lines.back().clocks;
            continue;
        }
        lines.push_back ({entry.timeMs, entry.direction, text, text == "clock" ? 1 : 0});
        if ((int)lines.size() > maxLines)
            lines.pop_front();
    }
}

void MidiMonitorModel::clear()
{
    lines.clear();
    notShown = 0;
    decoder.reset();
}

juce::String MidiMonitorModel::textOf (const Line& line)
{
    return line.clocks > 1 ? "clock x " + juce::String (line.clocks) : line.text;
}

juce::String MidiMonitorModel::timeText (double timeMs)
{
    // The monitor's stamps count from the system's start; the user reads the time of day.
    const auto offset = (double)juce::Time::currentTimeMillis() - TimedMidiSender::now();
    return juce::Time ((juce::int64) (timeMs + offset)).formatted ("%H:%M:%S") + "." +
           juce::String ((juce::int64) (timeMs + offset) % 1000).paddedLeft ('0', 3);
}

juce::String MidiMonitorModel::rowText (const Line& line)
{
    return timeText (line.timeMs) + (line.direction == Direction::in ? "  IN   " : "  OUT  ") + textOf (line);
}

juce::String MidiMonitorModel::toText() const
{
    juce::String text;
    for (const auto& line : lines)
        text << rowText (line) << "\n";
    if (notShown > 0)
        text << notShown << (notShown == 1 ? " message not shown\n" : " messages not shown\n");
    return text;
}

std::optional<ravlin::Bytes> MidiMonitorModel::parseSysEx (const juce::String& text, juce::String& error)
{
    ravlin::Bytes bytes;
    auto tokens = juce::StringArray::fromTokens (text.replaceCharacter (',', ' '), " \t\r\n", "");
    tokens.removeEmptyStrings();
    for (const auto& token : tokens)
    {
        if (!token.containsOnly ("0123456789abcdefABCDEF"))
        {
            error = "\"" + token + "\" is not hex: use the digits 0-9 and A-F.";
            return std::nullopt;
        }
        if (token.length() % 2 != 0)
        {
            error = "\"" + token + "\" has an odd number of digits: write each byte as two hex digits.";
            return std::nullopt;
        }
        for (int i = 0; i < token.length(); i += 2)
            bytes.push_back ((uint8_t)token.substring (i, i + 2).getHexValue32());
    }

    if (bytes.empty())
    {
        error = "Type a SysEx message as hex bytes, from F0 to F7.";
        return std::nullopt;
    }
    if (bytes.front() != 0xF0)
    {
        error = "A SysEx message starts with F0.";
        return std::nullopt;
    }
    if (bytes.size() < 2 || bytes.back() != 0xF7)
    {
        error = "A SysEx message ends with F7.";
        return std::nullopt;
    }
    for (size_t i = 1; i + 1 < bytes.size(); ++i)
        if (bytes[i] > 0x7F)
        {
            error = "Byte " + juce::String ((int)i + 1) + " is " + MidiMonitorDecoder::hex (&bytes[i], 1) +
                    ": the bytes between F0 and F7 go up to 7F.";
            return std::nullopt;
        }
    if ((int)bytes.size() > TimedMidiSender::maxMessageSize)
    {
        error = "The message is longer than " + juce::String (TimedMidiSender::maxMessageSize) + " bytes.";
        return std::nullopt;
    }
    error.clear();
    return bytes;
}
