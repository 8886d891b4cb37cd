#include "core/ProgramHistory.h"

#include <algorithm>
#include <iterator>

#include "instrument/DSI_Program.h"

bool ProgramHistory::observe (const ravlin::Bytes& image, juce::uint32 nowMs)
{
    if (known.empty())
    {
        known = image;
        return false;
    }
    if (image == known)
        return false;

    std::vector<int> changed;
    for (size_t i = 0; i < std::max (image.size(), known.size()); ++i)
        if (i >= image.size() || i >= known.size() || image[i] != known[i])
            changed.push_back ((int)i);

    redoSteps.clear();
    if (holding && holdStepStarted && !undoSteps.empty())
    {
        auto& last = undoSteps.back();
        std::vector<int> both;
        std::set_union (last.changed.begin(), last.changed.end(), changed.begin(), changed.end(),
                        std::back_inserter (both));
        last.changed = std::move (both);
        last.after = image;
        last.lastChangeMs = nowMs;
        known = image;
        return true;
    }
    if (mergeAllowed && !holding && !undoSteps.empty())
    {
        auto& last = undoSteps.back();
        if (nowMs - last.lastChangeMs < mergeMs &&
            std::includes (last.changed.begin(), last.changed.end(), changed.begin(), changed.end()))
        {
            last.after = image;
            last.lastChangeMs = nowMs;
            known = image;
            return true;
        }
    }

    undoSteps.push_back ({known, image, std::move (changed), nowMs});
    if ((int)undoSteps.size() > maxSteps)
        undoSteps.pop_front();
    known = image;
    mergeAllowed = true;
    holdStepStarted = holding;
    return true;
}

void ProgramHistory::resetTo (const ravlin::Bytes& image)
{
    known = image;
    mergeAllowed = false;
    holdStepStarted = false;
}

void ProgramHistory::clear()
{
    undoSteps.clear();
    redoSteps.clear();
    known.clear();
    mergeAllowed = false;
}

std::optional<ProgramHistory::Step> ProgramHistory::undo()
{
    return moveStep (undoSteps, redoSteps, true);
}

std::optional<ProgramHistory::Step> ProgramHistory::redo()
{
    return moveStep (redoSteps, undoSteps, false);
}

std::optional<ProgramHistory::Step> ProgramHistory::moveStep (std::deque<Step>& from, std::deque<Step>& to,
                                                              bool undoing)
{
    if (from.empty())
        return std::nullopt;
    to.push_back (std::move (from.back()));
    from.pop_back();
    known = undoing ? to.back().before : to.back().after;
    mergeAllowed = false;
    return to.back();
}

juce::String ProgramHistory::describe (const Step& step, const ravlin::ParameterTable& table)
{
    if (step.changed.size() == 1)
    {
        const auto index = step.changed.front();
        const auto slot = table.slotForParameter (index);
        if (juce::isPositiveAndBelow (slot, ravlin::ParameterTable::numHostSlots))
            return table.hostName (slot);
        return table.shortName (index);
    }
    const auto inName = [] (int i)
    { return i >= DSI_Program::nameOffset && i < DSI_Program::nameOffset + DSI_Program::nameLength; };
    if (std::all_of (step.changed.begin(), step.changed.end(), inName))
        return "Name";
    return "Program";
}

juce::String ProgramHistory::undoDescription (const ravlin::ParameterTable& table) const
{
    return undoSteps.empty() ? juce::String() : describe (undoSteps.back(), table);
}

juce::String ProgramHistory::redoDescription (const ravlin::ParameterTable& table) const
{
    return redoSteps.empty() ? juce::String() : describe (redoSteps.back(), table);
}
