#pragma once

#include "midi/MidiDevices.h"

/** The operating system's MIDI devices through JUCE (the ALSA sequencer on Linux).
    Where the system has no MIDI, the lists are empty and nothing opens. */
class JuceMidiDevices : public MidiDeviceSet
{
public:
    juce::StringArray inputNames() override;
    juce::StringArray outputNames() override;
    std::unique_ptr<MidiInputDevice> openInput (int index, juce::MidiInputCallback& callback) override;
    std::unique_ptr<MidiOutputDevice> openOutput (int index) override;
};
