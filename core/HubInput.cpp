#include "core/HubInput.h"

#include "core/HostBlockRouter.h"
#include "core/HubMidi.h"
#include "core/HubTransfers.h"
#include "core/MidiCntrState.h"
#include "core/NrpnSender.h"
#include "instrument/GlobalDump.h"

#include <utility>

using ravlin::Bytes;
namespace sysex = ravlin::sysex;
using namespace hubmidi;

HubInput::HubInput (MidiCntrState& h, HostBlockRouter& r, HubTransfers& t) : hub (h), router (r), transfers (t)
{
    sysExBuffer.reserve (4096);
}

void HubInput::handleMessage (const juce::MidiMessage& message)
{
    const auto* data = message.getRawData();
    const auto size = message.getRawDataSize();
    if (size > 0 && hub.ports != nullptr)
    {
        hub.ports->messagesIn.fetch_add (1, std::memory_order_relaxed);
        hub.ports->monitorIncoming (data, size);
    }
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

    if (hub.thruPortToHost && status != sysex::start && status != sysex::end && sysExBuffer.empty())
    {
        const bool nrpnPart = kind == 0xB0 && size > 1 && isNrpnController (data[1]);
        if (!nrpnPart)
        {
            if (kind == 0xB0 && size > 2 && data[1] == 32 && data[2] < MidiCntrState::numBanks)
                hub.currentBank = data[2];
            if (kind == 0xC0 && size > 1)
                hub.programChangeFromInstrument (data[1]);

            router.passToHost (data, size);
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
        hub.postEvent (HubEvent::noteOn (channel, data[1] & 0x7F, data[2] & 0x7F));
        return;
    }
    else if (isNoteOff (data, size))
    {
        hub.postEvent (HubEvent::noteOff (channel, data[1] & 0x7F));
        return;
    }
    else if (kind == 0xE0 && size >= 3)
    {
        hub.postEvent (HubEvent::pitchBend (channel, (data[2] & 0x7F) * 128 + (data[1] & 0x7F)));
        return;
    }
    else if (kind == 0xB0 && size >= 3)
    {
        const int controller = data[1] & 0x7F, value = data[2] & 0x7F;
        switch (controller)
        {
            case 1: hub.postEvent (HubEvent::controller (channel, controller, value)); break;
            case 32:
                if (value < MidiCntrState::numBanks)
                    hub.currentBank = value;
                break;
            case 99: nrpnNumberHigh = (uint8_t)value; break;
            case 98: nrpnNumberLow = (uint8_t)value; break;
            case 6: nrpnValueHigh = (uint8_t)value; break;
            case 38:
            {
                nrpnValueLow = (uint8_t)value;
                // The instrument changed a parameter itself: a value sent before is no guide.
                hub.nrpnSender->forgetInstrumentState();
                const auto row = hub.parameterTable.parameterForNrpn (nrpnNumberHigh * 128 + nrpnNumberLow);
                if (row >= 0)
                {
                    receivedNrpn.push ((uint32_t)row * 65536u + (uint32_t)(nrpnValueHigh * 128 + nrpnValueLow));
                    hub.sendChangeMessage();
                }
                break;
            }
            default: break;
        }
        return;
    }
    else if (kind == 0xC0 && size >= 2)
    {
        hub.programChangeFromInstrument (data[1]);
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

void HubInput::handlePartialSysEx()
{
    if (sysExBuffer.empty())
        return;
    const auto partial = sysExBuffer;
    sysExBuffer.clear();
    dispatchSysEx (partial);
}

void HubInput::dispatchSysEx (const Bytes& m)
{
    if (const auto model = ravlin::identity::modelOfReply (m.data(), m.size()))
    {
        hub.modelDetector.replied (*model); // what waited for the answer goes out now
        hub.postEvent (HubEvent::modelChanged);
        return;
    }
    if (m.size() >= 4 && m[1] == 0x7E && m[3] == 0x06)
        return; // another device's identity

    // Another maker's message may carry the same bytes after its first: never a program.
    if (!ravlin::isOwnMessage (m.data(), m.size()))
        return;
    switch (m[3])
    {
        case sysex::cmdProgramDump: transfers.receiveProgramDump (m); break;
        case sysex::cmdEditBufferDump:
            if (m.size() >= (size_t)sysex::editBufferDumpSize)
            {
                Bytes image ((size_t)sysex::imageSize);
                ravlin::unpackImage (m.data() + sysex::editBufferDumpDataOffset, (size_t)sysex::packedSize,
                                     image.data());
                if (compareRequested.exchange (false))
                {
                    // Asked for to compare with: the program being edited stays.
                    const std::lock_guard<std::mutex> guard (comparedLock);
                    compared = std::move (image);
                    return;
                }
                hub.setCurrentProgram (image);
                hub.postEvent (HubEvent::programLoaded);
            }
            break;
        case sysex::cmdGlobalDump: receiveGlobals (m); break;
        default: break;
    }
}

Bytes HubInput::takeComparedEditBuffer()
{
    const std::lock_guard<std::mutex> guard (comparedLock);
    return std::exchange (compared, {});
}

void HubInput::receiveGlobals (const Bytes& m)
{
    // Anything but a whole dump of 50 nibbles would show values the instrument does not hold:
    // the image stays as it was, and whoever shows it says so.
    // The editor's two bytes wait for the instrument's answer, whatever it holds.
    if (hub.pendingSettings)
    {
        hub.settingsBlock[SettingsBlock::pendingValue0] = (uint8_t)hub.pendingSettingsValues[0].load();
        hub.settingsBlock[SettingsBlock::pendingValue1] = (uint8_t)hub.pendingSettingsValues[1].load();
        hub.pendingSettings = false;
        hub.saveSettings();
    }

    const auto globals = ravlin::globalDump::decode (m.data(), m.size());
    if (!globals.has_value())
    {
        hub.unreadableGlobalsSize = (int)m.size();
        hub.postEvent (HubEvent::globalsUnreadable);
        return;
    }
    std::copy (globals->begin(), globals->end(), hub.globalsImage.begin());
    hub.unreadableGlobalsSize = -1;
    hub.globalsKnown = true;
    hub.globalsReceived = true;
    hub.postEvent (HubEvent::online);
}
