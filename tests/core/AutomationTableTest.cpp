#include "core/AutomationTable.h"
#include "support/FakeMidiDevices.h"

#include <gtest/gtest.h>

#include <limits>

namespace
{
class Automation : public ::testing::Test
{
protected:
    Automation() : hub (std::unique_ptr<MidiDeviceSet> (system), juce::File()), table (hub) {}

    juce::ScopedJuceInitialiser_GUI messageThread;
    ravlin::test::FakeMidiDevices* system = new ravlin::test::FakeMidiDevices();
    MidiCntrState hub;
    AutomationTable table;
};
} // namespace

TEST_F (Automation, NamesOfTheSlots)
{
    EXPECT_EQ (table.getParameterName (0), "A Pitch 1");
    EXPECT_EQ (table.getParameterName (310), "B Pitch 1");
    EXPECT_EQ (table.getParameterName (308), "A Split Point");
    EXPECT_EQ (table.getParameterName (617), "B ArpVel 32");
    EXPECT_EQ (table.getParameterName (618), "Program No.");
    EXPECT_EQ (table.getParameterName (623), "SlidLatch 2");
    EXPECT_EQ (table.getParameterName (624), "624");
    EXPECT_EQ (table.getParameterName (-1), "-1");
    EXPECT_EQ (table.parameterIndex (617), 881);
}

TEST_F (Automation, RoundingHalvesToEven)
{
    table.setParameter (0, 0.5f);
    EXPECT_EQ (hub.getProgramByte (0), 60);
    EXPECT_FLOAT_EQ (table.getParameter (0), 0.5f);

    ASSERT_EQ (table.parameterIndex (237), hub.parameterTable.parameterForSlot (237));
    ASSERT_EQ (table.highest (237), 4);
    table.setParameter (237, 0.625f);
    EXPECT_EQ (table.rawValue (237), 2);

    ASSERT_EQ (table.highest (59), 12);
    table.setParameter (59, 0.125f);
    EXPECT_EQ (table.rawValue (59), 2);
    table.setParameter (59, 0.125f * 3); // 4.5
    EXPECT_EQ (table.rawValue (59), 4);

    EXPECT_EQ (AutomationTable::rawFor (std::numeric_limits<float>::quiet_NaN(), 120), 0);
    EXPECT_EQ (AutomationTable::rawFor (std::numeric_limits<float>::infinity(), 120), 120);
    EXPECT_EQ (AutomationTable::rawFor (-std::numeric_limits<float>::infinity(), 120), 0);
    EXPECT_EQ (AutomationTable::rawFor (7.0f, 120), 120);
    EXPECT_EQ (AutomationTable::rawFor (-0.5f, 120), 0);
}

TEST_F (Automation, AHostChangeSendsPostsAndAnUnchangedValueDoesNothing)
{
    hub.selectOutputPort (1);
    auto& out = system->recorders[0];
    table.setParameter (0, 0.25f);
    EXPECT_EQ (hub.takeEvents(),
               (std::vector<uint32_t>{HubEvent::parameter (hub.parameterTable.parameterForSlot (0), 30)}));
    juce::Thread::sleep (50);
    EXPECT_EQ (out.count(), 4u) << "a whole NRPN for a new parameter";

    table.setParameter (0, 0.25f);
    juce::Thread::sleep (50);
    EXPECT_TRUE (hub.takeEvents().empty());
    EXPECT_EQ (out.count(), 4u) << "the same value again sends nothing";
}

TEST_F (Automation, AByteBeyondItsRangeReadsAsTheTopAndAnEchoKeepsIt)
{
    hub.storeValue (0, 200); // from a dump; A Pitch 1 tops out at 120
    EXPECT_FLOAT_EQ (table.getParameter (0), 1.0f);
    table.setParameter (0, 1.0f);
    EXPECT_EQ (hub.getProgramByte (0), 200);
    EXPECT_TRUE (hub.takeEvents().empty());
}

TEST_F (Automation, TextsOfValuesAndPseudoParameters)
{
    const auto pitchKind = hub.parameterTable.displayKind (0);
    hub.storeValue (0, 60);
    EXPECT_EQ (table.getParameterText (0), ParDes::valueText (pitchKind, 60));
    EXPECT_EQ (table.textForRaw (0, 61), ParDes::valueText (pitchKind, 61));

    EXPECT_EQ (table.getParameterText (618), "Disabled");
    hub.programChangeWithAutomation = true;
    EXPECT_EQ (table.textForRaw (618, 0), "U 1: P 1 " + hub.getBankProgramName (0, 0));
    EXPECT_EQ (table.textForRaw (618, 401), "F 1: P 6 " + hub.getBankProgramName (4, 5));
    EXPECT_EQ (table.textForRaw (618, 791), "F 4: P 99 " + hub.getBankProgramName (7, 98));
    EXPECT_EQ (table.textForRaw (618, -1), "");

    hub.storeValue (1025, 99);
    EXPECT_EQ (table.getParameterText (619), "99");
    EXPECT_FLOAT_EQ (table.getParameter (619), 99.0f / 127.0f);
    EXPECT_EQ (table.getParameterText (622), "OFF");
    hub.storeValue (1028, 1);
    EXPECT_EQ (table.getParameterText (622), "ON");
    EXPECT_EQ (table.getParameterText (700), "");
    EXPECT_EQ (table.getParameter (700), 0.0f);
}

TEST_F (Automation, ProgramNumberMovesTheSelectionAndLoadsOnlyWithTheOption)
{
    const auto before = hub.getCurrentProgram();
    table.setParameter (618, 205.0f / 791.0f);
    EXPECT_EQ (hub.currentBank, 2);
    EXPECT_EQ (hub.currentProgram, 7);
    EXPECT_EQ (hub.getCurrentProgram(), before) << "the option is off: nothing loaded";
    EXPECT_TRUE (hub.takeEvents().empty());

    hub.programChangeWithAutomation = true;
    table.setParameter (618, 401.0f / 791.0f);
    EXPECT_EQ (hub.currentBank, 4);
    EXPECT_EQ (hub.currentProgram, 5);
    EXPECT_EQ (hub.getCurrentProgram(), hub.getBankProgram (4, 5));
    EXPECT_EQ (hub.takeEvents(), (std::vector<uint32_t>{HubEvent::programLoaded}));

    hub.storeValue (1024, -1);
    table.setParameter (618, 0.0f);
    EXPECT_EQ (hub.currentBank, 0) << "after a cleared selection even slot 0 selects";
}

TEST_F (Automation, SlidersAndLatches)
{
    hub.selectOutputPort (1);
    auto& out = system->recorders[0];
    table.setParameter (620, 1.0f);           // Slider 2
    table.setParameter (621, 64.0f / 127.0f); // Slider Press
    EXPECT_EQ (hub.sliderToHost[2], 127);
    EXPECT_EQ (hub.sliderSent[1], 64);
    table.setParameter (623, 1.0f);
    EXPECT_EQ (hub.latches[1], 1);
    EXPECT_EQ (hub.takeEvents(), (std::vector<uint32_t>{HubEvent::sliders, HubEvent::sliders, HubEvent::latch2}));

    juce::Thread::sleep (50);
    const auto sent = out.taken();
    ASSERT_EQ (sent.size(), 2u);
    EXPECT_EQ (sent[0].bytes, (std::vector<uint8_t>{0xB0, 15, 127}));
    EXPECT_EQ (sent[1].bytes, (std::vector<uint8_t>{0xB0, 17, 64}));
}
