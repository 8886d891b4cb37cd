#include "midi/NrpnRunningStatus.h"

bool NrpnRunningStatus::isNrpn (const uint8_t* b, int size) noexcept
{
    if (size != nrpnEventSize || (b[0] & 0xF0) != 0xB0)
        return false;
    const uint8_t controllers[4] = {99, 98, 6, 38};
    for (int i = 0; i < 4; ++i)
        if (b[3 * i] != b[0] || b[3 * i + 1] != controllers[i] || b[3 * i + 2] > 0x7F)
            return false;
    return true;
}

int NrpnRunningStatus::compress (const uint8_t* nrpn, uint8_t* out) noexcept
{
    auto& h = held[(std::size_t) (nrpn[0] & 0x0F)];
    const int16_t numberHigh = nrpn[2], numberLow = nrpn[5], valueHigh = nrpn[8];

    // A new number goes out whole: the receiver may treat the value bytes as belonging to it.
    const bool sameNumber = h.numberHigh == numberHigh && h.numberLow == numberLow;
    const int first = !sameNumber ? 0 : h.valueHigh == valueHigh ? 3 : 2;
    int size = 0;
    for (int i = first; i < 4; ++i)
        for (int k = 0; k < 3; ++k)
            out[size++] = nrpn[3 * i + k];

    h = {numberHigh, numberLow, valueHigh};
    return size;
}

void NrpnRunningStatus::observe (const uint8_t* b, int size) noexcept
{
    if (size <= 0 || b[0] < 0x80 || b[0] >= 0xF8)
        return; // the rest of a SysEx, or a real-time byte: the receiver's registers stay

    const auto kind = b[0] & 0xF0;
    const int channel = b[0] & 0x0F;
    if (b[0] >= 0xF0)
    {
        forget(); // a SysEx (a whole program, perhaps) or system message: assume nothing
    }
    else if (kind == 0xC0)
    {
        forgetChannel (channel); // another program
    }
    else if (kind == 0xB0 && size >= 3)
    {
        auto& h = held[(std::size_t)channel];
        switch (b[1])
        {
            case 99: h.numberHigh = b[2]; break;
            case 98: h.numberLow = b[2]; break;
            case 6: h.valueHigh = b[2]; break;
            case 100:
            case 101: forgetChannel (channel); break; // data entry now means a registered parameter
            default: break;
        }
    }
}

void NrpnRunningStatus::forget() noexcept
{
    for (int c = 0; c < 16; ++c)
        forgetChannel (c);
}
