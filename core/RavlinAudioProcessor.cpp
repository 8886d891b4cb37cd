#include "core/RavlinAudioProcessor.h"

#include "core/RavlinAudioProcessorEditor.h"

RavlinAudioProcessor::RavlinAudioProcessor()
    : juce::AudioProcessor (BusesProperties()
                                .withInput ("Input", juce::AudioChannelSet::stereo(), true)
                                .withOutput ("Output", juce::AudioChannelSet::stereo(), true))
{
    presetBank.initialise (false);
}

RavlinAudioProcessor::~RavlinAudioProcessor() = default;

const juce::String RavlinAudioProcessor::getName() const
{
    return "Prophet 12 Ravlin";
}

void RavlinAudioProcessor::prepareToPlay (double, int)
{
    setLatencySamples (0);
}

void RavlinAudioProcessor::releaseResources() {}

// Only stereo in and stereo out: hosts read the largest accepted layout as the plug-in's
// channel counts, and the instrument's editor has no use for any other.
bool RavlinAudioProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    return layouts.getMainInputChannelSet() == juce::AudioChannelSet::stereo() &&
           layouts.getMainOutputChannelSet() == juce::AudioChannelSet::stereo();
}

void RavlinAudioProcessor::processBlock (juce::AudioBuffer<float>& audio, juce::MidiBuffer& midi)
{
    juce::ScopedNoDenormals noDenormals;

    for (int channel = getTotalNumInputChannels(); channel < getTotalNumOutputChannels(); ++channel)
        audio.clear (channel, 0, audio.getNumSamples());

    // Host MIDI goes to the instrument, not back to the host.
    midi.clear();
}

juce::AudioProcessorEditor* RavlinAudioProcessor::createEditor()
{
    return new RavlinAudioProcessorEditor (*this);
}

int RavlinAudioProcessor::getCurrentProgram()
{
    if (currentPreset < 0)
        currentPreset = 0;
    return currentPreset;
}

void RavlinAudioProcessor::setCurrentProgram (int index)
{
    if (!juce::isPositiveAndBelow (index, numPresets))
        return;
    currentPreset = index;
    presetBank.setCurrent (presetBank.getProgram (index));
}

const juce::String RavlinAudioProcessor::getProgramName (int index)
{
    return presetBank.getProgramName (index);
}

void RavlinAudioProcessor::changeProgramName (int index, const juce::String& newName)
{
    presetBank.setProgramName (index, newName);
    setCurrentProgram (index);
}

void RavlinAudioProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    destData.reset();
}

void RavlinAudioProcessor::setStateInformation (const void*, int) {}

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new RavlinAudioProcessor();
}
