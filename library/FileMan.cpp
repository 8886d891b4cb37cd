#include "library/FileMan.h"

namespace
{
juce::String fxPattern (const char* extension)
{
    return juce::String ("*") + extension;
}
} // namespace

std::optional<FileMan::Kind> FileMan::kind (int number)
{
    using M = Mode;
    switch (number)
    {
        case 1: return Kind{1, M::open, "Load Single Prophet 12 Program", {"*.p12p", "*.syx"}};
        case 3: return Kind{3, M::open, "Load Prophet 12 Program Bank", {"*.p12b", "*.syx"}};
        case 4: return Kind{4, M::open, "Load Program 12 Library", {"*.p12l", "*.p12b"}};
        case 10: return Kind{10, M::open, "Load FX Preset Bank", {fxPattern (".fxb")}};
        case 11: return Kind{11, M::open, "Load FX Preset", {fxPattern (".fxp")}};
        case 101: return Kind{101, M::save, "Save Prophet 12 Program", {"*.p12p", "*.syx"}};
        case 103: return Kind{103, M::save, "Save Prophet 12 Program Bank", {"*.p12b", "*.syx"}};
        case 104: return Kind{104, M::save, "Save Prophet 12 Program Library", {"*.p12l"}};
        case 110: return Kind{110, M::save, "Save FX Preset Bank", {fxPattern (".fxb")}};
        case 111: return Kind{111, M::save, "Save FX Preset", {fxPattern (".fxp")}};
        default: return std::nullopt;
    }
}

juce::String FileMan::filterFor (int kindNumber)
{
    const auto k = kind (kindNumber);
    return k.has_value() ? k->patterns.joinIntoString (";") : juce::String();
}

juce::File FileMan::settingsFolder()
{
    return juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory).getChildFile ("RavlinSettings");
}

FileMan::FileMan() = default;
FileMan::~FileMan() = default;

void FileMan::browse (Mode mode, int kindNumber, const juce::String& nameToStartWith, std::function<void (bool)> done)
{
    patterns.clear();
    defaultName = nameToStartWith;
    const auto k = kind (kindNumber);
    if (!k.has_value() || k->mode != mode)
    {
        if (done)
            done (false);
        return;
    }
    title = k->title;
    patterns = k->patterns;
    const auto extension = patterns[0].fromFirstOccurrenceOf ("*", false, false);

    auto finish = [this, mode, extension, done] (juce::File file)
    {
        const bool chosen = file != juce::File();
        if (chosen)
            chosenFile = mode == Mode::save ? ProgramFiles::withExtension (file, extension) : file;
        if (done)
            done (chosen);
    };

    if (answerDialog)
    {
        finish (answerDialog (*k));
        return;
    }

    const auto start = mode == Mode::save ? settingsFolder().getChildFile (defaultName) : juce::File();
    chooser = std::make_unique<juce::FileChooser> (title, start, filterFor (kindNumber));
    const auto flags = mode == Mode::open
                           ? juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectFiles
                           : juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles |
                                 juce::FileBrowserComponent::warnAboutOverwriting;
    chooser->launchAsync (flags, [finish] (const juce::FileChooser& fc) { finish (fc.getResult()); });
}

bool FileMan::readSingleProgram (const juce::File& file)
{
    const auto data = ProgramFiles::readFile (file);
    if (!data.has_value())
        return false;
    fileBytes = *data;
    sysExBytes = ProgramFiles::firstSysExMessage (fileBytes);
    program = DSI_Program();
    return ProgramFiles::readSingleProgram (fileBytes, program);
}

bool FileMan::readProgramBank (const juce::File& file)
{
    const auto data = ProgramFiles::readFile (file);
    if (!data.has_value())
        return false;
    fileBytes = *data;
    const auto dumps = ProgramFiles::readProgramBank (fileBytes);
    sysExBytes = dumps.joined;
    bankMessages = dumps.count;
    return bankMessages > 0;
}

void FileMan::loadSingleProgram (std::function<void (bool)> done)
{
    browse (Mode::open, 1, {}, [this, done] (bool chosen) { done (chosen && readSingleProgram (chosenFile)); });
}

void FileMan::loadProgramBank (std::function<void (bool)> done)
{
    browse (Mode::open, 3, {}, [this, done] (bool chosen) { done (chosen && readProgramBank (chosenFile)); });
}

void FileMan::saveSingleProgram (const ravlin::Bytes& image, const juce::String& name, std::function<void (bool)> done)
{
    browse (Mode::save, 101, name.trimEnd(),
            [this, image, done] (bool chosen)
            {
                // A failed write is not reported, as with every save.
                if (chosen)
                    ProgramFiles::write (chosenFile, ProgramFiles::singleProgramContent (image));
                if (done)
                    done (chosen);
            });
}

void FileMan::saveProgramBank (const Bank_Program& bank, int bankNumber, std::function<void (bool)> done)
{
    const auto content = ProgramFiles::bankContent (bank, bankNumber);
    browse (Mode::save, 103, bank.bankName,
            [this, content, done] (bool chosen)
            {
                if (chosen)
                    ProgramFiles::write (chosenFile, content);
                if (done)
                    done (chosen);
            });
}
