#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class RavlinAudioProcessor;

/** The windows of randomise, mutate, morph and the exploration history: each made when first
    asked for, brought to the front when asked again, hidden by its close button. */
class ExploreWindows
{
public:
    enum Kind
    {
        randomise,
        mutate,
        morph,
        history,
        numKinds
    };

    explicit ExploreWindows (RavlinAudioProcessor& processor);
    ~ExploreWindows();

    void show (Kind kind);
    /** The content of a window once shown, else nullptr. */
    juce::Component* content (Kind kind) const;

private:
    struct Window;
    RavlinAudioProcessor& processor;
    std::unique_ptr<Window> windows[numKinds];
};
