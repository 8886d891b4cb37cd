#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

namespace ravlin::test
{
/** A host transport the test moves by hand. */
class TransportPlayHead : public juce::AudioPlayHead
{
public:
    juce::Optional<PositionInfo> getPosition() const override { return info; }

    /** Playing at the tempo from the position, attached to the processor and prepared. */
    void playInto (juce::AudioProcessor& processor, double bpm, double ppq, double sampleRate, int blockSize)
    {
        info.setBpm (bpm);
        info.setIsPlaying (true);
        info.setPpqPosition (ppq);
        processor.setPlayHead (this);
        processor.setRateAndBufferSizeDetails (sampleRate, blockSize);
        processor.prepareToPlay (sampleRate, blockSize);
    }

    /** Moves on by one block. */
    void advance (int samples, double sampleRate)
    {
        info.setPpqPosition (*info.getPpqPosition() + samples * *info.getBpm() / 60.0 / sampleRate);
    }

    PositionInfo info;
};
} // namespace ravlin::test
