#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class CableListener;
class StsCont;

class StsContListener
{
public:
    virtual ~StsContListener() = default;
    /** A right press, or a press while drawn too small to edit: the section opens its zoom. */
    virtual void zoomRequested (StsCont& control) = 0;
};

/** A parameter control of the section panels: value selector, switch, knob, three-way switch
    or centre switch. An edit goes to the processor; the control shows a new value only when it
    comes back. */
class StsCont : public juce::Component, public juce::TooltipClient
{
public:
    static constexpr float editThreshold = 0.6f;

    StsCont (CableListener& processor, int layer);
    ~StsCont() override;

    void setup (int parameter, const juce::String& label, int x, int y, int w, int h, int minimum, int maximum,
                int kind, int displayKind);

    /** Shows a value that came back; repaints only when it differs from the shown one. */
    void showValue (int value, const juce::String& text);
    /** The user moved the control: sent on when it differs from the shown value. */
    void userValue (int value, bool endNow);
    /** The next showValue redraws even when the value is unchanged. */
    void forceNextUpdate() noexcept { shown = -1; }
    /** Shows a text for a value not yet sent (a drag in progress). */
    void previewText (const juce::String& newText);
    void setScale (float newScale);
    /** Inside a section zoom a control edits whatever size the zoom could give it. */
    void setEditableAtAnyScale (bool editable) noexcept { anyScale = editable; }

    int getParameter() const noexcept { return parameter; }
    int getAddress() const noexcept { return layer * 512 + parameter; }
    int getLayer() const noexcept { return layer; }
    int getKind() const noexcept { return kind; }
    int getDisplayKind() const noexcept { return displayKind; }
    int getMinimum() const noexcept { return minimum; }
    int getMaximum() const noexcept { return maximum; }
    int getShownValue() const noexcept { return shown; }
    int getPendingValue() const noexcept { return pending; }
    int getFrame() const noexcept { return frame; }
    const juce::String& getLabel() const noexcept { return label; }
    const juce::String& getValueText() const noexcept { return text; }
    juce::Rectangle<int> getUnscaledBounds() const noexcept { return unscaled; }
    /** Knob frame 0..60 for a value. */
    static int frameFor (int value, int minimum, int maximum);
    /** Pixels per step of a knob drag. */
    int pixelsPerStep() const noexcept { return maximum < 15 ? 15 : 1; }
    /** Moves an anchored control (AB MODE forms); y is the anchor, the top is y - 16. */
    void moveTo (int x, int y);
    /** Where the section's top left lies on the editor's scaled grid; the control rounds its
        edges on that grid, as the section does. */
    void setGridOrigin (juce::Point<float> scaledOrigin);

    void addListener (StsContListener* l);
    void removeListener (StsContListener* l);

    /** The label and the value shown, made only when the tooltip window asks. */
    juce::String getTooltip() override;

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    void mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel) override;
    /** Focused with Tab: the arrow, page, Home and End keys step the value; Space or Return
        flips a switch or opens a selector's menu. */
    bool keyPressed (const juce::KeyPress& key) override;
    void focusGained (FocusChangeType) override { repaint(); }
    void focusLost (FocusChangeType) override { repaint(); }
    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;

    /** "A Cutoff": what the control is called, for screen readers and the tooltip. */
    juce::String fullName() const;

private:
    void place();
    void notifyZoom();
    void openMenu();

    CableListener& processor;
    const int layer;
    int parameter = 0, minimum = 0, maximum = 127, kind = 3, displayKind = 0;
    juce::String label, text;
    juce::Rectangle<int> unscaled;
    float scale = 1.0f;
    juce::Point<float> origin;
    int shown = 0, pending = 0, frame = 0;
    bool dragging = false, pressInTopBand = false, anyScale = false;
    juce::Point<int> dragStart;
    int dragStartValue = 0;
    juce::CriticalSection listenerLock;
    juce::Array<StsContListener*> listeners;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StsCont)
};
