#include "instrument/ProgramPacking.h"

#include <algorithm>
#include <cstring>

namespace ravlin
{

void packImage (const uint8_t* image, uint8_t* packed) noexcept
{
    int out = 0;
    for (int group = 0; group < sysex::imageSize; group += 7)
    {
        const int count = std::min (7, sysex::imageSize - group);
        uint8_t header = 0;
        for (int k = 0; k < count; ++k)
            header = (uint8_t)(header | ((image[group + k] >> 7) << k));

        packed[out++] = header;
        for (int k = 0; k < count; ++k)
            packed[out++] = (uint8_t)(image[group + k] & 0x7F);
    }
}

void unpackImage (const uint8_t* packed, size_t packedLength, uint8_t* image) noexcept
{
    // Missing bytes of a short input read as 0.
    uint8_t data[8 * 147] = {};
    if (packed != nullptr)
        std::memcpy (data, packed, std::min (packedLength, (size_t)sysex::packedSize));

    for (int step = 0; step < 147; ++step)
    {
        const auto* group = data + 8 * step;
        const int count = std::min (7, sysex::imageSize - 7 * step);
        for (int k = 0; k < count; ++k)
            image[7 * step + k] = (uint8_t)((group[1 + k] & 0x7F) | (((group[0] >> k) & 1) << 7));
    }
}

namespace
{
void packPadded (const uint8_t* image, size_t imageLength, uint8_t* packed)
{
    uint8_t full[sysex::imageSize] = {};
    std::memcpy (full, image, std::min (imageLength, (size_t)sysex::imageSize));
    packImage (full, packed);
}
} // namespace

Bytes packEditBufferDump (const uint8_t* image, size_t imageLength, uint8_t device)
{
    Bytes dump ((size_t)sysex::editBufferDumpSize);
    dump[0] = sysex::start;
    dump[1] = sysex::manufacturer;
    dump[2] = device;
    dump[3] = sysex::cmdEditBufferDump;
    packPadded (image, imageLength, dump.data() + sysex::editBufferDumpDataOffset);
    dump.back() = sysex::end;
    return dump;
}

Bytes packEditBufferDump (const Bytes& image, uint8_t device)
{
    return packEditBufferDump (image.data(), image.size(), device);
}

Bytes packProgramDump (const Bytes& image, int bank, int program, uint8_t device)
{
    Bytes dump ((size_t)sysex::programDumpSize);
    dump[0] = sysex::start;
    dump[1] = sysex::manufacturer;
    dump[2] = device;
    dump[3] = sysex::cmdProgramDump;
    dump[4] = (uint8_t)(bank & 0x7F);
    dump[5] = (uint8_t)(program & 0x7F);
    packPadded (image.data(), image.size(), dump.data() + sysex::programDumpDataOffset);
    dump.back() = sysex::end;
    return dump;
}

Bytes requestProgramDump (int bank, int program, uint8_t device)
{
    return {sysex::start,           sysex::manufacturer,       device,    sysex::cmdRequestProgram,
            (uint8_t)(bank & 0x7F), (uint8_t)(program & 0x7F), sysex::end};
}

Bytes requestEditBufferDump (uint8_t device)
{
    return {sysex::start, sysex::manufacturer, device, sysex::cmdRequestEditBuffer, sysex::end};
}

Bytes requestGlobalParameters (uint8_t device)
{
    return {sysex::start, sysex::manufacturer, device, sysex::cmdRequestGlobals, sysex::end};
}

bool isOwnMessage (const uint8_t* m, size_t size) noexcept
{
    return size >= 4 && m[0] == sysex::start && m[1] == sysex::manufacturer &&
           (m[2] == sysex::deviceModule || m[2] == sysex::deviceKeyboard);
}

ProgramDumps splitProgramDumps (const uint8_t* data, size_t length)
{
    ProgramDumps result;
    const size_t size = (size_t)sysex::programDumpSize;

    for (size_t i = 0; i + size <= length;)
    {
        if (data[i] == sysex::start && data[i + size - 1] == sysex::end)
        {
            result.joined.insert (result.joined.end(), data + i, data + i + size);
            ++result.count;
            i += size;
        }
        else
        {
            ++i;
        }
    }

    return result;
}

ProgramDumps splitProgramDumps (const Bytes& data)
{
    return splitProgramDumps (data.data(), data.size());
}

} // namespace ravlin
