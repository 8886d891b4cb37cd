#include "ui/controls/ValueMenus.h"

namespace
{
/** Black menu, white text, grey highlight: the look of every value menu. */
struct ValueMenuLook : public juce::LookAndFeel_V4
{
    ValueMenuLook()
    {
        setColour (juce::PopupMenu::backgroundColourId, juce::Colours::black);
        setColour (juce::PopupMenu::textColourId, juce::Colours::white);
        setColour (juce::PopupMenu::headerTextColourId, juce::Colours::white);
        setColour (juce::PopupMenu::highlightedBackgroundColourId, juce::Colour (0xFF808080));
        setColour (juce::PopupMenu::highlightedTextColourId, juce::Colours::white);
    }
};
} // namespace

void ValueMenus::show (juce::PopupMenu menu, const juce::PopupMenu::Options& options,
                       std::function<void (int)> onResult)
{
    juce::SharedResourcePointer<ValueMenuLook> look;
    menu.setLookAndFeel (&look.get());
    // The callback keeps the look alive for as long as the menu shows.
    menu.showMenuAsync (options,
                        [look, onResult = std::move (onResult)] (int result)
                        {
                            if (onResult)
                                onResult (result);
                        });
}

juce::PopupMenu ParDes::buildValueMenu (int kind, int highest, int current)
{
    juce::PopupMenu menu;
    for (const auto& item : offeredValues (kind, highest))
        menu.addItem (item.value + 1, item.text, true, item.value == current);
    return menu;
}

juce::PopupMenu ParDes::buildCategoryMenu (int current)
{
    juce::PopupMenu menu;
    for (int k = 0; k < numCategories; ++k)
        menu.addItem (k + 1, categoryText (k), true, k == current);
    return menu;
}

void ParDes::chooseValue (int kind, int highest, juce::Component* anchor, std::function<void (int)> onChosen,
                          int current)
{
    auto options = juce::PopupMenu::Options();
    if (anchor != nullptr)
        options = options.withTargetComponent (anchor);
    ValueMenus::show (buildValueMenu (kind, highest, current), options,
                      [onChosen = std::move (onChosen)] (int result)
                      {
                          if (onChosen)
                              onChosen (result > 0 ? result - 1 : -1);
                      });
}
