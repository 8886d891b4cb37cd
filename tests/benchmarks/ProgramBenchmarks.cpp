#include "core/ProgramHistory.h"
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

#include "core/MidiCntrState.h"
#include "library/DefaultLibraryFile.h"
#include "library/FileMan.h"
#include "library/LibraryFile.h"
#include "library/ProgramLibrary.h"
#include "support/FakeMidiDevices.h"

namespace
{
juce::File benchFolder()
{
    auto f = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("ravlin-bench-library");
    f.createDirectory();
    return f;
}

std::vector<ravlin::Bytes> distinctRecords (int n)
{
    std::vector<ravlin::Bytes> records;
    for (int i = 0; i < n; ++i)
    {
        ravlin::Bytes r (1024, (uint8_t)(i & 0x7F));
        r[0] = (uint8_t)(i >> 7), r[1] = (uint8_t)(i & 0x7F);
        r[426] = (uint8_t)(i % 26);
        DSI_Program::writeName (r.data() + 402, "Record " + juce::String (i));
        records.push_back (std::move (r));
    }
    return records;
}

/** A file of 792 program dumps (all eight banks) read through the bank reader. */
void loadBankStream (benchmark::State& state)
{
    const auto file = benchFolder().getChildFile ("all.syx");
    ravlin::Bytes stream;
    for (int i = 0; i < 792; ++i)
    {
        const auto d = ravlin::packProgramDump (ravlin::Bytes (1024, (uint8_t)(i & 0x7F)), i / 99, i % 99);
        stream.insert (stream.end(), d.begin(), d.end());
    }
    file.replaceWithData (stream.data(), stream.size());
    for (auto _ : state)
    {
        FileMan fm;
        benchmark::DoNotOptimize (fm.readProgramBank (file));
    }
}

struct NoHost : public ProgramLibrary::Host
{
    void ask (const ProgramLibrary::Question&, std::function<void (const ProgramLibrary::Answer&)>) override {}
    void chooseFile (int, const juce::String&, std::function<void (juce::File)> chosen) override { chosen (file); }
    void applyProgramChunk (const ravlin::Bytes&) override {}
    juce::File file;
};

/** "From Library File" with 5,000 distinct records, duplicates test included. */
void loadLibraryFile (benchmark::State& state)
{
    juce::ScopedJuceInitialiser_GUI messageThread;
    MidiCntrState hub (std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File());
    NoHost host;
    host.file = benchFolder().getChildFile ("big.p12l");
    LibraryFile::write (host.file, distinctRecords (5000));
    for (auto _ : state)
    {
        ProgramLibrary library (host, hub);
        library.load (ProgramLibrary::fromLibraryFile);
        benchmark::DoNotOptimize (library.size());
    }
}

/** ADD CURRENT's duplicate test against 5,000 records, for a program that is not among them. */
void duplicateTest (benchmark::State& state)
{
    juce::ScopedJuceInitialiser_GUI messageThread;
    MidiCntrState hub (std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File());
    NoHost host;
    ProgramLibrary library (host, hub);
    ravlin::Bytes block;
    for (const auto& r : distinctRecords (5000))
        block.insert (block.end(), r.begin(), r.end());
    library.setRecords (block);
    auto probe = distinctRecords (5001).back();
    for (auto _ : state)
        benchmark::DoNotOptimize (library.containsDuplicate (probe.data()));
}
/** A default library of 100,000 records written after one change, as the editor does shortly
    after every change: arg 0 with the file as this instance left it, arg 1 after another instance
    wrote it (read and merged first). */
void defaultLibraryAfterAChange (benchmark::State& state)
{
    const auto folder = benchFolder().getChildFile ("default-100k");
    folder.deleteRecursively();
    folder.createDirectory();
    ravlin::Bytes records ((size_t)100000 * 1024);
    for (size_t n = 0; n < 100000; ++n)
        for (size_t i = 0; i < 3; ++i)
            records[n * 1024 + i] = (uint8_t)((n >> (7 * i)) & 0x7F);
    LibraryFile::writeBlock (folder.getChildFile (DefaultLibraryFile::fileName), records);
    DefaultLibraryFile mine, other;
    mine.load (folder);
    uint8_t turn = 0;
    for (auto _ : state)
    {
        state.PauseTiming();
        if (state.range (0) == 1)
        {
            auto theirs = other.load (folder);
            theirs[5] = ++turn & 0x7F;
            other.save (folder, theirs);
        }
        records[1024 * 500 + 7] = ++turn & 0x7F;
        state.ResumeTiming();
        benchmark::DoNotOptimize (mine.save (folder, records));
    }
    folder.deleteRecursively();
}

/** The undo history's look at the program (ten times a second): unchanged, and one knob moved. */
void historyUnchanged (benchmark::State& state)
{
    ProgramHistory history;
    const auto image = distinctRecords (1).front();
    history.observe (image, 0);
    for (auto _ : state)
        benchmark::DoNotOptimize (history.observe (image, 0));
}

void historyKnobTurn (benchmark::State& state)
{
    ProgramHistory history;
    auto image = distinctRecords (1).front();
    history.observe (image, 0);
    juce::uint32 now = 0;
    for (auto _ : state)
    {
        image[85] = (uint8_t)(image[85] + 1);
        now += 10000; // a new step each time, the list kept full
        benchmark::DoNotOptimize (history.observe (image, now));
    }
}
} // namespace

BENCHMARK (historyUnchanged);
BENCHMARK (historyKnobTurn);
BENCHMARK (loadBankStream)->Unit (benchmark::kMillisecond);
BENCHMARK (loadLibraryFile)->Unit (benchmark::kMillisecond);
BENCHMARK (duplicateTest)->Unit (benchmark::kMicrosecond);
BENCHMARK (defaultLibraryAfterAChange)->Arg (0)->Arg (1)->Unit (benchmark::kMillisecond)->Iterations (5);
