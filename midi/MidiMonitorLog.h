#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

/** What the plug-in and the instrument say to each other, for the MIDI monitor: a ring of
    entries that several threads write (the sender thread as bytes go onto the wire, the MIDI
    input thread as they come in, any other thread that records a message) and one reader, the
    monitor panel's timer, takes.

    Writers never wait and never allocate. While the log is off (no monitor open) a write costs
    one atomic load. When the ring is full the newest entry is dropped and counted; the reader
    says how many it never saw. */
class MidiMonitorLog
{
public:
    static constexpr int capacity = 4096; // a power of two
    /** Bytes kept from the start of each message: any short message whole, a SysEx's header. */
    static constexpr int headSize = 40;
    /** Bytes kept of a program or edit-buffer dump's packed data: the groups holding its name. */
    static constexpr int nameWindowSize = 32;
    static constexpr int nameWindowFirstGroup = 57; // image byte 402 lies in group 402 / 7

    enum class Direction : uint8_t
    {
        in,
        out
    };

    struct Entry
    {
        double timeMs = 0; // juce::Time::getMillisecondCounterHiRes()
        uint32_t size = 0; // the whole message, however many bytes were kept
        Direction direction = Direction::out;
        uint8_t headLength = 0;
        bool ended = true;      // a SysEx reached its F7
        bool hasWindow = false; // nameWindow holds a dump's name groups
        uint8_t head[headSize]{};
        uint8_t nameWindow[nameWindowSize]{};
    };

    MidiMonitorLog();

    /** The monitor is on while a panel shows it; off, writes return at once. */
    void setEnabled (bool shouldRecord) noexcept { enabled.store (shouldRecord, std::memory_order_release); }
    bool isEnabled() const noexcept { return enabled.load (std::memory_order_acquire); }

    /** Any thread: one entry. False when the log is off or the ring is full (then counted). */
    bool write (const Entry& entry) noexcept;
    /** Any thread: one whole message (or several short ones in a row), as it is. */
    bool record (Direction direction, const uint8_t* bytes, int size, double timeMs) noexcept;

    /** The reader only: the oldest entry not yet read. */
    bool read (Entry& into) noexcept;
    /** The reader only: entries dropped since the last call because the ring was full. */
    uint32_t takeLost() noexcept { return lost.exchange (0, std::memory_order_relaxed); }

    /** Fills an entry from the start of a message: what a SysEx's later pieces add goes
        through append(). */
    static void begin (Entry& entry, Direction direction, double timeMs) noexcept;
    static void append (Entry& entry, const uint8_t* bytes, int size) noexcept;

    /** One writer's way of recording what it hands over in pieces, as the sender hands a long
        SysEx to the port: the pieces become one entry. Used by one thread at a time. */
    class Writer
    {
    public:
        Writer (MidiMonitorLog& target, Direction side) : log (target), direction (side) {}
        void write (const uint8_t* bytes, int size, double timeMs) noexcept;

    private:
        MidiMonitorLog& log;
        const Direction direction;
        Entry pending;
        bool inSysEx = false;
    };

private:
    struct Cell
    {
        std::atomic<size_t> sequence{0};
        Entry entry;
    };

    std::vector<Cell> cells;
    std::atomic<bool> enabled{false};
    alignas (64) std::atomic<size_t> enqueuePosition{0};
    alignas (64) size_t dequeuePosition = 0;
    std::atomic<uint32_t> lost{0};
};
