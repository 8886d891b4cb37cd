#include "core/BankTransmitter.h"

#include "core/MidiCntrState.h"

BankTransmitter::BankTransmitter (MidiCntrState& h) : juce::Thread ("Ravlin bank transmit"), hub (h) {}

BankTransmitter::~BankTransmitter()
{
    cancel();
}

bool BankTransmitter::start (std::vector<Item> items, bool reportProgress)
{
    if (isThreadRunning())
        return false;
    {
        std::lock_guard<std::mutex> guard (jobLock);
        job = std::move (items);
        progress = reportProgress;
    }
    sentCount = 0;
    return startThread();
}

void BankTransmitter::cancel()
{
    // A dump on the wire is finished; the wait between dumps is cut short.
    signalThreadShouldExit();
    notify();
    stopThread (10000);
}

void BankTransmitter::run()
{
    std::vector<Item> items;
    bool report = false;
    {
        std::lock_guard<std::mutex> guard (jobLock);
        items.swap (job);
        report = progress;
    }

    for (const auto& item : items)
    {
        if (threadShouldExit())
            return;
        const auto dump = ravlin::packProgramDump (item.image, item.bank, item.program);
        hub.getPorts().sendSysEx (dump.data(), (int)dump.size());
        hub.setBankProgram (item.bank, item.program, item.image); // the copy mirrors the instrument
        ++sentCount;
        if (report)
            hub.postEvent (HubEvent::bankProgress (item.bank, item.program));
        wait (gapAfterDumpMs);
    }
    if (threadShouldExit())
        return;
    hub.transmitFinished (report);
}
