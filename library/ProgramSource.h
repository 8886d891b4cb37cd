#pragma once

#include "instrument/ProgramPacking.h"

#include <juce_core/juce_core.h>

/** Where the program library takes programs from besides files: the instrument's eight banks,
    the preset bank and the program being edited. Images are 1024-byte program records. */
class ProgramSource
{
public:
    static constexpr int numBanks = 8;

    virtual ~ProgramSource() = default;

    /** The name a bank (0..7) goes by in the LOAD menu. */
    virtual juce::String getBankName (int bank) const = 0;
    virtual ravlin::Bytes getBankProgram (int bank, int program) const = 0;
    virtual ravlin::Bytes getPresetProgram (int program) const = 0;
    virtual ravlin::Bytes getCurrentProgram() const = 0;
};
