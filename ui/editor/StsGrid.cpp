#include "ui/editor/StsGrid.h"
#include "ui/controls/Fonts.h"

#include "core/MidiCntrState.h"

StsGrid::StsGrid (MidiCntrState& h) : hub (h)
{
    setContent (0, 0);
}

juce::String StsGrid::locationText (int bank, int program)
{
    const auto prefix = bank < 4 ? "U" + juce::String (bank + 1) : "F" + juce::String (bank - 3);
    return prefix + " P " + juce::String (program + 1);
}

void StsGrid::setContent (int newMode, int value)
{
    mode = newMode == 1 ? 1 : 0;
    modeValue = value;
    rows.clear();
    if (mode == 0)
    {
        if (juce::isPositiveAndBelow (value, MidiCntrState::numBanks))
            for (int p = 0; p < 99; ++p)
                rows.push_back ({p, value});
    }
    else
    {
        for (int b = 0; b < 4; ++b)
            for (int p = 0; p < 99; ++p)
                if (hub.getBankProgram (b, p)[(size_t)DSI_Program::categoryOffset] == value)
                    rows.push_back ({p, b});
    }
    selected = -1;
    firstVisible = 0;
    repaint();
}

void StsGrid::refreshContent()
{
    const auto hadSelection = juce::isPositiveAndBelow (selected, (int)rows.size());
    const auto kept = hadSelection ? rows[(size_t)selected] : Row{-1, -1};
    const auto top = firstVisible;
    setContent (mode, modeValue);
    if (hadSelection)
    {
        const auto found = std::find (rows.begin(), rows.end(), kept);
        selected = found == rows.end() ? -1 : (int)(found - rows.begin());
    }
    scrollTo (top);
}

void StsGrid::setColumnWidths (std::vector<int> widths)
{
    columns = std::move (widths);
    repaint();
}

void StsGrid::setRowHeight (int height)
{
    rowHeight = std::max (8, height);
    scrollTo (firstVisible);
}

int StsGrid::getVisibleRows() const noexcept
{
    return std::max (1, getHeight() / rowHeight);
}

int StsGrid::maxFirstRow() const noexcept
{
    return std::max (0, (int)rows.size() - getVisibleRows());
}

void StsGrid::scrollTo (int firstRow)
{
    firstVisible = juce::jlimit (0, maxFirstRow(), firstRow);
    repaint();
}

void StsGrid::selectProgram (int program, int bank)
{
    const auto found = std::find (rows.begin(), rows.end(), Row{program, bank});
    selected = found == rows.end() ? -1 : (int)(found - rows.begin());
    if (selected >= 0 && (selected < firstVisible || selected >= firstVisible + getVisibleRows()))
        scrollTo (selected - getVisibleRows() / 2);
    repaint();
}

int StsGrid::rowAt (int y) const noexcept
{
    if (rows.empty())
        return -1;
    return juce::jlimit (0, (int)rows.size() - 1, firstVisible + y / rowHeight);
}

void StsGrid::mouseDown (const juce::MouseEvent& e)
{
    const auto p = e.getPosition();
    if (p.x >= getWidth() - scrollBarWidth)
    {
        draggingScrollBar = true;
        mouseDrag (e);
        return;
    }
    const auto row = rowAt (p.y);
    if (row < 0)
        return;
    draggingRows = true;
    selected = row;
    repaint();

    const auto chosen = rows[(size_t)row];
    listeners.call ([&] (GridListener& l) { l.gridAction (play, chosen.program, chosen.bank); });
    if (e.mods.isRightButtonDown())
    {
        const auto thirdColumnStart = columns.size() > 1 ? columns[0] + columns[1] : 190;
        const auto thirdColumnEnd = thirdColumnStart + (columns.size() > 2 ? columns[2] : 100);
        const auto action = (p.x >= thirdColumnStart && p.x < thirdColumnEnd) ? categoryMenu : programMenu;
        listeners.call ([&] (GridListener& l) { l.gridAction (action, chosen.program, chosen.bank); });
    }
}

void StsGrid::mouseDrag (const juce::MouseEvent& e)
{
    const auto y = e.getPosition().y;
    if (draggingScrollBar)
    {
        const auto fraction = juce::jlimit (0.0, 1.0, (double)y / std::max (1, getHeight()));
        scrollTo (juce::roundToInt (fraction * maxFirstRow()));
        return;
    }
    if (draggingRows)
    {
        if (y < 0)
            scrollTo (firstVisible - 1);
        else if (y > getHeight())
            scrollTo (firstVisible + 1);
    }
}

void StsGrid::mouseUp (const juce::MouseEvent&)
{
    draggingScrollBar = draggingRows = false;
}

void StsGrid::mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails& wheel)
{
    if (wheel.deltaY < 0.0f)
        scrollTo (firstVisible + 1);
    else if (wheel.deltaY > 0.0f)
        scrollTo (firstVisible - 1);
}

void StsGrid::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xff1c1c1c));
    g.setFont (juce::Font (ravlin::arialName(), 13.0f, juce::Font::plain));
    const auto listWidth = getWidth() - scrollBarWidth;

    for (int i = 0; i < getVisibleRows() + 1; ++i)
    {
        const auto index = firstVisible + i;
        if (index >= (int)rows.size())
            break;
        const auto row = rows[(size_t)index];
        const auto y = i * rowHeight;
        if (index == selected)
        {
            g.setColour (juce::Colour (0xff3a6ea5));
            g.fillRect (0, y, listWidth, rowHeight);
        }
        else if (index % 2 == 1)
        {
            g.setColour (juce::Colour (0xff242424));
            g.fillRect (0, y, listWidth, rowHeight);
        }

        const auto image = hub.getBankProgram (row.bank, row.program);
        const juce::String texts[3] = {locationText (row.bank, row.program),
                                       hub.getBankProgramName (row.bank, row.program).trimEnd(),
                                       ParDes::categoryText (image[(size_t)DSI_Program::categoryOffset])};
        g.setColour (juce::Colours::white);
        int x = 4;
        for (size_t c = 0; c < 3 && c < columns.size(); ++c)
        {
            const auto w = columns[c] > 0 ? columns[c] : listWidth - x;
            g.drawFittedText (texts[c], x, y, std::max (0, w - 6), rowHeight, juce::Justification::centredLeft, 1,
                              0.8f);
            x += w;
        }
    }

    // The scroll bar and its thumb.
    g.setColour (juce::Colour (0xff2e2e2e));
    g.fillRect (listWidth, 0, scrollBarWidth, getHeight());
    if (maxFirstRow() > 0)
    {
        const auto thumbHeight = std::max (20, getHeight() * getVisibleRows() / std::max (1, (int)rows.size()));
        const auto thumbY = (getHeight() - thumbHeight) * firstVisible / maxFirstRow();
        g.setColour (juce::Colour (0xff8f8f8f));
        g.fillRoundedRectangle ((float)listWidth + 3.0f, (float)thumbY, (float)scrollBarWidth - 6.0f,
                                (float)thumbHeight, 4.0f);
    }
}
