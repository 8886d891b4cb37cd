#include "ui/panels/MIDI_scan.h"
#include "ui/controls/Fonts.h"

#include "core/MidiCntrState.h"
#include "ui/panels/HostSetupText.h"

juce::File MIDI_scan::hostSetupFile()
{
    return juce::File::getSpecialLocation (juce::File::tempDirectory)
        .getChildFile ("Prophet 12 Ravlin - Host set-up.txt");
}

MIDI_scan::MIDI_scan (MidiCntrState& hub) : state (hub), hostSettingsLink ("Host settings", juce::URL())
{
    // The plug-in has no web page: the link opens the README's own host set-up section.
    hostSettingsLink.onClick = []
    {
        const auto file = hostSetupFile();
        if (file.replaceWithText (hostSetupText))
            juce::URL (file).launchInDefaultBrowser();
    };
    hostSettingsLink.setBounds (350, 10, 150, 24);
    hostSettingsLink.setColour (juce::HyperlinkButton::textColourId, juce::Colour (0xcc8ed3ff));
    hostSettingsLink.setFont (juce::Font (ravlin::arialName(), 14.0f, juce::Font::plain), false);
    addAndMakeVisible (hostSettingsLink);
}

MIDI_scan::~MIDI_scan()
{
    stopTimer();
}

void MIDI_scan::start (juce::Rectangle<int> homeBounds)
{
    home = homeBounds;
    setBounds (home);
    tries = requestsThisTry = 0;
    scanning = true;
    notConnected = unreadable = false;
    verdict = Verdict::none;
    warnings.clear();
    hostSettingsLink.setVisible (true);
    state.globalsReceived = false; // a reply from before this check says nothing about now
    state.unreadableGlobalsSize = -1;
    startTimer (tickMs);
    repaint();
}

void MIDI_scan::timerCallback()
{
    if (state.globalsReceived)
    {
        stopTimer();
        scanning = false;
        checkSettings();
        return;
    }
    if (state.unreadableGlobalsSize >= 0)
    {
        // An answer, but not one that says how the instrument is set.
        stopTimer();
        scanning = false;
        unreadable = true;
        setBounds (home.withHeight (90));
        hostSettingsLink.setVisible (false);
        repaint();
        conclude (Verdict::unreadable);
        return;
    }
    if (tries >= maxTries)
    {
        stopTimer();
        scanning = false;
        notConnected = true;
        // One more line when the model was chosen: a keyboard ignores what is sent to a module.
        setBounds (state.getModelDetector().getChoice() == ModelDetector::Choice::detect ? home
                                                                                         : home.withHeight (110));
        setVisible (true);
        repaint();
        conclude (Verdict::notConnected);
        return;
    }
    if (requestsThisTry < requestsPerTry)
    {
        scanning = true;
        state.requestGlobals();
        ++requestsThisTry;
        return;
    }
    requestsThisTry = 0;
    ++tries;
}

void MIDI_scan::checkSettings()
{
    // Read as the global settings panel reads the same bytes: 5 "MIDI Param Send" (0 NRPN),
    // 6 "MIDI Param Recv." (0 All, 1 NRPN only), 7 "MIDI Controller Enable", 8 "MIDI SysEx Enable".
    const auto& g = state.globalsImage;
    warnings.clear();
    if (g[7] != 1)
        warnings.add ("- MIDI Controller Send/Receive = ON");
    if (g[5] != 0)
        warnings.add ("- Parameter send = NRPN");
    if (g[6] > 1)
        warnings.add ("- Parameter Receive = ALL or NRPN");
    if (g[8] != 1)
        warnings.add ("- MIDI SysEx = ON");

    if (warnings.isEmpty())
    {
        stopTimer();
        repaint();
        conclude (Verdict::settingsOk);
        sendChangeMessage();
        return;
    }
    setBounds (getX(), getY(), getWidth(), 50 + 20 * warnings.size());
    // The warning's own heading runs where the link sits; the hints are about the instrument anyway.
    hostSettingsLink.setVisible (false);
    repaint();
    conclude (Verdict::checkSettings);
}

void MIDI_scan::conclude (Verdict v)
{
    verdict = v;
    if (onVerdict)
        onVerdict (v);
}

void MIDI_scan::mouseDown (const juce::MouseEvent&)
{
    stopTimer();
    scanning = false;
    sendChangeMessage();
}

void MIDI_scan::paint (juce::Graphics& g)
{
    if (!scanning && !notConnected && !unreadable && warnings.isEmpty())
        return; // idle: only the link shows

    const auto panel = getLocalBounds().toFloat().reduced (1.0f);
    g.setColour (juce::Colour (0xee15222a));
    g.fillRoundedRectangle (panel, 6.0f);
    g.setColour (juce::Colour (0xddffffff));
    g.drawRoundedRectangle (panel, 6.0f, 1.0f);

    g.setColour (juce::Colours::white);
    g.setFont (juce::Font (ravlin::arialName(), 16.0f, juce::Font::bold));
    if (scanning)
    {
        g.drawSingleLineText ("Scanning...", 10, 30);
        return;
    }
    if (notConnected)
    {
        g.drawSingleLineText ("NOT CONNECTED!", 10, 30);
        g.setFont (juce::Font (ravlin::arialName(), 15.0f, juce::Font::plain));
        g.drawSingleLineText ("- Check USB/MIDI cables.", 30, 55);
        g.drawSingleLineText ("- Prophet 12 global setting: SYSEX send/receive should be set to ON.", 30, 75);
        if (const auto choice = state.getModelDetector().getChoice(); choice != ModelDetector::Choice::detect)
            g.drawSingleLineText (juce::String ("- MIDI setup: is the instrument a ") +
                                      ModelDetector::choiceName (choice) + "? Or choose \"Detect\".",
                                  30, 95);
        return;
    }
    if (unreadable)
    {
        g.drawSingleLineText ("WARNING!", 10, 30);
        g.setFont (juce::Font (ravlin::arialName(), 14.0f, juce::Font::plain));
        g.drawSingleLineText ("The instrument answered, but not with its global settings (" +
                                  juce::String (state.unreadableGlobalsSize.load()) + " bytes).",
                              30, 55);
        g.drawSingleLineText ("Check the MIDI SysEx Buffer Size, or that nothing else answers on this port.", 30, 75);
        return;
    }
    g.drawSingleLineText ("WARNING!", 10, 30);
    g.setFont (juce::Font (ravlin::arialName(), 14.0f, juce::Font::plain));
    g.drawSingleLineText ("Prophet 12 Global settings should be set MANUALLY as follows:", 100, 30);
    for (int i = 0; i < warnings.size(); ++i)
        g.drawSingleLineText (warnings[i], 120, 50 + 20 * i);
}
