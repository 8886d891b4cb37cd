#include "midi/JuceMidiDevices.h"

#include "midi/SysExJoiner.h"

namespace
{
juce::StringArray namesOf (const juce::Array<juce::MidiDeviceInfo>& devices)
{
    juce::StringArray names;
    for (const auto& device : devices)
        names.add (device.name);
    return names;
}

class JuceInput : public MidiInputDevice
{
public:
    explicit JuceInput (std::unique_ptr<juce::MidiInput> in) : input (std::move (in)) {}
    ~JuceInput() override { input->stop(); }
    void start() override { input->start(); }
    void stop() override { input->stop(); }

private:
    std::unique_ptr<juce::MidiInput> input;
};

class JuceOutput : public MidiOutputDevice
{
public:
    explicit JuceOutput (std::unique_ptr<juce::MidiOutput> out) : output (std::move (out)) {}

    void sendNow (const uint8_t* bytes, int size) override { joiner.write (bytes, size); }

private:
    std::unique_ptr<juce::MidiOutput> output;
    SysExJoiner joiner{[this] (const uint8_t* bytes, int size)
                       { output->sendMessageNow (juce::MidiMessage (bytes, size)); }};
};
} // namespace

juce::StringArray JuceMidiDevices::inputNames()
{
    return namesOf (juce::MidiInput::getAvailableDevices());
}

juce::StringArray JuceMidiDevices::outputNames()
{
    return namesOf (juce::MidiOutput::getAvailableDevices());
}

std::unique_ptr<MidiInputDevice> JuceMidiDevices::openInput (int index, juce::MidiInputCallback& callback)
{
    const auto devices = juce::MidiInput::getAvailableDevices();
    if (!juce::isPositiveAndBelow (index, devices.size()))
        return nullptr;
    if (auto input = juce::MidiInput::openDevice (devices[index].identifier, &callback))
        return std::make_unique<JuceInput> (std::move (input));
    return nullptr;
}

std::unique_ptr<MidiOutputDevice> JuceMidiDevices::openOutput (int index)
{
    const auto devices = juce::MidiOutput::getAvailableDevices();
    if (!juce::isPositiveAndBelow (index, devices.size()))
        return nullptr;
    if (auto output = juce::MidiOutput::openDevice (devices[index].identifier))
        return std::make_unique<JuceOutput> (std::move (output));
    return nullptr;
}
