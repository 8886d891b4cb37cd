#pragma once

/** How fast bytes cross the link to the instrument. A system MIDI output returns as soon as the
    driver has queued the bytes, long before they are on the wire, so whoever sends a lot must pace
    itself by these figures. */
namespace LinkSpeed
{
enum class Kind
{
    din = 0, // 31250 baud, ten bits a byte: the safe choice, and the default
    usb = 1
};

constexpr double dinMillisecondsPerByte = 0.32;
constexpr double usbMillisecondsPerByte = 0.02; // about 50 bytes a millisecond

constexpr double millisecondsPerByte (Kind kind) noexcept
{
    return kind == Kind::usb ? usbMillisecondsPerByte : dinMillisecondsPerByte;
}

/** The setting as the settings block keeps it: 1 is USB, anything else DIN. */
constexpr Kind fromSetting (int storedByte) noexcept
{
    return storedByte == 1 ? Kind::usb : Kind::din;
}

constexpr const char* nameOf (Kind kind) noexcept
{
    return kind == Kind::usb ? "USB" : "DIN MIDI";
}
} // namespace LinkSpeed
