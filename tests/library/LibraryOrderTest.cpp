#include "library/LibraryOrder.h"
#include "core/MidiCntrState.h"
#include "instrument/DSI_Program.h"
#include "instrument/ParDes.h"
#include "library/ProgramLibrary.h"
#include "support/FakeMidiDevices.h"
#include "support/ScriptedLibraryHost.h"

#include <gtest/gtest.h>

using ravlin::Bytes;
using Answer = ProgramLibrary::Answer;

namespace
{
Bytes program (int seed, const juce::String& name, int category = 0)
{
    Bytes r (1024);
    for (size_t i = 0; i < r.size(); ++i)
        r[i] = (uint8_t)((i * 5 + (size_t)seed * 11) & 0x7F);
    r[426] = (uint8_t)category;
    DSI_Program::writeName (r.data() + 402, name);
    return r;
}

Bytes join (const std::vector<Bytes>& records)
{
    Bytes block;
    for (const auto& r : records)
        block.insert (block.end(), r.begin(), r.end());
    return block;
}

Bytes withByte (Bytes r, size_t at)
{
    r[at] = (uint8_t)(r[at] ^ 0x01);
    return r;
}

using Groups = std::vector<std::vector<int>>;
} // namespace

TEST (Duplicates, OnlyTheNameAndCategoryBytesAreIgnored)
{
    const auto base = program (1, "Original", 8);
    auto renamed = program (1, "Another Name Here!!", 24); // all 20 name bytes and the category differ
    std::vector<Bytes> records{base, renamed};
    // One changed byte anywhere else makes a different sound: either side of the name, between
    // the name and the category, either side of the category, the first and the last byte, layer B.
    for (size_t at : {0u, 401u, 422u, 425u, 427u, 914u, 1023u})
        records.push_back (withByte (base, at));
    records.push_back (withByte (base, 421)); // the name's last byte
    const auto block = join (records);
    EXPECT_EQ (LibraryOrder::duplicateGroups (block.data(), (int)records.size()), (Groups{{0, 1, 9}}));

    // Groups come in the order of their first record; records keep library order in a group.
    const auto other = program (2, "Other");
    const auto mixed = join ({other, base, program (2, "Other Copy", 3), renamed, program (3, "Alone")});
    EXPECT_EQ (LibraryOrder::duplicateGroups (mixed.data(), 5), (Groups{{0, 2}, {1, 3}}));
    EXPECT_TRUE (LibraryOrder::duplicateGroups (mixed.data(), 0).empty());
}

TEST (Sorting, ByNameCategoryAndRating)
{
    const auto block = join ({program (1, "beta", 4), program (2, "Alpha", 24), program (3, "gamma", 4),
                              program (4, "alpha", 8), program (5, "  Space", 1)});
    LibraryMeta meta;
    meta.setRating (LibraryMeta::keyOf (block.data() + 2 * 1024), 3);
    meta.setRating (LibraryMeta::keyOf (block.data() + 0 * 1024), 1);
    meta.setRating (LibraryMeta::keyOf (block.data() + 4 * 1024), 1);

    auto sorted = [&] (LibraryMeta::Order order, std::vector<int> rows)
    {
        LibraryOrder::sort (rows, block.data(), order, meta);
        return rows;
    };
    using O = LibraryMeta::Order;
    EXPECT_EQ (sorted (O::name, {0, 1, 2, 3, 4}), (std::vector<int>{4, 1, 3, 0, 2}))
        << "any case; ties in library order";
    EXPECT_EQ (sorted (O::category, {0, 1, 2, 3, 4}), (std::vector<int>{4, 0, 2, 3, 1}));
    EXPECT_EQ (sorted (O::rating, {0, 1, 2, 3, 4}), (std::vector<int>{2, 0, 4, 1, 3}));
    EXPECT_EQ (sorted (O::library, {3, 1, 4}), (std::vector<int>{1, 3, 4}));
    EXPECT_EQ (sorted (O::name, {2, 3}), (std::vector<int>{3, 2})) << "only the rows given";
}

TEST (CategorySuggestions, AWordAtTheStartOfAWordOfTheNameForUncategorisedRecords)
{
    const auto block =
        join ({program (1, "Fat Bassline"), program (2, "Sharp Thing"), program (3, "Warm Pad", 3),
               program (4, "LEAD 1"), program (5, "my-arp"), program (6, "Pad Bass"), program (7, "Sub Bass 2")});
    const auto rules = LibraryMeta::defaultRules();
    const auto found = LibraryOrder::suggestCategories (block.data(), 7, rules);
    ASSERT_EQ (found.size(), 5u);
    EXPECT_EQ (found[0].record, 0);
    EXPECT_EQ (ParDes::categoryText (found[0].category), "Soft Bass");
    EXPECT_EQ (found[1].record, 3);
    EXPECT_EQ (ParDes::categoryText (found[1].category), "Soft Lead");
    EXPECT_EQ (found[2].record, 4);
    EXPECT_EQ (ParDes::categoryText (found[2].category), "Arpeggiator");
    EXPECT_EQ (found[3].record, 5);
    EXPECT_EQ (ParDes::categoryText (found[3].category), "Soft Bass") << "the table's first matching rule";
    EXPECT_EQ (found[4].record, 6);
    EXPECT_EQ (ParDes::categoryText (found[4].category), "Sub Bass") << "a sub bass is no soft bass";

    const std::vector<LibraryMeta::Rule> mine{{"thing", 22}};
    const auto custom = LibraryOrder::suggestCategories (block.data(), 7, mine);
    ASSERT_EQ (custom.size(), 1u);
    EXPECT_EQ (custom[0].record, 1);
}

namespace
{
class Care : public ::testing::Test
{
protected:
    juce::String nameAt (int n) const { return ProgramLibrary::nameOf (library.record (n).data()).trimEnd(); }
    int categoryAt (int n) const { return library.record (n)[426]; }

    juce::ScopedJuceInitialiser_GUI messageThread;
    MidiCntrState hub{std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File()};
    ravlin::test::ScriptedHost host;
    ProgramLibrary library{host, hub};
};
} // namespace

TEST_F (Care, FindDuplicatesKeepsTheBestRatedOfEachGroupOrAll)
{
    library.setRecords (
        join ({program (1, "First"), program (2, "Lone"), program (1, "Second", 8), program (1, "Third", 4)}));
    library.setRating (2, 2); // "Second"

    host.answer (Answer::cancel);
    library.findDuplicates();
    EXPECT_EQ (host.asked.back().title, "1 group of programs sound the same: 1 'First' = 3 'Second' = 4 'Third'. "
                                        "Remove 2 and keep one of each?");
    EXPECT_EQ (host.asked.back().positive, "KEEP ONE");
    EXPECT_EQ (host.asked.back().cancel, "KEEP ALL");
    EXPECT_EQ (library.size(), 4) << "KEEP ALL removes nothing";

    host.answer (Answer::positive);
    library.findDuplicates();
    ASSERT_EQ (library.size(), 2);
    EXPECT_EQ (nameAt (0), "Lone");
    EXPECT_EQ (nameAt (1), "Second") << "the rated one stays";
    EXPECT_EQ (library.ratingOfRecord (1), 2);

    library.findDuplicates();
    EXPECT_EQ (host.asked.back().title, "No two programs in the library sound the same.");
}

TEST_F (Care, SuggestedCategoriesAreAcceptedAllOneByOneOrNone)
{
    const auto records = join ({program (1, "Fat Bass"), program (2, "Big Pad"), program (3, "Solo Lead")});
    library.setRecords (records);
    library.setRating (0, 3);

    host.answer (Answer::cancel);
    library.suggestCategories();
    EXPECT_EQ (host.asked.back().title, "3 programs without a category could be: 'Fat Bass' -> Soft Bass; "
                                        "'Big Pad' -> Pads; 'Solo Lead' -> Soft Lead.");
    EXPECT_EQ (library.block(), records) << "NONE changes nothing";

    host.answer (Answer::negative); // ONE BY ONE
    host.answer (Answer::positive);
    host.answer (Answer::negative);
    host.answer (Answer::positive);
    library.suggestCategories();
    EXPECT_EQ (categoryAt (0), 8);
    EXPECT_EQ (categoryAt (1), 0) << "answered NO";
    EXPECT_EQ (categoryAt (2), 4);
    EXPECT_EQ (host.asked.back().title, "2 categories set.");
    EXPECT_EQ (library.ratingOfRecord (0), 3) << "the stars follow the record to its new category";

    host.answer (Answer::positive); // ACCEPT ALL: the one left
    library.suggestCategories();
    EXPECT_EQ (categoryAt (1), 24);
    EXPECT_EQ (host.asked.back().title, "1 category set.");

    library.suggestCategories();
    EXPECT_EQ (host.asked.back().title, "No program without a category has a name the category rules know.");
}
