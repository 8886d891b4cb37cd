#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** A horizontal value slider with an arrow area at each end: pressing an arrow steps the value by
    one and repeats every 100 ms while held; pressing between drags the value along the track.
    Broadcasts (synchronously, on the message thread) after every change of value. */
class RateSlider : public juce::Component, public juce::ChangeBroadcaster, private juce::Timer
{
public:
    static constexpr int arrowWidth = 17;
    static constexpr int repeatMs = 100;

    RateSlider (int minimum, int maximum);
    ~RateSlider() override;

    int getValue() const noexcept { return value; }
    /** Sets the value (clamped) without broadcasting. */
    void setValue (int newValue);
    int getMinimum() const noexcept { return minimum; }
    int getMaximum() const noexcept { return maximum; }

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;

private:
    void timerCallback() override;
    void change (int newValue);
    double pixelsPerStep() const noexcept;
    void dragTo (int x);

    const int minimum, maximum;
    int value = 0;
    int repeatStep = 0;
    bool dragging = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (RateSlider)
};
