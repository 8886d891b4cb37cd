#include "core/HubTransfers.h"

using ravlin::Bytes;
namespace sysex = ravlin::sysex;

HubTransfers::HubTransfers (MidiCntrState& h) : hub (h), transmitter (std::make_unique<BankTransmitter> (h)) {}

HubTransfers::~HubTransfers() = default;

void HubTransfers::shutdown()
{
    transmitter.reset(); // stops after the dump in flight
}

bool HubTransfers::startBankReceive (int kind, int firstBank)
{
    // One transfer at a time: a WRITE still going out or reading back is one too.
    if (transmitter->isTransmitting() || bankReceiving)
        return false;
    transferCode = kind;
    bankReceiveKind = kind;
    nextBank = firstBank;
    bankReceiving = true;
    bankProgress = true;
    hub.requestProgram (firstBank, 0);
    return true;
}

bool HubTransfers::startTransmit (int code, int firstBank)
{
    std::vector<BankTransmitter::Item> programs;
    if (code == MidiCntrState::transmitProgramToBank)
    {
        if (!juce::isPositiveAndBelow (firstBank, MidiCntrState::numBanks))
            return false;
        programs.push_back ({firstBank, juce::jlimit (0, 98, hub.currentProgram.load()), hub.getCurrentProgram()});
    }
    else if (code == MidiCntrState::transmitAllUserBanks || code == MidiCntrState::transmitAllFactoryBanks)
    {
        const int first = code == MidiCntrState::transmitAllUserBanks ? 0 : 4;
        for (int b = first; b < first + 4; ++b)
            for (int p = 0; p < Bank_Program::numPrograms; ++p)
                programs.push_back ({b, p, hub.getBankProgram (b, p)});
    }
    else
    {
        return false;
    }
    if (!transmitPrograms (std::move (programs), true, hub.verifyAfterWriting))
        return false;
    transferCode = code;
    return true;
}

bool HubTransfers::transmitPrograms (std::vector<BankTransmitter::Item> programs, bool reportProgress, bool readBack)
{
    if (!hub.getPorts().outputOpen || transmitter->isTransmitting() || bankReceiving)
        return false;
    std::vector<BankTransmitter::Item> items;
    for (auto& item : programs)
    {
        if (!juce::isPositiveAndBelow (item.bank, MidiCntrState::numBanks) ||
            !juce::isPositiveAndBelow (item.program, 99))
            continue;
        item.image.resize ((size_t)Bank_Program::programSize, 0);
        items.push_back (std::move (item));
    }
    if (items.empty())
        return false;
    bankProgress = reportProgress;
    return transmitter->start (std::move (items), reportProgress, readBack);
}

MidiCntrState::WriteResult HubTransfers::writeProgram (int bank, int program, const juce::String& name, int category)
{
    using WriteResult = MidiCntrState::WriteResult;
    if (!juce::isPositiveAndBelow (bank, 4) || !juce::isPositiveAndBelow (program, 99))
        return WriteResult::notUserSlot;
    if (!hub.getPorts().outputOpen)
        return WriteResult::noOutput;
    if (transmitter->isTransmitting() || bankReceiving || transferCode >= 0)
        return WriteResult::busy;

    auto image = hub.getCurrentProgram();
    DSI_Program::writeName (image.data() + DSI_Program::nameOffset, name);
    if (category >= 0 && image.size() > (size_t)DSI_Program::categoryOffset)
        image[(size_t)DSI_Program::categoryOffset] = (uint8_t)category;
    if (!transmitPrograms ({{bank, program, image}}, false, hub.verifyAfterWriting))
        return WriteResult::busy;
    hub.setCurrentProgram (image);
    hub.setBankProgram (bank, program, image);
    hub.currentBank = bank;
    hub.currentProgram = program;
    hub.postEvent (HubEvent::bankChanged);
    hub.postEvent (HubEvent::programLoaded);
    return WriteResult::written;
}

void HubTransfers::cancelTransfer()
{
    bankProgress = false;
    bankReceiving = false;
    transmitter->cancel();
    transferCode = -1;
    // The answer to a receive's or a read-back's last request may still come: nobody wants it.
    abandonOutstandingRequest();
}

void HubTransfers::noteProgramRequest (int bank, int program)
{
    outstandingRequest = bank * 128 + program;
}

void HubTransfers::abandonOutstandingRequest()
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

bool HubTransfers::isAbandonedReply (int bank, int program)
{
    const auto request = bank * 128 + program;
    if (outstandingRequest.load() == request)
        outstandingRequest = -1;
    if (abandonedRequest.load() != request)
        return false;
    abandonedRequest = -1;
    return juce::Time::getMillisecondCounterHiRes() < abandonedUntil.load();
}

BankTransmitter::Report HubTransfers::getLastTransmitReport() const
{
    const std::lock_guard<std::mutex> guard (readBackLock);
    return lastTransmitReport;
}

void HubTransfers::setLastTransmitReport (const BankTransmitter::Report& result)
{
    const std::lock_guard<std::mutex> guard (readBackLock);
    lastTransmitReport = result;
}

void HubTransfers::transmitFinished (bool reportProgress)
{
    transferCode = -1;
    bankProgress = false;
    if (reportProgress)
    {
        hub.postEvent (HubEvent::bankChanged);
        hub.postEvent (HubEvent::bankDone);
    }
}

bool HubTransfers::isTransmitting() const
{
    return transmitter->isTransmitting();
}

void HubTransfers::receiveProgramDump (const Bytes& m)
{
    if (m.size() < (size_t)sysex::programDumpSize)
        return;
    const int bank = m[4], program = m[5];
    if (bank >= MidiCntrState::numBanks || program > 98)
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
        hub.currentBank = bank;
        hub.currentProgram = program;
        hub.setBankProgram (bank, program, image);
        hub.postEvent (HubEvent::bankChanged);
        hub.setCurrentProgram (image);
        hub.postEvent (HubEvent::programLoaded);
        return;
    }

    hub.setBankProgram (bank, program, image);
    if (!bankProgress)
        return;

    hub.postEvent (HubEvent::bankProgress (bank, program));
    if (program <= 97)
    {
        requestNextOfReceive (bank, program + 1);
        return;
    }

    const int kind = bankReceiveKind;
    const bool finished =
        (kind == MidiCntrState::receiveAllUserBanks && bank >= 3) ||
        (kind == MidiCntrState::receiveAllFactoryBanks && bank >= 7) ||
        (kind != MidiCntrState::receiveAllUserBanks && kind != MidiCntrState::receiveAllFactoryBanks) ||
        bank + 1 >= MidiCntrState::numBanks;
    if (finished)
    {
        bankReceiving = false;
        bankProgress = false;
        transferCode = -1;
        hub.postEvent (HubEvent::bankChanged);
        hub.postEvent (HubEvent::bankDone);
        return;
    }
    nextBank = bank + 1;
    requestNextOfReceive (bank + 1, 0);
}

void HubTransfers::requestNextOfReceive (int bank, int program)
{
    hub.requestProgram (bank, program);
    // Cancelled while this was on its way: the cancel may have looked before the request was made.
    if (!bankReceiving)
        abandonOutstandingRequest();
}
