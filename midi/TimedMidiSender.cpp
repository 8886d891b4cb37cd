#include "midi/TimedMidiSender.h"

#include <algorithm>
#include <cstring>

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

// A bounded multi-producer queue after Dmitry Vyukov: each cell's sequence number says
// whether it is free for the producer at this position or full for the consumer.
bool TimedMidiSender::push (const uint8_t* bytes, int size, double due) noexcept
{
    auto position = enqueuePosition.load (std::memory_order_relaxed);
    for (;;)
    {
        auto& cell = cells[position % (size_t)capacity];
        const auto sequence = cell.sequence.load (std::memory_order_acquire);
        const auto difference = (intptr_t)sequence - (intptr_t)position;

        if (difference == 0)
        {
            if (enqueuePosition.compare_exchange_weak (position, position + 1, std::memory_order_relaxed))
            {
                cell.event.due = due;
                cell.event.order = nextOrder.fetch_add (1, std::memory_order_relaxed);
                cell.event.size = (uint16_t)size;
                std::memcpy (cell.event.bytes, bytes, (size_t)size);
                cell.sequence.store (position + 1, std::memory_order_release);
                return true;
            }
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
}

bool TimedMidiSender::pop (Event& into) noexcept
{
    auto position = dequeuePosition.load (std::memory_order_relaxed);
    auto& cell = cells[position % (size_t)capacity];
    const auto sequence = cell.sequence.load (std::memory_order_acquire);

    if ((intptr_t)sequence - (intptr_t)(position + 1) < 0)
        return false; // empty

    dequeuePosition.store (position + 1, std::memory_order_relaxed);
    into.due = cell.event.due;
    into.order = cell.event.order;
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
    while (pop (discard))
    {
    }
    for (auto slot : heap)
        freeSlots.push_back (slot);
    heap.clear();
}

void TimedMidiSender::deliverDueWhileStopped()
{
    jassert (!isThreadRunning());
    if (!isThreadRunning())
        deliverDue();
}

void TimedMidiSender::deliverDue()
{
    auto later = [this] (int a, int b)
    {
        const auto& x = waiting[(size_t)a];
        const auto& y = waiting[(size_t)b];
        return x.due != y.due ? x.due > y.due : (int32_t)(x.order - y.order) > 0;
    };

    while (!freeSlots.empty())
    {
        const auto slot = freeSlots.back();
        if (!pop (waiting[(size_t)slot]))
            break;
        freeSlots.pop_back();
        heap.push_back (slot);
        std::push_heap (heap.begin(), heap.end(), later);
    }

    const auto time = now();
    while (!heap.empty() && waiting[(size_t)heap.front()].due <= time)
    {
        std::pop_heap (heap.begin(), heap.end(), later);
        const auto slot = heap.back();
        heap.pop_back();
        const auto& event = waiting[(size_t)slot];
        output.sendNow (event.bytes, event.size);
        sent.fetch_add (1, std::memory_order_relaxed);
        freeSlots.push_back (slot);
    }
}

void TimedMidiSender::run()
{
    while (!threadShouldExit())
    {
        deliverDue();

        // Sleep while the next event is far, nap when it is near, spin for the last moment:
        // the audio thread cannot wake this thread without taking a lock.
        const auto untilNext = heap.empty() ? 1000.0 : waiting[(size_t)heap.front()].due - now();
        if (untilNext > 1.5)
            juce::Thread::sleep (1);
        else if (untilNext > 0.3)
            std::this_thread::sleep_for (std::chrono::microseconds (100));
        else
            std::this_thread::yield();
    }
}
