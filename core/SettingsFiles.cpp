#include "core/SettingsFiles.h"

#include "core/PresetChunks.h"
#include "library/SafeFileWrite.h"

#include <cstring>
#include <mutex>

namespace
{
const char banksHeader[] = "Proph12 Data>";
const char banksTrailer[] = "<Proph12 Data";
const juce::StringArray defaultPortNames{"NONE", "NONE", "NONE", "0"};

void put16 (ravlin::Bytes& out, size_t at, int value)
{
    const auto v = (uint16_t)(int16_t)juce::jlimit (-32768, 32767, value);
    out[at] = (uint8_t)(v >> 8);
    out[at + 1] = (uint8_t)(v & 0xFF);
}

// Two instances in one process (two plug-ins in a song) read, merge and write the shared files
// one at a time, so neither merges against a file the other is about to replace.
std::mutex& sharedFilesLock()
{
    static std::mutex lock;
    return lock;
}

int get16 (const ravlin::Bytes& in, size_t at)
{
    const auto hi = at < in.size() ? in[at] : 0, lo = at + 1 < in.size() ? in[at + 1] : 0;
    return (int)(int16_t)(uint16_t)((hi << 8) | lo);
}
} // namespace

SettingsFiles::SettingsFiles (juce::File applicationDataFolder) : root (std::move (applicationDataFolder)) {}

juce::File SettingsFiles::defaultApplicationDataFolder()
{
    return juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory);
}

juce::File SettingsFiles::settingsFile() const
{
    return keepsFiles() ? root.getChildFile ("RavlinSettings").getChildFile ("ph12plugstV2.dat") : juce::File();
}

juce::File SettingsFiles::banksFile() const
{
    return keepsFiles() ? root.getChildFile ("RavlinSettings").getChildFile ("Ph12_data.dat") : juce::File();
}

juce::File SettingsFiles::portsFile() const
{
    return keepsFiles() ? root.getChildFile ("RavlinSettings").getChildFile ("pro12plports.dat") : juce::File();
}

juce::File SettingsFiles::layoutFile() const
{
    return keepsFiles() ? root.getChildFile ("RavlinSettings").getChildFile ("pro12ltwh.dat") : juce::File();
}

juce::File SettingsFiles::defaultPresetFile() const
{
    return keepsFiles() ? root.getChildFile ("Library").getChildFile ("Prophet 12").getChildFile ("preset.prop12patch")
                        : juce::File();
}

ravlin::Bytes SettingsFiles::readAll (const juce::File& file)
{
    juce::MemoryBlock data;
    if (file == juce::File() || !file.existsAsFile() || !file.loadFileAsData (data))
        return {};
    const auto* bytes = static_cast<const uint8_t*> (data.getData());
    return ravlin::Bytes (bytes, bytes + data.getSize());
}

bool SettingsFiles::write (const juce::File& file, const void* data, size_t size) const
{
    return keepsFiles() && ravlin::replaceFileSafely (file, data, size);
}

//==============================================================================
SettingsFiles::Block SettingsFiles::loadSettings() const
{
    auto block = SettingsBlock::defaults();
    if (!keepsFiles())
        return block;

    if (!settingsFile().existsAsFile())
    {
        saveSettings (block);
        return block;
    }

    const auto content = readAll (settingsFile());
    if (content.size() >= (size_t)SettingsBlock::size)
        std::copy (content.begin(), content.begin() + SettingsBlock::size, block.begin());
    return block;
}

bool SettingsFiles::saveSettings (const Block& block) const
{
    return write (settingsFile(), block.data(), block.size());
}

bool SettingsFiles::saveSettings (const Block& block, Block& base) const
{
    if (!keepsFiles())
        return false;

    const std::lock_guard<std::mutex> lock (sharedFilesLock());
    const auto disk = readAll (settingsFile());
    auto merged = block;
    if (disk.size() >= merged.size())
    {
        if (block == base)
            return true;
        Block theirs;
        std::copy (disk.begin(), disk.begin() + (std::ptrdiff_t)theirs.size(), theirs.begin());
        SettingsBlock::settle (theirs); // as this instance settled its own at load
        // Byte by byte, except the latency numbers, which are 32-bit values taken whole.
        for (size_t i = 0; i < merged.size();)
        {
            const bool number =
                (i >= (size_t)SettingsBlock::latencyMarker && i < (size_t)SettingsBlock::latencyMarker + 4) ||
                (i >= (size_t)SettingsBlock::latencyValues && i < (size_t)SettingsBlock::seventhLatency + 4);
            const size_t width = number ? 4 : 1;
            if (std::equal (block.begin() + (std::ptrdiff_t)i, block.begin() + (std::ptrdiff_t) (i + width),
                            base.begin() + (std::ptrdiff_t)i))
                std::copy (theirs.begin() + (std::ptrdiff_t)i, theirs.begin() + (std::ptrdiff_t) (i + width),
                           merged.begin() + (std::ptrdiff_t)i);
            i += width;
        }
        if (disk.size() == merged.size() && std::equal (merged.begin(), merged.end(), disk.begin()))
        {
            base = block;
            return true;
        }
    }
    if (!write (settingsFile(), merged.data(), merged.size()))
        return false;
    base = block;
    return true;
}

//==============================================================================
std::array<bool, 8> SettingsFiles::loadBanks (Banks& banks) const
{
    std::array<bool, 8> loaded{};
    const auto content = readAll (banksFile());
    if (content.size() <= 1000)
        return loaded;

    for (size_t i = 0; i < banks.size(); ++i)
    {
        const auto start = (size_t)banksMarkerLength + (size_t)bankBytes * i;
        if (start + (size_t)bankBytes > content.size())
            break; // only whole banks are taken from a file of another length
        std::copy (content.begin() + (std::ptrdiff_t)start, content.begin() + (std::ptrdiff_t) (start + bankBytes),
                   banks[i]->programs.begin());
        loaded[i] = true;
    }
    return loaded;
}

ravlin::Bytes SettingsFiles::banksContent (const Banks& banks)
{
    ravlin::Bytes content;
    content.reserve ((size_t)banksFileSize);
    content.insert (content.end(), banksHeader, banksHeader + banksMarkerLength);
    for (const auto& bank : banks)
    {
        auto data = bank->programs;
        data.resize ((size_t)bankBytes, 0);
        content.insert (content.end(), data.begin(), data.end());
    }
    content.insert (content.end(), banksTrailer, banksTrailer + banksMarkerLength);
    return content;
}

bool SettingsFiles::saveBanks (const Banks& banks) const
{
    const auto content = banksContent (banks);
    return write (banksFile(), content.data(), content.size());
}

bool SettingsFiles::saveBanks (const Banks& banks, ravlin::Bytes& base) const
{
    if (!keepsFiles())
        return false;

    const std::lock_guard<std::mutex> lock (sharedFilesLock());
    const auto mine = banksContent (banks);
    const auto disk = readAll (banksFile());
    auto merged = mine;
    if (disk.size() == mine.size() && base.size() == mine.size())
    {
        if (mine == base)
            return true;
        constexpr auto slotSize = (std::ptrdiff_t)Bank_Program::programSize;
        for (int slot = 0; slot < 8 * Bank_Program::numPrograms; ++slot)
        {
            const auto from = (std::ptrdiff_t)banksMarkerLength + slot * slotSize;
            if (std::equal (mine.begin() + from, mine.begin() + from + slotSize, base.begin() + from))
                std::copy (disk.begin() + from, disk.begin() + from + slotSize, merged.begin() + from);
        }
        if (merged == disk)
        {
            base = mine;
            return true;
        }
    }
    if (!write (banksFile(), merged.data(), merged.size()))
        return false;
    base = mine;
    return true;
}

//==============================================================================
ravlin::Bytes SettingsFiles::portsContent (const juce::StringArray& names)
{
    ravlin::Bytes content;
    const uint8_t markers[4] = {inputMarker, outputMarker, thirdMarker, numberMarker};
    for (int i = 0; i < 4; ++i)
    {
        const auto text = (i < names.size() ? names[i] : defaultPortNames[i]).toStdString();
        for (auto c : text)
            if ((uint8_t)c < inputMarker || (uint8_t)c > numberMarker) // a name never holds a marker
                content.push_back ((uint8_t)c);
        content.push_back (markers[i]);
    }
    return content;
}

juce::StringArray SettingsFiles::parsePorts (const ravlin::Bytes& content)
{
    auto names = defaultPortNames;
    if (content.size() <= 2)
        return names;

    auto lastOf = [&content] (uint8_t marker) -> long
    {
        for (auto i = (long)content.size(); --i >= 0;)
            if (content[(size_t)i] == marker)
                return i;
        return -1;
    };
    const long positions[4] = {lastOf (inputMarker), lastOf (outputMarker), lastOf (thirdMarker),
                               lastOf (numberMarker)};
    auto text = [&content] (long from, long to)
    { return juce::String::fromUTF8 (reinterpret_cast<const char*> (content.data()) + from, (int)(to - from)); };

    if (positions[0] >= 0)
        names.set (0, text (0, positions[0]));
    for (int i = 1; i < 4; ++i)
        if (positions[i - 1] >= 0 && positions[i] > positions[i - 1])
            names.set (i, text (positions[i - 1] + 1, positions[i]));
    return names;
}

juce::StringArray SettingsFiles::loadPorts() const
{
    if (!keepsFiles())
        return defaultPortNames;
    if (!portsFile().existsAsFile())
    {
        savePorts (defaultPortNames);
        return defaultPortNames;
    }

    const auto content = readAll (portsFile());
    if (content.size() <= 2)
        savePorts (defaultPortNames);
    return parsePorts (content);
}

bool SettingsFiles::savePorts (const juce::StringArray& names) const
{
    const auto content = portsContent (names);
    return write (portsFile(), content.data(), content.size());
}

//==============================================================================
ravlin::Bytes SettingsFiles::layoutContent (const LayoutValues& layout)
{
    ravlin::Bytes content ((size_t)layoutFileSize, 0);
    put16 (content, 0, layout.editor.getX());
    put16 (content, 2, layout.editor.getY());
    put16 (content, 4, layout.editor.getWidth());
    put16 (content, 6, layout.editor.getHeight());
    put16 (content, 12, layout.panel.getWidth());
    put16 (content, 14, layout.panel.getHeight());
    put16 (content, 20, layout.keyboard.getWidth());
    put16 (content, 22, layout.keyboard.getHeight());
    put16 (content, 24, juce::roundToInt (layout.lastPanelScale * 1000.0));
    put16 (content, 26, juce::roundToInt (layout.panelScale * 1000.0));
    return content;
}

LayoutValues SettingsFiles::parseLayout (const ravlin::Bytes& content)
{
    LayoutValues layout;
    layout.editor = {get16 (content, 0), get16 (content, 2), get16 (content, 4), get16 (content, 6)};
    layout.panel = {get16 (content, 8), get16 (content, 10), get16 (content, 12), get16 (content, 14)};
    layout.keyboard = {get16 (content, 16), get16 (content, 18), get16 (content, 20), get16 (content, 22)};
    layout.lastPanelScale = get16 (content, 24) / 1000.0;
    layout.panelScale = get16 (content, 26) / 1000.0;
    return layout;
}

std::optional<LayoutValues> SettingsFiles::loadLayout() const
{
    const auto content = readAll (layoutFile());
    if (content.size() <= 2)
        return std::nullopt;
    return parseLayout (content);
}

bool SettingsFiles::saveLayout (const LayoutValues& layout) const
{
    const auto content = layoutContent (layout);
    return write (layoutFile(), content.data(), content.size());
}

//==============================================================================
std::optional<ravlin::Bytes> SettingsFiles::readDefaultPreset() const
{
    const auto content = readAll (defaultPresetFile());
    const auto& marker = PresetChunks::programChunkMarker;
    const auto markerLength = std::strlen (marker);
    if (content.size() < markerLength || !std::equal (marker, marker + markerLength, content.begin()))
        return std::nullopt;

    ravlin::Bytes image ((size_t)Bank_Program::programSize, 0);
    const auto from = (size_t)PresetChunks::programChunkHeaderSize;
    if (content.size() > from)
        std::copy (content.begin() + (std::ptrdiff_t)from,
                   content.begin() + (std::ptrdiff_t)std::min (content.size(), from + image.size()), image.begin());
    return image;
}
