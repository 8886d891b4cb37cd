#include "instrument/Bank_Program.h"

#include "instrument/BankFolder.h"

using ravlin::Bytes;

Bank_Program::Bank_Program (const juce::String& name)
    : bankName (name), programs ((size_t)(numPrograms * programSize), 0), current ((size_t)programSize, 0)
{
}

void Bank_Program::initialise (bool useFactory)
{
    if (useFactory)
    {
        loadFactoryBank (0);
        return;
    }

    const auto image = DSI_Program::defaultImage();
    current = image;
    for (int n = 0; n < numPrograms; ++n)
        setProgram (n, image);
}

void Bank_Program::loadFactoryBank (int factoryBank)
{
    const BankFolder folder;
    if (const auto* data = folder.bank (factoryBank))
        programs.assign (data, data + numPrograms * programSize);
}

void Bank_Program::loadFromDumps (const uint8_t* stream, size_t length)
{
    const auto size = (size_t)ravlin::sysex::programDumpSize;
    const auto count = juce::jmin (length / size, (size_t)numPrograms);

    uint8_t image[programSize];
    for (size_t k = 0; k < count; ++k)
    {
        ravlin::unpackImage (stream + k * size + ravlin::sysex::programDumpDataOffset,
                             (size_t)ravlin::sysex::packedSize, image);
        setProgram ((int)k, image, (size_t)programSize);
    }
}

const uint8_t* Bank_Program::slot (int n) const noexcept
{
    n = juce::jmax (0, n);
    return n < numPrograms ? programs.data() + (size_t)n * programSize : nullptr;
}

Bytes Bank_Program::getProgram (int n) const
{
    if (const auto* data = slot (n))
        return Bytes (data, data + programSize);
    return {};
}

void Bank_Program::setProgram (int n, const Bytes& bytes)
{
    setProgram (n, bytes.data(), bytes.size());
}

void Bank_Program::setProgram (int n, const uint8_t* bytes, size_t length)
{
    if (!juce::isPositiveAndBelow (n, numPrograms))
        return;
    std::copy (bytes, bytes + juce::jmin (length, (size_t)programSize), programs.begin() + (ptrdiff_t)n * programSize);
}

juce::String Bank_Program::getProgramName (int n) const
{
    if (const auto* data = slot (n))
        return DSI_Program::nameFrom (data, (size_t)programSize, false);
    return {};
}

void Bank_Program::setProgramName (int n, const juce::String& name)
{
    if (juce::isPositiveAndBelow (n, numPrograms))
        DSI_Program::writeName (programs.data() + (size_t)n * programSize + DSI_Program::nameOffset, name);
}

Bytes Bank_Program::programAsDump (int n) const
{
    return ravlin::packEditBufferDump (getProgram (n));
}

void Bank_Program::setCurrent (const Bytes& bytes)
{
    std::fill (current.begin(), current.end(), 0);
    std::copy (bytes.begin(), bytes.begin() + (ptrdiff_t)juce::jmin (bytes.size(), (size_t)programSize),
               current.begin());
}

void Bank_Program::storeCurrent (int n)
{
    setProgram (n, current);
}

void Bank_Program::setProgramAndCurrent (int n, const Bytes& bytes)
{
    setCurrent (bytes);
    setProgram (n, current);
}

juce::String Bank_Program::getCurrentName() const
{
    return DSI_Program::nameFrom (current.data(), current.size(), false);
}

juce::String Bank_Program::abModeTextOf (const uint8_t* image, size_t length)
{
    if (image == nullptr || length <= (size_t)DSI_Program::abModeOffset)
        return {};
    switch (image[DSI_Program::abModeOffset])
    {
        case 0: return "NOR";
        case 1: return "A + B";
        case 2: return "A | B";
        default: return {};
    }
}

juce::String Bank_Program::arpMarkOf (const uint8_t* image, size_t length)
{
    if (image == nullptr || length <= (size_t)DSI_Program::arpOnB)
        return {};
    return image[DSI_Program::arpOnA] != 0 || image[DSI_Program::arpOnB] != 0 ? "(A)" : "";
}

juce::String Bank_Program::abModeText (int n) const
{
    return abModeTextOf (slot (n), (size_t)programSize);
}

juce::String Bank_Program::currentAbModeText() const
{
    return abModeTextOf (current.data(), current.size());
}

juce::String Bank_Program::arpMark (int n) const
{
    return arpMarkOf (slot (n), (size_t)programSize);
}

juce::String Bank_Program::currentArpMark() const
{
    return arpMarkOf (current.data(), current.size());
}
