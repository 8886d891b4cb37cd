#pragma once

#include "library/ProgramFiles.h"

#include <juce_gui_basics/juce_gui_basics.h>

/** The file dialogs of programs, banks, libraries and FX presets, and what they read. Dialogs are
    asynchronous (a plug-in must not run a modal loop inside its host): every operation takes a
    callback that runs on the message thread once the user has chosen, or not. */
class FileMan
{
public:
    enum class Mode
    {
        open,
        save
    };

    struct Kind
    {
        int number;
        Mode mode;
        const char* title;
        juce::StringArray patterns;
    };

    /** The dialog kinds: 1, 3, 4, 10, 11 open; 101, 103, 104, 110, 111 save. */
    static std::optional<Kind> kind (int number);
    /** The kind's patterns joined with ";". */
    static juce::String filterFor (int kindNumber);
    /** Save dialogs start here: "RavlinSettings" in the application-data folder. */
    static juce::File settingsFolder();

    FileMan();
    ~FileMan();

    /** Shows the dialog; done (chosen) runs when it closes. In save mode the kind's extension is
        added to a name without one of the kind's, and when that final file exists the user is
        asked whether to replace it (no counts as not chosen). */
    void browse (Mode mode, int kindNumber, const juce::String& defaultName, std::function<void (bool)> done);

    /** Writes the content to the chosen file; a failure is told to the user. */
    bool writeChosen (const void* data, size_t size);

    /** Kind 1: reads the chosen file's first SysEx message into the program. */
    void loadSingleProgram (std::function<void (bool)> done);
    /** Kind 3: collects every 1178-byte dump of the chosen file. */
    void loadProgramBank (std::function<void (bool)> done);
    /** done (written): false when cancelled or when the write failed (then the user is told).
        Saved dumps carry deviceByte, the model's the owner talks to. */
    void saveSingleProgram (const ravlin::Bytes& image, const juce::String& name, std::function<void (bool)> done);
    void saveProgramBank (const Bank_Program& bank, int bankNumber, std::function<void (bool)> done);

    std::function<uint8_t()> deviceByte = [] { return ravlin::sysex::deviceModule; };

    // What the last dialog and read produced; usable without a dialog too.
    juce::File chosenFile;
    juce::String title, defaultName;
    juce::StringArray patterns;
    ravlin::Bytes fileBytes;
    ravlin::Bytes sysExBytes;
    DSI_Program program;
    int bankMessages = 0;

    /** The reads behind the two load operations, on a file already chosen. */
    bool readSingleProgram (const juce::File& file);
    bool readProgramBank (const juce::File& file);

    /** For tests and scripts: answer dialogs with this file (or none) instead of showing them. */
    std::function<juce::File (const Kind&)> answerDialog;

    /** How the owner asks a yes/no question (yes runs the action) and shows a message. Without
        them a question counts as yes and a message goes nowhere. */
    std::function<void (const juce::String& question, std::function<void()> onYes, std::function<void()> onNo)> confirm;
    std::function<void (const juce::String& message)> tell;

private:
    void tellUnread (const juce::String& what);

    std::unique_ptr<juce::FileChooser> chooser;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FileMan)
};
