#include "ui/controls/RateSlider.h"
#include "ui/controls/Fonts.h"

RateSlider::RateSlider (int lowest, int highest) : minimum (lowest), maximum (std::max (lowest, highest))
{
    value = minimum;
}

RateSlider::~RateSlider()
{
    stopTimer();
}

void RateSlider::setValue (int newValue)
{
    value = juce::jlimit (minimum, maximum, newValue);
    repaint();
}

void RateSlider::change (int newValue)
{
    newValue = juce::jlimit (minimum, maximum, newValue);
    if (newValue == value)
        return;
    value = newValue;
    repaint();
    sendSynchronousChangeMessage();
}

double RateSlider::pixelsPerStep() const noexcept
{
    const auto track = std::max (1, getWidth() - 2 * (arrowWidth + 1));
    return (double)track / (double)std::max (1, maximum - minimum);
}

void RateSlider::dragTo (int x)
{
    change (minimum + juce::roundToInt ((x - (arrowWidth + 1)) / pixelsPerStep()));
}

void RateSlider::mouseDown (const juce::MouseEvent& e)
{
    const auto x = e.getPosition().x;
    if (x <= arrowWidth || x >= getWidth() - arrowWidth)
    {
        repeatStep = x <= arrowWidth ? -1 : 1;
        change (value + repeatStep);
        startTimer (repeatMs);
        return;
    }
    dragging = true;
    dragTo (x);
}

void RateSlider::mouseDrag (const juce::MouseEvent& e)
{
    if (dragging)
        dragTo (e.getPosition().x);
}

void RateSlider::mouseUp (const juce::MouseEvent&)
{
    stopTimer();
    repeatStep = 0;
    dragging = false;
}

void RateSlider::timerCallback()
{
    if (repeatStep == 0) // released
    {
        stopTimer();
        return;
    }
    change (value + repeatStep);
}

void RateSlider::paint (juce::Graphics& g)
{
    const auto bounds = getLocalBounds().toFloat();
    g.setColour (juce::Colour (0xff202020));
    g.fillRoundedRectangle (bounds, 3.0f);

    const auto h = bounds.getHeight();
    auto arrow = [&g, h] (float tipX, float baseX)
    {
        juce::Path p;
        p.addTriangle (tipX, h * 0.5f, baseX, h * 0.2f, baseX, h * 0.8f);
        g.fillPath (p);
    };
    g.setColour (juce::Colour (0xffc0c0c0));
    arrow (4.0f, (float)arrowWidth - 4.0f);
    arrow (bounds.getWidth() - 4.0f, bounds.getWidth() - (float)arrowWidth + 4.0f);

    const auto track = getLocalBounds().reduced (arrowWidth + 1, 4).toFloat();
    const auto fraction = (float)(value - minimum) / (float)std::max (1, maximum - minimum);
    g.setColour (juce::Colour (0xff3a6ea5));
    g.fillRect (track.withWidth (track.getWidth() * fraction));

    g.setColour (juce::Colour (0xfff3f3f3));
    g.setFont (juce::Font (ravlin::arialName(), 12.0f, juce::Font::plain));
    g.drawText (juce::String (value) + " ms", track, juce::Justification::centred);
}
