#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class RavlinAudioProcessor;

/** "Randomise..." and "Mutate...": a tick for each group of parameters and for each layer, the
    amount (mutate only), the seed the next Apply uses, and Apply. Each Apply makes one program,
    one undo step and one edit-buffer dump, and shows a new seed for the next. */
class ExploreDialog : public juce::Component
{
public:
    enum class Mode
    {
        randomise,
        mutate
    };

    ExploreDialog (RavlinAudioProcessor& processor, Mode mode);

    void resized() override;
    void paint (juce::Graphics& g) override;

    /** What Apply does, for the button and for tests. */
    void apply();

    juce::ToggleButton& groupTick (int group) { return *groupTicks[group]; }
    juce::Slider& getAmount() noexcept { return amount; }
    juce::TextEditor& getSeed() noexcept { return seed; }
    const juce::Label& getStatus() const noexcept { return status; }

private:
    RavlinAudioProcessor& processor;
    const Mode mode;
    juce::OwnedArray<juce::ToggleButton> groupTicks;
    juce::ToggleButton layerA{"Layer A"}, layerB{"Layer B"};
    juce::TextButton allButton{"All"}, defaultsButton{"Defaults"}, newSeedButton{"New seed"}, applyButton{"Apply"};
    juce::Label amountLabel{{}, "Amount"}, seedLabel{{}, "Seed"}, status;
    juce::Slider amount{juce::Slider::LinearHorizontal, juce::Slider::TextBoxRight};
    juce::TextEditor seed;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ExploreDialog)
};
