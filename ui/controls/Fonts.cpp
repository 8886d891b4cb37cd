#include "ui/controls/Fonts.h"

namespace ravlin
{
const juce::String& arialName()
{
    // Looked up once: the scan of installed faces is slow and its answer does not change.
    static const juce::String name = []
    {
        const auto installed = juce::Font::findAllTypefaceNames();
        for (const char* candidate : {"Arial", "Liberation Sans", "Arimo"})
            if (installed.contains (candidate))
                return juce::String (candidate);
        return juce::Font::getDefaultSansSerifFontName();
    }();
    return name;
}

juce::Font arial (float height, bool bold)
{
    return juce::Font (arialName(), height, bold ? juce::Font::bold : juce::Font::plain);
}
} // namespace ravlin
