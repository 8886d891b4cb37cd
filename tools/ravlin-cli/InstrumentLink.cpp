#include "InstrumentLink.h"

#include "midi/JuceMidiDevices.h"

namespace instrumentLink
{
namespace
{
/** The choice the value names, into chosen; any other value is refused naming the choices, and
    chosen is left as it was. */
template <typename Choice>
Option chooseByName (const juce::String& option, const juce::String& value,
                     std::initializer_list<std::pair<const char*, Choice>> names, Choice& chosen, std::ostream& err)
{
    juce::StringArray listed;
    for (const auto& [name, choice] : names)
    {
        if (value == name)
        {
            chosen = choice;
            return Option::taken;
        }
        listed.add (name);
    }
    err << "ravlin-cli: " << option << " takes " << listed.joinIntoString (", ", 0, listed.size() - 1) << " or "
        << listed[listed.size() - 1] << "\n";
    return Option::bad;
}
} // namespace

Option parseLinkOption (const juce::StringArray& args, int& i, Link& link, std::ostream& err)
{
    const auto& a = args[i];
    if (a != "--wire" && a != "--timeout" && a != "--model")
        return Option::notMine;
    if (i + 1 >= args.size())
    {
        err << "ravlin-cli: " << a << " needs a value\n";
        return Option::bad;
    }
    const auto value = args[++i];
    using Wire = VirtualInstrument::WireSpeed;
    using Model = ModelDetector::Choice;
    if (a == "--wire")
        return chooseByName (a, value, {{"din", Wire::din}, {"usb", Wire::usb}, {"none", Wire::unlimited}}, link.wire,
                             err);
    if (a == "--model")
        return chooseByName (a, value,
                             {{"module", Model::module}, {"keyboard", Model::keyboard}, {"detect", Model::detect}},
                             link.model, err);
    link.timeoutSeconds = value.getDoubleValue();
    if (link.timeoutSeconds <= 0)
    {
        err << "ravlin-cli: --timeout takes a number of seconds\n";
        return Option::bad;
    }
    return Option::taken;
}

std::unique_ptr<MidiDeviceSet> systemDevices (const SystemMidiDevices& system)
{
    if (system)
        return system();
    return std::make_unique<JuceMidiDevices>();
}

double now() noexcept
{
    return juce::Time::getMillisecondCounterHiRes();
}

Identified openPorts (MidiCntrState& hub, int inputPort, int outputPort, const Link& link)
{
    hub.setModelChoice (link.model);
    for (auto model : {ravlin::InstrumentModel::module, ravlin::InstrumentModel::keyboard})
        hub.getVirtualInstrument (model).setWireSpeed (link.wire);

    ReplyWatch watch (hub);
    hub.selectOutputPort (outputPort);
    const auto opening = now();
    if (inputPort != 0)
        hub.selectInputPort (inputPort);

    Identified result;
    result.state = watch.await (maxIdentifyWaitMs);
    if (result.state == ModelDetector::State::detected)
        result.milliseconds = watch.answeredAt() - opening;
    return result;
}

namespace
{
const char* const moduleFallback = "going on as the Prophet 12 Module (--model keyboard for a keyboard)";
} // namespace

void sayModel (const MidiCntrState& hub, const Identified& identified, const juce::String& port, std::ostream& out,
               std::ostream& err)
{
    out << ravlin::modelName (hub.getModel()) << " on " << port;
    if (identified.state == ModelDetector::State::detected)
        out << ": identified in " << juce::String (identified.milliseconds, 1) << " ms";
    out << '\n' << std::flush;

    if (identified.state == ModelDetector::State::noReply || identified.state == ModelDetector::State::waiting)
        err << "ravlin-cli: nothing on " << port << " answered the identity request within "
            << ModelDetector::replyTimeoutMs / 1000.0 << " s: " << moduleFallback << '\n';
    else if (identified.state == ModelDetector::State::notAsked)
        err << "ravlin-cli: without an input (--in) nobody can be asked which model is on " << port << ": "
            << moduleFallback << '\n';
}

void sayNoAnswer (const MidiCntrState& hub, const Identified& identified, double seconds, std::ostream& err)
{
    err << "ravlin-cli: the instrument did not answer within " << seconds << " s";
    if (identified.state == ModelDetector::State::detected)
        err << " (is it on, and are its SysEx settings enabled?)\n";
    else
        err << " (is it on, are its SysEx settings enabled, and is it a " << ravlin::modelName (hub.getModel())
            << "? see --model)\n";
}
} // namespace instrumentLink
