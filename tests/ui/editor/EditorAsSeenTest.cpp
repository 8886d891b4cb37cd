// The editor as a musician meets it: keys that play as soon as the window has the focus, a bar
// whose every part can be seen and clicked at every zoom, a scroll thumb that tells where the
// view is, section zooms that fit, and a setup panel that hides what is under it.
#include "core/RavlinAudioProcessor.h"
#include "support/FakeMidiDevices.h"
#include "support/MessagePump.h"
#include "support/UiEvents.h"
#include "ui/editor/MainComp.h"
#include "ui/editor/SectionLayout.h"

#include <gtest/gtest.h>

#include <set>

using ravlin::test::mouseAt;
using ravlin::test::pumpMessages;
using ravlin::test::pumpUntil;

namespace
{
constexpr int recordedOutput = 2; // "Prophet 12 Out" of the fake devices

using Messages = std::vector<std::vector<uint8_t>>;

class EditorAsSeen : public ::testing::Test
{
protected:
    EditorAsSeen()
    {
        auto fake = std::make_unique<ravlin::test::FakeMidiDevices>();
        devices = fake.get();
        processor = std::make_unique<RavlinAudioProcessor> (std::move (fake), juce::File());
        hub().selectOutputPort (recordedOutput);
        editor = std::make_unique<MainComp> (processor.get());
        editor->showAbout (false);
    }
    ~EditorAsSeen() override
    {
        editor.reset();
        processor.reset();
    }

    MidiCntrState& hub() { return processor->getHub(); }
    EditorPanel& panel() { return *editor->getEditorPanel(); }
    /** The notes that reached the instrument's port, in order. */
    Messages notes()
    {
        Messages out;
        for (const auto& m : devices->recorders[1].taken())
            if (!m.bytes.empty() && (m.bytes[0] & 0xE0) == 0x80)
                out.push_back (m.bytes);
        return out;
    }
    size_t noteCount() { return notes().size(); }

    /** Drags the zoom handle by dy pixels, as the user does. */
    void dragZoomHandle (int dy)
    {
        auto& handle = panel().getZoomHandle();
        handle.mouseDown (mouseAt (handle, 45, 5));
        const auto time = juce::Time::getCurrentTime();
        handle.mouseDrag (juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(),
                                            {45.0f, 5.0f + (float)dy},
                                            juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier), 1.0f, 0.0f,
                                            0.0f, 0.0f, 0.0f, &handle, &handle, time, {45.0f, 5.0f}, time, 1, true));
        handle.mouseUp (mouseAt (handle, 45, 5 + dy));
    }

    juce::ScopedJuceInitialiser_GUI messageThread;
    ravlin::test::FakeMidiDevices* devices = nullptr;
    std::unique_ptr<RavlinAudioProcessor> processor;
    std::unique_ptr<MainComp> editor;
};

/** The editor in a window of its own, as the standalone shows it, once the window has the focus. */
struct EditorWindow
{
    explicit EditorWindow (MainComp& editor) : window ("Ravlin", juce::Colours::black, 0, true)
    {
        window.setUsingNativeTitleBar (true);
        window.setContentNonOwned (&editor, true);
        window.setTopLeftPosition (20, 20);
        window.setVisible (true);
        window.toFront (true);
    }
    ~EditorWindow() { window.clearContentComponent(); }
    juce::ComponentPeer& peer() { return *window.getPeer(); }
    bool focused() { return window.getPeer() != nullptr && window.getPeer()->isFocused(); }
    bool press (juce::juce_wchar c) { return peer().handleKeyPress (juce::KeyPress ((int)c, {}, c)); }

    juce::DocumentWindow window;
};
} // namespace

//==============================================================================
TEST_F (EditorAsSeen, NoteKeysAndSectionJumpsWorkAsSoonAsTheWindowHasTheFocus)
{
    auto& player = editor->getKeyboard()->getKeyPlayer();
    std::set<int> held;
    player.isKeyDown = [&] (int code) { return held.count (code) > 0; };
    EditorWindow shown (*editor);
    ASSERT_TRUE (pumpUntil ([&] { return shown.focused(); }, 3000)) << "the window manager gives it the focus";

    // Nothing clicked yet: the first keys already play and jump.
    held.insert ('z');
    EXPECT_TRUE (shown.press ('z'));
    EXPECT_TRUE (shown.press ('7'));
    editor->drainEvents();
    EXPECT_EQ (panel().getLastJump(), 7);
    EXPECT_EQ (panel().getPanel (0, 8)->getBounds().getPosition(), juce::Point<int> (0, 54))
        << "LOW FREQUENCY OSCILLATORS stand at the left edge";
    held.clear();
    shown.peer().handleKeyUpOrDown (false);
    ASSERT_TRUE (pumpUntil ([&] { return noteCount() >= 2; }));
    EXPECT_EQ (notes(), (Messages{{0x90, 36, 100}, {0x80, 36, 0}})) << "the note starts and ends with its key";

    // A knob reached with Tab keeps its arrows, and the note keys still play.
    auto* lfoFrequency = panel().getPanel (0, 8)->findControl (128);
    ASSERT_NE (lfoFrequency, nullptr);
    lfoFrequency->grabKeyboardFocus();
    ASSERT_TRUE (lfoFrequency->hasKeyboardFocus (false));
    const auto frequency = hub().getProgramByte (128);
    EXPECT_TRUE (shown.press ('x'));
    shown.peer().handleKeyPress (juce::KeyPress (juce::KeyPress::upKey));
    EXPECT_EQ (hub().getProgramByte (128), frequency + 1) << "the up arrow is the knob's";
    ASSERT_TRUE (pumpUntil ([&] { return noteCount() >= 3; }));
    EXPECT_EQ (notes()[2], (std::vector<uint8_t>{0x90, 38, 100}));

    // The write dialog's name field takes its letters and digits: no note, no jump.
    editor->command (MainComp::writeCommand);
    ASSERT_NE (editor->getWriteDialog(), nullptr);
    auto& name = editor->getWriteDialog()->getNameEditor();
    name.setText ("", false);
    name.grabKeyboardFocus();
    ASSERT_TRUE (name.hasKeyboardFocus (false));
    const auto before = noteCount();
    for (auto c : juce::String ("zsx1"))
        EXPECT_TRUE (shown.press (c));
    EXPECT_EQ (name.getText(), "zsx1");
    editor->drainEvents();
    EXPECT_EQ (panel().getLastJump(), 7);
    pumpMessages (100);
    EXPECT_EQ (noteCount(), before) << "typing a name plays nothing";
    editor->command (MainComp::writeCommand);
}

//==============================================================================
TEST_F (EditorAsSeen, TheAbModeStripAndItsSplitSelectorAreFreeOfTheBarsButtonsAtEveryZoom)
{
    auto& bar = panel().getAppBar();
    for (float scale : {130.0f / 640.0f, 0.51f, 0.75f, 1.0f, 1.2f, 1.5f})
    {
        SCOPED_TRACE ("scale " + std::to_string (scale));
        panel().setBounds (0, 0, 1200, juce::roundToInt (640.0f * scale) + 70);
        panel().setScale (scale);
        auto* ab = panel().getPanel (0, 15);
        ASSERT_TRUE (ab->isVisible());
        const auto strip = ab->getBounds();
        EXPECT_TRUE (strip.getY() >= 0 && strip.getBottom() <= SectionLayout::barHeight) << strip.toString();
        for (auto* child : bar.getChildren())
        {
            if (child->isVisible())
            {
                EXPECT_FALSE (strip.intersects (child->getBounds() + bar.getPosition()))
                    << strip.toString() << " covers " << child->getTitle();
            }
        }
        EXPECT_FALSE (strip.intersects (AppBar::channelLabelBounds() + bar.getPosition()));

        auto* selector = ab->findControl (424);
        ASSERT_NE (selector, nullptr);
        const auto shownArea = selector->getBounds() + strip.getPosition();
        EXPECT_TRUE (strip.contains (shownArea.withHeight (18))) << "its value box is inside the strip";
        const auto centre = shownArea.withHeight (18).getCentre();
        EXPECT_EQ (panel().getComponentAt (centre), selector) << "a click at its centre reaches it";
        EXPECT_FALSE (selector->getBounds().intersects (ab->getSmallSplit()->getBounds()));
    }
}

//==============================================================================
TEST_F (EditorAsSeen, TheScrollThumbShowsTheSectionInViewWhileTheZoomHandleMoves)
{
    auto& lfo = *panel().getAppBar().findButton (AppBar::firstSectionCommand + 7);
    lfo.mouseUp (mouseAt (lfo, 5, 5));
    ASSERT_EQ (panel().getScrollBar().getPosition(), 7);

    for (int dy : {-200, 150, 0})
    {
        dragZoomHandle (dy);
        const auto thumb = panel().getScrollBar().getPosition();
        EXPECT_EQ (SectionLayout::sectionButton (thumb).jump, panel().getLastJump()) << "thumb " << thumb;
        EXPECT_EQ (thumb, 7);
        EXPECT_EQ (panel().getPanel (0, 8)->getBounds().getPosition(), juce::Point<int> (0, 54))
            << "the view stays on LFO";
    }
}

//==============================================================================
TEST_F (EditorAsSeen, AZoomedSectionFitsBetweenTheBarAndThePanelsBottomAndEditsAtEveryScale)
{
    const std::pair<int, int> sections[] = {{1, 1}, {8, 7}, {15, 1}}; // section, jump that shows it
    for (float scale : {130.0f / 640.0f, 0.51f, 1.0f, 1.5f})
        for (const auto& [section, jump] : sections)
        {
            SCOPED_TRACE ("scale " + std::to_string (scale) + ", section " + std::to_string (section));
            const auto height = juce::roundToInt (640.0f * scale) + 70;
            panel().setBounds (0, 0, 1200, height);
            panel().setScale (scale);
            panel().jumpTo (jump);
            auto* zoomed = panel().getPanel (0, section);
            panel().openZoom (*zoomed);
            ASSERT_TRUE (panel().isZoomOpen());
            ASSERT_TRUE (pumpUntil ([&] { return zoomed->getBounds() == panel().zoomFrame(); }, 3000));
            const auto frame = panel().zoomFrame();
            EXPECT_GE (frame.getY(), SectionLayout::barHeight) << frame.toString() << " leaves the bar free";
            EXPECT_LE (frame.getBottom(), height) << frame.toString() << " is whole";
            EXPECT_GE (frame.getX(), 0);
            EXPECT_LE (frame.getRight(), 1200);
            auto* hit = panel().getComponentAt (frame.getCentre());
            EXPECT_TRUE (hit == zoomed || zoomed->isParentOf (hit)) << "the zoomed section is on top";

            // A knob of the zoomed section turns, however small the room made it.
            if (section != 15)
            {
                StsCont* knob = nullptr;
                for (auto* c : zoomed->getControls())
                    if (c->getKind() == 3 && knob == nullptr)
                        knob = c;
                ASSERT_NE (knob, nullptr);
                const auto before = hub().getProgramByte (knob->getParameter());
                const auto up = before < 60 ? 10 : -10;
                knob->mouseDown (mouseAt (*knob, 10, 30));
                const auto time = juce::Time::getCurrentTime();
                knob->mouseDrag (
                    juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), {10.0f + (float)up, 30.0f},
                                      juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier), 1.0f, 0.0f, 0.0f,
                                      0.0f, 0.0f, knob, knob, time, {10.0f, 30.0f}, time, 1, true));
                knob->mouseUp (mouseAt (*knob, 10 + up, 30));
                EXPECT_NE (hub().getProgramByte (knob->getParameter()), before) << knob->getLabel();
            }
            panel().getDimmer (0)->mouseDown (mouseAt (*panel().getDimmer (0), 1, 1));
            ASSERT_FALSE (panel().isZoomOpen());
        }
}

//==============================================================================
TEST_F (EditorAsSeen, TheMidiSetupPanelHidesTheEditorUnderIt)
{
    editor->setSize (1200, 730 + 172);
    editor->getMidiSetup()->showSetup();
    auto* setup = editor->getMidiSetup()->getSetup();
    ASSERT_NE (setup, nullptr);
    const auto picture = editor->createComponentSnapshot (editor->getLocalBounds(), true, 1.0f);
    ravlin::test::saveSnapshot (*editor, "main-setup-panel");
    // Points inside the two rounded panels where the editor's knobs and names lie underneath
    // and the panel itself draws nothing but its fill.
    const juce::Colour fill (0xff15222a);
    for (auto p : {juce::Point<int> (48, 60), juce::Point<int> (48, 150), juce::Point<int> (700, 30),
                   juce::Point<int> (48, 400), juce::Point<int> (48, 460), juce::Point<int> (775, 460)})
    {
        const auto at = p + setup->getPosition();
        EXPECT_EQ (picture.getPixelAt (at.x, at.y).getARGB(), fill.getARGB()) << p.toString();
    }
}
