#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class MidiCntrState;

/** Told about presses on the program list: 91 play, 88 category menu, 90 program menu. */
class GridListener
{
public:
    virtual ~GridListener() = default;
    virtual void gridAction (int action, int program, int bank) = 0;
};

/** The program list of the banks page and of the write dialog: one bank's 99 programs, or every
    user-bank program of one category, with a selected row and a scroll bar. */
class StsGrid : public juce::Component
{
public:
    static constexpr int play = 91, categoryMenu = 88, programMenu = 90;
    static constexpr int scrollBarWidth = 18;
    static constexpr int defaultRowHeight = 23;

    struct Row
    {
        int program, bank;
        bool operator== (const Row& other) const { return program == other.program && bank == other.bank; }
    };

    explicit StsGrid (MidiCntrState& hub);

    /** Mode 0: programs 0..98 of bank value; mode 1: every user-bank program of category value.
        Clears the selection and scrolls to the top. */
    void setContent (int mode, int value);
    /** The same listing read again after its programs changed: the selected program stays
        selected while it is listed and the list stays where it was scrolled to. */
    void refreshContent();
    int getMode() const noexcept { return mode; }
    int getModeValue() const noexcept { return modeValue; }
    const std::vector<Row>& getRows() const noexcept { return rows; }

    void setColumnWidths (std::vector<int> widths);
    void setRowHeight (int height);
    int getRowHeight() const noexcept { return rowHeight; }
    int getVisibleRows() const noexcept;

    int getSelectedRow() const noexcept { return selected; }
    /** Selects the row of (program, bank) if listed; -1 otherwise. */
    void selectProgram (int program, int bank);
    int getFirstVisibleRow() const noexcept { return firstVisible; }
    void scrollTo (int firstRow);

    /** "U1 P 5" for user bank 1, program 5 (0-based 4); "F2 P 1" for factory bank 2. */
    static juce::String locationText (int bank, int program);

    void addListener (GridListener* l) { listeners.add (l); }
    void removeListener (GridListener* l) { listeners.remove (l); }

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    void mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel) override;

private:
    int rowAt (int y) const noexcept;
    int maxFirstRow() const noexcept;

    MidiCntrState& hub;
    std::vector<Row> rows;
    int mode = 0, modeValue = 0;
    int selected = -1, firstVisible = 0;
    int rowHeight = defaultRowHeight;
    std::vector<int> columns{50, 140, 100, 0};
    bool draggingScrollBar = false, draggingRows = false;
    juce::ListenerList<GridListener> listeners;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StsGrid)
};
