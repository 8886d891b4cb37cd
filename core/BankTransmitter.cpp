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
    // Its answer may still come: swallowed here, never taken for a program the user asked for.
    const std::lock_guard<std::mutex> guard (replyLock);
    if (awaited >= 0)
    {
        cancelledRequest = awaited;
        cancelledUntil = juce::Time::getMillisecondCounterHiRes() + readBackTimeoutMs + 2000.0;
    }
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

    Report result;
    result.total = (int)items.size();
    send (items, report, result);
    if (threadShouldExit())
        return;
    if (readBackAfterwards && result.sent == result.total)
        readBack (items, report, result);
    if (threadShouldExit())
        return;
    if (result.readBack || result.sent < result.total)
    {
        hub.setLastTransmitReport (result);
        hub.postEvent (HubEvent::transmitReport);
    }
    hub.transmitFinished (report);
}

bool BankTransmitter::handOver (const ravlin::Bytes& message)
{
    // The queue drains at the wire's pace; a port that takes nothing for a second is gone.
    const auto giveUpAt = juce::Time::getMillisecondCounterHiRes() + 1000.0;
    while (!hub.sendToInstrument (message))
    {
        if (threadShouldExit() || !hub.getPorts().outputOpen || juce::Time::getMillisecondCounterHiRes() > giveUpAt)
            return false;
        wait (5);
    }
    return true;
}

void BankTransmitter::send (const std::vector<Item>& items, bool report, Report& result)
{
    // Dumps are paced from the moment they go out: not while they would wait for the answer to
    // who is on the ports, which decides their device byte.
    while (hub.getModelDetector().getState() == ModelDetector::State::waiting && !threadShouldExit())
        wait (5);
    double wireFreeAt = juce::Time::getMillisecondCounterHiRes();
    for (const auto& item : items)
    {
        // Not before the dump before has crossed the wire and been written.
        waitUntil (nextDumpAllowedAt);
        if (threadShouldExit())
            return;

        const auto dump = ravlin::packProgramDump (item.image, item.bank, item.program);
        const auto queuedAt = juce::Time::getMillisecondCounterHiRes();
        if (!handOver (dump))
            return; // reported: the rest was not sent
        const auto onWire = wireMilliseconds ((int)dump.size(), hub.linkMillisecondsPerByte());
        wireFreeAt =
            juce::jmax (juce::jmax (wireFreeAt, queuedAt) + onWire, whenSenderHasHandedOver (queuedAt + onWire));
        nextDumpAllowedAt = wireFreeAt + gapAfterDumpMs;

        hub.setBankProgram (item.bank, item.program, item.image); // the copy mirrors the instrument
        ++sentCount;
        ++result.sent;
        if (report)
            hub.postEvent (HubEvent::bankProgress (item.bank, item.program));
    }
    // Done means on the instrument, not only handed to the port.
    waitUntil (nextDumpAllowedAt);
}

double BankTransmitter::whenSenderHasHandedOver (double wireFreeAtTheEarliest)
{
    // The sender's thread hands the dump to the port when it next comes round, and the port may
    // take a while: on a busy machine that can be well after it was queued. The pause after a
    // dump counts from when the sender saw the port take it, so a late dump is not followed by
    // the next one while it is still crossing the wire.
    const auto& sender = hub.getPorts().getSender();
    const auto giveUpAt = juce::Time::getMillisecondCounterHiRes() + 1000.0;
    while (sender.getWireFreeAt() < wireFreeAtTheEarliest && !threadShouldExit() &&
           juce::Time::getMillisecondCounterHiRes() < giveUpAt)
        wait (1);
    return sender.getWireFreeAt();
}

bool BankTransmitter::takeReadBackReply (int bank, int program, const ravlin::Bytes& image)
{
    {
        const std::lock_guard<std::mutex> guard (replyLock);
        const auto request = bank * 128 + program;
        if (request == cancelledRequest)
        {
            cancelledRequest = -1;
            if (juce::Time::getMillisecondCounterHiRes() < cancelledUntil)
                return true; // the answer to a cancelled read-back
        }
        if (awaited < 0 || awaited != request)
            return false;
        awaited = -1;
        reply = image;
    }
    replyArrived.signal();
    return true;
}

void BankTransmitter::readBack (const std::vector<Item>& items, bool report, Report& result)
{
    result.readBack = true;
    const auto roundTrip = wireMilliseconds (
        (int)ravlin::requestProgramDump (0, 0).size() + ravlin::sysex::programDumpSize, hub.linkMillisecondsPerByte());

    for (const auto& item : items)
    {
        {
            const std::lock_guard<std::mutex> guard (replyLock);
            awaited = item.bank * 128 + item.program;
            reply.clear();
        }
        replyArrived.reset();
        if (threadShouldExit()) // a cancel that signalled before the reset is not missed
            return;
        hub.noteProgramRequest (item.bank, item.program);
        if (handOver (ravlin::requestProgramDump (item.bank, item.program)))
            replyArrived.wait (juce::roundToInt (roundTrip) + readBackTimeoutMs);
        if (threadShouldExit())
            return;

        ravlin::Bytes answer;
        {
            const std::lock_guard<std::mutex> guard (replyLock);
            awaited = -1;
            answer.swap (reply);
        }
        if (answer.empty()) // an answer that came as the wait ended still counts
        {
            hub.abandonOutstandingRequest();
            result.answered = false; // the rest would wait as long: stop here
            return;
        }
        ++result.checked;
        if (answer != item.image)
            result.differing.emplace_back (item.bank, item.program);
        if (report)
            hub.postEvent (HubEvent::bankProgress (item.bank, item.program));
    }
}
