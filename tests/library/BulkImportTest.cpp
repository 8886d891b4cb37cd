#include "library/BulkImport.h"
#include "core/MidiCntrState.h"
#include "instrument/DSI_Program.h"
#include "library/LibraryFile.h"
#include "library/ProgramFiles.h"
#include "library/ProgramLibrary.h"
#include "support/FakeMidiDevices.h"
#include "support/ScriptedLibraryHost.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <gtest/gtest.h>

using ravlin::Bytes;
using Answer = ProgramLibrary::Answer;

namespace
{
Bytes program (int seed, const juce::String& name, int category = 0)
{
    Bytes r (1024);
    for (size_t i = 0; i < r.size(); ++i)
        r[i] = (uint8_t)((i * 3 + (size_t)seed * 17) & 0x7F);
    r[426] = (uint8_t)category;
    DSI_Program::writeName (r.data() + 402, name);
    return r;
}

/** A standard MIDI file of one track: a note, the SysEx message, another note. */
Bytes midiFileHolding (const Bytes& sysEx)
{
    juce::MidiMessageSequence track;
    track.addEvent (juce::MidiMessage::noteOn (1, 60, (uint8_t)100), 0.0);
    track.addEvent (juce::MidiMessage::createSysExMessage (sysEx.data() + 1, (int)sysEx.size() - 2), 10.0);
    track.addEvent (juce::MidiMessage::noteOff (1, 60), 20.0);
    juce::MidiFile file;
    file.setTicksPerQuarterNote (96);
    file.addTrack (track);
    juce::MemoryOutputStream out;
    EXPECT_TRUE (file.writeTo (out));
    const auto* data = (const uint8_t*)out.getData();
    return Bytes (data, data + out.getDataSize());
}

class Import : public ::testing::Test
{
protected:
    Import() { folder.createDirectory(); }
    ~Import() override { folder.getParentDirectory().deleteRecursively(); }

    void write (const juce::String& name, const Bytes& content)
    {
        ASSERT_TRUE (folder.getChildFile (name).replaceWithData (content.data(), content.size()));
    }

    juce::StringArray names() const
    {
        juce::StringArray result;
        for (int n = 0; n < library.size(); ++n)
            result.add (ProgramLibrary::nameOf (library.record (n).data()).trimEnd());
        return result;
    }

    /** One file of each kind and two that hold no programs. The library's second record sounds
        the same as the single-program file's. */
    void writeFolder()
    {
        write ("bank.p12b",
               []
               {
                   auto bank = ravlin::packProgramDump (program (3, "Bank One"), 0, 0);
                   const auto second = ravlin::packProgramDump (program (4, "Bank Two"), 0, 1);
                   bank.insert (bank.end(), second.begin(), second.end());
                   return bank;
               }());
        ASSERT_TRUE (LibraryFile::write (folder.getChildFile ("lib.p12l"),
                                         {program (5, "Library"), program (1, "Renamed Copy", 9)}));
        write ("one.syx", ravlin::packEditBufferDump (program (1, "Single")));
        write ("song.mid", midiFileHolding (ravlin::packProgramDump (program (6, "From Song"), 1, 14)));
        write ("two.p12p", ProgramFiles::singleProgramContent (program (2, "Program File")));
        write ("a.txt", Bytes (1024, 'x'));
        write ("bad.mid", Bytes{'M', 'T', 'h', 'd', 0, 0});
    }

    juce::ScopedJuceInitialiser_GUI messageThread;
    MidiCntrState hub{std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File()};
    ravlin::test::ScriptedHost host;
    ProgramLibrary library{host, hub};
    juce::File folder = juce::File::getSpecialLocation (juce::File::tempDirectory)
                            .getNonexistentChildFile ("ravlin-import", "")
                            .getChildFile ("dropped");
};
} // namespace

TEST_F (Import, AFolderWithOneFileOfEachKindSkippingDuplicatesOnTheQuestion)
{
    writeFolder();
    library.setRecords (program (7, "Already Here"));
    host.answer (Answer::positive); // SKIP
    library.importFiles ({folder.getFullPathName()});

    ASSERT_EQ (host.asked.size(), 2u);
    EXPECT_EQ (host.asked[0].title,
               "1 of the 7 programs found sounds the same as programs in the library or each other. Skip them?");
    EXPECT_EQ (host.asked[1].title, "6 added, 1 duplicate skipped, files not understood: a.txt, bad.mid");
    // Files in name order: bank, library, SysEx (the copy), MIDI file, program file.
    EXPECT_EQ (names(), juce::StringArray ("Already Here", "Bank One", "Bank Two", "Library", "Renamed Copy",
                                           "From Song", "Program File"));
    EXPECT_EQ (library.record (5), program (6, "From Song")) << "the whole image, out of the MIDI file";
}

TEST_F (Import, ImportAllKeepsTheDuplicatesAndCancelChangesNothing)
{
    writeFolder();
    library.setRecords (program (1, "Same Sound"));

    host.answer (Answer::cancel);
    library.importFiles ({folder.getFullPathName()});
    EXPECT_EQ (host.asked.back().title, "Import cancelled. The library is unchanged.");
    EXPECT_EQ (library.size(), 1);

    host.answer (Answer::negative); // IMPORT ALL
    library.importFiles ({folder.getChildFile ("one.syx").getFullPathName(),
                          folder.getChildFile ("lib.p12l").getFullPathName(),
                          folder.getChildFile ("a.txt").getFullPathName()});
    EXPECT_EQ (host.asked[host.asked.size() - 2].title,
               "2 of the 3 programs found sound the same as programs in the library or each other. Skip them?");
    EXPECT_EQ (host.asked.back().title, "3 added, 0 duplicates skipped, files not understood: a.txt");
    EXPECT_EQ (names(), juce::StringArray ("Same Sound", "Single", "Library", "Renamed Copy"))
        << "dropped files in the order given";
}

TEST_F (Import, NothingUnderstoodChangesNothingAndSaysWhich)
{
    write ("notes.txt", Bytes{'h', 'i'});
    write ("bad.mid", Bytes{'M', 'T', 'h', 'd', 0, 0});
    library.setRecords (program (1, "Kept"));
    const auto before = library.block();
    library.importFiles ({folder.getFullPathName(), folder.getChildFile ("missing.syx").getFullPathName()});
    EXPECT_EQ (host.asked.back().title,
               "0 added, 0 duplicates skipped, files not understood: bad.mid, notes.txt, missing.syx");
    EXPECT_EQ (library.block(), before);
}

TEST (MidiFileSysEx, TheMessagesOfEveryTrackJoinedAndNothingFromOtherFiles)
{
    const auto dump = ravlin::packEditBufferDump (program (9, "Nine"));
    EXPECT_EQ (BulkImport::sysExOfMidiFile (midiFileHolding (dump)), dump);
    EXPECT_TRUE (BulkImport::sysExOfMidiFile (dump).empty());
    EXPECT_TRUE (BulkImport::sysExOfMidiFile ({}).empty());
}
