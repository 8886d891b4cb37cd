#include "core/MidiMonitorDecoder.h"

#include "instrument/InstrumentModel.h"
#include "instrument/ParDes.h"
#include "instrument/ProgramPacking.h"

namespace sysex = ravlin::sysex;
using Direction = MidiMonitorLog::Direction;

namespace
{
int shortMessageLength (uint8_t status) noexcept
{
    if (status < 0xF0)
        return (status & 0xE0) == 0xC0 ? 2 : 3; // program change and channel pressure: 2
    switch (status)
    {
        case 0xF1:
        case 0xF3: return 2;
        case 0xF2: return 3;
        default: return 1;
    }
}

juce::String channelText (uint8_t status)
{
    return " (ch " + juce::String ((status & 0x0F) + 1) + ")";
}

/** The program name from the packed groups kept of a dump: image bytes 399.. in the window. */
juce::String nameFromWindow (const uint8_t* window)
{
    constexpr int nameStart = 402, nameLength = 20; // image bytes 402..421
    constexpr int firstImageByte = MidiMonitorLog::nameWindowFirstGroup * 7;
    juce::String name;
    for (int i = 0; i < nameLength; ++i)
    {
        const int k = nameStart + i - firstImageByte;
        const auto* group = window + 8 * (k / 7);
        const auto c = (uint8_t)((group[1 + k % 7] & 0x7F) | (((group[0] >> (k % 7)) & 1) << 7));
        name += (c >= 32 && c < 127) ? juce::String::charToString ((juce::juce_wchar)c) : juce::String (" ");
    }
    return name.trimEnd();
}
} // namespace

void MidiMonitorDecoder::reset()
{
    held.fill ({});
}

juce::String MidiMonitorDecoder::slotText (int bank, int program)
{
    const auto bankText = bank < 4   ? "U" + juce::String (bank + 1)
                          : bank < 8 ? "F" + juce::String (bank - 3)
                                     : "bank " + juce::String (bank);
    return bankText + " P " + juce::String (program + 1);
}

juce::String MidiMonitorDecoder::hex (const uint8_t* bytes, int size)
{
    return juce::String::toHexString (bytes, size, 1).toUpperCase();
}

juce::StringArray MidiMonitorDecoder::decode (const MidiMonitorLog::Entry& entry)
{
    juce::StringArray lines;
    const auto* b = entry.head;
    const int n = entry.headLength;
    if (n == 0)
        return lines;
    if (b[0] == sysex::start)
    {
        lines.add (decodeSysEx (entry));
        return lines;
    }

    // Short messages, one after another (running status as a port may use it).
    uint8_t status = 0;
    for (int i = 0; i < n;)
    {
        if (b[i] >= 0xF8)
        {
            lines.add (decodeShort (b + i, 1, entry.direction));
            ++i;
            continue;
        }
        uint8_t message[3] = {};
        int length = 0;
        if (b[i] >= 0x80)
        {
            status = b[i];
            length = shortMessageLength (status);
            for (int k = 0; k < length && i + k < n; ++k)
                message[k] = b[i + k];
            if (i + length > n)
            {
                lines.add (hex (b + i, n - i));
                break;
            }
            i += length;
        }
        else if (status >= 0x80 && status < 0xF0)
        {
            length = shortMessageLength (status);
            message[0] = status;
            if (i + length - 1 > n)
            {
                lines.add (hex (b + i, n - i));
                break;
            }
            for (int k = 1; k < length; ++k)
                message[k] = b[i + k - 1];
            i += length - 1;
        }
        else
        {
            lines.add (hex (b + i, n - i)); // data bytes without a status
            break;
        }
        const auto text = decodeShort (message, length, entry.direction);
        if (text.isNotEmpty())
            lines.add (text);
    }
    if (entry.size > (uint32_t)n)
        lines.add ("... " + juce::String ((int)entry.size - n) + " more bytes");
    return lines;
}

juce::String MidiMonitorDecoder::parameterName (int index) const
{
    if (index >= ravlin::ParameterTable::numImageParameters)
        return juce::String (table.shortName (index));
    return juce::String (index < ravlin::ParameterTable::layerSize ? "A " : "B ") +
           juce::String (table.shortName (index));
}

juce::String MidiMonitorDecoder::decodeShort (const uint8_t* m, int size, Direction direction)
{
    const auto status = m[0];
    switch (status)
    {
        case 0xF8: return "clock";
        case 0xFA: return "start";
        case 0xFB: return "continue";
        case 0xFC: return "stop";
        case 0xFE: return "active sensing";
        case 0xFF: return "reset";
        case 0xF2: return "song position " + juce::String (m[2] * 128 + m[1]);
        default: break;
    }
    if (status >= 0xF0)
        return hex (m, size);

    const auto ch = channelText (status);
    switch (status & 0xF0)
    {
        case 0x80: return "note off " + ParDes::noteName (m[1]) + ch;
        case 0x90:
            return m[2] == 0 ? "note off " + ParDes::noteName (m[1]) + ch
                             : "note on " + ParDes::noteName (m[1]) + " velocity " + juce::String (m[2]) + ch;
        case 0xA0: return "poly pressure " + ParDes::noteName (m[1]) + " " + juce::String (m[2]) + ch;
        case 0xC0: return "program change P " + juce::String (m[1] + 1) + ch;
        case 0xD0: return "channel pressure " + juce::String (m[1]) + ch;
        case 0xE0: return "pitch bend " + juce::String (m[2] * 128 + m[1]) + ch;
        default: break;
    }

    // Controllers: the four of an NRPN become one line, with its value.
    auto& h = held[(size_t)((direction == Direction::in ? 0 : 16) + (status & 0x0F))];
    const int controller = m[1], value = m[2];
    switch (controller)
    {
        case 99: h.numberHigh = value; return {};
        case 98: h.numberLow = value; return {};
        case 6: h.valueHigh = value; return {};
        case 38:
        {
            if (h.numberHigh < 0 || h.numberLow < 0)
                return "NRPN value " + juce::String (h.valueHigh * 128 + value) + " without a number" + ch;
            const int number = h.numberHigh * 128 + h.numberLow, full = h.valueHigh * 128 + value;
            const auto row = table.parameterForNrpn (number);
            if (row < 0)
                return "NRPN " + juce::String (number) + " = " + juce::String (full) + ch;
            auto text = ParDes::valueText (table.displayKind (row), full);
            if (text.isEmpty())
                text = juce::String (full);
            return "NRPN " + parameterName (row) + " = " + text + ch;
        }
        case 100:
        case 101: h = {}; return "controller " + juce::String (controller) + " = " + juce::String (value) + ch;
        case 0: return "bank select MSB " + juce::String (value) + ch;
        case 32:
            return "bank select " +
                   (value < 8 ? slotText (value, 0).upToFirstOccurrenceOf (" ", false, false) : juce::String (value)) +
                   ch;
        default: return "controller " + juce::String (controller) + " = " + juce::String (value) + ch;
    }
}

juce::String MidiMonitorDecoder::decodeSysEx (const MidiMonitorLog::Entry& e) const
{
    const auto* b = e.head;
    const int n = e.headLength;
    const auto size = (int)e.size;
    const auto allHex = [&]
    {
        auto text = hex (b, n);
        if (size > n)
            text << " ... (" << size << " bytes)";
        if (!e.ended)
            text << " (cut short)";
        return text;
    };
    const auto cut = [&] (int expected)
    { return size == expected && e.ended ? juce::String() : " (" + juce::String (size) + " bytes, cut short)"; };

    if (n >= 5 && b[1] == 0x7E && b[3] == 0x06)
    {
        if (b[4] == 0x01 && size == 6)
            return "identity request";
        if (b[4] == 0x02)
        {
            if (const auto model = ravlin::identity::modelOfReply (b, (size_t)n))
                return juce::String ("identity reply: ") + ravlin::modelName (*model);
            return "identity reply of another device: " + allHex();
        }
    }

    if (!ravlin::isOwnMessage (b, (size_t)n))
        return allHex();

    switch (b[3])
    {
        case sysex::cmdProgramDump:
        {
            if (n < 6)
                break;
            auto text = "program dump " + slotText (b[4], b[5]);
            if (e.hasWindow)
                text << " '" << nameFromWindow (e.nameWindow) << "'";
            return text + cut (sysex::programDumpSize);
        }
        case sysex::cmdEditBufferDump:
        {
            juce::String text ("edit buffer dump");
            if (e.hasWindow)
                text << " '" << nameFromWindow (e.nameWindow) << "'";
            return text + cut (sysex::editBufferDumpSize);
        }
        case sysex::cmdRequestProgram:
            if (n >= 7)
                return "program request " + slotText (b[4], b[5]) + cut (7);
            break;
        case sysex::cmdRequestEditBuffer: return "edit buffer request" + cut (5);
        case sysex::cmdRequestGlobals: return "global request" + cut (5);
        case sysex::cmdGlobalDump: return "global dump (" + juce::String (size) + " bytes)";
        default: break;
    }
    return allHex();
}
