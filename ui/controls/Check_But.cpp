#include "ui/controls/Check_But.h"
#include "ui/controls/Fonts.h"

Check_But::Check_But (const juce::String& t) : text (t) {}

void Check_But::setTicked (bool shouldBeTicked)
{
    ticked = shouldBeTicked;
    repaint();
}

void Check_But::mouseDown (const juce::MouseEvent&)
{
    ticked = !ticked;
    repaint();
    sendSynchronousChangeMessage();
}

void Check_But::paint (juce::Graphics& g)
{
    const auto box = juce::Rectangle<float> (1.0f, (float)(getHeight() - 14) * 0.5f, 14.0f, 14.0f);
    g.setColour (juce::Colour (0xff282626));
    g.fillRect (box);
    g.setColour (juce::Colour (0xffb0b0b0));
    g.drawRect (box, 1.0f);
    if (ticked)
    {
        juce::Path tick;
        tick.startNewSubPath (box.getX() + 3.0f, box.getY() + 7.0f);
        tick.lineTo (box.getX() + 6.0f, box.getY() + 11.0f);
        tick.lineTo (box.getX() + 11.5f, box.getY() + 2.5f);
        g.setColour (juce::Colour (0xff8ed3ff));
        g.strokePath (tick, juce::PathStrokeType (2.0f));
    }
    g.setColour (juce::Colour (0xfff3f3f3));
    g.setFont (juce::Font (ravlin::arialName(), 14.0f, juce::Font::plain));
    g.drawText (text, 22, 0, getWidth() - 22, getHeight(), juce::Justification::centredLeft);
}
