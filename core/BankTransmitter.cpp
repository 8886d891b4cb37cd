#include "core/BankTransmitter.h"

#include "core/MidiCntrState.h"

BankTransmitter::BankTransmitter (MidiCntrState& h) : juce::Thread ("Ravlin bank transmit"), hub (h) {}

BankTransmitter::~BankTransmitter()
{
    cancel();
}

bool BankTransmitter::start (std::vector<Item> items, bool reportProgress, bool readBackAfterwards)
{
    if (isThreadRunning())
        return false;
    {
        std::lock_guard<std::mutex> guard (jobLock);
        job = std::move (items);
        progress = reportProgress;
        verify = readBackAfterwards;
    }
    sentCount = 0;
    return startThread();
}

void BankTransmitter::cancel()
{
    // A dump on the wire is finished; the waits are cut short.
    signalThreadShouldExit();
    notify();
    replyArrived.signal();
    stopThread (10000);
    const std::lock_guard<std::mutex> guard (replyLock);
    awaited = -1;
}

void BankTransmitter::waitUntil (double time)
{
    for (auto left = time - juce::Time::getMillisecondCounterHiRes(); left > 0 && !threadShouldExit();
         left = time - juce::Time::getMillisecondCounterHiRes())
        wait (juce::jmax (1, (int)std::ceil (left)));
}

void BankTransmitter::run()
{
    std::vector<Item> items;
    bool report = false, readBackAfterwards = false;
    {
        std::lock_guard<std::mutex> guard (jobLock);
        items.swap (job);
        report = progress;
        readBackAfterwards = verify;
    }

    send (items, report);
    if (readBackAfterwards)
        readBack (items, report);
    if (threadShouldExit())
        return;
    hub.transmitFinished (report);
}

void BankTransmitter::send (const std::vector<Item>& items, bool report)
{
    double wireFreeAt = juce::Time::getMillisecondCounterHiRes();
    for (const auto& item : items)
    {
        // Not before the dump before has crossed the wire and been written.
        waitUntil (nextDumpAllowedAt);
        if (threadShouldExit())
            return;

        const auto dump = ravlin::packProgramDump (item.image, item.bank, item.program);
        hub.getPorts().sendSysEx (dump.data(), (int)dump.size());
        const auto handedOver = juce::Time::getMillisecondCounterHiRes();
        wireFreeAt =
            juce::jmax (wireFreeAt, handedOver) + wireMilliseconds ((int)dump.size(), hub.linkMillisecondsPerByte());
        nextDumpAllowedAt = wireFreeAt + gapAfterDumpMs;

        hub.setBankProgram (item.bank, item.program, item.image); // the copy mirrors the instrument
        ++sentCount;
        if (report)
            hub.postEvent (HubEvent::bankProgress (item.bank, item.program));
    }
    // Done means on the instrument, not only handed to the port.
    waitUntil (nextDumpAllowedAt);
}

bool BankTransmitter::takeReadBackReply (int bank, int program, const ravlin::Bytes& image)
{
    {
        const std::lock_guard<std::mutex> guard (replyLock);
        if (awaited < 0 || awaited != bank * 128 + program)
            return false;
        awaited = -1;
        reply = image;
    }
    replyArrived.signal();
    return true;
}

void BankTransmitter::readBack (const std::vector<Item>& items, bool report)
{
    ReadBack result;
    result.total = (int)items.size();
    const auto request = ravlin::requestProgramDump (0, 0);
    const auto roundTrip =
        wireMilliseconds ((int)request.size() + ravlin::sysex::programDumpSize, hub.linkMillisecondsPerByte());

    for (const auto& item : items)
    {
        if (threadShouldExit())
            return;
        {
            const std::lock_guard<std::mutex> guard (replyLock);
            awaited = item.bank * 128 + item.program;
            reply.clear();
        }
        replyArrived.reset();
        hub.requestProgram (item.bank, item.program);
        const bool arrived = replyArrived.wait (juce::roundToInt (roundTrip) + readBackTimeoutMs);
        if (threadShouldExit())
            return;

        ravlin::Bytes answer;
        {
            const std::lock_guard<std::mutex> guard (replyLock);
            awaited = -1;
            answer.swap (reply);
        }
        if (!arrived || answer.empty())
        {
            hub.abandonOutstandingRequest();
            result.answered = false; // the rest would wait as long: stop here
            break;
        }
        ++result.checked;
        if (answer != item.image)
            result.differing.emplace_back (item.bank, item.program);
        if (report)
            hub.postEvent (HubEvent::bankProgress (item.bank, item.program));
    }
    hub.setLastReadBack (result);
    hub.postEvent (HubEvent::verified);
}
