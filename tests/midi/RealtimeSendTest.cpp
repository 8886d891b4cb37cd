// Sends from the audio thread must not allocate: this binary counts every heap
// allocation made by a thread while it is flagged as the audio thread.
#include "midi/MIDI_PORTS_Control.h"
#include "support/FakeMidiDevices.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <thread>

namespace
{
thread_local bool countingThisThread = false;
std::atomic<long> allocationsWhileCounting{0};

void* allocate (std::size_t size)
{
    if (countingThisThread)
        allocationsWhileCounting.fetch_add (1);
    if (void* p = std::malloc (size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}

/** Runs block (n) for n from first to last - 1 on a thread of its own, as a host's audio thread,
    and returns how many allocations the blocks made; between (n) runs after each, not counted. */
template <typename Block, typename Between>
long allocationsOnAnAudioThread (int first, int last, Block&& block, Between&& between)
{
    long allocations = -1;
    std::thread audioThread (
        [&]
        {
            allocationsWhileCounting = 0;
            for (int n = first; n < last; ++n)
            {
                countingThisThread = true;
                block (n);
                countingThisThread = false;
                between (n);
            }
            allocations = allocationsWhileCounting.load();
        });
    audioThread.join();
    return allocations;
}
} // namespace

void* operator new (std::size_t size)
{
    return allocate (size);
}
void* operator new[] (std::size_t size)
{
    return allocate (size);
}
void operator delete (void* p) noexcept
{
    std::free (p);
}
void operator delete[] (void* p) noexcept
{
    std::free (p);
}
void operator delete (void* p, std::size_t) noexcept
{
    std::free (p);
}
void operator delete[] (void* p, std::size_t) noexcept
{
    std::free (p);
}

namespace
{
struct NoInput : public juce::MidiInputCallback
{
    void handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage&) override {}
};
} // namespace

TEST (RealtimeSend, TenThousandTimedBuffersFromTheAudioThreadAllocateNothing)
{
    ravlin::test::FakeMidiDevices devices;
    NoInput noInput;
    MIDI_PORTS_Control ports (devices, noInput);
    ports.openOutput (1);
    ASSERT_TRUE (ports.outputOpen);

    juce::MidiBuffer block;
    block.ensureSize (256);
    block.addEvent (juce::MidiMessage::midiClock(), 0);
    block.addEvent (juce::MidiMessage::controllerEvent (1, 99, 3), 10);
    block.addEvent (juce::MidiMessage::controllerEvent (1, 6, 64), 12);

    allocationsWhileCounting = 0;
    std::thread audio (
        [&]
        {
            countingThisThread = true;
            for (int i = 0; i < 10000; ++i)
            {
                ports.sendBufferAt (block, 1.0, 48000.0);
                ports.sendController (1, 14, i & 0x7F);
                if (i % 64 == 0)
                    std::this_thread::sleep_for (std::chrono::microseconds (200)); // as a block period would
            }
            countingThisThread = false;
        });
    audio.join();

    EXPECT_EQ (allocationsWhileCounting.load(), 0);

    // Everything went out or was counted as dropped; none of it was lost unseen.
    const auto end = juce::Time::getMillisecondCounterHiRes() + 5000;
    auto& sender = ports.getSender();
    while (sender.getNumSent() + sender.getNumDropped() < 40000 && juce::Time::getMillisecondCounterHiRes() < end)
        juce::Thread::sleep (5);
    EXPECT_EQ (sender.getNumSent() + sender.getNumDropped(), 40000);
    EXPECT_GT (sender.getNumSent(), 0);
}

TEST (RealtimeSend, TheCounterSeesAllocations)
{
    allocationsWhileCounting = 0;
    countingThisThread = true;
    auto* p = new std::vector<int> (100);
    countingThisThread = false;
    delete p;
    EXPECT_GE (allocationsWhileCounting.load(), 2) << "the test above would pass for the wrong reason";
}

#include "core/MidiCntrState.h"

TEST (RealtimeSend, RoutingHostBlocksAllocatesNothingInSteadyState)
{
    auto system = std::make_unique<ravlin::test::FakeMidiDevices>();
    auto& recorder = system->recorders[0];
    MidiCntrState hub (std::move (system), juce::File());
    hub.selectOutputPort (1);
    hub.thruHostToPort = true;
    hub.thruPortToHost = true;

    juce::MidiBuffer host;
    host.ensureSize (8192);
    const auto dump = ravlin::packProgramDump (ravlin::Bytes (1024, 0x12), 0, 1);
    auto fill = [&host, &dump] (int round)
    {
        host.clear();
        for (int i = 0; i < 64; ++i)
        {
            const auto note = 36 + (i % 48);
            host.addEvent (i % 2 == 0 ? juce::MidiMessage::noteOn (1, note, (juce::uint8)100)
                                      : juce::MidiMessage::noteOff (1, note),
                           i * 8);
        }
        host.addEvent (juce::MidiMessage::programChange (1, round % 99), 500);
        host.addEvent (juce::MidiMessage::controllerEvent (1, 32, round % 8), 501);
        if (round % 4 == 0) // a program dump played from a track goes through whole
            host.addEvent (dump.data(), (int)dump.size(), 502);
    };

    // Something for the host as well: notes from the instrument.
    auto fromInstrument = [&hub] (int round)
    { hub.handleIncomingMidiMessage (nullptr, juce::MidiMessage::noteOn (1, 60 + round % 12, (juce::uint8)90)); };

    for (int round = 0; round < 20; ++round) // warm up
    {
        fromInstrument (round);
        fill (round);
        hub.routeBlock (host, 512);
        hub.takeEvents();
    }

    long allocations = 0;
    std::thread audio (
        [&]
        {
            for (int round = 0; round < 500; ++round)
            {
                fill (round);
                fromInstrument (round);
                countingThisThread = true;
                hub.routeBlock (host, 512);
                countingThisThread = false;
                if (round % 50 == 0)
                    hub.takeEvents();
            }
            allocations = allocationsWhileCounting.load();
        });
    allocationsWhileCounting = 0;
    audio.join();
    EXPECT_EQ (allocations, 0);
    juce::Thread::sleep (50);
    const auto sent = recorder.taken();
    const auto dumps =
        std::count_if (sent.begin(), sent.end(),
                       [&dump] (const auto& m)
                       { return m.bytes.size() == 256 && std::equal (m.bytes.begin(), m.bytes.end(), dump.begin()); });
    EXPECT_GE (dumps, 10) << "the dumps went through (the flood fills the queue at times)";
}

#include "core/RavlinAudioProcessor.h"
#include "support/TransportPlayHead.h"

TEST (RealtimeSend, TenThousandProcessorBlocksWithClockThruAndAutomationAllocateNothing)
{
    juce::ScopedJuceInitialiser_GUI messageThread;
    RavlinAudioProcessor processor (std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File());
    auto& hub = processor.getHub();
    hub.selectOutputPort (1);
    hub.clockOption = true;
    hub.thruHostToPort = true;
    hub.thruPortToHost = true;

    ravlin::test::TransportPlayHead playHead;
    playHead.playInto (processor, 128.0, 0.0, 48000.0, 512);

    juce::AudioBuffer<float> audio (2, 512);
    juce::MidiBuffer midi;
    midi.ensureSize (8192);
    const auto dump = ravlin::packProgramDump (ravlin::Bytes (1024, 0x21), 2, 3);
    auto runBlock = [&] (int n)
    {
        midi.clear();
        for (int i = 0; i < 16; ++i)
            midi.addEvent (i % 2 == 0 ? juce::MidiMessage::noteOn (1, 40 + i, (juce::uint8)100)
                                      : juce::MidiMessage::noteOff (1, 39 + i),
                           i * 30);
        if (n % 16 == 0)
            midi.addEvent (dump.data(), (int)dump.size(), 480);
        hub.handleIncomingMidiMessage (nullptr, juce::MidiMessage::controllerEvent (1, 74, n & 0x7F));
        // Host automation arrives on the audio thread in most hosts.
        processor.getSlotParameter (n % 300).setValue ((float)(n % 17) / 16.0f);
        processor.processBlock (audio, midi);
        playHead.advance (512, 48000.0);
    };

    for (int n = 0; n < 100; ++n) // warm up
        runBlock (n);
    hub.takeEvents();

    const auto allocations =
        allocationsOnAnAudioThread (0, 10000, runBlock,
                                    [] (int n)
                                    {
                                        if (n % 64 == 0)
                                            std::this_thread::sleep_for (std::chrono::microseconds (100));
                                    });
    processor.setPlayHead (nullptr);

    EXPECT_EQ (allocations, 0);
    EXPECT_GT (processor.getClock().lastPosition, 100.0) << "the clock ran all the while";
    EXPECT_GT (hub.getPorts().getSender().getNumSent() + hub.getPorts().getSender().getNumDropped(), 10000);
}

TEST (RealtimeSend, EveryHostSlotMovingEveryBlockAllocatesNothingAndLosesNothing)
{
    // Automation far beyond what the link carries: the newest value of each parameter waits for
    // the link, so the audio thread neither allocates nor drops anything.
    juce::ScopedJuceInitialiser_GUI messageThread;
    RavlinAudioProcessor processor (std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File());
    auto& hub = processor.getHub();
    hub.setModelChoice (ModelDetector::Choice::module);
    hub.selectOutputPort (1);
    hub.clockOption = true;

    ravlin::test::TransportPlayHead playHead;
    playHead.playInto (processor, 120.0, 0.0, 48000.0, 512);
    juce::AudioBuffer<float> audio (2, 512);
    juce::MidiBuffer midi;
    midi.ensureSize (8192);
    auto runBlock = [&] (int n)
    {
        for (int slot = 0; slot < AutomationTable::numSlots; ++slot)
            processor.getSlotParameter (slot).setValue ((float)((n + slot) % 64) / 63.0f);
        midi.clear();
        processor.processBlock (audio, midi);
        playHead.advance (512, 48000.0);
    };
    for (int n = 0; n < 20; ++n) // warm up
        runBlock (n);
    hub.takeEvents();

    const auto allocations = allocationsOnAnAudioThread (20, 520, runBlock,
                                                         [&hub] (int n)
                                                         {
                                                             if (n % 50 == 0)
                                                                 hub.takeEvents();
                                                         });
    processor.setPlayHead (nullptr);

    EXPECT_EQ (allocations, 0);
    EXPECT_EQ (hub.getPorts().getSender().getNumDropped(), 0);
    EXPECT_GT (hub.linkBacklogMilliseconds(), 1000.0) << "most parameters still wait for the link";
}
