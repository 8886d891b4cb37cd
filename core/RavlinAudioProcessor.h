#pragma once

#include "instrument/Bank_Program.h"
#include "instrument/ParameterTable.h"

#include <juce_audio_processors/juce_audio_processors.h>

/** The object the host loads. It makes no sound: audio passes through unchanged. */
class RavlinAudioProcessor : public juce::AudioProcessor
{
public:
    static constexpr int numPresets = Bank_Program::numPrograms;

    RavlinAudioProcessor();
    ~RavlinAudioProcessor() override;

    const juce::String getName() const override;
    void prepareToPlay (double sampleRate, int samplesPerBlock) override;
    void releaseResources() override;
    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;
    void processBlock (juce::AudioBuffer<float>& audio, juce::MidiBuffer& midi) override;
    using juce::AudioProcessor::processBlock;

    bool acceptsMidi() const override { return true; }
    bool producesMidi() const override { return true; }
    bool isMidiEffect() const override { return false; }
    double getTailLengthSeconds() const override { return 0.0; }

    bool hasEditor() const override { return true; }
    juce::AudioProcessorEditor* createEditor() override;

    int getNumPrograms() override { return numPresets; }
    int getCurrentProgram() override;
    void setCurrentProgram (int index) override;
    const juce::String getProgramName (int index) override;
    void changeProgramName (int index, const juce::String& newName) override;

    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;

    const ravlin::ParameterTable& getParameterTable() const noexcept { return parameterTable; }
    Bank_Program& getPresetBank() noexcept { return presetBank; }

private:
    ravlin::ParameterTable parameterTable;
    Bank_Program presetBank{"Program Bank"};
    int currentPreset = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (RavlinAudioProcessor)
};
