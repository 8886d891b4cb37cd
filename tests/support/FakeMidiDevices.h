#pragma once

#include "midi/MidiDevices.h"

#include <mutex>
#include <vector>

namespace ravlin::test
{
/** An output that records what reaches it and when. */
class RecordingOutput : public MidiOutputDevice
{
public:
    struct Sent
    {
        std::vector<uint8_t> bytes;
        double time;
    };

    void sendNow (const uint8_t* bytes, int size) override
    {
        const auto time = juce::Time::getMillisecondCounterHiRes();
        std::lock_guard<std::mutex> guard (lock);
        sent.push_back ({std::vector<uint8_t> (bytes, bytes + size), time});
    }

    std::vector<Sent> taken()
    {
        std::lock_guard<std::mutex> guard (lock);
        return sent;
    }

    size_t count()
    {
        std::lock_guard<std::mutex> guard (lock);
        return sent.size();
    }

private:
    std::mutex lock;
    std::vector<Sent> sent;
};

/** Named devices that open as recording outputs and inputs the test can feed. */
class FakeMidiDevices : public MidiDeviceSet
{
public:
    class Input : public MidiInputDevice
    {
    public:
        explicit Input (juce::MidiInputCallback& cb) : callback (cb) {}
        void start() override { started = true; }
        void stop() override { started = false; }
        void deliver (const juce::MidiMessage& m)
        {
            if (started)
                callback.handleIncomingMidiMessage (nullptr, m);
        }
        bool started = false;

    private:
        juce::MidiInputCallback& callback;
    };

    class Output : public MidiOutputDevice
    {
    public:
        explicit Output (RecordingOutput& r) : recorder (r) {}
        void sendNow (const uint8_t* bytes, int size) override { recorder.sendNow (bytes, size); }

    private:
        RecordingOutput& recorder;
    };

    juce::StringArray inputNames() override { return inputs; }
    juce::StringArray outputNames() override { return outputs; }

    std::unique_ptr<MidiInputDevice> openInput (int index, juce::MidiInputCallback& callback) override
    {
        ++inputOpens;
        if (!juce::isPositiveAndBelow (index, inputs.size()) || failOpening)
            return nullptr;
        auto input = std::make_unique<Input> (callback);
        lastInput = input.get();
        return input;
    }

    std::unique_ptr<MidiOutputDevice> openOutput (int index) override
    {
        ++outputOpens;
        if (!juce::isPositiveAndBelow (index, outputs.size()) || failOpening)
            return nullptr;
        lastOutputIndex = index;
        return std::make_unique<Output> (recorders[(size_t)index]);
    }

    juce::StringArray inputs{"Port In A", "Prophet 12 In"};
    juce::StringArray outputs{"Port Out A", "Prophet 12 Out"};
    RecordingOutput recorders[2];
    Input* lastInput = nullptr;
    int lastOutputIndex = -1;
    int inputOpens = 0, outputOpens = 0;
    bool failOpening = false;
};
} // namespace ravlin::test
