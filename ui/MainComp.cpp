#include "ui/MainComp.h"

#include "core/RavlinAudioProcessor.h"

MainComp::MainComp (RavlinAudioProcessor* owner) : processor (owner)
{
    if (processor != nullptr)
    {
        processor->getHub().loadLayout();
        midiSetup = std::make_unique<MidiSetupController> (processor->getHub(), *this);
        midiButton.onClick = [this]
        {
            if (midiSetup->isSetupShown())
                midiSetup->hideSetup();
            else
                midiSetup->showSetup();
        };
        scanButton.onClick = [this] { midiSetup->apply (MidiSetupController::scanToggle, 0); };
        addAndMakeVisible (midiButton);
        addAndMakeVisible (scanButton);
    }
    setSize (defaultWidth, defaultHeight);
}

void MainComp::resized()
{
    midiButton.setBounds (getWidth() - 170, 10, 70, 22);
    scanButton.setBounds (getWidth() - 90, 10, 70, 22);
}

MainComp::~MainComp()
{
    midiSetup.reset();
    if (processor != nullptr)
        processor->getHub().saveLayout();
}

void MainComp::setOwnSize (int width, int height)
{
    setSize (width, height);
    sendChangeMessage();
}

void MainComp::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);
    g.setColour (juce::Colours::white);
    g.setFont (juce::Font ("Arial", 28.0f, juce::Font::bold));
    g.drawText ("PROPHET 12 Ravlin", getLocalBounds().removeFromTop (80), juce::Justification::centred);

    if (processor == nullptr)
        return;
    g.setFont (juce::Font ("Arial", 16.0f, juce::Font::plain));
    g.setColour (juce::Colours::grey);
    const auto preset = processor->getProgramName (processor->getCurrentProgram()).trimEnd();
    g.drawText ("Version " + juce::String (JucePlugin_VersionString) + "  -  preset: " + preset,
                getLocalBounds().withTrimmedTop (80).removeFromTop (30), juce::Justification::centred);
}
