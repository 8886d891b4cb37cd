#pragma once

#include <juce_core/juce_core.h>

#include <functional>

/** What a menu or an import asks of the window it works in: a message over the editor, and a
    question whose OK runs an action. */
struct Prompts
{
    std::function<void (const juce::String& text)> tell;
    std::function<void (const juce::String& question, std::function<void()> onOk)> ask;
};
