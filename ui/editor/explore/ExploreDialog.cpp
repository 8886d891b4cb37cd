#include "ui/editor/explore/ExploreDialog.h"

#include "core/RavlinAudioProcessor.h"

namespace
{
constexpr int rowHeight = 24, columnWidth = 170, margin = 10;
}

ExploreDialog::ExploreDialog (RavlinAudioProcessor& p, Mode m) : processor (p), mode (m)
{
    const auto groups = ravlin::ExploreMask::groups (processor.getHub().parameterTable);
    for (const auto& group : groups)
    {
        auto* tick = groupTicks.add (new juce::ToggleButton (group.name));
        tick->setToggleState (group.onByDefault, juce::dontSendNotification);
        addAndMakeVisible (tick);
    }
    for (auto* tick : {&layerA, &layerB})
    {
        tick->setToggleState (true, juce::dontSendNotification);
        addAndMakeVisible (tick);
    }
    allButton.onClick = [this]
    {
        for (auto* tick : groupTicks)
            tick->setToggleState (true, juce::dontSendNotification);
    };
    defaultsButton.onClick = [this, groups]
    {
        for (int g = 0; g < groupTicks.size(); ++g)
            groupTicks[g]->setToggleState (groups[(size_t)g].onByDefault, juce::dontSendNotification);
        layerA.setToggleState (true, juce::dontSendNotification);
        layerB.setToggleState (true, juce::dontSendNotification);
    };
    newSeedButton.onClick = [this] { seed.setText (juce::String (ravlin::ProgramExplorer::freshSeed())); };
    applyButton.onClick = [this] { apply(); };
    for (auto* button : {&allButton, &defaultsButton, &newSeedButton, &applyButton})
        addAndMakeVisible (button);

    amount.setRange (0.0, 100.0, 1.0);
    amount.setValue (20.0, juce::dontSendNotification);
    amount.setTextValueSuffix (" %");
    if (mode == Mode::mutate)
    {
        addAndMakeVisible (amount);
        addAndMakeVisible (amountLabel);
    }
    seed.setInputRestrictions (10, "0123456789");
    seed.setText (juce::String (ravlin::ProgramExplorer::freshSeed()));
    addAndMakeVisible (seed);
    addAndMakeVisible (seedLabel);
    addAndMakeVisible (status);
    setSize (3 * columnWidth + 2 * margin, 14 * rowHeight);
}

void ExploreDialog::apply()
{
    std::vector<bool> ticked;
    for (auto* tick : groupTicks)
        ticked.push_back (tick->getToggleState());
    const auto mask = ravlin::ExploreMask::fromGroups (processor.getHub().parameterTable, ticked,
                                                       layerA.getToggleState(), layerB.getToggleState());
    if (mask.count() == 0)
    {
        status.setText ("Tick at least one group and one layer: nothing was changed.", juce::dontSendNotification);
        return;
    }
    const auto used = (uint32_t)seed.getText().getLargeIntValue();
    auto& session = processor.getExploreSession();
    const auto& entry = mode == Mode::randomise ? session.randomise (mask, used)
                                                : session.mutate (mask, amount.getValue() / 100.0, used);
    status.setText (juce::String (entry.madeBy) + ": applied as Explored " + juce::String (entry.number) +
                        ". Undo takes it back.",
                    juce::dontSendNotification);
    seed.setText (juce::String (ravlin::ProgramExplorer::freshSeed()));
}

void ExploreDialog::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);
}

void ExploreDialog::resized()
{
    auto area = getLocalBounds().reduced (margin);
    const int rows = (groupTicks.size() + 2) / 3;
    auto ticks = area.removeFromTop (rows * rowHeight);
    for (int i = 0; i < groupTicks.size(); ++i)
        groupTicks[i]->setBounds (ticks.getX() + (i / rows) * columnWidth, ticks.getY() + (i % rows) * rowHeight,
                                  columnWidth, rowHeight);
    auto row = area.removeFromTop (rowHeight);
    layerA.setBounds (row.removeFromLeft (columnWidth / 2));
    layerB.setBounds (row.removeFromLeft (columnWidth / 2));
    allButton.setBounds (row.removeFromLeft (80).reduced (2));
    defaultsButton.setBounds (row.removeFromLeft (80).reduced (2));
    row = area.removeFromTop (rowHeight);
    amountLabel.setBounds (row.removeFromLeft (60));
    amount.setBounds (row);
    row = area.removeFromTop (rowHeight);
    seedLabel.setBounds (row.removeFromLeft (60));
    seed.setBounds (row.removeFromLeft (120).reduced (1));
    newSeedButton.setBounds (row.removeFromLeft (90).reduced (2));
    applyButton.setBounds (row.removeFromRight (90).reduced (2));
    status.setBounds (area.removeFromTop (2 * rowHeight));
}
