#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

/** One parameter's message to the instrument, packed so that it is written and read at once:
    an NRPN (number and value, 14 bits each) or a controller (number and 7-bit value). */
struct ParameterMessage
{
    enum Kind : uint8_t
    {
        nrpn = 1,
        controller = 2
    };

    static uint64_t makeNrpn (int channel, int number, int value) noexcept
    {
        return pack (nrpn, channel, number & 0x3FFF, value & 0x3FFF);
    }
    static uint64_t makeController (int channel, int controller, int value) noexcept
    {
        return pack (ParameterMessage::controller, channel, controller & 0x7F, value & 0x7F);
    }

    /** The bytes of a packed message into out (12 bytes of room): an NRPN as its four controllers
        99, 98, 6 and 38, a controller as itself; returns the size. */
    static int bytesOf (uint64_t packed, uint8_t* out) noexcept;
    /** What the message takes on the wire at most. */
    static int sizeOf (uint64_t packed) noexcept { return (packed >> 56) == nrpn ? 12 : 3; }

private:
    static uint64_t pack (Kind kind, int channel, int number, int value) noexcept
    {
        return ((uint64_t)kind << 56) | ((uint64_t)((channel - 1) & 0x0F) << 48) | ((uint64_t)number << 16) |
               (uint64_t)value;
    }
};

/** The newest value of every parameter still to go to the instrument, in the order the parameters
    first changed.

    While a parameter waits, a newer value replaces the waiting one instead of queueing behind it,
    so however fast values come, nothing is ever dropped and the last value always goes. set() may
    be called from any number of threads, the audio thread among them: it neither locks nor
    allocates. take() belongs to one thread, the sender's.

    Each parameter has a fixed slot; a parameter enters the line of dirty parameters only on its
    change from clean to dirty, so the line holds each parameter at most once and cannot fill. */
class PendingParameters
{
public:
    /** The 1024 bytes of the program image, then three sliders. */
    static constexpr int numKeys = 1024 + 3;

    struct Taken
    {
        int key = -1;
        uint64_t message = 0;
    };

    PendingParameters();

    /** The parameter's newest message; it goes no earlier than dueMilliseconds, which counts from
        its first change while it waits. Out-of-range keys are ignored. */
    void set (int key, uint64_t message, double dueMilliseconds) noexcept;

    /** When the parameter waits, its newest message becomes this one; otherwise nothing happens.
        For a value sent another way at once: what still waits must not land after it. */
    void replaceIfWaiting (int key, uint64_t message) noexcept;

    /** The parameter that changed first of those waiting, with its newest message, when its time
        has come. Sender thread only. */
    bool take (double nowMilliseconds, Taken& taken) noexcept;

    /** When the first waiting parameter is due; a huge number when none is (or one is still being
        written). Sender thread only. */
    double nextDue() const noexcept;

    int numWaiting() const noexcept { return waitingCount.load (std::memory_order_acquire); }
    /** What the waiting messages take on the wire at most. */
    int bytesWaiting() const noexcept { return waitingBytes.load (std::memory_order_acquire); }

    /** Forgets everything waiting. Only while nobody sets or takes. */
    void clear() noexcept;

private:
    static constexpr size_t lineSize = 2048; // a power of two above numKeys

    struct Slot
    {
        std::atomic<uint64_t> message{0};
        std::atomic<bool> dirty{false};
        std::atomic<double> due{0};
    };
    struct Cell
    {
        std::atomic<size_t> sequence{0};
        std::atomic<int> key{-1};
    };

    void push (int key) noexcept;

    std::array<Slot, numKeys> slots;
    std::array<Cell, lineSize> line;
    alignas (64) std::atomic<size_t> enqueuePosition{0};
    alignas (64) std::atomic<size_t> dequeuePosition{0};
    std::atomic<int> waitingCount{0}, waitingBytes{0};
};
