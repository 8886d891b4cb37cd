#include "ui/editor/RavlinAudioProcessorEditor.h"

RavlinAudioProcessorEditor::RavlinAudioProcessorEditor (RavlinAudioProcessor& owner)
    : juce::AudioProcessorEditor (owner), processor (owner)
{
    constrainer.setSizeLimits (minWidth, minHeight, maxWidth, maxHeight);
    setConstrainer (&constrainer);

    addAndMakeVisible (mainComp);
    addAndMakeVisible (corner);
    mainComp.addChangeListener (this);
    setSize (mainComp.getWidth(), mainComp.getHeight());
}

RavlinAudioProcessorEditor::~RavlinAudioProcessorEditor()
{
    mainComp.removeChangeListener (this);
}

void RavlinAudioProcessorEditor::changeListenerCallback (juce::ChangeBroadcaster*)
{
    setSize (mainComp.getWidth(), mainComp.getHeight());
}

void RavlinAudioProcessorEditor::resized()
{
    mainComp.setBounds (getLocalBounds());
    corner.setBounds (getWidth() - cornerSize, getHeight() - cornerSize, cornerSize, cornerSize);
    corner.toFront (false);
}

// The processor's editor is made here, in the view layer, so that the processor and the layers
// below it never include a view.
juce::AudioProcessorEditor* RavlinAudioProcessor::createEditor()
{
    return new RavlinAudioProcessorEditor (*this);
}
