#include "core/NrpnSender.h"
#include "instrument/ProgramPacking.h"
#include "midi/MIDI_PORTS_Control.h"
#include "support/FakeMidiDevices.h"

#include <gtest/gtest.h>

using ravlin::Bytes;

namespace
{
class NoInput : public juce::MidiInputCallback
{
public:
    void handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage&) override {}
};

/** A sender on channel 5 whose port records what reaches the wire. */
class Sender : public ::testing::Test
{
protected:
    Sender()
    {
        ports.openOutput (1);
        sender.attach (ports);
    }

    std::vector<Bytes> sent (size_t count)
    {
        auto& out = devices.recorders[0];
        const auto end = juce::Time::getMillisecondCounterHiRes() + 3000;
        while (out.count() < count && juce::Time::getMillisecondCounterHiRes() < end)
            juce::Thread::sleep (1);
        juce::Thread::sleep (20);
        std::vector<Bytes> result;
        for (const auto& s : out.taken())
            result.push_back (s.bytes);
        return result;
    }

    juce::ScopedJuceInitialiser_GUI messageThread;
    ravlin::test::FakeMidiDevices devices;
    NoInput input;
    MIDI_PORTS_Control ports{devices, input};
    const ravlin::ParameterTable table;
    std::atomic<int> channel{5};
    NrpnSender sender{table, channel};
};
} // namespace

TEST_F (Sender, ASelectionGoesAsBankSelectThenProgramChangeAndOnlyForASlotThatExists)
{
    const auto now = TimedMidiSender::now();
    sender.sendSelectionAt (3, 42, now);
    sender.sendSelectionAt (8, 0, now);  // there are eight banks
    sender.sendSelectionAt (0, 99, now); // and 99 programs in each
    sender.sendSelectionAt (-1, 5, now); // no selection
    sender.sendSelectionAt (7, 98, now);
    EXPECT_EQ (sent (4), (std::vector<Bytes>{{0xB4, 32, 3}, {0xC4, 42}, {0xB4, 32, 7}, {0xC4, 98}}));
}

TEST_F (Sender, EachTouchSliderGoesAsItsControllerAndTheValueSentIsKept)
{
    sender.sendSlider (1025, 10);
    sender.sendSlider (1026, 200); // beyond a controller's range: the highest
    sender.sendSlider (1027, -3);  // below it: the lowest
    sender.sendSlider (1024, 50);  // not a slider: nothing
    EXPECT_EQ (sent (3), (std::vector<Bytes>{{0xB4, 14, 10}, {0xB4, 15, 127}, {0xB4, 17, 0}}));
    // Kept as "Slider 1", "Slider Press", "Slider 2", as they were given.
    EXPECT_EQ (sender.sliderSent[0], 10);
    EXPECT_EQ (sender.sliderSent[1], -3);
    EXPECT_EQ (sender.sliderSent[2], 200);
}

TEST_F (Sender, TheParameterNumberIsLeftOutUntilTheInstrumentsStateIsForgotten)
{
    const auto number = table.nrpnNumber (85);
    const auto high = (uint8_t)(number >> 7), low = (uint8_t)(number & 0x7F);
    sender.sendNrpn (number, 300);
    sender.sendNrpn (number, 301);   // the same number and high byte: the low byte alone
    ASSERT_EQ (sent (5).size(), 5u); // on the wire before the instrument's state is forgotten
    sender.forgetInstrumentState();
    sender.sendNrpn (number, 302); // whole again
    EXPECT_EQ (sent (9), (std::vector<Bytes>{{0xB4, 99, high},
                                             {0xB4, 98, low},
                                             {0xB4, 6, 2},
                                             {0xB4, 38, 300 - 256},
                                             {0xB4, 38, 301 - 256},
                                             {0xB4, 99, high},
                                             {0xB4, 98, low},
                                             {0xB4, 6, 2},
                                             {0xB4, 38, 302 - 256}}));
}

TEST_F (Sender, NothingGoesOutBeforeThePortsAreAttachedNorWithTheOutputClosed)
{
    NrpnSender unattached{table, channel};
    unattached.sendNrpn (table.nrpnNumber (85), 1);
    unattached.fastNrpnSend (85, 1, 0);
    unattached.offerHostChange (85, 1, 0);
    unattached.sendSlider (1025, 9);
    unattached.sendSelectionAt (1, 1, TimedMidiSender::now());
    unattached.sendShortNow (0x94, 60, 100, 3);
    unattached.forgetInstrumentState();
    EXPECT_EQ (unattached.sliderSent[0], 9) << "the value is kept all the same";

    ports.openOutput (0);
    sender.sendNrpn (table.nrpnNumber (85), 1);
    sender.fastNrpnSend (85, 1, 0);
    sender.offerHostChange (1027, 5, 0);
    sender.sendSlider (1026, 7);
    sender.sendSelectionAt (1, 1, TimedMidiSender::now());
    EXPECT_EQ (sender.sliderSent[1], 5);
    EXPECT_EQ (sender.sliderSent[2], 7);
    juce::Thread::sleep (50);
    EXPECT_EQ (devices.recorders[0].count(), 0u);
}
