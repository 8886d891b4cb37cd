#pragma once

#include "TransferCommands.h"

/** ravlin-cli ports [--detect]: the MIDI input and output names, the virtual instruments
    included. With --detect, every input and output of the same name are then opened together
    and asked which model is on them: one line each, "NAME: Prophet 12 Keyboard", "NAME:
    Prophet 12 Module" or "NAME: no answer". */
int listMidiPorts (const juce::StringArray& args, std::ostream& out, std::ostream& err,
                   const SystemMidiDevices& system = {});

/** ravlin-cli first-run: on a machine without MIDI devices and without a ports file yet, names
    the virtual instrument as the editor's input and output, so that its first start talks to
    something, and says so. Leaves a ports file that exists alone. */
int prepareFirstRun (const juce::File& applicationDataFolder, MidiDeviceSet& system, std::ostream& out);
int firstRun (std::ostream& out);
