#pragma once

#include "ui/controls/Envel.h"
#include "ui/controls/P_Pad.h"
#include "ui/controls/P_Slider.h"
#include "ui/controls/ShapeClass.h"
#include "ui/controls/StsCont.h"
#include "ui/controls/ZoneKeyClass.h"

class RavlinAudioProcessor;
class GroupClass;

class GroupClassListener
{
public:
    virtual ~GroupClassListener() = default;
    virtual void sectionZoomRequested (GroupClass& panel) = 0;
};

/** One section of one layer: its parameter controls and side displays, at a scale. */
class GroupClass : public juce::Component, private StsContListener
{
public:
    static constexpr float zoomThreshold = 0.6f;

    GroupClass (RavlinAudioProcessor& processor, int section, int layer);
    ~GroupClass() override;

    int getSection() const noexcept { return section; }
    int getLayer() const noexcept { return layer; }
    float getScale() const noexcept { return scale; }
    void setScale (float s);
    /** Unscaled place: the screen bounds become (x, y, w, h) times the scale. */
    void setPlace (int x, int y, int w, int h);
    /** Set while the section is zoomed: its controls edit at any scale. */
    void setEditableAtAnyScale (bool editable);
    juce::Rectangle<int> getPlace() const noexcept { return place; }

    StsCont* findControl (int parameter) const noexcept;
    const juce::OwnedArray<StsCont>& getControls() const noexcept { return controls; }
    /** A value for one of its parameters, with the side displays that follow it; force redraws
        even an unchanged value. False when the section has no such control. */
    bool setControlValue (int parameter, int value, bool force);

    // AB MODE's two forms.
    void setExpanded (bool expanded);
    bool isExpanded() const noexcept { return expanded; }

    Envel* getEnvelope() noexcept { return envelope.get(); }
    ShapeClass* getShapeDisplay (int oscillator) noexcept { return shapes[oscillator]; }
    P_Slider* getSlider (int k) noexcept { return sliders[k]; }
    P_Pad* getPad() noexcept { return pad.get(); }
    ZoneKeyClass* getSmallSplit() noexcept { return smallSplit.get(); }
    ZoneKeyClassB* getLargeSplit() noexcept { return largeSplit.get(); }

    void setListener (GroupClassListener* l) { listener = l; }
    /** The ARPEGGIATOR's STEPS button: opens the step editor of this layer. */
    juce::Button* getStepsButton() noexcept { return stepsButton.get(); }
    std::function<void()> onOpenSteps;

    void paint (juce::Graphics& g) override;
    void resized() override;
    void mouseDown (const juce::MouseEvent& e) override;

private:
    void zoomRequested (StsCont& control) override;
    void requestZoom();
    void addDisplay (juce::Component& c, juce::Rectangle<int> unscaled);
    void commitEnvelope();
    void placeAbModeControls();

    RavlinAudioProcessor& processor;
    const int section, layer;
    float scale = 1.0f;
    bool expanded = false, anyScale = false;
    juce::Rectangle<int> place;
    juce::Point<float> origin; // the place's top left, scaled, in the editor
    juce::OwnedArray<StsCont> controls;
    std::unique_ptr<Envel> envelope;
    juce::OwnedArray<ShapeClass> shapes;
    juce::OwnedArray<P_Slider> sliders;
    std::unique_ptr<P_Pad> pad;
    std::unique_ptr<ZoneKeyClass> smallSplit;
    std::unique_ptr<ZoneKeyClassB> largeSplit;
    std::unique_ptr<juce::TextButton> stepsButton;
    std::vector<std::pair<juce::Component*, juce::Rectangle<int>>> displays;
    GroupClassListener* listener = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GroupClass)
};
