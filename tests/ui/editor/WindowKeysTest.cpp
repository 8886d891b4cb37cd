// Keys that reach the editor's window unused play the computer keyboard: those of the window the
// editor is in now, not those of a window it has left.
#include "ui/editor/WindowKeys.h"
#include "core/RavlinAudioProcessor.h"
#include "support/FakeMidiDevices.h"
#include "ui/keyboard/KeyPlayClass.h"

#include <gtest/gtest.h>

namespace
{
struct Window : public juce::Component
{
    Window()
    {
        setSize (200, 100);
        addToDesktop (juce::ComponentPeer::windowIsTemporary);
    }
    ~Window() override { removeFromDesktop(); }

    /** A key as the system hands it to the window; whether something used it. */
    bool press (char c) { return getPeer()->handleKeyPress (juce::KeyPress (c, {}, (juce::juce_wchar)c)); }
};
} // namespace

TEST (WindowKeys, OnlyTheWindowFollowedPlaysTheKeyboard)
{
    juce::ScopedJuceInitialiser_GUI messageThread;
    RavlinAudioProcessor processor (std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File());
    KeyPlayClass player (processor.getHub(), KeyPlayClass::windowMode);
    player.isKeyDown = [] (int) { return true; }; // every note stays held
    const auto base = player.getBaseNote();       // z, then s x d c: the next four notes
    Window first, second;
    {
        WindowKeys keys (player);
        keys.follow (&first);
        EXPECT_TRUE (first.press ('z'));
        EXPECT_TRUE (player.isSounding (base));
        EXPECT_FALSE (second.press ('s'));
        EXPECT_FALSE (player.isSounding (base + 1)) << "a window it does not follow";

        keys.follow (&second);
        EXPECT_FALSE (first.press ('x'));
        EXPECT_FALSE (player.isSounding (base + 2)) << "the window it left";
        EXPECT_TRUE (second.press ('d'));
        EXPECT_TRUE (player.isSounding (base + 3));
    }
    EXPECT_FALSE (second.press ('c'));
    EXPECT_FALSE (player.isSounding (base + 4)) << "gone with the editor";
}
