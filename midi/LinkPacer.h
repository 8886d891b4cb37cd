#pragma once

#include <algorithm>

/** The sender's account of the link to the instrument, given the time with every call: when the
    bytes handed to the port so far will have crossed the wire, whether parameters may go now, how
    far behind the instrument is and since when the link has been full without a break.

    A system MIDI output returns as soon as the driver has the bytes; whatever is handed over
    faster than the wire carries it waits in the driver, ahead of the next clock tick or note. So
    parameters are handed over only when the wire is free, and what must go at its time (notes,
    clock, program changes) goes at its time and is counted too. */
class LinkPacer
{
public:
    /** 0: no limit (an in-process instrument at full speed). */
    void setMillisecondsPerByte (double ms) noexcept { millisecondsPerByte = std::max (0.0, ms); }
    double getMillisecondsPerByte() const noexcept { return millisecondsPerByte; }

    /** The wire has carried everything handed over so far. */
    bool isFree (double now) const noexcept { return millisecondsPerByte <= 0 || freeAt <= now; }
    double wireFreeAt() const noexcept { return freeAt; }

    /** Bytes handed to the port now: the wire takes them after what it holds. */
    void handedOver (int bytes, double now) noexcept { freeAt = std::max (freeAt, now) + bytes * millisecondsPerByte; }

    /** After each round of sending: whether parameters were left waiting for the wire. */
    void noteWaiting (bool parametersWaitForTheWire, double now) noexcept
    {
        if (!parametersWaitForTheWire)
            fullSince = -1;
        else if (fullSince < 0)
            fullSince = now;
    }

    /** Since when parameters have waited for the wire without a break; negative when they do not. */
    double getFullSince() const noexcept { return fullSince; }

    /** How long the wire needs for what it holds and the given bytes still waiting. */
    double backlogMilliseconds (int bytesWaiting, double now) const noexcept
    {
        return std::max (0.0, freeAt - now) + bytesWaiting * millisecondsPerByte;
    }

    void reset() noexcept
    {
        freeAt = 0;
        fullSince = -1;
    }

private:
    double millisecondsPerByte = 0, freeAt = 0, fullSince = -1;
};
