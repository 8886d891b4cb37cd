#include "ui/library/RecordList.h"
#include "ui/controls/ControlAccess.h"
#include "ui/controls/Fonts.h"

#include "instrument/ParDes.h"

RecordList::RecordList()
{
    setOpaque (false);
    setTitle ("Programs");
    ControlAccess::makeFocusable (*this);
}

RecordList::~RecordList()
{
    stopTimer();
}

void RecordList::setFirstRow (int row)
{
    const auto limited = juce::jlimit (0, maxFirstRow(), row);
    if (limited == firstRow)
        return;
    firstRow = limited;
    repaint();
}

void RecordList::scrollToShow (int row)
{
    if (row < 0)
        return;
    if (row < firstRow)
        setFirstRow (row);
    else if (row >= firstRow + rowsShown)
        setFirstRow (row - rowsShown + 1);
    else
        setFirstRow (firstRow); // the row count may have shrunk
}

juce::Rectangle<int> RecordList::thumbBounds() const noexcept
{
    const auto travel = juce::jmax (0, getHeight() - thumbHeight);
    const auto y = maxFirstRow() > 0 ? juce::roundToInt ((double)travel * firstRow / maxFirstRow()) : 0;
    return {stripX, y, stripWidth, thumbHeight};
}

int RecordList::rowAt (int y) const noexcept
{
    const auto rows = numRows();
    if (rows == 0)
        return -1;
    return juce::jlimit (0, rows - 1, firstRow + juce::jmax (0, y) / rowHeight);
}

void RecordList::paint (juce::Graphics& g)
{
    const auto rows = numRows();
    for (int i = 0; i < rowsShown && firstRow + i < rows; ++i)
        paintRow (g, firstRow + i, {0, i * rowHeight, rowWidth, rowHeight});
    if (hasScrollStrip())
        paintStrip (g);
    ControlAccess::drawFocus (g, *this);
}

void RecordList::paintRow (juce::Graphics& g, int row, juce::Rectangle<int> area) const
{
    const bool selected = row == selectedRow();
    const auto bar = area.withTrimmedTop (4).withHeight (26).toFloat().reduced (0.5f);
    g.setColour (juce::Colour (selected ? 0xff7b7f95 : 0xff3b3b43));
    g.fillRoundedRectangle (bar, 4.0f);
    g.setColour (juce::Colours::black);
    g.drawRoundedRectangle (bar, 4.0f, 1.0f);

    const auto style = selected ? juce::Font::bold : juce::Font::plain;
    g.setFont (juce::Font (ravlin::arialName(), 14.0f, style));
    g.setColour (juce::Colour (selected ? 0xffeeeeee : 0xffaaaaaa));
    g.drawSingleLineText (juce::String (row + 1), area.getX() + 7, area.getY() + 18);

    const auto category = rowCategory (row);
    const bool showCategory = juce::isPositiveAndBelow (category, 26);
    const juce::Font categoryFont (ravlin::arialName(), 12.0f, style);
    const auto categoryText = showCategory ? ParDes::categoryText (category) : juce::String();

    // A name of 20 characters is narrowed to end before the stars and the category rather than
    // run under them.
    auto nameRight = 282 - (showCategory ? categoryFont.getStringWidth (categoryText) + 6 : 0);
    if (const auto stars = starArea (row); !stars.isEmpty())
    {
        nameRight = stars.getX() - 4;
        paintStars (g, stars + area.getPosition(), rowRating (row), selected);
    }
    g.setFont (juce::Font (ravlin::arialName(), 15.0f, style));
    g.setColour (selected ? juce::Colours::white : juce::Colour (0xffcccccc));
    g.drawFittedText (rowName (row), area.getX() + 44, area.getY() + 4, juce::jmax (0, nameRight - 44), 26,
                      juce::Justification::centredLeft, 1, 0.7f);

    if (showCategory)
    {
        g.setFont (categoryFont);
        g.setColour (juce::Colour (selected ? 0xffffffff : 0xffbbbbbb));
        g.drawText (categoryText, area.getX(), area.getY() + 6, 282, 20, juce::Justification::centredRight, true);
    }
}

juce::Rectangle<int> RecordList::starArea (int row) const
{
    if (rowRating (row) < 0)
        return {};
    const auto category = rowCategory (row);
    const auto right =
        282 - (juce::isPositiveAndBelow (category, 26) ? juce::Font (ravlin::arialName(), 12.0f, juce::Font::bold)
                                                                 .getStringWidth (ParDes::categoryText (category)) +
                                                             6
                                                       : 0);
    return {right - starCount * starSize, 4 + (26 - starSize) / 2, starCount * starSize, starSize};
}

void RecordList::paintStars (juce::Graphics& g, juce::Rectangle<int> area, int stars, bool selected)
{
    for (int k = 0; k < starCount; ++k)
    {
        juce::Path star;
        const auto box = area.withX (area.getX() + k * starSize).withWidth (starSize).toFloat().reduced (0.5f);
        star.addStar (box.getCentre(), 5, box.getWidth() * 0.22f, box.getWidth() * 0.5f);
        if (k < stars)
        {
            g.setColour (juce::Colour (0xfff2c230));
            g.fillPath (star);
        }
        else
        {
            g.setColour (juce::Colour (selected ? 0xffd8d8e0 : 0xff70707a));
            g.strokePath (star, juce::PathStrokeType (1.0f));
        }
    }
}

void RecordList::paintStrip (juce::Graphics& g) const
{
    const juce::Rectangle<float> strip ((float)stripX, 0.0f, (float)stripWidth, (float)getHeight());
    g.setColour (juce::Colour (0xff222226));
    g.fillRoundedRectangle (strip.reduced (6.0f, 0.0f), 5.0f);

    // The thumb: a raised grip with three ridges.
    const auto thumb = thumbBounds().toFloat().reduced (1.0f, 0.5f);
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff8a8a92), thumb.getX(), 0.0f, juce::Colour (0xff4a4a52),
                                             thumb.getRight(), 0.0f, false));
    g.fillRoundedRectangle (thumb, 5.0f);
    g.setColour (juce::Colours::black);
    g.drawRoundedRectangle (thumb, 5.0f, 1.0f);
    g.setColour (juce::Colour (0xff2a2a30));
    for (int k = -1; k <= 1; ++k)
        g.fillRect (thumb.getX() + 6.0f, thumb.getCentreY() + 5.0f * (float)k, thumb.getWidth() - 12.0f, 1.5f);
}

juce::String RecordList::selectionText() const
{
    if (numRows() == 0)
        return "empty";
    const auto row = selectedRow();
    if (!juce::isPositiveAndBelow (row, numRows()))
        return juce::String (numRows()) + " rows, none selected";
    return juce::String (row + 1) + " of " + juce::String (numRows()) + ": " + rowName (row).trimEnd();
}

bool RecordList::keyPressed (const juce::KeyPress& key)
{
    if (numRows() == 0)
        return false;
    const auto current = selectedRow();
    if (key.getKeyCode() == juce::KeyPress::returnKey && current >= 0)
    {
        rowDoubleClicked (current);
        return true;
    }
    // 0 to 3 set the selected row's stars.
    if (const auto c = key.getTextCharacter();
        c >= '0' && c <= '0' + starCount && !key.getModifiers().isAnyModifierKeyDown())
    {
        if (current < 0 || rowRating (current) < 0)
            return false;
        rowRated (current, (int)(c - '0'));
        repaint();
        return true;
    }
    const auto code = key.getKeyCode();
    if (code == juce::KeyPress::leftKey || code == juce::KeyPress::rightKey)
        return false;
    // Page keys move by a page of rows, not by a tenth of the list.
    auto next = ControlAccess::steppedValue (key, current, 0, numRows() - 1);
    if (!next.has_value())
        return false;
    if (code == juce::KeyPress::pageUpKey || code == juce::KeyPress::pageDownKey)
        next = juce::jlimit (0, numRows() - 1, current + (code == juce::KeyPress::pageUpKey ? -rowsShown : rowsShown));
    else if (code == juce::KeyPress::upKey || code == juce::KeyPress::downKey)
        next = juce::jlimit (0, numRows() - 1, current + (code == juce::KeyPress::upKey ? -1 : 1));
    rowPressed (*next);
    scrollToShow (*next);
    repaint();
    if (auto* handler = getAccessibilityHandler())
        handler->notifyAccessibilityEvent (juce::AccessibilityEvent::valueChanged);
    return true;
}

std::unique_ptr<juce::AccessibilityHandler> RecordList::createAccessibilityHandler()
{
    return ControlAccess::ranged (*this, juce::AccessibilityRole::list,
                                  {[this] { return selectedRow(); }, nullptr, [this] { return selectionText(); }, -1,
                                   juce::jmax (0, numRows() - 1)});
}

void RecordList::mouseDown (const juce::MouseEvent& e)
{
    const auto p = e.getPosition();
    lastDragY = p.y;
    press = Press::none;
    if (p.x >= stripX)
    {
        if (!hasScrollStrip())
            return;
        const auto thumb = thumbBounds();
        if (thumb.contains (p))
        {
            press = Press::thumb;
            thumbGrab = p.y - thumb.getY();
            return;
        }
        press = p.y < thumb.getY() ? Press::stripAbove : Press::stripBelow;
        holdY = p.y;
        timerCallback();
        startTimer (repeatMs);
        return;
    }
    if (p.x >= selectWidth)
        return;
    press = Press::rows;
    const auto row = rowAt (p.y);
    if (row < 0)
        return;
    // A click on the k-th star gives k stars, or none when the row has k already.
    if (const auto stars = starArea (row); p.y < numRows() * rowHeight - firstRow * rowHeight &&
                                           stars.expanded (0, 4).contains (p.x, p.y - (row - firstRow) * rowHeight))
    {
        const auto k = juce::jlimit (1, starCount, (p.x - stars.getX()) / starSize + 1);
        rowRated (row, rowRating (row) == k ? 0 : k);
        repaint();
        return;
    }
    rowPressed (row);
}

void RecordList::timerCallback()
{
    // Stops once the thumb has reached the held point.
    if (press == Press::stripAbove && holdY < thumbBounds().getY())
        setFirstRow (firstRow - 1);
    else if (press == Press::stripBelow && holdY >= thumbBounds().getBottom())
        setFirstRow (firstRow + 1);
}

void RecordList::mouseDrag (const juce::MouseEvent& e)
{
    const auto y = e.getPosition().y;
    if (press == Press::thumb)
    {
        const auto travel = juce::jmax (1, getHeight() - thumbHeight);
        setFirstRow (juce::roundToInt ((double)(y - thumbGrab) * maxFirstRow() / travel));
    }
    else if (press == Press::stripAbove || press == Press::stripBelow)
        holdY = y;
    else if (press == Press::rows && y != lastDragY)
    {
        if (y < 0)
            setFirstRow (firstRow - 1);
        else if (y >= getHeight())
            setFirstRow (firstRow + 1);
    }
    lastDragY = y;
}

void RecordList::mouseUp (const juce::MouseEvent&)
{
    stopTimer();
    press = Press::none;
}

void RecordList::mouseDoubleClick (const juce::MouseEvent& e)
{
    const auto p = e.getPosition();
    if (p.x < selectWidth)
        if (const auto row = rowAt (p.y); row >= 0)
            rowDoubleClicked (row);
}

void RecordList::mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails& wheel)
{
    const auto delta = wheel.deltaY * (wheel.isReversed ? -1.0f : 1.0f);
    if (!wheel.isSmooth)
    {
        // A notch is one row, whatever size the system gives it.
        if (delta != 0.0f)
            setFirstRow (firstRow + (delta > 0.0f ? -1 : 1));
        return;
    }
    // Smooth wheels and touch pads add up to notches.
    constexpr float notch = 50.0f / 256.0f;
    wheelRest += delta / notch;
    const auto steps = (int)wheelRest;
    wheelRest -= (float)steps;
    setFirstRow (firstRow - steps);
}
