#pragma once

#include "library/ProgramScan.h"

#include <juce_core/juce_core.h>

#include <ostream>

/** ravlin-cli diff FILE[:N] FILE[:N] [--json]: every parameter in which program N of the first
    file differs from program N of the second (N as list counts them, 1 when left out), grouped
    by section, with both value texts. Exit status 0 when the programs were compared, equal or
    not (the output says which; the JSON's "equal"), 1 when a file or program cannot be read,
    2 for a wrong call. */
int diffPrograms (const juce::StringArray& args, std::ostream& out, std::ostream& err);

/** ravlin-cli find FILE QUERY [--json]: the programs of FILE that meet the query (see
    ProgramQuery), one a line as list shows them. Exit status 0 when FILE was searched, matches
    or not, 1 when it cannot be read, 2 for a wrong call or a malformed query (told with its
    column). */
int findPrograms (const juce::StringArray& args, std::ostream& out, std::ostream& err);

/** The programs of a file as list reads them; false, with the reason on err, when there are none. */
bool readCliPrograms (const juce::String& path, ProgramScan::Result& result, std::ostream& err);
