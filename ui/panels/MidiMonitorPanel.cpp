#include "ui/panels/MidiMonitorPanel.h"

#include "core/MidiCntrState.h"
#include "library/SafeFileWrite.h"

namespace
{
const juce::Colour background (0xff1c1c1e), text (0xffd8d8dc), dim (0xff8a8a90), inColour (0xff7fc8ff),
    outColour (0xffffc070), problem (0xffff7a6a);
}

MidiMonitorPanel::MidiMonitorPanel (MidiCntrState& h) : hub (h), model (hub.getPorts().getMonitor(), hub.parameterTable)
{
    list.setRowHeight (18);
    list.setColour (juce::ListBox::backgroundColourId, background);
    addAndMakeVisible (list);

    pauseButton.setClickingTogglesState (true);
    pauseButton.onClick = [this]
    {
        model.setPaused (pauseButton.getToggleState());
        pauseButton.setButtonText (model.isPaused() ? "Resume" : "Pause");
        updateStatus();
    };
    clearButton.onClick = [this]
    {
        model.clear();
        list.updateContent();
        list.repaint();
        updateStatus();
    };
    saveButton.onClick = [this] { chooseFileAndSave(); };
    sendButton.onClick = [this] { sendTypedSysEx(); };
    for (auto* b : {&pauseButton, &clearButton, &saveButton, &sendButton})
        addAndMakeVisible (*b);

    sysExBox.setTextToShowWhenEmpty ("F0 01 2B 06 F7", dim);
    sysExBox.setFont (juce::Font (juce::Font::getDefaultMonospacedFontName(), 14.0f, juce::Font::plain));
    sysExBox.onReturnKey = [this] { sendTypedSysEx(); };
    addAndMakeVisible (sysExBox);

    updateStatus();
    setSize (defaultWidth, defaultHeight);
    setRecording (true);
}

MidiMonitorPanel::~MidiMonitorPanel()
{
    setRecording (false);
}

void MidiMonitorPanel::setRecording (bool shouldRecord)
{
    auto& log = hub.getPorts().getMonitor();
    if (shouldRecord)
    {
        log.setEnabled (true);
        startTimerHz (readHz);
        return;
    }
    stopTimer();
    log.setEnabled (false);
    readLog(); // what came before closing is still listed when the window opens again
}

void MidiMonitorPanel::readLog()
{
    if (!model.update())
        return;
    list.updateContent();
    if (!model.isPaused())
        list.scrollToEnsureRowIsOnscreen (getNumRows() - 1);
    list.repaint();
    updateStatus();
}

void MidiMonitorPanel::updateStatus()
{
    juce::String status (model.getLines().size());
    status << (model.getLines().size() == 1 ? " message" : " messages");
    if (model.getNumNotShown() > 0)
        status << ", " << model.getNumNotShown() << (model.getNumNotShown() == 1 ? " message" : " messages")
               << " not shown";
    if (model.isPaused())
        status << " (paused)";
    if (status != statusText)
    {
        statusText = status;
        repaint();
    }
}

void MidiMonitorPanel::sendTypedSysEx()
{
    juce::String error;
    if (const auto message = MidiMonitorModel::parseSysEx (sysExBox.getText(), error))
    {
        if (hub.getPorts().sendSysEx (message->data(), (int)message->size()))
            sysExMessage = "Sent " + juce::String ((int)message->size()) + " bytes.";
        else
            sysExMessage = "Not sent: no MIDI output is open.";
    }
    else
    {
        sysExMessage = "Not sent: " + error;
    }
    repaint();
}

bool MidiMonitorPanel::saveAsText (const juce::File& file)
{
    const auto content = model.toText().toStdString();
    return ravlin::replaceFileSafely (file, content.data(), content.size());
}

void MidiMonitorPanel::chooseFileAndSave()
{
    chooser = std::make_unique<juce::FileChooser> (
        "Save the MIDI monitor as text",
        juce::File::getSpecialLocation (juce::File::userDocumentsDirectory).getChildFile ("MIDI Monitor.txt"), "*.txt");
    juce::Component::SafePointer<MidiMonitorPanel> safe (this);
    chooser->launchAsync (juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles |
                              juce::FileBrowserComponent::warnAboutOverwriting,
                          [safe] (const juce::FileChooser& c)
                          {
                              if (safe == nullptr || c.getResult() == juce::File())
                                  return;
                              const auto file = c.getResult();
                              safe->sysExMessage = safe->saveAsText (file)
                                                       ? "Saved as " + file.getFullPathName() + "."
                                                       : "Not saved: " + file.getFullPathName() +
                                                             " could not be written; it is as it was.";
                              safe->repaint();
                          });
}

int MidiMonitorPanel::getNumRows()
{
    return (int)model.getLines().size();
}

void MidiMonitorPanel::paintListBoxItem (int row, juce::Graphics& g, int width, int height, bool selected)
{
    const auto& lines = model.getLines();
    if (!juce::isPositiveAndBelow (row, (int)lines.size()))
        return;
    const auto& line = lines[(size_t)row];
    if (selected)
        g.fillAll (juce::Colour (0xff34343a));
    g.setFont (juce::Font (juce::Font::getDefaultMonospacedFontName(), 13.0f, juce::Font::plain));
    g.setColour (dim);
    g.drawText (MidiMonitorModel::timeText (line.timeMs), 6, 0, 100, height, juce::Justification::centredLeft);
    const bool in = line.direction == MidiMonitorLog::Direction::in;
    g.setColour (in ? inColour : outColour);
    g.drawText (in ? "IN" : "OUT", 110, 0, 36, height, juce::Justification::centredLeft);
    g.setColour (text);
    g.drawText (MidiMonitorModel::textOf (line), 150, 0, width - 156, height, juce::Justification::centredLeft, true);
}

void MidiMonitorPanel::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xff2a2a2e));
    g.setFont (14.0f);
    g.setColour (text);
    g.drawText (statusText, 10, getHeight() - 94, getWidth() - 20, 20, juce::Justification::centredLeft);
    g.setColour (sysExMessage.startsWith ("Not") ? problem : text);
    g.drawText (sysExMessage, 10, getHeight() - 28, getWidth() - 20, 20, juce::Justification::centredLeft, true);
    g.setColour (dim);
    g.drawText ("Raw SysEx (hex)", 10, getHeight() - 70, 120, 30, juce::Justification::centredLeft);
}

void MidiMonitorPanel::resized()
{
    auto area = getLocalBounds().reduced (10);
    auto top = area.removeFromTop (28);
    pauseButton.setBounds (top.removeFromLeft (90));
    top.removeFromLeft (8);
    clearButton.setBounds (top.removeFromLeft (80));
    top.removeFromLeft (8);
    saveButton.setBounds (top.removeFromLeft (130));
    area.removeFromTop (8);
    area.removeFromBottom (20); // the box's message
    auto box = area.removeFromBottom (30);
    box.removeFromLeft (124);
    sendButton.setBounds (box.removeFromRight (100));
    box.removeFromRight (8);
    sysExBox.setBounds (box);
    area.removeFromBottom (28); // the status line
    list.setBounds (area);
}

MidiMonitorWindow::MidiMonitorWindow (MidiCntrState& hub)
    : juce::DocumentWindow ("MIDI Monitor", juce::Colour (0xff2a2a2e), juce::DocumentWindow::closeButton, true)
{
    setUsingNativeTitleBar (true);
    panel = new MidiMonitorPanel (hub);
    setContentOwned (panel, true);
    setResizable (true, false);
    setResizeLimits (420, 300, 2000, 1600);
    centreWithSize (getWidth(), getHeight());
}

void MidiMonitorWindow::present()
{
    panel->setRecording (true);
    setVisible (true);
    toFront (true);
}

void MidiMonitorWindow::closeButtonPressed()
{
    panel->setRecording (false);
    setVisible (false);
}
