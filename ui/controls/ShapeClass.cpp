#include "ui/controls/ShapeClass.h"

#include "ui/controls/RavlinLookAndFeel.h"

using Look = RavlinLookAndFeel;

ShapeClass::ShapeClass()
{
    setInterceptsMouseClicks (false, false);
}

void ShapeClass::setShape (int s)
{
    s = juce::jlimit (0, 19, s);
    if (s == shape)
        return;
    shape = s;
    repaint();
}

void ShapeClass::setModulation (int amount)
{
    amount = juce::jlimit (0, 127, amount);
    if (amount == modulation)
        return;
    modulation = amount;
    repaint();
}

float ShapeClass::level (int s, int mod, float phase)
{
    constexpr auto twoPi = juce::MathConstants<float>::twoPi;
    const auto m = (float)mod / 127.0f;
    const auto x = phase - std::floor (phase);
    switch (s)
    {
        case 0: return 0.0f;
        case 1: // saw, folding towards a double saw
        {
            const auto saw = 1.0f - 2.0f * x;
            const auto doubled = 1.0f - 2.0f * (2.0f * x - std::floor (2.0f * x));
            return saw * (1.0f - m * 0.5f) + doubled * m * 0.5f;
        }
        case 2: return x < 0.5f - 0.45f * m ? 1.0f : -1.0f; // pulse width
        case 3:                                             // triangle, skewed towards a ramp
        {
            const auto peak = 0.5f - 0.45f * m;
            return x < peak ? -1.0f + 2.0f * x / peak : 1.0f - 2.0f * (x - peak) / (1.0f - peak);
        }
        case 4: return std::sin (twoPi * x + m * std::sin (twoPi * x) * 2.0f); // sine, phase bent
        default: break;
    }
    if (s >= 17)
    {
        // Noise: a fixed pseudo-random pattern, its colour by the shape, its level by nothing.
        const auto step = (int)(x * (s == 17 ? 24.0f : s == 18 ? 48.0f : 96.0f));
        auto seed = (unsigned)step * 2654435761u + (unsigned)s * 40503u;
        seed ^= seed >> 13;
        return (float)(seed % 2000u) / 1000.0f - 1.0f;
    }
    // Wavetables 5..16: a few harmonics each, morphed by the modulation.
    const auto k = (float)(s - 4);
    auto sum = 0.0f, norm = 0.0f;
    for (int h = 1; h <= 6; ++h)
    {
        const auto hf = (float)h;
        const auto weight = std::abs (std::sin (k * hf * 0.7f + m * hf * 1.3f)) / hf;
        sum += weight * std::sin (twoPi * hf * x + k * hf * 0.3f);
        norm += weight;
    }
    return norm > 0.0f ? sum / norm : 0.0f;
}

void ShapeClass::paint (juce::Graphics& g)
{
    const auto area = getLocalBounds().toFloat();
    g.setColour (juce::Colour (Look::box));
    g.fillRoundedRectangle (area, 2.0f);
    g.setColour (juce::Colour (Look::boxFrame));
    g.drawRoundedRectangle (area.reduced (0.5f), 2.0f, 1.0f);
    const auto inner =
        area.reduced (juce::jmax (1.0f, area.getWidth() * 0.06f), juce::jmax (1.0f, area.getHeight() * 0.15f));
    juce::Path p;
    const int points = juce::jmax (8, (int)inner.getWidth());
    for (int i = 0; i <= points; ++i)
    {
        const auto phase = (float)i / (float)points;
        const auto y = inner.getCentreY() - level (shape, modulation, phase) * inner.getHeight() * 0.5f;
        const auto x = inner.getX() + phase * inner.getWidth();
        if (i == 0)
            p.startNewSubPath (x, y);
        else
            p.lineTo (x, y);
    }
    g.setColour (juce::Colour (Look::accent));
    g.strokePath (p, juce::PathStrokeType (juce::jmax (1.0f, area.getHeight() / 30.0f)));
}
