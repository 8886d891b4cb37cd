#pragma once

#include <cstdint>

/** Small tests on raw MIDI bytes shared by the hub's input and its host routing. Ports and hosts
    may hand over short or malformed messages: none looks at a byte that is not there. */
namespace hubmidi
{
inline bool isNrpnController (int controller) noexcept
{
    return controller == 6 || controller == 38 || controller == 98 || controller == 99;
}

inline bool isNoteOn (const uint8_t* data, int size) noexcept
{
    return size >= 3 && (data[0] & 0xF0) == 0x90 && data[2] > 0;
}

inline bool isNoteOff (const uint8_t* data, int size) noexcept
{
    return size >= 3 && ((data[0] & 0xF0) == 0x80 || ((data[0] & 0xF0) == 0x90 && data[2] == 0));
}
} // namespace hubmidi
