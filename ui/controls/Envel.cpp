#include "ui/controls/Envel.h"

#include "ui/controls/RavlinLookAndFeel.h"

using Look = RavlinLookAndFeel;

namespace
{
// The drawing's horizontal budget: attack, decay and release 0..127 each take up to 60 units,
// the sustain plateau a fixed 100 / 127 of that.
constexpr float timeUnits = 60.0f, plateau = 100.0f * 60.0f / 127.0f, margin = 6.0f;
} // namespace

Envel::Envel() = default;

Envel::~Envel()
{
    stopTimer();
}

void Envel::setValue (int which, int value)
{
    if (!juce::isPositiveAndBelow (which, 4))
        return;
    const auto v = juce::jlimit (0, 127, value);
    if (values[(size_t)which] == v)
        return;
    values[(size_t)which] = v;
    repaint();
}

void Envel::setScale (float s)
{
    scale = s;
    repaint();
}

juce::Point<float> Envel::handlePosition (int handle) const
{
    const auto w = (float)getWidth(), h = (float)getHeight();
    const auto total = 3.0f * timeUnits + plateau;
    const auto unit = (w - 2.0f * margin * scale) / total;
    const auto top = margin * scale, bottom = h - margin * scale;
    const auto xAttack = margin * scale + (float)values[attack] / 127.0f * timeUnits * unit;
    const auto xDecay = xAttack + (float)values[decay] / 127.0f * timeUnits * unit;
    const auto ySustain = bottom - (float)values[sustain] / 127.0f * (bottom - top);
    const auto xRelease = xDecay + plateau * unit + (float)values[release] / 127.0f * timeUnits * unit;
    switch (handle)
    {
        case 0: return {xAttack, top};
        case 1: return {xDecay, ySustain};
        default: return {xRelease, bottom};
    }
}

int Envel::handleAt (juce::Point<float> p) const
{
    const auto reach = 7.0f * juce::jmax (0.5f, scale);
    for (int k = 0; k < 3; ++k)
        if (handlePosition (k).getDistanceFrom (p) <= reach)
            return k;
    return -1;
}

juce::Path Envel::shape() const
{
    const auto bottom = (float)getHeight() - margin * scale;
    const auto peak = handlePosition (0), corner = handlePosition (1), end = handlePosition (2);
    const auto unit = ((float)getWidth() - 2.0f * margin * scale) / (3.0f * timeUnits + plateau);
    const auto plateauEnd = corner.x + plateau * unit;
    juce::Path p;
    p.startNewSubPath (margin * scale, bottom);
    p.lineTo (peak);
    p.lineTo (corner);
    p.lineTo (plateauEnd, corner.y);
    p.lineTo (end);
    return p;
}

void Envel::paint (juce::Graphics& g)
{
    const auto area = getLocalBounds().toFloat();
    g.setColour (juce::Colour (Look::box));
    g.fillRoundedRectangle (area, 3.0f * scale);
    g.setColour (juce::Colour (Look::boxFrame));
    g.drawRoundedRectangle (area.reduced (0.5f), 3.0f * scale, 1.0f);

    auto curve = shape();
    auto filled = curve;
    filled.lineTo (handlePosition (2).x, area.getBottom() - margin * scale);
    filled.closeSubPath();
    g.setColour (juce::Colour (Look::accent).withAlpha (0.18f));
    g.fillPath (filled);
    g.setColour (juce::Colour (Look::accent));
    g.strokePath (curve, juce::PathStrokeType (juce::jmax (1.0f, 1.6f * scale)));

    for (int k = 0; k < 3; ++k)
    {
        const auto p = handlePosition (k);
        const auto r = 3.5f * juce::jmax (0.5f, scale);
        g.setColour (k == grabbed ? juce::Colours::white : juce::Colour (Look::title));
        g.fillEllipse (p.x - r, p.y - r, 2.0f * r, 2.0f * r);
    }
    if (changing >= 0)
    {
        static const char* const names[] = {"Attack ", "Decay ", "Sustain ", "Release "};
        g.setColour (juce::Colours::white);
        g.setFont (Look::font (11.0f * scale));
        g.drawText (names[changing] + juce::String (values[(size_t)changing]),
                    area.reduced (6.0f * scale, 3.0f * scale), juce::Justification::topRight, false);
    }
}

void Envel::mouseMove (const juce::MouseEvent& e)
{
    setMouseCursor (handleAt (e.position) >= 0 ? juce::MouseCursor::CrosshairCursor : juce::MouseCursor::NormalCursor);
}

void Envel::mouseDown (const juce::MouseEvent& e)
{
    grabbed = -1;
    if (e.mods.isRightButtonDown() || (scale < 0.6f && !anyScale))
    {
        if (onReport)
            onReport (zoomCode);
        return;
    }
    grabbed = handleAt (e.position);
    pressPoint = e.getPosition();
    pressValues = values;
    repaint();
}

void Envel::mouseDrag (const juce::MouseEvent& e)
{
    if (grabbed < 0)
        return;
    const auto d = e.getPosition() - pressPoint;
    const auto steps = [] (int pixels) { return (int)((float)pixels / pixelsPerStep); };
    const int time = grabbed == 0 ? attack : grabbed == 1 ? decay : release;
    setValue (time, pressValues[(size_t)time] + steps (d.x));
    changing = time;
    if (grabbed == 1)
    {
        const auto before = values[sustain];
        setValue (sustain, pressValues[sustain] + steps (-d.y));
        if (values[sustain] != before)
            changing = sustain;
    }
    repaint();
}

void Envel::mouseUp (const juce::MouseEvent&)
{
    if (grabbed < 0)
        return;
    grabbed = -1;
    changing = -1;
    repaint();
    startTimer (commitMs);
}

void Envel::timerCallback()
{
    stopTimer();
    if (onReport)
        onReport (commitCode);
}
