// Sorting and the duplicate search over a library of 100,000 programs.
#include "instrument/DSI_Program.h"
#include "library/LibraryOrder.h"

#include <benchmark/benchmark.h>

#include <numeric>
#include <random>

namespace
{
constexpr int libraryRecords = 100000;

/** 100,000 records of random sounds with random names and categories; one in ten repeats an
    earlier sound under another name, so the duplicate search has groups to build. */
const ravlin::Bytes& library()
{
    static const ravlin::Bytes block = []
    {
        std::mt19937 rng (12);
        ravlin::Bytes b ((size_t)libraryRecords * 1024);
        for (int n = 0; n < libraryRecords; ++n)
        {
            auto* r = b.data() + (size_t)n * 1024;
            if (n > 0 && rng() % 10 == 0)
                std::copy_n (b.data() + (size_t)(rng() % (uint32_t)n) * 1024, 1024, r);
            else
                for (int i = 0; i < 1024; ++i)
                    r[i] = (uint8_t)(rng() & 0x7F);
            for (int i = 0; i < DSI_Program::nameLength; ++i)
                r[DSI_Program::nameOffset + i] = (uint8_t)('A' + rng() % 26);
            r[DSI_Program::categoryOffset] = (uint8_t)(rng() % 26);
        }
        return b;
    }();
    return block;
}

void sortLibrary (benchmark::State& state)
{
    const auto order = (LibraryMeta::Order)state.range (0);
    const auto& block = library();
    LibraryMeta meta;
    for (int n = 0; n < libraryRecords; n += 7)
        meta.setRating (LibraryMeta::keyOf (block.data() + (size_t)n * 1024), 1 + n % 3);
    std::vector<int> rows ((size_t)libraryRecords);
    for (auto _ : state)
    {
        std::iota (rows.begin(), rows.end(), 0);
        LibraryOrder::sort (rows, block.data(), order, meta);
        benchmark::DoNotOptimize (rows.data());
    }
    state.SetItemsProcessed (state.iterations() * libraryRecords);
    state.SetLabel (LibraryMeta::orderName (order).toStdString());
}

void findDuplicates (benchmark::State& state)
{
    const auto& block = library();
    size_t groups = 0;
    for (auto _ : state)
    {
        const auto found = LibraryOrder::duplicateGroups (block.data(), libraryRecords);
        groups = found.size();
        benchmark::DoNotOptimize (found.data());
    }
    state.SetItemsProcessed (state.iterations() * libraryRecords);
    state.counters["groups"] = (double)groups;
}
} // namespace

BENCHMARK (sortLibrary)
    ->Arg ((int)LibraryMeta::Order::name)
    ->Arg ((int)LibraryMeta::Order::category)
    ->Arg ((int)LibraryMeta::Order::rating)
    ->Unit (benchmark::kMillisecond);
BENCHMARK (findDuplicates)->Unit (benchmark::kMillisecond);
