#pragma once

#include "ui/panels/ConnectionStatus.h"

#include <cstdint>

class KeyBrd;
class MidiCntrState;
class MidiSetupController;

/** What is known of the connection, said on the keyboard strip's status line and in the setup
    panel's title: the instrument on-line or off-line and its model, or a check's verdict. */
class ConnectionView
{
public:
    /** Takes the setup's verdicts and changes of ports. */
    ConnectionView (MidiCntrState& hub, KeyBrd& keyboard, MidiSetupController& setup);

    /** The hub's event of this kind (on-line, off-line, model, globals). */
    void hubEvent (uint32_t kind);
    /** Says it again, on the setup panel just shown too. */
    void show();
    const ConnectionStatus& getStatus() const noexcept { return status; }

private:
    MidiCntrState& hub;
    KeyBrd& keyboard;
    MidiSetupController& setup;
    ConnectionStatus status;
};
