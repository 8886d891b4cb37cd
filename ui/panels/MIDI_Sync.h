#pragma once

#include "ui/controls/RateSlider.h"

#include <array>

/** The latency panel: the send delay for the sample rate the host runs at, 0..1000 ms. It edits
    its own copy of the seven delays and broadcasts when the user moves the slider; its owner
    hands the mode and the delays back to the hub. */
class MIDI_Sync : public juce::Component, public juce::ChangeListener, public juce::ChangeBroadcaster
{
public:
    static constexpr int panelWidth = 290, panelHeight = 76; // its texts and slider, clear of the buttons beside it

    MIDI_Sync();
    ~MIDI_Sync() override;

    void fill (int latencyMode, int sampleRateIndex, const std::array<int, 7>& delays);

    int getLatencyMode() const noexcept { return latencyMode; }
    int getSampleRateIndex() const noexcept { return sampleRateIndex; }
    const std::array<int, 7>& getDelays() const noexcept { return delays; }
    RateSlider& getSlider() noexcept { return delaySlider; }
    juce::String getSampleRateText() const { return sampleRateLabel.getText(); }

    static juce::String sampleRateText (int sampleRateIndex);

    void paint (juce::Graphics& g) override;
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;

private:
    int latencyMode = 0;
    int sampleRateIndex = 0;
    std::array<int, 7> delays{};
    juce::Label sampleRateLabel, delayLabel;
    RateSlider delaySlider{0, 1000};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MIDI_Sync)
};
