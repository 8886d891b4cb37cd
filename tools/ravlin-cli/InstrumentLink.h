#pragma once

#include "TransferCommands.h"

#include "core/MidiCntrState.h"

#include <juce_events/juce_events.h>

#include <ostream>

/** How receive, transmit and ports reach the instrument: the options they share, opening the
    ports with the model chosen or asked for, and what they say about the model. */
namespace instrumentLink
{
enum class Option
{
    notMine,
    taken,
    bad
};

/** How receive and transmit reach the instrument. */
struct Link
{
    VirtualInstrument::WireSpeed wire = VirtualInstrument::WireSpeed::unlimited;
    double timeoutSeconds = 5.0;
    ModelDetector::Choice model = ModelDetector::Choice::detect;
};

/** The options receive and transmit share: --wire din|usb|none, --timeout SECONDS and
    --model module|keyboard|detect. */
Option parseLinkOption (const juce::StringArray& args, int& i, Link& link, std::ostream& err);

std::unique_ptr<MidiDeviceSet> systemDevices (const SystemMidiDevices& system);
double now() noexcept;

/** Notes when the identity reply arrives: on the MIDI input thread, as the hub reads it. */
class ReplyWatch : private MidiCntrStateListener
{
public:
    explicit ReplyWatch (MidiCntrState& h) : hub (h) { hub.addListener (this); }
    ~ReplyWatch() override { hub.removeListener (this); }

    /** Waits while the hub awaits the identity reply, at most the given time; the state it
        ended in. */
    ModelDetector::State await (double maxMilliseconds)
    {
        const auto end = now() + maxMilliseconds;
        auto state = hub.getModelDetector().getState();
        while (state == ModelDetector::State::waiting && now() < end)
        {
            replied.wait (10);
            state = hub.getModelDetector().getState();
        }
        return state;
    }

    /** When the reply was read, or -1. */
    double answeredAt() const noexcept { return answered.load(); }

private:
    void stateEvent (MidiCntrState& h) override
    {
        if (!h.getModelDetector().hasDetected())
            return;
        auto none = -1.0;
        answered.compare_exchange_strong (none, now());
        replied.signal();
    }

    MidiCntrState& hub;
    juce::WaitableEvent replied;
    std::atomic<double> answered{-1.0};
};

/** The detector gives up after a second; this is only a bound should its clock misbehave. */
inline constexpr double maxIdentifyWaitMs = 2000.0;

struct Identified
{
    ModelDetector::State state = ModelDetector::State::notAsked;
    double milliseconds = -1.0; // from opening the ports to the reply
};

/** Opens the output, then the input (0: none), with the model chosen, or, with detect, asks who
    is there: the identity request goes out once both are open, and this waits for the reply
    before anything else is sent. Nothing is asked with a chosen model. */
Identified openPorts (MidiCntrState& hub, int inputPort, int outputPort, const Link& link);

/** One line on out: the model the requests are for; on err, why it is the module when nobody
    said so. */
void sayModel (const MidiCntrState& hub, const Identified& identified, const juce::String& port, std::ostream& out,
               std::ostream& err);
void sayNoAnswer (const MidiCntrState& hub, const Identified& identified, double seconds, std::ostream& err);
} // namespace instrumentLink
