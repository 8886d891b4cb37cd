#include "ui/editor/EditorPanel.h"

#include "core/RavlinAudioProcessor.h"
#include "instrument/Bank_Program.h"
#include "instrument/DSI_Program.h"
#include "instrument/ParDes.h"
#include "library/ProgramLibrary.h"
#include "ui/controls/RavlinLookAndFeel.h"
#include "ui/editor/SectionLayout.h"

using Look = RavlinLookAndFeel;

namespace
{
constexpr int abMode = 15;
} // namespace

/** The zoom's overlays: a picture of the section in its place, the dimmers that close the zoom
    when clicked, and the frame. */
class EditorPanel::Overlay : public juce::Component
{
public:
    explicit Overlay (juce::Colour c) : colour (c) {}
    juce::Image image;
    std::function<void()> onClick;

    void paint (juce::Graphics& g) override
    {
        if (image.isValid())
            g.drawImage (image, getLocalBounds().toFloat());
        else
            g.fillAll (colour);
    }
    void mouseDown (const juce::MouseEvent&) override
    {
        if (onClick)
            onClick();
    }

private:
    juce::Colour colour;
};

EditorPanel::EditorPanel (RavlinAudioProcessor& p) : processor (p), appBar (p.getHub())
{
    addAndMakeVisible (scrollBar);
    addAndMakeVisible (zoomHandle);
    scrollBar.onMove = [this] (int position) { jumpTo (SectionLayout::sectionButton (position).jump); };
    zoomHandle.currentHeight = [this] { return getHeight(); };
    zoomHandle.onPhase = [this] (int phase, int height)
    {
        if (onZoomHandle)
            onZoomHandle (phase, height);
    };

    addAndMakeVisible (appBar);
    appBar.addButtonListener (this);
    libraryButton.setBounds (6, 4, 36, 36);
    addAndMakeVisible (libraryButton);
    lcd.setBounds (44, 2, LCD_Comp::width, LCD_Comp::height);
    addAndMakeVisible (lcd);

    for (int layer = 0; layer < 2; ++layer)
    {
        auto& list = layer == 0 ? layerA : layerB;
        for (int n = 0; n < panelsPerLayer; ++n)
        {
            // Layer B has no SLIDERS: its first panel is an empty one.
            const int section = layer == 1 && n == 0 ? -1 : n;
            auto* panel = list.add (new GroupClass (processor, section, layer));
            panel->setListener (this);
            panel->onOpenSteps = [this, layer] { openSteps (layer); };
            addChildComponent (panel);
            panel->setBounds (-2000, layer == 0 ? 20 : 200, 10, 10);
        }
    }

    snapshot = std::make_unique<Overlay> (juce::Colours::transparentBlack);
    frame = std::make_unique<Overlay> (juce::Colours::transparentBlack);
    frame->setInterceptsMouseClicks (false, false);
    addChildComponent (*snapshot);
    for (int k = 0; k < 4; ++k)
    {
        auto* d = dimmers.add (new Overlay (juce::Colour (0x77000000)));
        d->onClick = [this] { closeZoom(); };
        addChildComponent (d);
    }
    addChildComponent (*frame);

    scale = juce::jlimit (
        0.1f, 1.5f, processor.getHub().layout.panelScale > 0.0 ? (float)processor.getHub().layout.panelScale : 1.0f);
    for (auto* panel : layerA)
        panel->setScale (scale);
    for (auto* panel : layerB)
        panel->setScale (scale);
    setSize (1200, 54 + 640 + 14);
    jumpTo (1);
}

EditorPanel::~EditorPanel()
{
    animator.cancelAllAnimations (false);
    appBar.removeButtonListener (this);
}

GroupClass* EditorPanel::getPanel (int layer, int section) noexcept
{
    if (section < 0 || section >= panelsPerLayer)
        return nullptr;
    auto* panel = (layer == 0 ? layerA : layerB)[section];
    return panel != nullptr && panel->getSection() == section ? panel : nullptr;
}

juce::Component* EditorPanel::getDimmer (int k) noexcept
{
    return dimmers[k];
}

//==============================================================================
void EditorPanel::jumpTo (int jump)
{
    lastJump = jump;
    left = SectionLayout::jumpLeft (jump);
    for (int i = 0; i < SectionLayout::numPlaces; ++i)
    {
        const auto& place = SectionLayout::section (i);
        const auto d = place.x - left;
        // Cut to its bar (a page shows below it), the panel shows no sections.
        const bool shown = d >= 0 && (float)d * scale <= (float)getWidth() && getHeight() > SectionLayout::barHeight;
        for (int layer = 0; layer < 2; ++layer)
        {
            auto* panel = getPanel (layer, i);
            if (panel == nullptr)
                continue;
            const auto row = layer == 0 ? place.rowA : place.rowB;
            if (!shown || row < 0 || (layer == 1 && !place.hasLayerB))
            {
                panel->setVisible (false);
                continue;
            }
            panel->setScale (scale);
            panel->setPlace (d, row, place.width, place.height);
            panel->setVisible (true);
        }
    }
    // The scroll bar follows jumps made by the section buttons.
    for (int b = 0; b < SectionLayout::numSectionButtons; ++b)
        if (SectionLayout::sectionButton (b).jump == jump)
        {
            if (SectionLayout::sectionButton (scrollBar.getPosition()).jump != jump)
                scrollBar.setPosition (b);
            break;
        }
    placeAbMode();
}

void EditorPanel::placeAbMode()
{
    auto* ab = getPanel (0, abMode);
    if (ab == nullptr || (zoomOpen && zoomed == ab))
        return;
    ab->setExpanded (false);
    // The strip lives in the application bar, which does not zoom: at any other scale it would
    // cover the bar's buttons or leave it.
    ab->setScale (1.0f);
    const auto& place = SectionLayout::section (abMode);
    ab->setPlace (place.x, place.rowA, place.width, place.height);
    ab->setVisible (true);
    ab->toFront (false);
}

void EditorPanel::setScale (float s)
{
    if (zoomOpen)
        closeZoom();
    scale = juce::jlimit (0.1f, 1.5f, s);
    processor.getHub().layout.panelScale = scale;
    zoomHandle.setPercent ((int)(scale * 100.0f));
    jumpTo (lastJump);
    resized();
}

void EditorPanel::resized()
{
    appBar.setBounds (267, 0, getWidth() - 267, SectionLayout::barHeight);
    const bool pageShowing = getHeight() <= SectionLayout::barHeight;
    scrollBar.setVisible (!pageShowing);
    zoomHandle.setVisible (!pageShowing);
    if (!pageShowing)
    {
        scrollBar.setBounds (0, getHeight() - 14, getWidth() - 52, 14);
        zoomHandle.setBounds (getWidth() - 52, getHeight() - 14, 52, 14);
    }
    if (!zoomOpen)
        jumpTo (lastJump);
    if (pageShowing)
        closeSteps();
    if (steps != nullptr)
        steps->setBounds (stepsRoom());
}

void EditorPanel::paint (juce::Graphics& g)
{
    g.setColour (juce::Colour (Look::bar));
    g.fillRect (0, 0, getWidth(), SectionLayout::barHeight);
    g.setColour (juce::Colour (Look::barLower));
    g.fillRect (0, SectionLayout::barHeight, getWidth(), getHeight() - SectionLayout::barHeight);
    // The logos: the instrument's name and ours.
    g.setColour (juce::Colour (Look::title));
    g.setFont (Look::font (20.0f, true));
    g.drawText ("PROPHET 12", 936, 4, 160, 26, juce::Justification::centredLeft, false);
    g.setColour (juce::Colour (Look::accent));
    g.setFont (Look::font (16.0f, true));
    g.drawText ("Ravlin", 1098, 6, 90, 22, juce::Justification::centredLeft, false);
}

//==============================================================================
void EditorPanel::updateParameter (int address, int value, bool force)
{
    if (!juce::isPositiveAndBelow (address, 1024))
        return;
    // The program display shows some of the program's bytes too, whatever changed them.
    if ((address >= DSI_Program::nameOffset && address < DSI_Program::nameOffset + DSI_Program::nameLength) ||
        address == DSI_Program::abModeOffset || address == DSI_Program::categoryOffset ||
        address == DSI_Program::arpOnA || address == DSI_Program::arpOnB)
        refreshProgramDisplay();
    if (steps != nullptr)
        steps->updateParameter (address, value);
    const auto layer = address >= 512 ? 1 : 0;
    const auto number = address - 512 * layer;
    const auto section = processor.getHub().parameterTable.section (number);
    if (section <= 0 || section >= SectionLayout::numSections)
        return;
    if (auto* panel = getPanel (layer, section))
        panel->setControlValue (number, value, force);
}

void EditorPanel::updateLatch (int index, int value)
{
    if (auto* panel = getPanel (0, 0))
        panel->setControlValue (index, value, true);
}

void EditorPanel::refreshProgramDisplay()
{
    auto& hub = processor.getHub();
    auto program = hub.getCurrentProgram();
    program.resize (1024, 0);
    const auto bank = hub.currentBank.load(), slot = hub.currentProgram.load();
    juce::String location;
    if (bank >= 0 && slot >= 0)
        location = (bank < 4 ? "U" + juce::String (bank + 1) : "F" + juce::String (bank - 3)) + " P " +
                   juce::String (slot + 1);
    const auto name = ProgramLibrary::nameOf (program.data());
    lcd.setProgram (location, name.trimEnd(), program[DSI_Program::categoryOffset],
                    Bank_Program::abModeTextOf (program.data(), program.size()),
                    Bank_Program::arpMarkOf (program.data(), program.size()));
}

void EditorPanel::refreshAll()
{
    auto& hub = processor.getHub();
    auto program = hub.getCurrentProgram();
    program.resize (1024, 0);
    refreshProgramDisplay();
    // Hidden steps are read again when they open.
    if (isStepsOpen())
        steps->refreshAll();

    for (int address = 0; address < 942; ++address)
    {
        if (address >= 430 && address < 512)
            continue;
        const auto layer = address >= 512 ? 1 : 0;
        const auto number = address - 512 * layer;
        const auto section = hub.parameterTable.section (number);
        if (section <= 0 || section >= SectionLayout::numSections)
            continue;
        auto* panel = getPanel (layer, section);
        auto* control = panel != nullptr ? panel->findControl (number) : nullptr;
        if (control == nullptr)
            continue;
        // A control that never showed a text is drawn once; after that only changes repaint.
        panel->setControlValue (number, program[(size_t)address], control->getValueText().isEmpty());
    }
}

//==============================================================================
juce::Rectangle<int> EditorPanel::stepsRoom() const
{
    return getLocalBounds().withTrimmedTop (SectionLayout::barHeight).withTrimmedBottom (14);
}

ArpStepEditor& EditorPanel::getStepEditor()
{
    if (steps == nullptr)
    {
        steps = std::make_unique<ArpStepEditor> (processor);
        steps->onClose = [this] { closeSteps(); };
        addChildComponent (*steps);
    }
    return *steps;
}

void EditorPanel::openSteps (int layer)
{
    if (zoomOpen)
        closeZoom();
    auto& editor = getStepEditor();
    editor.setLayer (layer); // which reads the steps from the program
    editor.setBounds (stepsRoom());
    editor.setVisible (true);
    editor.toFront (false);
    if (editor.isShowing())
        editor.getRow (ArpStepEditor::notesRow).grabKeyboardFocus();
}

void EditorPanel::closeSteps()
{
    if (!isStepsOpen())
        return;
    steps->commitPending();
    steps->setVisible (false);
    if (auto* arp = getPanel (steps->getLayer(), 14))
        if (auto* button = arp->getStepsButton(); button != nullptr && button->isShowing())
            button->grabKeyboardFocus();
}

//==============================================================================
float EditorPanel::zoomScaleForMonitor (int monitorWidth)
{
    return monitorWidth > 2000 ? 1.5f : monitorWidth < 1600 ? 1.0f : 1.3f;
}

void EditorPanel::sectionZoomRequested (GroupClass& panel)
{
    openZoom (panel);
}

void EditorPanel::openZoom (GroupClass& panel)
{
    if (zoomOpen || animator.isAnimating())
        return;
    closeSteps();
    zoomOpen = true;
    zoomed = &panel;
    storedScale = scale;

    snapshot->image = panel.createComponentSnapshot (panel.getLocalBounds());
    snapshot->setBounds (panel.getBounds());
    snapshot->setVisible (true);

    int monitorWidth = 1600;
    if (const auto* display = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay())
        monitorWidth = display->userArea.getWidth();
    // The section is made as large as the monitor asks, but never larger than the room between
    // the application bar and the bottom of the panel; there it edits at any size.
    const auto room = zoomRoom();
    const bool ab = panel.getSection() == abMode;
    const auto natural =
        ab ? juce::Point<int> (600, 100) : panel.getPlace().getBottomRight() - panel.getPlace().getPosition();
    const auto zoomScale =
        juce::jmin (ab ? 1.0f : zoomScaleForMonitor (monitorWidth), (float)room.getWidth() / (float)natural.x,
                    (float)room.getHeight() / (float)natural.y);
    const auto start = panel.getBounds().getPosition();
    if (ab)
        panel.setExpanded (true);
    panel.setScale (zoomScale);
    if (ab)
        panel.setPlace (panel.getPlace().getX(), panel.getPlace().getY(), natural.x, natural.y);
    panel.setEditableAtAnyScale (true);
    panel.setTopLeftPosition (start);

    const auto w = panel.getWidth(), h = panel.getHeight(), W = getWidth(), H = getHeight();
    const auto m = room.getX() + juce::jmax (0, (room.getWidth() - w) / 2);
    const auto t = room.getY() + juce::jmax (0, (room.getHeight() - h) / 2);
    dimmers[0]->setBounds (0, 0, m, H);
    dimmers[1]->setBounds (m + w, 0, W - w - m, H);
    dimmers[2]->setBounds (m, 0, w, t);
    dimmers[3]->setBounds (m, t + h, w, H - t - h);
    frame->setBounds (m, t, w, h);
    for (auto* d : dimmers)
    {
        d->setVisible (true);
        d->toFront (false);
    }
    panel.setVisible (true);
    panel.toFront (false);
    frame->setVisible (true);
    frame->toFront (false);
    animator.animateComponent (&panel, {m, t, w, h}, 1.0f, zoomMs, false, 1.0, 0.0);
}

juce::Rectangle<int> EditorPanel::zoomRoom() const
{
    return getLocalBounds().withTrimmedTop (SectionLayout::barHeight);
}

juce::Rectangle<int> EditorPanel::zoomFrame() const
{
    return zoomOpen ? frame->getBounds() : juce::Rectangle<int>();
}

void EditorPanel::closeZoom()
{
    if (!zoomOpen || animator.isAnimating())
        return;
    zoomOpen = false;
    if (zoomed != nullptr)
        zoomed->setEditableAtAnyScale (false);
    zoomed = nullptr;
    snapshot->setVisible (false);
    snapshot->image = {};
    frame->setVisible (false);
    for (auto* d : dimmers)
        d->setVisible (false);
    scale = storedScale < 0.1f || storedScale > 1.5f ? 1.5f : storedScale;
    for (auto* p : layerA)
        p->setScale (scale);
    for (auto* p : layerB)
        p->setScale (scale);
    jumpTo (lastJump);
}

//==============================================================================
void EditorPanel::stsbutChanged (StsBut& button)
{
    const auto index = button.getCommand() - AppBar::firstSectionCommand;
    if (juce::isPositiveAndBelow (index, SectionLayout::numSectionButtons))
    {
        if (zoomOpen)
            closeZoom();
        closeSteps();
        scrollBar.setPosition (index);
        jumpTo (SectionLayout::sectionButton (index).jump);
    }
    if (onButton)
        onButton (button);
}
