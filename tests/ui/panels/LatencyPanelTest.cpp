#include "core/MidiCntrState.h"
#include "support/FakeMidiDevices.h"
#include "support/MessagePump.h"
#include "ui/panels/MIDI_Sync.h"

#include <gtest/gtest.h>

using ravlin::test::pumpMessages;

namespace
{
juce::MouseEvent mouseAt (juce::Component& c, int x, bool dragged = false)
{
    const auto position = juce::Point<float> ((float)x, 9.0f);
    return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), position,
                             juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier), 1.0f, 0.0f, 0.0f, 0.0f, 0.0f,
                             &c, &c, juce::Time::getCurrentTime(), position, juce::Time::getCurrentTime(), 1, dragged);
}

struct Broadcasts : public juce::ChangeListener
{
    void changeListenerCallback (juce::ChangeBroadcaster*) override { ++count; }
    int count = 0;
};

class LatencyPanel : public ::testing::Test
{
protected:
    juce::ScopedJuceInitialiser_GUI messageThread;
    MIDI_Sync panel;
    RateSlider& slider = panel.getSlider();
};
} // namespace

TEST_F (LatencyPanel, ShowsTheRateAndItsDelay)
{
    // As large as its texts and slider, so that it lies clear of the setup's buttons and help.
    EXPECT_EQ (panel.getWidth(), 290);
    EXPECT_EQ (panel.getHeight(), 76);
    EXPECT_EQ (slider.getBounds(), juce::Rectangle<int> (76, 50, 200, 18));

    panel.fill (5, 2, {10, 20, 30, 40, 50, 60, 70});
    EXPECT_EQ (panel.getSampleRateText(), "88200 Hz");
    EXPECT_EQ (slider.getValue(), 30);
    EXPECT_EQ (panel.getLatencyMode(), 5);

    panel.fill (0, MidiCntrState::sampleRateIndexFor (22050.0), {10, 20, 30, 40, 50, 60, 70});
    EXPECT_EQ (panel.getSampleRateText(), "44100 Hz");
    EXPECT_EQ (slider.getValue(), 10);

    panel.fill (0, 9, {});
    EXPECT_EQ (panel.getSampleRateText(), "");
    EXPECT_EQ (MIDI_Sync::sampleRateText (5), "192000 Hz");

    panel.fill (0, 1, {0, -5, 0, 0, 0, 0, 0});
    EXPECT_EQ (slider.getValue(), 0) << "a negative delay shows as 0";
}

TEST_F (LatencyPanel, AStoredValueBeyondTheRangeStaysUntilTheSliderMoves)
{
    Broadcasts heard;
    panel.addChangeListener (&heard);
    panel.fill (0, 1, {0, 1500, 0, 0, 0, 0, 0});
    EXPECT_EQ (slider.getValue(), 1000);
    EXPECT_EQ (panel.getDelays()[1], 1500);
    pumpMessages (30);
    EXPECT_EQ (heard.count, 0) << "filling is not a change";

    slider.mouseDown (mouseAt (slider, 5)); // the down arrow
    slider.mouseUp (mouseAt (slider, 5));
    EXPECT_EQ (panel.getDelays()[1], 999);
    EXPECT_EQ (panel.getDelays()[0], 0);
    pumpMessages (30);
    EXPECT_EQ (heard.count, 1);
    panel.removeChangeListener (&heard);
}

TEST_F (LatencyPanel, ArrowsRepeatWhileHeldAndTheTrackDrags)
{
    panel.fill (0, 3, {0, 0, 0, 100, 0, 0, 0});
    slider.mouseDown (mouseAt (slider, 190)); // the up arrow
    EXPECT_EQ (slider.getValue(), 101);
    pumpMessages (350);
    const auto held = slider.getValue();
    EXPECT_GE (held, 103) << "about one step per 100 ms";
    EXPECT_LE (held, 105);
    slider.mouseUp (mouseAt (slider, 190));
    pumpMessages (250);
    EXPECT_EQ (slider.getValue(), held) << "release stops the repeat";
    EXPECT_EQ (panel.getDelays()[3], held);

    slider.mouseDown (mouseAt (slider, 100));
    EXPECT_EQ (slider.getValue(), 500);
    slider.mouseDrag (mouseAt (slider, 18, true));
    EXPECT_EQ (slider.getValue(), 0);
    slider.mouseDrag (mouseAt (slider, 182, true));
    EXPECT_EQ (slider.getValue(), 1000);
    slider.mouseDrag (mouseAt (slider, 400, true));
    EXPECT_EQ (slider.getValue(), 1000) << "clamped to the range";
    slider.mouseUp (mouseAt (slider, 182));
    EXPECT_EQ (panel.getDelays()[3], 1000);
}

TEST_F (LatencyPanel, TheHubStoresWhatThePanelHandsBack)
{
    MidiCntrState hub (std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File());
    hub.sampleRateIndex = MidiCntrState::sampleRateIndexFor (88200.0);
    std::array<int, 7> table{};
    for (size_t i = 0; i < 7; ++i)
        table[i] = hub.latencyTable[i];
    panel.fill (hub.latencyMode, hub.sampleRateIndex, table);
    slider.mouseDown (mouseAt (slider, 190));
    slider.mouseUp (mouseAt (slider, 190));
    hub.setLatencySettings (panel.getLatencyMode(), panel.getDelays());
    EXPECT_EQ (hub.latencyTable[2], 1);
    EXPECT_EQ (SettingsBlock::read32 (hub.settingsBlock.data(), 180), 1) << "settings bytes 180-183";
    EXPECT_DOUBLE_EQ (hub.currentLatencyMs(), 1.0);
}
