// Every page and dialog of the editor and the library window at three scales: no visible
// control overlaps a sibling or leaves its parent, and no label's text is wider than the label.
#include "core/RavlinAudioProcessor.h"
#include "support/EditorLayoutRules.h"
#include "support/FakeMidiDevices.h"
#include "support/MessagePump.h"
#include "support/UiEvents.h"
#include "ui/editor/MainComp.h"
#include "ui/editor/SectionLayout.h"
#include "ui/library/Lib_Manager_Comp.h"

#include <gtest/gtest.h>

#include <set>

using ravlin::test::findLayoutFaults;
using ravlin::test::listOf;

namespace
{
constexpr float scales[] = {0.51f, 1.0f, 1.5f};

juce::String sceneName (float scale, const juce::String& what)
{
    return juce::String (juce::roundToInt (scale * 100)) + "-" + what;
}

class Layout : public ::testing::Test
{
protected:
    Layout()
    {
        auto fake = std::make_unique<ravlin::test::FakeMidiDevices>();
        processor = std::make_unique<RavlinAudioProcessor> (std::move (fake), juce::File());
        hub().selectInputPort (3); // the virtual instrument, after the fake devices' two
        hub().selectOutputPort (3);
        auto program = hub().getCurrentProgram();
        program.resize (1024, 0);
        for (size_t i = 0; i < program.size(); ++i)
            program[i] = (uint8_t)((i * 37) % 100);
        hub().setCurrentProgram (program);
    }
    ~Layout() override
    {
        editor.reset();
        processor.reset();
    }

    MidiCntrState& hub() { return processor->getHub(); }

    /** A new editor window at this scale and width, as a user who saved them would open it. */
    MainComp& openEditor (float scale, int width = 1200)
    {
        editor.reset();
        hub().layout.panelScale = scale;
        hub().layout.editor = {0, 0, width, juce::roundToInt (640 * scale) + 70 + MainComp::keyboardHeight};
        hub().layout.keyboard = {0, 0, width, MainComp::keyboardHeight};
        editor = std::make_unique<MainComp> (processor.get());
        editor->showAbout (false);
        editor->drainEvents();
        // As it opens: the panel and the strip inside the editor, whatever the monitor allowed.
        check (*editor, sceneName (scale, "opened"), scale);
        if (editor->getEditorPanel()->getScale() < scale)
        {
            // The monitor was too low for this scale: as the zoom handle gives it on a taller one.
            auto& panel = *editor->getEditorPanel();
            panel.setBounds (0, 0, width, juce::roundToInt (640 * scale) + 70);
            panel.setScale (scale);
            editor->setSize (width, panel.getBottom() + MainComp::keyboardHeight);
        }
        return *editor;
    }

    /** Checks the tree under c as it is now; the scene names it in failures and its picture. */
    void check (juce::Component& c, const juce::String& scene, float scale = 1.0f)
    {
        const auto faults = findLayoutFaults (c, ravlin::test::editorLayoutRules (scale));
        EXPECT_TRUE (faults.empty()) << scene << ":\n" << listOf (faults);
        if (!faults.empty())
            ravlin::test::saveSnapshot (c, "layout-fault-" + scene);
    }

    juce::ScopedJuceInitialiser_GUI messageThread;
    std::unique_ptr<RavlinAudioProcessor> processor;
    std::unique_ptr<MainComp> editor;
};

} // namespace

// The checker itself, on a window made to hold each kind of fault once.
TEST (LayoutCheck, FindsEachKindOfFaultAndOnlyThose)
{
    juce::ScopedJuceInitialiser_GUI messageThread;
    juce::Component window;
    window.setSize (300, 200);
    juce::TextButton a ("A"), b ("B"), hidden ("hidden"), escaping ("escaping");
    juce::Label shortText ("short", "OK"), longText ("long", "A text far wider than its label");
    juce::Component cover;
    for (auto* c : std::initializer_list<juce::Component*>{&a, &b, &escaping, &shortText, &longText, &cover})
        window.addAndMakeVisible (c);
    window.addChildComponent (hidden);
    a.setBounds (10, 10, 50, 20);
    b.setBounds (59, 10, 50, 20);          // 1 px into A
    hidden.setBounds (10, 10, 50, 20);     // over A, but hidden
    escaping.setBounds (280, 150, 30, 20); // 10 px past the right edge
    shortText.setBounds (10, 100, 60, 20);
    longText.setBounds (10, 130, 60, 20);
    cover.setBounds (0, 60, 300, 30); // clear of all but the rules below

    ravlin::test::LayoutRules none;
    const auto faults = findLayoutFaults (window, none);
    ASSERT_EQ (faults.size(), 3u) << listOf (faults);
    EXPECT_EQ (faults[0].kind, ravlin::test::LayoutFault::overlap);
    EXPECT_EQ (faults[0].component, &b);
    EXPECT_EQ (faults[0].other, &a);
    EXPECT_EQ (ravlin::test::reachOf (faults[0]), 1);
    EXPECT_EQ (faults[1].kind, ravlin::test::LayoutFault::outside);
    EXPECT_EQ (faults[1].component, &escaping);
    EXPECT_EQ (ravlin::test::reachOf (faults[1]), 10);
    EXPECT_EQ (faults[2].kind, ravlin::test::LayoutFault::textTooWide);
    EXPECT_EQ (faults[2].component, &longText);

    // An overlay named as such may cover its siblings; a known fault is not reported.
    cover.setBounds (0, 0, 300, 200);
    ravlin::test::LayoutRules rules;
    rules.overlays.push_back (
        {"the cover", [&] (const juce::Component& over, const juce::Component&) { return &over == &cover; }});
    rules.knownFaults.push_back (
        {"B leans on A", [&] (const ravlin::test::LayoutFault& f) { return f.component == &b; }});
    const auto left = findLayoutFaults (window, rules);
    ASSERT_EQ (left.size(), 2u) << listOf (left);
    EXPECT_EQ (left[0].component, &escaping);
    EXPECT_EQ (left[1].component, &longText);
}

TEST_F (Layout, EditorPagesAtEveryScale)
{
    for (float scale : scales)
    {
        auto& main = openEditor (scale);
        auto& panel = *main.getEditorPanel();
        check (main, sceneName (scale, "default"), scale);
        ravlin::test::saveSnapshot (main, "main-" + sceneName (scale, "default"));
        main.getKeyboard()->getPiano().keyOn (12, 120.0f);
        main.getKeyboard()->getPiano().keyOn (15, 50.0f);
        ravlin::test::saveSnapshot (*main.getKeyboard(),
                                    "keyboard-strip-" + juce::String (juce::roundToInt (scale * 100)));
        main.getKeyboard()->getPiano().releaseAll();
        for (int jump : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11})
        {
            panel.jumpTo (jump);
            check (main, sceneName (scale, "jump" + juce::String (jump)), scale);
            if (jump == 1 || jump == 6 || jump == 11)
                ravlin::test::saveSnapshot (main, "editor-" + sceneName (scale, "jump" + juce::String (jump)));
        }
        panel.jumpTo (1);

        main.command (MainComp::banksCommand);
        check (main, sceneName (scale, "banks"), scale);
        ravlin::test::saveSnapshot (main, "main-" + sceneName (scale, "banks"));
        main.command (MainComp::banksCommand);
    }
    // Narrower than the default: the sections scroll, the strip below keeps its controls.
    for (int width : {900, 1600})
    {
        auto& main = openEditor (1.0f, width);
        main.getEditorPanel()->jumpTo (1);
        check (main, "100-width" + juce::String (width));
        ravlin::test::saveSnapshot (main, "editor-100-width" + juce::String (width));
    }
}

TEST_F (Layout, EditorDialogsAtEveryScale)
{
    for (float scale : scales)
    {
        auto& main = openEditor (scale);
        auto& panel = *main.getEditorPanel();

        main.command (MainComp::writeCommand);
        check (main, sceneName (scale, "write"), scale);
        ravlin::test::saveSnapshot (main, "main-" + sceneName (scale, "write"));
        main.command (MainComp::writeCommand);

        main.menuChosen (MainComp::midiMenuId, MidiMenu::setupItem);
        check (main, sceneName (scale, "midi-setup"), scale);
        ravlin::test::saveSnapshot (main, "main-" + sceneName (scale, "midi-setup"));
        main.menuChosen (MainComp::midiMenuId, MidiMenu::setupItem);

        main.menuChosen (MainComp::midiMenuId, MidiMenu::checkConnectionItem);
        check (main, sceneName (scale, "connection-check"), scale);
        if (main.getMidiSetup()->isScanShown())
            main.getMidiSetup()->toggleScan();

        main.showAbout (true);
        check (main, sceneName (scale, "about"), scale);
        main.showAbout (false);

        main.showMessage ("Read back: 1 of 1 program differs from what was sent: U2 P 8.");
        check (main, sceneName (scale, "message"), scale);
        main.getMessage()->getOkButton().triggerClick();
        ravlin::test::pumpMessages (50);

        main.askThen ("This overwrites 396 programs in the instrument's memory: User Banks 1 to 4. Continue?", [] {});
        check (main, sceneName (scale, "question"), scale);
        main.getMessage()->getCancelButton().triggerClick();
        ravlin::test::pumpMessages (50);

        hub().getVirtualInstrument().setWireSpeed (VirtualInstrument::WireSpeed::din);
        main.startBankOperation (0, 0);
        ravlin::test::pumpMessages (100);
        check (main, sceneName (scale, "bank-receive"), scale);
        ravlin::test::saveSnapshot (main, "main-" + sceneName (scale, "bank-receive"));
        main.getTransfer()->cancel();
        ravlin::test::pumpMessages (50);

        for (int section : {3, 5, 15})
        {
            panel.jumpTo (1);
            panel.openZoom (*panel.getPanel (0, section));
            ravlin::test::pumpMessages (400);
            check (main, sceneName (scale, "zoom" + juce::String (section)), scale);
            if (section == 15)
                ravlin::test::saveSnapshot (main, "editor-" + sceneName (scale, "abmode-zoom"));
            panel.closeZoom();
        }

        // The arpeggiator's steps over the sections, from layer B's STEPS button.
        panel.jumpTo (11);
        panel.getPanel (1, 14)->getStepsButton()->triggerClick();
        ravlin::test::pumpMessages (50);
        ASSERT_TRUE (panel.isStepsOpen());
        check (main, sceneName (scale, "arp-steps"), scale);
        ravlin::test::saveSnapshot (main, "editor-" + sceneName (scale, "arp-steps"));
        panel.closeSteps();
    }
}

namespace
{
/** The texts of a menu's own items, as its window lists them (submenus open on their own). */
juce::StringArray topLevelTexts (const juce::PopupMenu& menu)
{
    juce::StringArray texts;
    for (juce::PopupMenu::MenuItemIterator it (menu, false); it.next();)
        if (!it.getItem().isSeparator)
            texts.add (it.getItem().text);
    return texts;
}
} // namespace

// The menu check on a menu whose item is wider than any display: its text is cut.
TEST (LayoutCheck, FindsAMenuItemCutByItsWindow)
{
    juce::ScopedJuceInitialiser_GUI messageThread;
    juce::PopupMenu menu;
    menu.addItem (1, "Short");
    menu.addItem (2, juce::String::repeatedString ("Far too long ", 400));
    menu.showMenuAsync (juce::PopupMenu::Options().withTargetScreenArea ({100, 100, 10, 10}));
    const auto windows = ravlin::test::menuWindowsShown();
    ASSERT_EQ (windows.size(), 1u);
    juce::StringArray texts;
    const auto faults = ravlin::test::findMenuFaults (*windows[0], &texts);
    ASSERT_EQ (faults.size(), 1u) << listOf (faults);
    EXPECT_EQ (faults[0].kind, ravlin::test::LayoutFault::textTooWide);
    EXPECT_EQ (texts[0], "Short");
    juce::PopupMenu::dismissAllActiveMenus();
    EXPECT_TRUE (ravlin::test::pumpUntil ([] { return ravlin::test::menuWindowsShown().empty(); }, 2000));
}

// JUCE shows each pop-up menu in a window of its own: the application bar's menus, the program
// display's program and category menus, the channel menu and every kind of value menu, each on
// its display with its items inside it and their texts whole.
TEST_F (Layout, MenusAtEveryScale)
{
    for (float scale : scales)
    {
        auto& main = openEditor (scale);
        main.addToDesktop (0);
        main.setVisible (true);
        auto& panel = *main.getEditorPanel();

        // The texts a menu should show are read as it opens: an answer from the instrument that
        // arrives before then (the editor asks at opening) renames the program and the undo step.
        const auto checkMenu = [&] (const juce::String& scene, const std::function<void()>& open,
                                    const std::function<juce::StringArray()>& expectedTexts = {})
        {
            SCOPED_TRACE (scene.toStdString());
            open();
            const auto expected = expectedTexts ? expectedTexts() : juce::StringArray();
            const auto windows = ravlin::test::menuWindowsShown();
            ASSERT_EQ (windows.size(), 1u) << "one menu window opens";
            juce::StringArray texts;
            const auto faults = ravlin::test::findMenuFaults (*windows[0], &texts);
            EXPECT_TRUE (faults.empty()) << listOf (faults);
            EXPECT_FALSE (texts.isEmpty()) << "its items are listed";
            if (!expected.isEmpty())
            {
                EXPECT_EQ (texts, expected);
            }
            if (!faults.empty())
                ravlin::test::saveSnapshot (*windows[0], "layout-fault-" + scene);
            juce::PopupMenu::dismissAllActiveMenus();
            EXPECT_TRUE (ravlin::test::pumpUntil ([] { return ravlin::test::menuWindowsShown().empty(); }, 2000));
        };

        const auto textsOf = [&main] (int menuId)
        { return [&main, menuId] { return topLevelTexts (main.getMenu (menuId)->build()); }; };
        const std::pair<int, int> barMenus[] = {{MainComp::fileCommand, MainComp::fileMenuId},
                                                {MainComp::editCommand, MainComp::editMenuId},
                                                {MainComp::midiCommand, MainComp::midiMenuId},
                                                {MainComp::sendCommand, MainComp::sendMenuId}};
        for (const auto& [command, menuId] : barMenus)
            checkMenu (
                sceneName (scale, "menu" + juce::String (command)), [&main, c = command] { main.command (c); },
                textsOf (menuId));
        checkMenu (
            sceneName (scale, "channel-menu"), [&] { panel.getAppBar().onChannelClick(); },
            textsOf (MainComp::channelMenuId));
        checkMenu (
            sceneName (scale, "program-menu"), [&] { panel.getLcd().onZone (1); }, textsOf (MainComp::programMenuId));
        checkMenu (sceneName (scale, "category-menu"), [&] { panel.getLcd().onZone (3); });

        // One value menu of each kind, opened from a selector in view as the user opens it.
        std::set<int> kinds;
        for (int jump = 1; jump <= 11; ++jump)
        {
            panel.jumpTo (jump);
            for (int section = 0; section < SectionLayout::numSections; ++section)
            {
                auto* group = panel.getPanel (0, section);
                if (group == nullptr || !group->isShowing())
                    continue;
                for (auto* control : group->getControls())
                    if (control->getKind() == 0 && control->isShowing() &&
                        kinds.insert (control->getDisplayKind()).second)
                        checkMenu (sceneName (scale, "value-menu" + juce::String (control->getDisplayKind())),
                                   [control] { control->keyPressed (juce::KeyPress (juce::KeyPress::returnKey)); });
            }
        }
        EXPECT_EQ (kinds.size(), 17u) << "every kind of value a selector offers";
        main.removeFromDesktop();
    }
}

TEST_F (Layout, LibraryWindowPagesAndDialogs)
{
    Lib_Manager_Comp window (*processor, {});
    window.setSize (Lib_Manager_Comp::defaultWidth, Lib_Manager_Comp::defaultHeight);
    check (window, "library-preset-bank");

    auto& presets = *window.getPresetPage();
    presets.rename();
    check (window, "library-preset-rename");
    presets.tell ("Saved 99 presets to presets.fxb.");
    check (window, "library-preset-message");
    presets.confirm (
        "Replace the 99 presets with the programs of User Bank 3?", [] {}, [] {});
    check (window, "library-preset-question");
    presets.setCurrent();
    check (window, "library-store-dialog");
    ravlin::test::saveSnapshot (window, "library-store-dialog-layout");

    window.getTab (Lib_Manager_Comp::libraryTab).press();
    check (window, "library-page");
    window.getLibraryPage()->getLibrary().setRecords ({});
    check (window, "library-page-empty");
}
