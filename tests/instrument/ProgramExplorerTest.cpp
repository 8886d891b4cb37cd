// Randomise, mutate and morph on their own: which bytes of a program may move, how far, and that
// the same seed makes the same program.
#include "instrument/ProgramExplorer.h"
#include "instrument/DSI_Program.h"
#include "instrument/ExplorationHistory.h"

#include <gtest/gtest.h>

#include <set>

using ravlin::Bytes;
using ravlin::ExploreMask;
using ravlin::ParameterTable;
using ravlin::ProgramExplorer;

namespace
{
class Explorer : public ::testing::Test
{
protected:
    /** A program whose every parameter sits at a value inside its range, neither end. */
    Bytes middleProgram() const
    {
        auto image = DSI_Program::defaultImage();
        for (int i = 0; i < ParameterTable::numImageParameters; ++i)
            if (ExploreMask::isParameter (table, i))
                image[(size_t)i] = (uint8_t)((explorer.lowestValue (i) + explorer.highestValue (i)) / 2);
        return image;
    }

    std::vector<int> differing (const Bytes& a, const Bytes& b) const
    {
        std::vector<int> result;
        for (size_t i = 0; i < a.size(); ++i)
            if (a[i] != b[i])
                result.push_back ((int)i);
        return result;
    }

    void expectWithinRanges (const Bytes& image) const
    {
        for (int i = 0; i < ParameterTable::numImageParameters; ++i)
            if (ExploreMask::isParameter (table, i))
            {
                EXPECT_GE (image[(size_t)i], explorer.lowestValue (i)) << table.shortName (i) << " at " << i;
                EXPECT_LE (image[(size_t)i], explorer.highestValue (i)) << table.shortName (i) << " at " << i;
            }
    }

    int groupIndex (const std::string& name) const
    {
        const auto groups = ExploreMask::groups (table);
        for (size_t g = 0; g < groups.size(); ++g)
            if (groups[g].name == name)
                return (int)g;
        return -1;
    }

    const ParameterTable table;
    const ProgramExplorer explorer{table};
};
} // namespace

TEST_F (Explorer, TheGroupsCoverEveryParameterOnceAndLeaveOutTuningVolumeAndSteps)
{
    std::set<int> seen;
    for (const auto& group : ExploreMask::groups (table))
        for (auto index : group.parameters)
            EXPECT_TRUE (seen.insert (index).second) << index << " is in two groups";
    for (int i = 0; i < ParameterTable::numImageParameters; ++i)
        EXPECT_EQ (seen.count (i) == 1, ExploreMask::isParameter (table, i)) << i;

    const auto mask = ExploreMask::defaults (table);
    for (int layer = 0; layer < 2; ++layer)
    {
        const auto at = layer * ParameterTable::layerSize;
        for (int osc = 0; osc < 4; ++osc)
        {
            EXPECT_FALSE (mask.includes (at + osc)) << "Pitch";
            EXPECT_FALSE (mask.includes (at + 4 + osc)) << "Fine";
            EXPECT_TRUE (mask.includes (at + 8 + osc)) << "Level";
        }
        EXPECT_FALSE (mask.includes (at + 93)) << "Voice Volume";
        for (int step = 306; step <= 369; ++step)
            EXPECT_FALSE (mask.includes (at + step)) << "arpeggiator step " << step;
        for (int text = 370; text <= 423; ++text)
            EXPECT_FALSE (mask.includes (at + text)) << "name byte " << text;
        EXPECT_FALSE (mask.includes (at + DSI_Program::categoryOffset));
        EXPECT_TRUE (mask.includes (at + 85)) << "LPF Freq";
        EXPECT_TRUE (mask.includes (at + 425)) << "A B Mode";
    }
    EXPECT_EQ (table.shortName (93), "Voice Volume");
    EXPECT_EQ (table.shortName (0), "Pitch 1");
    EXPECT_EQ (table.shortName (4), "Fine 1");
}

TEST_F (Explorer, TheSameSeedMakesTheSameProgramAndAnotherSeedAnother)
{
    const auto base = DSI_Program::defaultImage();
    const auto mask = ExploreMask::defaults (table);
    const auto first = explorer.randomise (base, mask, 1234);
    EXPECT_EQ (explorer.randomise (base, mask, 1234), first);
    EXPECT_NE (explorer.randomise (base, mask, 1235), first);
    EXPECT_GT (differing (base, first).size(), 300u) << "a random program is another program";
    expectWithinRanges (first);

    const auto mutated = explorer.mutate (base, mask, 0.3, 99);
    EXPECT_EQ (explorer.mutate (base, mask, 0.3, 99), mutated);
    EXPECT_NE (explorer.mutate (base, mask, 0.3, 98), mutated);

    // Another explorer (another editor, another session) makes the same program from the seed.
    const ParameterTable otherTable;
    EXPECT_EQ (ProgramExplorer (otherTable).randomise (base, mask, 1234), first);
}

TEST_F (Explorer, BytesOutsideTheMaskStayByteForByteForEveryKindOfParameter)
{
    // A program with unusual bytes everywhere: name, category, steps, tuning, volume, unnamed.
    auto base = middleProgram();
    DSI_Program::writeName (base.data() + DSI_Program::nameOffset, "Keep Me Please");
    base[DSI_Program::categoryOffset] = 17;
    for (int step = 306; step <= 369; ++step)
        base[(size_t)step] = (uint8_t)(step % 100);
    base[0] = 60;    // Pitch 1
    base[4] = 51;    // Fine 1
    base[93] = 111;  // Voice Volume
    base[1000] = 77; // a byte of layer B no row names

    // Only the oscillators of layer A (continuous and choice rows) and the modulation of layer B.
    std::vector<bool> ticked (ExploreMask::groups (table).size(), false);
    ticked[(size_t)groupIndex ("Oscillators")] = true;
    ticked[(size_t)groupIndex ("Modulation")] = true;
    const auto maskA = ExploreMask::fromGroups (table, ticked, true, false);
    const auto maskB = ExploreMask::fromGroups (table, ticked, false, true);

    for (uint32_t seed = 1; seed <= 20; ++seed)
        for (const auto* mask : {&maskA, &maskB})
            for (const auto& made : {explorer.randomise (base, *mask, seed), explorer.mutate (base, *mask, 1.0, seed)})
            {
                ASSERT_EQ (made.size(), base.size());
                for (auto i : differing (base, made))
                    ASSERT_TRUE (mask->includes (i)) << "byte " << i << " (" << table.shortName (i) << ") moved";
                expectWithinRanges (made);
            }

    const auto made = explorer.randomise (base, maskA, 5);
    bool movedContinuous = false, movedChoice = false;
    for (auto i : differing (base, made))
        (explorer.isContinuous (i) ? movedContinuous : movedChoice) = true;
    EXPECT_TRUE (movedContinuous && movedChoice) << "both kinds of the ticked section move";
    EXPECT_EQ (DSI_Program::nameFrom (made.data(), made.size(), false).trimEnd(), "Keep Me Please");
}

TEST_F (Explorer, MutateByNothingChangesNothingAndByEverythingMovesEveryChoice)
{
    const auto base = middleProgram();
    const auto mask = ExploreMask::defaults (table);
    EXPECT_EQ (explorer.mutate (base, mask, 0.0, 7), base);

    const auto full = explorer.mutate (base, mask, 1.0, 7);
    int choices = 0;
    for (int i = 0; i < ParameterTable::numImageParameters; ++i)
        if (mask.includes (i) && !explorer.isContinuous (i))
        {
            ++choices;
            EXPECT_NE (full[(size_t)i], base[(size_t)i]) << table.shortName (i) << " did not switch";
        }
    EXPECT_GT (choices, 100);
    expectWithinRanges (full);

    // A small amount moves continuous parameters a little and switches few choices.
    const auto small = explorer.mutate (base, mask, 0.05, 7);
    int switched = 0;
    for (int i = 0; i < ParameterTable::numImageParameters; ++i)
    {
        if (!mask.includes (i))
            continue;
        const auto distance = std::abs (small[(size_t)i] - base[(size_t)i]);
        if (explorer.isContinuous (i))
            EXPECT_LE (distance, std::lround (0.05 * (explorer.highestValue (i) - explorer.lowestValue (i))) + 0)
                << table.shortName (i);
        else
            switched += distance != 0 ? 1 : 0;
    }
    EXPECT_LT (switched, choices / 5) << "about 5 % of the choices switch";
    EXPECT_GT (switched, 0);
}

TEST_F (Explorer, MorphIsAAtTheStartBAtTheEndAndBetweenThemOnTheWay)
{
    const auto mask = ExploreMask::defaults (table);
    auto a = explorer.randomise (DSI_Program::defaultImage(), mask, 1);
    auto b = explorer.randomise (DSI_Program::defaultImage(), mask, 2);
    DSI_Program::writeName (a.data() + DSI_Program::nameOffset, "Program A");
    DSI_Program::writeName (b.data() + DSI_Program::nameOffset, "Program B");
    a[DSI_Program::categoryOffset] = 3;
    b[DSI_Program::categoryOffset] = 9;
    a[1000] = 1; // bytes no row describes
    b[1000] = 200;

    EXPECT_EQ (explorer.morph (a, b, 0.0), a);
    EXPECT_EQ (explorer.morph (a, b, 1.0), b);

    const auto quarter = explorer.morph (a, b, 0.25), half = explorer.morph (a, b, 0.5);
    for (int i = 0; i < ParameterTable::numImageParameters; ++i)
    {
        const int va = a[(size_t)i], vb = b[(size_t)i];
        if (ExploreMask::isParameter (table, i) && explorer.isContinuous (i))
        {
            EXPECT_EQ (quarter[(size_t)i], std::lround (va + (vb - va) * 0.25)) << table.shortName (i);
            EXPECT_GE (half[(size_t)i], std::min (va, vb));
            EXPECT_LE (half[(size_t)i], std::max (va, vb));
        }
        else
        {
            EXPECT_EQ (quarter[(size_t)i], va) << "byte " << i << " comes from A below half way";
            EXPECT_EQ (half[(size_t)i], vb) << "byte " << i << " comes from B from half way";
        }
    }
    EXPECT_EQ (DSI_Program::nameFrom (quarter.data(), quarter.size(), false).trimEnd(), "Program A");
    EXPECT_EQ (half[DSI_Program::categoryOffset], 9);
    expectWithinRanges (quarter);
    expectWithinRanges (half);
}

TEST (ExplorationHistoryModel, NewestFirstBoundedAndNumberedThroughTheSession)
{
    ravlin::ExplorationHistory history;
    EXPECT_EQ (history.at (0), nullptr);
    for (int k = 1; k <= ravlin::ExplorationHistory::maxEntries + 5; ++k)
        history.add (Bytes (1024, (uint8_t)k), "Randomise, seed " + std::to_string (k), 1000 * k);
    ASSERT_EQ (history.size(), ravlin::ExplorationHistory::maxEntries);
    EXPECT_EQ (history.at (0)->madeBy, "Randomise, seed 105");
    EXPECT_EQ (history.at (0)->image[0], 105);
    EXPECT_EQ (history.at (0)->madeAtMs, 105000);
    EXPECT_EQ (history.at (99)->madeBy, "Randomise, seed 6") << "the oldest went first";
    EXPECT_EQ (history.at (100), nullptr);
    EXPECT_EQ (ravlin::ExplorationHistory::storedName (*history.at (0)), "Explored 105");
}
