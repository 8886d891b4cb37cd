#include "instrument/ParDes.h"
#include "ui/controls/ValueMenus.h"

#include <gtest/gtest.h>

TEST (ParDes, OffsetKindsAtTheirEdges)
{
    EXPECT_EQ (ParDes::valueText (21, 127), "0");
    EXPECT_EQ (ParDes::valueText (21, 0), "-127");
    EXPECT_EQ (ParDes::valueText (21, 254), "127");
    EXPECT_EQ (ParDes::valueText (21, 255), "128");
    EXPECT_EQ (ParDes::valueText (22, 50), "0");
    EXPECT_EQ (ParDes::valueText (22, 0), "-50");
    EXPECT_EQ (ParDes::valueText (23, 0), "-64");
    EXPECT_EQ (ParDes::valueText (23, 127), "63");
    EXPECT_EQ (ParDes::valueText (0, 255), "255");
}

TEST (ParDes, PitchBendRanges)
{
    EXPECT_EQ (ParDes::valueText (16, 0), "OFF");
    EXPECT_EQ (ParDes::valueText (16, 1), "1 Semitones");
    EXPECT_EQ (ParDes::valueText (16, 11), "11 Semitones");
    EXPECT_EQ (ParDes::valueText (16, 12), "1 Octave");
    EXPECT_EQ (ParDes::valueText (16, 13), "13 Semitones");
    EXPECT_EQ (ParDes::valueText (16, 23), "23 Semitones");
    EXPECT_EQ (ParDes::valueText (16, 24), "2 Octaves");
    EXPECT_EQ (ParDes::valueText (16, 25), "");
}

TEST (ParDes, ListKindsAndTheirEnds)
{
    EXPECT_EQ (ParDes::valueText (4, 3), "3");
    EXPECT_EQ (ParDes::valueText (4, 4), "");
    EXPECT_EQ (ParDes::valueText (6, 120), "120 bpm");
    EXPECT_EQ (ParDes::valueText (10, 5), "8th ");
    EXPECT_EQ (ParDes::valueText (10, 15), "32 Qrtr");
    EXPECT_EQ (ParDes::valueText (10, 16), "");
    EXPECT_EQ (ParDes::valueText (1, 1), "Split A|B");
    EXPECT_EQ (ParDes::valueText (1, 2), "Stack A+B");
    EXPECT_EQ (ParDes::valueText (5, 13), "64th N T");
    EXPECT_EQ (ParDes::valueText (5, 14), "");
    EXPECT_EQ (ParDes::valueText (8, 8), "Dotted 1/4.");
    EXPECT_EQ (ParDes::valueText (11, 1), "Rev. Sawtooth");
    EXPECT_EQ (ParDes::valueText (12, 1), "ON");
    EXPECT_EQ (ParDes::valueText (14, 19), "Violet Noise");
    EXPECT_EQ (ParDes::valueText (14, 20), "");
    EXPECT_EQ (ParDes::valueText (15, 0), "Tines");
    EXPECT_EQ (ParDes::valueText (15, 11), "Meh");
    EXPECT_EQ (ParDes::valueText (17, 21), "CC#2 Foot Pedal");
    EXPECT_EQ (ParDes::valueText (17, 27), "Audio Out");
    EXPECT_EQ (ParDes::valueText (20, 1), "All Voices");
    EXPECT_EQ (ParDes::valueText (24, 1), "Highpass");
    EXPECT_EQ (ParDes::valueText (180, 5), "Last Retrig");
    EXPECT_EQ (ParDes::valueText (180, 6), "");
}

TEST (ParDes, ModulationDestinations)
{
    EXPECT_EQ (ParDes::valueText (7, 0), "Off");
    EXPECT_EQ (ParDes::valueText (7, 5), "Osc All Freq");
    EXPECT_EQ (ParDes::valueText (7, 15), "Sub Osc Level");
    EXPECT_EQ (ParDes::valueText (7, 30), "Osc All Slop");
    EXPECT_EQ (ParDes::valueText (7, 31), "Air");
    EXPECT_EQ (ParDes::valueText (7, 44), "Feedback Tuning");
    EXPECT_EQ (ParDes::valueText (7, 53), "Delay All Time");
    EXPECT_EQ (ParDes::valueText (7, 61), "Delay 4 Pan");
    EXPECT_EQ (ParDes::valueText (7, 71), "Amp Env Amount");
    EXPECT_EQ (ParDes::valueText (7, 78), "All Env Attack");
    EXPECT_EQ (ParDes::valueText (7, 79), "LPF Env Decay");
    EXPECT_EQ (ParDes::valueText (7, 88), "All Env Release");
    EXPECT_EQ (ParDes::valueText (7, 89), "Mod 1 Amount");
    EXPECT_EQ (ParDes::valueText (7, 104), "Mod 16 Amount");
    EXPECT_EQ (ParDes::valueText (7, 105), "");
    EXPECT_EQ (ParDes::valueText (7, 255), "");
}

TEST (ParDes, UnknownKindsAreEmptyForEveryValue)
{
    for (int kind : {19, 25, 99, -1})
        for (int v = 0; v < 256; ++v)
            EXPECT_EQ (ParDes::valueText (kind, v), "") << "kind " << kind << " value " << v;
}

TEST (ParDes, NoteNames)
{
    EXPECT_EQ (ParDes::noteName (0), "C0");
    EXPECT_EQ (ParDes::noteName (1), "C#0");
    EXPECT_EQ (ParDes::noteName (60), "C5");
    EXPECT_EQ (ParDes::noteName (71), "B5");
    EXPECT_EQ (ParDes::noteName (120), "C10");
    EXPECT_EQ (ParDes::valueText (18, 61), "C#5");
    EXPECT_EQ (ParDes::valueText (13, 255), "D#21");
}

TEST (ParDes, Categories)
{
    EXPECT_EQ (ParDes::categoryText (0), "- Not Assigned -");
    EXPECT_EQ (ParDes::categoryText (13), "Instruments");
    EXPECT_EQ (ParDes::categoryText (25), "Arpeggiator");
    EXPECT_EQ (ParDes::categoryText (26), "");
    EXPECT_EQ (ParDes::categoryText (-1), "");
}

TEST (ParDes, ValueMenuOffersEveryValueWithItsText)
{
    const auto switchItems = ParDes::offeredValues (12, 1);
    ASSERT_EQ (switchItems.size(), 2u);
    EXPECT_EQ (switchItems[0].text, "OFF");
    EXPECT_EQ (switchItems[1].text, "ON");

    const auto menu = ParDes::buildValueMenu (12, 1);
    EXPECT_EQ (menu.getNumItems(), 2);
    juce::PopupMenu::MenuItemIterator it (menu);
    ASSERT_TRUE (it.next());
    EXPECT_EQ (it.getItem().itemID, 1);
    ASSERT_TRUE (it.next());
    EXPECT_EQ (it.getItem().itemID, 2);
    EXPECT_EQ (it.getItem().text, "ON");

    const auto pitchItems = ParDes::offeredValues (13, 120);
    ASSERT_EQ (pitchItems.size(), 121u);
    EXPECT_EQ (pitchItems.back().text, "C10");
}
