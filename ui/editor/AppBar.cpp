#include "ui/editor/AppBar.h"

#include "core/MidiCntrState.h"
#include "ui/controls/RavlinLookAndFeel.h"
#include "ui/editor/SectionLayout.h"

using Look = RavlinLookAndFeel;

namespace
{
const std::pair<const char*, int> commands[] = {{"BANKS", 99},  {"FILE", 75},     {"EDIT", 73},
                                                {"MIDI", 77},   {"SEND", 701},    {"RECV", 71},
                                                {"WRITE", 969}, {"COMPARE", 702}, {"REVERT", 703}};
constexpr int numFirstRowCommands = 7;
} // namespace

AppBar::AppBar (MidiCntrState& h) : hub (h)
{
    for (const auto& [text, command] : commands)
        addAndMakeVisible (commandButtons.add (new StsBut (text, command, commandStyle)));
    for (int i = 0; i < SectionLayout::numSectionButtons; ++i)
        addAndMakeVisible (sectionButtons.add (
            new StsBut (SectionLayout::sectionButton (i).text, firstSectionCommand + i, sectionStyle)));
    addChildComponent (windowHandle);
    addAndMakeVisible (inputLamp);
    addAndMakeVisible (outputLamp);
    updateActivity (juce::Time::getMillisecondCounter()); // traffic before the bar opened is old news
    updateChannel();
    setSize (1024, SectionLayout::barHeight);
}

AppBar::~AppBar() = default;

void AppBar::addButtonListener (stsbutChangeListener* l)
{
    for (auto* b : commandButtons)
        b->addListener (l);
    for (auto* b : sectionButtons)
        b->addListener (l);
}

void AppBar::removeButtonListener (stsbutChangeListener* l)
{
    for (auto* b : commandButtons)
        b->removeListener (l);
    for (auto* b : sectionButtons)
        b->removeListener (l);
}

StsBut* AppBar::findButton (int command) noexcept
{
    for (auto* list : {&commandButtons, &sectionButtons})
        for (auto* b : *list)
            if (b->getCommand() == command)
                return b;
    return nullptr;
}

void AppBar::updateChannel()
{
    const auto text = "Chan: " + juce::String (hub.midiChannel.load());
    if (text == channelText)
        return;
    channelText = text;
    repaint();
}

void AppBar::setComparing (bool isComparing)
{
    if (auto* b = findButton (compareCommand); b != nullptr && b->isSelected() != isComparing)
        b->setSelected (isComparing);
}

void AppBar::updateActivity (juce::uint32 nowMs)
{
    inputLamp.update (hub.getPorts().messagesIn.load (std::memory_order_relaxed), nowMs);
    outputLamp.update (hub.getPorts().getMessagesOut(), nowMs);

    const auto behind = hub.linkBacklogMilliseconds();
    if (hub.linkFullForMilliseconds() > linkFullWarningMs && behind > 0)
        outputLamp.setWarning ("MIDI out is full: the instrument is " + juce::String (juce::roundToInt (behind)) +
                               " ms behind the host's automation");
    else
        outputLamp.setWarning ({});
}

void AppBar::resized()
{
    for (int i = 0; i < numFirstRowCommands; ++i)
        commandButtons[i]->setBounds (46 * i, 3, 46, 22);
    // The section row, COMPARE and REVERT at their full widths when the bar has room; in a
    // narrower bar they share what is left beside the lamps, edges rounded on one grid.
    constexpr int lampsWidth = 74, buttonsWidth = 59 * SectionLayout::numSectionButtons + 8 + 124 + 8;
    const auto k = juce::jlimit (0.1f, 1.0f, (float)(getWidth() - lampsWidth) / (float)buttonsWidth);
    auto place = [k] (juce::Component& c, int left, int width)
    {
        const auto l = juce::roundToInt ((float)left * k), r = juce::roundToInt ((float)(left + width) * k);
        c.setBounds (l, 32, r - l, 20);
    };
    for (int i = 0; i < sectionButtons.size(); ++i)
        place (*sectionButtons[i], 59 * i, 59);
    const auto x = 59 * sectionButtons.size() + 8;
    place (*commandButtons[numFirstRowCommands], x, 64);
    place (*commandButtons[numFirstRowCommands + 1], x + 68, 56);
    const auto lamps = juce::roundToInt ((float)buttonsWidth * k);
    inputLamp.setBounds (lamps, 32, 32, 20);
    outputLamp.setBounds (lamps + 34, 32, 40, 20);
    windowHandle.setBounds (getWidth() - 60, 4, 54, 22);
}

void AppBar::setSyncText (const juce::String& text)
{
    if (text == syncText)
        return;
    syncText = text;
    repaint (syncLampBounds());
}

void AppBar::mouseDown (const juce::MouseEvent& e)
{
    if (channelLabelBounds().contains (e.getPosition()) && onChannelClick)
        onChannelClick();
    if (syncLampBounds().contains (e.getPosition()) && syncText.isNotEmpty() && onSyncClick)
        onSyncClick();
}

void AppBar::paint (juce::Graphics& g)
{
    const auto label = channelLabelBounds();
    g.setColour (juce::Colours::black);
    g.fillRect (label);
    g.setColour (juce::Colour (0xffb0b0b4));
    g.setFont (Look::font (12.0f));
    g.drawText (channelText, label, juce::Justification::centred, false);

    if (syncText.isNotEmpty())
    {
        const auto lamp = syncLampBounds();
        const auto colour = syncText == "IN SYNC"   ? juce::Colour (0xff4fc36a)
                            : syncText == "DIFFERS" ? juce::Colour (0xffffb040)
                                                    : juce::Colour (0xff9a9aa0);
        g.setColour (juce::Colours::black);
        g.fillRect (lamp);
        g.setColour (colour);
        g.drawRect (lamp);
        g.drawText (syncText, lamp, juce::Justification::centred, false);
    }
}
