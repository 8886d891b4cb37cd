#include "ui/ActivityLamp.h"

#include "ui/RavlinLookAndFeel.h"

ActivityLamp::ActivityLamp (const juce::String& text, const juce::String& description) : label (text)
{
    setTitle (description);
    setInterceptsMouseClicks (false, false);
}

void ActivityLamp::update (uint32_t count, juce::uint32 nowMs)
{
    auto shouldLight = lit && nowMs - litAt < holdMs;
    if (seenCount && count != lastCount)
    {
        shouldLight = true;
        litAt = nowMs;
    }
    seenCount = true;
    lastCount = count;
    if (shouldLight != lit)
    {
        lit = shouldLight;
        repaint();
    }
}

void ActivityLamp::paint (juce::Graphics& g)
{
    const auto h = (float)getHeight();
    RavlinLookAndFeel::drawLamp (g, {2.0f, h * 0.5f - 5.0f, 10.0f, 10.0f}, lit);
    g.setColour (juce::Colour (0xffb0b0b4));
    g.setFont (RavlinLookAndFeel::font (11.0f));
    g.drawText (label, 15, 0, getWidth() - 15, getHeight(), juce::Justification::centredLeft, false);
}

std::unique_ptr<juce::AccessibilityHandler> ActivityLamp::createAccessibilityHandler()
{
    return std::make_unique<juce::AccessibilityHandler> (*this, juce::AccessibilityRole::staticText);
}
