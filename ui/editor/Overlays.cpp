#include "ui/editor/Overlays.h"

#include "core/MidiCntrState.h"
#include "ui/editor/EditorPrograms.h"

Overlays::Overlays (juce::Component& h) : host (h) {}

Overlays::~Overlays()
{
    if (about != nullptr)
        about->removeChangeListener (this);
}

void Overlays::showMessage (const juce::String& text)
{
    askThen (text, nullptr, nullptr);
}

void Overlays::askThen (const juce::String& text, std::function<void()> onOk, std::function<void()> onCancel)
{
    message = std::make_unique<MsgCont> (text, onOk != nullptr);
    juce::WeakReference<Overlays> self (this);
    auto close = [self] (std::function<void()> then)
    {
        // After the button's own click handling has returned.
        juce::MessageManager::callAsync (
            [self, then]
            {
                if (self == nullptr)
                    return;
                self->message.reset();
                if (then)
                    then();
            });
    };
    message->getOkButton().onClick = [close, onOk] { close (onOk); };
    message->getCancelButton().onClick = [close, onCancel] { close (onCancel); };
    host.addAndMakeVisible (*message);
    message->setBounds (host.getLocalBounds());
    message->toFront (true);
}

void Overlays::showAbout (bool shouldShow, int closeAfterMs)
{
    if (!shouldShow)
    {
        if (about != nullptr)
            about->removeChangeListener (this);
        about.reset();
        return;
    }
    if (about != nullptr)
        return;
    about = std::make_unique<AboutPanel> (closeAfterMs);
    about->addChangeListener (this);
    host.addAndMakeVisible (*about);
    about->setBounds (host.getLocalBounds());
}

void Overlays::toggleWriteDialog (MidiCntrState& hub, std::function<void()> afterClosing)
{
    if (writeDialog != nullptr)
    {
        writeDialog.reset();
        return;
    }
    auto image = hub.getCurrentProgram();
    image.resize (1024, 0);
    writeDialog = std::make_unique<WriteSnd> (hub, juce::jmin (3, EditorPrograms::selectedBank (hub)),
                                              EditorPrograms::selectedProgram (hub),
                                              EditorPrograms::currentProgramName (hub), image[426]);
    writeDialog->ask = [this] (const juce::String& question, std::function<void()> then)
    { askThen (question, std::move (then), nullptr); };
    writeDialog->tell = [this] (const juce::String& text) { showMessage (text); };
    writeDialog->onClose = [this, afterClosing] (bool)
    {
        // After the dialog's own handler has returned.
        juce::WeakReference<Overlays> self (this);
        juce::MessageManager::callAsync (
            [self, afterClosing]
            {
                if (self != nullptr && self->writeDialog != nullptr)
                {
                    self->writeDialog.reset();
                    afterClosing();
                }
            });
    };
    host.addAndMakeVisible (*writeDialog);
}

void Overlays::layout()
{
    if (writeDialog != nullptr)
        writeDialog->setBounds (0, 54, host.getWidth(), host.getHeight() - 54);
    if (about != nullptr && about->isVisible())
        about->setBounds (host.getLocalBounds());
    if (message != nullptr)
        message->setBounds (host.getLocalBounds());
}

void Overlays::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (source == about.get())
        showAbout (false, 0);
}
