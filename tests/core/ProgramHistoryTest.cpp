// Undo, redo and compare: the history model on its own, then through the processor against
// the virtual instrument, so that every restore is checked where it matters: on the instrument.
#include "core/ProgramHistory.h"
#include "core/RavlinAudioProcessor.h"
#include "instrument/DSI_Program.h"
#include "support/FakeMidiDevices.h"
#include "support/MessagePump.h"

#include <gtest/gtest.h>

using ravlin::Bytes;
using ravlin::test::pumpUntil;

namespace
{
Bytes withByte (Bytes image, int index, int value)
{
    image[(size_t)index] = (uint8_t)value;
    return image;
}
} // namespace

TEST (ProgramHistoryModel, FoldsOneKnobTurnIntoOneStepAndSplitsSeparateEdits)
{
    ProgramHistory history;
    Bytes image (1024, 0);
    EXPECT_FALSE (history.observe (image, 0)) << "the first image is the starting point";

    for (int v = 1; v <= 20; ++v) // a knob turned for two seconds, seen every 100 ms
        EXPECT_TRUE (history.observe (image = withByte (image, 0, v), (juce::uint32) (v * 100)));
    EXPECT_EQ (history.getNumUndoSteps(), 1);

    history.observe (image = withByte (image, 5, 9), 2100);                            // another knob
    history.observe (image = withByte (image, 0, 77), 2200);                           // back to the first
    history.observe (image = withByte (image, 0, 78), 2200 + ProgramHistory::mergeMs); // too late to fold
    EXPECT_EQ (history.getNumUndoSteps(), 4);
    EXPECT_FALSE (history.observe (image, 9000)) << "nothing changed";

    auto step = history.undo();
    ASSERT_TRUE (step.has_value());
    EXPECT_EQ (step->before[0], 77);
    EXPECT_EQ (step->changed, std::vector<int>{0});
    history.undo();
    history.undo();
    step = history.undo();
    ASSERT_TRUE (step.has_value());
    EXPECT_EQ (step->before[0], 0) << "the whole turn undone at once";
    EXPECT_EQ (step->after[0], 20);
    EXPECT_FALSE (history.canUndo());
    EXPECT_FALSE (history.undo().has_value());

    ASSERT_TRUE (history.redo().has_value());
    EXPECT_EQ (history.getNumRedoSteps(), 3);
    history.observe (withByte (step->after, 9, 1), 20000);
    EXPECT_FALSE (history.canRedo()) << "a new edit drops what could be redone";
}

TEST (ProgramHistoryModel, ASlowDragAcrossManyBytesWhileHeldIsOneStep)
{
    ProgramHistory history;
    Bytes start (1024, 0), image = start;
    history.observe (image, 0);
    history.observe (image = withByte (image, 700, 3), 100); // an edit before the hold: its own step

    // Thirty-two arpeggiator steps painted one by one over five seconds, seen every 150 ms.
    history.hold (true);
    for (int s = 0; s < 32; ++s)
        history.observe (image = withByte (image, 306 + s, 60 + s), (juce::uint32) (200 + s * 150));
    history.hold (false);
    EXPECT_EQ (history.getNumUndoSteps(), 2);

    history.observe (image = withByte (image, 306, 1), 5200); // after the hold: a step of its own
    EXPECT_EQ (history.getNumUndoSteps(), 3);

    history.undo();
    const auto drag = history.undo();
    ASSERT_TRUE (drag.has_value());
    EXPECT_EQ (drag->before, withByte (start, 700, 3)) << "the whole drag undone at once";
    EXPECT_EQ (drag->changed.size(), 32u);
    EXPECT_EQ (drag->after[306 + 31], 60 + 31);
}

TEST (ProgramHistoryModel, KeepsAtMostItsLimitAndNamesItsSteps)
{
    const ravlin::ParameterTable table;
    ProgramHistory history;
    Bytes image (1024, 0);
    history.observe (image, 0);
    for (int k = 0; k < ProgramHistory::maxSteps + 30; ++k)
        history.observe (image = withByte (image, k % 2, k % 100), (juce::uint32) (k * 10000));
    EXPECT_EQ (history.getNumUndoSteps(), ProgramHistory::maxSteps);

    history.clear();
    history.observe (image, 0);
    history.observe (image = withByte (image, 0, 99), 10000);
    const auto slot = table.slotForParameter (0);
    EXPECT_EQ (history.undoDescription (table), juce::String (table.hostName (slot)));

    auto named = image;
    DSI_Program::writeName (named.data() + DSI_Program::nameOffset, "Renamed");
    history.observe (image = named, 20000);
    EXPECT_EQ (history.undoDescription (table), "Name");

    history.observe (image = withByte (withByte (image, 1, 3), 600, 4), 30000);
    EXPECT_EQ (history.undoDescription (table), "Program");
    EXPECT_TRUE (history.redoDescription (table).isEmpty());
    history.undo();
    EXPECT_EQ (history.redoDescription (table), "Program");
}

namespace
{
class EditHistory : public ::testing::Test
{
protected:
    EditHistory() : processor (std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File())
    {
        hub().selectInputPort (3);
        hub().selectOutputPort (3);
    }
    MidiCntrState& hub() { return processor.getHub(); }
    VirtualInstrument& instrument() { return hub().getVirtualInstrument(); }
    bool instrumentHas (int index, int value)
    {
        return pumpUntil ([&] { return instrument().getEditBuffer()[(size_t)index] == value; });
    }
    Bytes patternImage (int seed)
    {
        Bytes image (1024, 0);
        for (size_t i = 0; i < image.size(); ++i)
            image[i] = (uint8_t)((i * 3 + (size_t)seed) % 90);
        return image;
    }

    juce::ScopedJuceInitialiser_GUI messageThread;
    RavlinAudioProcessor processor;
};
} // namespace

TEST_F (EditHistory, UndoAndRedoReturnTheInstrumentToEachValue)
{
    const auto start = hub().getProgramByte (85);
    processor.cableChanged (85, 40, true, true, true); // from the editor
    processor.recordHistory();
    hub().hostChange (86, 7); // from the host
    processor.recordHistory();
    ASSERT_TRUE (instrumentHas (86, 7));
    instrument().turnKnob (85, 60); // from the instrument's own panel
    ASSERT_TRUE (pumpUntil ([&] { return hub().getProgramByte (85) == 60; }));
    processor.recordHistory();
    ASSERT_EQ (processor.getHistory().getNumUndoSteps(), 3) << "editor, host and instrument each a step";

    ASSERT_TRUE (processor.undoEdit());
    EXPECT_EQ (hub().getProgramByte (85), 40) << "86 came between the two turns of 85";
    EXPECT_TRUE (instrumentHas (85, 40));
    ASSERT_TRUE (processor.undoEdit());
    EXPECT_EQ (hub().getProgramByte (86), hub().getPresetProgram (0)[86]);
    EXPECT_TRUE (instrumentHas (86, hub().getPresetProgram (0)[86]));
    ASSERT_TRUE (processor.undoEdit());
    EXPECT_EQ (hub().getProgramByte (85), start);
    EXPECT_TRUE (instrumentHas (85, start));
    EXPECT_FALSE (processor.undoEdit());

    ASSERT_TRUE (processor.redoEdit());
    ASSERT_TRUE (processor.redoEdit());
    ASSERT_TRUE (processor.redoEdit());
    EXPECT_EQ (hub().getProgramByte (85), 60);
    EXPECT_TRUE (instrumentHas (85, 60));
    EXPECT_FALSE (processor.redoEdit());
    processor.recordHistory();
    EXPECT_EQ (processor.getHistory().getNumRedoSteps(), 0) << "a restore is not recorded as a new edit";
    EXPECT_EQ (processor.getHistory().getNumUndoSteps(), 3);
}

TEST_F (EditHistory, ALoadedProgramIsUndoneAsAWholeThroughTheEditBuffer)
{
    const auto before = hub().getCurrentProgram();
    hub().storeEditorProgram (false, 0, 0, patternImage (1)); // a file or a paste
    processor.recordHistory();
    ASSERT_TRUE (processor.undoEdit());
    EXPECT_EQ (hub().getCurrentProgram(), before);
    EXPECT_TRUE (pumpUntil ([&] { return instrument().getEditBuffer() == before; }));
    EXPECT_EQ (processor.getHistory().undoDescription (hub().parameterTable), "");
    EXPECT_EQ (processor.getHistory().redoDescription (hub().parameterTable), "Program");
}

TEST_F (EditHistory, CompareSwitchesBetweenTheEditedAndTheStoredVersion)
{
    const auto stored = patternImage (2);
    hub().setBankProgram (1, 5, stored);
    hub().selectProgram (1 * 99 + 5, false, false);
    processor.recordHistory();
    processor.cableChanged (85, 33, true, true, true);
    const auto edited = hub().getCurrentProgram();

    ASSERT_TRUE (processor.setComparing (true));
    EXPECT_TRUE (processor.isComparing());
    EXPECT_EQ (hub().getCurrentProgram(), stored);
    EXPECT_TRUE (pumpUntil ([&] { return instrument().getEditBuffer() == stored; }));
    processor.recordHistory();
    EXPECT_TRUE (processor.isComparing()) << "showing the stored version is not an edit";

    ASSERT_TRUE (processor.setComparing (false));
    EXPECT_EQ (hub().getCurrentProgram(), edited);
    EXPECT_TRUE (pumpUntil ([&] { return instrument().getEditBuffer() == edited; }));
    const auto steps = processor.getHistory().getNumUndoSteps();
    processor.recordHistory();
    EXPECT_EQ (processor.getHistory().getNumUndoSteps(), steps) << "comparing leaves no steps";

    // An edit while comparing ends it; the edited version is one undo away.
    processor.setComparing (true);
    processor.cableChanged (90, 12, true, true, true);
    processor.recordHistory();
    EXPECT_FALSE (processor.isComparing());
    ASSERT_TRUE (processor.undoEdit());
    EXPECT_EQ (hub().getCurrentProgram(), edited);
    EXPECT_TRUE (pumpUntil ([&] { return instrument().getEditBuffer() == edited; }));
}

TEST_F (EditHistory, RevertDropsTheEditsUndoably)
{
    const auto stored = patternImage (3);
    hub().setBankProgram (2, 7, stored);
    hub().selectProgram (2 * 99 + 7, false, false);
    processor.recordHistory();
    processor.cableChanged (85, 1, true, true, true);
    processor.cableChanged (300, 2, true, true, true);
    const auto edited = hub().getCurrentProgram();

    ASSERT_TRUE (processor.revertToStored());
    EXPECT_EQ (hub().getCurrentProgram(), stored);
    EXPECT_TRUE (pumpUntil ([&] { return instrument().getEditBuffer() == stored; }));
    ASSERT_TRUE (processor.undoEdit());
    EXPECT_EQ (hub().getCurrentProgram(), edited);

    // From the comparison, too.
    processor.setComparing (true);
    ASSERT_TRUE (processor.revertToStored());
    EXPECT_FALSE (processor.isComparing());
    EXPECT_EQ (hub().getCurrentProgram(), stored);
    ASSERT_TRUE (processor.undoEdit());
    EXPECT_EQ (hub().getCurrentProgram(), edited);

    hub().selectProgram (-1, false, false); // no bank program chosen: nothing to compare with
    EXPECT_FALSE (processor.setComparing (true));
    EXPECT_FALSE (processor.revertToStored());
}
