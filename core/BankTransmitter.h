#pragma once

#include "instrument/ProgramPacking.h"

#include <juce_core/juce_core.h>

#include <functional>
#include <mutex>

class MidiCntrState;

/** Sends program dumps to the instrument on a thread of its own. The instrument acknowledges
    nothing, so the output paces it: a dump is handed to the port only when the one before has
    left it (the port's send returns once its bytes are on the wire), and 20 ms pass after each
    so that the instrument can write its memory. */
class BankTransmitter : private juce::Thread
{
public:
    static constexpr int gapAfterDumpMs = 20;

    struct Item
    {
        int bank = 0, program = 0;
        ravlin::Bytes image;
    };

    explicit BankTransmitter (MidiCntrState& hub);
    ~BankTransmitter() override;

    /** Starts sending; false while another transmission runs. With progress, each dump sent
        posts its progress event and the end posts "bank changed" and "bank done". */
    bool start (std::vector<Item> items, bool reportProgress);
    /** Stops after the dump in flight; posts nothing more. Waits for the thread. */
    void cancel();
    bool isTransmitting() const { return isThreadRunning(); }
    int getNumSent() const noexcept { return sentCount.load(); }

private:
    void run() override;

    MidiCntrState& hub;
    std::mutex jobLock;
    std::vector<Item> job;
    bool progress = false;
    std::atomic<int> sentCount{0};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BankTransmitter)
};
