#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <functional>

/** The envelope display of the filter, amplifier and auxiliary envelope sections: draws the
    ADSR shape, and edits it by three handles. The section commits the values 100 ms after a
    release, through its own controls. */
class Envel : public juce::Component, private juce::Timer
{
public:
    static constexpr int commitCode = 1, zoomCode = 100;
    static constexpr int commitMs = 100;
    static constexpr float pixelsPerStep = 1.5f;
    enum Value
    {
        attack,
        decay,
        sustain,
        release
    };

    Envel();
    ~Envel() override;

    void setValue (int which, int value);
    int getValue (int which) const noexcept { return values[(size_t)which]; }
    void setScale (float s);
    /** Inside a section zoom the handles move at whatever size the zoom could give. */
    void setEditableAtAnyScale (bool editable) noexcept { anyScale = editable; }
    /** The handle near a point (0 peak, 1 decay corner, 2 release end), or -1. */
    int handleAt (juce::Point<float> p) const;
    juce::Point<float> handlePosition (int handle) const;

    /** Told code 1 (commit the four values) or 100 (open the section zoom). */
    std::function<void (int code)> onReport;

    void paint (juce::Graphics& g) override;
    void mouseMove (const juce::MouseEvent& e) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;

private:
    void timerCallback() override;
    juce::Path shape() const;

    std::array<int, 4> values{};
    float scale = 1.0f;
    bool anyScale = false;
    int grabbed = -1, changing = -1;
    juce::Point<int> pressPoint;
    std::array<int, 4> pressValues{};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Envel)
};
