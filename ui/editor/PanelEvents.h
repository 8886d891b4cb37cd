#pragma once

#include <cstdint>

class EditorPanel;
class MidiCntrState;

/** The hub's events that the section editor shows: a parameter's new value, a whole new program,
    the sliders' positions and pressure, the latches, and a jump to a section. */
class PanelEvents
{
public:
    PanelEvents (MidiCntrState& hub, EditorPanel& panel);

    /** Shows what the event says; events of other kinds do nothing. */
    void handle (uint32_t code);

private:
    void showSliders();

    MidiCntrState& hub;
    EditorPanel& panel;
    int lastSliders[4] = {-1, -1, -1, -1};
};
