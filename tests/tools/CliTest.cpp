#include "CliCommands.h"
#include "TransferCommands.h"

#include "core/MidiCntrState.h"
#include "instrument/BankFolder.h"
#include "instrument/Bank_Program.h"
#include "instrument/DSI_Program.h"
#include "library/LibraryFile.h"
#include "support/FakeMidiDevices.h"
#include "support/NoMidiDevices.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace ravlin;

namespace
{
struct Run
{
    int code;
    std::string out, err;
};

Run cli (const juce::StringArray& args)
{
    std::ostringstream out, err;
    const auto code = runRavlinCli (args, out, err);
    return {code, out.str(), err.str()};
}

juce::StringArray lines (const std::string& text)
{
    juce::StringArray result;
    result.addLines (juce::String (text));
    result.removeEmptyStrings();
    return result;
}

class CliFiles : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE (dir.createDirectory()); }
    void TearDown() override { dir.deleteRecursively(); }

    juce::File write (const juce::String& name, const Bytes& data)
    {
        auto file = dir.getChildFile (name);
        file.replaceWithData (data.data(), data.size());
        return file;
    }

    /** A bank file as the instrument writes it: 99 keyboard-model dumps and a trailing global message. */
    juce::File bankFile()
    {
        Bytes stream;
        for (int n = 0; n < 99; ++n)
        {
            DSI_Program program;
            program.setName ("Bank Sound " + juce::String (n + 1));
            program.image[(size_t)DSI_Program::categoryOffset] = (uint8_t)(n % 26);
            program.image[0] = (uint8_t)n;
            auto dump = packProgramDump (program.image, 2, n);
            dump[2] = sysex::deviceKeyboard;
            stream.insert (stream.end(), dump.begin(), dump.end());
        }
        Bytes global (325, 0x01);
        global.front() = 0xF0, global[3] = 0x5C, global.back() = 0xF7;
        stream.insert (stream.end(), global.begin(), global.end());
        return write ("bank.syx", stream);
    }

    juce::File dir = juce::File::createTempFile ("ravlin-cli-test");
};
} // namespace

TEST_F (CliFiles, ListsEveryProgramOfABankFile)
{
    const auto run = cli ({"list", bankFile().getFullPathName()});
    ASSERT_EQ (run.code, 0) << run.err;
    const auto rows = lines (run.out);
    ASSERT_EQ (rows.size(), 99);
    EXPECT_EQ (rows[0], "  1  bank 2 prog  0  Bank Sound 1      - Not Assigned -");
    EXPECT_EQ (rows[98], " 99  bank 2 prog 98  Bank Sound 99     Sequence");
}

TEST_F (CliFiles, ShowsBothLayersWithHostNamesAndTexts)
{
    const auto path = bankFile().getFullPathName();
    const auto run = cli ({"show", path, "3"});
    ASSERT_EQ (run.code, 0) << run.err;
    const auto rows = lines (run.out);
    EXPECT_EQ (rows[0], "Program 3: Bank Sound 3      (Organs)");
    EXPECT_TRUE (rows.contains ("0\tA Pitch 1\t2\tD0"));
    EXPECT_TRUE (rows.contains ("512\tB Pitch 1\t36\tC3"));
    EXPECT_TRUE (rows.contains ("425\tA A B Mode\t0\tNormal"));
    EXPECT_EQ (rows.size(), 1 + 2 * 315) << "every named row of both layers";

    EXPECT_NE (cli ({"show", path, "100"}).code, 0);
    EXPECT_NE (cli ({"show", path, "0"}).code, 0);
    EXPECT_NE (cli ({"show", path, "-4"}).code, 0);
    EXPECT_NE (cli ({"show", path, "two"}).code, 0);
}

TEST_F (CliFiles, ReadsLibrariesToo)
{
    DSI_Program program;
    program.setName ("Library One");
    const auto image = LibraryFile::buildImage ({program.image});
    auto file = dir.getChildFile ("lib.p12l");
    file.replaceWithData (image.getData(), image.getSize());

    const auto run = cli ({"list", file.getFullPathName()});
    ASSERT_EQ (run.code, 0) << run.err;
    EXPECT_EQ (lines (run.out)[0].trimEnd(), "  1                  Library One       - Not Assigned -");
}

TEST_F (CliFiles, RefusesGarbageAndMissingFilesWithAMessage)
{
    Bytes junk (5000);
    for (size_t i = 0; i < junk.size(); ++i)
        junk[i] = (uint8_t)(i * 7919 % 251);
    const auto garbage = cli ({"list", write ("junk.bin", junk).getFullPathName()});
    EXPECT_EQ (garbage.code, 1);
    EXPECT_NE (garbage.err.find ("no programs found"), std::string::npos);
    EXPECT_TRUE (garbage.out.empty());

    const auto empty = cli ({"show", write ("empty.syx", {}).getFullPathName()});
    EXPECT_EQ (empty.code, 1);

    const auto missing = cli ({"list", dir.getChildFile ("nothing.syx").getFullPathName()});
    EXPECT_EQ (missing.code, 1);
    EXPECT_NE (missing.err.find ("no such file"), std::string::npos);

    EXPECT_EQ (cli ({"list", dir.getFullPathName()}).code, 1);
    EXPECT_EQ (cli ({}).code, 2);
    EXPECT_EQ (cli ({"frobnicate"}).code, 2);
    EXPECT_EQ (cli ({"params", "extra"}).code, 2);
}

TEST (Cli, ParameterReferenceTable)
{
    const auto run = cli ({"params"});
    ASSERT_EQ (run.code, 0);
    const auto rows = lines (run.out);
    ASSERT_EQ (rows.size(), 1030);
    EXPECT_EQ (rows[0], "0\t1\tPitch 1\t0\t120\t13\t0\t0");
    EXPECT_EQ (rows[516], "516\t1\tFine 1\t0\t100\t22\t513\t314");
    EXPECT_EQ (rows[936], "936\t15\tSplit Point\t0\t120\t18\t799\t-");
    EXPECT_EQ (rows[1024], "1024\t20\tProgram No.\t0\t791\t0\t-\t618");
}

TEST (Cli, TheBuiltToolExitsCleanlyOnBadInput)
{
    const juce::File tool (RAVLIN_CLI_PATH);
    ASSERT_TRUE (tool.existsAsFile());

    auto junkFile = juce::File::createTempFile (".syx");
    junkFile.replaceWithText (juce::String::repeatedString ("\xF0 garbage \xF7", 200));

    for (const auto& args : {juce::StringArray{"list", junkFile.getFullPathName()}, juce::StringArray{"show"},
                             juce::StringArray{"show", "/nonexistent/file.syx"}})
    {
        juce::ChildProcess process;
        juce::StringArray command{tool.getFullPathName()};
        command.addArray (args);
        ASSERT_TRUE (process.start (command, juce::ChildProcess::wantStdErr));
        const auto err = process.readAllProcessOutput();
        ASSERT_TRUE (process.waitForProcessToFinish (10000));
        const auto code = (int)process.getExitCode();
        EXPECT_TRUE (code == 1 || code == 2) << args.joinIntoString (" ") << " exited " << code;
        EXPECT_TRUE (err.isNotEmpty());
    }
    junkFile.deleteFile();

    juce::ChildProcess params;
    ASSERT_TRUE (params.start (juce::StringArray{tool.getFullPathName(), "params"}));
    const auto text = params.readAllProcessOutput();
    EXPECT_EQ (params.getExitCode(), 0u);
    EXPECT_TRUE (text.startsWith ("0\t1\tPitch 1\t"));
}

TEST_F (CliFiles, PortsListTheVirtualInstrument)
{
    const auto run = cli ({"ports"});
    ASSERT_EQ (run.code, 0);
    const auto rows = lines (run.out);
    EXPECT_EQ (rows[0], "Inputs:");
    EXPECT_TRUE (rows.contains ("  Prophet 12 Module (virtual)"));
    EXPECT_EQ (rows[rows.size() - 1], "  Prophet 12 Module (virtual)");
}

TEST_F (CliFiles, ReceivesBanksFromTheVirtualInstrumentIntoABankFile)
{
    const juce::String port = "Prophet 12 Module (virtual)";
    const auto file = dir.getChildFile ("backup.syx");
    const auto run = cli ({"receive", "--in", port, "--out", port, "--banks", "6", file.getFullPathName()});
    ASSERT_EQ (run.code, 0) << run.err;
    EXPECT_NE (run.out.find ("wrote 99 programs"), std::string::npos);

    juce::MemoryBlock data;
    ASSERT_TRUE (file.loadFileAsData (data));
    ASSERT_EQ (data.getSize(), 99u * 1178u);
    const auto* bytes = static_cast<const uint8_t*> (data.getData());
    EXPECT_EQ (bytes[4], 5) << "bank byte of factory bank 2";
    EXPECT_EQ (bytes[5], 0);
    EXPECT_EQ (bytes[98 * 1178 + 5], 98);

    const BankFolder folder;
    Bank_Program bank ("check");
    bank.loadFromDumps (bytes, data.getSize());
    EXPECT_EQ (bank.getProgram (42), Bytes (folder.bank (1) + 42 * 1024, folder.bank (1) + 43 * 1024));

    const auto listed = cli ({"list", file.getFullPathName()});
    EXPECT_EQ (lines (listed.out).size(), 99);
}

TEST_F (CliFiles, ReceiveRefusesUnknownPortsAndBadOptions)
{
    const auto file = dir.getChildFile ("x.syx").getFullPathName();
    const auto missing = cli ({"receive", "--in", "Nothing Here", "--out", "Nothing Here", "--banks", "all", file});
    EXPECT_EQ (missing.code, 1);
    EXPECT_NE (missing.err.find ("no MIDI input named \"Nothing Here\""), std::string::npos);
    EXPECT_EQ (cli ({"receive", "--in", "a", "--out", "b", "--banks", "9", file}).code, 2);
    EXPECT_EQ (cli ({"receive", "--in", "a", "--out", "b", "--banks", "user", "--wire", "fast", file}).code, 2);
    EXPECT_EQ (cli ({"receive", "--in", "a", "--out", "b", "--banks", "user"}).code, 2);
    EXPECT_EQ (cli ({"receive", "--in"}).code, 2);
    EXPECT_FALSE (juce::File (file).exists());
}

TEST_F (CliFiles, TransmitsABankFileBackAndVerifiesIt)
{
    const juce::String port = "Prophet 12 Module (virtual)";
    const auto backup = dir.getChildFile ("backup.syx").getFullPathName();
    ASSERT_EQ (cli ({"receive", "--in", port, "--out", port, "--banks", "6", backup}).code, 0);

    std::istringstream no ("n\n");
    std::ostringstream out, err;
    const juce::StringArray toBankTwo{"transmit", "--in", port, "--out", port, "--to-bank", "2", "--verify", backup};
    EXPECT_EQ (transmitBanks (toBankTwo, no, out, err), 1);
    EXPECT_NE (out.str().find ("This overwrites 99 programs"), std::string::npos);
    EXPECT_NE (err.str().find ("nothing sent"), std::string::npos);

    std::istringstream yes ("y\n");
    std::ostringstream out2, err2;
    ASSERT_EQ (transmitBanks (toBankTwo, yes, out2, err2), 0) << err2.str();
    EXPECT_NE (out2.str().find ("sent 99 programs in"), std::string::npos);
    EXPECT_NE (out2.str().find ("verified 99 programs"), std::string::npos);

    const auto own = cli ({"transmit", "--out", port, "--yes", backup});
    EXPECT_EQ (own.code, 0) << own.err;
}

TEST_F (CliFiles, TransmitRefusesBadInput)
{
    const auto garbage = write ("garbage.syx", Bytes (5000, 0x42)).getFullPathName();
    EXPECT_EQ (cli ({"transmit", "--out", "Prophet 12 Module (virtual)", "--yes", garbage}).code, 1);
    EXPECT_EQ (cli ({"transmit", "--out", "x", "--to-bank", "9", garbage}).code, 2);
    EXPECT_EQ (cli ({"transmit", "--in", "x", garbage}).code, 2) << "no output";
    EXPECT_EQ (cli ({"transmit", "--out", "Nothing Here", "--yes", bankFile().getFullPathName()}).code, 1);
}

TEST (CliFirstRun, WithoutDevicesOrPortsFileTheVirtualInstrumentIsChosen)
{
    juce::ScopedJuceInitialiser_GUI messageThread;
    const auto folder = juce::File::getSpecialLocation (juce::File::tempDirectory)
                            .getChildFile ("ravlin-first-" + juce::String::toHexString (juce::Random().nextInt64()));
    ravlin::test::NoMidiDevices none;
    std::ostringstream said;
    EXPECT_EQ (prepareFirstRun (folder, none, said), 0);
    EXPECT_NE (said.str().find ("virtual instrument"), std::string::npos);
    const SettingsFiles files (folder);
    const auto ports = files.loadPorts();
    EXPECT_EQ (ports[0], VirtualInstrument::portName);
    EXPECT_EQ (ports[1], VirtualInstrument::portName);

    // A hub started on that folder opens the virtual instrument both ways.
    {
        MidiCntrState hub (std::make_unique<ravlin::test::NoMidiDevices>(), folder);
        EXPECT_TRUE (hub.getPorts().inputOpen);
        EXPECT_TRUE (hub.getPorts().outputOpen);
    }

    // A second run leaves the file alone, and machines with devices are told where to choose.
    files.savePorts ({"Mine", "Mine", "NONE", "0"});
    std::ostringstream again;
    prepareFirstRun (folder, none, again);
    EXPECT_EQ (files.loadPorts()[0], "Mine");
    EXPECT_TRUE (again.str().empty());
    files.portsFile().deleteFile();
    ravlin::test::FakeMidiDevices some;
    std::ostringstream withDevices;
    prepareFirstRun (folder, some, withDevices);
    EXPECT_FALSE (files.portsFile().existsAsFile());
    EXPECT_NE (withDevices.str().find ("MIDI button"), std::string::npos);
    folder.deleteRecursively();
}
