#include "ui/editor/explore/ExploreWindows.h"

#include "core/RavlinAudioProcessor.h"
#include "ui/editor/explore/ExplorationHistoryPanel.h"
#include "ui/editor/explore/ExploreDialog.h"
#include "ui/editor/explore/MorphPanel.h"
#include "ui/library/Lib_Manager_Comp.h"

struct ExploreWindows::Window : public juce::DocumentWindow
{
    Window (const juce::String& title, juce::Component* content)
        : juce::DocumentWindow (title, juce::Colours::black, juce::DocumentWindow::closeButton)
    {
        setUsingNativeTitleBar (true);
        setContentOwned (content, true);
        setAlwaysOnTop (true);
        centreWithSize (getWidth(), getHeight());
    }
    void closeButtonPressed() override { setVisible (false); }
};

ExploreWindows::ExploreWindows (RavlinAudioProcessor& p) : processor (p) {}

ExploreWindows::~ExploreWindows() = default;

void ExploreWindows::show (Kind kind)
{
    auto& window = windows[kind];
    if (window == nullptr)
    {
        switch (kind)
        {
            case randomise:
                window = std::make_unique<Window> ("Randomise",
                                                   new ExploreDialog (processor, ExploreDialog::Mode::randomise));
                break;
            case mutate:
                window =
                    std::make_unique<Window> ("Mutate", new ExploreDialog (processor, ExploreDialog::Mode::mutate));
                break;
            case morph: window = std::make_unique<Window> ("Morph", new MorphPanel (processor)); break;
            case history:
                window = std::make_unique<Window> (
                    "Exploration History",
                    new ExplorationHistoryPanel (processor, Lib_Manager_Comp::libraryFolderOf (processor)));
                break;
            case numKinds:
            default: return;
        }
    }
    window->setVisible (true);
    window->toFront (true);
}

juce::Component* ExploreWindows::content (Kind kind) const
{
    return windows[kind] != nullptr ? windows[kind]->getContentComponent() : nullptr;
}
