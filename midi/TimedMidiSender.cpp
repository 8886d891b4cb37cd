#include "midi/TimedMidiSender.h"

#include <algorithm>
#include <cstring>
#include <limits>

TimedMidiSender::TimedMidiSender (MidiOutputDevice& out)
    : juce::Thread ("Ravlin MIDI sender"), output (out), cells ((size_t)capacity), waiting ((size_t)capacity)
{
    for (size_t i = 0; i < cells.size(); ++i)
        cells[i].sequence.store (i, std::memory_order_relaxed);

    heap.reserve ((size_t)capacity);
    freeSlots.reserve ((size_t)capacity);
    for (int i = capacity; --i >= 0;)
        freeSlots.push_back (i);
}

TimedMidiSender::~TimedMidiSender()
{
    stopSending();
}

void TimedMidiSender::startSending()
{
    if (!isThreadRunning())
        startThread (juce::Thread::Priority::highest);
}

void TimedMidiSender::stopSending()
{
    stopThread (2000);
}

// A bounded multi-producer queue after Dmitry Vyukov: each cell's sequence number says whether
// it is free for the producer at this position or full for the consumer. A message of several
// cells claims them all with one step of the enqueue position; the consumer frees cells in
// order, so when the last of them is free, all are. Its first cell is published last, so the
// consumer, which takes cells in order, sees a message whole or not at all. Its queue position
// is an event's order, so nothing queued by another thread can fall between its cells.
bool TimedMidiSender::push (const uint8_t* bytes, int size, double due) noexcept
{
    const auto count = (size_t)((size + cellSize - 1) / cellSize);
    auto position = enqueuePosition.load (std::memory_order_relaxed);
    for (;;)
    {
        const auto lastPosition = position + count - 1;
        const auto sequence = cells[lastPosition % (size_t)capacity].sequence.load (std::memory_order_acquire);
        const auto difference = (intptr_t)sequence - (intptr_t)lastPosition;

        if (difference == 0)
        {
            if (enqueuePosition.compare_exchange_weak (position, position + count, std::memory_order_relaxed))
                break;
        }
        else if (difference < 0)
        {
            return false; // full
        }
        else
        {
            position = enqueuePosition.load (std::memory_order_relaxed);
        }
    }

    for (size_t k = 1; k <= count; ++k)
    {
        const auto i = k % count; // the first cell last
        auto& cell = cells[(position + i) % (size_t)capacity];
        const auto offset = (int)i * cellSize;
        cell.event.due = due;
        cell.event.order = (uint32_t)(position + i);
        cell.event.cells = i == 0 ? (uint16_t)count : (uint16_t)0;
        cell.event.size = (uint16_t)std::min (cellSize, size - offset);
        std::memcpy (cell.event.bytes, bytes + offset, cell.event.size);
        cell.sequence.store (position + i + 1, std::memory_order_release);
    }
    return true;
}

size_t TimedMidiSender::cellsOfNextMessage() const noexcept
{
    const auto position = dequeuePosition.load (std::memory_order_relaxed);
    const auto& cell = cells[position % (size_t)capacity];
    if (cell.sequence.load (std::memory_order_acquire) != position + 1)
        return 0; // empty, or the next message is still being written
    return juce::jmax ((size_t)1, (size_t)cell.event.cells);
}

bool TimedMidiSender::pop (Event& into) noexcept
{
    auto position = dequeuePosition.load (std::memory_order_relaxed);
    auto& cell = cells[position % (size_t)capacity];
    const auto sequence = cell.sequence.load (std::memory_order_acquire);

    if ((intptr_t)sequence - (intptr_t)(position + 1) < 0)
        return false; // empty, or the next cell is still being filled

    dequeuePosition.store (position + 1, std::memory_order_relaxed);
    into.due = cell.event.due;
    into.order = cell.event.order;
    into.cells = cell.event.cells;
    into.size = cell.event.size;
    std::memcpy (into.bytes, cell.event.bytes, cell.event.size);
    cell.sequence.store (position + (size_t)capacity, std::memory_order_release);
    return true;
}

bool TimedMidiSender::schedule (const uint8_t* bytes, int size, double dueMilliseconds) noexcept
{
    if (bytes == nullptr || size <= 0 || size > maxMessageSize || !push (bytes, size, dueMilliseconds))
    {
        dropped.fetch_add (1, std::memory_order_relaxed);
        return false;
    }
    return true;
}

void TimedMidiSender::scheduleBlock (const juce::MidiBuffer& buffer, double startMilliseconds,
                                     double samplesPerSecond) noexcept
{
    const auto millisecondsPerSample = samplesPerSecond > 0 ? 1000.0 / samplesPerSecond : 0.0;
    for (const auto metadata : buffer)
        schedule (metadata.data, metadata.numBytes,
                  startMilliseconds + metadata.samplePosition * millisecondsPerSample);
}

void TimedMidiSender::clearPending() noexcept
{
    jassert (!isThreadRunning());
    Event discard;
    for (auto count = cellsOfNextMessage(); count > 0; count = cellsOfNextMessage())
        for (size_t i = 0; i < count; ++i)
            pop (discard);
    for (auto slot : heap)
        for (auto s = slot; s >= 0; s = waiting[(size_t)s].next)
            freeSlots.push_back (s);
    heap.clear();

    parameters.clear();
    currentSize = currentSent = 0;
    pacer.reset();
    wireFreeAt = 0;
    backlogMs = 0;
    fullSince = -1;
}

bool TimedMidiSender::isLater (int a, int b) const noexcept
{
    const auto& x = waiting[(size_t)a];
    const auto& y = waiting[(size_t)b];
    return x.due != y.due ? x.due > y.due : (int32_t)(x.order - y.order) > 0;
}

void TimedMidiSender::takeQueued()
{
    // Whole messages only, each the head of a chain of cells: the heap orders heads, and a
    // message goes out in one piece.
    const auto later = [this] (int a, int b) { return isLater (a, b); };
    for (auto count = cellsOfNextMessage(); count > 0 && count <= freeSlots.size(); count = cellsOfNextMessage())
    {
        int head = -1, previous = -1;
        for (size_t i = 0; i < count; ++i)
        {
            const auto slot = freeSlots.back();
            freeSlots.pop_back();
            pop (waiting[(size_t)slot]);
            waiting[(size_t)slot].next = -1;
            (previous < 0 ? head : waiting[(size_t)previous].next) = slot;
            previous = slot;
        }
        heap.push_back (head);
        std::push_heap (heap.begin(), heap.end(), later);
    }
}

void TimedMidiSender::checkForgetRequests() noexcept
{
    if (const auto requests = forgetRequests.load (std::memory_order_acquire); requests != forgetsSeen)
    {
        forgetsSeen = requests;
        nrpnStatus.forget();
    }
}

bool TimedMidiSender::mayGoBetweenControllers (const Event& event) noexcept
{
    // Messages that leave the instrument's NRPN receiver as it is: notes, pressure, pitch bend
    // and real-time messages. Anything else waits for the parameter's last controller.
    if (event.cells != 1 || event.size < 1)
        return false;
    const auto status = event.bytes[0], kind = (uint8_t)(status & 0xF0);
    return status >= 0xF8 || kind == 0x80 || kind == 0x90 || kind == 0xA0 || kind == 0xD0 || kind == 0xE0;
}

void TimedMidiSender::startParameter (const PendingParameters::Taken& taken)
{
    checkForgetRequests();
    uint8_t bytes[NrpnRunningStatus::nrpnEventSize];
    const auto size = ParameterMessage::bytesOf (taken.message, bytes);
    if (NrpnRunningStatus::isNrpn (bytes, size))
    {
        currentSize = nrpnStatus.compress (bytes, current);
    }
    else
    {
        nrpnStatus.observe (bytes, size);
        std::copy (bytes, bytes + size, current);
        currentSize = size;
    }
    currentSent = 0;
}

void TimedMidiSender::deliverDue (double time)
{
    const auto known = output.knownMillisecondsPerByte();
    pacer.setMillisecondsPerByte (known >= 0 ? known : linkMillisecondsPerByte.load (std::memory_order_relaxed));

    const auto later = [this] (int a, int b) { return isLater (a, b); };
    takeQueued();
    for (;;)
    {
        // What is due at its time goes first, between a parameter's controllers if it may.
        const bool midParameter = currentSent < currentSize;
        if (!heap.empty() && waiting[(size_t)heap.front()].due <= time &&
            (!midParameter || mayGoBetweenControllers (waiting[(size_t)heap.front()])))
        {
            std::pop_heap (heap.begin(), heap.end(), later);
            const auto head = heap.back();
            heap.pop_back();
            for (auto slot = head; slot >= 0;)
            {
                deliver (waiting[(size_t)slot], time);
                const auto next = waiting[(size_t)slot].next;
                freeSlots.push_back (slot);
                slot = next;
            }
            // Told once the whole message is out: a dump goes in pieces, and one who waits for
            // the wire must not take the time after its first pieces for the time after all.
            wireFreeAt.store (pacer.wireFreeAt(), std::memory_order_release);
            takeQueued();
            continue;
        }

        // Parameters only onto a free wire, one controller at a time.
        if (!pacer.isFree (time))
            break;
        if (midParameter)
        {
            output.sendNow (current + currentSent, 3);
            pacer.handedOver (3, handedOverAt (time));
            wireFreeAt.store (pacer.wireFreeAt(), std::memory_order_release);
            currentSent += 3;
            if (currentSent >= currentSize)
                sent.fetch_add (1, std::memory_order_relaxed);
            continue;
        }
        PendingParameters::Taken taken;
        if (!parameters.take (time, taken))
            break;
        startParameter (taken);
    }

    const auto parameterBytes = parameters.bytesWaiting() + currentSize - currentSent;
    pacer.noteWaiting (parameterBytes > 0 && !pacer.isFree (time), time);
    fullSince.store (pacer.getFullSince(), std::memory_order_relaxed);
    backlogMs.store (pacer.backlogMilliseconds (parameterBytes, time), std::memory_order_relaxed);
}

void TimedMidiSender::deliver (const Event& event, double time)
{
    checkForgetRequests();
    if (NrpnRunningStatus::isNrpn (event.bytes, event.size))
    {
        uint8_t messages[NrpnRunningStatus::nrpnEventSize];
        const auto size = nrpnStatus.compress (event.bytes, messages);
        for (int i = 0; i < size; i += 3)
            output.sendNow (messages + i, 3);
        pacer.handedOver (size, handedOverAt (time));
    }
    else
    {
        nrpnStatus.observe (event.bytes, event.size);
        output.sendNow (event.bytes, event.size);
        pacer.handedOver (event.size, handedOverAt (time));
    }
    if (event.cells > 0)
        sent.fetch_add (1, std::memory_order_relaxed);
}

double TimedMidiSender::handedOverAt (double roundTime) const noexcept
{
    return onOwnClock ? std::max (roundTime, now()) : roundTime;
}

double TimedMidiSender::nextParameterTime() const noexcept
{
    if (currentSent < currentSize)
        return pacer.wireFreeAt();
    if (parameters.numWaiting() > 0)
        return std::max (pacer.wireFreeAt(), parameters.nextDue());
    return std::numeric_limits<double>::max();
}

void TimedMidiSender::run()
{
    onOwnClock = true;
    while (!threadShouldExit())
    {
        deliverDue (now());

        // Sleep while the next event is far, nap when it is near, spin for the last moment of a
        // timed event: the audio thread cannot wake this thread without taking a lock. Parameters
        // are not timed to the microsecond: naps will do for them.
        const auto time = now();
        const auto untilTimed = (heap.empty() ? 1000.0 : waiting[(size_t)heap.front()].due - time);
        const auto untilParameter = nextParameterTime() - time;
        if (untilTimed <= 0.3)
            std::this_thread::yield();
        else if (untilTimed <= 1.5 || untilParameter <= 1.5)
            std::this_thread::sleep_for (std::chrono::microseconds (100));
        else
            juce::Thread::sleep (1);
    }
}
