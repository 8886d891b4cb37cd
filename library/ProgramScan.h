#pragma once

#include "instrument/ProgramPacking.h"

#include <juce_core/juce_core.h>

#include <vector>

/** Finds the programs in any file the plug-in reads: SysEx program and edit-buffer
    dumps (other SysEx messages are skipped), libraries, the plug-in's FX preset and
    bank chunks, bare or inside a host's fxp/fxb container, and raw 1024-byte images.
    This is the one reader of the plug-in and the command line. Never reads past the data. */
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

/** True for a well-formed program dump (F0 01 2A|2B 02 bank program, 1178 bytes, F7) or
    edit-buffer dump (F0 01 2A|2B 03, 1176 bytes, F7); the packed bytes all below 80. */
bool isProgramMessage (const uint8_t* message, size_t size);

/** An FX preset or bank file reduced to the plug-in's own chunk. The chunk is taken bare
    (by its header text) or out of a host's standard container ("CcnK" with "FPCh" or
    "FBCh"). Anything short, foreign or cut off is refused with the reason. */
struct FxChunk
{
    Format format = Format::none; // fxPreset or fxBank; none when refused
    ravlin::Bytes chunk;          // the whole chunk, header included
    size_t offset = 0;            // where the chunk starts in the file
    juce::String problem;         // why it was refused, for the user
};
FxChunk readFxChunk (const uint8_t* data, size_t length);

constexpr int fxBankHeaderSize = 29;
constexpr int fxPresetHeaderSize = 33;
constexpr int fxPresetSize = fxPresetHeaderSize + 1024;       // 1057
constexpr int fxBankSize = fxBankHeaderSize + 100 * 1024 + 1; // 102430: 99 presets, the current one, its number
extern const char* const fxBankHeader;                        // "Prophet12RavlinBank" + "Version100"
extern const char* const fxPresetHeader;                      // "Prophet12RavlinSettings" + "Version100"
} // namespace ProgramScan
