#pragma once

#include <juce_core/juce_core.h>

namespace ravlin
{
/** Writes a whole file as a temporary file beside it, renamed over the old one, so a
    failed or interrupted write leaves the previous file intact. Creates missing folders. */
bool replaceFileSafely (const juce::File& file, const void* data, size_t size);

/** The same for content made of several pieces, written one after the other without a copy. */
struct FilePiece
{
    const void* data;
    size_t size;
};
bool replaceFileSafely (const juce::File& file, std::initializer_list<FilePiece> pieces);
} // namespace ravlin
