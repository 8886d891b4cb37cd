#include "core/ProgramStore.h"

#include "instrument/ParameterTable.h"

using ravlin::Bytes;

namespace
{
const char* const bankNames[ProgramStore::numBanks] = {"User Bank 1",    "User Bank 2",    "User Bank 3",
                                                       "User Bank 4",    "Factory Bank 1", "Factory Bank 2",
                                                       "Factory Bank 3", "Factory Bank 4"};
} // namespace

ProgramStore::ProgramStore()
{
    for (int b = 0; b < numBanks; ++b)
        banks[(size_t)b] = std::make_unique<Bank_Program> (bankNames[b]);

    presetBank.loadFactoryBank (0);
    // Until a preset is chosen the sound being edited is the first preset, which is what the
    // host gets when it asks for the current program; an empty image would name itself
    // "AAAAAAAAAAAAAAAA".
    presetBank.setCurrent (presetBank.getProgram (0));
}

void ProgramStore::load (const SettingsFiles& files)
{
    const auto fromFile = files.loadBanks (banks);
    for (int b = 0; b < numBanks; ++b)
        if (!fromFile[(size_t)b])
            banks[(size_t)b]->loadFactoryBank (b % 4);
    banksAsSaved = SettingsFiles::banksContent (banks);
}

void ProgramStore::save (const SettingsFiles& files)
{
    files.saveBanks (banks, banksAsSaved);
}

void ProgramStore::storeByte (int index, int value)
{
    if (!juce::isPositiveAndBelow (index, ravlin::ParameterTable::numImageParameters))
        return;
    const juce::SpinLock::ScopedLockType sl (lock);
    presetBank.current[(size_t)index] = (uint8_t)value;
}

uint8_t ProgramStore::getProgramByte (int index) const
{
    const juce::SpinLock::ScopedLockType sl (lock);
    return juce::isPositiveAndBelow (index, (int)presetBank.current.size()) ? presetBank.current[(size_t)index] : 0;
}

Bytes ProgramStore::getCurrentProgram() const
{
    const juce::SpinLock::ScopedLockType sl (lock);
    return presetBank.current;
}

void ProgramStore::setCurrentProgram (const Bytes& image)
{
    const juce::SpinLock::ScopedLockType sl (lock);
    presetBank.setCurrent (image);
}

void ProgramStore::loadBankProgram (int bank, int program) noexcept
{
    if (!juce::isPositiveAndBelow (bank, numBanks) || !juce::isPositiveAndBelow (program, Bank_Program::numPrograms))
        return;
    const juce::SpinLock::ScopedLockType sl (lock);
    const auto* source = banks[(size_t)bank]->programs.data() + (size_t)program * Bank_Program::programSize;
    std::copy (source, source + Bank_Program::programSize, presetBank.current.begin());
}

void ProgramStore::loadPreset (int program)
{
    const juce::SpinLock::ScopedLockType sl (lock);
    presetBank.setCurrent (presetBank.getProgram (program));
}

Bytes ProgramStore::getBankProgram (int bank, int program) const
{
    if (!juce::isPositiveAndBelow (bank, numBanks))
        return Bytes ((size_t)Bank_Program::programSize, 0);
    const juce::SpinLock::ScopedLockType sl (lock);
    return banks[(size_t)bank]->getProgram (program);
}

void ProgramStore::setBankProgram (int bank, int program, const Bytes& image)
{
    if (!juce::isPositiveAndBelow (bank, numBanks))
        return;
    const juce::SpinLock::ScopedLockType sl (lock);
    banks[(size_t)bank]->setProgram (program, image);
}

juce::String ProgramStore::getBankProgramName (int bank, int program) const
{
    if (!juce::isPositiveAndBelow (bank, numBanks))
        return {};
    const juce::SpinLock::ScopedLockType sl (lock);
    return banks[(size_t)bank]->getProgramName (program);
}

Bytes ProgramStore::getPresetProgram (int program) const
{
    const juce::SpinLock::ScopedLockType sl (lock);
    auto image = presetBank.getProgram (juce::jlimit (0, Bank_Program::numPrograms - 1, program));
    image.resize ((size_t)Bank_Program::programSize, 0);
    return image;
}

void ProgramStore::setPresetProgram (int program, const Bytes& image)
{
    const juce::SpinLock::ScopedLockType sl (lock);
    presetBank.setProgram (program, image);
}

juce::String ProgramStore::getPresetProgramName (int program) const
{
    const juce::SpinLock::ScopedLockType sl (lock);
    return presetBank.getProgramName (program);
}

void ProgramStore::renamePresetProgram (int program, const juce::String& name)
{
    const juce::SpinLock::ScopedLockType sl (lock);
    presetBank.setProgramName (program, name);
}
