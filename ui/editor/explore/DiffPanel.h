#pragma once

#include "instrument/ProgramDiff.h"

#include <juce_gui_basics/juce_gui_basics.h>

/** What differs between the edited program and another, over the editor: a list of rows under
    their section's heading, "Layer  Section  Name  This program  Other", or a line saying that
    the programs are equal. Clicking a row asks the owner to show that parameter's control. */
class DiffPanel : public juce::Component, private juce::ListBoxModel
{
public:
    static constexpr int rowHeight = 20;

    DiffPanel (const juce::String& otherName, std::vector<ProgramDiff::Row> rows);

    /** The row clicked; the owner shows its control. */
    std::function<void (const ProgramDiff::Row&)> onRowChosen;
    std::function<void()> onClose;

    /** The lines as the list shows them: a heading is the section's name alone, a row its five
        columns joined by " | ". */
    int getNumLines() const noexcept { return (int)lines.size(); }
    juce::String lineText (int line) const;
    /** What a click on a line does (a heading does nothing). */
    void chooseLine (int line);
    bool showsEqual() const noexcept { return rows.empty(); }
    juce::ListBox& getList() noexcept { return list; }
    juce::Button& getCloseButton() noexcept { return closeButton; }

    void paint (juce::Graphics& g) override;
    void resized() override;

private:
    struct Line
    {
        juce::String heading; // set for a section heading
        int row = -1;         // else the row shown
    };

    int getNumRows() override { return (int)lines.size(); }
    void paintListBoxItem (int line, juce::Graphics& g, int width, int height, bool selected) override;
    void listBoxItemClicked (int line, const juce::MouseEvent&) override { chooseLine (line); }

    juce::String title;
    std::vector<ProgramDiff::Row> rows;
    std::vector<Line> lines;
    juce::ListBox list;
    juce::TextButton closeButton{"CLOSE"};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DiffPanel)
};
