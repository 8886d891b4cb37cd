#include "core/RavlinAudioProcessor.h"
#include "support/FakeMidiDevices.h"
#include "support/MessagePump.h"
#include "support/ModelDetection.h"
#include "support/TransportPlayHead.h"

#include <gtest/gtest.h>

using ravlin::Bytes;
using ravlin::test::pumpMessages;
using ravlin::test::pumpUntil;

namespace
{
/** What the host hears from one parameter. */
struct HostEar : public juce::AudioProcessorParameter::Listener
{
    void parameterValueChanged (int, float newValue) override { log.push_back ("value " + juce::String (newValue, 4)); }
    void parameterGestureChanged (int, bool starting) override { log.push_back (starting ? "begin" : "end"); }
    std::vector<juce::String> log;
};

class Processor : public ::testing::Test
{
protected:
    Processor() : processor (std::unique_ptr<MidiDeviceSet> (system), juce::File()) {}

    ravlin::test::RecordingOutput& recordOutput()
    {
        processor.getHub().selectOutputPort (1);
        return system->recorders[0];
    }

    juce::ScopedJuceInitialiser_GUI messageThread;
    ravlin::test::FakeMidiDevices* system = new ravlin::test::FakeMidiDevices();
    RavlinAudioProcessor processor;
};
} // namespace

TEST_F (Processor, ShowsTheHostItsSlotsAndPrograms)
{
    const auto& parameters = processor.getParameters();
    ASSERT_EQ (parameters.size(), 624);
    for (int slot = 0; slot < 624; ++slot)
    {
        ASSERT_EQ (parameters[slot]->getParameterIndex(), slot);
        ASSERT_EQ (parameters[slot]->getName (100), juce::String (processor.getHub().parameterTable.hostName (slot)));
        ASSERT_EQ (parameters[slot]->getDefaultValue(), 0.0f);
    }
    EXPECT_EQ (processor.getName(), "Prophet 12 Ravlin");
    EXPECT_EQ (processor.getNumPrograms(), 99);
    EXPECT_EQ (processor.getInputChannelName (0), "1");
    EXPECT_EQ (processor.getOutputChannelName (1), "2");

    EXPECT_EQ (processor.getHub().presetProgramIndex, -1);
    EXPECT_EQ (processor.getCurrentProgram(), 0);
    EXPECT_EQ (processor.getHub().presetProgramIndex, 0) << "asked once, the index stays at 0";
}

TEST_F (Processor, RenamingAProgramMakesItCurrent)
{
    processor.getHub().takeEvents();
    processor.changeProgramName (5, "Night Pad");
    EXPECT_EQ (processor.getProgramName (5).trimEnd(), "Night Pad");
    EXPECT_EQ (processor.getCurrentProgram(), 5);
    EXPECT_EQ (processor.getHub().getCurrentProgram(), processor.getHub().presetBank.getProgram (5));
    EXPECT_EQ (processor.getHub().takeEvents(), (std::vector<uint32_t>{HubEvent::programLoaded}));

    processor.setCurrentProgram (140); // no such program
    EXPECT_EQ (processor.getCurrentProgram(), 5);
}

TEST_F (Processor, EditorChangesOpenAGestureThatTheTimerCloses)
{
    HostEar ear;
    auto& slot0 = processor.getSlotParameter (0);
    slot0.addListener (&ear);
    auto& out = recordOutput();

    processor.cableChanged (0, 60, false, true, true);
    processor.cableChanged (0, 90, false, true, true);
    EXPECT_EQ (ear.log, (std::vector<juce::String>{"begin", "value 0.5000", "value 0.7500"}));
    EXPECT_TRUE (processor.isGestureOpen (0));
    EXPECT_EQ (processor.getHub().getProgramByte (0), 90);

    ASSERT_TRUE (pumpUntil ([&] { return !processor.isGestureOpen (0); }, 2000));
    EXPECT_EQ (ear.log.back(), "end");
    EXPECT_EQ (processor.getHub().takeEvents(),
               (std::vector<uint32_t>{HubEvent::parameter (0, 60), HubEvent::parameter (0, 90)}));
    juce::Thread::sleep (30);
    EXPECT_EQ (out.count(), 4u + 1u) << "one whole NRPN, then only the changed low byte";
    slot0.removeListener (&ear);
}

TEST_F (Processor, AnEndedGestureClosesAtOnceAndRowsWithoutSlotTouchNoHost)
{
    HostEar ear;
    auto& slot5 = processor.getSlotParameter (5);
    slot5.addListener (&ear);
    const auto row = processor.getHub().parameterTable.parameterForSlot (5);
    processor.cableChanged (row, 10, true, false, false);
    EXPECT_EQ (ear.log.size(), 3u);
    EXPECT_EQ (ear.log.back(), "end");
    EXPECT_FALSE (processor.isGestureOpen (5));
    EXPECT_TRUE (processor.getHub().takeEvents().empty()) << "the hub is not told";
    slot5.removeListener (&ear);

    ASSERT_EQ (processor.getHub().parameterTable.slotForParameter (936), ravlin::ParameterTable::noHostSlot);
    processor.cableChanged (936, 3, false, false, true);
    EXPECT_EQ (processor.getHub().getProgramByte (936), 3);
    EXPECT_EQ (processor.getHub().takeEvents(), (std::vector<uint32_t>{HubEvent::parameter (936, 3)}));
    processor.cableChanged (-4, 1, false, true, true);
    processor.cableChanged (1030, 1, false, true, true);
    EXPECT_TRUE (processor.getHub().takeEvents().empty());
}

TEST_F (Processor, TellingTheHostDoesNotRunTheHostChangeAgain)
{
    auto& out = recordOutput();
    processor.cableChanged (0, 60, true, false, false);
    juce::Thread::sleep (30);
    EXPECT_EQ (out.count(), 0u) << "a host change would have sent the NRPN";
    EXPECT_TRUE (processor.getHub().takeEvents().empty());

    processor.getSlotParameter (0).setValue (0.25f); // the host itself
    juce::Thread::sleep (30);
    EXPECT_EQ (out.count(), 4u);
    EXPECT_EQ (processor.getHub().getProgramByte (0), 30);
}

TEST_F (Processor, InstrumentKnobsMoveHostAutomationWithoutAnEcho)
{
    auto& hub = processor.getHub();
    hub.selectInputPort (3);
    hub.selectOutputPort (3);
    ASSERT_TRUE (ravlin::test::awaitModelReply (hub));
    HostEar ear;
    auto& slot = processor.getSlotParameter (hub.parameterTable.slotForParameter (16));
    slot.addListener (&ear);
    const auto heardBefore = hub.getVirtualInstrument().getNumMessagesReceived();

    hub.getVirtualInstrument().turnKnob (16, 11); // Wave L 1
    ASSERT_TRUE (pumpUntil ([&] { return hub.getProgramByte (16) == 11; }));
    ASSERT_GE (ear.log.size(), 2u);
    EXPECT_EQ (ear.log[0], "begin");
    pumpMessages (50);
    EXPECT_EQ (hub.getVirtualInstrument().getNumMessagesReceived(), heardBefore) << "nothing sent back";
    slot.removeListener (&ear);
}

TEST_F (Processor, DestructionClosesOpenGestures)
{
    HostEar ear;
    {
        RavlinAudioProcessor temporary (std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File());
        temporary.getSlotParameter (7).addListener (&ear);
        temporary.cableChanged (temporary.getHub().parameterTable.parameterForSlot (7), 1, false, false, false);
        ASSERT_EQ (ear.log.front(), "begin");
    }
    EXPECT_EQ (ear.log.back(), "end");
}

TEST_F (Processor, SendsTheInstrumentAClockThatFollowsTheTransport)
{
    auto& out = recordOutput();
    auto& hub = processor.getHub();
    hub.clockOption = true;
    ravlin::test::TransportPlayHead playHead;
    playHead.playInto (processor, 120.0, 1.30, 44100.0, 512);

    juce::AudioBuffer<float> audio (2, 512);
    juce::MidiBuffer midi;
    const auto start = juce::Time::getMillisecondCounterHiRes();
    for (int block = 0; block < 40; ++block)
    {
        audio.clear();
        processor.processBlock (audio, midi);
        playHead.advance (512, 44100.0);
    }
    ASSERT_TRUE (pumpUntil ([&] { return out.count() >= 10; }));
    juce::Thread::sleep (100);

    const auto sent = out.taken();
    // The first block ran on the default position (stopped at 0), the second starts the clock.
    ASSERT_GE (sent.size(), 5u);
    EXPECT_EQ (sent[0].bytes, (std::vector<uint8_t>{0xFC}));
    EXPECT_EQ (sent[1].bytes, (std::vector<uint8_t>{0xF2, 0, 0}));
    EXPECT_EQ (sent[2].bytes[0], 0xF2);
    int ticks = 0, continues = 0;
    for (const auto& s : sent)
    {
        ticks += s.bytes[0] == 0xF8;
        continues += s.bytes[0] == 0xFB;
    }
    EXPECT_EQ (continues, 1);
    EXPECT_GE (ticks, 20); // 39 blocks of 512 samples hold 21 or 22 ticks
    EXPECT_LE (ticks, 22);
    EXPECT_LT (sent.back().time - start, 1000.0);
    processor.setPlayHead (nullptr);
}

TEST_F (Processor, NoClockWithTheOptionOff)
{
    auto& out = recordOutput();
    processor.getHub().clockOption = false;
    processor.prepareToPlay (48000.0, 256);
    EXPECT_EQ (processor.getHub().sampleRateIndex, 1);
    juce::AudioBuffer<float> audio (2, 256);
    juce::MidiBuffer midi;
    for (int block = 0; block < 20; ++block)
        processor.processBlock (audio, midi);
    juce::Thread::sleep (50);
    EXPECT_EQ (out.count(), 0u);
}

TEST_F (Processor, PreparingForgetsHeldKeysAndTheAudioPassesThrough)
{
    auto& hub = processor.getHub();
    hub.thruHostToPort = true;
    juce::MidiBuffer midi;
    midi.addEvent (juce::MidiMessage::noteOn (1, 64, (juce::uint8)100), 3);
    juce::AudioBuffer<float> audio (2, 128);
    audio.clear();
    audio.setSample (1, 5, 0.25f);
    processor.processBlock (audio, midi);
    EXPECT_EQ (audio.getSample (1, 5), 0.25f);
    EXPECT_EQ (hub.keyState[64], 1);
    processor.prepareToPlay (22050.0, 128);
    EXPECT_EQ (hub.keyState[64], 0);
    EXPECT_EQ (hub.sampleRateIndex, 0) << "an unlisted rate takes the 44.1 kHz entry";
}

TEST_F (Processor, SwitchingTheClockOnWhileThePlayheadMovesStartsTheTicksInTheNextBlock)
{
    auto& out = recordOutput();
    auto& hub = processor.getHub();
    hub.clockOption = false;
    ravlin::test::TransportPlayHead playHead;
    playHead.playInto (processor, 120.0, 0.0, 48000.0, 512);
    juce::AudioBuffer<float> audio (2, 512);
    juce::MidiBuffer midi;
    auto run = [&] (int blocks)
    {
        for (int b = 0; b < blocks; ++b)
        {
            midi.clear();
            processor.processBlock (audio, midi);
            playHead.advance (512, 48000.0);
        }
    };
    run (10);
    juce::Thread::sleep (30);
    EXPECT_EQ (out.count(), 0u) << "off: nothing";

    hub.setOption (SettingsBlock::clockOn, true); // as the MIDI setup switches it, without a new prepare
    // A tick every 1000 samples, a sixteenth every 6000: the next four blocks cover samples 4608
    // to 6655 of the song. The instrument is stopped, told where the song is, and continues
    // from there.
    run (4);
    ASSERT_TRUE (pumpUntil ([&] { return out.count() >= 5; }));
    juce::Thread::sleep (30);
    std::vector<Bytes> sent;
    for (const auto& m : out.taken())
        sent.push_back (m.bytes);
    EXPECT_EQ (sent, (std::vector<Bytes>{{0xFC}, {0xF2, 1, 0}, {0xF8}, {0xFB}, {0xF8}}));
    processor.setPlayHead (nullptr);
}

TEST_F (Processor, AProjectBringsBackTheSoundBeingEditedAsItWas)
{
    // Preset 4 holds one value; the user turns the knob without storing, and saves the project.
    auto& hub = processor.getHub();
    auto preset = hub.getPresetProgram (4);
    preset[85] = 36;
    preset[600] = 120;
    hub.setPresetProgram (4, preset);
    processor.setCurrentProgram (4);
    processor.cableChanged (85, 30, true, false, true); // as the editor's knob does
    processor.cableChanged (600, 99, true, false, true);
    ASSERT_EQ (hub.getProgramByte (85), 30);

    juce::MemoryBlock project;
    processor.getStateInformation (project);
    EXPECT_EQ (project.getSize(), 102430u) << "the chunk keeps its size";
    EXPECT_EQ (hub.getPresetProgram (4), preset) << "saving stores nothing into the preset";

    RavlinAudioProcessor reopened (std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File());
    reopened.setStateInformation (project.getData(), (int)project.getSize());
    EXPECT_EQ (reopened.getHub().getProgramByte (85), 30);
    EXPECT_EQ (reopened.getHub().getProgramByte (600), 99);
    EXPECT_EQ (reopened.getCurrentProgram(), 4);
    EXPECT_EQ (reopened.getHub().getPresetProgram (4), preset);

    // And into an instance that was already at work, as when a host reloads the project.
    processor.setCurrentProgram (7);
    processor.setStateInformation (project.getData(), (int)project.getSize());
    EXPECT_EQ (hub.getProgramByte (85), 30);
    EXPECT_EQ (processor.getCurrentProgram(), 4);
}
