#pragma once

#include "instrument/InstrumentModel.h"
#include "instrument/ParameterTable.h"
#include "midi/LinkSpeed.h"
#include "midi/MidiDevices.h"

#include <deque>
#include <mutex>
#include <vector>

/** An in-process Prophet 12, module or keyboard: it keeps eight banks, an edit buffer and its
    global settings, answers the editor's requests with the dumps the instrument sends, and takes
    NRPN, bank select, program change and dumps as the instrument does. Like the hardware, it
    takes SysEx carrying its own model's device byte only, and answers the universal identity
    request. It lets the whole plug-in work without hardware (as a demo) and lets the tests talk
    to an instrument.

    Replies go out on a thread of their own, as a MIDI driver delivers them, optionally
    paced at DIN MIDI's 31250 baud or at USB speed. */
class VirtualInstrument : private juce::Thread
{
public:
    static constexpr const char* portName = "Prophet 12 Module (virtual)";
    static constexpr const char* keyboardPortName = "Prophet 12 Keyboard (virtual)";
    static constexpr int numBanks = 8;
    static constexpr int programsPerBank = 99;
    static constexpr int numGlobals = 25;

    enum class WireSpeed
    {
        unlimited,
        usb, // about 50 bytes per millisecond
        din  // 31250 baud: 320 microseconds a byte
    };

    explicit VirtualInstrument (ravlin::InstrumentModel model = ravlin::InstrumentModel::module);
    ~VirtualInstrument() override;

    ravlin::InstrumentModel getModel() const noexcept { return model; }
    /** "Prophet 12 Module (virtual)" or "Prophet 12 Keyboard (virtual)". */
    const char* getPortName() const noexcept;
    static const char* portNameOf (ravlin::InstrumentModel model) noexcept;

    /** Where the instrument's MIDI output goes (the plug-in's input callback), or nullptr. */
    void connectOutput (juce::MidiInputCallback* listener);

    /** Bytes handed to the instrument's MIDI input, whole messages or raw pieces. Like a
        system port, this returns at once; at DIN or USB speed the bytes then take their time on
        the simulated wire, and a dump handed over while the one before is still crossing it
        overruns the instrument's input and is lost, as on the real instrument. */
    void receive (const uint8_t* bytes, int size);
    /** Dumps lost so, since the instrument was made. */
    int getNumDumpsLost() const;
    /** Milliseconds a byte takes on the simulated wire; 0 at full speed. */
    double millisecondsPerByte() const noexcept;

    // Test and demo hooks.
    void turnKnob (int parameterIndex, int value); // as the front panel: change and send the NRPN
    void setSilent (bool shouldBeSilent);          // an instrument that is switched off
    void setWireSpeed (WireSpeed speed);
    void setGlobal (int index, uint8_t value);
    void setChannel (int channel); // 1..16, the channel it sends on
    /** A slot whose memory no longer takes writes: dumps to it are ignored. */
    void ignoreWritesTo (int bank, int program);
    /** The next handovers reach the wire late, as when a busy machine's driver or sender thread
        is: the k-th receive() from now waits the k-th of these milliseconds before the bytes
        go onto the wire. */
    void delayNextHandOvers (std::vector<int> milliseconds);

    ravlin::Bytes getEditBuffer() const;
    ravlin::Bytes getProgram (int bank, int program) const;
    void setProgram (int bank, int program, const ravlin::Bytes& image);
    ravlin::Bytes getGlobals() const;
    int getCurrentBank() const;
    int getCurrentProgram() const;
    int getNumMessagesReceived() const;
    /** SysEx of this maker carrying the other model's device byte, ignored as the hardware does. */
    int getNumOtherModelMessages() const;

    static constexpr double dinMillisecondsPerByte = LinkSpeed::dinMillisecondsPerByte;
    static constexpr double usbMillisecondsPerByte = LinkSpeed::usbMillisecondsPerByte;

private:
    void handleMessage (const ravlin::Bytes& message);
    void sysExComplete();
    void handleSysEx (const ravlin::Bytes& message);
    void handleController (int controller, int value);
    void send (ravlin::Bytes message);
    void run() override;

    const ravlin::InstrumentModel model;
    const ravlin::ParameterTable table;

    mutable std::mutex stateLock;
    std::vector<ravlin::Bytes> banks; // numBanks x (99 x 1024)
    ravlin::Bytes editBuffer;
    ravlin::Bytes globals;
    int currentBank = 0, currentProgram = 0, channel = 1;
    int nrpnNumberHigh = 0, nrpnNumberLow = 0, nrpnValueHigh = 0;
    bool silent = false;
    int messagesReceived = 0, otherModelMessages = 0;
    int writeIgnoredSlot = -1; // bank x 128 + program

    // The input parser: running status and SysEx across pieces; the simulated input wire.
    ravlin::Bytes pending;
    uint8_t runningStatus = 0;
    bool inSysEx = false;
    double inputWireFreeAt = 0, lastDumpCrossedAt = 0, pendingStartedAt = 0;
    int dumpsLost = 0;

    std::mutex outputLock;
    std::deque<ravlin::Bytes> outgoing;
    juce::WaitableEvent outgoingReady;
    std::mutex listenerLock;
    juce::MidiInputCallback* listener = nullptr;
    std::atomic<WireSpeed> wireSpeed{WireSpeed::unlimited};
    std::mutex delayLock;
    std::deque<int> handOverDelays;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VirtualInstrument)
};

/** The system's devices followed by the virtual instruments' inputs and outputs, in the order
    given. */
class DevicesWithVirtualInstrument : public MidiDeviceSet
{
public:
    DevicesWithVirtualInstrument (MidiDeviceSet& systemDevices, std::vector<VirtualInstrument*> instruments);

    juce::StringArray inputNames() override;
    juce::StringArray outputNames() override;
    std::unique_ptr<MidiInputDevice> openInput (int index, juce::MidiInputCallback& callback) override;
    std::unique_ptr<MidiOutputDevice> openOutput (int index) override;

private:
    MidiDeviceSet& system;
    std::vector<VirtualInstrument*> instruments;
};
