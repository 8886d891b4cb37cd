#pragma once

#include "ui/GlbCont.h"

/** Told when the global panel's close mark is clicked (message 2222). */
class Global_Listener
{
public:
    virtual ~Global_Listener() = default;
    virtual void globalPanelMessage (int code) = 0;
};

/** The instrument's global settings: one control per global parameter 0..25, each reading the
    hub's global image; they repaint when a reply fills it. */
class Global_Container : public juce::Component
{
public:
    static constexpr int builtWidth = 600, builtHeight = 400;

    explicit Global_Container (MidiCntrState& hub);
    ~Global_Container() override;

    void addListener (Global_Listener* listener) { listeners.add (listener); }
    void removeListener (Global_Listener* listener) { listeners.remove (listener); }

    GlbCont* getControl (int k) const noexcept;
    juce::Rectangle<int> closeMarkBounds() const noexcept { return {getWidth() - 25, 10, 15, 15}; }

    void paint (juce::Graphics& g) override;
    void mouseUp (const juce::MouseEvent& e) override;

private:
    juce::OwnedArray<GlbCont> controls;
    juce::ListenerList<Global_Listener> listeners;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Global_Container)
};
