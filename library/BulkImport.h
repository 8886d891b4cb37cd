#pragma once

#include "instrument/ProgramPacking.h"

#include <juce_core/juce_core.h>

#include <vector>

/** Reads every program in a set of dropped files and folders (folders with everything inside
    them): SysEx files (.syx, .p12p, .p12b), libraries (.p12l), the plug-in's FX chunks and
    standard MIDI files whose SysEx events hold program dumps. Untrusted input: never reads past
    the data, never a file larger than its kind allows. No questions, no dialogs. */
namespace BulkImport
{
struct Result
{
    std::vector<ravlin::Bytes> programs; // 1024-byte images, in file order
    int filesRead = 0;                   // files that held at least one program
    juce::StringArray notUnderstood;     // file names, in the order met
};

Result read (const juce::StringArray& paths);

/** The SysEx events of a standard MIDI file joined, each F0 ... F7; empty when it is not one. */
ravlin::Bytes sysExOfMidiFile (const ravlin::Bytes& data);

/** "3 added, 1 duplicate skipped, files not understood: a.txt, b.mid" */
juce::String summary (int added, int skipped, const juce::StringArray& notUnderstood);
} // namespace BulkImport
