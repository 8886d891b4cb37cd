#include "midi/PendingParameters.h"

#include <limits>

int ParameterMessage::bytesOf (uint64_t packed, uint8_t* out) noexcept
{
    const auto status = (uint8_t)(0xB0 | ((packed >> 48) & 0x0F));
    const auto number = (int)((packed >> 16) & 0x3FFF), value = (int)(packed & 0x3FFF);
    if ((packed >> 56) != nrpn)
    {
        out[0] = status;
        out[1] = (uint8_t)(number & 0x7F);
        out[2] = (uint8_t)(value & 0x7F);
        return 3;
    }
    const uint8_t bytes[12] = {status, 99, (uint8_t)(number >> 7), status, 98, (uint8_t)(number & 0x7F),
                               status, 6,  (uint8_t)(value >> 7),  status, 38, (uint8_t)(value & 0x7F)};
    for (int i = 0; i < 12; ++i)
        out[i] = bytes[i];
    return 12;
}

PendingParameters::PendingParameters()
{
    for (size_t i = 0; i < lineSize; ++i)
        line[i].sequence.store (i, std::memory_order_relaxed);
}

void PendingParameters::set (int key, uint64_t message, double dueMilliseconds) noexcept
{
    if (key < 0 || key >= numKeys)
        return;
    auto& slot = slots[(size_t)key];
    // The value first: a sender that marks the slot clean afterwards reads it.
    slot.message.store (message, std::memory_order_seq_cst);
    if (slot.dirty.exchange (true, std::memory_order_seq_cst))
        return; // waiting already: the newer value simply replaces the older one

    slot.due.store (dueMilliseconds, std::memory_order_relaxed);
    waitingCount.fetch_add (1, std::memory_order_acq_rel);
    waitingBytes.fetch_add (ParameterMessage::sizeOf (message), std::memory_order_acq_rel);
    push (key);
}

void PendingParameters::replaceIfWaiting (int key, uint64_t message) noexcept
{
    if (key < 0 || key >= numKeys)
        return;
    auto& slot = slots[(size_t)key];
    // A sender that marks the slot clean before this store has read the older value, and that
    // value goes out ahead of whatever the caller sends next; one that marks it later reads this.
    if (slot.dirty.load (std::memory_order_seq_cst))
        slot.message.store (message, std::memory_order_seq_cst);
}

// A bounded multi-producer queue after Dmitry Vyukov. Each key is in it at most once (it is
// pushed on the clean-to-dirty change alone, and taken out before it is marked clean), so with
// more cells than keys a push always finds room.
void PendingParameters::push (int key) noexcept
{
    auto position = enqueuePosition.load (std::memory_order_relaxed);
    for (;;)
    {
        auto& cell = line[position % lineSize];
        const auto sequence = cell.sequence.load (std::memory_order_acquire);
        const auto difference = (intptr_t)sequence - (intptr_t)position;
        if (difference == 0)
        {
            if (enqueuePosition.compare_exchange_weak (position, position + 1, std::memory_order_relaxed))
            {
                cell.key.store (key, std::memory_order_relaxed);
                cell.sequence.store (position + 1, std::memory_order_release);
                return;
            }
        }
        else
        {
            position = enqueuePosition.load (std::memory_order_relaxed);
        }
    }
}

double PendingParameters::nextDue() const noexcept
{
    const auto position = dequeuePosition.load (std::memory_order_relaxed);
    const auto& cell = line[position % lineSize];
    if (cell.sequence.load (std::memory_order_acquire) != position + 1)
        return std::numeric_limits<double>::max();
    return slots[(size_t)cell.key.load (std::memory_order_relaxed)].due.load (std::memory_order_relaxed);
}

bool PendingParameters::take (double now, Taken& taken) noexcept
{
    const auto position = dequeuePosition.load (std::memory_order_relaxed);
    auto& cell = line[position % lineSize];
    if (cell.sequence.load (std::memory_order_acquire) != position + 1)
        return false;
    const auto key = cell.key.load (std::memory_order_relaxed);
    auto& slot = slots[(size_t)key];
    if (slot.due.load (std::memory_order_relaxed) > now)
        return false;

    dequeuePosition.store (position + 1, std::memory_order_relaxed);
    cell.sequence.store (position + lineSize, std::memory_order_release);

    // Clean before the value is read: a value set from now on pushes the key again.
    slot.dirty.store (false, std::memory_order_seq_cst);
    taken.key = key;
    taken.message = slot.message.load (std::memory_order_seq_cst);
    waitingCount.fetch_sub (1, std::memory_order_acq_rel);
    waitingBytes.fetch_sub (ParameterMessage::sizeOf (taken.message), std::memory_order_acq_rel);
    return true;
}

void PendingParameters::clear() noexcept
{
    Taken discard;
    while (take (std::numeric_limits<double>::max(), discard))
    {
    }
}
