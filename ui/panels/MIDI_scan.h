#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class MidiCntrState;

/** Checks that the instrument answers on the plug-in's own ports and that its global settings
    let the editor work, by asking for the global dump until a reply comes or the tries run out.
    Broadcasts when the settings are good or when it is clicked (its owner then closes it). */
class MIDI_scan : public juce::Component, public juce::Timer, public juce::ChangeBroadcaster
{
public:
    /** How a check ended, for the status line. */
    enum class Verdict
    {
        none, // still running, or stopped by a click
        settingsOk,
        checkSettings, // the instrument answered; some of its settings keep the editor from working
        unreadable,    // it answered with something that is not a global dump
        notConnected
    };

    // One request every other tick of 250 ms, six tries: "NOT CONNECTED!" 3 s after the start.
    static constexpr int tickMs = 250;
    static constexpr int defaultMaxTries = 6;
    static constexpr int defaultRequestsPerTry = 1;

    /** The README's host set-up section, written beside the settings files for the link to open. */
    static juce::File hostSetupFile();

    explicit MIDI_scan (MidiCntrState& hub);
    ~MIDI_scan() override;

    /** Places the panel where it goes back to when it has something to say, and starts. */
    void start (juce::Rectangle<int> homeBounds);

    void timerCallback() override;
    /** Rebuilds the warnings from the global image; broadcasts when there are none. */
    void checkSettings();

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;

    bool isScanning() const noexcept { return scanning; }
    Verdict getVerdict() const noexcept { return verdict; }
    /** Told whenever a check ends with a verdict. */
    std::function<void (Verdict)> onVerdict;
    bool isNotConnected() const noexcept { return notConnected; }
    const juce::StringArray& getWarnings() const noexcept { return warnings; }
    juce::HyperlinkButton& getHostSettingsLink() noexcept { return hostSettingsLink; }

    int maxTries = defaultMaxTries;
    int requestsPerTry = defaultRequestsPerTry;

private:
    MidiCntrState& state;
    void conclude (Verdict v);

    bool scanning = false, notConnected = false, unreadable = false;
    Verdict verdict = Verdict::none;
    juce::StringArray warnings;
    int tries = 0, requestsThisTry = 0;
    juce::Rectangle<int> home;
    juce::HyperlinkButton hostSettingsLink;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MIDI_scan)
};
