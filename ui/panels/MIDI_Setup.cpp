#include "ui/panels/MIDI_Setup.h"
#include "ui/controls/Fonts.h"

#include "core/MidiCntrState.h"
#include "instrument/ParDes.h"
#include "ui/controls/ValueMenus.h"

namespace
{
const juce::Colour panelFill (0xff15222a), panelOutline (0xff457089), textColour (0xfff3f3f3);

using ravlin::arial;

juce::PopupMenu::Options menuOptions (juce::Component* target, juce::Rectangle<int> area)
{
    return juce::PopupMenu::Options().withTargetComponent (target).withTargetScreenArea (
        target->localAreaToGlobal (area));
}

} // namespace

juce::String MIDI_Setup::helpText()
{
    return "Prophet 12 Global Settings should be set manually as follows:\n\n"
           "MIDI Channel: All\n"
           "MIDI Parameter Send: NRPN\n"
           "MIDI Parameter Receive: NRPN\n"
           "MIDI Control Enable: ON\n"
           "MIDI Sysex Enable: ON\n"
           "MIDI Sysex Cable: USB or MIDI (depending on your connection)\n"
           "MIDI Out Select: USB or MIDI (depending on your connection)";
}

MIDI_Setup::MIDI_Setup (MidiCntrState& h) : hub (h)
{
    titleLabel.setText ("------", juce::dontSendNotification);
    titleLabel.setFont (arial (13.0f));
    titleLabel.setColour (juce::Label::textColourId, textColour);
    titleLabel.setBounds (40, 30, 400, 14);
    addAndMakeVisible (titleLabel);

    sysExLabel.setFont (arial (12.0f));
    sysExLabel.setColour (juce::Label::textColourId, juce::Colour (0xff9f9f9f));
    sysExLabel.setColour (juce::Label::backgroundColourId, juce::Colours::black);
    sysExLabel.setBounds (180, 172, 100, 16);
    sysExLabel.setInterceptsMouseClicks (false, false); // the panel takes the click
    sysExLabel.setText (hub.getPorts().sysExBufferChoice == 1 ? "SySex Size" : "256", juce::dontSendNotification);
    addAndMakeVisible (sysExLabel);

    linkLabel.setFont (arial (12.0f));
    linkLabel.setColour (juce::Label::textColourId, juce::Colour (0xff9f9f9f));
    linkLabel.setColour (juce::Label::backgroundColourId, juce::Colours::black);
    linkLabel.setBounds (180, 246, 100, 16);
    linkLabel.setInterceptsMouseClicks (false, false); // the panel takes the click
    linkLabel.setText (LinkSpeed::nameOf (hub.getLinkSpeed()), juce::dontSendNotification);
    addAndMakeVisible (linkLabel);

    modelLabel.setFont (arial (12.0f));
    modelLabel.setColour (juce::Label::textColourId, juce::Colour (0xff9f9f9f));
    modelLabel.setColour (juce::Label::backgroundColourId, juce::Colours::black);
    modelLabel.setBounds (480, 34, 160, 16);
    modelLabel.setInterceptsMouseClicks (false, false); // the panel takes the click
    modelLabel.setText (ModelDetector::choiceName (hub.getModelDetector().getChoice()), juce::dontSendNotification);
    addAndMakeVisible (modelLabel);

    // Behind the controls: it only takes clicks on its own slider.
    latencyPanel.setBounds (380, 136, MIDI_Sync::panelWidth, MIDI_Sync::panelHeight);
    latencyPanel.setInterceptsMouseClicks (false, true);
    addAndMakeVisible (latencyPanel);

    const std::pair<Check_But*, juce::Rectangle<int>> boxes[] = {{&clockBox, {60, 220, 300, 18}},
                                                                 {&programChangeBox, {390, 60, 300, 18}},
                                                                 {&portToHostBox, {390, 84, 300, 18}},
                                                                 {&hostToPortBox, {390, 108, 300, 18}}};
    for (const auto& [box, place] : boxes)
    {
        box->setBounds (place);
        box->addChangeListener (this);
        addAndMakeVisible (box);
    }

    for (auto* button : {&globalsButton, &okButton})
    {
        button->setColour (juce::TextButton::buttonColourId, juce::Colour (0xff282626));
        button->setColour (juce::TextButton::textColourOffId, textColour);
        addAndMakeVisible (button);
    }
    globalsButton.setBounds (690, 200, 74, 18);
    okButton.setBounds (690, 240, 74, 18);
    globalsButton.onClick = [this] { toggleGlobals(); };
    okButton.onClick = [this] { send (okPressed, 0); };

    helpLabel.setText (helpText(), juce::dontSendNotification);
    helpLabel.setFont (arial (14.0f));
    helpLabel.setColour (juce::Label::textColourId, textColour);
    helpLabel.setJustificationType (juce::Justification::topLeft);
    helpLabel.setBounds (50, 310, 730, 160);
    addAndMakeVisible (helpLabel);

    setSize (panelWidth, panelHeight);
}

MIDI_Setup::~MIDI_Setup()
{
    stopTimer();
    for (auto* box : {&clockBox, &programChangeBox, &portToHostBox, &hostToPortBox})
        box->removeChangeListener (this);
    if (globalsPanel != nullptr)
        globalsPanel->removeListener (this);
}

void MIDI_Setup::setPortLists (const juce::StringArray& inputs, const juce::StringArray& outputs)
{
    inputNames = juce::StringArray ("NONE");
    inputNames.addArray (inputs);
    outputNames = juce::StringArray ("NONE");
    outputNames.addArray (outputs);
    repaint();
}

void MIDI_Setup::setPortChoices (int inputPosition, int outputPosition)
{
    inputChoice = juce::jlimit (0, inputNames.size() - 1, inputPosition);
    outputChoice = juce::jlimit (0, outputNames.size() - 1, outputPosition);
    repaint();
}

void MIDI_Setup::setOpenMarks (bool inputOpen, bool outputOpen)
{
    inputOpenMark = inputOpen;
    outputOpenMark = outputOpen;
    repaint();
}

void MIDI_Setup::setOptions (bool clock, bool programChange, bool portToHost, bool hostToPort)
{
    clockBox.setTicked (clock);
    programChangeBox.setTicked (programChange);
    portToHostBox.setTicked (portToHost);
    hostToPortBox.setTicked (hostToPort);
}

Check_But& MIDI_Setup::getCheckBox (int code)
{
    switch (code)
    {
        case clockSwitch: return clockBox;
        case programChangeSwitch: return programChangeBox;
        case portToHostSwitch: return portToHostBox;
        default: return hostToPortBox;
    }
}

void MIDI_Setup::send (int code, int value)
{
    lastCode = code;
    lastValue = value;
    sendSynchronousChangeMessage();
}

void MIDI_Setup::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    for (const int code : {clockSwitch, programChangeSwitch, portToHostSwitch, hostToPortSwitch})
        if (source == &getCheckBox (code))
            send (code, getCheckBox (code).isTicked() ? 1 : 0);
}

bool MIDI_Setup::openPortList (bool input)
{
    const auto& names = input ? inputNames : outputNames;
    if (names.size() < 2)
        return false;

    juce::PopupMenu menu;
    const auto choice = input ? inputChoice : outputChoice;
    for (int i = 0; i < names.size(); ++i)
        menu.addItem (i + 1, names[i], true, i == choice);

    juce::Component::SafePointer<MIDI_Setup> self (this);
    ValueMenus::show (menu, menuOptions (this, {60, input ? 80 : 130, 290, 24}),
                      [self, input] (int item)
                      {
                          if (self != nullptr && item > 0)
                              self->portChosen (input, item);
                      });
    return true;
}

void MIDI_Setup::portChosen (bool input, int itemId)
{
    const auto& names = input ? inputNames : outputNames;
    if (!juce::isPositiveAndNotGreaterThan (itemId, names.size()))
        return;
    (input ? inputChoice : outputChoice) = itemId - 1;
    repaint();
    send (input ? inputChosen : outputChosen, itemId - 1);
}

void MIDI_Setup::showSysExMenu()
{
    showChoices (sysExLabel, {"256", "SySex Size"}, hub.getPorts().sysExBufferChoice, &MIDI_Setup::sysExBufferChosen);
}

void MIDI_Setup::showChoices (const juce::Label& label, const juce::StringArray& texts, int chosen,
                              void (MIDI_Setup::*onChosen) (int))
{
    juce::PopupMenu menu;
    for (int i = 0; i < texts.size(); ++i)
        menu.addItem (i + 1, texts[i], true, i == chosen);
    juce::Component::SafePointer<MIDI_Setup> self (this);
    ValueMenus::show (menu, menuOptions (this, label.getBounds()),
                      [self, onChosen] (int item)
                      {
                          if (self != nullptr && item > 0)
                              (self.getComponent()->*onChosen) (item);
                      });
}

void MIDI_Setup::sysExBufferChosen (int itemId)
{
    if (itemId != 1 && itemId != 2)
        return;
    hub.getPorts().sysExBufferChoice = itemId - 1;
    sysExLabel.setText (itemId == 2 ? "SySex Size" : "256", juce::dontSendNotification);
}

void MIDI_Setup::showLinkMenu()
{
    showChoices (linkLabel, {LinkSpeed::nameOf (LinkSpeed::Kind::din), LinkSpeed::nameOf (LinkSpeed::Kind::usb)},
                 hub.getLinkSpeed() == LinkSpeed::Kind::usb ? 1 : 0, &MIDI_Setup::linkSpeedChosen);
}

void MIDI_Setup::linkSpeedChosen (int itemId)
{
    if (itemId != 1 && itemId != 2)
        return;
    const auto kind = itemId == 2 ? LinkSpeed::Kind::usb : LinkSpeed::Kind::din;
    hub.setLinkSpeed (kind);
    hub.saveSettings();
    linkLabel.setText (LinkSpeed::nameOf (kind), juce::dontSendNotification);
}

void MIDI_Setup::showModelMenu()
{
    using Choice = ModelDetector::Choice;
    showChoices (modelLabel,
                 {ModelDetector::choiceName (Choice::detect), ModelDetector::choiceName (Choice::module),
                  ModelDetector::choiceName (Choice::keyboard)},
                 (int)hub.getModelDetector().getChoice(), &MIDI_Setup::modelChosen);
}

void MIDI_Setup::modelChosen (int itemId)
{
    if (itemId < 1 || itemId > 3)
        return;
    const auto choice = ModelDetector::choiceOfSetting ((uint8_t)(itemId - 1));
    hub.setModelChoice (choice);
    hub.saveSettings();
    modelLabel.setText (ModelDetector::choiceName (choice), juce::dontSendNotification);
}

void MIDI_Setup::mouseDown (const juce::MouseEvent& e)
{
    const auto p = e.getPosition();
    if (p.x >= 61 && p.x <= 349 && p.y >= 81 && p.y <= 103)
        openPortList (true);
    else if (p.x >= 61 && p.x <= 349 && p.y >= 131 && p.y <= 153)
        openPortList (false);
    else if (sysExLabel.getBounds().contains (p))
        showSysExMenu();
    else if (linkLabel.getBounds().contains (p))
        showLinkMenu();
    else if (modelLabel.getBounds().contains (p))
        showModelMenu();
}

void MIDI_Setup::toggleGlobals()
{
    if (globalsPanel == nullptr)
    {
        hub.requestGlobals();
        helpLabel.setVisible (false);
        globalsPanel = std::make_unique<Global_Container> (hub);
        globalsPanel->setBounds (38, 285, 750, 350);
        globalsPanel->addListener (this);
        addAndMakeVisible (*globalsPanel);
    }
    else
    {
        globalsPanel->removeListener (this);
        removeChildComponent (globalsPanel.get());
        globalsPanel.reset();
        helpLabel.setVisible (true);
    }
    repaint();
}

void MIDI_Setup::globalPanelMessage (int code)
{
    if (code == GlobalParameters::closeMessage)
        startTimer (globalsCloseDelayMs);
}

void MIDI_Setup::timerCallback()
{
    stopTimer();
    if (globalsPanel != nullptr)
        toggleGlobals();
}

void MIDI_Setup::paintPortBox (juce::Graphics& g, int y, const juce::String& name, bool open) const
{
    const auto box = juce::Rectangle<int> (60, y, 290, 24);
    g.setColour (juce::Colour (0xff282626));
    g.fillRect (box);
    g.setColour (juce::Colour (0xffb0b0b0));
    g.drawRect (box, 1);
    g.setColour (textColour);
    g.setFont (arial (14.0f));
    g.drawFittedText (name, 64, y + 4, 258, 16, juce::Justification::centredLeft, 1, 0.8f);

    g.setColour (open ? juce::Colour (0xff39e639) : juce::Colour (0xff3a3a3a));
    g.fillRect (330, y + 8, 10, 8);
    juce::Path arrow;
    arrow.addTriangle (312.0f, (float)y + 9.0f, 322.0f, (float)y + 9.0f, 317.0f, (float)y + 15.0f);
    g.setColour (juce::Colour (0xffb0b0b0));
    g.fillPath (arrow);
}

void MIDI_Setup::paint (juce::Graphics& g)
{
    g.setColour (panelFill);
    g.fillRoundedRectangle (40.0f, 20.0f, 749.0f, 250.0f, 8.0f);
    g.setColour (panelOutline);
    g.drawRoundedRectangle (40.0f, 20.0f, 749.0f, 250.0f, 8.0f, 3.0f);
    if (helpLabel.isVisible())
    {
        g.setColour (panelFill);
        g.fillRoundedRectangle (40.0f, 310.0f, 749.0f, 160.0f, 8.0f);
        g.setColour (panelOutline);
        g.drawRoundedRectangle (40.0f, 310.0f, 749.0f, 160.0f, 8.0f, 3.0f);
    }

    g.setColour (textColour);
    g.setFont (arial (14.0f));
    g.drawSingleLineText ("MIDI In Port", 60, 74);
    g.drawSingleLineText ("MIDI Out Port", 60, 124);
    g.drawSingleLineText ("SysEx Buffer Size:", 60, 184);
    g.drawSingleLineText ("MIDI Link:", 60, 258);
    g.drawSingleLineText ("Instrument:", 390, 46);
    g.setColour (juce::Colour (0xff888888));
    g.setFont (arial (12.0f));
    g.drawSingleLineText ("Change only if receiving causes an error (Receiving SysEx).", 60, 204);

    paintPortBox (g, 80, inputNames[inputChoice], inputOpenMark);
    paintPortBox (g, 130, outputNames[outputChoice], outputOpenMark);
}
