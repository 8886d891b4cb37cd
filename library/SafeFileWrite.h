#pragma once

#include <juce_core/juce_core.h>

namespace ravlin
{
/** Writes a whole file as a temporary file beside it, renamed over the old one, so a
    failed or interrupted write leaves the previous file intact. Creates missing folders. */
bool replaceFileSafely (const juce::File& file, const void* data, size_t size);
} // namespace ravlin
