#pragma once

#include "ui/Lib_Manager_Comp.h"
#include "ui/MidiSetupController.h"
#include "ui/TransferProgress.h"

#include <juce_gui_basics/juce_gui_basics.h>

class RavlinAudioProcessor;

/** The component that fills the editor window. It broadcasts when its own size changes so that
    the window follows. */
class MainComp : public juce::Component, public juce::ChangeBroadcaster, private juce::Timer
{
public:
    static constexpr int defaultWidth = 1200;
    static constexpr int defaultHeight = 730;

    explicit MainComp (RavlinAudioProcessor* processor);
    ~MainComp() override;

    void paint (juce::Graphics& g) override;
    void resized() override;

    /** The MIDI setup panel and the device scan over the editor; null without a processor. */
    MidiSetupController* getMidiSetup() noexcept { return midiSetup.get(); }

    /** Creates the library window on the first call, then brings it up. */
    void showLibrary();
    Lib_Manager_Win* getLibraryWindow() noexcept { return libraryWindow.get(); }

    /** Takes a new size of its own (zoom, keyboard) and tells the window. */
    void setOwnSize (int width, int height);

private:
    RavlinAudioProcessor* processor;
    void timerCallback() override;

    std::unique_ptr<MidiSetupController> midiSetup;
    std::unique_ptr<TransferProgress> transfer;
    std::unique_ptr<Lib_Manager_Win> libraryWindow;
    juce::TextButton midiButton{"MIDI"}, scanButton{"SCAN"}, banksButton{"BANKS"}, libraryButton{"LIBRARY"};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainComp)
};
