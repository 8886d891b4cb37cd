#pragma once

#include "instrument/GlobalParameters.h"

#include <juce_gui_basics/juce_gui_basics.h>

class MidiCntrState;

/** One global parameter's control: a knob, a toggle or a menu over byte k of the hub's global
    image. It keeps no value of its own; a change goes to the instrument as NRPN 1024 + k. */
class GlbCont : public juce::Component
{
public:
    GlbCont (MidiCntrState& hub, int index);

    int getIndex() const noexcept { return index; }
    int getValue() const;
    /** Clamps, and only on a change stores the byte, sends the NRPN and repaints. */
    void setValue (int newValue);

    /** The menu's items as offered: identifier v + 1 for every value with a text. */
    juce::PopupMenu buildMenu() const;

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    void mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel) override;

private:
    void paintKnob (juce::Graphics& g);

    MidiCntrState& hub;
    const int index;
    int dragStartValue = 0;
    bool pressed = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GlbCont)
};
