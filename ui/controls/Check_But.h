#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** A check box with its text: a press toggles it, repaints and broadcasts (synchronously). */
class Check_But : public juce::Component, public juce::ChangeBroadcaster
{
public:
    explicit Check_But (const juce::String& text);

    bool isTicked() const noexcept { return ticked; }
    void setTicked (bool shouldBeTicked);
    const juce::String& getText() const noexcept { return text; }

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;

private:
    const juce::String text;
    bool ticked = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Check_But)
};
