#include "ui/controls/EditorWidgets.h"

#include "instrument/ParDes.h"
#include "ui/controls/ControlAccess.h"
#include "ui/controls/RavlinLookAndFeel.h"

using Look = RavlinLookAndFeel;

StsLabel::StsLabel (float height, juce::Justification j, juce::Colour textColourToUse, juce::Colour back)
    : fontHeight (height), justification (j), textColour (textColourToUse), background (back)
{
}

void StsLabel::setText (const juce::String& newText)
{
    if (newText == text)
        return;
    text = newText;
    repaint();
}

void StsLabel::paint (juce::Graphics& g)
{
    g.fillAll (background);
    g.setColour (textColour);
    g.setFont (Look::font (fontHeight));
    g.drawFittedText (text, getLocalBounds(), justification, 1, 0.8f);
}

void StsLabel::mouseDown (const juce::MouseEvent&)
{
    sendChangeMessage();
}

//==============================================================================
LCD_Comp::LCD_Comp()
{
    setTitle ("Program");
    ControlAccess::makeFocusable (*this);
}

juce::String LCD_Comp::spokenText() const
{
    juce::StringArray parts{location.trim(), name.trim(), categoryText.trim()};
    parts.removeEmptyStrings();
    return parts.joinIntoString (", ");
}

bool LCD_Comp::keyPressed (const juce::KeyPress& key)
{
    if (!onZone)
        return false;
    if (ControlAccess::isPressKey (key))
        onZone (1);
    else if (key.getKeyCode() == juce::KeyPress::F10Key && key.getModifiers().isShiftDown())
        onZone (3);
    else
        return false;
    return true;
}

std::unique_ptr<juce::AccessibilityHandler> LCD_Comp::createAccessibilityHandler()
{
    // Read out as its text; press opens the program menu, show-menu the category menu.
    struct Text : juce::AccessibilityTextValueInterface
    {
        explicit Text (const LCD_Comp& c) : owner (c) {}
        bool isReadOnly() const override { return true; }
        juce::String getCurrentValueAsString() const override { return owner.spokenText(); }
        void setValueAsString (const juce::String&) override {}
        const LCD_Comp& owner;
    };
    return std::make_unique<juce::AccessibilityHandler> (
        *this, juce::AccessibilityRole::button,
        juce::AccessibilityActions()
            .addAction (juce::AccessibilityActionType::press,
                        [this]
                        {
                            if (onZone)
                                onZone (1);
                        })
            .addAction (juce::AccessibilityActionType::showMenu,
                        [this]
                        {
                            if (onZone)
                                onZone (3);
                        }),
        juce::AccessibilityHandler::Interfaces{std::make_unique<Text> (*this)});
}

void LCD_Comp::setScale (float s)
{
    scale = s;
    repaint();
}

void LCD_Comp::setProgram (const juce::String& newLocation, const juce::String& newName, int newCategory,
                           const juce::String& newAbMode, const juce::String& newArpMark)
{
    if (newLocation == location && newName == name && newCategory == category && newAbMode == abMode &&
        newArpMark == arpMark && categoryText.isNotEmpty())
        return;
    location = newLocation;
    name = newName;
    abMode = newAbMode;
    arpMark = newArpMark;
    setCategory (newCategory);
    if (auto* handler = getAccessibilityHandler())
        handler->notifyAccessibilityEvent (juce::AccessibilityEvent::valueChanged);
}

void LCD_Comp::setCategory (int number)
{
    category = number;
    categoryText = ParDes::categoryText (number);
    repaint();
}

int LCD_Comp::zoneAt (juce::Point<int> p) const noexcept
{
    const auto s = scale;
    const auto x = (float)p.x, y = (float)p.y;
    if (y > 26.0f * s && y < 38.0f && x > 9.0f * s && x < 179.0f)
        return 2;
    if (y > 5.0f * s && y < 18.0f && x > 76.0f * s && x < 184.0f)
        return 3;
    if (y > 4.0f * s && y < 18.0f && x > 9.0f * s && x <= 112.0f)
        return 1;
    return 0;
}

void LCD_Comp::mouseDown (const juce::MouseEvent& e)
{
    if (const auto zone = zoneAt (e.getPosition()); zone != 0 && onZone)
        onZone (zone);
}

void LCD_Comp::paint (juce::Graphics& g)
{
    const auto area = getLocalBounds().toFloat();
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff0d2030), 0.0f, 0.0f, juce::Colour (0xff081420), 0.0f,
                                             area.getHeight(), false));
    g.fillRoundedRectangle (area, 4.0f);
    g.setColour (juce::Colour (0xff36506a));
    g.drawRoundedRectangle (area.reduced (0.5f), 4.0f, 1.0f);
    const auto lcd = juce::Colour (0xff9ad8ff);
    g.setColour (lcd);
    g.setFont (Look::font (12.0f));
    g.drawText (location, 9, 4, 66, 14, juce::Justification::centredLeft, false);
    g.drawText (categoryText, 78, 4, 134, 14, juce::Justification::centredRight, false);
    g.setFont (Look::font (16.0f, true));
    // Names run to 20 characters: narrowed rather than cut.
    g.drawFittedText (name, 9, 20, 172, 20, juce::Justification::centredLeft, 1, 0.6f);
    g.setFont (Look::font (11.0f));
    g.drawText (abMode + "  " + arpMark, 150, 34, 62, 14, juce::Justification::centredRight, false);
    ControlAccess::drawFocus (g, *this);
}

//==============================================================================
CorButton::CorButton() = default;

void CorButton::setPercent (int percent)
{
    text = juce::String (percent) + "%";
    repaint();
}

void CorButton::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (Look::bar));
    g.setColour (juce::Colour (Look::label));
    g.setFont (Look::font (12.0f));
    g.drawText (text, 0, 0, activeFrom, getHeight(), juce::Justification::centred, false);
    // The grip.
    g.setColour (juce::Colour (Look::accent));
    for (int k = 0; k < 3; ++k)
        g.fillRect (activeFrom + 3, 3 + 3 * k, getWidth() - activeFrom - 6, 1);
}

void CorButton::mouseMove (const juce::MouseEvent& e)
{
    setMouseCursor (e.x >= activeFrom ? juce::MouseCursor::UpDownResizeCursor : juce::MouseCursor::NormalCursor);
}

void CorButton::mouseDown (const juce::MouseEvent& e)
{
    active = e.x >= activeFrom;
    if (!active)
        return;
    pressHeight = lastHeight = currentHeight ? currentHeight() : 0;
    if (onPhase)
        onPhase (pressPhase, pressHeight);
}

void CorButton::mouseDrag (const juce::MouseEvent& e)
{
    if (!active)
        return;
    lastHeight = pressHeight + e.getDistanceFromDragStartY();
    if (onPhase)
        onPhase (dragPhase, lastHeight);
}

void CorButton::mouseUp (const juce::MouseEvent&)
{
    if (active && onPhase)
        onPhase (releasePhase, lastHeight);
    active = false;
}

//==============================================================================
HorScrollClass::HorScrollClass()
{
    setTitle ("Sections");
    ControlAccess::makeFocusable (*this);
}

bool HorScrollClass::keyPressed (const juce::KeyPress& key)
{
    return ControlAccess::stepOnKey (key, position, 0, maxPosition, [this] (int v) { move (v); });
}

std::unique_ptr<juce::AccessibilityHandler> HorScrollClass::createAccessibilityHandler()
{
    return ControlAccess::ranged (*this, juce::AccessibilityRole::scrollBar,
                                  {[this] { return position; }, [this] (int p) { move (p); },
                                   [this] { return "Section " + juce::String (position + 1); }, 0, maxPosition});
}

int HorScrollClass::thumbX() const noexcept
{
    return juce::roundToInt (trackLength() / (float)maxPosition * (float)position) + arrow;
}

void HorScrollClass::setPosition (int p)
{
    p = juce::jlimit (0, maxPosition, p);
    if (p == position)
        return;
    position = p;
    repaint();
}

void HorScrollClass::move (int p)
{
    p = juce::jlimit (0, maxPosition, p);
    if (p == position)
        return;
    position = p;
    repaint();
    if (onMove)
        onMove (position);
}

void HorScrollClass::mouseDown (const juce::MouseEvent& e)
{
    onThumb = false;
    const auto x = e.x;
    if (x < arrow)
        move (position - 1);
    else if (x > getWidth() - arrow)
        move (position + 1);
    else if (x < thumbX())
        move (position - pageStep);
    else if (x > thumbX() + thumbWidth)
        move (position + pageStep);
    else
        onThumb = true;
}

void HorScrollClass::mouseDrag (const juce::MouseEvent& e)
{
    const auto step = trackLength() / (float)maxPosition;
    if (step > 0.0f)
        move ((int)((float)(e.x - 30 - arrow) / step));
}

void HorScrollClass::paint (juce::Graphics& g)
{
    const auto h = (float)getHeight();
    g.fillAll (juce::Colour (Look::bar));
    g.setColour (juce::Colour (Look::box));
    g.fillRoundedRectangle ((float)arrow, 2.0f, (float)getWidth() - 2.0f * arrow, h - 4.0f, 3.0f);
    g.setColour (juce::Colour (Look::label));
    juce::Path left, right;
    left.addTriangle (3.0f, h * 0.5f, (float)arrow - 3.0f, 3.0f, (float)arrow - 3.0f, h - 3.0f);
    right.addTriangle ((float)getWidth() - 3.0f, h * 0.5f, (float)(getWidth() - arrow) + 3.0f, 3.0f,
                       (float)(getWidth() - arrow) + 3.0f, h - 3.0f);
    g.fillPath (left);
    g.fillPath (right);
    g.setColour (juce::Colour (0xff6a6a72));
    g.fillRoundedRectangle ((float)thumbX(), 2.0f, (float)thumbWidth, h - 4.0f, 3.0f);
    ControlAccess::drawFocus (g, *this);
}

//==============================================================================
AboutPanel::AboutPanel (int closeAfterMs)
{
    if (closeAfterMs > 0)
        startTimer (closeAfterMs);
}

AboutPanel::~AboutPanel()
{
    stopTimer();
}

juce::Rectangle<int> AboutPanel::boxBounds() const noexcept
{
    return {(getWidth() - 460) / 2, juce::jmax (0, (getHeight() - 260) / 3), 460, 260};
}

void AboutPanel::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xaa000000));
    const auto box = boxBounds().toFloat();
    g.setColour (juce::Colour (Look::panelDark));
    g.fillRoundedRectangle (box, 8.0f);
    g.setColour (juce::Colour (Look::accent));
    g.drawRoundedRectangle (box.reduced (1.0f), 8.0f, 2.0f);
    g.setColour (juce::Colours::white);
    g.setFont (Look::font (34.0f, true));
    g.drawText ("PROPHET 12", box.withHeight (110.0f).translated (0.0f, 30.0f), juce::Justification::centred, false);
    g.setFont (Look::font (20.0f));
    g.setColour (juce::Colour (Look::label));
    g.drawText ("Ravlin editor and librarian", box.withHeight (30.0f).translated (0.0f, 120.0f),
                juce::Justification::centred, false);
    g.setFont (Look::font (16.0f));
    g.drawText (juce::String ("Version ") + version, box.withHeight (30.0f).translated (0.0f, 180.0f),
                juce::Justification::centred, false);
}

void AboutPanel::mouseDown (const juce::MouseEvent&)
{
    sendChangeMessage();
}

void AboutPanel::timerCallback()
{
    stopTimer();
    sendChangeMessage();
}
