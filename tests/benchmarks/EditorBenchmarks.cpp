#include "core/RavlinAudioProcessor.h"
#include "support/FakeMidiDevices.h"
#include "ui/EditorPanel.h"
#include "ui/RavlinLookAndFeel.h"

#include <benchmark/benchmark.h>

namespace
{
/** Refresh of all 860 addresses after a new program: every value changes each time. */
void refreshAllChanged (benchmark::State& state)
{
    juce::ScopedJuceInitialiser_GUI messageThread;
    RavlinAudioProcessor processor (std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File());
    EditorPanel panel (processor);
    panel.setSize (1200, 708);
    auto program = processor.getHub().getCurrentProgram();
    program.resize (1024, 0);
    int round = 0;
    for (auto _ : state)
    {
        for (size_t i = 0; i < program.size(); ++i)
            program[i] = (uint8_t)((i + (size_t)round) % 100);
        ++round;
        processor.getHub().setCurrentProgram (program);
        panel.refreshAll();
    }
}
BENCHMARK (refreshAllChanged)->Unit (benchmark::kMillisecond);

/** Refresh of the same program again: nothing to repaint. */
void refreshAllUnchanged (benchmark::State& state)
{
    juce::ScopedJuceInitialiser_GUI messageThread;
    RavlinAudioProcessor processor (std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File());
    EditorPanel panel (processor);
    panel.setSize (1200, 708);
    panel.refreshAll();
    for (auto _ : state)
        panel.refreshAll();
}
BENCHMARK (refreshAllUnchanged)->Unit (benchmark::kMillisecond);

/** One full paint of the editor panel at scale 1.0 into an image. */
void paintEditorPanel (benchmark::State& state)
{
    juce::ScopedJuceInitialiser_GUI messageThread;
    RavlinAudioProcessor processor (std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File());
    RavlinLookAndFeel look;
    EditorPanel panel (processor);
    panel.setLookAndFeel (&look);
    panel.setSize (1200, 708);
    panel.refreshAll();
    juce::Image image (juce::Image::ARGB, 1200, 708, true);
    for (auto _ : state)
    {
        juce::Graphics g (image);
        panel.paintEntireComponent (g, true);
    }
    panel.setLookAndFeel (nullptr);
}
BENCHMARK (paintEditorPanel)->Unit (benchmark::kMillisecond);
} // namespace
