#pragma once

#include <cstdint>

/** The 32-bit codes the hub posts to its listeners. */
namespace HubEvent
{
constexpr uint32_t noteOff (int channel, int note)
{
    return (uint32_t)((0x80 + channel) << 20) + (uint32_t)note;
}
constexpr uint32_t noteOn (int channel, int note, int velocity)
{
    return (uint32_t)((0x90 + channel) << 20) + (uint32_t)(note * 128 + velocity);
}
constexpr uint32_t controller (int channel, int number, int value)
{
    return (uint32_t)((0xB0 + channel) << 20) + (uint32_t)(number * 128 + value);
}
constexpr uint32_t pitchBend (int channel, int value)
{
    return (uint32_t)((0xE0 + channel) << 20) + (uint32_t)value;
}
constexpr uint32_t parameter (int index, int value)
{
    return 0x10000000u + (uint32_t)(index * 256 + value);
}
constexpr uint32_t bankProgress (int bank, int program)
{
    return 0x17000000u + (uint32_t)(bank * 256 + program);
}

constexpr uint32_t programLoaded = 0x11000000u;
constexpr uint32_t online = 0x12000000u;
constexpr uint32_t offline = 0x13000000u;
constexpr uint32_t bankDone = 0x16000000u;
constexpr uint32_t bankChanged = 0x19000000u;
constexpr uint32_t sliders = 0x1A000000u;
constexpr uint32_t latch1 = 0x1B000000u;
constexpr uint32_t latch2 = 0x1B100000u;

/** The kind of a code: its top 12 bits with the channel nibble cleared (0x090, 0x100, ...). */
constexpr uint32_t kindOf (uint32_t code)
{
    const auto top = code >> 20;
    return top < 0x100 ? (top & 0xF0) : top;
}
} // namespace HubEvent
