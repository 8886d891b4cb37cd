#include "core/SafeFileWrite.h"

namespace ravlin
{
bool replaceFileSafely (const juce::File& file, const void* data, size_t size)
{
    if (!file.getParentDirectory().createDirectory())
        return false;

    juce::TemporaryFile temporary (file);
    if (!temporary.getFile().replaceWithData (data, size))
        return false;
    return temporary.overwriteTargetFileWithTemporary();
}
} // namespace ravlin
