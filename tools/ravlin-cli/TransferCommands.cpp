#include "TransferCommands.h"

#include "library/ProgramFiles.h"

#include "core/MidiCntrState.h"
#include "library/SafeFileWrite.h"

#include <juce_events/juce_events.h>

#include "CliCommands.h"
#include "InstrumentLink.h"

using namespace instrumentLink;

namespace
{
struct Plan
{
    juce::String input, output, file;
    std::vector<std::pair<int, int>> receives; // (kind, first bank), one after the other
    std::vector<int> banks;                    // what ends up in the file, in order
    Link link;
};

bool parse (const juce::StringArray& args, Plan& plan, std::ostream& err)
{
    for (int i = 1; i < args.size(); ++i)
    {
        const auto& a = args[i];
        if (const auto o = parseLinkOption (args, i, plan.link, err); o != Option::notMine)
        {
            if (o == Option::bad)
                return false;
            continue;
        }
        const bool hasValue = i + 1 < args.size();
        if ((a == "--in" || a == "--out" || a == "--banks") && !hasValue)
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
        else if (a.startsWith ("--") || plan.file.isNotEmpty())
        {
            err << "ravlin-cli: unexpected " << a << "\n" << usageOf ("receive");
            return false;
        }
        else
            plan.file = a;
    }

    if (plan.input.isEmpty() || plan.output.isEmpty() || plan.receives.empty() || plan.file.isEmpty())
    {
        err << usageOf ("receive");
        return false;
    }
    return true;
}
} // namespace

int receiveBanks (const juce::StringArray& args, std::ostream& out, std::ostream& err, const SystemMidiDevices& system)
{
    Plan plan;
    if (!parse (args, plan, err))
        return 2;

    juce::ScopedJuceInitialiser_GUI messageThread;
    MidiCntrState hub (systemDevices (system), juce::File()); // the plug-in's files stay untouched
    auto& devices = hub.getPorts().getDevices();
    const auto inputPort = MIDI_PORTS_Control::findPort (devices.inputNames(), plan.input);
    const auto outputPort = MIDI_PORTS_Control::findPort (devices.outputNames(), plan.output);
    if (inputPort == 0 || outputPort == 0)
    {
        err << "ravlin-cli: no MIDI " << (inputPort == 0 ? "input" : "output") << " named \""
            << (inputPort == 0 ? plan.input : plan.output) << "\" (see ravlin-cli ports)\n";
        return 1;
    }

    const auto identified = openPorts (hub, inputPort, outputPort, plan.link);
    if (!hub.getPorts().inputOpen || !hub.getPorts().outputOpen)
    {
        err << "ravlin-cli: the MIDI ports did not open\n";
        return 1;
    }
    // What happens on the way goes where errors go; out holds the result alone, and nothing when
    // the command fails.
    sayModel (hub, identified, plan.output, err, err);

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
                        err << "received " << received << " of " << total << " programs\n" << std::flush;
                }
                else if (code == HubEvent::bankDone)
                    done = true;
            }

            // The hub waits for ever, as the instrument may be slow; a tool must give up some time.
            if (!done && juce::Time::getMillisecondCounterHiRes() - lastReply > plan.link.timeoutSeconds * 1000.0)
            {
                sayNoAnswer (hub, identified, plan.link.timeoutSeconds, err);
                return 1;
            }
            juce::Thread::sleep (2);
        }
    }

    juce::MemoryOutputStream file;
    for (auto bank : plan.banks)
        for (int program = 0; program < 99; ++program)
        {
            const auto dump = ravlin::packProgramDump (hub.banks[(size_t)bank]->getProgram (program), bank, program,
                                                       hub.deviceByte());
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

namespace
{
struct TransmitPlan
{
    juce::String input, output, file;
    int toBank = -1; // -1: each dump's own bank
    bool confirmed = false, verify = false;
    Link link;
};

bool parseTransmit (const juce::StringArray& args, TransmitPlan& plan, std::ostream& err)
{
    for (int i = 1; i < args.size(); ++i)
    {
        const auto& a = args[i];
        if (const auto o = parseLinkOption (args, i, plan.link, err); o != Option::notMine)
        {
            if (o == Option::bad)
                return false;
            continue;
        }
        const bool takesValue = a == "--in" || a == "--out" || a == "--to-bank";
        if (takesValue && i + 1 >= args.size())
        {
            err << "ravlin-cli: " << a << " needs a value\n";
            return false;
        }
        if (a == "--in")
            plan.input = args[++i];
        else if (a == "--out")
            plan.output = args[++i];
        else if (a == "--yes")
            plan.confirmed = true;
        else if (a == "--verify")
            plan.verify = true;
        else if (a == "--to-bank")
        {
            const auto bank = args[++i];
            if (bank.length() != 1 || !bank.containsOnly ("12345678"))
            {
                err << "ravlin-cli: --to-bank takes a bank number 1 to 8\n";
                return false;
            }
            plan.toBank = bank.getIntValue() - 1;
        }
        else if (a.startsWith ("--") || plan.file.isNotEmpty())
        {
            err << "ravlin-cli: unexpected " << a << "\n" << usageOf ("transmit");
            return false;
        }
        else
            plan.file = a;
    }
    if (plan.output.isEmpty() || plan.file.isEmpty())
    {
        err << usageOf ("transmit");
        return false;
    }
    if (plan.verify && plan.input.isEmpty())
    {
        // Checked before anything is sent: the read-back needs the instrument's replies.
        err << "ravlin-cli: --verify needs --in\n";
        return false;
    }
    return true;
}
} // namespace

int transmitBanks (const juce::StringArray& args, std::istream& in, std::ostream& out, std::ostream& err,
                   const SystemMidiDevices& system)
{
    TransmitPlan plan;
    if (!parseTransmit (args, plan, err))
        return 2;

    const auto source = juce::File::getCurrentWorkingDirectory().getChildFile (plan.file);
    const auto data = ProgramFiles::readFile (source);
    if (!data.has_value())
    {
        err << "ravlin-cli: cannot read " << plan.file << ": " << ProgramFiles::whyUnreadable (source) << '\n';
        return 1;
    }
    // Only well-formed program dumps, read as the plug-in reads a bank file.
    const auto dumps = ProgramFiles::readProgramBank (*data);
    std::vector<BankTransmitter::Item> items;
    for (int i = 0; i < dumps.count; ++i)
    {
        const auto* dump = dumps.joined.data() + (size_t)i * ravlin::sysex::programDumpSize;
        BankTransmitter::Item item;
        item.bank = plan.toBank >= 0 ? plan.toBank : dump[4];
        item.program = plan.toBank >= 0 ? i : dump[5];
        if (item.bank >= 8 || item.program >= 99)
            continue; // a bank holds 99 programs; the rest of the file is not sent
        item.image.resize (1024);
        ravlin::unpackImage (dump + ravlin::sysex::programDumpDataOffset, (size_t)ravlin::sysex::packedSize,
                             item.image.data());
        items.push_back (std::move (item));
    }
    if (items.empty())
    {
        err << "ravlin-cli: " << plan.file << " holds no program dumps for the eight banks\n";
        return 1;
    }

    if (!plan.confirmed)
    {
        // The question goes where errors go: what the command reports stays on out alone.
        err << "This overwrites " << items.size() << " programs in the instrument's memory. Continue? [y/N] "
            << std::flush;
        std::string answer;
        if (!std::getline (in, answer) || (answer != "y" && answer != "Y" && answer != "yes"))
        {
            err << "ravlin-cli: nothing sent\n";
            return 1;
        }
    }

    juce::ScopedJuceInitialiser_GUI messageThread;
    MidiCntrState hub (systemDevices (system), juce::File()); // the plug-in's files stay untouched
    auto& devices = hub.getPorts().getDevices();
    const auto outputPort = MIDI_PORTS_Control::findPort (devices.outputNames(), plan.output);
    const auto inputPort = plan.input.isEmpty() ? 0 : MIDI_PORTS_Control::findPort (devices.inputNames(), plan.input);
    if (outputPort == 0 || (plan.input.isNotEmpty() && inputPort == 0))
    {
        err << "ravlin-cli: no MIDI " << (outputPort == 0 ? "output" : "input") << " named \""
            << (outputPort == 0 ? plan.output : plan.input) << "\" (see ravlin-cli ports)\n";
        return 1;
    }
    // A system port is paced at the link's speed: DIN unless told it is USB.
    hub.setLinkSpeed (plan.link.wire == VirtualInstrument::WireSpeed::usb ? LinkSpeed::Kind::usb
                                                                          : LinkSpeed::Kind::din);
    const auto identified = openPorts (hub, inputPort, outputPort, plan.link);
    if (hub.getPorts().outputOpen)
        sayModel (hub, identified, plan.output, err, err); // on the way, as receive's

    const auto start = juce::Time::getMillisecondCounterHiRes();
    const auto total = (int)items.size();
    const auto sentItems = items;
    if (!hub.transmitPrograms (std::move (items), true))
    {
        err << "ravlin-cli: the MIDI output did not open\n";
        return 1;
    }
    int sent = 0;
    for (bool done = false; !done;)
    {
        for (auto code : hub.takeEvents())
        {
            if (HubEvent::kindOf (code) == 0x170 && (++sent % 99 == 0 || sent == 1 || sent == total))
                err << "sent " << sent << " of " << total << " programs\n" << std::flush;
            done = done || code == HubEvent::bankDone;
        }
        juce::Thread::sleep (2);
    }
    // With a read-back to come this is on the way too: the result is what it finds.
    (plan.verify ? err : out) << "sent " << total << " programs in "
                              << juce::String ((juce::Time::getMillisecondCounterHiRes() - start) / 1000.0, 2)
                              << " s\n";

    if (!plan.verify)
        return 0;

    // Read every program back, one request at a time, and compare.
    int mismatches = 0;
    for (const auto& item : sentItems)
    {
        const auto before = hub.takeEvents();
        juce::ignoreUnused (before);
        hub.requestProgram (item.bank, item.program);
        bool answered = false;
        const auto deadline = juce::Time::getMillisecondCounterHiRes() + plan.link.timeoutSeconds * 1000.0;
        while (!answered && juce::Time::getMillisecondCounterHiRes() < deadline)
        {
            for (auto code : hub.takeEvents())
                answered = answered || code == HubEvent::programLoaded;
            juce::Thread::sleep (1);
        }
        if (!answered)
        {
            sayNoAnswer (hub, identified, plan.link.timeoutSeconds, err);
            return 1;
        }
        if (hub.getBankProgram (item.bank, item.program) != item.image)
            ++mismatches;
    }
    if (mismatches > 0)
    {
        err << "ravlin-cli: " << mismatches << " of " << total << " programs read back differently\n";
        return 1;
    }
    out << "verified " << total << " programs\n";
    return 0;
}
