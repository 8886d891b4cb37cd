#include "instrument/ProgramPacking.h"

#include <benchmark/benchmark.h>

#include <random>

using namespace ravlin;

namespace
{
Bytes randomImage (uint32_t seed)
{
    std::mt19937 rng (seed);
    Bytes image ((size_t)sysex::imageSize);
    for (auto& b : image)
        b = (uint8_t)(rng() & 0xFF);
    return image;
}

void unpackOne (benchmark::State& state)
{
    Bytes packed ((size_t)sysex::packedSize);
    packImage (randomImage (1).data(), packed.data());
    Bytes image ((size_t)sysex::imageSize);
    for (auto _ : state)
    {
        unpackImage (packed.data(), packed.size(), image.data());
        benchmark::DoNotOptimize (image.data());
    }
}

void packOne (benchmark::State& state)
{
    const auto image = randomImage (2);
    Bytes packed ((size_t)sysex::packedSize);
    for (auto _ : state)
    {
        packImage (image.data(), packed.data());
        benchmark::DoNotOptimize (packed.data());
    }
}

void splitAllBanks (benchmark::State& state)
{
    Bytes stream;
    for (int n = 0; n < 792; ++n)
    {
        const auto dump = packProgramDump (randomImage ((uint32_t)n), n / 99, n % 99);
        stream.insert (stream.end(), dump.begin(), dump.end());
    }
    for (auto _ : state)
    {
        auto found = splitProgramDumps (stream);
        benchmark::DoNotOptimize (found.count);
    }
    state.SetLabel ("792 dumps");
}
} // namespace

BENCHMARK (unpackOne);
BENCHMARK (packOne);
BENCHMARK (splitAllBanks)->Unit (benchmark::kMicrosecond);
