#include "instrument/DSI_Program.h"
#include "instrument/ParameterNames.h"
#include "library/ProgramQuery.h"
#include "library/ProgramSearch.h"

#include <benchmark/benchmark.h>

#include <random>

namespace
{
constexpr size_t records = 100000;

/** A library of 100,000 records of random bytes, with names, a quarter of them "Pad"s. */
const ravlin::Bytes& library()
{
    static const ravlin::Bytes block = []
    {
        std::mt19937 rng (12);
        ravlin::Bytes bytes (records * 1024);
        for (auto& b : bytes)
            b = (uint8_t)(rng() & 0x7F);
        for (size_t n = 0; n < records; ++n)
            DSI_Program::writeName (bytes.data() + n * 1024 + DSI_Program::nameOffset,
                                    (n % 4 == 0 ? "Warm Pad " : "Lead ") + juce::String ((int)n));
        return bytes;
    }();
    return block;
}

void searchLibrary (benchmark::State& state, const char* text)
{
    const auto& block = library();
    ProgramQuery query;
    if (!query.parse (text))
    {
        state.SkipWithError (query.error().describe().toRawUTF8());
        return;
    }
    size_t found = 0;
    for (auto _ : state)
    {
        found = ProgramSearch::inRecords (query, block.data(), block.size()).size();
        benchmark::DoNotOptimize (found);
    }
    state.SetItemsProcessed ((int64_t)(state.iterations() * records));
    state.SetLabel ("100000 records, " + std::to_string (found) + " found");
}

void parseQuery (benchmark::State& state)
{
    for (auto _ : state)
    {
        ProgramQuery query;
        benchmark::DoNotOptimize (query.parse ("osc1.shape = Sawtooth and arp.on = On and lpf.freq > 100"));
    }
}
} // namespace

BENCHMARK_CAPTURE (searchLibrary, threeTerms, "osc1.shape = Sawtooth and arp.on = On and lpf.freq > 100")
    ->Unit (benchmark::kMillisecond);
BENCHMARK_CAPTURE (searchLibrary, nameAndOr,
                   "name contains \"pad\" and (b.lfo1.dest = \"LPF Cutoff\" or mod1.src = LFO 1 or osc2.level < 20)")
    ->Unit (benchmark::kMillisecond);
BENCHMARK (parseQuery)->Unit (benchmark::kMicrosecond);
