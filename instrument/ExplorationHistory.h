#pragma once

#include "instrument/ProgramPacking.h"

#include <cstdint>
#include <deque>
#include <string>

namespace ravlin
{

/** The programs randomise, mutate and morph made in this session, newest first, at most
    maxEntries of them (the oldest goes first). Message thread. */
class ExplorationHistory
{
public:
    static constexpr int maxEntries = 100;

    struct Entry
    {
        Bytes image;
        std::string madeBy;   // "Randomise, seed 1234", "Mutate 25 %, seed 77", "Morph 40 %"
        int64_t madeAtMs = 0; // milliseconds since 1970
        int number = 0;       // counts up from 1 through the session: "Explored 7"
    };

    /** Adds a program at the front. */
    const Entry& add (const Bytes& image, const std::string& madeBy, int64_t madeAtMs);

    int size() const noexcept { return (int)entries.size(); }
    bool empty() const noexcept { return entries.empty(); }
    /** 0 is the newest; nullptr beyond the list. */
    const Entry* at (int row) const noexcept;
    void clear() noexcept { entries.clear(); }

    /** The name a stored copy gets, since its own name would not tell it from the program it
        came from: "Explored 7". */
    static std::string storedName (const Entry& entry);

private:
    std::deque<Entry> entries;
    int made = 0;
};

} // namespace ravlin
