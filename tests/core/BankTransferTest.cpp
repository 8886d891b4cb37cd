#include "core/MidiCntrState.h"
#include "support/FakeMidiDevices.h"
#include "support/MessagePump.h"
#include "support/ModelDetection.h"

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
        ravlin::test::awaitModelReply (hub); // the instrument answered who it is, as it does at once
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
    // The dump in flight still arrives (the sender may not have handed it over yet); nothing after it.
    ASSERT_TRUE (waitUntil ([&] { return instrument().getProgram (4, 0) == marked (4, 0, 4); }));
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
    DSI_Program::writeName (expected.data() + DSI_Program::nameOffset, "Glass Organ Pad And ");
    EXPECT_EQ (instrument().getProgram (2, 17), expected);
    EXPECT_EQ (hub.getBankProgram (2, 17), expected);
    EXPECT_EQ (hub.getBankProgramName (2, 17), "Glass Organ Pad And ") << "cut to 20 characters";
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

namespace
{
/** A hub whose output is a system port that records what reaches it, as ALSA would take it:
    at once, whatever the wire can carry. */
class SystemPortTransfers : public ::testing::Test
{
protected:
    SystemPortTransfers()
    {
        auto fake = std::make_unique<ravlin::test::FakeMidiDevices>();
        system = fake.get();
        hub = std::make_unique<MidiCntrState> (std::move (fake), juce::File());
        hub->selectOutputPort (1);
    }

    /** When each dump began to be handed to the port. */
    std::vector<double> dumpStarts()
    {
        std::vector<double> starts;
        for (const auto& m : system->recorders[0].taken())
            if (!m.bytes.empty() && m.bytes[0] == 0xF0)
                starts.push_back (m.time);
        return starts;
    }

    bool waitFor (uint32_t code, int timeoutMs)
    {
        const auto end = juce::Time::getMillisecondCounterHiRes() + timeoutMs;
        while (juce::Time::getMillisecondCounterHiRes() < end)
        {
            for (auto c : hub->takeEvents())
                if (c == code)
                    return true;
            juce::Thread::sleep (1);
        }
        return false;
    }

    juce::ScopedJuceInitialiser_GUI messageThread;
    ravlin::test::FakeMidiDevices* system = nullptr;
    std::unique_ptr<MidiCntrState> hub;
};
} // namespace

TEST_F (SystemPortTransfers, EachDumpWaitsForTheOneBeforeToCrossTheWireAtTheLinksSpeed)
{
    // The port returns at once; at DIN speed a dump still takes 377 ms on the wire, and the
    // instrument 20 ms more to write it.
    std::vector<BankTransmitter::Item> items;
    for (int p = 0; p < 3; ++p)
        items.push_back ({1, p, marked (1, p, 6)});
    EXPECT_EQ (hub->getLinkSpeed(), LinkSpeed::Kind::din) << "the safe default";
    const auto start = juce::Time::getMillisecondCounterHiRes();
    ASSERT_TRUE (hub->transmitPrograms (items, true));
    ASSERT_TRUE (waitFor (HubEvent::bankDone, 5000));
    const auto dinDump = 1178 * LinkSpeed::dinMillisecondsPerByte + BankTransmitter::gapAfterDumpMs;
    EXPECT_GE (juce::Time::getMillisecondCounterHiRes() - start, 3 * dinDump - 2) << "done means written";
    auto starts = dumpStarts();
    ASSERT_EQ (starts.size(), 3u);
    // Measured from the request: a late delivery of one dump (a loaded machine) must not make
    // the next look early.
    for (size_t i = 1; i < starts.size(); ++i)
        EXPECT_GE (starts[i] - start, (double)i * dinDump - 2) << "dump " << i;

    // Over USB the same takes a tenth of the time.
    hub->setLinkSpeed (LinkSpeed::Kind::usb);
    EXPECT_EQ (hub->settingsBlock[SettingsBlock::linkSpeed], 1);
    const auto usbStart = juce::Time::getMillisecondCounterHiRes();
    ASSERT_TRUE (hub->transmitPrograms (items, true));
    ASSERT_TRUE (waitFor (HubEvent::bankDone, 5000));
    starts = dumpStarts();
    ASSERT_EQ (starts.size(), 6u);
    const auto usbDump = 1178 * LinkSpeed::usbMillisecondsPerByte + BankTransmitter::gapAfterDumpMs;
    EXPECT_GE (starts[4] - usbStart, usbDump - 2);
    EXPECT_GE (starts[5] - usbStart, 2 * usbDump - 2);
    EXPECT_EQ (hub->linkMillisecondsPerByte(), LinkSpeed::usbMillisecondsPerByte);
}

TEST_F (Transfers, APacedTransmitAtDinLosesNoDumpOnTheInstrument)
{
    instrument().setWireSpeed (VirtualInstrument::WireSpeed::din);
    std::vector<BankTransmitter::Item> items;
    for (int p = 0; p < 4; ++p)
        items.push_back ({3, p, marked (3, p, 8)});
    ASSERT_TRUE (hub.transmitPrograms (items, true));
    ASSERT_TRUE (waitFor (HubEvent::bankDone, 5000));
    EXPECT_EQ (instrument().getNumDumpsLost(), 0);
    for (int p = 0; p < 4; ++p)
        EXPECT_EQ (instrument().getProgram (3, p), marked (3, p, 8)) << p;
}

TEST_F (Transfers, ADumpTheSenderHandsOverLateIsNotFollowedTooSoon)
{
    // A busy machine: the first dump (five pieces of at most 256 bytes) reaches the port 60 ms
    // after it was queued, longer than the pause between dumps, and its last piece another 60 ms
    // after the fourth. The next dump must wait until the whole late one has crossed the wire.
    instrument().setWireSpeed (VirtualInstrument::WireSpeed::din);
    instrument().delayNextHandOvers ({60, 0, 0, 0, 60});
    std::vector<BankTransmitter::Item> items;
    for (int p = 0; p < 3; ++p)
        items.push_back ({3, p, marked (3, p, 9)});
    ASSERT_TRUE (hub.transmitPrograms (items, true));
    ASSERT_TRUE (waitFor (HubEvent::bankDone, 5000));
    EXPECT_EQ (instrument().getNumDumpsLost(), 0);
    for (int p = 0; p < 3; ++p)
        EXPECT_EQ (instrument().getProgram (3, p), marked (3, p, 9)) << p;
}

TEST_F (Transfers, ReadingBackNamesEverySlotThatDiffers)
{
    hub.verifyAfterWriting = true;
    instrument().ignoreWritesTo (2, 3);
    const auto current = hub.getCurrentProgram();
    for (int p = 0; p < 6; ++p)
        hub.setBankProgram (2, p, marked (2, p, 10));
    std::vector<BankTransmitter::Item> items;
    for (int p = 0; p < 6; ++p)
        items.push_back ({2, p, marked (2, p, 10)});
    ASSERT_TRUE (hub.transmitPrograms (items, true, true));
    std::vector<uint32_t> events;
    ASSERT_TRUE (waitUntil (
        [&]
        {
            for (auto c : hub.takeEvents())
                events.push_back (c);
            return !events.empty() && events.back() == HubEvent::bankDone;
        },
        10000));
    const auto verified = std::find (events.begin(), events.end(), HubEvent::transmitReport);
    ASSERT_NE (verified, events.end()) << "the result comes before the end";
    EXPECT_EQ (std::count_if (events.begin(), verified, [] (uint32_t c) { return HubEvent::kindOf (c) == 0x170; }), 12)
        << "each program sent, then each read back";
    const auto result = hub.getLastTransmitReport();
    EXPECT_EQ (result.total, 6);
    EXPECT_EQ (result.checked, 6);
    EXPECT_TRUE (result.answered);
    EXPECT_EQ (result.differing, (std::vector<std::pair<int, int>>{{2, 3}}));
    EXPECT_EQ (hub.getBankProgram (2, 3), marked (2, 3, 10)) << "the copy keeps what was sent";
    EXPECT_EQ (hub.getCurrentProgram(), current) << "read-back replies are not loaded";

    // WRITE reads back its slot too; an instrument that stops answering is reported, not waited for.
    instrument().setSilent (true);
    ASSERT_EQ (hub.writeProgram (0, 1, "Read Back"), MidiCntrState::WriteResult::written);
    ASSERT_TRUE (waitFor (HubEvent::transmitReport, 6000));
    EXPECT_FALSE (hub.getLastTransmitReport().answered);
    EXPECT_EQ (hub.getLastTransmitReport().checked, 0);
}

TEST_F (Transfers, AReplyArrivingAfterACancelIsDropped)
{
    instrument().setWireSpeed (VirtualInstrument::WireSpeed::din); // each reply takes 377 ms
    instrument().setProgram (1, 0, marked (1, 0, 11));
    hub.setCurrentProgram (marked (0, 0, 12));
    const auto copyBefore = hub.getBankProgram (1, 0);
    hub.takeEvents();
    hub.startBankReceive (0, 1);
    juce::Thread::sleep (20);
    hub.cancelTransfer();
    juce::Thread::sleep (800);

    EXPECT_EQ (hub.getCurrentProgram(), marked (0, 0, 12)) << "the edited program stays";
    EXPECT_EQ (hub.getBankProgram (1, 0), copyBefore);
    const auto events = hub.takeEvents();
    EXPECT_EQ (std::count (events.begin(), events.end(), HubEvent::programLoaded), 0);

    // Asked for again, the same program arrives as usual.
    hub.requestProgram (1, 0);
    EXPECT_TRUE (waitUntil ([&] { return hub.getCurrentProgram() == marked (1, 0, 11); }));
}

TEST_F (Transfers, WriteWithoutAnOutputOrDuringATransferChangesNothing)
{
    hub.setCurrentProgram (marked (0, 0, 13));
    const auto copy = hub.getBankProgram (1, 1);
    const auto onInstrument = instrument().getProgram (1, 1);
    hub.currentBank = 0;
    hub.currentProgram = 0;

    hub.selectOutputPort (0);
    EXPECT_EQ (hub.writeProgram (1, 1, "Nowhere"), MidiCntrState::WriteResult::noOutput);
    EXPECT_EQ (hub.getBankProgram (1, 1), copy);
    EXPECT_EQ (hub.getCurrentProgram(), marked (0, 0, 13)) << "not even renamed";
    EXPECT_EQ (hub.currentProgram, 0);

    hub.selectOutputPort (virtualPort);
    instrument().setWireSpeed (VirtualInstrument::WireSpeed::din);
    ASSERT_TRUE (hub.startTransmit (MidiCntrState::transmitProgramToBank, 5));
    EXPECT_EQ (hub.writeProgram (1, 1, "Busy"), MidiCntrState::WriteResult::busy);
    hub.cancelTransfer();
    juce::Thread::sleep (50);
    EXPECT_EQ (hub.getBankProgram (1, 1), copy);
    EXPECT_EQ (instrument().getProgram (1, 1), onInstrument);
}

TEST_F (Transfers, CancellingDuringTheReadBackKeepsTheEditedProgram)
{
    instrument().setWireSpeed (VirtualInstrument::WireSpeed::din); // each reply takes 377 ms
    hub.setCurrentProgram (marked (0, 0, 14));
    std::vector<BankTransmitter::Item> items{{2, 0, marked (2, 0, 15)}};
    ASSERT_TRUE (hub.transmitPrograms (items, true, true));
    ASSERT_TRUE (waitFor (HubEvent::bankProgress (2, 0), 3000)); // sent; the read-back asks next
    juce::Thread::sleep (450);                                   // its request is out, the reply on the wire
    hub.cancelTransfer();
    juce::Thread::sleep (600);
    EXPECT_EQ (hub.getCurrentProgram(), marked (0, 0, 14)) << "the late reply is dropped";
    EXPECT_EQ (hub.getBankProgram (2, 0), marked (2, 0, 15));
}

TEST_F (Transfers, NoReceiveStartsWhileAWriteIsGoingOut)
{
    hub.verifyAfterWriting = true;
    instrument().setWireSpeed (VirtualInstrument::WireSpeed::din); // about 0.8 s with the read-back
    ASSERT_EQ (hub.writeProgram (0, 3, "Reading Back"), MidiCntrState::WriteResult::written);
    EXPECT_FALSE (hub.startBankReceive (0, 1)) << "one transfer at a time";
    EXPECT_EQ (hub.transferCode, -1);
    ASSERT_TRUE (waitFor (HubEvent::transmitReport, 5000));
    ASSERT_TRUE (waitUntil ([&] { return !hub.isTransmitting(); }));
    EXPECT_TRUE (hub.startBankReceive (0, 1));
    hub.cancelTransfer();
}
