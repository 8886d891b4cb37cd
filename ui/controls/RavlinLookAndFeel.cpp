#include "ui/controls/RavlinLookAndFeel.h"

#include "ui/controls/Fonts.h"

RavlinLookAndFeel::RavlinLookAndFeel()
{
    setColour (juce::PopupMenu::backgroundColourId, juce::Colours::black);
    setColour (juce::PopupMenu::textColourId, juce::Colours::white);
    setColour (juce::PopupMenu::highlightedBackgroundColourId, juce::Colour (0xff505058));
    setColour (juce::TextEditor::backgroundColourId, juce::Colour (box));
    setColour (juce::TextEditor::textColourId, juce::Colours::white);
    setColour (juce::TextEditor::outlineColourId, juce::Colour (boxFrame));
}

juce::Font RavlinLookAndFeel::font (float height, bool bold)
{
    return juce::Font (ravlin::arialName(), height, bold ? juce::Font::bold : juce::Font::plain);
}

void RavlinLookAndFeel::drawKnob (juce::Graphics& g, juce::Rectangle<float> area, int frame)
{
    const auto size = juce::jmin (area.getWidth(), area.getHeight());
    const auto r = area.withSizeKeepingCentre (size, size).reduced (size * 0.06f);
    const auto centre = r.getCentre();
    const auto radius = r.getWidth() * 0.5f;
    constexpr auto start = juce::MathConstants<float>::pi * (-150.0f / 180.0f);
    constexpr auto travel = juce::MathConstants<float>::pi * (300.0f / 180.0f);
    const auto angle = start + travel * (float)juce::jlimit (0, 60, frame) / 60.0f;

    // The scale arc, with the travelled part lit.
    juce::Path arc;
    arc.addCentredArc (centre.x, centre.y, radius, radius, 0.0f, start, start + travel, true);
    g.setColour (juce::Colour (knobRing));
    g.strokePath (arc, juce::PathStrokeType (juce::jmax (1.0f, radius * 0.14f)));
    if (frame > 0)
    {
        juce::Path lit;
        lit.addCentredArc (centre.x, centre.y, radius, radius, 0.0f, start, angle, true);
        g.setColour (juce::Colour (accent));
        g.strokePath (lit, juce::PathStrokeType (juce::jmax (1.0f, radius * 0.10f)));
    }

    // The body and its pointer.
    const auto body = r.reduced (radius * 0.24f);
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff5a5a62), body.getX(), body.getY(),
                                             juce::Colour (knobBody), body.getRight(), body.getBottom(), false));
    g.fillEllipse (body);
    g.setColour (juce::Colours::black);
    g.drawEllipse (body, juce::jmax (0.6f, radius * 0.03f));
    const auto inner = body.getWidth() * 0.5f;
    const juce::Point<float> tip (centre.x + std::sin (angle) * inner * 0.92f,
                                  centre.y - std::cos (angle) * inner * 0.92f);
    const juce::Point<float> base (centre.x + std::sin (angle) * inner * 0.35f,
                                   centre.y - std::cos (angle) * inner * 0.35f);
    g.setColour (juce::Colours::white);
    g.drawLine ({base, tip}, juce::jmax (1.0f, radius * 0.09f));
}

void RavlinLookAndFeel::drawLamp (juce::Graphics& g, juce::Rectangle<float> area, bool on)
{
    const auto size = juce::jmin (area.getWidth(), area.getHeight());
    const auto r = area.withSizeKeepingCentre (size, size);
    if (on)
    {
        g.setColour (juce::Colour (lampOn).withAlpha (0.35f));
        g.fillEllipse (r.expanded (size * 0.18f));
    }
    g.setGradientFill (juce::ColourGradient (juce::Colour (on ? 0xffffb0a0 : 0xff70302c), r.getCentreX(), r.getY(),
                                             juce::Colour (on ? lampOn : lampOff), r.getCentreX(), r.getBottom(),
                                             false));
    g.fillEllipse (r);
    g.setColour (juce::Colours::black);
    g.drawEllipse (r, juce::jmax (0.5f, size * 0.08f));
}

void RavlinLookAndFeel::drawValueBox (juce::Graphics& g, juce::Rectangle<float> area, const juce::String& text,
                                      float scale)
{
    g.setColour (juce::Colour (box));
    g.fillRoundedRectangle (area, 2.0f * scale);
    g.setColour (juce::Colour (boxFrame));
    g.drawRoundedRectangle (area, 2.0f * scale, juce::jmax (0.5f, scale));
    const auto arrowWidth = juce::jmin (area.getHeight(), 12.0f * scale);
    auto arrowArea = area.removeFromRight (arrowWidth).reduced (arrowWidth * 0.25f, area.getHeight() * 0.35f);
    juce::Path arrow;
    arrow.addTriangle (arrowArea.getX(), arrowArea.getY(), arrowArea.getRight(), arrowArea.getY(),
                       arrowArea.getCentreX(), arrowArea.getBottom());
    g.setColour (juce::Colour (accent));
    g.fillPath (arrow);
    g.setColour (juce::Colour (valueText));
    g.setFont (font (juce::jmax (1.0f, 11.0f * scale)));
    g.drawFittedText (text, area.reduced (3.0f * scale, 0.0f).toNearestInt(), juce::Justification::centred, 1, 0.7f);
}

void RavlinLookAndFeel::drawSlideSwitch (juce::Graphics& g, juce::Rectangle<float> area, bool on)
{
    const auto track = area.reduced (area.getWidth() * 0.05f, area.getHeight() * 0.2f);
    g.setColour (juce::Colour (box));
    g.fillRoundedRectangle (track, track.getHeight() * 0.5f);
    g.setColour (juce::Colour (boxFrame));
    g.drawRoundedRectangle (track, track.getHeight() * 0.5f, 1.0f);
    const auto knobSize = track.getHeight() * 1.1f;
    const auto x = on ? track.getRight() - knobSize : track.getX();
    const juce::Rectangle<float> knob (x, track.getCentreY() - knobSize * 0.5f, knobSize, knobSize);
    g.setColour (juce::Colour (on ? accent : 0xff8a8a90));
    g.fillEllipse (knob);
    g.setColour (juce::Colours::black);
    g.drawEllipse (knob, 1.0f);
}

void RavlinLookAndFeel::drawPopupMenuBackground (juce::Graphics& g, int, int)
{
    g.fillAll (findColour (juce::PopupMenu::backgroundColourId));
}
