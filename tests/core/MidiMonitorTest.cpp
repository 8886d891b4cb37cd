// The MIDI monitor: what the user reads for each kind of message, how the log holds up when it
// fills, pausing and clearing, the raw SysEx box's checks, and the plug-in's own ports writing to
// it in both directions.

#include "core/MidiCntrState.h"
#include "core/MidiMonitorModel.h"
#include "instrument/DSI_Program.h"
#include "support/FakeMidiDevices.h"

#include <gtest/gtest.h>

#include <array>
#include <thread>

using Direction = MidiMonitorLog::Direction;

namespace
{
const ravlin::ParameterTable& table()
{
    static const ravlin::ParameterTable t;
    return t;
}

struct Monitor
{
    Monitor() { log.setEnabled (true); }

    void send (std::initializer_list<uint8_t> bytes, Direction direction = Direction::out)
    {
        const std::vector<uint8_t> b (bytes);
        log.record (direction, b.data(), (int)b.size(), 1000.0);
    }

    /** The texts of the list's lines after the model read the log. */
    std::vector<juce::String> texts()
    {
        model.update();
        std::vector<juce::String> result;
        for (const auto& line : model.getLines())
            result.push_back (MidiMonitorModel::textOf (line));
        return result;
    }

    MidiMonitorLog log;
    MidiMonitorModel model{log, table()};
};

ravlin::Bytes namedImage (const juce::String& name)
{
    DSI_Program program;
    program.setImage (ravlin::Bytes (1024, 0x11).data(), 1024);
    program.setName (name);
    return program.getImage();
}

using Texts = std::vector<juce::String>;
} // namespace

TEST (MidiMonitor, ChannelAndSystemMessagesInWords)
{
    Monitor m;
    m.send ({0x90, 60, 100});
    m.send ({0x80, 60, 0});
    m.send ({0x91, 62, 0}, Direction::in);
    m.send ({0xC0, 13});
    m.send ({0xB0, 32, 1});
    m.send ({0xB0, 0, 0});
    m.send ({0xB0, 74, 12});
    m.send ({0xE0, 0x00, 0x40});
    m.send ({0xD2, 5});
    m.send ({0xFA});
    m.send ({0xFC});
    m.send ({0xF2, 16, 0});
    EXPECT_EQ (m.texts(), (Texts{"note on C5 velocity 100 (ch 1)", "note off C5 (ch 1)", "note off D5 (ch 2)",
                                 "program change P 14 (ch 1)", "bank select U2 (ch 1)", "bank select MSB 0 (ch 1)",
                                 "controller 74 = 12 (ch 1)", "pitch bend 8192 (ch 1)", "channel pressure 5 (ch 3)",
                                 "start", "stop", "song position 16"}));
    const auto& lines = m.model.getLines();
    EXPECT_EQ (lines[2].direction, Direction::in);
    EXPECT_EQ (lines[1].direction, Direction::out);
}

TEST (MidiMonitor, NrpnShowsParameterNameAndValueText)
{
    Monitor m;
    // VCA Attack (NRPN 106) whole, then only its value again as the sender leaves out what the
    // instrument holds; layer B's twin; a number no parameter carries; the instrument's own.
    m.send ({0xB0, 99, 0, 0xB0, 98, 106, 0xB0, 6, 0, 0xB0, 38, 64});
    m.send ({0xB0, 38, 65});
    m.send ({0xB0, 99, 4});
    m.send ({0xB0, 98, 106});
    m.send ({0xB0, 6, 0});
    m.send ({0xB0, 38, 3});
    m.send ({0xB0, 99, 127, 0xB0, 98, 127, 0xB0, 6, 0, 0xB0, 38, 1});
    m.send ({0xB0, 38, 7}, Direction::in); // the input has not seen a number yet
    m.send ({0xB0, 99, 0, 0xB0, 98, 64, 0xB0, 6, 0, 0xB0, 38, 1}, Direction::in);
    EXPECT_EQ (m.texts(),
               (Texts{"NRPN A VCA Attack = 64 (ch 1)", "NRPN A VCA Attack = 65 (ch 1)", "NRPN B VCA Attack = 3 (ch 1)",
                      "NRPN 16383 = 1 (ch 1)", "NRPN value 7 without a number (ch 1)", "NRPN A Glide 4 = 1 (ch 1)"}));
}

TEST (MidiMonitor, DumpsRequestsAndIdentityInWords)
{
    Monitor m;
    const auto image = namedImage ("Brass Pad");
    const auto dump = ravlin::packProgramDump (image, 1, 13);
    m.log.record (Direction::in, dump.data(), (int)dump.size(), 0);
    const auto edit = ravlin::packEditBufferDump (image, ravlin::sysex::deviceKeyboard);
    m.log.record (Direction::out, edit.data(), (int)edit.size(), 0);
    const auto request = ravlin::requestProgramDump (5, 98);
    m.log.record (Direction::out, request.data(), (int)request.size(), 0);
    m.send ({0xF0, 0x01, 0x2B, 0x06, 0xF7});
    m.send ({0xF0, 0x01, 0x2B, 0x0E, 0xF7});
    std::vector<uint8_t> globals{0xF0, 0x01, 0x2B, 0x0F};
    globals.resize (55, 0x01);
    globals.push_back (0xF7);
    m.log.record (Direction::in, globals.data(), (int)globals.size(), 0);
    m.send ({0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7});
    const auto reply = ravlin::identity::reply (ravlin::InstrumentModel::keyboard, 0, 1, 2);
    m.log.record (Direction::in, reply.data(), (int)reply.size(), 0);
    m.send ({0xF0, 0x43, 0x10, 0x7F, 0xF7});
    m.send ({0xF3, 0x01});

    EXPECT_EQ (m.texts(),
               (Texts{"program dump U2 P 14 'Brass Pad'", "edit buffer dump 'Brass Pad'", "program request F2 P 99",
                      "edit buffer request", "global request", "global dump (56 bytes)", "identity request",
                      "identity reply: Prophet 12 Keyboard", "F0 43 10 7F F7", "F3 01"}));
}

TEST (MidiMonitor, DumpHandedOverInPiecesIsOneLine)
{
    Monitor m;
    MidiMonitorLog::Writer wire (m.log, Direction::out);
    const auto dump = ravlin::packProgramDump (namedImage ("Pieces"), 6, 0);
    for (size_t at = 0; at < dump.size(); at += 256)
        wire.write (dump.data() + at, (int)std::min ((size_t)256, dump.size() - at), 5.0);
    // A dump cut off by a note: what came is shown as cut short, the note as a note.
    const auto cut = ravlin::packProgramDump (namedImage ("Cut"), 0, 1);
    wire.write (cut.data(), 256, 6.0);
    const uint8_t note[] = {0x90, 48, 1};
    wire.write (note, 3, 7.0);

    EXPECT_EQ (m.texts(), (Texts{"program dump F3 P 1 'Pieces'", "program dump U1 P 2 (256 bytes, cut short)",
                                 "note on C4 velocity 1 (ch 1)"}));
}

TEST (MidiMonitor, ClockRunsFoldIntoOneLine)
{
    Monitor m;
    for (int i = 0; i < 96; ++i)
        m.send ({0xF8});
    m.send ({0xF8}, Direction::in);
    m.send ({0xFC});
    for (int i = 0; i < 3; ++i)
        m.send ({0xF8});
    EXPECT_EQ (m.texts(), (Texts{"clock x 96", "clock", "stop", "clock x 3"}));
    m.send ({0xF8}); // the run goes on across reads
    EXPECT_EQ (m.texts().back(), "clock x 4");
}

TEST (MidiMonitor, FullLogCountsWhatIsNotShownAndPauseHoldsTheList)
{
    Monitor m;
    for (int i = 0; i < MidiMonitorLog::capacity + 10; ++i)
        m.send ({0xB0, 74, (uint8_t)(i & 0x7F)});
    EXPECT_EQ ((int)m.texts().size(), MidiMonitorLog::capacity);
    EXPECT_EQ (m.model.getNumNotShown(), 10);
    EXPECT_TRUE (m.model.toText().endsWith ("10 messages not shown\n"));

    m.model.clear();
    EXPECT_TRUE (m.texts().empty());
    EXPECT_EQ (m.model.getNumNotShown(), 0);

    m.send ({0xFA});
    m.model.setPaused (true);
    EXPECT_TRUE (m.texts().empty()) << "read before pausing? " << m.model.getNumNotShown();
    EXPECT_EQ (m.model.getNumNotShown(), 1);
    m.model.setPaused (false);
    m.send ({0xFC});
    EXPECT_EQ (m.texts(), (Texts{"stop"}));

    const auto row = MidiMonitorModel::rowText (m.model.getLines().front());
    EXPECT_TRUE (row.matchesWildcard ("??:??:??.???  OUT  stop", false)) << row;
}

TEST (MidiMonitor, AReadEndsWhileWritersKeepTheRingFull)
{
    // A writer faster than the decoding (a track's dumps through to the instrument) must not keep
    // the panel's timer, and with it the message thread, inside one read.
    Monitor m;
    const auto dump = ravlin::packProgramDump (namedImage ("Flood"), 1, 13);
    std::atomic<bool> readReturned{false};
    std::atomic<int> written{0};
    std::thread writer (
        [&]
        {
            const auto giveUp = juce::Time::getMillisecondCounterHiRes() + 10000.0;
            while (!readReturned && juce::Time::getMillisecondCounterHiRes() < giveUp)
                if (m.log.record (Direction::in, dump.data(), (int)dump.size(), 0))
                    ++written;
        });
    while (written < MidiMonitorLog::capacity)
        std::this_thread::yield();
    m.model.update();
    const int writtenWhenReadReturned = written;
    readReturned = true;
    writer.join();
    EXPECT_EQ (MidiMonitorModel::textOf (m.model.getLines().back()), "program dump U2 P 14 'Flood'");
    EXPECT_LE (writtenWhenReadReturned, 3 * MidiMonitorLog::capacity)
        << "the read went on taking what the writer wrote after it began";
}

TEST (MidiMonitor, OffLogTakesNothing)
{
    MidiMonitorLog log;
    const uint8_t start[] = {0xFA};
    EXPECT_FALSE (log.record (Direction::out, start, 1, 0));
    MidiMonitorLog::Entry entry;
    EXPECT_FALSE (log.read (entry));
    EXPECT_EQ (log.takeLost(), 0u);
}

TEST (MidiMonitor, RawSysExBoxChecksWhatTheUserTyped)
{
    juce::String error;
    const auto ok = MidiMonitorModel::parseSysEx (" f0 01,2B 06\nF7 ", error);
    ASSERT_TRUE (ok.has_value()) << error;
    EXPECT_EQ (*ok, (ravlin::Bytes{0xF0, 0x01, 0x2B, 0x06, 0xF7}));
    EXPECT_EQ (MidiMonitorModel::parseSysEx ("F0012B06F7", error), ok);

    const std::pair<const char*, const char*> bad[] = {
        {"", "Type a SysEx message as hex bytes, from F0 to F7."},
        {"F0 01 G6 F7", "\"G6\" is not hex: use the digits 0-9 and A-F."},
        {"F0 1 F7", "\"1\" has an odd number of digits: write each byte as two hex digits."},
        {"01 2B 06 F7", "A SysEx message starts with F0."},
        {"F0 01 2B 06", "A SysEx message ends with F7."},
        {"F0", "A SysEx message ends with F7."},
        {"F0 01 80 F7", "Byte 3 is 80: the bytes between F0 and F7 go up to 7F."},
    };
    for (const auto& [typed, says] : bad)
    {
        EXPECT_FALSE (MidiMonitorModel::parseSysEx (typed, error).has_value()) << typed;
        EXPECT_EQ (error, says) << typed;
    }
}

TEST (MidiMonitor, OwnPortsRecordBothDirections)
{
    juce::ScopedJuceInitialiser_GUI messageThread;
    MidiCntrState hub (std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File());
    hub.selectInputPort (3);
    hub.selectOutputPort (3);
    ASSERT_TRUE (hub.getPorts().inputOpen && hub.getPorts().outputOpen);
    const auto image = namedImage ("Virtual Edit");
    hub.sendToInstrument (ravlin::packEditBufferDump (image)); // the monitor is off: not kept
    for (int wait = 0; wait < 200 && hub.getVirtualInstrument().getEditBuffer() != image; ++wait)
        std::this_thread::sleep_for (std::chrono::milliseconds (5));

    auto& log = hub.getPorts().getMonitor();
    MidiMonitorModel model (log, hub.parameterTable);
    log.setEnabled (true);
    hub.requestEditBuffer();

    std::vector<std::pair<Direction, juce::String>> seen;
    for (int wait = 0; wait < 200 && seen.size() < 2; ++wait)
    {
        std::this_thread::sleep_for (std::chrono::milliseconds (10));
        model.update();
        seen.clear();
        for (const auto& line : model.getLines())
            seen.emplace_back (line.direction, line.text);
    }
    ASSERT_EQ (seen.size(), 2u);
    EXPECT_EQ (seen[0], std::make_pair (Direction::out, juce::String ("edit buffer request")));
    EXPECT_EQ (seen[1], std::make_pair (Direction::in, juce::String ("edit buffer dump 'Virtual Edit'")));
}
