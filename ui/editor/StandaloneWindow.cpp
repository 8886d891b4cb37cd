#include "ui/editor/StandaloneWindow.h"

#include "library/SafeFileWrite.h"
#include "ui/editor/RavlinAudioProcessorEditor.h"

StandaloneWindow::StandaloneWindow (RavlinAudioProcessor& owner, juce::File file)
    : juce::DocumentWindow ("Prophet 12 Ravlin", juce::Colours::black,
                            juce::DocumentWindow::minimiseButton | juce::DocumentWindow::closeButton),
      processor (owner), boundsFile (std::move (file))
{
    setUsingNativeTitleBar (false);
    setTitleBarHeight (26);
    setContentOwned (processor.createEditorIfNeeded(), true);
    setResizable (false, false); // the editor's own corner resizes it; the window follows

    optionsButton.onClick = [this]
    {
        optionsMenu().showMenuAsync (juce::PopupMenu::Options().withTargetComponent (&optionsButton),
                                     [safe = juce::Component::SafePointer<StandaloneWindow> (this)] (int item)
                                     {
                                         if (safe != nullptr)
                                             safe->optionChosen (item);
                                     });
    };
    Component::addAndMakeVisible (optionsButton);

    // "x y width height"; anything else, or a place on no monitor of this machine, opens the
    // window centred at the editor's size.
    const auto saved = boundsFile.existsAsFile() ? boundsFile.loadFileAsString().trim() : juce::String();
    const auto numbers = juce::StringArray::fromTokens (saved, " ", "");
    const auto bounds = juce::Rectangle<int>::fromString (saved);
    const auto& displays = juce::Desktop::getInstance().getDisplays();
    const auto* display = displays.getDisplayForRect (bounds);
    if (numbers.size() == 4 && numbers.joinIntoString ("").containsOnly ("-0123456789") && bounds.getWidth() >= 100 &&
        bounds.getHeight() >= 100 && display != nullptr && display->totalArea.intersects (bounds))
        setBounds (bounds);
    else
        centreWithSize (getWidth(), getHeight());
}

StandaloneWindow::~StandaloneWindow()
{
    saveBounds();
    clearContentComponent(); // the editor goes before the processor it shows
}

juce::File StandaloneWindow::defaultBoundsFile()
{
    return SettingsFiles::defaultApplicationDataFolder()
        .getChildFile ("RavlinSettings")
        .getChildFile ("standalone-window.txt");
}

juce::PopupMenu StandaloneWindow::optionsMenu()
{
    juce::PopupMenu m;
    // As in the editor's MIDI menu: ticked while the panel shows, and choosing it again closes it.
    m.addItem (midiSetupItem, "MIDI Setup", true, getMainComp().getMidiSetup()->isSetupShown());
    m.addItem (aboutItem, "About Prophet 12 Ravlin");
    return m;
}

MainComp& StandaloneWindow::getMainComp()
{
    return static_cast<RavlinAudioProcessorEditor*> (getContentComponent())->getMainComp();
}

void StandaloneWindow::optionChosen (int item)
{
    auto& main = getMainComp();
    if (item == midiSetupItem)
        main.menuChosen (MainComp::midiMenuId, MidiMenu::setupItem);
    else if (item == aboutItem)
        main.showAbout (true);
}

bool StandaloneWindow::saveBounds()
{
    if (boundsFile == juce::File())
        return false;
    const auto text = getBounds().toString();
    return ravlin::replaceFileSafely (boundsFile, text.toRawUTF8(), text.getNumBytesAsUTF8());
}

void StandaloneWindow::closeButtonPressed()
{
    saveBounds();
    if (onClose)
        onClose();
}

void StandaloneWindow::resized()
{
    juce::DocumentWindow::resized();
    const auto bar = getTitleBarArea();
    optionsButton.setBounds (bar.getX() + 4, bar.getY() + 3, 64, bar.getHeight() - 6);
}
