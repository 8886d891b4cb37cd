// The value menu on a real display: shown under its anchor, answering with the value or -1.
#include "instrument/ParDes.h"
#include "support/MessagePump.h"
#include "ui/controls/ValueMenus.h"

#include <gtest/gtest.h>

namespace
{
juce::Component* findMenuWindow()
{
    auto& desktop = juce::Desktop::getInstance();
    for (int i = desktop.getNumComponents(); --i >= 0;)
        if (auto* c = desktop.getComponent (i); c != nullptr && c->isVisible() && c->getName() != "anchor")
            return c;
    return nullptr;
}

class ValueMenu : public ::testing::Test
{
protected:
    void SetUp() override
    {
        anchor.setName ("anchor");
        anchor.setBounds (100, 100, 80, 24);
        // Menus close at once while the process has no focused window.
        anchor.setWantsKeyboardFocus (true);
        anchor.addToDesktop (juce::ComponentPeer::windowAppearsOnTaskbar);
        anchor.setVisible (true);
        anchor.toFront (true);
        ASSERT_TRUE (ravlin::test::pumpUntil (
            [this]
            {
                if (!juce::Process::isForegroundProcess())
                    anchor.toFront (true);
                return juce::Process::isForegroundProcess();
            }))
            << "the test window never got the focus";
    }

    void TearDown() override
    {
        juce::PopupMenu::dismissAllActiveMenus();
        ravlin::test::pumpMessages (100);
    }

    juce::ScopedJuceInitialiser_GUI gui;
    juce::Component anchor;
};
} // namespace

TEST_F (ValueMenu, DismissingYieldsMinusOne)
{
    int chosen = -2;
    ParDes::chooseValue (12, 1, &anchor, [&chosen] (int v) { chosen = v; });
    ASSERT_TRUE (ravlin::test::pumpUntil ([] { return findMenuWindow() != nullptr; })) << "the menu did not open";
    EXPECT_EQ (chosen, -2) << "nothing is chosen while the menu shows";

    juce::PopupMenu::dismissAllActiveMenus();
    EXPECT_TRUE (ravlin::test::pumpUntil ([&chosen] { return chosen != -2; }));
    EXPECT_EQ (chosen, -1);
}

TEST_F (ValueMenu, ChoosingAnItemYieldsItsValue)
{
    int chosen = -2;
    ParDes::chooseValue (12, 1, &anchor, [&chosen] (int v) { chosen = v; });
    ASSERT_TRUE (ravlin::test::pumpUntil ([] { return findMenuWindow() != nullptr; })) << "the menu did not open";
    auto* menu = findMenuWindow();
    ASSERT_NE (menu, nullptr);
    EXPECT_GE (menu->getY(), anchor.getBottom() - 1) << "the menu opens under its anchor";

    menu->keyPressed (juce::KeyPress (juce::KeyPress::downKey));
    menu->keyPressed (juce::KeyPress (juce::KeyPress::downKey));
    menu->keyPressed (juce::KeyPress (juce::KeyPress::returnKey));
    EXPECT_TRUE (ravlin::test::pumpUntil ([&chosen] { return chosen != -2; }));
    EXPECT_EQ (chosen, 1) << "the second item, \"ON\", is value 1";
}
