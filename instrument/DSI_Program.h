#pragma once

#include "instrument/ProgramPacking.h"

#include <juce_core/juce_core.h>

/** One program image of the instrument: 1024 bytes, byte p holding parameter p. */
class DSI_Program
{
public:
    static constexpr int nameOffset = 402;
    static constexpr int nameLength = 20; // bytes 402..421
    static constexpr int abModeOffset = 425;
    static constexpr int categoryOffset = 426;
    static constexpr int arpOnA = 296;
    static constexpr int arpOnB = 808;

    /** Starts as the default program. */
    DSI_Program();

    /** The 20 name bytes, codes below 32 shown as "A"; also cached in `name`. */
    juce::String getName();
    /** Cut or padded to 20; codes outside 20..159 are stored as spaces. */
    void setName (const juce::String& newName);

    /** Takes the first min(length, 1024) bytes; a shorter image reads 0 beyond its end. */
    void setImage (const uint8_t* data, size_t length);
    void setImage (const ravlin::Bytes& data) { setImage (data.data(), data.size()); }
    ravlin::Bytes getImage() const;

    /** By length only: 1024 raw, 1176 edit-buffer dump, 1178 program dump. */
    bool loadSysEx (const uint8_t* message, size_t length);
    bool loadSysEx (const ravlin::Bytes& message) { return loadSysEx (message.data(), message.size()); }

    /** The unpacked default program ("Basic Program"). */
    static ravlin::Bytes defaultImage();

    /** Name and text rules shared with the banks. */
    static juce::String nameFrom (const uint8_t* image, size_t length, bool substituteControlCodes);
    /** Writes all nameLength bytes of the field that starts at nameField. */
    static void writeName (uint8_t* nameField, const juce::String& newName);

    juce::String name;
    ravlin::Bytes image;

    JUCE_LEAK_DETECTOR (DSI_Program)
};
