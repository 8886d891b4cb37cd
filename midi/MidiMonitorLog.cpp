#include "midi/MidiMonitorLog.h"

#include "instrument/ProgramPacking.h"

#include <algorithm>
#include <cstring>

namespace sysex = ravlin::sysex;

MidiMonitorLog::MidiMonitorLog() : cells ((size_t)capacity)
{
    static_assert ((capacity & (capacity - 1)) == 0);
    for (size_t i = 0; i < cells.size(); ++i)
        cells[i].sequence.store (i, std::memory_order_relaxed);
}

bool MidiMonitorLog::write (const Entry& entry) noexcept
{
    if (!isEnabled())
        return false;

    auto position = enqueuePosition.load (std::memory_order_relaxed);
    for (;;)
    {
        auto& cell = cells[position & (size_t)(capacity - 1)];
        const auto sequence = cell.sequence.load (std::memory_order_acquire);
        const auto difference = (intptr_t)sequence - (intptr_t)position;
        if (difference == 0)
        {
            if (enqueuePosition.compare_exchange_weak (position, position + 1, std::memory_order_relaxed))
            {
                cell.entry = entry;
                cell.sequence.store (position + 1, std::memory_order_release);
                return true;
            }
        }
        else if (difference < 0)
        {
            lost.fetch_add (1, std::memory_order_relaxed);
            return false;
        }
        else
        {
            position = enqueuePosition.load (std::memory_order_relaxed);
        }
    }
}

bool MidiMonitorLog::record (Direction direction, const uint8_t* bytes, int size, double timeMs) noexcept
{
    if (!isEnabled() || bytes == nullptr || size <= 0)
        return false;
    Entry entry;
    begin (entry, direction, timeMs);
    append (entry, bytes, size);
    entry.ended = bytes[0] != sysex::start || bytes[size - 1] == sysex::end;
    return write (entry);
}

bool MidiMonitorLog::read (Entry& into) noexcept
{
    auto& cell = cells[dequeuePosition & (size_t)(capacity - 1)];
    if (cell.sequence.load (std::memory_order_acquire) != dequeuePosition + 1)
        return false;
    into = cell.entry;
    cell.sequence.store (dequeuePosition + (size_t)capacity, std::memory_order_release);
    ++dequeuePosition;
    return true;
}

void MidiMonitorLog::begin (Entry& entry, Direction direction, double timeMs) noexcept
{
    entry.timeMs = timeMs;
    entry.direction = direction;
    entry.size = 0;
    entry.headLength = 0;
    entry.ended = true;
    entry.hasWindow = false;
}

void MidiMonitorLog::append (Entry& entry, const uint8_t* bytes, int size) noexcept
{
    if (bytes == nullptr || size <= 0)
        return;
    const auto start = (size_t)entry.size;
    const auto count = (size_t)size;

    if (entry.headLength < headSize)
    {
        const auto take = std::min (count, (size_t)(headSize - entry.headLength));
        std::memcpy (entry.head + entry.headLength, bytes, take);
        entry.headLength = (uint8_t)(entry.headLength + take);
    }
    entry.size += (uint32_t)count;

    // A program or edit-buffer dump of this instrument: keep the packed groups of its name.
    const auto* h = entry.head;
    if (entry.headLength < 4 || h[0] != sysex::start || h[1] != sysex::manufacturer ||
        (h[2] != sysex::deviceModule && h[2] != sysex::deviceKeyboard) ||
        (h[3] != sysex::cmdProgramDump && h[3] != sysex::cmdEditBufferDump))
        return;
    const auto dataOffset =
        (size_t)(h[3] == sysex::cmdProgramDump ? sysex::programDumpDataOffset : sysex::editBufferDumpDataOffset);
    const auto windowStart = dataOffset + (size_t)nameWindowFirstGroup * 8;
    const auto windowEnd = windowStart + (size_t)nameWindowSize;
    const auto from = std::max (start, windowStart), to = std::min (start + count, windowEnd);
    if (from < to)
    {
        std::memcpy (entry.nameWindow + (from - windowStart), bytes + (from - start), to - from);
        entry.hasWindow = to == windowEnd || entry.hasWindow;
    }
}

void MidiMonitorLog::Writer::write (const uint8_t* bytes, int size, double timeMs) noexcept
{
    if (!log.isEnabled())
    {
        inSysEx = false;
        return;
    }
    if (bytes == nullptr || size <= 0)
        return;

    if (bytes[0] >= 0xF8 || (bytes[0] < 0x80 && !inSysEx))
    {
        log.record (direction, bytes, size, timeMs); // real time, or stray bytes shown as they are
        return;
    }
    if (bytes[0] < 0x80)
    {
        append (pending, bytes, size);
    }
    else
    {
        if (inSysEx)
        {
            pending.ended = false; // cut short by what follows
            log.write (pending);
            inSysEx = false;
        }
        if (bytes[0] != sysex::start)
        {
            log.record (direction, bytes, size, timeMs);
            return;
        }
        begin (pending, direction, timeMs);
        append (pending, bytes, size);
        inSysEx = true;
    }
    if (bytes[size - 1] == sysex::end)
    {
        pending.ended = true;
        log.write (pending);
        inSysEx = false;
    }
}
