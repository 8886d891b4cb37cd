// The section editor: bindings, columns and jumps, the edit and update paths, refresh and zoom.
#include "core/RavlinAudioProcessor.h"
#include "instrument/ParDes.h"
#include "support/FakeMidiDevices.h"
#include "support/MessagePump.h"
#include "support/UiEvents.h"
#include "ui/editor/EditorPanel.h"
#include "ui/editor/SectionLayout.h"

#include <gtest/gtest.h>

using ravlin::test::mouseAt;

namespace
{
class SectionPanels : public ::testing::Test
{
protected:
    SectionPanels() : processor (std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File())
    {
        panel = std::make_unique<EditorPanel> (processor);
        panel->setSize (1200, 54 + 640 + 14);
        panel->setScale (1.0f);
    }

    MidiCntrState& hub() { return processor.getHub(); }
    std::vector<int> visibleSections (int layer)
    {
        std::vector<int> shown;
        for (int s = 0; s < SectionLayout::numPlaces; ++s)
            if (auto* p = panel->getPanel (layer, s); p != nullptr && p->isVisible())
                shown.push_back (s);
        return shown;
    }

    juce::ScopedJuceInitialiser_GUI messageThread;
    RavlinAudioProcessor processor;
    std::unique_ptr<EditorPanel> panel;
};
} // namespace

TEST_F (SectionPanels, EveryShownParameterHasExactlyOneControlInItsSection)
{
    const auto& table = hub().parameterTable;
    for (int layer = 0; layer < 2; ++layer)
        for (int number = 0; number < 512; ++number)
        {
            const auto section = table.section (number);
            int found = 0;
            for (int s = 0; s < SectionLayout::numSections; ++s)
                if (auto* p = panel->getPanel (layer, s))
                    for (auto* c : p->getControls())
                        if (c->getParameter() == number)
                        {
                            ++found;
                            EXPECT_EQ (s, section) << "parameter " << number << " sits in its own section";
                        }
            if (section > 0)
            {
                EXPECT_EQ (found, 1) << "layer " << layer << " parameter " << number;
            }
            if (number >= 430)
            {
                EXPECT_EQ (found, 0) << number;
            }
        }
    // Only the latches are pseudo parameters on screen, and only on layer A.
    EXPECT_NE (panel->getPanel (0, 0)->findControl (1028), nullptr);
    EXPECT_EQ (panel->getPanel (1, 0), nullptr);

    // Every destination selector offers the table's whole range; the split point differs from it.
    for (const auto parameter : {144, 147, 196, 197, 238, 253})
    {
        const auto section = hub().parameterTable.section (parameter);
        EXPECT_EQ (panel->getPanel (0, section)->findControl (parameter)->getMaximum(),
                   hub().parameterTable.highest (parameter))
            << parameter;
        EXPECT_EQ (panel->getPanel (0, section)->findControl (parameter)->getMaximum(), 104) << parameter;
    }
    EXPECT_EQ (panel->getPanel (0, 15)->findControl (424)->getMaximum(), 127);
    EXPECT_EQ (panel->getPanel (1, 14)->findControl (256)->getMinimum(), 30);
}

TEST_F (SectionPanels, JumpsShowTheColumnsThatStartInside)
{
    panel->jumpTo (1);
    EXPECT_EQ (visibleSections (0), (std::vector<int>{1, 2})) << "section 5's column starts at 1204";
    EXPECT_EQ (panel->getPanel (0, 2)->getBounds(), juce::Rectangle<int> (954, 54, 246, 319));
    EXPECT_EQ (panel->getPanel (1, 1)->getBounds(), juce::Rectangle<int> (0, 374, 950, 319));

    panel->jumpTo (5);
    EXPECT_EQ (panel->getPanel (0, 6)->getX(), 0) << "FEEDBACK at the left edge";
    panel->jumpTo (1);
    auto& bar = panel->getScrollBar();
    bar.mouseDown (mouseAt (bar, bar.thumbX() + 100, 5)); // a page: position 2
    bar.mouseDown (mouseAt (bar, bar.thumbX() + 100, 5));
    bar.mouseDown (mouseAt (bar, bar.getWidth() - 5, 5));
    EXPECT_EQ (bar.getPosition(), 5);
    EXPECT_EQ (panel->getLeft(), 2072) << "position 5 is the FEEDBACK button";
    auto& vca = *panel->getAppBar().findButton (AppBar::firstSectionCommand + 4);
    EXPECT_EQ (vca.getText(), "VCA");
    vca.mouseUp (mouseAt (vca, 5, 5));
    EXPECT_EQ (panel->getLeft(), 1204);
    EXPECT_EQ (panel->getPanel (0, 5)->getBounds().getPosition(), juce::Point<int> (0, 54));
    EXPECT_EQ (panel->getPanel (0, 3)->getBounds().getPosition(), juce::Point<int> (0, 214));
    EXPECT_EQ (panel->getScrollBar().getPosition(), 4);

    panel->jumpTo (100);
    EXPECT_TRUE (visibleSections (0).empty());
    EXPECT_TRUE (panel->getPanel (0, 15)->isVisible()) << "AB MODE stays in the bar";
    EXPECT_EQ (panel->getPanel (0, 15)->getBounds(), juce::Rectangle<int> (667, 3, 260, 22)) << "the command row's";

    panel->setScale (0.5f);
    panel->jumpTo (1);
    EXPECT_EQ (visibleSections (0), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 12})) << "DELAY starts at 1098";
    EXPECT_EQ (panel->getPanel (0, 15)->getBounds(), juce::Rectangle<int> (667, 3, 260, 22)) << "the bar does not zoom";
    EXPECT_EQ (panel->getZoomHandle().getText(), "50%");
}

TEST_F (SectionPanels, AnEditWaitsForTheValueToComeBack)
{
    auto* cutoff = panel->getPanel (0, 3)->findControl (85);
    ASSERT_NE (cutoff, nullptr);
    cutoff->mouseDown (mouseAt (*cutoff, 30, 40));
    const auto time = juce::Time::getCurrentTime();
    cutoff->mouseDrag (juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), {60.0f, 40.0f},
                                         juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier), 1.0f, 0.0f, 0.0f,
                                         0.0f, 0.0f, cutoff, cutoff, time, {30.0f, 40.0f}, time, 1, true));
    const auto before = cutoff->getShownValue();
    EXPECT_EQ (hub().getProgramByte (85), before + 30) << "the processor took the edit";
    EXPECT_EQ (cutoff->getShownValue(), before);

    panel->updateParameter (85, before + 30, false);
    EXPECT_EQ (cutoff->getShownValue(), before + 30);
    EXPECT_EQ (cutoff->getValueText(), ParDes::valueText (0, before + 30));
}

TEST_F (SectionPanels, LayerBUpdatesMoveOnlyLayerB)
{
    panel->updateParameter (512 + 12, 3, false);
    auto* b = panel->getPanel (1, 1);
    auto* a = panel->getPanel (0, 1);
    EXPECT_EQ (b->findControl (12)->getShownValue(), 3);
    EXPECT_EQ (b->findControl (12)->getValueText(), ParDes::valueText (14, 3));
    EXPECT_EQ (b->getShapeDisplay (0)->getShape(), 3);
    EXPECT_EQ (a->findControl (12)->getShownValue(), 0);
    EXPECT_EQ (a->getShapeDisplay (0)->getShape(), 0);

    panel->updateParameter (512 + 28, 90, false);
    EXPECT_EQ (b->getShapeDisplay (0)->getModulation(), 90);

    // The split point moves the split display; its selector shows the note.
    panel->updateParameter (424, 100, false);
    auto* ab = panel->getPanel (0, 15);
    EXPECT_EQ (ab->getSmallSplit()->getSplit(), 100);
    EXPECT_EQ (ab->findControl (424)->getValueText(), ParDes::valueText (18, 100));

    // Envelope parameters reach the display of the section that owns them.
    panel->updateParameter (181, 77, false);
    EXPECT_EQ (panel->getPanel (0, 5)->getEnvelope()->getValue (Envel::attack), 77);
    EXPECT_EQ (panel->getPanel (0, 3)->getEnvelope()->getValue (Envel::attack), 0);

    panel->updateParameter (450, 9, false); // nothing shows it; nothing happens
    panel->updateParameter (2000, 9, false);
}

TEST_F (SectionPanels, DraggingTheAmplifierEnvelopeEditsItsFourParametersOnly)
{
    auto* vca = panel->getPanel (0, 5);
    for (int p : {181, 185, 189, 193, 173, 92})
        panel->updateParameter (p, hub().getProgramByte (p), true);
    auto* env = vca->getEnvelope();
    const auto drag = [env] (int handle, juce::Point<int> by)
    {
        const auto from = env->handlePosition (handle).toInt();
        env->mouseDown (mouseAt (*env, from.x, from.y));
        const auto time = juce::Time::getCurrentTime();
        env->mouseDrag (juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), (from + by).toFloat(),
                                          juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier), 1.0f, 0.0f, 0.0f,
                                          0.0f, 0.0f, env, env, time, from.toFloat(), time, 1, true));
        env->mouseUp (mouseAt (*env, from.x + by.x, from.y + by.y));
    };
    const int attack = hub().getProgramByte (181), decay = hub().getProgramByte (185),
              sustain = hub().getProgramByte (189), release = hub().getProgramByte (193);
    const auto untouched = hub().getCurrentProgram();
    drag (0, {30, 0});
    drag (1, {15, -15});
    drag (2, {3, 0});
    ASSERT_TRUE (ravlin::test::pumpUntil ([&] { return hub().getProgramByte (193) != release; }, 1000));
    EXPECT_EQ (hub().getProgramByte (181), juce::jlimit (0, 127, attack + 20));
    EXPECT_EQ (hub().getProgramByte (185), juce::jlimit (0, 127, decay + 10));
    EXPECT_EQ (hub().getProgramByte (189), juce::jlimit (0, 127, sustain + 10));
    EXPECT_EQ (hub().getProgramByte (193), juce::jlimit (0, 127, release + 2));
    const auto after = hub().getCurrentProgram();
    for (size_t i = 0; i < after.size(); ++i)
    {
        if (i != 181 && i != 185 && i != 189 && i != 193)
        {
            EXPECT_EQ (after[i], untouched[i]) << "byte " << i << " (Velocity Amt is 173, Pan Spread 92)";
        }
    }
}

TEST_F (SectionPanels, RefreshAllShowsTheProgramAndRepaintsOnlyChanges)
{
    auto program = hub().getCurrentProgram();
    program.resize (1024, 0);
    program[85] = 120;
    program[512 + 12] = 4;
    program[425] = 2;
    program[296] = 1;
    program[426] = 5;
    for (int i = 0; i < 16; ++i)
        program[(size_t)(402 + i)] = (uint8_t) "Fat Brass       "[i];
    hub().setCurrentProgram (program);
    hub().currentBank = 1;
    hub().currentProgram = 6;
    panel->refreshAll();

    EXPECT_EQ (panel->getLcd().getLocation(), "U2 P 7");
    EXPECT_EQ (panel->getLcd().getName(), "Fat Brass");
    EXPECT_EQ (panel->getLcd().getCategoryText(), ParDes::categoryText (5));
    EXPECT_EQ (panel->getLcd().getAbMode(), "A | B");
    EXPECT_EQ (panel->getLcd().getArpMark(), "(A)");
    EXPECT_EQ (panel->getPanel (0, 3)->findControl (85)->getShownValue(), 120);
    EXPECT_EQ (panel->getPanel (1, 1)->findControl (12)->getShownValue(), 4);
    EXPECT_EQ (panel->getPanel (0, 1)->findControl (0)->getValueText(), ParDes::valueText (13, program[0]))
        << "unchanged values get their text once";
}

TEST_F (SectionPanels, ARightClickZoomsASectionAndADimmerClosesIt)
{
    auto* hpf = panel->getPanel (0, 4);
    panel->jumpTo (4);
    hpf->mouseDown (mouseAt (*hpf, 10, 10, true));
    ASSERT_TRUE (panel->isZoomOpen());
    const auto frame = panel->zoomFrame();
    EXPECT_TRUE (ravlin::test::pumpUntil ([&] { return hpf->getBounds() == frame; }, 3000))
        << "the section is animated into the frame";
    EXPECT_EQ (frame.getWidth(), juce::roundToInt (160 * hpf->getScale()));
    EXPECT_EQ (panel->getDimmer (0)->getBounds(), juce::Rectangle<int> (0, 0, frame.getX(), panel->getHeight()));
    EXPECT_GT (hpf->getScale(), 0.99f);

    panel->getDimmer (0)->mouseDown (mouseAt (*panel->getDimmer (0), 5, 5));
    EXPECT_FALSE (panel->isZoomOpen());
    EXPECT_EQ (hpf->getScale(), 1.0f);
    EXPECT_EQ (hpf->getBounds().getPosition(), juce::Point<int> (0, 54));

    // Small sections are zoomed by any press; the AB MODE panel expands instead.
    panel->setScale (0.4f);
    auto* ab = panel->getPanel (0, 15);
    ab->getSmallSplit()->mouseUp (mouseAt (*ab->getSmallSplit(), 5, 5));
    ASSERT_TRUE (panel->isZoomOpen());
    EXPECT_TRUE (ab->isExpanded());
    EXPECT_TRUE (ravlin::test::pumpUntil ([&] { return ab->getBounds() == panel->zoomFrame(); }, 3000));
    EXPECT_EQ (ab->getBounds().getWidth(), 600);
    panel->getDimmer (1)->mouseDown (mouseAt (*panel->getDimmer (1), 5, 5));
    EXPECT_FALSE (ab->isExpanded());
    EXPECT_EQ (panel->getScale(), 0.4f);
}
