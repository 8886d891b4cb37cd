#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>

class RavlinAudioProcessor;

/** The arpeggiator's 32 note steps and 32 velocity steps of one layer, drawn as bars over the
    sections. A drag across the bars paints values; with a row focused, Left and Right choose the
    step, Up and Down change it by 1, Page Up and Page Down by 12, Home and End go to the ends,
    Escape closes. Each edit goes the way a knob's does (program, host with a gesture, undo); the
    steps have no NRPN, so when a gesture ends the program goes to the instrument as one
    edit-buffer dump: at mouse up, or once a run of key presses pauses. */
class ArpStepEditor : public juce::Component, private juce::Timer
{
public:
    static constexpr int numSteps = 32;
    static constexpr int firstNote = 306, firstVelocity = 338;
    static constexpr int notesRow = 0, velocitiesRow = 1;
    static constexpr int keyCommitMs = 400; // quiet time after a key edit before the dump goes
    static constexpr int headerHeight = 28, nameWidth = 84;

    explicit ArpStepEditor (RavlinAudioProcessor& processor);
    ~ArpStepEditor() override;

    /** Shows layer 0 (A) or 1 (B), read from the program. */
    void setLayer (int layer);
    int getLayer() const noexcept { return layer; }
    /** The program address of a step of the layer shown (306.., 338.., +512 for B). */
    int addressOf (int row, int step) const noexcept;
    /** A program byte changed: the bar follows when it is one of the layer shown. */
    void updateParameter (int address, int value);
    /** Every bar from the program. */
    void refreshAll();

    int getValue (int row, int step) const noexcept { return values[(size_t)row][(size_t)step]; }
    int getSelectedStep() const noexcept { return selected; }
    void selectStep (int step);
    /** "127", or the value with the note name for the note rows' tooltips ("60 (C5)"). */
    juce::String valueText (int row, int value) const;
    /** "A ArpNote 5": what the step is called, for screen readers. */
    juce::String stepName (int row, int step) const;
    juce::Component& getRow (int row) noexcept;
    juce::Component& getStep (int row, int step) noexcept;
    juce::Button& getLayerButton (int l) noexcept { return *layerButtons[(size_t)l]; }
    juce::Button& getCloseButton() noexcept { return closeButton; }
    /** Sends a pending key edit's dump now (closing, or a test that does not wait). */
    void commitPending();
    /** Dumps sent to the instrument since the editor was made. */
    int getNumDumpsSent() const noexcept { return dumpsSent; }

    std::function<void()> onClose;

    void paint (juce::Graphics& g) override;
    void resized() override;
    bool keyPressed (const juce::KeyPress& key) override;

private:
    class Row;
    class Step;
    friend class Row;

    /** A value from the user for one step: program, host, undo; the bar at once. */
    void edit (int row, int step, int value);
    /** Paints from the last painted step to this one, as a line across the bars in between;
        position in the row's coordinates. */
    void paintTo (int row, juce::Point<int> position, bool first);
    /** A key edit: the dump waits until the keys pause. */
    void keyEdit (int row, int value);
    void sendDump();
    void close();
    void timerCallback() override;

    RavlinAudioProcessor& processor;
    int layer = 0, selected = 0, dumpsSent = 0;
    bool dirty = false;
    int lastPaintedStep = -1, lastPaintedValue = 0;
    std::array<std::array<int, numSteps>, 2> values{};
    std::array<std::unique_ptr<Row>, 2> rows;
    std::array<std::unique_ptr<juce::TextButton>, 2> layerButtons;
    juce::TextButton closeButton{"CLOSE"};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ArpStepEditor)
};
