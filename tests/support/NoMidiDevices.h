#pragma once

#include "midi/MidiDevices.h"

namespace ravlin::test
{
/** A machine without MIDI devices: nothing to list, nothing opens. */
class NoMidiDevices : public MidiDeviceSet
{
public:
    juce::StringArray inputNames() override { return {}; }
    juce::StringArray outputNames() override { return {}; }
    std::unique_ptr<MidiInputDevice> openInput (int, juce::MidiInputCallback&) override { return {}; }
    std::unique_ptr<MidiOutputDevice> openOutput (int) override { return {}; }
};
} // namespace ravlin::test
