#include "ui/editor/ArpStepEditor.h"

#include "core/RavlinAudioProcessor.h"
#include "instrument/ParDes.h"
#include "instrument/ProgramPacking.h"
#include "ui/controls/ControlAccess.h"
#include "ui/controls/RavlinLookAndFeel.h"

using Look = RavlinLookAndFeel;

namespace
{
constexpr int highestValue = 127;
constexpr int pageStep = 12;
const char* const rowTitles[] = {"NOTES", "VELOCITY"};
} // namespace

/** One step's bar: drawn, read out to screen readers and named in its tooltip. The row takes
    the mouse and the keys. */
class ArpStepEditor::Step : public juce::Component, public juce::TooltipClient
{
public:
    Step (ArpStepEditor& e, int r, int s) : editor (e), row (r), step (s)
    {
        setInterceptsMouseClicks (false, false);
        updateTitle();
    }

    void updateTitle() { setTitle (editor.stepName (row, step)); }
    int value() const { return editor.getValue (row, step); }

    juce::String getTooltip() override { return editor.stepName (row, step) + ": " + editor.valueText (row, value()); }

    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override
    {
        ControlAccess::Ranged access{[this] { return value(); },
                                     [this] (int v)
                                     {
                                         editor.selectStep (step);
                                         editor.keyEdit (row, v);
                                     },
                                     [this] { return editor.valueText (row, value()); }, 0, highestValue};
        return ControlAccess::ranged (*this, juce::AccessibilityRole::slider, std::move (access));
    }

    void paint (juce::Graphics& g) override
    {
        const auto area = getLocalBounds().toFloat().reduced (1.0f, 0.0f);
        const bool isSelected = editor.getSelectedStep() == step;
        g.setColour (juce::Colour (Look::box));
        g.fillRect (area);
        const auto textHeight = juce::jmin (14.0f, area.getHeight() * 0.25f);
        const auto bars = area.withTrimmedBottom (textHeight);
        const auto h = bars.getHeight() * (float)value() / (float)highestValue;
        g.setColour (juce::Colour (row == notesRow ? Look::accent : 0xff60a0ff).withAlpha (isSelected ? 1.0f : 0.75f));
        g.fillRect (bars.withTop (bars.getBottom() - h));
        if (isSelected)
        {
            g.setColour (juce::Colour (Look::title));
            g.drawRect (area, 1.0f);
        }
        g.setColour (juce::Colour (Look::valueText));
        g.setFont (Look::font (juce::jmin (11.0f, textHeight)));
        g.drawFittedText (ParDes::valueText (0, value()), area.withTop (bars.getBottom()).toNearestInt(),
                          juce::Justification::centred, 1, 0.6f);
    }

private:
    ArpStepEditor& editor;
    const int row, step;
};

/** A row of 32 bars with its name and the selected step's value at the left. Focusable: the
    keys edit the selected step. */
class ArpStepEditor::Row : public juce::Component
{
public:
    Row (ArpStepEditor& e, int r) : editor (e), row (r)
    {
        ControlAccess::makeFocusable (*this);
        setTitle (juce::String (rowTitles[r]).toLowerCase());
        for (int s = 0; s < numSteps; ++s)
            addAndMakeVisible (*(steps[(size_t)s] = std::make_unique<Step> (editor, row, s)));
    }

    Step& getStep (int s) { return *steps[(size_t)s]; }

    juce::Rectangle<int> barsArea() const { return getLocalBounds().withTrimmedLeft (nameWidth).reduced (0, 4); }

    void resized() override
    {
        const auto area = barsArea();
        for (int s = 0; s < numSteps; ++s)
        {
            const auto left = area.getX() + area.getWidth() * s / numSteps;
            const auto right = area.getX() + area.getWidth() * (s + 1) / numSteps;
            steps[(size_t)s]->setBounds (left, area.getY(), right - left, area.getHeight());
        }
    }

    int stepAt (int x) const
    {
        const auto area = barsArea();
        if (area.getWidth() <= 0)
            return 0;
        return juce::jlimit (0, numSteps - 1, (x - area.getX()) * numSteps / area.getWidth());
    }

    int valueAt (int y) const
    {
        const auto& bar = *steps[0];
        const auto top = bar.getY(), bottom = bar.getBottom() - (int)juce::jmin (14.0f, bar.getHeight() * 0.25f);
        if (bottom <= top)
            return 0;
        return juce::jlimit (0, highestValue, juce::roundToInt ((double)(bottom - y) * highestValue / (bottom - top)));
    }

    void paint (juce::Graphics& g) override
    {
        const auto names = getLocalBounds().withWidth (nameWidth).reduced (6, 4);
        g.setColour (juce::Colour (Look::label));
        g.setFont (Look::font (12.0f, true));
        g.drawText (rowTitles[row], names.withHeight (16), juce::Justification::centredLeft, false);
        const auto step = editor.getSelectedStep();
        g.setColour (juce::Colour (Look::valueText));
        g.setFont (Look::font (12.0f));
        g.drawText ("Step " + juce::String (step + 1), names.withTrimmedTop (20).withHeight (16),
                    juce::Justification::centredLeft, false);
        g.drawFittedText (editor.valueText (row, editor.getValue (row, step)),
                          names.withTrimmedTop (38).withHeight (16), juce::Justification::centredLeft, 1, 0.7f);
    }

    void paintOverChildren (juce::Graphics& g) override { ControlAccess::drawFocus (g, *this); }

    void mouseDown (const juce::MouseEvent& e) override
    {
        editor.processor.holdHistoryStep (true); // however slow the drag, one undo step
        editor.paintTo (row, e.getPosition(), true);
    }
    void mouseDrag (const juce::MouseEvent& e) override { editor.paintTo (row, e.getPosition(), false); }
    void mouseUp (const juce::MouseEvent&) override
    {
        editor.processor.holdHistoryStep (false);
        editor.sendDump();
    }

    bool keyPressed (const juce::KeyPress& key) override
    {
        const auto code = key.getKeyCode();
        const auto step = editor.getSelectedStep();
        if (code == juce::KeyPress::leftKey || code == juce::KeyPress::rightKey)
        {
            editor.selectStep (step + (code == juce::KeyPress::leftKey ? -1 : 1));
            if (auto* handler = steps[(size_t)editor.getSelectedStep()]->getAccessibilityHandler())
                handler->grabFocus();
            return true;
        }
        const auto current = editor.getValue (row, step);
        int next = current;
        if (code == juce::KeyPress::upKey)
            next = current + 1;
        else if (code == juce::KeyPress::downKey)
            next = current - 1;
        else if (code == juce::KeyPress::pageUpKey)
            next = current + pageStep;
        else if (code == juce::KeyPress::pageDownKey)
            next = current - pageStep;
        else if (code == juce::KeyPress::homeKey)
            next = 0;
        else if (code == juce::KeyPress::endKey)
            next = highestValue;
        else
            return false;
        editor.keyEdit (row, next);
        return true;
    }

    void focusGained (FocusChangeType) override { repaint(); }
    void focusLost (FocusChangeType) override { repaint(); }

    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override
    {
        return std::make_unique<juce::AccessibilityHandler> (*this, juce::AccessibilityRole::group);
    }

private:
    ArpStepEditor& editor;
    const int row;
    std::array<std::unique_ptr<Step>, numSteps> steps;
};

//==============================================================================
ArpStepEditor::ArpStepEditor (RavlinAudioProcessor& p) : processor (p)
{
    setTitle ("Arpeggiator steps");
    setFocusContainerType (FocusContainerType::keyboardFocusContainer);
    for (int r = 0; r < 2; ++r)
        addAndMakeVisible (*(rows[(size_t)r] = std::make_unique<Row> (*this, r)));
    for (int l = 0; l < 2; ++l)
    {
        auto& b = layerButtons[(size_t)l];
        b = std::make_unique<juce::TextButton> (l == 0 ? "A" : "B");
        b->setTitle (l == 0 ? "Layer A" : "Layer B");
        b->setTooltip ("Show the steps of layer " + juce::String (l == 0 ? "A" : "B"));
        b->setClickingTogglesState (false);
        b->onClick = [this, l] { setLayer (l); };
        addAndMakeVisible (*b);
    }
    closeButton.setTooltip ("Close the step editor (Escape)");
    closeButton.onClick = [this] { close(); };
    addAndMakeVisible (closeButton);
    setLayer (0);
}

ArpStepEditor::~ArpStepEditor()
{
    commitPending();
}

int ArpStepEditor::addressOf (int row, int step) const noexcept
{
    return layer * 512 + (row == notesRow ? firstNote : firstVelocity) + step;
}

juce::String ArpStepEditor::stepName (int row, int step) const
{
    const auto& table = processor.getHub().parameterTable;
    return juce::String (layer == 0 ? "A " : "B ") + juce::String (table.shortName (addressOf (row, step)));
}

juce::String ArpStepEditor::valueText (int row, int value) const
{
    const auto& table = processor.getHub().parameterTable;
    const auto text = ParDes::valueText (table.displayKind (addressOf (row, 0)), value);
    // The table gives the note as a number; its name says more.
    if (row == notesRow && text == juce::String (value))
        return text + " (" + ParDes::noteName (value) + ")";
    return text;
}

void ArpStepEditor::setLayer (int newLayer)
{
    commitPending();
    layer = juce::jlimit (0, 1, newLayer);
    for (int l = 0; l < 2; ++l)
        layerButtons[(size_t)l]->setToggleState (l == layer, juce::dontSendNotification);
    for (int r = 0; r < 2; ++r)
        for (int s = 0; s < numSteps; ++s)
            static_cast<Step&> (getStep (r, s)).updateTitle();
    refreshAll();
    repaint();
}

void ArpStepEditor::refreshAll()
{
    auto program = processor.getHub().getCurrentProgram();
    program.resize (1024, 0);
    for (int r = 0; r < 2; ++r)
        for (int s = 0; s < numSteps; ++s)
            updateParameter (addressOf (r, s), program[(size_t)addressOf (r, s)]);
}

void ArpStepEditor::updateParameter (int address, int value)
{
    if (address / 512 != layer)
        return;
    const auto number = address % 512;
    const auto row = number >= firstVelocity ? velocitiesRow : notesRow;
    const auto step = number - (row == notesRow ? firstNote : firstVelocity);
    if (number < firstNote || !juce::isPositiveAndBelow (step, numSteps))
        return;
    auto& shown = values[(size_t)row][(size_t)step];
    const auto v = juce::jlimit (0, highestValue, value);
    if (shown == v)
        return;
    shown = v;
    auto& bar = getStep (row, step);
    bar.repaint();
    if (step == selected)
        getRow (row).repaint();
    if (auto* handler = bar.getAccessibilityHandler())
        handler->notifyAccessibilityEvent (juce::AccessibilityEvent::valueChanged);
}

void ArpStepEditor::selectStep (int step)
{
    const auto s = juce::jlimit (0, numSteps - 1, step);
    if (s == selected)
        return;
    for (int r = 0; r < 2; ++r)
    {
        getStep (r, selected).repaint();
        getStep (r, s).repaint();
        getRow (r).repaint();
    }
    selected = s;
}

juce::Component& ArpStepEditor::getRow (int row) noexcept
{
    return *rows[(size_t)juce::jlimit (0, 1, row)];
}

juce::Component& ArpStepEditor::getStep (int row, int step) noexcept
{
    return rows[(size_t)juce::jlimit (0, 1, row)]->getStep (juce::jlimit (0, numSteps - 1, step));
}

//==============================================================================
void ArpStepEditor::edit (int row, int step, int value)
{
    const auto v = juce::jlimit (0, highestValue, value);
    const auto address = addressOf (row, step);
    if (v == values[(size_t)row][(size_t)step])
        return;
    // Shown at once, so a drag paints under the mouse; the event coming back changes nothing.
    updateParameter (address, v);
    processor.cableChanged (address, v, false, false, true);
    dirty = true;
}

void ArpStepEditor::paintTo (int row, juce::Point<int> position, bool first)
{
    auto& r = *rows[(size_t)row];
    const auto step = r.stepAt (position.x);
    const auto value = r.valueAt (position.y);
    if (first || lastPaintedStep < 0)
        edit (row, step, value);
    else
    {
        // A quick move skips bars between two mouse events: they take the line between them.
        const auto from = lastPaintedStep, span = std::abs (step - from);
        for (int k = 1; k <= span; ++k)
        {
            const auto s = from + (step > from ? k : -k);
            edit (row, s, lastPaintedValue + juce::roundToInt ((double)(value - lastPaintedValue) * k / span));
        }
        if (span == 0)
            edit (row, step, value);
    }
    lastPaintedStep = step;
    lastPaintedValue = value;
    selectStep (step);
}

void ArpStepEditor::keyEdit (int row, int value)
{
    edit (row, selected, value);
    if (dirty)
        startTimer (keyCommitMs);
}

void ArpStepEditor::sendDump()
{
    stopTimer();
    lastPaintedStep = -1;
    if (!dirty)
        return;
    dirty = false;
    auto& hub = processor.getHub();
    auto image = hub.getCurrentProgram();
    image.resize (1024, 0);
    // The steps have no NRPN: the instrument takes them with the whole program.
    hub.sendToInstrument (ravlin::packEditBufferDump (image));
    ++dumpsSent;
}

void ArpStepEditor::commitPending()
{
    sendDump();
}

void ArpStepEditor::close()
{
    commitPending();
    if (onClose)
        onClose();
}

void ArpStepEditor::timerCallback()
{
    sendDump();
}

//==============================================================================
bool ArpStepEditor::keyPressed (const juce::KeyPress& key)
{
    if (key.getKeyCode() != juce::KeyPress::escapeKey)
        return false;
    close();
    return true;
}

void ArpStepEditor::resized()
{
    auto header = getLocalBounds().withHeight (headerHeight).reduced (6, 3);
    closeButton.setBounds (header.removeFromRight (70));
    header.removeFromRight (12);
    layerButtons[1]->setBounds (header.removeFromRight (28));
    header.removeFromRight (4);
    layerButtons[0]->setBounds (header.removeFromRight (28));
    auto body = getLocalBounds().withTrimmedTop (headerHeight).reduced (4, 2);
    const auto half = body.getHeight() / 2;
    rows[0]->setBounds (body.removeFromTop (half));
    rows[1]->setBounds (body.withTrimmedTop (2));
}

void ArpStepEditor::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (Look::panel));
    const auto header = getLocalBounds().withHeight (headerHeight);
    g.setColour (juce::Colour (Look::panelDark));
    g.fillRect (header);
    g.setColour (juce::Colour (layer == 0 ? Look::accent : 0xff60a0ff));
    g.setFont (Look::font (14.0f, true));
    g.drawText (layer == 0 ? "A" : "B", header.withTrimmedLeft (10).withWidth (16), juce::Justification::centredLeft,
                false);
    g.setColour (juce::Colour (Look::title));
    g.drawText ("ARPEGGIATOR STEPS", header.withTrimmedLeft (28).withWidth (240), juce::Justification::centredLeft,
                false);
    g.setColour (juce::Colours::black);
    g.drawRect (getLocalBounds(), 1);
}
