#include "midi/MIDI_PORTS_Control.h"

void MIDI_PORTS_Control::SwitchableOutput::set (std::unique_ptr<MidiOutputDevice> newDevice)
{
    std::unique_ptr<MidiOutputDevice> old;
    {
        const juce::ScopedLock sl (lock);
        old = std::exchange (device, std::move (newDevice));
    }
}

double MIDI_PORTS_Control::SwitchableOutput::knownMillisecondsPerByte() const
{
    const juce::ScopedLock sl (lock);
    return device != nullptr ? device->knownMillisecondsPerByte() : -1.0;
}

bool MIDI_PORTS_Control::SwitchableOutput::isSet() const
{
    const juce::ScopedLock sl (lock);
    return device != nullptr;
}

void MIDI_PORTS_Control::SwitchableOutput::sendNow (const uint8_t* bytes, int size)
{
    const juce::ScopedLock sl (lock);
    if (device != nullptr)
    {
        // Into the monitor first: an instrument that answers at once must not be listed before it.
        monitorWriter.write (bytes, size, juce::Time::getMillisecondCounterHiRes());
        device->sendNow (bytes, size);
        messagesOut.fetch_add (1, std::memory_order_relaxed);
    }
}

MIDI_PORTS_Control::MIDI_PORTS_Control (MidiDeviceSet& deviceSet, juce::MidiInputCallback& inputCallback)
    : devices (deviceSet), callback (inputCallback)
{
}

MIDI_PORTS_Control::~MIDI_PORTS_Control()
{
    openOutput (0);
    openInput (0);
}

int MIDI_PORTS_Control::findPort (const juce::StringArray& deviceNames, const juce::String& name)
{
    if (name.length() < 3)
        return 0;
    for (int i = 0; i < deviceNames.size(); ++i)
        if (deviceNames[i] == name)
            return i + 1;
    return 0;
}

namespace
{
void rememberChoice (const juce::StringArray& deviceNames, int portNumber, juce::String& rememberedName)
{
    if (portNumber == 0)
        rememberedName = "NONE";
    else if (portNumber >= 1 && portNumber <= deviceNames.size())
        rememberedName = deviceNames[portNumber - 1];
}
} // namespace

void MIDI_PORTS_Control::selectInput (int portNumber, juce::String& rememberedName)
{
    rememberChoice (devices.inputNames(), portNumber, rememberedName);
    openInput (portNumber);
}

void MIDI_PORTS_Control::selectOutput (int portNumber, juce::String& rememberedName)
{
    rememberChoice (devices.outputNames(), portNumber, rememberedName);
    openOutput (portNumber);
}

void MIDI_PORTS_Control::openInput (int portNumber)
{
    if (input != nullptr)
        input->stop();
    input.reset();
    inputIndex = -1;
    inputOpen = false;

    if (portNumber < 1)
        return;

    inputIndex = portNumber - 1;
    input = devices.openInput (inputIndex, callback);
    if (input != nullptr)
    {
        input->start();
        inputOpen = true;
    }
}

void MIDI_PORTS_Control::openOutput (int portNumber)
{
    outputOpen = false;
    sender.stopSending();
    sender.clearPending();
    output.set (nullptr);
    outputIndex = -1;

    if (portNumber < 1)
        return;

    outputIndex = portNumber - 1;
    if (auto device = devices.openOutput (outputIndex))
    {
        output.set (std::move (device));
        sender.forgetNrpnState(); // whatever is on the other end holds nothing we know of
        sender.startSending();
        outputOpen = true;
    }
}

void MIDI_PORTS_Control::reopenRememberedPorts (const juce::String& inputName, const juce::String& outputName)
{
    openInput (findPort (devices.inputNames(), inputName));
    openOutput (findPort (devices.outputNames(), outputName));
}

void MIDI_PORTS_Control::sendBuffer (const juce::MidiBuffer& buffer) noexcept
{
    if (outputOpen)
        sender.scheduleBlock (buffer, TimedMidiSender::now(), 1000.0);
}

void MIDI_PORTS_Control::sendBufferAt (const juce::MidiBuffer& buffer, double delayMilliseconds,
                                       double samplesPerSecond) noexcept
{
    if (outputOpen)
        sender.scheduleBlock (buffer, TimedMidiSender::now() + delayMilliseconds, samplesPerSecond);
}

uint8_t MIDI_PORTS_Control::channelNibble (int channel) noexcept
{
    return (uint8_t)((juce::jmax (1, channel) - 1) & 0x0F);
}

void MIDI_PORTS_Control::sendShort (uint8_t status, int data1, int data2, int size) noexcept
{
    if (!outputOpen)
        return;
    const uint8_t bytes[3] = {status, (uint8_t)(data1 & 0x7F), (uint8_t)(data2 & 0x7F)};
    sender.schedule (bytes, size, TimedMidiSender::now());
}

void MIDI_PORTS_Control::sendController (int channel, int controller, int value) noexcept
{
    if (channel <= 16)
        sendShort ((uint8_t)(0xB0 | channelNibble (channel)), controller, value, 3);
}

void MIDI_PORTS_Control::sendNoteOff (int channel, int note) noexcept
{
    if (channel <= 16)
        sendShort ((uint8_t)(0x80 | channelNibble (channel)), note, 0, 3);
}

void MIDI_PORTS_Control::sendPitchWheel (int channel, int value) noexcept
{
    if (channel <= 16)
        sendShort ((uint8_t)(0xE0 | channelNibble (channel)), value, value >> 7, 3);
}

// Channels above 16 are refused here too: masked, they would land on another channel.
void MIDI_PORTS_Control::sendProgramChange (int channel, int program) noexcept
{
    if (program < 128 && channel <= 16)
        sendShort ((uint8_t)(0xC0 | channelNibble (channel)), program, 0, 2);
}

bool MIDI_PORTS_Control::sendSysEx (const uint8_t* bytes, int size)
{
    // Longer than one cell, a dump goes out in pieces of 256 bytes with nothing between them,
    // after whatever was due before it.
    return outputOpen && bytes != nullptr && size > 0 && sender.schedule (bytes, size, TimedMidiSender::now());
}

double MIDI_PORTS_Control::outputMillisecondsPerByte() const
{
    return output.knownMillisecondsPerByte();
}
