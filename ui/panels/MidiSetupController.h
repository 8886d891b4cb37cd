#pragma once

#include "ui/panels/MIDI_Setup.h"
#include "ui/panels/MIDI_scan.h"

/** What the editor does with the MIDI setup panel and the device scan: it shows them over the
    editor, fills them from the hub, and applies the setup panel's (code, value) commands to the
    hub, its ports and the settings files. Message thread only. */
class MidiSetupController : private juce::ChangeListener, private juce::AsyncUpdater
{
public:
    enum Command
    {
        requestOnly = 201,
        scanToggle = 211,
        sendSliderPressure = 303
    };

    MidiSetupController (MidiCntrState& hub, juce::Component& editor);
    ~MidiSetupController() override;

    void showSetup();
    void hideSetup();
    /** Hides the panel; with both ports open the connection check starts by itself. */
    void closeSetup();
    bool isSetupShown() const noexcept { return setup != nullptr; }
    MIDI_Setup* getSetup() const noexcept { return setup.get(); }

    void toggleScan();
    /** The connection check from the start, shown if it was not. */
    void startCheck();
    bool isScanShown() const noexcept { return scan != nullptr; }
    MIDI_scan* getScan() const noexcept { return scan.get(); }
    static juce::Rectangle<int> scanHomeBounds (juce::Rectangle<int> editorBounds);

    /** One command of the setup panel (or of the editor's own buttons). */
    void apply (int code, int value);

    /** While the write dialog shows, OK saves but does not close the panel. */
    std::function<bool()> isWriteDialogShown = [] { return false; };
    /** How each connection check ended. */
    std::function<void (MIDI_scan::Verdict)> onVerdict;
    /** A port was chosen in the panel. */
    std::function<void()> onPortsChanged;

private:
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;
    void handleAsyncUpdate() override;
    void requestAndSave();

    MidiCntrState& hub;
    juce::Component& editor;
    std::unique_ptr<MIDI_Setup> setup;
    std::unique_ptr<MIDI_scan> scan;
    bool closeSetupSoon = false, closeScanSoon = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MidiSetupController)
};
