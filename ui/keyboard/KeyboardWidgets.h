#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class MidiCntrState;

/** A wheel of the on-screen keyboard: the pitch wheel (spring-loaded, pitch bend) or the
    modulation wheel (controller 1 to the host and the instrument). */
class WheelCnt : public juce::Component
{
public:
    WheelCnt (MidiCntrState& hub, bool pitch);

    int getValue() const noexcept { return value; }
    /** From the instrument: moves without sending. */
    void setValue (int v);
    void setScale (float s);

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    void mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel) override;
    /** The arrow keys move it; the pitch wheel springs back when the key is let go. */
    bool keyPressed (const juce::KeyPress& key) override;
    bool keyStateChanged (bool isKeyDown) override;
    void focusGained (FocusChangeType) override { repaint(); }
    void focusLost (FocusChangeType) override { repaint(); }
    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;

private:
    void change (int v);

    MidiCntrState& hub;
    const bool pitch;
    int value, pressY = 0, pressValue = 0;
    float scale = 1.0f;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (WheelCnt)
};

/** "Note Velocity": the velocity of notes played with the mouse, kept in the hub. */
class VelIndClass : public juce::Component
{
public:
    explicit VelIndClass (MidiCntrState& hub);
    void setScale (float s);
    int getVelocity() const;

    void setVelocity (int velocity);

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    bool keyPressed (const juce::KeyPress& key) override;
    void focusGained (FocusChangeType) override { repaint(); }
    void focusLost (FocusChangeType) override { repaint(); }
    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;

private:
    MidiCntrState& hub;
    float scale = 1.0f;
    bool dragging = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VelIndClass)
};

/** The octave selector: picks the piano's lowest note in octaves, kept in the hub. */
class OctaveKeyClass : public juce::Component
{
public:
    static constexpr int numOctaves = 7;

    explicit OctaveKeyClass (MidiCntrState& hub);
    void setScale (float s);
    /** Chooses a key position (a note); the hub's offset becomes position / 12. */
    void choose (int position);
    int getPosition() const noexcept { return position; }

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    bool keyPressed (const juce::KeyPress& key) override;
    void focusGained (FocusChangeType) override { repaint(); }
    void focusLost (FocusChangeType) override { repaint(); }
    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;

private:
    MidiCntrState& hub;
    float scale = 1.0f;
    int position = 24;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (OctaveKeyClass)
};
