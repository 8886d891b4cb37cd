#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace ravlin::test
{
/** The texts of a menu's items, submenus included, separators left out. */
inline juce::StringArray itemTexts (const juce::PopupMenu& menu)
{
    juce::StringArray texts;
    for (juce::PopupMenu::MenuItemIterator it (menu, true); it.next();)
        if (!it.getItem().isSeparator)
            texts.add (it.getItem().text);
    return texts;
}

/** The texts of the items a menu ticks. */
inline juce::StringArray tickedTexts (const juce::PopupMenu& menu)
{
    juce::StringArray texts;
    for (juce::PopupMenu::MenuItemIterator it (menu, true); it.next();)
        if (it.getItem().isTicked)
            texts.add (it.getItem().text);
    return texts;
}
} // namespace ravlin::test
