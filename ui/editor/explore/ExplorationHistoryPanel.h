#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class RavlinAudioProcessor;

/** "Exploration History": the programs randomise, mutate and morph made in this session, newest
    first, with what made each and when. Audition makes the chosen one the edited program
    (undoable) and sends it to the instrument; Store adds it to the library, never over a record. */
class ExplorationHistoryPanel : public juce::Component, private juce::ListBoxModel, private juce::Timer
{
public:
    /** libraryFolder: where the library file lives. */
    ExplorationHistoryPanel (RavlinAudioProcessor& processor, juce::File libraryFolder);
    ~ExplorationHistoryPanel() override;

    void resized() override;
    void paint (juce::Graphics& g) override;

    /** The text of a row as the list shows it: "12:04:31  Explored 3  Mutate 20 %, seed 77". */
    juce::String rowText (int row) const;
    void audition();
    void store();

    juce::ListBox& getList() noexcept { return list; }
    const juce::Label& getStatus() const noexcept { return status; }

private:
    int getNumRows() override;
    void paintListBoxItem (int row, juce::Graphics& g, int width, int height, bool selected) override;
    void listBoxItemDoubleClicked (int row, const juce::MouseEvent&) override;
    void timerCallback() override;

    RavlinAudioProcessor& processor;
    const juce::File libraryFolder;
    juce::ListBox list{"Exploration History", this};
    juce::TextButton auditionButton{"Audition"}, storeButton{"Store in Library"};
    juce::Label status;
    int shownSize = -1, shownNewest = -1;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ExplorationHistoryPanel)
};
