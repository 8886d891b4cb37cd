#include "ui/editor/menus/SendMenu.h"

#include "core/MidiCntrState.h"
#include "ui/editor/EditorPrograms.h"

SendMenu::SendMenu (MidiCntrState& h) : hub (h) {}

juce::PopupMenu SendMenu::build() const
{
    if (hub.presetProgramIndex < 0)
        hub.presetProgramIndex = 0;
    juce::PopupMenu m;
    m.addItem (currentItem, "Current Preset: " + EditorPrograms::currentProgramName (hub));
    m.addItem (presetItem, "FX Bank Preset: " + hub.getPresetProgramName (hub.presetProgramIndex).trimEnd());
    return m;
}

void SendMenu::chosen (int item)
{
    if (item == currentItem)
    {
        const auto image = hub.getCurrentProgram();
        EditorPrograms::store (hub, false, EditorPrograms::selectedBank (hub), EditorPrograms::selectedProgram (hub),
                               image);
        // SEND sends: the program goes into the instrument's edit buffer too.
        hub.sendToInstrument (ravlin::packEditBufferDump (image));
    }
    else if (item == presetItem)
    {
        hub.loadPresetProgram();
        hub.sendToInstrument (ravlin::packEditBufferDump (hub.getCurrentProgram()));
    }
}
