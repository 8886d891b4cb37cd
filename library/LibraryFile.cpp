#include "library/LibraryFile.h"

#include "core/SafeFileWrite.h"

#include <cstring>

namespace LibraryFile
{
const char* const startMarker = "Mopho  Libr >";
const char* const endMarker = "< Mopho  Libr";

std::vector<ravlin::Bytes> readRecords (const uint8_t* data, size_t length, size_t skip, bool dropDuplicates)
{
    std::vector<ravlin::Bytes> records;
    if (data == nullptr || length < skip || length - skip < (size_t)recordSize)
        return records;

    const auto count = (length - skip) / (size_t)recordSize;
    for (size_t i = 0; i < count; ++i)
    {
        const auto* record = data + skip + i * (size_t)recordSize;
        ravlin::Bytes bytes (record, record + recordSize);
        if (dropDuplicates && std::find (records.begin(), records.end(), bytes) != records.end())
            continue;
        records.push_back (std::move (bytes));
    }
    return records;
}

bool hasStartMarker (const uint8_t* data, size_t length)
{
    return length >= (size_t)markerLength && std::memcmp (data, startMarker, (size_t)markerLength) == 0;
}

juce::MemoryBlock buildImage (const std::vector<ravlin::Bytes>& records)
{
    juce::MemoryOutputStream out;
    out.write (startMarker, (size_t)markerLength);
    for (const auto& record : records)
    {
        auto padded = record;
        padded.resize ((size_t)recordSize, 0);
        out.write (padded.data(), padded.size());
    }
    out.write (endMarker, (size_t)markerLength);
    return out.getMemoryBlock();
}

bool write (const juce::File& file, const std::vector<ravlin::Bytes>& records)
{
    if (records.empty())
        return false;
    const auto image = buildImage (records);
    return ravlin::replaceFileSafely (file, image.getData(), image.getSize());
}
} // namespace LibraryFile
