// EDIT's "Compare With..." and "Find Programs..." in the whole editor.
#include "core/RavlinAudioProcessor.h"
#include "instrument/DSI_Program.h"
#include "instrument/ParameterNames.h"
#include "library/ProgramLibrary.h"
#include "support/FakeMidiDevices.h"
#include "support/MenuItems.h"
#include "support/MessagePump.h"
#include "support/UiEvents.h"
#include "ui/editor/MainComp.h"

#include <gtest/gtest.h>

using ravlin::Bytes;
using ravlin::test::itemTexts;

namespace
{
constexpr int shape1 = 12, lpfFreq = 85, mod5Dest = 242;
const int bLfo1Shape = ParameterNames::get().indexOf ("b.lfo1.shape");

Bytes pattern (const juce::String& name)
{
    Bytes image (1024, 0);
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = (uint8_t)((i * 7 + 3) % 100);
    ProgramLibrary::writeName (image.data(), name);
    image[shape1] = 1;     // Sawtooth
    image[lpfFreq] = 100;  //
    image[mod5Dest] = 36;  // LPF Cutoff
    image[bLfo1Shape] = 2; // Sawtooth
    return image;
}

class CompareFind : public ::testing::Test
{
protected:
    CompareFind()
    {
        processor =
            std::make_unique<RavlinAudioProcessor> (std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File());
        editor = std::make_unique<MainComp> (processor.get());
        editor->showAbout (false);
        hub().setCurrentProgram (pattern ("Pattern Here"));
    }
    ~CompareFind() override
    {
        editor.reset();
        processor.reset();
    }

    MidiCntrState& hub() { return processor->getHub(); }
    /** The control of a parameter (layer-B numbers from 512) on its layer's panel. */
    StsCont* control (int layer, int parameter)
    {
        const auto number = parameter % ravlin::ParameterTable::layerSize;
        auto* panel = editor->getEditorPanel()->getPanel (layer, hub().parameterTable.section (number));
        return panel != nullptr ? panel->findControl (number) : nullptr;
    }
    /** Clicks a line of the diff list as the user does. */
    void clickLine (DiffPanel& diff, int line)
    {
        auto& list = diff.getList();
        const auto area = list.getRowPosition (line, true);
        ASSERT_TRUE (list.getLocalBounds().contains (area.getCentre())) << "line " << line << " is not shown";
        auto* row = list.getComponentAt (area.getCentre()); // the row the user's pointer is over
        ASSERT_NE (row, nullptr);
        ASSERT_NE (row, &list) << "line " << line << " has no row on screen";
        const auto at = row->getLocalPoint (&list, area.getCentre());
        ravlin::test::click (*row, at.x, at.y);
    }

    juce::ScopedJuceInitialiser_GUI messageThread;
    std::unique_ptr<RavlinAudioProcessor> processor;
    std::unique_ptr<MainComp> editor;
};
} // namespace

TEST_F (CompareFind, TheEditMenuHasCompareAndFindBeforeRandomise)
{
    const auto menu = editor->getMenu (MainComp::editMenuId)->build();
    const auto texts = itemTexts (menu);
    EXPECT_EQ (texts.indexOf ("Find Programs...") + 1, texts.indexOf ("Randomise..."));
    EXPECT_TRUE (texts.contains ("Compare With..."));
    EXPECT_TRUE (texts.contains ("Bank Program"));
    EXPECT_TRUE (texts.contains ("Preset"));
    EXPECT_TRUE (texts.contains ("File..."));
    EXPECT_TRUE (texts.contains ("Library Record"));
}

TEST_F (CompareFind, CompareListsTheDifferencesBySectionAndAClickShowsTheControl)
{
    auto other = pattern ("Other Sound");
    other[shape1] = 4; // Sine
    other[lpfFreq] = 40;
    other[mod5Dest] = 41;  // Pan
    other[bLfo1Shape] = 3; // Square
    hub().setBankProgram (1, 4, other);

    editor->menuChosen (MainComp::editMenuId, EditMenu::firstCompareBankItem + 1 * 100 + 4);
    auto* diff = editor->getExplore()->getDiff();
    ASSERT_NE (diff, nullptr);
    EXPECT_TRUE (diff->isVisible());
    EXPECT_EQ (diff->getParentComponent(), editor.get());

    juce::StringArray lines;
    for (int i = 0; i < diff->getNumLines(); ++i)
        lines.add (diff->lineText (i));
    EXPECT_EQ (lines, juce::StringArray ({"Program", " | Program | Name | Pattern Here | Other Sound", "Oscillators",
                                          "A | Oscillators | Shape 1 | Sawtooth | Sine", "Low-Pass Filter",
                                          "A | Low-Pass Filter | LPF Freq | 100 | 40", "LFOs",
                                          "B | LFOs | LFO 1 Shape | Sawtooth | Square", "Modulation",
                                          "A | Modulation | Mod 5 Dest | LPF Cutoff | Pan"}));

    auto& panel = *editor->getEditorPanel();
    panel.jumpTo (1);
    clickLine (*diff, 5); // LPF Freq
    EXPECT_EQ (panel.getLastJump(), 3) << "the section button LPF's jump";
    ASSERT_NE (control (0, lpfFreq), nullptr);
    EXPECT_TRUE (panel.getPanel (0, 3)->isVisible());
    EXPECT_EQ (editor->getExplore()->getMarkedControl(), control (0, lpfFreq));

    clickLine (*diff, 7); // layer B's LFO 1 Shape
    EXPECT_EQ (panel.getLastJump(), 7);
    EXPECT_TRUE (panel.getPanel (1, 8)->isVisible());
    ASSERT_NE (control (1, bLfo1Shape), nullptr);
    EXPECT_NE (control (1, bLfo1Shape), control (0, bLfo1Shape)) << "layer B's own control, not A's";
    EXPECT_EQ (editor->getExplore()->getMarkedControl(), control (1, bLfo1Shape));

    clickLine (*diff, 9); // Mod 5 Dest
    EXPECT_EQ (panel.getLastJump(), 10);
    EXPECT_EQ (editor->getExplore()->getMarkedControl(), control (0, mod5Dest));
    ravlin::test::saveSnapshot (*editor, "explore-diff");

    diff->getCloseButton().triggerClick();
    EXPECT_TRUE (ravlin::test::pumpUntil ([&] { return editor->getExplore()->getDiff() == nullptr; }, 2000));
}

TEST_F (CompareFind, ComparingWithAnEqualProgramSaysSo)
{
    hub().setPresetProgram (3, hub().getCurrentProgram());
    editor->menuChosen (MainComp::editMenuId, EditMenu::firstComparePresetItem + 3);
    auto* diff = editor->getExplore()->getDiff();
    ASSERT_NE (diff, nullptr);
    EXPECT_TRUE (diff->showsEqual());
    EXPECT_EQ (diff->getNumLines(), 0);
    EXPECT_FALSE (diff->getList().isVisible());
    ravlin::test::saveSnapshot (*diff, "explore-diff-equal");
}

TEST_F (CompareFind, FindShowsMatchesErrorsAndCompletionsAndAppliesAResultAsALibraryRowDoes)
{
    auto needle = pattern ("Needle In Bank");
    needle[shape1] = 18; // White Noise
    hub().setBankProgram (6, 40, needle);

    editor->menuChosen (MainComp::editMenuId, EditMenu::findProgramsItem);
    auto* search = editor->getExplore()->getSearch();
    ASSERT_NE (search, nullptr);
    EXPECT_TRUE (search->isVisible());

    search->setQuery ("osc1.shap = White Noise");
    EXPECT_EQ (search->getStatusText(), "column 1: unknown name \"osc1.shap\"; did you mean osc1.shape, "
                                        "osc1.shape_mod, osc2.shape?");
    EXPECT_TRUE (search->getResults().empty());

    search->setQuery ("osc1.shape = White N");
    EXPECT_EQ (search->getCompletions(), juce::StringArray ("White Noise"));
    search->takeCompletion (0);
    EXPECT_EQ (search->getQueryBox().getText(), "osc1.shape = White Noise ");
    EXPECT_EQ (search->getCompletions(), juce::StringArray ("and", "or"));

    search->setQuery ("osc1.shape = White Noise and name contains needle");
    ASSERT_EQ (search->getResults().size(), 1u);
    EXPECT_EQ (search->getStatusText(), "1 program matches.");
    EXPECT_EQ (search->resultText (0), hub().getBankName (6) + " / 41   Needle In Bank");
    ravlin::test::saveSnapshot (*search, "explore-find");

    const auto before = hub().getCurrentProgram();
    processor->recordHistory();
    search->applyResult (0);
    EXPECT_EQ (hub().getCurrentProgram(), needle);
    processor->recordHistory();
    ASSERT_TRUE (processor->undoEdit());
    EXPECT_EQ (hub().getCurrentProgram(), before) << "one undo step back";
}
