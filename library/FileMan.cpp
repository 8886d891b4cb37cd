#include "library/FileMan.h"

#include "library/SafeFileWrite.h"

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
        case 4: return Kind{4, M::open, "Load Program 12 Library", {"*.p12l", "*.p12b", "*.syx"}};
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

    auto finish = [this, mode, done] (juce::File file)
    {
        const bool chosen = file != juce::File();
        if (!chosen || mode == Mode::open)
        {
            if (chosen)
                chosenFile = file;
            if (done)
                done (chosen);
            return;
        }
        // The question is about the file that will be written, extension added.
        chosenFile = ProgramFiles::withExtension (file, patterns);
        if (!chosenFile.exists() || !confirm)
        {
            if (done)
                done (true);
            return;
        }
        confirm (
            "Replace the existing file " + chosenFile.getFileName() + "?",
            [done]
            {
                if (done)
                    done (true);
            },
            [done]
            {
                if (done)
                    done (false);
            });
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
                           : juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles;
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
    browse (Mode::open, 1, {},
            [this, done] (bool chosen)
            {
                const bool read = chosen && readSingleProgram (chosenFile);
                if (chosen && !read)
                    tellUnread ("does not start with a program of the Prophet 12");
                done (read);
            });
}

void FileMan::loadProgramBank (std::function<void (bool)> done)
{
    browse (Mode::open, 3, {},
            [this, done] (bool chosen)
            {
                const bool read = chosen && readProgramBank (chosenFile);
                if (chosen && !read)
                    tellUnread ("holds no program dumps of the Prophet 12");
                done (read);
            });
}

void FileMan::tellUnread (const juce::String& what)
{
    if (!tell)
        return;
    if (!ProgramFiles::readFile (chosenFile).has_value())
        tell (ProgramFiles::whyUnreadable (chosenFile) + " Nothing was changed.");
    else
        tell (chosenFile.getFileName() + " " + what + ". Nothing was changed.");
}

bool FileMan::writeChosen (const void* data, size_t size)
{
    if (ravlin::replaceFileSafely (chosenFile, data, size))
        return true;
    if (tell)
        tell ("Could not write " + chosenFile.getFullPathName() + ". Nothing was saved.");
    return false;
}

void FileMan::saveSingleProgram (const ravlin::Bytes& image, const juce::String& name, std::function<void (bool)> done)
{
    const auto content = ProgramFiles::singleProgramContent (image, deviceByte());
    browse (Mode::save, 101, name.trimEnd(),
            [this, content, done] (bool chosen)
            {
                const bool written = chosen && writeChosen (content.data(), content.size());
                if (done)
                    done (written);
            });
}

void FileMan::saveProgramBank (const Bank_Program& bank, int bankNumber, std::function<void (bool)> done)
{
    const auto content = ProgramFiles::bankContent (bank, bankNumber, deviceByte());
    browse (Mode::save, 103, bank.bankName,
            [this, content, done] (bool chosen)
            {
                const bool written = chosen && writeChosen (content.data(), content.size());
                if (done)
                    done (written);
            });
}
