// The MIDI monitor's cost per message: writing to its log on the sending and receiving threads,
// and turning an entry into words on the panel's timer.

#include "core/MidiMonitorDecoder.h"
#include "instrument/ProgramPacking.h"

#include <benchmark/benchmark.h>

namespace
{
using Direction = MidiMonitorLog::Direction;

/** Empties the log now and then, outside the timing, as the panel's timer does. */
void drain (benchmark::State& state, MidiMonitorLog& log, int& written)
{
    if (++written < MidiMonitorLog::capacity)
        return;
    state.PauseTiming();
    MidiMonitorLog::Entry entry;
    while (log.read (entry))
    {
    }
    written = 0;
    state.ResumeTiming();
}

void monitorWriteShortMessage (benchmark::State& state)
{
    MidiMonitorLog log;
    log.setEnabled (true);
    const uint8_t controller[] = {0xB0, 38, 64};
    int written = 0;
    for (auto _ : state)
    {
        benchmark::DoNotOptimize (log.record (Direction::out, controller, 3, 1.0));
        drain (state, log, written);
    }
    state.SetItemsProcessed (state.iterations());
}
BENCHMARK (monitorWriteShortMessage);

void monitorWriteWhileOff (benchmark::State& state)
{
    MidiMonitorLog log;
    const uint8_t controller[] = {0xB0, 38, 64};
    for (auto _ : state)
        benchmark::DoNotOptimize (log.record (Direction::out, controller, 3, 1.0));
    state.SetItemsProcessed (state.iterations());
}
BENCHMARK (monitorWriteWhileOff);

void monitorWriteProgramDumpInPieces (benchmark::State& state)
{
    MidiMonitorLog log;
    log.setEnabled (true);
    MidiMonitorLog::Writer wire (log, Direction::out);
    const auto dump = ravlin::packProgramDump (ravlin::Bytes (1024, 0x41), 1, 13);
    int written = 0;
    for (auto _ : state)
    {
        for (size_t at = 0; at < dump.size(); at += 256)
            wire.write (dump.data() + at, (int)std::min ((size_t)256, dump.size() - at), 1.0);
        drain (state, log, written);
    }
    state.SetItemsProcessed (state.iterations());
}
BENCHMARK (monitorWriteProgramDumpInPieces);

void monitorDecode (benchmark::State& state, std::vector<uint8_t> message)
{
    const ravlin::ParameterTable table;
    MidiMonitorDecoder decoder (table);
    MidiMonitorLog::Entry entry;
    MidiMonitorLog::begin (entry, Direction::in, 1.0);
    MidiMonitorLog::append (entry, message.data(), (int)message.size());
    for (auto _ : state)
        benchmark::DoNotOptimize (decoder.decode (entry));
    state.SetItemsProcessed (state.iterations());
}
const std::vector<uint8_t> nrpnMessage{0xB0, 99, 0, 0xB0, 98, 106, 0xB0, 6, 0, 0xB0, 38, 64};
const std::vector<uint8_t> noteMessage{0x90, 60, 100};
BENCHMARK_CAPTURE (monitorDecode, nrpn, nrpnMessage);
BENCHMARK_CAPTURE (monitorDecode, note, noteMessage);
BENCHMARK_CAPTURE (monitorDecode, programDump, ravlin::packProgramDump (ravlin::Bytes (1024, 0x41), 1, 13));
} // namespace
