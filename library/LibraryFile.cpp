#include "library/LibraryFile.h"

#include <string_view>
#include <unordered_map>

#include "library/SafeFileWrite.h"

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
        records.emplace_back (record, record + recordSize);
    }
    return dropDuplicates ? withoutRepeats (std::move (records)) : records;
}

std::vector<ravlin::Bytes> withoutRepeats (std::vector<ravlin::Bytes> records)
{
    // Thousands of records: compare only those whose hash matches.
    std::unordered_multimap<size_t, size_t> seen;
    std::vector<ravlin::Bytes> kept;
    kept.reserve (records.size());
    for (auto& r : records)
    {
        const auto hash = std::hash<std::string_view>() (std::string_view ((const char*)r.data(), r.size()));
        const auto [first, last] = seen.equal_range (hash);
        if (std::any_of (first, last, [&] (const auto& entry) { return kept[entry.second] == r; }))
            continue;
        seen.emplace (hash, kept.size());
        kept.push_back (std::move (r));
    }
    return kept;
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
    if (records.empty() || records.size() > (size_t)maxRecords)
        return false;
    const auto image = buildImage (records);
    return ravlin::replaceFileSafely (file, image.getData(), image.getSize());
}
bool writeBlock (const juce::File& file, const ravlin::Bytes& block)
{
    const auto count = block.size() / (size_t)recordSize;
    if (count == 0 || count > (size_t)maxRecords)
        return false;
    return ravlin::replaceFileSafely (file, {{startMarker, (size_t)markerLength},
                                             {block.data(), count * (size_t)recordSize},
                                             {endMarker, (size_t)markerLength}});
}
} // namespace LibraryFile
