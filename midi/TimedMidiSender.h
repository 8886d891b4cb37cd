#pragma once

#include "midi/MidiDevices.h"

#include <atomic>
#include <vector>

/** Delivers time-stamped MIDI through an output on a thread of its own.

    schedule() and scheduleBlock() may be called from any thread, the audio thread
    among them: they neither lock nor allocate. Events wait in a fixed-size queue;
    when it is full, the event is dropped and counted, never waited for. */
class TimedMidiSender : private juce::Thread
{
public:
    static constexpr int capacity = 4096;
    static constexpr int maxMessageSize = 256;

    explicit TimedMidiSender (MidiOutputDevice& output);
    ~TimedMidiSender() override;

    void startSending();
    void stopSending();
    bool isSending() const { return isThreadRunning(); }

    /** Queues one message to go out at the given time (juce::Time::getMillisecondCounterHiRes). */
    bool schedule (const uint8_t* bytes, int size, double dueMilliseconds) noexcept;

    /** Queues a buffer whose positions count samples from startMilliseconds at the given rate. */
    void scheduleBlock (const juce::MidiBuffer& buffer, double startMilliseconds, double samplesPerSecond) noexcept;

    /** Sends at once every event already due. Only while the sender is stopped, so that a
        message queued before a long dump is not overtaken by it. */
    void deliverDueWhileStopped();

    /** Forgets every event not yet sent. Only while the sender is stopped. */
    void clearPending() noexcept;

    int getNumDropped() const noexcept { return dropped.load(); }
    int getNumSent() const noexcept { return sent.load(); }

    static double now() noexcept { return juce::Time::getMillisecondCounterHiRes(); }

private:
    struct Event
    {
        double due = 0;
        uint32_t order = 0;
        uint16_t size = 0;
        uint8_t bytes[maxMessageSize];
    };

    struct Cell
    {
        std::atomic<size_t> sequence{0};
        Event event;
    };

    bool push (const uint8_t* bytes, int size, double due) noexcept;
    bool pop (Event& into) noexcept;
    void run() override;
    void deliverDue();

    MidiOutputDevice& output;
    std::vector<Cell> cells;
    alignas (64) std::atomic<size_t> enqueuePosition{0};
    alignas (64) std::atomic<size_t> dequeuePosition{0};
    std::atomic<uint32_t> nextOrder{0};
    std::atomic<int> dropped{0}, sent{0};

    // Owned by the sender thread: events taken from the queue, earliest first.
    std::vector<Event> waiting;
    std::vector<int> heap;
    std::vector<int> freeSlots;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TimedMidiSender)
};
