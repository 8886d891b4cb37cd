#pragma once

#include <cstdint>

/** The 32-bit codes the hub posts to its listeners. A channel message's code carries its status
    byte in the top 8 bits: the kind in the high nibble, the channel (1..16) as 0..15 in the low
    one, so that channel 16 stays within its kind. */
namespace HubEvent
{
constexpr uint32_t channelMessage (int kind, int channel, int data)
{
    return ((uint32_t)(kind | ((channel - 1) & 0x0F)) << 20) + (uint32_t)data;
}
constexpr uint32_t noteOff (int channel, int note)
{
    return channelMessage (0x80, channel, note);
}
constexpr uint32_t noteOn (int channel, int note, int velocity)
{
    return channelMessage (0x90, channel, note * 128 + velocity);
}
constexpr uint32_t controller (int channel, int number, int value)
{
    return channelMessage (0xB0, channel, number * 128 + value);
}
constexpr uint32_t pitchBend (int channel, int value)
{
    return channelMessage (0xE0, channel, value);
}
/** The channel (1..16) of a channel message's code. */
constexpr int channelOf (uint32_t code)
{
    return (int)((code >> 20) & 0x0F) + 1;
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
constexpr uint32_t transmitReport = 0x1C000000u;    // a transmit or WRITE read back, or cut short
constexpr uint32_t modelChanged = 0x1D000000u;      // an identity reply named the model on the ports
constexpr uint32_t globalsUnreadable = 0x1E000000u; // a reply to the global request that was no global dump

/** The kind of a code: its top 12 bits with the channel nibble cleared (0x090, 0x100, ...). */
constexpr uint32_t kindOf (uint32_t code)
{
    const auto top = code >> 20;
    return top < 0x100 ? (top & 0xF0) : top;
}
} // namespace HubEvent
