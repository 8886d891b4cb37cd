#pragma once

#include "instrument/InstrumentModel.h"
#include "ui/panels/MIDI_scan.h"

/** What the status line says about the instrument: on line or not, which model, and how the
    last connection check ended. The check's verdict stays until the ports change or another
    check runs. */
class ConnectionStatus
{
public:
    void setOnline (bool isOnline) noexcept { online = isOnline; }
    void setModel (ravlin::InstrumentModel m) noexcept { model = m; }
    void setVerdict (MIDI_scan::Verdict v) noexcept { verdict = v; }
    bool isOnline() const noexcept { return online; }

    /** "DSI:  PROPHET 12 MDL ON-LINE", "DSI:  PROPHET 12 KBD ON-LINE", "OFF-LINE", or the
        verdict: "PROPHET 12 KBD: SETTINGS OK", "PROPHET 12 MDL: CHECK SETTINGS",
        "PROPHET 12 KBD: NO GLOBAL DUMP", "OFF-LINE: NOT CONNECTED". */
    juce::String text() const;

private:
    bool online = false;
    ravlin::InstrumentModel model = ravlin::InstrumentModel::module;
    MIDI_scan::Verdict verdict = MIDI_scan::Verdict::none;
};
