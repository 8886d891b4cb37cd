#include "ui/editor/explore/ExplorePanels.h"

#include "core/RavlinAudioProcessor.h"
#include "library/ProgramFiles.h"
#include "library/ProgramLibrary.h"
#include "library/ProgramScan.h"
#include "ui/editor/EditorPanel.h"
#include "ui/editor/SectionLayout.h"

namespace
{
constexpr int firstArpStep = 306, lastArpStep = 369;
constexpr int markMs = 2500;
} // namespace

/** A yellow frame around a control, over its section panel; gone after a while. */
class ExplorePanels::Mark : public juce::Component, private juce::Timer
{
public:
    Mark()
    {
        setInterceptsMouseClicks (false, false);
        setAlwaysOnTop (true);
    }
    void show (juce::Component& control)
    {
        if (auto* parent = control.getParentComponent())
        {
            parent->addAndMakeVisible (this);
            setBounds (control.getBounds().expanded (4));
            toFront (false);
            startTimer (markMs);
        }
    }
    void paint (juce::Graphics& g) override
    {
        g.setColour (juce::Colours::yellow);
        g.drawRoundedRectangle (getLocalBounds().toFloat().reduced (1.5f), 4.0f, 3.0f);
    }

private:
    void timerCallback() override
    {
        stopTimer();
        if (auto* parent = getParentComponent())
            parent->removeChildComponent (this);
    }
};

ExplorePanels::ExplorePanels (juce::Component& h, RavlinAudioProcessor& p, EditorPanel& e,
                              std::function<ravlin::Bytes()> libraryRecords)
    : host (h), processor (p), editor (e), records (std::move (libraryRecords)), mark (std::make_unique<Mark>())
{
}

ExplorePanels::~ExplorePanels()
{
    if (auto* parent = mark->getParentComponent())
        parent->removeChildComponent (mark.get());
}

void ExplorePanels::compareWith (const ravlin::Bytes& other, const juce::String& otherName)
{
    search.reset();
    diff =
        std::make_unique<DiffPanel> (otherName, ProgramDiff::compare (processor.getHub().getCurrentProgram(), other));
    diff->onRowChosen = [this] (const ProgramDiff::Row& row) { showControl (row.index); };
    diff->onClose = [this]
    {
        juce::MessageManager::callAsync (
            [self = juce::WeakReference<ExplorePanels> (this)]
            {
                if (self != nullptr)
                    self->diff.reset();
            });
    };
    host.addAndMakeVisible (*diff);
    layout();
}

void ExplorePanels::compareWithFile()
{
    chooser = std::make_unique<juce::FileChooser> ("Compare with a program file", juce::File(),
                                                   "*.syx;*.p12p;*.p12b;*.p12l;*.fxp;*.fxb");
    chooser->launchAsync (juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectFiles,
                          [self = juce::WeakReference<ExplorePanels> (this)] (const juce::FileChooser& c)
                          {
                              const auto file = c.getResult();
                              if (self == nullptr || file == juce::File())
                                  return;
                              const auto data = ProgramFiles::readProgramSource (file);
                              const auto found = data.has_value() ? ProgramScan::scan (data->data(), data->size())
                                                                  : ProgramScan::Result{};
                              if (found.programs.empty())
                              {
                                  juce::AlertWindow::showMessageBoxAsync (
                                      juce::MessageBoxIconType::WarningIcon, "Compare With",
                                      file.getFileName() + " holds no program: nothing was compared.");
                                  return;
                              }
                              self->compareWith (found.programs.front().image, file.getFileName());
                          });
}

void ExplorePanels::openSearch()
{
    diff.reset();
    search = std::make_unique<SearchPanel> (processor.getHub(), libraryRecords());
    search->onApply = [this] (const ravlin::Bytes& image, const juce::String&)
    {
        const auto chunk = ProgramLibrary::programChunk (image);
        processor.setCurrentProgramStateInformation (chunk.data(), (int)chunk.size());
    };
    search->onClose = [this]
    {
        juce::MessageManager::callAsync (
            [self = juce::WeakReference<ExplorePanels> (this)]
            {
                if (self != nullptr)
                    self->search.reset();
            });
    };
    host.addAndMakeVisible (*search);
    layout();
    search->getQueryBox().grabKeyboardFocus();
}

void ExplorePanels::closeAll()
{
    diff.reset();
    search.reset();
}

int ExplorePanels::jumpFor (int section)
{
    const auto x = SectionLayout::section (section).x;
    int best = 1;
    for (int jump = 1; jump <= 13; ++jump)
    {
        const auto left = SectionLayout::jumpLeft (jump);
        if (left == x)
            return jump;
        if (left <= x && left > SectionLayout::jumpLeft (best))
            best = jump;
    }
    return best;
}

bool ExplorePanels::showControl (int parameter)
{
    if (parameter < 0)
        return true; // the program display shows the name and the category
    if (parameter >= ravlin::ParameterTable::numImageParameters)
        return false;

    const auto& table = processor.getHub().parameterTable;
    const int layer = parameter >= ravlin::ParameterTable::layerSize ? 1 : 0;
    const auto row = parameter % ravlin::ParameterTable::layerSize;
    if (row >= firstArpStep && row <= lastArpStep)
    {
        editor.openSteps (layer);
        return true;
    }
    if (editor.isStepsOpen())
        editor.closeSteps();

    // Each layer's panels know their controls by the layer-A number.
    const auto section = table.section (row);
    if (section != 15)
        editor.jumpTo (jumpFor (section));
    auto* panel = editor.getPanel (layer, section);
    auto* control = panel != nullptr ? panel->findControl (row) : nullptr;
    if (control == nullptr)
        return false;
    mark->show (*control);
    marked = control;
    return true;
}

ravlin::Bytes ExplorePanels::recordsOfFile (const juce::File& file)
{
    ravlin::Bytes block;
    if (!file.existsAsFile())
        return block;
    const auto data = ProgramFiles::readProgramSource (file);
    if (!data.has_value())
        return block;
    for (auto& found : ProgramScan::scan (data->data(), data->size()).programs)
    {
        found.image.resize (1024, 0);
        block.insert (block.end(), found.image.begin(), found.image.end());
    }
    return block;
}

juce::Component* ExplorePanels::getMarkedControl() const noexcept
{
    return mark->getParentComponent() != nullptr ? marked.getComponent() : nullptr;
}

void ExplorePanels::layout()
{
    const auto area = host.getLocalBounds().withTrimmedTop (SectionLayout::barHeight);
    const auto width = juce::jmin (720, area.getWidth());
    const auto height = juce::jmin (420, area.getHeight());
    const auto bounds = juce::Rectangle<int> (area.getRight() - width, area.getBottom() - height, width, height);
    if (diff != nullptr)
        diff->setBounds (bounds);
    if (search != nullptr)
        search->setBounds (bounds);
}
