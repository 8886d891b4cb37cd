#pragma once

#include "core/RavlinAudioProcessor.h"

/** The editor window the host shows; all lasting state lives in the processor. */
class RavlinAudioProcessorEditor : public juce::AudioProcessorEditor
{
public:
    static constexpr int defaultWidth = 1200;
    static constexpr int defaultHeight = 730;

    explicit RavlinAudioProcessorEditor (RavlinAudioProcessor& owner);
    ~RavlinAudioProcessorEditor() override;

    void paint (juce::Graphics& g) override;

private:
    RavlinAudioProcessor& processor;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (RavlinAudioProcessorEditor)
};
