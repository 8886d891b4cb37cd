#pragma once

// What the layout check excuses in this editor and its library window: the overlays it means to
// have, the sections that scroll sideways, and (in knownLayoutFaults) the faults known today.
// A fault excused here is still a fault: each entry names it, and goes when it is fixed.
#include "support/LayoutCheck.h"
#include "ui/EditorPanel.h"
#include "ui/EditorWidgets.h"
#include "ui/GroupClass.h"
#include "ui/KeyBrd.h"
#include "ui/Lib_Manager_Comp.h"
#include "ui/MIDI_Setup.h"
#include "ui/MIDI_Sync.h"
#include "ui/MIDI_scan.h"
#include "ui/RateSlider.h"
#include "ui/SmallWidgets.h"
#include "ui/WriteSnd.h"

namespace ravlin::test
{
/** The A/B mode section, wherever it sits. */
inline bool isAbModeSection (const juce::Component& c)
{
    auto* group = dynamic_cast<const GroupClass*> (&c);
    return group != nullptr && const_cast<GroupClass*> (group)->findControl (424) != nullptr;
}

/** c is, or lies inside, a component the predicate names. */
template <typename Predicate> bool within (const juce::Component* c, Predicate&& p)
{
    for (; c != nullptr; c = c->getParentComponent())
        if (p (*c))
            return true;
    return false;
}

inline bool involves (const LayoutFault& f, const std::function<bool (const juce::Component&)>& p)
{
    return (f.component != nullptr && p (*f.component)) || (f.other != nullptr && p (*f.other));
}

/** Faults known today, found by this check or reported with the editor's screenshots. */
inline std::vector<LayoutRules::KnownFault> knownLayoutFaults (float scale)
{
    std::vector<LayoutRules::KnownFault> known;

    // The AB MODE strip lives in the application bar's free space to the right of the channel
    // label, clear of the bar's buttons (EditorAsSeen checks that at every zoom): an intended
    // overlap with the bar. Not fixed yet: in that compact form the section's full-size controls,
    // such as the A/B mode selector, stay placed below the strip, clipped away but still visible.
    known.push_back ({"the AB MODE strip in the application bar's free space; its full-size controls lie below it",
                      [] (const LayoutFault& f)
                      {
                          if (f.kind == LayoutFault::overlap && involves (f, isAbModeSection) &&
                              involves (f, [] (const juce::Component& c) { return isA<AppBar> (c); }))
                              return true;
                          return f.kind == LayoutFault::outside && f.other != nullptr && isAbModeSection (*f.other);
                      }});

    // Found by this check and not fixed yet:
    known.push_back ({"the octave selector reaches 1 px below the keyboard strip", [] (const LayoutFault& f) {
                          return f.kind == LayoutFault::outside && isA<OctaveKeyClass> (*f.component) &&
                                 reachOf (f) <= 1;
                      }});
    known.push_back ({"the keyboard strip lies below the editor's bottom edge at the default height of 730 (and the "
                      "editor below the window when a saved scale of 1.5 meets a monitor too low for it)",
                      [] (const LayoutFault& f) {
                          return f.kind == LayoutFault::outside &&
                                 (isA<KeyBrd> (*f.component) || isA<EditorPanel> (*f.component));
                      }});
    known.push_back ({"the bottom row of knobs (envelope rows, the modulation amounts) reaches up to 3 px below its "
                      "section",
                      [] (const LayoutFault& f)
                      {
                          if (f.kind != LayoutFault::outside || !isA<GroupClass> (*f.other))
                              return false;
                          const auto b = f.component->getBounds();
                          const auto p = f.other->getLocalBounds();
                          return b.getX() >= 0 && b.getY() >= 0 && b.getRight() <= p.getRight() &&
                                 b.getBottom() - p.getBottom() <= 3;
                      }});
    known.push_back ({"with the banks page shown the editor panel is cut to its bar, its sections left visible "
                      "under the cut",
                      [] (const LayoutFault& f)
                      {
                          return f.kind == LayoutFault::outside && isA<GroupClass> (*f.component) &&
                                 isA<EditorPanel> (*f.other) && f.other->getHeight() <= 54;
                      }});
    known.push_back ({"sections taller than their row (the LFO section, 322 px in a 320 px row) overlap the section "
                      "below them and the scroll bar by up to 3 px",
                      [] (const LayoutFault& f) {
                          return f.kind == LayoutFault::overlap && isA<GroupClass> (*f.component) && reachOf (f) <= 3;
                      }});
    known.push_back ({"at 900 wide the application bar's right-hand buttons and activity lamps lie past its right edge",
                      [] (const LayoutFault& f) { return f.kind == LayoutFault::outside && isA<AppBar> (*f.other); }});
    known.push_back ({"the library window's tabs reach 6 px into the page below and 2 px into the key player's line",
                      [] (const LayoutFault& f)
                      {
                          return f.kind == LayoutFault::overlap && isA<LibBut> (*f.component) &&
                                 isA<Lib_Manager_Comp> (*f.component->getParentComponent()) && reachOf (f) <= 6;
                      }});
    known.push_back (
        {"the library page's status line lies over the bottom of the category grid", [] (const LayoutFault& f) {
             return f.kind == LayoutFault::overlap && isA<SimpleLabel> (*f.component) && isA<CatContainer> (*f.other);
         }});
    // The MIDI setup panel's pieces at their described places and sizes:
    known.push_back ({"the latency panel (400 x 200) reaches under the GLOBALS and OK buttons and the help text",
                      [] (const LayoutFault& f)
                      {
                          return f.kind == LayoutFault::overlap &&
                                 involves (f, [] (const juce::Component& c) { return isA<MIDI_Sync> (c); });
                      }});
    known.push_back ({"the latency panel's \"Delay:\" label (150 wide) runs under its slider", [] (const LayoutFault& f)
                      {
                          return f.kind == LayoutFault::overlap &&
                                 involves (f, [] (const juce::Component& c) { return isA<RateSlider> (c); });
                      }});
    if (scale < 0.75f)
    {
        // Each control's position and size are scaled and rounded on their own, so neighbours
        // meet 1 px into each other and the last row 1 px past the section.
        known.push_back ({"at small scales controls overlap their neighbours, or leave their section, by 1 px",
                          [] (const LayoutFault& f) {
                              return within (f.component,
                                             [] (const juce::Component& c) { return isA<GroupClass> (c); }) &&
                                     reachOf (f) <= 1;
                          }});
    }
    return known;
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
    };
    rules.scrolled = {{"the sections scroll sideways under the editor's edges", [] (const juce::Component& c)
                       { return isA<GroupClass> (c) && isA<EditorPanel> (*c.getParentComponent()); }}};
    rules.knownFaults = knownLayoutFaults (scale);
    return rules;
}
} // namespace ravlin::test
