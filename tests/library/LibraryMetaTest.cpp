#include "library/LibraryMeta.h"
#include "core/MidiCntrState.h"
#include "instrument/DSI_Program.h"
#include "library/LibraryFile.h"
#include "library/ProgramLibrary.h"
#include "support/FakeMidiDevices.h"
#include "support/ScriptedLibraryHost.h"

#include <gtest/gtest.h>

using ravlin::Bytes;
using Answer = ProgramLibrary::Answer;
using Order = LibraryMeta::Order;

namespace
{
Bytes program (int seed, const juce::String& name, int category = 0)
{
    Bytes r (1024);
    for (size_t i = 0; i < r.size(); ++i)
        r[i] = (uint8_t)((i * 7 + (size_t)seed * 13) & 0x7F);
    r[426] = (uint8_t)category;
    DSI_Program::writeName (r.data() + 402, name);
    return r;
}

class Sidecar : public ::testing::Test
{
protected:
    Sidecar() { folder.createDirectory(); }
    ~Sidecar() override { folder.deleteRecursively(); }

    void writeLibrary (const std::vector<Bytes>& records)
    {
        ASSERT_TRUE (LibraryFile::write (folder.getChildFile ("p12Lib.p12l"), records));
    }

    /** The names of the rows shown, blanks at the end removed. */
    juce::StringArray shown (const ProgramLibrary& l) const
    {
        juce::StringArray names;
        for (auto n : l.getVisibleRows())
            names.add (ProgramLibrary::nameOf (l.record (n).data()).trimEnd());
        return names;
    }

    /** A library opened afresh from the folder, as the next time the page opens. */
    std::unique_ptr<ProgramLibrary> reopen()
    {
        auto l = std::make_unique<ProgramLibrary> (host, hub);
        l->loadDefault (folder);
        return l;
    }

    juce::ScopedJuceInitialiser_GUI messageThread;
    MidiCntrState hub{std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File()};
    ravlin::test::ScriptedHost host;
    juce::File folder =
        juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("ravlin-sidecar", "");
    juce::File sidecar = folder.getChildFile ("p12Lib.meta.json");
};
} // namespace

TEST (LibraryMetaKey, IsFnv1aOfTheWholeImage)
{
    Bytes zeros (1024, 0);
    // FNV-1a 64 of 1024 zero bytes, worked out independently: offset basis times the prime 1024 times.
    uint64_t expected = 14695981039346656037ull;
    for (int i = 0; i < 1024; ++i)
        expected *= 1099511628211ull;
    EXPECT_EQ (LibraryMeta::keyOf (zeros.data()), expected);
    EXPECT_EQ (LibraryMeta::keyText (0x0123456789abcdefull), "0123456789abcdef");
    auto last = zeros;
    last[1023] = 1;
    EXPECT_NE (LibraryMeta::keyOf (last.data()), LibraryMeta::keyOf (zeros.data())) << "every byte counts";
}

TEST_F (Sidecar, RatingsFollowProgramsThroughRenamesCopiesAndReordering)
{
    const auto bass = program (1, "Fat Bass"), pad = program (2, "Warm Pad"), lead = program (3, "Lead");
    writeLibrary ({bass, pad, lead, bass});
    {
        auto l = reopen();
        l->setRating (0, 3);
        l->setRating (2, 1);
        EXPECT_EQ (l->ratingOfRecord (3), 3) << "a copy of the same image shares the rating";
        l->select (0);
        host.answer (Answer::positive, "Huge Bass", 8);
        l->rename();
        l->saveDefault (folder);
    }
    EXPECT_EQ (folder.getChildFile ("p12Lib.p12l").getSize(), 26 + 4 * 1024) << "the library file is as it always was";
    ASSERT_TRUE (sidecar.existsAsFile());
    EXPECT_TRUE (sidecar.loadFileAsString().contains ("\"rating\": 3"));

    auto again = reopen();
    EXPECT_EQ (ProgramLibrary::nameOf (again->record (0).data()).trimEnd(), "Huge Bass");
    EXPECT_EQ (again->ratingOfRecord (0), 3) << "the renamed record keeps its stars";
    EXPECT_EQ (again->ratingOfRecord (3), 3) << "so does its unrenamed copy";
    EXPECT_EQ (again->ratingOfRecord (1), 0);
    EXPECT_EQ (again->ratingOfRecord (2), 1);
    again.reset();

    // The library file rewritten in another order: every program keeps its stars.
    auto renamed = bass;
    DSI_Program::writeName (renamed.data() + 402, "Huge Bass");
    renamed[426] = 8;
    writeLibrary ({lead, pad, renamed});
    auto reordered = reopen();
    EXPECT_EQ (reordered->ratingOfRecord (0), 1);
    EXPECT_EQ (reordered->ratingOfRecord (1), 0);
    EXPECT_EQ (reordered->ratingOfRecord (2), 3);
}

TEST_F (Sidecar, OrderAndFavouritesFilterAreKeptAcrossReopening)
{
    writeLibrary ({program (1, "charlie", 8), program (2, "Alpha", 24), program (3, "bravo", 4)});
    {
        auto l = reopen();
        l->setRating (0, 2);
        l->setRating (2, 1);
        l->setOrder (Order::name);
        EXPECT_EQ (shown (*l), juce::StringArray ("Alpha", "bravo", "charlie"));
        l->saveDefault (folder);
    }
    {
        auto l = reopen();
        EXPECT_EQ (l->getMeta().getOrder(), Order::name);
        EXPECT_EQ (shown (*l), juce::StringArray ("Alpha", "bravo", "charlie"));
        l->setOrder (Order::rating);
        l->setFavouritesOnly (true);
        EXPECT_EQ (shown (*l), juce::StringArray ("charlie", "bravo")) << "most stars first, unrated hidden";
        l->saveDefault (folder);
    }
    auto l = reopen();
    EXPECT_TRUE (l->getMeta().isFavouritesOnly());
    EXPECT_EQ (shown (*l), juce::StringArray ("charlie", "bravo"));
    l->setFavouritesOnly (false);
    l->setOrder (Order::category);
    EXPECT_EQ (shown (*l), juce::StringArray ("bravo", "charlie", "Alpha")) << "Soft Lead 4, Soft Bass 8, Pads 24";
    l->setOrder (Order::library);
    EXPECT_EQ (shown (*l), juce::StringArray ("charlie", "Alpha", "bravo"));
}

TEST_F (Sidecar, AnUnreadableSidecarIsSetAsideToldAndNeverWrittenOver)
{
    writeLibrary ({program (1, "One"), program (2, "Two")});
    sidecar.replaceWithText ("{ \"programs\": { oops");
    auto l = reopen();
    EXPECT_EQ (l->size(), 2) << "the library loads whatever its sidecar holds";
    ASSERT_FALSE (host.asked.empty());
    EXPECT_EQ (host.asked.back().title, "p12Lib.meta.json could not be read; it was kept as "
                                        "p12Lib.meta.json.unreadable. Ratings and the list's order start afresh.");
    const auto aside = folder.getChildFile ("p12Lib.meta.json.unreadable");
    EXPECT_EQ (aside.loadFileAsString(), "{ \"programs\": { oops");

    l->setRating (1, 2);
    l->saveDefault (folder);
    EXPECT_EQ (aside.loadFileAsString(), "{ \"programs\": { oops") << "the set-aside copy is left alone";
    EXPECT_EQ (reopen()->ratingOfRecord (1), 2) << "a fresh sidecar was written beside it";
}

TEST_F (Sidecar, TheRuleTableIsEditableInTheFile)
{
    writeLibrary ({program (1, "Sharp Thing"), program (2, "Fat Bassline")});
    reopen()->saveDefault (folder); // nothing changed: no sidecar
    EXPECT_FALSE (sidecar.existsAsFile());
    {
        auto l = reopen();
        l->setOrder (Order::name);
        l->saveDefault (folder);
    }
    const auto text = sidecar.loadFileAsString();
    EXPECT_TRUE (text.contains ("\"word\": \"bass\"")) << text;
    EXPECT_TRUE (text.contains ("\"category\": \"Soft Bass\"")) << text;

    sidecar.replaceWithText (R"({"programs": {}, "categoryRules": [{"word": "thing", "category": "Noise"},
                                 {"word": "", "category": "Pads"}, {"word": "x", "category": "No Such"}]})");
    auto l = reopen();
    ASSERT_EQ (l->getMeta().getRules().size(), 1u) << "rules without a word or a known category are left out";
    EXPECT_EQ (l->getMeta().getRules()[0].word, "thing");
    EXPECT_EQ (l->getMeta().getRules()[0].category, 22);
}

TEST_F (Sidecar, TwoViewsSavingKeepEachOthersStars)
{
    const auto a = program (1, "A"), b = program (2, "B"), c = program (3, "C");
    LibraryMeta first, second;
    first.load (folder);
    second.load (folder);
    first.setRating (LibraryMeta::keyOf (a.data()), 3);
    first.setRating (LibraryMeta::keyOf (c.data()), 1);
    ASSERT_TRUE (first.save (folder));
    second.setRating (LibraryMeta::keyOf (b.data()), 2);
    second.setRating (LibraryMeta::keyOf (c.data()), 0); // taken away here, after the other set it
    second.setOrder (Order::rating);
    ASSERT_TRUE (second.save (folder));

    LibraryMeta read;
    ASSERT_EQ (read.load (folder), LibraryMeta::Load::loaded);
    EXPECT_EQ (read.ratingOf (a.data()), 3) << "the first view's star";
    EXPECT_EQ (read.ratingOf (b.data()), 2);
    EXPECT_EQ (read.ratingOf (c.data()), 0) << "the later change wins";
    EXPECT_EQ (read.getOrder(), Order::rating);
    EXPECT_FALSE (read.hasUnsavedChanges());
}
