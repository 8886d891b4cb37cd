#include "ui/editor/explore/SearchPanel.h"

namespace
{
const juce::Colour background (0xff202020), text (0xffe0e0e0), errorColour (0xffff8080);
constexpr int programSize = 1024;
} // namespace

/** A list of texts that calls back on a click. */
class SearchPanel::Rows : public juce::ListBoxModel
{
public:
    std::function<int()> count;
    std::function<juce::String (int)> textOf;
    std::function<void (int)> clicked;

    int getNumRows() override { return count(); }
    void paintListBoxItem (int row, juce::Graphics& g, int width, int height, bool selected) override
    {
        if (selected)
            g.fillAll (juce::Colour (0xff505a70));
        g.setColour (text);
        g.setFont ((float)height * 0.7f);
        g.drawText (textOf (row), 6, 0, width - 12, height, juce::Justification::centredLeft, true);
    }
    void listBoxItemClicked (int row, const juce::MouseEvent&) override { clicked (row); }
};

SearchPanel::SearchPanel (const ProgramSource& programs, ravlin::Bytes records)
    : source (programs), library (std::move (records))
{
    queryBox.setTextToShowWhenEmpty ("osc1.shape = Sawtooth and arp.on = On and lpf.freq > 100", juce::Colours::grey);
    queryBox.setFont (juce::Font (15.0f));
    queryBox.addListener (this);
    addAndMakeVisible (queryBox);

    status.setColour (juce::Label::textColourId, text);
    addAndMakeVisible (status);

    completionRows = std::make_unique<Rows>();
    completionRows->count = [this] { return completion.options.size(); };
    completionRows->textOf = [this] (int n) { return completion.options[n]; };
    completionRows->clicked = [this] (int n) { takeCompletion (n); };
    completionList.setModel (completionRows.get());
    completionList.setRowHeight (18);
    addAndMakeVisible (completionList);

    resultRows = std::make_unique<Rows>();
    resultRows->count = [this] { return (int)results.size(); };
    resultRows->textOf = [this] (int n) { return resultText (n); };
    resultRows->clicked = [this] (int n) { applyResult (n); };
    resultList.setModel (resultRows.get());
    resultList.setRowHeight (20);
    addAndMakeVisible (resultList);
    for (auto* l : {&completionList, &resultList})
        l->setColour (juce::ListBox::backgroundColourId, juce::Colour (0xff2c2c2c));

    closeButton.onClick = [this]
    {
        if (onClose)
            onClose();
    };
    addAndMakeVisible (closeButton);
    search();
}

SearchPanel::~SearchPanel()
{
    completionList.setModel (nullptr);
    resultList.setModel (nullptr);
}

void SearchPanel::setQuery (const juce::String& query)
{
    queryBox.setText (query, false);
    queryBox.setCaretPosition (query.length());
    search();
}

void SearchPanel::search()
{
    const auto query = queryBox.getText();
    completion = ProgramQuery::complete (query, queryBox.getCaretPosition());
    results.clear();

    ProgramQuery parsed;
    if (query.trim().isEmpty())
        status.setText ("Type a query: a parameter's name, an operator and a value.", juce::dontSendNotification);
    else if (!parsed.parse (query))
        status.setText (parsed.error().describe(), juce::dontSendNotification);
    else
    {
        results = ProgramSearch::inBanks (parsed, source);
        const auto inLibrary = ProgramSearch::inLibrary (parsed, library);
        results.insert (results.end(), inLibrary.begin(), inLibrary.end());
        status.setText (results.empty() ? juce::String ("No program matches.")
                                        : juce::String ((int)results.size()) +
                                              (results.size() == 1 ? " program matches." : " programs match."),
                        juce::dontSendNotification);
    }
    status.setColour (juce::Label::textColourId, parsed.isValid() || query.trim().isEmpty() ? text : errorColour);
    completionList.updateContent();
    completionList.repaint();
    resultList.updateContent();
    resultList.repaint();
}

void SearchPanel::takeCompletion (int n)
{
    if (n < 0 || n >= completion.options.size())
        return;
    const auto query = queryBox.getText();
    const auto caret = juce::jlimit (0, query.length(), queryBox.getCaretPosition());
    const auto from = juce::jlimit (0, caret, completion.replaceFrom);
    auto inserted = completion.options[n];
    if (!inserted.endsWithChar (' '))
        inserted << ' ';
    setQuery (query.substring (0, from) + inserted + query.substring (caret));
}

void SearchPanel::applyResult (int n)
{
    if (n < 0 || n >= (int)results.size() || !onApply)
        return;
    const auto& hit = results[(size_t)n];
    resultList.selectRow (n);
    if (hit.source == ProgramSearch::Hit::Source::bank)
        onApply (source.getBankProgram (hit.bank, hit.program), hit.where());
    else
    {
        const auto* record = library.data() + (size_t)hit.record * programSize;
        onApply (ravlin::Bytes (record, record + programSize), hit.where());
    }
}

juce::String SearchPanel::resultText (int n) const
{
    if (n < 0 || n >= (int)results.size())
        return {};
    const auto& hit = results[(size_t)n];
    if (hit.source == ProgramSearch::Hit::Source::bank)
        return hit.where() + "   " + hit.name;
    return "Library: " + hit.where();
}

void SearchPanel::paint (juce::Graphics& g)
{
    g.fillAll (background);
    g.setColour (juce::Colours::grey);
    g.drawRect (getLocalBounds());
    g.setColour (text);
    g.setFont (juce::Font (16.0f, juce::Font::bold));
    g.drawText ("Find Programs", 10, 6, 300, 22, juce::Justification::centredLeft);
}

void SearchPanel::resized()
{
    closeButton.setBounds (getWidth() - 90, 6, 80, 24);
    auto area = getLocalBounds().reduced (10).withTrimmedTop (26);
    queryBox.setBounds (area.removeFromTop (26));
    completionList.setBounds (area.removeFromTop (completion.options.isEmpty() ? 0 : 18 * 5));
    status.setBounds (area.removeFromTop (24));
    resultList.setBounds (area);
}
