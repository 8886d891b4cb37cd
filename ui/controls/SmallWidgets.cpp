#include "ui/controls/SmallWidgets.h"
#include "ui/controls/ControlAccess.h"
#include "ui/controls/Fonts.h"

namespace
{
const juce::Colour textColour (0xfff3f3f3), boxColour (0xff282626), frameColour (0xff8f8f8f);

using ravlin::arial;

void styleButton (juce::TextButton& b)
{
    b.setColour (juce::TextButton::buttonColourId, boxColour);
    b.setColour (juce::TextButton::textColourOffId, textColour);
}
} // namespace

//==============================================================================
StsBut::StsBut (const juce::String& t, int c, int s) : text (t), command (c), style (s)
{
    setTitle (text);
    ControlAccess::makeFocusable (*this);
}

void StsBut::press()
{
    listeners.call ([this] (stsbutChangeListener& l) { l.stsbutChanged (*this); });
}

bool StsBut::keyPressed (const juce::KeyPress& key)
{
    return ControlAccess::pressOnKey (key, [this] { press(); });
}

std::unique_ptr<juce::AccessibilityHandler> StsBut::createAccessibilityHandler()
{
    return ControlAccess::button (*this, [this] { press(); });
}

void StsBut::setSelected (bool shouldBeSelected)
{
    selected = shouldBeSelected;
    repaint();
}

void StsBut::mouseUp (const juce::MouseEvent& e)
{
    if (getLocalBounds().contains (e.getPosition()))
        press();
}

void StsBut::paint (juce::Graphics& g)
{
    const auto box = getLocalBounds().toFloat().reduced (0.5f);
    g.setColour (selected ? juce::Colour (0xff3a6ea5) : boxColour);
    g.fillRoundedRectangle (box, 3.0f);
    g.setColour (frameColour);
    g.drawRoundedRectangle (box, 3.0f, 1.0f);
    g.setColour (textColour);
    // The application bar's rows: 12 for commands, 11 for sections.
    auto height = style == 135 ? 11.0f : style == 130 ? 12.0f : std::min (13.0f, (float)getHeight() - 4.0f);
    // A button narrowed with its bar takes a smaller font rather than losing letters.
    const auto room = (float)getWidth() - 6.0f, needed = arial (height).getStringWidthFloat (text) * 0.7f;
    if (needed > room && room > 0.0f)
        height = std::max (7.0f, height * room / needed);
    g.setFont (arial (height));
    g.drawFittedText (text, getLocalBounds().reduced (3, 0), juce::Justification::centred, 1, 0.7f);
    ControlAccess::drawFocus (g, *this);
}

//==============================================================================
SwitchLED::SwitchLED (const juce::String& t) : text (t)
{
    setTitle (text);
    ControlAccess::makeFocusable (*this);
}

void SwitchLED::flip()
{
    on = !on;
    repaint();
    if (auto* handler = getAccessibilityHandler())
        handler->notifyAccessibilityEvent (juce::AccessibilityEvent::valueChanged);
    sendSynchronousChangeMessage();
}

bool SwitchLED::keyPressed (const juce::KeyPress& key)
{
    return ControlAccess::pressOnKey (key, [this] { flip(); });
}

std::unique_ptr<juce::AccessibilityHandler> SwitchLED::createAccessibilityHandler()
{
    return ControlAccess::toggle (
        *this, [this] { return on; }, [this] { flip(); });
}

void SwitchLED::setOn (bool shouldBeOn)
{
    on = shouldBeOn;
    repaint();
}

void SwitchLED::mouseDown (const juce::MouseEvent& e)
{
    if (e.getPosition().x < 20)
        flip();
}

void SwitchLED::paint (juce::Graphics& g)
{
    const auto lamp = juce::Rectangle<float> (3.0f, (float)getHeight() * 0.5f - 6.0f, 12.0f, 12.0f);
    g.setColour (on ? juce::Colour (0xffff4a2a) : juce::Colour (0xff3a2a2a));
    g.fillEllipse (lamp);
    g.setColour (frameColour);
    g.drawEllipse (lamp, 1.0f);
    g.setColour (textColour);
    g.setFont (arial (13.0f));
    g.drawText (text, 22, 0, getWidth() - 22, getHeight(), juce::Justification::centredLeft);
    ControlAccess::drawFocus (g, *this);
}

//==============================================================================
AppSetBarBut::AppSetBarBut()
{
    setTitle ("Library");
    ControlAccess::makeFocusable (*this);
    setSize (36, 36);
}

void AppSetBarBut::press()
{
    code = libraryCode;
    sendSynchronousChangeMessage();
}

void AppSetBarBut::mouseDown (const juce::MouseEvent&)
{
    press();
}

bool AppSetBarBut::keyPressed (const juce::KeyPress& key)
{
    return ControlAccess::pressOnKey (key, [this] { press(); });
}

std::unique_ptr<juce::AccessibilityHandler> AppSetBarBut::createAccessibilityHandler()
{
    return ControlAccess::button (*this, [this] { press(); });
}

void AppSetBarBut::paint (juce::Graphics& g)
{
    g.setColour (juce::Colour (0xff999999));
    for (int y : {8, 14, 20})
        g.fillRect (8, y, 20, 3);
    ControlAccess::drawFocus (g, *this);
}

//==============================================================================
WinMovCan::WinMovCan (bool closeOnly) : onlyClose (closeOnly)
{
    setTitle ("Close");
    setSize (onlyClose ? 17 : 54, 15);
}

std::unique_ptr<juce::AccessibilityHandler> WinMovCan::createAccessibilityHandler()
{
    return ControlAccess::button (*this,
                                  [this] { listeners.call ([] (WinMovCanListener& l) { l.windowControl (122); }); });
}

int WinMovCan::zoneAt (int x) const noexcept
{
    if (x < 0 || x >= getWidth())
        return 0;
    if (onlyClose)
        return 122;
    return x < 20 ? 120 : x > 37 ? 122 : 121;
}

void WinMovCan::mouseDown (const juce::MouseEvent& e)
{
    pressedZone = zoneAt (e.getPosition().x);
}

void WinMovCan::mouseUp (const juce::MouseEvent& e)
{
    const auto zone = zoneAt (e.getPosition().x);
    if (zone != 0 && zone == pressedZone && e.getPosition().y >= 0 && e.getPosition().y < getHeight())
        listeners.call ([zone] (WinMovCanListener& l) { l.windowControl (zone); });
    pressedZone = 0;
}

void WinMovCan::mouseMove (const juce::MouseEvent& e)
{
    const auto zone = zoneAt (e.getPosition().x);
    if (zone != hoverZone)
    {
        hoverZone = zone;
        repaint();
    }
}

void WinMovCan::mouseExit (const juce::MouseEvent&)
{
    hoverZone = 0;
    repaint();
}

void WinMovCan::paint (juce::Graphics& g)
{
    auto zoneBounds = [this] (int zone)
    {
        if (onlyClose)
            return getLocalBounds();
        return zone == 120   ? juce::Rectangle<int> (0, 0, 20, 15)
               : zone == 121 ? juce::Rectangle<int> (20, 0, 18, 15)
                             : juce::Rectangle<int> (38, 0, 16, 15);
    };
    if (hoverZone != 0)
    {
        g.setColour (juce::Colour (0xff457089));
        g.fillRect (zoneBounds (hoverZone));
    }
    g.setColour (textColour);
    if (!onlyClose)
    {
        const auto move = zoneBounds (120).toFloat().reduced (4.0f, 4.0f);
        g.drawRect (move, 1.0f);
        const auto size = zoneBounds (121).toFloat().reduced (4.0f, 3.0f);
        g.drawRect (size, 1.0f);
        g.fillRect (size.withHeight (2.0f));
    }
    const auto close = zoneBounds (122).toFloat().reduced (4.0f, 3.5f);
    g.drawLine (close.getX(), close.getY(), close.getRight(), close.getBottom(), 1.5f);
    g.drawLine (close.getRight(), close.getY(), close.getX(), close.getBottom(), 1.5f);
}

//==============================================================================
RenameCnt::RenameCnt()
{
    editor.setFont (arial (12.0f));
    editor.onReturnKey = [this]
    {
        if (onRename)
            onRename (editor.getText());
    };
    cancel.onClick = [this]
    {
        if (onCancel)
            onCancel();
    };
    styleButton (cancel);
    addAndMakeVisible (editor);
    addAndMakeVisible (cancel);
    setSize (300, 24);
}

void RenameCnt::resized()
{
    auto area = getLocalBounds();
    cancel.setBounds (area.removeFromRight (70));
    editor.setBounds (area.withTrimmedRight (6));
}

//==============================================================================
ProgBar::ProgBar()
{
    label.setText ("-", juce::dontSendNotification);
    label.setFont (arial (13.0f));
    label.setColour (juce::Label::textColourId, textColour);
    styleButton (cancel);
    addAndMakeVisible (label);
    addAndMakeVisible (cancel);
}

void ProgBar::setValue (int newValue)
{
    value = juce::jlimit (0, 127, newValue);
    repaint();
}

void ProgBar::setText (const juce::String& text)
{
    label.setText (text, juce::dontSendNotification);
}

juce::Rectangle<int> ProgBar::boxBounds() const noexcept
{
    return juce::Rectangle<int> (400, 40).withCentre (getLocalBounds().getCentre());
}

void ProgBar::resized()
{
    const auto box = boxBounds();
    label.setBounds (box.getX(), box.getBottom() + 4, 300, 20);
    cancel.setBounds (box.getRight() - 90, box.getBottom() + 4, 90, 22);
}

void ProgBar::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black.withAlpha (0.6f)); // modal: the editor shows through, dimmed
    const auto box = boxBounds();
    g.setColour (juce::Colour (0xff15222a));
    g.fillRect (box);
    const auto track = juce::Rectangle<int> (384, 24).withCentre (box.getCentre());
    g.setColour (juce::Colour (0xff555555));
    g.fillRect (track);
    g.setColour (juce::Colour (0xff3a6ea5));
    g.fillRect (track.withWidth (barWidth()));
}

//==============================================================================
MsgCont::MsgCont (const juce::String& message, bool withCancel)
{
    label.setText (message, juce::dontSendNotification);
    label.setFont (arial (14.0f));
    label.setColour (juce::Label::textColourId, textColour);
    label.setJustificationType (juce::Justification::centred);
    addAndMakeVisible (label);
    for (auto* b : {&ok, &cancel})
    {
        styleButton (*b);
        addAndMakeVisible (*b);
    }
    cancel.setVisible (withCancel);
}

void MsgCont::resized()
{
    const auto box = juce::Rectangle<int> (480, 120).withCentre (getLocalBounds().getCentre());
    label.setBounds (box.getX() + 10, box.getY() + 10, 460, 60);
    if (cancel.isVisible())
    {
        ok.setBounds (box.getCentreX() - 100, box.getBottom() - 36, 90, 24);
        cancel.setBounds (box.getCentreX() + 10, box.getBottom() - 36, 90, 24);
    }
    else
    {
        ok.setBounds (box.getCentreX() - 45, box.getBottom() - 36, 90, 24);
    }
}

void MsgCont::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black.withAlpha (0.6f));
    const auto box = juce::Rectangle<float> (480.0f, 120.0f).withCentre (getLocalBounds().getCentre().toFloat());
    g.setColour (juce::Colour (0xee15222a));
    g.fillRoundedRectangle (box, 6.0f);
    g.setColour (juce::Colour (0xdd457089));
    g.drawRoundedRectangle (box, 6.0f, 2.0f);
}
