#pragma once

#include "instrument/ProgramPacking.h"

#include <juce_core/juce_core.h>

#include <vector>

/** Finds the programs in any file the plug-in reads: SysEx program and edit-buffer
    dumps (other SysEx messages are skipped), libraries, the plug-in's FX preset and
    bank chunks and raw 1024-byte images. Never reads past the data. */
namespace ProgramScan
{
enum class Format
{
    none,
    sysEx,
    library,
    fxBank,
    fxPreset,
    rawImage
};

struct Found
{
    size_t offset = 0;
    int bank = -1;    // from a program dump, else -1
    int program = -1; // likewise
    ravlin::Bytes image;
};

struct Result
{
    Format format = Format::none;
    std::vector<Found> programs;
    int skippedMessages = 0; // SysEx messages that carry no program
};

Result scan (const uint8_t* data, size_t length);
juce::String formatName (Format format);

constexpr int fxBankHeaderSize = 29;
constexpr int fxPresetHeaderSize = 33;
extern const char* const fxBankHeader;   // "Prophet12RavlinBank" + "Version100"
extern const char* const fxPresetHeader; // "Prophet12RavlinSettings" + "Version100"
} // namespace ProgramScan
