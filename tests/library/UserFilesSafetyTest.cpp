// What the user owns survives every path through the library and the file readers: files are
// read by their content, failed saves change nothing, large libraries load, and two instances
// on one settings folder keep each other's work.
#include "core/MidiCntrState.h"
#include "library/FileMan.h"
#include "library/LibraryFile.h"
#include "library/ProgramFiles.h"
#include "library/ProgramLibrary.h"
#include "library/ProgramScan.h"
#include "support/FakeMidiDevices.h"
#include "support/ScriptedLibraryHost.h"

#include <gtest/gtest.h>

#include <filesystem>

using ravlin::Bytes;
using Answer = ProgramLibrary::Answer;
using ravlin::test::ScriptedHost;

namespace
{
Bytes program (int seed, const juce::String& name = {})
{
    Bytes r (1024);
    for (size_t i = 0; i < r.size(); ++i)
        r[i] = (uint8_t)((i * 7 + (size_t)seed * 13) & 0x7F);
    r[426] = (uint8_t)(seed % 26);
    DSI_Program::writeName (r.data() + 402, name.isEmpty() ? "Sound " + juce::String (seed) : name);
    return r;
}

Bytes block (std::initializer_list<int> seeds)
{
    Bytes b;
    for (auto s : seeds)
    {
        const auto r = program (s);
        b.insert (b.end(), r.begin(), r.end());
    }
    return b;
}

/** Random bytes with plenty of F0 ... F7 spans, as any large binary file has. */
Bytes noise (size_t size, int seed)
{
    juce::Random random (seed);
    Bytes data (size);
    for (auto& b : data)
        b = (uint8_t)random.nextInt (256);
    return data;
}

class UserFiles : public ::testing::Test
{
protected:
    UserFiles() { folder.createDirectory(); }
    ~UserFiles() override { folder.deleteRecursively(); }

    juce::File put (const juce::String& name, const Bytes& data)
    {
        const auto f = folder.getChildFile (name);
        EXPECT_TRUE (f.replaceWithData (data.data(), data.size()));
        return f;
    }
    juce::File bankFile (const juce::String& name, int firstSeed)
    {
        Bank_Program bank ("b");
        for (int p = 0; p < Bank_Program::numPrograms; ++p)
            bank.setProgram (p, program (firstSeed + p));
        return put (name, ProgramFiles::bankContent (bank, 0));
    }
    /** A path no file can be written to: its folder is a plain file. */
    juce::File unwritable (const juce::String& name)
    {
        const auto plain = put ("plain-file", {1, 2, 3});
        return plain.getChildFile (name);
    }

    juce::ScopedJuceInitialiser_GUI messageThread;
    MidiCntrState hub{std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File()};
    ScriptedHost host;
    ProgramLibrary library{host, hub};
    juce::File folder =
        juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("ravlin-user-files", "");
};
} // namespace

TEST_F (UserFiles, FromLibraryFileReadsABankAsItsProgramsAndRefusesAnythingElse)
{
    // A real bank chosen where a library is expected: 99 programs, not 113 slices of bytes.
    host.files = {bankFile ("real.p12b", 100)};
    library.load (ProgramLibrary::fromLibraryFile);
    ASSERT_EQ (library.size(), 99);
    EXPECT_EQ (library.record (0), program (100));
    EXPECT_EQ (library.record (98), program (198));
    EXPECT_TRUE (host.asked.empty()) << "an empty library takes them without a question";

    // Anything else: a message, and the library as it was.
    const auto before = library.block();
    for (const auto& junk : {put ("noise.p12l", noise (200000, 1)), put ("text.p12b", {'h', 'i'})})
    {
        host.files = {junk};
        library.load (ProgramLibrary::fromLibraryFile);
        EXPECT_EQ (library.block(), before) << junk.getFileName();
        ASSERT_FALSE (host.asked.empty());
        EXPECT_EQ (host.asked.back().title, junk.getFileName() + " is neither a library nor a file of Prophet 12 "
                                                                 "program dumps. The library is unchanged.");
    }
}

TEST_F (UserFiles, OnlyWellFormedDumpsAreProgramsForThePluginAndTheCommandLine)
{
    // 200 KB of noise holds hundreds of F0 ... F7 spans and not one program.
    const auto random = noise (200000, 7);
    FileMan fm;
    EXPECT_FALSE (fm.readProgramBank (put ("noise.syx", random)));
    EXPECT_FALSE (fm.readSingleProgram (put ("noise.p12p", random)));
    EXPECT_TRUE (ProgramScan::scan (random.data(), random.size()).programs.empty());

    // One byte off in a real dump, and it is none.
    const auto good = ravlin::packProgramDump (program (3), 1, 2);
    auto changed = [&good] (size_t at, uint8_t value)
    {
        auto d = good;
        d[at] = value;
        return d;
    };
    const std::vector<std::pair<const char*, Bytes>> broken{
        {"another maker", changed (1, 0x02)},
        {"another instrument", changed (2, 0x2C)},
        {"a request, not a dump", changed (3, 0x05)},
        {"an edit-buffer command at a program dump's length", changed (3, 0x03)},
        {"a byte above 7F inside", changed (600, 0x90)},
    };
    for (const auto& [what, dump] : broken)
    {
        EXPECT_FALSE (fm.readProgramBank (put ("one.syx", dump))) << what;
        EXPECT_FALSE (fm.readSingleProgram (put ("one.syx", dump))) << what;
    }

    // The keyboard's byte is as good as the module's.
    ASSERT_TRUE (fm.readProgramBank (put ("keyboard.syx", changed (2, 0x2A))));
    EXPECT_EQ (fm.bankMessages, 1);
    ASSERT_TRUE (fm.readSingleProgram (put ("keyboard.syx", changed (2, 0x2A))));
    EXPECT_EQ (fm.program.getImage(), program (3));
}

TEST_F (UserFiles, FxFilesAreTakenBareOrFromTheHostsContainerAndRefusedOtherwise)
{
    Bytes bankChunk (ProgramScan::fxBankHeader, ProgramScan::fxBankHeader + ProgramScan::fxBankHeaderSize);
    for (int p = 0; p < 100; ++p)
    {
        const auto r = program (p);
        bankChunk.insert (bankChunk.end(), r.begin(), r.end());
    }
    bankChunk.push_back (5);
    ASSERT_EQ (bankChunk.size(), (size_t)ProgramScan::fxBankSize);
    Bytes presetChunk (ProgramScan::fxPresetHeader, ProgramScan::fxPresetHeader + ProgramScan::fxPresetHeaderSize);
    const auto one = program (42);
    presetChunk.insert (presetChunk.end(), one.begin(), one.end());

    // The standard container: "CcnK", size, kind, version, id, plug-in version, count, then a
    // name (fxp, 28 bytes) or reserved bytes (fxb, 128), the chunk's size and the chunk.
    auto wrap = [] (const char* kind, const Bytes& chunk)
    {
        Bytes out;
        auto text = [&out] (const char* t) { out.insert (out.end(), t, t + 4); };
        auto number = [&out] (uint32_t v)
        {
            for (int shift = 24; shift >= 0; shift -= 8)
                out.push_back ((uint8_t)(v >> shift));
        };
        const bool bank = std::string (kind) == "FBCh";
        text ("CcnK");
        number ((uint32_t)(chunk.size() + (bank ? 152 : 52)));
        text (kind);
        number (1);
        text ("P12R");
        number (1);
        number (bank ? 99 : 1);
        out.resize (out.size() + (bank ? 128 : 28), 0);
        number ((uint32_t)chunk.size());
        out.insert (out.end(), chunk.begin(), chunk.end());
        return out;
    };

    const auto hostBank = wrap ("FBCh", bankChunk);
    auto fx = ProgramScan::readFxChunk (hostBank.data(), hostBank.size());
    EXPECT_EQ (fx.format, ProgramScan::Format::fxBank);
    EXPECT_EQ (fx.chunk, bankChunk) << "the host's .fxb unwrapped to our own chunk";
    const auto scanned = ProgramScan::scan (hostBank.data(), hostBank.size());
    ASSERT_EQ (scanned.programs.size(), 99u);
    EXPECT_EQ (scanned.programs[98].image, program (98)) << "the command line reads it the same way";

    const auto hostPreset = wrap ("FPCh", presetChunk);
    fx = ProgramScan::readFxChunk (hostPreset.data(), hostPreset.size());
    EXPECT_EQ (fx.format, ProgramScan::Format::fxPreset);
    EXPECT_EQ (fx.chunk, presetChunk);
    fx = ProgramScan::readFxChunk (presetChunk.data(), presetChunk.size());
    EXPECT_EQ (fx.format, ProgramScan::Format::fxPreset) << "our own chunk, bare";

    const std::vector<std::pair<const char*, Bytes>> refused{
        {"a 43-byte preset", Bytes (hostPreset.begin(), hostPreset.begin() + 43)},
        {"a container cut inside its chunk", Bytes (hostBank.begin(), hostBank.end() - 1000)},
        {"our header on a short chunk", Bytes (presetChunk.begin(), presetChunk.begin() + 500)},
        {"a bank cut short", Bytes (bankChunk.begin(), bankChunk.begin() + 29 + 1024 * 10)},
        {"another plug-in's parameter list",
         [&]
         {
             auto b = hostPreset;
             std::memcpy (b.data() + 8, "FxCk", 4);
             return b;
         }()},
        {"another plug-in's chunk", wrap ("FPCh", noise (1057, 3))},
        {"no container at all", noise (1057, 4)},
        {"nothing", {}},
    };
    for (const auto& [what, data] : refused)
    {
        fx = ProgramScan::readFxChunk (data.data(), data.size());
        EXPECT_EQ (fx.format, ProgramScan::Format::none) << what;
        EXPECT_TRUE (fx.chunk.empty()) << what;
        EXPECT_TRUE (fx.problem.isNotEmpty()) << what;
    }
}

TEST_F (UserFiles, ALibraryIsReplacedOrClearedOnlyOnceItsSaveSucceeded)
{
    Bytes ninetyNine;
    for (int n = 0; n < 99; ++n)
    {
        const auto r = program (n);
        ninetyNine.insert (ninetyNine.end(), r.begin(), r.end());
    }
    library.setRecords (ninetyNine);
    const auto two = folder.getChildFile ("two.p12l");
    ASSERT_TRUE (LibraryFile::writeBlock (two, block ({500, 501})));

    // NO to "Append Programs?", YES to "Save the Current Library?", and the save fails.
    host.files = {two, unwritable ("saved.p12l")};
    host.answer (Answer::negative);
    host.answer (Answer::positive);
    library.load (ProgramLibrary::fromLibraryFile);
    EXPECT_EQ (library.block(), ninetyNine) << "not replaced after a failed save";
    ASSERT_FALSE (host.asked.empty());
    EXPECT_TRUE (host.asked.back().title.startsWith ("Could not write ")) << host.asked.back().title;

    // The same with the save dialog cancelled.
    host.files = {two, juce::File()};
    host.answer (Answer::negative);
    host.answer (Answer::positive);
    library.load (ProgramLibrary::fromLibraryFile);
    EXPECT_EQ (library.block(), ninetyNine) << "not replaced after a cancelled save";

    // CLEAR ALL, YES to saving first, and the save fails or is cancelled.
    for (auto target : {unwritable ("cleared.p12l"), juce::File()})
    {
        host.files = {target};
        host.answer (Answer::positive);
        library.clearAll();
        EXPECT_EQ (library.block(), ninetyNine) << "not emptied";
    }

    // A save that works: then the pending programs replace the library.
    const auto saved = folder.getChildFile ("kept");
    host.files = {two, saved};
    host.answer (Answer::negative);
    host.answer (Answer::positive);
    library.load (ProgramLibrary::fromLibraryFile);
    EXPECT_EQ (library.block(), block ({500, 501}));
    const auto written = ProgramFiles::readFile (folder.getChildFile ("kept.p12l"), LibraryFile::maxFileSize);
    ASSERT_TRUE (written.has_value());
    EXPECT_EQ (written->size(), 26u + 99u * 1024u);
}

TEST_F (UserFiles, SavesAskAboutTheFinalNameAndSayWhenTheWriteFailed)
{
    const auto existing = put ("mybank.p12b", {1, 2, 3});
    FileMan fm;
    juce::StringArray asked, told;
    bool yes = false;
    fm.confirm = [&] (const juce::String& q, std::function<void()> onYes, std::function<void()> onNo)
    {
        asked.add (q);
        (yes ? onYes : onNo)();
    };
    fm.tell = [&] (const juce::String& m) { told.add (m); };
    fm.answerDialog = [this] (const FileMan::Kind&) { return folder.getChildFile ("mybank"); };

    Bank_Program bank ("User Bank 1");
    bool written = true;
    fm.saveProgramBank (bank, 0, [&] (bool w) { written = w; });
    EXPECT_EQ (asked, juce::StringArray ("Replace the existing file mybank.p12b?"));
    EXPECT_FALSE (written);
    EXPECT_EQ (existing.getSize(), 3) << "NO leaves the file alone";

    yes = true;
    fm.saveProgramBank (bank, 0, [&] (bool w) { written = w; });
    EXPECT_TRUE (written);
    EXPECT_EQ (existing.getSize(), 99 * ravlin::sysex::programDumpSize);

    // A name with dots still gets its extension, and a new file is not asked about.
    fm.answerDialog = [this] (const FileMan::Kind&) { return folder.getChildFile ("Tremolo E.P. & P"); };
    fm.saveSingleProgram (program (1), "Tremolo E.P. & P", [&] (bool w) { written = w; });
    EXPECT_TRUE (folder.getChildFile ("Tremolo E.P. & P.p12p").existsAsFile());
    EXPECT_EQ (asked.size(), 2);

    // A write that fails is told, and reported as not written.
    fm.answerDialog = [this] (const FileMan::Kind&) { return unwritable ("x"); };
    fm.saveSingleProgram (program (1), "x", [&] (bool w) { written = w; });
    EXPECT_FALSE (written);
    ASSERT_EQ (told.size(), 1);
    EXPECT_TRUE (told[0].startsWith ("Could not write ")) << told[0];
}

TEST_F (UserFiles, LargeLibrariesLoadAndAnUnreadableDefaultIsNeverWrittenOver)
{
    const auto file = folder.getChildFile (ProgramLibrary::defaultFileName);
    Bytes big ((size_t)100000 * 1024);
    for (size_t n = 0; n < 100000; ++n)
    {
        big[n * 1024] = (uint8_t)(n & 0x7F);
        big[n * 1024 + 1] = (uint8_t)((n >> 7) & 0x7F);
        big[n * 1024 + 2] = (uint8_t)(n >> 14);
    }
    ASSERT_TRUE (LibraryFile::writeBlock (file, big));
    library.loadDefault (folder);
    EXPECT_EQ (library.size(), 100000) << "a library of 100,000 records loads";

    // The writer refuses what no reader would take.
    EXPECT_FALSE (LibraryFile::write (folder.getChildFile ("huge.p12l"),
                                      std::vector<Bytes> ((size_t)LibraryFile::maxRecords + 1, Bytes (1024))));
    EXPECT_FALSE (folder.getChildFile ("huge.p12l").exists());

    // A default file too large to read is kept, and the user is told once.
    std::filesystem::resize_file (file.getFullPathName().toStdString(),
                                  (std::uintmax_t)LibraryFile::maxFileSize + 1024);
    const auto size = file.getSize();
    ScriptedHost otherHost;
    ProgramLibrary other (otherHost, hub);
    other.loadDefault (folder);
    EXPECT_EQ (other.size(), 0);
    ASSERT_EQ (otherHost.asked.size(), 1u) << "told as soon as it is opened";
    other.setRecords (program (1));
    EXPECT_EQ (other.saveDefault (folder), ProgramLibrary::DefaultSave::keptOldFile);
    other.keepDefault();
    other.keepDefault();
    EXPECT_EQ (file.getSize(), size) << "never written over";
    ASSERT_EQ (otherHost.asked.size(), 1u);
    EXPECT_TRUE (otherHost.asked[0].title.contains ("could not be read, so it is not written over"));
}

TEST_F (UserFiles, TheDefaultLibraryKeepsABackupOfTheFileAsItWasOpened)
{
    const auto file = folder.getChildFile (ProgramLibrary::defaultFileName);
    const auto backup = folder.getChildFile ("p12Lib.p12l.bak");
    ASSERT_TRUE (LibraryFile::writeBlock (file, block ({1, 2})));
    library.loadDefault (folder);
    library.setRecords (block ({1, 2, 3}));
    EXPECT_EQ (library.saveDefault (folder), ProgramLibrary::DefaultSave::written);
    ASSERT_TRUE (backup.existsAsFile());
    const auto opened = *ProgramFiles::readFile (backup);
    EXPECT_EQ (DefaultLibraryFile::recordsIn (opened), block ({1, 2}));
    EXPECT_EQ (ProgramFiles::readFile (file)->size(), 26u + 3 * 1024u);

    // The editor writes after every change: the backup stays the library as it was opened, so
    // a mistaken CLEAR ALL followed by other changes can still be undone from it.
    library.setRecords (block ({4}));
    library.saveDefault (folder);
    library.setRecords (block ({4, 5}));
    library.saveDefault (folder);
    EXPECT_EQ (DefaultLibraryFile::recordsIn (*ProgramFiles::readFile (backup)), block ({1, 2}));
    EXPECT_FALSE (library.hasUnsavedChanges());

    // The next session backs up what it opened.
    library.loadDefault (folder);
    library.setRecords (block ({6}));
    library.saveDefault (folder);
    EXPECT_EQ (DefaultLibraryFile::recordsIn (*ProgramFiles::readFile (backup)), block ({4, 5}));
}

TEST_F (UserFiles, TwoInstancesOnOneFolderKeepEachOthersRecords)
{
    const auto file = folder.getChildFile (ProgramLibrary::defaultFileName);
    ASSERT_TRUE (LibraryFile::writeBlock (file, block ({1, 2, 3})));

    MidiCntrState otherHub{std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File()};
    ScriptedHost otherHost;
    ProgramLibrary other (otherHost, otherHub);
    library.loadDefault (folder);
    other.loadDefault (folder);

    library.setRecords (block ({1, 2, 3, 4})); // this one adds 4
    other.setRecords (block ({1, 3, 5}));      // the other deletes 2 and adds 5
    EXPECT_EQ (library.saveDefault (folder), ProgramLibrary::DefaultSave::written);
    EXPECT_EQ (other.saveDefault (folder), ProgramLibrary::DefaultSave::written);

    ProgramLibrary third (host, hub);
    third.loadDefault (folder);
    EXPECT_EQ (third.block(), block ({1, 3, 5, 4})) << "both additions kept, the deletion followed";
    EXPECT_EQ (other.block(), block ({1, 3, 5, 4})) << "the other instance now shows 4 as well";

    // The first, closing last without further changes, erases nothing.
    library.saveDefault (folder);
    third.loadDefault (folder);
    EXPECT_EQ (third.block(), block ({1, 3, 4, 5}));
    EXPECT_EQ (library.block(), block ({1, 3, 4, 5}));
}
