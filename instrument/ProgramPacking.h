#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ravlin
{

using Bytes = std::vector<uint8_t>;

/** Sizes and bytes of the instrument's program SysEx messages. */
namespace sysex
{
constexpr int imageSize = 1024;
constexpr int packedSize = 1171;
constexpr int programDumpSize = 1178;
constexpr int editBufferDumpSize = 1176;
constexpr int programDumpDataOffset = 6;
constexpr int editBufferDumpDataOffset = 4;

constexpr uint8_t start = 0xF0;
constexpr uint8_t end = 0xF7;
constexpr uint8_t manufacturer = 0x01;
constexpr uint8_t deviceModule = 0x2B;
constexpr uint8_t deviceKeyboard = 0x2A;

constexpr uint8_t cmdProgramDump = 0x02;
constexpr uint8_t cmdEditBufferDump = 0x03;
constexpr uint8_t cmdRequestProgram = 0x05;
constexpr uint8_t cmdRequestEditBuffer = 0x06;
constexpr uint8_t cmdRequestGlobals = 0x0E;
constexpr uint8_t cmdGlobalDump = 0x0F;
} // namespace sysex

/** 7-in-8 packing of a 1024-byte image into 1171 bytes. */
void packImage (const uint8_t* image1024, uint8_t* packed1171) noexcept;

/** Unpacks whatever packed bytes there are (missing ones read as 0) into a
    zero-filled 1024-byte image; positions beyond 1024 are dropped. */
void unpackImage (const uint8_t* packed, size_t packedLength, uint8_t* image1024) noexcept;

/** Every message carries the device byte of the model it is meant for (sysex::deviceModule or
    sysex::deviceKeyboard): the instrument ignores messages with the other model's byte.
    Image bytes beyond the given length read as 0. */
Bytes packEditBufferDump (const uint8_t* image, size_t imageLength, uint8_t device = sysex::deviceModule);
Bytes packEditBufferDump (const Bytes& image, uint8_t device = sysex::deviceModule);
Bytes packProgramDump (const Bytes& image, int bank, int program, uint8_t device = sysex::deviceModule);

Bytes requestProgramDump (int bank, int program, uint8_t device = sysex::deviceModule);
Bytes requestEditBufferDump (uint8_t device = sysex::deviceModule);
Bytes requestGlobalParameters (uint8_t device = sysex::deviceModule);

/** F0 01, then either model's device byte: a message of this instrument, whatever it says. */
bool isOwnMessage (const uint8_t* message, size_t size) noexcept;

struct ProgramDumps
{
    Bytes joined; // count x 1178 bytes
    int count = 0;
};

/** Finds every 1178-byte program dump: an F0 whose F7 lies exactly 1177 bytes on. */
ProgramDumps splitProgramDumps (const uint8_t* data, size_t length);
ProgramDumps splitProgramDumps (const Bytes& data);

} // namespace ravlin
