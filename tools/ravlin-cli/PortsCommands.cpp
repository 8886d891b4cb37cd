#include "PortsCommands.h"

#include "InstrumentLink.h"

using namespace instrumentLink;

int listMidiPorts (const juce::StringArray& args, std::ostream& out, std::ostream& err, const SystemMidiDevices& system)
{
    bool detect = false;
    for (int i = 1; i < args.size(); ++i)
    {
        if (args[i] != "--detect")
        {
            err << "ravlin-cli: unexpected " << args[i] << "\nusage: ravlin-cli ports [--detect]\n";
            return 2;
        }
        detect = true;
    }

    juce::ScopedJuceInitialiser_GUI messageThread;
    MidiCntrState hub (systemDevices (system), juce::File()); // the plug-in's files stay untouched
    auto& devices = hub.getPorts().getDevices();
    const auto inputs = devices.inputNames(), outputs = devices.outputNames();
    out << "Inputs:\n";
    for (const auto& name : inputs)
        out << "  " << name << '\n';
    out << "Outputs:\n";
    for (const auto& name : outputs)
        out << "  " << name << '\n';
    if (!detect)
        return 0;

    // Every input with an output of the same name, each name once, asked one after the other.
    out << "Models:\n" << std::flush;
    for (int i = 0; i < inputs.size(); ++i)
    {
        const auto inputPort = MIDI_PORTS_Control::findPort (inputs, inputs[i]);
        const auto outputPort = MIDI_PORTS_Control::findPort (outputs, inputs[i]);
        if (inputPort != i + 1 || outputPort == 0)
            continue;
        // The pair before is closed first: a late reply of its instrument finds no open input.
        hub.selectInputPort (0);
        hub.selectOutputPort (0);
        const auto identified = openPorts (hub, inputPort, outputPort, {});
        out << "  " << inputs[i] << ": ";
        if (!hub.getPorts().inputOpen || !hub.getPorts().outputOpen)
            out << "did not open\n";
        else if (const auto model = hub.getModelDetector().getDetected();
                 identified.state == ModelDetector::State::detected && model.has_value())
            out << ravlin::modelName (*model) << '\n';
        else
            out << "no answer\n";
        out << std::flush;
    }
    hub.selectInputPort (0);
    hub.selectOutputPort (0);
    return 0;
}

int prepareFirstRun (const juce::File& applicationDataFolder, MidiDeviceSet& system, std::ostream& out)
{
    const SettingsFiles files (applicationDataFolder);
    if (!files.keepsFiles() || files.portsFile().existsAsFile())
        return 0;
    if (!system.inputNames().isEmpty() || !system.outputNames().isEmpty())
    {
        out << "MIDI devices found: choose the instrument's ports with the editor's MIDI button.\n";
        return 0;
    }
    const juce::String name (VirtualInstrument::portName);
    if (!files.savePorts ({name, name, "NONE", "0"}))
    {
        out << "Could not write " << files.portsFile().getFullPathName() << '\n';
        return 1;
    }
    out << "No MIDI devices here: the editor starts connected to its built-in virtual instrument (\"" << name
        << "\"), written to " << files.portsFile().getFullPathName()
        << ". Choose other ports with the editor's MIDI button.\n";
    return 0;
}

int firstRun (std::ostream& out)
{
    JuceMidiDevices system;
    return prepareFirstRun (SettingsFiles::defaultApplicationDataFolder(), system, out);
}
