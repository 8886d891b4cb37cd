#include "ui/panels/MIDI_Sync.h"
#include "ui/controls/Fonts.h"

namespace
{
const juce::Colour textColour (0xfff3f3f3);

juce::Font panelFont()
{
    return juce::Font (ravlin::arialName(), 12.0f, juce::Font::plain);
}
} // namespace

MIDI_Sync::MIDI_Sync()
{
    for (auto* label : {&sampleRateLabel, &delayLabel})
    {
        label->setFont (panelFont());
        label->setColour (juce::Label::textColourId, textColour);
        label->setBorderSize ({});
        addAndMakeVisible (*label);
    }
    delayLabel.setText ("Delay:", juce::dontSendNotification);
    sampleRateLabel.setBounds (76, 30, 60, 14);
    delayLabel.setBounds (26, 48, 48, 24); // up to the slider

    addAndMakeVisible (delaySlider);
    delaySlider.setBounds (76, 50, 200, 18);
    delaySlider.addChangeListener (this);
    setSize (panelWidth, panelHeight);
}

MIDI_Sync::~MIDI_Sync()
{
    delaySlider.removeChangeListener (this);
}

juce::String MIDI_Sync::sampleRateText (int index)
{
    const char* const texts[] = {"44100 Hz", "48000 Hz", "88200 Hz", "96000 Hz", "176400 Hz", "192000 Hz"};
    return juce::isPositiveAndBelow (index, 6) ? texts[index] : "";
}

void MIDI_Sync::fill (int mode, int index, const std::array<int, 7>& values)
{
    latencyMode = mode;
    sampleRateIndex = index;
    delays = values;
    sampleRateLabel.setText (sampleRateText (index), juce::dontSendNotification);
    // A stored value outside the slider's range shows at the nearest end and stays as it is.
    delaySlider.setValue (juce::isPositiveAndBelow (index, 7) ? delays[(size_t)index] : 0);
}

void MIDI_Sync::changeListenerCallback (juce::ChangeBroadcaster*)
{
    if (!juce::isPositiveAndBelow (sampleRateIndex, 7))
        return;
    delays[(size_t)sampleRateIndex] = delaySlider.getValue();
    sendChangeMessage();
}

void MIDI_Sync::paint (juce::Graphics& g)
{
    g.setFont (panelFont());
    g.setColour (textColour);
    g.drawSingleLineText ("Latency settings:", 20, 14);
    g.drawSingleLineText ("S.Rate: ", 30, 41);
}
