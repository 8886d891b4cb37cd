#pragma once

#include "library/ProgramSearch.h"

#include <juce_gui_basics/juce_gui_basics.h>

/** "Find Programs": a query box with what may be typed next under it, the query's error in
    words with its column, and the programs of the instrument's banks and of the library that
    meet it. Choosing a result hands its program to the owner, which applies it as a library row
    is applied. The search runs as the query is typed. */
class SearchPanel : public juce::Component, private juce::TextEditor::Listener
{
public:
    /** source: the instrument's banks; library: the library's records, 1024 bytes each. */
    SearchPanel (const ProgramSource& source, ravlin::Bytes library);
    ~SearchPanel() override;

    std::function<void (const ravlin::Bytes& image, const juce::String& where)> onApply;
    std::function<void()> onClose;

    /** Types a whole query (as the user would) and searches. */
    void setQuery (const juce::String& text);
    juce::TextEditor& getQueryBox() noexcept { return queryBox; }
    const std::vector<ProgramSearch::Hit>& getResults() const noexcept { return results; }
    /** The line under the box: the error, or how many programs were found. */
    juce::String getStatusText() const { return status.getText(); }
    const juce::StringArray& getCompletions() const noexcept { return completion.options; }
    /** Puts completion n in place of the word being typed. */
    void takeCompletion (int n);
    /** Applies result n as if it had been clicked. */
    void applyResult (int n);
    /** The line the results list shows for result n. */
    juce::String resultText (int n) const;

    void paint (juce::Graphics& g) override;
    void resized() override;

private:
    class Rows;

    void textEditorTextChanged (juce::TextEditor&) override { search(); }
    void textEditorReturnKeyPressed (juce::TextEditor&) override { applyResult (0); }
    void search();

    const ProgramSource& source;
    ravlin::Bytes library;
    ProgramQuery::Completion completion;
    std::vector<ProgramSearch::Hit> results;
    juce::TextEditor queryBox;
    juce::Label status;
    std::unique_ptr<Rows> completionRows, resultRows;
    juce::ListBox completionList, resultList;
    juce::TextButton closeButton{"CLOSE"};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SearchPanel)
};
