#pragma once

#include "core/RavlinAudioProcessor.h"

#include <juce_gui_basics/juce_gui_basics.h>

class MainComp;

/** The standalone application's window: the editor of a processor and nothing of an audio
    application. The editor talks to the instrument through its own MIDI ports, so the window
    opens no audio device and never runs the processor's audio. An "Options" button in its title
    bar offers the MIDI setup and the About box. It comes back where it was left: its bounds are
    kept in a small text file, written to a temporary file renamed over the old one. */
class StandaloneWindow : public juce::DocumentWindow
{
public:
    static constexpr int midiSetupItem = 1, aboutItem = 2;

    /** boundsFile: where the window keeps its position and size; an empty File keeps nothing. */
    StandaloneWindow (RavlinAudioProcessor& processor, juce::File boundsFile);
    ~StandaloneWindow() override;

    /** The file the application uses: beside the other settings files. */
    static juce::File defaultBoundsFile();

    /** "MIDI Setup" (ticked while shown), "About Prophet 12 Ravlin". */
    juce::PopupMenu optionsMenu();
    void optionChosen (int item);
    juce::TextButton& getOptionsButton() noexcept { return optionsButton; }
    MainComp& getMainComp();

    /** Writes the bounds now; false when the file could not be written. */
    bool saveBounds();

    /** Runs when the close button is pressed (the application quits). */
    std::function<void()> onClose;

    void closeButtonPressed() override;
    void resized() override;

private:
    RavlinAudioProcessor& processor;
    const juce::File boundsFile;
    juce::TextButton optionsButton{"Options"};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StandaloneWindow)
};
