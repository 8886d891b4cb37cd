#include "ui/editor/explore/DiffPanel.h"

namespace
{
const juce::Colour background (0xff202020), heading (0xff3a3a3a), text (0xffe0e0e0), dim (0xffa0a0a0);

// Column starts, in pixels from the row's left: layer, section, name, this program, other.
constexpr int columns[] = {8, 40, 190, 340, 520};
const char* const columnTitles[] = {"Layer", "Section", "Name", "This program", "Other"};
} // namespace

DiffPanel::DiffPanel (const juce::String& otherName, std::vector<ProgramDiff::Row> differences)
    : title ("Compared with " + otherName), rows (std::move (differences))
{
    juce::String section;
    for (int r = 0; r < (int)rows.size(); ++r)
    {
        if (rows[(size_t)r].sectionName != section || lines.empty())
            lines.push_back ({section = rows[(size_t)r].sectionName, -1});
        lines.push_back ({{}, r});
    }

    list.setModel (this);
    list.setRowHeight (rowHeight);
    list.setColour (juce::ListBox::backgroundColourId, background);
    addAndMakeVisible (list);
    list.setVisible (!rows.empty());
    closeButton.onClick = [this]
    {
        if (onClose)
            onClose();
    };
    addAndMakeVisible (closeButton);
    setWantsKeyboardFocus (true);
}

juce::String DiffPanel::lineText (int line) const
{
    if (line < 0 || line >= (int)lines.size())
        return {};
    const auto& l = lines[(size_t)line];
    if (l.row < 0)
        return l.heading;
    const auto& r = rows[(size_t)l.row];
    return ProgramDiff::layerText (r.layer) + " | " + r.sectionName + " | " + r.name + " | " + r.thisText + " | " +
           r.otherText;
}

void DiffPanel::chooseLine (int line)
{
    if (line < 0 || line >= (int)lines.size() || lines[(size_t)line].row < 0)
        return;
    list.selectRow (line);
    if (onRowChosen)
        onRowChosen (rows[(size_t)lines[(size_t)line].row]);
}

void DiffPanel::paintListBoxItem (int line, juce::Graphics& g, int width, int height, bool selected)
{
    if (line < 0 || line >= (int)lines.size())
        return;
    const auto& l = lines[(size_t)line];
    g.setFont (juce::Font ((float)height * 0.7f, l.row < 0 ? juce::Font::bold : juce::Font::plain));
    if (l.row < 0)
    {
        g.fillAll (heading);
        g.setColour (text);
        g.drawText (l.heading, columns[0], 0, width - columns[0], height, juce::Justification::centredLeft);
        return;
    }
    if (selected)
        g.fillAll (juce::Colour (0xff505a70));
    const auto& r = rows[(size_t)l.row];
    const juce::String cells[] = {ProgramDiff::layerText (r.layer), r.sectionName, r.name, r.thisText, r.otherText};
    for (int c = 0; c < 5; ++c)
    {
        g.setColour (c == 1 ? dim : text);
        const auto right = c < 4 ? columns[c + 1] : width;
        g.drawText (cells[c], columns[c], 0, right - columns[c] - 6, height, juce::Justification::centredLeft, true);
    }
}

void DiffPanel::paint (juce::Graphics& g)
{
    g.fillAll (background);
    g.setColour (juce::Colours::grey);
    g.drawRect (getLocalBounds());
    g.setColour (text);
    g.setFont (juce::Font (16.0f, juce::Font::bold));
    g.drawText (title, 10, 6, getWidth() - 110, 22, juce::Justification::centredLeft, true);
    g.setFont (juce::Font (13.0f, juce::Font::bold));
    g.setColour (dim);
    for (int c = 0; c < 5; ++c)
        g.drawText (columnTitles[c], 10 + columns[c], 32, 150, 18, juce::Justification::centredLeft);
    if (rows.empty())
    {
        g.setColour (text);
        g.setFont (juce::Font (16.0f));
        g.drawText ("The programs are equal.", getLocalBounds().withTrimmedTop (56), juce::Justification::centred);
    }
}

void DiffPanel::resized()
{
    closeButton.setBounds (getWidth() - 90, 6, 80, 24);
    list.setBounds (getLocalBounds().reduced (10, 0).withTrimmedTop (52).withTrimmedBottom (10));
    list.updateContent();
}
