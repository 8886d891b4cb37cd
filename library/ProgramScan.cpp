#include "library/ProgramScan.h"

#include "library/LibraryFile.h"

#include <cstring>

namespace ProgramScan
{
const char* const fxBankHeader = "Prophet12RavlinBankVersion100";
const char* const fxPresetHeader = "Prophet12RavlinSettingsVersion100";

namespace
{
bool startsWith (const uint8_t* data, size_t length, const char* text, size_t textLength)
{
    return length >= textLength && std::memcmp (data, text, textLength) == 0;
}

void addImage (Result& result, size_t offset, const uint8_t* image)
{
    Found found;
    found.offset = offset;
    found.image.assign (image, image + ravlin::sysex::imageSize);
    result.programs.push_back (std::move (found));
}

uint32_t bigEndian32 (const uint8_t* p)
{
    return ((uint32_t)p[0] << 24) | ((uint32_t)p[1] << 16) | ((uint32_t)p[2] << 8) | (uint32_t)p[3];
}

void addFound (Result& result, size_t offset, const uint8_t* message, size_t size)
{
    using namespace ravlin;
    const bool programDump = message[3] == sysex::cmdProgramDump;
    Found found;
    found.offset = offset;
    if (programDump)
    {
        found.bank = message[4];
        found.program = message[5];
    }
    found.image.resize ((size_t)sysex::imageSize);
    const auto dataAt = (size_t)(programDump ? sysex::programDumpDataOffset : sysex::editBufferDumpDataOffset);
    jassert (dataAt + (size_t)sysex::packedSize < size);
    juce::ignoreUnused (size);
    unpackImage (message + dataAt, (size_t)sysex::packedSize, found.image.data());
    result.programs.push_back (std::move (found));
}

void scanSysEx (const uint8_t* data, size_t length, Result& result)
{
    using namespace ravlin;

    size_t i = 0;
    while (i < length)
    {
        if (data[i] != sysex::start)
        {
            ++i;
            continue;
        }

        // A message runs to the next F7; a new F0 first means this one was cut short.
        size_t endAt = i + 1;
        while (endAt < length && data[endAt] != sysex::end && data[endAt] != sysex::start)
            ++endAt;

        if (endAt >= length || data[endAt] == sysex::start)
        {
            ++result.skippedMessages;
            i = endAt;
            continue;
        }

        const auto size = endAt - i + 1;
        if (isProgramMessage (data + i, size))
            addFound (result, i, data + i, size);
        else
            ++result.skippedMessages;

        i = endAt + 1;
    }

    if (!result.programs.empty())
        result.format = Format::sysEx;
}

bool isOwnChunk (const uint8_t* data, size_t length)
{
    return startsWith (data, length, fxBankHeader, (size_t)fxBankHeaderSize) ||
           startsWith (data, length, fxPresetHeader, (size_t)fxPresetHeaderSize);
}

FxChunk refused (const juce::String& problem)
{
    FxChunk c;
    c.problem = problem;
    return c;
}

FxChunk ownChunk (const uint8_t* data, size_t length, size_t offset)
{
    const bool bank = startsWith (data, length, fxBankHeader, (size_t)fxBankHeaderSize);
    const auto size = (size_t)(bank ? fxBankSize : fxPresetSize);
    if (length < size)
        return refused (juce::String ("it is cut short: a preset") + (bank ? " bank" : "") + " takes " +
                        juce::String ((int)size) + " bytes, it has " + juce::String ((juce::int64)length) + ".");
    FxChunk c;
    c.format = bank ? Format::fxBank : Format::fxPreset;
    c.chunk.assign (data, data + size);
    c.offset = offset;
    return c;
}
} // namespace

bool isProgramMessage (const uint8_t* m, size_t size)
{
    using namespace ravlin;
    if (m == nullptr || size < 4 || m[0] != sysex::start || m[size - 1] != sysex::end || m[1] != sysex::manufacturer ||
        (m[2] != sysex::deviceModule && m[2] != sysex::deviceKeyboard))
        return false;
    const bool fits = (m[3] == sysex::cmdProgramDump && size == (size_t)sysex::programDumpSize) ||
                      (m[3] == sysex::cmdEditBufferDump && size == (size_t)sysex::editBufferDumpSize);
    return fits && std::all_of (m + 1, m + size - 1, [] (uint8_t b) { return b < 0x80; });
}

FxChunk readFxChunk (const uint8_t* data, size_t length)
{
    if (data == nullptr || length == 0)
        return refused ("it is empty.");
    if (isOwnChunk (data, length))
        return ownChunk (data, length, 0);

    // A host's container: "CcnK", size, "FPCh" (one program) or "FBCh" (a bank), version,
    // plug-in id, plug-in version, program count, then a 28-byte program name (FPCh) or 128
    // reserved bytes (FBCh), the chunk's size and the chunk, all numbers big-endian.
    if (!startsWith (data, length, "CcnK", 4))
        return refused ("it is no preset file of this plug-in.");
    if (length < 12)
        return refused ("it is cut short.");
    const bool program = std::memcmp (data + 8, "FPCh", 4) == 0, bank = std::memcmp (data + 8, "FBCh", 4) == 0;
    if (!program && !bank)
        return refused ("it holds another plug-in's parameters, not this plug-in's presets.");
    const size_t sizeAt = program ? 56 : 156;
    if (length < sizeAt + 4)
        return refused ("it is cut short.");
    const auto chunkSize = (size_t)bigEndian32 (data + sizeAt);
    if (chunkSize > length - (sizeAt + 4))
        return refused ("it is cut short.");
    const auto* chunk = data + sizeAt + 4;
    if (!isOwnChunk (chunk, chunkSize))
        return refused ("it holds another plug-in's presets.");
    return ownChunk (chunk, chunkSize, sizeAt + 4);
}

Result scan (const uint8_t* data, size_t length)
{
    Result result;
    if (data == nullptr || length == 0)
        return result;

    const auto imageSize = (size_t)ravlin::sysex::imageSize;

    if (LibraryFile::hasStartMarker (data, length))
    {
        result.format = Format::library;
        const auto records = LibraryFile::readRecords (data, length, (size_t)LibraryFile::markerLength, false);
        for (size_t i = 0; i < records.size(); ++i)
            addImage (result, (size_t)LibraryFile::markerLength + i * imageSize, records[i].data());
        return result;
    }

    if (isOwnChunk (data, length) || startsWith (data, length, "CcnK", 4))
    {
        const auto fx = readFxChunk (data, length);
        result.format = fx.format;
        const auto headerSize = (size_t)(fx.format == Format::fxBank ? fxBankHeaderSize : fxPresetHeaderSize);
        const size_t presets = fx.format == Format::fxBank ? 99 : fx.format == Format::fxPreset ? 1 : 0;
        for (size_t n = 0; n < presets; ++n)
            addImage (result, fx.offset + headerSize + n * imageSize, fx.chunk.data() + headerSize + n * imageSize);
        return result;
    }

    scanSysEx (data, length, result);

    // Image bytes can look like stray SysEx; a bare 1024-byte file is still one image.
    if (result.programs.empty() && length == imageSize)
    {
        result.format = Format::rawImage;
        addImage (result, 0, data);
    }

    return result;
}

juce::String formatName (Format format)
{
    switch (format)
    {
        case Format::sysEx: return "SysEx";
        case Format::library: return "library";
        case Format::fxBank: return "FX bank";
        case Format::fxPreset: return "FX preset";
        case Format::rawImage: return "program image";
        case Format::none: break;
    }
    return "unknown";
}
} // namespace ProgramScan
