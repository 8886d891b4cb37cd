#include "core/HostBlockRouter.h"
#include "core/MidiCntrState.h"
#include "support/FakeMidiDevices.h"

#include <gtest/gtest.h>

using ravlin::Bytes;

namespace
{
/** A router of its own on a hub without ports: what waits for the host is the router's. */
class Router : public ::testing::Test
{
protected:
    std::vector<Bytes> block (int numSamples, std::vector<int>* positions = nullptr)
    {
        juce::MidiBuffer host;
        router.routeBlock (host, numSamples);
        std::vector<Bytes> result;
        for (const auto m : host)
        {
            result.emplace_back (m.data, m.data + m.numBytes);
            if (positions != nullptr)
                positions->push_back (m.samplePosition);
        }
        return result;
    }

    void toHost (const Bytes& bytes) { router.queueForHost (bytes.data(), (int)bytes.size()); }

    juce::ScopedJuceInitialiser_GUI messageThread;
    MidiCntrState hub{std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File()};
    HostBlockRouter router{hub};
};
} // namespace

TEST_F (Router, HostBoundMessagesAreSpreadOverTheBlockByTheirStamps)
{
    toHost ({0xB0, 20, 1});
    juce::Thread::sleep (30);
    toHost ({0xB0, 20, 2});
    juce::Thread::sleep (30);
    toHost ({0xB0, 20, 3});

    std::vector<int> positions;
    EXPECT_EQ (block (1000, &positions), (std::vector<Bytes>{{0xB0, 20, 1}, {0xB0, 20, 2}, {0xB0, 20, 3}}));
    ASSERT_EQ (positions.size(), 3u);
    EXPECT_EQ (positions[0], 0);
    EXPECT_GT (positions[1], 300);
    EXPECT_LT (positions[1], 700);
    EXPECT_GT (positions[2], 950) << "the last stamp lands near the end of the block";
    EXPECT_LE (positions[2], 999);

    EXPECT_TRUE (block (1000).empty()) << "the queue is emptied into one block";
}

TEST_F (Router, HostBoundMessagesOlderThanHalfASecondAreDropped)
{
    toHost ({0xC0, 3});
    juce::Thread::sleep (600);
    toHost ({0xC0, 4});
    EXPECT_EQ (block (64), (std::vector<Bytes>{{0xC0, 4}}));
}

TEST_F (Router, KeysFromThePortAreHeldUntilReleasedOrCleared)
{
    const std::vector<Bytes> fromPort{{0x90, 60, 100}, {0x91, 64, 90}, {0x90, 60, 0}, {0x90}, {0x80, 67, 0}};
    for (const auto& m : fromPort)
        router.passToHost (m.data(), (int)m.size());
    EXPECT_EQ (router.keyState[60], 0) << "a note-on of velocity 0 releases";
    EXPECT_EQ (router.keyState[64], 1);
    EXPECT_EQ (block (256), fromPort) << "every message goes on to the host, the short one too";

    router.passToHost (fromPort[0].data(), 3);
    router.clearKeysAndQueue();
    EXPECT_EQ (router.keyState[60], 0);
    EXPECT_EQ (router.keyState[64], 0);
    EXPECT_TRUE (block (256).empty()) << "nothing waits for the host";
}
