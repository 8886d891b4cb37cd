#pragma once

#include "instrument/ProgramPacking.h"

#include <juce_core/juce_core.h>

/** The library that outlives the editor: "p12Lib.p12l" in the settings folder. Several instances
    (two plug-ins in a project, the standalone beside a plug-in) may keep the same file, so every
    write merges what another instance wrote since this one last read or wrote it: records added
    there are kept, records deleted there are dropped here too. A file that could not be read is
    never written over, and the file as it was before this instance's first write is kept as
    "p12Lib.p12l.bak". Message thread only. */
class DefaultLibraryFile
{
public:
    static constexpr const char* fileName = "p12Lib.p12l";

    enum class Result
    {
        written,
        unchanged,   // nothing differs from the file: not written
        empty,       // an empty library is never written
        keptOldFile, // the file on disk could not be read, so it is not written over
        tooLarge,    // more records than a library file takes
        failed       // the write itself failed; the old file is intact
    };

    DefaultLibraryFile() = default;

    /** Reads the folder's file, which becomes this library's home: the records as stored,
        repeats included; none when the file is missing or unreadable. */
    ravlin::Bytes load (const juce::File& folder);
    /** True when the home file exists but could not be read (too large, unreadable). */
    bool isUnreadable() const noexcept { return unreadable; }
    /** True when the records differ from what was last read from or written to the home. */
    bool differsFrom (const ravlin::Bytes& records) const noexcept { return home != juce::File() && records != base; }
    const juce::File& getHome() const noexcept { return home; }

    /** Writes the records to the folder's file, merged with another instance's changes; the
        records receive the merge. */
    Result save (const juce::File& folder, ravlin::Bytes& records);
    /** True when the last save changed the records (another instance's work came in). */
    bool broughtChanges() const noexcept { return broughtIn; }

    /** The records of a library file's content, as stored. */
    static ravlin::Bytes recordsIn (const ravlin::Bytes& fileContent);
    /** Mine, without what another instance deleted since base, and with what it added. */
    static ravlin::Bytes merge (const ravlin::Bytes& mine, const ravlin::Bytes& base, const ravlin::Bytes& onDisk);
    /** What to tell the user about a result; empty when there is nothing to tell. */
    static juce::String describe (Result result, const juce::File& file);

private:
    bool changedOnDisk (const juce::File& file) const;
    void remember (const juce::File& file);
    bool keepBackup (const juce::File& file);

    juce::File home;
    ravlin::Bytes base; // the home file's records as last read or written
    bool unreadable = false, backedUp = false, broughtIn = false;
    juce::int64 seenSize = -1;
    juce::Time seenTime;
    juce::uint64 seenIdentity = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DefaultLibraryFile)
};
