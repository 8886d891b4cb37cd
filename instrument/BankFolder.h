#pragma once

#include "instrument/EmbeddedData.h"

#include <juce_core/juce_core.h>

#include <cstdint>

/** Holds one embedded data block while it is read: the factory banks. */
class BankFolder
{
public:
    BankFolder() = default;

    bool isValid() const noexcept
    {
        static const char tag[] = "Proph12 Data>";
        for (size_t i = 0; i < ravlin::embedded::factoryTagSize; ++i)
            if (ravlin::embedded::factoryBlock[i] != (unsigned char)tag[i])
                return false;
        return true;
    }

    /** The 99 x 1024 bytes of factory bank 0..3, or nullptr for any other number. */
    const uint8_t* bank (int number) const noexcept
    {
        if (number < 0 || number > 3)
            return nullptr;
        return ravlin::embedded::factoryBlock + ravlin::embedded::factoryTagSize +
               (size_t)number * ravlin::embedded::factoryBankSize;
    }

private:
    JUCE_DECLARE_NON_COPYABLE (BankFolder)
};
