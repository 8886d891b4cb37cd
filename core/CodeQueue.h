#pragma once

#include <juce_core/juce_core.h>

#include <cstdint>
#include <vector>

/** A fixed-size list of 32-bit codes written from several threads under a short spin lock.
    When full, the oldest codes give way. */
class CodeQueue
{
public:
    explicit CodeQueue (size_t capacity) : codes (capacity) {}

    void push (uint32_t code) noexcept
    {
        const juce::SpinLock::ScopedLockType sl (lock);
        codes[(start + count) % codes.size()] = code;
        if (count < codes.size())
            ++count;
        else
            start = (start + 1) % codes.size();
    }

    std::vector<uint32_t> takeAll()
    {
        std::vector<uint32_t> result;
        result.reserve (codes.size());
        const juce::SpinLock::ScopedLockType sl (lock);
        for (size_t i = 0; i < count; ++i)
            result.push_back (codes[(start + i) % codes.size()]);
        start = count = 0;
        return result;
    }

private:
    juce::SpinLock lock;
    std::vector<uint32_t> codes;
    size_t start = 0, count = 0;
};
