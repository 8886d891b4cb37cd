#pragma once

#include "library/LibraryMeta.h"
#include "ui/library/RecordList.h"

class MidiCntrState;

class PlugFileListener
{
public:
    virtual ~PlugFileListener() = default;
    virtual void presetRowPressed (int row) = 0;
    virtual void presetRowDoubleClicked (int row) = 0;
};

/** The preset bank's list: always 99 rows, row k showing preset slot k. */
class Plugin_File : public RecordList
{
public:
    explicit Plugin_File (MidiCntrState& hub);

    void setListener (PlugFileListener* l) { listener = l; }
    /** Moves the selection without telling the listener. */
    void setSelectedRow (int row);

    int numRows() const override;
    juce::String rowName (int row) const override;
    int rowCategory (int row) const override;
    int selectedRow() const override { return selected; }
    int rowRating (int row) const override;

    /** Where the presets' stars are kept (by image, as the library's); none: no stars. */
    void setRatings (LibraryMeta* meta) { ratings = meta; }
    std::function<void()> onRated;

private:
    void rowPressed (int row) override;
    void rowDoubleClicked (int row) override;
    void rowRated (int row, int stars) override;

    MidiCntrState& hub;
    PlugFileListener* listener = nullptr;
    int selected = -1;
    LibraryMeta* ratings = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Plugin_File)
};
