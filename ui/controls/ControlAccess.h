#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <optional>

/** What screen readers and the keyboard get from the editor's own controls: the name (the
    component's title), the value as the control shows it, and the role; plus the keys that
    step a value. The controls draw and handle the mouse themselves, so they hand in functions. */
namespace ControlAccess
{
struct Ranged
{
    std::function<int()> value;
    std::function<void (int)> setValue;
    std::function<juce::String()> text;
    int minimum = 0, maximum = 127;
};

/** A value in a range (knob, selector, three-way switch); actions such as showMenu may be added. */
std::unique_ptr<juce::AccessibilityHandler> ranged (juce::Component& control, juce::AccessibilityRole role,
                                                    Ranged access, juce::AccessibilityActions actions = {});
/** An on/off switch: its checked state, and toggle. */
std::unique_ptr<juce::AccessibilityHandler> toggle (juce::Component& control, std::function<bool()> isOn,
                                                    std::function<void()> flip);
/** A push button: press. */
std::unique_ptr<juce::AccessibilityHandler> button (juce::Component& control, std::function<void()> press);

/** Up and Right one step up, Down and Left one down, Page Up and Page Down a tenth of the
    range (at least one step), Home and End the ends; nothing for other keys. */
std::optional<int> steppedValue (const juce::KeyPress& key, int current, int minimum, int maximum);
/** For a keyPressed override: hands a stepped value to setValue and says whether there was one. */
bool stepOnKey (const juce::KeyPress& key, int current, int minimum, int maximum,
                const std::function<void (int)>& setValue);
/** Space and Return: what presses or flips a focused control. */
bool isPressKey (const juce::KeyPress& key);
/** For a keyPressed override: runs press on Space or Return and says whether it did. */
bool pressOnKey (const juce::KeyPress& key, const std::function<void()>& press);
/** Focusable with Tab; a mouse click leaves the focus where it is (the computer keyboard
    keeps playing notes). */
void makeFocusable (juce::Component& control);
/** The focus ring of a control that has the keyboard focus. */
void drawFocus (juce::Graphics& g, const juce::Component& control);
} // namespace ControlAccess
