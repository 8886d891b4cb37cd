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
        const auto* message = data + i;
        const bool ours = size > 4 && message[1] == sysex::manufacturer;

        if (ours && size == (size_t)sysex::programDumpSize && message[3] == sysex::cmdProgramDump)
        {
            Found found;
            found.offset = i;
            found.bank = message[4];
            found.program = message[5];
            found.image.resize ((size_t)sysex::imageSize);
            unpackImage (message + sysex::programDumpDataOffset, (size_t)sysex::packedSize, found.image.data());
            result.programs.push_back (std::move (found));
        }
        else if (ours && size == (size_t)sysex::editBufferDumpSize && message[3] == sysex::cmdEditBufferDump)
        {
            Found found;
            found.offset = i;
            found.image.resize ((size_t)sysex::imageSize);
            unpackImage (message + sysex::editBufferDumpDataOffset, (size_t)sysex::packedSize, found.image.data());
            result.programs.push_back (std::move (found));
        }
        else
        {
            ++result.skippedMessages;
        }

        i = endAt + 1;
    }

    if (!result.programs.empty())
        result.format = Format::sysEx;
}
} // namespace

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

    if (startsWith (data, length, fxBankHeader, (size_t)fxBankHeaderSize))
    {
        result.format = Format::fxBank;
        for (size_t n = 0; n < 99; ++n)
        {
            const auto offset = (size_t)fxBankHeaderSize + n * imageSize;
            if (offset + imageSize > length)
                break;
            addImage (result, offset, data + offset);
        }
        return result;
    }

    if (startsWith (data, length, fxPresetHeader, (size_t)fxPresetHeaderSize))
    {
        result.format = Format::fxPreset;
        if (length >= (size_t)fxPresetHeaderSize + imageSize)
            addImage (result, (size_t)fxPresetHeaderSize, data + fxPresetHeaderSize);
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
