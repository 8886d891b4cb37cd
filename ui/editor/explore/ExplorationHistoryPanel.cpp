#include "ui/editor/explore/ExplorationHistoryPanel.h"

#include "core/RavlinAudioProcessor.h"

ExplorationHistoryPanel::ExplorationHistoryPanel (RavlinAudioProcessor& p, juce::File folder)
    : processor (p), libraryFolder (std::move (folder))
{
    auditionButton.onClick = [this] { audition(); };
    storeButton.onClick = [this] { store(); };
    for (auto* c : std::initializer_list<juce::Component*>{&list, &auditionButton, &storeButton, &status})
        addAndMakeVisible (c);
    list.setRowHeight (22);
    timerCallback();
    startTimerHz (4);
    setSize (520, 360);
}

ExplorationHistoryPanel::~ExplorationHistoryPanel()
{
    stopTimer();
}

int ExplorationHistoryPanel::getNumRows()
{
    return processor.getExploreSession().getHistory().size();
}

juce::String ExplorationHistoryPanel::rowText (int row) const
{
    const auto* entry = processor.getExploreSession().getHistory().at (row);
    if (entry == nullptr)
        return {};
    return juce::Time (entry->madeAtMs).toString (false, true, true, true) + "  Explored " +
           juce::String (entry->number) + "  " + juce::String (entry->madeBy);
}

void ExplorationHistoryPanel::paintListBoxItem (int row, juce::Graphics& g, int width, int height, bool selected)
{
    g.fillAll (selected ? juce::Colours::darkgrey : juce::Colours::black);
    g.setColour (juce::Colours::white);
    g.drawText (rowText (row), 6, 0, width - 12, height, juce::Justification::centredLeft, true);
}

void ExplorationHistoryPanel::listBoxItemDoubleClicked (int, const juce::MouseEvent&)
{
    audition();
}

void ExplorationHistoryPanel::audition()
{
    const auto row = list.getSelectedRow();
    if (!processor.getExploreSession().audition (row))
    {
        status.setText ("Choose a program in the list first.", juce::dontSendNotification);
        return;
    }
    status.setText ("Explored " + juce::String (processor.getExploreSession().getHistory().at (row)->number) +
                        " is the edited program and went to the instrument. Undo takes it back.",
                    juce::dontSendNotification);
}

void ExplorationHistoryPanel::store()
{
    const auto row = list.getSelectedRow();
    if (processor.getExploreSession().getHistory().at (row) == nullptr)
    {
        status.setText ("Choose a program in the list first.", juce::dontSendNotification);
        return;
    }
    juce::String message;
    processor.getExploreSession().storeInLibrary (row, libraryFolder, message);
    status.setText (message, juce::dontSendNotification);
}

void ExplorationHistoryPanel::timerCallback()
{
    const auto& history = processor.getExploreSession().getHistory();
    const auto newest = history.empty() ? 0 : history.at (0)->number;
    if (history.size() == shownSize && newest == shownNewest)
        return;
    // The newest goes on top: what was chosen moves down with the rows that came before it.
    const auto selected = list.getSelectedRow();
    const auto added = shownNewest < 0 ? 0 : newest - shownNewest;
    shownSize = history.size();
    shownNewest = newest;
    list.updateContent();
    if (selected >= 0)
        list.selectRow (juce::jmin (selected + added, shownSize - 1));
    list.repaint();
}

void ExplorationHistoryPanel::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);
}

void ExplorationHistoryPanel::resized()
{
    auto area = getLocalBounds().reduced (10);
    status.setBounds (area.removeFromBottom (40));
    auto buttons = area.removeFromBottom (30);
    auditionButton.setBounds (buttons.removeFromLeft (120).reduced (2));
    storeButton.setBounds (buttons.removeFromLeft (140).reduced (2));
    list.setBounds (area);
}
