#include "ui/editor/BankComp.h"

#include "core/MidiCntrState.h"

namespace
{
// Command numbers of the buttons: banks 0..7, sources by their codes, categories from 1000.
constexpr int categoryCommandBase = 1000;
} // namespace

BankComp::BankComp (MidiCntrState& h) : hub (h), grid (h)
{
    for (int i = 0; i < 8; ++i)
    {
        const auto text = i < 4 ? "BANK U" + juce::String (i + 1) : "BANK F" + juce::String (i - 3);
        auto* b = bankButtons.add (new StsBut (text, i, 140));
        b->addListener (this);
        addAndMakeVisible (b);
    }
    const std::pair<const char*, int> sources[] = {
        {"FILE", fileSource}, {"MIDI", midiSource}, {"PRESETS", presetsSource}};
    for (const auto& [text, code] : sources)
    {
        auto* b = sourceButtons.add (new StsBut (text, code, 140));
        b->addListener (this);
        addAndMakeVisible (b);
    }
    for (int k = 0; k < numCategories; ++k)
    {
        auto* b = categoryButtons.add (new StsBut (ParDes::categoryText (k), categoryCommandBase + k, 141));
        b->addListener (this);
        addAndMakeVisible (b);
    }
    useLoadedData.addChangeListener (this);
    addAndMakeVisible (useLoadedData);
    okButton.setColour (juce::TextButton::buttonColourId, juce::Colour (0xff282626));
    addAndMakeVisible (okButton);

    grid.addListener (this);
    grid.setColumnWidths ({50, 140, 100, 0});
    addAndMakeVisible (grid);
    chooseBank (0);
}

BankComp::~BankComp()
{
    grid.removeListener (this);
    useLoadedData.removeChangeListener (this);
    for (auto* list : {&bankButtons, &sourceButtons, &categoryButtons})
        for (auto* b : *list)
            b->removeListener (this);
}

void BankComp::send (int code)
{
    lastCode = code;
    sendSynchronousChangeMessage();
}

void BankComp::chooseBank (int bank)
{
    chosenBank = juce::jlimit (0, 7, bank);
    for (int i = 0; i < 8; ++i)
        bankButtons[i]->setSelected (i == chosenBank);
    for (auto* b : categoryButtons)
        b->setSelected (false);
    grid.setContent (0, chosenBank);
}

void BankComp::chooseCategory (int category)
{
    for (int k = 0; k < numCategories; ++k)
        categoryButtons[k]->setSelected (k == category);
    for (auto* b : bankButtons)
        b->setSelected (false);
    grid.setContent (1, category);
}

void BankComp::stsbutChanged (StsBut& button)
{
    const auto command = button.getCommand();
    if (command >= categoryCommandBase)
    {
        chooseCategory (command - categoryCommandBase);
        return;
    }
    if (command < 8)
    {
        chooseBank (command);
        send (bankChosen);
        return;
    }
    send (command);
}

void BankComp::gridAction (int, int, int)
{
    // The grid selects the row itself; the owner reads the selection.
}

void BankComp::changeListenerCallback (juce::ChangeBroadcaster*)
{
    send (useLoadedDataSwitch);
}

void BankComp::resized()
{
    for (int i = 0; i < 8; ++i)
        bankButtons[i]->setBounds (102, 50 + 36 * i, 80, 24);
    sourceButtons[0]->setBounds (202, 20, 70, 22);
    sourceButtons[1]->setBounds (280, 20, 70, 22);
    sourceButtons[2]->setBounds (358, 20, 80, 22);
    useLoadedData.setBounds (446, 26, 130, 18);
    for (int k = 0; k < numCategories; ++k)
        categoryButtons[k]->setBounds (582 + 78 * (k % 4), 50 + 36 * (k / 4), 70, 18);
    okButton.setBounds (582, 50 + 36 * 7, 70, 22);
    grid.setBounds (202, 50, 350, std::max (0, (getHeight() - 60) / 46 * 46));
}

void BankComp::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xff141414));
}
