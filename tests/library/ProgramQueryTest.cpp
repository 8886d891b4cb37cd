#include "library/ProgramQuery.h"
#include "instrument/DSI_Program.h"
#include "instrument/ParameterNames.h"
#include "library/ProgramSearch.h"

#include <gtest/gtest.h>

using ravlin::Bytes;

namespace
{
int at (const char* dottedName)
{
    return ParameterNames::get().indexOf (dottedName);
}

/** A program with the given name and settings on top of zeros. */
Bytes program (const juce::String& name, std::initializer_list<std::pair<const char*, int>> values, int category = 0)
{
    Bytes image (1024, 0);
    DSI_Program::writeName (image.data() + DSI_Program::nameOffset, name);
    image[(size_t)DSI_Program::categoryOffset] = (uint8_t)category;
    for (const auto& [name, value] : values)
        image[(size_t)at (name)] = (uint8_t)value;
    return image;
}

bool meets (const juce::String& query, const Bytes& image)
{
    ProgramQuery q;
    EXPECT_TRUE (q.parse (query)) << query << ": " << q.error().describe();
    return q.matches (image.data());
}

juce::String errorOf (const juce::String& query)
{
    ProgramQuery q;
    EXPECT_FALSE (q.parse (query)) << query;
    EXPECT_FALSE (q.isValid());
    return q.error().describe();
}
} // namespace

TEST (ProgramQuery, TermsUseTheTablesNamesAndValueTexts)
{
    const auto saw = program ("Saw Lead", {{"osc1.shape", 1}, {"arp.on", 1}, {"lpf.freq", 120}, {"mod1.amt", 137}});

    EXPECT_TRUE (meets ("osc1.shape = Sawtooth", saw));
    EXPECT_TRUE (meets ("OSC1.SHAPE = sawtooth", saw));
    EXPECT_FALSE (meets ("osc1.shape = Sine", saw));
    EXPECT_TRUE (meets ("osc1.shape != Sine", saw));
    EXPECT_TRUE (meets ("osc1.shape = Sawtooth and arp.on = On and lpf.freq > 100", saw));
    EXPECT_FALSE (meets ("osc1.shape = Sawtooth and arp.on = Off", saw));
    EXPECT_TRUE (meets ("lpf.freq >= 120 and lpf.freq <= 120 and lpf.freq < 121", saw));
    EXPECT_FALSE (meets ("lpf.freq > 120", saw));
    // A centred knob compares by what it shows: 137 reads 10.
    EXPECT_TRUE (meets ("mod1.amt = 10", saw));
    EXPECT_TRUE (meets ("mod1.amt > 0 and mod1.amt < 11", saw));
    EXPECT_FALSE (meets ("mod1.amt < 0", saw));
    // Layer B is its own; a bare name is layer A.
    EXPECT_TRUE (meets ("b.osc1.shape = Off and a.osc1.shape = Sawtooth", saw));
    // Texts with blanks, quoted or not; comparing follows the raw order.
    EXPECT_TRUE (meets ("osc2.shape = Off or osc2.shape = Red Noise", saw));
    EXPECT_TRUE (meets ("lfo1.freq_sync = \"8th\" or lfo1.freq_sync < 8th", saw));
}

TEST (ProgramQuery, AndBindsCloserThanOrAndParenthesesGroup)
{
    const auto p = program ("X", {{"osc1.shape", 1}});
    EXPECT_TRUE (meets ("osc1.shape = Sine and arp.on = On or osc1.shape = Sawtooth", p));
    EXPECT_FALSE (meets ("osc1.shape = Sine and (arp.on = On or osc1.shape = Sawtooth)", p));
    EXPECT_TRUE (meets ("((osc1.shape = Sawtooth))", p));
}

TEST (ProgramQuery, NameAndCategory)
{
    const auto pad = program ("Warm Pad 2", {}, 24);
    EXPECT_TRUE (meets ("name contains \"pad\"", pad));
    EXPECT_TRUE (meets ("name contains PAD and category = Pads", pad));
    EXPECT_TRUE (meets ("name = \"warm pad 2\"", pad));
    EXPECT_FALSE (meets ("name = \"warm\"", pad));
    EXPECT_TRUE (meets ("name != warm", pad));
    EXPECT_FALSE (meets ("name contains lead", pad));
    EXPECT_TRUE (meets ("category = 24 and category != Keys", pad));
}

TEST (ProgramQuery, MalformedInputIsRefusedWithItsColumnAndWhatWasExpected)
{
    EXPECT_EQ (errorOf (""), "column 1: expected a name or \"(\" at the end");
    EXPECT_EQ (errorOf ("osc1.shape"), "column 11: expected an operator (= != < <= > >=) after \"osc1.shape\"");
    EXPECT_EQ (errorOf ("osc1.shape ="), "column 13: expected a value after \"=\"");
    EXPECT_EQ (errorOf ("osc1.shape = Sawtooth and"), "column 26: expected a name or \"(\" at the end");
    EXPECT_EQ (errorOf ("osc1.shape = Sawtooth arp.on = On"),
               "column 14: \"Sawtooth arp.on = On\" is not a value of osc1.shape");
    EXPECT_EQ (errorOf ("(osc1.shape = Sawtooth"), "column 23: expected \")\" to close the \"(\" of column 1");
    EXPECT_EQ (errorOf ("osc1.shape = Sawtooth)"), "column 22: \")\" without its \"(\"");
    EXPECT_EQ (errorOf ("osc1.shape == Sawtooth"), "column 13: expected a value after \"=\", found \"=\"");
    EXPECT_EQ (errorOf ("name contains \"pad"), "column 15: the quote of column 15 is not closed");
    EXPECT_EQ (errorOf ("name > pad"), "column 6: \"name\" takes =, != or contains, not \">\"");
    EXPECT_EQ (errorOf ("arp.on = On and and osc1.shape = Sine"), "column 17: expected a name or \"(\", found \"and\"");
    EXPECT_EQ (errorOf ("= 3"), "column 1: expected a name or \"(\", found \"=\"");
    EXPECT_EQ (errorOf ("lpf.freq > 999"), "column 12: \"999\" is not a value of lpf.freq");
    EXPECT_EQ (errorOf ("osc1.shape = Sawtoth"),
               "column 14: \"Sawtoth\" is not a value of osc1.shape; did you mean Sawtooth?");
}

TEST (ProgramQuery, AnUnknownNameSuggestsTheNearestNames)
{
    ProgramQuery q;
    EXPECT_FALSE (q.parse ("arp.on = On and osc1.shap = Sine"));
    EXPECT_EQ (q.error().column, 17);
    EXPECT_EQ (q.error().message, "unknown name \"osc1.shap\"");
    ASSERT_FALSE (q.error().suggestions.isEmpty());
    EXPECT_EQ (q.error().suggestions[0], "osc1.shape");
    EXPECT_TRUE (q.error().describe().startsWith ("column 17: unknown name \"osc1.shap\"; did you mean osc1.shape"));
    EXPECT_FALSE (q.matches (program ("X", {}).data()));
}

TEST (ProgramQuery, CompletionOffersNamesOperatorsValuesAndJoins)
{
    auto c = ProgramQuery::complete ("arp.on = On and osc1.sh", 23);
    EXPECT_EQ (c.replaceFrom, 16);
    EXPECT_EQ (c.options, juce::StringArray ("osc1.shape", "osc1.shape_mod"));

    c = ProgramQuery::complete ("osc1.shape ", 11);
    EXPECT_EQ (c.replaceFrom, 11);
    EXPECT_EQ (c.options, juce::StringArray ("=", "!=", "<", "<=", ">", ">="));

    c = ProgramQuery::complete ("osc1.shape = s", 14);
    EXPECT_EQ (c.replaceFrom, 13);
    EXPECT_EQ (c.options, juce::StringArray ("Sawtooth", "Sine", "Shrill"));

    c = ProgramQuery::complete ("category = p", 12);
    EXPECT_EQ (c.options, juce::StringArray ("Percussion", "Pads"));

    c = ProgramQuery::complete ("(osc1.shape = Sine ", 19);
    EXPECT_EQ (c.replaceFrom, 19);
    EXPECT_EQ (c.options, juce::StringArray ("and", "or"));

    c = ProgramQuery::complete ("na", 2);
    EXPECT_EQ (c.options, juce::StringArray ("name"));
}

namespace
{
struct TwoKindsOfBank : ProgramSource
{
    juce::String getBankName (int bank) const override { return "Bank " + juce::String (bank + 1); }
    Bytes getBankProgram (int bank, int p) const override
    {
        const bool saw = (bank == 2 && p == 7) || (bank == 6 && p == 98);
        return program ("P" + juce::String (bank) + "-" + juce::String (p), {{"osc1.shape", saw ? 1 : 4}},
                        saw ? 24 : 1);
    }
    Bytes getPresetProgram (int) const override { return {}; }
    Bytes getCurrentProgram() const override { return {}; }
};
} // namespace

TEST (ProgramSearch, FindsTheMatchingBankProgramsAndLibraryRecords)
{
    ProgramQuery q;
    ASSERT_TRUE (q.parse ("osc1.shape = Sawtooth"));

    TwoKindsOfBank banks;
    const auto hits = ProgramSearch::inBanks (q, banks);
    ASSERT_EQ (hits.size(), 2u);
    EXPECT_EQ (hits[0].where(), "Bank 3 / 8");
    EXPECT_EQ (hits[0].name, "P2-7");
    EXPECT_EQ (hits[1].where(), "Bank 7 / 99");
    EXPECT_EQ (hits[1].category, "Pads");

    Bytes block;
    for (const auto& image : {program ("Saw Pad", {{"osc1.shape", 1}}, 24), program ("Sine", {{"osc1.shape", 4}}),
                              program ("Saw Keys", {{"osc1.shape", 1}}, 1)})
        block.insert (block.end(), image.begin(), image.end());
    block.resize (block.size() + 500, 1); // a torn last record is not read
    const auto found = ProgramSearch::inLibrary (q, block);
    ASSERT_EQ (found.size(), 2u);
    EXPECT_EQ (found[0].record, 0);
    EXPECT_EQ (found[0].where(), "Pads / Saw Pad");
    EXPECT_EQ (found[1].record, 2);
    EXPECT_EQ (found[1].where(), "Keys / Saw Keys");
}
