#include "midi/TimedMidiSender.h"
#include "support/FakeMidiDevices.h"

#include <gtest/gtest.h>

using ravlin::test::RecordingOutput;

namespace
{
bool waitFor (RecordingOutput& out, size_t count, int timeoutMs = 3000)
{
    const auto end = juce::Time::getMillisecondCounterHiRes() + timeoutMs;
    while (out.count() < count && juce::Time::getMillisecondCounterHiRes() < end)
        juce::Thread::sleep (1);
    return out.count() >= count;
}
} // namespace

TEST (TimedMidiSender, DeliversInDueTimeOrderNotQueueOrder)
{
    RecordingOutput out;
    TimedMidiSender sender (out);
    const auto start = TimedMidiSender::now() + 30;

    for (int k : {5, 1, 4, 2, 3, 0})
    {
        const uint8_t note[3] = {0x90, (uint8_t)k, 100};
        ASSERT_TRUE (sender.schedule (note, 3, start + 4 * k));
    }
    const uint8_t same[3] = {0x90, 50, 1};
    const uint8_t sameLater[3] = {0x90, 51, 1};
    sender.schedule (same, 3, start + 40);
    sender.schedule (sameLater, 3, start + 40);

    sender.startSending();
    ASSERT_TRUE (waitFor (out, 8));
    const auto sent = out.taken();
    for (int k = 0; k < 6; ++k)
    {
        EXPECT_EQ (sent[(size_t)k].bytes[1], k);
        EXPECT_GE (sent[(size_t)k].time, start + 4 * k - 0.01) << "never early";
    }
    EXPECT_EQ (sent[6].bytes[1], 50) << "equal times keep their queue order";
    EXPECT_EQ (sent[7].bytes[1], 51);
    EXPECT_EQ (sender.getNumSent(), 8);
}

TEST (TimedMidiSender, BlocksUseTheirRateAndSysExKeepsItsBytes)
{
    RecordingOutput out;
    TimedMidiSender sender (out);
    sender.startSending();

    juce::MidiBuffer buffer;
    buffer.addEvent (juce::MidiMessage::noteOn (1, 60, (juce::uint8)100), 0);
    buffer.addEvent (juce::MidiMessage::noteOff (1, 60), 4410); // 100 ms at 44.1 kHz
    const uint8_t sysex[] = {0xF0, 0x01, 0x2B, 0x06, 0xF7};
    buffer.addEvent (sysex, (int)sizeof (sysex), 2205);

    const auto start = TimedMidiSender::now();
    sender.scheduleBlock (buffer, start, 44100.0);
    ASSERT_TRUE (waitFor (out, 3));
    const auto sent = out.taken();
    EXPECT_EQ (sent[0].bytes[0], 0x90);
    EXPECT_EQ (sent[1].bytes, std::vector<uint8_t> (sysex, sysex + sizeof (sysex)));
    EXPECT_EQ (sent[2].bytes[0], 0x80);
    // Never early; late only by what a busy machine takes to wake the sender (a misread rate or
    // offset would be off by far more).
    EXPECT_GE (sent[1].time - start, 50.0 - 0.01);
    EXPECT_LT (sent[1].time - start, 90.0);
    EXPECT_GE (sent[2].time - start, 100.0 - 0.01);
    EXPECT_LT (sent[2].time - start, 140.0);
}

TEST (TimedMidiSender, AFullQueueDropsAndCountsInsteadOfWaiting)
{
    RecordingOutput out;
    TimedMidiSender sender (out); // not started: nothing drains the queue
    const uint8_t clock[1] = {0xF8};
    int accepted = 0;
    for (int i = 0; i < TimedMidiSender::capacity + 100; ++i)
        accepted += sender.schedule (clock, 1, 0) ? 1 : 0;
    EXPECT_EQ (accepted, TimedMidiSender::capacity);
    EXPECT_EQ (sender.getNumDropped(), 100);

    std::vector<uint8_t> tooLong (TimedMidiSender::maxMessageSize + 1, 0x10);
    EXPECT_FALSE (sender.schedule (tooLong.data(), (int)tooLong.size(), 0));
    EXPECT_FALSE (sender.schedule (nullptr, 3, 0));

    sender.clearPending();
    EXPECT_TRUE (sender.schedule (clock, 1, 0));
    sender.startSending();
    ASSERT_TRUE (waitFor (out, 1));
    juce::Thread::sleep (20);
    EXPECT_EQ (out.count(), 1u) << "cleared events are never sent";
}

TEST (TimedMidiSender, ManyProducersLoseNothing)
{
    RecordingOutput out;
    TimedMidiSender sender (out);
    sender.startSending();

    constexpr int perThread = 1500;
    std::vector<std::thread> producers;
    for (int t = 0; t < 3; ++t)
        producers.emplace_back (
            [&sender, t]
            {
                for (int i = 0; i < perThread; ++i)
                {
                    const uint8_t cc[3] = {(uint8_t)(0xB0 | t), (uint8_t)(i & 0x7F), (uint8_t)(i >> 7)};
                    while (!sender.schedule (cc, 3, TimedMidiSender::now()))
                        std::this_thread::yield();
                }
            });
    for (auto& p : producers)
        p.join();

    ASSERT_TRUE (waitFor (out, 3 * perThread));
    int next[3] = {};
    for (const auto& s : out.taken())
    {
        const int t = s.bytes[0] & 0x0F;
        EXPECT_EQ ((s.bytes[1] | (s.bytes[2] << 7)), next[t]++) << "one producer's events stay in order";
    }
}

TEST (TimedMidiSender, LongMessagesGoOutWholeWhileOtherThreadsSend)
{
    RecordingOutput out;
    TimedMidiSender sender (out);
    sender.startSending();

    std::vector<uint8_t> dump (1178);
    for (size_t i = 0; i < dump.size(); ++i)
        dump[i] = (uint8_t)(i & 0x7F);
    dump.front() = 0xF0, dump.back() = 0xF7;

    constexpr int dumps = 60, controllers = 2000;
    std::thread dumper (
        [&]
        {
            for (int i = 0; i < dumps; ++i)
                while (!sender.schedule (dump.data(), (int)dump.size(), TimedMidiSender::now()))
                    std::this_thread::yield();
        });
    std::thread player (
        [&]
        {
            for (int i = 0; i < controllers; ++i)
            {
                const uint8_t cc[3] = {0xB0, 1, (uint8_t)(i & 0x7F)};
                while (!sender.schedule (cc, 3, TimedMidiSender::now()))
                    std::this_thread::yield();
            }
        });
    dumper.join();
    player.join();
    ASSERT_TRUE (waitFor (out, (size_t)(dumps * 5 + controllers)));

    // The pieces of each dump follow each other, and together they are the dump.
    const auto sent = out.taken();
    int whole = 0;
    for (size_t i = 0; i < sent.size(); ++i)
    {
        if (sent[i].bytes[0] != 0xF0)
            continue;
        std::vector<uint8_t> joined;
        for (size_t k = i; k < i + 5 && k < sent.size(); ++k)
            joined.insert (joined.end(), sent[k].bytes.begin(), sent[k].bytes.end());
        ASSERT_EQ (joined, dump) << "dump at message " << i;
        ++whole;
    }
    EXPECT_EQ (whole, dumps);
    EXPECT_EQ (sender.getNumSent(), dumps + controllers) << "a long message counts once";
    EXPECT_EQ (sender.getNumDropped(), 0);
}

TEST (TimedMidiSender, ALongMessageWaitsWholeWhenTheSenderIsNearlyFull)
{
    // The sender holds nearly as many events as it can, due later; a dump and an earlier
    // controller then queue up. The dump must still go out in one piece.
    RecordingOutput out;
    TimedMidiSender sender (out);
    const auto soon = TimedMidiSender::now() + 300;
    for (int i = 0; i < TimedMidiSender::capacity - 3; ++i)
    {
        const uint8_t cc[3] = {0xB1, 7, (uint8_t)(i & 0x7F)};
        ASSERT_TRUE (sender.schedule (cc, 3, soon));
    }
    std::vector<uint8_t> dump (1178, 0x22);
    dump.front() = 0xF0, dump.back() = 0xF7;
    const uint8_t early[3] = {0xB0, 1, 99};
    // Once the sender has taken those in (three places left), the dump and an earlier controller.
    bool queued = false;
    for (int attempt = 0; attempt < 100 && !queued; ++attempt)
    {
        sender.startSending();
        juce::Thread::sleep (20);
        sender.stopSending();
        queued = sender.schedule (dump.data(), (int)dump.size(), TimedMidiSender::now());
    }
    ASSERT_TRUE (queued);
    ASSERT_TRUE (sender.schedule (early, 3, TimedMidiSender::now() - 5));
    sender.startSending();
    ASSERT_TRUE (waitFor (out, (size_t)TimedMidiSender::capacity - 3 + 5 + 1, 5000));

    const auto sent = out.taken();
    const auto first = std::find_if (sent.begin(), sent.end(), [] (const auto& m) { return m.bytes[0] == 0xF0; });
    ASSERT_NE (first, sent.end());
    std::vector<uint8_t> joined;
    for (auto m = first; m != sent.end() && m != first + 5; ++m)
        joined.insert (joined.end(), m->bytes.begin(), m->bytes.end());
    EXPECT_EQ (joined, dump) << "nothing between its pieces";
}
