// The EDIT menu's randomise, mutate, morph and exploration history, as the user meets them: the
// items, the windows they open, what Apply and the morph slider do to the edited program, and the
// words the panels show.
#include "core/RavlinAudioProcessor.h"
#include "support/FakeMidiDevices.h"
#include "support/MenuItems.h"
#include "support/MessagePump.h"
#include "ui/editor/MainComp.h"
#include "ui/editor/explore/ExplorationHistoryPanel.h"
#include "ui/editor/explore/ExploreDialog.h"
#include "ui/editor/explore/ExploreWindows.h"
#include "ui/editor/explore/MorphPanel.h"
#include "ui/editor/menus/EditMenu.h"

#include <gtest/gtest.h>

using ravlin::Bytes;

namespace
{
class ExploreViews : public ::testing::Test
{
protected:
    ExploreViews()
    {
        processor =
            std::make_unique<RavlinAudioProcessor> (std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File());
        editor = std::make_unique<MainComp> (processor.get());
        editor->showAbout (false);
    }
    ~ExploreViews() override
    {
        editor.reset();
        processor.reset();
    }

    MidiCntrState& hub() { return processor->getHub(); }
    EditMenu& editMenu() { return *dynamic_cast<EditMenu*> (editor->getMenu (MainComp::editMenuId)); }
    template <typename View> View& open (int item, ExploreWindows::Kind kind)
    {
        editor->menuChosen (MainComp::editMenuId, item);
        auto* windows = editMenu().getExploreWindows();
        EXPECT_NE (windows, nullptr);
        auto* view = dynamic_cast<View*> (windows->content (kind));
        EXPECT_NE (view, nullptr);
        EXPECT_TRUE (view->isShowing());
        return *view;
    }

    juce::ScopedJuceInitialiser_GUI messageThread;
    std::unique_ptr<RavlinAudioProcessor> processor;
    std::unique_ptr<MainComp> editor;
};
} // namespace

TEST_F (ExploreViews, TheEditMenuEndsWithTheFourExploreItems)
{
    const auto texts = ravlin::test::itemTexts (editMenu().build());
    ASSERT_GE (texts.size(), 4);
    EXPECT_EQ (texts.joinIntoString ("|").fromLastOccurrenceOf ("|Randomise...", true, false),
               "|Randomise...|Mutate...|Morph...|Exploration History");
}

TEST_F (ExploreViews, ApplyInTheMutateDialogChangesOnlyTheTickedGroupsAndShowsTheSeedItUsed)
{
    auto& dialog = open<ExploreDialog> (EditMenu::mutateItem, ExploreWindows::mutate);
    const auto groups = ravlin::ExploreMask::groups (hub().parameterTable);
    for (size_t g = 0; g < groups.size(); ++g)
        dialog.groupTick ((int)g).setToggleState (groups[g].name == "Low-pass filter", juce::dontSendNotification);
    dialog.getAmount().setValue (100.0);
    dialog.getSeed().setText ("31337");
    const auto before = hub().getCurrentProgram();
    dialog.apply();
    const auto after = hub().getCurrentProgram();
    ASSERT_NE (after, before);
    for (size_t i = 0; i < after.size(); ++i)
    {
        if (after[i] != before[i])
        {
            EXPECT_EQ (hub().parameterTable.section ((int)i), 3) << "byte " << i;
        }
    }
    EXPECT_EQ (dialog.getStatus().getText(), "Mutate 100 %, seed 31337: applied as Explored 1. Undo takes it back.");
    EXPECT_NE (dialog.getSeed().getText(), "31337") << "the next Apply gets a new seed";

    for (size_t g = 0; g < groups.size(); ++g)
        dialog.groupTick ((int)g).setToggleState (false, juce::dontSendNotification);
    dialog.apply();
    EXPECT_EQ (hub().getCurrentProgram(), after);
    EXPECT_EQ (dialog.getStatus().getText(), "Tick at least one group and one layer: nothing was changed.");
}

TEST_F (ExploreViews, TheMorphSliderMakesOneUndoStepAndThePanelSaysTheHostCannotAutomateIt)
{
    auto& panel = open<MorphPanel> (EditMenu::morphItem, ExploreWindows::morph);
    EXPECT_EQ (panel.getHostNote().getText(), "The morph position cannot be automated by the host: all 624 "
                                              "automation slots carry parameters, and none may move.");
    Bytes b (1024, 0);
    for (size_t i = 0; i < b.size(); ++i)
        b[i] = (uint8_t)(i % 2);
    hub().setBankProgram (4, 7, b); // factory bank 1, program 8
    const auto a = hub().getCurrentProgram();
    panel.choose (0, MorphPanel::editedItem);
    panel.choose (1, MorphPanel::firstBankItem + 400 + 7);
    processor->recordHistory();
    const auto steps = processor->getHistory().getNumUndoSteps();

    panel.pressed();
    for (int v = 5; v <= 100; v += 5)
        panel.getSlider().setValue (v, juce::sendNotificationSync);
    panel.released();
    EXPECT_EQ (hub().getCurrentProgram(), b) << "at 100 % the edited program is B byte for byte";
    processor->recordHistory();
    EXPECT_EQ (processor->getHistory().getNumUndoSteps(), steps + 1);
    ASSERT_TRUE (processor->undoEdit());
    EXPECT_EQ (hub().getCurrentProgram(), a);

    auto& list = open<ExplorationHistoryPanel> (EditMenu::explorationHistoryItem, ExploreWindows::history);
    EXPECT_TRUE (list.rowText (0).endsWith ("  Explored 1  Morph 100 %")) << list.rowText (0);
    list.getList().selectRow (0);
    list.audition();
    EXPECT_EQ (hub().getCurrentProgram(), b);
    EXPECT_EQ (list.getStatus().getText(),
               "Explored 1 is the edited program and went to the instrument. Undo takes it back.");
}
