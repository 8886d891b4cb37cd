#include "ui/editor/GroupClass.h"

#include "core/RavlinAudioProcessor.h"
#include "instrument/ParDes.h"
#include "ui/controls/ControlAccess.h"
#include "ui/controls/RavlinLookAndFeel.h"
#include "ui/editor/SectionLayout.h"

using Look = RavlinLookAndFeel;

namespace
{
constexpr int arpeggiator = 14, abMode = 15;
constexpr int splitParameter = 424, abModeParameter = 425;

/** A text button whose text keeps the section's scale, small enough for its narrow place. */
class SmallTextButton : public juce::TextButton
{
public:
    using juce::TextButton::TextButton;

    void paintButton (juce::Graphics& g, bool highlighted, bool down) override
    {
        auto& lf = getLookAndFeel();
        lf.drawButtonBackground (g, *this, findColour (buttonColourId), highlighted, down);
        g.setColour (findColour (textColourOffId));
        g.setFont (Look::font ((float)getHeight() * 0.48f));
        g.drawFittedText (getButtonText(), getLocalBounds().reduced (2, 0), juce::Justification::centred, 1, 0.8f);
        ControlAccess::drawFocus (g, *this);
    }
};
} // namespace

GroupClass::GroupClass (RavlinAudioProcessor& p, int sectionNumber, int layerNumber)
    : processor (p), section (sectionNumber), layer (layerNumber)
{
    if (section < 0 || section >= SectionLayout::numSections)
        return; // the empty panels: nothing to show

    for (const auto& binding : SectionLayout::controls (section, layer))
    {
        auto* c = controls.add (new StsCont (processor, layer));
        c->setup (binding.parameter, binding.label, binding.x, binding.y, binding.w, binding.h, binding.minimum,
                  binding.maximum, binding.kind, binding.displayKind);
        c->addListener (this);
        addAndMakeVisible (c);
    }

    switch (section)
    {
        case 0:
            for (int k = 0; k < 2; ++k)
                addDisplay (*sliders.add (new P_Slider (processor, 1025 + k)), {16 + 56 * k, 60, 36, 130});
            pad = std::make_unique<P_Pad> (processor, processor.getHub());
            addDisplay (*pad, {18, 210, 90, 90});
            break;
        case 1:
            for (int o = 0; o < 4; ++o)
                addDisplay (*shapes.add (new ShapeClass()), {202, 22 + 72 * o, 66, 32});
            break;
        case 3:
        case 5:
        case 9:
        case 10:
            envelope = std::make_unique<Envel>();
            envelope->onReport = [this] (int code)
            {
                if (code == Envel::commitCode)
                    commitEnvelope();
                else
                    requestZoom();
            };
            addDisplay (*envelope, {426, 46, 226, 82});
            break;
        case arpeggiator:
            stepsButton = std::make_unique<SmallTextButton> ("STEPS");
            stepsButton->setTitle ((layer == 0 ? "A" : "B") + juce::String (" Arpeggiator steps"));
            stepsButton->setTooltip ("The 32 note and velocity steps");
            stepsButton->setMouseClickGrabsKeyboardFocus (false);
            stepsButton->onClick = [this]
            {
                if (onOpenSteps)
                    onOpenSteps();
            };
            addDisplay (*stepsButton, {78, 46, 38, 22});
            break;
        case abMode:
        {
            smallSplit = std::make_unique<ZoneKeyClass>();
            smallSplit->onOpen = [this] { requestZoom(); };
            addDisplay (*smallSplit, {2, 2, 212, 18});
            largeSplit = std::make_unique<ZoneKeyClassB>();
            auto* selector = findControl (splitParameter);
            largeSplit->onPress = [selector] (int v) { selector->userValue (v, false); };
            largeSplit->onDrag = [selector] (int v) { selector->previewText (ParDes::valueText (18, v)); };
            largeSplit->onRelease = [selector] (int v) { selector->userValue (v, true); };
            addDisplay (*largeSplit, {2, 24, ZoneKeyClassB::keyboardWidth, 30});
            setExpanded (false);
            break;
        }
        default: break;
    }
}

GroupClass::~GroupClass()
{
    for (auto* c : controls)
        c->removeListener (this);
}

void GroupClass::addDisplay (juce::Component& c, juce::Rectangle<int> unscaled)
{
    displays.emplace_back (&c, unscaled);
    addAndMakeVisible (c);
}

StsCont* GroupClass::findControl (int parameter) const noexcept
{
    for (auto* c : controls)
        if (c->getParameter() == parameter)
            return c;
    return nullptr;
}

void GroupClass::setScale (float s)
{
    scale = s;
    for (auto* c : controls)
        c->setScale (s);
    for (auto* sl : sliders)
        sl->setScale (s);
    if (pad != nullptr)
        pad->setScale (s);
    if (envelope != nullptr)
        envelope->setScale (s);
    setPlace (place.getX(), place.getY(), place.getWidth(), place.getHeight());
}

void GroupClass::setEditableAtAnyScale (bool editable)
{
    anyScale = editable;
    for (auto* c : controls)
        c->setEditableAtAnyScale (editable);
    if (envelope != nullptr)
        envelope->setEditableAtAnyScale (editable);
}

void GroupClass::setPlace (int x, int y, int w, int h)
{
    place = {x, y, w, h};
    // One rounded grid for the sections and everything in them: each edge is scaled and
    // rounded where it lies in the editor, so neighbours meet exactly.
    origin = {(float)x * scale, (float)y * scale + (float)SectionLayout::barHeight};
    setBounds (
        (place.toFloat() * scale + juce::Point<float> (0.0f, (float)SectionLayout::barHeight)).toNearestIntEdges());
    for (auto* c : controls)
        c->setGridOrigin (origin);
    resized();
}

void GroupClass::resized()
{
    for (auto& [component, unscaled] : displays)
        component->setBounds ((unscaled.toFloat() * scale + origin).toNearestIntEdges() - origin.roundToInt());
}

bool GroupClass::setControlValue (int parameter, int value, bool force)
{
    auto* c = findControl (parameter);
    if (c == nullptr)
        return false;
    if (force)
        c->forceNextUpdate();
    const auto v = juce::jlimit (c->getMinimum(), c->getMaximum(), value);
    // Text is made only for a value that will show.
    if (force || v != c->getShownValue())
        c->showValue (v, ParDes::valueText (c->getDisplayKind(), v));

    if (parameter >= 12 && parameter <= 15 && !shapes.isEmpty())
    {
        auto* shape = shapes[parameter - 12];
        shape->setShape (v);
        if (auto* mod = findControl (parameter + 16))
            shape->setModulation (mod->getShownValue());
    }
    else if (parameter >= 28 && parameter <= 31 && !shapes.isEmpty())
        shapes[parameter - 28]->setModulation (v);
    else if (parameter >= 180 && parameter <= 195 && envelope != nullptr)
        envelope->setValue ((parameter - 180) / 4, v);
    else if (parameter == splitParameter && smallSplit != nullptr)
    {
        smallSplit->setSplit (v);
        if (largeSplit->isVisible())
            largeSplit->setSplit (v);
    }
    return true;
}

void GroupClass::commitEnvelope()
{
    static const char* const labels[] = {"Attack", "Decay", "Sustain", "Release"};
    for (int k = 0; k < 4; ++k)
        for (auto* c : controls)
            if (c->getLabel() == labels[k])
                c->userValue (envelope->getValue (k), false);
}

//==============================================================================
void GroupClass::setExpanded (bool shouldExpand)
{
    if (section != abMode)
        return;
    expanded = shouldExpand;
    smallSplit->setVisible (!expanded);
    largeSplit->setVisible (expanded);
    if (expanded)
        if (auto* selector = findControl (splitParameter))
            largeSplit->setSplit (selector->getShownValue());
    placeAbModeControls();
    repaint();
}

void GroupClass::placeAbModeControls()
{
    auto* selector = findControl (splitParameter);
    auto* mode = findControl (abModeParameter);
    if (selector == nullptr || mode == nullptr)
        return;
    if (expanded)
    {
        selector->moveTo (537, 55);
        mode->moveTo (24, 80);
    }
    else
    {
        // Beside the split display, inside the strip; the switch has no room there and is
        // reached through the zoom.
        selector->moveTo (218, 18);
        mode->moveTo (0, 60);
    }
    mode->setVisible (expanded);
}

//==============================================================================
void GroupClass::zoomRequested (StsCont&)
{
    requestZoom();
}

void GroupClass::requestZoom()
{
    if (listener != nullptr)
        listener->sectionZoomRequested (*this);
}

void GroupClass::mouseDown (const juce::MouseEvent& e)
{
    if (e.mods.isRightButtonDown() || (scale < zoomThreshold && !anyScale))
        requestZoom();
}

void GroupClass::paint (juce::Graphics& g)
{
    if (section < 0 || section >= SectionLayout::numSections)
        return;
    const bool darker = section == abMode && getWidth() < 500;
    g.fillAll (juce::Colour (darker ? Look::panelDark : Look::panel));
    const auto band = juce::Rectangle<float> (0.0f, 0.0f, (float)getWidth(), 16.0f * scale);
    if (section != abMode || expanded)
    {
        g.setColour (juce::Colour (Look::panelDark));
        g.fillRect (band);
        g.setColour (juce::Colour (Look::title));
        g.setFont (Look::font (12.0f * scale, true));
        g.drawText (SectionLayout::section (section).title, band, juce::Justification::centred, false);
        if (SectionLayout::section (section).showsLayerLetter)
        {
            g.setColour (juce::Colour (layer == 0 ? Look::accent : 0xff60a0ff));
            g.drawText (layer == 0 ? "A" : "B", band.withTrimmedLeft (6.0f * scale), juce::Justification::centredLeft,
                        false);
        }
    }
    if (section == abMode && expanded)
    {
        g.setColour (juce::Colour (Look::label));
        g.setFont (Look::font (12.0f));
        g.drawText ("A + B", 20, 80, 40, 14, juce::Justification::left, false);
        g.drawText ("A | B", 60, 80, 40, 14, juce::Justification::left, false);
        g.drawText ("Split Point", 510, 18, 90, 14, juce::Justification::left, false);
    }
    // Switches too narrow for their label get it underneath.
    g.setColour (juce::Colour (Look::label));
    g.setFont (Look::font (11.0f * scale));
    for (auto* c : controls)
        if (c->getKind() == 1 && c->getUnscaledBounds().getWidth() < 50 && c->isVisible())
            g.drawText (c->getLabel(), c->getBounds().translated (0, c->getHeight()).withWidth (c->getWidth() * 2),
                        juce::Justification::topLeft, false);
    g.setColour (juce::Colours::black);
    g.drawRect (getLocalBounds(), 1);
}
