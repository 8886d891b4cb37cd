#pragma once

#include "core/AutomationTable.h"
#include "core/ExploreSession.h"
#include "core/HostClockSync.h"
#include "core/HostSlotParameter.h"
#include "core/MidiCntrState.h"
#include "core/ProgramHistory.h"

#include <juce_audio_processors/juce_audio_processors.h>

/** The object the host loads. It makes no sound: audio passes through unchanged. It bridges the
    host (automation, programs, state, transport), the hub that talks to the instrument, and the
    editor; and it sends the instrument a MIDI clock that follows the host's transport. */
class RavlinAudioProcessor : public juce::AudioProcessor,
                             public juce::ChangeListener,
                             public CableListener,
                             private juce::Timer,
                             public juce::ChangeBroadcaster
{
public:
    static constexpr int numPresets = Bank_Program::numPrograms;
    static constexpr int numGestureFlags = 2000;
    static constexpr int gestureTimerMs = 200;
    static constexpr int clockBufferBytes = 3080;

    /** systemDevices: the machine's MIDI devices; applicationDataFolder: where the settings files
        live (an empty File keeps them in memory). Tests hand in their own. */
    explicit RavlinAudioProcessor (std::unique_ptr<MidiDeviceSet> systemDevices = std::make_unique<JuceMidiDevices>(),
                                   juce::File applicationDataFolder = SettingsFiles::defaultApplicationDataFolder());
    ~RavlinAudioProcessor() override;

    const juce::String getName() const override;
    void prepareToPlay (double sampleRate, int samplesPerBlock) override;
    void releaseResources() override;
    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;
    void processBlock (juce::AudioBuffer<float>& audio, juce::MidiBuffer& midi) override;
    using juce::AudioProcessor::processBlock;
    void reset() override {}

    const juce::String getInputChannelName (int index) const override { return juce::String (index + 1); }
    const juce::String getOutputChannelName (int index) const override { return juce::String (index + 1); }
    bool isInputChannelStereoPair (int) const override { return true; }
    bool isOutputChannelStereoPair (int) const override { return true; }
    bool acceptsMidi() const override { return true; }
    bool producesMidi() const override { return true; }
    bool isMidiEffect() const override { return false; }
    bool silenceInProducesSilenceOut() const override { return false; }
    double getTailLengthSeconds() const override { return 0.0; }
    void numChannelsChanged() override {}

    bool hasEditor() const override { return true; }
    juce::AudioProcessorEditor* createEditor() override;

    int getNumPrograms() override { return numPresets; }
    int getCurrentProgram() override;
    void setCurrentProgram (int index) override;
    const juce::String getProgramName (int index) override;
    void changeProgramName (int index, const juce::String& newName) override;

    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;
    void getCurrentProgramStateInformation (juce::MemoryBlock& destData) override;
    void setCurrentProgramStateInformation (const void* data, int sizeInBytes) override;

    void cableChanged (int parameterIndex, int value, bool endGestureNow, bool sendToInstrument,
                       bool notifyHub) override;
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;

    MidiCntrState& getHub() noexcept { return hub; }
    AutomationTable& getAutomationTable() noexcept { return automation; }
    HostSlotParameter& getSlotParameter (int slot) noexcept { return *slotParameters[(size_t)slot]; }
    const HostClockSync& getClock() const noexcept { return clockSync; }
    bool isGestureOpen (int slot) const;

    // Undo, redo and compare of the program being edited (message thread).
    static constexpr int historyHz = 10;
    /** Records what changed in the program since the last look; a timer calls it. */
    void recordHistory();
    /** The user holds (true) or lets go of (false) a control that changes several bytes in turn:
        what it changes meanwhile becomes one undo step. Message thread. */
    void holdHistoryStep (bool held);
    ProgramHistory& getHistory() noexcept { return history; }
    bool undoEdit();
    bool redoEdit();
    /** Shows the version stored at the current bank and program instead of the edited one,
        or the edited one again; each goes to the instrument's edit buffer. An edit or another
        program while comparing ends the comparison, the edited version staying one undo away. */
    bool setComparing (bool shouldCompare);
    bool isComparing() const noexcept { return comparing; }
    /** Drops the edits: the stored version becomes the program being edited (undoable). */
    bool revertToStored();

    /** Randomise, mutate, morph and the programs they made in this session (message thread). */
    ExploreSession& getExploreSession() noexcept { return explore; }

private:
    void instrumentSend (int parameterIndex, int value);
    void closeGesture (int slot); // with the gesture lock held
    void timerCallback() override;
    void readPlayHead();
    void sendClock() noexcept;
    /** Puts an image into the program being edited and the instrument: a few parameters by
        NRPN, otherwise as an edit-buffer dump. */
    void restoreProgram (const ravlin::Bytes& image, const std::vector<int>& changed);
    bool storedVersion (ravlin::Bytes& image) const;

    struct HistoryTimer : juce::Timer
    {
        explicit HistoryTimer (RavlinAudioProcessor& p) : owner (p) {}
        void timerCallback() override { owner.recordHistory(); }
        RavlinAudioProcessor& owner;
    };

    MidiCntrState hub;
    AutomationTable automation{hub};
    std::vector<HostSlotParameter*> slotParameters; // owned by the base class, in slot order

    std::array<uint8_t, numGestureFlags> gestureFlags{};
    std::vector<uint16_t> gestureQueue;
    juce::CriticalSection gestureLock; // flags and queue: editor, timer and MIDI input thread

    HostClockSync clockSync;
    juce::MidiBuffer clockBuffer;
    juce::CriticalSection processingLock;
    juce::AudioPlayHead::CurrentPositionInfo playHeadPosition;
    double lastClockDue = 0; // audio thread

    ProgramHistory history;
    HistoryTimer historyTimer{*this};
    bool comparing = false;
    ravlin::Bytes comparedEdit, comparedStored;
    ExploreSession explore{*this};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (RavlinAudioProcessor)
};
