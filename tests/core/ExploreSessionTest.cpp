// Randomise, mutate, morph and the exploration list through the processor: the bytes that reach
// the instrument, the undo steps they make, and the library file a stored program lands in.
#include "core/RavlinAudioProcessor.h"
#include "instrument/DSI_Program.h"
#include "library/DefaultLibraryFile.h"
#include "support/FakeMidiDevices.h"
#include "support/MessagePump.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using ravlin::Bytes;
using ravlin::ExploreMask;
using ravlin::test::pumpUntil;

namespace
{
constexpr int virtualPort = 3; // after the two fake system devices

class Explore : public ::testing::Test
{
protected:
    Explore()
    {
        auto fake = std::make_unique<ravlin::test::FakeMidiDevices>();
        system = fake.get();
        processor = std::make_unique<RavlinAudioProcessor> (std::move (fake), juce::File());
        hub().setModelChoice (ModelDetector::Choice::module);
    }

    MidiCntrState& hub() { return processor->getHub(); }
    ExploreSession& session() { return processor->getExploreSession(); }
    ExploreMask defaults() { return ExploreMask::defaults (hub().parameterTable); }

    /** The wire carries only what the test sends. */
    ravlin::test::RecordingOutput& recordOutput()
    {
        hub().selectOutputPort (1);
        return system->recorders[0];
    }
    VirtualInstrument& connectVirtual()
    {
        hub().selectInputPort (virtualPort);
        hub().selectOutputPort (virtualPort);
        return hub().getVirtualInstrument();
    }

    /** The NRPN values in wire order: (number, value). */
    static std::vector<std::pair<int, int>> nrpnValues (const std::vector<ravlin::test::RecordingOutput::Sent>& sent)
    {
        std::vector<std::pair<int, int>> applied;
        int high = 0, low = 0, valueHigh = 0;
        for (const auto& m : sent)
        {
            if (m.bytes.size() != 3 || m.bytes[0] != 0xB0)
                continue;
            switch (m.bytes[1])
            {
                case 99: high = m.bytes[2]; break;
                case 98: low = m.bytes[2]; break;
                case 6: valueHigh = m.bytes[2]; break;
                case 38: applied.push_back ({high * 128 + low, valueHigh * 128 + m.bytes[2]}); break;
                default: break;
            }
        }
        return applied;
    }

    /** Whole SysEx messages, joined from the pieces the sender hands the port. */
    static std::vector<Bytes> sysExMessages (const std::vector<ravlin::test::RecordingOutput::Sent>& sent)
    {
        std::vector<Bytes> joined;
        bool inside = false;
        for (const auto& m : sent)
        {
            if (m.bytes.empty())
                continue;
            if (m.bytes[0] == 0xF0)
            {
                joined.push_back (m.bytes);
                inside = m.bytes.back() != 0xF7;
            }
            else if (inside && m.bytes[0] < 0x80)
            {
                joined.back().insert (joined.back().end(), m.bytes.begin(), m.bytes.end());
                inside = m.bytes.back() != 0xF7;
            }
        }
        return joined;
    }
    static int sysExCount (const std::vector<ravlin::test::RecordingOutput::Sent>& sent)
    {
        return (int)sysExMessages (sent).size();
    }
    static bool complete (const std::vector<Bytes>& messages)
    {
        return !messages.empty() && messages.back().back() == 0xF7;
    }

    juce::ScopedJuceInitialiser_GUI messageThread;
    ravlin::test::FakeMidiDevices* system = nullptr;
    std::unique_ptr<RavlinAudioProcessor> processor;
};
} // namespace

TEST_F (Explore, RandomiseGoesOutAsOneEditBufferDumpAndUndoRestoresTheProgramByteForByte)
{
    auto& out = recordOutput();
    processor->cableChanged (85, 40, true, true, true); // a knob first
    processor->recordHistory();
    ASSERT_TRUE (pumpUntil ([&] { return out.count() >= 1; }));
    juce::Thread::sleep (50); // the rest of the knob's NRPN
    const auto sentBefore = out.count();
    const auto before = hub().getCurrentProgram();

    const auto& entry = session().randomise (defaults(), 4242);
    const auto made = hub().getCurrentProgram();
    EXPECT_EQ (entry.image, made);
    EXPECT_NE (made, before);

    ASSERT_TRUE (pumpUntil ([&] { return complete (sysExMessages (out.taken())); }, 3000));
    juce::Thread::sleep (50);
    const auto sent = out.taken();
    const std::vector<ravlin::test::RecordingOutput::Sent> afterKnob (sent.begin() + (std::ptrdiff_t)sentBefore,
                                                                      sent.end());
    const auto dumps = sysExMessages (afterKnob);
    ASSERT_EQ (dumps.size(), 1u) << "one message for the whole program";
    EXPECT_EQ (dumps[0], ravlin::packEditBufferDump (made));
    EXPECT_EQ (Bytes (dumps[0].begin(), dumps[0].begin() + 4), (Bytes{0xF0, 0x01, 0x2B, 0x03}));
    for (const auto& m : afterKnob)
        EXPECT_TRUE (m.bytes[0] == 0xF0 || m.bytes[0] < 0x80) << "nothing but the dump went out";

    // A second one at once is a step of its own, not folded into the first.
    session().mutate (defaults(), 0.5, 7);
    const auto mutated = hub().getCurrentProgram();
    EXPECT_NE (mutated, made);
    processor->recordHistory();
    EXPECT_EQ (processor->getHistory().getNumUndoSteps(), 3) << "knob, randomise, mutate";
    EXPECT_EQ (session().getHistory().size(), 2);
    EXPECT_EQ (session().getHistory().at (0)->madeBy, "Mutate 50 %, seed 7");
    EXPECT_EQ (session().getHistory().at (1)->madeBy, "Randomise, seed 4242");

    ASSERT_TRUE (processor->undoEdit());
    EXPECT_EQ (hub().getCurrentProgram(), made);
    ASSERT_TRUE (processor->undoEdit());
    EXPECT_EQ (hub().getCurrentProgram(), before);
    ASSERT_TRUE (pumpUntil (
        [&]
        {
            const auto dumps = sysExMessages (out.taken());
            return complete (dumps) && dumps.back() == ravlin::packEditBufferDump (before);
        },
        3000))
        << "the instrument gets the program back";
    ASSERT_TRUE (processor->redoEdit());
    EXPECT_EQ (hub().getCurrentProgram(), made);
}

TEST_F (Explore, AMorphDragSendsOnlyWhatChangedPacedAndTheInstrumentEndsOnTheResult)
{
    auto& instrument = connectVirtual();
    instrument.setWireSpeed (VirtualInstrument::WireSpeed::din);
    ASSERT_TRUE (hub().getPorts().outputOpen);
    const auto a = hub().getCurrentProgram();
    session().apply (a);
    ASSERT_TRUE (pumpUntil ([&] { return instrument.getEditBuffer() == a; }, 3000));

    const auto b = session().getExplorer().randomise (a, defaults(), 99);
    const auto received = instrument.getNumMessagesReceived();
    session().beginMorph (a, b);
    for (int step = 1; step <= 40; ++step) // a drag of about 0.4 s to 70 %
    {
        session().morphTo (0.7 * step / 40.0);
        ravlin::test::pumpMessages (10);
    }
    session().endMorph();
    const auto result = session().getExplorer().morph (a, b, 0.7);
    EXPECT_EQ (hub().getCurrentProgram(), result);

    EXPECT_TRUE (pumpUntil ([&] { return instrument.getEditBuffer() == result; }, 10000))
        << "the instrument ends on the morph's last values";
    EXPECT_EQ (hub().getPorts().getSender().getNumDropped(), 0);
    EXPECT_GT (instrument.getNumMessagesReceived(), received);

    processor->recordHistory();
    ASSERT_EQ (session().getHistory().size(), 1);
    EXPECT_EQ (session().getHistory().at (0)->madeBy, "Morph 70 %");
    ASSERT_TRUE (processor->undoEdit()) << "the whole drag is one step";
    EXPECT_EQ (hub().getCurrentProgram(), a);
    EXPECT_TRUE (pumpUntil ([&] { return instrument.getEditBuffer() == a; }, 10000));
}

TEST_F (Explore, AMorphDragPutsOnlyChangedParametersOnTheWireAndNoDumpUnlessBytesWithoutNrpnChanged)
{
    auto& out = recordOutput();
    const auto a = hub().getCurrentProgram();
    auto b = a;
    const auto& table = hub().parameterTable;
    std::map<int, int> moved;
    for (int index : {85, 86, 512 + 85, 136}) // LPF Freq, LPF Reson, layer B's LPF Freq, LFO 1 Shape
    {
        moved[index] = (a[(size_t)index] + 1) % (table.highest (index) + 1);
        b[(size_t)index] = (uint8_t)moved[index];
    }

    session().beginMorph (a, b);
    for (int step = 1; step <= 20; ++step)
        session().morphTo (step / 20.0);
    session().endMorph();
    ASSERT_TRUE (pumpUntil ([&] { return hub().linkBacklogMilliseconds() == 0.0 && out.count() > 0; }, 3000));
    juce::Thread::sleep (30);
    const auto sent = out.taken();
    EXPECT_EQ (sysExCount (sent), 0) << "every byte that moved has an NRPN";

    std::map<int, int> last;
    for (const auto& [number, value] : nrpnValues (sent))
    {
        const auto index = table.parameterForNrpn (number);
        EXPECT_EQ (moved.count (index), 1u) << "NRPN " << number << " belongs to a parameter that did not move";
        last[index] = value;
    }
    EXPECT_EQ (last, moved) << "each moved parameter ends on B's value";

    // Arpeggiator steps have no NRPN: they go with one dump when the drag ends.
    const auto c = hub().getCurrentProgram();
    auto d = c;
    d[306] = (uint8_t)((c[306] + 1) % 128); // the first step's note
    d[85] = (uint8_t)((c[85] + 7) % 165);
    session().beginMorph (c, d);
    session().morphTo (0.8);
    session().morphTo (1.0);
    session().endMorph();
    ASSERT_TRUE (pumpUntil ([&] { return complete (sysExMessages (out.taken())); }, 3000));
    juce::Thread::sleep (30);
    const auto dumps = sysExMessages (out.taken());
    ASSERT_EQ (dumps.size(), 1u);
    EXPECT_EQ (dumps[0], ravlin::packEditBufferDump (d));
}

TEST_F (Explore, AnEntryIsAuditionedUndoablyAndStoredInTheLibraryWithoutOverwritingAnything)
{
    const auto start = hub().getCurrentProgram();
    session().randomise (defaults(), 1);
    const auto first = hub().getCurrentProgram();
    session().randomise (defaults(), 2);
    processor->recordHistory();
    ASSERT_EQ (session().getHistory().size(), 2);

    ASSERT_TRUE (session().audition (1));
    EXPECT_EQ (hub().getCurrentProgram(), first);
    processor->recordHistory();
    ASSERT_TRUE (processor->undoEdit());
    EXPECT_NE (hub().getCurrentProgram(), first);
    EXPECT_FALSE (session().audition (5));

    juce::TemporaryFile folderName;
    const auto folder = folderName.getFile();
    ASSERT_TRUE (folder.createDirectory());
    const auto file = folder.getChildFile (DefaultLibraryFile::fileName);
    // The user's own library, which must survive as it is.
    Bytes existing;
    {
        DefaultLibraryFile library;
        auto records = library.load (folder);
        records.insert (records.end(), start.begin(), start.end());
        ASSERT_EQ (library.save (folder, records), DefaultLibraryFile::Result::written);
        existing = records;
    }

    juce::String message;
    EXPECT_EQ (session().storeInLibrary (1, folder, message), ExploreSession::StoreResult::stored);
    EXPECT_EQ (message, "Explored 1 was added to the library.");
    juce::MemoryBlock content;
    ASSERT_TRUE (file.loadFileAsData (content));
    const auto records = DefaultLibraryFile::recordsIn (
        Bytes ((const uint8_t*)content.getData(), (const uint8_t*)content.getData() + content.getSize()));
    ASSERT_EQ (records.size(), 2u * 1024u);
    EXPECT_TRUE (std::equal (existing.begin(), existing.end(), records.begin())) << "the user's record is as it was";
    const Bytes stored (records.begin() + 1024, records.end());
    EXPECT_EQ (DSI_Program::nameFrom (stored.data(), stored.size(), false).trimEnd(), "Explored 1");
    for (size_t i = 0; i < stored.size(); ++i)
    {
        if (i < DSI_Program::nameOffset || i >= DSI_Program::nameOffset + DSI_Program::nameLength)
        {
            ASSERT_EQ (stored[i], first[i]) << "byte " << i;
        }
    }

    EXPECT_EQ (session().storeInLibrary (1, folder, message), ExploreSession::StoreResult::alreadyThere);
    EXPECT_EQ (message, "Explored 1 is in the library already.");
    content.reset();
    ASSERT_TRUE (file.loadFileAsData (content));
    EXPECT_EQ (content.getSize(), (size_t)file.getSize());
    EXPECT_EQ (DefaultLibraryFile::recordsIn (
                   Bytes ((const uint8_t*)content.getData(), (const uint8_t*)content.getData() + content.getSize()))
                   .size(),
               2u * 1024u);
    folder.deleteRecursively();
}

TEST (ExploreHostSlot, EverySlotCarriesAParameterSoTheMorphPositionHasNone)
{
    const ravlin::ParameterTable table;
    EXPECT_EQ (ExploreSession::freeHostSlot (table), -1);
    std::set<int> parameters;
    for (int slot = 0; slot < ravlin::ParameterTable::numHostSlots; ++slot)
        parameters.insert (table.parameterForSlot (slot));
    EXPECT_EQ (parameters.count (-1), 0u);
    EXPECT_EQ (parameters.size(), (size_t)ravlin::ParameterTable::numHostSlots) << "one parameter each";
}
