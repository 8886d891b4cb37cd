// The editor's control widgets: value mapping, mouse zones and drag arithmetic.
#include "core/MidiCntrState.h"
#include "instrument/ParDes.h"
#include "support/FakeMidiDevices.h"
#include "support/MessagePump.h"
#include "support/UiEvents.h"
#include "ui/EditorWidgets.h"
#include "ui/Envel.h"
#include "ui/KeyBrd.h"
#include "ui/LibraryWidgets.h"
#include "ui/P_Pad.h"
#include "ui/P_Slider.h"
#include "ui/SmallWidgets.h"
#include "ui/StsCont.h"
#include "ui/ZoneKeyClass.h"

#include <gtest/gtest.h>

using ravlin::test::mouseAt;

namespace
{
struct Cables : public CableListener
{
    void cableChanged (int index, int value, bool endNow, bool toInstrument, bool notifyHub) override
    {
        sent.push_back ({index, value, endNow ? 1 : 0});
        EXPECT_TRUE (toInstrument);
        EXPECT_TRUE (notifyHub);
    }
    std::vector<std::array<int, 3>> sent;
};

struct Zooms : public StsContListener
{
    void zoomRequested (StsCont&) override { ++count; }
    int count = 0;
};

juce::MouseEvent dragTo (juce::Component& c, juce::Point<int> down, juce::Point<int> now)
{
    const auto time = juce::Time::getCurrentTime();
    return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), now.toFloat(),
                             juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier), 1.0f, 0.0f, 0.0f, 0.0f, 0.0f,
                             &c, &c, time, down.toFloat(), time, 1, true);
}

class Widgets : public ::testing::Test
{
protected:
    juce::ScopedJuceInitialiser_GUI messageThread;
    Cables cables;
};
} // namespace

TEST_F (Widgets, KnobFramesFollowTheFormula)
{
    EXPECT_EQ (StsCont::frameFor (0, 0, 120), 0);
    EXPECT_EQ (StsCont::frameFor (120, 0, 120), 60);
    EXPECT_EQ (StsCont::frameFor (60, 0, 120), 30);
    EXPECT_EQ (StsCont::frameFor (30, 30, 250), 0);
    EXPECT_EQ (StsCont::frameFor (250, 30, 250), 60);
    EXPECT_EQ (StsCont::frameFor (500, 0, 127), 60) << "clamped";
}

TEST_F (Widgets, KnobDragsStepByFifteenOrOnePixelAndShowOnlyWhatComesBack)
{
    StsCont coarse (cables, 0), fine (cables, 1);
    coarse.setup (74, "P. B. Range Up", 0, 16, 65, 72, 0, 11, 3, 0);
    fine.setup (8, "Level", 0, 16, 65, 72, 0, 127, 3, 0);
    coarse.showValue (5, "5");
    EXPECT_EQ (coarse.pixelsPerStep(), 15);
    EXPECT_EQ (fine.pixelsPerStep(), 1);

    coarse.mouseDown (mouseAt (coarse, 30, 30));
    coarse.mouseDrag (dragTo (coarse, {30, 30}, {44, 30}));
    EXPECT_TRUE (cables.sent.empty()) << "14 pixels are not a step";
    coarse.mouseDrag (dragTo (coarse, {30, 30}, {45, 30}));
    ASSERT_EQ (cables.sent.size(), 1u);
    EXPECT_EQ (cables.sent.back(), (std::array<int, 3>{74, 6, 0}));
    coarse.mouseDrag (dragTo (coarse, {30, 30}, {45, 15})); // right and up both count
    EXPECT_EQ (cables.sent.back()[1], 7);
    EXPECT_EQ (coarse.getShownValue(), 5) << "the control waits for the value to come back";
    coarse.mouseUp (mouseAt (coarse, 45, 15));

    fine.mouseDown (mouseAt (fine, 30, 30));
    fine.mouseDrag (dragTo (fine, {30, 30}, {40, 20}));
    EXPECT_EQ (cables.sent.back(), (std::array<int, 3>{512 + 8, 20, 0})) << "layer B adds 512";
    fine.showValue (20, "20");
    fine.mouseDown (mouseAt (fine, 30, 30));
    fine.mouseDrag (dragTo (fine, {30, 30}, {30, 400}));
    EXPECT_EQ (cables.sent.back()[1], 0) << "clamped to the range";

    fine.showValue (64, "64");
    EXPECT_EQ (fine.getFrame(), StsCont::frameFor (64, 0, 127));
    EXPECT_EQ (fine.getTooltip(), "B Level: 64");
    juce::MouseWheelDetails wheel{};
    wheel.deltaY = 0.2f;
    fine.mouseWheelMove (mouseAt (fine, 5, 5), wheel);
    EXPECT_EQ (cables.sent.back()[1], 65);
    wheel.deltaY = -0.2f;
    fine.mouseWheelMove (mouseAt (fine, 5, 5), wheel);
    EXPECT_EQ (cables.sent.back()[1], 63);
}

TEST_F (Widgets, SwitchZonesAndZoomRequests)
{
    StsCont ab (cables, 0), pole (cables, 0), toggle (cables, 0);
    ab.setup (425, "A B Mode", 0, 40, 90, 34, 0, 2, 12, 1);
    pole.setup (88, "4 Pole", 72, 50, 65, 32, 0, 1, 101, 12);
    toggle.setup (52, "Sync", 752, 40, 95, 20, 0, 1, 1, 12);

    ab.mouseDown (mouseAt (ab, 31, 20));
    EXPECT_TRUE (cables.sent.empty()) << "the middle of the three-way switch does nothing";
    ab.mouseDown (mouseAt (ab, 10, 20));
    EXPECT_EQ (cables.sent.back()[1], 1);
    ab.mouseDown (mouseAt (ab, 50, 20));
    EXPECT_EQ (cables.sent.back()[1], 2);
    ab.showValue (2, "A | B");
    cables.sent.clear();
    ab.mouseDown (mouseAt (ab, 50, 20));
    EXPECT_EQ (cables.sent.back()[1], 0) << "any press on a set switch gives 0";

    // The centre switch of a 65-wide control acts between 22.5 and 42.5.
    pole.mouseDown (mouseAt (pole, 10, 20));
    EXPECT_EQ (cables.sent.size(), 1u);
    pole.mouseDown (mouseAt (pole, 30, 20));
    EXPECT_EQ (cables.sent.back(), (std::array<int, 3>{88, 1, 0}));
    toggle.mouseDown (mouseAt (toggle, 30, 10));
    EXPECT_EQ (cables.sent.size(), 2u) << "the toggle acts left of 25 only";
    toggle.mouseDown (mouseAt (toggle, 10, 10));
    EXPECT_EQ (cables.sent.back(), (std::array<int, 3>{52, 1, 0}));

    // A right press, or any press while drawn below 0.6, opens the zoom instead of editing.
    Zooms zooms;
    toggle.addListener (&zooms);
    cables.sent.clear();
    toggle.mouseDown (mouseAt (toggle, 10, 10, true));
    toggle.setScale (0.5f);
    toggle.mouseDown (mouseAt (toggle, 5, 5));
    EXPECT_EQ (zooms.count, 2);
    EXPECT_TRUE (cables.sent.empty());
    EXPECT_EQ (toggle.getBounds(), juce::Rectangle<int> (376, 12, 48, 10)) << "(x, y - 16, w, h) times the scale";
    toggle.removeListener (&zooms);
}

TEST_F (Widgets, ValueSelectorsOfferTheirRangeOnly)
{
    const auto offered = ParDes::offeredValues (7, 104);
    ASSERT_EQ (offered.size(), 105u) << "a Destination selector offers all 105 destinations";
    EXPECT_EQ (offered[98].text, "Mod 10 Amount");
    EXPECT_EQ (offered.back().text, "Mod 16 Amount");

    StsCont selector (cables, 0);
    selector.setup (144, "Destination", 22, 296, 118, 34, 0, 104, 0, 7);
    selector.mouseDown (mouseAt (selector, 20, 30));
    selector.mouseUp (mouseAt (selector, 20, 30));
    EXPECT_TRUE (cables.sent.empty()) << "below the top band no menu opens";
}

TEST_F (Widgets, EnvelopeHandlesMoveByOneAndAHalfPixelsPerStep)
{
    Envel env;
    env.setBounds (0, 0, 226, 82);
    for (int k = 0; k < 4; ++k)
        env.setValue (k, 40);
    std::vector<int> reports;
    env.onReport = [&] (int code) { reports.push_back (code); };

    const auto peak = env.handlePosition (0).toInt();
    EXPECT_EQ (env.handleAt (peak.toFloat()), 0);
    env.mouseDown (mouseAt (env, peak.x, peak.y));
    env.mouseDrag (dragTo (env, peak, peak + juce::Point<int> (15, 30)));
    EXPECT_EQ (env.getValue (Envel::attack), 50);
    EXPECT_EQ (env.getValue (Envel::sustain), 40) << "only the corner handle moves the sustain";
    env.mouseUp (mouseAt (env, peak.x + 15, peak.y));
    EXPECT_TRUE (reports.empty()) << "committed 100 ms after the release";
    ASSERT_TRUE (ravlin::test::pumpUntil ([&] { return !reports.empty(); }, 1000));
    EXPECT_EQ (reports, (std::vector<int>{Envel::commitCode}));

    const auto corner = env.handlePosition (1).toInt();
    env.mouseDown (mouseAt (env, corner.x, corner.y));
    env.mouseDrag (dragTo (env, corner, corner + juce::Point<int> (-6, -9)));
    EXPECT_EQ (env.getValue (Envel::decay), 36);
    EXPECT_EQ (env.getValue (Envel::sustain), 46);
    env.mouseUp (mouseAt (env, corner.x, corner.y));

    env.mouseDown (mouseAt (env, 5, 5, true));
    EXPECT_EQ (reports.back(), Envel::zoomCode);
}

TEST_F (Widgets, ScrollBarEndsArrowsAndPages)
{
    HorScrollClass bar;
    bar.setBounds (0, 0, 1148, 14);
    std::vector<int> moves;
    bar.onMove = [&] (int p) { moves.push_back (p); };
    bar.mouseDown (mouseAt (bar, 5, 5));
    EXPECT_TRUE (moves.empty()) << "at 0 the left arrow does nothing";
    bar.mouseDown (mouseAt (bar, 1140, 5));
    bar.mouseDown (mouseAt (bar, 1000, 5));
    EXPECT_EQ (moves, (std::vector<int>{1, 3}));
    EXPECT_EQ (bar.thumbX(), juce::roundToInt ((1148.0f - 88.0f) / 11.0f * 3.0f) + 14);
    bar.mouseDown (mouseAt (bar, bar.thumbX() + 30, 5));
    EXPECT_EQ (moves.size(), 2u) << "a press on the thumb does nothing";
    bar.mouseDrag (mouseAt (bar, 5000, 5));
    EXPECT_EQ (bar.getPosition(), 11);
    moves.clear();
    bar.mouseDown (mouseAt (bar, 1140, 5));
    EXPECT_TRUE (moves.empty()) << "at 11 the right arrow does nothing";
}

TEST_F (Widgets, TheScrollBarSplitDisplayAndProgramDisplayTakeKeysToo)
{
    HorScrollClass bar;
    std::vector<int> moves;
    bar.onMove = [&] (int p) { moves.push_back (p); };
    EXPECT_TRUE (bar.keyPressed (juce::KeyPress (juce::KeyPress::rightKey)));
    EXPECT_TRUE (bar.keyPressed (juce::KeyPress (juce::KeyPress::endKey)));
    EXPECT_EQ (moves, (std::vector<int>{1, 11}));
    const auto barAccess = bar.createAccessibilityHandler();
    EXPECT_EQ (barAccess->getRole(), juce::AccessibilityRole::scrollBar);
    EXPECT_EQ (barAccess->getValueInterface()->getCurrentValueAsString(), "Section 12");

    ZoneKeyClass split;
    int opened = 0;
    split.onOpen = [&] { ++opened; };
    split.setSplit (61);
    const auto splitAccess = split.createAccessibilityHandler();
    EXPECT_EQ (splitAccess->getValueInterface()->getCurrentValueAsString(), "C#3");
    EXPECT_TRUE (splitAccess->getValueInterface()->isReadOnly()) << "set on the split keyboard it opens";
    splitAccess->getActions().invoke (juce::AccessibilityActionType::press);
    EXPECT_TRUE (split.keyPressed (juce::KeyPress (juce::KeyPress::returnKey)));
    EXPECT_EQ (opened, 2);

    LCD_Comp lcd;
    std::vector<int> zones;
    lcd.onZone = [&] (int z) { zones.push_back (z); };
    lcd.setProgram ("U1 P 5", "Warm Pad        ", 24, "", "");
    EXPECT_EQ (lcd.spokenText(), "U1 P 5, Warm Pad, " + ParDes::categoryText (24));
    EXPECT_TRUE (lcd.keyPressed (juce::KeyPress (juce::KeyPress::returnKey)));
    lcd.createAccessibilityHandler()->getActions().invoke (juce::AccessibilityActionType::showMenu);
    EXPECT_EQ (zones, (std::vector<int>{1, 3})) << "the program menu, then the category menu";
}

TEST_F (Widgets, TouchSlidersAndThePadPlayFromTheKeyboard)
{
    P_Slider slider (cables, 1025);
    EXPECT_EQ (slider.getTitle(), "Slider 1");
    EXPECT_TRUE (slider.keyPressed (juce::KeyPress (juce::KeyPress::endKey)));
    EXPECT_TRUE (slider.keyPressed (juce::KeyPress (juce::KeyPress::rightKey)));
    EXPECT_EQ (cables.sent, (std::vector<std::array<int, 3>>{{1025, 127, 0}, {1027, 1, 0}}));
    EXPECT_EQ (slider.createAccessibilityHandler()->getValueInterface()->getCurrentValueAsString(), "127, pressure 1");

    MidiCntrState hub (std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File());
    P_Pad pad (cables, hub);
    cables.sent.clear();
    EXPECT_TRUE (pad.keyPressed (juce::KeyPress (juce::KeyPress::rightKey, juce::ModifierKeys::shiftModifier, 0)));
    EXPECT_TRUE (pad.keyPressed (juce::KeyPress (juce::KeyPress::upKey)));
    EXPECT_EQ (pad.getFirst(), 10);
    EXPECT_EQ (pad.getSecond(), 1);
    hub.latches[1] = 1;
    pad.keyStateChanged (false);
    EXPECT_EQ (pad.getFirst(), 0) << "released as the mouse releases it";
    EXPECT_EQ (pad.getSecond(), 1) << "its latch holds the vertical value";
    EXPECT_EQ (cables.sent.back(), (std::array<int, 3>{1025, 0, 0}));
}

TEST_F (Widgets, ProgramDisplayZonesAreTestedInOrder)
{
    LCD_Comp lcd;
    lcd.setBounds (0, 0, LCD_Comp::width, LCD_Comp::height);
    EXPECT_EQ (lcd.zoneAt ({100, 30}), 2);
    EXPECT_EQ (lcd.zoneAt ({100, 10}), 3) << "the category zone wins over the program zone";
    EXPECT_EQ (lcd.zoneAt ({50, 10}), 1);
    EXPECT_EQ (lcd.zoneAt ({200, 45}), 0);
    lcd.setCategory (4);
    EXPECT_EQ (lcd.getCategoryText(), ParDes::categoryText (4));
}

TEST_F (Widgets, ZoomHandleReportsItsThreePhases)
{
    CorButton handle;
    handle.setBounds (0, 0, 52, 14);
    handle.currentHeight = [] { return 500; };
    std::vector<std::pair<int, int>> phases;
    handle.onPhase = [&] (int phase, int h) { phases.emplace_back (phase, h); };
    handle.mouseDown (mouseAt (handle, 20, 5));
    EXPECT_TRUE (phases.empty()) << "only the right part acts";
    handle.mouseDown (mouseAt (handle, 45, 5));
    handle.mouseDrag (dragTo (handle, {45, 5}, {45, 65}));
    handle.mouseUp (dragTo (handle, {45, 5}, {45, 65}));
    EXPECT_EQ (phases, (std::vector<std::pair<int, int>>{{320, 500}, {321, 560}, {322, 560}}));
    handle.setPercent (85);
    EXPECT_EQ (handle.getText(), "85%");
}

TEST_F (Widgets, AboutPanelShowsTheVersionAndClosesByItself)
{
    AboutPanel about (50);
    EXPECT_EQ (juce::String (AboutPanel::version), "2.7.0");
    struct Closed : juce::ChangeListener
    {
        void changeListenerCallback (juce::ChangeBroadcaster*) override { ++count; }
        int count = 0;
    } closed;
    about.addChangeListener (&closed);
    EXPECT_TRUE (ravlin::test::pumpUntil ([&] { return closed.count == 1; }, 1000));
    about.removeChangeListener (&closed);
}

//==============================================================================
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

TEST_F (Keyboard, ThePadReturnsToZeroUnlessLatched)
{
    Cables cables;
    P_Pad pad (cables, hub);
    pad.setBounds (0, 0, 90, 90);
    pad.mouseDown (mouseAt (pad, 45, 45));
    pad.mouseUp (mouseAt (pad, 45, 45));
    EXPECT_EQ (pad.getFirst(), 0);
    EXPECT_EQ (pad.getSecond(), 0);
    ASSERT_GE (cables.sent.size(), 4u);
    EXPECT_EQ (cables.sent[0], (std::array<int, 3>{1025, 63, 0}));
    EXPECT_EQ (cables.sent[1], (std::array<int, 3>{1026, 63, 0}));

    hub.latches[1] = 1;
    cables.sent.clear();
    pad.mouseDown (mouseAt (pad, 90, 0));
    pad.mouseUp (mouseAt (pad, 90, 0));
    EXPECT_EQ (pad.getFirst(), 0) << "slider 1 is not latched";
    EXPECT_EQ (pad.getSecond(), 127) << "slider 2 is";
    hub.latches[1] = 0;
}

TEST_F (Keyboard, TheLargeSplitKeyboardSendsOnPressAndReleaseOnly)
{
    ZoneKeyClassB keys;
    keys.setBounds (0, 0, 505, 30);
    std::vector<std::string> seen;
    keys.onPress = [&] (int v) { seen.push_back ("press " + std::to_string (v)); };
    keys.onDrag = [&] (int v) { seen.push_back ("drag " + std::to_string (v)); };
    keys.onRelease = [&] (int v) { seen.push_back ("release " + std::to_string (v)); };
    keys.mouseDown (mouseAt (keys, 100, 10));
    keys.mouseDrag (mouseAt (keys, 200, 10));
    keys.mouseUp (mouseAt (keys, 200, 10));
    EXPECT_EQ (seen, (std::vector<std::string>{"press 25", "drag 50", "release 50"})) << "x / (505 / 128)";
    EXPECT_EQ (keys.splitAt (5000), 127);
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

//==============================================================================
namespace
{
juce::KeyPress key (int code)
{
    return juce::KeyPress (code);
}
} // namespace

TEST_F (Widgets, ControlsTellScreenReadersTheirNameValueAndRole)
{
    StsCont knob (cables, 0), selector (cables, 1), toggle (cables, 0), threeWay (cables, 0);
    knob.setup (85, "Cutoff", 0, 16, 65, 72, 0, 164, 3, 0);
    knob.showValue (40, "40");
    selector.setup (16, "Wave L", 0, 16, 65, 40, 0, 5, 0, 0);
    selector.showValue (2, "Meh");
    toggle.setup (30, "Sync", 0, 16, 80, 20, 0, 1, 1, 0);
    threeWay.setup (31, "Mode", 0, 16, 65, 30, 0, 2, 12, 0);

    const auto knobAccess = knob.createAccessibilityHandler();
    EXPECT_EQ (knobAccess->getRole(), juce::AccessibilityRole::slider);
    EXPECT_EQ (knob.getTitle(), "A Cutoff");
    ASSERT_NE (knobAccess->getValueInterface(), nullptr);
    EXPECT_EQ (knobAccess->getValueInterface()->getCurrentValueAsString(), "40");
    EXPECT_EQ (knobAccess->getValueInterface()->getRange().getMaximumValue(), 164.0);
    knobAccess->getValueInterface()->setValue (500.0); // a screen reader's "set to"
    ASSERT_EQ (cables.sent.size(), 1u);
    EXPECT_EQ (cables.sent.back(), (std::array<int, 3>{85, 164, 1})) << "clamped, and the gesture ends";

    const auto selectorAccess = selector.createAccessibilityHandler();
    EXPECT_EQ (selectorAccess->getRole(), juce::AccessibilityRole::comboBox);
    EXPECT_EQ (selector.getTitle(), "B Wave L");
    EXPECT_EQ (selectorAccess->getValueInterface()->getCurrentValueAsString(), "Meh");
    EXPECT_TRUE (selectorAccess->getActions().contains (juce::AccessibilityActionType::showMenu));

    const auto toggleAccess = toggle.createAccessibilityHandler();
    EXPECT_EQ (toggleAccess->getRole(), juce::AccessibilityRole::toggleButton);
    EXPECT_TRUE (toggleAccess->getCurrentState().isCheckable());
    EXPECT_FALSE (toggleAccess->getCurrentState().isChecked());
    ASSERT_TRUE (toggleAccess->getActions().invoke (juce::AccessibilityActionType::toggle));
    EXPECT_EQ (cables.sent.back(), (std::array<int, 3>{30, 1, 1}));
    toggle.showValue (1, "On");
    EXPECT_TRUE (toggleAccess->getCurrentState().isChecked());

    EXPECT_EQ (threeWay.createAccessibilityHandler()->getValueInterface()->getRange().getMaximumValue(), 2.0);
}

TEST_F (Widgets, ControlsAreFocusedWithTabAndChangedFromTheKeyboard)
{
    StsCont knob (cables, 0), toggle (cables, 0), selector (cables, 0);
    knob.setup (85, "Cutoff", 0, 16, 65, 72, 0, 164, 3, 0);
    knob.showValue (40, "40");
    toggle.setup (30, "Sync", 0, 16, 80, 20, 0, 1, 1, 0);
    selector.setup (16, "Wave L", 0, 16, 65, 40, 0, 5, 0, 0);
    EXPECT_TRUE (knob.getWantsKeyboardFocus());
    EXPECT_FALSE (knob.getMouseClickGrabsKeyboardFocus()) << "a click leaves the notes' keyboard alone";

    const std::pair<int, int> steps[] = {{juce::KeyPress::upKey, 41},     {juce::KeyPress::leftKey, 39},
                                         {juce::KeyPress::pageUpKey, 56}, {juce::KeyPress::pageDownKey, 24},
                                         {juce::KeyPress::endKey, 164},   {juce::KeyPress::homeKey, 0}};
    for (const auto& [code, expected] : steps)
    {
        EXPECT_TRUE (knob.keyPressed (key (code)));
        EXPECT_EQ (cables.sent.back()[1], expected) << code;
        EXPECT_EQ (cables.sent.back()[2], 0) << "a key run is one gesture, closed by the processor's timer";
    }
    const auto sentBefore = cables.sent.size();
    EXPECT_FALSE (knob.keyPressed (juce::KeyPress ('q')));
    EXPECT_FALSE (knob.keyPressed (key (juce::KeyPress::spaceKey))) << "a knob has nothing to press";
    EXPECT_EQ (cables.sent.size(), sentBefore);

    EXPECT_TRUE (toggle.keyPressed (key (juce::KeyPress::spaceKey)));
    EXPECT_EQ (cables.sent.back(), (std::array<int, 3>{30, 1, 1}));
    EXPECT_FALSE (toggle.keyPressed (key (juce::KeyPress::upKey)));

    EXPECT_TRUE (selector.keyPressed (key (juce::KeyPress::upKey)));
    EXPECT_EQ (cables.sent.back(), (std::array<int, 3>{16, 1, 0}));
}

TEST_F (Widgets, ButtonsAndSwitchesPressFromTheKeyboardAndForScreenReaders)
{
    struct Presses : stsbutChangeListener, LibButListener
    {
        void stsbutChanged (StsBut& b) override { pressed.push_back (b.getCommand()); }
        void libButPressed (LibBut&, int command) override { pressed.push_back (command); }
        std::vector<int> pressed;
    } presses;

    StsBut bankButton ("BANKS", 99, 130);
    bankButton.addListener (&presses);
    EXPECT_EQ (bankButton.getTitle(), "BANKS");
    const auto access = bankButton.createAccessibilityHandler();
    EXPECT_EQ (access->getRole(), juce::AccessibilityRole::button);
    EXPECT_TRUE (access->getActions().invoke (juce::AccessibilityActionType::press));
    EXPECT_TRUE (bankButton.keyPressed (key (juce::KeyPress::returnKey)));
    EXPECT_FALSE (bankButton.keyPressed (key (juce::KeyPress::upKey)));

    LibBut load ("LOAD", 1211, "Load Library or Bank Files");
    load.addListener (&presses);
    EXPECT_EQ (load.getDescription(), "Load Library or Bank Files");
    EXPECT_TRUE (load.keyPressed (key (juce::KeyPress::spaceKey)));
    EXPECT_EQ (presses.pressed, (std::vector<int>{99, 99, 1211}));

    SwitchLED lamp ("Use Loaded Data");
    int broadcasts = 0;
    struct Counter : juce::ChangeListener
    {
        explicit Counter (int& n) : count (n) {}
        void changeListenerCallback (juce::ChangeBroadcaster*) override { ++count; }
        int& count;
    } counter (broadcasts);
    lamp.addChangeListener (&counter);
    const auto lampAccess = lamp.createAccessibilityHandler();
    EXPECT_EQ (lampAccess->getRole(), juce::AccessibilityRole::toggleButton);
    EXPECT_TRUE (lamp.keyPressed (key (juce::KeyPress::spaceKey)));
    EXPECT_TRUE (lamp.isOn());
    EXPECT_TRUE (lampAccess->getCurrentState().isChecked());
    lampAccess->getActions().invoke (juce::AccessibilityActionType::toggle);
    EXPECT_FALSE (lamp.isOn());
    EXPECT_EQ (broadcasts, 2);
    lamp.removeChangeListener (&counter);
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
