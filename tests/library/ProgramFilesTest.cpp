#include "instrument/DSI_Program.h"
#include "library/LibraryFile.h"
#include "library/ProgramScan.h"

#include <gtest/gtest.h>

#include <random>

using namespace ravlin;

namespace
{
Bytes namedImage (const juce::String& name, int category, uint32_t seed)
{
    std::mt19937 rng (seed);
    Bytes image ((size_t)sysex::imageSize);
    for (auto& b : image)
        b = (uint8_t)(rng() & 0xFF);
    DSI_Program::writeName (image.data() + DSI_Program::nameOffset, name);
    image[(size_t)DSI_Program::categoryOffset] = (uint8_t)category;
    return image;
}

void append (Bytes& stream, const Bytes& more)
{
    stream.insert (stream.end(), more.begin(), more.end());
}

ProgramScan::Result scan (const Bytes& data)
{
    return ProgramScan::scan (data.data(), data.size());
}
} // namespace

TEST (LibraryFile, ContainerLayoutAndRecordRules)
{
    const std::vector<Bytes> records{namedImage ("One", 1, 1), namedImage ("Two", 2, 2)};
    const auto image = LibraryFile::buildImage (records);
    ASSERT_EQ (image.getSize(), 2074u);
    const auto* bytes = static_cast<const uint8_t*> (image.getData());
    EXPECT_EQ (juce::String::fromUTF8 ((const char*)bytes, 13), "Mopho  Libr >");
    EXPECT_EQ (juce::String::fromUTF8 ((const char*)bytes + 2061, 13), "< Mopho  Libr");

    auto read = LibraryFile::readRecords (bytes, image.getSize(), 13, true);
    EXPECT_EQ (read, records);

    // The start marker is not checked; a partial record is not a record.
    Bytes odd (13 + 1023, 'x');
    EXPECT_TRUE (LibraryFile::readRecords (odd.data(), odd.size(), 13, true).empty());
    odd.push_back ('x');
    EXPECT_EQ (LibraryFile::readRecords (odd.data(), odd.size(), 13, true).size(), 1u);

    // Duplicates are dropped only when asked.
    Bytes twice (13, 0);
    append (twice, records[0]);
    append (twice, records[0]);
    EXPECT_EQ (LibraryFile::readRecords (twice.data(), twice.size(), 13, true).size(), 1u);
    EXPECT_EQ (LibraryFile::readRecords (twice.data(), twice.size(), 13, false).size(), 2u);
    EXPECT_TRUE (LibraryFile::readRecords (twice.data(), 5, 13, false).empty());
}

TEST (LibraryFile, WriteReplacesTheFileAndLeavesNoTemporaries)
{
    juce::TemporaryFile folder;
    const auto dir = folder.getFile();
    ASSERT_TRUE (dir.createDirectory());
    const auto file = dir.getChildFile ("nested").getChildFile ("mine.p12l");

    EXPECT_FALSE (LibraryFile::write (file, {}));
    EXPECT_FALSE (file.exists());

    ASSERT_TRUE (LibraryFile::write (file, {namedImage ("A", 1, 1), namedImage ("B", 1, 2), namedImage ("C", 1, 3)}));
    EXPECT_EQ (file.getSize(), 26 + 3 * 1024);
    ASSERT_TRUE (LibraryFile::write (file, {namedImage ("A", 1, 1)}));
    EXPECT_EQ (file.getSize(), 26 + 1024);
    EXPECT_FALSE (LibraryFile::write (file, {}));
    EXPECT_EQ (file.getSize(), 26 + 1024) << "an empty library leaves the file as it was";
    EXPECT_EQ (file.getParentDirectory().getNumberOfChildFiles (juce::File::findFilesAndDirectories), 1);
    dir.deleteRecursively();
}

TEST (ProgramScan, SysExFilesWithForeignMessages)
{
    Bytes stream{0x00, 0x01};
    for (int n = 0; n < 3; ++n)
    {
        auto dump = packProgramDump (namedImage ("Prog " + juce::String (n), n, (uint32_t)n), 1, n);
        dump[2] = sysex::deviceKeyboard;
        append (stream, dump);
    }
    append (stream, {0xF0, 0x7E, 0x00, 0x06, 0x02, 0xF7}); // identity reply
    Bytes global (325, 0x10);
    global.front() = 0xF0, global[1] = 0x01, global[2] = 0x2A, global[3] = 0x5C, global.back() = 0xF7;
    append (stream, global);
    append (stream, packEditBufferDump (namedImage ("Edited", 5, 9)));
    append (stream, {0xF0, 0x01, 0x2B, 0x02, 0x00}); // cut short by the next message
    append (stream, packEditBufferDump (namedImage ("Last", 6, 10)));
    append (stream, {0xF0, 0x01}); // cut short by the end of file

    const auto result = scan (stream);
    EXPECT_EQ (result.format, ProgramScan::Format::sysEx);
    ASSERT_EQ (result.programs.size(), 5u);
    EXPECT_EQ (result.skippedMessages, 4);
    EXPECT_EQ (result.programs[1].bank, 1);
    EXPECT_EQ (result.programs[1].program, 1);
    EXPECT_EQ (result.programs[1].image, namedImage ("Prog 1", 1, 1));
    EXPECT_EQ (result.programs[3].bank, -1);
    EXPECT_EQ (result.programs[3].image, namedImage ("Edited", 5, 9));
    EXPECT_EQ (result.programs[4].image, namedImage ("Last", 6, 10));
}

TEST (ProgramScan, LibrariesPresetsAndRawImages)
{
    const auto lib = LibraryFile::buildImage ({namedImage ("L1", 1, 1), namedImage ("L2", 2, 2)});
    const auto libResult = ProgramScan::scan (static_cast<const uint8_t*> (lib.getData()), lib.getSize());
    EXPECT_EQ (libResult.format, ProgramScan::Format::library);
    EXPECT_EQ (libResult.programs.size(), 2u);

    Bytes bank (ProgramScan::fxBankHeader, ProgramScan::fxBankHeader + 29);
    for (int n = 0; n < 99; ++n)
        append (bank, namedImage ("P" + juce::String (n), 0, (uint32_t)n));
    append (bank, namedImage ("current", 0, 500));
    bank.push_back (4);
    ASSERT_EQ (bank.size(), 102430u);
    const auto bankResult = scan (bank);
    EXPECT_EQ (bankResult.format, ProgramScan::Format::fxBank);
    ASSERT_EQ (bankResult.programs.size(), 99u);
    EXPECT_EQ (bankResult.programs[98].image, namedImage ("P98", 0, 98));

    bank.resize (29 + 1024 * 10 + 100);
    EXPECT_TRUE (scan (bank).programs.empty()) << "a cut-off bank is refused, not taken in part";

    Bytes preset (ProgramScan::fxPresetHeader, ProgramScan::fxPresetHeader + 33);
    append (preset, namedImage ("fxp", 3, 3));
    EXPECT_EQ (scan (preset).programs.size(), 1u);
    preset.pop_back();
    EXPECT_TRUE (scan (preset).programs.empty());

    EXPECT_EQ (scan (namedImage ("raw", 1, 1)).format, ProgramScan::Format::rawImage);
    EXPECT_TRUE (scan ({}).programs.empty());
    EXPECT_EQ (ProgramScan::scan (nullptr, 10).format, ProgramScan::Format::none);
}

TEST (ProgramScan, RandomGarbageNeverCrashes)
{
    std::mt19937 rng (77);
    for (int round = 0; round < 300; ++round)
    {
        Bytes junk ((size_t)(rng() % 5000));
        for (auto& b : junk)
            b = (uint8_t)(rng() % 4 == 0 ? 0xF0 + rng() % 8 : rng() & 0xFF);
        if (round % 3 == 0 && junk.size() > 1300)
        {
            const auto dump = packProgramDump (namedImage ("x", 1, 1), 0, 0);
            std::copy (dump.begin(), dump.end(), junk.begin() + 50);
        }
        const auto result = scan (junk);
        for (const auto& found : result.programs)
            ASSERT_EQ (found.image.size(), 1024u);
    }
}
