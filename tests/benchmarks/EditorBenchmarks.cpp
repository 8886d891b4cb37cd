#include "core/RavlinAudioProcessor.h"
#include "support/FakeMidiDevices.h"
#include "ui/controls/RavlinLookAndFeel.h"
#include "ui/editor/EditorPanel.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <unistd.h>

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

namespace
{
long residentKilobytes()
{
    long pages = 0, resident = 0;
    if (auto* f = std::fopen ("/proc/self/statm", "r"))
    {
        if (std::fscanf (f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose (f);
    }
    return resident * (long)sysconf (_SC_PAGESIZE) / 1024;
}

/** From the host's createEditor to the first paint of the whole window, and what it costs in
    memory. */
void openEditor (benchmark::State& state)
{
    juce::ScopedJuceInitialiser_GUI messageThread;
    RavlinAudioProcessor processor (std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File());
    processor.getHub().editorOpenedBefore = true;
    long added = 0;
    for (auto _ : state)
    {
        const auto before = residentKilobytes();
        std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditor());
        juce::Image image (juce::Image::ARGB, editor->getWidth(), editor->getHeight(), true);
        juce::Graphics g (image);
        editor->paintEntireComponent (g, true);
        added = std::max (added, residentKilobytes() - before); // the first opening pays for fonts and caches
        state.PauseTiming();
        editor.reset();
        state.ResumeTiming();
    }
    state.counters["addedMB"] = (double)added / 1024.0;
}
BENCHMARK (openEditor)->Unit (benchmark::kMillisecond)->Iterations (10);

/** One frame of a knob drag: the edit, its event back, the update and the knob's repaint. */
void knobDragFrame (benchmark::State& state)
{
    juce::ScopedJuceInitialiser_GUI messageThread;
    RavlinAudioProcessor processor (std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File());
    RavlinLookAndFeel look;
    EditorPanel panel (processor);
    panel.setLookAndFeel (&look);
    panel.setSize (1200, 708);
    auto* knob = panel.getPanel (0, 3)->findControl (85);
    juce::Image image (juce::Image::ARGB, knob->getWidth(), knob->getHeight(), true);
    int value = 0;
    for (auto _ : state)
    {
        value = (value + 1) % 160;
        knob->userValue (value, false);
        for (auto code : processor.getHub().takeEvents())
            if ((code >> 28) == 1)
                panel.updateParameter ((int)((code >> 8) & 0x7FF), (int)(code & 0xFF), false);
        juce::Graphics g (image);
        knob->paintEntireComponent (g, true);
    }
    panel.setLookAndFeel (nullptr);
}
BENCHMARK (knobDragFrame)->Unit (benchmark::kMillisecond);
} // namespace
