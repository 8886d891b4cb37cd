#include "core/AutomationTable.h"

#include <cmath>

AutomationTable::AutomationTable (MidiCntrState& h) : hub (h) {}

int AutomationTable::parameterIndex (int slot) const
{
    return juce::isPositiveAndBelow (slot, numSlots) ? hub.parameterTable.parameterForSlot (slot) : -1;
}

int AutomationTable::highest (int slot) const
{
    const auto p = parameterIndex (slot);
    return p < 0 ? 0 : hub.parameterTable.highest (p);
}

int AutomationTable::rawValue (int slot) const
{
    const auto p = parameterIndex (slot);
    if (p < 0)
        return 0;
    if (p < ravlin::ParameterTable::numImageParameters)
        return hub.getProgramByte (p);

    switch (p)
    {
        case 1024:
        {
            const int bank = hub.currentBank, program = hub.currentProgram;
            return bank < 0 || program < 0 ? -1 : bank * 99 + program;
        }
        case 1025: return hub.sliderToHost[0];
        case 1026: return hub.sliderToHost[2];
        case 1027: return hub.sliderToHost[1];
        case 1028: return hub.latches[0];
        case 1029: return hub.latches[1];
        default: return 0;
    }
}

juce::String AutomationTable::getParameterName (int slot) const
{
    if (!juce::isPositiveAndBelow (slot, numSlots))
        return juce::String (slot);
    return juce::String (hub.parameterTable.hostName (slot));
}

float AutomationTable::getParameter (int slot) const
{
    const auto top = highest (slot);
    if (top <= 0)
        return 0.0f;
    // A byte above its range (possible from a dump) reads as the top of the range.
    return (float)juce::jlimit (0, top, rawValue (slot)) / (float)top;
}

juce::String AutomationTable::getParameterText (int slot) const
{
    return textForRaw (slot, rawValue (slot));
}

juce::String AutomationTable::textForRaw (int slot, int raw) const
{
    const auto p = parameterIndex (slot);
    if (p < 0)
        return {};
    if (p < ravlin::ParameterTable::numImageParameters)
        return ParDes::valueText (hub.parameterTable.displayKind (p), raw);

    switch (p)
    {
        case 1024:
            if (!hub.programChangeWithAutomation)
                return "Disabled";
            return juce::isPositiveAndNotGreaterThan (raw, 791) ? slotLabel (raw) : juce::String();
        case 1025:
        case 1026:
        case 1027: return juce::String (raw);
        default: return raw != 0 ? "ON" : "OFF";
    }
}

juce::String AutomationTable::slotLabel (int programSlot) const
{
    const int bank = programSlot / 99, program = programSlot % 99;
    const auto name = hub.getBankProgramName (bank, program);
    const auto prefix = bank < 4 ? "U " + juce::String (bank + 1) : "F " + juce::String (bank - 3);
    return prefix + ": P " + juce::String (program + 1) + " " + name;
}

int AutomationTable::rawFor (float x, int top) noexcept
{
    if (!(x >= 0.0f)) // NaN too
        x = 0.0f;
    x = std::min (x, 1.0f);
    const auto scaled = (double)top * (double)x;
    const auto below = std::floor (scaled);
    const auto fraction = scaled - below;
    auto raw = (int)below;
    if (fraction > 0.5 || (fraction == 0.5 && (raw & 1) != 0))
        ++raw;
    return raw;
}

void AutomationTable::setParameter (int slot, float x)
{
    const auto p = parameterIndex (slot);
    if (p < 0)
        return;
    const auto top = highest (slot);
    const auto raw = rawFor (x, top);
    // Compared as the host reads it, so echoing a reported value never rewrites the byte;
    // a cleared program selection is no slot at all, so any value selects one.
    const auto current = rawValue (slot);
    const auto asRead = (p == ravlin::ParameterTable::programNumberIndex && current < 0)
                            ? -1
                            : juce::jlimit (0, std::max (0, top), current);
    if (raw == asRead)
        return;
    hub.hostChange (p, raw);
}
