#pragma once

#include <juce_core/juce_core.h>

#include <ostream>

/** ravlin-cli convert [--bank 1..8] [--program N] [--model module|keyboard] IN OUT: reads every
    program IN holds (SysEx, bank, library or preset file) and writes OUT in the kind its
    extension names: .p12l a library, .p12b a bank of 99 program dumps, .p12p a single program,
    .syx a single program when there is one, else program dumps in the places they name. The
    dumps written carry the device byte of the model given, else the one each program's dump in
    IN carried (the module's for programs that came without one). */
int convertPrograms (const juce::StringArray& args, std::ostream& out, std::ostream& err);
