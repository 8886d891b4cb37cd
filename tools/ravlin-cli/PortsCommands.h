#pragma once

#include "TransferCommands.h"

/** ravlin-cli ports [--detect] [--json]: the MIDI input and output names, the virtual
    instruments included. With --detect, every input and output of the same name are then opened
    together and asked which model is on them: one line each, "NAME: Prophet 12 Keyboard", "NAME:
    Prophet 12 Module" or "NAME: no answer". With --json all of it as one JSON document once
    every pair was asked. */
int listMidiPorts (const juce::StringArray& args, std::ostream& out, std::ostream& err,
                   const SystemMidiDevices& system = {});

/** ravlin-cli first-run: on a machine without MIDI devices and without a ports file yet, names
    the virtual instrument as the editor's input and output, so that its first start talks to
    something, and says so on out. Leaves a ports file that exists alone. A ports file that
    cannot be written is said on err, and returns 1. */
int prepareFirstRun (const juce::File& applicationDataFolder, MidiDeviceSet& system, std::ostream& out,
                     std::ostream& err);
int firstRun (std::ostream& out, std::ostream& err);
