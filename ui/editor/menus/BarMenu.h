#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** One of the editor's menus: the items it shows now and what each of them does. */
class BarMenu
{
public:
    virtual ~BarMenu() = default;
    /** The items as they are now: texts, ids, ticks and enabled states. */
    virtual juce::PopupMenu build() const = 0;
    /** Does what the item says; an item the menu does not have does nothing. */
    virtual void chosen (int item) = 0;
};
