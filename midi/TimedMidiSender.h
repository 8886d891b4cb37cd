#pragma once

#include "midi/LinkPacer.h"
#include "midi/MidiDevices.h"
#include "midi/NrpnRunningStatus.h"
#include "midi/PendingParameters.h"

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
    instrument's receiver already holds (see NrpnRunningStatus).

    Parameters the host automates take another way (offerParameter): a newer value replaces one
    still waiting, and they are handed to the port only while the link to the instrument is free,
    one controller at a time, after whatever timed event is due. So a flood of automation never
    delays a note or a clock tick by more than one controller on the wire, and the instrument
    always ends on the last value. */
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

    /** From any thread, without locking or allocating: the parameter's newest message (see
        PendingParameters), to go no earlier than dueMilliseconds and only as the link allows. */
    void offerParameter (int key, uint64_t message, double dueMilliseconds) noexcept
    {
        parameters.set (key, message, dueMilliseconds);
    }

    /** A parameter's message sent now by another way (schedule): if an older value of it still
        waits for the link, the waiting one becomes this, so the older never lands after it. */
    void replaceWaitingParameter (int key, uint64_t message) noexcept { parameters.replaceIfWaiting (key, message); }

    /** The link's speed as the user set it up, for an output that does not know its own. */
    void setLinkMillisecondsPerByte (double ms) noexcept { linkMillisecondsPerByte.store (ms); }

    /** How long the link needs for the parameters still waiting and what it holds, in ms. */
    double getBacklogMilliseconds() const noexcept { return backlogMs.load (std::memory_order_relaxed); }
    /** For how long parameters have waited for the link without a break (0: they do not). */
    double getFullForMilliseconds (double nowMilliseconds) const noexcept
    {
        const auto since = fullSince.load (std::memory_order_relaxed);
        return since < 0 ? 0.0 : std::max (0.0, nowMilliseconds - since);
    }

    /** Forgets every event and parameter not yet sent. Only while the sender is stopped. */
    void clearPending() noexcept;

    /** What the sending thread does at the given moment, for a sender that is not running: a test
        or a benchmark runs simulated time through it. */
    void deliverDueAt (double nowMilliseconds)
    {
        onOwnClock = false;
        deliverDue (nowMilliseconds);
    }

    /** From any thread: when the link will have carried everything handed to the port so far
        (the clock of now()), counted from when the port took each message. */
    double getWireFreeAt() const noexcept { return wireFreeAt.load (std::memory_order_acquire); }

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
    void deliverDue (double time);
    void deliver (const Event& event, double time);
    void startParameter (const PendingParameters::Taken& taken);
    static bool mayGoBetweenControllers (const Event& event) noexcept;
    void checkForgetRequests() noexcept;
    double nextParameterTime() const noexcept;
    double handedOverAt (double roundTime) const noexcept;

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

    // Parameters: the newest value of each, the link's account, and the controllers of the one
    // going out now (sender thread).
    PendingParameters parameters;
    LinkPacer pacer;
    uint8_t current[NrpnRunningStatus::nrpnEventSize]{};
    int currentSize = 0, currentSent = 0;
    std::atomic<double> linkMillisecondsPerByte{0}, backlogMs{0}, fullSince{-1}, wireFreeAt{0};
    // Running on its own thread: a message counts as handed over when the port has returned
    // (a busy machine may have kept the thread or the driver since the round began). Under
    // deliverDueAt() the simulated moment stands for every message of the round.
    bool onOwnClock = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TimedMidiSender)
};
