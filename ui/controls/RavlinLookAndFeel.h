#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The editor's colours and the drawing of its controls: knobs, lamps, switches and value boxes,
    all vector graphics, so they stay crisp at every panel scale. The widgets call the static
    drawing functions; the editor also installs it as its look-and-feel for menus and editors. */
class RavlinLookAndFeel : public juce::LookAndFeel_V4
{
public:
    RavlinLookAndFeel();

    // Colours.
    static constexpr juce::uint32 panel = 0xff2b2b2e, panelDark = 0xff222225, bar = 0xff161618, barLower = 0xff1d1d20,
                                  title = 0xffd8d8dc, label = 0xffc8c8cc, valueText = 0xffe8e8ec, box = 0xff111113,
                                  boxFrame = 0xff55555c, knobBody = 0xff3a3a40, knobRing = 0xff101012,
                                  accent = 0xfff0a030, lampOn = 0xffff3b2f, lampOff = 0xff4a1a18, keyWhite = 0xfff4f4f0,
                                  keyBlack = 0xff18181a, keyPressed = 0xfff0a030;

    static juce::Font font (float height, bool bold = false);

    /** A knob at frame 0..60 (300 degrees of travel) filling the area. */
    static void drawKnob (juce::Graphics& g, juce::Rectangle<float> area, int frame);
    /** A round lamp. */
    static void drawLamp (juce::Graphics& g, juce::Rectangle<float> area, bool on);
    /** A value box with its arrow at the right. */
    static void drawValueBox (juce::Graphics& g, juce::Rectangle<float> area, const juce::String& text, float scale);
    /** A slide switch with its knob left (false) or right (true). */
    static void drawSlideSwitch (juce::Graphics& g, juce::Rectangle<float> area, bool on);

    void drawPopupMenuBackground (juce::Graphics& g, int width, int height) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (RavlinLookAndFeel)
};
