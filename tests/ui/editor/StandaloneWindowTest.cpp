// The standalone program's window: the editor without an audio device, its options, its place.
#include "ui/editor/StandaloneWindow.h"
#include "support/EditorLayoutRules.h"
#include "support/MenuItems.h"
#include "support/MessagePump.h"
#include "support/NoMidiDevices.h"
#include "support/UiEvents.h"
#include "ui/editor/RavlinAudioProcessorEditor.h"

#include <gtest/gtest.h>

#include <typeinfo>

using ravlin::test::itemTexts;
namespace
{

/** Every component under c, c included. */
void collect (juce::Component& c, std::vector<juce::Component*>& all)
{
    all.push_back (&c);
    for (auto* child : c.getChildren())
        collect (*child, all);
}

class Standalone : public ::testing::Test
{
protected:
    Standalone()
    {
        folder = juce::File::getSpecialLocation (juce::File::tempDirectory)
                     .getChildFile ("ravlin-standalone-" + juce::String::toHexString (juce::Random().nextInt64()));
        folder.createDirectory();
        processor =
            std::make_unique<RavlinAudioProcessor> (std::make_unique<ravlin::test::NoMidiDevices>(), juce::File());
    }
    ~Standalone() override
    {
        processor.reset();
        folder.deleteRecursively();
    }

    juce::File boundsFile() const
    {
        return folder.getChildFile ("RavlinSettings").getChildFile ("standalone-window.txt");
    }

    juce::ScopedJuceInitialiser_GUI messageThread;
    juce::File folder;
    std::unique_ptr<RavlinAudioProcessor> processor;
};
} // namespace

TEST_F (Standalone, IsTheEditorAloneWithoutAnAudioDevice)
{
    StandaloneWindow window (*processor, boundsFile());
    window.setVisible (true);
    ravlin::test::pumpMessages (200);

    auto* editor = dynamic_cast<RavlinAudioProcessorEditor*> (window.getContentComponent());
    ASSERT_NE (editor, nullptr) << "the window shows the editor itself";
    EXPECT_EQ (processor->getActiveEditor(), editor);
    EXPECT_EQ (window.getName(), "Prophet 12 Ravlin");

    std::vector<juce::Component*> all;
    collect (window, all);
    for (auto* c : all)
    {
        // By name: a build without the standalone leaves out the module that has that class.
        EXPECT_FALSE (juce::String (typeid (*c).name()).contains ("AudioDeviceSelectorComponent"))
            << "no audio device settings";
        if (auto* label = dynamic_cast<juce::Label*> (c))
        {
            EXPECT_FALSE (label->getText().containsIgnoreCase ("audio")) << label->getText();
        }
    }
    // Nothing ever ran the processor's audio: no device, no player.
    EXPECT_EQ (processor->getSampleRate(), 0.0);
    EXPECT_EQ (processor->getBlockSize(), 0);

    // The options are an editor's: the MIDI setup and About, nothing about audio or saved states.
    EXPECT_EQ (window.getOptionsButton().getButtonText(), "Options");
    EXPECT_TRUE (window.getOptionsButton().isShowing());
    EXPECT_TRUE (window.getTitleBarArea().contains (window.getOptionsButton().getBounds()));
    EXPECT_EQ (itemTexts (window.optionsMenu()), (juce::StringArray{"MIDI Setup", "About Prophet 12 Ravlin"}));

    auto& main = window.getMainComp();
    main.showAbout (false);
    window.optionChosen (StandaloneWindow::aboutItem);
    ASSERT_NE (main.getAbout(), nullptr);
    EXPECT_TRUE (main.getAbout()->isVisible());
    main.showAbout (false);

    window.optionChosen (StandaloneWindow::midiSetupItem);
    EXPECT_TRUE (main.getMidiSetup()->isSetupShown());
    const auto menu = window.optionsMenu(); // the iterator only refers to the menu
    juce::PopupMenu::MenuItemIterator first (menu);
    ASSERT_TRUE (first.next());
    EXPECT_TRUE (first.getItem().isTicked) << "ticked while the panel shows";
    window.optionChosen (StandaloneWindow::midiSetupItem);
    EXPECT_FALSE (main.getMidiSetup()->isSetupShown()) << "and choosing it again closes it";

    // The title bar's button lies on the bar, clear of the title and the window's buttons.
    const auto faults = ravlin::test::findLayoutFaults (window, ravlin::test::editorLayoutRules());
    EXPECT_TRUE (faults.empty()) << ravlin::test::listOf (faults);
    ravlin::test::saveSnapshot (window, "standalone-window");
}

TEST_F (Standalone, ComesBackWhereItWasLeft)
{
    const juce::Rectangle<int> placed (140, 90, 1100, 760);
    {
        StandaloneWindow window (*processor, boundsFile());
        window.setBounds (placed);
    }
    ASSERT_TRUE (boundsFile().existsAsFile()) << "written when the window closes";
    EXPECT_EQ (boundsFile().loadFileAsString(), "140 90 1100 760");
    EXPECT_EQ (boundsFile().getParentDirectory().findChildFiles (juce::File::findFiles, false).size(), 1)
        << "no temporary file left beside it";
    {
        StandaloneWindow window (*processor, boundsFile());
        EXPECT_EQ (window.getBounds(), placed);
        window.setTopLeftPosition (200, 120);
        EXPECT_TRUE (window.saveBounds());
        EXPECT_EQ (boundsFile().loadFileAsString(), "200 120 1100 760");
    }

    // Nonsense in the file: the window opens centred at the editor's own size.
    boundsFile().replaceWithText ("not a place");
    {
        StandaloneWindow window (*processor, boundsFile());
        EXPECT_EQ (window.getContentComponent()->getWidth(), window.getMainComp().getWidth());
        EXPECT_GT (window.getWidth(), 400);
    }

    // A folder that cannot be written: saying so, the old file kept, nothing else lost.
    const auto blocked = folder.getChildFile ("blocked");
    blocked.replaceWithText ("a file where the folder should be");
    {
        StandaloneWindow window (*processor, blocked.getChildFile ("standalone-window.txt"));
        EXPECT_FALSE (window.saveBounds());
    }
    EXPECT_EQ (blocked.loadFileAsString(), "a file where the folder should be");

    // No file: nothing kept, nothing written.
    {
        StandaloneWindow window (*processor, {});
        EXPECT_FALSE (window.saveBounds());
    }
}
