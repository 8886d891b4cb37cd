// Two instances on one settings folder (two plug-ins in a song, the standalone beside a plug-in):
// each keeps what the other saved, whichever closes last.
#include "core/MidiCntrState.h"
#include "support/FakeMidiDevices.h"

#include <gtest/gtest.h>

using ravlin::Bytes;

namespace
{
Bytes fileBytes (const juce::File& file)
{
    juce::MemoryBlock data;
    file.loadFileAsData (data);
    const auto* p = static_cast<const uint8_t*> (data.getData());
    return Bytes (p, p + data.getSize());
}

Bytes marked (uint8_t value)
{
    return Bytes ((size_t)Bank_Program::programSize, value);
}

class SharedFolder : public ::testing::Test
{
protected:
    SharedFolder() { folder.createDirectory(); }

    ~SharedFolder() override { folder.deleteRecursively(); }

    std::unique_ptr<MidiCntrState> makeHub()
    {
        return std::make_unique<MidiCntrState> (std::make_unique<ravlin::test::FakeMidiDevices>(), folder);
    }

    /** The file's contents and its identity on disk: a file replaced through a temporary file is
        another file even when it holds the same bytes. */
    struct Snapshot
    {
        Bytes bytes;
        juce::uint64 identity = 0;
        bool operator== (const Snapshot& other) const { return bytes == other.bytes && identity == other.identity; }
    };

    static Snapshot snapshot (const juce::File& file) { return {fileBytes (file), file.getFileIdentifier()}; }

    std::array<Snapshot, 4> snapshotAll() const
    {
        return {snapshot (files.settingsFile()), snapshot (files.banksFile()), snapshot (files.portsFile()),
                snapshot (files.layoutFile())};
    }

    juce::ScopedJuceInitialiser_GUI messageThread;
    const juce::File folder =
        juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("ravlin-shared", "");
    const SettingsFiles files{folder};
};
} // namespace

TEST_F (SharedFolder, EachInstanceKeepsWhatTheOtherChangedWhicheverClosesLast)
{
    for (const bool firstClosesFirst : {true, false})
    {
        SCOPED_TRACE (firstClosesFirst ? "first made closes first" : "first made closes last");
        folder.deleteRecursively();
        folder.createDirectory();

        auto first = makeHub();
        auto second = makeHub();
        const auto untouched = first->getBankProgram (3, 40);

        first->setBankProgram (0, 4, marked (0x15)); // User Bank 1, program 5
        first->setOption (SettingsBlock::clockOn, true);
        second->setBankProgram (1, 6, marked (0x27)); // User Bank 2, program 7
        second->setMidiChannelSetting (7);
        second->saveSettings(); // as the channel menu does
        first->saveSettings();  // a later save of another setting keeps the channel

        if (firstClosesFirst)
            first.reset();
        second.reset();
        first.reset();

        auto third = makeHub();
        EXPECT_EQ (third->getBankProgram (0, 4), marked (0x15));
        EXPECT_EQ (third->getBankProgram (1, 6), marked (0x27));
        EXPECT_EQ (third->getBankProgram (3, 40), untouched);
        EXPECT_EQ (third->midiChannel, 7);
        EXPECT_TRUE (third->clockOption);
        third.reset();
        EXPECT_EQ (fileBytes (files.banksFile()).size(), (size_t)SettingsFiles::banksFileSize);
        EXPECT_EQ (fileBytes (files.settingsFile()).size(), (size_t)SettingsBlock::size);
    }
}

TEST_F (SharedFolder, AnInstanceThatChangedNothingLeavesTheFilesAsTheOtherWroteThem)
{
    {
        auto once = makeHub(); // a fresh installation: the files exist from here on
    }
    auto idle = makeHub();
    idle->loadLayout(); // an editor opened and closed without a change
    idle->saveLayout();
    {
        auto busy = makeHub();
        busy->setBankProgram (2, 50, marked (0x33));
        busy->setMidiChannelSetting (12);
        busy->saveSettings();
        busy->portNames = {"In", "Out", "NONE", "0"};
        busy->savePorts();
        busy->layout.editor = {10, 20, 1300, 800};
        busy->saveLayout();
    }
    const auto written = snapshotAll();
    ASSERT_EQ (written[0].bytes[SettingsBlock::midiChannel], 12);

    idle->saveSettings();
    idle->savePorts();
    idle->saveLayout();
    idle.reset();
    const auto after = snapshotAll();
    for (size_t i = 0; i < after.size(); ++i)
        EXPECT_TRUE (after[i] == written[i]) << "file " << i << " was rewritten";

    auto next = makeHub();
    EXPECT_EQ (next->getBankProgram (2, 50), marked (0x33));
    EXPECT_EQ (next->portNames, (juce::StringArray{"In", "Out", "NONE", "0"}));
    next->loadLayout();
    EXPECT_EQ (next->layout.editor, (PixelBox {10, 20, 1300, 800}));
}

TEST_F (SharedFolder, TheSameSlotOrByteChangedByBothIsTheLastWriters)
{
    auto first = makeHub();
    auto second = makeHub();
    first->setBankProgram (0, 0, marked (0x01));
    second->setBankProgram (0, 0, marked (0x02));
    first->setMidiChannelSetting (3);
    second->setMidiChannelSetting (4);
    first.reset();
    second.reset();

    auto third = makeHub();
    EXPECT_EQ (third->getBankProgram (0, 0), marked (0x02));
    EXPECT_EQ (third->midiChannel, 4);
}

TEST_F (SharedFolder, AFileThatIsNotWholeIsReplacedByThisInstancesOwn)
{
    auto hub = makeHub();
    hub->setBankProgram (5, 98, marked (0x44));
    hub->setMidiChannelSetting (2);
    hub->saveSettings();
    // Another program cut both files short meanwhile.
    ASSERT_TRUE (files.banksFile().replaceWithData ("Proph12 Data>", 13));
    ASSERT_TRUE (files.settingsFile().replaceWithData ("short", 5));
    const auto expectedBanks = SettingsFiles::banksContent (hub->banks);
    auto expectedSettings = hub->settingsBlock;
    hub.reset();

    EXPECT_EQ (fileBytes (files.banksFile()), expectedBanks);
    EXPECT_EQ (fileBytes (files.settingsFile()), Bytes (expectedSettings.begin(), expectedSettings.end()));
}

TEST_F (SharedFolder, SettingsMergeByteByByte)
{
    auto block = SettingsBlock::defaults();
    SettingsBlock::settle (block);
    ASSERT_TRUE (files.saveSettings (block));
    auto base = block;

    // Another instance writes bytes 6 and 7 after this one loaded.
    auto theirs = block;
    theirs[6] = 9, theirs[7] = 1;
    ASSERT_TRUE (files.saveSettings (theirs));

    block[7] = 0; // unchanged: theirs stays
    block[10] = 1;
    ASSERT_TRUE (files.saveSettings (block, base));
    auto onDisk = fileBytes (files.settingsFile());
    ASSERT_EQ (onDisk.size(), 400u);
    EXPECT_EQ (onDisk[6], 9);
    EXPECT_EQ (onDisk[7], 1);
    EXPECT_EQ (onDisk[10], 1);
    EXPECT_EQ (base, block) << "what this instance holds is now saved";

    // Nothing changed since: the file is left alone, byte 6 of the other instance too.
    const auto identity = files.settingsFile().getFileIdentifier();
    ASSERT_TRUE (files.saveSettings (block, base));
    EXPECT_EQ (files.settingsFile().getFileIdentifier(), identity);
    EXPECT_EQ (fileBytes (files.settingsFile()), onDisk);

    // A latency is one 32-bit number: never half of one instance's and half of the other's.
    const auto at = SettingsBlock::latencyValues + 8;
    theirs = block;
    ASSERT_EQ (SettingsBlock::read32 (block.data(), at), 0);
    SettingsBlock::write32 (theirs.data(), at, 0x01010101);
    ASSERT_TRUE (files.saveSettings (theirs));
    SettingsBlock::write32 (block.data(), at, 5); // only its lowest byte differs from before
    ASSERT_TRUE (files.saveSettings (block, base));
    EXPECT_EQ (SettingsBlock::read32 (fileBytes (files.settingsFile()).data(), at), 5);
}
