#pragma once

#include "instrument/ProgramPacking.h"

#include <juce_core/juce_core.h>

#include <functional>
#include <mutex>

class MidiCntrState;

/** Sends program dumps to the instrument on a thread of its own, and reads them back if asked.

    The instrument acknowledges nothing, and a system MIDI output returns long before the bytes
    are on the wire, so the transmitter paces itself: each dump is handed over only once the one
    before has crossed the wire at the link's speed and the instrument has had gapAfterDumpMs to
    write its memory. */
class BankTransmitter : private juce::Thread
{
public:
    static constexpr int gapAfterDumpMs = 20;
    /** How long a read-back waits for the instrument's answer beyond its wire time. */
    static constexpr int readBackTimeoutMs = 3000;

    struct Item
    {
        int bank = 0, program = 0;
        ravlin::Bytes image;
    };

    /** How a transmission ended: programs handed to the port, and when they were read back, the
        slots compared, those that came back different and whether the instrument answered
        every request. */
    struct Report
    {
        int total = 0, sent = 0, checked = 0;
        std::vector<std::pair<int, int>> differing; // bank, program
        bool readBack = false, answered = true;
    };

    explicit BankTransmitter (MidiCntrState& hub);
    ~BankTransmitter() override;

    /** Starts sending; false while another transmission runs. With progress, each dump sent (and
        each read back) posts its progress event and the end posts "bank changed" and "bank done".
        With readBack, every program is requested again afterwards and compared. A read-back, or
        programs the port would not take, end with a Report posted as HubEvent::transmitReport. */
    bool start (std::vector<Item> items, bool reportProgress, bool readBack);
    /** Stops after the dump in flight; posts nothing more. Waits for the thread. */
    void cancel();
    bool isTransmitting() const { return isThreadRunning(); }
    int getNumSent() const noexcept { return sentCount.load(); }

    /** A program dump from the instrument (MIDI input thread): true when it answers the
        read-back's request, which then takes it, or a request a cancel cut short. */
    bool takeReadBackReply (int bank, int program, const ravlin::Bytes& image);

    /** The milliseconds a dump of this many bytes spends on the wire at the link's speed. */
    static double wireMilliseconds (int bytes, double millisecondsPerByte) noexcept
    {
        return bytes * millisecondsPerByte;
    }

private:
    void run() override;
    void send (const std::vector<Item>& items, bool report, Report& result);
    void readBack (const std::vector<Item>& items, bool report, Report& result);
    /** Hands a message to the port, waiting a little while its queue is full; false when the
        port does not take it. */
    bool handOver (const ravlin::Bytes& message);
    void waitUntil (double time);
    double whenSenderHasHandedOver (double wireFreeAtTheEarliest);

    MidiCntrState& hub;
    std::mutex jobLock;
    std::vector<Item> job;
    bool progress = false, verify = false;
    std::atomic<int> sentCount{0};
    double nextDumpAllowedAt = 0;

    // The read-back's request waiting for its answer (bank x 128 + program, or -1) and the answer.
    std::mutex replyLock;
    int awaited = -1, cancelledRequest = -1;
    double cancelledUntil = 0;
    ravlin::Bytes reply;
    juce::WaitableEvent replyArrived;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BankTransmitter)
};
