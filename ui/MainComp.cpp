#include "ui/MainComp.h"
#include "ui/Fonts.h"

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
        transfer = std::make_unique<TransferProgress> (processor->getHub(), *this);
        banksButton.onClick = [this]
        {
            auto& hub = processor->getHub();
            const auto bank = juce::jlimit (0, 7, hub.currentBank.load());
            const auto name =
                bank < 4 ? "User Bank " + juce::String (bank + 1) : "Factory Bank " + juce::String (bank - 3);
            juce::Component::SafePointer<MainComp> self (this);
            TransferProgress::buildBankMenu (name).showMenuAsync (
                juce::PopupMenu::Options().withTargetComponent (&banksButton),
                [self] (int item)
                {
                    const auto [code, firstBank] = TransferProgress::transferForMenuItem (item);
                    if (self != nullptr && code >= 0)
                        self->transfer->start (code, firstBank);
                });
        };
        libraryButton.onClick = [this] { showLibrary(); };
        addAndMakeVisible (libraryButton);
        addAndMakeVisible (midiButton);
        addAndMakeVisible (scanButton);
        addAndMakeVisible (banksButton);
        startTimerHz (30);
    }
    setSize (defaultWidth, defaultHeight);
}

void MainComp::timerCallback()
{
    for (auto code : processor->getHub().takeEvents())
        transfer->handleEvent (code);
}

void MainComp::resized()
{
    libraryButton.setBounds (getWidth() - 330, 10, 70, 22);
    banksButton.setBounds (getWidth() - 250, 10, 70, 22);
    midiButton.setBounds (getWidth() - 170, 10, 70, 22);
    scanButton.setBounds (getWidth() - 90, 10, 70, 22);
}

MainComp::~MainComp()
{
    stopTimer();
    libraryWindow.reset(); // writes the library back
    transfer.reset();
    midiSetup.reset();
    if (processor != nullptr)
        processor->getHub().saveLayout();
}

void MainComp::showLibrary()
{
    if (processor == nullptr)
        return;
    if (libraryWindow == nullptr)
        libraryWindow = std::make_unique<Lib_Manager_Win> (*processor, Lib_Manager_Comp::libraryFolderOf (*processor));
    libraryWindow->present();
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
    g.setFont (juce::Font (ravlin::arialName(), 28.0f, juce::Font::bold));
    g.drawText ("PROPHET 12 Ravlin", getLocalBounds().removeFromTop (80), juce::Justification::centred);

    if (processor == nullptr)
        return;
    g.setFont (juce::Font (ravlin::arialName(), 16.0f, juce::Font::plain));
    g.setColour (juce::Colours::grey);
    const auto preset = processor->getProgramName (processor->getCurrentProgram()).trimEnd();
    g.drawText ("Version " + juce::String (JucePlugin_VersionString) + "  -  preset: " + preset,
                getLocalBounds().withTrimmedTop (80).removeFromTop (30), juce::Justification::centred);
}
