#include "instrument/ProgramPacking.h"

#include <gtest/gtest.h>

#include <random>

using namespace ravlin;

namespace
{
Bytes randomImage (std::mt19937& rng)
{
    Bytes image ((size_t)sysex::imageSize);
    std::uniform_int_distribution<int> byte (0, 255);
    for (auto& b : image)
        b = (uint8_t)byte (rng);
    return image;
}

Bytes unpack (const uint8_t* packed, size_t length)
{
    Bytes image ((size_t)sysex::imageSize, 0xAA);
    unpackImage (packed, length, image.data());
    return image;
}
} // namespace

TEST (ProgramPacking, RoundTripOverRandomImages)
{
    std::mt19937 rng (12);
    for (int round = 0; round < 200; ++round)
    {
        auto image = randomImage (rng);
        if (round == 0)
            image[1022] = 0xFF, image[1023] = 0x80;

        Bytes packed ((size_t)sysex::packedSize);
        packImage (image.data(), packed.data());

        for (auto b : packed)
            ASSERT_LT (b, 0x80) << "packed data must be 7-bit";
        ASSERT_EQ (unpack (packed.data(), packed.size()), image);
    }
}

TEST (ProgramPacking, LayoutOfHeadersAndTheShortLastGroup)
{
    Bytes image ((size_t)sysex::imageSize, 0x7F);
    Bytes packed ((size_t)sysex::packedSize);
    packImage (image.data(), packed.data());
    for (size_t g = 0; g < 146; ++g)
        EXPECT_EQ (packed[8 * g], 0) << "group " << g;
    EXPECT_EQ (packed[1168], 0);

    image[0] = 0x80;    // group 0, bit 0
    image[13] = 0x81;   // group 1, bit 6
    image[1023] = 0xC0; // last group, bit 1
    packImage (image.data(), packed.data());
    EXPECT_EQ (packed[0], 0x01);
    EXPECT_EQ (packed[1], 0x00);
    EXPECT_EQ (packed[8], 0x40);
    EXPECT_EQ (packed[15], 0x01);
    EXPECT_EQ (packed[1168], 0x02);
    EXPECT_EQ (packed[1170], 0x40);
}

TEST (ProgramPacking, ShortPackedInputReadsZeros)
{
    Bytes image ((size_t)sysex::imageSize, 0xFF);
    Bytes packed ((size_t)sysex::packedSize);
    packImage (image.data(), packed.data());

    const auto partial = unpack (packed.data(), 16); // two whole groups
    for (size_t i = 0; i < 14; ++i)
        EXPECT_EQ (partial[i], 0xFF);
    for (size_t i = 14; i < partial.size(); ++i)
        ASSERT_EQ (partial[i], 0) << "position " << i;

    EXPECT_EQ (unpack (nullptr, 0), Bytes ((size_t)sysex::imageSize, 0));
}

TEST (ProgramPacking, DumpsAndRequests)
{
    std::mt19937 rng (3);
    const auto image = randomImage (rng);

    const auto edit = packEditBufferDump (image);
    ASSERT_EQ (edit.size(), 1176u);
    EXPECT_EQ (Bytes (edit.begin(), edit.begin() + 4), (Bytes{0xF0, 0x01, 0x2B, 0x03}));
    EXPECT_EQ (edit.back(), 0xF7);
    EXPECT_EQ (unpack (edit.data() + 4, 1171), image);

    const auto dump = packProgramDump (image, 5, 98);
    ASSERT_EQ (dump.size(), 1178u);
    EXPECT_EQ (Bytes (dump.begin(), dump.begin() + 6), (Bytes{0xF0, 0x01, 0x2B, 0x02, 5, 98}));
    EXPECT_EQ (unpack (dump.data() + 6, 1171), image);

    // A short image is padded with zeros, never read past.
    const Bytes shortImage (10, 0x90);
    const auto padded = unpack (packEditBufferDump (shortImage).data() + 4, 1171);
    EXPECT_EQ (padded[9], 0x90);
    EXPECT_EQ (padded[10], 0);

    EXPECT_EQ (requestProgramDump (2, 17), (Bytes{0xF0, 0x01, 0x2B, 0x05, 2, 17, 0xF7}));
    EXPECT_EQ (requestEditBufferDump(), (Bytes{0xF0, 0x01, 0x2B, 0x06, 0xF7}));
    EXPECT_EQ (requestGlobalParameters(), (Bytes{0xF0, 0x01, 0x2B, 0x0E, 0xF7}));
}

TEST (ProgramPacking, SplitFindsDumpsOnlyWhereTheirEndIsExact)
{
    std::mt19937 rng (5);
    const auto a = packProgramDump (randomImage (rng), 0, 0);
    const auto b = packProgramDump (randomImage (rng), 0, 1);

    Bytes stream;
    for (uint8_t b : {0x00, 0xF0, 0x01}) // a stray start, nothing behind it
        stream.push_back (b);
    stream.insert (stream.end(), a.begin(), a.end());
    const Bytes other{0xF0, 0x01, 0x2B, 0x5C, 0x10, 0xF7}; // another message between dumps
    stream.insert (stream.end(), other.begin(), other.end());
    stream.insert (stream.end(), b.begin(), b.end());
    stream.push_back (0xF0); // truncated tail

    const auto found = splitProgramDumps (stream);
    ASSERT_EQ (found.count, 2);
    EXPECT_EQ (Bytes (found.joined.begin(), found.joined.begin() + 1178), a);
    EXPECT_EQ (Bytes (found.joined.begin() + 1178, found.joined.end()), b);

    auto broken = a;
    broken[1177] = 0x00; // the F7 is one byte late
    broken.push_back (0xF7);
    EXPECT_EQ (splitProgramDumps (broken).count, 0);

    EXPECT_EQ (splitProgramDumps (Bytes{}).count, 0);
    EXPECT_EQ (splitProgramDumps (Bytes (1177, 0xF0)).count, 0);
}

TEST (ProgramPacking, SplitOfAFullFactoryStyleFile)
{
    // 396 keyboard-model dumps followed by an unrelated 325-byte message.
    std::mt19937 rng (9);
    Bytes stream;
    for (int bank = 0; bank < 4; ++bank)
        for (int program = 0; program < 99; ++program)
        {
            auto dump = packProgramDump (randomImage (rng), bank, program);
            dump[2] = 0x2A;
            stream.insert (stream.end(), dump.begin(), dump.end());
        }
    Bytes tail (325, 0x11);
    tail.front() = 0xF0, tail[3] = 0x5C, tail.back() = 0xF7;
    stream.insert (stream.end(), tail.begin(), tail.end());

    const auto found = splitProgramDumps (stream);
    EXPECT_EQ (found.count, 396);
    EXPECT_EQ (found.joined.size(), 396u * 1178u);
}
