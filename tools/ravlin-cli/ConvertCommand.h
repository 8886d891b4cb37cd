#pragma once

#include <juce_core/juce_core.h>

#include <ostream>

/** ravlin-cli convert [--bank 1..8] [--program N] IN OUT: reads every program IN holds (SysEx,
    bank, library or preset file) and writes OUT in the kind its extension names: .p12l a
    library, .p12b a bank of 99 program dumps, .p12p a single program, .syx a single program
    when there is one, else program dumps in the places they name. */
int convertPrograms (const juce::StringArray& args, std::ostream& out, std::ostream& err);
