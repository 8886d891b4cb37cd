#pragma once

#include "core/BankTransmitter.h"
#include "core/CodeQueue.h"
#include "core/HostBlockRouter.h"
#include "core/HubEvents.h"
#include "core/HubInput.h"
#include "core/HubListeners.h"
#include "core/HubSettings.h"
#include "core/ModelDetector.h"
#include "core/NrpnSender.h"
#include "core/ProgramStore.h"
#include "core/SettingsBlock.h"
#include "core/SettingsFiles.h"
#include "instrument/Bank_Program.h"
#include "instrument/ParDes.h"
#include "instrument/ParameterTable.h"
#include "library/ProgramSource.h"
#include "midi/JuceMidiDevices.h"
#include "midi/MIDI_PORTS_Control.h"
#include "midi/VirtualInstrument.h"

#include <array>
#include <memory>
#include <mutex>

class MidiCntrState;
class HubTransfers;

/** Told after each posted event; reads the hub's event log later, on the message thread. */
class MidiCntrStateListener
{
public:
    virtual ~MidiCntrStateListener() = default;
    virtual void stateEvent (MidiCntrState& hub) = 0;
};

/** Parameter changes from the editor or the instrument, as the processor takes them. */
class CableListener
{
public:
    virtual ~CableListener() = default;
    virtual void cableChanged (int parameterIndex, int value, bool endGestureNow, bool sendToInstrument,
                               bool notifyHub) = 0;
};

/** The hub between the plug-in and the instrument: the program being edited, the banks,
    the preset bank, the global settings, the MIDI ports and all traffic through them.

    The processor and the editor hold this one object; behind it each job has a part of its
    own: the listeners, the settings and ports, the program store, the NRPN sender, the host
    block router, the transfers and the input from the instrument's port. */
class MidiCntrState : public juce::MidiInputCallback, public juce::ChangeBroadcaster, public ProgramSource
{
    // The parts, made before the state below that refers into them and gone after it.
    std::unique_ptr<HubListeners> hubListeners;
    std::unique_ptr<HubSettings> settings;
    std::unique_ptr<ProgramStore> store;
    std::unique_ptr<NrpnSender> nrpnSender;
    std::unique_ptr<HostBlockRouter> router;
    std::unique_ptr<HubTransfers> transfers;
    std::unique_ptr<HubInput> input;

public:
    static constexpr int numBanks = 8;
    static constexpr int receiveAllUserBanks = 777;
    static constexpr int receiveAllFactoryBanks = 778;
    static constexpr double toHostAgeLimitMs = 500.0;

    /** applicationDataFolder: where the settings, banks, ports and layout files live; an empty
        File keeps everything in memory. */
    explicit MidiCntrState (std::unique_ptr<MidiDeviceSet> systemDevices = std::make_unique<JuceMidiDevices>(),
                            juce::File applicationDataFolder = SettingsFiles::defaultApplicationDataFolder());
    ~MidiCntrState() override;

    void addCableListener (CableListener* listener) { hubListeners->addCableListener (listener); }
    void removeCableListener (CableListener* listener) { hubListeners->removeCableListener (listener); }
    /** Listeners are called on whichever thread posts an event, the audio thread included:
        they must return quickly and never block. At most 16; a listener must not remove itself
        from inside stateEvent(). */
    void addListener (MidiCntrStateListener* listener) { hubListeners->addListener (listener); }
    void removeListener (MidiCntrStateListener* listener) { hubListeners->removeListener (listener); }

    void postEvent (uint32_t code);
    std::vector<uint32_t> takeEvents() { return hubListeners->takeEvents(); }
    /** Parameter index x 65536 + value, for each NRPN received since the last call. */
    std::vector<uint32_t> takeReceivedNrpn() { return input->takeReceivedNrpn(); }

    // The program being edited (the preset bank's working image).
    void storeValue (int index, int value);
    uint8_t getProgramByte (int index) const { return store->getProgramByte (index); }
    ravlin::Bytes getCurrentProgram() const override { return store->getCurrentProgram(); }
    void setCurrentProgram (const ravlin::Bytes& image) { store->setCurrentProgram (image); }

    // To the instrument. Every NRPN goes out as one event of its four controllers; the sender
    // leaves out those the instrument already holds, judged in the order they reach the wire.
    void sendNrpn (int number, int value) { nrpnSender->sendNrpn (number, value); }
    void fastNrpnSend (int row, int value, double delayMilliseconds, double sampleRate);
    void requestProgram (int bank, int program);
    void requestEditBuffer();
    /** Asks for the instrument's edit buffer to compare with: the reply is kept aside
        (takeComparedEditBuffer) and never replaces the program being edited. False, asking
        nothing, without an output. */
    bool requestEditBufferToCompare();
    /** A comparison gave up waiting: a later edit-buffer dump is received as any other. */
    void abandonComparison() { input->expectComparedEditBuffer (false); }
    /** The edit buffer the last comparison request brought, once; empty until it came. */
    ravlin::Bytes takeComparedEditBuffer() { return input->takeComparedEditBuffer(); }
    /** Counts the projects and program chunks the host restored, for whoever checks the
        instrument against the restored program. */
    std::atomic<uint32_t> restoredStates{0};
    void requestGlobals();
    /** One of the instrument's own messages (F0 01 ...), given the device byte of the model in
        use; anything else goes as it is. False when it was not taken: no output, or queue full. */
    bool sendToInstrument (const ravlin::Bytes& message);

    // The model on the ports. With "Detect" the identity request goes out whenever both ports
    // are open, and the reply names the model (posted as HubEvent::modelChanged); the module until
    // then, and without a reply. Whoever shows the state reads it from the detector.
    void setModelChoice (ModelDetector::Choice choice) { settings->setModelChoice (choice); }
    /** Asks whoever is on the ports who they are; false, asking nothing, without an output. */
    bool detectModel() { return settings->detectModel(); }
    const ModelDetector& getModelDetector() const noexcept { return modelDetector; }
    ravlin::InstrumentModel getModel() const noexcept { return modelDetector.model(); }
    /** The byte of every request, dump and saved file: the module's while the model is unknown. */
    uint8_t deviceByte() const noexcept { return modelDetector.deviceByte(); }
    void noteOnToInstrument (int channel, int note, int velocity);
    void pitchBendToInstrumentAndHost (int channel, int value);

    // To the host.
    void controllerToHost (int channel, int controller, int value);
    void programChangeToHost (int channel, int program);

    /** A program of one of the eight banks, read and written under the program lock, since dumps
        arrive on the MIDI input thread while the audio thread may be selecting from the banks. */
    ravlin::Bytes getBankProgram (int bank, int program) const override
    {
        return store->getBankProgram (bank, program);
    }
    void setBankProgram (int bank, int program, const ravlin::Bytes& image)
    {
        store->setBankProgram (bank, program, image);
    }

    juce::String getBankProgramName (int bank, int program) const { return store->getBankProgramName (bank, program); }
    juce::String getPresetProgramName (int program) const { return store->getPresetProgramName (program); }
    ravlin::Bytes getPresetProgram (int program) const override { return store->getPresetProgram (program); }
    juce::String getBankName (int bank) const override { return banks[(size_t)bank]->bankName; }
    void setPresetProgram (int program, const ravlin::Bytes& image) { store->setPresetProgram (program, image); }
    void renamePresetProgram (int program, const juce::String& name) { store->renamePresetProgram (program, name); }

    void selectProgram (int slot, bool sendToInstrument, bool tellHost);

    /** The host moved a parameter to a raw value: store it, send it on and tell the editor;
        nothing goes back to the host. Any thread, no waiting. */
    void hostChange (int index, int raw);
    /** Sliders 1025, 1026, 1027 as controllers 14, 15 and 17 on the MIDI channel. */
    void sendSlider (int index, int value) { nrpnSender->sendSlider (index, value); }
    void setLatch (int index, int value);
    /** At transport (re)preparation: no note is held and nothing waits for the host. */
    void clearKeysAndHostQueue() { router->clearKeysAndQueue(); }
    void loadPresetProgram();
    void storeEditorProgram (bool toBank, int bank, int program, const ravlin::Bytes& image);

    /** Starts receiving banks, one program request at a time, each reply asking for the next;
        false, and nothing asked, while another transfer or a WRITE runs. */
    bool startBankReceive (int kind, int firstBank);

    static constexpr int transmitProgramToBank = 100, transmitAllUserBanks = 888, transmitAllFactoryBanks = 887;
    /** 100: the edited program into bank firstBank at the current program number; 888 and 887:
        the plug-in's copies of the four user or factory banks. The copies take what is sent.
        With "verify after writing" every program is read back afterwards. */
    bool startTransmit (int code, int firstBank);
    /** Sends the given programs (bank and program numbers each) as they are, the copies
        taking them too; with progress like a bank transfer. */
    bool transmitPrograms (std::vector<BankTransmitter::Item> programs, bool reportProgress, bool readBack = false);
    enum class WriteResult
    {
        written,
        noOutput,   // nothing sent, nothing changed
        busy,       // a transfer runs: nothing sent, nothing changed
        notUserSlot // the dialog writes user banks only
    };
    /** The write dialog's WRITE: the edited program, named so and in the category given (-1:
        its own), into a user-bank slot of the instrument and of the copy; that slot becomes
        current. Refused, changing nothing, when it cannot reach the instrument. With "verify
        after writing" the slot is read back. */
    WriteResult writeProgram (int bank, int program, const juce::String& name, int category = -1);
    /** Stops whatever transfer runs; what already arrived or went out stays. A reply to the
        last request that arrives later is dropped. */
    void cancelTransfer();
    void transmitFinished (bool reportProgress); // from the transmit thread
    bool isTransmitting() const;
    /** How the last transmit or WRITE ended, when it was read back or cut short (posted as
        HubEvent::transmitReport). */
    BankTransmitter::Report getLastTransmitReport() const;
    void setLastTransmitReport (const BankTransmitter::Report& result); // from the transmit thread
    /** The reply to the program request still waiting is not wanted any more: dropped if it comes. */
    void abandonOutstandingRequest();
    /** A program request is about to go out: its reply is the one a cancel abandons. */
    void noteProgramRequest (int bank, int program);

    /** The link to the instrument's output: what the MIDI setup says, or what the virtual
        instrument simulates when it is the output. */
    void setLinkSpeed (LinkSpeed::Kind kind) { settings->setLinkSpeed (kind); }
    LinkSpeed::Kind getLinkSpeed() const noexcept { return settings->getLinkSpeed(); }
    double linkMillisecondsPerByte() const { return settings->linkMillisecondsPerByte(); }
    /** How far the instrument is behind the host's automation: what waits for the link, in ms. */
    double linkBacklogMilliseconds() const noexcept { return ports->getSender().getBacklogMilliseconds(); }
    /** For how long automation has waited for the link without a break, in ms (0: it does not). */
    double linkFullForMilliseconds() const noexcept
    {
        return ports->getSender().getFullForMilliseconds (TimedMidiSender::now());
    }

    /** Once per audio block, on the audio thread. */
    void routeBlock (juce::MidiBuffer& hostMidi, int numSamples) { router->routeBlock (hostMidi, numSamples); }

    void selectInputPort (int index) { settings->selectInputPort (index); }
    void selectOutputPort (int index) { settings->selectOutputPort (index); }

    void handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage& message) override
    {
        input->handleMessage (message);
    }
    void handlePartialSysexMessage (juce::MidiInput*, const juce::uint8*, int, double) override
    {
        input->handlePartialSysEx();
    }

    double currentLatencyMs() const noexcept;
    /** From the MIDI setup panel: the mode and the seven delays, into the table and the settings. */
    void setLatencySettings (int mode, const std::array<int, 7>& delays)
    {
        settings->setLatencySettings (mode, delays);
    }
    /** An option together with its settings byte (4, 7, 10 or 11). */
    void setOption (int settingsByte, bool on) { settings->setOption (settingsByte, on); }
    void setMidiChannelSetting (int channel) { settings->setMidiChannelSetting (channel); }

    // The settings, ports and layout files.
    const SettingsFiles& getFiles() const noexcept { return files; }
    void saveSettings() const { settings->saveSettings(); }
    void savePorts() { settings->savePorts(); }
    void loadLayout() { settings->loadLayout(); }
    void saveLayout() const { settings->saveLayout(); }
    static int sampleRateIndexFor (double sampleRate) noexcept;

    // State the rest of the plug-in reads and sets.
    const SettingsFiles files;
    const ravlin::ParameterTable parameterTable;
    ParDes valueTexts;
    std::array<uint8_t, 100> globalsImage{};
    std::array<uint8_t, SettingsBlock::size> settingsBlock{};
    juce::StringArray portNames{"NONE", "NONE", "NONE", "0"};
    std::array<std::unique_ptr<Bank_Program>, numBanks>& banks; // the program store's
    Bank_Program& presetBank;                                   // the program store's

    std::atomic<int> sliderToHost[3]{}, latches[2]{};
    std::atomic<int> (&sliderSent)[3]; // the NRPN sender's
    std::atomic<double> sampleRate{44100.0};
    std::atomic<int> blockSize{0}, latencyMode{0}, sampleRateIndex{0};
    std::array<std::atomic<int>, 7> latencyTable{};
    std::atomic<bool> clockOption{false}, thruPortToHost{false}, thruHostToPort{false},
        programChangeWithAutomation{false}, verifyAfterWriting{false};
    std::atomic<int> midiChannel{1};
    // The on-screen keyboard's: velocity of mouse-played notes, lowest octave of the piano.
    std::atomic<int> noteVelocity{100}, keyboardOctave{2};
    // The editor's: the banks page plays the plug-in's bank copy instead of selecting on the
    // instrument; the About box showed once since the plug-in was loaded.
    std::atomic<bool> playFromBankCopy{false}, editorOpenedBefore{false};
    std::atomic<int> presetProgramIndex{-1};
    std::atomic<int> currentBank{0}, currentProgram{0};
    // The transfers': -1 while idle.
    std::atomic<bool>& bankReceiving;
    std::atomic<bool>& bankProgress;
    std::atomic<int>& bankReceiveKind;
    std::atomic<int>& nextBank;
    std::atomic<int>& transferCode;
    std::atomic<bool> pendingSettings{false};
    std::atomic<int> pendingSettingsValues[2]{};
    std::atomic<bool> globalsReceived{false};
    /** The length of the last reply to the global request that was not a whole global dump, which
        left the image as it was; -1 when the last reply was read. */
    std::atomic<int> unreadableGlobalsSize{-1};
    /** The global image holds what the instrument on these ports sent. */
    std::atomic<bool> globalsKnown{false};
    LayoutValues layout; // message thread: the editor's

    std::array<uint8_t, 128>& keyState; // the host block router's

    /** The virtual module, or the virtual instrument of the given model. */
    VirtualInstrument& getVirtualInstrument() noexcept { return virtualInstrument; }
    VirtualInstrument& getVirtualInstrument (ravlin::InstrumentModel model) noexcept
    {
        return model == ravlin::InstrumentModel::keyboard ? virtualKeyboard : virtualInstrument;
    }
    MIDI_PORTS_Control& getPorts() noexcept { return *ports; }

private:
    friend class HostBlockRouter;
    friend class HubInput;
    friend class HubSettings;

    void loadDefaultPreset();
    void programChangeFromInstrument (int program);
    /** Bank select and program change of the current selection, to go out at the given time. */
    void sendSelectionAt (double due) noexcept { nrpnSender->sendSelectionAt (currentBank, currentProgram, due); }

    std::unique_ptr<MidiDeviceSet> systemDevices;
    VirtualInstrument virtualInstrument{ravlin::InstrumentModel::module};
    VirtualInstrument virtualKeyboard{ravlin::InstrumentModel::keyboard};
    DevicesWithVirtualInstrument devices{*systemDevices, {&virtualInstrument, &virtualKeyboard}};
    ModelDetector modelDetector{[this] (const ravlin::Bytes& m)
                                { return ports != nullptr && ports->sendSysEx (m.data(), (int)m.size()); }};
    std::unique_ptr<MIDI_PORTS_Control> ports;

    std::atomic<int> selectedSlot{-1}; // the bank program last loaded by a selection

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MidiCntrState)
};
