#pragma once

#include <juce_core/juce_core.h>

#include <istream>
#include <ostream>

/** ravlin-cli ports: the MIDI input and output names, the virtual instrument included. */
int listMidiPorts (std::ostream& out);

/** ravlin-cli receive --in NAME --out NAME --banks user|factory|all|1..8 [--wire din|usb|none]
    [--timeout SECONDS] FILE: backs the instrument's banks up into a bank file. */
int receiveBanks (const juce::StringArray& args, std::ostream& out, std::ostream& err);

/** ravlin-cli transmit --in NAME --out NAME [--to-bank 1..8] [--yes] [--verify] FILE: restores
    a bank file into the instrument's memory, asking first unless --yes. */
int transmitBanks (const juce::StringArray& args, std::istream& in, std::ostream& out, std::ostream& err);

class MidiDeviceSet;

/** ravlin-cli first-run: on a machine without MIDI devices and without a ports file yet, names
    the virtual instrument as the editor's input and output, so that its first start talks to
    something, and says so. Leaves a ports file that exists alone. */
int prepareFirstRun (const juce::File& applicationDataFolder, MidiDeviceSet& system, std::ostream& out);
int firstRun (std::ostream& out);
