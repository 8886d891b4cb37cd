#pragma once

#include <juce_audio_devices/juce_audio_devices.h>

#include <memory>

/** An open MIDI input: delivers to the callback given when it was opened, between start and stop. */
class MidiInputDevice
{
public:
    virtual ~MidiInputDevice() = default;
    virtual void start() = 0;
    virtual void stop() = 0;
};

/** An open MIDI output. sendNow is called from one thread at a time and must not block for long. */
class MidiOutputDevice
{
public:
    virtual ~MidiOutputDevice() = default;
    /** Hands the bytes to the driver, which may still be sending them when this returns. */
    virtual void sendNow (const uint8_t* bytes, int size) = 0;
    /** Milliseconds each byte takes on this output's wire, when the device itself knows it (an
        in-process instrument); negative when only the user knows the link. */
    virtual double knownMillisecondsPerByte() const { return -1.0; }
};

/** The MIDI devices the plug-in can open, listed and opened by position. */
class MidiDeviceSet
{
public:
    virtual ~MidiDeviceSet() = default;
    virtual juce::StringArray inputNames() = 0;
    virtual juce::StringArray outputNames() = 0;
    /** nullptr when the position is out of range or the device does not open. */
    virtual std::unique_ptr<MidiInputDevice> openInput (int index, juce::MidiInputCallback& callback) = 0;
    virtual std::unique_ptr<MidiOutputDevice> openOutput (int index) = 0;
};
