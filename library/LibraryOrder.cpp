#include "library/LibraryOrder.h"

#include "instrument/DSI_Program.h"
#include "instrument/ProgramPacking.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <unordered_map>

namespace
{
constexpr int nameAt = DSI_Program::nameOffset, nameLength = DSI_Program::nameLength;
constexpr int categoryAt = DSI_Program::categoryOffset;
constexpr size_t recordSize = (size_t)ravlin::sysex::imageSize;

/** The name as the list shows it (a byte below 32, read as signed, shows as "A"), folded to lower
    case for comparing, blanks at the end removed. */
std::string sortName (const uint8_t* r)
{
    std::string name ((size_t)nameLength, ' ');
    for (int i = 0; i < nameLength; ++i)
    {
        const auto c = (int8_t)r[nameAt + i];
        name[(size_t)i] = c >= 32 ? (char)std::tolower ((unsigned char)c) : 'a';
    }
    name.erase (name.find_last_not_of (' ') + 1);
    return name;
}

bool isLetter (char c)
{
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}
} // namespace

namespace LibraryOrder
{
void sort (std::vector<int>& rows, const uint8_t* block, LibraryMeta::Order order, const LibraryMeta& meta)
{
    const auto at = [block] (int n) { return block + (size_t)n * recordSize; };
    switch (order)
    {
        case LibraryMeta::Order::library: std::sort (rows.begin(), rows.end()); return;
        case LibraryMeta::Order::rating:
        {
            std::vector<std::pair<int, int>> keyed; // (-stars, record)
            keyed.reserve (rows.size());
            for (auto n : rows)
                keyed.emplace_back (-meta.ratingOf (at (n)), n);
            std::sort (keyed.begin(), keyed.end());
            for (size_t i = 0; i < rows.size(); ++i)
                rows[i] = keyed[i].second;
            return;
        }
        case LibraryMeta::Order::name:
        case LibraryMeta::Order::category:
        {
            struct Keyed
            {
                int category;
                std::string name;
                int record;
            };
            const bool byCategory = order == LibraryMeta::Order::category;
            std::vector<Keyed> keyed;
            keyed.reserve (rows.size());
            for (auto n : rows)
                keyed.push_back ({byCategory ? (int)at (n)[categoryAt] : 0, sortName (at (n)), n});
            std::sort (keyed.begin(), keyed.end(),
                       [] (const Keyed& a, const Keyed& b)
                       {
                           if (a.category != b.category)
                               return a.category < b.category;
                           if (const auto c = a.name.compare (b.name); c != 0)
                               return c < 0;
                           return a.record < b.record;
                       });
            for (size_t i = 0; i < rows.size(); ++i)
                rows[i] = keyed[i].record;
            return;
        }
    }
}

LibraryMeta::Key soundKeyOf (const uint8_t* image) noexcept
{
    LibraryMeta::Key hash = 14695981039346656037ull;
    for (int i = 0; i < ravlin::sysex::imageSize; ++i)
    {
        if ((i >= nameAt && i < nameAt + nameLength) || i == categoryAt)
            continue;
        hash ^= image[i];
        hash *= 1099511628211ull;
    }
    return hash;
}

bool soundsSame (const uint8_t* a, const uint8_t* b) noexcept
{
    return std::memcmp (a, b, (size_t)nameAt) == 0 &&
           std::memcmp (a + nameAt + nameLength, b + nameAt + nameLength, (size_t)(categoryAt - nameAt - nameLength)) ==
               0 &&
           std::memcmp (a + categoryAt + 1, b + categoryAt + 1, recordSize - (size_t)categoryAt - 1) == 0;
}

std::vector<std::vector<int>> duplicateGroups (const uint8_t* block, int count)
{
    // Records with equal keys are compared byte by byte, so a hash collision never joins two sounds.
    std::unordered_map<LibraryMeta::Key, std::vector<int>> groupsOfKey; // indices into groups
    std::vector<std::vector<int>> groups;
    groupsOfKey.reserve ((size_t)count);
    for (int n = 0; n < count; ++n)
    {
        const auto* r = block + (size_t)n * recordSize;
        auto& candidates = groupsOfKey[soundKeyOf (r)];
        bool placed = false;
        for (auto g : candidates)
            if (soundsSame (block + (size_t)groups[(size_t)g].front() * recordSize, r))
            {
                groups[(size_t)g].push_back (n);
                placed = true;
                break;
            }
        if (!placed)
        {
            candidates.push_back ((int)groups.size());
            groups.push_back ({n});
        }
    }
    groups.erase (std::remove_if (groups.begin(), groups.end(), [] (const auto& g) { return g.size() < 2; }),
                  groups.end());
    return groups;
}

std::vector<Suggestion> suggestCategories (const uint8_t* block, int count, const std::vector<LibraryMeta::Rule>& rules)
{
    std::vector<Suggestion> result;
    for (int n = 0; n < count; ++n)
    {
        const auto* r = block + (size_t)n * recordSize;
        if (r[categoryAt] != 0)
            continue;
        const auto name = sortName (r);
        for (const auto& rule : rules)
        {
            const auto word = rule.word.toLowerCase().toStdString();
            if (word.empty())
                continue;
            bool found = false;
            for (auto at = name.find (word); at != std::string::npos && !found; at = name.find (word, at + 1))
                found = at == 0 || !isLetter (name[at - 1]);
            if (found)
            {
                result.push_back ({n, rule.category, rule.word});
                break;
            }
        }
    }
    return result;
}
} // namespace LibraryOrder
