#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class StsBut;

class stsbutChangeListener
{
public:
    virtual ~stsbutChangeListener() = default;
    virtual void stsbutChanged (StsBut& button) = 0;
};

/** A text button with a command number and a style number; a click tells every listener. */
class StsBut : public juce::Component
{
public:
    StsBut (const juce::String& text, int command, int style);

    int getCommand() const noexcept { return command; }
    int getStyle() const noexcept { return style; }
    const juce::String& getText() const noexcept { return text; }
    void setSelected (bool shouldBeSelected);
    bool isSelected() const noexcept { return selected; }

    void addListener (stsbutChangeListener* l) { listeners.add (l); }
    void removeListener (stsbutChangeListener* l) { listeners.remove (l); }

    void paint (juce::Graphics& g) override;
    void mouseUp (const juce::MouseEvent& e) override;
    /** Tells every listener, as a click does. */
    void press();
    bool keyPressed (const juce::KeyPress& key) override;
    void focusGained (FocusChangeType) override { repaint(); }
    void focusLost (FocusChangeType) override { repaint(); }
    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;

private:
    const juce::String text;
    const int command, style;
    bool selected = false;
    juce::ListenerList<stsbutChangeListener> listeners;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StsBut)
};

/** A lamp switch: a press left of x = 20 toggles it and broadcasts (synchronously). */
class SwitchLED : public juce::Component, public juce::ChangeBroadcaster
{
public:
    explicit SwitchLED (const juce::String& text);
    bool isOn() const noexcept { return on; }
    void setOn (bool shouldBeOn);
    /** What a press on the lamp does: toggles and broadcasts. */
    void flip();
    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    bool keyPressed (const juce::KeyPress& key) override;
    void focusGained (FocusChangeType) override { repaint(); }
    void focusLost (FocusChangeType) override { repaint(); }
    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;

private:
    const juce::String text;
    bool on = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SwitchLED)
};

/** The library button: three grey bars; a press sets its code to 128 and broadcasts. */
class AppSetBarBut : public juce::Component, public juce::ChangeBroadcaster
{
public:
    static constexpr int libraryCode = 128;
    AppSetBarBut();
    int getCode() const noexcept { return code; }
    /** What a press does. */
    void press();
    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    bool keyPressed (const juce::KeyPress& key) override;
    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;

private:
    int code = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AppSetBarBut)
};

class WinMovCanListener
{
public:
    virtual ~WinMovCanListener() = default;
    virtual void windowControl (int code) = 0; // 120, 121 or 122
};

/** The window control strip of floating panels: three zones reporting 120, 121, 122 when
    pressed and released in the same zone; or a single 17 x 15 zone reporting 122. */
class WinMovCan : public juce::Component
{
public:
    explicit WinMovCan (bool onlyClose = false);

    /** The zone's code at x, or 0. */
    int zoneAt (int x) const noexcept;
    void addListener (WinMovCanListener* l) { listeners.add (l); }
    void removeListener (WinMovCanListener* l) { listeners.remove (l); }

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    void mouseMove (const juce::MouseEvent& e) override;
    void mouseExit (const juce::MouseEvent& e) override;
    /** For screen readers: a button that closes (122). */
    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;

private:
    const bool onlyClose;
    int pressedZone = 0, hoverZone = 0;
    juce::ListenerList<WinMovCanListener> listeners;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (WinMovCan)
};

/** A rename field: one line of text and a "Cancel" button. */
class RenameCnt : public juce::Component
{
public:
    RenameCnt();
    juce::TextEditor& getEditor() noexcept { return editor; }
    juce::TextButton& getCancelButton() noexcept { return cancel; }
    std::function<void (const juce::String&)> onRename;
    std::function<void()> onCancel;
    void resized() override;

private:
    juce::TextEditor editor;
    juce::TextButton cancel{"Cancel"};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (RenameCnt)
};

/** Progress of a bank operation, covering the editor: a 400 x 40 box with a bar 3 pixels per
    step (0..127), a text and "CANCEL". */
class ProgBar : public juce::Component
{
public:
    ProgBar();
    void setValue (int newValue);
    int getValue() const noexcept { return value; }
    void setText (const juce::String& text);
    juce::String getText() const { return label.getText(); }
    juce::TextButton& getCancelButton() noexcept { return cancel; }
    juce::Rectangle<int> boxBounds() const noexcept;
    int barWidth() const noexcept { return 3 * value; }

    void paint (juce::Graphics& g) override;
    void resized() override;

private:
    int value = 0;
    juce::Label label;
    juce::TextButton cancel{"CANCEL"};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ProgBar)
};

/** A short message to the user, with "OK" or "OK" and "CANCEL". */
class MsgCont : public juce::Component
{
public:
    MsgCont (const juce::String& message, bool withCancel);
    juce::TextButton& getOkButton() noexcept { return ok; }
    juce::TextButton& getCancelButton() noexcept { return cancel; }
    juce::String getMessage() const { return label.getText(); }
    void paint (juce::Graphics& g) override;
    void resized() override;

private:
    juce::Label label;
    juce::TextButton ok{"OK"}, cancel{"CANCEL"};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MsgCont)
};
