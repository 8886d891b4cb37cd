#include "ui/panels/ConnectionStatus.h"

juce::String ConnectionStatus::text() const
{
    using Verdict = MIDI_scan::Verdict;
    if (verdict == Verdict::notConnected)
        return "OFF-LINE: NOT CONNECTED";
    const juce::String name (model == ravlin::InstrumentModel::keyboard ? "PROPHET 12 KBD" : "PROPHET 12 MDL");
    switch (verdict)
    {
        case Verdict::settingsOk: return online ? name + ": SETTINGS OK" : "OFF-LINE";
        case Verdict::checkSettings: return name + ": CHECK SETTINGS";
        case Verdict::unreadable: return name + ": NO GLOBAL DUMP";
        case Verdict::none:
        case Verdict::notConnected: break;
    }
    return online ? "DSI:  " + name + " ON-LINE" : juce::String ("OFF-LINE");
}
