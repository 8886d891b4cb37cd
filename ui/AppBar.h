#pragma once

#include "ui/SmallWidgets.h"

class MidiCntrState;

/** The application bar: the command row (BANKS … WRITE), the channel label and the section
    row whose buttons jump to sections. */
class AppBar : public juce::Component
{
public:
    static constexpr int commandStyle = 130, sectionStyle = 135;
    static constexpr int firstSectionCommand = 500; // + button index

    explicit AppBar (MidiCntrState& hub);
    ~AppBar() override;

    /** Every button of both rows reports to the listener. */
    void addButtonListener (stsbutChangeListener* l);
    void removeButtonListener (stsbutChangeListener* l);
    StsBut* findButton (int command) noexcept;
    StsBut& getSectionButton (int index) noexcept { return *sectionButtons[index]; }
    void updateChannel();
    const juce::String& getChannelText() const noexcept { return channelText; }
    WinMovCan& getWindowHandle() noexcept { return windowHandle; }
    static juce::Rectangle<int> channelLabelBounds() noexcept { return {322 + 8, 4, 56, 15}; }
    /** A press on the channel label. */
    std::function<void()> onChannelClick;
    void mouseDown (const juce::MouseEvent& e) override;

    void paint (juce::Graphics& g) override;
    void resized() override;

private:
    MidiCntrState& hub;
    juce::OwnedArray<StsBut> commandButtons, sectionButtons;
    juce::String channelText;
    WinMovCan windowHandle;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AppBar)
};
