#include "core/RavlinAudioProcessor.h"
#include "support/FakeMidiDevices.h"

#include <benchmark/benchmark.h>

#include <fstream>

namespace
{
class PlayingHead : public juce::AudioPlayHead
{
public:
    juce::Optional<PositionInfo> getPosition() const override { return info; }
    PositionInfo info;
};

/** One 512-sample block at 48 kHz with the clock on and 16 host MIDI events. */
void processOneBlock (benchmark::State& state)
{
    juce::ScopedJuceInitialiser_GUI messageThread;
    RavlinAudioProcessor processor (std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File());
    auto& hub = processor.getHub();
    hub.selectOutputPort (1);
    hub.clockOption = true;
    hub.thruHostToPort = true;
    PlayingHead playHead;
    playHead.info.setBpm (120.0);
    playHead.info.setIsPlaying (true);
    playHead.info.setPpqPosition (0.0);
    processor.setPlayHead (&playHead);
    processor.setRateAndBufferSizeDetails (48000.0, 512);
    processor.prepareToPlay (48000.0, 512);

    juce::AudioBuffer<float> audio (2, 512);
    juce::MidiBuffer midi;
    midi.ensureSize (4096);
    int n = 0;
    for (auto _ : state)
    {
        state.PauseTiming();
        midi.clear();
        for (int i = 0; i < 16; ++i)
            midi.addEvent (juce::MidiMessage::noteOn (1, 40 + i, (juce::uint8)(i % 2 == 0 ? 100 : 0)), i * 32);
        playHead.info.setPpqPosition (n++ * 512 * 2.0 / 48000.0);
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
