#pragma once

#include "library/LibraryMeta.h"

#include <vector>

/** The orders, duplicate groups and category suggestions of a block of 1024-byte records. */
namespace LibraryOrder
{
/** Sorts record numbers into the order: library order; name (any case, then library order);
    category (by number, then name); rating (most stars first, then library order). */
void sort (std::vector<int>& rows, const uint8_t* block, LibraryMeta::Order order, const LibraryMeta& meta);

/** A hash of everything in an image except its name bytes and its category byte: programs that
    sound the same have the same one. */
LibraryMeta::Key soundKeyOf (const uint8_t* image) noexcept;
/** True when two images are equal in every byte except the name and the category. */
bool soundsSame (const uint8_t* a, const uint8_t* b) noexcept;

/** Groups of two or more record numbers whose images sound the same, each group in library
    order, the groups in the order of their first record. */
std::vector<std::vector<int>> duplicateGroups (const uint8_t* block, int count);

struct Suggestion
{
    int record = 0;
    int category = 0;
    juce::String word; // the rule that matched
};

/** For each record without a category (byte 0), the first rule whose word begins a word of its
    name (any case): "Fat Bassline" matches "bass", "Sharp" does not match "arp". */
std::vector<Suggestion> suggestCategories (const uint8_t* block, int count,
                                           const std::vector<LibraryMeta::Rule>& rules);
} // namespace LibraryOrder
