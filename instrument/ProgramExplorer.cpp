#include "instrument/ProgramExplorer.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>

namespace ravlin
{

namespace
{
constexpr int layerSize = ParameterTable::layerSize;

const char* const sectionNames[16] = {
    "",     "Oscillators", "Character",  "Low-pass filter", "High-pass filter", "Amplifier", "Feedback",    "Delay",
    "LFOs", "Envelope 3",  "Envelope 4", "Modulation",      "Distortion",       "Unison",    "Arpeggiator", "A/B mode"};

constexpr int firstPitchRow = 0, firstFineRow = 4, voiceVolumeRow = 93;
constexpr int firstStepRow = 306, lastStepRow = 369;

enum SpecialGroup
{
    notSpecial = -1,
    tuningGroup = 0,
    volumeGroup = 1,
    stepsGroup = 2
};

SpecialGroup specialGroupOf (int index)
{
    const auto row = index % layerSize;
    if ((row >= firstPitchRow && row < firstPitchRow + 4) || (row >= firstFineRow && row < firstFineRow + 4))
        return tuningGroup;
    if (row == voiceVolumeRow)
        return volumeGroup;
    if (row >= firstStepRow && row <= lastStepRow)
        return stepsGroup;
    return notSpecial;
}

// Display kinds whose values lie along a line (numbers, notes, offsets); all others are menus
// or switches.
bool continuousKind (int kind)
{
    switch (kind)
    {
        case 0:
        case 6:
        case 13:
        case 16:
        case 18:
        case 21:
        case 22:
        case 23: return true;
        default: return false;
    }
}
} // namespace

//==============================================================================
bool ExploreMask::isParameter (const ParameterTable& table, int index)
{
    return index >= 0 && index < ParameterTable::numImageParameters && !table.shortName (index).empty() &&
           table.highest (index) > std::max (0, table.lowest (index));
}

std::vector<ExploreMask::Group> ExploreMask::groups (const ParameterTable& table)
{
    std::vector<Group> result;
    for (int section = 1; section < 16; ++section)
        result.push_back ({sectionNames[section], {}, true});
    const auto firstSpecial = result.size();
    result.push_back ({"Oscillator tuning", {}, false});
    result.push_back ({"Program volume", {}, false});
    result.push_back ({"Arpeggiator steps", {}, false});

    for (int index = 0; index < ParameterTable::numImageParameters; ++index)
    {
        if (!isParameter (table, index))
            continue;
        const auto special = specialGroupOf (index);
        if (special != notSpecial)
            result[firstSpecial + (size_t)special].parameters.push_back (index);
        else if (table.section (index) >= 1 && table.section (index) < 16)
            result[(size_t)table.section (index) - 1].parameters.push_back (index);
    }
    return result;
}

ExploreMask ExploreMask::defaults (const ParameterTable& table)
{
    const auto all = groups (table);
    std::vector<bool> ticked;
    for (const auto& group : all)
        ticked.push_back (group.onByDefault);
    return fromGroups (table, ticked, true, true);
}

ExploreMask ExploreMask::fromGroups (const ParameterTable& table, const std::vector<bool>& ticked, bool layerA,
                                     bool layerB)
{
    ExploreMask mask;
    const auto all = groups (table);
    for (size_t g = 0; g < all.size() && g < ticked.size(); ++g)
        if (ticked[g])
            for (auto index : all[g].parameters)
                if (index < layerSize ? layerA : layerB)
                    mask.set (index, true);
    return mask;
}

void ExploreMask::set (int index, bool on)
{
    if (index >= 0 && index < ParameterTable::numImageParameters)
        bits[(size_t)index] = on;
}

//==============================================================================
bool ProgramExplorer::isContinuous (int index) const
{
    return continuousKind (table.displayKind (index));
}

int ProgramExplorer::lowestValue (int index) const
{
    return std::max (0, table.lowest (index));
}

int ProgramExplorer::highestValue (int index) const
{
    return std::min (255, table.highest (index));
}

int ProgramExplorer::below (std::mt19937& generator, int n)
{
    return n <= 1 ? 0 : (int)(generator() % (uint32_t)n);
}

double ProgramExplorer::unit (std::mt19937& generator)
{
    return (double)generator() / 4294967296.0; // [0, 1)
}

Bytes ProgramExplorer::randomise (const Bytes& base, const ExploreMask& mask, uint32_t seed) const
{
    auto result = base;
    result.resize ((size_t)ParameterTable::numImageParameters, 0);
    std::mt19937 generator (seed);
    for (int index = 0; index < ParameterTable::numImageParameters; ++index)
    {
        if (!mask.includes (index) || !ExploreMask::isParameter (table, index))
            continue;
        const auto low = lowestValue (index);
        result[(size_t)index] = (uint8_t)(low + below (generator, highestValue (index) - low + 1));
    }
    return result;
}

Bytes ProgramExplorer::mutate (const Bytes& base, const ExploreMask& mask, double amount, uint32_t seed) const
{
    auto result = base;
    result.resize ((size_t)ParameterTable::numImageParameters, 0);
    amount = std::clamp (amount, 0.0, 1.0);
    if (amount <= 0.0)
        return result;

    std::mt19937 generator (seed);
    for (int index = 0; index < ParameterTable::numImageParameters; ++index)
    {
        if (!mask.includes (index) || !ExploreMask::isParameter (table, index))
            continue;
        const auto low = lowestValue (index), high = highestValue (index);
        const auto value = std::clamp ((int)result[(size_t)index], low, high);
        // Both draws are made for every parameter, so that one parameter's kind never changes
        // what the others get from the same seed.
        const auto draw = unit (generator);
        const auto pick = below (generator, high - low); // another value than the present one
        if (isContinuous (index))
        {
            const auto step = (draw * 2.0 - 1.0) * amount * (double)(high - low);
            result[(size_t)index] = (uint8_t)std::clamp (value + (int)std::lround (step), low, high);
        }
        else if (draw < amount || amount >= 1.0)
        {
            const auto other = low + pick;
            result[(size_t)index] = (uint8_t)(other >= value ? other + 1 : other);
        }
    }
    return result;
}

Bytes ProgramExplorer::morph (const Bytes& a, const Bytes& b, double position) const
{
    position = std::clamp (position, 0.0, 1.0);
    Bytes result ((size_t)ParameterTable::numImageParameters, 0);
    const bool fromB = position >= 0.5;
    for (size_t i = 0; i < result.size(); ++i)
    {
        const int va = i < a.size() ? a[i] : 0, vb = i < b.size() ? b[i] : 0;
        if (ExploreMask::isParameter (table, (int)i) && isContinuous ((int)i))
            result[i] = (uint8_t)std::lround ((double)va + (double)(vb - va) * position);
        else
            result[i] = (uint8_t)(fromB ? vb : va);
    }
    return result;
}

uint32_t ProgramExplorer::freshSeed()
{
    static std::atomic<uint32_t> counter{0};
    const auto ticks = (uint64_t)std::chrono::steady_clock::now().time_since_epoch().count();
    return (uint32_t)(ticks ^ (ticks >> 32)) * 2654435761u + counter++;
}

} // namespace ravlin
