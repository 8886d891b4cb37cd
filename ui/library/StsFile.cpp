#include "ui/library/StsFile.h"

#include "instrument/DSI_Program.h"
#include "library/ProgramLibrary.h"

StsFile::StsFile (ProgramLibrary& l) : library (l) {}

const uint8_t* StsFile::recordOfRow (int row) const
{
    const auto& rows = library.getVisibleRows();
    if (!juce::isPositiveAndBelow (row, (int)rows.size()))
        return nullptr;
    return library.block().data() + (size_t)rows[(size_t)row] * ProgramLibrary::recordSize;
}

int StsFile::numRows() const
{
    return (int)library.getVisibleRows().size();
}

juce::String StsFile::rowName (int row) const
{
    const auto* r = recordOfRow (row);
    return r != nullptr ? ProgramLibrary::nameOf (r) : juce::String();
}

int StsFile::rowCategory (int row) const
{
    const auto* r = recordOfRow (row);
    return r != nullptr ? r[DSI_Program::categoryOffset] : -1;
}

int StsFile::selectedRow() const
{
    return library.getSelectedRow();
}

void StsFile::libraryChanged()
{
    if (selectedRow() < 0)
        setFirstRow (0);
    else
        scrollToShow (selectedRow());
    repaint();
    if (listener != nullptr)
        listener->contentChanged();
}

void StsFile::rowPressed (int row)
{
    library.select (row);
    if (listener != nullptr)
        listener->selectionChanged (library.getSelectedRecord());
}

void StsFile::rowDoubleClicked (int row)
{
    if (listener != nullptr && juce::isPositiveAndBelow (row, numRows()))
        listener->rowDoubleClicked (library.getVisibleRows()[(size_t)row]);
}

int StsFile::rowRating (int row) const
{
    const auto& rows = library.getVisibleRows();
    return juce::isPositiveAndBelow (row, (int)rows.size()) ? library.ratingOfRecord (rows[(size_t)row]) : -1;
}

void StsFile::rowRated (int row, int stars)
{
    // Rating a row leaves the list where it is.
    const auto first = getFirstRow();
    library.setRating (row, stars);
    setFirstRow (first);
}
