#pragma once

#include "core/AutomationTable.h"

#include <juce_audio_processors/juce_audio_processors.h>

/** One host automation slot. Value, text and name come from the automation table, and a host
    change goes to it; reportToHost() tells the host a value without running that path again. */
class HostSlotParameter : public juce::AudioProcessorParameterWithID
{
public:
    HostSlotParameter (AutomationTable& table, int slot);

    float getValue() const override;
    void setValue (float newValue) override;
    float getDefaultValue() const override { return 0.0f; }
    juce::String getText (float normalisedValue, int maximumLength) const override;
    /** The stored value's own text, even for a byte beyond the slot's range. */
    juce::String getCurrentValueAsText() const override { return table.getParameterText (slot); }
    float getValueForText (const juce::String& text) const override;
    int getNumSteps() const override;
    bool isDiscrete() const override { return true; }
    bool isAutomatable() const override { return true; }
    bool isMetaParameter() const override { return false; }

    /** For changes made by the editor or the instrument: listeners (the host) hear the value,
        the table is not written again. */
    void reportToHost (float newValue) { sendValueChangedMessageToListeners (newValue); }

    const int slot;

private:
    AutomationTable& table;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (HostSlotParameter)
};
