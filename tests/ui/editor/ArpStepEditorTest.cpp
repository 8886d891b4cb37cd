// The arpeggiator's step editor in the whole editor against the virtual instrument: bars painted
// by a drag and edited by keys reach the program, the host and (as one dump per gesture) the
// instrument; undo, the host and a received program move the bars; screen readers hear each step.
#include "core/RavlinAudioProcessor.h"
#include "instrument/ProgramPacking.h"
#include "support/FakeMidiDevices.h"
#include "support/MessagePump.h"
#include "support/UiEvents.h"
#include "ui/editor/MainComp.h"

#include <gtest/gtest.h>

using ravlin::Bytes;
using ravlin::test::mouseAt;
using ravlin::test::pumpMessages;
using ravlin::test::pumpUntil;

namespace
{
constexpr int virtualPort = 3; // after the fake devices' two
constexpr int note1 = 306, velocity1 = 338, layerB = 512;
constexpr int noteSlot1 = 244;

class ArpSteps : public ::testing::Test
{
protected:
    ArpSteps()
    {
        processor =
            std::make_unique<RavlinAudioProcessor> (std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File());
        hub().selectInputPort (virtualPort);
        hub().selectOutputPort (virtualPort);
        // Steps that differ from each other, known on both sides.
        Bytes image (1024, 0);
        for (int s = 0; s < 32; ++s)
            for (int layer = 0; layer < 2; ++layer)
            {
                image[(size_t)(layer * layerB + note1 + s)] = (uint8_t)(36 + s + layer);
                image[(size_t)(layer * layerB + velocity1 + s)] = (uint8_t)(64 + s + layer);
            }
        hub().setCurrentProgram (image);
        instrument().setProgram (0, 0, image);
        const auto dump = ravlin::packEditBufferDump (image);
        instrument().receive (dump.data(), (int)dump.size());
        editor = std::make_unique<MainComp> (processor.get());
        editor->showAbout (false);
        editor->drainEvents();
        panel().jumpTo (11);
        original = image;
        // Whatever the opening sends (the identity request) is behind us.
        pumpMessages (200);
        processor->getHistory().clear();
        processor->recordHistory();
    }
    ~ArpSteps() override
    {
        editor.reset();
        processor.reset();
    }

    MidiCntrState& hub() { return processor->getHub(); }
    VirtualInstrument& instrument() { return hub().getVirtualInstrument(); }
    EditorPanel& panel() { return *editor->getEditorPanel(); }
    ArpStepEditor& steps() { return panel().getStepEditor(); }
    template <typename Condition> bool waitFor (Condition&& condition, int ms = 3000)
    {
        return pumpUntil (
            [&]
            {
                editor->drainEvents();
                return condition();
            },
            ms);
    }
    /** A point in a row (the row's coordinates) over a step's bar, at a height. */
    juce::Point<int> over (int row, int step, float height)
    {
        const auto bar = steps().getStep (row, step).getBounds();
        return {bar.getCentreX(), bar.getY() + juce::roundToInt ((float)bar.getHeight() * (1.0f - height) * 0.7f)};
    }
    void press (int row, int keyCode) { steps().getRow (row).keyPressed (juce::KeyPress (keyCode)); }
    Bytes program()
    {
        auto p = hub().getCurrentProgram();
        p.resize (1024, 0);
        return p;
    }

    juce::ScopedJuceInitialiser_GUI messageThread;
    std::unique_ptr<RavlinAudioProcessor> processor;
    std::unique_ptr<MainComp> editor;
    Bytes original;
};
} // namespace

TEST_F (ArpSteps, ADragPaintsTheStepsItCrossesAndTheInstrumentGetsOneDumpAtMouseUp)
{
    panel().openSteps (0);
    ASSERT_TRUE (panel().isStepsOpen());
    auto& row = steps().getRow (ArpStepEditor::notesRow);
    const auto received = instrument().getNumMessagesReceived();

    // Down over step 5 (index 4), then across to step 9 at the same height, in several moves.
    const auto start = over (0, 4, 0.8f);
    row.mouseDown (mouseAt (row, start.x, start.y));
    const auto painted = steps().getValue (0, 4);
    EXPECT_GT (painted, 60);
    for (int s : {5, 7, 8})
    {
        const auto p = over (0, s, 0.8f);
        row.mouseDrag (mouseAt (row, p.x, p.y));
    }
    pumpMessages (150);
    EXPECT_EQ (instrument().getNumMessagesReceived(), received) << "nothing goes out while the mouse is held";

    auto expected = original;
    for (int s = 4; s <= 8; ++s)
        expected[(size_t)(note1 + s)] = (uint8_t)painted;
    EXPECT_EQ (program(), expected) << "steps 5 to 9 take the value, step 7 too though the mouse skipped it";
    for (int s = 4; s <= 8; ++s)
    {
        EXPECT_NEAR (processor->getSlotParameter (noteSlot1 + s).getValue(), (float)painted / 127.0f, 1e-4f) << s;
        EXPECT_EQ (steps().getValue (0, s), painted);
    }
    EXPECT_NEAR (processor->getSlotParameter (noteSlot1 + 3).getValue(), (float)original[note1 + 3] / 127.0f, 1e-4f);
    EXPECT_TRUE (processor->isGestureOpen (noteSlot1 + 4));

    row.mouseUp (mouseAt (row, start.x, start.y));
    ASSERT_TRUE (waitFor ([&] { return instrument().getEditBuffer() == expected; }))
        << "the instrument holds the painted steps";
    pumpMessages (200);
    EXPECT_EQ (instrument().getNumMessagesReceived(), received + 1) << "one edit-buffer dump for the whole drag";
    EXPECT_EQ (steps().getNumDumpsSent(), 1);
    EXPECT_TRUE (waitFor ([&] { return !processor->isGestureOpen (noteSlot1 + 4); }, 2000))
        << "the host's gesture ends";
    EXPECT_EQ (steps().getSelectedStep(), 8);
}

TEST_F (ArpSteps, KeysChooseAndChangeTheSelectedStepAndADumpFollowsThePause)
{
    panel().openSteps (0);
    const auto received = instrument().getNumMessagesReceived();
    const int row = ArpStepEditor::velocitiesRow;
    steps().selectStep (0);
    press (row, juce::KeyPress::rightKey);
    press (row, juce::KeyPress::rightKey);
    press (row, juce::KeyPress::leftKey);
    press (row, juce::KeyPress::rightKey);
    ASSERT_EQ (steps().getSelectedStep(), 2);

    const auto v = (int)original[velocity1 + 2];
    press (row, juce::KeyPress::upKey);
    EXPECT_EQ (hub().getProgramByte (velocity1 + 2), v + 1);
    press (row, juce::KeyPress::pageUpKey);
    EXPECT_EQ (hub().getProgramByte (velocity1 + 2), v + 13);
    press (row, juce::KeyPress::downKey);
    press (row, juce::KeyPress::pageDownKey);
    EXPECT_EQ (hub().getProgramByte (velocity1 + 2), v);
    press (row, juce::KeyPress::endKey);
    press (row, juce::KeyPress::upKey);
    EXPECT_EQ (hub().getProgramByte (velocity1 + 2), 127) << "the top holds";
    press (row, juce::KeyPress::homeKey);
    EXPECT_EQ (hub().getProgramByte (velocity1 + 2), 0);
    // A key held down: its repeats come faster than the pause.
    for (int k = 0; k < 20; ++k)
    {
        press (row, juce::KeyPress::upKey);
        pumpMessages (20);
    }
    EXPECT_EQ (instrument().getNumMessagesReceived(), received) << "nothing while the keys go on";
    EXPECT_EQ (steps().getValue (row, 2), 20);
    EXPECT_EQ (steps().getValue (row, 1), (int)original[velocity1 + 1]) << "the other steps stay";
    EXPECT_NEAR (processor->getSlotParameter (276 + 2).getValue(), 20.0f / 127.0f, 1e-4f) << "the host sees it";

    ASSERT_TRUE (waitFor ([&] { return instrument().getEditBuffer()[velocity1 + 2] == 20; }));
    pumpMessages (ArpStepEditor::keyCommitMs + 100);
    EXPECT_EQ (instrument().getNumMessagesReceived(), received + 1) << "one dump once the keys pause";
    EXPECT_EQ (instrument().getEditBuffer(), program());
}

TEST_F (ArpSteps, UndoAndRedoMoveTheBarsAndTheInstrument)
{
    panel().openSteps (0);
    auto& row = steps().getRow (ArpStepEditor::notesRow);
    const auto a = over (0, 0, 0.1f), b = over (0, 3, 0.1f);
    row.mouseDown (mouseAt (row, a.x, a.y));
    row.mouseDrag (mouseAt (row, b.x, b.y));
    row.mouseUp (mouseAt (row, b.x, b.y));
    const auto edited = program();
    ASSERT_NE (edited, original);
    ASSERT_TRUE (waitFor ([&] { return instrument().getEditBuffer() == edited; }));
    processor->recordHistory();

    ASSERT_TRUE (processor->undoEdit());
    ASSERT_TRUE (waitFor ([&] { return steps().getValue (0, 0) == original[note1]; }));
    EXPECT_EQ (program(), original);
    for (int s = 0; s < 32; ++s)
        EXPECT_EQ (steps().getValue (0, s), original[(size_t)(note1 + s)]) << s;
    EXPECT_TRUE (waitFor ([&] { return instrument().getEditBuffer() == original; })) << "the instrument follows";

    ASSERT_TRUE (processor->redoEdit());
    ASSERT_TRUE (waitFor ([&] { return steps().getValue (0, 3) == edited[note1 + 3]; }));
    EXPECT_TRUE (waitFor ([&] { return instrument().getEditBuffer() == edited; }));
}

TEST_F (ArpSteps, ASlowDragIsOneUndoStep)
{
    panel().openSteps (0);
    auto& row = steps().getRow (ArpStepEditor::notesRow);
    processor->recordHistory();
    const auto stepsBefore = processor->getHistory().getNumUndoSteps();

    // The history looks at the program between every move, as its timer does in a slow drag.
    auto at = over (0, 0, 0.2f);
    row.mouseDown (mouseAt (row, at.x, at.y));
    processor->recordHistory();
    for (int s = 1; s < 6; ++s)
    {
        at = over (0, s, 0.2f + 0.1f * (float)s);
        row.mouseDrag (mouseAt (row, at.x, at.y));
        processor->recordHistory();
    }
    row.mouseUp (mouseAt (row, at.x, at.y));
    processor->recordHistory();
    const auto edited = program();
    ASSERT_NE (edited, original);
    EXPECT_EQ (processor->getHistory().getNumUndoSteps(), stepsBefore + 1);

    ASSERT_TRUE (processor->undoEdit());
    EXPECT_EQ (program(), original) << "one undo takes back the whole drag";
}

TEST_F (ArpSteps, TheHostAndAReceivedProgramMoveTheBarsOfTheLayerShown)
{
    panel().openSteps (0);
    processor->getSlotParameter (noteSlot1).setValue (100.0f / 127.0f);
    ASSERT_TRUE (waitFor ([&] { return steps().getValue (0, 0) == 100; }));
    EXPECT_EQ (hub().getProgramByte (note1), 100);

    // Layer B's twin (slot + 310) is not layer A's bar; it is B's.
    processor->getSlotParameter (noteSlot1 + ravlin::ParameterTable::layerBSlotOffset).setValue (90.0f / 127.0f);
    ASSERT_TRUE (waitFor ([&] { return hub().getProgramByte (layerB + note1) == 90; }));
    pumpMessages (50);
    editor->drainEvents();
    EXPECT_EQ (steps().getValue (0, 0), 100);
    steps().getLayerButton (1).triggerClick();
    pumpMessages (50);
    EXPECT_EQ (steps().getLayer(), 1);
    EXPECT_EQ (steps().getValue (0, 0), 90);
    EXPECT_EQ (steps().getValue (1, 31), original[layerB + velocity1 + 31]);

    // RECV: the instrument's edit buffer redraws every bar.
    auto received = original;
    for (int s = 0; s < 32; ++s)
        received[(size_t)(layerB + velocity1 + s)] = (uint8_t)(127 - s);
    const auto dump = ravlin::packEditBufferDump (received);
    instrument().receive (dump.data(), (int)dump.size());
    editor->command (MainComp::receiveCommand);
    ASSERT_TRUE (waitFor ([&] { return steps().getValue (1, 5) == 122; }));
    for (int s = 0; s < 32; ++s)
        EXPECT_EQ (steps().getValue (1, s), 127 - s) << s;
}

TEST_F (ArpSteps, LayerBEditsItsOwnRowsAndSlots)
{
    panel().openSteps (1);
    ASSERT_EQ (steps().getLayer(), 1);
    EXPECT_EQ (steps().addressOf (ArpStepEditor::velocitiesRow, 0), layerB + velocity1);
    auto& row = steps().getRow (ArpStepEditor::velocitiesRow);
    const auto p = over (1, 0, 1.0f);
    row.mouseDown (mouseAt (row, p.x, p.y));
    row.mouseUp (mouseAt (row, p.x, p.y));
    const auto painted = steps().getValue (1, 0);
    ASSERT_NE (painted, (int)original[layerB + velocity1]);

    auto expected = original;
    expected[layerB + velocity1] = (uint8_t)painted;
    EXPECT_EQ (program(), expected) << "B's row 850 only; A's 338 stays";
    EXPECT_NEAR (processor->getSlotParameter (276 + ravlin::ParameterTable::layerBSlotOffset).getValue(),
                 (float)painted / 127.0f, 1e-4f);
    EXPECT_NEAR (processor->getSlotParameter (276).getValue(), (float)original[velocity1] / 127.0f, 1e-4f);
    EXPECT_TRUE (waitFor ([&] { return instrument().getEditBuffer() == expected; }));
}

TEST_F (ArpSteps, ScreenReadersHearEachStepsNameAndValue)
{
    // On screen, where a screen reader finds the controls.
    editor->addToDesktop (juce::ComponentPeer::windowIsTemporary);
    editor->setVisible (true);
    panel().openSteps (0);
    auto& fifth = steps().getStep (ArpStepEditor::notesRow, 4);
    auto* handler = fifth.getAccessibilityHandler();
    ASSERT_NE (handler, nullptr);
    EXPECT_EQ (handler->getTitle(), "A ArpNote 5");
    EXPECT_EQ (handler->getRole(), juce::AccessibilityRole::slider);
    ASSERT_NE (handler->getValueInterface(), nullptr);
    EXPECT_EQ (handler->getValueInterface()->getCurrentValueAsString(), "40 (E3)");
    EXPECT_EQ (dynamic_cast<juce::TooltipClient&> (fifth).getTooltip(), "A ArpNote 5: 40 (E3)");

    auto* velocity = steps().getStep (ArpStepEditor::velocitiesRow, 31).getAccessibilityHandler();
    ASSERT_NE (velocity, nullptr);
    EXPECT_EQ (velocity->getTitle(), "A ArpVel 32");
    EXPECT_EQ (velocity->getValueInterface()->getCurrentValueAsString(), "95");

    // A screen reader sets a value: it is an edit like any other.
    handler->getValueInterface()->setValue (60.0);
    EXPECT_EQ (hub().getProgramByte (note1 + 4), 60);
    EXPECT_EQ (handler->getValueInterface()->getCurrentValueAsString(), "60 (C5)");
    EXPECT_TRUE (waitFor ([&] { return instrument().getEditBuffer()[note1 + 4] == 60; }));

    steps().setLayer (1);
    EXPECT_EQ (fifth.getAccessibilityHandler()->getTitle(), "B ArpNote 5");
    EXPECT_EQ (steps().getRow (ArpStepEditor::notesRow).getAccessibilityHandler()->getRole(),
               juce::AccessibilityRole::group);
}

TEST_F (ArpSteps, TheStepsButtonOpensTheEditorAndEscapeClosesIt)
{
    auto* arpB = panel().getPanel (1, 14);
    ASSERT_NE (arpB, nullptr);
    auto* button = arpB->getStepsButton();
    ASSERT_NE (button, nullptr);
    EXPECT_TRUE (button->isShowing() || !editor->isOnDesktop());
    EXPECT_TRUE (button->getWantsKeyboardFocus()) << "reached with Tab";
    EXPECT_TRUE (arpB->getLocalBounds().contains (button->getBounds()));

    // With the keyboard: Return on the focused button.
    EXPECT_TRUE (static_cast<juce::Component*> (button)->keyPressed (juce::KeyPress (juce::KeyPress::returnKey)));
    ASSERT_TRUE (waitFor ([&] { return panel().isStepsOpen(); }));
    EXPECT_EQ (steps().getLayer(), 1);
    EXPECT_EQ (steps().getBounds(), panel().stepsRoom());
    EXPECT_TRUE (steps().getRow (0).getWantsKeyboardFocus());

    EXPECT_TRUE (steps().keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)));
    EXPECT_FALSE (panel().isStepsOpen());

    // With the mouse; CLOSE closes it.
    button->triggerClick();
    pumpMessages (50);
    ASSERT_TRUE (panel().isStepsOpen());
    steps().getCloseButton().triggerClick();
    pumpMessages (50);
    EXPECT_FALSE (panel().isStepsOpen());
}

TEST_F (ArpSteps, TheBarsShowTheirValuesInThePicture)
{
    auto image = original;
    image[note1] = 127;
    image[note1 + 1] = 0;
    hub().setCurrentProgram (image);
    panel().refreshAll();
    panel().openSteps (0);
    const auto picture = editor->createComponentSnapshot (editor->getLocalBounds());
#ifdef RAVLIN_SCREENSHOT_DIR
    ravlin::test::saveSnapshot (*editor, "arp-steps-100");
#endif
    // The middle of each bar, in the editor's coordinates: a full bar is coloured there, an
    // empty one shows the dark box.
    const auto middleOf = [&] (int step)
    {
        auto& bar = steps().getStep (0, step);
        return editor->getLocalPoint (&bar, bar.getLocalBounds().getCentre());
    };
    const auto full = picture.getPixelAt (middleOf (0).x, middleOf (0).y);
    const auto empty = picture.getPixelAt (middleOf (1).x, middleOf (1).y);
    EXPECT_GT (full.getBrightness(), 0.6f) << full.toDisplayString (true);
    EXPECT_LT (empty.getBrightness(), 0.15f) << empty.toDisplayString (true);
    EXPECT_TRUE (picture.getBounds().contains (middleOf (31))) << "the last step is on screen";
}
