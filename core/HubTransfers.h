#pragma once

#include "core/BankTransmitter.h"
#include "core/MidiCntrState.h"

#include <atomic>
#include <memory>
#include <mutex>

/** The hub's transfers of programs to and from the instrument, one at a time: receiving banks
    (one program request at a time, each reply asking for the next), transmitting programs on
    the transmitter's thread, the write dialog's WRITE, and the reply a cancel left waiting. */
class HubTransfers
{
public:
    explicit HubTransfers (MidiCntrState& hub);
    ~HubTransfers();

    bool startBankReceive (int kind, int firstBank);
    bool startTransmit (int code, int firstBank);
    bool transmitPrograms (std::vector<BankTransmitter::Item> programs, bool reportProgress, bool readBack);
    MidiCntrState::WriteResult writeProgram (int bank, int program, const juce::String& name, int category);
    void cancelTransfer();
    void transmitFinished (bool reportProgress);
    bool isTransmitting() const;
    /** Stops the transmitter after the dump in flight, for good. */
    void shutdown();

    BankTransmitter::Report getLastTransmitReport() const;
    void setLastTransmitReport (const BankTransmitter::Report& result);
    void abandonOutstandingRequest();
    void noteProgramRequest (int bank, int program);

    /** A program dump from the instrument (MIDI input thread): the next of a bank receive, the
        answer to a read-back, or a program the instrument sent by itself. */
    void receiveProgramDump (const ravlin::Bytes& message);

    std::atomic<bool> bankReceiving{false}, bankProgress{false};
    std::atomic<int> bankReceiveKind{0}, nextBank{0};
    std::atomic<int> transferCode{-1}; // -1 while idle

private:
    bool isAbandonedReply (int bank, int program);
    void requestNextOfReceive (int bank, int program);

    MidiCntrState& hub;
    std::unique_ptr<BankTransmitter> transmitter;

    // The program request waiting for its reply (bank x 128 + program, -1 for none), and one a
    // cancelled transfer left behind, whose reply is dropped until the given time.
    std::atomic<int> outstandingRequest{-1}, abandonedRequest{-1};
    std::atomic<double> abandonedUntil{0};

    mutable std::mutex readBackLock;
    BankTransmitter::Report lastTransmitReport;

    JUCE_DECLARE_NON_COPYABLE (HubTransfers)
};
