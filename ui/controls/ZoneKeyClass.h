#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

/** The AB MODE panel's small split display: a row of keys with the split point marked. A release
    inside it asks for the zoomed AB MODE panel. */
class ZoneKeyClass : public juce::Component
{
public:
    ZoneKeyClass();
    void setSplit (int note);
    int getSplit() const noexcept { return split; }
    std::function<void()> onOpen;

    void paint (juce::Graphics& g) override;
    void mouseUp (const juce::MouseEvent& e) override;
    bool keyPressed (const juce::KeyPress& key) override;
    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;

private:
    int split = 60;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ZoneKeyClass)
};

/** The zoomed AB MODE panel's split keyboard: 505 pixels of keys; press and release set the
    split point, a drag previews it. */
class ZoneKeyClassB : public juce::Component
{
public:
    static constexpr int keyboardWidth = 505;

    explicit ZoneKeyClassB (int numKeys = 128);
    void setSplit (int note);
    int getSplit() const noexcept { return split; }
    int splitAt (int x) const noexcept;

    std::function<void (int)> onPress, onDrag, onRelease;

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;

private:
    const int numKeys;
    int split = 60;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ZoneKeyClassB)
};
