#include "ui/editor/WindowKeys.h"

#include "ui/keyboard/KeyPlayClass.h"

WindowKeys::WindowKeys (KeyPlayClass& p) : player (p) {}

WindowKeys::~WindowKeys()
{
    if (window != nullptr)
        window->removeKeyListener (this);
}

void WindowKeys::follow (juce::Component* newWindow)
{
    if (newWindow == window.getComponent())
        return;
    if (window != nullptr)
        window->removeKeyListener (this);
    window = newWindow;
    newWindow->addKeyListener (this);
}

bool WindowKeys::keyPressed (const juce::KeyPress& key, juce::Component*)
{
    return player.keyPressed (key);
}

bool WindowKeys::keyStateChanged (bool isKeyDown, juce::Component*)
{
    return player.keyStateChanged (isKeyDown);
}
