#pragma once

#include "core/SettingsFiles.h"
#include "instrument/Bank_Program.h"

#include <array>
#include <memory>

/** The program being edited (the preset bank's working image), the preset bank and the eight
    banks, read and written under one short spin lock: dumps arrive on the MIDI input thread
    while the audio thread may be selecting from the banks. */
class ProgramStore
{
public:
    static constexpr int numBanks = 8;
    using Banks = std::array<std::unique_ptr<Bank_Program>, numBanks>;

    /** The banks named, empty; the preset bank holds the factory's first bank, the first of
        which is being edited. */
    ProgramStore();

    /** The banks from the banks file, each one it lacks from the factory. */
    void load (const SettingsFiles& files);
    /** Writes to the banks file what changed since it was loaded or last saved. */
    void save (const SettingsFiles& files);

    // The program being edited.
    void storeByte (int index, int value);
    uint8_t getProgramByte (int index) const;
    ravlin::Bytes getCurrentProgram() const;
    void setCurrentProgram (const ravlin::Bytes& image);
    /** A program of a bank becomes the one being edited, copied in place: the audio thread
        selects too, and must not allocate. */
    void loadBankProgram (int bank, int program) noexcept;
    /** A preset becomes the one being edited. */
    void loadPreset (int program);

    ravlin::Bytes getBankProgram (int bank, int program) const;
    void setBankProgram (int bank, int program, const ravlin::Bytes& image);
    juce::String getBankProgramName (int bank, int program) const;

    ravlin::Bytes getPresetProgram (int program) const;
    void setPresetProgram (int program, const ravlin::Bytes& image);
    juce::String getPresetProgramName (int program) const;
    void renamePresetProgram (int program, const juce::String& name);

    // Read and changed by the editor's bank pages and files on the message thread.
    Banks banks;
    Bank_Program presetBank{"Program Bank"};

private:
    mutable juce::SpinLock lock;
    // The banks file's bytes as this instance loaded or last saved them: a save writes only what
    // changed since, over what other instances sharing the folder saved.
    ravlin::Bytes banksAsSaved;

    JUCE_DECLARE_NON_COPYABLE (ProgramStore)
};
