#pragma once

#include "core/MidiCntrState.h"

/** The instrument's program as the host sees it: 624 automatable slots, each bound to one
    parameter, with its name, its value as raw / highest and its display text. The values
    live in the hub; host calls may come from any thread and only use the hub's safe paths. */
class AutomationTable
{
public:
    static constexpr int numSlots = ravlin::ParameterTable::numHostSlots;

    explicit AutomationTable (MidiCntrState& hub);

    juce::String getParameterName (int slot) const;
    float getParameter (int slot) const;
    juce::String getParameterText (int slot) const;
    void setParameter (int slot, float x);

    /** The text a slot would show at a raw value. */
    juce::String textForRaw (int slot, int raw) const;
    /** The slot's parameter index, or -1 beyond the slots. */
    int parameterIndex (int slot) const;
    int highest (int slot) const;
    /** The stored value: a program byte, the program slot, a slider or a latch. */
    int rawValue (int slot) const;

    /** "U 1: P 1 " + name for slots 0..395, "F 1: P 1 " + name from 396 on. */
    juce::String slotLabel (int programSlot) const;

    /** x in 0..1 (anything else clamped, NaN as 0) times highest, halves to even. */
    static int rawFor (float x, int highest) noexcept;

private:
    MidiCntrState& hub;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AutomationTable)
};
