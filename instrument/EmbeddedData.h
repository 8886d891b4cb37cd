#pragma once

#include <cstddef>

namespace ravlin::embedded
{

constexpr size_t defaultProgramDumpSize = 1178;
constexpr size_t factoryTagSize = 13;
constexpr size_t factoryBankSize = 99 * 1024;
constexpr size_t factoryBlockSize = 405876;

/** "Basic Program" as a program dump (third byte 0x29, bank and program 0). */
extern const unsigned char defaultProgramDump[defaultProgramDumpSize];

/** "Proph12 Data>", then four banks of 99 unpacked images, then unused bytes. */
extern const unsigned char factoryBlock[factoryBlockSize];

} // namespace ravlin::embedded
