#pragma once

#include "instrument/ParameterTable.h"
#include "instrument/ProgramPacking.h"

#include <string>
#include <vector>

namespace ravlin::factory
{

constexpr int numBanks = 4;
constexpr int programsPerBank = 99;

/** The initial sound: one sawtooth, open filter, organ-like amplifier envelope. */
Bytes basicProgram (const ParameterTable& table);

/** 4 x 99 programs of our own, each with its own name and category. */
std::vector<Bytes> factoryPrograms (const ParameterTable& table);

/** Writes the name into both layers' name fields (20 characters, space padded). */
void writeName (Bytes& image, const std::string& name);

} // namespace ravlin::factory
