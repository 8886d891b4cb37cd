#include "core/MidiCntrState.h"
#include "core/PresetChunks.h"
#include "support/FakeMidiDevices.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

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

void writeBytes (const juce::File& file, const Bytes& bytes)
{
    file.getParentDirectory().createDirectory();
    ASSERT_TRUE (file.replaceWithData (bytes.data(), bytes.size()));
}

class Files : public ::testing::Test
{
protected:
    Files()
    {
        folder =
            juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("ravlin-files", "");
        folder.createDirectory();
    }

    ~Files() override
    {
        folder.setReadOnly (false, true);
        folder.deleteRecursively();
    }

    std::unique_ptr<MidiCntrState> makeHub()
    {
        auto fake = std::make_unique<ravlin::test::FakeMidiDevices>();
        system = fake.get();
        return std::make_unique<MidiCntrState> (std::move (fake), folder);
    }

    juce::ScopedJuceInitialiser_GUI messageThread;
    juce::File folder;
    ravlin::test::FakeMidiDevices* system = nullptr;
    const SettingsFiles files{folder};

    juce::File settings() const { return SettingsFiles (folder).settingsFile(); }
};
} // namespace

TEST_F (Files, APlaceForEveryFile)
{
    const SettingsFiles f (folder);
    EXPECT_EQ (f.settingsFile(), folder.getChildFile ("RavlinSettings/ph12plugstV2.dat"));
    EXPECT_EQ (f.banksFile(), folder.getChildFile ("RavlinSettings/Ph12_data.dat"));
    EXPECT_EQ (f.portsFile(), folder.getChildFile ("RavlinSettings/pro12plports.dat"));
    EXPECT_EQ (f.layoutFile(), folder.getChildFile ("RavlinSettings/pro12ltwh.dat"));
    EXPECT_EQ (f.defaultPresetFile(), folder.getChildFile ("Library/Prophet 12/preset.prop12patch"));
    EXPECT_FALSE (SettingsFiles().keepsFiles());
    EXPECT_TRUE (SettingsFiles::defaultApplicationDataFolder().getFullPathName().isNotEmpty());
}

TEST_F (Files, AFreshInstallationWritesItsDefaultsAndSavesAtTheEnd)
{
    {
        auto hub = makeHub();
        const auto written = fileBytes (settings());
        ASSERT_EQ (written.size(), 400u);
        EXPECT_EQ (written[0], 255);
        EXPECT_EQ (written[3], 100);
        EXPECT_EQ (written[6], 0) << "the file keeps what was there; the channel is fixed in memory";
        EXPECT_EQ (SettingsBlock::read32 (written.data(), 68), 0) << "the marker comes with the first save";
        EXPECT_EQ (hub->midiChannel, 1);
        EXPECT_EQ (SettingsBlock::read32 (hub->settingsBlock.data(), 68), 333);
        EXPECT_EQ (hub->latencyMode, 0) << "the stored mode is not applied at start";
        EXPECT_EQ (fileBytes (SettingsFiles (folder).portsFile()),
                   SettingsFiles::portsContent ({"NONE", "NONE", "NONE", "0"}));

        std::array<int, 7> delays{0, 260, 0, 0, 0, 0, 7};
        hub->setLatencySettings (3, delays);
        EXPECT_EQ (hub->latencyTable[1], 260);
    }
    const auto saved = fileBytes (settings());
    ASSERT_EQ (saved.size(), 400u);
    EXPECT_EQ (Bytes (saved.begin() + 176, saved.begin() + 180), (Bytes{0x00, 0x00, 0x01, 0x04}));
    EXPECT_EQ (SettingsBlock::read32 (saved.data(), 68), 333);
    EXPECT_EQ (SettingsBlock::read32 (saved.data(), 196), 3);
    EXPECT_EQ (SettingsBlock::read32 (saved.data(), 200), 7);
    EXPECT_EQ (saved[6], 1);
    EXPECT_EQ (fileBytes (SettingsFiles (folder).banksFile()).size(), 811034u);

    auto again = makeHub();
    EXPECT_EQ (again->latencyTable[1], 260);
    EXPECT_EQ (again->latencyMode, 0);
}

TEST_F (Files, SettingsOptionsAndAShortFile)
{
    auto block = SettingsBlock::defaults();
    block[6] = 9, block[7] = 1, block[10] = 1, block[11] = 2, block[4] = 1;
    writeBytes (settings(), Bytes (block.begin(), block.end()));
    {
        auto hub = makeHub();
        EXPECT_EQ (hub->midiChannel, 9);
        EXPECT_TRUE (hub->clockOption);
        EXPECT_TRUE (hub->thruPortToHost);
        EXPECT_FALSE (hub->programChangeWithAutomation) << "only 1 is on";
        EXPECT_TRUE (hub->thruHostToPort) << "taken from byte 4";
        hub->setOption (SettingsBlock::clockOn, false);
        EXPECT_EQ (hub->settingsBlock[7], 0);
    }
    EXPECT_EQ (fileBytes (settings())[7], 0);

    writeBytes (settings(), Bytes (399, 7));
    auto hub = makeHub();
    EXPECT_EQ (hub->settingsBlock[0], 255) << "a short file gives the defaults";
    EXPECT_EQ (hub->midiChannel, 1);
    EXPECT_EQ (fileBytes (settings()).size(), 399u) << "and is not rewritten at load";
}

TEST_F (Files, AGlobalReplyWithPendingBytesSavesThem)
{
    auto hub = makeHub();
    hub->pendingSettingsValues[0] = 12;
    hub->pendingSettingsValues[1] = 34;
    hub->pendingSettings = true;
    Bytes reply{0xF0, 0x01, 0x2B, 0x0F, 1, 2, 3, 0xF7};
    hub->handleIncomingMidiMessage (nullptr, juce::MidiMessage (reply.data(), (int)reply.size()));
    const auto saved = fileBytes (settings());
    EXPECT_EQ (saved[0], 12);
    EXPECT_EQ (saved[1], 34);
    EXPECT_FALSE (hub->pendingSettings);
}

TEST_F (Files, BanksRoundTripAndOnlyWholeBanksComeFromAShortFile)
{
    Bytes marked (1024, 0x5A);
    {
        auto hub = makeHub();
        hub->setBankProgram (2, 17, marked);
        hub->setBankProgram (7, 98, marked);
    }
    const auto banksFile = SettingsFiles (folder).banksFile();
    const auto content = fileBytes (banksFile);
    ASSERT_EQ (content.size(), 811034u);
    EXPECT_EQ (juce::String::fromUTF8 ((const char*)content.data(), 13), "Proph12 Data>");
    EXPECT_EQ (juce::String::fromUTF8 ((const char*)content.data() + 811021, 13), "<Proph12 Data");
    {
        auto hub = makeHub();
        EXPECT_EQ (hub->getBankProgram (2, 17), marked);
        EXPECT_EQ (hub->getBankProgram (7, 98), marked);
    }

    Bank_Program factory ("factory");
    factory.loadFactoryBank (3);
    const int bank = 101376;
    for (const size_t length : {0, 1, 13, 1000, 1001, 13 + bank - 1, 13 + bank, 13 + 3 * bank + 5, 811033, 811034})
    {
        SCOPED_TRACE (length);
        writeBytes (banksFile, Bytes (content.begin(), content.begin() + (std::ptrdiff_t)length));
        auto hub = makeHub();
        const size_t wholeBanks = length <= 1000 ? 0 : (length - 13) / (size_t)bank;
        EXPECT_EQ (hub->getBankProgram (2, 17) == marked, wholeBanks >= 3);
        EXPECT_EQ (hub->getBankProgram (7, 98) == marked, wholeBanks >= 8);
        if (wholeBanks < 4)
        {
            EXPECT_EQ (hub->getBankProgram (3, 0), factory.getProgram (0)) << "a bank the file does not hold";
        }
        hub.reset();
        EXPECT_EQ (fileBytes (banksFile).size(), 811034u) << "every save writes all eight";
    }
}

TEST_F (Files, PortsByTheirMarkersAndTheLastOfEach)
{
    const auto portsFile = SettingsFiles (folder).portsFile();
    writeBytes (portsFile, Bytes{'P', 'o', 'r', 't', ' ', 'A', 15, 'P', 'r', 'o', 'p', 'h', 'e', 't', ' ',
                                 '1', '2', ' ', 'O', 'u', 't', 16, 'N', 'O', 'N', 'E', 17,  '1', 18});
    system = nullptr;
    auto fake = std::make_unique<ravlin::test::FakeMidiDevices>();
    fake->inputs = {"Elsewhere", "Port A"};
    auto* devices = fake.get();
    auto hub = std::make_unique<MidiCntrState> (std::move (fake), folder);
    EXPECT_TRUE (hub->getPorts().inputOpen);
    EXPECT_TRUE (hub->getPorts().outputOpen);
    EXPECT_EQ (devices->lastOutputIndex, 1);
    EXPECT_EQ (hub->portNames, (juce::StringArray{"Port A", "Prophet 12 Out", "NONE", "1"}));
    EXPECT_EQ (hub->getPorts().sysExBufferChoice, 1);

    hub->getPorts().sysExBufferChoice = 0;
    hub->savePorts();
    EXPECT_EQ (SettingsFiles::parsePorts (fileBytes (portsFile)),
               (juce::StringArray{"Port A", "Prophet 12 Out", "NONE", "0"}));

    // The last marker of each kind counts; a missing one keeps the defaults.
    EXPECT_EQ (SettingsFiles::parsePorts ({'x', 15, 'I', 'n', 15, 'O', 'u', 't', 16}),
               (juce::StringArray{"x\x0fIn", "Out", "NONE", "0"}));
    EXPECT_EQ (SettingsFiles::parsePorts ({'A', 'B', 'C'}), (juce::StringArray{"NONE", "NONE", "NONE", "0"}));
    EXPECT_EQ (SettingsFiles::parsePorts ({16, 'X', 15}), (juce::StringArray{"\x10X", "NONE", "NONE", "0"}));

    writeBytes (portsFile, Bytes{'A', 15});
    hub.reset();
    hub = makeHub();
    EXPECT_EQ (fileBytes (portsFile), SettingsFiles::portsContent ({"NONE", "NONE", "NONE", "0"}))
        << "two bytes or fewer are replaced by the defaults";
}

TEST_F (Files, LayoutWritesItsFieldsAndReadsShortFilesAsZeros)
{
    LayoutValues layout;
    layout.editor = {-20, 30, 1200, 730};
    layout.panel = {5, 6, 1200, 710};
    layout.keyboard = {7, 8, 1200, 172};
    layout.lastPanelScale = 1.25;
    layout.panelScale = 0.9;
    const auto content = SettingsFiles::layoutContent (layout);
    ASSERT_EQ (content.size(), 100u);
    EXPECT_EQ (Bytes (content.begin(), content.begin() + 4), (Bytes{0xFF, 0xEC, 0x00, 30}));
    for (size_t i : {8, 9, 10, 11, 16, 17, 18, 19, 28, 99})
        EXPECT_EQ (content[i], 0) << "byte " << i << " is not the writer's";
    EXPECT_EQ (Bytes (content.begin() + 24, content.begin() + 28), (Bytes{0x04, 0xE2, 0x03, 0x84}));

    auto hub = makeHub();
    hub->layout = layout;
    hub->saveLayout();
    hub->layout = {};
    hub->loadLayout();
    EXPECT_EQ (hub->layout, layout);
    EXPECT_EQ (hub->layout.panel.getX(), 0);

    const auto shortRead = SettingsFiles::parseLayout (Bytes (content.begin(), content.begin() + 5));
    EXPECT_EQ (shortRead.editor, (PixelBox{-20, 30, 1024, 0})); // byte 5 is missing
    writeBytes (SettingsFiles (folder).layoutFile(), Bytes{1, 2});
    hub->layout = {};
    hub->loadLayout();
    EXPECT_EQ (hub->layout, LayoutValues()) << "two bytes are no layout";
}

TEST_F (Files, TheDefaultPresetBecomesTheFirstProgram)
{
    Bytes preset;
    for (auto c : juce::String ("Prophet12RavlinSettingsVersion100"))
        preset.push_back ((uint8_t)c);
    for (int i = 0; i < 1024; ++i)
        preset.push_back ((uint8_t)(i % 100));
    writeBytes (SettingsFiles (folder).defaultPresetFile(), preset);
    {
        auto hub = makeHub();
        EXPECT_EQ (hub->presetProgramIndex, 0);
        EXPECT_EQ (hub->getCurrentProgram(), Bytes (preset.begin() + 33, preset.end()));
        EXPECT_EQ (hub->getPresetProgram (0), hub->getCurrentProgram());
        EXPECT_EQ (hub->takeEvents(), (std::vector<uint32_t>{HubEvent::programLoaded}));
    }

    writeBytes (SettingsFiles (folder).defaultPresetFile(), Bytes (preset.begin(), preset.begin() + 40));
    {
        auto hub = makeHub();
        auto expected = Bytes (preset.begin() + 33, preset.begin() + 40);
        expected.resize (1024, 0);
        EXPECT_EQ (hub->getCurrentProgram(), expected) << "a short file is zero-filled";
    }

    preset[0] = 'X';
    writeBytes (SettingsFiles (folder).defaultPresetFile(), preset);
    auto hub = makeHub();
    EXPECT_EQ (hub->presetProgramIndex, -1) << "without its marker the file is ignored";
}

TEST_F (Files, AFailedWriteLeavesThePreviousFileIntact)
{
    auto hub = makeHub();
    hub->saveSettings();
    const auto banksFile = SettingsFiles (folder).banksFile();
    ASSERT_TRUE (SettingsFiles (folder).saveBanks (hub->banks));
    const auto before = fileBytes (banksFile);
    hub->setBankProgram (0, 0, Bytes (1024, 0x11));

    // Writes stop after 100 kB, half way through the banks file, as a full disk would.
    struct rlimit old
    {
    };
    getrlimit (RLIMIT_FSIZE, &old);
    const auto previousHandler = std::signal (SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 100000;
    ASSERT_EQ (setrlimit (RLIMIT_FSIZE, &small), 0);
    const bool saved = SettingsFiles (folder).saveBanks (hub->banks);
    setrlimit (RLIMIT_FSIZE, &old);
    std::signal (SIGXFSZ, previousHandler);

    EXPECT_FALSE (saved);
    EXPECT_EQ (fileBytes (banksFile), before);
    EXPECT_EQ (banksFile.getParentDirectory().findChildFiles (juce::File::findFiles, false).size(), 3)
        << "no temporary file is left behind";

    if (geteuid() != 0) // permissions do not stop root
    {
        banksFile.getParentDirectory().setReadOnly (true, true);
        EXPECT_FALSE (SettingsFiles (folder).saveBanks (hub->banks));
        banksFile.getParentDirectory().setReadOnly (false, true);
        EXPECT_EQ (fileBytes (banksFile), before);
    }

    // A folder that cannot be made at all: the plug-in works on in memory.
    const auto blocked = folder.getChildFile ("blocked");
    ASSERT_TRUE (blocked.replaceWithText ("a file where the folder would be"));
    MidiCntrState homeless (std::make_unique<ravlin::test::FakeMidiDevices>(), blocked);
    EXPECT_EQ (homeless.midiChannel, 1);
    homeless.saveSettings();
    homeless.savePorts();
}

//==============================================================================
TEST_F (Files, TheHostsBankChunk)
{
    auto hub = makeHub();
    hub->presetProgramIndex = 5;
    hub->setPresetProgram (5, Bytes (1024, 0x55));
    hub->setPresetProgram (98, Bytes (1024, 0x98));
    hub->setCurrentProgram (Bytes (1024, 0x56)); // preset 5, edited and not stored
    juce::MemoryBlock chunk;
    PresetChunks::writeBank (*hub, chunk);
    ASSERT_EQ (chunk.getSize(), 102430u);
    EXPECT_EQ (juce::String::fromUTF8 ((const char*)chunk.getData(), 29), "Prophet12RavlinBankVersion100");
    const auto* bytes = static_cast<const uint8_t*> (chunk.getData());
    EXPECT_EQ (bytes[102429], 5);
    EXPECT_EQ (bytes[29 + 5 * 1024], 0x55) << "the preset as stored";
    EXPECT_EQ (bytes[101405], 0x56) << "the sound being edited";
    EXPECT_EQ (hub->getPresetProgram (5), Bytes (1024, 0x55)) << "saving stores nothing into a preset";

    auto other = makeHub();
    other->presetProgramIndex = 9;
    other->takeEvents();
    PresetChunks::readBank (*other, chunk.getData(), (int)chunk.getSize());
    for (int p = 0; p < 99; ++p)
        ASSERT_EQ (other->getPresetProgram (p), hub->getPresetProgram (p)) << p;
    EXPECT_EQ (other->getCurrentProgram(), Bytes (1024, 0x56)) << "the sound being edited comes back";
    EXPECT_EQ (other->presetProgramIndex, 5);
    EXPECT_EQ (other->takeEvents(), (std::vector<uint32_t>{HubEvent::programLoaded}));

    // Without a preset chosen yet: no preset is overwritten, the sound goes in the current block.
    hub->presetProgramIndex = -1;
    const auto presetZero = hub->getPresetProgram (0);
    hub->setCurrentProgram (Bytes (1024, 0x77));
    PresetChunks::writeBank (*hub, chunk);
    EXPECT_EQ (hub->presetProgramIndex, 0);
    EXPECT_EQ (hub->getPresetProgram (0), presetZero);
    EXPECT_EQ (static_cast<const uint8_t*> (chunk.getData())[101405], 0x77);
    EXPECT_EQ (static_cast<const uint8_t*> (chunk.getData())[102429], 0);
}

TEST_F (Files, TheHostsProgramChunk)
{
    auto hub = makeHub();
    hub->setCurrentProgram (Bytes (1024, 0x42));
    juce::MemoryBlock chunk;
    PresetChunks::writeProgram (*hub, chunk);
    ASSERT_EQ (chunk.getSize(), 1057u);
    EXPECT_EQ (juce::String::fromUTF8 ((const char*)chunk.getData(), 33), "Prophet12RavlinSettingsVersion100");
    EXPECT_EQ (hub->presetProgramIndex, 0);
    EXPECT_EQ (hub->getPresetProgram (0), Bytes (1024, 0x42));

    auto other = makeHub();
    other->takeEvents();
    PresetChunks::readProgram (*other, chunk.getData(), (int)chunk.getSize());
    EXPECT_EQ (other->presetProgramIndex, 0);
    EXPECT_EQ (other->getPresetProgram (0), Bytes (1024, 0x42));
    EXPECT_EQ (other->getCurrentProgram(), Bytes (1024, 0x42));
    EXPECT_EQ (other->takeEvents(), (std::vector<uint32_t>{HubEvent::programLoaded}));
}

TEST_F (Files, ChunksOfEveryLengthAndGarbage)
{
    // In memory only: thousands of hubs are made here.
    auto memoryHub = []
    { return std::make_unique<MidiCntrState> (std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File()); };
    auto hub = memoryHub();
    juce::MemoryBlock full;
    for (int p = 0; p < 99; ++p)
        hub->setPresetProgram (p, Bytes (1024, (uint8_t)(p + 1)));
    hub->presetProgramIndex = 0;
    PresetChunks::writeBank (*hub, full);
    const auto* bytes = static_cast<const uint8_t*> (full.getData());

    juce::Random random (42);
    std::vector<int> lengths;
    for (int n = 0; n < 2100; ++n)
        lengths.push_back (n);
    for (int n = 2100; n < 102430 + 50; n += 509 + random.nextInt (500))
        lengths.push_back (n);
    for (int b = 0; b < 100; ++b)
        for (int d : {-1, 0, 1})
            lengths.push_back (29 + 1024 * b + d);

    Bytes garbage (102480);
    for (auto& g : garbage)
        g = (uint8_t)random.nextInt (256);

    // One hub read into again and again (making thousands is most of the time under ASan): before
    // each length its preset bank, current program and preset index go back to a fresh hub's.
    auto target = memoryHub();
    std::vector<Bytes> freshPresets;
    for (int p = 0; p < 99; ++p)
        freshPresets.push_back (target->getPresetProgram (p));
    const auto current = target->getCurrentProgram();
    const int freshPresetIndex = target->presetProgramIndex;
    const auto before0 = freshPresets[0];
    const auto before98 = freshPresets[98];

    for (const int length : lengths)
    {
        for (int p = 0; p < 99; ++p)
            target->setPresetProgram (p, freshPresets[(size_t)p]);
        target->setCurrentProgram (current);
        target->presetProgramIndex = freshPresetIndex;
        target->takeEvents();
        ASSERT_EQ (target->getPresetProgram (0), before0);
        ASSERT_EQ (target->getCurrentProgram(), current);
        Bytes chunk (bytes, bytes + std::min (length, 102430));
        chunk.resize ((size_t)length, 0xAB); // overlong chunks carry trailing garbage
        PresetChunks::readBank (*target, chunk.data(), length);
        if (length < 102430)
        {
            ASSERT_EQ (target->getCurrentProgram(), current) << "no current block in " << length << " bytes";
        }
        else
        {
            ASSERT_EQ (target->getCurrentProgram(), Bytes (bytes + 101405, bytes + 102429)) << length;
        }
        if (length <= 29)
        {
            ASSERT_EQ (target->getPresetProgram (0), before0) << length;
        }
        if (length <= 29 + 98 * 1024)
        {
            ASSERT_EQ (target->getPresetProgram (98), before98) << length;
        }
        if (length >= 29 + 99 * 1024)
        {
            ASSERT_EQ (target->getPresetProgram (98), Bytes (1024, 99)) << length;
        }
        if (length > 29 && length < 29 + 1024)
        {
            auto expected = Bytes (1024, 0);
            std::fill (expected.begin(), expected.begin() + (length - 29), 1);
            ASSERT_EQ (target->getPresetProgram (0), expected) << "zero-filled past the end, " << length;
        }

        PresetChunks::readBank (*target, garbage.data(), std::min (length, (int)garbage.size()));
        PresetChunks::readProgram (*target, garbage.data(), std::min (length, 1100));
        if (length <= 33)
        {
            ASSERT_EQ (target->getCurrentProgram(), current) << "no program in " << length << " bytes";
        }
    }
    PresetChunks::readBank (*hub, nullptr, 500);
    PresetChunks::readProgram (*hub, nullptr, 500);
}

TEST_F (Files, AFreshInstanceTakesTheProjectsSoundSoSavingAgainChangesNothing)
{
    auto memoryHub = []
    { return std::make_unique<MidiCntrState> (std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File()); };
    auto project = memoryHub();
    project->setCurrentProgram (Bytes (1024, 0x21)); // edited without choosing a preset
    juce::MemoryBlock saved;
    PresetChunks::writeBank (*project, saved);
    ASSERT_NE (project->getPresetProgram (0), Bytes (1024, 0x21)) << "preset 0 is the user's";

    auto reopened = memoryHub();
    ASSERT_EQ (reopened->presetProgramIndex, -1);
    PresetChunks::readBank (*reopened, saved.getData(), (int)saved.getSize());
    EXPECT_EQ (reopened->presetProgramIndex, 0);
    EXPECT_EQ (reopened->getCurrentProgram(), Bytes (1024, 0x21));

    juce::MemoryBlock again;
    PresetChunks::writeBank (*reopened, again);
    EXPECT_EQ (again, saved) << "loading and saving a project changes nothing in it";
}
