#include "ui/editor/EditorPrograms.h"

#include "core/MidiCntrState.h"
#include "library/ProgramLibrary.h"

namespace EditorPrograms
{
int selectedBank (const MidiCntrState& hub)
{
    return juce::jlimit (0, 7, hub.currentBank.load());
}

int selectedProgram (const MidiCntrState& hub)
{
    return juce::jlimit (0, 98, hub.currentProgram.load());
}

juce::String currentProgramName (const MidiCntrState& hub)
{
    auto image = hub.getCurrentProgram();
    image.resize (1024, 0);
    return ProgramLibrary::nameOf (image.data()).trimEnd();
}

juce::String bankName (int bank)
{
    return bank < 4 ? "User Bank " + juce::String (bank + 1) : "Factory Bank " + juce::String (bank - 3);
}

void store (MidiCntrState& hub, bool toBank, int bank, int program, const ravlin::Bytes& image)
{
    // The slot being edited now holds these bytes: they are what the editor shows and edits.
    if (toBank && bank == hub.currentBank.load() && program == hub.currentProgram.load())
        hub.setCurrentProgram (image);
    hub.storeEditorProgram (toBank, bank, program, image);
}
} // namespace EditorPrograms

void ProgramClipboard::copyCurrent (const MidiCntrState& hub)
{
    image = hub.getCurrentProgram();
    image.resize (1024, 0);
    filled = true;
}

juce::String ProgramClipboard::pasteText() const
{
    return "Paste " + (filled ? ProgramLibrary::nameOf (image.data()).trimEnd() : juce::String());
}
