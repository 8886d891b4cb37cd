#include "instrument/DSI_Program.h"

#include "instrument/EmbeddedData.h"

DSI_Program::DSI_Program() : image (defaultImage()) {}

ravlin::Bytes DSI_Program::defaultImage()
{
    ravlin::Bytes result ((size_t)ravlin::sysex::imageSize);
    ravlin::unpackImage (ravlin::embedded::defaultProgramDump + ravlin::sysex::programDumpDataOffset,
                         (size_t)ravlin::sysex::packedSize, result.data());
    return result;
}

juce::String DSI_Program::nameFrom (const uint8_t* data, size_t length, bool substituteControlCodes)
{
    juce::String text;
    for (size_t i = nameOffset; i < (size_t)(nameOffset + nameLength); ++i)
    {
        auto c = i < length ? data[i] : (uint8_t)0;
        if (substituteControlCodes && c < 32)
            c = 'A';
        text += juce::String::charToString ((juce::juce_wchar)c);
    }
    return text;
}

void DSI_Program::writeName (uint8_t* nameField, const juce::String& newName)
{
    for (int i = 0; i < nameLength; ++i)
    {
        const auto c = i < newName.length() ? (int)newName[i] : ' ';
        nameField[i] = (uint8_t)(c >= 20 && c <= 159 ? c : ' ');
    }
}

juce::String DSI_Program::getName()
{
    name = nameFrom (image.data(), image.size(), true);
    return name;
}

void DSI_Program::setName (const juce::String& newName)
{
    if (image.size() < (size_t)ravlin::sysex::imageSize)
        image.resize ((size_t)ravlin::sysex::imageSize, 0);
    writeName (image.data() + nameOffset, newName);
}

void DSI_Program::setImage (const uint8_t* data, size_t length)
{
    image.assign (data, data + juce::jmin (length, (size_t)ravlin::sysex::imageSize));
}

ravlin::Bytes DSI_Program::getImage() const
{
    auto copy = image;
    copy.resize ((size_t)ravlin::sysex::imageSize, 0);
    return copy;
}

bool DSI_Program::loadSysEx (const uint8_t* message, size_t length)
{
    using namespace ravlin;

    if (length == (size_t)sysex::imageSize)
    {
        image.assign (message, message + length);
    }
    else if (length == (size_t)sysex::editBufferDumpSize || length == (size_t)sysex::programDumpSize)
    {
        const auto offset =
            length == (size_t)sysex::programDumpSize ? sysex::programDumpDataOffset : sysex::editBufferDumpDataOffset;
        image.resize ((size_t)sysex::imageSize);
        unpackImage (message + offset, (size_t)sysex::packedSize, image.data());
    }
    else
    {
        return false;
    }

    getName();
    return true;
}
