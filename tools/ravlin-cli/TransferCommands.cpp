#include "TransferCommands.h"

#include "core/MidiCntrState.h"
#include "core/SafeFileWrite.h"

#include <juce_events/juce_events.h>

namespace
{
struct Plan
{
    juce::String input, output, file;
    std::vector<std::pair<int, int>> receives; // (kind, first bank), one after the other
    std::vector<int> banks;                    // what ends up in the file, in order
    VirtualInstrument::WireSpeed wire = VirtualInstrument::WireSpeed::unlimited;
    double timeoutSeconds = 5.0;
};

bool parse (const juce::StringArray& args, Plan& plan, std::ostream& err)
{
    for (int i = 1; i < args.size(); ++i)
    {
        const auto& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if ((a == "--in" || a == "--out" || a == "--banks" || a == "--wire" || a == "--timeout") && !hasValue)
        {
            err << "ravlin-cli: " << a << " needs a value\n";
            return false;
        }
        if (a == "--in")
            plan.input = args[++i];
        else if (a == "--out")
            plan.output = args[++i];
        else if (a == "--banks")
        {
            const auto which = args[++i];
            if (which == "user")
                plan.receives = {{MidiCntrState::receiveAllUserBanks, 0}}, plan.banks = {0, 1, 2, 3};
            else if (which == "factory")
                plan.receives = {{MidiCntrState::receiveAllFactoryBanks, 4}}, plan.banks = {4, 5, 6, 7};
            else if (which == "all")
                plan.receives = {{MidiCntrState::receiveAllUserBanks, 0}, {MidiCntrState::receiveAllFactoryBanks, 4}},
                plan.banks = {0, 1, 2, 3, 4, 5, 6, 7};
            else if (which.containsOnly ("12345678") && which.length() == 1)
                plan.receives = {{0, which.getIntValue() - 1}}, plan.banks = {which.getIntValue() - 1};
            else
            {
                err << "ravlin-cli: --banks takes user, factory, all or a bank number 1 to 8\n";
                return false;
            }
        }
        else if (a == "--wire")
        {
            const auto speed = args[++i];
            if (speed == "din")
                plan.wire = VirtualInstrument::WireSpeed::din;
            else if (speed == "usb")
                plan.wire = VirtualInstrument::WireSpeed::usb;
            else if (speed != "none")
            {
                err << "ravlin-cli: --wire takes din, usb or none\n";
                return false;
            }
        }
        else if (a == "--timeout")
        {
            plan.timeoutSeconds = args[++i].getDoubleValue();
            if (plan.timeoutSeconds <= 0)
            {
                err << "ravlin-cli: --timeout takes a number of seconds\n";
                return false;
            }
        }
        else if (a.startsWith ("--") || plan.file.isNotEmpty())
        {
            err << "ravlin-cli: unexpected " << a << "\n";
            return false;
        }
        else
            plan.file = a;
    }

    if (plan.input.isEmpty() || plan.output.isEmpty() || plan.receives.empty() || plan.file.isEmpty())
    {
        err << "usage: ravlin-cli receive --in NAME --out NAME --banks user|factory|all|1..8 [--wire din|usb|none] "
               "[--timeout SECONDS] FILE\n";
        return false;
    }
    return true;
}
} // namespace

int listMidiPorts (std::ostream& out)
{
    juce::ScopedJuceInitialiser_GUI messageThread;
    MidiCntrState hub (std::make_unique<JuceMidiDevices>(), juce::File()); // the plug-in's files stay untouched
    auto& devices = hub.getPorts().getDevices();
    out << "Inputs:\n";
    for (const auto& name : devices.inputNames())
        out << "  " << name << '\n';
    out << "Outputs:\n";
    for (const auto& name : devices.outputNames())
        out << "  " << name << '\n';
    return 0;
}

int receiveBanks (const juce::StringArray& args, std::ostream& out, std::ostream& err)
{
    Plan plan;
    if (!parse (args, plan, err))
        return 2;

    juce::ScopedJuceInitialiser_GUI messageThread;
    MidiCntrState hub (std::make_unique<JuceMidiDevices>(), juce::File()); // the plug-in's files stay untouched
    auto& devices = hub.getPorts().getDevices();
    const auto inputPort = MIDI_PORTS_Control::findPort (devices.inputNames(), plan.input);
    const auto outputPort = MIDI_PORTS_Control::findPort (devices.outputNames(), plan.output);
    if (inputPort == 0 || outputPort == 0)
    {
        err << "ravlin-cli: no MIDI " << (inputPort == 0 ? "input" : "output") << " named \""
            << (inputPort == 0 ? plan.input : plan.output) << "\" (see ravlin-cli ports)\n";
        return 1;
    }

    hub.getVirtualInstrument().setWireSpeed (plan.wire);
    hub.selectInputPort (inputPort);
    hub.selectOutputPort (outputPort);
    if (!hub.getPorts().inputOpen || !hub.getPorts().outputOpen)
    {
        err << "ravlin-cli: the MIDI ports did not open\n";
        return 1;
    }

    const auto start = juce::Time::getMillisecondCounterHiRes();
    const int total = (int)plan.banks.size() * 99;
    int received = 0;

    for (const auto& [kind, firstBank] : plan.receives)
    {
        hub.startBankReceive (kind, firstBank);
        auto lastReply = juce::Time::getMillisecondCounterHiRes();
        bool done = false;

        while (!done)
        {
            for (auto code : hub.takeEvents())
            {
                if (HubEvent::kindOf (code) == 0x170)
                {
                    lastReply = juce::Time::getMillisecondCounterHiRes();
                    if (++received % 99 == 0 || received == 1)
                        out << "received " << received << " of " << total << " programs\n" << std::flush;
                }
                else if (code == HubEvent::bankDone)
                    done = true;
            }

            // The hub waits for ever, as the instrument may be slow; a tool must give up some time.
            if (!done && juce::Time::getMillisecondCounterHiRes() - lastReply > plan.timeoutSeconds * 1000.0)
            {
                err << "ravlin-cli: the instrument did not answer within " << plan.timeoutSeconds
                    << " s (is it on, and are its SysEx settings enabled?)\n";
                return 1;
            }
            juce::Thread::sleep (2);
        }
    }

    juce::MemoryOutputStream file;
    for (auto bank : plan.banks)
        for (int program = 0; program < 99; ++program)
        {
            const auto dump = ravlin::packProgramDump (hub.banks[(size_t)bank]->getProgram (program), bank, program);
            file.write (dump.data(), dump.size());
        }

    const auto target = juce::File::getCurrentWorkingDirectory().getChildFile (plan.file);
    if (!ravlin::replaceFileSafely (target, file.getData(), file.getDataSize()))
    {
        err << "ravlin-cli: cannot write " << plan.file << '\n';
        return 1;
    }

    out << "wrote " << total << " programs to " << target.getFullPathName() << " in "
        << juce::String ((juce::Time::getMillisecondCounterHiRes() - start) / 1000.0, 2) << " s\n";
    return 0;
}
