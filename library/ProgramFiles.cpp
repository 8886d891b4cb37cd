#include "library/ProgramFiles.h"

#include "core/SafeFileWrite.h"

namespace ProgramFiles
{
std::optional<ravlin::Bytes> readFile (const juce::File& file)
{
    if (!file.existsAsFile() || file.getSize() > maxFileSize)
        return std::nullopt;
    juce::FileInputStream in (file);
    if (!in.openedOk())
        return std::nullopt;
    // Read no more than the limit even if the file grew since its size was asked.
    ravlin::Bytes data ((size_t)std::min (in.getTotalLength(), maxFileSize));
    const auto got = in.read (data.data(), (int)data.size());
    if (got < 0)
        return std::nullopt;
    data.resize ((size_t)got);
    return data;
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
    if (data.size() <= 9)
        return false;
    const auto message = firstSysExMessage (data);
    return !message.empty() && into.loadSysEx (message);
}

ravlin::ProgramDumps readProgramBank (const ravlin::Bytes& data)
{
    if (data.size() < 10)
        return {};
    return ravlin::splitProgramDumps (data);
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

ravlin::Bytes singleProgramContent (const ravlin::Bytes& image)
{
    return ravlin::packEditBufferDump (image);
}

ravlin::Bytes bankContent (const Bank_Program& bank, int bankNumber)
{
    ravlin::Bytes content;
    content.reserve ((size_t)Bank_Program::numPrograms * (size_t)ravlin::sysex::programDumpSize);
    for (int p = 0; p < Bank_Program::numPrograms; ++p)
    {
        auto image = bank.getProgram (p);
        image.resize ((size_t)Bank_Program::programSize, 0);
        const auto dump = ravlin::packProgramDump (image, juce::jlimit (0, 7, bankNumber), p);
        content.insert (content.end(), dump.begin(), dump.end());
    }
    return content;
}

juce::File withExtension (const juce::File& chosen, const juce::String& extension)
{
    if (chosen.getFileExtension().length() >= 3)
        return chosen;
    return juce::File (chosen.getFullPathName() + extension);
}

bool write (const juce::File& file, const ravlin::Bytes& content)
{
    return ravlin::replaceFileSafely (file, content.data(), content.size());
}
} // namespace ProgramFiles
