#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class CableListener;

/** A touch slider of the SLIDERS section: vertical position and horizontal pressure, sent as
    pseudo parameters (1025 or 1026, and 1027) while dragged. */
class P_Slider : public juce::Component
{
public:
    P_Slider (CableListener& processor, int positionParameter);

    void setScale (float s);
    /** From the instrument: moves without sending. */
    void setValues (int position, int pressure);
    int getPosition() const noexcept { return position; }
    int getPressure() const noexcept { return pressure; }

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override { mouseDrag (e); }
    void mouseDrag (const juce::MouseEvent& e) override;
    /** Up and Down move the position, Right and Left the pressure. */
    bool keyPressed (const juce::KeyPress& key) override;
    void focusGained (FocusChangeType) override { repaint(); }
    void focusLost (FocusChangeType) override { repaint(); }
    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;

private:
    void change (int newPosition, int newPressure);
    CableListener& processor;
    const int positionParameter;
    float scale = 1.0f;
    int position = 0, pressure = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (P_Slider)
};
