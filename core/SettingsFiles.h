#pragma once

#include "core/SettingsBlock.h"
#include "instrument/Bank_Program.h"
#include "instrument/PixelBox.h"

#include <juce_core/juce_core.h>

#include <optional>

/** The editor's layout values that outlive the editor window. */
struct LayoutValues
{
    PixelBox editor, panel, keyboard;
    double lastPanelScale = 0.0; // set by the panel's last zoom
    double panelScale = 0.0;     // the one the editor lays out with

    bool operator== (const LayoutValues& other) const
    {
        return editor == other.editor && panel.getWidth() == other.panel.getWidth() &&
               panel.getHeight() == other.panel.getHeight() && keyboard.getWidth() == other.keyboard.getWidth() &&
               keyboard.getHeight() == other.keyboard.getHeight() && lastPanelScale == other.lastPanelScale &&
               panelScale == other.panelScale;
    }
};

/** The files that belong to the user's machine rather than to a song: settings, the instrument's
    eight banks, the MIDI ports, the editor layout and the default preset. They live in the
    "RavlinSettings" folder (and "Library/Prophet 12") of the application-data folder. Every write
    goes to a temporary file renamed over the old one; a folder that cannot be written is skipped
    without a word, and the plug-in goes on with what it holds in memory. A default-constructed
    folder keeps nothing on disk (tools and tests). */
class SettingsFiles
{
public:
    static constexpr int bankBytes = Bank_Program::numPrograms * Bank_Program::programSize; // 101376
    static constexpr int banksMarkerLength = 13;
    static constexpr int banksFileSize = banksMarkerLength + 8 * bankBytes + banksMarkerLength; // 811034
    static constexpr int layoutFileSize = 100;
    static constexpr uint8_t inputMarker = 15, outputMarker = 16, thirdMarker = 17, numberMarker = 18;

    explicit SettingsFiles (juce::File applicationDataFolder = {});
    static juce::File defaultApplicationDataFolder();

    bool keepsFiles() const noexcept { return root != juce::File(); }

    juce::File settingsFile() const;
    juce::File banksFile() const;
    juce::File portsFile() const;
    juce::File layoutFile() const;
    juce::File defaultPresetFile() const;

    using Block = std::array<uint8_t, SettingsBlock::size>;
    using Banks = std::array<std::unique_ptr<Bank_Program>, 8>;

    /** A missing file gives the defaults and is written with them; a short one gives the
        defaults in memory only. */
    Block loadSettings() const;
    /** Writes the whole block. */
    bool saveSettings (const Block& block) const;
    /** For an instance that shares the folder with others (two plug-ins in a song, the standalone
        beside a plug-in): the bytes of block that differ from base, the block as this instance
        loaded or last wrote it, go over the file on disk now; the other bytes stay as another
        instance may have written them. A file shorter than the block is replaced by the whole
        block. Nothing is written when nothing changed. base becomes block once it is on disk. */
    bool saveSettings (const Block& block, Block& base) const;

    /** Bank i takes its bytes from the file when the file holds all of them; returns for each
        bank whether it did. A file of 1000 bytes or fewer loads nothing. */
    std::array<bool, 8> loadBanks (Banks& banks) const;
    /** Writes all eight banks. */
    bool saveBanks (const Banks& banks) const;
    /** The same sharing as for the settings, by program slot: a slot whose program differs from
        base (banksContent as loaded or last written) is written, every other slot keeps what the
        file on disk holds now. A file that is not a whole banks file is replaced by all eight
        banks; a whole one is not touched when no slot changed. */
    bool saveBanks (const Banks& banks, ravlin::Bytes& base) const;
    /** The banks file's bytes for these banks. */
    static ravlin::Bytes banksContent (const Banks& banks);

    /** Input name, output name, third name, number. A missing file is written with the defaults. */
    juce::StringArray loadPorts() const;
    bool savePorts (const juce::StringArray& names) const;
    static ravlin::Bytes portsContent (const juce::StringArray& names);
    static juce::StringArray parsePorts (const ravlin::Bytes& content);

    std::optional<LayoutValues> loadLayout() const;
    bool saveLayout (const LayoutValues& layout) const;
    static ravlin::Bytes layoutContent (const LayoutValues& layout);
    static LayoutValues parseLayout (const ravlin::Bytes& content);

    /** The program of the default preset file, zero-filled if short; nothing when the file is
        missing or does not start with its marker. */
    std::optional<ravlin::Bytes> readDefaultPreset() const;

private:
    static ravlin::Bytes readAll (const juce::File& file);
    bool write (const juce::File& file, const void* data, size_t size) const;

    juce::File root;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SettingsFiles)
};
