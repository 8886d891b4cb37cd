#pragma once

#include <juce_graphics/juce_graphics.h>

namespace ravlin
{
/** "Arial", or on systems without a face of that name (Linux) its metric twin. JUCE does not
    follow font aliases, and an unknown face has no descent, so text editors cut descenders. */
const juce::String& arialName();

/** That face at a height, plain or bold. */
juce::Font arial (float height, bool bold = false);
} // namespace ravlin
