#pragma once

#include "instrument/ProgramPacking.h"

#include <juce_gui_basics/juce_gui_basics.h>

class RavlinAudioProcessor;

/** "Morph...": programs A and B (the edited program as it was when chosen, a preset or a bank
    slot) and a slider from 0 to 100 %. While the slider moves, the parameters that change go to
    the instrument as host automation does; letting go makes one undo step. */
class MorphPanel : public juce::Component
{
public:
    static constexpr int editedItem = 1, firstPresetItem = 1000,
                         firstBankItem = 2000; // bank b, program p: 2000 + 100 b + p

    explicit MorphPanel (RavlinAudioProcessor& processor);

    void resized() override;
    void paint (juce::Graphics& g) override;

    /** The program behind a picker item; empty for an unknown item. */
    ravlin::Bytes programOf (int item) const;
    /** Picks A (side 0) or B (side 1). */
    void choose (int side, int item);

    juce::Slider& getSlider() noexcept { return slider; }
    const juce::Label& getHostNote() const noexcept { return hostNote; }

    // The slider's press, moves and release.
    void pressed();
    void moved();
    void released();

private:
    void fillPicker (juce::ComboBox& picker);

    RavlinAudioProcessor& processor;
    juce::ComboBox pickA, pickB;
    juce::Label labelA{{}, "A"}, labelB{{}, "B"}, hostNote, status;
    juce::Slider slider{juce::Slider::LinearHorizontal, juce::Slider::TextBoxRight};
    ravlin::Bytes programs[2];

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MorphPanel)
};
