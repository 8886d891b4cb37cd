#pragma once

#include "instrument/ProgramPacking.h"

#include <juce_core/juce_core.h>

#include <vector>

/** The program library container: "Mopho  Libr >", 1024-byte records, "< Mopho  Libr". */
namespace LibraryFile
{
constexpr int markerLength = 13;
constexpr int recordSize = 1024;
/** The most records a library file holds; reading and writing both keep to it. */
constexpr int maxRecords = 131072;
constexpr juce::int64 maxFileSize = 2 * markerLength + (juce::int64)recordSize * maxRecords; // 128 MiB + 26
extern const char* const startMarker;
extern const char* const endMarker;

/** Whole 1024-byte records after the first `skip` bytes; markers are not checked.
    With dropDuplicates, a record equal to one already taken is left out. */
std::vector<ravlin::Bytes> readRecords (const uint8_t* data, size_t length, size_t skip, bool dropDuplicates);

/** The records in order with every repeat of an earlier one left out (by hash, then bytes). */
std::vector<ravlin::Bytes> withoutRepeats (std::vector<ravlin::Bytes> records);

/** True when the block starts with the library's start marker. */
bool hasStartMarker (const uint8_t* data, size_t length);

juce::MemoryBlock buildImage (const std::vector<ravlin::Bytes>& records);

/** Writes nothing for an empty library, nor for one of more than maxRecords (it could not be
    read back); otherwise writes a temporary file beside the target and renames it over the
    old one, so a failed write never loses a library. */
bool write (const juce::File& file, const std::vector<ravlin::Bytes>& records);
bool writeBlock (const juce::File& file, const ravlin::Bytes& block);
} // namespace LibraryFile
