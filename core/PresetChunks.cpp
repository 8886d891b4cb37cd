#include "core/PresetChunks.h"

#include "core/MidiCntrState.h"

#include <cstring>

namespace PresetChunks
{
namespace
{
void appendText (juce::MemoryBlock& out, const char* text)
{
    out.append (text, std::strlen (text));
}

/** Bytes [from, from + length) of the data, zero-filled where the data ends. */
ravlin::Bytes slice (const void* data, int size, int from, int length)
{
    ravlin::Bytes bytes ((size_t)length, 0);
    const auto available = juce::jlimit (0, length, size - from);
    if (available > 0)
        std::memcpy (bytes.data(), static_cast<const uint8_t*> (data) + from, (size_t)available);
    return bytes;
}
} // namespace

void writeBank (MidiCntrState& hub, juce::MemoryBlock& destination)
{
    destination.reset();
    destination.ensureSize ((size_t)bankChunkSize);
    destination.setSize (0);
    appendText (destination, bankChunkMarker);
    appendText (destination, version);

    for (int p = 0; p < numPrograms; ++p)
    {
        const auto program = hub.getPresetProgram (p);
        destination.append (program.data(), program.size());
    }

    // The sound being edited, edits not stored to a preset included: that is what the project
    // must bring back. No preset is overwritten for it.
    if (hub.presetProgramIndex < 0)
        hub.presetProgramIndex = 0;
    auto current = hub.getCurrentProgram();
    current.resize ((size_t)programSize, 0);
    destination.append (current.data(), current.size());
    const auto indexByte = (uint8_t)(hub.presetProgramIndex & 0xFF);
    destination.append (&indexByte, 1);
}

void readBank (MidiCntrState& hub, const void* data, int size)
{
    if (data == nullptr)
        return;
    for (int p = 0; p < numPrograms; ++p)
    {
        const auto from = bankChunkHeaderSize + p * programSize;
        if (from >= size)
            break; // programs the chunk does not reach stay as they are
        hub.setPresetProgram (p, slice (data, size, from, programSize));
    }

    // A whole chunk also brings back the sound that was being edited and its preset number.
    if (size >= bankChunkSize)
    {
        const int stored = static_cast<const uint8_t*> (data)[bankChunkSize - 1];
        hub.presetProgramIndex = stored < numPrograms ? stored : 0;
        hub.setCurrentProgram (slice (data, size, bankChunkSize - 1 - programSize, programSize));
        hub.postEvent (HubEvent::programLoaded);
    }
}

void writeProgram (MidiCntrState& hub, juce::MemoryBlock& destination)
{
    destination.reset();
    appendText (destination, programChunkMarker);
    appendText (destination, version);
    if (hub.presetProgramIndex < 0)
        hub.presetProgramIndex = 0;
    const auto current = hub.getCurrentProgram();
    hub.setPresetProgram (hub.presetProgramIndex, current);
    destination.append (current.data(), current.size());
}

void readProgram (MidiCntrState& hub, const void* data, int size)
{
    if (data == nullptr || size <= programChunkHeaderSize)
        return;
    if (hub.presetProgramIndex < 0)
        hub.presetProgramIndex = 0;
    const auto program = slice (data, size, programChunkHeaderSize, programSize);
    hub.setPresetProgram (hub.presetProgramIndex, program);
    hub.loadPresetProgram();
}
} // namespace PresetChunks
