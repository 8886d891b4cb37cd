#pragma once

#include "instrument/DSI_Program.h"

/** A named bank of 99 program images plus a working image. */
class Bank_Program
{
public:
    static constexpr int numPrograms = 99;
    static constexpr int programSize = 1024;
    static constexpr int numFactoryBanks = 4;

    explicit Bank_Program (const juce::String& name);

    /** Factory bank 1, or the default program everywhere. */
    void initialise (bool useFactory);
    void loadFactoryBank (int factoryBank);

    /** Program dumps back to back, one per slot in stream order; their own bank and
        program bytes are not read. A bank never grows: dumps past the 99th are ignored. */
    void loadFromDumps (const uint8_t* stream, size_t length);
    void loadFromDumps (const ravlin::Bytes& stream) { loadFromDumps (stream.data(), stream.size()); }

    /** Slot n's bytes; a negative n reads slot 0, one past the bank reads nothing. */
    ravlin::Bytes getProgram (int n) const;
    /** Writes up to 1024 bytes into slot n; numbers outside 0..98 are ignored. */
    void setProgram (int n, const ravlin::Bytes& bytes);
    void setProgram (int n, const uint8_t* bytes, size_t length);

    juce::String getProgramName (int n) const;
    void setProgramName (int n, const juce::String& name);
    ravlin::Bytes programAsDump (int n) const;

    const ravlin::Bytes& getCurrent() const noexcept { return current; }
    void setCurrent (const ravlin::Bytes& bytes);
    void storeCurrent (int n);
    void setProgramAndCurrent (int n, const ravlin::Bytes& bytes);
    juce::String getCurrentName() const;

    juce::String abModeText (int n) const;
    juce::String currentAbModeText() const;
    juce::String arpMark (int n) const;
    juce::String currentArpMark() const;

    static juce::String abModeTextOf (const uint8_t* image, size_t length);
    static juce::String arpMarkOf (const uint8_t* image, size_t length);

    juce::String bankName;
    ravlin::Bytes programs;
    ravlin::Bytes current;

private:
    const uint8_t* slot (int n) const noexcept;

    JUCE_LEAK_DETECTOR (Bank_Program)
};
