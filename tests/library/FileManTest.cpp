#include "library/FileMan.h"

#include <gtest/gtest.h>

using ravlin::Bytes;

namespace
{
Bytes image (int seed)
{
    Bytes b (1024);
    for (size_t i = 0; i < b.size(); ++i)
        b[i] = (uint8_t)((i + (size_t)seed * 13) & 0x7F);
    return b;
}

Bytes join (std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const auto& p : parts)
        all.insert (all.end(), p.begin(), p.end());
    return all;
}

class ProgramFileReads : public ::testing::Test
{
protected:
    ProgramFileReads() { folder.createDirectory(); }
    ~ProgramFileReads() override { folder.deleteRecursively(); }

    juce::File put (const juce::String& name, const Bytes& data)
    {
        const auto f = folder.getChildFile (name);
        f.replaceWithData (data.data(), data.size());
        return f;
    }

    juce::File folder =
        juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("ravlin-fileman", "");
};
} // namespace

TEST (FileManKinds, TitlesPatternsAndModes)
{
    EXPECT_EQ (FileMan::filterFor (1), "*.p12p;*.syx");
    EXPECT_EQ (juce::String (FileMan::kind (4)->title), "Load Program 12 Library");
    EXPECT_EQ (FileMan::filterFor (4), "*.p12l;*.p12b;*.syx");
    EXPECT_EQ (FileMan::filterFor (110), "*.fxb");
    EXPECT_EQ (FileMan::filterFor (11), "*.fxp");
    EXPECT_EQ (FileMan::kind (104)->mode, FileMan::Mode::save);
    EXPECT_FALSE (FileMan::kind (2).has_value());
    EXPECT_EQ (FileMan::settingsFolder().getFileName(), "RavlinSettings");
}

TEST_F (ProgramFileReads, SaveNamesGetTheKindsExtension)
{
    FileMan fm;
    fm.answerDialog = [this] (const FileMan::Kind&) { return folder.getChildFile ("mylib"); };
    bool chosen = false;
    fm.browse (FileMan::Mode::save, 104, "Untitled", [&] (bool c) { chosen = c; });
    EXPECT_TRUE (chosen);
    EXPECT_EQ (fm.chosenFile.getFileName(), "mylib.p12l");
    EXPECT_EQ (fm.title, "Save Prophet 12 Program Library");
    EXPECT_EQ (ProgramFiles::withExtension (juce::File ("/x/mylib.x"), ".p12l").getFileName(), "mylib.x.p12l");
    EXPECT_EQ (ProgramFiles::withExtension (juce::File ("/x/mylib.ab"), ".p12l").getFileName(), "mylib.ab.p12l");
    EXPECT_EQ (ProgramFiles::withExtension (juce::File ("/x/bank"), ".fxb").getFileName(), "bank.fxb");
    EXPECT_EQ (ProgramFiles::withExtension (juce::File ("/x/Tremolo E.P. & P"), {"*.p12p", "*.syx"}).getFileName(),
               "Tremolo E.P. & P.p12p")
        << "a name with dots still gets its extension";
    EXPECT_EQ (ProgramFiles::withExtension (juce::File ("/x/mine.SYX"), {"*.p12p", "*.syx"}).getFileName(), "mine.SYX")
        << "any of the kind's own extensions is kept";

    fm.browse (FileMan::Mode::open, 104, {}, [&] (bool c) { chosen = c; });
    EXPECT_FALSE (chosen) << "104 is a save kind";
    fm.answerDialog = [] (const FileMan::Kind&) { return juce::File(); };
    fm.browse (FileMan::Mode::open, 1, {}, [&] (bool c) { chosen = c; });
    EXPECT_FALSE (chosen) << "cancelled";
}

TEST_F (ProgramFileReads, SingleProgramsTakeOnlyTheFirstMessage)
{
    FileMan fm;
    const auto first = ravlin::packEditBufferDump (image (1));
    const auto second = ravlin::packEditBufferDump (image (2));
    ASSERT_TRUE (fm.readSingleProgram (put ("two.syx", join ({{1, 2, 3}, first, second}))));
    EXPECT_EQ (fm.program.getImage(), image (1));

    Bytes odd (1177, 0x10);
    odd.front() = 0xF0, odd.back() = 0xF7;
    EXPECT_FALSE (fm.readSingleProgram (put ("odd.syx", join ({odd, first})))) << "only the first F0 is tried";
    EXPECT_FALSE (fm.readSingleProgram (put ("tiny.syx", {0xF0, 1, 2, 3, 4, 5, 6, 7, 0xF7})));
    EXPECT_FALSE (fm.readSingleProgram (put ("open.syx", Bytes (first.begin(), first.end() - 1))));
    EXPECT_FALSE (fm.readSingleProgram (folder.getChildFile ("missing.syx")));

    const auto dump = ravlin::packProgramDump (image (3), 2, 40);
    ASSERT_TRUE (fm.readSingleProgram (put ("dump.p12p", dump)));
    EXPECT_EQ (fm.program.getImage(), image (3));
}

TEST_F (ProgramFileReads, BanksFindTheirDumpsAnywhere)
{
    FileMan fm;
    Bytes all;
    for (int p = 0; p < 99; ++p)
    {
        const auto dump = ravlin::packProgramDump (image (p), 0, p);
        all.insert (all.end(), dump.begin(), dump.end());
        const Bytes other{0xF0, 0x7E, 0x00, 0x06, 0x01, 0xF7, 0x00, 0x42};
        all.insert (all.end(), other.begin(), other.end());
    }
    ASSERT_TRUE (fm.readProgramBank (put ("full.syx", all)));
    EXPECT_EQ (fm.bankMessages, 99);

    Bytes fifty;
    for (int p = 0; p < 50; ++p)
    {
        const auto dump = ravlin::packProgramDump (image (200 + p), 3, p);
        fifty.insert (fifty.end(), dump.begin(), dump.end());
    }
    ASSERT_TRUE (fm.readProgramBank (put ("fifty.p12b", fifty)));
    Bank_Program bank ("bank");
    bank.loadFactoryBank (0);
    const auto slot51 = bank.getProgram (50);
    bank.loadFromDumps (fm.sysExBytes);
    EXPECT_EQ (bank.getProgram (0), image (200));
    EXPECT_EQ (bank.getProgram (49), image (249));
    EXPECT_EQ (bank.getProgram (50), slot51);

    // A dump with a status byte inside its body is broken: it is no program, the next one is.
    auto dump = ravlin::packProgramDump (image (5), 0, 0);
    dump[100] = 0xF0;
    ASSERT_TRUE (fm.readProgramBank (put ("inner.syx", join ({dump, ravlin::packProgramDump (image (6), 0, 1)}))));
    EXPECT_EQ (fm.bankMessages, 1);
    EXPECT_EQ (Bytes (fm.sysExBytes.begin() + 4, fm.sysExBytes.begin() + 6), (Bytes{0, 1}));
    EXPECT_FALSE (fm.readProgramBank (put ("short.syx", {0xF0, 1, 0xF7})));
}

TEST_F (ProgramFileReads, SavedProgramsAndBanksReadBack)
{
    FileMan fm;
    fm.answerDialog = [this] (const FileMan::Kind& k)
    { return folder.getChildFile (k.number == 101 ? "one" : "bank"); };
    fm.saveSingleProgram (image (7), "Night Pad       ", nullptr);
    EXPECT_EQ (fm.defaultName, "Night Pad");
    EXPECT_EQ (fm.chosenFile.getFileName(), "one.p12p");
    ASSERT_TRUE (fm.readSingleProgram (fm.chosenFile));
    EXPECT_EQ (fm.program.getImage(), image (7));
    EXPECT_EQ (fm.chosenFile.getSize(), 1176);

    Bank_Program bank ("User Bank 3");
    for (int p = 0; p < 99; ++p)
        bank.setProgram (p, image (p + 300));
    fm.saveProgramBank (bank, 2, nullptr);
    EXPECT_EQ (fm.defaultName, "User Bank 3");
    const auto saved = fm.chosenFile;
    EXPECT_EQ (saved.getFileName(), "bank.p12b");
    ASSERT_EQ (saved.getSize(), 99 * 1178);
    ASSERT_TRUE (fm.readProgramBank (saved));
    EXPECT_EQ (fm.bankMessages, 99);
    EXPECT_EQ (fm.sysExBytes[4], 2) << "the bank number";
    EXPECT_EQ (fm.sysExBytes[98 * 1178 + 5], 98) << "the program number";
    Bank_Program back ("back");
    back.loadFromDumps (fm.sysExBytes);
    EXPECT_EQ (back.getProgram (98), image (398));
}

TEST_F (ProgramFileReads, FilesOverSixteenMebibytesAreRefusedUnread)
{
    const auto big = folder.getChildFile ("big.syx");
    {
        juce::FileOutputStream out (big);
        const Bytes chunk (1 << 20, 0xF0);
        for (int i = 0; i < 16; ++i)
            out.write (chunk.data(), chunk.size());
        out.writeByte ((char)0xF7);
    }
    EXPECT_FALSE (ProgramFiles::readFile (big).has_value());
    FileMan fm;
    EXPECT_FALSE (fm.readProgramBank (big));
    EXPECT_TRUE (fm.fileBytes.empty()) << "nothing was read";
}

#include "core/MidiCntrState.h"
#include "core/PresetChunks.h"
#include "support/FakeMidiDevices.h"

TEST_F (ProgramFileReads, FxFilesAreThePluginsOwnChunks)
{
    juce::ScopedJuceInitialiser_GUI messageThread;
    MidiCntrState hub (std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File());
    hub.presetProgramIndex = 2;
    hub.setPresetProgram (7, image (77));
    juce::MemoryBlock bank, preset;
    PresetChunks::writeBank (hub, bank);
    PresetChunks::writeProgram (hub, preset);

    FileMan fm;
    fm.answerDialog = [this] (const FileMan::Kind& k) { return folder.getChildFile (k.number == 110 ? "set" : "one"); };
    fm.browse (FileMan::Mode::save, 110, "Program Bank", nullptr);
    const auto fxb = fm.chosenFile;
    ASSERT_TRUE (ProgramFiles::write (
        fxb, Bytes ((const uint8_t*)bank.getData(), (const uint8_t*)bank.getData() + bank.getSize())));
    fm.browse (FileMan::Mode::save, 111, "Preset", nullptr);
    const auto fxp = fm.chosenFile;
    ASSERT_TRUE (ProgramFiles::write (
        fxp, Bytes ((const uint8_t*)preset.getData(), (const uint8_t*)preset.getData() + preset.getSize())));
    EXPECT_EQ (fxb.getFileName(), "set.fxb");
    EXPECT_EQ (fxb.getSize(), 102430);
    EXPECT_EQ (fxp.getFileName(), "one.fxp");
    EXPECT_EQ (fxp.getSize(), 1057);

    MidiCntrState other (std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File());
    other.presetProgramIndex = 0;
    const auto readBack = ProgramFiles::readFile (fxb);
    ASSERT_TRUE (readBack.has_value());
    PresetChunks::readBank (other, readBack->data(), (int)readBack->size());
    EXPECT_EQ (other.getPresetProgram (7), image (77));
}
