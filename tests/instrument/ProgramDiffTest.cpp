#include "instrument/ProgramDiff.h"
#include "instrument/DSI_Program.h"
#include "instrument/ParameterNames.h"

#include <gtest/gtest.h>

#include <set>

namespace
{
int at (const char* dottedName)
{
    const auto index = ParameterNames::get().indexOf (dottedName);
    EXPECT_GE (index, 0) << dottedName;
    return index;
}

/** "Section | Layer | Name | this | other", the row as the diff list shows it. */
std::string shown (const ProgramDiff::Row& row)
{
    return (row.sectionName + " | " + ProgramDiff::layerText (row.layer) + " | " + row.name + " | " + row.thisText +
            " | " + row.otherText)
        .toStdString();
}
} // namespace

TEST (ParameterNames, EveryNamedByteHasOneNameThatLeadsBackToIt)
{
    const auto& names = ParameterNames::get();
    const auto& table = names.table();
    std::set<juce::String> seen;
    int named = 0;
    for (int p = 0; p < ravlin::ParameterTable::numImageParameters; ++p)
    {
        const auto& name = names.nameOf (p);
        const auto& shortName = table.shortName (p);
        const bool expected = !shortName.empty() && shortName != "rfu" && p != 936 && p != 937;
        EXPECT_EQ (name.isNotEmpty(), expected) << p << " " << shortName;
        if (name.isEmpty())
            continue;
        ++named;
        EXPECT_TRUE (seen.insert (name).second) << "two bytes are called " << name;
        EXPECT_EQ (names.indexOf (name), p) << name;
        EXPECT_EQ (name, name.toLowerCase());
        EXPECT_TRUE (name.containsOnly ("abcdefghijklmnopqrstuvwxyz0123456789._")) << name;
    }
    EXPECT_EQ (named, names.allNames().size());
}

TEST (ParameterNames, FollowTheSectionAndTheTablesName)
{
    const auto& names = ParameterNames::get();
    EXPECT_EQ (names.nameOf (12), "osc1.shape");
    EXPECT_EQ (names.nameOf (15), "osc4.shape");
    EXPECT_EQ (names.nameOf (12 + 512), "b.osc1.shape");
    EXPECT_EQ (names.nameOf (74), "osc.pb_range_up");
    EXPECT_EQ (names.nameOf (85), "lpf.freq");
    EXPECT_EQ (names.nameOf (168), "lpf.env_amt");
    EXPECT_EQ (names.nameOf (297), "arp.auto_latch");
    EXPECT_EQ (names.nameOf (296), "arp.on");
    EXPECT_EQ (names.nameOf (257), "unison.on");
    EXPECT_EQ (names.nameOf (306), "step1.note");
    EXPECT_EQ (names.nameOf (369), "step32.vel");
    EXPECT_EQ (names.nameOf (425), "layer.ab_mode");
    EXPECT_EQ (names.nameOf (425 + 512), "");
    EXPECT_EQ (names.nameOf (24), "");
    EXPECT_EQ (names.nameOf (202), "");
    EXPECT_EQ (names.nameOf (402), "");

    EXPECT_EQ (names.indexOf ("A.OSC1.Shape"), 12);
    EXPECT_EQ (names.indexOf ("B.osc1.shape"), 524);
    EXPECT_EQ (names.indexOf ("a.b.osc1.shape"), -1);
    EXPECT_EQ (names.indexOf ("osc5.shape"), -1);
    EXPECT_EQ (names.nearest ("osc1.shpe")[0], "osc1.shape");
    EXPECT_EQ (names.nearest ("osc1.shap", 2), juce::StringArray ("osc1.shape", "osc1.shape_mod"));
    EXPECT_TRUE (names.nearest ("zzzzzzzzzzzzzzzzzzzz").isEmpty());
}

TEST (ProgramDiff, EqualProgramsHaveNoDifferences)
{
    const auto image = DSI_Program::defaultImage();
    EXPECT_TRUE (ProgramDiff::compare (image, image).empty());

    // Bytes nobody reads do not make two programs differ.
    auto other = image;
    for (int reserved : {24, 41, 202, 255, 261, 370, 423, 430, 511, 536, 914, 930, 936, 937})
        other[(size_t)reserved] ^= 0x11;
    EXPECT_TRUE (ProgramDiff::compare (image, other).empty());
}

TEST (ProgramDiff, ListsExactlyTheChangedParametersWithTheirTextsGroupedBySection)
{
    DSI_Program mine, theirs;
    auto& a = mine.image;
    auto& b = theirs.image;
    mine.setName ("Warm Pad");
    theirs.setName ("Cold Pad");
    a[DSI_Program::categoryOffset] = 24;
    b[DSI_Program::categoryOffset] = 1;

    auto set = [&] (const char* name, int mineValue, int theirsValue)
    {
        a[(size_t)at (name)] = (uint8_t)mineValue;
        b[(size_t)at (name)] = (uint8_t)theirsValue;
    };
    set ("b.lfo1.shape", 2, 3);  // choice, layer B
    set ("mod3.amt", 127, 137);  // centred knob
    set ("osc1.shape", 1, 4);    // choice
    set ("osc1.level", 100, 64); // knob
    set ("b.osc2.level", 5, 6);  // knob, layer B
    set ("arp.on", 0, 1);        // switch
    set ("layer.ab_mode", 0, 2); // the whole program's
    set ("lpf.freq", 10, 10);    // the same on both sides

    std::vector<std::string> rows;
    for (const auto& row : ProgramDiff::compare (a, b))
        rows.push_back (shown (row));

    EXPECT_EQ (rows, (std::vector<std::string>{
                         "Program |  | Name | Warm Pad | Cold Pad",
                         "Program |  | Category | Pads | Keys",
                         "Oscillators | A | Level 1 | 100 | 64",
                         "Oscillators | A | Shape 1 | Sawtooth | Sine",
                         "Oscillators | B | Level 2 | 5 | 6",
                         "LFOs | B | LFO 1 Shape | Sawtooth | Square",
                         "Modulation | A | Mod 3 Amt | 0 | 10",
                         "Arpeggiator | A | Arp On/Off | OFF | ON",
                         "A/B Mode |  | A B Mode | Normal | Stack A+B",
                     }));

    const auto diff = ProgramDiff::compare (a, b);
    EXPECT_EQ (diff[3].index, 12);
    EXPECT_EQ (diff[3].dottedName, "osc1.shape");
    EXPECT_EQ (diff[5].index, at ("b.lfo1.shape"));
    EXPECT_EQ (diff[0].index, ProgramDiff::nameRow);
    EXPECT_EQ (diff[1].index, ProgramDiff::categoryRow);
}

TEST (ProgramDiff, AShortImageReadsAsZerosAndValuesWithoutTextShowTheirNumber)
{
    ravlin::Bytes zeros (1024, 0);
    ravlin::Bytes shortImage (10, 0);
    EXPECT_TRUE (ProgramDiff::compare (zeros, shortImage).empty());

    auto other = zeros;
    other[(size_t)at ("osc1.shape")] = 200; // beyond the shapes' list
    const auto diff = ProgramDiff::compare (shortImage, other);
    ASSERT_EQ (diff.size(), 1u);
    EXPECT_EQ (diff[0].thisText, "Off");
    EXPECT_EQ (diff[0].otherText, "200");
}
