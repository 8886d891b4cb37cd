#include "core/RavlinAudioProcessor.h"

#include "core/PresetChunks.h"
#include "instrument/ProgramPacking.h"

namespace
{
juce::AudioPlayHead::CurrentPositionInfo defaultPosition()
{
    juce::AudioPlayHead::CurrentPositionInfo position;
    position.resetToDefault(); // 120 bpm, 4/4, stopped at 0
    return position;
}
} // namespace

RavlinAudioProcessor::RavlinAudioProcessor (std::unique_ptr<MidiDeviceSet> systemDevices,
                                            juce::File applicationDataFolder)
    : juce::AudioProcessor (BusesProperties()
                                .withInput ("Input", juce::AudioChannelSet::stereo(), true)
                                .withOutput ("Output", juce::AudioChannelSet::stereo(), true)),
      hub (std::move (systemDevices), std::move (applicationDataFolder))
{
    // Added in slot order: VST 2.4 hosts store automation by this index.
    slotParameters.reserve ((size_t)AutomationTable::numSlots);
    for (int slot = 0; slot < AutomationTable::numSlots; ++slot)
    {
        auto parameter = std::make_unique<HostSlotParameter> (automation, slot);
        slotParameters.push_back (parameter.get());
        addParameter (parameter.release());
    }

    gestureQueue.reserve ((size_t)AutomationTable::numSlots);
    clockBuffer.ensureSize ((size_t)clockBufferBytes);
    clockSync.clockEnabled = hub.clockOption;

    hub.addCableListener (this);
    hub.addChangeListener (this);
    playHeadPosition = defaultPosition();
    history.resetTo (hub.getCurrentProgram());
    historyTimer.startTimerHz (historyHz);
}

RavlinAudioProcessor::~RavlinAudioProcessor()
{
    historyTimer.stopTimer();
    stopTimer();
    {
        // A host must not be left with a gesture that never ends.
        const juce::ScopedLock sl (gestureLock);
        for (int slot = 0; slot < AutomationTable::numSlots; ++slot)
            closeGesture (slot);
        gestureQueue.clear();
    }
    hub.removeChangeListener (this);
    hub.removeCableListener (this);
}

const juce::String RavlinAudioProcessor::getName() const
{
    return "Prophet 12 Ravlin";
}

void RavlinAudioProcessor::prepareToPlay (double sampleRate, int samplesPerBlock)
{
    hub.sampleRate = sampleRate;
    hub.sampleRateIndex = MidiCntrState::sampleRateIndexFor (sampleRate);
    hub.blockSize = samplesPerBlock;
    setLatencySamples (0);
    clockSync.clockEnabled = hub.clockOption;
    hub.clearKeysAndHostQueue();
}

void RavlinAudioProcessor::releaseResources()
{
    clockSync.clockEnabled = hub.clockOption;
    hub.clearKeysAndHostQueue();
}

// Only stereo in and stereo out: hosts read the largest accepted layout as the plug-in's
// channel counts, and the instrument's editor has no use for any other.
bool RavlinAudioProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    return layouts.getMainInputChannelSet() == juce::AudioChannelSet::stereo() &&
           layouts.getMainOutputChannelSet() == juce::AudioChannelSet::stereo();
}

void RavlinAudioProcessor::processBlock (juce::AudioBuffer<float>& audio, juce::MidiBuffer& midi)
{
    juce::ScopedNoDenormals noDenormals;
    const auto numSamples = audio.getNumSamples();

    const auto rate = getSampleRate();
    if (rate > 0.0 && rate != hub.sampleRate.load())
    {
        hub.sampleRate = rate;
        hub.sampleRateIndex = MidiCntrState::sampleRateIndexFor (rate);
    }
    hub.blockSize = numSamples;

    {
        const juce::ScopedLock sl (processingLock);
        // The switch takes effect in this block, also while the transport plays: switched on, the
        // clock restarts as after a jump, with Stop, Song Position and a Continue at the next
        // sixteenth, so that the instrument follows from where the host is, whatever it did while
        // it had no clock.
        const bool clockOn = hub.clockOption;
        if (clockOn && !clockSync.clockEnabled)
        {
            clockSync.lastPosition = -999.0;
            clockSync.pendingFlags = 0;
        }
        clockSync.clockEnabled = clockOn;
        if (hub.getPorts().outputOpen)
        {
            clockSync.process (playHeadPosition, numSamples, hub.sampleRate, clockBuffer);
            if (!clockBuffer.isEmpty())
            {
                if (clockOn)
                    sendClock();
                clockBuffer.clear();
            }
        }
    }

    // Never under the processing lock: the hub takes its own.
    hub.routeBlock (midi, numSamples);

    for (int channel = getTotalNumInputChannels(); channel < getTotalNumOutputChannels(); ++channel)
        audio.clear (channel, 0, numSamples);

    readPlayHead();
}

void RavlinAudioProcessor::sendClock() noexcept
{
    // Late by the latency and placed within the block by the sample rate; never before the
    // message before, however unevenly the host calls its blocks.
    auto& sender = hub.getPorts().getSender();
    const auto start = TimedMidiSender::now() + hub.currentLatencyMs();
    const auto millisecondsPerSample = 1000.0 / (double)juce::jmax (1, (int)hub.sampleRate);
    for (const auto event : clockBuffer)
    {
        lastClockDue = juce::jmax (lastClockDue, start + event.samplePosition * millisecondsPerSample);
        sender.schedule (event.data, event.numBytes, lastClockDue);
    }
}

void RavlinAudioProcessor::readPlayHead()
{
    auto* hostPlayHead = getPlayHead();
    const auto position =
        hostPlayHead != nullptr ? hostPlayHead->getPosition() : juce::Optional<juce::AudioPlayHead::PositionInfo>();
    if (!position.hasValue())
    {
        playHeadPosition = defaultPosition();
        return;
    }

    auto kept = defaultPosition();
    kept.bpm = position->getBpm().orFallback (120.0);
    if (const auto signature = position->getTimeSignature())
    {
        kept.timeSigNumerator = signature->numerator;
        kept.timeSigDenominator = signature->denominator;
    }
    kept.timeInSamples = position->getTimeInSamples().orFallback (0);
    kept.timeInSeconds = position->getTimeInSeconds().orFallback (0.0);
    kept.ppqPosition = position->getPpqPosition().orFallback (0.0);
    kept.ppqPositionOfLastBarStart = position->getPpqPositionOfLastBarStart().orFallback (0.0);
    kept.isPlaying = position->getIsPlaying();
    kept.isRecording = position->getIsRecording();
    kept.isLooping = position->getIsLooping();
    if (const auto loop = position->getLoopPoints())
    {
        kept.ppqLoopStart = loop->ppqStart;
        kept.ppqLoopEnd = loop->ppqEnd;
    }
    playHeadPosition = kept;
}

//==============================================================================
int RavlinAudioProcessor::getCurrentProgram()
{
    if (hub.presetProgramIndex < 0)
        hub.presetProgramIndex = 0;
    return hub.presetProgramIndex;
}

void RavlinAudioProcessor::setCurrentProgram (int index)
{
    if (!juce::isPositiveAndBelow (index, numPresets))
        return;
    hub.presetProgramIndex = index;
    hub.loadPresetProgram();
}

const juce::String RavlinAudioProcessor::getProgramName (int index)
{
    return hub.getPresetProgramName (index);
}

void RavlinAudioProcessor::changeProgramName (int index, const juce::String& newName)
{
    if (!juce::isPositiveAndBelow (index, numPresets))
        return;
    hub.renamePresetProgram (index, newName);
    setCurrentProgram (index);
}

void RavlinAudioProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    PresetChunks::writeBank (hub, destData);
}

void RavlinAudioProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    PresetChunks::readBank (hub, data, sizeInBytes);
    hub.restoredStates.fetch_add (1);
}

void RavlinAudioProcessor::getCurrentProgramStateInformation (juce::MemoryBlock& destData)
{
    PresetChunks::writeProgram (hub, destData);
}

void RavlinAudioProcessor::setCurrentProgramStateInformation (const void* data, int sizeInBytes)
{
    PresetChunks::readProgram (hub, data, sizeInBytes);
}

//==============================================================================
void RavlinAudioProcessor::cableChanged (int index, int value, bool endGestureNow, bool sendToInstrument,
                                         bool notifyHub)
{
    if (!juce::isPositiveAndBelow (index, ravlin::ParameterTable::numParameters))
        return;

    if (index < ravlin::ParameterTable::numImageParameters)
        hub.storeValue (index, value);
    const auto top = hub.parameterTable.highest (index);
    const auto slot = hub.parameterTable.slotForParameter (index);
    const bool hasSlot = juce::isPositiveAndBelow (slot, AutomationTable::numSlots);

    if (hasSlot)
    {
        {
            const juce::ScopedLock sl (gestureLock);
            if (gestureFlags[(size_t)slot] == 0)
            {
                gestureFlags[(size_t)slot] = 1;
                slotParameters[(size_t)slot]->beginChangeGesture();
            }
        }
        const auto x = top > 0 ? juce::jlimit (0.0f, 1.0f, (float)value / (float)top) : 0.0f;
        slotParameters[(size_t)slot]->reportToHost (x);
    }

    if (sendToInstrument)
        instrumentSend (index, value);

    if (hasSlot)
    {
        const juce::ScopedLock sl (gestureLock);
        if (endGestureNow)
        {
            closeGesture (slot);
        }
        else
        {
            if (std::find (gestureQueue.begin(), gestureQueue.end(), (uint16_t)slot) == gestureQueue.end())
                gestureQueue.push_back ((uint16_t)slot);
            startTimer (gestureTimerMs);
        }
    }

    if (notifyHub)
        hub.postEvent (HubEvent::parameter (index, value));
}

void RavlinAudioProcessor::instrumentSend (int index, int value)
{
    if (index < ravlin::ParameterTable::numImageParameters)
    {
        if (hub.parameterTable.nrpnNumber (index) != ravlin::ParameterTable::noNrpn)
            hub.fastNrpnSend (index, value, 0.0, hub.sampleRate);
        return;
    }

    switch (index)
    {
        case 1024:
            hub.storeValue (1024, value);
            if (hub.programChangeWithAutomation && value >= 0)
                hub.selectProgram (value, true, false);
            break;
        case 1025:
        case 1026:
        case 1027:
            hub.storeValue (index, value); // the host reads back what it was told
            hub.sendSlider (index, value);
            break;
        case 1028:
        case 1029: hub.setLatch (index, value); break;
        default: break;
    }
}

bool RavlinAudioProcessor::isGestureOpen (int slot) const
{
    const juce::ScopedLock sl (gestureLock);
    return juce::isPositiveAndBelow (slot, numGestureFlags) && gestureFlags[(size_t)slot] != 0;
}

void RavlinAudioProcessor::closeGesture (int slot)
{
    if (gestureFlags[(size_t)slot] == 0)
        return;
    gestureFlags[(size_t)slot] = 0;
    if (juce::isPositiveAndBelow (slot, AutomationTable::numSlots))
        slotParameters[(size_t)slot]->endChangeGesture();
}

void RavlinAudioProcessor::timerCallback()
{
    stopTimer();
    const juce::ScopedLock sl (gestureLock);
    for (auto slot : gestureQueue)
        closeGesture (slot);
    gestureQueue.clear();
}

void RavlinAudioProcessor::changeListenerCallback (juce::ChangeBroadcaster*)
{
    for (auto pair : hub.takeReceivedNrpn())
        cableChanged ((int)(pair >> 16), (int)(pair & 0xFFFF), false, false, true);
}

//==============================================================================
void RavlinAudioProcessor::recordHistory()
{
    const auto image = hub.getCurrentProgram();
    if (comparing && image != comparedStored)
    {
        // Edited while comparing: that edit starts from the stored version, and the edited
        // version before it is one undo away.
        comparing = false;
        history.resetTo (comparedEdit);
    }
    if (!comparing)
        history.observe (image, juce::Time::getMillisecondCounter());
}

void RavlinAudioProcessor::holdHistoryStep (bool held)
{
    recordHistory(); // what came before the hold, or the hold's last change
    history.hold (held);
}

void RavlinAudioProcessor::restoreProgram (const ravlin::Bytes& image, const std::vector<int>& changed)
{
    constexpr size_t mostByNrpn = 24;
    const auto byNrpn =
        !changed.empty() && changed.size() <= mostByNrpn &&
        std::all_of (changed.begin(), changed.end(),
                     [this] (int i) { return hub.parameterTable.nrpnNumber (i) != ravlin::ParameterTable::noNrpn; });
    if (byNrpn)
    {
        for (auto index : changed)
            if (juce::isPositiveAndBelow (index, (int)image.size()))
                cableChanged (index, image[(size_t)index], true, true, true);
    }
    else
    {
        hub.setCurrentProgram (image);
        hub.postEvent (HubEvent::programLoaded);
        hub.sendToInstrument (ravlin::packEditBufferDump (image));
    }
    history.resetTo (hub.getCurrentProgram());
}

bool RavlinAudioProcessor::undoEdit()
{
    setComparing (false);
    recordHistory(); // what changed since the last look is undone first
    if (const auto step = history.undo())
    {
        restoreProgram (step->before, step->changed);
        return true;
    }
    return false;
}

bool RavlinAudioProcessor::redoEdit()
{
    setComparing (false);
    recordHistory();
    if (const auto step = history.redo())
    {
        restoreProgram (step->after, step->changed);
        return true;
    }
    return false;
}

bool RavlinAudioProcessor::storedVersion (ravlin::Bytes& image) const
{
    const int bank = hub.currentBank, program = hub.currentProgram;
    if (!juce::isPositiveAndBelow (bank, MidiCntrState::numBanks) || !juce::isPositiveAndBelow (program, numPresets))
        return false;
    image = hub.getBankProgram (bank, program);
    image.resize ((size_t)Bank_Program::programSize, 0);
    return true;
}

bool RavlinAudioProcessor::setComparing (bool shouldCompare)
{
    if (shouldCompare == comparing)
        return true;
    if (shouldCompare)
    {
        recordHistory();
        ravlin::Bytes stored;
        if (!storedVersion (stored))
            return false;
        comparedEdit = hub.getCurrentProgram();
        comparedStored = stored;
        comparing = true;
        restoreProgram (stored, {});
        return true;
    }
    comparing = false;
    restoreProgram (comparedEdit, {});
    return true;
}

bool RavlinAudioProcessor::revertToStored()
{
    ravlin::Bytes stored;
    if (!storedVersion (stored))
        return false;
    recordHistory();
    const auto edited = comparing ? comparedEdit : hub.getCurrentProgram();
    comparing = false;
    restoreProgram (stored, {});
    // Recorded, so that the edits dropped are one undo away.
    history.resetTo (edited);
    history.observe (stored, juce::Time::getMillisecondCounter());
    return true;
}

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new RavlinAudioProcessor();
}
