#include "CliCommands.h"

#include <iostream>

int main (int argc, char** argv)
{
    juce::StringArray args;
    for (int i = 1; i < argc; ++i)
        args.add (juce::String::fromUTF8 (argv[i]));

    return runRavlinCli (args, std::cout, std::cerr);
}
