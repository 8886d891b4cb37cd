#pragma once

#include "ui/library/LibraryWidgets.h"

class MidiCntrState;

class textSetCurListener
{
public:
    virtual ~textSetCurListener() = default;
    virtual void storeAccepted (int slot, const juce::String& name) = 0;
    virtual void storeCancelled() = 0;
};

/** The store dialog of the preset bank: the current program's name and the slot it replaces. */
class TextSetCurCont : public PageDialog, private LibButListener
{
public:
    static constexpr int okCommand = 1201, cancelCommand = 1202;

    explicit TextSetCurCont (MidiCntrState& hub);
    ~TextSetCurCont() override;

    /** Shows the current program's name and the current preset as the target. */
    void open (int currentPreset);

    void addListener (textSetCurListener* l) { listeners.add (l); }
    void removeListener (textSetCurListener* l) { listeners.remove (l); }

    int getTarget() const noexcept { return target; }
    void setTarget (int slot);
    /** The slot's number from 1, four blanks and its preset name. */
    juce::String slotText (int slot) const;
    /** The name the editor starts with: "Untitled" for names beginning "---" or blank. */
    static juce::String startingName (const juce::String& storedName);
    juce::TextEditor& getEditor() noexcept { return editor; }
    LibBut& getOkButton() noexcept { return ok; }
    LibBut& getCancelButton() noexcept { return cancel; }
    juce::Rectangle<int> slotBoxBounds() const noexcept;

    void paint (juce::Graphics& g) override;
    void resized() override;
    void mouseDown (const juce::MouseEvent& e) override;

private:
    void libButPressed (LibBut& button, int command) override;

    MidiCntrState& hub;
    juce::TextEditor editor;
    LibBut ok{"OK", okCommand}, cancel{"CANCEL", cancelCommand};
    int target = 0;
    juce::ListenerList<textSetCurListener> listeners;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TextSetCurCont)
};
