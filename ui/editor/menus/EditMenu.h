#pragma once

#include "ui/editor/menus/BarMenu.h"

class RavlinAudioProcessor;
struct ProgramClipboard;

/** EDIT: undo and redo with what they would change, copy and paste of the edited program, and a
    jump to each section of the voice parameters. */
class EditMenu : public BarMenu
{
public:
    static constexpr int copyItem = 1, pasteItem = 2;
    static constexpr int firstSectionItem = 11, numSectionItems = 9;
    static constexpr int undoItem = 21, redoItem = 22;

    /** jumpTo shows a section of the editor panel by its number. */
    EditMenu (RavlinAudioProcessor& processor, ProgramClipboard& clipboard, std::function<void (int section)> jumpTo);

    juce::PopupMenu build() const override;
    void chosen (int item) override;

private:
    RavlinAudioProcessor& processor;
    ProgramClipboard& clipboard;
    std::function<void (int)> jumpTo;
};
