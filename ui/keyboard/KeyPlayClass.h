#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <functional>

class MidiCntrState;

/** Told when the player's own area is dragged, so that its owner can move with the mouse. */
class KeyPlayListener
{
public:
    virtual ~KeyPlayListener() = default;
    virtual void keyPlayDragStarted (const juce::MouseEvent& e) = 0;
    virtual void keyPlayDragged (const juce::MouseEvent& e) = 0;
    virtual void keyPlayDragEnded() = 0;
};

/** The computer keyboard as a one-octave piano: z s x d c v g b h n j m play from the base note,
    i/u change the velocity, o/p the octave, space silences everything. In the editor (mode 100)
    the digits jump to sections; elsewhere (mode 101) they are taken and do nothing. */
class KeyPlayClass : public juce::Component, private juce::Timer
{
public:
    static constexpr int editorMode = 100, windowMode = 101;
    static constexpr uint32_t sectionJumpCode = 0x210002D6;
    static constexpr int messageMs = 750;

    KeyPlayClass (MidiCntrState& hub, int mode);
    ~KeyPlayClass() override;

    void setColours (juce::Colour fill, juce::Colour text);
    void addListener (KeyPlayListener* l) { listeners.add (l); }
    void removeListener (KeyPlayListener* l) { listeners.remove (l); }

    int getVelocity() const noexcept { return velocity; }
    int getBaseNote() const noexcept { return baseNote; }
    bool isSounding (int note) const noexcept { return juce::isPositiveAndBelow (note, 128) && sounding[(size_t)note]; }
    const juce::String& getMessage() const noexcept { return message; }

    /** Whether a key is still held; the system's own test unless replaced (tests). */
    std::function<bool (int keyCode)> isKeyDown;

    bool keyPressed (const juce::KeyPress& key) override;
    bool keyStateChanged (bool isKeyDown) override;
    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;

private:
    static constexpr const char* noteKeys = "zsxdcvgbhnjm";

    void timerCallback() override;
    void show (const juce::String& text);
    void noteOff (int note);

    MidiCntrState& hub;
    const int mode;
    int velocity = 100, baseNote = 36;
    std::array<bool, 128> sounding{};
    std::array<int, 12> startedBy{}; // the note each note key started, -1 for none
    juce::String message;
    juce::Colour fill{juce::Colours::transparentBlack}, textColour{juce::Colours::white};
    juce::ListenerList<KeyPlayListener> listeners;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KeyPlayClass)
};
