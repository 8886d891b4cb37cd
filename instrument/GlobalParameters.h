#pragma once

#include "instrument/PixelBox.h"

#include <juce_core/juce_core.h>

/** The instrument's global parameters as the global settings panel shows them: label, range,
    kind of control, value texts and place. Byte k of the global image is parameter k, sent as
    NRPN 1024 + k. */
namespace GlobalParameters
{
constexpr int numShown = 26; // 0..25; 24 has no control
constexpr int firstNrpn = 1024;
constexpr int closeMessage = 2222;

enum class Kind
{
    knob,
    toggle,
    menu,
    none
};

struct Description
{
    const char* label;
    int highest;
    Kind kind;
    bool hidden;
};

Description describe (int k) noexcept;
juce::String label (int k);
int highest (int k) noexcept;
Kind kind (int k) noexcept;
bool isHidden (int k) noexcept;

/** Empty text means the value is not offered in a menu. Values beyond a list read as numbers. */
juce::String valueText (int k, int value);

/** Where the control sits in the 600 x 400 panel; hidden rows are placed off-screen. */
PixelBox placeOf (int k) noexcept;
/** How far left of its control the panel draws a label (0: the control draws its own). */
int labelOffset (int k) noexcept;

/** The knob's value after a drag of (dx, dy) pixels from startValue, unclamped. */
int knobValueAfterDrag (int k, int startValue, int dx, int dy) noexcept;
/** Frame 0..56 of the knob face for a value. */
int knobFrame (int k, int value) noexcept;
} // namespace GlobalParameters
