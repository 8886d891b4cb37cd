#pragma once

#include "core/MidiMonitorModel.h"

#include <juce_gui_basics/juce_gui_basics.h>

class MidiCntrState;

/** The MIDI monitor: the plug-in's own traffic with the instrument, a line a message (time,
    IN or OUT, what it says), with Pause, Clear and Save As Text..., and a box that sends raw
    SysEx through the same paced sender as everything else. The log is on while the panel
    lives; a timer reads it. */
class MidiMonitorPanel : public juce::Component, private juce::ListBoxModel, private juce::Timer
{
public:
    static constexpr int defaultWidth = 640, defaultHeight = 460, readHz = 20;

    explicit MidiMonitorPanel (MidiCntrState& hub);
    ~MidiMonitorPanel() override;

    MidiMonitorModel& getModel() noexcept { return model; }
    /** On: the log records and the timer reads it. Off (the window closed): nothing is kept. */
    void setRecording (bool shouldRecord);
    /** Reads the log now (the timer does it readHz times a second). */
    void readLog();
    /** Checks the box's hex and sends it; what happened is in the status line. */
    void sendTypedSysEx();
    /** Writes the list to a file, safely; false, and the file as it was, when that failed. */
    bool saveAsText (const juce::File& file);

    juce::TextEditor& getSysExBox() noexcept { return sysExBox; }
    juce::TextButton& getPauseButton() noexcept { return pauseButton; }
    juce::ListBox& getList() noexcept { return list; }
    const juce::String& getStatusText() const noexcept { return statusText; }
    const juce::String& getSysExMessage() const noexcept { return sysExMessage; }

    void paint (juce::Graphics& g) override;
    void resized() override;

private:
    int getNumRows() override;
    void paintListBoxItem (int row, juce::Graphics& g, int width, int height, bool selected) override;
    void timerCallback() override { readLog(); }
    void updateStatus();
    void chooseFileAndSave();

    MidiCntrState& hub;
    MidiMonitorModel model;
    juce::ListBox list{"MIDI monitor", this};
    juce::TextButton pauseButton{"Pause"}, clearButton{"Clear"}, saveButton{"Save As Text..."},
        sendButton{"Send SysEx"};
    juce::TextEditor sysExBox;
    juce::String statusText, sysExMessage;
    std::unique_ptr<juce::FileChooser> chooser;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MidiMonitorPanel)
};

/** The window the MIDI menu opens the monitor in; closing it only hides it. */
class MidiMonitorWindow : public juce::DocumentWindow
{
public:
    explicit MidiMonitorWindow (MidiCntrState& hub);
    MidiMonitorPanel& getPanel() noexcept { return *panel; }
    /** Shows the window on top, recording. */
    void present();
    void closeButtonPressed() override;

private:
    MidiMonitorPanel* panel = nullptr;
};
