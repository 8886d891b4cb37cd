#pragma once

#include "ui/editor/menus/BarMenu.h"

class MidiCntrState;
class MidiSetupController;

/** MIDI: the setup panel (ticked while it shows) and a check of the connection. Nothing happens
    while the write dialog shows. */
class MidiMenu : public BarMenu
{
public:
    static constexpr int setupItem = 1, checkConnectionItem = 2, monitorItem = 3;

    /** showConnection says what is known of the connection on the panel just shown. */
    MidiMenu (MidiSetupController& setup, std::function<void()> showConnection);

    juce::PopupMenu build() const override;
    void chosen (int item) override;

    /** "MIDI Monitor": opens the monitor's window; ticked while it shows. */
    std::function<void()> showMonitor;
    std::function<bool()> isMonitorShown;

private:
    MidiSetupController& setup;
    std::function<void()> showConnection;
};

/** The application bar's channel: "Channel 1" .. "Channel 16", the hub's channel ticked; the
    channel chosen is saved with the settings. */
class ChannelMenu : public BarMenu
{
public:
    /** changed shows the new channel on the bar. */
    ChannelMenu (MidiCntrState& hub, std::function<void()> changed);

    juce::PopupMenu build() const override;
    void chosen (int item) override;

private:
    MidiCntrState& hub;
    std::function<void()> changed;
};
