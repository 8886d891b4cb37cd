#pragma once

#include <juce_core/juce_core.h>

#include <ostream>

/** ravlin-cli ports: the MIDI input and output names, the virtual instrument included. */
int listMidiPorts (std::ostream& out);

/** ravlin-cli receive --in NAME --out NAME --banks user|factory|all|1..8 [--wire din|usb|none]
    [--timeout SECONDS] FILE: backs the instrument's banks up into a bank file. */
int receiveBanks (const juce::StringArray& args, std::ostream& out, std::ostream& err);
