// A morph slider dragged across two unrelated programs on a DIN MIDI link, in simulated time: the
// parameters that change with each move wait for the link as host automation does. What the user
// would notice: how much of the wire the drag takes, and how soon the instrument has the last
// position once the mouse stops.
#include "instrument/DSI_Program.h"
#include "instrument/ProgramExplorer.h"
#include "midi/LinkSpeed.h"
#include "midi/PendingParameters.h"
#include "midi/TimedMidiSender.h"

#include <benchmark/benchmark.h>

#include <algorithm>

namespace
{
/** The port: every message with the simulated time it was handed over. */
class SimulatedPort : public MidiOutputDevice
{
public:
    void sendNow (const uint8_t* bytes, int size) override
    {
        times.push_back (time);
        sizes.push_back (size);
        if (size == 3 && (bytes[0] & 0xF0) == 0xB0 && bytes[1] == 38)
            ++valuesApplied;
    }

    double time = 0;
    std::vector<double> times;
    std::vector<int> sizes;
    int valuesApplied = 0;
};
} // namespace

// A drag from 0 to 100 % in two seconds, the mouse moving 60 times a second; then the link runs
// until nothing waits. Counters: what the drag offered and what the wire carried, a second.
static void BM_MorphDragAtDinPace (benchmark::State& state)
{
    const ravlin::ParameterTable table;
    const ravlin::ProgramExplorer explorer (table);
    const auto mask = ravlin::ExploreMask::defaults (table);
    const auto a = explorer.randomise (DSI_Program::defaultImage(), mask, 1);
    const auto b = explorer.randomise (DSI_Program::defaultImage(), mask, 2);
    constexpr int moves = 120;
    constexpr double moveMs = 1000.0 / 60.0, dragMs = moves * moveMs, stepMs = 0.05;

    double offered = 0, wireBytes = 0, applied = 0, appliedDuringDrag = 0, settleMs = 0, moved = 0;
    for (auto _ : state)
    {
        SimulatedPort port;
        TimedMidiSender sender (port);
        sender.setLinkMillisecondsPerByte (LinkSpeed::dinMillisecondsPerByte);
        auto sent = a;
        int offers = 0;
        for (int move = 1; move <= moves; ++move)
        {
            const auto image = explorer.morph (a, b, (double)move / moves);
            for (int i = 0; i < ravlin::ParameterTable::numImageParameters; ++i)
            {
                const auto number = table.nrpnNumber (i);
                if (image[(size_t)i] == sent[(size_t)i] || number == ravlin::ParameterTable::noNrpn)
                    continue;
                sender.offerParameter (i, ParameterMessage::makeNrpn (1, number, image[(size_t)i]), port.time);
                ++offers;
            }
            sent = image;
            for (const auto end = move * moveMs; port.time < end; port.time += stepMs)
                sender.deliverDueAt (port.time);
        }
        const auto released = port.time;
        const auto appliedInDrag = port.valuesApplied;
        while ((sender.getBacklogMilliseconds() > 0.0 || sender.getFullForMilliseconds (port.time) > 0.0) &&
               port.time < released + 60000.0)
        {
            sender.deliverDueAt (port.time);
            port.time += stepMs;
        }
        sender.deliverDueAt (port.time);

        double bytesInDrag = 0;
        for (size_t m = 0; m < port.times.size(); ++m)
            if (port.times[m] <= dragMs)
                bytesInDrag += port.sizes[m];
        offered = offers;
        wireBytes = bytesInDrag;
        applied = port.valuesApplied;
        appliedDuringDrag = appliedInDrag;
        settleMs = port.time - released;
        moved = 0;
        for (int i = 0; i < ravlin::ParameterTable::numImageParameters; ++i)
            moved += a[(size_t)i] != b[(size_t)i] && table.nrpnNumber (i) != ravlin::ParameterTable::noNrpn ? 1 : 0;
        benchmark::DoNotOptimize (port.times.data());
    }
    const auto seconds = dragMs / 1000.0;
    const auto capacity = 1000.0 / LinkSpeed::dinMillisecondsPerByte; // 3125 bytes a second
    state.counters["offered_nrpn_per_s"] = offered / seconds;
    state.counters["nrpn_on_wire_per_s"] = appliedDuringDrag / seconds;
    state.counters["wire_bytes_per_s"] = wireBytes / seconds;
    state.counters["wire_capacity_bytes_per_s"] = capacity;
    state.counters["wire_use_pct"] = 100.0 * wireBytes / seconds / capacity;
    state.counters["nrpn_on_wire_total"] = applied;
    state.counters["parameters_that_differ"] = moved;
    state.counters["settle_after_release_ms"] = settleMs;
}
BENCHMARK (BM_MorphDragAtDinPace)->Unit (benchmark::kMillisecond)->Iterations (3);
