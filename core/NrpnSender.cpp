#include "core/NrpnSender.h"

#include "core/ProgramStore.h"
#include "midi/MIDI_PORTS_Control.h"

namespace
{
/** One NRPN as the single event the sender takes: controllers 99, 98, 6 and 38. */
std::array<uint8_t, NrpnRunningStatus::nrpnEventSize> nrpnEvent (int channel, int number, int value) noexcept
{
    const auto status = (uint8_t)(0xB0 | ((channel - 1) & 0x0F));
    return {status, 99, (uint8_t)((number >> 7) & 0x7F), status, 98, (uint8_t)(number & 0x7F),
            status, 6,  (uint8_t)((value >> 7) & 0x7F),  status, 38, (uint8_t)(value & 0x7F)};
}

/** A touch slider's place in the slider values and the controller it sends: members run
    "Slider 1", "Slider Press", "Slider 2"; indices 1025, 1026, 1027 run 1, 2, Press. Member -1
    for anything else. */
struct SliderOfIndex
{
    int member = -1, controller = 0;
};
SliderOfIndex sliderOf (int index) noexcept
{
    switch (index)
    {
        case 1025: return {0, 14};
        case 1026: return {2, 15};
        case 1027: return {1, 17};
        default: return {};
    }
}
} // namespace

NrpnSender::NrpnSender (const ravlin::ParameterTable& table, const std::atomic<int>& channel)
    : parameterTable (table), midiChannel (channel)
{
}

bool NrpnSender::outputOpen() const noexcept
{
    return portsControl != nullptr && portsControl->outputOpen;
}

void NrpnSender::sendNrpn (int number, int value)
{
    if (!outputOpen())
        return;
    const auto event = nrpnEvent (midiChannel, number, value);
    portsControl->getSender().schedule (event.data(), (int)event.size(), TimedMidiSender::now());
}

void NrpnSender::fastNrpnSend (int row, int value, double delayMilliseconds)
{
    const auto number = parameterTable.nrpnNumber (row);
    if (number == ravlin::ParameterTable::noNrpn || !outputOpen())
        return;

    // Which controllers can be left out is decided as the event goes onto the wire, where the
    // order of every path's NRPN is known; a value the instrument may already have is sent
    // again, as it may have changed it meanwhile.
    const auto event = nrpnEvent (midiChannel, number, value);
    // The host's value of this parameter may still wait for the link: it must not land after
    // the user's.
    portsControl->getSender().replaceWaitingParameter (row, ParameterMessage::makeNrpn (midiChannel, number, value));
    portsControl->getSender().schedule (event.data(), (int)event.size(),
                                        TimedMidiSender::now() + juce::jmax (0.0, delayMilliseconds));
}

void NrpnSender::offerHostChange (int index, int raw, double latencyMilliseconds)
{
    // The newest value of each parameter waits for the link; the host's automation can come
    // faster than the wire carries it, and the instrument must end on the last value.
    if (juce::isPositiveAndBelow (index, ravlin::ParameterTable::numImageParameters))
    {
        const auto number = parameterTable.nrpnNumber (index);
        if (number != ravlin::ParameterTable::noNrpn && outputOpen())
            portsControl->getSender().offerParameter (index, ParameterMessage::makeNrpn (midiChannel, number, raw),
                                                      TimedMidiSender::now() + juce::jmax (0.0, latencyMilliseconds));
        return;
    }
    const auto slider = sliderOf (index);
    if (slider.member < 0)
        return;
    sliderSent[slider.member] = raw;
    if (outputOpen())
        portsControl->getSender().offerParameter (
            ravlin::ParameterTable::numImageParameters + slider.member,
            ParameterMessage::makeController (midiChannel, slider.controller, juce::jlimit (0, 127, raw)),
            TimedMidiSender::now());
}

void NrpnSender::sendSlider (int index, int value)
{
    const auto slider = sliderOf (index);
    if (slider.member < 0)
        return;
    sliderSent[slider.member] = value;
    if (outputOpen())
        portsControl->sendController (midiChannel, slider.controller, juce::jlimit (0, 127, value));
}

void NrpnSender::sendShortNow (uint8_t status, int data1, int data2, int size)
{
    if (portsControl == nullptr)
        return;
    const uint8_t bytes[3] = {status, (uint8_t)(data1 & 0x7F), (uint8_t)(data2 & 0x7F)};
    portsControl->getSender().schedule (bytes, size, TimedMidiSender::now());
}

void NrpnSender::sendSelectionAt (int bank, int program, double due) noexcept
{
    if (!outputOpen() || !juce::isPositiveAndBelow (bank, ProgramStore::numBanks) ||
        !juce::isPositiveAndBelow (program, 99))
        return;
    const auto status = (uint8_t)((midiChannel - 1) & 0x0F);
    const uint8_t bankSelect[3] = {(uint8_t)(0xB0 | status), 32, (uint8_t)bank};
    const uint8_t programChange[2] = {(uint8_t)(0xC0 | status), (uint8_t)program};
    portsControl->getSender().schedule (bankSelect, 3, due);
    portsControl->getSender().schedule (programChange, 2, due);
}

void NrpnSender::forgetInstrumentState() noexcept
{
    if (portsControl != nullptr)
        portsControl->getSender().forgetNrpnState();
}
