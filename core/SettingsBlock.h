#pragma once

#include <array>
#include <cstdint>

/** The plug-in's 400 settings bytes as a fresh installation has them. */
namespace SettingsBlock
{
constexpr int size = 400;
constexpr int pendingValue0 = 0, pendingValue1 = 1;
constexpr int thruHostToPort = 4, midiChannel = 6, clockOn = 7, thruPortToHost = 10, programChangeWithAutomation = 11;
// Two bytes the original layout leaves unused and every older file holds as 0, which reads as the
// safe choice: 5, the link to the instrument (0 DIN MIDI, 1 USB); 8, reading back every program
// written to the instrument (1 = on).
constexpr int linkSpeed = 5, verifyAfterWriting = 8;
// Byte 9, the model of the instrument (0 "Detect", 1 module, 2 keyboard): the original layout
// leaves it unused next to 8, and every older file holds 0 there, which reads as the default.
constexpr int instrumentModel = 9;
constexpr int latencyMarker = 68, latencyValues = 172, latencyMode = 196, seventhLatency = 200;
constexpr int32_t latencyMarkerValue = 333;

inline int32_t read32 (const uint8_t* block, int at)
{
    return (int32_t)(((uint32_t)block[at] << 24) | ((uint32_t)block[at + 1] << 16) | ((uint32_t)block[at + 2] << 8) |
                     (uint32_t)block[at + 3]);
}

inline void write32 (uint8_t* block, int at, int32_t value)
{
    for (int i = 0; i < 4; ++i)
        block[at + i] = (uint8_t)((uint32_t)value >> (24 - 8 * i));
}

/** A block as read from a file, made usable: a channel outside 1..16 becomes 1, and a block
    without the latency marker gets the marker, delays of 0 and mode 402. The next save writes
    what this changed, and so does every save that merges with a file still lacking it. */
inline void settle (std::array<uint8_t, size>& block)
{
    if (block[midiChannel] < 1 || block[midiChannel] > 16)
        block[midiChannel] = 1;
    if (read32 (block.data(), latencyMarker) != latencyMarkerValue)
    {
        write32 (block.data(), latencyMarker, latencyMarkerValue);
        for (int i = 0; i < 6; ++i)
            write32 (block.data(), latencyValues + 4 * i, 0);
        write32 (block.data(), latencyMode, 402);
        write32 (block.data(), seventhLatency, 0);
    }
}

inline std::array<uint8_t, size> defaults()
{
    std::array<uint8_t, size> block{};
    block[0] = 255, block[1] = 255, block[2] = 255, block[3] = 100;
    write32 (block.data(), latencyMode, 402);
    return block;
}
} // namespace SettingsBlock
