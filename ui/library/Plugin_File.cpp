#include "ui/library/Plugin_File.h"

#include "core/MidiCntrState.h"

Plugin_File::Plugin_File (MidiCntrState& h) : hub (h) {}

int Plugin_File::numRows() const
{
    return Bank_Program::numPrograms;
}

juce::String Plugin_File::rowName (int row) const
{
    return hub.getPresetProgramName (row).trimEnd();
}

int Plugin_File::rowCategory (int row) const
{
    const auto program = hub.getPresetProgram (row);
    return program.size() > (size_t)DSI_Program::categoryOffset ? program[(size_t)DSI_Program::categoryOffset] : -1;
}

void Plugin_File::setSelectedRow (int row)
{
    selected = juce::isPositiveAndBelow (row, numRows()) ? row : -1;
    scrollToShow (selected);
    repaint();
}

void Plugin_File::rowPressed (int row)
{
    selected = row;
    repaint();
    if (listener != nullptr)
        listener->presetRowPressed (row);
}

void Plugin_File::rowDoubleClicked (int row)
{
    if (listener != nullptr)
        listener->presetRowDoubleClicked (row);
}

int Plugin_File::rowRating (int row) const
{
    if (ratings == nullptr || !juce::isPositiveAndBelow (row, numRows()))
        return -1;
    const auto program = hub.getPresetProgram (row);
    return program.size() >= (size_t)ravlin::sysex::imageSize ? ratings->ratingOf (program.data()) : -1;
}

void Plugin_File::rowRated (int row, int stars)
{
    if (rowRating (row) < 0)
        return;
    ratings->setRating (LibraryMeta::keyOf (hub.getPresetProgram (row).data()), stars);
    repaint();
    if (onRated)
        onRated();
}
