#pragma once

#include "instrument/ProgramPacking.h"

#include <array>
#include <optional>

namespace ravlin
{

/** The instrument's global parameter dump: F0 01 dev 0F, then 25 globals as 50 nibbles, each
    global's low nibble before its high one, then F7. */
namespace globalDump
{
constexpr int numGlobals = 25;
constexpr int payloadSize = 2 * numGlobals;
constexpr int messageSize = 4 + payloadSize + 1;

using Globals = std::array<uint8_t, numGlobals>;

Bytes encode (const Globals& globals, uint8_t device);
/** The globals of a whole, well-formed dump of either model; nothing for anything else. */
std::optional<Globals> decode (const uint8_t* message, size_t size) noexcept;
} // namespace globalDump

} // namespace ravlin
