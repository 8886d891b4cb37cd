#include "core/MidiCntrState.h"
#include "instrument/DSI_Program.h"
#include "support/FakeMidiDevices.h"
#include "support/ModelDetection.h"

#include <gtest/gtest.h>

using ravlin::Bytes;
using ravlin::InstrumentModel;

namespace
{
// After the two fake system devices: the virtual module, then the virtual keyboard.
int virtualPortOf (InstrumentModel model)
{
    return model == InstrumentModel::module ? 3 : 4;
}

Bytes marked (int seed)
{
    Bytes image (1024);
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = (uint8_t)((i * 5 + (size_t)seed) & 0x7F);
    return image;
}

class ModelLink : public ::testing::Test
{
protected:
    ModelLink() : hub (std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File()) {}

    void connect (InstrumentModel model)
    {
        hub.selectInputPort (virtualPortOf (model));
        hub.selectOutputPort (virtualPortOf (model));
    }

    bool waitFor (uint32_t code, int timeoutMs = 10000)
    {
        const auto end = juce::Time::getMillisecondCounterHiRes() + timeoutMs;
        while (juce::Time::getMillisecondCounterHiRes() < end)
        {
            for (auto c : hub.takeEvents())
                if (c == code)
                    return true;
            juce::Thread::sleep (1);
        }
        return false;
    }

    bool waitUntil (std::function<bool()> condition, int timeoutMs = 5000)
    {
        const auto end = juce::Time::getMillisecondCounterHiRes() + timeoutMs;
        while (!condition())
        {
            if (juce::Time::getMillisecondCounterHiRes() > end)
                return false;
            juce::Thread::sleep (2);
        }
        return true;
    }

    juce::ScopedJuceInitialiser_GUI messageThread;
    MidiCntrState hub;
};

class Models : public ModelLink, public ::testing::WithParamInterface<InstrumentModel>
{
};
} // namespace

TEST_P (Models, ReceiveTransmitAndWriteReachTheModelOnThePorts)
{
    const auto model = GetParam();
    auto& instrument = hub.getVirtualInstrument (model);
    connect (model);
    ASSERT_TRUE (ravlin::test::awaitModelReply (hub)) << "the identity request is answered";
    EXPECT_EQ (hub.getModel(), model);
    EXPECT_EQ (hub.deviceByte(), ravlin::deviceByteOf (model));

    // RECV: the edit buffer.
    instrument.turnKnob (85, 77);
    hub.requestEditBuffer();
    ASSERT_TRUE (waitFor (HubEvent::programLoaded));
    EXPECT_EQ (hub.getCurrentProgram(), instrument.getEditBuffer());

    // A bank receive: 99 programs, each asked for and answered.
    instrument.setProgram (1, 98, marked (1));
    ASSERT_TRUE (hub.startBankReceive (0, 1));
    ASSERT_TRUE (waitFor (HubEvent::bankDone, 20000));
    EXPECT_EQ (hub.getBankProgram (1, 98), marked (1));

    // A transmit of the edited program into a bank, and WRITE into a user slot.
    hub.setCurrentProgram (marked (2));
    hub.currentProgram = 42;
    ASSERT_TRUE (hub.startTransmit (MidiCntrState::transmitProgramToBank, 6));
    ASSERT_TRUE (waitFor (HubEvent::bankDone));
    EXPECT_EQ (instrument.getProgram (6, 42), marked (2));

    hub.setCurrentProgram (marked (3));
    ASSERT_EQ (hub.writeProgram (2, 17, "Both Models"), MidiCntrState::WriteResult::written);
    auto expected = marked (3);
    DSI_Program::writeName (expected.data() + DSI_Program::nameOffset, "Both Models");
    EXPECT_TRUE (waitUntil ([&] { return instrument.getProgram (2, 17) == expected; }));

    // The global dump for the connection check.
    instrument.setGlobal (13, 2);
    hub.requestGlobals();
    ASSERT_TRUE (waitFor (HubEvent::online));
    EXPECT_EQ (hub.globalsImage[0], 12);
    EXPECT_EQ (hub.globalsImage[13], 2);

    EXPECT_EQ (instrument.getNumOtherModelMessages(), 0) << "never a message with the other model's byte";
}

INSTANTIATE_TEST_SUITE_P (BothModels, Models, ::testing::Values (InstrumentModel::module, InstrumentModel::keyboard),
                          [] (const auto& info)
                          { return info.param == InstrumentModel::module ? "Module" : "Keyboard"; });

TEST_F (ModelLink, RequestsMadeBeforeTheAnswerWaitForItAndCarryTheKeyboardsByte)
{
    // At DIN pace the identity reply takes milliseconds: the request is made before it comes.
    auto& keyboard = hub.getVirtualInstrument (InstrumentModel::keyboard);
    keyboard.setWireSpeed (VirtualInstrument::WireSpeed::din);
    keyboard.turnKnob (85, 33);
    connect (InstrumentModel::keyboard);
    hub.requestEditBuffer();
    ASSERT_TRUE (waitFor (HubEvent::programLoaded));
    EXPECT_EQ (hub.getCurrentProgram()[85], 33);
    EXPECT_EQ (hub.getModel(), InstrumentModel::keyboard);
    EXPECT_EQ (keyboard.getNumOtherModelMessages(), 0);
}

TEST_F (ModelLink, ASilentPortFallsBackToTheModuleAndAChosenModelAsksNobody)
{
    auto& keyboard = hub.getVirtualInstrument (InstrumentModel::keyboard);
    keyboard.setSilent (true);
    const auto opened = juce::Time::getMillisecondCounterHiRes();
    connect (InstrumentModel::keyboard);
    EXPECT_EQ (hub.getModelDetector().getState(), ModelDetector::State::waiting);
    EXPECT_EQ (hub.deviceByte(), ravlin::sysex::deviceModule) << "the module until told otherwise";
    ASSERT_TRUE (waitUntil ([&] { return hub.getModelDetector().getState() == ModelDetector::State::noReply; }, 2000))
        << "gives up within two seconds";
    EXPECT_LT (juce::Time::getMillisecondCounterHiRes() - opened, 2000.0);
    EXPECT_EQ (hub.getModel(), InstrumentModel::module);

    // Chosen: no identity request, and the chosen byte from the first message on.
    keyboard.setSilent (false);
    hub.setModelChoice (ModelDetector::Choice::keyboard);
    EXPECT_EQ (hub.settingsBlock[SettingsBlock::instrumentModel], 2);
    const auto heard = keyboard.getNumMessagesReceived();
    connect (InstrumentModel::keyboard);
    hub.requestEditBuffer();
    ASSERT_TRUE (waitFor (HubEvent::programLoaded));
    EXPECT_EQ (keyboard.getNumMessagesReceived(), heard + 1) << "the request alone";
    EXPECT_EQ (hub.getModelDetector().getState(), ModelDetector::State::chosen);
}

TEST (ModelSetting, IsKeptInByteNineOfTheSettingsFile)
{
    const juce::ScopedJuceInitialiser_GUI messageThread;
    const juce::TemporaryFile folderName;
    const auto folder = folderName.getFile();
    ASSERT_TRUE (folder.createDirectory());
    {
        MidiCntrState hub (std::make_unique<ravlin::test::FakeMidiDevices>(), folder);
        EXPECT_EQ (hub.getModelDetector().getChoice(), ModelDetector::Choice::detect) << "a fresh installation detects";
        hub.setModelChoice (ModelDetector::Choice::keyboard);
        hub.saveSettings();
    }
    juce::MemoryBlock saved;
    ASSERT_TRUE (SettingsFiles (folder).settingsFile().loadFileAsData (saved));
    ASSERT_EQ (saved.getSize(), 400u) << "the file keeps its size";
    EXPECT_EQ (saved[9], 2);

    MidiCntrState again (std::make_unique<ravlin::test::FakeMidiDevices>(), folder);
    EXPECT_EQ (again.getModelDetector().getChoice(), ModelDetector::Choice::keyboard);
    EXPECT_EQ (again.deviceByte(), ravlin::sysex::deviceKeyboard);
    folder.deleteRecursively();
}
