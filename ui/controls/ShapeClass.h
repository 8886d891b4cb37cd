#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** An oscillator's shape display: a picture of one cycle of the chosen shape (0..19) as its
    shape modulation (0..127) bends it. Takes no mouse input. */
class ShapeClass : public juce::Component
{
public:
    ShapeClass();

    void setShape (int shape);
    void setModulation (int amount);
    int getShape() const noexcept { return shape; }
    int getModulation() const noexcept { return modulation; }
    /** The picture's level at phase 0..1, -1..1; shapes 17..19 are noise, 0 is silence. */
    static float level (int shape, int modulation, float phase);

    void paint (juce::Graphics& g) override;

private:
    int shape = 0, modulation = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ShapeClass)
};
