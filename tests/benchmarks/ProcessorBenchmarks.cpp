#include "core/RavlinAudioProcessor.h"
#include "support/FakeMidiDevices.h"
#include "support/TransportPlayHead.h"

#include <benchmark/benchmark.h>

#include <fstream>

namespace
{

/** One 512-sample block at 48 kHz with the clock on and 16 host MIDI events. */
void processOneBlock (benchmark::State& state)
{
    juce::ScopedJuceInitialiser_GUI messageThread;
    RavlinAudioProcessor processor (std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File());
    auto& hub = processor.getHub();
    hub.selectOutputPort (1);
    hub.clockOption = true;
    hub.thruHostToPort = true;
    ravlin::test::TransportPlayHead playHead;
    playHead.playInto (processor, 120.0, 0.0, 48000.0, 512);

    juce::AudioBuffer<float> audio (2, 512);
    juce::MidiBuffer midi;
    midi.ensureSize (4096);
    int n = 0;
    for (auto _ : state)
    {
        state.PauseTiming();
        midi.clear();
        for (int i = 0; i < 16; ++i)
            midi.addEvent (juce::MidiMessage::noteOn (1, 40 + i, (juce::uint8) (i % 2 == 0 ? 100 : 0)), i * 32);
        playHead.advance (512, 48000.0);
        state.ResumeTiming();
        processor.processBlock (audio, midi);
    }
    processor.setPlayHead (nullptr);
}

long residentKilobytes()
{
    std::ifstream statm ("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * 4;
}

/** The VST 2.4 binary as a host loads it: the time from instantiating to the first processed
    block, and the memory one more instance takes once the library is loaded. */
void instantiateVst2 (benchmark::State& state)
{
    juce::ScopedJuceInitialiser_GUI messageThread;
    juce::VSTPluginFormat format;
    juce::OwnedArray<juce::PluginDescription> found;
    format.findAllTypesForFile (found, RAVLIN_VST2_PATH);
    if (found.isEmpty())
    {
        state.SkipWithError ("the VST 2.4 binary did not load");
        return;
    }

    std::vector<std::unique_ptr<juce::AudioPluginInstance>> kept;
    juce::String firstError;
    kept.push_back (format.createInstanceFromDescription (*found[0], 48000.0, 512, firstError));
    const auto before = residentKilobytes();
    for (auto _ : state)
    {
        juce::String error;
        auto instance = format.createInstanceFromDescription (*found[0], 48000.0, 512, error);
        instance->prepareToPlay (48000.0, 512);
        juce::AudioBuffer<float> audio (2, 512);
        juce::MidiBuffer midi;
        instance->processBlock (audio, midi);
        state.PauseTiming();
        kept.push_back (std::move (instance));
        state.ResumeTiming();
    }
    // Averaged over the instances made, each one prepared and run once.
    state.counters["resident_MB_per_instance"] =
        (double)(residentKilobytes() - before) / 1024.0 / (double)std::max<int64_t> (1, state.iterations());
}
} // namespace

BENCHMARK (processOneBlock)->Unit (benchmark::kMicrosecond);
BENCHMARK (instantiateVst2)->Iterations (20)->Unit (benchmark::kMillisecond)->UseRealTime();

namespace
{
juce::File benchmarkFolder()
{
    auto folder = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("ravlin-benchmark-files");
    folder.createDirectory();
    return folder;
}

/** With the settings, banks, ports and default preset files all present. */
void constructHubWithFiles (benchmark::State& state)
{
    juce::ScopedJuceInitialiser_GUI messageThread;
    const auto folder = benchmarkFolder();
    {
        MidiCntrState first (std::make_unique<ravlin::test::FakeMidiDevices>(), folder); // writes them
    }
    ravlin::Bytes preset;
    for (auto c : juce::String ("Prophet12RavlinSettingsVersion100"))
        preset.push_back ((uint8_t)c);
    preset.resize (1057, 1);
    SettingsFiles (folder).defaultPresetFile().getParentDirectory().createDirectory();
    SettingsFiles (folder).defaultPresetFile().replaceWithData (preset.data(), preset.size());

    for (auto _ : state)
    {
        auto hub = std::make_unique<MidiCntrState> (std::make_unique<ravlin::test::FakeMidiDevices>(), folder);
        benchmark::DoNotOptimize (hub->presetProgramIndex.load());
        state.PauseTiming(); // its destruction saves the files again
        hub.reset();
        state.ResumeTiming();
    }
    folder.deleteRecursively();
}

void saveBanksFile (benchmark::State& state)
{
    juce::ScopedJuceInitialiser_GUI messageThread;
    const auto folder = benchmarkFolder();
    MidiCntrState hub (std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File());
    const SettingsFiles files (folder);
    for (auto _ : state)
        benchmark::DoNotOptimize (files.saveBanks (hub.banks));
    folder.deleteRecursively();
}
} // namespace

BENCHMARK (constructHubWithFiles)->Unit (benchmark::kMillisecond)->Iterations (20);
BENCHMARK (saveBanksFile)->Unit (benchmark::kMillisecond);
