// The standalone application: one window with the editor, no audio device. Compiled into the
// standalone program only.
#include "ui/editor/StandaloneWindow.h"

namespace
{
class StandaloneApp : public juce::JUCEApplication
{
public:
    const juce::String getApplicationName() override { return "Prophet 12 Ravlin"; }
    const juce::String getApplicationVersion() override { return JucePlugin_VersionString; }
    bool moreThanOneInstanceAllowed() override { return true; }

    void initialise (const juce::String&) override
    {
        juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_Standalone);
        processor = std::make_unique<RavlinAudioProcessor>();
        juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_Undefined);
        window = std::make_unique<StandaloneWindow> (*processor, StandaloneWindow::defaultBoundsFile());
        window->onClose = [] { juce::JUCEApplication::quit(); };
        window->setVisible (true);
    }

    void shutdown() override
    {
        window.reset();
        processor.reset();
    }

    void systemRequestedQuit() override { quit(); }
    void anotherInstanceStarted (const juce::String&) override {}

private:
    std::unique_ptr<RavlinAudioProcessor> processor;
    std::unique_ptr<StandaloneWindow> window;
};
} // namespace

juce::JUCEApplicationBase* juce_CreateApplication();
juce::JUCEApplicationBase* juce_CreateApplication()
{
    return new StandaloneApp();
}
