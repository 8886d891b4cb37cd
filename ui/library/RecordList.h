#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The scrolling list of programs both library pages show: 15 rows of 34 pixels with their
    number, name and category, a scroll strip with a thumb, wheel and press-and-hold scrolling.
    Subclasses say what the rows hold and what a press does. */
class RecordList : public juce::Component, private juce::Timer
{
public:
    static constexpr int rowHeight = 34, rowsShown = 15, rowWidth = 298;
    static constexpr int stripX = 304, stripWidth = 24, thumbHeight = 43;
    static constexpr int selectWidth = 272; // presses right of this (up to the strip) only scroll
    static constexpr int repeatMs = 200;

    RecordList();
    ~RecordList() override;

    virtual int numRows() const = 0;
    virtual juce::String rowName (int row) const = 0; // 20 characters or fewer
    virtual int rowCategory (int row) const = 0;      // outside 0..25: no category shown
    virtual int selectedRow() const = 0;              // -1 for none
    /** The stars (0..3) of a row; -1 for lists without ratings. */
    virtual int rowRating (int) const { return -1; }

    static constexpr int starSize = 11, starCount = 3;
    /** Where a row's stars lie within its strip (left of the category); empty without stars. */
    juce::Rectangle<int> starArea (int row) const;

    int getFirstRow() const noexcept { return firstRow; }
    void setFirstRow (int row);
    /** Scrolls so that the row is shown, as little as needed. */
    void scrollToShow (int row);
    int maxFirstRow() const noexcept { return juce::jmax (0, numRows() - rowsShown); }
    bool hasScrollStrip() const noexcept { return numRows() > rowsShown; }
    juce::Rectangle<int> thumbBounds() const noexcept;
    /** The row under y, or the last row below the last; -1 without rows. */
    int rowAt (int y) const noexcept;

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    void mouseDoubleClick (const juce::MouseEvent& e) override;
    void mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel) override;
    /** Up, Down, Page Up, Page Down, Home and End select as a press on the row would; Return
        acts as a double click. */
    bool keyPressed (const juce::KeyPress& key) override;
    void focusGained (FocusChangeType) override { repaint(); }
    void focusLost (FocusChangeType) override { repaint(); }
    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;
    /** "3 of 40: Sound 03", or "empty". */
    juce::String selectionText() const;

protected:
    virtual void rowPressed (int row) = 0;
    virtual void rowDoubleClicked (int row) = 0;
    /** A click on a row's star, or a key 0..3 on the selected row. */
    virtual void rowRated (int, int) {}

private:
    void timerCallback() override;
    void paintRow (juce::Graphics& g, int row, juce::Rectangle<int> area) const;
    void paintStrip (juce::Graphics& g) const;
    static void paintStars (juce::Graphics& g, juce::Rectangle<int> area, int stars, bool selected);

    enum class Press
    {
        none,
        rows,
        thumb,
        stripAbove,
        stripBelow
    } press = Press::none;
    int firstRow = 0, thumbGrab = 0, lastDragY = 0, holdY = 0;
    float wheelRest = 0.0f;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (RecordList)
};
