#pragma once

#include "core/RavlinAudioProcessor.h"
#include "ui/editor/MainComp.h"

/** The editor window the host shows: MainComp inside, a resize corner, tooltips. All lasting
    state lives in the processor, so closing the window loses nothing. */
class RavlinAudioProcessorEditor : public juce::AudioProcessorEditor, private juce::ChangeListener
{
public:
    static constexpr int cornerSize = 22;
    static constexpr int tooltipDelayMs = 200;
    static constexpr int minWidth = 454, minHeight = 298, maxWidth = 4000, maxHeight = 1082;

    explicit RavlinAudioProcessorEditor (RavlinAudioProcessor& owner);
    ~RavlinAudioProcessorEditor() override;

    void resized() override;

    MainComp& getMainComp() noexcept { return mainComp; }
    juce::ResizableCornerComponent& getCorner() noexcept { return corner; }

private:
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;

    RavlinAudioProcessor& processor;
    juce::TooltipWindow tooltips{this, tooltipDelayMs};
    MainComp mainComp{&processor};
    juce::ComponentBoundsConstrainer constrainer;
    juce::ResizableCornerComponent corner{this, &constrainer};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (RavlinAudioProcessorEditor)
};
