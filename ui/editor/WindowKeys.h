#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class KeyPlayClass;

/** Keys that reach the editor's window unused play the computer keyboard, wherever the focus is:
    the window gets the keys when nothing in it has the focus (a standalone window takes the focus
    itself), and keys that a focused control, a text box or a dialog does not use travel up to it
    too. */
class WindowKeys : private juce::KeyListener
{
public:
    explicit WindowKeys (KeyPlayClass& player);
    ~WindowKeys() override;

    /** Listens to this window from now on, and no longer to the one before. */
    void follow (juce::Component* window);

private:
    bool keyPressed (const juce::KeyPress& key, juce::Component*) override;
    bool keyStateChanged (bool isKeyDown, juce::Component*) override;

    KeyPlayClass& player;
    juce::Component::SafePointer<juce::Component> window;
};
