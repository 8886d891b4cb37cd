#pragma once

#include "midi/MidiDevices.h"
#include "midi/NrpnRunningStatus.h"

#include <atomic>
#include <vector>

/** Delivers time-stamped MIDI through an output on a thread of its own.

    schedule() and scheduleBlock() may be called from any thread, the audio thread
    among them: they neither lock nor allocate. Events wait in a fixed-size queue of
    256-byte cells; a longer message (a program dump) takes as many cells as it needs,
    claimed at once, so that it goes out whole and in place. When the queue is full,
    the event is dropped and counted, never waited for.

    Events go out in order of their due time, equal times in the order they were queued.
    An NRPN queued as one event of four controllers goes out without the controllers the
    instrument's receiver already holds (see NrpnRunningStatus). */
class TimedMidiSender : private juce::Thread
{
public:
    static constexpr int capacity = 4096;
    static constexpr int cellSize = 256;
    /** The longest message taken: half the queue. */
    static constexpr int maxMessageSize = capacity / 2 * cellSize;

    explicit TimedMidiSender (MidiOutputDevice& output);
    ~TimedMidiSender() override;

    void startSending();
    void stopSending();
    bool isSending() const { return isThreadRunning(); }

    /** Queues one message to go out at the given time (juce::Time::getMillisecondCounterHiRes). */
    bool schedule (const uint8_t* bytes, int size, double dueMilliseconds) noexcept;

    /** Queues a buffer whose positions count samples from startMilliseconds at the given rate. */
    void scheduleBlock (const juce::MidiBuffer& buffer, double startMilliseconds, double samplesPerSecond) noexcept;

    /** Forgets every event not yet sent. Only while the sender is stopped. */
    void clearPending() noexcept;

    /** From any thread: the instrument's NRPN receiver may hold anything now (the instrument
        changed something itself, another program was loaded, a port was opened). */
    void forgetNrpnState() noexcept { forgetRequests.fetch_add (1, std::memory_order_release); }

    int getNumDropped() const noexcept { return dropped.load(); }
    /** Messages delivered to the output (a long message counts once). */
    int getNumSent() const noexcept { return sent.load(); }

    static double now() noexcept { return juce::Time::getMillisecondCounterHiRes(); }

private:
    struct Event
    {
        double due = 0;
        uint32_t order = 0;
        uint16_t size = 0;
        uint16_t cells = 1; // on a message's first cell, its number of cells; 0 on the others
        int next = -1;      // waiting: the slot of the message's next cell
        uint8_t bytes[cellSize];
    };

    struct Cell
    {
        std::atomic<size_t> sequence{0};
        Event event;
    };

    bool push (const uint8_t* bytes, int size, double due) noexcept;
    bool pop (Event& into) noexcept;
    size_t cellsOfNextMessage() const noexcept;
    void takeQueued();
    bool isLater (int a, int b) const noexcept;
    void run() override;
    void deliverDue();
    void deliver (const Event& event);

    MidiOutputDevice& output;
    std::vector<Cell> cells;
    alignas (64) std::atomic<size_t> enqueuePosition{0};
    alignas (64) std::atomic<size_t> dequeuePosition{0};
    std::atomic<int> dropped{0}, sent{0};
    std::atomic<uint32_t> forgetRequests{0};

    // Owned by the sender thread: events taken from the queue, earliest first, and what the
    // instrument's NRPN receiver holds after what went out.
    std::vector<Event> waiting;
    std::vector<int> heap;
    std::vector<int> freeSlots;
    NrpnRunningStatus nrpnStatus;
    uint32_t forgetsSeen = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TimedMidiSender)
};
