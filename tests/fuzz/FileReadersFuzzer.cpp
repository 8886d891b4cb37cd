// Every reader of files the user picks, over arbitrary bytes: single programs, banks, libraries,
// the generic scanner and the host's chunks.

#include "core/MidiCntrState.h"
#include "core/PresetChunks.h"
#include "library/LibraryFile.h"
#include "library/ProgramFiles.h"
#include "library/ProgramScan.h"
#include "support/NoMidiDevices.h"

#include <cstddef>
#include <cstdint>

namespace
{
MidiCntrState& theHub()
{
    static MidiCntrState hub (std::make_unique<ravlin::test::NoMidiDevices>(), juce::File());
    return hub;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    const ravlin::Bytes bytes (data, data + size);

    DSI_Program program;
    ProgramFiles::readSingleProgram (bytes, program);

    const auto dumps = ProgramFiles::readProgramBank (bytes);
    Bank_Program bank ("fuzz");
    bank.loadFromDumps (dumps.joined);
    bank.loadFromDumps (bytes); // the bank parser on raw bytes too
    for (int p = 0; p < Bank_Program::numPrograms; ++p)
        (void)bank.getProgramName (p);

    for (const bool drop : {true, false})
        for (const size_t skip : {(size_t)0, (size_t)13})
            (void)LibraryFile::readRecords (data, size, skip, drop);

    (void)ProgramScan::scan (data, size);
    const auto fx = ProgramScan::readFxChunk (data, size);
    if (fx.format != ProgramScan::Format::none && fx.chunk.size() < (size_t)ProgramScan::fxPresetSize)
        __builtin_trap(); // a chunk handed on is always whole

    auto& hub = theHub();
    PresetChunks::readBank (hub, data, (int)size);
    PresetChunks::readProgram (hub, data, (int)size);
    hub.takeEvents();
    return 0;
}
