#include "library/DefaultLibraryFile.h"

#include "library/LibraryFile.h"
#include "library/ProgramFiles.h"

#include <string_view>
#include <unordered_set>

namespace
{
constexpr size_t recordSize = (size_t)LibraryFile::recordSize;

// Whole records are hashed: records that differ in a few bytes only are common (a program saved
// again after one change), and a hash that skips bytes would pile them into one bucket.
using RecordSet = std::unordered_set<std::string_view>;

/** Views into the block: it must not change while the set is in use. */
RecordSet recordsOf (const ravlin::Bytes& block)
{
    RecordSet set;
    set.reserve (block.size() / recordSize);
    for (size_t at = 0; at + recordSize <= block.size(); at += recordSize)
        set.emplace ((const char*)block.data() + at, recordSize);
    return set;
}

bool contains (const RecordSet& set, const uint8_t* record)
{
    return set.count (std::string_view ((const char*)record, recordSize)) > 0;
}

void appendRecord (ravlin::Bytes& to, const ravlin::Bytes& from, size_t at)
{
    to.insert (to.end(), from.begin() + (std::ptrdiff_t)at, from.begin() + (std::ptrdiff_t) (at + recordSize));
}
} // namespace

ravlin::Bytes DefaultLibraryFile::recordsIn (const ravlin::Bytes& data)
{
    if (data.size() < (size_t)LibraryFile::markerLength + recordSize)
        return {};
    const auto count = (data.size() - (size_t)LibraryFile::markerLength) / recordSize;
    const auto begin = data.begin() + LibraryFile::markerLength;
    return ravlin::Bytes (begin, begin + (std::ptrdiff_t) (count * recordSize));
}

ravlin::Bytes DefaultLibraryFile::merge (const ravlin::Bytes& mine, const ravlin::Bytes& base,
                                         const ravlin::Bytes& onDisk)
{
    const auto known = recordsOf (base);
    ravlin::Bytes merged;
    merged.reserve (mine.size());
    {
        const auto there = recordsOf (onDisk);
        for (size_t at = 0; at + recordSize <= mine.size(); at += recordSize)
            if (!contains (known, mine.data() + at) || contains (there, mine.data() + at))
                appendRecord (merged, mine, at);
    }
    ravlin::Bytes added;
    {
        const auto kept = recordsOf (merged);
        for (size_t at = 0; at + recordSize <= onDisk.size(); at += recordSize)
            if (!contains (known, onDisk.data() + at) && !contains (kept, onDisk.data() + at))
                appendRecord (added, onDisk, at);
    }
    merged.insert (merged.end(), added.begin(), added.end());
    return merged.empty() ? mine : merged; // a merge never leaves nothing to write
}

ravlin::Bytes DefaultLibraryFile::load (const juce::File& folder)
{
    home = folder;
    unreadable = false;
    backedUp = false;
    base.clear();
    const auto file = folder.getChildFile (fileName);
    if (file.existsAsFile())
    {
        if (const auto data = ProgramFiles::readFile (file, LibraryFile::maxFileSize))
            base = recordsIn (*data);
        else
            unreadable = true;
    }
    remember (file);
    return base;
}

bool DefaultLibraryFile::changedOnDisk (const juce::File& file) const
{
    // Every write renames a new file into place: a new identity even within one clock tick.
    return file.getSize() != seenSize || file.getLastModificationTime() != seenTime ||
           file.getFileIdentifier() != seenIdentity;
}

void DefaultLibraryFile::remember (const juce::File& file)
{
    seenSize = file.existsAsFile() ? file.getSize() : -1;
    seenTime = file.getLastModificationTime();
    seenIdentity = file.getFileIdentifier();
}

bool DefaultLibraryFile::keepBackup (const juce::File& file)
{
    // Once per session: the library as it was when this instance first wrote over it.
    if (backedUp || !file.existsAsFile())
        return true;
    juce::TemporaryFile temporary (file.getSiblingFile (juce::String (fileName) + ".bak"));
    backedUp = file.copyFileTo (temporary.getFile()) && temporary.overwriteTargetFileWithTemporary();
    return backedUp;
}

DefaultLibraryFile::Result DefaultLibraryFile::save (const juce::File& folder, ravlin::Bytes& records)
{
    broughtIn = false;
    if (records.size() < recordSize)
        return Result::empty;
    const auto file = folder.getChildFile (fileName);
    const bool atHome = folder == home;
    if (atHome && unreadable)
        return Result::keptOldFile;

    // Read again only when another instance wrote the file since this one last saw it.
    ravlin::Bytes merged;
    bool mergedIn = false;
    const bool exists = file.existsAsFile();
    if (exists && (!atHome || changedOnDisk (file)))
    {
        const auto data = ProgramFiles::readFile (file, LibraryFile::maxFileSize);
        if (!data.has_value())
            return Result::keptOldFile;
        const auto onDisk = recordsIn (*data);
        merged = merge (records, atHome ? base : ravlin::Bytes(), onDisk);
        mergedIn = true;
        if (merged == onDisk && data->size() == onDisk.size() + 2 * (size_t)LibraryFile::markerLength)
        {
            if (atHome)
            {
                base = merged;
                remember (file);
            }
            broughtIn = merged != records;
            records = std::move (merged);
            return Result::unchanged;
        }
    }
    else if (exists && records == base)
        return Result::unchanged;

    const auto& content = mergedIn ? merged : records;
    if (content.size() / recordSize > (size_t)LibraryFile::maxRecords)
        return Result::tooLarge;
    if (!folder.createDirectory() || (atHome && !keepBackup (file)) || !LibraryFile::writeBlock (file, content))
        return Result::failed;
    if (atHome)
    {
        base = content;
        remember (file);
    }
    if (mergedIn)
    {
        broughtIn = merged != records;
        records = std::move (merged);
    }
    return Result::written;
}

juce::String DefaultLibraryFile::describe (Result result, const juce::File& file)
{
    switch (result)
    {
        case Result::keptOldFile:
            return file.getFullPathName() +
                   " could not be read, so it is not written over. Save this library with SAVE to keep it.";
        case Result::tooLarge:
            return "The library holds more than " + juce::String (LibraryFile::maxRecords) +
                   " programs, more than a library file takes. Delete some, or save part of it.";
        case Result::failed:
            return "Could not write " + file.getFullPathName() + ". The library is still here: save it with SAVE.";
        case Result::written:
        case Result::unchanged:
        case Result::empty: break;
    }
    return {};
}
