#pragma once

#include "instrument/ProgramPacking.h"

#include <juce_core/juce_core.h>

class MidiCntrState;

/** The program the editor works on, as the menus, the banks page and file drops see it. */
namespace EditorPrograms
{
/** The bank and place of the program being edited, within the banks that exist. */
int selectedBank (const MidiCntrState& hub);
int selectedProgram (const MidiCntrState& hub);
/** The edited program's name without its trailing spaces. */
juce::String currentProgramName (const MidiCntrState& hub);
/** "User Bank 1" .. "User Bank 4", "Factory Bank 1" .. */
juce::String bankName (int bank);
/** Bytes read, pasted or received become a program of the editor: the slot being edited holds
    them too when they go into its bank. */
void store (MidiCntrState& hub, bool toBank, int bank, int program, const ravlin::Bytes& image);
} // namespace EditorPrograms

/** A program copied by EDIT's or a bank program's Copy, waiting to be pasted. */
struct ProgramClipboard
{
    ravlin::Bytes image;
    bool filled = false;

    /** Only copies: nothing is sent or stored. */
    void copyCurrent (const MidiCntrState& hub);
    /** "Paste " followed by the copied program's name, if any. */
    juce::String pasteText() const;
};
