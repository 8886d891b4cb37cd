#pragma once

#include "instrument/ParameterTable.h"
#include "instrument/ProgramPacking.h"

#include <juce_core/juce_core.h>

#include <deque>
#include <optional>

/** Undo and redo for the program being edited. It is shown the program image from time to
    time and records each difference as a step, whoever made it: the editor, the instrument,
    the host or a loaded file. A knob held and turned gives one step: a difference touching the
    same bytes as the last step, soon after it, is folded into that step; so is anything changed
    while a control is held (hold()). Message thread only. */
class ProgramHistory
{
public:
    static constexpr int maxSteps = 200;
    static constexpr juce::uint32 mergeMs = 1500;

    struct Step
    {
        ravlin::Bytes before, after;
        std::vector<int> changed; // byte indices that differ
        juce::uint32 lastChangeMs = 0;
    };

    /** The program as it is now; returns true when a step was added or extended. The first
        image seen only becomes the starting point. */
    bool observe (const ravlin::Bytes& image, juce::uint32 nowMs);
    /** Takes the image as the current state without recording it (a restored or compared
        program must not become a step of its own). */
    void resetTo (const ravlin::Bytes& image);
    void clear();

    /** While the user holds a control that changes several bytes in turn (a drag across the
        arpeggiator's steps), every change belongs to one step, however long the hold. */
    void hold (bool held) noexcept
    {
        if (!held && holdStepStarted)
            mergeAllowed = false; // letting go ends the step
        holding = held;
        holdStepStarted = false;
    }

    bool canUndo() const noexcept { return !undoSteps.empty(); }
    bool canRedo() const noexcept { return !redoSteps.empty(); }
    int getNumUndoSteps() const noexcept { return (int)undoSteps.size(); }
    int getNumRedoSteps() const noexcept { return (int)redoSteps.size(); }

    /** Moves one step back or forward and returns it; the caller restores step.before (undo)
        or step.after (redo). Empty when there is nothing to undo or redo. */
    std::optional<Step> undo();
    std::optional<Step> redo();

    /** "A Cutoff", "Name" or "Program": what the next undo or redo changes. */
    juce::String undoDescription (const ravlin::ParameterTable& table) const;
    juce::String redoDescription (const ravlin::ParameterTable& table) const;
    static juce::String describe (const Step& step, const ravlin::ParameterTable& table);

private:
    /** Takes the last step of from onto to; the program is then as before or after it. */
    std::optional<Step> moveStep (std::deque<Step>& from, std::deque<Step>& to, bool undoing);

    std::deque<Step> undoSteps, redoSteps;
    ravlin::Bytes known;
    bool mergeAllowed = false;
    bool holding = false, holdStepStarted = false;
};
