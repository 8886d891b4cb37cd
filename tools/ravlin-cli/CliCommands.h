#pragma once

#include <juce_core/juce_core.h>

#include <ostream>
#include <string>

/** ravlin-cli: list, show, params, ports, first-run, receive, transmit, convert, diff and find, --help and
    --version. Results go to out, errors to err. Returns the process exit code: 0 success, 1
    failure, 2 wrong usage. */
int runRavlinCli (const juce::StringArray& args, std::ostream& out, std::ostream& err);

/** "usage: ravlin-cli COMMAND ..." and the end of its line: what a wrong call of the command
    prints; for an unknown command every command's. */
std::string usageOf (const juce::String& command);
