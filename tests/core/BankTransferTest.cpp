#include "core/MidiCntrState.h"
#include "support/FakeMidiDevices.h"
#include "support/MessagePump.h"

#include <gtest/gtest.h>

using ravlin::Bytes;

namespace
{
constexpr int virtualPort = 3;

Bytes marked (int bank, int program, int seed)
{
    Bytes image (1024);
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = (uint8_t)((i * 7 + (size_t)bank * 31 + (size_t)program * 3 + (size_t)seed) & 0x7F);
    return image;
}

class Transfers : public ::testing::Test
{
protected:
    Transfers() : hub (std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File())
    {
        hub.selectInputPort (virtualPort);
        hub.selectOutputPort (virtualPort);
    }

    VirtualInstrument& instrument() { return hub.getVirtualInstrument(); }

    /** Events until the code arrives (true) or the time is up. */
    bool waitFor (uint32_t code, int timeoutMs, int* progress = nullptr)
    {
        const auto end = juce::Time::getMillisecondCounterHiRes() + timeoutMs;
        while (juce::Time::getMillisecondCounterHiRes() < end)
        {
            for (auto c : hub.takeEvents())
            {
                if (progress != nullptr && HubEvent::kindOf (c) == 0x170)
                    ++*progress;
                if (c == code)
                    return true;
            }
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
} // namespace

TEST_F (Transfers, ReceivingAllUserBanksMakesTheCopiesEqualTheInstrument)
{
    for (int b = 0; b < 4; ++b)
        for (int p = 0; p < 99; ++p)
            instrument().setProgram (b, p, marked (b, p, 1));
    const auto factoryBefore = hub.getBankProgram (4, 0);
    hub.startBankReceive (MidiCntrState::receiveAllUserBanks, 0);
    EXPECT_EQ (hub.transferCode, 777);
    ASSERT_TRUE (waitFor (HubEvent::bankDone, 20000));
    EXPECT_EQ (hub.transferCode, -1);
    for (int b = 0; b < 4; ++b)
        for (int p = 0; p < 99; ++p)
            ASSERT_EQ (hub.getBankProgram (b, p), instrument().getProgram (b, p)) << b << "/" << p;
    EXPECT_EQ (hub.getBankProgram (4, 0), factoryBefore);
}

TEST_F (Transfers, CancellingAReceiveKeepsWhatArrived)
{
    for (int p = 0; p < 99; ++p)
        instrument().setProgram (1, p, marked (1, p, 2));
    const auto untouched = hub.getBankProgram (1, 98);
    instrument().setWireSpeed (VirtualInstrument::WireSpeed::usb); // about 24 ms a dump
    hub.startBankReceive (0, 1);
    int progress = 0;
    ASSERT_TRUE (waitFor (HubEvent::bankProgress (1, 9), 5000, &progress));
    hub.cancelTransfer();
    EXPECT_EQ (hub.transferCode, -1);
    juce::Thread::sleep (200); // a reply in flight may still land; nothing more is asked
    const auto heard = instrument().getNumMessagesReceived();
    juce::Thread::sleep (200);
    EXPECT_EQ (instrument().getNumMessagesReceived(), heard);
    for (int p = 0; p < 10; ++p)
        ASSERT_EQ (hub.getBankProgram (1, p), instrument().getProgram (1, p)) << p;
    EXPECT_EQ (hub.getBankProgram (1, 98), untouched);
    EXPECT_FALSE (hub.bankReceiving);
}

TEST_F (Transfers, TransmittingAllUserBanksMakesTheInstrumentEqualTheCopies)
{
    for (int b = 0; b < 4; ++b)
        for (int p = 0; p < 99; ++p)
            hub.setBankProgram (b, p, marked (b, p, 3));
    const auto factoryOnInstrument = instrument().getProgram (5, 5);
    ASSERT_TRUE (hub.startTransmit (MidiCntrState::transmitAllUserBanks, 0));
    EXPECT_EQ (hub.transferCode, 888);
    int progress = 0;
    ASSERT_TRUE (waitFor (HubEvent::bankDone, 30000, &progress));
    EXPECT_EQ (progress, 396);
    EXPECT_EQ (hub.transferCode, -1);
    for (int b = 0; b < 4; ++b)
        for (int p = 0; p < 99; ++p)
            ASSERT_EQ (instrument().getProgram (b, p), marked (b, p, 3)) << b << "/" << p;
    EXPECT_EQ (instrument().getProgram (5, 5), factoryOnInstrument);
}

TEST_F (Transfers, TheEditedProgramGoesToTheChosenBankAtTheCurrentNumber)
{
    hub.setCurrentProgram (marked (0, 0, 9));
    hub.currentProgram = 42;
    ASSERT_TRUE (hub.startTransmit (MidiCntrState::transmitProgramToBank, 6));
    ASSERT_TRUE (waitFor (HubEvent::bankDone, 5000));
    EXPECT_EQ (instrument().getProgram (6, 42), marked (0, 0, 9));
    EXPECT_EQ (hub.getBankProgram (6, 42), marked (0, 0, 9));
    EXPECT_FALSE (hub.startTransmit (MidiCntrState::transmitProgramToBank, 9));
    EXPECT_FALSE (hub.startTransmit (12345, 0));
}

TEST_F (Transfers, ACancelledTransmitStopsAfterTheDumpInFlight)
{
    instrument().setWireSpeed (VirtualInstrument::WireSpeed::din); // 377 ms a dump
    for (int p = 0; p < 99; ++p)
        hub.setBankProgram (4, p, marked (4, p, 4));
    const auto before = instrument().getProgram (4, 3);
    ASSERT_TRUE (hub.startTransmit (MidiCntrState::transmitAllFactoryBanks, 4));
    ASSERT_TRUE (waitFor (HubEvent::bankProgress (4, 0), 3000));
    const auto start = juce::Time::getMillisecondCounterHiRes();
    hub.cancelTransfer();
    EXPECT_LT (juce::Time::getMillisecondCounterHiRes() - start, 1000.0) << "at most the dump in flight";
    EXPECT_FALSE (hub.isTransmitting());
    const auto heard = instrument().getNumMessagesReceived();
    juce::Thread::sleep (500);
    EXPECT_EQ (instrument().getNumMessagesReceived(), heard);
    EXPECT_EQ (instrument().getProgram (4, 0), marked (4, 0, 4));
    EXPECT_EQ (instrument().getProgram (4, 3), before);
    EXPECT_FALSE (waitFor (HubEvent::bankDone, 100)) << "a cancelled transfer reports no end";
}

TEST_F (Transfers, TheOutputPacesTransmission)
{
    instrument().setWireSpeed (VirtualInstrument::WireSpeed::usb);
    std::vector<BankTransmitter::Item> items;
    for (int p = 0; p < 5; ++p)
        items.push_back ({2, p, marked (2, p, 5)});
    const auto start = juce::Time::getMillisecondCounterHiRes();
    ASSERT_TRUE (hub.transmitPrograms (items, true));
    EXPECT_FALSE (hub.transmitPrograms (items, true)) << "one transmission at a time";
    ASSERT_TRUE (waitFor (HubEvent::bankDone, 5000));
    const auto took = juce::Time::getMillisecondCounterHiRes() - start;
    // Each dump: 1178 bytes on the wire (23.6 ms over USB) and a 20 ms gap.
    EXPECT_GE (took, 5 * (1178 * VirtualInstrument::usbMillisecondsPerByte + BankTransmitter::gapAfterDumpMs) - 5);
}

TEST_F (Transfers, WriteChangesExactlyOneSlotOnBothSides)
{
    std::vector<Bytes> instrumentBefore, copiesBefore;
    for (int b = 0; b < 8; ++b)
        for (int p = 0; p < 99; ++p)
        {
            instrumentBefore.push_back (instrument().getProgram (b, p));
            copiesBefore.push_back (hub.getBankProgram (b, p));
        }
    hub.setCurrentProgram (marked (7, 7, 7));
    hub.writeProgram (2, 17, "Glass Organ Pad And More");
    ASSERT_TRUE (waitUntil ([&] { return instrument().getProgram (2, 17) != instrumentBefore[2 * 99 + 17]; }));
    juce::Thread::sleep (50);

    auto expected = marked (7, 7, 7);
    DSI_Program::writeName (expected.data() + DSI_Program::nameOffset, "Glass Organ Pad ");
    EXPECT_EQ (instrument().getProgram (2, 17), expected);
    EXPECT_EQ (hub.getBankProgram (2, 17), expected);
    EXPECT_EQ (hub.getBankProgramName (2, 17), "Glass Organ Pad ") << "cut to 16 characters";
    EXPECT_EQ (hub.getCurrentProgram(), expected);
    EXPECT_EQ (hub.currentBank, 2);
    EXPECT_EQ (hub.currentProgram, 17);
    int changed = 0;
    for (int b = 0; b < 8; ++b)
        for (int p = 0; p < 99; ++p)
        {
            const auto i = (size_t)(b * 99 + p);
            changed += instrument().getProgram (b, p) != instrumentBefore[i];
            changed += hub.getBankProgram (b, p) != copiesBefore[i];
        }
    EXPECT_EQ (changed, 2);

    hub.writeProgram (4, 0, "Factory"); // the dialog only writes user banks
    EXPECT_EQ (hub.getBankProgram (4, 0), copiesBefore[4 * 99]);
}
