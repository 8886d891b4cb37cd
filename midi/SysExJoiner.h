#pragma once

#include <cstdint>
#include <functional>
#include <vector>

/** Joins SysEx that arrives in raw pieces back into whole messages. ALSA's sequencer
    encodes each call as its own event and forgets an unfinished SysEx between calls, so
    the pieces of a long dump must reach it as one message. Other bytes pass straight on, and
    none is ever held back by a SysEx that never ends. */
class SysExJoiner
{
public:
    using Sink = std::function<void (const uint8_t*, int)>;

    explicit SysExJoiner (Sink sinkToUse) : sink (std::move (sinkToUse)) {}

    void write (const uint8_t* bytes, int size)
    {
        int i = 0;
        while (i < size)
        {
            if (!joining && bytes[i] != 0xF0)
            {
                int end = i;
                while (end < size && bytes[end] != 0xF0)
                    ++end;
                sink (bytes + i, end - i);
                i = end;
                continue;
            }

            joining = true;
            while (i < size)
            {
                const auto b = bytes[i];
                if (b >= 0xF8)
                {
                    sink (bytes + i, 1); // real-time bytes may fall inside a SysEx: they go at once
                    ++i;
                    continue;
                }
                if (b >= 0x80 && b != 0xF0 && b != 0xF7)
                {
                    // By MIDI's rule any other status byte ends a SysEx: the unfinished one is
                    // dropped and this message goes on as it is.
                    pending.clear();
                    joining = false;
                    break;
                }
                ++i;
                if (b == 0xF0 && !pending.empty())
                    pending.clear(); // an unfinished message is replaced by the next one
                pending.push_back (b);
                if (b == 0xF7)
                {
                    sink (pending.data(), (int)pending.size());
                    pending.clear();
                    joining = false;
                    break;
                }
            }
        }
    }

private:
    Sink sink;
    std::vector<uint8_t> pending;
    bool joining = false;
};
