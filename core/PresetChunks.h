#pragma once

#include "library/PresetChunkFormat.h"

#include <juce_core/juce_core.h>

class MidiCntrState;

/** The plug-in's preset bank as the host keeps it inside a project: the bank chunk (all 99
    programs) and the program chunk (the program being edited). Data from the host is
    untrusted: whatever its length, only what is present is taken. */
namespace PresetChunks
{
using PresetChunkFormat::bankChunkHeaderSize;
using PresetChunkFormat::bankChunkMarker;
using PresetChunkFormat::programChunkHeaderSize;
using PresetChunkFormat::programChunkMarker;
using PresetChunkFormat::version;
constexpr int numPrograms = 99;
constexpr int programSize = 1024;
constexpr int bankChunkSize = bankChunkHeaderSize + (numPrograms + 1) * programSize + 1; // 102430
constexpr int programChunkSize = programChunkHeaderSize + programSize;                   // 1057

/** The 99 presets as stored, the sound being edited and the current preset number. */
void writeBank (MidiCntrState& hub, juce::MemoryBlock& destination);
/** Takes the 99 programs, and from a whole chunk the sound being edited and the preset number. */
void readBank (MidiCntrState& hub, const void* data, int size);

void writeProgram (MidiCntrState& hub, juce::MemoryBlock& destination);
/** The program becomes the current preset program and the program being edited. */
void readProgram (MidiCntrState& hub, const void* data, int size);
} // namespace PresetChunks
