#pragma once

#include "instrument/ProgramPacking.h"
#include "ui/editor/menus/BarMenu.h"

class RavlinAudioProcessor;
struct ProgramClipboard;
class ExploreWindows;

/** EDIT: undo and redo with what they would change, copy and paste of the edited program, a
    jump to each section of the voice parameters, comparing the edited program with another,
    finding programs by value, and randomise, mutate, morph and the programs they made. */
class EditMenu : public BarMenu
{
public:
    static constexpr int copyItem = 1, pasteItem = 2;
    static constexpr int firstSectionItem = 11, numSectionItems = 9;
    static constexpr int undoItem = 21, redoItem = 22;
    static constexpr int compareStoredItem = 31, compareFileItem = 32, findProgramsItem = 33;
    static constexpr int firstCompareBankItem = 1000;     // + bank * 100 + program
    static constexpr int firstComparePresetItem = 2000;   // + preset
    static constexpr int firstCompareLibraryItem = 10000; // + record
    static constexpr int randomiseItem = 41, mutateItem = 42, morphItem = 43, explorationHistoryItem = 44;

    /** jumpTo shows a section of the editor panel by its number. */
    EditMenu (RavlinAudioProcessor& processor, ProgramClipboard& clipboard, std::function<void (int section)> jumpTo);
    ~EditMenu() override;

    juce::PopupMenu build() const override;
    void chosen (int item) override;
    /** The windows of randomise, mutate, morph and the exploration history, once one was opened. */
    ExploreWindows* getExploreWindows() const noexcept { return exploreWindows.get(); }

    /** "Compare With...": the edited program against another program and its name. */
    std::function<void (const ravlin::Bytes& other, const juce::String& otherName)> compareWith;
    std::function<void()> compareWithFile, findPrograms;
    /** The library's records, 1024 bytes each, for "Compare With..."'s library records. */
    std::function<ravlin::Bytes()> libraryRecords;

private:
    juce::PopupMenu compareMenu() const;
    juce::String storedName() const;
    void compare (int item);

    RavlinAudioProcessor& processor;
    ProgramClipboard& clipboard;
    std::function<void (int)> jumpTo;
    std::unique_ptr<ExploreWindows> exploreWindows; // made when first asked for
};
