#include "ui/keyboard/KeyPlayClass.h"
#include "ui/controls/Fonts.h"

#include "core/MidiCntrState.h"

KeyPlayClass::KeyPlayClass (MidiCntrState& h, int m) : hub (h), mode (m)
{
    startedBy.fill (-1);
    isKeyDown = [] (int keyCode) { return juce::KeyPress::isKeyCurrentlyDown (keyCode); };
    setWantsKeyboardFocus (true);
    setMouseClickGrabsKeyboardFocus (true);
}

KeyPlayClass::~KeyPlayClass()
{
    stopTimer();
    // Nothing may keep sounding once the player is gone.
    for (int note = 0; note < 128; ++note)
        if (sounding[(size_t)note])
            noteOff (note);
}

void KeyPlayClass::setColours (juce::Colour newFill, juce::Colour text)
{
    fill = newFill;
    textColour = text;
    repaint();
}

void KeyPlayClass::show (const juce::String& text)
{
    message = text;
    startTimer (messageMs);
    repaint();
}

void KeyPlayClass::timerCallback()
{
    stopTimer();
    message.clear();
    repaint();
}

void KeyPlayClass::noteOff (int note)
{
    sounding[(size_t)note] = false;
    hub.getPorts().sendNoteOff (hub.midiChannel.load(), note);
}

bool KeyPlayClass::keyPressed (const juce::KeyPress& key)
{
    // Shortcuts such as Ctrl+Z belong to the editor, not to the notes.
    if (key.getModifiers().isCommandDown() || key.getModifiers().isAltDown())
        return false;
    auto c = key.getTextCharacter();
    if (c == 0)
        c = (juce::juce_wchar)key.getKeyCode();
    c = juce::CharacterFunctions::toLowerCase (c);

    if (const auto* k = std::strchr (noteKeys, (int)c); k != nullptr && c != 0)
    {
        const auto offset = (int)(k - noteKeys);
        const auto note = baseNote + offset;
        if (note > 127 || sounding[(size_t)note])
            return true;
        sounding[(size_t)note] = true;
        startedBy[(size_t)offset] = note;
        const auto channel = hub.midiChannel.load();
        hub.noteOnToInstrument (channel, note, velocity);
        show ("Play Chn: " + juce::String (channel) + "  Key: " + juce::String (note) +
              "  Vel: " + juce::String (velocity));
        return true;
    }
    switch (c)
    {
        case ' ':
            for (int note = 0; note < 128; ++note)
                noteOff (note);
            startedBy.fill (-1);
            show ("All Notes OFF");
            return true;
        case 'i':
        case 'u':
            if (c == 'i' && velocity < 122)
                velocity += 5;
            else if (c == 'u' && velocity > 4)
                velocity -= 5;
            show ("Note Velocity: " + juce::String (velocity));
            return true;
        case 'o':
        case 'p':
            if (c == 'o' && baseNote > 0)
                baseNote -= 12;
            else if (c == 'p' && baseNote < 115)
                baseNote += 12;
            show ("Octave " + juce::String (baseNote / 12 - 2));
            return true;
        default: break;
    }
    if (c >= '0' && c <= '9')
    {
        if (mode == editorMode)
            hub.postEvent (sectionJumpCode + (uint32_t)(c - '0'));
        return true;
    }
    const auto code = key.getKeyCode();
    return code == juce::KeyPress::leftKey || code == juce::KeyPress::rightKey || code == juce::KeyPress::upKey ||
           code == juce::KeyPress::downKey;
}

bool KeyPlayClass::keyStateChanged (bool)
{
    for (size_t k = 0; k < startedBy.size(); ++k)
    {
        const auto note = startedBy[k];
        if (note < 0 || isKeyDown ((int)noteKeys[k]))
            continue;
        startedBy[k] = -1;
        if (sounding[(size_t)note])
            noteOff (note);
    }
    return false;
}

void KeyPlayClass::paint (juce::Graphics& g)
{
    g.fillAll (fill);
    g.setColour (textColour);
    g.setFont (juce::Font (ravlin::arialName(), 10.0f, juce::Font::plain));
    g.drawText (message, getLocalBounds().reduced (2, 0), juce::Justification::centredLeft, true);
}

void KeyPlayClass::mouseDown (const juce::MouseEvent& e)
{
    listeners.call ([&] (KeyPlayListener& l) { l.keyPlayDragStarted (e); });
}

void KeyPlayClass::mouseDrag (const juce::MouseEvent& e)
{
    listeners.call ([&] (KeyPlayListener& l) { l.keyPlayDragged (e); });
}

void KeyPlayClass::mouseUp (const juce::MouseEvent&)
{
    listeners.call ([] (KeyPlayListener& l) { l.keyPlayDragEnded(); });
}
