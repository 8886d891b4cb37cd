#pragma once

#include "core/CodeQueue.h"
#include "instrument/ProgramPacking.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <atomic>
#include <mutex>

class MidiCntrState;
class HostBlockRouter;
class HubTransfers;

/** What comes in from the instrument's port, on the MIDI input thread: SysEx assembled and
    dispatched (identity replies, program, edit buffer and global dumps), NRPNs gathered into
    parameter changes, notes, controllers and program changes posted or passed through to the
    host. */
class HubInput
{
public:
    HubInput (MidiCntrState& hub, HostBlockRouter& router, HubTransfers& transfers);

    void handleMessage (const juce::MidiMessage& message);
    /** A SysEx the port gave up on: what arrived of it is read as it is. */
    void handlePartialSysEx();

    /** Parameter index x 65536 + value, for each NRPN received since the last call. */
    std::vector<uint32_t> takeReceivedNrpn() { return receivedNrpn.takeAll(); }

    /** The next edit-buffer dump answers a comparison (or, false, no longer does): it is kept
        aside (takeComparedEditBuffer) and the program being edited stays as it is. Any thread. */
    void expectComparedEditBuffer (bool expected) noexcept { compareRequested.store (expected); }
    /** The edit buffer a comparison asked for, once it came; empty until then. Any thread. */
    ravlin::Bytes takeComparedEditBuffer();

private:
    void dispatchSysEx (const ravlin::Bytes& message);
    void receiveGlobals (const ravlin::Bytes& message);

    MidiCntrState& hub;
    HostBlockRouter& router;
    HubTransfers& transfers;

    CodeQueue receivedNrpn{8192};

    std::atomic<bool> compareRequested{false};
    std::mutex comparedLock;
    ravlin::Bytes compared; // under comparedLock

    // SysEx assembly and NRPN bytes (MIDI input thread only).
    ravlin::Bytes sysExBuffer;
    uint8_t nrpnNumberHigh = 0xFF, nrpnNumberLow = 0xFF, nrpnValueHigh = 0, nrpnValueLow = 0;

    JUCE_DECLARE_NON_COPYABLE (HubInput)
};
