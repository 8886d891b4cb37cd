#include "instrument/ExplorationHistory.h"

namespace ravlin
{

const ExplorationHistory::Entry& ExplorationHistory::add (const Bytes& image, const std::string& madeBy,
                                                          int64_t madeAtMs)
{
    entries.push_front ({image, madeBy, madeAtMs, ++made});
    while ((int)entries.size() > maxEntries)
        entries.pop_back();
    return entries.front();
}

const ExplorationHistory::Entry* ExplorationHistory::at (int row) const noexcept
{
    return row >= 0 && row < (int)entries.size() ? &entries[(size_t)row] : nullptr;
}

std::string ExplorationHistory::storedName (const Entry& entry)
{
    return "Explored " + std::to_string (entry.number);
}

} // namespace ravlin
