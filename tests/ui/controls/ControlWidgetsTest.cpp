// The editor's control widgets: value mapping, mouse zones and drag arithmetic.
#include "core/MidiCntrState.h"
#include "instrument/ParDes.h"
#include "support/FakeMidiDevices.h"
#include "support/MessagePump.h"
#include "support/UiEvents.h"
#include "ui/controls/EditorWidgets.h"
#include "ui/controls/Envel.h"
#include "ui/controls/P_Pad.h"
#include "ui/controls/P_Slider.h"
#include "ui/controls/SmallWidgets.h"
#include "ui/controls/StsCont.h"
#include "ui/controls/ZoneKeyClass.h"
#include "ui/library/LibraryWidgets.h"

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
class PlayingControls : public ::testing::Test
{
protected:
    PlayingControls() : hub (std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File()) {}
    juce::ScopedJuceInitialiser_GUI messageThread;
    MidiCntrState hub;
};

TEST_F (PlayingControls, ThePadReturnsToZeroUnlessLatched)
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

TEST_F (PlayingControls, TheLargeSplitKeyboardSendsOnPressAndReleaseOnly)
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
