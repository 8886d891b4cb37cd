#pragma once

#include "instrument/ParameterTable.h"

#include <atomic>
#include <cstdint>

class MIDI_PORTS_Control;

/** What the hub sends the instrument as controllers: NRPNs, the touch sliders' controllers and
    the bank select and program change of a selection, all through the port's timed sender.

    Every NRPN goes out as one event of its four controllers; the timed sender remembers what the
    instrument's NRPN receiver holds and leaves out those it already has, judged in the order
    the events reach the wire. Any thread. */
class NrpnSender
{
public:
    NrpnSender (const ravlin::ParameterTable& table, const std::atomic<int>& midiChannel);

    /** The ports, once made: nothing goes out before. */
    void attach (MIDI_PORTS_Control& ports) noexcept { portsControl = &ports; }

    void sendNrpn (int number, int value);
    /** The parameter of a row, from the editor, after the delay given; it replaces the host's
        value of the same parameter still waiting for the link. */
    void fastNrpnSend (int row, int value, double delayMilliseconds);
    /** A host change for the instrument: an NRPN late by the latency given, or a slider's
        controller, as the link allows; only the newest value of each waits for it. */
    void offerHostChange (int index, int raw, double latencyMilliseconds);
    /** Sliders 1025, 1026, 1027 as controllers 14, 15 and 17 on the MIDI channel. */
    void sendSlider (int index, int value);
    void sendShortNow (uint8_t status, int data1, int data2, int size);
    /** Bank select and program change of a selection, to go out at the given time. */
    void sendSelectionAt (int bank, int program, double due) noexcept;
    /** Another program, or the instrument changed a parameter itself: whatever its NRPN
        receiver held, the next NRPN goes out whole. */
    void forgetInstrumentState() noexcept;

    /** The last value sent of each touch slider: "Slider 1", "Slider Press", "Slider 2". */
    std::atomic<int> sliderSent[3]{};

private:
    bool outputOpen() const noexcept;

    const ravlin::ParameterTable& parameterTable;
    const std::atomic<int>& midiChannel;
    MIDI_PORTS_Control* portsControl = nullptr;
};
