#include "ui/keyboard/KeyBrd.h"

#include "core/MidiCntrState.h"
#include "ui/controls/RavlinLookAndFeel.h"

using Look = RavlinLookAndFeel;

namespace
{
constexpr int whiteIndex[12] = {0, -1, 1, -1, 2, 3, -1, 4, -1, 5, -1, 6};
constexpr float blackOffset[12] = {0, 15, 0, 44, 0, 0, 90, 0, 116, 0, 142, 0};
} // namespace

PianoPad::PianoPad (MidiCntrState& h) : hub (h) {}

PianoPad::~PianoPad()
{
    stopTimer();
    releaseAll();
}

void PianoPad::setScale (float s)
{
    scale = s;
    repaint();
}

bool PianoPad::isBlack (int key) noexcept
{
    return whiteIndex[key % 12] < 0;
}

juce::Rectangle<float> PianoPad::keyArea (int key) noexcept
{
    const auto octave = (float)(key / 12);
    const auto k = key % 12;
    if (isBlack (key))
        return {octave * 7.0f * whiteWidth + blackOffset[k], 0.0f, blackWidth, blackHeight};
    return {(octave * 7.0f + (float)whiteIndex[k]) * whiteWidth, 0.0f, whiteWidth, whiteHeight};
}

int PianoPad::keyAt (juce::Point<float> p) noexcept
{
    if (p.x < 0.0f || p.y < 0.0f || p.y >= whiteHeight || p.x >= (float)numWhiteKeys * whiteWidth)
        return -1;
    // A black key plays wherever it is drawn, its right half too, though it lies over the next
    // white key; elsewhere the white key under the mouse plays.
    if (p.y < blackHeight)
        for (int key = 0; key < numKeys; ++key)
            if (isBlack (key) && keyArea (key).getX() <= p.x && p.x < keyArea (key).getRight())
                return key;
    for (int key = 0; key < numKeys; ++key)
        if (!isBlack (key) && keyArea (key).getX() <= p.x && p.x < keyArea (key).getRight())
            return key;
    return -1;
}

int PianoPad::velocityFromHeight (int key, float y) noexcept
{
    if (y >= whiteHeight)
        return -1;
    int d;
    if (isBlack (key))
        d = y <= blackHeight ? (int)y : 127;
    else
    {
        d = juce::jmax (0, (int)y - 52);
        if (d >= 128)
            d = 254 - d;
    }
    return juce::jlimit (5, 127, (int)((double)d * 1.27));
}

int PianoPad::noteOf (int key) const noexcept
{
    return key + 12 * hub.keyboardOctave.load();
}

void PianoPad::keyOn (int key, float y)
{
    if (!juce::isPositiveAndBelow (key, numKeys) || sounding[(size_t)key])
        return;
    auto velocity = hub.noteVelocity.load();
    if (velocity < 6)
    {
        velocity = velocityFromHeight (key, y);
        if (velocity < 0)
            return;
    }
    const auto note = noteOf (key);
    if (note < 0 || note >= 128)
        return;
    sounding[(size_t)key] = true;
    hub.noteOnToInstrument (hub.midiChannel.load(), note, velocity);
    repaint();
    startTimer (20);
}

void PianoPad::keyOff (int key)
{
    if (!juce::isPositiveAndBelow (key, numKeys) || !sounding[(size_t)key])
        return;
    sounding[(size_t)key] = false;
    const auto note = noteOf (key);
    if (note >= 0 && note < 128)
        hub.getPorts().sendNoteOff (hub.midiChannel.load(), note);
    repaint();
    startTimer (30);
}

void PianoPad::releaseAll()
{
    for (int key = 0; key < numKeys; ++key)
        keyOff (key);
    glideKey = -1;
}

juce::Point<float> PianoPad::unscaled (const juce::MouseEvent& e) const noexcept
{
    return e.position / scale;
}

void PianoPad::mouseDown (const juce::MouseEvent& e)
{
    const auto p = unscaled (e);
    glideKey = -1;
    keyOn (keyAt (p), p.y);
}

void PianoPad::mouseDrag (const juce::MouseEvent& e)
{
    const auto p = unscaled (e);
    const auto key = keyAt (p);
    if (glideKey < 0)
    {
        glideKey = key;
        keyOn (key, p.y);
    }
    else if (glideKey != key)
    {
        keyOff (glideKey);
        glideKey = -1;
    }
}

void PianoPad::mouseUp (const juce::MouseEvent&)
{
    releaseAll();
}

void PianoPad::paint (juce::Graphics& g)
{
    const auto s = scale;
    for (int pass = 0; pass < 2; ++pass)
        for (int key = 0; key < numKeys; ++key)
        {
            if (isBlack (key) != (pass == 1))
                continue;
            const auto a = keyArea (key);
            const juce::Rectangle<float> r (a.getX() * s, a.getY() * s, a.getWidth() * s, a.getHeight() * s);
            const bool down = sounding[(size_t)key];
            if (pass == 0)
            {
                g.setColour (juce::Colour (down ? Look::keyPressed : Look::keyWhite));
                g.fillRect (r.reduced (0.5f * s, 0.0f));
                g.setColour (juce::Colour (0xff808080));
                g.drawRect (r, 1.0f);
            }
            else
            {
                g.setGradientFill (juce::ColourGradient (juce::Colour (down ? Look::keyPressed : 0xff3a3a40), r.getX(),
                                                         r.getY(), juce::Colour (down ? 0xffc07010 : Look::keyBlack),
                                                         r.getX(), r.getBottom(), false));
                g.fillRoundedRectangle (r, 2.0f * s);
            }
        }
}

//==============================================================================
KeyBrd::KeyBrd (MidiCntrState& h)
    : hub (h), velocity (h), piano (h), pitchWheel (h, true), modWheel (h, false), octave (h),
      keyPlayer (h, KeyPlayClass::editorMode)
{
    for (juce::Component* c : {(juce::Component*)&velocity, (juce::Component*)&piano, (juce::Component*)&pitchWheel,
                               (juce::Component*)&modWheel, (juce::Component*)&octave, (juce::Component*)&keyPlayer})
        addAndMakeVisible (c);
    keyPlayer.addListener (this);
    setSize (1140, 175);
}

KeyBrd::~KeyBrd()
{
    keyPlayer.removeListener (this);
}

void KeyBrd::layout (float newScale, int y, int width, int height)
{
    // Every key stays on screen: a narrow editor gets a smaller strip.
    scale = juce::jmax (0.1f, juce::jmin (newScale, 1.0f, (float)width / (float)neededWidth));
    setBounds (0, y, width, height);
    resized();
}

void KeyBrd::setStatusText (const juce::String& text)
{
    status = text;
    repaint (0, 0, 20 + statusWidth(), 20);
}

int KeyBrd::statusWidth() const noexcept
{
    // Up to the computer-keyboard player's label.
    return juce::jmax (120, keyPlayer.getX() - 28);
}

void KeyBrd::resized()
{
    const auto s = scale;
    auto place = [s] (juce::Component& c, int x, int y, int w, int h) {
        c.setBounds (
            juce::Rectangle<float> ((float)x * s, (float)y * s, (float)w * s, (float)h * s).toNearestIntEdges());
    };
    place (velocity, 35, 38, 70, 120);
    place (piano, pianoX, pianoY, PianoPad::numWhiteKeys * (int)PianoPad::whiteWidth, (int)PianoPad::whiteHeight);
    place (pitchWheel, 110, 45, 31, 112);
    place (modWheel, 170, 45, 31, 112);
    place (octave, 110, 159, 100, 13);
    place (keyPlayer, 400, 4, 200, 12);
    velocity.setScale (s);
    piano.setScale (s);
    pitchWheel.setScale (s);
    modWheel.setScale (s);
    octave.setScale (s);
}

void KeyBrd::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (Look::bar));
    g.setColour (juce::Colour (0xff303036));
    g.fillRect (0, 0, getWidth(), (int)(3.0f * scale));
    // Red off line, amber when the instrument answers but something is wrong, green otherwise.
    const bool warning = status.endsWith ("CHECK SETTINGS") || status.endsWith ("NO GLOBAL DUMP");
    g.setColour (juce::Colour (status.startsWith ("OFF-LINE") ? 0xffa05050 : warning ? 0xffe0a040 : 0xff60c070));
    g.setFont (Look::font (12.0f));
    g.drawFittedText (status, 20, 0, statusWidth(), 20, juce::Justification::centredLeft, 1, 0.7f);
    g.setColour (juce::Colour (Look::label));
    g.setFont (Look::font (10.0f * scale));
    g.drawText ("Pitch", (int)(108.0f * scale), (int)(30.0f * scale), (int)(35.0f * scale), (int)(12.0f * scale),
                juce::Justification::centred, false);
    g.drawText ("Mod", (int)(168.0f * scale), (int)(30.0f * scale), (int)(35.0f * scale), (int)(12.0f * scale),
                juce::Justification::centred, false);
}

bool KeyBrd::inSlideBand (juce::Point<int> p) const noexcept
{
    return (float)p.y < 20.0f * scale && p.x < getWidth() - 60;
}

void KeyBrd::mouseMove (const juce::MouseEvent& e)
{
    setMouseCursor (inSlideBand (e.getPosition()) ? juce::MouseCursor::UpDownResizeCursor
                                                  : juce::MouseCursor::NormalCursor);
}

void KeyBrd::startSlide (const juce::MouseEvent& e)
{
    sliding = true;
    slideStartScreenY = e.getScreenY();
    slideStartTop = getY();
}

void KeyBrd::slide (const juce::MouseEvent& e)
{
    if (sliding)
        setTopLeftPosition (0, juce::jmax (topLimit, slideStartTop + e.getScreenY() - slideStartScreenY));
}

void KeyBrd::mouseDown (const juce::MouseEvent& e)
{
    if (inSlideBand (e.getPosition()))
        startSlide (e);
}

void KeyBrd::mouseDrag (const juce::MouseEvent& e)
{
    slide (e);
}

void KeyBrd::mouseUp (const juce::MouseEvent&)
{
    if (std::exchange (sliding, false))
        sendChangeMessage();
}

void KeyBrd::keyPlayDragStarted (const juce::MouseEvent& e)
{
    startSlide (e);
}

void KeyBrd::keyPlayDragged (const juce::MouseEvent& e)
{
    slide (e);
}

void KeyBrd::keyPlayDragEnded()
{
    if (std::exchange (sliding, false))
        sendChangeMessage();
}
