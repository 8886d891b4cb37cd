#include "CliCommands.h"
#include "InstrumentLink.h"
#include "PortsCommands.h"
#include "TransferCommands.h"

#include "core/MidiCntrState.h"
#include "instrument/BankFolder.h"
#include "instrument/Bank_Program.h"
#include "instrument/DSI_Program.h"
#include "library/LibraryFile.h"
#include "library/ProgramFiles.h"
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

/** The test's devices lent to one command, which closes them when it ends; the test keeps them
    and reads what reached them. */
class LentDevices : public MidiDeviceSet
{
public:
    explicit LentDevices (MidiDeviceSet& d) : devices (d) {}
    juce::StringArray inputNames() override { return devices.inputNames(); }
    juce::StringArray outputNames() override { return devices.outputNames(); }
    std::unique_ptr<MidiInputDevice> openInput (int index, juce::MidiInputCallback& callback) override
    {
        return devices.openInput (index, callback);
    }
    std::unique_ptr<MidiOutputDevice> openOutput (int index) override { return devices.openOutput (index); }

private:
    MidiDeviceSet& devices;
};

SystemMidiDevices lend (MidiDeviceSet& devices)
{
    return [&devices] { return std::make_unique<LentDevices> (devices); };
}

/** A port pair on which nothing answers, and an input without an output of its name. */
struct SilentPort : ravlin::test::FakeMidiDevices
{
    SilentPort()
    {
        inputs = {"Silent Port", "Lonely In"};
        outputs = {"Silent Port"};
    }

    std::vector<Bytes> sent()
    {
        std::vector<Bytes> messages;
        for (const auto& m : recorders[0].taken())
            messages.push_back (m.bytes);
        return messages;
    }
};

const juce::String keyboardPort = VirtualInstrument::keyboardPortName;

/** The device byte of every 1178-byte dump of a file, in order. */
std::vector<uint8_t> deviceBytesOf (const juce::File& file)
{
    std::vector<uint8_t> bytes;
    const auto data = *ProgramFiles::readFile (file);
    for (size_t at = 0; at + (size_t)sysex::programDumpSize <= data.size(); at += (size_t)sysex::programDumpSize)
        bytes.push_back (data[at + 2]);
    return bytes;
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
    EXPECT_EQ (rows[0], "  1  bank 2 prog  0  Bank Sound 1          - Not Assigned -");
    EXPECT_EQ (rows[98], " 99  bank 2 prog 98  Bank Sound 99         Sequence");
}

TEST_F (CliFiles, ShowsBothLayersWithHostNamesAndTexts)
{
    const auto path = bankFile().getFullPathName();
    const auto run = cli ({"show", path, "3"});
    ASSERT_EQ (run.code, 0) << run.err;
    const auto rows = lines (run.out);
    EXPECT_EQ (rows[0], "Program 3: Bank Sound 3          (Organs)");
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
    EXPECT_EQ (lines (run.out)[0].trimEnd(), "  1                  Library One           - Not Assigned -");
}

TEST_F (CliFiles, ListAndShowGiveAllTwentyNameCharacters)
{
    DSI_Program program;
    program.setName ("Wurly Trem ModWheel2");
    const auto image = LibraryFile::buildImage ({program.image});
    auto file = dir.getChildFile ("twenty.p12l");
    file.replaceWithData (image.getData(), image.getSize());

    const auto listed = cli ({"list", file.getFullPathName()});
    ASSERT_EQ (listed.code, 0) << listed.err;
    EXPECT_EQ (lines (listed.out)[0], "  1                  Wurly Trem ModWheel2  - Not Assigned -");
    const auto shown = cli ({"show", file.getFullPathName()});
    ASSERT_EQ (shown.code, 0) << shown.err;
    EXPECT_EQ (lines (shown.out)[0], "Program 1: Wurly Trem ModWheel2  (- Not Assigned -)");
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

    // A preset file that is refused says why, as the plug-in does.
    Bytes cut{'C', 'c', 'n', 'K', 0, 0, 0, 35, 'F', 'P', 'C', 'h'};
    cut.resize (43, 0);
    const auto preset = cli ({"list", write ("cut.fxp", cut).getFullPathName()});
    EXPECT_EQ (preset.code, 1);
    EXPECT_NE (preset.err.find ("cut.fxp: not loaded: it is cut short."), std::string::npos) << preset.err;

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

    // The machine's own devices: both virtual models are found by asking them.
    juce::ChildProcess ports;
    ASSERT_TRUE (
        ports.start (juce::StringArray{tool.getFullPathName(), "ports", "--detect"}, juce::ChildProcess::wantStdOut));
    const auto portsText = ports.readAllProcessOutput();
    EXPECT_EQ (ports.getExitCode(), 0u);
    EXPECT_TRUE (portsText.contains ("\n  Prophet 12 Module (virtual): Prophet 12 Module\n")) << portsText;
    EXPECT_TRUE (portsText.endsWith ("\n  Prophet 12 Keyboard (virtual): Prophet 12 Keyboard\n")) << portsText;

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
    EXPECT_EQ (rows[rows.size() - 1], "  Prophet 12 Keyboard (virtual)");
}

TEST_F (CliFiles, ReceivesBanksFromTheVirtualInstrumentIntoABankFile)
{
    const juce::String port = "Prophet 12 Module (virtual)";
    const auto file = dir.getChildFile ("backup.syx");
    const auto run = cli ({"receive", "--in", port, "--out", port, "--banks", "6", file.getFullPathName()});
    ASSERT_EQ (run.code, 0) << run.err;
    EXPECT_TRUE (lines (run.err)[0].startsWith ("Prophet 12 Module on Prophet 12 Module (virtual): identified in "))
        << run.err;
    EXPECT_TRUE (lines (run.out)[0].startsWith ("wrote 99 programs to ")) << "the result alone: " << run.out;
    EXPECT_EQ (lines (run.out).size(), 1);
    EXPECT_EQ (deviceBytesOf (file), std::vector<uint8_t> (99, sysex::deviceModule));

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
    for (const char* model : {"desktop", "Keyboard", ""})
    {
        const auto bad = cli ({"receive", "--in", "a", "--out", "b", "--banks", "1", "--model", model, file});
        EXPECT_EQ (bad.code, 2) << model;
        EXPECT_EQ (bad.err, "ravlin-cli: --model takes module, keyboard or detect\n");
        EXPECT_TRUE (bad.out.empty());
    }
    EXPECT_EQ (cli ({"receive", "--in", "a", "--out", "b", "--banks", "1", file, "--model"}).err,
               "ravlin-cli: --model needs a value\n");
    EXPECT_EQ (cli ({"receive", "--in", "a", "--out", "b", "--banks", "user"}).code, 2);
    EXPECT_EQ (cli ({"receive", "--in"}).code, 2);
    EXPECT_FALSE (juce::File (file).exists());
}

TEST (CliLinkOptions, EachNameSetsItsChoiceAndAnyOtherIsRefusedNamingTheChoices)
{
    using instrumentLink::Option;
    using Wire = VirtualInstrument::WireSpeed;
    using Model = ModelDetector::Choice;
    const auto parse = [] (const juce::StringArray& args, instrumentLink::Link& link, std::string& told)
    {
        std::ostringstream err;
        int i = 0;
        const auto option = instrumentLink::parseLinkOption (args, i, link, err);
        told = err.str();
        return std::make_pair (option, i);
    };
    std::string told;

    for (const auto& [name, wire] : {std::pair{"din", Wire::din}, {"usb", Wire::usb}, {"none", Wire::unlimited}})
    {
        instrumentLink::Link link;
        link.wire = Wire::usb == wire ? Wire::din : Wire::usb;
        EXPECT_EQ (parse ({"--wire", name}, link, told), std::make_pair (Option::taken, 1)) << name;
        EXPECT_EQ (link.wire, wire) << name;
        EXPECT_EQ (told, "");
    }
    for (const auto& [name, model] :
         {std::pair{"module", Model::module}, {"keyboard", Model::keyboard}, {"detect", Model::detect}})
    {
        instrumentLink::Link link;
        link.model = Model::detect == model ? Model::module : Model::detect;
        EXPECT_EQ (parse ({"--model", name}, link, told), std::make_pair (Option::taken, 1)) << name;
        EXPECT_EQ (link.model, model) << name;
        EXPECT_EQ (told, "");
    }

    for (const char* name : {"fast", "DIN", "", "usb "})
    {
        instrumentLink::Link link;
        EXPECT_EQ (parse ({"--wire", name}, link, told).first, Option::bad) << name;
        EXPECT_EQ (told, "ravlin-cli: --wire takes din, usb or none\n");
        EXPECT_EQ (link.wire, Wire::unlimited) << "left as it was";
    }
    for (const char* name : {"desktop", "Module", ""})
    {
        instrumentLink::Link link;
        EXPECT_EQ (parse ({"--model", name}, link, told).first, Option::bad) << name;
        EXPECT_EQ (told, "ravlin-cli: --model takes module, keyboard or detect\n");
        EXPECT_EQ (link.model, Model::detect) << "left as it was";
    }

    instrumentLink::Link link;
    EXPECT_EQ (parse ({"--wire"}, link, told).first, Option::bad);
    EXPECT_EQ (told, "ravlin-cli: --wire needs a value\n");
    EXPECT_EQ (parse ({"--banks", "1"}, link, told), std::make_pair (Option::notMine, 0));
    EXPECT_EQ (told, "");
}

TEST_F (CliFiles, TransmitsABankFileBackAndVerifiesIt)
{
    const juce::String port = "Prophet 12 Module (virtual)";
    const auto backup = dir.getChildFile ("backup.syx").getFullPathName();
    ASSERT_EQ (cli ({"receive", "--in", port, "--out", port, "--banks", "6", backup}).code, 0);

    std::istringstream no ("n\n");
    std::ostringstream out, err;
    const juce::StringArray toBankTwo{"transmit", "--in", port, "--out", port, "--to-bank", "2", "--verify", backup};
    const std::string question = "This overwrites 99 programs in the instrument's memory. Continue? [y/N] ";
    EXPECT_EQ (transmitBanks (toBankTwo, no, out, err), 1);
    EXPECT_EQ (err.str(), question + "ravlin-cli: nothing sent\n") << "the question is asked where errors go";
    EXPECT_TRUE (out.str().empty()) << out.str();

    std::istringstream yes ("y\n");
    std::ostringstream out2, err2;
    ASSERT_EQ (transmitBanks (toBankTwo, yes, out2, err2), 0) << err2.str();
    EXPECT_EQ (out2.str(), "verified 99 programs\n") << "the result alone";
    EXPECT_NE (err2.str().find ("sent 99 programs in"), std::string::npos);

    EXPECT_TRUE (lines (err2.str())[0].startsWith (question +
                                                   "Prophet 12 Module on Prophet 12 Module (virtual): identified in "))
        << "the model is named once the user agreed: " << err2.str();

    // Without an input nobody can be asked: the module, and the user is told.
    const auto own = cli ({"transmit", "--out", port, "--yes", backup});
    EXPECT_EQ (own.code, 0) << own.err;
    EXPECT_EQ (lines (own.err)[0], "Prophet 12 Module on Prophet 12 Module (virtual)");
    EXPECT_EQ (lines (own.err)[1], "ravlin-cli: without an input (--in) nobody can be asked which model is on Prophet "
                                   "12 Module (virtual): going on as the Prophet 12 Module (--model keyboard for a "
                                   "keyboard)");
    EXPECT_TRUE (own.out.rfind ("sent 99 programs in ", 0) == 0) << own.out;
}

TEST_F (CliFiles, TransmitRefusesBadInput)
{
    const auto garbage = write ("garbage.syx", Bytes (5000, 0x42)).getFullPathName();
    EXPECT_EQ (cli ({"transmit", "--out", "Prophet 12 Module (virtual)", "--yes", garbage}).code, 1);
    EXPECT_EQ (cli ({"transmit", "--out", "x", "--to-bank", "9", garbage}).code, 2);
    const auto model = cli ({"transmit", "--out", "x", "--model", "module+keyboard", "--yes", garbage});
    EXPECT_EQ (model.code, 2);
    EXPECT_EQ (model.err, "ravlin-cli: --model takes module, keyboard or detect\n");
    EXPECT_EQ (cli ({"transmit", "--in", "x", garbage}).code, 2) << "no output";

    // A read-back without an input is refused before a single program goes out.
    const auto unverifiable =
        cli ({"transmit", "--out", "Prophet 12 Module (virtual)", "--yes", "--verify", bankFile().getFullPathName()});
    EXPECT_EQ (unverifiable.code, 2);
    EXPECT_EQ (unverifiable.err, "ravlin-cli: --verify needs --in\n");
    EXPECT_TRUE (unverifiable.out.empty()) << unverifiable.out;
    EXPECT_EQ (cli ({"transmit", "--out", "Nothing Here", "--yes", bankFile().getFullPathName()}).code, 1);
}

TEST_F (CliFiles, ReceivesFromTheKeyboardWithItsByteAndTransmitsTheFileBack)
{
    // Nothing said about the model: the tool asks, and the keyboard answers.
    const auto backup = dir.getChildFile ("keyboard.syx");
    const auto received =
        cli ({"receive", "--in", keyboardPort, "--out", keyboardPort, "--banks", "6", backup.getFullPathName()});
    ASSERT_EQ (received.code, 0) << received.err;
    const auto said = lines (received.err);
    EXPECT_TRUE (said[0].startsWith ("Prophet 12 Keyboard on Prophet 12 Keyboard (virtual): identified in "))
        << said[0];
    EXPECT_EQ (said[1], "received 1 of 99 programs");
    EXPECT_EQ (said[2], "received 99 of 99 programs");
    EXPECT_EQ (said.size(), 3) << "nothing went wrong";

    EXPECT_EQ (deviceBytesOf (backup), std::vector<uint8_t> (99, sysex::deviceKeyboard));
    const auto data = *ProgramFiles::readFile (backup);
    const BankFolder folder;
    Bank_Program bank ("check");
    bank.loadFromDumps (data);
    EXPECT_EQ (bank.getProgram (42), Bytes (folder.bank (1) + 42 * 1024, folder.bank (1) + 43 * 1024));

    // Back into another bank of the same keyboard, read back and compared there.
    const auto sent = cli ({"transmit", "--in", keyboardPort, "--out", keyboardPort, "--to-bank", "2", "--yes",
                            "--verify", backup.getFullPathName()});
    ASSERT_EQ (sent.code, 0) << sent.err;
    EXPECT_TRUE (
        lines (sent.err)[0].startsWith ("Prophet 12 Keyboard on Prophet 12 Keyboard (virtual): identified in "));
    EXPECT_FALSE (sent.err.find ("ravlin-cli:") != std::string::npos) << sent.err;
    EXPECT_EQ (sent.out, "verified 99 programs\n");
}

TEST_F (CliFiles, TheOtherModelsByteGetsNoAnswerAndTheToolSaysSo)
{
    // Told it is a module, the tool asks nothing; the keyboard ignores the module's requests.
    const auto file = dir.getChildFile ("never.syx");
    const auto run = cli ({"receive", "--in", keyboardPort, "--out", keyboardPort, "--banks", "1", "--model", "module",
                           "--timeout", "0.2", file.getFullPathName()});
    EXPECT_EQ (run.code, 1);
    EXPECT_TRUE (run.out.empty()) << run.out;
    EXPECT_EQ (run.err, "Prophet 12 Module on Prophet 12 Keyboard (virtual)\n"
                        "ravlin-cli: the instrument did not answer within 0.2 s (is it on, are its SysEx settings "
                        "enabled, and is it a Prophet 12 Module? see --model)\n");
    EXPECT_FALSE (file.exists());

    // Dumps with the module's byte are sent, and the keyboard kept none of them: the read-back says so.
    const auto three = write ("three.syx",
                              [&]
                              {
                                  Bytes dumps;
                                  for (int n = 0; n < 3; ++n)
                                  {
                                      DSI_Program program;
                                      program.setName ("Never Kept " + juce::String (n));
                                      const auto dump = packProgramDump (program.image, 0, n, sysex::deviceKeyboard);
                                      dumps.insert (dumps.end(), dump.begin(), dump.end());
                                  }
                                  return dumps;
                              }());
    const auto sent = cli ({"transmit", "--in", keyboardPort, "--out", keyboardPort, "--model", "module", "--yes",
                            "--verify", "--timeout", "0.2", three.getFullPathName()});
    EXPECT_EQ (sent.code, 1);
    EXPECT_TRUE (sent.out.empty()) << sent.out;
    EXPECT_EQ (lines (sent.err)[0], "Prophet 12 Module on Prophet 12 Keyboard (virtual)");
    EXPECT_NE (sent.err.find ("is it a Prophet 12 Module? see --model"), std::string::npos) << sent.err;

    // Told it is a keyboard, the same port answers.
    const auto told = cli ({"receive", "--in", keyboardPort, "--out", keyboardPort, "--banks", "1", "--model",
                            "keyboard", file.getFullPathName()});
    ASSERT_EQ (told.code, 0) << told.err;
    EXPECT_EQ (lines (told.err)[0], "Prophet 12 Keyboard on Prophet 12 Keyboard (virtual)");
    EXPECT_EQ (deviceBytesOf (file), std::vector<uint8_t> (99, sysex::deviceKeyboard));
}

TEST_F (CliFiles, WithoutAnIdentityReplyTheToolGoesOnAsTheModuleAndSaysSo)
{
    SilentPort devices;
    const auto file = dir.getChildFile ("silent.syx");
    std::ostringstream out, err;
    const juce::StringArray args{"receive", "--in", "Silent Port", "--out", "Silent Port",
                                 "--banks", "3",    "--timeout",   "0.1",   file.getFullPathName()};
    EXPECT_EQ (receiveBanks (args, out, err, lend (devices)), 1);
    EXPECT_TRUE (out.str().empty()) << out.str();
    EXPECT_EQ (lines (err.str())[0], "Prophet 12 Module on Silent Port");
    EXPECT_EQ (lines (err.str())[1], "ravlin-cli: nothing on Silent Port answered the identity request within 1 s: "
                                     "going on as the Prophet 12 Module (--model keyboard for a keyboard)");
    EXPECT_EQ (lines (err.str()).size(), 3) << err.str();
    EXPECT_FALSE (file.exists());

    // The identity request, then, a second later, the first program request with the module's byte.
    const auto sent = devices.sent();
    ASSERT_EQ (sent.size(), 2u);
    EXPECT_EQ (sent[0], identity::request());
    EXPECT_EQ (sent[1], (Bytes{0xF0, 0x01, 0x2B, 0x05, 0x02, 0x00, 0xF7}));
}

TEST_F (CliFiles, AChosenModelSendsNoIdentityRequest)
{
    SilentPort devices;
    std::ostringstream out, err;
    const juce::StringArray args{"receive", "--in",    "Silent Port", "--out",     "Silent Port", "--banks",
                                 "3",       "--model", "keyboard",    "--timeout", "0.05",        "x.syx"};
    EXPECT_EQ (receiveBanks (args, out, err, lend (devices)), 1);
    EXPECT_TRUE (out.str().empty()) << out.str();
    EXPECT_EQ (lines (err.str())[0], "Prophet 12 Keyboard on Silent Port");
    EXPECT_EQ (devices.sent(), std::vector<Bytes> ({{0xF0, 0x01, 0x2A, 0x05, 0x02, 0x00, 0xF7}}));
}

TEST_F (CliFiles, PortsDetectNamesTheModelOnEveryPairOfPorts)
{
    SilentPort devices;
    std::ostringstream listed, listedErr;
    ASSERT_EQ (listMidiPorts ({"ports"}, listed, listedErr, lend (devices)), 0);
    EXPECT_EQ (listed.str(), "Inputs:\n  Silent Port\n  Lonely In\n  Prophet 12 Module (virtual)\n"
                             "  Prophet 12 Keyboard (virtual)\nOutputs:\n  Silent Port\n"
                             "  Prophet 12 Module (virtual)\n  Prophet 12 Keyboard (virtual)\n");
    EXPECT_TRUE (devices.sent().empty()) << "listing asks nobody";

    std::ostringstream out, err;
    ASSERT_EQ (listMidiPorts ({"ports", "--detect"}, out, err, lend (devices)), 0);
    EXPECT_EQ (out.str(), listed.str() + "Models:\n"
                                         "  Silent Port: no answer\n"
                                         "  Prophet 12 Module (virtual): Prophet 12 Module\n"
                                         "  Prophet 12 Keyboard (virtual): Prophet 12 Keyboard\n");
    EXPECT_TRUE (err.str().empty()) << err.str();
    EXPECT_EQ (devices.sent(), std::vector<Bytes> ({identity::request()}));

    const auto bad = cli ({"ports", "--detct"});
    EXPECT_EQ (bad.code, 2);
    EXPECT_EQ (bad.err, "ravlin-cli: unexpected --detct\nusage: ravlin-cli ports [--detect] [--json]\n");
    EXPECT_TRUE (bad.out.empty());
}

TEST (CliFirstRun, WithoutDevicesOrPortsFileTheVirtualInstrumentIsChosen)
{
    juce::ScopedJuceInitialiser_GUI messageThread;
    const auto folder = juce::File::getSpecialLocation (juce::File::tempDirectory)
                            .getChildFile ("ravlin-first-" + juce::String::toHexString (juce::Random().nextInt64()));
    ravlin::test::NoMidiDevices none;
    std::ostringstream said, silent;
    EXPECT_EQ (prepareFirstRun (folder, none, said, silent), 0);
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
    prepareFirstRun (folder, none, again, silent);
    EXPECT_EQ (files.loadPorts()[0], "Mine");
    EXPECT_TRUE (again.str().empty());
    files.portsFile().deleteFile();
    ravlin::test::FakeMidiDevices some;
    std::ostringstream withDevices;
    prepareFirstRun (folder, some, withDevices, silent);
    EXPECT_FALSE (files.portsFile().existsAsFile());
    EXPECT_NE (withDevices.str().find ("MIDI button"), std::string::npos);
    EXPECT_TRUE (silent.str().empty()) << silent.str();
    folder.deleteRecursively();
}

//==============================================================================
namespace
{
/** The instrument's "all banks" file: four banks of 99 dumps each. */
juce::File allBanksFile (const juce::File& dir)
{
    Bytes stream;
    for (int bank = 0; bank < 4; ++bank)
        for (int n = 0; n < 99; ++n)
        {
            DSI_Program program;
            program.setName ("B" + juce::String (bank + 1) + " P" + juce::String (n + 1));
            const auto dump = packProgramDump (program.image, bank, n);
            stream.insert (stream.end(), dump.begin(), dump.end());
        }
    auto file = dir.getChildFile ("all.syx");
    file.replaceWithData (stream.data(), stream.size());
    return file;
}

std::vector<std::string> namesIn (const juce::File& file)
{
    std::vector<std::string> names;
    for (const auto& row : lines (cli ({"list", file.getFullPathName()}).out))
        names.push_back (row.substring (21, 41).trimEnd().toStdString()); // the 20 name characters
    return names;
}
} // namespace

TEST_F (CliFiles, ConvertsBetweenBanksLibrariesAndSinglePrograms)
{
    const auto bank = bankFile().getFullPathName();
    const auto library = dir.getChildFile ("lib.p12l"), back = dir.getChildFile ("back.p12b"),
               single = dir.getChildFile ("one.p12p"), singleSyx = dir.getChildFile ("one.syx");

    auto run = cli ({"convert", bank, library.getFullPathName()});
    ASSERT_EQ (run.code, 0) << run.err;
    EXPECT_EQ (run.out, "wrote a library of 99 programs from " + bank.toStdString() + "\n");
    ASSERT_EQ (namesIn (library).size(), 99u);
    EXPECT_EQ (namesIn (library)[4], "Bank Sound 5");

    // Back to a bank: the dumps carry the bank the tool is told.
    run = cli ({"convert", "--bank", "6", library.getFullPathName(), back.getFullPathName()});
    ASSERT_EQ (run.code, 0) << run.err;
    const auto dumps = ProgramFiles::readProgramBank (*ProgramFiles::readFile (back));
    ASSERT_EQ (dumps.count, 99);
    EXPECT_EQ (dumps.joined[4], 5);
    EXPECT_EQ (dumps.joined[(size_t)sysex::programDumpSize * 98 + 5], 98);
    EXPECT_EQ (namesIn (back), namesIn (library));

    run = cli ({"convert", "--program", "7", bank, single.getFullPathName()});
    ASSERT_EQ (run.code, 0) << run.err;
    EXPECT_EQ (run.out, "wrote \"Bank Sound 7\" as a single program\n");
    DSI_Program read;
    ASSERT_TRUE (ProgramFiles::readSingleProgram (*ProgramFiles::readFile (single), read));
    EXPECT_EQ (read.getName().trimEnd(), "Bank Sound 7");
    EXPECT_EQ (ProgramFiles::readFile (single)->size(), (size_t)sysex::editBufferDumpSize);

    // One program into a .syx is a single-program file; into a bank, slot 1 and the rest basic.
    ASSERT_EQ (cli ({"convert", single.getFullPathName(), singleSyx.getFullPathName()}).code, 0);
    EXPECT_EQ (*ProgramFiles::readFile (singleSyx), *ProgramFiles::readFile (single));
    run = cli ({"convert", single.getFullPathName(), back.getFullPathName()});
    ASSERT_EQ (run.code, 0) << run.err;
    EXPECT_NE (run.out.find ("1 of 99 programs"), std::string::npos) << run.out;
    const auto names = namesIn (back);
    ASSERT_EQ (names.size(), 99u);
    EXPECT_EQ (names[0], "Bank Sound 7");
    EXPECT_EQ (names[1], "Basic Program");
}

TEST_F (CliFiles, ConvertKeepsTheBanksOfAnAllBanksFileAndPicksOneOnRequest)
{
    const auto all = allBanksFile (dir).getFullPathName();
    const auto copy = dir.getChildFile ("copy.syx"), third = dir.getChildFile ("third.p12b");

    auto run = cli ({"convert", all, copy.getFullPathName()});
    ASSERT_EQ (run.code, 0) << run.err;
    EXPECT_EQ (*ProgramFiles::readFile (copy), *ProgramFiles::readFile (juce::File (all))) << "places kept";

    run = cli ({"convert", all, third.getFullPathName()});
    EXPECT_EQ (run.code, 1);
    EXPECT_EQ (run.err, "ravlin-cli convert: " + all.toStdString() +
                            " holds programs for banks 1, 2, 3, 4; a bank file takes one: add --bank N, or write a "
                            ".syx to keep them all\n");
    EXPECT_FALSE (third.exists());

    run = cli ({"convert", "--bank", "3", all, third.getFullPathName()});
    ASSERT_EQ (run.code, 0) << run.err;
    const auto names = namesIn (third);
    ASSERT_EQ (names.size(), 99u);
    EXPECT_EQ (names[0], "B3 P1");
    EXPECT_EQ (names[98], "B3 P99");
    EXPECT_EQ (ProgramFiles::readProgramBank (*ProgramFiles::readFile (third)).joined[4], 2);

    EXPECT_NE (cli ({"convert", all, dir.getChildFile ("one.p12p").getFullPathName()}).err.find ("add --program N"),
               std::string::npos);
}

TEST_F (CliFiles, ConvertRefusesWhatItCannotDoAndLeavesOutputAlone)
{
    const auto bank = bankFile().getFullPathName();
    const auto out = dir.getChildFile ("out.p12l");
    const auto garbage = write ("garbage.syx", Bytes (5000, 0x42)).getFullPathName();

    struct Case
    {
        juce::StringArray args;
        int code;
        const char* says;
    };
    const Case cases[] = {
        {{"convert", bank}, 2, "usage: ravlin-cli convert"},
        {{"convert", bank, dir.getChildFile ("x.txt").getFullPathName()}, 2, "must end in .p12l, .p12b, .p12p or .syx"},
        {{"convert", bank, bank}, 2, "the same file"},
        {{"convert", dir.getChildFile ("none.syx").getFullPathName(), out.getFullPathName()}, 1, "no such file"},
        {{"convert", garbage, out.getFullPathName()}, 1, "no programs found"},
        {{"convert", "--bank", "9", bank, out.getFullPathName()}, 2, "--bank takes 1 to 8"},
        {{"convert", "--program", "0", bank, out.getFullPathName()}, 2, "--program takes a number from 1"},
        {{"convert", "--program", bank, out.getFullPathName()}, 2, "--program takes"},
        {{"convert", "--program", "100", bank, out.getFullPathName()}, 1, "there is no program 100"},
        {{"convert", "--force", bank, out.getFullPathName()}, 2, "unknown option --force"},
        {{"convert", "--model", "detect", bank, out.getFullPathName()}, 2, "--model takes module or keyboard"},
        {{"convert", "--model", "desktop", bank, out.getFullPathName()}, 2, "--model takes module or keyboard"},
        {{"convert", bank, out.getFullPathName(), "--model"}, 2, "--model takes module or keyboard"},
    };
    for (const auto& c : cases)
    {
        const auto run = cli (c.args);
        EXPECT_EQ (run.code, c.code) << c.args.joinIntoString (" ");
        EXPECT_NE (run.err.find (c.says), std::string::npos) << run.err;
        EXPECT_TRUE (run.out.empty());
    }
    EXPECT_FALSE (out.exists());

    // A library of 120 programs does not fit a bank, and an existing bank file stays as it was.
    std::vector<Bytes> records;
    for (int n = 0; n < 120; ++n)
    {
        DSI_Program program;
        program.setName ("Lib " + juce::String (n));
        records.push_back (program.image);
    }
    const auto big = dir.getChildFile ("big.p12l");
    ASSERT_TRUE (LibraryFile::write (big, records));
    auto run = cli ({"convert", big.getFullPathName(), dir.getChildFile ("big.p12b").getFullPathName()});
    EXPECT_EQ (run.code, 1);
    EXPECT_NE (run.err.find ("holds 120 programs; a bank file takes 99"), std::string::npos) << run.err;
    const auto before = *ProgramFiles::readFile (juce::File (bank));
    run = cli ({"convert", big.getFullPathName(), bank});
    EXPECT_EQ (run.code, 1);
    EXPECT_NE (run.err.find ("without places of their own"), std::string::npos) << run.err;
    EXPECT_EQ (*ProgramFiles::readFile (juce::File (bank)), before);
}

TEST_F (CliFiles, ConvertWithAModelRewritesTheDeviceByteOfEveryDumpAndNothingElse)
{
    const auto all = allBanksFile (dir); // 396 dumps of the module
    const auto original = *ProgramFiles::readFile (all);
    auto asKeyboard = original;
    for (size_t at = 0; at < asKeyboard.size(); at += (size_t)sysex::programDumpSize)
        asKeyboard[at + 2] = sysex::deviceKeyboard;

    const auto keyboard = dir.getChildFile ("keyboard.syx");
    auto run = cli ({"convert", "--model", "keyboard", all.getFullPathName(), keyboard.getFullPathName()});
    ASSERT_EQ (run.code, 0) << run.err;
    EXPECT_EQ (run.out,
               "wrote 396 program dumps (Prophet 12 Keyboard) from " + all.getFullPathName().toStdString() + "\n");
    EXPECT_EQ (*ProgramFiles::readFile (keyboard), asKeyboard);

    // Without --model a keyboard file stays one; --model module turns it back, byte for byte.
    const auto again = dir.getChildFile ("again.syx"), module = dir.getChildFile ("module.syx");
    ASSERT_EQ (cli ({"convert", keyboard.getFullPathName(), again.getFullPathName()}).code, 0);
    EXPECT_EQ (*ProgramFiles::readFile (again), asKeyboard);
    ASSERT_EQ (cli ({"convert", "--model", "module", keyboard.getFullPathName(), module.getFullPathName()}).code, 0);
    EXPECT_EQ (*ProgramFiles::readFile (module), original);

    // A bank file and a single program: the same bytes as without --model, but for the device byte.
    for (const auto& [name, choice] : {std::pair<const char*, const char*>{"bank.p12b", "--bank"},
                                       std::pair<const char*, const char*>{"one.p12p", "--program"}})
    {
        const auto plain = dir.getChildFile (juce::String ("plain-") + name), told = dir.getChildFile (name);
        ASSERT_EQ (cli ({"convert", choice, "3", all.getFullPathName(), plain.getFullPathName()}).code, 0);
        run = cli ({"convert", choice, "3", "--model", "keyboard", all.getFullPathName(), told.getFullPathName()});
        ASSERT_EQ (run.code, 0) << run.err;
        EXPECT_NE (run.out.find ("(Prophet 12 Keyboard)"), std::string::npos) << run.out;
        auto expected = *ProgramFiles::readFile (plain);
        const auto step =
            expected.size() == (size_t)sysex::editBufferDumpSize ? expected.size() : (size_t)sysex::programDumpSize;
        for (size_t at = 0; at < expected.size(); at += step)
        {
            EXPECT_EQ (expected[at + 2], sysex::deviceModule) << name;
            expected[at + 2] = sysex::deviceKeyboard;
        }
        EXPECT_EQ (*ProgramFiles::readFile (told), expected) << name;
    }

    // The keyboard's own bank file keeps its byte into a single program and a bank; a library,
    // which carries none, gives the module's.
    const auto kbBank = bankFile();
    const auto kbSingle = dir.getChildFile ("kb.p12p"), kbCopy = dir.getChildFile ("kb.p12b"),
               library = dir.getChildFile ("kb.p12l"), fromLibrary = dir.getChildFile ("lib.syx");
    ASSERT_EQ (cli ({"convert", "--program", "2", kbBank.getFullPathName(), kbSingle.getFullPathName()}).code, 0);
    EXPECT_EQ ((*ProgramFiles::readFile (kbSingle))[2], sysex::deviceKeyboard);
    ASSERT_EQ (cli ({"convert", kbBank.getFullPathName(), kbCopy.getFullPathName()}).code, 0);
    const auto kbDumps = *ProgramFiles::readFile (kbBank);
    EXPECT_EQ (*ProgramFiles::readFile (kbCopy), Bytes (kbDumps.begin(), kbDumps.begin() + 99 * sysex::programDumpSize))
        << "the dumps as they were, the global message left out";
    ASSERT_EQ (cli ({"convert", kbBank.getFullPathName(), library.getFullPathName()}).code, 0);
    ASSERT_EQ (cli ({"convert", "--bank", "3", library.getFullPathName(), fromLibrary.getFullPathName()}).code, 0);
    EXPECT_EQ (deviceBytesOf (fromLibrary), std::vector<uint8_t> (99, sysex::deviceModule));
}

//==============================================================================
namespace
{
/** The built tool run with args: its exit code, and stdout or stderr (a child process gives one). */
Run runTool (const juce::StringArray& args, bool wantErr = false)
{
    juce::ChildProcess process;
    juce::StringArray command{RAVLIN_CLI_PATH};
    command.addArray (args);
    if (!process.start (command, wantErr ? juce::ChildProcess::wantStdErr : juce::ChildProcess::wantStdOut))
        return {-1, {}, {}};
    const auto text = process.readAllProcessOutput().toStdString();
    process.waitForProcessToFinish (20000);
    const auto code = (int)process.getExitCode();
    return wantErr ? Run{code, {}, text} : Run{code, text, {}};
}

juce::var parsed (const std::string& text)
{
    juce::var document;
    const auto result = juce::JSON::parse (juce::String::fromUTF8 (text.data(), (int)text.size()), document);
    EXPECT_TRUE (result.wasOk()) << result.getErrorMessage() << " in " << text.substr (0, 300);
    return document;
}

const char* const everyCommand[] = {"list",    "show",     "params",  "ports", "first-run",
                                    "receive", "transmit", "convert", "diff",  "find"};

/** The options a usage line names: "--banks" of "[--banks user|factory]". */
juce::StringArray optionsOf (const juce::String& usage)
{
    juce::StringArray words, options;
    words.addTokens (usage.removeCharacters ("[]"), " |\n", {});
    for (const auto& w : words)
        if (w.startsWith ("--"))
            options.addIfNotAlreadyThere (w);
    return options;
}

juce::File sourceFile (const char* path)
{
    return juce::File (RAVLIN_SOURCE_DIR).getChildFile (path);
}
} // namespace

TEST (CliHelp, VersionIsTheProjectsAndHelpGoesToStdout)
{
    const auto version = cli ({"--version"});
    EXPECT_EQ (version.code, 0);
    EXPECT_EQ (version.out, std::string ("ravlin-cli ") + JucePlugin_VersionString + "\n")
        << "the tool and the plug-in give one version";
    EXPECT_TRUE (version.err.empty());
    EXPECT_EQ (runTool ({"--version"}).out, version.out);

    const auto help = cli ({"--help"});
    EXPECT_EQ (help.code, 0);
    EXPECT_TRUE (help.err.empty());
    for (const auto* command : everyCommand)
        EXPECT_NE (help.out.find (usageOf (command).substr (7)), std::string::npos) << command;
    EXPECT_NE (help.out.find ("0 success, 1 failure, 2 wrong usage"), std::string::npos);
    const auto built = runTool ({"--help"});
    EXPECT_EQ (built.code, 0);
    EXPECT_EQ (built.out, help.out);

    // A wrong call: the usage on stderr, nothing on stdout, 2.
    for (const auto& wrong : {juce::StringArray{}, juce::StringArray{"--versio"}, juce::StringArray{"help", "me"}})
    {
        const auto run = cli (wrong);
        EXPECT_EQ (run.code, 2) << wrong.joinIntoString (" ");
        EXPECT_TRUE (run.out.empty()) << run.out;
        EXPECT_NE (run.err.find ("usage: ravlin-cli list FILE"), std::string::npos) << run.err;
    }
    const auto builtWrong = runTool ({"--versio"});
    EXPECT_EQ (builtWrong.code, 2);
    EXPECT_TRUE (builtWrong.out.empty());
    EXPECT_NE (runTool ({"--versio"}, true).err.find ("usage: ravlin-cli"), std::string::npos);
}

TEST (CliHelp, EveryCommandDescribesItsUsageAndEachOfItsOptions)
{
    for (const auto* command : everyCommand)
    {
        for (const auto& args : {juce::StringArray{command, "--help"}, juce::StringArray{command, "x.syx", "--help"}})
        {
            const auto run = cli (args);
            EXPECT_EQ (run.code, 0) << args.joinIntoString (" ");
            EXPECT_TRUE (run.err.empty()) << run.err;
            const auto usage = usageOf (command);
            ASSERT_EQ (run.out.rfind (usage, 0), 0u) << run.out;
            const juce::String details (run.out.substr (usage.size()));
            EXPECT_GE (lines (details.toStdString()).size(), 2) << command;
            for (const auto& option : optionsOf (usage))
                EXPECT_TRUE (details.contains (option)) << command << " says nothing of " << option;
        }
        // Without --help a wrong call prints that command's usage on stderr.
        const auto wrong = cli ({command, "--no-such-option", "a", "b"});
        EXPECT_EQ (wrong.code, 2) << command;
        EXPECT_TRUE (wrong.out.empty()) << command << ": " << wrong.out;
        EXPECT_NE (wrong.err.find (usageOf (command)), std::string::npos) << command << ": " << wrong.err;
    }
    EXPECT_EQ (runTool ({"receive", "--help"}).out, cli ({"receive", "--help"}).out);
}

TEST_F (CliFiles, JsonOfListAndShowKeepsEveryCharacterOfTheName)
{
    // A quote, a backslash and the instrument's characters beyond ASCII.
    DSI_Program odd;
    odd.setName ("Say \"Hi\" \\ there");
    odd.image[(size_t)DSI_Program::nameOffset + 17] = 0x7F;
    odd.image[(size_t)DSI_Program::nameOffset + 18] = 0x9F;
    odd.image[(size_t)DSI_Program::categoryOffset] = 3;
    DSI_Program plain;
    plain.setName ("Plain");
    const auto image = LibraryFile::buildImage ({odd.image, plain.image});
    auto file = dir.getChildFile ("odd \"names\".p12l");
    file.replaceWithData (image.getData(), image.getSize());
    const auto path = file.getFullPathName();
    const auto expectedName =
        juce::String ("Say \"Hi\" \\ there ") + juce::String::charToString (0x7F) + juce::String::charToString (0x9F);

    const auto listed = cli ({"list", path, "--json"});
    ASSERT_EQ (listed.code, 0) << listed.err;
    EXPECT_EQ (cli ({"list", "--json", path}).out, listed.out) << "--json anywhere after the command";
    EXPECT_EQ (lines (listed.out).size(), 1) << "one document";
    const auto document = parsed (listed.out);
    EXPECT_EQ (document["file"].toString(), path);
    const auto* programs = document["programs"].getArray();
    ASSERT_NE (programs, nullptr);
    ASSERT_EQ (programs->size(), 2);
    EXPECT_EQ ((*programs)[0]["position"], juce::var (1));
    EXPECT_EQ ((*programs)[0]["name"].toString(), expectedName);
    EXPECT_TRUE ((*programs)[0]["bank"].isVoid()) << "a library gives no places";
    EXPECT_TRUE ((*programs)[0]["program"].isVoid());
    EXPECT_EQ ((*programs)[0]["category"].toString(),
               lines (cli ({"list", path}).out)[0].fromLastOccurrenceOf ("  ", false, false));
    EXPECT_EQ ((*programs)[1]["name"].toString(), "Plain");

    const auto shown = cli ({"show", "--json", path, "1"});
    ASSERT_EQ (shown.code, 0) << shown.err;
    const auto program = parsed (shown.out);
    EXPECT_EQ (program["name"].toString(), expectedName);
    EXPECT_EQ (program["position"], juce::var (1));
    EXPECT_EQ (program["category"].toString(), (*programs)[0]["category"].toString());
    const auto* parameters = program["parameters"].getArray();
    ASSERT_NE (parameters, nullptr);

    // Each parameter says what the text's line says.
    const auto text = lines (cli ({"show", path, "1"}).out);
    ASSERT_EQ (parameters->size() + 1, text.size());
    for (int i = 0; i < parameters->size(); ++i)
    {
        const auto& p = (*parameters)[i];
        const auto line = p["index"].toString() + "\t" + p["layer"].toString() + " " + p["name"].toString() + "\t" +
                          p["raw"].toString() + "\t" + p["text"].toString();
        EXPECT_EQ (line, text[i + 1]);
    }
    EXPECT_EQ ((*parameters)[0]["layer"].toString(), "A");
    EXPECT_EQ ((*parameters)[parameters->size() - 1]["layer"].toString(), "B");
}

TEST_F (CliFiles, JsonOfListGivesTheBankAndProgramTheDumpsName)
{
    const auto path = bankFile().getFullPathName();
    const auto run = cli ({"list", path, "--json"});
    ASSERT_EQ (run.code, 0) << run.err;
    const auto document = parsed (run.out);
    const auto* programs = document["programs"].getArray();
    ASSERT_NE (programs, nullptr);
    ASSERT_EQ (programs->size(), 99);
    EXPECT_EQ ((*programs)[98]["position"], juce::var (99));
    EXPECT_EQ ((*programs)[98]["bank"], juce::var (2));
    EXPECT_EQ ((*programs)[98]["program"], juce::var (98));
    EXPECT_EQ ((*programs)[98]["name"].toString(), "Bank Sound 99");
    EXPECT_EQ ((*programs)[98]["category"].toString(), "Sequence");

    EXPECT_EQ (cli ({"--json", "list", path}).code, 2) << "the flag comes after the command";
}

TEST (Cli, JsonParameterTableHasEveryColumnOfTheText)
{
    const auto run = cli ({"params", "--json"});
    ASSERT_EQ (run.code, 0) << run.err;
    const auto document = parsed (run.out);
    const auto* rows = document["parameters"].getArray();
    ASSERT_NE (rows, nullptr);
    const auto text = lines (cli ({"params"}).out);
    ASSERT_EQ (rows->size(), text.size());
    const auto orDash = [] (const juce::var& v) { return v.isVoid() ? juce::String ("-") : v.toString(); };
    for (int i = 0; i < rows->size(); ++i)
    {
        const auto& r = (*rows)[i];
        const auto line = r["index"].toString() + "\t" + r["section"].toString() + "\t" + r["name"].toString() + "\t" +
                          r["lowest"].toString() + "\t" + r["highest"].toString() + "\t" + r["displayKind"].toString() +
                          "\t" + orDash (r["nrpn"]) + "\t" + orDash (r["hostSlot"]);
        EXPECT_EQ (line, text[i]);
    }
    EXPECT_TRUE ((*rows)[936]["hostSlot"].isVoid());
    EXPECT_TRUE ((*rows)[1024]["nrpn"].isVoid());
    EXPECT_EQ ((*rows)[1024]["hostSlot"], juce::var (618));
}

TEST_F (CliFiles, JsonOfPortsAndTheModelsOnThem)
{
    SilentPort devices;
    std::ostringstream out, err;
    ASSERT_EQ (listMidiPorts ({"ports", "--json"}, out, err, lend (devices)), 0);
    EXPECT_EQ (out.str(), "{\"inputs\":[\"Silent Port\",\"Lonely In\",\"Prophet 12 Module (virtual)\","
                          "\"Prophet 12 Keyboard (virtual)\"],\"outputs\":[\"Silent Port\","
                          "\"Prophet 12 Module (virtual)\",\"Prophet 12 Keyboard (virtual)\"]}\n");
    EXPECT_TRUE (devices.sent().empty());

    std::ostringstream detected, detectedErr;
    ASSERT_EQ (listMidiPorts ({"ports", "--json", "--detect"}, detected, detectedErr, lend (devices)), 0);
    const auto models = parsed (detected.str())["models"];
    ASSERT_TRUE (models.isArray());
    ASSERT_EQ (models.size(), 3);
    EXPECT_EQ (models[0]["port"].toString(), "Silent Port");
    EXPECT_EQ (models[0]["answer"].toString(), "noAnswer");
    EXPECT_TRUE (models[0]["model"].isVoid());
    EXPECT_EQ (models[1]["answer"].toString(), "identified");
    EXPECT_EQ (models[1]["model"].toString(), "Prophet 12 Module");
    EXPECT_EQ (models[2]["port"].toString(), "Prophet 12 Keyboard (virtual)");
    EXPECT_EQ (models[2]["model"].toString(), "Prophet 12 Keyboard");
    EXPECT_TRUE (detectedErr.str().empty()) << detectedErr.str();
}

TEST_F (CliFiles, EveryCommandKeepsErrorsOffStdoutAndExitsZeroOneOrTwo)
{
    const auto bank = bankFile().getFullPathName();
    const auto junk = write ("junk.syx", Bytes (3000, 0x42)).getFullPathName();
    const auto missing = dir.getChildFile ("missing.syx").getFullPathName();
    const juce::String port = "Prophet 12 Module (virtual)";
    const auto backup = dir.getChildFile ("backup.syx").getFullPathName();
    const auto converted = dir.getChildFile ("out.p12l").getFullPathName();

    struct Case
    {
        juce::StringArray args;
        int code;
    };
    const Case cases[] = {
        {{"list", bank}, 0},
        {{"list", bank, "--json"}, 0},
        {{"list", junk}, 1},
        {{"list", junk, "--json"}, 1},
        {{"list", missing}, 1},
        {{"list"}, 2},
        {{"list", bank, bank}, 2},
        {{"list", bank, "--jsn"}, 2},
        {{"show", bank, "5", "--json"}, 0},
        {{"show", bank, "100", "--json"}, 1},
        {{"show", missing, "--json"}, 1},
        {{"show", bank, "five", "--json"}, 2},
        {{"show", bank, "1", "2"}, 2},
        {{"params", "--json"}, 0},
        {{"params", "x"}, 2},
        {{"ports", "--json"}, 0},
        {{"ports", "--json", "--fast"}, 2},
        {{"first-run", "--json"}, 2},
        {{"receive", "--in", port, "--out", port, "--banks", "1", backup}, 0},
        {{"receive", "--in", "Nothing", "--out", "Nothing", "--banks", "1", backup}, 1},
        {{"receive", "--in", port, "--out", port, "--banks", "9", backup}, 2},
        {{"receive", "--json", "--in", port, "--out", port, "--banks", "1", backup}, 2},
        {{"transmit", "--out", "Nothing", "--yes", bank}, 1},
        {{"transmit", "--out", port, "--yes", junk}, 1},
        {{"transmit", "--out", port, "--yes", missing}, 1},
        {{"transmit", "--out", port, "--to-bank", "0", bank}, 2},
        {{"transmit", "--out", port, "--yes", bank}, 0},
        {{"receive", "--in", keyboardPort, "--out", keyboardPort, "--banks", "1", "--model", "module", "--timeout",
          "0.2", backup},
         1},
        {{"transmit", "--in", keyboardPort, "--out", keyboardPort, "--model", "module", "--yes", "--verify",
          "--timeout", "0.2", bank},
         1},
        {{"convert", bank, converted}, 0},
        {{"convert", missing, converted}, 1},
        {{"convert", junk, converted}, 1},
        {{"convert", "--program", "100", bank, converted}, 1},
        {{"convert", bank, dir.getChildFile ("out.txt").getFullPathName()}, 2},
        {{"convert", "--bank", "9", bank, converted}, 2},
        {{"convert", "--json", bank, converted}, 2},
        {{"diff", bank + ":1", bank + ":2", "--json"}, 0},
        {{"diff", bank, missing}, 1},
        {{"diff", bank + ":100", bank}, 1},
        {{"diff", bank + ":0", bank}, 2},
        {{"diff", bank}, 2},
        {{"find", bank, "category = Keys", "--json"}, 0},
        {{"find", junk, "category = Keys"}, 1},
        {{"find", bank, "category = Kees"}, 2},
        {{"find", bank}, 2},
    };
    for (const auto& c : cases)
    {
        const auto run = cli (c.args);
        const auto call = c.args.joinIntoString (" ");
        EXPECT_EQ (run.code, c.code) << call << "\n" << run.err;
        if (run.code != 0)
        {
            EXPECT_TRUE (run.out.empty()) << call << " wrote on stdout: " << run.out;
            EXPECT_FALSE (run.err.empty()) << call << " failed without a word";
        }
        else if (c.args.contains ("--json"))
            parsed (run.out);
    }
    EXPECT_TRUE (juce::File (backup).existsAsFile());
    EXPECT_TRUE (juce::File (converted).existsAsFile());
}

TEST (CliFirstRun, APortsFileThatCannotBeWrittenIsAnErrorOnStderr)
{
    juce::ScopedJuceInitialiser_GUI messageThread;
    // The settings folder's place is taken by a file: nothing can be written under it.
    const auto blocker = juce::File::createTempFile ("ravlin-blocked");
    ASSERT_TRUE (blocker.replaceWithText ("not a folder"));
    ravlin::test::NoMidiDevices none;
    std::ostringstream out, err;
    EXPECT_EQ (prepareFirstRun (blocker, none, out, err), 1);
    EXPECT_TRUE (out.str().empty()) << out.str();
    EXPECT_NE (err.str().find ("ravlin-cli: could not write "), std::string::npos) << err.str();
    EXPECT_EQ (blocker.loadFileAsString(), "not a folder");
    blocker.deleteFile();
}

TEST (CliCompletion, CompletesCommandsOptionsValuesAndPortNames)
{
    const juce::File bash ("/bin/bash");
    if (!bash.existsAsFile())
        GTEST_SKIP() << "no bash here";
    const auto script = sourceFile ("tools/ravlin-cli/completion/ravlin-cli.bash");
    ASSERT_TRUE (script.existsAsFile());

    // What the completion function offers for the words typed, the last being completed.
    const auto complete = [&] (const juce::StringArray& words)
    {
        juce::StringArray command{bash.getFullPathName(), "-c",
                                  "source \"$1\" || exit 9; shift; COMP_WORDS=(\"$@\"); COMP_CWORD=$(($# - 1)); "
                                  "COMP_WORDS[COMP_CWORD]=${COMP_WORDS[COMP_CWORD]#:}; "
                                  "_ravlin_cli; printf '%s\\n' \"${COMPREPLY[@]}\"",
                                  "bash", script.getFullPathName()};
        // The word being completed goes with a colon in front: an empty argument would be lost.
        command.addArray (words, 0, words.size() - 1);
        command.add (":" + words[words.size() - 1]);
        juce::ChildProcess process;
        EXPECT_TRUE (process.start (command));
        const auto text = process.readAllProcessOutput();
        process.waitForProcessToFinish (20000);
        EXPECT_EQ (process.getExitCode(), 0u) << words.joinIntoString (" ");
        juce::StringArray offered;
        offered.addLines (text);
        offered.removeEmptyStrings();
        return offered;
    };

    EXPECT_EQ (complete ({"ravlin-cli", "tr"}), juce::StringArray ("transmit"));
    EXPECT_EQ (complete ({"ravlin-cli", "receive", "--w"}), juce::StringArray ("--wire"));
    EXPECT_EQ (complete ({"ravlin-cli", "c"}), juce::StringArray ("convert"));
    EXPECT_EQ (complete ({"ravlin-cli", "ports", "--"}), juce::StringArray ({"--detect", "--json", "--help"}));
    EXPECT_EQ (complete ({"ravlin-cli", "transmit", "--to-bank", ""}).size(), 8);
    EXPECT_EQ (complete ({"ravlin-cli", "convert", "--model", ""}), juce::StringArray ({"module", "keyboard"}));
    EXPECT_EQ (complete ({"ravlin-cli", "receive", "--model", "d"}), juce::StringArray ("detect"));

    // FILE arguments complete files.
    const auto folder = juce::File::createTempFile ("ravlin-complete");
    ASSERT_TRUE (folder.createDirectory());
    ASSERT_TRUE (folder.getChildFile ("backup-one.syx").create());
    EXPECT_EQ (complete ({"ravlin-cli", "list", folder.getChildFile ("back").getFullPathName()}),
               juce::StringArray (folder.getChildFile ("backup-one.syx").getFullPathName()));
    folder.deleteRecursively();

    // --in and --out offer the machine's ports from the tool itself, quoted for the shell.
    EXPECT_EQ (complete ({RAVLIN_CLI_PATH, "receive", "--in", "Prophet\\ 12\\ K"}),
               juce::StringArray ("Prophet\\ 12\\ Keyboard\\ \\(virtual\\)"));
    EXPECT_EQ (complete ({RAVLIN_CLI_PATH, "transmit", "--out", "Prophet"}).size(), 2);
}

TEST (CliManual, NamesEveryCommandAndOptionAndFormatsCleanly)
{
    const auto page = sourceFile ("docs/man/ravlin-cli.1");
    ASSERT_TRUE (page.existsAsFile());

    // The page as a reader sees it, when groff is here; its source otherwise.
    auto text = page.loadFileAsString().replace ("\\-", "-");
    if (juce::File ("/usr/bin/groff").existsAsFile())
    {
        juce::ChildProcess groff;
        ASSERT_TRUE (groff.start (
            juce::StringArray{"/usr/bin/groff", "-man", "-Tascii", "-P", "-cbou", "-ww", page.getFullPathName()},
            juce::ChildProcess::wantStdOut | juce::ChildProcess::wantStdErr));
        text = groff.readAllProcessOutput();
        EXPECT_EQ (groff.getExitCode(), 0u);
        EXPECT_FALSE (text.contains ("warning")) << text;
    }

    const auto help = cli ({"--help"}).out;
    juce::StringArray named;
    for (const auto& line : lines (help))
        if (line.trimStart().startsWith ("usage: ravlin-cli ") || line.startsWith ("       ravlin-cli "))
            named.add (
                line.fromFirstOccurrenceOf ("ravlin-cli ", false, false).upToFirstOccurrenceOf (" ", false, false));
    EXPECT_EQ (named.size(), 11) << help;
    for (const auto& command : named)
        EXPECT_TRUE (text.contains ("ravlin-cli " + command)) << command;
    for (const auto* command : everyCommand)
        for (const auto& option : optionsOf (usageOf (command)))
            EXPECT_TRUE (text.contains (option)) << option;
    for (const auto* section :
         {"NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "JSON FIELDS", "EXIT STATUS", "EXAMPLES", "FILES"})
        EXPECT_TRUE (text.contains (juce::String ("\n") + section + "\n")) << section;
    for (const auto* field : {"position", "category", "layer", "raw", "displayKind", "nrpn", "hostSlot", "inputs",
                              "outputs", "models", "answer"})
        EXPECT_TRUE (text.contains (field)) << field;
}

namespace
{
juce::StringArray texts (std::initializer_list<juce::String> items)
{
    juce::StringArray result;
    for (const auto& item : items)
        result.add (item);
    return result;
}
} // namespace

TEST_F (CliFiles, DiffListsTheDifferingParametersBySectionWithBothTexts)
{
    const auto bank = bankFile().getFullPathName();
    const auto run = cli ({"diff", bank + ":1", bank + ":2"});
    ASSERT_EQ (run.code, 0) << run.err;
    EXPECT_TRUE (run.err.empty());
    EXPECT_EQ (lines (run.out), texts ({"--- " + bank + ":1  Bank Sound 1", "+++ " + bank + ":2  Bank Sound 2",
                                        "Program", "  -  Name                Bank Sound 1          Bank Sound 2",
                                        "  -  Category            - Not Assigned -      Keys", "Oscillators",
                                        "  A  Pitch 1             C0                    C#0", "3 differences"}));

    const auto same = cli ({"diff", bank, bank + ":1"});
    EXPECT_EQ (same.code, 0);
    EXPECT_EQ (lines (same.out)[2], "The programs are equal.");
    EXPECT_EQ (lines (same.out).size(), 3);

    const auto json = cli ({"diff", bank + ":1", "--json", bank + ":2"});
    ASSERT_EQ (json.code, 0) << json.err;
    const auto document = parsed (json.out);
    EXPECT_EQ (document["this"]["position"], juce::var (1));
    EXPECT_EQ (document["other"]["name"], juce::var ("Bank Sound 2"));
    EXPECT_EQ (document["equal"], juce::var (false));
    const auto* differences = document["differences"].getArray();
    ASSERT_NE (differences, nullptr);
    ASSERT_EQ (differences->size(), 3);
    const auto& name = differences->getReference (0);
    EXPECT_TRUE (name["layer"].isVoid());
    EXPECT_TRUE (name["index"].isVoid());
    EXPECT_EQ (name["parameter"], juce::var ("name"));
    const auto& pitch = differences->getReference (2);
    EXPECT_EQ (pitch["section"], juce::var ("Oscillators"));
    EXPECT_EQ (pitch["layer"], juce::var ("A"));
    EXPECT_EQ (pitch["name"], juce::var ("Pitch 1"));
    EXPECT_EQ (pitch["parameter"], juce::var ("osc1.pitch"));
    EXPECT_EQ (pitch["index"], juce::var (0));
    EXPECT_EQ (pitch["this"], juce::var ("C0"));
    EXPECT_EQ (pitch["other"], juce::var ("C#0"));
    EXPECT_EQ (parsed (cli ({"diff", bank + ":7", bank + ":7", "--json"}).out)["equal"], juce::var (true));

    const auto beyond = cli ({"diff", bank + ":1", bank + ":100"});
    EXPECT_EQ (beyond.code, 1);
    EXPECT_EQ (beyond.err, "ravlin-cli: " + bank.toStdString() + " holds 99 program(s); there is no program 100\n");
}

TEST_F (CliFiles, FindListsTheMatchingProgramsAsListDoesAndTellsAMalformedQuerysColumn)
{
    const auto bank = bankFile().getFullPathName();
    const auto listed = lines (cli ({"list", bank}).out);

    const auto organs = cli ({"find", bank, "category = Organs"});
    ASSERT_EQ (organs.code, 0) << organs.err;
    EXPECT_EQ (lines (organs.out), texts ({listed[2], listed[28], listed[54], listed[80]}));

    const auto named = cli ({"find", bank, "name contains \"sound 9\" and (osc1.pitch < 90 or osc1.pitch = 96)"});
    ASSERT_EQ (named.code, 0) << named.err;
    EXPECT_EQ (lines (named.out), texts ({listed[8], listed[89], listed[96]}));

    const auto none = cli ({"find", bank, "osc1.pitch > 120"});
    EXPECT_EQ (none.code, 0);
    EXPECT_EQ (none.out, "No program of " + bank.toStdString() + " matches.\n");

    const auto json = cli ({"find", "--json", bank, "category = Organs and osc1.pitch > 30"});
    ASSERT_EQ (json.code, 0) << json.err;
    const auto document = parsed (json.out);
    EXPECT_EQ (document["query"], juce::var ("category = Organs and osc1.pitch > 30"));
    const auto* programs = document["programs"].getArray();
    ASSERT_NE (programs, nullptr);
    ASSERT_EQ (programs->size(), 2);
    EXPECT_EQ (programs->getReference (0)["position"], juce::var (55));
    EXPECT_EQ (programs->getReference (0)["program"], juce::var (54));
    EXPECT_EQ (programs->getReference (1)["name"], juce::var ("Bank Sound 81"));
    EXPECT_EQ (programs->getReference (1)["category"], juce::var ("Organs"));

    const auto wrong = cli ({"find", bank, "arp.on = On and osc1.shap = Sine"});
    EXPECT_EQ (wrong.code, 2);
    EXPECT_TRUE (wrong.out.empty());
    EXPECT_EQ (lines (wrong.err), texts ({"ravlin-cli: column 17: unknown name \"osc1.shap\"; did you mean osc1.shape, "
                                          "osc1.shape_mod, osc2.shape?",
                                          "  arp.on = On and osc1.shap = Sine", "                  ^"}));
}
