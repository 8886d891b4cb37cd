#include "core/HostSlotParameter.h"

HostSlotParameter::HostSlotParameter (AutomationTable& t, int s)
    // Zero-padded, so that hosts listing controls by identifier (LV2) keep the slot order.
    : juce::AudioProcessorParameterWithID (juce::ParameterID ("slot" + juce::String (s).paddedLeft ('0', 3), 1),
                                           t.getParameterName (s)),
      slot (s), table (t)
{
}

float HostSlotParameter::getValue() const
{
    return table.getParameter (slot);
}

void HostSlotParameter::setValue (float newValue)
{
    table.setParameter (slot, newValue);
}

juce::String HostSlotParameter::getText (float normalisedValue, int maximumLength) const
{
    const auto text = table.textForRaw (slot, AutomationTable::rawFor (normalisedValue, table.highest (slot)));
    return maximumLength > 0 ? text.substring (0, maximumLength) : text;
}

float HostSlotParameter::getValueForText (const juce::String& text) const
{
    const auto top = table.highest (slot);
    if (top <= 0)
        return 0.0f;
    const auto wanted = text.trim();
    for (int raw = 0; raw <= top; ++raw)
        if (table.textForRaw (slot, raw).trim().equalsIgnoreCase (wanted))
            return (float)raw / (float)top;
    return (float)juce::jlimit (0, top, wanted.getIntValue()) / (float)top;
}

int HostSlotParameter::getNumSteps() const
{
    return std::max (2, table.highest (slot) + 1);
}
