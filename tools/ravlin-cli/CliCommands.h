#pragma once

#include <juce_core/juce_core.h>

#include <ostream>

/** ravlin-cli: list, show and params. Returns the process exit code. */
int runRavlinCli (const juce::StringArray& args, std::ostream& out, std::ostream& err);
