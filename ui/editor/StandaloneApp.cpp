// The standalone application: one window with the editor, no audio device, and its own main()
// for the two options it answers on the terminal. Compiled into the standalone program only.
#include "ui/editor/StandaloneWindow.h"

#include <cstring>
#include <iostream>

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

// --help and --version answer on the terminal without opening a window (nor needing a display);
// anything else starts the editor as before.
int main (int argc, char* argv[])
{
    if (argc == 2 && (std::strcmp (argv[1], "--help") == 0 || std::strcmp (argv[1], "-h") == 0))
    {
        std::cout << "Usage: prophet12-ravlin [--help | --version]\n"
                     "Opens the Prophet 12 Ravlin editor and librarian in a window of its own.\n"
                     "The same editor runs in a host as a VST 2.4, VST3 or LV2 plug-in; ravlin-cli\n"
                     "lists, converts, receives and sends programs on the command line.\n"
                     "See prophet12-ravlin(1) and ravlin-cli(1).\n";
        return 0;
    }
    if (argc == 2 && std::strcmp (argv[1], "--version") == 0)
    {
        std::cout << "prophet12-ravlin " << JucePlugin_VersionString << '\n';
        return 0;
    }
    juce::JUCEApplicationBase::createInstance = &juce_CreateApplication;
    return juce::JUCEApplicationBase::main (argc, const_cast<const char**> (argv));
}
