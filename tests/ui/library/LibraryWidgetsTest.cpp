#include "ui/library/LibraryWidgets.h"
#include "core/MidiCntrState.h"
#include "support/FakeMidiDevices.h"
#include "support/UiEvents.h"

#include <gtest/gtest.h>

using ravlin::test::mouseAt;
using ravlin::test::saveSnapshot;

namespace
{
struct Answers : public textmsgListener
{
    void positiveAnswer (int id, int var, const juce::String& text, int category) override
    {
        seen.push_back ("positive " + juce::String (id) + "/" + juce::String (var) + " " + text + " " +
                        juce::String (category));
        if (next)
            std::exchange (next, nullptr)();
    }
    void negativeAnswer (int id, int var) override
    {
        seen.push_back ("negative " + juce::String (id) + "/" + juce::String (var));
    }
    void cancelAnswer (int id, int var) override
    {
        seen.push_back ("cancel " + juce::String (id) + "/" + juce::String (var));
    }
    std::vector<juce::String> seen;
    std::function<void()> next;
};

struct Chosen : public CatListener
{
    void categoryChosen (int index) override { seen.push_back (index); }
    std::vector<int> seen;
};

class LibraryWidgets : public ::testing::Test
{
protected:
    LibraryWidgets()
    {
        page.setSize (1000, 528);
        page.addChildComponent (dialog);
        dialog.addListener (&answers);
    }
    ~LibraryWidgets() override { dialog.removeListener (&answers); }

    juce::ScopedJuceInitialiser_GUI messageThread;
    juce::Component page;
    TextInputCont dialog;
    Answers answers;
};
} // namespace

TEST_F (LibraryWidgets, TheCategoryGridHasItsCellsCountsAndReports)
{
    CatContainer grid;
    grid.setVisible (true);
    EXPECT_EQ (grid.getWidth(), 440);
    EXPECT_EQ (grid.getCellText (0), "- Not Assigned -") << "category 0 has one name everywhere";
    EXPECT_EQ (grid.getCellText (26), "LIST ALL");
    EXPECT_EQ (grid.getCellText (7), ParDes::categoryText (7));
    EXPECT_EQ (grid.cellBounds (5), juce::Rectangle<int> (110, 46, 100, 18));
    EXPECT_EQ (grid.cellBounds (25), juce::Rectangle<int> (110, 276, 100, 18));
    EXPECT_EQ (grid.cellBounds (26), juce::Rectangle<int> (330, 276, 100, 18));

    struct NoHost : public ProgramLibrary::Host
    {
        void ask (const ProgramLibrary::Question&, std::function<void (const ProgramLibrary::Answer&)>) override {}
        void chooseFile (int, const juce::String&, std::function<void (juce::File)>) override {}
        void applyProgramChunk (const ravlin::Bytes&) override {}
    } host;
    MidiCntrState hub (std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File());
    ProgramLibrary library (host, hub);
    ravlin::Bytes block (3 * 1024, 0);
    block[426] = 4, block[1024 + 426] = 4, block[2048 + 426] = 9;
    block[2048] = 1; // three distinct records
    library.setRecords (block);
    grid.setCounts (library);
    EXPECT_EQ (grid.getCountText (4), "2");
    EXPECT_EQ (grid.getCountText (5), "");
    EXPECT_EQ (grid.getCountText (26), "Size: 3");

    Chosen chosen;
    grid.setListener (&chosen);
    auto* cell = grid.getComponentAt (grid.cellBounds (9).getCentre());
    ASSERT_NE (cell, nullptr);
    cell->mouseDown (mouseAt (*cell, 5, 5));
    cell->mouseUp (mouseAt (*cell, 5, 5));
    cell->mouseDown (mouseAt (*cell, 5, 5));
    cell->mouseUp (mouseAt (*cell, 150, 5)); // released outside: nothing
    EXPECT_EQ (chosen.seen, (std::vector<int>{9}));
}

TEST_F (LibraryWidgets, QuestionLayoutsFollowTheButtonRules)
{
    dialog.open ("Append Programs?", {}, false, -1, "CANCEL", "YES", "NO", 3, 1);
    EXPECT_EQ (dialog.getBounds(), page.getLocalBounds());
    EXPECT_FALSE (dialog.getEditor().isVisible());
    const int left = (1000 - 340) / 2;
    EXPECT_EQ (dialog.getButton (TextInputCont::positiveCommand)->getPosition(), juce::Point<int> (left, 116));
    EXPECT_EQ (dialog.getButton (TextInputCont::negativeCommand)->getPosition(), juce::Point<int> (left + 120, 116));
    EXPECT_EQ (dialog.getButton (TextInputCont::cancelCommand)->getPosition(), juce::Point<int> (left + 240, 116));

    dialog.open ("X Program already exists in the library.", {}, false, -1, {}, {}, "OK", 4, 0);
    EXPECT_EQ (dialog.getButton (TextInputCont::positiveCommand), nullptr);
    EXPECT_EQ (dialog.getButton (TextInputCont::negativeCommand)->getPosition(), juce::Point<int> (left + 120, 116))
        << "one negative button, centred by the three-button rule";

    dialog.open ("Rename Prog:", "Prog", true, 5, "CANCEL", "OK", {}, 5, 0);
    EXPECT_TRUE (dialog.getEditor().isVisible());
    EXPECT_EQ (dialog.getEditor().getBounds(), juce::Rectangle<int> (360, 64, 280, 24));
    EXPECT_EQ (dialog.categoryBoxBounds(), juce::Rectangle<int> (360, 94, 280, 30));
    EXPECT_EQ (dialog.getButton (TextInputCont::positiveCommand)->getPosition(),
               juce::Point<int> ((1000 - 220) / 2, 136));
    EXPECT_EQ (dialog.getButton (TextInputCont::cancelCommand)->getPosition(),
               juce::Point<int> ((1000 - 220) / 2 + 120, 136));

    EXPECT_TRUE (saveSnapshot (dialog, "library-rename-question").existsAsFile());
}

TEST_F (LibraryWidgets, AnswersCarryTheQuestionAndTheNextQuestionMayOpenAtOnce)
{
    dialog.open ("Program name:", "Lead", true, 7, "CANCEL", "OK", {}, 11, 2);
    dialog.getEditor().setText ("Lead Two", juce::dontSendNotification);
    dialog.setCategory (30);
    EXPECT_EQ (dialog.getCategory(), 25) << "clamped to the categories";
    answers.next = [this] { dialog.open ("Save the Current Library?", {}, false, -1, "CANCEL", "YES", "NO", 12, 0); };
    auto* ok = dialog.getButton (TextInputCont::positiveCommand);
    ok->mouseDown (mouseAt (*ok, 5, 5));
    EXPECT_EQ (answers.seen, (std::vector<juce::String>{"positive 11/2 Lead Two 25"}));
    EXPECT_TRUE (dialog.isVisible()) << "the next question is up";
    EXPECT_EQ (dialog.getTitle(), "Save the Current Library?");

    auto* no = dialog.getButton (TextInputCont::negativeCommand);
    no->mouseDown (mouseAt (*no, 5, 5));
    EXPECT_EQ (answers.seen.back(), "negative 12/0");
    EXPECT_FALSE (dialog.isVisible());
    EXPECT_EQ (dialog.getBounds(), juce::Rectangle<int> (-100, -100, 50, 50));
}

TEST_F (LibraryWidgets, ButtonsReportPressesAndHover)
{
    struct Heard : public LibButListener
    {
        void libButPressed (LibBut&, int command) override { log.push_back ("press " + juce::String (command)); }
        void libButHover (LibBut& b, bool entered) override { log.push_back ((entered ? "in " : "out ") + b.getTip()); }
        std::vector<juce::String> log;
    } heard;
    LibBut load ("LOAD", 1000, "Load Library or Bank Files");
    load.setSize (100, 34);
    load.addListener (&heard);
    load.mouseEnter (mouseAt (load, 5, 5));
    load.mouseDown (mouseAt (load, 5, 5));
    load.mouseExit (mouseAt (load, 5, 5));
    EXPECT_EQ (heard.log, (std::vector<juce::String>{"in Load Library or Bank Files", "press 1000",
                                                     "out Load Library or Bank Files"}));
    load.removeListener (&heard);
}
