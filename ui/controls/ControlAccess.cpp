#include "ui/controls/ControlAccess.h"

namespace ControlAccess
{
namespace
{
// The value as a number within its range, read out as the control shows it ("C#3", "Saw").
class RangedValue : public juce::AccessibilityValueInterface
{
public:
    explicit RangedValue (Ranged r) : access (std::move (r)) {}

    bool isReadOnly() const override { return !access.setValue; }
    double getCurrentValue() const override { return access.value ? (double)access.value() : 0.0; }
    juce::String getCurrentValueAsString() const override { return access.text ? access.text() : juce::String(); }
    void setValue (double newValue) override
    {
        if (access.setValue)
            access.setValue (juce::jlimit (access.minimum, access.maximum, juce::roundToInt (newValue)));
    }
    void setValueAsString (const juce::String& newValue) override { setValue (newValue.getDoubleValue()); }
    AccessibleValueRange getRange() const override
    {
        return {{(double)access.minimum, (double)juce::jmax (access.minimum, access.maximum)}, 1.0};
    }

private:
    Ranged access;
};

class ToggleHandler : public juce::AccessibilityHandler
{
public:
    ToggleHandler (juce::Component& c, std::function<bool()> on, std::function<void()> flip)
        : juce::AccessibilityHandler (
              c, juce::AccessibilityRole::toggleButton,
              juce::AccessibilityActions().addAction (juce::AccessibilityActionType::toggle, std::move (flip))),
          isOn (std::move (on))
    {
    }

    juce::AccessibleState getCurrentState() const override
    {
        auto state = juce::AccessibilityHandler::getCurrentState().withCheckable();
        return isOn && isOn() ? state.withChecked() : state;
    }

private:
    std::function<bool()> isOn;
};
} // namespace

std::unique_ptr<juce::AccessibilityHandler> ranged (juce::Component& control, juce::AccessibilityRole role,
                                                    Ranged access, juce::AccessibilityActions actions)
{
    return std::make_unique<juce::AccessibilityHandler> (
        control, role, std::move (actions),
        juce::AccessibilityHandler::Interfaces{std::make_unique<RangedValue> (std::move (access))});
}

std::unique_ptr<juce::AccessibilityHandler> toggle (juce::Component& control, std::function<bool()> isOn,
                                                    std::function<void()> flip)
{
    return std::make_unique<ToggleHandler> (control, std::move (isOn), std::move (flip));
}

std::unique_ptr<juce::AccessibilityHandler> button (juce::Component& control, std::function<void()> press)
{
    return std::make_unique<juce::AccessibilityHandler> (
        control, juce::AccessibilityRole::button,
        juce::AccessibilityActions().addAction (juce::AccessibilityActionType::press, std::move (press)));
}

std::optional<int> steppedValue (const juce::KeyPress& key, int current, int minimum, int maximum)
{
    const auto page = juce::jmax (1, (maximum - minimum) / 10);
    const auto code = key.getKeyCode();
    std::optional<int> next;
    if (code == juce::KeyPress::upKey || code == juce::KeyPress::rightKey)
        next = current + 1;
    else if (code == juce::KeyPress::downKey || code == juce::KeyPress::leftKey)
        next = current - 1;
    else if (code == juce::KeyPress::pageUpKey)
        next = current + page;
    else if (code == juce::KeyPress::pageDownKey)
        next = current - page;
    else if (code == juce::KeyPress::homeKey)
        next = minimum;
    else if (code == juce::KeyPress::endKey)
        next = maximum;
    if (next.has_value())
        next = juce::jlimit (minimum, juce::jmax (minimum, maximum), *next);
    return next;
}

bool stepOnKey (const juce::KeyPress& key, int current, int minimum, int maximum,
                const std::function<void (int)>& setValue)
{
    const auto next = steppedValue (key, current, minimum, maximum);
    if (next.has_value())
        setValue (*next);
    return next.has_value();
}

bool isPressKey (const juce::KeyPress& key)
{
    return key.getKeyCode() == juce::KeyPress::spaceKey || key.getKeyCode() == juce::KeyPress::returnKey;
}

bool pressOnKey (const juce::KeyPress& key, const std::function<void()>& press)
{
    if (!isPressKey (key))
        return false;
    press();
    return true;
}

void makeFocusable (juce::Component& control)
{
    control.setWantsKeyboardFocus (true);
    control.setMouseClickGrabsKeyboardFocus (false);
}

void drawFocus (juce::Graphics& g, const juce::Component& control)
{
    if (!control.hasKeyboardFocus (false))
        return;
    g.setColour (juce::Colour (0xff5aa0e6));
    g.drawRoundedRectangle (control.getLocalBounds().toFloat().reduced (1.0f), 3.0f, 2.0f);
}
} // namespace ControlAccess
