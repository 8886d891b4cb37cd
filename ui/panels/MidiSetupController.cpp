#include "ui/panels/MidiSetupController.h"

#include "core/MidiCntrState.h"

MidiSetupController::MidiSetupController (MidiCntrState& h, juce::Component& e) : hub (h), editor (e) {}

MidiSetupController::~MidiSetupController()
{
    cancelPendingUpdate();
    hideSetup();
    if (scan != nullptr)
        scan->removeChangeListener (this);
}

juce::Rectangle<int> MidiSetupController::scanHomeBounds (juce::Rectangle<int> editorBounds)
{
    return juce::Rectangle<int> (560, 90).withCentre ({editorBounds.getCentreX(), 0}).withY (60);
}

void MidiSetupController::showSetup()
{
    if (setup != nullptr)
        return;
    setup = std::make_unique<MIDI_Setup> (hub);
    auto& devices = hub.getPorts().getDevices();
    const auto inputs = devices.inputNames(), outputs = devices.outputNames();
    setup->setPortLists (inputs, outputs);
    setup->setPortChoices (hub.getPorts().inputOpen ? MIDI_PORTS_Control::findPort (inputs, hub.portNames[0]) : 0,
                           hub.getPorts().outputOpen ? MIDI_PORTS_Control::findPort (outputs, hub.portNames[1]) : 0);
    setup->setOpenMarks (hub.getPorts().inputOpen, hub.getPorts().outputOpen);
    setup->setOptions (hub.clockOption, hub.programChangeWithAutomation, hub.thruPortToHost, hub.thruHostToPort);

    std::array<int, 7> delays{};
    for (size_t i = 0; i < delays.size(); ++i)
        delays[i] = hub.latencyTable[i];
    setup->getLatencyPanel().fill (hub.latencyMode, hub.sampleRateIndex, delays);

    setup->addChangeListener (this);
    setup->getLatencyPanel().addChangeListener (this);
    setup->setBounds (editor.getLocalBounds());
    editor.addAndMakeVisible (*setup);
    setup->toFront (false);
}

void MidiSetupController::hideSetup()
{
    if (setup == nullptr)
        return;
    setup->removeChangeListener (this);
    setup->getLatencyPanel().removeChangeListener (this);
    editor.removeChildComponent (setup.get());
    setup.reset();
}

void MidiSetupController::closeSetup()
{
    hideSetup();
    if (hub.getPorts().inputOpen && hub.getPorts().outputOpen)
        startCheck();
}

void MidiSetupController::toggleScan()
{
    if (scan != nullptr)
    {
        scan->removeChangeListener (this);
        editor.removeChildComponent (scan.get());
        scan.reset();
        return;
    }
    scan = std::make_unique<MIDI_scan> (hub);
    scan->onVerdict = [this] (MIDI_scan::Verdict v)
    {
        if (onVerdict)
            onVerdict (v);
    };
    scan->addChangeListener (this);
    editor.addAndMakeVisible (*scan);
    scan->start (scanHomeBounds (editor.getLocalBounds()));
    scan->toFront (false);
}

void MidiSetupController::startCheck()
{
    // Whoever is on the ports now is asked who they are, too.
    if (hub.getModelDetector().getChoice() == ModelDetector::Choice::detect)
        hub.detectModel();
    if (scan != nullptr)
        toggleScan();
    toggleScan();
}

void MidiSetupController::requestAndSave()
{
    hub.requestGlobals();
    hub.saveSettings();
}

void MidiSetupController::apply (int code, int value)
{
    switch (code)
    {
        case requestOnly: hub.requestGlobals(); return;
        case MIDI_Setup::hostToPortSwitch: hub.setOption (SettingsBlock::thruHostToPort, value == 1); break;
        case MIDI_Setup::clockSwitch: hub.setOption (SettingsBlock::clockOn, value == 1); break;
        case MIDI_Setup::portToHostSwitch: hub.setOption (SettingsBlock::thruPortToHost, value == 1); break;
        case MIDI_Setup::programChangeSwitch:
            hub.setOption (SettingsBlock::programChangeWithAutomation, value == 1);
            break;
        case MIDI_Setup::inputChosen:
        case MIDI_Setup::outputChosen:
            if (code == MIDI_Setup::inputChosen)
                hub.selectInputPort (value);
            else
                hub.selectOutputPort (value);
            if (setup != nullptr)
                setup->setOpenMarks (hub.getPorts().inputOpen, hub.getPorts().outputOpen);
            if (onPortsChanged)
                onPortsChanged();
            break;
        case MIDI_Setup::okPressed:
            requestAndSave();
            hub.savePorts();
            if (!isWriteDialogShown())
            {
                closeSetupSoon = true; // not from inside the panel's own click
                triggerAsyncUpdate();
            }
            return;
        case scanToggle: toggleScan(); return;
        case sendSliderPressure: hub.sendSlider (1027, hub.sliderToHost[1]); return;
        default: return;
    }
    requestAndSave();
}

void MidiSetupController::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (setup != nullptr && source == setup.get())
    {
        apply (setup->getLastCode(), setup->getLastValue());
    }
    else if (setup != nullptr && source == &setup->getLatencyPanel())
    {
        const auto& panel = setup->getLatencyPanel();
        hub.setLatencySettings (panel.getLatencyMode(), panel.getDelays());
    }
    else if (scan != nullptr && source == scan.get())
    {
        closeScanSoon = true;
        triggerAsyncUpdate();
    }
}

void MidiSetupController::handleAsyncUpdate()
{
    if (std::exchange (closeSetupSoon, false))
        closeSetup();
    if (std::exchange (closeScanSoon, false) && scan != nullptr)
        toggleScan();
}
