#pragma once

#include "instrument/ParameterTable.h"
#include "midi/MidiMonitorLog.h"

#include <juce_core/juce_core.h>

#include <array>

/** Turns the MIDI monitor's entries into the words the user reads: "NRPN A Cutoff = 64 (ch 1)",
    "program dump U2 P 14 'Brass'", "edit buffer request", "clock", hex for what it does not
    know. Parameter numbers arrive in several controllers, so it remembers, for each direction
    and channel, the number the instrument's receiver holds. Message thread (the reader). */
class MidiMonitorDecoder
{
public:
    explicit MidiMonitorDecoder (const ravlin::ParameterTable& parameters) : table (parameters) {}

    /** The lines an entry shows, in order: one per message it holds, none for the controllers
        of an NRPN that carry no value yet. */
    juce::StringArray decode (const MidiMonitorLog::Entry& entry);
    /** Forgets the NRPN numbers held. */
    void reset();

    /** "U1".."U4", "F1".."F4", then " P " and the program from 1: "U2 P 14". */
    static juce::String slotText (int bank, int program);
    /** "F0 01 2B 06 F7". */
    static juce::String hex (const uint8_t* bytes, int size);

private:
    juce::String decodeSysEx (const MidiMonitorLog::Entry& entry) const;
    /** One short message; empty when it shows nothing by itself. */
    juce::String decodeShort (const uint8_t* message, int size, MidiMonitorLog::Direction direction);
    juce::String parameterName (int index) const;

    struct HeldNrpn
    {
        int numberHigh = -1, numberLow = -1, valueHigh = 0;
    };

    const ravlin::ParameterTable& table;
    std::array<HeldNrpn, 32> held; // direction x 16 + channel
};
