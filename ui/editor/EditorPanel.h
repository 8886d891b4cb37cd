#pragma once

#include "ui/controls/EditorWidgets.h"
#include "ui/editor/AppBar.h"
#include "ui/editor/ArpStepEditor.h"
#include "ui/editor/GroupClass.h"

class RavlinAudioProcessor;

/** The section editor: the application bar, the program display, both layers' section panels
    in their columns, the scroll bar, the zoom handle and the section zoom. */
class EditorPanel : public juce::Component, private GroupClassListener, private stsbutChangeListener
{
public:
    static constexpr int panelsPerLayer = 20;
    static constexpr int zoomMs = 200;

    explicit EditorPanel (RavlinAudioProcessor& processor);
    ~EditorPanel() override;

    void setScale (float s);
    float getScale() const noexcept { return scale; }
    void jumpTo (int jump);
    int getLeft() const noexcept { return left; }
    int getLastJump() const noexcept { return lastJump; }

    /** One parameter (0..941) from anywhere; force redraws an unchanged value. */
    void updateParameter (int address, int value, bool force);
    /** The program display and every address from the current program; controls whose value
        did not change are left alone. */
    void refreshAll();
    /** The program display from the current program: location, name, category, A/B mode and
        the arpeggiator mark. */
    void refreshProgramDisplay();
    /** A slider latch (1028, 1029) came back. */
    void updateLatch (int index, int value);

    void openZoom (GroupClass& panel);
    void closeZoom();
    bool isZoomOpen() const noexcept { return zoomOpen; }
    juce::Rectangle<int> zoomFrame() const;
    /** Where a zoomed section is fitted: below the application bar, down to the panel's bottom. */
    juce::Rectangle<int> zoomRoom() const;

    /** The arpeggiator's step editor over the sections, showing a layer; closing it gives the
        keyboard focus back to that layer's STEPS button. */
    void openSteps (int layer);
    void closeSteps();
    bool isStepsOpen() const noexcept { return steps != nullptr && steps->isVisible(); }
    /** Made when first wanted, so that opening the editor does not pay for it. */
    ArpStepEditor& getStepEditor();
    /** Where the step editor lies: below the application bar, above the scroll bar. */
    juce::Rectangle<int> stepsRoom() const;

    GroupClass* getPanel (int layer, int section) noexcept;
    AppBar& getAppBar() noexcept { return appBar; }
    LCD_Comp& getLcd() noexcept { return lcd; }
    HorScrollClass& getScrollBar() noexcept { return scrollBar; }
    CorButton& getZoomHandle() noexcept { return zoomHandle; }
    AppSetBarBut& getLibraryButton() noexcept { return libraryButton; }
    juce::Component* getDimmer (int k) noexcept;

    /** Section buttons reach the owner too (it closes its pages). */
    std::function<void (StsBut&)> onButton;
    /** The zoom handle's phases, for the owner that resizes the panel. */
    std::function<void (int phase, int height)> onZoomHandle;

    void paint (juce::Graphics& g) override;
    void resized() override;

private:
    class Overlay;

    void sectionZoomRequested (GroupClass& panel) override;
    void stsbutChanged (StsBut& button) override;
    void placeAbMode();
    static float zoomScaleForMonitor (int monitorWidth);

    RavlinAudioProcessor& processor;
    AppBar appBar;
    AppSetBarBut libraryButton;
    LCD_Comp lcd;
    HorScrollClass scrollBar;
    CorButton zoomHandle;
    std::unique_ptr<ArpStepEditor> steps;
    juce::OwnedArray<GroupClass> layerA, layerB;
    std::unique_ptr<Overlay> snapshot, frame;
    juce::OwnedArray<Overlay> dimmers;
    juce::ComponentAnimator animator;
    float scale = 1.0f, storedScale = 1.0f;
    int left = 0, lastJump = 1;
    bool zoomOpen = false;
    GroupClass* zoomed = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (EditorPanel)
};
