#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class RavlinAudioProcessor;

/** The component that fills the editor window. It broadcasts when its own size changes so that
    the window follows. */
class MainComp : public juce::Component, public juce::ChangeBroadcaster
{
public:
    static constexpr int defaultWidth = 1200;
    static constexpr int defaultHeight = 730;

    explicit MainComp (RavlinAudioProcessor* processor);
    ~MainComp() override;

    void paint (juce::Graphics& g) override;

    /** Takes a new size of its own (zoom, keyboard) and tells the window. */
    void setOwnSize (int width, int height);

private:
    RavlinAudioProcessor* processor;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainComp)
};
