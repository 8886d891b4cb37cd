#pragma once
// Where the host tests find the plug-ins: the binaries of this build, or the ones the environment
// names in RAVLIN_VST2_PATH, RAVLIN_VST3_PATH and RAVLIN_LV2_FOLDER (an installed package's, say).

#include <cstdlib>

inline const char* pluginPath (const char* variable, const char* builtPath)
{
    const char* named = std::getenv (variable);
    return named != nullptr && *named != '\0' ? named : builtPath;
}
