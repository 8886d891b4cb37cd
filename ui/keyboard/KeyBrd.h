#pragma once

#include "ui/keyboard/KeyPlayClass.h"
#include "ui/keyboard/KeyboardWidgets.h"

class MidiCntrState;

/** The 65-key piano of the keyboard strip, played with the mouse. */
class PianoPad : public juce::Component, private juce::Timer
{
public:
    static constexpr int numKeys = 65, numWhiteKeys = 38;
    static constexpr float whiteWidth = 25.0f, whiteHeight = 152.0f, blackWidth = 16.0f, blackHeight = 100.0f;

    explicit PianoPad (MidiCntrState& hub);
    ~PianoPad() override;

    void setScale (float s);
    static bool isBlack (int key) noexcept;
    /** Unscaled left edge and size of a key. */
    static juce::Rectangle<float> keyArea (int key) noexcept;
    /** The key drawn under an unscaled point, or -1: a black key over the white ones. */
    static int keyAt (juce::Point<float> p) noexcept;
    /** Velocity of a press at unscaled height y on a key, when the hub's velocity is below 6;
        -1 for presses that play nothing. */
    static int velocityFromHeight (int key, float y) noexcept;
    bool isSounding (int key) const noexcept
    {
        return juce::isPositiveAndBelow (key, numKeys) && sounding[(size_t)key];
    }
    int noteOf (int key) const noexcept;

    void keyOn (int key, float y);
    void keyOff (int key);
    void releaseAll();

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;

private:
    void timerCallback() override { stopTimer(), repaint(); }
    juce::Point<float> unscaled (const juce::MouseEvent& e) const noexcept;

    MidiCntrState& hub;
    float scale = 1.0f;
    std::array<bool, numKeys> sounding{};
    int glideKey = -1;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PianoPad)
};

/** The keyboard strip below the section editor: piano, wheels, velocity, octave, the computer
    keyboard player and the connection status. It can be slid up over the editor. */
class KeyBrd : public juce::Component, public juce::ChangeBroadcaster, private KeyPlayListener
{
public:
    static constexpr int topLimit = 54; // the bottom of the application bar
    static constexpr int pianoX = 232, pianoY = 20;
    /** Unscaled width the strip needs to show its whole piano, with a small margin. */
    static constexpr int neededWidth = pianoX + 38 * 25 + 8;

    explicit KeyBrd (MidiCntrState& hub);
    ~KeyBrd() override;

    /** Bounds (0, y, width, height); the scale is taken up to 1.0, and made smaller when the
        width could not show every key of the piano. */
    void layout (float scale, int y, int width, int height);
    float getScale() const noexcept { return scale; }
    void setStatusText (const juce::String& text);
    const juce::String& getStatusText() const noexcept { return status; }
    void setPitchWheel (int value) { pitchWheel.setValue (value); }
    void setModWheel (int value) { modWheel.setValue (value); }

    PianoPad& getPiano() noexcept { return piano; }
    WheelCnt& getPitchWheel() noexcept { return pitchWheel; }
    WheelCnt& getModWheel() noexcept { return modWheel; }
    VelIndClass& getVelocity() noexcept { return velocity; }
    OctaveKeyClass& getOctave() noexcept { return octave; }
    KeyPlayClass& getKeyPlayer() noexcept { return keyPlayer; }

    void paint (juce::Graphics& g) override;
    void resized() override;
    void mouseMove (const juce::MouseEvent& e) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;

private:
    void keyPlayDragStarted (const juce::MouseEvent& e) override;
    void keyPlayDragged (const juce::MouseEvent& e) override;
    void keyPlayDragEnded() override;
    bool inSlideBand (juce::Point<int> p) const noexcept;
    int statusWidth() const noexcept;
    void startSlide (const juce::MouseEvent& e);
    void slide (const juce::MouseEvent& e);

    MidiCntrState& hub;
    float scale = 1.0f;
    juce::String status{"OFF-LINE"};
    VelIndClass velocity;
    PianoPad piano;
    WheelCnt pitchWheel, modWheel;
    OctaveKeyClass octave;
    KeyPlayClass keyPlayer;
    bool sliding = false;
    int slideStartScreenY = 0, slideStartTop = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KeyBrd)
};
