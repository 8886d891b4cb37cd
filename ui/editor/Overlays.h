#pragma once

#include "ui/controls/EditorWidgets.h"
#include "ui/controls/SmallWidgets.h"
#include "ui/editor/WriteSnd.h"

/** What shows over the editor: the write dialog below the application bar, and over the whole
    editor a message or a question and the About box. The message closes on either of its
    buttons, the About box when clicked or after its time. */
class Overlays : private juce::ChangeListener
{
public:
    explicit Overlays (juce::Component& host);
    ~Overlays() override;

    /** A message; either of its buttons closes it. */
    void showMessage (const juce::String& text);
    /** A question: OK runs the action, CANCEL runs onCancel if any; both close it first. */
    void askThen (const juce::String& text, std::function<void()> onOk, std::function<void()> onCancel);
    MsgCont* getMessage() noexcept { return message.get(); }

    /** closeAfterMs 0 leaves it until it is clicked. */
    void showAbout (bool shouldShow, int closeAfterMs);
    AboutPanel* getAbout() noexcept { return about.get(); }

    /** Opens the write dialog on the edited program, or closes it. afterClosing runs when the
        dialog has closed itself. */
    void toggleWriteDialog (MidiCntrState& hub, std::function<void()> afterClosing);
    WriteSnd* getWriteDialog() noexcept { return writeDialog.get(); }

    /** Fits what shows to the host's new size. */
    void layout();

private:
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;

    juce::Component& host;
    std::unique_ptr<WriteSnd> writeDialog;
    std::unique_ptr<AboutPanel> about;
    std::unique_ptr<MsgCont> message;

    JUCE_DECLARE_WEAK_REFERENCEABLE (Overlays)
};
