// The playing strip: the piano, the wheels, velocity and octave, the computer keyboard.
#include "core/MidiCntrState.h"
#include "support/FakeMidiDevices.h"
#include "support/MessagePump.h"
#include "support/UiEvents.h"
#include "ui/keyboard/KeyBrd.h"
#include "ui/keyboard/KeyboardWidgets.h"

#include <gtest/gtest.h>

using ravlin::test::mouseAt;

class Keyboard : public ::testing::Test
{
protected:
    Keyboard() : hub (std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File()) {}
    juce::ScopedJuceInitialiser_GUI messageThread;
    MidiCntrState hub;
};

TEST_F (Keyboard, KeysNotesAndVelocities)
{
    PianoPad piano (hub);
    piano.setBounds (0, 0, 950, 152);
    EXPECT_EQ (hub.keyboardOctave.load(), 2);
    EXPECT_EQ (piano.noteOf (0), 24);
    EXPECT_EQ (piano.noteOf (64), 88);

    EXPECT_EQ (PianoPad::velocityFromHeight (0, 60.0f), 10) << "d = 8, 8 x 1.27 = 10.16";
    EXPECT_EQ (PianoPad::velocityFromHeight (0, 0.0f), 5);
    EXPECT_EQ (PianoPad::velocityFromHeight (1, 50.0f), 63);
    EXPECT_EQ (PianoPad::velocityFromHeight (1, 120.0f), 127);
    EXPECT_EQ (PianoPad::velocityFromHeight (0, 152.0f), -1);

    // The key drawn under the mouse: a black key over its whole width (D# lies over E from 50
    // to 60), below the black keys' bottom white keys only.
    EXPECT_EQ (PianoPad::keyAt ({20.0f, 50.0f}), 1);
    EXPECT_EQ (PianoPad::keyAt ({55.0f, 50.0f}), 3);
    EXPECT_EQ (PianoPad::keyAt ({55.0f, 120.0f}), 4);
    EXPECT_EQ (PianoPad::keyAt ({20.0f, 120.0f}), 0);
    EXPECT_EQ (PianoPad::keyAt ({949.0f, 120.0f}), 64);
    EXPECT_EQ (PianoPad::keyAt ({960.0f, 120.0f}), -1);
    EXPECT_EQ (PianoPad::keyArea (64).getX(), 37.0f * 25.0f);
}

TEST (KeyboardStrip, EveryKeyIsDrawnAndPlaysItsNoteAtEveryScaleAndWidth)
{
    juce::ScopedJuceInitialiser_GUI messageThread;
    auto devices = std::make_unique<ravlin::test::FakeMidiDevices>();
    auto& wire = devices->recorders[1];
    MidiCntrState hub (std::move (devices), juce::File());
    hub.selectOutputPort (2);
    hub.noteVelocity = 100;
    std::vector<std::vector<uint8_t>> expected;

    // The zoom handle's range, the figures users meet, and the narrowest editors.
    const std::pair<float, int> cases[] = {{0.203f, 1200}, {0.51f, 1200}, {1.0f, 1200}, {1.5f, 1200},
                                           {1.2f, 1600},   {1.0f, 1014},  {1.0f, 454}};
    for (const auto& [scale, width] : cases)
    {
        SCOPED_TRACE ("scale " + std::to_string (scale) + ", width " + std::to_string (width));
        juce::Component editor;
        editor.setSize (width, 900);
        KeyBrd strip (hub);
        editor.addAndMakeVisible (strip);
        strip.layout (scale, 700, width, 172);
        auto& piano = strip.getPiano();
        const auto picture = strip.createComponentSnapshot (strip.getLocalBounds(), true, 1.0f);
        const auto s = strip.getScale();
        for (int key = 0; key < PianoPad::numKeys; ++key)
        {
            // The middle of the part of the key the user sees: black keys in their upper half,
            // white keys below the black ones.
            const auto area = PianoPad::keyArea (key);
            const auto y = PianoPad::isBlack (key) ? 50.0f : 130.0f;
            const juce::Point<float> unscaled (area.getCentreX(), y);
            const auto inPiano = (unscaled * s).roundToInt();
            const auto inStrip = inPiano + piano.getPosition();
            ASSERT_TRUE (strip.getLocalBounds().contains (inStrip)) << "key " << key << " at " << inStrip.toString();
            ASSERT_TRUE (editor.getLocalBounds().contains (inStrip + strip.getPosition())) << key;
            ASSERT_EQ (strip.getComponentAt (inStrip), &piano) << "key " << key << " takes the mouse";
            const auto pixel = picture.getPixelAt (inStrip.x, inStrip.y);
            if (PianoPad::isBlack (key))
                EXPECT_LT (pixel.getBrightness(), 0.35f) << "key " << key << " is drawn black";
            else
                EXPECT_GT (pixel.getBrightness(), 0.85f) << "key " << key << " is drawn white";

            piano.mouseDown (mouseAt (piano, inPiano.x, inPiano.y));
            EXPECT_TRUE (piano.isSounding (key)) << key;
            piano.mouseUp (mouseAt (piano, inPiano.x, inPiano.y));
            expected.push_back ({0x90, (uint8_t)(24 + key), 100});
            expected.push_back ({0x80, (uint8_t)(24 + key), 0});
        }
    }
    // What reached the instrument: each key's own note, on and off, in the order played.
    ASSERT_TRUE (ravlin::test::pumpUntil ([&] { return wire.count() >= expected.size(); }, 5000));
    std::vector<std::vector<uint8_t>> played;
    for (const auto& m : wire.taken())
        played.push_back (m.bytes);
    EXPECT_EQ (played, expected);
}

TEST_F (Keyboard, AGlideOverThreeKeysLeavesNoneSounding)
{
    hub.selectOutputPort (1);
    PianoPad piano (hub);
    piano.setBounds (0, 0, 950, 152);
    piano.mouseDown (mouseAt (piano, 5, 130));
    EXPECT_TRUE (piano.isSounding (0));
    for (int x : {30, 30, 55, 55, 80, 80})
        piano.mouseDrag (mouseAt (piano, x, 130));
    piano.mouseUp (mouseAt (piano, 80, 130));
    for (int key = 0; key < PianoPad::numKeys; ++key)
        EXPECT_FALSE (piano.isSounding (key)) << key;
}

TEST_F (Keyboard, WheelsSpringOrStay)
{
    WheelCnt pitch (hub, true), mod (hub, false);
    for (auto* w : {&pitch, &mod})
    {
        w->setBounds (0, 0, 31, 112);
        w->mouseDown (mouseAt (*w, 10, 60));
        w->mouseDrag (mouseAt (*w, 10, 30));
        w->mouseUp (mouseAt (*w, 10, 30));
    }
    EXPECT_EQ (pitch.getValue(), 64) << "the pitch wheel returns to the middle";
    EXPECT_EQ (mod.getValue(), 30) << "the modulation wheel stays";
    mod.setValue (200);
    EXPECT_EQ (mod.getValue(), 127);
}

TEST_F (Keyboard, TheStripSlidesButNotAboveTheBar)
{
    juce::Component parent;
    parent.setSize (1200, 900);
    KeyBrd strip (hub);
    parent.addAndMakeVisible (strip);
    strip.layout (1.0f, 700, 1200, 175);
    EXPECT_EQ (strip.getStatusText(), "OFF-LINE");
    EXPECT_EQ (strip.getPiano().getBounds(), juce::Rectangle<int> (232, 20, 950, 152)) << "38 white keys of 25";
    strip.layout (1.4f, 700, 1200, 175);
    EXPECT_EQ (strip.getScale(), 1.0f) << "scales above 1.0 are not taken";

    struct Count : juce::ChangeListener
    {
        void changeListenerCallback (juce::ChangeBroadcaster*) override { ++n; }
        int n = 0;
    } released;
    strip.addChangeListener (&released);
    strip.mouseDown (mouseAt (strip, 100, 5));
    strip.mouseDrag (mouseAt (strip, 100, -2000));
    strip.mouseUp (mouseAt (strip, 100, -2000));
    EXPECT_EQ (strip.getY(), KeyBrd::topLimit);
    EXPECT_TRUE (ravlin::test::pumpUntil ([&] { return released.n == 1; }, 2000));
    strip.removeChangeListener (&released);

    strip.getVelocity().setBounds (35, 38, 70, 120);
    strip.getVelocity().mouseDown (mouseAt (strip.getVelocity(), 10, 47));
    EXPECT_EQ (hub.noteVelocity.load(), 80);
    strip.getVelocity().mouseDown (mouseAt (strip.getVelocity(), 50, 90));
    EXPECT_EQ (hub.noteVelocity.load(), 80) << "presses right of 40 do not drag";
    strip.getOctave().choose (36);
    EXPECT_EQ (hub.keyboardOctave.load(), 3);
}

TEST_F (Keyboard, WheelsVelocityAndOctaveTakeKeysAndTellScreenReaders)
{
    WheelCnt pitch (hub, true), mod (hub, false);
    VelIndClass velocity (hub);
    OctaveKeyClass octave (hub);

    EXPECT_EQ (pitch.getTitle(), "Pitch Wheel");
    EXPECT_EQ (pitch.createAccessibilityHandler()->getValueInterface()->getCurrentValueAsString(), "0")
        << "the pitch wheel reads from its centre";
    EXPECT_TRUE (pitch.keyPressed (juce::KeyPress (juce::KeyPress::pageUpKey)));
    EXPECT_EQ (pitch.getValue(), 76);
    pitch.keyStateChanged (false);
    EXPECT_EQ (pitch.getValue(), 64) << "springs back when the key is let go";

    EXPECT_TRUE (mod.keyPressed (juce::KeyPress (juce::KeyPress::endKey)));
    EXPECT_EQ (mod.getValue(), 127);
    mod.keyStateChanged (false);
    EXPECT_EQ (mod.getValue(), 127) << "the mod wheel stays";

    EXPECT_EQ (velocity.getTitle(), "Note Velocity");
    EXPECT_TRUE (velocity.keyPressed (juce::KeyPress (juce::KeyPress::downKey)));
    EXPECT_EQ (hub.noteVelocity.load(), 99);
    velocity.createAccessibilityHandler()->getValueInterface()->setValue (300.0);
    EXPECT_EQ (hub.noteVelocity.load(), 127);

    const auto octaveAccess = octave.createAccessibilityHandler();
    EXPECT_EQ (octaveAccess->getValueInterface()->getCurrentValueAsString(), "Octave 2");
    EXPECT_TRUE (octave.keyPressed (juce::KeyPress (juce::KeyPress::upKey)));
    EXPECT_EQ (hub.keyboardOctave.load(), 3);
    EXPECT_TRUE (octave.keyPressed (juce::KeyPress (juce::KeyPress::endKey)));
    EXPECT_EQ (hub.keyboardOctave.load(), OctaveKeyClass::numOctaves - 1);
}
