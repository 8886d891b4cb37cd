#pragma once

#include "instrument/ParDes.h"

#include <juce_gui_basics/juce_gui_basics.h>

/** The value menus' look (black, white text, grey highlight) for any menu. ParDes's value and
    category menus are defined beside it, in ValueMenus.cpp. */
class ValueMenus
{
public:
    /** Shows the menu in that look; onResult gets the chosen item identifier, or 0 when dismissed.
        Asynchronous, since a plug-in must not run a modal loop inside the host. */
    static void show (juce::PopupMenu menu, const juce::PopupMenu::Options& options,
                      std::function<void (int)> onResult);
};
