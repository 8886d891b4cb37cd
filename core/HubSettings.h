#pragma once

#include "core/ModelDetector.h"
#include "core/SettingsFiles.h"
#include "midi/LinkSpeed.h"

#include <array>
#include <atomic>

class MidiCntrState;

/** The hub's settings, options and ports: the settings block read into the options and the
    latency table and written back, the link's speed, the ports chosen and the model asked for
    on them, and the ports and layout files. Each file is written only when it changed since
    this instance loaded or saved it, so that instances sharing the folder keep each other's
    choices. Message thread, but for the reads of the audio and MIDI threads. */
class HubSettings
{
public:
    explicit HubSettings (MidiCntrState& hub);

    /** The settings file into the settings block, the MIDI channel and the options. */
    void load();
    /** The ports file into the hub's port names. */
    void loadPortNames();
    void saveSettings() const;
    void savePorts();
    void loadLayout();
    void saveLayout() const;

    void setLatencySettings (int mode, const std::array<int, 7>& delays);
    void setOption (int settingsByte, bool on);
    void setMidiChannelSetting (int channel);
    void setLinkSpeed (LinkSpeed::Kind kind);
    LinkSpeed::Kind getLinkSpeed() const noexcept { return linkSpeed.load(); }
    double linkMillisecondsPerByte() const;

    /** The ports changed: whatever model and globals were known are forgotten, and asked again. */
    void portsChanged();
    void selectInputPort (int index);
    void selectOutputPort (int index);
    bool detectModel();
    void setModelChoice (ModelDetector::Choice choice);

private:
    void readOptions();
    void readLatencySettings();

    MidiCntrState& hub;
    std::atomic<LinkSpeed::Kind> linkSpeed{LinkSpeed::Kind::din};

    // The settings block as this instance loaded or last saved it: a save writes only what
    // changed since, over what other instances sharing the folder saved.
    mutable SettingsFiles::Block settingsAsSaved{};
    // The same for the ports and layout files, which are written whole when they changed.
    juce::StringArray portsAsSaved;
    mutable ravlin::Bytes layoutAsSaved;

    JUCE_DECLARE_NON_COPYABLE (HubSettings)
};
