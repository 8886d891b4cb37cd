// Feeds arbitrary byte streams, cut into MIDI messages at the boundaries the input chooses, into
// the hub's input callbacks, with the options and block routing the input chooses too.
//
// Input layout: one byte of option bits, then records of one control byte each:
//   bits 0-1  0 or 3: a message of (bits 2-7) + 1 bytes follows; 1: the partial-SysEx callback;
//             2: an audio block is routed (events taken, queues drained).

#include "core/MidiCntrState.h"
#include "support/NoMidiDevices.h"

#include <cstddef>
#include <cstdint>

namespace
{
MidiCntrState& theHub()
{
    static MidiCntrState hub (std::make_unique<ravlin::test::NoMidiDevices>(), juce::File());
    return hub;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;

    auto& hub = theHub();
    hub.handlePartialSysexMessage (nullptr, nullptr, 0, 0); // forget the last input's SysEx

    const auto options = data[0];
    hub.thruPortToHost = (options & 1) != 0;
    hub.programChangeWithAutomation = (options & 2) != 0;
    hub.thruHostToPort = (options & 4) != 0;
    if ((options & 8) != 0)
        hub.startBankReceive ((options & 16) != 0 ? MidiCntrState::receiveAllUserBanks : 0, (options >> 5) & 7);
    else
        hub.bankReceiving = false;

    juce::MidiBuffer block;
    size_t i = 1;
    while (i < size)
    {
        const auto control = data[i++];
        switch (control & 3)
        {
            case 1: hub.handlePartialSysexMessage (nullptr, data + i, (int)(size - i), 0); break;
            case 2:
            {
                // Hosts hand over whole channel and system messages, never meta events.
                uint8_t event[3] = {0x90, 60, 0};
                std::copy (data + i, data + std::min (size, i + 3), event);
                event[0] |= 0x80;
                block.clear();
                if (event[0] != 0xF0 && event[0] != 0xF7 && event[0] != 0xFF)
                    block.addEvent (event, juce::MidiMessage::getMessageLengthFromFirstByte (event[0]), (control >> 2));
                hub.routeBlock (block, 64);
                hub.takeEvents();
                hub.takeReceivedNrpn();
                break;
            }
            default:
            {
                const auto length = std::min<size_t> ((size_t)(control >> 2) + 1, size - i);
                if (length == 0)
                    break;
                hub.handleIncomingMidiMessage (nullptr, juce::MidiMessage (data + i, (int)length));
                i += length;
                break;
            }
        }
    }
    hub.takeEvents();
    hub.takeReceivedNrpn();
    return 0;
}
