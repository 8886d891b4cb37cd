#include "core/RavlinAudioProcessorEditor.h"

RavlinAudioProcessorEditor::RavlinAudioProcessorEditor (RavlinAudioProcessor& owner)
    : juce::AudioProcessorEditor (owner), processor (owner)
{
    setResizeLimits (454, 298, 4000, 1082);
    setResizable (true, true);
    setSize (defaultWidth, defaultHeight);
}

RavlinAudioProcessorEditor::~RavlinAudioProcessorEditor() = default;

void RavlinAudioProcessorEditor::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);
    g.setColour (juce::Colours::white);
    g.setFont (juce::Font ("Arial", 28.0f, juce::Font::bold));
    g.drawText ("PROPHET 12 Ravlin", getLocalBounds().removeFromTop (80), juce::Justification::centred);

    g.setFont (juce::Font ("Arial", 16.0f, juce::Font::plain));
    g.setColour (juce::Colours::grey);
    g.drawText ("Version " + juce::String (JucePlugin_VersionString) +
                    "  -  preset: " + processor.getProgramName (processor.getCurrentProgram()).trimEnd(),
                getLocalBounds().withTrimmedTop (80).removeFromTop (30), juce::Justification::centred);
}
