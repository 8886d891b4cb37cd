#pragma once

#include "ui/controls/Check_But.h"
#include "ui/panels/Global_Container.h"
#include "ui/panels/MIDI_Sync.h"

class MidiCntrState;

/** The MIDI setup panel: the plug-in's own input and output ports, the SysEx buffer choice, four
    routing options, the latency panel and the instrument's global settings. Every change goes to
    its owner as a (code, value) pair, broadcast synchronously so that none is lost. */
class MIDI_Setup : public juce::Component,
                   public juce::Timer,
                   public juce::ChangeBroadcaster,
                   private juce::ChangeListener,
                   private Global_Listener
{
public:
    enum Code
    {
        inputChosen = 300,
        outputChosen = 302,
        clockSwitch = 206,
        programChangeSwitch = 212,
        hostToPortSwitch = 202,
        portToHostSwitch = 210,
        okPressed = 203
    };
    static constexpr int globalsCloseDelayMs = 100;
    static constexpr int panelWidth = 800, panelHeight = 640;

    explicit MIDI_Setup (MidiCntrState& hub);
    ~MIDI_Setup() override;

    /** "NONE" followed by the given device names. */
    void setPortLists (const juce::StringArray& inputs, const juce::StringArray& outputs);
    void setPortChoices (int inputPosition, int outputPosition);
    void setOpenMarks (bool inputOpen, bool outputOpen);
    void setOptions (bool clock, bool programChange, bool portToHost, bool hostToPort);
    /** The connection state, as the editor's keyboard strip shows it. */
    void setStatusText (const juce::String& text) { titleLabel.setText (text, juce::dontSendNotification); }
    juce::String getStatusText() const { return titleLabel.getText(); }

    int getLastCode() const noexcept { return lastCode; }
    int getLastValue() const noexcept { return lastValue; }
    const juce::StringArray& getInputNames() const noexcept { return inputNames; }
    const juce::StringArray& getOutputNames() const noexcept { return outputNames; }
    int getInputChoice() const noexcept { return inputChoice; }
    int getOutputChoice() const noexcept { return outputChoice; }
    bool isInputOpenMarked() const noexcept { return inputOpenMark; }
    bool isOutputOpenMarked() const noexcept { return outputOpenMark; }

    /** Opens the port list popup; false (and no popup) with fewer than two names. */
    bool openPortList (bool input);
    /** A choice from a port list: item identifiers run 1..n. */
    void portChosen (bool input, int itemId);
    void sysExBufferChosen (int itemId);
    juce::String getSysExBufferText() const { return sysExLabel.getText(); }
    /** "DIN MIDI" (1) or "USB" (2): how fast the link to the instrument carries bank transfers. */
    void linkSpeedChosen (int itemId);
    juce::String getLinkSpeedText() const { return linkLabel.getText(); }
    juce::Rectangle<int> getLinkSpeedBounds() const { return linkLabel.getBounds(); }
    /** "Detect" (1), "Prophet 12 Module" (2) or "Prophet 12 Keyboard" (3): whose SysEx the
        plug-in speaks; kept in the settings. */
    void modelChosen (int itemId);
    juce::String getModelText() const { return modelLabel.getText(); }
    juce::Rectangle<int> getModelBounds() const { return modelLabel.getBounds(); }

    void toggleGlobals();
    bool isGlobalsPanelOpen() const noexcept { return globalsPanel != nullptr; }
    Global_Container* getGlobalsPanel() const noexcept { return globalsPanel.get(); }
    bool isHelpShown() const noexcept { return helpLabel.isVisible(); }

    MIDI_Sync& getLatencyPanel() noexcept { return latencyPanel; }
    Check_But& getCheckBox (int code);
    juce::TextButton& getGlobalsButton() noexcept { return globalsButton; }
    juce::TextButton& getOkButton() noexcept { return okButton; }

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void timerCallback() override;

    static juce::String helpText();

private:
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;
    void globalPanelMessage (int code) override;
    void send (int code, int value);
    void paintPortBox (juce::Graphics& g, int y, const juce::String& name, bool open) const;
    void showSysExMenu();
    void showLinkMenu();
    void showModelMenu();
    /** A menu of choices under the label; the chosen item (1-based) goes to onChosen. */
    void showChoices (const juce::Label& label, const juce::StringArray& texts, int chosen,
                      void (MIDI_Setup::*onChosen) (int));

    MidiCntrState& hub;
    juce::StringArray inputNames{"NONE"}, outputNames{"NONE"};
    int inputChoice = 0, outputChoice = 0;
    bool inputOpenMark = false, outputOpenMark = false;
    int lastCode = 0, lastValue = 0;

    juce::Label titleLabel, sysExLabel, linkLabel, modelLabel, helpLabel;
    Check_But clockBox{"Clock ON/OFF"}, programChangeBox{"Control Program Change with Automation"},
        portToHostBox{"THRU: MIDI In Port -> Host"}, hostToPortBox{"THRU: Host -> MIDI Out Port"};
    juce::TextButton globalsButton{"GLOBALS"}, okButton{"OK"};
    MIDI_Sync latencyPanel;
    std::unique_ptr<Global_Container> globalsPanel;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MIDI_Setup)
};
