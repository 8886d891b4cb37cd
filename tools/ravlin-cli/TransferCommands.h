#pragma once

#include <juce_core/juce_core.h>

#include <functional>
#include <istream>
#include <memory>
#include <ostream>

class MidiDeviceSet;

/** The machine's MIDI devices, opened anew by each command; tests give their own. Empty: the
    system's (JuceMidiDevices). */
using SystemMidiDevices = std::function<std::unique_ptr<MidiDeviceSet>()>;

/** ravlin-cli receive --in NAME --out NAME --banks user|factory|all|1..8 [--model
    module|keyboard|detect] [--wire din|usb|none] [--timeout SECONDS] FILE: backs the
    instrument's banks up into a bank file, whose dumps carry the model's device byte. The model
    and the progress go to err, the file written to out. */
int receiveBanks (const juce::StringArray& args, std::ostream& out, std::ostream& err,
                  const SystemMidiDevices& system = {});

/** ravlin-cli transmit --in NAME --out NAME [--to-bank 1..8] [--yes] [--verify] [--model
    module|keyboard|detect] FILE: restores a bank file into the instrument's memory, asking
    first on err (the answer read from in) unless --yes. The dumps go out with the device byte of
    the model on the port. The model and the progress go to err, the result (sent, or verified)
    to out. */
int transmitBanks (const juce::StringArray& args, std::istream& in, std::ostream& out, std::ostream& err,
                   const SystemMidiDevices& system = {});
