#pragma once

#include "core/BankTransmitter.h"
#include "core/HubEvents.h"
#include "core/ModelDetector.h"
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

/** A fixed-size list of 32-bit codes written from several threads under a short spin lock.
    When full, the oldest codes give way. */
class CodeQueue
{
public:
    explicit CodeQueue (size_t capacity) : codes (capacity) {}

    void push (uint32_t code) noexcept
    {
        const juce::SpinLock::ScopedLockType sl (lock);
        codes[(start + count) % codes.size()] = code;
        if (count < codes.size())
            ++count;
        else
            start = (start + 1) % codes.size();
    }

    std::vector<uint32_t> takeAll()
    {
        std::vector<uint32_t> result;
        result.reserve (codes.size());
        const juce::SpinLock::ScopedLockType sl (lock);
        for (size_t i = 0; i < count; ++i)
            result.push_back (codes[(start + i) % codes.size()]);
        start = count = 0;
        return result;
    }

private:
    juce::SpinLock lock;
    std::vector<uint32_t> codes;
    size_t start = 0, count = 0;
};

/** The hub between the plug-in and the instrument: the program being edited, the banks,
    the preset bank, the global settings, the MIDI ports and all traffic through them. */
class MidiCntrState : public juce::MidiInputCallback, public juce::ChangeBroadcaster, public ProgramSource
{
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

    void addCableListener (CableListener* listener);
    void removeCableListener (CableListener* listener);
    /** Listeners are called on whichever thread posts an event, the audio thread included:
        they must return quickly and never block. At most 16; a listener must not remove itself
        from inside stateEvent(). */
    void addListener (MidiCntrStateListener* listener);
    void removeListener (MidiCntrStateListener* listener);

    void postEvent (uint32_t code);
    std::vector<uint32_t> takeEvents() { return eventLog.takeAll(); }
    /** Parameter index x 65536 + value, for each NRPN received since the last call. */
    std::vector<uint32_t> takeReceivedNrpn() { return receivedNrpn.takeAll(); }

    // The program being edited (the preset bank's working image).
    void storeValue (int index, int value);
    uint8_t getProgramByte (int index) const;
    ravlin::Bytes getCurrentProgram() const override;
    void setCurrentProgram (const ravlin::Bytes& image);

    // To the instrument. Every NRPN goes out as one event of its four controllers; the sender
    // leaves out those the instrument already holds, judged in the order they reach the wire.
    void sendNrpn (int number, int value);
    void fastNrpnSend (int row, int value, double delayMilliseconds, double sampleRate);
    void requestProgram (int bank, int program);
    void requestEditBuffer();
    void requestGlobals();
    /** One of the instrument's own messages (F0 01 ...), given the device byte of the model in
        use; anything else goes as it is. False when it was not taken: no output, or queue full. */
    bool sendToInstrument (const ravlin::Bytes& message);

    // The model on the ports. With "Detect" the identity request goes out whenever both ports
    // are open, and the reply names the model (posted as HubEvent::modelChanged); the module until
    // then, and without a reply. Whoever shows the state reads it from the detector.
    void setModelChoice (ModelDetector::Choice choice);
    /** Asks whoever is on the ports who they are; false, asking nothing, without an output. */
    bool detectModel();
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
    ravlin::Bytes getBankProgram (int bank, int program) const override;
    void setBankProgram (int bank, int program, const ravlin::Bytes& image);

    juce::String getBankProgramName (int bank, int program) const;
    juce::String getPresetProgramName (int program) const;
    ravlin::Bytes getPresetProgram (int program) const override;
    juce::String getBankName (int bank) const override { return banks[(size_t)bank]->bankName; }
    void setPresetProgram (int program, const ravlin::Bytes& image);
    void renamePresetProgram (int program, const juce::String& name);

    void selectProgram (int slot, bool sendToInstrument, bool tellHost);

    /** The host moved a parameter to a raw value: store it, send it on and tell the editor;
        nothing goes back to the host. Any thread, no waiting. */
    void hostChange (int index, int raw);
    /** Sliders 1025, 1026, 1027 as controllers 14, 15 and 17 on the MIDI channel. */
    void sendSlider (int index, int value);
    void setLatch (int index, int value);
    /** At transport (re)preparation: no note is held and nothing waits for the host. */
    void clearKeysAndHostQueue();
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
    void setLinkSpeed (LinkSpeed::Kind kind);
    LinkSpeed::Kind getLinkSpeed() const noexcept { return linkSpeed.load(); }
    double linkMillisecondsPerByte() const;
    /** How far the instrument is behind the host's automation: what waits for the link, in ms. */
    double linkBacklogMilliseconds() const noexcept { return ports->getSender().getBacklogMilliseconds(); }
    /** For how long automation has waited for the link without a break, in ms (0: it does not). */
    double linkFullForMilliseconds() const noexcept
    {
        return ports->getSender().getFullForMilliseconds (TimedMidiSender::now());
    }

    /** Once per audio block, on the audio thread. */
    void routeBlock (juce::MidiBuffer& hostMidi, int numSamples);

    void selectInputPort (int index);
    void selectOutputPort (int index);

    void handleIncomingMidiMessage (juce::MidiInput* source, const juce::MidiMessage& message) override;
    void handlePartialSysexMessage (juce::MidiInput* source, const juce::uint8* data, int numBytes,
                                    double timestamp) override;

    double currentLatencyMs() const noexcept;
    /** From the MIDI setup panel: the mode and the seven delays, into the table and the settings. */
    void setLatencySettings (int mode, const std::array<int, 7>& delays);
    /** An option together with its settings byte (4, 7, 10 or 11). */
    void setOption (int settingsByte, bool on);
    void setMidiChannelSetting (int channel);

    // The settings, ports and layout files.
    const SettingsFiles& getFiles() const noexcept { return files; }
    void saveSettings() const;
    void savePorts();
    void loadLayout();
    void saveLayout() const;
    static int sampleRateIndexFor (double sampleRate) noexcept;

    // State the rest of the plug-in reads and sets.
    const SettingsFiles files;
    const ravlin::ParameterTable parameterTable;
    ParDes valueTexts;
    std::array<uint8_t, 100> globalsImage{};
    std::array<uint8_t, SettingsBlock::size> settingsBlock{};
    juce::StringArray portNames{"NONE", "NONE", "NONE", "0"};
    std::array<std::unique_ptr<Bank_Program>, numBanks> banks;
    Bank_Program presetBank{"Program Bank"};

    std::atomic<int> sliderToHost[3]{}, latches[2]{}, sliderSent[3]{};
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
    std::atomic<bool> bankReceiving{false}, bankProgress{false};
    std::atomic<int> bankReceiveKind{0}, nextBank{0};
    std::atomic<int> transferCode{-1}; // -1 while idle
    std::atomic<bool> pendingSettings{false};
    std::atomic<int> pendingSettingsValues[2]{};
    std::atomic<bool> globalsReceived{false};
    /** The length of the last reply to the global request that was not a whole global dump, which
        left the image as it was; -1 when the last reply was read. */
    std::atomic<int> unreadableGlobalsSize{-1};
    /** The global image holds what the instrument on these ports sent. */
    std::atomic<bool> globalsKnown{false};
    LayoutValues layout; // message thread: the editor's

    juce::CriticalSection hubLock; // keyState and toHostQueue
    std::array<uint8_t, 128> keyState{};

    /** The virtual module, or the virtual instrument of the given model. */
    VirtualInstrument& getVirtualInstrument() noexcept { return virtualInstrument; }
    VirtualInstrument& getVirtualInstrument (ravlin::InstrumentModel model) noexcept
    {
        return model == ravlin::InstrumentModel::keyboard ? virtualKeyboard : virtualInstrument;
    }
    MIDI_PORTS_Control& getPorts() noexcept { return *ports; }

private:
    void queueForHost (const uint8_t* bytes, int size); // with the hub lock held
    void dispatchSysEx (const ravlin::Bytes& message);
    void receiveProgramDump (const ravlin::Bytes& message);
    void receiveGlobals (const ravlin::Bytes& message);
    void readOptions();
    void readLatencySettings();
    void loadDefaultPreset();
    void sendShortNow (uint8_t status, int data1, int data2, int size);
    bool isAbandonedReply (int bank, int program);
    void programChangeFromInstrument (int program);
    void requestNextOfReceive (int bank, int program);
    /** Bank select and program change of the current selection, to go out at the given time. */
    void sendSelectionAt (double due) noexcept;
    /** A host change for the instrument: an NRPN, or a slider's controller, as the link allows. */
    void offerToInstrument (int index, int raw);
    /** The ports changed: whatever model answered before is forgotten, and asked again. */
    void portsChanged();

    std::unique_ptr<MidiDeviceSet> systemDevices;
    VirtualInstrument virtualInstrument{ravlin::InstrumentModel::module};
    VirtualInstrument virtualKeyboard{ravlin::InstrumentModel::keyboard};
    DevicesWithVirtualInstrument devices{*systemDevices, {&virtualInstrument, &virtualKeyboard}};
    ModelDetector modelDetector{[this] (const ravlin::Bytes& m)
                                { return ports != nullptr && ports->sendSysEx (m.data(), (int)m.size()); }};
    std::unique_ptr<MIDI_PORTS_Control> ports;
    std::unique_ptr<BankTransmitter> transmitter;

    CodeQueue eventLog{8192};
    CodeQueue receivedNrpn{8192};
    juce::Array<CableListener*> cableListeners;
    juce::CriticalSection listenerLock; // cable listeners

    // Event listeners are called outside any lock, so a slow listener on one thread never holds
    // up the audio thread; removal waits for calls in flight to finish.
    static constexpr int maxListeners = 16;
    std::array<MidiCntrStateListener*, maxListeners> listeners{};
    int numListeners = 0;
    juce::SpinLock eventListenerLock;
    std::atomic<int> listenerCallsInFlight{0};

    mutable juce::SpinLock programLock; // the program being edited and the eight banks

    // Input side: SysEx assembly and NRPN bytes (MIDI input thread only).
    ravlin::Bytes sysExBuffer;
    uint8_t nrpnNumberHigh = 0xFF, nrpnNumberLow = 0xFF, nrpnValueHigh = 0, nrpnValueLow = 0;

    std::atomic<LinkSpeed::Kind> linkSpeed{LinkSpeed::Kind::din};

    // The program request waiting for its reply (bank x 128 + program, -1 for none), and one a
    // cancelled transfer left behind, whose reply is dropped until the given time.
    std::atomic<int> outstandingRequest{-1}, abandonedRequest{-1};
    std::atomic<int> selectedSlot{-1}; // the bank program last loaded by a selection
    std::atomic<double> abandonedUntil{0};

    // The settings block and the banks file's bytes as this instance loaded or last saved them:
    // a save writes only what changed since, over what other instances sharing the folder saved.
    mutable SettingsFiles::Block settingsAsSaved{};
    ravlin::Bytes banksAsSaved;
    // The same for the ports and layout files, which are written whole when they changed.
    juce::StringArray portsAsSaved;
    mutable ravlin::Bytes layoutAsSaved;

    mutable std::mutex readBackLock;
    BankTransmitter::Report lastTransmitReport;

    // Host MIDI through to the instrument keeps its order: no event is due before the one before.
    double lastThruDue = 0; // audio thread

    // Host-bound MIDI stamped in milliseconds, and a spare for ageing without allocating.
    juce::MidiBuffer toHostQueue, toHostSpare;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MidiCntrState)
};
