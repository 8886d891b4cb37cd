#pragma once

#include "ui/panels/GlbCont.h"

/** Told when the global panel's close mark is clicked (message 2222). */
class Global_Listener
{
public:
    virtual ~Global_Listener() = default;
    virtual void globalPanelMessage (int code) = 0;
};

/** The instrument's global settings: one control per global parameter 0..25, each reading the
    hub's global image. Until the instrument's global dump has been read the controls are shown
    dimmed and cannot be used, with a line saying why; refresh() after each reply. */
class Global_Container : public juce::Component
{
public:
    static constexpr int builtWidth = 600, builtHeight = 400;

    explicit Global_Container (MidiCntrState& hub);
    ~Global_Container() override;

    void addListener (Global_Listener* listener) { listeners.add (listener); }
    void removeListener (Global_Listener* listener) { listeners.remove (listener); }

    GlbCont* getControl (int k) const noexcept;
    /** Reads the hub again: the values, whether they can be trusted, and why not. */
    void refresh();
    /** Empty while the values are the instrument's. */
    juce::String getNote() const { return note; }
    juce::Rectangle<int> closeMarkBounds() const noexcept { return {getWidth() - 25, 10, 15, 15}; }

    void paint (juce::Graphics& g) override;
    void mouseUp (const juce::MouseEvent& e) override;

private:
    MidiCntrState& hub;
    juce::String note;
    juce::OwnedArray<GlbCont> controls;
    juce::ListenerList<Global_Listener> listeners;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Global_Container)
};
