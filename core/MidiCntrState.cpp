#include "core/MidiCntrState.h"

#include "instrument/BankFolder.h"
#include "instrument/GlobalDump.h"

#include <thread>

using ravlin::Bytes;
namespace sysex = ravlin::sysex;

namespace
{
const char* const bankNames[MidiCntrState::numBanks] = {"User Bank 1",    "User Bank 2",    "User Bank 3",
                                                        "User Bank 4",    "Factory Bank 1", "Factory Bank 2",
                                                        "Factory Bank 3", "Factory Bank 4"};

// Host-bound messages are stamped in milliseconds since the hub was made, so stamps stay small.
const juce::uint32 epoch = juce::Time::getMillisecondCounter();
int millisecondStamp() noexcept
{
    return (int)(juce::Time::getMillisecondCounter() - epoch);
}

bool isNrpnController (int controller) noexcept
{
    return controller == 6 || controller == 38 || controller == 98 || controller == 99;
}

// Ports and hosts may hand over short or malformed messages: look at no byte that is not there.
bool isNoteOn (const uint8_t* data, int size) noexcept
{
    return size >= 3 && (data[0] & 0xF0) == 0x90 && data[2] > 0;
}

bool isNoteOff (const uint8_t* data, int size) noexcept
{
    return size >= 3 && ((data[0] & 0xF0) == 0x80 || ((data[0] & 0xF0) == 0x90 && data[2] == 0));
}
} // namespace

MidiCntrState::MidiCntrState (std::unique_ptr<MidiDeviceSet> system, juce::File applicationDataFolder)
    : files (std::move (applicationDataFolder)), systemDevices (std::move (system))
{
    // Settings come first: the channel, the options and the latency depend on them.
    settingsBlock = files.loadSettings();
    // What settling changes is not this instance's change: a save keeps a channel another instance
    // sharing the folder wrote meanwhile.
    SettingsBlock::settle (settingsBlock);
    settingsAsSaved = settingsBlock;
    midiChannel = (int)settingsBlock[SettingsBlock::midiChannel];

    for (int b = 0; b < numBanks; ++b)
        banks[(size_t)b] = std::make_unique<Bank_Program> (bankNames[b]);
    const auto fromFile = files.loadBanks (banks);
    for (int b = 0; b < numBanks; ++b)
        if (!fromFile[(size_t)b])
            banks[(size_t)b]->loadFactoryBank (b % 4);
    banksAsSaved = SettingsFiles::banksContent (banks);

    presetBank.loadFactoryBank (0);
    // Until a preset is chosen the sound being edited is the first preset, which is what the
    // host gets when it asks for the current program; an empty image would name itself
    // "AAAAAAAAAAAAAAAA".
    presetBank.setCurrent (presetBank.getProgram (0));

    toHostQueue.ensureSize (16384);
    toHostSpare.ensureSize (16384);
    sysExBuffer.reserve (4096);

    // Before the input opens: the first messages in already go by these.
    readOptions();
    readLatencySettings();

    portNames = files.loadPorts();
    portsAsSaved = portNames;
    ports = std::make_unique<MIDI_PORTS_Control> (devices, *this);
    transmitter = std::make_unique<BankTransmitter> (*this);
    ports->reopenRememberedPorts (portNames[0], portNames[1]);
    portsChanged();
    if (const auto number = portNames[3].getIntValue(); number != 0)
        ports->sysExBufferChoice = number;

    loadDefaultPreset();
}

MidiCntrState::~MidiCntrState()
{
    modelDetector.shutdown(); // sends nothing more to the ports about to close
    // The input goes first: its callback reads the ports and writes the banks saved below.
    ports->openInput (0);
    transmitter.reset(); // stops after the dump in flight
    files.saveBanks (banks, banksAsSaved);
    files.saveSettings (settingsBlock, settingsAsSaved);
    ports->openOutput (0);
    ports.reset();
}

void MidiCntrState::readOptions()
{
    clockOption = settingsBlock[SettingsBlock::clockOn] == 1;
    thruPortToHost = settingsBlock[SettingsBlock::thruPortToHost] == 1;
    programChangeWithAutomation = settingsBlock[SettingsBlock::programChangeWithAutomation] == 1;
    thruHostToPort = settingsBlock[SettingsBlock::thruHostToPort] == 1;
    verifyAfterWriting = settingsBlock[SettingsBlock::verifyAfterWriting] == 1;
    linkSpeed = LinkSpeed::fromSetting (settingsBlock[SettingsBlock::linkSpeed]);
    modelDetector.setChoice (ModelDetector::choiceOfSetting (settingsBlock[SettingsBlock::instrumentModel]));
}

void MidiCntrState::readLatencySettings()
{
    const auto* block = settingsBlock.data(); // settled at load
    for (int i = 0; i < 6; ++i)
        latencyTable[(size_t)i] = SettingsBlock::read32 (block, SettingsBlock::latencyValues + 4 * i);
    latencyTable[6] = SettingsBlock::read32 (block, SettingsBlock::seventhLatency);
    latencyMode = 0; // the stored mode is not applied at start
}

void MidiCntrState::loadDefaultPreset()
{
    const auto image = files.readDefaultPreset();
    if (!image.has_value())
        return;
    if (presetProgramIndex < 0)
        presetProgramIndex = 0;
    setPresetProgram (presetProgramIndex, *image);
    loadPresetProgram();
}

void MidiCntrState::setLatencySettings (int mode, const std::array<int, 7>& delays)
{
    auto* block = settingsBlock.data();
    SettingsBlock::write32 (block, SettingsBlock::latencyMarker, SettingsBlock::latencyMarkerValue);
    for (int i = 0; i < 6; ++i)
    {
        SettingsBlock::write32 (block, SettingsBlock::latencyValues + 4 * i, delays[(size_t)i]);
        latencyTable[(size_t)i] = delays[(size_t)i];
    }
    SettingsBlock::write32 (block, SettingsBlock::seventhLatency, delays[6]);
    latencyTable[6] = delays[6];
    SettingsBlock::write32 (block, SettingsBlock::latencyMode, mode);
    latencyMode = mode;
}

void MidiCntrState::setOption (int settingsByte, bool on)
{
    switch (settingsByte)
    {
        case SettingsBlock::thruHostToPort: thruHostToPort = on; break;
        case SettingsBlock::clockOn: clockOption = on; break;
        case SettingsBlock::thruPortToHost: thruPortToHost = on; break;
        case SettingsBlock::programChangeWithAutomation: programChangeWithAutomation = on; break;
        case SettingsBlock::verifyAfterWriting: verifyAfterWriting = on; break;
        default: return;
    }
    settingsBlock[(size_t)settingsByte] = on ? 1 : 0;
}

void MidiCntrState::setLinkSpeed (LinkSpeed::Kind kind)
{
    linkSpeed = kind;
    settingsBlock[SettingsBlock::linkSpeed] = kind == LinkSpeed::Kind::usb ? 1 : 0;
    ports->getSender().setLinkMillisecondsPerByte (LinkSpeed::millisecondsPerByte (kind));
}

double MidiCntrState::linkMillisecondsPerByte() const
{
    const auto known = ports->outputMillisecondsPerByte();
    return known >= 0 ? known : LinkSpeed::millisecondsPerByte (linkSpeed);
}

void MidiCntrState::setMidiChannelSetting (int channel)
{
    if (channel < 1 || channel > 16)
        return;
    midiChannel = channel;
    settingsBlock[SettingsBlock::midiChannel] = (uint8_t)channel;
}

void MidiCntrState::saveSettings() const
{
    files.saveSettings (settingsBlock, settingsAsSaved);
}

void MidiCntrState::savePorts()
{
    portNames.set (3, juce::String (ports->sysExBufferChoice));
    // Unchanged names would only overwrite what another instance chose since.
    if (portNames != portsAsSaved && files.savePorts (portNames))
        portsAsSaved = portNames;
}

void MidiCntrState::loadLayout()
{
    if (const auto stored = files.loadLayout())
        layout = *stored;
    layoutAsSaved = SettingsFiles::layoutContent (layout);
}

void MidiCntrState::saveLayout() const
{
    const auto content = SettingsFiles::layoutContent (layout);
    if (content != layoutAsSaved && files.saveLayout (layout))
        layoutAsSaved = content;
}

//==============================================================================
void MidiCntrState::addCableListener (CableListener* listener)
{
    const juce::ScopedLock sl (listenerLock);
    cableListeners.addIfNotAlreadyThere (listener);
}

void MidiCntrState::removeCableListener (CableListener* listener)
{
    const juce::ScopedLock sl (listenerLock);
    cableListeners.removeAllInstancesOf (listener);
}

void MidiCntrState::addListener (MidiCntrStateListener* listener)
{
    const juce::SpinLock::ScopedLockType sl (eventListenerLock);
    const auto end = listeners.begin() + numListeners;
    if (listener != nullptr && std::find (listeners.begin(), end, listener) == end && numListeners < maxListeners)
        listeners[(size_t)numListeners++] = listener;
}

void MidiCntrState::removeListener (MidiCntrStateListener* listener)
{
    {
        const juce::SpinLock::ScopedLockType sl (eventListenerLock);
        const auto end = listeners.begin() + numListeners;
        const auto found = std::find (listeners.begin(), end, listener);
        if (found == end)
            return;
        std::copy (found + 1, end, found);
        listeners[(size_t)--numListeners] = nullptr;
    }
    // A call that copied the old list may still be running on another thread.
    while (listenerCallsInFlight.load() > 0)
        std::this_thread::yield();
}

void MidiCntrState::postEvent (uint32_t code)
{
    // Another program: whatever the instrument's NRPN receiver held, the next NRPN goes out whole.
    if (code == HubEvent::programLoaded && ports != nullptr)
        ports->getSender().forgetNrpnState();

    eventLog.push (code);

    std::array<MidiCntrStateListener*, maxListeners> toCall;
    int count = 0;
    {
        const juce::SpinLock::ScopedLockType sl (eventListenerLock);
        count = numListeners;
        std::copy (listeners.begin(), listeners.begin() + count, toCall.begin());
        if (count > 0)
            ++listenerCallsInFlight;
    }
    if (count == 0)
        return;

    for (int i = count; --i >= 0;)
        toCall[(size_t)i]->stateEvent (*this);
    --listenerCallsInFlight;
}

//==============================================================================
void MidiCntrState::storeValue (int index, int value)
{
    if (juce::isPositiveAndBelow (index, ravlin::ParameterTable::numImageParameters))
    {
        const juce::SpinLock::ScopedLockType sl (programLock);
        presetBank.current[(size_t)index] = (uint8_t)value;
        return;
    }

    switch (index)
    {
        case 1024:
            if (value < 0)
            {
                currentBank = -1;
                currentProgram = -1;
            }
            else if (value <= 791)
            {
                currentBank = value / 99;
                currentProgram = value % 99;
            }
            break;
        case 1025: sliderToHost[0] = value; break;
        case 1026: sliderToHost[2] = value; break;
        case 1027: sliderToHost[1] = value; break;
        case 1028: latches[0] = value; break;
        case 1029: latches[1] = value; break;
        default: break;
    }
}

uint8_t MidiCntrState::getProgramByte (int index) const
{
    const juce::SpinLock::ScopedLockType sl (programLock);
    return juce::isPositiveAndBelow (index, (int)presetBank.current.size()) ? presetBank.current[(size_t)index] : 0;
}

Bytes MidiCntrState::getCurrentProgram() const
{
    const juce::SpinLock::ScopedLockType sl (programLock);
    return presetBank.current;
}

void MidiCntrState::setCurrentProgram (const Bytes& image)
{
    const juce::SpinLock::ScopedLockType sl (programLock);
    presetBank.setCurrent (image);
}

Bytes MidiCntrState::getPresetProgram (int program) const
{
    const juce::SpinLock::ScopedLockType sl (programLock);
    auto image = presetBank.getProgram (juce::jlimit (0, Bank_Program::numPrograms - 1, program));
    image.resize ((size_t)Bank_Program::programSize, 0);
    return image;
}

void MidiCntrState::setPresetProgram (int program, const Bytes& image)
{
    const juce::SpinLock::ScopedLockType sl (programLock);
    presetBank.setProgram (program, image);
}

Bytes MidiCntrState::getBankProgram (int bank, int program) const
{
    if (!juce::isPositiveAndBelow (bank, numBanks))
        return Bytes ((size_t)Bank_Program::programSize, 0);
    const juce::SpinLock::ScopedLockType sl (programLock);
    return banks[(size_t)bank]->getProgram (program);
}

void MidiCntrState::setBankProgram (int bank, int program, const Bytes& image)
{
    if (!juce::isPositiveAndBelow (bank, numBanks))
        return;
    const juce::SpinLock::ScopedLockType sl (programLock);
    banks[(size_t)bank]->setProgram (program, image);
}

juce::String MidiCntrState::getBankProgramName (int bank, int program) const
{
    if (!juce::isPositiveAndBelow (bank, numBanks))
        return {};
    const juce::SpinLock::ScopedLockType sl (programLock);
    return banks[(size_t)bank]->getProgramName (program);
}

juce::String MidiCntrState::getPresetProgramName (int program) const
{
    const juce::SpinLock::ScopedLockType sl (programLock);
    return presetBank.getProgramName (program);
}

void MidiCntrState::renamePresetProgram (int program, const juce::String& name)
{
    const juce::SpinLock::ScopedLockType sl (programLock);
    presetBank.setProgramName (program, name);
}

//==============================================================================
void MidiCntrState::sendShortNow (uint8_t status, int data1, int data2, int size)
{
    const uint8_t bytes[3] = {status, (uint8_t)(data1 & 0x7F), (uint8_t)(data2 & 0x7F)};
    ports->getSender().schedule (bytes, size, TimedMidiSender::now());
}

namespace
{
/** One NRPN as the single event the sender takes: controllers 99, 98, 6 and 38. */
std::array<uint8_t, NrpnRunningStatus::nrpnEventSize> nrpnEvent (int channel, int number, int value) noexcept
{
    const auto status = (uint8_t)(0xB0 | ((channel - 1) & 0x0F));
    return {status, 99, (uint8_t)((number >> 7) & 0x7F), status, 98, (uint8_t)(number & 0x7F),
            status, 6,  (uint8_t)((value >> 7) & 0x7F),  status, 38, (uint8_t)(value & 0x7F)};
}

/** A touch slider's place in the hub's slider values and the controller it sends: members run
    "Slider 1", "Slider Press", "Slider 2"; indices 1025, 1026, 1027 run 1, 2, Press. Member -1
    for anything else. */
struct SliderOfIndex
{
    int member = -1, controller = 0;
};
SliderOfIndex sliderOf (int index) noexcept
{
    switch (index)
    {
        case 1025: return {0, 14};
        case 1026: return {2, 15};
        case 1027: return {1, 17};
        default: return {};
    }
}
} // namespace

void MidiCntrState::sendNrpn (int number, int value)
{
    if (!ports->outputOpen)
        return;
    const auto event = nrpnEvent (midiChannel, number, value);
    ports->getSender().schedule (event.data(), (int)event.size(), TimedMidiSender::now());
}

void MidiCntrState::fastNrpnSend (int row, int value, double delayMilliseconds, double rate)
{
    const auto number = parameterTable.nrpnNumber (row);
    if (number == ravlin::ParameterTable::noNrpn || !ports->outputOpen)
        return;

    // Which controllers can be left out is decided as the event goes onto the wire, where the
    // order of every path's NRPN is known; a value the instrument may already have is sent
    // again, as it may have changed it meanwhile.
    juce::ignoreUnused (rate); // every byte goes out at one moment, so only the delay matters
    const auto event = nrpnEvent (midiChannel, number, value);
    // The host's value of this parameter may still wait for the link: it must not land after
    // the user's.
    ports->getSender().replaceWaitingParameter (row, ParameterMessage::makeNrpn (midiChannel, number, value));
    ports->getSender().schedule (event.data(), (int)event.size(),
                                 TimedMidiSender::now() + juce::jmax (0.0, delayMilliseconds));
}

void MidiCntrState::requestProgram (int bank, int program)
{
    if (ports->outputOpen)
    {
        noteProgramRequest (bank, program);
        sendToInstrument (ravlin::requestProgramDump (bank, program));
    }
}

void MidiCntrState::requestEditBuffer()
{
    sendToInstrument (ravlin::requestEditBufferDump());
}

bool MidiCntrState::sendToInstrument (const Bytes& message)
{
    if (!ports->outputOpen)
        return false;
    return modelDetector.send (message);
}

void MidiCntrState::setModelChoice (ModelDetector::Choice choice)
{
    modelDetector.setChoice (choice);
    settingsBlock[SettingsBlock::instrumentModel] = ModelDetector::settingOf (choice);
    if (choice == ModelDetector::Choice::detect && !modelDetector.hasDetected() && ports->inputOpen)
        detectModel();
}

bool MidiCntrState::detectModel()
{
    if (!ports->outputOpen)
        return false;
    // Asked before the request goes out: the answer may be back at once.
    modelDetector.asked();
    const auto request = ravlin::identity::request();
    ports->sendSysEx (request.data(), (int)request.size());
    return true;
}

void MidiCntrState::portsChanged()
{
    // Another instrument, perhaps: nothing known of it is kept.
    globalsKnown = false;
    unreadableGlobalsSize = -1;
    ports->getSender().setLinkMillisecondsPerByte (LinkSpeed::millisecondsPerByte (linkSpeed));
    modelDetector.forget();
    if (modelDetector.getChoice() == ModelDetector::Choice::detect && ports->inputOpen && ports->outputOpen)
        detectModel();
}

void MidiCntrState::requestGlobals()
{
    // Without an output the instrument is off line too: no earlier reply may stand for it.
    globalsReceived = false;
    postEvent (HubEvent::offline);
    sendToInstrument (ravlin::requestGlobalParameters());
}

void MidiCntrState::noteOnToInstrument (int channel, int note, int velocity)
{
    if (channel > 16 || note > 127 || !ports->outputOpen)
        return;
    sendShortNow ((uint8_t)(0x90 | ((juce::jmax (1, channel) - 1) & 0x0F)), note, (velocity & 0x80) ? 127 : velocity,
                  3);
}

void MidiCntrState::pitchBendToInstrumentAndHost (int channel, int value)
{
    {
        const juce::ScopedLock sl (hubLock);
        const auto message = juce::MidiMessage::pitchWheel (juce::jlimit (1, 16, channel), value & 0x3FFF);
        queueForHost (message.getRawData(), message.getRawDataSize());
    }
    ports->sendPitchWheel (channel, value);
}

void MidiCntrState::controllerToHost (int channel, int controller, int value)
{
    if (channel > 16 || controller >= 128)
        return;
    const juce::ScopedLock sl (hubLock);
    const auto message = juce::MidiMessage::controllerEvent (juce::jmax (1, channel), controller, value & 0x7F);
    queueForHost (message.getRawData(), message.getRawDataSize());
}

void MidiCntrState::programChangeToHost (int channel, int program)
{
    if (channel > 16 || program >= 128)
        return;
    const juce::ScopedLock sl (hubLock);
    const auto message = juce::MidiMessage::programChange (juce::jmax (1, channel), program);
    queueForHost (message.getRawData(), message.getRawDataSize());
}

void MidiCntrState::queueForHost (const uint8_t* bytes, int size)
{
    const auto now = millisecondStamp();
    toHostQueue.addEvent (bytes, size, now);

    // Drop what has waited longer than the host would still want it.
    if (!toHostQueue.isEmpty() && toHostQueue.getFirstEventTime() < now - (int)toHostAgeLimitMs)
    {
        toHostSpare.clear();
        for (const auto m : toHostQueue)
            if (m.samplePosition >= now - (int)toHostAgeLimitMs)
                toHostSpare.addEvent (m.data, m.numBytes, m.samplePosition);
        toHostQueue.swapWith (toHostSpare);
    }
}

//==============================================================================
void MidiCntrState::selectProgram (int slot, bool sendToInstrument, bool tellHost)
{
    if (slot < 0)
    {
        currentBank = -1;
        currentProgram = -1;
    }
    else if (slot <= 791)
    {
        currentBank = slot / 99;
        currentProgram = slot % 99;
    }

    const int bank = currentBank, program = currentProgram;
    if (!juce::isPositiveAndBelow (bank, numBanks) || !juce::isPositiveAndBelow (program, 99))
        return; // no valid selection: the program being edited stays as it is

    {
        // Copied in place: selection also runs on the audio thread, which must not allocate.
        const juce::SpinLock::ScopedLockType sl (programLock);
        const auto* source = banks[(size_t)bank]->programs.data() + (size_t)program * Bank_Program::programSize;
        std::copy (source, source + Bank_Program::programSize, presetBank.current.begin());
    }
    selectedSlot = bank * 99 + program;
    postEvent (HubEvent::programLoaded);

    if (tellHost)
    {
        if (programChangeWithAutomation)
        {
            // The host hears of it; the instrument is told below, or told us itself.
            const juce::ScopedLock sl (listenerLock);
            for (int i = cableListeners.size(); --i >= 0;)
                cableListeners.getUnchecked (i)->cableChanged (1024, bank * 99 + program, true, false, true);
        }
        controllerToHost (midiChannel, 32, bank);
        programChangeToHost (midiChannel, program);
    }

    if (sendToInstrument)
        sendSelectionAt (TimedMidiSender::now());
}

void MidiCntrState::sendSelectionAt (double due) noexcept
{
    const int bank = currentBank, program = currentProgram;
    if (!ports->outputOpen || !juce::isPositiveAndBelow (bank, numBanks) || !juce::isPositiveAndBelow (program, 99))
        return;
    const auto status = (uint8_t)((midiChannel - 1) & 0x0F);
    const uint8_t bankSelect[3] = {(uint8_t)(0xB0 | status), 32, (uint8_t)bank};
    const uint8_t programChange[2] = {(uint8_t)(0xC0 | status), (uint8_t)program};
    ports->getSender().schedule (bankSelect, 3, due);
    ports->getSender().schedule (programChange, 2, due);
}

void MidiCntrState::hostChange (int index, int raw)
{
    if (juce::isPositiveAndBelow (index, ravlin::ParameterTable::numImageParameters))
    {
        storeValue (index, raw);
        offerToInstrument (index, raw);
        postEvent (HubEvent::parameter (index, raw));
        return;
    }

    switch (index)
    {
        case 1024:
            storeValue (1024, raw);
            if (programChangeWithAutomation && raw >= 0)
            {
                // Late by the latency, as the parameters the host automates around it.
                selectProgram (raw, false, false);
                sendSelectionAt (TimedMidiSender::now() + currentLatencyMs());
            }
            break;
        case 1025:
        case 1026:
        case 1027:
            storeValue (index, raw);
            offerToInstrument (index, raw);
            postEvent (HubEvent::sliders);
            break;
        case 1028:
        case 1029: setLatch (index, raw); break;
        default: break;
    }
}

void MidiCntrState::offerToInstrument (int index, int raw)
{
    // The newest value of each parameter waits for the link; the host's automation can come
    // faster than the wire carries it, and the instrument must end on the last value.
    auto& sender = ports->getSender();
    if (juce::isPositiveAndBelow (index, ravlin::ParameterTable::numImageParameters))
    {
        const auto number = parameterTable.nrpnNumber (index);
        if (number != ravlin::ParameterTable::noNrpn && ports->outputOpen)
            sender.offerParameter (index, ParameterMessage::makeNrpn (midiChannel, number, raw),
                                   TimedMidiSender::now() + juce::jmax (0.0, currentLatencyMs()));
        return;
    }
    const auto slider = sliderOf (index);
    if (slider.member < 0)
        return;
    sliderSent[slider.member] = raw;
    if (ports->outputOpen)
        sender.offerParameter (
            ravlin::ParameterTable::numImageParameters + slider.member,
            ParameterMessage::makeController (midiChannel, slider.controller, juce::jlimit (0, 127, raw)),
            TimedMidiSender::now());
}

void MidiCntrState::sendSlider (int index, int value)
{
    const auto slider = sliderOf (index);
    if (slider.member < 0)
        return;
    sliderSent[slider.member] = value;
    if (ports->outputOpen)
        ports->sendController (midiChannel, slider.controller, juce::jlimit (0, 127, value));
}

void MidiCntrState::setLatch (int index, int value)
{
    if (index != 1028 && index != 1029)
        return;
    storeValue (index, value);
    postEvent (index == 1028 ? HubEvent::latch1 : HubEvent::latch2);
}

void MidiCntrState::clearKeysAndHostQueue()
{
    const juce::ScopedLock sl (hubLock);
    keyState.fill (0);
    toHostQueue.clear();
}

void MidiCntrState::loadPresetProgram()
{
    if (presetProgramIndex < 0)
        presetProgramIndex = 0;
    {
        const juce::SpinLock::ScopedLockType sl (programLock);
        presetBank.setCurrent (presetBank.getProgram (presetProgramIndex));
    }
    postEvent (HubEvent::programLoaded);
}

void MidiCntrState::storeEditorProgram (bool toBank, int bank, int program, const Bytes& image)
{
    if (toBank)
    {
        setBankProgram (bank, program, image);
        postEvent (HubEvent::bankChanged);
    }
    else
    {
        setCurrentProgram (image);
    }
    postEvent (HubEvent::programLoaded);
}

bool MidiCntrState::startBankReceive (int kind, int firstBank)
{
    // One transfer at a time: a WRITE still going out or reading back is one too.
    if (transmitter->isTransmitting() || bankReceiving)
        return false;
    transferCode = kind;
    bankReceiveKind = kind;
    nextBank = firstBank;
    bankReceiving = true;
    bankProgress = true;
    requestProgram (firstBank, 0);
    return true;
}

bool MidiCntrState::startTransmit (int code, int firstBank)
{
    std::vector<BankTransmitter::Item> programs;
    if (code == transmitProgramToBank)
    {
        if (!juce::isPositiveAndBelow (firstBank, numBanks))
            return false;
        programs.push_back ({firstBank, juce::jlimit (0, 98, currentProgram.load()), getCurrentProgram()});
    }
    else if (code == transmitAllUserBanks || code == transmitAllFactoryBanks)
    {
        const int first = code == transmitAllUserBanks ? 0 : 4;
        for (int b = first; b < first + 4; ++b)
            for (int p = 0; p < Bank_Program::numPrograms; ++p)
                programs.push_back ({b, p, getBankProgram (b, p)});
    }
    else
    {
        return false;
    }
    if (!transmitPrograms (std::move (programs), true, verifyAfterWriting))
        return false;
    transferCode = code;
    return true;
}

bool MidiCntrState::transmitPrograms (std::vector<BankTransmitter::Item> programs, bool reportProgress, bool readBack)
{
    if (!ports->outputOpen || transmitter->isTransmitting() || bankReceiving)
        return false;
    std::vector<BankTransmitter::Item> items;
    for (auto& item : programs)
    {
        if (!juce::isPositiveAndBelow (item.bank, numBanks) || !juce::isPositiveAndBelow (item.program, 99))
            continue;
        item.image.resize ((size_t)Bank_Program::programSize, 0);
        items.push_back (std::move (item));
    }
    if (items.empty())
        return false;
    bankProgress = reportProgress;
    return transmitter->start (std::move (items), reportProgress, readBack);
}

MidiCntrState::WriteResult MidiCntrState::writeProgram (int bank, int program, const juce::String& name, int category)
{
    if (!juce::isPositiveAndBelow (bank, 4) || !juce::isPositiveAndBelow (program, 99))
        return WriteResult::notUserSlot;
    if (!ports->outputOpen)
        return WriteResult::noOutput;
    if (transmitter->isTransmitting() || bankReceiving || transferCode >= 0)
        return WriteResult::busy;

    auto image = getCurrentProgram();
    DSI_Program::writeName (image.data() + DSI_Program::nameOffset, name);
    if (category >= 0 && image.size() > (size_t)DSI_Program::categoryOffset)
        image[(size_t)DSI_Program::categoryOffset] = (uint8_t)category;
    if (!transmitPrograms ({{bank, program, image}}, false, verifyAfterWriting))
        return WriteResult::busy;
    setCurrentProgram (image);
    setBankProgram (bank, program, image);
    currentBank = bank;
    currentProgram = program;
    postEvent (HubEvent::bankChanged);
    postEvent (HubEvent::programLoaded);
    return WriteResult::written;
}

void MidiCntrState::cancelTransfer()
{
    bankProgress = false;
    bankReceiving = false;
    transmitter->cancel();
    transferCode = -1;
    // The answer to a receive's or a read-back's last request may still come: nobody wants it.
    abandonOutstandingRequest();
}

void MidiCntrState::noteProgramRequest (int bank, int program)
{
    outstandingRequest = bank * 128 + program;
}

void MidiCntrState::abandonOutstandingRequest()
{
    // At DIN speed a dump takes 377 ms on the wire; an instrument that has not begun its answer
    // within a few seconds is taken to have dropped the request.
    constexpr double replyWaitMs = 5000.0;
    const auto request = outstandingRequest.exchange (-1);
    if (request < 0)
        return;
    abandonedUntil = juce::Time::getMillisecondCounterHiRes() + replyWaitMs;
    abandonedRequest = request;
}

bool MidiCntrState::isAbandonedReply (int bank, int program)
{
    const auto request = bank * 128 + program;
    if (outstandingRequest.load() == request)
        outstandingRequest = -1;
    if (abandonedRequest.load() != request)
        return false;
    abandonedRequest = -1;
    return juce::Time::getMillisecondCounterHiRes() < abandonedUntil.load();
}

BankTransmitter::Report MidiCntrState::getLastTransmitReport() const
{
    const std::lock_guard<std::mutex> guard (readBackLock);
    return lastTransmitReport;
}

void MidiCntrState::setLastTransmitReport (const BankTransmitter::Report& result)
{
    const std::lock_guard<std::mutex> guard (readBackLock);
    lastTransmitReport = result;
}

void MidiCntrState::transmitFinished (bool reportProgress)
{
    transferCode = -1;
    bankProgress = false;
    if (reportProgress)
    {
        postEvent (HubEvent::bankChanged);
        postEvent (HubEvent::bankDone);
    }
}

bool MidiCntrState::isTransmitting() const
{
    return transmitter->isTransmitting();
}

//==============================================================================
void MidiCntrState::handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage& message)
{
    const auto* data = message.getRawData();
    const auto size = message.getRawDataSize();
    if (size > 0 && ports != nullptr)
        ports->messagesIn.fetch_add (1, std::memory_order_relaxed);
    if (size <= 0 || data[0] == 0xF8)
        return;

    const auto status = data[0];
    const auto kind = status & 0xF0;
    const auto channel = (status & 0x0F) + 1;

    // Bytes without a status byte only make sense as the rest of a SysEx message.
    if (status < 0x80 && sysExBuffer.empty())
        return;

    // By MIDI's rule any status byte but a real-time one ends a SysEx: one that never ended is
    // dropped, and this message counts as what it is.
    if (status >= 0x80 && status < 0xF8 && status != sysex::end && !sysExBuffer.empty())
        sysExBuffer.clear();

    if (thruPortToHost && status != sysex::start && status != sysex::end && sysExBuffer.empty())
    {
        const bool nrpnPart = kind == 0xB0 && size > 1 && isNrpnController (data[1]);
        if (!nrpnPart)
        {
            if (kind == 0xB0 && size > 2 && data[1] == 32 && data[2] < numBanks)
                currentBank = data[2];
            if (kind == 0xC0 && size > 1)
                programChangeFromInstrument (data[1]);

            const juce::ScopedLock sl (hubLock);
            if (isNoteOn (data, size))
                keyState[data[1] & 0x7F] = 1;
            else if (isNoteOff (data, size))
                keyState[data[1] & 0x7F] = 0;
            queueForHost (data, size);
            return;
        }
    }

    if (status == sysex::start)
    {
        sysExBuffer.assign (data, data + size);
    }
    else if (!sysExBuffer.empty() && status < 0xF8)
    {
        sysExBuffer.insert (sysExBuffer.end(), data, data + size);
    }
    else if (isNoteOn (data, size))
    {
        postEvent (HubEvent::noteOn (channel, data[1] & 0x7F, data[2] & 0x7F));
        return;
    }
    else if (isNoteOff (data, size))
    {
        postEvent (HubEvent::noteOff (channel, data[1] & 0x7F));
        return;
    }
    else if (kind == 0xE0 && size >= 3)
    {
        postEvent (HubEvent::pitchBend (channel, (data[2] & 0x7F) * 128 + (data[1] & 0x7F)));
        return;
    }
    else if (kind == 0xB0 && size >= 3)
    {
        const int controller = data[1] & 0x7F, value = data[2] & 0x7F;
        switch (controller)
        {
            case 1: postEvent (HubEvent::controller (channel, controller, value)); break;
            case 32:
                if (value < numBanks)
                    currentBank = value;
                break;
            case 99: nrpnNumberHigh = (uint8_t)value; break;
            case 98: nrpnNumberLow = (uint8_t)value; break;
            case 6: nrpnValueHigh = (uint8_t)value; break;
            case 38:
            {
                nrpnValueLow = (uint8_t)value;
                // The instrument changed a parameter itself: a value sent before is no guide.
                ports->getSender().forgetNrpnState();
                const auto row = parameterTable.parameterForNrpn (nrpnNumberHigh * 128 + nrpnNumberLow);
                if (row >= 0)
                {
                    receivedNrpn.push ((uint32_t)row * 65536u + (uint32_t)(nrpnValueHigh * 128 + nrpnValueLow));
                    sendChangeMessage();
                }
                break;
            }
            default: break;
        }
        return;
    }
    else if (kind == 0xC0 && size >= 2)
    {
        programChangeFromInstrument (data[1]);
        return;
    }
    else
    {
        return;
    }

    if (sysExBuffer.size() >= 2 && sysExBuffer.front() == sysex::start && sysExBuffer.back() == sysex::end)
    {
        const auto complete = sysExBuffer;
        sysExBuffer.clear();
        dispatchSysEx (complete);
    }
}

void MidiCntrState::programChangeFromInstrument (int program)
{
    // A bank holds 99 programs; higher numbers name nothing and are ignored. The same number
    // after a bank select is another program.
    if (program >= Bank_Program::numPrograms ||
        (program == currentProgram && program + 99 * currentBank == selectedSlot.load()))
        return;
    currentProgram = program;
    selectProgram (program + 99 * currentBank, false, programChangeWithAutomation);
}

void MidiCntrState::handlePartialSysexMessage (juce::MidiInput*, const juce::uint8*, int, double)
{
    if (sysExBuffer.empty())
        return;
    const auto partial = sysExBuffer;
    sysExBuffer.clear();
    dispatchSysEx (partial);
}

void MidiCntrState::dispatchSysEx (const Bytes& m)
{
    if (const auto model = ravlin::identity::modelOfReply (m.data(), m.size()))
    {
        modelDetector.replied (*model); // what waited for the answer goes out now
        postEvent (HubEvent::modelChanged);
        return;
    }
    if (m.size() >= 4 && m[1] == 0x7E && m[3] == 0x06)
        return; // another device's identity

    // Another maker's message may carry the same bytes after its first: never a program.
    if (!ravlin::isOwnMessage (m.data(), m.size()))
        return;
    switch (m[3])
    {
        case sysex::cmdProgramDump: receiveProgramDump (m); break;
        case sysex::cmdEditBufferDump:
            if (m.size() >= (size_t)sysex::editBufferDumpSize)
            {
                Bytes image ((size_t)sysex::imageSize);
                ravlin::unpackImage (m.data() + sysex::editBufferDumpDataOffset, (size_t)sysex::packedSize,
                                     image.data());
                setCurrentProgram (image);
                postEvent (HubEvent::programLoaded);
            }
            break;
        case sysex::cmdGlobalDump: receiveGlobals (m); break;
        default: break;
    }
}

void MidiCntrState::receiveProgramDump (const Bytes& m)
{
    if (m.size() < (size_t)sysex::programDumpSize)
        return;
    const int bank = m[4], program = m[5];
    if (bank >= numBanks || program > 98)
        return; // never written outside the eight banks

    // Taken before anything else: a cancel in the middle of this must not turn a bank's reply
    // into the program being edited.
    const bool receiving = bankReceiving;

    // The answer to a request a cancelled transfer left behind: nobody wants it any more.
    if (isAbandonedReply (bank, program))
        return;

    Bytes image ((size_t)sysex::imageSize);
    ravlin::unpackImage (m.data() + sysex::programDumpDataOffset, (size_t)sysex::packedSize, image.data());

    if (transmitter->takeReadBackReply (bank, program, image))
        return; // compared with what was sent; the copy keeps what was sent

    if (!receiving)
    {
        currentBank = bank;
        currentProgram = program;
        setBankProgram (bank, program, image);
        postEvent (HubEvent::bankChanged);
        setCurrentProgram (image);
        postEvent (HubEvent::programLoaded);
        return;
    }

    setBankProgram (bank, program, image);
    if (!bankProgress)
        return;

    postEvent (HubEvent::bankProgress (bank, program));
    if (program <= 97)
    {
        requestNextOfReceive (bank, program + 1);
        return;
    }

    const int kind = bankReceiveKind;
    const bool finished = (kind == receiveAllUserBanks && bank >= 3) || (kind == receiveAllFactoryBanks && bank >= 7) ||
                          (kind != receiveAllUserBanks && kind != receiveAllFactoryBanks) || bank + 1 >= numBanks;
    if (finished)
    {
        bankReceiving = false;
        bankProgress = false;
        transferCode = -1;
        postEvent (HubEvent::bankChanged);
        postEvent (HubEvent::bankDone);
        return;
    }
    nextBank = bank + 1;
    requestNextOfReceive (bank + 1, 0);
}

void MidiCntrState::requestNextOfReceive (int bank, int program)
{
    requestProgram (bank, program);
    // Cancelled while this was on its way: the cancel may have looked before the request was made.
    if (!bankReceiving)
        abandonOutstandingRequest();
}

void MidiCntrState::receiveGlobals (const Bytes& m)
{
    // Anything but a whole dump of 50 nibbles would show values the instrument does not hold:
    // the image stays as it was, and whoever shows it says so.
    // The editor's two bytes wait for the instrument's answer, whatever it holds.
    if (pendingSettings)
    {
        settingsBlock[SettingsBlock::pendingValue0] = (uint8_t)pendingSettingsValues[0].load();
        settingsBlock[SettingsBlock::pendingValue1] = (uint8_t)pendingSettingsValues[1].load();
        pendingSettings = false;
        saveSettings();
    }

    const auto globals = ravlin::globalDump::decode (m.data(), m.size());
    if (!globals.has_value())
    {
        unreadableGlobalsSize = (int)m.size();
        postEvent (HubEvent::globalsUnreadable);
        return;
    }
    std::copy (globals->begin(), globals->end(), globalsImage.begin());
    unreadableGlobalsSize = -1;
    globalsKnown = true;
    globalsReceived = true;
    postEvent (HubEvent::online);
}

//==============================================================================
int MidiCntrState::sampleRateIndexFor (double rate) noexcept
{
    const int rates[] = {44100, 48000, 88200, 96000, 176400, 192000};
    for (int i = 0; i < 6; ++i)
        if ((int)rate == rates[i])
            return i;
    return 0;
}

double MidiCntrState::currentLatencyMs() const noexcept
{
    return latencyMode < 100 ? (double)latencyTable[(size_t)juce::jlimit (0, 5, sampleRateIndex.load())].load() : 0.0;
}

void MidiCntrState::routeBlock (juce::MidiBuffer& hostMidi, int numSamples)
{
    const juce::ScopedLock sl (hubLock);
    const auto rate = sampleRate.load();
    const auto now = TimedMidiSender::now();

    for (const auto event : hostMidi)
    {
        const auto* data = event.data;
        const auto status = data[0];
        const auto kind = status & 0xF0;
        const bool noteOn = isNoteOn (data, event.numBytes);
        const bool noteOff = isNoteOff (data, event.numBytes);

        // Every event for the instrument is late by the same latency, and none goes before one the
        // host put earlier, however unevenly the host calls its blocks.
        auto dueOfEvent = [&]
        {
            lastThruDue = juce::jmax (lastThruDue, now + currentLatencyMs() + event.samplePosition * 1000.0 / rate);
            return lastThruDue;
        };

        if (thruHostToPort)
        {
            if (noteOn)
                keyState[data[1] & 0x7F] = 1;
            else if (noteOff)
                keyState[data[1] & 0x7F] = 0;

            // Bank select and program change go as the selection they make, below.
            const bool held =
                (kind == 0xB0 && event.numBytes >= 2 && (isNrpnController (data[1]) || data[1] == 32)) || kind == 0xC0;
            if (!held && ports->outputOpen)
                ports->getSender().schedule (data, event.numBytes, dueOfEvent());
        }

        const auto channel = (status & 0x0F) + 1;
        if (kind == 0xB0 && event.numBytes >= 3)
        {
            const int controller = data[1] & 0x7F, value = data[2] & 0x7F;
            if (controller == 0)
                continue;
            if (controller == 32)
            {
                if (value != currentBank && value < numBanks)
                {
                    currentBank = value;
                    if (currentProgram >= 0) // without a program, nothing to select yet
                    {
                        selectProgram (currentProgram + 99 * value, false, false);
                        sendSelectionAt (dueOfEvent());
                    }
                }
                continue;
            }
            postEvent (HubEvent::controller (channel, controller, value));
        }
        else if (kind == 0xC0 && event.numBytes >= 2)
        {
            // Programs 99 to 127 name nothing in a bank of 99: ignored, not carried into the next bank.
            if (data[1] != currentProgram && data[1] < Bank_Program::numPrograms)
            {
                currentProgram = data[1];
                selectProgram (currentBank * 99 + data[1], false, false);
                sendSelectionAt (dueOfEvent());
            }
        }
        else if (noteOn)
            postEvent (HubEvent::noteOn (channel, data[1] & 0x7F, data[2] & 0x7F));
        else if (noteOff)
            postEvent (HubEvent::noteOff (channel, data[1] & 0x7F));
        else if (kind == 0xE0 && event.numBytes >= 3)
            postEvent (HubEvent::pitchBend (channel, (data[2] & 0x7F) * 128 + (data[1] & 0x7F)));
    }

    hostMidi.clear();

    if (!toHostQueue.isEmpty() && numSamples > 0)
    {
        const auto t0 = toHostQueue.getFirstEventTime();
        const auto t1 = toHostQueue.getLastEventTime();
        for (const auto m : toHostQueue)
        {
            const auto position =
                juce::roundToInt ((double)numSamples / (double)(t1 - t0 + 1) * (m.samplePosition - t0));
            hostMidi.addEvent (m.data, m.numBytes, juce::jlimit (0, numSamples - 1, position));
        }
    }
    toHostQueue.clear();
}

void MidiCntrState::selectInputPort (int index)
{
    ports->selectInput (index, portNames.getReference (0));
    portsChanged();
}

void MidiCntrState::selectOutputPort (int index)
{
    ports->selectOutput (index, portNames.getReference (1));
    portsChanged();
}
