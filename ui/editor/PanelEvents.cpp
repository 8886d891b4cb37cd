#include "ui/editor/PanelEvents.h"

#include "core/MidiCntrState.h"
#include "ui/editor/EditorPanel.h"

namespace
{
constexpr uint32_t firstJumpCode = 0x210002D7;
constexpr int jumpsOfCodes[] = {1, 2, 3, 4, 5, 6, 7, 10, 11};
} // namespace

PanelEvents::PanelEvents (MidiCntrState& h, EditorPanel& p) : hub (h), panel (p) {}

void PanelEvents::handle (uint32_t code)
{
    switch (HubEvent::kindOf (code))
    {
        case 0x100: panel.updateParameter ((int)((code >> 8) & 0x7FF), (int)(code & 0xFF), false); return;
        case 0x110: panel.refreshAll(); return;
        case 0x1A0: showSliders(); return;
        case 0x1B0:
        case 0x1B1:
            if (code == HubEvent::latch1)
                panel.updateLatch (1028, hub.latches[0].load());
            else if (code == HubEvent::latch2)
                panel.updateLatch (1029, hub.latches[1].load());
            return;
        case 0x210:
            if (code >= firstJumpCode && code < firstJumpCode + 9)
                panel.jumpTo (jumpsOfCodes[code - firstJumpCode]);
            return;
        default: return;
    }
}

void PanelEvents::showSliders()
{
    auto* sliders = panel.getPanel (0, 0);
    const int values[4] = {hub.sliderToHost[0].load(), hub.sliderToHost[1].load(), hub.sliderToHost[2].load(),
                           hub.sliderToHost[1].load()};
    for (int k = 0; k < 2; ++k)
    {
        const auto position = values[k == 0 ? 0 : 2], pressure = values[1];
        if (position != lastSliders[k * 2] || pressure != lastSliders[k * 2 + 1])
            sliders->getSlider (k)->setValues (position, pressure);
        lastSliders[k * 2] = position;
        lastSliders[k * 2 + 1] = pressure;
    }
}
