#include "ui/editor/menus/MidiMenu.h"

#include "core/MidiCntrState.h"
#include "ui/panels/MidiSetupController.h"

MidiMenu::MidiMenu (MidiSetupController& s, std::function<void()> show) : setup (s), showConnection (std::move (show))
{
}

juce::PopupMenu MidiMenu::build() const
{
    juce::PopupMenu m;
    m.addItem (setupItem, "MIDI Setup", true, setup.isSetupShown());
    m.addItem (checkConnectionItem, "Check Connection");
    m.addItem (monitorItem, "MIDI Monitor", showMonitor != nullptr, isMonitorShown != nullptr && isMonitorShown());
    return m;
}

void MidiMenu::chosen (int item)
{
    if (setup.isWriteDialogShown())
        return;
    if (item == setupItem)
    {
        if (setup.isSetupShown())
            setup.closeSetup();
        else
        {
            setup.showSetup();
            showConnection();
        }
    }
    else if (item == checkConnectionItem)
    {
        setup.hideSetup();
        setup.startCheck();
    }
    else if (item == monitorItem && showMonitor != nullptr)
    {
        showMonitor();
    }
}

ChannelMenu::ChannelMenu (MidiCntrState& h, std::function<void()> c) : hub (h), changed (std::move (c)) {}

juce::PopupMenu ChannelMenu::build() const
{
    const auto channel = hub.midiChannel.load();
    juce::PopupMenu m;
    for (int c = 1; c <= 16; ++c)
        m.addItem (c, "Channel " + juce::String (c), true, c == channel);
    return m;
}

void ChannelMenu::chosen (int item)
{
    hub.setMidiChannelSetting (item);
    hub.saveSettings();
    changed();
}
