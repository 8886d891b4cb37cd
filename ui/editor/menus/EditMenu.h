#pragma once

#include "ui/editor/menus/BarMenu.h"

class RavlinAudioProcessor;
struct ProgramClipboard;
class ExploreWindows;

/** EDIT: undo and redo with what they would change, copy and paste of the edited program, a
    jump to each section of the voice parameters, and randomise, mutate, morph and the programs
    they made. */
class EditMenu : public BarMenu
{
public:
    static constexpr int copyItem = 1, pasteItem = 2;
    static constexpr int firstSectionItem = 11, numSectionItems = 9;
    static constexpr int undoItem = 21, redoItem = 22;
    static constexpr int randomiseItem = 31, mutateItem = 32, morphItem = 33, explorationHistoryItem = 34;

    /** jumpTo shows a section of the editor panel by its number. */
    EditMenu (RavlinAudioProcessor& processor, ProgramClipboard& clipboard, std::function<void (int section)> jumpTo);
    ~EditMenu() override;

    juce::PopupMenu build() const override;
    void chosen (int item) override;
    /** The windows of randomise, mutate, morph and the exploration history, once one was opened. */
    ExploreWindows* getExploreWindows() const noexcept { return exploreWindows.get(); }

private:
    RavlinAudioProcessor& processor;
    ProgramClipboard& clipboard;
    std::function<void (int)> jumpTo;
    std::unique_ptr<ExploreWindows> exploreWindows; // made when first asked for
};
