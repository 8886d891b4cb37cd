#include "core/HubSettings.h"

#include "core/MidiCntrState.h"

HubSettings::HubSettings (MidiCntrState& h) : hub (h) {}

void HubSettings::load()
{
    auto& block = hub.settingsBlock;
    // Settings come first: the channel, the options and the latency depend on them.
    block = hub.files.loadSettings();
    // What settling changes is not this instance's change: a save keeps a channel another instance
    // sharing the folder wrote meanwhile.
    SettingsBlock::settle (block);
    settingsAsSaved = block;
    hub.midiChannel = (int)block[SettingsBlock::midiChannel];

    // Before the input opens: the first messages in already go by these.
    readOptions();
    readLatencySettings();
}

void HubSettings::loadPortNames()
{
    hub.portNames = hub.files.loadPorts();
    portsAsSaved = hub.portNames;
}

void HubSettings::readOptions()
{
    const auto& block = hub.settingsBlock;
    hub.clockOption = block[SettingsBlock::clockOn] == 1;
    hub.thruPortToHost = block[SettingsBlock::thruPortToHost] == 1;
    hub.programChangeWithAutomation = block[SettingsBlock::programChangeWithAutomation] == 1;
    hub.thruHostToPort = block[SettingsBlock::thruHostToPort] == 1;
    hub.verifyAfterWriting = block[SettingsBlock::verifyAfterWriting] == 1;
    linkSpeed = LinkSpeed::fromSetting (block[SettingsBlock::linkSpeed]);
    hub.modelDetector.setChoice (ModelDetector::choiceOfSetting (block[SettingsBlock::instrumentModel]));
}

void HubSettings::readLatencySettings()
{
    const auto* block = hub.settingsBlock.data(); // settled at load
    for (int i = 0; i < 6; ++i)
        hub.latencyTable[(size_t)i] = SettingsBlock::read32 (block, SettingsBlock::latencyValues + 4 * i);
    hub.latencyTable[6] = SettingsBlock::read32 (block, SettingsBlock::seventhLatency);
    hub.latencyMode = 0; // the stored mode is not applied at start
}

void HubSettings::setLatencySettings (int mode, const std::array<int, 7>& delays)
{
    auto* block = hub.settingsBlock.data();
    SettingsBlock::write32 (block, SettingsBlock::latencyMarker, SettingsBlock::latencyMarkerValue);
    for (int i = 0; i < 6; ++i)
    {
        SettingsBlock::write32 (block, SettingsBlock::latencyValues + 4 * i, delays[(size_t)i]);
        hub.latencyTable[(size_t)i] = delays[(size_t)i];
    }
    SettingsBlock::write32 (block, SettingsBlock::seventhLatency, delays[6]);
    hub.latencyTable[6] = delays[6];
    SettingsBlock::write32 (block, SettingsBlock::latencyMode, mode);
    hub.latencyMode = mode;
}

void HubSettings::setOption (int settingsByte, bool on)
{
    switch (settingsByte)
    {
        case SettingsBlock::thruHostToPort: hub.thruHostToPort = on; break;
        case SettingsBlock::clockOn: hub.clockOption = on; break;
        case SettingsBlock::thruPortToHost: hub.thruPortToHost = on; break;
        case SettingsBlock::programChangeWithAutomation: hub.programChangeWithAutomation = on; break;
        case SettingsBlock::verifyAfterWriting: hub.verifyAfterWriting = on; break;
        default: return;
    }
    hub.settingsBlock[(size_t)settingsByte] = on ? 1 : 0;
}

void HubSettings::setLinkSpeed (LinkSpeed::Kind kind)
{
    linkSpeed = kind;
    hub.settingsBlock[SettingsBlock::linkSpeed] = kind == LinkSpeed::Kind::usb ? 1 : 0;
    hub.ports->getSender().setLinkMillisecondsPerByte (LinkSpeed::millisecondsPerByte (kind));
}

double HubSettings::linkMillisecondsPerByte() const
{
    const auto known = hub.ports->outputMillisecondsPerByte();
    return known >= 0 ? known : LinkSpeed::millisecondsPerByte (linkSpeed);
}

void HubSettings::setMidiChannelSetting (int channel)
{
    if (channel < 1 || channel > 16)
        return;
    hub.midiChannel = channel;
    hub.settingsBlock[SettingsBlock::midiChannel] = (uint8_t)channel;
}

void HubSettings::saveSettings() const
{
    hub.files.saveSettings (hub.settingsBlock, settingsAsSaved);
}

void HubSettings::savePorts()
{
    auto& names = hub.portNames;
    names.set (3, juce::String (hub.ports->sysExBufferChoice));
    // Unchanged names would only overwrite what another instance chose since.
    if (names != portsAsSaved && hub.files.savePorts (names))
        portsAsSaved = names;
}

void HubSettings::loadLayout()
{
    if (const auto stored = hub.files.loadLayout())
        hub.layout = *stored;
    layoutAsSaved = SettingsFiles::layoutContent (hub.layout);
}

void HubSettings::saveLayout() const
{
    const auto content = SettingsFiles::layoutContent (hub.layout);
    if (content != layoutAsSaved && hub.files.saveLayout (hub.layout))
        layoutAsSaved = content;
}

//==============================================================================
void HubSettings::setModelChoice (ModelDetector::Choice choice)
{
    hub.modelDetector.setChoice (choice);
    hub.settingsBlock[SettingsBlock::instrumentModel] = ModelDetector::settingOf (choice);
    if (choice == ModelDetector::Choice::detect && !hub.modelDetector.hasDetected() && hub.ports->inputOpen)
        detectModel();
}

bool HubSettings::detectModel()
{
    auto& ports = *hub.ports;
    if (!ports.outputOpen)
        return false;
    // Asked before the request goes out: the answer may be back at once.
    hub.modelDetector.asked();
    const auto request = ravlin::identity::request();
    ports.sendSysEx (request.data(), (int)request.size());
    return true;
}

void HubSettings::portsChanged()
{
    auto& ports = *hub.ports;
    // Another instrument, perhaps: nothing known of it is kept.
    hub.globalsKnown = false;
    hub.unreadableGlobalsSize = -1;
    ports.getSender().setLinkMillisecondsPerByte (LinkSpeed::millisecondsPerByte (linkSpeed));
    hub.modelDetector.forget();
    if (hub.modelDetector.getChoice() == ModelDetector::Choice::detect && ports.inputOpen && ports.outputOpen)
        detectModel();
}

void HubSettings::selectInputPort (int index)
{
    hub.ports->selectInput (index, hub.portNames.getReference (0));
    portsChanged();
}

void HubSettings::selectOutputPort (int index)
{
    hub.ports->selectOutput (index, hub.portNames.getReference (1));
    portsChanged();
}
