#include "library/SafeFileWrite.h"

#include <cstdio>

namespace ravlin
{
bool replaceFileSafely (const juce::File& file, const void* data, size_t size)
{
    return replaceFileSafely (file, {FilePiece{data, size}});
}

bool replaceFileSafely (const juce::File& file, std::initializer_list<FilePiece> pieces)
{
    size_t size = 0;
    for (const auto& piece : pieces)
        size += piece.size;

    if (!file.getParentDirectory().createDirectory())
        return false;

    // Deleted again by its destructor unless it was renamed into place.
    juce::TemporaryFile temporary (file, juce::TemporaryFile::useHiddenFile);
    {
        juce::FileOutputStream out (temporary.getFile());
        if (!out.openedOk())
            return false;
        // A full disk or a size limit shows as a short write, which JUCE's own file writers do
        // not report; the old file must then stay as it was.
        for (const auto& piece : pieces)
            if (piece.size > 0 && !out.write (piece.data, piece.size))
                return false;
        out.flush();
        if (out.getStatus().failed())
            return false;
    }
    if (temporary.getFile().getSize() != (juce::int64)size)
        return false;

#if JUCE_WINDOWS
    return temporary.overwriteTargetFileWithTemporary();
#else
    // rename() replaces the old file in one step: there is never a moment without it.
    return std::rename (temporary.getFile().getFullPathName().toRawUTF8(), file.getFullPathName().toRawUTF8()) == 0;
#endif
}
} // namespace ravlin
