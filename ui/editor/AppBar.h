#pragma once

#include "ui/controls/ActivityLamp.h"
#include "ui/controls/SmallWidgets.h"

class MidiCntrState;

/** The application bar: the command row (BANKS … WRITE), the channel label, the section
    row whose buttons jump to sections, and after it COMPARE, REVERT and the activity lamps of
    the plug-in's own MIDI ports. */
class AppBar : public juce::Component
{
public:
    static constexpr int commandStyle = 130, sectionStyle = 135;
    static constexpr int firstSectionCommand = 500; // + button index
    static constexpr int compareCommand = 702, revertCommand = 703;

    explicit AppBar (MidiCntrState& hub);
    ~AppBar() override;

    /** Every button of both rows reports to the listener. */
    void addButtonListener (stsbutChangeListener* l);
    void removeButtonListener (stsbutChangeListener* l);
    StsBut* findButton (int command) noexcept;
    StsBut& getSectionButton (int index) noexcept { return *sectionButtons[index]; }
    void updateChannel();
    /** Lit while the stored version is shown. */
    void setComparing (bool isComparing);
    /** Reads the ports' message counts into the lamps. OUT turns amber while the host's
        automation has waited for the link for more than a second, and says how far behind. */
    void updateActivity (juce::uint32 nowMs);
    static constexpr double linkFullWarningMs = 1000.0;
    ActivityLamp& getInputLamp() noexcept { return inputLamp; }
    ActivityLamp& getOutputLamp() noexcept { return outputLamp; }
    const juce::String& getChannelText() const noexcept { return channelText; }
    WinMovCan& getWindowHandle() noexcept { return windowHandle; }
    static juce::Rectangle<int> channelLabelBounds() noexcept { return {322 + 8, 4, 56, 15}; }
    /** A press on the channel label. */
    std::function<void()> onChannelClick;

    /** Whether the instrument holds the program being edited: "IN SYNC", "DIFFERS", "NO REPLY"
        or nothing. A press on it (when it shows something) calls onSyncClick. */
    void setSyncText (const juce::String& text);
    const juce::String& getSyncText() const noexcept { return syncText; }
    static juce::Rectangle<int> syncLampBounds() noexcept { return {392, 4, 72, 15}; }
    std::function<void()> onSyncClick;
    void mouseDown (const juce::MouseEvent& e) override;

    void paint (juce::Graphics& g) override;
    void resized() override;

private:
    MidiCntrState& hub;
    juce::OwnedArray<StsBut> commandButtons, sectionButtons;
    juce::String channelText, syncText;
    WinMovCan windowHandle;
    ActivityLamp inputLamp{"IN", "MIDI input activity"}, outputLamp{"OUT", "MIDI output activity"};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AppBar)
};
