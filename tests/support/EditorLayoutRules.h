#pragma once

// What the layout check excuses in this editor and its library window: the overlays it means to
// have, the sections that scroll sideways, and (in knownLayoutFaults) the faults known today.
// A fault excused here is still a fault: each entry names it, and goes when it is fixed.
#include "support/LayoutCheck.h"
#include "ui/controls/EditorWidgets.h"
#include "ui/controls/RateSlider.h"
#include "ui/controls/SmallWidgets.h"
#include "ui/editor/EditorPanel.h"
#include "ui/editor/GroupClass.h"
#include "ui/editor/WriteSnd.h"
#include "ui/keyboard/KeyBrd.h"
#include "ui/library/Lib_Manager_Comp.h"
#include "ui/panels/MIDI_Setup.h"
#include "ui/panels/MIDI_Sync.h"
#include "ui/panels/MIDI_scan.h"

namespace ravlin::test
{
/** The A/B mode section, wherever it sits. */
inline bool isAbModeSection (const juce::Component& c)
{
    auto* group = dynamic_cast<const GroupClass*> (&c);
    return group != nullptr && const_cast<GroupClass*> (group)->findControl (424) != nullptr;
}

/** Faults known today, found by this check or reported with the editor's screenshots. None are
    known now: a fault found goes here, with what the user sees, until it is fixed. */
inline std::vector<LayoutRules::KnownFault> knownLayoutFaults (float)
{
    return {};
}

inline LayoutRules editorLayoutRules (float scale = 1.0f)
{
    LayoutRules rules;
    rules.overlays = {
        {"the About box covers the editor", overAnything<AboutPanel>()},
        {"messages and questions cover the editor", overAnything<MsgCont>()},
        {"the write dialog covers the editor below the bar", overAnything<WriteSnd>()},
        {"the transfer progress covers the editor", overAnything<ProgBar>()},
        {"the MIDI setup panel floats over the editor", overAnything<MIDI_Setup>()},
        {"the connection check floats over the editor", overAnything<MIDI_scan>()},
        {"the zoom's dimmers and frame cover the sections",
         [] (const juce::Component& over, const juce::Component&) { return typeNameOf (over) == "Overlay"; }},
        {"the zoomed section lies over the other sections",
         [] (const juce::Component& over, const juce::Component& under)
         {
             auto* panel = dynamic_cast<const EditorPanel*> (over.getParentComponent());
             return panel != nullptr && panel->isZoomOpen() && isA<GroupClass> (over) &&
                    over.getBounds() == panel->zoomFrame() && isA<GroupClass> (under);
         }},
        {"the library's dialogs cover their page", overAnything<PageDialog>()},
        {"the arpeggiator's step editor covers the sections", overAnything<ArpStepEditor>()},
        {"the editor's resize corner sits on the editor", overAnything<juce::ResizableCornerComponent>()},
        {"the AB MODE strip lies in the application bar's free space, right of the channel label (EditorAsSeen "
         "checks it is clear of the bar's buttons at every zoom)",
         [] (const juce::Component& over, const juce::Component& under)
         { return isAbModeSection (over) && isA<AppBar> (under); }},
    };
    rules.scrolled = {{"the sections scroll sideways under the editor's edges", [] (const juce::Component& c)
                       { return isA<GroupClass> (c) && isA<EditorPanel> (*c.getParentComponent()); }}};
    rules.knownFaults = knownLayoutFaults (scale);
    return rules;
}
} // namespace ravlin::test
