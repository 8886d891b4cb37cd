#include "ui/editor/ConnectionView.h"

#include "core/MidiCntrState.h"
#include "ui/keyboard/KeyBrd.h"
#include "ui/panels/MidiSetupController.h"

ConnectionView::ConnectionView (MidiCntrState& h, KeyBrd& k, MidiSetupController& s) : hub (h), keyboard (k), setup (s)
{
    setup.onVerdict = [this] (MIDI_scan::Verdict v)
    {
        status.setVerdict (v);
        show();
    };
    setup.onPortsChanged = [this]
    {
        // Whatever was known was about the ports before.
        status.setVerdict (MIDI_scan::Verdict::none);
        status.setOnline (false);
        status.setModel (hub.getModel());
        show();
    };
}

void ConnectionView::hubEvent (uint32_t kind)
{
    if (kind == 0x120 || kind == 0x130)
        status.setOnline (kind == 0x120);
    status.setModel (hub.getModel());
    show();
    // The values are read again when the instrument answers, and said to be stale when the
    // answer was no global dump.
    if (auto* panel = setup.getSetup(); panel != nullptr && panel->getGlobalsPanel() != nullptr)
        panel->getGlobalsPanel()->refresh();
}

void ConnectionView::show()
{
    const auto text = status.text();
    keyboard.setStatusText (text);
    if (auto* panel = setup.getSetup())
        panel->setStatusText (text);
}
