#include "library/ProgramFiles.h"

#include "library/LibraryFile.h"
#include "library/ProgramScan.h"
#include "library/SafeFileWrite.h"

namespace ProgramFiles
{
std::optional<ravlin::Bytes> readFile (const juce::File& file, juce::int64 limit)
{
    if (!file.existsAsFile() || file.getSize() > limit)
        return std::nullopt;
    juce::FileInputStream in (file);
    if (!in.openedOk())
        return std::nullopt;
    // Read no more than the limit even if the file grew since its size was asked.
    ravlin::Bytes data ((size_t)std::min (in.getTotalLength(), limit));
    size_t got = 0;
    while (got < data.size())
    {
        const auto n = in.read (data.data() + got, (int)std::min<size_t> (data.size() - got, 1 << 30));
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break;
        got += (size_t)n;
    }
    data.resize (got);
    return data;
}

juce::String whyUnreadable (const juce::File& file, juce::int64 limit)
{
    if (!file.existsAsFile())
        return file.getFileName() + " does not exist.";
    if (file.getSize() > limit)
        return file.getFileName() + " is too large (" + juce::File::descriptionOfSizeInBytes (file.getSize()) +
               "; at most " + juce::File::descriptionOfSizeInBytes (limit) + " are read).";
    return file.getFileName() + " cannot be read.";
}

juce::int64 limitFor (const juce::File& file)
{
    uint8_t start[LibraryFile::markerLength] = {};
    juce::FileInputStream in (file);
    const bool library = in.openedOk() && in.read (start, (int)sizeof (start)) == (int)sizeof (start) &&
                         LibraryFile::hasStartMarker (start, sizeof (start));
    return library ? LibraryFile::maxFileSize : maxFileSize;
}

std::optional<ravlin::Bytes> readProgramSource (const juce::File& file)
{
    return readFile (file, limitFor (file));
}

ravlin::Bytes firstSysExMessage (const ravlin::Bytes& data)
{
    const auto start = std::find (data.begin(), data.end(), ravlin::sysex::start);
    if (start == data.end())
        return {};
    const auto end = std::find (start, data.end(), ravlin::sysex::end);
    if (end == data.end())
        return {};
    return ravlin::Bytes (start, end + 1);
}

bool readSingleProgram (const ravlin::Bytes& data, DSI_Program& into)
{
    // Only the first message is tried, and it must be a whole dump.
    const auto first = std::find (data.begin(), data.end(), ravlin::sysex::start);
    if (first == data.end())
        return false;
    const auto firstAt = (size_t)(first - data.begin());
    const auto result = ProgramScan::scan (data.data(), data.size());
    if (result.format != ProgramScan::Format::sysEx || result.programs.front().offset != firstAt)
        return false;
    into.setImage (result.programs.front().image);
    return true;
}

ravlin::ProgramDumps readProgramBank (const ravlin::Bytes& data)
{
    ravlin::ProgramDumps dumps;
    const auto result = ProgramScan::scan (data.data(), data.size());
    if (result.format != ProgramScan::Format::sysEx)
        return dumps;
    const auto size = (size_t)ravlin::sysex::programDumpSize;
    for (const auto& found : result.programs)
    {
        if (found.bank < 0)
            continue; // an edit-buffer dump names no slot
        dumps.joined.insert (dumps.joined.end(), data.begin() + (std::ptrdiff_t)found.offset,
                             data.begin() + (std::ptrdiff_t) (found.offset + size));
        ++dumps.count;
    }
    return dumps;
}

std::vector<BankedProgram> readBankedPrograms (const ravlin::Bytes& data)
{
    std::vector<BankedProgram> found;
    const auto dumps = readProgramBank (data);
    const auto size = (size_t)ravlin::sysex::programDumpSize;
    for (int k = 0; k < dumps.count; ++k)
    {
        const auto* dump = dumps.joined.data() + (size_t)k * size;
        const int bank = dump[4], program = dump[5];
        if (bank >= 8 || program >= Bank_Program::numPrograms)
            continue;
        BankedProgram p{bank, program, ravlin::Bytes ((size_t)Bank_Program::programSize, 0)};
        ravlin::unpackImage (dump + ravlin::sysex::programDumpDataOffset, (size_t)ravlin::sysex::packedSize,
                             p.image.data());
        found.push_back (std::move (p));
    }
    return found;
}

std::vector<int> banksNamed (const std::vector<BankedProgram>& programs)
{
    std::vector<int> banks;
    for (const auto& p : programs)
        if (std::find (banks.begin(), banks.end(), p.bank) == banks.end())
            banks.push_back (p.bank);
    std::sort (banks.begin(), banks.end());
    return banks;
}

ravlin::Bytes singleProgramContent (const ravlin::Bytes& image, uint8_t device)
{
    return ravlin::packEditBufferDump (image, device);
}

ravlin::Bytes bankContent (const Bank_Program& bank, int bankNumber, uint8_t device)
{
    ravlin::Bytes content;
    content.reserve ((size_t)Bank_Program::numPrograms * (size_t)ravlin::sysex::programDumpSize);
    for (int p = 0; p < Bank_Program::numPrograms; ++p)
    {
        auto image = bank.getProgram (p);
        image.resize ((size_t)Bank_Program::programSize, 0);
        const auto dump = ravlin::packProgramDump (image, juce::jlimit (0, 7, bankNumber), p, device);
        content.insert (content.end(), dump.begin(), dump.end());
    }
    return content;
}

juce::File withExtension (const juce::File& chosen, const juce::StringArray& patterns)
{
    if (patterns.isEmpty())
        return chosen;
    const auto name = chosen.getFileName();
    for (const auto& pattern : patterns)
        if (const auto extension = pattern.fromFirstOccurrenceOf ("*", false, false);
            extension.isNotEmpty() && name.endsWithIgnoreCase (extension) && name.length() > extension.length())
            return chosen;
    return juce::File (chosen.getFullPathName() + patterns[0].fromFirstOccurrenceOf ("*", false, false));
}

juce::File withExtension (const juce::File& chosen, const juce::String& extension)
{
    return withExtension (chosen, juce::StringArray ("*" + extension));
}

bool write (const juce::File& file, const ravlin::Bytes& content)
{
    return ravlin::replaceFileSafely (file, content.data(), content.size());
}
} // namespace ProgramFiles
