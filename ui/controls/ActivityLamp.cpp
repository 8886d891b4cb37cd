#include "ui/controls/ActivityLamp.h"

#include "ui/controls/RavlinLookAndFeel.h"

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

void ActivityLamp::setWarning (const juce::String& tooltip)
{
    if (tooltip == getTooltip() && warning == tooltip.isNotEmpty())
        return;
    warning = tooltip.isNotEmpty();
    setTooltip (tooltip);
    setDescription (tooltip);
    repaint();
}

void ActivityLamp::paint (juce::Graphics& g)
{
    const auto h = (float)getHeight();
    const juce::Rectangle<float> area{2.0f, h * 0.5f - 5.0f, 10.0f, 10.0f};
    if (warning)
    {
        // Amber, brighter while traffic flashes it.
        const auto amber = juce::Colour (lit ? 0xffffc040 : 0xffe09a20);
        g.setColour (amber.withAlpha (0.35f));
        g.fillEllipse (area.expanded (1.8f));
        g.setColour (amber);
        g.fillEllipse (area);
        g.setColour (juce::Colours::black);
        g.drawEllipse (area, 0.8f);
    }
    else
    {
        RavlinLookAndFeel::drawLamp (g, area, lit);
    }
    g.setColour (juce::Colour (0xffb0b0b4));
    g.setFont (RavlinLookAndFeel::font (11.0f));
    g.drawText (label, 15, 0, getWidth() - 15, getHeight(), juce::Justification::centredLeft, false);
}

std::unique_ptr<juce::AccessibilityHandler> ActivityLamp::createAccessibilityHandler()
{
    return std::make_unique<juce::AccessibilityHandler> (*this, juce::AccessibilityRole::staticText);
}
