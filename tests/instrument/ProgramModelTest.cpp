#include "instrument/BankFolder.h"
#include "instrument/Bank_Program.h"
#include "instrument/ParDes.h"
#include "instrument/ParameterTable.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

using namespace ravlin;

namespace
{
Bytes randomImage (uint32_t seed)
{
    std::mt19937 rng (seed);
    Bytes image ((size_t)sysex::imageSize);
    for (auto& b : image)
        b = (uint8_t)(rng() & 0xFF);
    return image;
}

Bytes dumpStream (int count, uint32_t seed)
{
    Bytes stream;
    for (int k = 0; k < count; ++k)
    {
        const auto dump = packProgramDump (randomImage (seed + (uint32_t)k), 7, 7);
        stream.insert (stream.end(), dump.begin(), dump.end());
    }
    return stream;
}
} // namespace

TEST (EmbeddedData, DefaultProgramIsTheBasicProgram)
{
    EXPECT_EQ (embedded::defaultProgramDump[0], 0xF0);
    EXPECT_EQ (embedded::defaultProgramDump[2], 0x29);
    EXPECT_EQ (embedded::defaultProgramDump[4], 0);
    EXPECT_EQ (embedded::defaultProgramDump[5], 0);
    EXPECT_EQ (embedded::defaultProgramDump[1177], 0xF7);

    DSI_Program program;
    EXPECT_EQ (program.getName(), "Basic Program       ");
    EXPECT_EQ (program.image.size(), 1024u);
    EXPECT_EQ (program.image[DSI_Program::abModeOffset], 0);
}

TEST (EmbeddedData, FactoryBanksHoldValidDistinctPrograms)
{
    const ParameterTable table;
    const BankFolder folder;
    ASSERT_TRUE (folder.isValid());
    EXPECT_EQ (folder.bank (4), nullptr);
    EXPECT_EQ (folder.bank (-1), nullptr);

    std::set<juce::String> names;
    for (int b = 0; b < Bank_Program::numFactoryBanks; ++b)
    {
        Bank_Program bank ("Factory Bank");
        bank.loadFactoryBank (b);
        for (int n = 0; n < Bank_Program::numPrograms; ++n)
        {
            const auto image = bank.getProgram (n);
            const auto name = bank.getProgramName (n);
            EXPECT_TRUE (names.insert (name).second) << "duplicate name " << name;
            EXPECT_NE (name.trim(), "");
            EXPECT_FALSE (name.containsAnyOf (juce::String::charToString (0)));
            EXPECT_NE (ParDes::categoryText (image[DSI_Program::categoryOffset]), "");
            EXPECT_GT (image[DSI_Program::categoryOffset], 0) << "every factory sound has a category";

            for (int p = 0; p < 1024; ++p)
            {
                if (p >= 370 && p <= 426)
                    continue; // text rows, name, split, A/B mode and category
                if (p - 512 >= 370 && p - 512 <= 426)
                    continue;
                ASSERT_LE (image[(size_t)p], table.highest (p))
                    << name << ": parameter " << p << " (" << table.shortName (p) << ") out of range";
            }

            const int level = image[8] + image[9] + image[10] + image[11];
            EXPECT_GT (level, 0) << name << " makes no sound";
            EXPECT_GT (image[169], 0) << name << " has no amplifier envelope";
        }
    }
    EXPECT_EQ (names.size(), 396u);
}

TEST (DSI_Program, NameRules)
{
    DSI_Program program;
    const auto afterName = program.image[422];
    program.setName ("Twenty Characters!!!");
    EXPECT_EQ (program.getName(), "Twenty Characters!!!");
    EXPECT_EQ (program.image[421], '!');

    program.setName ("Pad");
    EXPECT_EQ (program.getName(), "Pad                 ");
    EXPECT_EQ (program.image[402], 'P');
    EXPECT_EQ (program.image[405], ' ');
    EXPECT_EQ (program.image[421], ' ') << "the whole field is written";

    program.setName ("Twenty Characters!!! and more");
    EXPECT_EQ (program.getName(), "Twenty Characters!!!");
    EXPECT_EQ (program.image[422], afterName) << "the byte after the name is left alone";

    program.setName (juce::String ("a") + juce::String::charToString (19) + juce::String::charToString (0x20AC) + "b");
    EXPECT_EQ (program.image[402], 'a');
    EXPECT_EQ (program.image[403], ' ');
    EXPECT_EQ (program.image[404], ' ');
    EXPECT_EQ (program.image[405], 'b');

    program.image[402] = 5;
    program.image[403] = 0;
    EXPECT_EQ (program.getName().substring (0, 4), "AA b");
    EXPECT_EQ (program.name.substring (0, 4), "AA b");
}

TEST (DSI_Program, LoadSysExByLength)
{
    DSI_Program program;
    const auto image = randomImage (1);
    const auto before = program.image;

    EXPECT_FALSE (program.loadSysEx (Bytes (1177, 0)));
    EXPECT_FALSE (program.loadSysEx (Bytes{}));
    EXPECT_EQ (program.image, before);

    EXPECT_TRUE (program.loadSysEx (image));
    EXPECT_EQ (program.image, image);

    const auto other = randomImage (2);
    EXPECT_TRUE (program.loadSysEx (packEditBufferDump (other)));
    EXPECT_EQ (program.image, other);

    auto dump = packProgramDump (image, 3, 4);
    dump[2] = 0x00; // the device byte is not examined
    EXPECT_TRUE (program.loadSysEx (dump));
    EXPECT_EQ (program.image, image);
    EXPECT_EQ (program.name, DSI_Program::nameFrom (image.data(), image.size(), true));
}

TEST (DSI_Program, ShortImagesReadZeroBeyondTheirEnd)
{
    DSI_Program program;
    program.setImage (Bytes (10, 7));
    EXPECT_EQ (program.image.size(), 10u);
    const auto image = program.getImage();
    ASSERT_EQ (image.size(), 1024u);
    EXPECT_EQ (image[9], 7);
    EXPECT_EQ (image[10], 0);
    EXPECT_EQ (program.getName(), "AAAAAAAAAAAAAAAAAAAA");

    program.setImage (Bytes (2000, 9));
    EXPECT_EQ (program.image.size(), 1024u);
}

TEST (Bank_Program, LoadFromDumpsFillsSlotsByPosition)
{
    Bank_Program bank ("User Bank 1");
    bank.initialise (false);
    const auto keep = bank.getProgram (98);

    bank.loadFromDumps (dumpStream (98, 100));
    EXPECT_EQ (bank.getProgram (0), randomImage (100));
    EXPECT_EQ (bank.getProgram (97), randomImage (197));
    EXPECT_EQ (bank.getProgram (98), keep);

    auto full = dumpStream (99, 300);
    full.insert (full.end(), 5, 0xF0);
    bank.loadFromDumps (full);
    EXPECT_EQ (bank.getProgram (98), randomImage (398));
    EXPECT_EQ (bank.programs.size(), 99u * 1024u);
}

TEST (Bank_Program, NeverGrowsPastNinetyNinePrograms)
{
    Bank_Program bank ("User Bank 2");
    bank.loadFromDumps (dumpStream (120, 500));
    EXPECT_EQ (bank.programs.size(), 99u * 1024u);
    EXPECT_EQ (bank.getProgram (98), randomImage (598));

    bank.setProgram (99, randomImage (1));
    bank.setProgram (-1, randomImage (1));
    bank.setProgram (5000, randomImage (1));
    EXPECT_EQ (bank.programs.size(), 99u * 1024u);
}

TEST (Bank_Program, SlotAccessAndTexts)
{
    Bank_Program bank ("Program Bank");
    bank.initialise (false);
    EXPECT_EQ (bank.getProgramName (0), "Basic Program       ");
    EXPECT_EQ (bank.getCurrentName(), "Basic Program       ");
    EXPECT_TRUE (bank.getProgram (99).empty());
    EXPECT_EQ (bank.getProgram (-3), bank.getProgram (0));
    EXPECT_EQ (bank.getProgramName (120), "");

    auto image = randomImage (8);
    image[425] = 3;
    image[296] = 0;
    image[808] = 1;
    bank.setProgram (4, image);
    EXPECT_EQ (bank.abModeText (4), "");
    EXPECT_EQ (bank.arpMark (4), "(A)");
    image[425] = 1;
    image[808] = 0;
    bank.setProgramAndCurrent (6, image);
    EXPECT_EQ (bank.abModeText (6), "A + B");
    EXPECT_EQ (bank.currentAbModeText(), "A + B");
    EXPECT_EQ (bank.currentArpMark(), "");
    EXPECT_EQ (bank.getProgram (6), bank.getCurrent());

    bank.setProgramName (6, "Renamed");
    EXPECT_EQ (bank.getProgramName (6), "Renamed             ");
    EXPECT_EQ (bank.programAsDump (6), packEditBufferDump (bank.getProgram (6)));

    bank.setCurrent (Bytes (3, 1));
    EXPECT_EQ (bank.getCurrent().size(), 1024u);
    bank.storeCurrent (7);
    EXPECT_EQ (bank.getProgram (7)[2], 1);
    EXPECT_EQ (bank.getProgram (7)[3], 0);
}

TEST (Bank_Program, FactoryInitialisation)
{
    Bank_Program bank ("Factory Bank 1");
    bank.initialise (true);
    const BankFolder folder;
    EXPECT_EQ (bank.getProgram (0), Bytes (folder.bank (0), folder.bank (0) + 1024));
    bank.loadFactoryBank (3);
    EXPECT_EQ (bank.getProgram (98), Bytes (folder.bank (3) + 98 * 1024, folder.bank (3) + 99 * 1024));
}
