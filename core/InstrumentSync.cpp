#include "core/InstrumentSync.h"

#include "core/RavlinAudioProcessor.h"
#include "instrument/ProgramDiff.h"

#include <algorithm>

InstrumentSync::InstrumentSync (RavlinAudioProcessor& p) : processor (p), hub (p.getHub())
{
    // Ports already open when the editor comes do not ask by themselves; a restored project does.
    auto& ports = hub.getPorts();
    portsWereOpen = ports.inputOpen && ports.outputOpen;
}

bool InstrumentSync::tick (double nowMs)
{
    const auto before = state;
    auto& ports = hub.getPorts();
    const bool portsOpen = ports.inputOpen && ports.outputOpen;
    const auto restores = hub.restoredStates.load();
    const bool opened = portsOpen && !portsWereOpen;
    portsWereOpen = portsOpen;
    if (restores != restoresSeen || opened)
    {
        restoresSeen = restores;
        if (portsOpen)
            check (nowMs);
    }

    if (state == State::waiting)
    {
        auto reply = hub.takeComparedEditBuffer();
        if (!reply.empty())
        {
            instrumentProgram = std::move (reply);
            compare();
        }
        else if (nowMs - askedAt > replyTimeoutMs)
        {
            hub.abandonComparison();
            state = State::noReply;
        }
    }
    return state != before;
}

bool InstrumentSync::check (double nowMs)
{
    hub.takeComparedEditBuffer(); // an answer to an earlier question is no answer to this one
    if (!hub.requestEditBufferToCompare())
        return false;
    state = State::waiting;
    askedAt = nowMs;
    return true;
}

void InstrumentSync::compare()
{
    // As the user reads it: one per parameter, the name as one, bytes the instrument ignores not at all.
    differing = (int)ProgramDiff::compare (hub.getCurrentProgram(), instrumentProgram).size();
    state = differing == 0 ? State::inSync : State::differs;
}

juce::String InstrumentSync::lampText() const
{
    switch (state)
    {
        case State::inSync: return "IN SYNC";
        case State::differs: return "DIFFERS";
        case State::noReply: return "NO REPLY";
        case State::unknown:
        case State::waiting: break;
    }
    return {};
}

bool InstrumentSync::sendToInstrument()
{
    const auto program = hub.getCurrentProgram();
    if (!hub.sendToInstrument (ravlin::packEditBufferDump (program, hub.deviceByte())))
        return false;
    instrumentProgram = program;
    compare();
    return true;
}

bool InstrumentSync::takeFromInstrument()
{
    if (instrumentProgram.size() != (size_t)ravlin::sysex::imageSize)
        return false;
    processor.recordHistory(); // what was edited before stays its own step
    hub.setCurrentProgram (instrumentProgram);
    hub.postEvent (HubEvent::programLoaded);
    processor.recordHistory();
    compare();
    return true;
}
