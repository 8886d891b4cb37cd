// The global settings panel, the device scan and the MIDI setup panel, driven by synthesised
// mouse events on a display, against the virtual instrument or a recording port.
#include "core/MidiCntrState.h"
#include "support/FakeMidiDevices.h"
#include "support/MessagePump.h"
#include "ui/panels/MidiSetupController.h"

#include "instrument/GlobalDump.h"

#include <gtest/gtest.h>

using ravlin::Bytes;
using ravlin::test::pumpMessages;
using ravlin::test::pumpUntil;

namespace
{
constexpr int virtualPort = 3; // after the fake devices' two

juce::MouseEvent mouse (juce::Component& c, juce::Point<int> at, juce::Point<int> downAt, bool dragged = false)
{
    return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), at.toFloat(),
                             juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier), 1.0f, 0.0f, 0.0f, 0.0f, 0.0f,
                             &c, &c, juce::Time::getCurrentTime(), downAt.toFloat(), juce::Time::getCurrentTime(), 1,
                             dragged);
}

juce::MouseEvent press (juce::Component& c, juce::Point<int> at)
{
    return mouse (c, at, at);
}

void click (juce::Component& c, juce::Point<int> at)
{
    c.mouseDown (press (c, at));
    c.mouseUp (press (c, at));
}

void saveSnapshot (juce::Component& c, const juce::String& name)
{
    const auto folder = juce::File (RAVLIN_SCREENSHOT_DIR);
    folder.createDirectory();
    const auto image = c.createComponentSnapshot (c.getLocalBounds());
    juce::FileOutputStream out (folder.getChildFile (name + ".png"));
    out.setPosition (0);
    out.truncate();
    juce::PNGImageFormat().writeImageToStream (image, out);
}

int visibleDesktopWindows()
{
    int n = 0;
    auto& desktop = juce::Desktop::getInstance();
    for (int i = 0; i < desktop.getNumComponents(); ++i)
        n += desktop.getComponent (i)->isVisible() ? 1 : 0;
    return n;
}

struct Broadcasts : public juce::ChangeListener
{
    void changeListenerCallback (juce::ChangeBroadcaster*) override { ++count; }
    int count = 0;
};

struct Codes : public juce::ChangeListener
{
    explicit Codes (MIDI_Setup& s) : setup (s) { setup.addChangeListener (this); }
    ~Codes() override { setup.removeChangeListener (this); }
    void changeListenerCallback (juce::ChangeBroadcaster*) override
    {
        seen.push_back ({setup.getLastCode(), setup.getLastValue()});
    }
    MIDI_Setup& setup;
    std::vector<std::pair<int, int>> seen;
};

class Panels : public ::testing::Test
{
protected:
    Panels()
    {
        auto fake = std::make_unique<ravlin::test::FakeMidiDevices>();
        system = fake.get();
        hub = std::make_unique<MidiCntrState> (std::move (fake), juce::File());
        editor.setSize (1200, 730);
    }

    void connectVirtual()
    {
        hub->selectInputPort (virtualPort);
        hub->selectOutputPort (virtualPort);
        ASSERT_TRUE (hub->getPorts().outputOpen);
    }

    juce::ScopedJuceInitialiser_GUI messageThread;
    ravlin::test::FakeMidiDevices* system = nullptr;
    std::unique_ptr<MidiCntrState> hub;
    juce::Component editor;
};
} // namespace

//==============================================================================
TEST (GlobalParameterTable, TextsRangesAndPlaces)
{
    using namespace GlobalParameters;
    EXPECT_EQ (valueText (0, 12), "0");
    EXPECT_EQ (valueText (1, 0), "-50");
    EXPECT_EQ (valueText (2, 0), "ALL CHANNELS");
    EXPECT_EQ (valueText (2, 16), "CHANNEL 16");
    EXPECT_EQ (valueText (4, 2), "2");
    EXPECT_EQ (valueText (13, 2), "Jump");
    EXPECT_EQ (valueText (13, 9), "9") << "beyond a list: the number";
    EXPECT_EQ (valueText (17, 3), "3");
    EXPECT_EQ (valueText (25, 8), "9. Just Inton in A with 7-limit Tritone at D#");
    EXPECT_EQ (valueText (25, 18), "");
    EXPECT_EQ (valueText (25, 20), "20");
    EXPECT_EQ (label (21), "");
    EXPECT_EQ (label (30), "");
    EXPECT_TRUE (isHidden (11));
    EXPECT_EQ (placeOf (25), (PixelBox {140, 298, 200, 30}));
    EXPECT_LT (placeOf (11).getRight(), 0);
    EXPECT_EQ (labelOffset (22), 150);
    EXPECT_EQ (labelOffset (2), 120);
    EXPECT_EQ (knobFrame (1, 100), 54);
    EXPECT_EQ (knobFrame (1, 0), 0);
}

TEST_F (Panels, KnobsDragByTheirStepAndTheWheelAddsOne)
{
    Global_Container panel (*hub);
    hub->globalsImage[1] = 50;
    hub->globalsImage[0] = 12;
    auto& fine = *panel.getControl (1);
    fine.mouseDown (press (fine, {30, 30}));
    fine.mouseDrag (mouse (fine, {40, 30}, {30, 30}, true));
    EXPECT_EQ (hub->globalsImage[1], 55) << "2 pixels a step at highest 100";
    fine.mouseUp (press (fine, {40, 30}));

    auto& coarse = *panel.getControl (0);
    coarse.mouseDown (press (coarse, {30, 30}));
    coarse.mouseDrag (mouse (coarse, {44, 30}, {30, 30}, true));
    EXPECT_EQ (hub->globalsImage[0], 12) << "15 pixels a step below highest 30";
    coarse.mouseDrag (mouse (coarse, {45, 15}, {30, 30}, true));
    EXPECT_EQ (hub->globalsImage[0], 14) << "right and up both count";
    coarse.mouseDrag (mouse (coarse, {-300, 300}, {30, 30}, true));
    EXPECT_EQ (hub->globalsImage[0], 0) << "clamped";
    coarse.mouseUp (press (coarse, {0, 0}));

    juce::MouseWheelDetails up{};
    up.deltaY = 0.2f;
    coarse.mouseWheelMove (press (coarse, {1, 1}), up);
    EXPECT_EQ (hub->globalsImage[0], 1);

    auto& toggle = *panel.getControl (7);
    hub->globalsImage[7] = 5;
    click (toggle, {5, 5});
    EXPECT_EQ (hub->globalsImage[7], 0) << "any set byte toggles to 0";
    click (toggle, {5, 5});
    EXPECT_EQ (hub->globalsImage[7], 1);
}

TEST_F (Panels, MenusOfferTheirTextsAndOnlyAChangeIsSent)
{
    Global_Container panel (*hub);
    const auto menu = panel.getControl (2)->buildMenu();
    EXPECT_EQ (menu.getNumItems(), 17);
    juce::PopupMenu::MenuItemIterator items (menu);
    ASSERT_TRUE (items.next());
    EXPECT_EQ (items.getItem().text, "ALL CHANNELS");
    EXPECT_EQ (items.getItem().itemID, 1);
    EXPECT_EQ (panel.getControl (25)->buildMenu().getNumItems(), 17) << "16 is highest; 17..19 have no text";

    hub->selectOutputPort (1);
    auto& out = system->recorders[0];
    hub->globalsImage[13] = 0;
    panel.getControl (13)->setValue (0);
    juce::Thread::sleep (30);
    EXPECT_EQ (out.count(), 0u) << "choosing the current value sends nothing";

    panel.getControl (13)->setValue (2);
    ASSERT_TRUE (pumpUntil ([&] { return out.count() >= 4; }));
    std::vector<Bytes> sent;
    for (const auto& s : out.taken())
        sent.push_back (s.bytes);
    EXPECT_EQ (sent, (std::vector<Bytes>{{0xB0, 99, 8}, {0xB0, 98, 13}, {0xB0, 6, 0}, {0xB0, 38, 2}}));
    panel.getControl (13)->setValue (7);
    EXPECT_EQ (hub->globalsImage[13], 2) << "clamped to Jump, which it already is";
}

TEST_F (Panels, GlobalEditsReachTheInstrumentAndARepliesFillsTheImage)
{
    connectVirtual();
    Global_Container panel (*hub);
    panel.getControl (13)->setValue (2);
    ASSERT_TRUE (pumpUntil ([&] { return hub->getVirtualInstrument().getGlobals()[13] == 2; }));

    // Until the instrument's dump is read, the values are not its own: dimmed, and said so.
    EXPECT_FALSE (panel.getControl (13)->isEnabled());
    EXPECT_EQ (panel.getNote(), "Waiting for the instrument's global settings...");

    ravlin::globalDump::Globals globals{};
    for (size_t k = 0; k < globals.size(); ++k)
        globals[k] = (uint8_t)(k + 20);
    const auto reply = ravlin::globalDump::encode (globals, ravlin::sysex::deviceKeyboard);
    hub->globalsImage[25] = 9;
    hub->handleIncomingMidiMessage (nullptr, juce::MidiMessage (reply.data(), (int)reply.size()));
    panel.refresh();
    EXPECT_EQ (hub->globalsImage[0], 20);
    EXPECT_EQ (hub->globalsImage[24], 44);
    EXPECT_EQ (hub->globalsImage[25], 9) << "beyond the reply the image stays";
    EXPECT_TRUE (panel.getControl (13)->isEnabled());
    EXPECT_TRUE (panel.getNote().isEmpty());
    EXPECT_LT (panel.getControl (25)->getAlpha(), 1.0f) << "the tuning scale is not in the dump";

    // A reply of another length changes no value and says so.
    const Bytes raw{0xF0, 0x01, 0x2B, 0x0F, 1, 2, 3, 0xF7};
    hub->handleIncomingMidiMessage (nullptr, juce::MidiMessage (raw.data(), (int)raw.size()));
    panel.refresh();
    EXPECT_EQ (hub->globalsImage[0], 20);
    EXPECT_FALSE (panel.getControl (13)->isEnabled());
    EXPECT_TRUE (panel.getNote().startsWith ("The instrument's reply (8 bytes) was not a global dump"));
}

//==============================================================================
TEST_F (Panels, TheScanReportsGoodSettingsAndAsksNoMore)
{
    connectVirtual();
    MIDI_scan scan (*hub);
    editor.addAndMakeVisible (scan);
    Broadcasts done;
    scan.addChangeListener (&done);
    scan.start (MidiSetupController::scanHomeBounds (editor.getLocalBounds()));
    EXPECT_TRUE (scan.isScanning());
    saveSnapshot (scan, "scan-scanning");

    ASSERT_TRUE (pumpUntil ([&] { return done.count > 0; }, 4000));
    EXPECT_TRUE (scan.getWarnings().isEmpty());
    const auto heard = hub->getVirtualInstrument().getNumMessagesReceived();
    pumpMessages (700);
    EXPECT_EQ (hub->getVirtualInstrument().getNumMessagesReceived(), heard) << "no request after the reply";
    scan.removeChangeListener (&done);
}

TEST_F (Panels, TheScanListsWrongSettingsInOrder)
{
    connectVirtual();
    // As the global panel reads them: "MIDI Param Send" CC, "MIDI Param Recv." CC only, controllers off.
    auto& vi = hub->getVirtualInstrument();
    vi.setGlobal (5, 1), vi.setGlobal (6, 2), vi.setGlobal (7, 0);
    MIDI_scan scan (*hub);
    editor.addAndMakeVisible (scan);
    scan.start (MidiSetupController::scanHomeBounds (editor.getLocalBounds()));
    ASSERT_TRUE (pumpUntil ([&] { return !scan.getWarnings().isEmpty(); }, 4000));
    EXPECT_EQ (scan.getWarnings(), (juce::StringArray{"- MIDI Controller Send/Receive = ON", "- Parameter send = NRPN",
                                                      "- Parameter Receive = ALL or NRPN"}));
    EXPECT_EQ (scan.getHeight(), 110);
    EXPECT_EQ (scan.getVerdict(), MIDI_scan::Verdict::checkSettings);
    EXPECT_EQ (scan.getWidth(), 560);
    EXPECT_FALSE (scan.getHostSettingsLink().isVisible()) << "it would run into the heading";
    saveSnapshot (scan, "scan-warning");
}

TEST_F (Panels, ASilentInstrumentOrNoPortIsNotConnectedWithinThreeSeconds)
{
    connectVirtual();
    hub->globalsReceived = true; // from an earlier, now stale reply
    hub->getVirtualInstrument().setSilent (true);
    MIDI_scan scan (*hub);
    editor.addAndMakeVisible (scan);
    const auto start = juce::Time::getMillisecondCounterHiRes();
    scan.start (MidiSetupController::scanHomeBounds (editor.getLocalBounds()));
    ASSERT_TRUE (pumpUntil ([&] { return scan.isNotConnected(); }, 5000));
    const auto took = juce::Time::getMillisecondCounterHiRes() - start;
    EXPECT_LT (took, 3600.0);
    EXPECT_GT (took, 2500.0);
    EXPECT_FALSE (scan.isScanning());
    saveSnapshot (scan, "scan-not-connected");

    hub->selectOutputPort (0);
    hub->globalsReceived = true;
    MIDI_scan unplugged (*hub);
    editor.addAndMakeVisible (unplugged);
    unplugged.start (MidiSetupController::scanHomeBounds (editor.getLocalBounds()));
    ASSERT_TRUE (pumpUntil ([&] { return unplugged.isNotConnected(); }, 5000)) << "no output port: no connection";
}

TEST_F (Panels, APressStopsTheScan)
{
    connectVirtual();
    hub->getVirtualInstrument().setSilent (true);
    MIDI_scan scan (*hub);
    editor.addAndMakeVisible (scan);
    Broadcasts closed;
    scan.addChangeListener (&closed);
    scan.start (MidiSetupController::scanHomeBounds (editor.getLocalBounds()));
    pumpMessages (300);
    scan.mouseDown (press (scan, {20, 20}));
    const auto heard = hub->getVirtualInstrument().getNumMessagesReceived();
    pumpMessages (800);
    EXPECT_EQ (hub->getVirtualInstrument().getNumMessagesReceived(), heard);
    EXPECT_FALSE (scan.isTimerRunning());
    EXPECT_EQ (closed.count, 1);
    EXPECT_EQ (scan.getHostSettingsLink().getBounds(), juce::Rectangle<int> (350, 10, 150, 24));
    scan.removeChangeListener (&closed);
}

//==============================================================================
TEST_F (Panels, SetupControlsSendTheirCodesAndTheOwnerAppliesThem)
{
    MidiSetupController controller (*hub, editor);
    controller.showSetup();
    auto& setup = *controller.getSetup();
    {
        Codes codes (setup); // gone before OK deletes the panel
        EXPECT_EQ (setup.getInputNames(),
                   (juce::StringArray{"NONE", "Port In A", "Prophet 12 In", "Prophet 12 Module (virtual)",
                                      "Prophet 12 Keyboard (virtual)"}));

        click (setup.getCheckBox (MIDI_Setup::clockSwitch), {5, 5});
        EXPECT_TRUE (hub->clockOption);
        EXPECT_EQ (hub->settingsBlock[7], 1);
        click (setup.getCheckBox (MIDI_Setup::programChangeSwitch), {5, 5});
        click (setup.getCheckBox (MIDI_Setup::portToHostSwitch), {5, 5});
        click (setup.getCheckBox (MIDI_Setup::hostToPortSwitch), {5, 5});
        click (setup.getCheckBox (MIDI_Setup::hostToPortSwitch), {5, 5});
        EXPECT_EQ (hub->settingsBlock[11], 1);
        EXPECT_EQ (hub->settingsBlock[10], 1);
        EXPECT_EQ (hub->settingsBlock[4], 0);
        EXPECT_FALSE (hub->thruHostToPort);

        setup.portChosen (false, 4); // the virtual instrument
        EXPECT_TRUE (hub->getPorts().outputOpen);
        EXPECT_TRUE (setup.isOutputOpenMarked());
        setup.portChosen (true, 3);
        EXPECT_TRUE (hub->getPorts().inputOpen);
        setup.portChosen (false, 1); // "NONE"
        EXPECT_FALSE (hub->getPorts().outputOpen);
        EXPECT_FALSE (setup.isOutputOpenMarked());

        EXPECT_EQ (codes.seen, (std::vector<std::pair<int, int>>{
                                   {206, 1}, {212, 1}, {210, 1}, {202, 1}, {202, 0}, {302, 3}, {300, 2}, {302, 0}}));
    }
    setup.sysExBufferChosen (2);
    EXPECT_EQ (hub->getPorts().sysExBufferChoice, 1);
    EXPECT_EQ (setup.getSysExBufferText(), "SySex Size");

    // The link paces bank transfers: DIN MIDI unless the user says USB; kept in the settings.
    EXPECT_EQ (setup.getLinkSpeedText(), "DIN MIDI");
    setup.linkSpeedChosen (2);
    EXPECT_EQ (hub->getLinkSpeed(), LinkSpeed::Kind::usb);
    EXPECT_EQ (hub->settingsBlock[SettingsBlock::linkSpeed], 1);
    EXPECT_EQ (setup.getLinkSpeedText(), "USB");
    EXPECT_FALSE (setup.getLinkSpeedBounds().intersects (setup.getCheckBox (MIDI_Setup::clockSwitch).getBounds()));
    EXPECT_LT (setup.getLinkSpeedBounds().getBottom(), 270) << "inside the panel's frame";

    setup.getOkButton().triggerClick();
    ASSERT_TRUE (pumpUntil ([&] { return !controller.isSetupShown(); }));
    EXPECT_EQ (hub->portNames[3], "1") << "OK saves the ports with the buffer choice";
}

TEST_F (Panels, PortListsOpenOnlyWithDevicesAndLatencyChangesReachTheHub)
{
    system->inputs.clear();
    system->outputs.clear();
    MidiSetupController controller (*hub, editor);
    controller.showSetup();
    auto& setup = *controller.getSetup();
    EXPECT_EQ (setup.getOutputNames().size(), 3) << "NONE and the virtual instrument as module and keyboard";

    setup.setPortLists ({}, {});
    const auto before = visibleDesktopWindows();
    setup.mouseDown (press (setup, {100, 90}));
    pumpMessages (50);
    EXPECT_EQ (visibleDesktopWindows(), before) << "no popup with only NONE";
    EXPECT_FALSE (setup.openPortList (false));

    hub->sampleRateIndex = 3;
    controller.hideSetup();
    controller.showSetup();
    auto& slider = controller.getSetup()->getLatencyPanel().getSlider();
    slider.mouseDown (press (slider, {190, 9}));
    slider.mouseUp (press (slider, {190, 9}));
    pumpMessages (30);
    EXPECT_EQ (hub->latencyTable[3], 1);
    EXPECT_EQ (SettingsBlock::read32 (hub->settingsBlock.data(), 184), 1);
}

TEST_F (Panels, GlobalsTwiceOpensAndClosesAndAsksOnce)
{
    hub->selectOutputPort (1);
    auto& out = system->recorders[0];
    MidiSetupController controller (*hub, editor);
    controller.showSetup();
    auto& setup = *controller.getSetup();
    EXPECT_TRUE (setup.isHelpShown());
    EXPECT_TRUE (setup.helpText().contains ("\n\nMIDI Channel: All\nMIDI Parameter Send: NRPN\n"));

    setup.getGlobalsButton().triggerClick();
    pumpMessages (30);
    ASSERT_TRUE (setup.isGlobalsPanelOpen());
    EXPECT_FALSE (setup.isHelpShown());
    EXPECT_EQ (setup.getGlobalsPanel()->getBounds(), juce::Rectangle<int> (38, 285, 750, 350));
    setup.getGlobalsButton().triggerClick();
    pumpMessages (30);
    EXPECT_FALSE (setup.isGlobalsPanelOpen());
    EXPECT_TRUE (setup.isHelpShown());
    juce::Thread::sleep (30);
    EXPECT_EQ (out.count(), 1u) << "one global request";
    EXPECT_EQ (out.taken()[0].bytes, (Bytes{0xF0, 0x01, 0x2B, 0x0E, 0xF7}));

    setup.toggleGlobals();
    auto* globals = setup.getGlobalsPanel();
    click (*globals, globals->closeMarkBounds().getCentre());
    EXPECT_TRUE (setup.isGlobalsPanelOpen()) << "closes 100 ms later";
    ASSERT_TRUE (pumpUntil ([&] { return !setup.isGlobalsPanelOpen(); }, 1000));
}

TEST_F (Panels, Snapshots)
{
    connectVirtual();
    hub->getVirtualInstrument().setGlobal (13, 2);
    MidiSetupController controller (*hub, editor);
    controller.showSetup();
    auto& setup = *controller.getSetup();
    saveSnapshot (setup, "setup-help");
    setup.toggleGlobals();
    ASSERT_TRUE (pumpUntil ([&] { return hub->globalsReceived.load(); }));
    setup.getGlobalsPanel()->refresh();
    pumpMessages (50);
    saveSnapshot (setup, "setup-globals");
    EXPECT_EQ (setup.getGlobalsPanel()->getControl (13)->getValue(), 2) << "the panel shows the reply";
    EXPECT_EQ (setup.getGlobalsPanel()->getControl (6)->getValue(), 1) << "NRPN only, as the help text asks";
    EXPECT_TRUE (juce::File (RAVLIN_SCREENSHOT_DIR).getChildFile ("setup-globals.png").existsAsFile());
}

#include "ui/panels/HostSetupText.h"

TEST (HostSettingsLink, OpensTheReadmesOwnHostSetUpSection)
{
    const juce::String text (hostSetupText);
    EXPECT_TRUE (text.startsWith ("## Host set-up\n"));
    EXPECT_TRUE (text.contains ("Load \"Prophet 12 Ravlin\" as an instrument"));
    EXPECT_FALSE (text.contains ("\n## ")) << "only that section";
}
