#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class CableListener;
class MidiCntrState;

/** The pressure pad of the SLIDERS section: horizontal and vertical values, sent as 1025 and
    1026; on release each returns to 0 unless its slider latch is on. */
class P_Pad : public juce::Component
{
public:
    P_Pad (CableListener& processor, MidiCntrState& hub);

    void setScale (float s);
    int getFirst() const noexcept { return first; }
    int getSecond() const noexcept { return second; }

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override { mouseDrag (e); }
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    /** Left and Right move the horizontal value, Up and Down the vertical one; letting the
        keys go releases the pad as the mouse does. */
    bool keyPressed (const juce::KeyPress& key) override;
    bool keyStateChanged (bool isKeyDown) override;
    void focusGained (FocusChangeType) override { repaint(); }
    void focusLost (FocusChangeType) override { repaint(); }
    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;

private:
    void set (int newFirst, int newSecond);
    void release();

    CableListener& processor;
    MidiCntrState& hub;
    float scale = 1.0f;
    int first = 0, second = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (P_Pad)
};
