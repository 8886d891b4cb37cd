#pragma once

#include "ui/library/RecordList.h"

class ProgramLibrary;

class StsFileListener
{
public:
    virtual ~StsFileListener() = default;
    virtual void selectionChanged (int record) = 0;
    virtual void contentChanged() = 0;
    virtual void rowDoubleClicked (int record) = 0;
};

/** The library's record list: the visible rows of the library, in library order. A press
    selects (and so applies) a row. */
class StsFile : public RecordList
{
public:
    explicit StsFile (ProgramLibrary& library);

    void setListener (StsFileListener* l) { listener = l; }
    /** After the library changed: to the top without a selection, else to the selected row. */
    void libraryChanged();

    int numRows() const override;
    juce::String rowName (int row) const override;
    int rowCategory (int row) const override;
    int selectedRow() const override;
    int rowRating (int row) const override;

private:
    void rowPressed (int row) override;
    void rowDoubleClicked (int row) override;
    void rowRated (int row, int stars) override;
    const uint8_t* recordOfRow (int row) const;

    ProgramLibrary& library;
    StsFileListener* listener = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StsFile)
};
