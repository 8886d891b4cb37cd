// The value menu on a real display: shown under its anchor, answering with the value or -1.
#include "instrument/ParDes.h"
#include "support/MessagePump.h"
#include "support/UiEvents.h"
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

// Both ways of showing a value menu draw it black with white text, as the instrument's own menus.
TEST_F (ValueMenu, IsBlackWithWhiteTextHoweverItIsShown)
{
    const auto looksLikeAValueMenu = [] (const juce::String& name)
    {
        auto* menu = findMenuWindow();
        if (menu == nullptr)
            return ::testing::AssertionFailure() << "no menu";
        ravlin::test::saveSnapshot (*menu, name);
        const auto image = menu->createComponentSnapshot (menu->getLocalBounds());
        int black = 0, white = 0;
        for (int y = 0; y < image.getHeight(); ++y)
            for (int x = 0; x < image.getWidth(); ++x)
            {
                const auto c = image.getPixelAt (x, y);
                black += c.getBrightness() < 0.05f ? 1 : 0;
                white += c.getBrightness() > 0.95f ? 1 : 0;
            }
        const int all = image.getWidth() * image.getHeight();
        if (all == 0 || black < all / 2 || white == 0)
            return ::testing::AssertionFailure() << black << " black and " << white << " white of " << all;
        return ::testing::AssertionSuccess();
    };

    ParDes::chooseValue (12, 1, &anchor, [] (int) {});
    ASSERT_TRUE (ravlin::test::pumpUntil ([] { return findMenuWindow() != nullptr; }));
    ravlin::test::pumpMessages (100);
    EXPECT_TRUE (looksLikeAValueMenu ("value-menu"));
    juce::PopupMenu::dismissAllActiveMenus();
    ASSERT_TRUE (ravlin::test::pumpUntil ([] { return findMenuWindow() == nullptr; }));

    ValueMenus::show (ParDes::buildCategoryMenu (3), juce::PopupMenu::Options().withTargetComponent (&anchor),
                      [] (int) {});
    ASSERT_TRUE (ravlin::test::pumpUntil ([] { return findMenuWindow() != nullptr; }));
    ravlin::test::pumpMessages (100);
    EXPECT_TRUE (looksLikeAValueMenu ("category-menu"));
}
