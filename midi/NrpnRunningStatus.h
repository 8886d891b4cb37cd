#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

/** What the instrument's NRPN receiver holds, as the bytes that went onto the wire left it: per
    channel, the parameter number (controllers 99 and 98) and the value's high byte (controller 6).

    An NRPN reaches the sender as one event of four controllers (99, 98, 6, 38 on one channel).
    When the receiver already holds its number, 99 and 98 are left out, and 6 too when the high
    byte is also the same; 38, which applies the value, always goes. Judged at the moment of
    sending, in wire order, so an NRPN from another path in between is always taken into account.
    Owned by the sending thread alone. */
class NrpnRunningStatus
{
public:
    static constexpr int nrpnEventSize = 12;

    NrpnRunningStatus() { forget(); }

    /** True for an event that is one whole NRPN. */
    static bool isNrpn (const uint8_t* bytes, int size) noexcept;

    /** The messages of an NRPN event that must go out, three bytes each, into out (12 bytes of
        room); returns the number of bytes written. The receiver is taken to hold them afterwards. */
    int compress (const uint8_t* nrpn, uint8_t* out) noexcept;

    /** Any other message that went out: what it changes in the receiver. */
    void observe (const uint8_t* bytes, int size) noexcept;

    /** Nothing is known about the receiver any more: the next NRPN goes out whole. */
    void forget() noexcept;

private:
    static constexpr int16_t unknown = -1;
    struct Held
    {
        int16_t numberHigh, numberLow, valueHigh;
    };
    void forgetChannel (int channel) noexcept { held[(std::size_t)channel] = {unknown, unknown, unknown}; }

    std::array<Held, 16> held{};
};
