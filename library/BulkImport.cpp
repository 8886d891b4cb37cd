#include "library/BulkImport.h"

#include "library/LibraryFile.h"
#include "library/ProgramFiles.h"
#include "library/ProgramScan.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <cstring>

namespace
{
bool isMidiFile (const juce::File& file, const ravlin::Bytes& data)
{
    const auto extension = file.getFileExtension().toLowerCase();
    return extension == ".mid" || extension == ".midi" ||
           (data.size() >= 4 && std::memcmp (data.data(), "MThd", 4) == 0);
}

std::vector<ravlin::Bytes> programsIn (const juce::File& file)
{
    const auto data = ProgramFiles::readProgramSource (file);
    if (!data.has_value())
        return {};
    if (LibraryFile::hasStartMarker (data->data(), data->size()))
        return LibraryFile::readRecords (data->data(), data->size(), (size_t)LibraryFile::markerLength, false);

    const auto source = isMidiFile (file, *data) ? BulkImport::sysExOfMidiFile (*data) : *data;
    const auto scanned = ProgramScan::scan (source.data(), source.size());
    std::vector<ravlin::Bytes> programs;
    // A file of 1024 bytes would read as a bare image; only files that say what they are count.
    if (scanned.format == ProgramScan::Format::rawImage || scanned.format == ProgramScan::Format::none)
        return programs;
    for (const auto& found : scanned.programs)
        programs.push_back (found.image);
    return programs;
}
} // namespace

namespace BulkImport
{
ravlin::Bytes sysExOfMidiFile (const ravlin::Bytes& data)
{
    juce::MemoryInputStream in (data.data(), data.size(), false);
    juce::MidiFile midi;
    if (!midi.readFrom (in, false))
        return {};
    ravlin::Bytes joined;
    for (int t = 0; t < midi.getNumTracks(); ++t)
        for (const auto* event : *midi.getTrack (t))
            if (event->message.isSysEx())
            {
                const auto* raw = event->message.getRawData();
                joined.insert (joined.end(), raw, raw + event->message.getRawDataSize());
            }
    return joined;
}

Result read (const juce::StringArray& paths)
{
    juce::Array<juce::File> files;
    for (const auto& path : paths)
    {
        const juce::File item (path);
        if (item.isDirectory())
        {
            auto inside = item.findChildFiles (juce::File::findFiles, true);
            inside.sort();
            files.addArray (inside);
        }
        else
            files.add (item);
    }

    Result result;
    for (const auto& file : files)
    {
        auto programs = programsIn (file);
        if (programs.empty())
        {
            result.notUnderstood.add (file.getFileName());
            continue;
        }
        ++result.filesRead;
        for (auto& p : programs)
            result.programs.push_back (std::move (p));
    }
    return result;
}

juce::String summary (int added, int skipped, const juce::StringArray& notUnderstood)
{
    auto text = juce::String (added) + " added, " + juce::String (skipped) +
                (skipped == 1 ? " duplicate skipped" : " duplicates skipped");
    if (!notUnderstood.isEmpty())
        text << ", files not understood: " << notUnderstood.joinIntoString (", ");
    return text;
}
} // namespace BulkImport
