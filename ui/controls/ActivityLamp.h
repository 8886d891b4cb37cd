#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** A MIDI activity lamp: shown a running message count now and then, it lights for a moment
    whenever the count has moved. */
class ActivityLamp : public juce::Component, public juce::SettableTooltipClient
{
public:
    static constexpr juce::uint32 holdMs = 120;

    /** label: "IN" or "OUT"; description: what a screen reader says. */
    ActivityLamp (const juce::String& label, const juce::String& description);

    void update (uint32_t count, juce::uint32 nowMs);
    bool isLit() const noexcept { return lit; }

    /** Amber, with the given tooltip, while something needs the user's notice; an empty text puts
        the lamp back to its usual red and clears the tooltip. */
    void setWarning (const juce::String& tooltip);
    bool isWarning() const noexcept { return warning; }
    uint32_t getSeenCount() const noexcept { return lastCount; }

    void paint (juce::Graphics& g) override;
    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;

private:
    const juce::String label;
    uint32_t lastCount = 0;
    bool seenCount = false, lit = false, warning = false;
    juce::uint32 litAt = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ActivityLamp)
};
