#pragma once

/** The README's "Host set-up" section, as built into the plug-in. */
extern const char* const hostSetupText;
