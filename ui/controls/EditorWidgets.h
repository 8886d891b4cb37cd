#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

/** A one-line label with its own font height, justification and colours; a click sends a change
    message. */
class StsLabel : public juce::Component, public juce::ChangeBroadcaster
{
public:
    StsLabel (float fontHeight, juce::Justification justification, juce::Colour text, juce::Colour background);
    void setText (const juce::String& newText);
    const juce::String& getText() const noexcept { return text; }
    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;

private:
    float fontHeight;
    juce::Justification justification;
    juce::Colour textColour, background;
    juce::String text;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StsLabel)
};

/** The program display: location, program name, category, AB mode and arpeggiator mark, with
    three click zones. */
class LCD_Comp : public juce::Component
{
public:
    static constexpr int width = 220, height = 50;

    LCD_Comp();
    void setScale (float s);
    void setProgram (const juce::String& location, const juce::String& name, int category, const juce::String& abMode,
                     const juce::String& arpMark);
    void setCategory (int number);
    /** The zone of a press (2, 3 or 1 tested in that order), or 0. */
    int zoneAt (juce::Point<int> p) const noexcept;
    std::function<void (int zone)> onZone;

    const juce::String& getLocation() const noexcept { return location; }
    const juce::String& getName() const noexcept { return name; }
    const juce::String& getCategoryText() const noexcept { return categoryText; }
    const juce::String& getAbMode() const noexcept { return abMode; }
    const juce::String& getArpMark() const noexcept { return arpMark; }

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    /** Return opens the program menu, the menu key the category menu. */
    bool keyPressed (const juce::KeyPress& key) override;
    void focusGained (FocusChangeType) override { repaint(); }
    void focusLost (FocusChangeType) override { repaint(); }
    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;
    /** "U1 P 1, Basic Program, Keys": what a screen reader says. */
    juce::String spokenText() const;

private:
    float scale = 1.0f;
    juce::String location, name, categoryText, abMode, arpMark;
    int category = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LCD_Comp)
};

/** The zoom handle: shows the panel scale in percent; its right part drags the panel height. */
class CorButton : public juce::Component
{
public:
    static constexpr int pressPhase = 320, dragPhase = 321, releasePhase = 322;
    static constexpr int activeFrom = 39;

    CorButton();
    void setPercent (int percent);
    const juce::String& getText() const noexcept { return text; }
    /** The height the drag starts from (the panel's). */
    std::function<int()> currentHeight;
    /** Phase and requested height. */
    std::function<void (int phase, int height)> onPhase;

    void paint (juce::Graphics& g) override;
    void mouseMove (const juce::MouseEvent& e) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;

private:
    juce::String text{"100%"};
    bool active = false;
    int pressHeight = 0, lastHeight = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CorButton)
};

/** The section scroll bar: 12 positions, one per section button; a thumb 60 wide. */
class HorScrollClass : public juce::Component
{
public:
    static constexpr int maxPosition = 11, thumbWidth = 60, arrow = 14, pageStep = 2;

    HorScrollClass();
    int getPosition() const noexcept { return position; }
    /** Moves without telling (the editor's own jumps). */
    void setPosition (int p);
    int thumbX() const noexcept;
    std::function<void (int position)> onMove;

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    bool keyPressed (const juce::KeyPress& key) override;
    void focusGained (FocusChangeType) override { repaint(); }
    void focusLost (FocusChangeType) override { repaint(); }
    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;

private:
    void move (int p);
    float trackLength() const noexcept { return (float)(getWidth() - thumbWidth - 2 * arrow); }

    int position = 0;
    bool onThumb = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (HorScrollClass)
};

/** The about box over the editor: product name, "Version" and the version; a click or the
    given time closes it (a change message). */
class AboutPanel : public juce::Component, public juce::ChangeBroadcaster, private juce::Timer
{
public:
    static constexpr const char* version = "2.7.0";

    explicit AboutPanel (int closeAfterMs = 0);
    ~AboutPanel() override;
    juce::Rectangle<int> boxBounds() const noexcept;

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;

private:
    void timerCallback() override;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AboutPanel)
};
