#include "library/ProgramLibrary.h"
#include "core/MidiCntrState.h"
#include "core/PresetChunks.h"
#include "library/LibraryFile.h"
#include "support/FakeMidiDevices.h"
#include "support/ScriptedLibraryHost.h"

#include <gtest/gtest.h>

#include <deque>

using ravlin::Bytes;
using Answer = ProgramLibrary::Answer;
using ravlin::test::ScriptedHost;

namespace
{
Bytes program (int seed, int category = 0, const juce::String& name = {})
{
    Bytes r (1024);
    for (size_t i = 0; i < r.size(); ++i)
        r[i] = (uint8_t)((i * 3 + (size_t)seed) & 0x7F);
    r[426] = (uint8_t)category;
    DSI_Program::writeName (r.data() + 402, name.isEmpty() ? "Prog " + juce::String (seed) : name);
    return r;
}

class Library : public ::testing::Test
{
protected:
    Library() { folder.createDirectory(); }
    ~Library() override { folder.deleteRecursively(); }

    juce::File libraryFile (const juce::String& name, const std::vector<Bytes>& records)
    {
        const auto f = folder.getChildFile (name);
        EXPECT_TRUE (LibraryFile::write (f, records));
        return f;
    }

    juce::ScopedJuceInitialiser_GUI messageThread;
    MidiCntrState hub{std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File()};
    ScriptedHost host;
    ProgramLibrary library{host, hub};
    juce::File folder =
        juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("ravlin-library", "");
};
} // namespace

TEST_F (Library, TheDefaultLibraryKeepsRepeatsAndAnEmptyOneIsNeverWritten)
{
    library.loadDefault (folder);
    EXPECT_EQ (library.size(), 0);
    EXPECT_EQ (library.countText (ProgramLibrary::listAll), "Size: 0");

    libraryFile ("p12Lib.p12l", {program (1), program (1), program (1)});
    library.loadDefault (folder);
    EXPECT_EQ (library.size(), 3) << "as stored, repeats included";

    library.clearAll(); // asks; NO empties
    host.answer (Answer::negative);
    library.clearAll();
    EXPECT_EQ (library.size(), 0);
    library.saveDefault (folder);
    library.loadDefault (folder);
    EXPECT_EQ (library.size(), 3) << "the emptied library was not written";

    const auto file = folder.getChildFile ("p12Lib.p12l");
    Bytes data (1036, 0);
    file.replaceWithData (data.data(), data.size());
    ProgramLibrary other (host, hub);
    other.loadDefault (folder);
    EXPECT_EQ (other.size(), 0) << "13 + 1023 bytes";
    data.resize (1037);
    file.replaceWithData (data.data(), data.size());
    other.loadDefault (folder);
    EXPECT_EQ (other.size(), 1);

    auto two = program (4);
    const auto five = program (5);
    two.insert (two.end(), five.begin(), five.end());
    other.setRecords (two);
    other.saveDefault (folder);
    EXPECT_EQ (file.getSize(), 2074) << "a library of 2 programs";
}

TEST_F (Library, LoadingFromALibraryFileDropsItsRepeatsAndAppendingTwiceDoubles)
{
    const auto file = libraryFile ("three.p12l", {program (1), program (1), program (1), program (2)});
    host.files = {file};
    library.load (ProgramLibrary::fromLibraryFile);
    EXPECT_EQ (host.kinds, (std::vector<int>{4}));
    EXPECT_EQ (library.size(), 2) << "an empty library takes them without a question";
    EXPECT_TRUE (host.asked.empty());

    host.files = {file};
    host.answer (Answer::positive);
    library.load (ProgramLibrary::fromLibraryFile);
    EXPECT_EQ (host.asked.back().title, "Append Programs?");
    EXPECT_EQ (host.asked.back().positive, "YES");
    EXPECT_EQ (library.size(), 4) << "the library itself is not tested for duplicates";

    // Cancelled dialogs and a file without records change nothing; the empty file says so.
    library.load (ProgramLibrary::fromLibraryFile);
    EXPECT_EQ (library.size(), 4);
    const auto empty = folder.getChildFile ("empty.p12l");
    empty.replaceWithText ("Mopho  Libr >< Mopho  Libr");
    host.files = {empty};
    host.answer (Answer::negative);
    library.load (ProgramLibrary::fromLibraryFile);
    EXPECT_EQ (host.asked.back().title, "empty.p12l is a library without programs. The library is unchanged.");
    EXPECT_EQ (library.size(), 4);
}

TEST_F (Library, ReplacingAsksToSaveFirst)
{
    library.setRecords (program (1));
    const auto saved = folder.getChildFile ("before");
    host.files = {saved};
    host.answer (Answer::negative);
    host.answer (Answer::positive);
    library.load (ProgramLibrary::fromPresetBank);
    EXPECT_EQ (host.asked.back().title, "Save the Current Library?");
    EXPECT_EQ (host.names.back(), "Untitled");
    EXPECT_EQ (folder.getChildFile ("before.p12l").getSize(), 13 + 1024 + 13) << "saved with its extension";
    EXPECT_EQ (library.size(), library.pendingCount());

    host.answer (Answer::negative);
    host.answer (Answer::negative);
    library.setRecords (program (9));
    library.load (ProgramLibrary::fromInstrumentBank + 4);
    EXPECT_EQ (library.record (0), hub.getBankProgram (4, 0));

    host.answer (Answer::negative);
    host.answer (Answer::cancel);
    library.setRecords (program (9));
    library.load (ProgramLibrary::fromInstrumentBank);
    EXPECT_EQ (library.size(), 1) << "CANCEL keeps the library";
}

TEST_F (Library, AnInstrumentBankOfEqualProgramsGivesOnePendingRecord)
{
    for (int p = 0; p < 99; ++p)
        hub.setBankProgram (2, p, program (5));
    library.load (ProgramLibrary::fromInstrumentBank + 2);
    EXPECT_EQ (library.pendingCount(), 1);
    EXPECT_EQ (library.size(), 1);
}

TEST_F (Library, ABankFileFillsThePendingRecords)
{
    Bytes dumps;
    for (int p = 0; p < 50; ++p)
    {
        const auto d = ravlin::packProgramDump (program (p), 1, p);
        dumps.insert (dumps.end(), d.begin(), d.end());
    }
    const auto file = folder.getChildFile ("fifty.p12b");
    file.replaceWithData (dumps.data(), dumps.size());
    host.files = {file};
    library.load (ProgramLibrary::fromBankFile);
    EXPECT_EQ (library.size(), 50);
    EXPECT_EQ (library.record (49), program (49));

    const auto junk = folder.getChildFile ("junk.p12b");
    junk.replaceWithText ("nothing here");
    host.files = {junk};
    library.load (ProgramLibrary::fromBankFile);
    EXPECT_EQ (library.size(), 50);
    ASSERT_EQ (host.asked.size(), 1u) << "nothing pending: no question, only a message";
    EXPECT_EQ (host.asked[0].title,
               "junk.p12b is neither a library nor a file of Prophet 12 program dumps. The library is unchanged.");
    EXPECT_TRUE (host.asked[0].positive.isEmpty());
}

TEST_F (Library, CategoriesCountsAndRenaming)
{
    library.setRecords ({});
    Bytes block;
    for (auto r : {program (1, 3), program (2, 3), program (3, 7), program (4, 0)})
        block.insert (block.end(), r.begin(), r.end());
    library.setRecords (block);
    EXPECT_EQ (library.countText (3), "2");
    EXPECT_EQ (library.countText (5), "");
    EXPECT_EQ (library.countText (ProgramLibrary::listAll), "Size: 4");

    library.select (1);
    host.answer (Answer::positive, "Renamed Program Longer", 7);
    library.rename();
    EXPECT_EQ (host.asked.back().title, "Rename Prog 2              :");
    EXPECT_EQ (host.asked.back().editText, "Prog 2") << "no padding for typing to land behind";
    EXPECT_EQ (host.asked.back().category, 3);
    EXPECT_EQ (ProgramLibrary::nameOf (library.record (1).data()), "Renamed Program Long");
    EXPECT_EQ (library.record (1)[426], 7);
    EXPECT_TRUE (library.isFilterOn()) << "a rename shows the last chosen category";
    EXPECT_EQ (library.getChosenCategory(), 0);
    EXPECT_EQ (library.getHeading(), ParDes::categoryText (0));
    EXPECT_EQ (library.getVisibleRows(), (std::vector<int>{3}));

    library.chooseCategory (7);
    EXPECT_EQ (library.getVisibleRows(), (std::vector<int>{1, 2}));
    library.select (0);
    host.answer (Answer::positive, "", 2);
    library.rename();
    EXPECT_EQ (library.record (1)[426], 7) << "an empty name changes nothing";

    library.chooseCategory (ProgramLibrary::listAll);
    EXPECT_FALSE (library.isFilterOn());
    EXPECT_EQ (library.getChosenCategory(), 7) << "LIST ALL leaves the chosen category";
    EXPECT_EQ (library.getHeading(), "");
}

TEST_F (Library, TheNameSearchCombinesWithTheCategoryFilter)
{
    Bytes block;
    for (auto r : {program (1, 3, "Warm Pad"), program (2, 3, "Bass Growl"), program (3, 7, "PAD Glass"),
                   program (4, 7, "Lead")})
        block.insert (block.end(), r.begin(), r.end());
    library.setRecords (block);

    library.setNameFilter ("pad");
    EXPECT_EQ (library.getVisibleRows(), (std::vector<int>{0, 2})) << "any case, anywhere in the name";
    library.chooseCategory (7);
    EXPECT_EQ (library.getVisibleRows(), (std::vector<int>{2}));
    EXPECT_EQ (library.count (7), 2) << "counts stay those of the whole library";
    library.setNameFilter ("  ");
    EXPECT_EQ (library.getVisibleRows(), (std::vector<int>{2, 3})) << "blank hides nothing";
    library.setNameFilter ("zzz");
    EXPECT_TRUE (library.getVisibleRows().empty());

    // A program added while hidden by the search is not selected behind the user's back.
    library.chooseCategory (ProgramLibrary::listAll);
    hub.setCurrentProgram (program (9, 3, "Brass"));
    host.answer (Answer::positive, "Brass", 3);
    library.addCurrent();
    EXPECT_EQ (library.size(), 5);
    EXPECT_EQ (library.getSelectedRow(), -1);
    EXPECT_TRUE (host.applied.empty());
    library.setNameFilter ("bra");
    EXPECT_EQ (library.getVisibleRows(), (std::vector<int>{4}));
}

TEST_F (Library, DeletingTheOnlyRecordOfACategoryKeepsTheFilter)
{
    Bytes block;
    for (auto r : {program (1, 3), program (2, 5)})
        block.insert (block.end(), r.begin(), r.end());
    library.setRecords (block);
    library.chooseCategory (5);
    library.select (0);
    host.answer (Answer::positive);
    library.remove();
    EXPECT_EQ (host.asked.back().title, "Delete Prog 2               ?");
    EXPECT_EQ (library.size(), 1);
    EXPECT_TRUE (library.getVisibleRows().empty());
    EXPECT_TRUE (library.isFilterOn());
}

TEST_F (Library, AddingTheCurrentProgramTwiceSaysItExists)
{
    hub.setCurrentProgram (program (8, 4, "Current One"));
    host.answer (Answer::positive, "Kept Name", 9);
    library.addCurrent();
    EXPECT_EQ (host.asked.back().title, "Program name:");
    EXPECT_EQ (host.asked.back().editText, "Current One");
    EXPECT_EQ (host.asked.back().category, 4);
    ASSERT_EQ (library.size(), 1);
    EXPECT_EQ (library.record (0)[426], 9);
    EXPECT_EQ (ProgramLibrary::nameOf (library.record (0).data()), "Kept Name           ");
    ASSERT_EQ (host.applied.size(), 1u) << "the added row is selected, which applies it";
    EXPECT_EQ (host.applied[0].size(), 1057u);

    // Applying is the processor's program-chunk load.
    PresetChunks::readProgram (hub, host.applied[0].data(), (int)host.applied[0].size());
    EXPECT_EQ (hub.getCurrentProgram(), library.record (0));

    host.answer (Answer::negative);
    library.addCurrent();
    EXPECT_EQ (host.asked.back().title, "Kept Name Program already exists in the library.");
    EXPECT_EQ (host.asked.back().negative, "OK");
    EXPECT_EQ (library.size(), 1);

    hub.setCurrentProgram (program (10));
    host.answer (Answer::positive, "");
    library.addCurrent();
    EXPECT_EQ (ProgramLibrary::nameOf (library.record (1).data()).trimEnd(), "Untitled");
}

TEST_F (Library, SelectingBelowTheLastRowSelectsTheLastAndNamesReadByTheRules)
{
    Bytes block;
    for (int i = 0; i < 3; ++i)
    {
        const auto r = program (i);
        block.insert (block.end(), r.begin(), r.end());
    }
    library.setRecords (block);
    library.select (40);
    EXPECT_EQ (library.getSelectedRow(), 2);

    auto r = program (1);
    r[402] = 5;
    r[403] = 200;
    EXPECT_TRUE (ProgramLibrary::nameOf (r.data()).startsWith ("AA"));
    ProgramLibrary::writeName (r.data(), juce::String::fromUTF8 ("a\xe2\x82\xac") + "b");
    EXPECT_EQ (r[402], 'a');
    EXPECT_EQ (r[403], ' ') << "outside 20..159: a blank";
    EXPECT_EQ (r[421], ' ');
}

TEST_F (Library, NamesRunToTwentyCharactersAndRenameKeepsAnUnpickedCategory)
{
    Bytes block;
    for (auto r : {program (1, 40, "Wurly Trem ModWheel"), program (2, 3, "Twenty Characters!!!")})
        block.insert (block.end(), r.begin(), r.end());
    library.setRecords (block);
    EXPECT_EQ (ProgramLibrary::nameOf (library.record (0).data()), "Wurly Trem ModWheel ");
    EXPECT_EQ (ProgramLibrary::nameOf (library.record (1).data()), "Twenty Characters!!!");

    library.setNameFilter ("modwheel");
    EXPECT_EQ (library.getVisibleRows(), (std::vector<int>{0})) << "the search reads all 20 characters";
    library.setNameFilter ("ers!!!");
    EXPECT_EQ (library.getVisibleRows(), (std::vector<int>{1}));
    library.setNameFilter ({});

    // Renaming with the offered text unchanged gives back the very same record.
    const auto before = library.record (1);
    library.select (1);
    library.rename(); // left open: only the question is wanted
    const auto offered = host.asked.back();
    EXPECT_EQ (offered.editText, "Twenty Characters!!!");
    host.answer (Answer::positive, offered.editText, offered.category);
    library.rename();
    EXPECT_EQ (library.record (1), before);

    // A shorter name fills the whole field with blanks; the category byte 40 (no category of
    // the instrument's list, as a file may hold) is reported back unchanged and kept.
    library.chooseCategory (ProgramLibrary::listAll);
    library.select (0);
    host.answer (Answer::positive, "Pad", 40);
    library.rename();
    EXPECT_EQ (host.asked.back().editText, "Wurly Trem ModWheel");
    EXPECT_EQ (host.asked.back().category, 40);
    const auto renamed = library.record (0);
    EXPECT_EQ (juce::String ((const char*)renamed.data() + 402, 20), "Pad                 ");
    EXPECT_EQ (renamed[426], 40);

    // A category picked in the box is stored.
    library.chooseCategory (ProgramLibrary::listAll);
    library.select (0);
    host.answer (Answer::positive, "Pad", 5);
    library.rename();
    EXPECT_EQ (library.record (0)[426], 5);

    // ADD CURRENT keeps the current program's category byte the same way.
    hub.setCurrentProgram (program (9, 40, "Odd Category"));
    host.answer (Answer::positive, "Odd Category", 40);
    library.addCurrent();
    ASSERT_EQ (library.size(), 3);
    EXPECT_EQ (library.record (2)[426], 40);
}

namespace
{
/** Banks, presets and a program being edited of its own: the library needs no hub. */
struct StoredPrograms : ProgramSource
{
    juce::String getBankName (int bank) const override { return "Stored " + juce::String (bank + 1); }
    Bytes getBankProgram (int bank, int p) const override
    {
        return program (p, bank, "Bank " + juce::String (bank) + " #" + juce::String (p));
    }
    Bytes getPresetProgram (int p) const override { return program (p, 7, "Preset #" + juce::String (p)); }
    Bytes getCurrentProgram() const override { return current; }

    Bytes current = program (60, 2, "Being Edited");
};
} // namespace

TEST (LibrarySource, MenuBanksPresetsAndTheCurrentProgramComeFromTheSourceGiven)
{
    juce::ScopedJuceInitialiser_GUI messageThread;
    StoredPrograms source;
    EXPECT_EQ (ProgramLibrary::loadMenuTexts (source),
               juce::StringArray ({"From Library File", "From Program Bank File", "", "Stored 1", "Stored 2",
                                   "Stored 3", "Stored 4", "", "Stored 5", "Stored 6", "Stored 7", "Stored 8", "",
                                   "Import from FX Preset Bank"}));

    {
        ScriptedHost host;
        ProgramLibrary library{host, source};
        library.load (ProgramLibrary::fromInstrumentBank + 5);
        ASSERT_EQ (library.size(), 99);
        EXPECT_EQ (library.record (0), source.getBankProgram (5, 0));
        EXPECT_EQ (library.record (98), source.getBankProgram (5, 98));
    }
    {
        ScriptedHost host;
        ProgramLibrary library{host, source};
        library.load (ProgramLibrary::fromPresetBank);
        ASSERT_EQ (library.size(), 99);
        EXPECT_EQ (library.record (42), source.getPresetProgram (42));
    }
    {
        ScriptedHost host;
        ProgramLibrary library{host, source};
        host.answer (Answer::positive, "Kept", 2);
        library.addCurrent();
        EXPECT_EQ (host.asked.back().editText, "Being Edited");
        ASSERT_EQ (library.size(), 1);
        ASSERT_EQ (host.applied.size(), 1u);
        const juce::String header ("Prophet12RavlinSettingsVersion100");
        Bytes expected (header.toRawUTF8(), header.toRawUTF8() + header.getNumBytesAsUTF8());
        const auto added = library.record (0);
        EXPECT_EQ (ProgramLibrary::nameOf (added.data()).trimEnd(), "Kept");
        expected.insert (expected.end(), added.begin(), added.end());
        EXPECT_EQ (host.applied[0], expected) << "the program chunk the processor loads, header unchanged";
    }
}
