#pragma once

#include "midi/MidiMonitorLog.h"
#include "midi/TimedMidiSender.h"

/** The plug-in's own MIDI input and output towards the instrument, and every send to it.

    Port numbers are 1-based over the current device lists; 0 is no port. Sends may come
    from the message thread and the audio thread; they go through the timed sender's
    lock-free queue and are dropped while no output is open. Opening and closing happen
    on the message thread. */
class MIDI_PORTS_Control
{
public:
    static constexpr int sysExPieceSize = TimedMidiSender::cellSize;

    MIDI_PORTS_Control (MidiDeviceSet& devices, juce::MidiInputCallback& inputCallback);
    ~MIDI_PORTS_Control();

    MidiDeviceSet& getDevices() noexcept { return devices; }

    /** Remembers the chosen device's name ("NONE" for 0; out of range leaves it) and opens it. */
    void selectInput (int portNumber, juce::String& rememberedName);
    void selectOutput (int portNumber, juce::String& rememberedName);

    /** Always closes the direction's previous port first, even when the same is chosen again. */
    void openInput (int portNumber);
    void openOutput (int portNumber);

    /** Opens the ports whose remembered names (3 characters or more) match a device exactly. */
    void reopenRememberedPorts (const juce::String& inputName, const juce::String& outputName);

    /** Port number of the first device named exactly so, or 0. */
    static int findPort (const juce::StringArray& deviceNames, const juce::String& name);

    void sendBuffer (const juce::MidiBuffer& buffer) noexcept;
    void sendBufferAt (const juce::MidiBuffer& buffer, double delayMilliseconds, double samplesPerSecond) noexcept;
    void sendController (int channel, int controller, int value) noexcept;
    void sendNoteOff (int channel, int note) noexcept;
    void sendPitchWheel (int channel, int value) noexcept;
    void sendProgramChange (int channel, int program) noexcept;
    /** Any length; queued behind what is already due, like every other send. False when it was
        not taken: no output, or the queue full. */
    bool sendSysEx (const uint8_t* bytes, int size);

    /** Milliseconds a byte takes on the open output's wire when the device itself knows it (the
        virtual instrument); negative for a system port, whose link speed is a setting. */
    double outputMillisecondsPerByte() const;

    int outputIndex = -1;
    int inputIndex = -1;
    std::atomic<bool> inputOpen{false};
    std::atomic<bool> outputOpen{false};
    int sysExBufferChoice = 0;

    /** Messages through the plug-in's own ports since it was loaded, for the activity lamps:
        in as the input callback counts them, out as they go onto the wire. */
    std::atomic<uint32_t> messagesIn{0};
    uint32_t getMessagesOut() const noexcept { return output.messagesOut.load(); }

    TimedMidiSender& getSender() noexcept { return sender; }

    /** The MIDI monitor's record: what goes onto the output's wire is written as it goes, what
        comes in by whoever takes it from the input. */
    MidiMonitorLog& getMonitor() noexcept { return monitor; }
    /** The MIDI input thread: a message from the input, into the monitor. */
    void monitorIncoming (const uint8_t* bytes, int size) noexcept
    {
        inputMonitor.write (bytes, size, juce::Time::getMillisecondCounterHiRes());
    }

private:
    /** The sender's fixed target; the device behind it changes as ports are chosen. */
    class SwitchableOutput : public MidiOutputDevice
    {
    public:
        explicit SwitchableOutput (MidiMonitorLog& log) : monitorWriter (log, MidiMonitorLog::Direction::out) {}
        void set (std::unique_ptr<MidiOutputDevice> device);
        bool isSet() const;
        void sendNow (const uint8_t* bytes, int size) override;
        double knownMillisecondsPerByte() const override;
        std::atomic<uint32_t> messagesOut{0};

    private:
        juce::CriticalSection lock; // sender thread and message thread only
        std::unique_ptr<MidiOutputDevice> device;
        MidiMonitorLog::Writer monitorWriter; // under the lock
    };

    void sendShort (uint8_t status, int data1, int data2, int size) noexcept;
    static uint8_t channelNibble (int channel) noexcept;

    MidiDeviceSet& devices;
    juce::MidiInputCallback& callback;
    std::unique_ptr<MidiInputDevice> input;
    MidiMonitorLog monitor;
    SwitchableOutput output{monitor};
    MidiMonitorLog::Writer inputMonitor{monitor, MidiMonitorLog::Direction::in};
    TimedMidiSender sender{output};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MIDI_PORTS_Control)
};
