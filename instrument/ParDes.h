#pragma once

#include <juce_core/juce_core.h>

#include <functional>
#include <vector>

namespace juce
{
class Component;
class PopupMenu;
} // namespace juce

/** Value texts of the instrument's parameters, category names and the value menu. Stateless. */
class ParDes
{
public:
    static constexpr int numCategories = 26;

    /** The display text of a raw value under a display kind; empty for unknown kinds and values. */
    static juce::String valueText (int kind, int value);
    static juce::String categoryText (int number);
    /** "C0" for 0, "C5" for 60, "C10" for 120. */
    static juce::String noteName (int value);

    struct MenuItem
    {
        int value;
        juce::String text;
    };

    // What the value menu offers for 0..highest: every value whose text is not "*/*".
    static std::vector<MenuItem> offeredValues (int kind, int highest);

    // The value menus are views: they are defined with them (ui/controls/ValueMenus.cpp), so the
    // model builds without the GUI modules.

    /** Shows the value menu under the anchor; onChosen gets the value, or -1 when dismissed.
        Asynchronous, since a plug-in must not run a modal loop inside the host. */
    static void chooseValue (int kind, int highest, juce::Component* anchor, std::function<void (int)> onChosen,
                             int current = -1);

    /** The menu itself (item identifier v + 1), for callers that show it their own way; the item
        of the current value is ticked. */
    static juce::PopupMenu buildValueMenu (int kind, int highest, int current = -1);

    /** The category names 0..25 as items 1..26, the current category ticked. */
    static juce::PopupMenu buildCategoryMenu (int current);
};
