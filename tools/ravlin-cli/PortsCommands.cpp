#include "PortsCommands.h"

#include "CliCommands.h"
#include "CliJson.h"
#include "InstrumentLink.h"

using namespace instrumentLink;

int listMidiPorts (const juce::StringArray& args, std::ostream& out, std::ostream& err, const SystemMidiDevices& system)
{
    bool detect = false, json = false;
    for (int i = 1; i < args.size(); ++i)
    {
        if (args[i] == "--detect")
            detect = true;
        else if (args[i] == "--json")
            json = true;
        else
        {
            err << "ravlin-cli: unexpected " << args[i] << '\n' << usageOf ("ports");
            return 2;
        }
    }

    juce::ScopedJuceInitialiser_GUI messageThread;
    MidiCntrState hub (systemDevices (system), juce::File()); // the plug-in's files stay untouched
    auto& devices = hub.getPorts().getDevices();
    const auto inputs = devices.inputNames(), outputs = devices.outputNames();
    if (!json)
    {
        out << "Inputs:\n";
        for (const auto& name : inputs)
            out << "  " << name << '\n';
        out << "Outputs:\n";
        for (const auto& name : outputs)
            out << "  " << name << '\n';
        if (detect)
            out << "Models:\n";
        out << std::flush;
    }

    // Every input with an output of the same name, each name once, asked one after the other.
    juce::Array<juce::var> models;
    for (int i = 0; detect && i < inputs.size(); ++i)
    {
        const auto inputPort = MIDI_PORTS_Control::findPort (inputs, inputs[i]);
        const auto outputPort = MIDI_PORTS_Control::findPort (outputs, inputs[i]);
        if (inputPort != i + 1 || outputPort == 0)
            continue;
        // The pair before is closed first: a late reply of its instrument finds no open input.
        hub.selectInputPort (0);
        hub.selectOutputPort (0);
        const auto identified = openPorts (hub, inputPort, outputPort, {});
        const auto model = hub.getModelDetector().getDetected();
        const bool opened = hub.getPorts().inputOpen && hub.getPorts().outputOpen;
        const bool answered = opened && identified.state == ModelDetector::State::detected && model.has_value();
        if (json)
        {
            auto entry = cliJson::object();
            cliJson::set (entry, "port", inputs[i]);
            cliJson::set (entry, "answer", !opened ? "didNotOpen" : answered ? "identified" : "noAnswer");
            cliJson::set (entry, "model",
                          answered ? juce::var (juce::String (ravlin::modelName (*model))) : juce::var());
            models.add (entry);
            continue;
        }
        out << "  " << inputs[i] << ": ";
        if (!opened)
            out << "did not open\n";
        else if (answered)
            out << ravlin::modelName (*model) << '\n';
        else
            out << "no answer\n";
        out << std::flush;
    }
    hub.selectInputPort (0);
    hub.selectOutputPort (0);

    if (json)
    {
        const auto names = [] (const juce::StringArray& list)
        {
            juce::Array<juce::var> array;
            for (const auto& name : list)
                array.add (name);
            return array;
        };
        auto document = cliJson::object();
        cliJson::set (document, "inputs", names (inputs));
        cliJson::set (document, "outputs", names (outputs));
        if (detect)
            cliJson::set (document, "models", models);
        cliJson::writeDocument (out, document);
    }
    return 0;
}

int prepareFirstRun (const juce::File& applicationDataFolder, MidiDeviceSet& system, std::ostream& out,
                     std::ostream& err)
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
        err << "ravlin-cli: could not write " << files.portsFile().getFullPathName() << '\n';
        return 1;
    }
    out << "No MIDI devices here: the editor starts connected to its built-in virtual instrument (\"" << name
        << "\"), written to " << files.portsFile().getFullPathName()
        << ". Choose other ports with the editor's MIDI button.\n";
    return 0;
}

int firstRun (std::ostream& out, std::ostream& err)
{
    JuceMidiDevices system;
    return prepareFirstRun (SettingsFiles::defaultApplicationDataFolder(), system, out, err);
}
