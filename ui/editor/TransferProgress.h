#pragma once

#include "core/BankTransmitter.h"
#include "ui/controls/SmallWidgets.h"

class MidiCntrState;

/** A bank transfer as the editor runs it: the bank menu, the progress bar over the editor while
    the hub receives or transmits, its cancel, and its end. The editor hands it the hub's events. */
class TransferProgress
{
public:
    TransferProgress (MidiCntrState& hub, juce::Component& editor);
    ~TransferProgress();

    static constexpr int verifyMenuItem = 400;

    /** "Receive Program Bank " (items 1-8), "Transmit Program <bank> to:" (100-107) and the four
        "All" items (200, 250, 300, 350); then "Verify After Writing" (400), ticked when on. */
    static juce::PopupMenu buildBankMenu (const juce::String& currentBankName, bool verifyTicked = false);
    /** The transfer code and start bank of a menu item; code -1 for none. */
    static std::pair<int, int> transferForMenuItem (int itemId);
    static bool isTransmit (int code) noexcept;
    /** The question a transmit asks before it overwrites programs on the instrument: how many,
        and where. */
    static juce::String overwriteQuestion (int code, int firstBank, int currentProgram);
    /** What a read-back found, naming every slot that differs ("U1 P 3-5, F2 P 7"). */
    static juce::String reportText (const BankTransmitter::Report& result);
    /** Slots as short text, runs of programs in one bank joined: "U1 P 3-5, U2 P 1". */
    static juce::String slotList (const std::vector<std::pair<int, int>>& slots);

    /** Shows the bar and starts the transfer; false (and no bar) when it cannot start. */
    bool start (int code, int firstBank);
    void cancel();
    bool isRunning() const noexcept { return bar != nullptr; }
    ProgBar* getBar() const noexcept { return bar.get(); }

    /** Every event the hub posted, in order. */
    void handleEvent (uint32_t code);

    std::function<void()> onFinished;

private:
    void close();

    MidiCntrState& hub;
    juce::Component& editor;
    std::unique_ptr<ProgBar> bar;
    int total = 0, done = 0, sent = 0;
    bool transmitting = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TransferProgress)
};
