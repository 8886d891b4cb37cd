#pragma once

#include "ui/SmallWidgets.h"

class MidiCntrState;

/** A bank transfer as the editor runs it: the bank menu, the progress bar over the editor while
    the hub receives or transmits, its cancel, and its end. The editor hands it the hub's events. */
class TransferProgress
{
public:
    TransferProgress (MidiCntrState& hub, juce::Component& editor);
    ~TransferProgress();

    /** "Receive Program Bank " (items 1-8), "Transmit Program <bank> to:" (100-107) and the four
        "All" items (200, 250, 300, 350). */
    static juce::PopupMenu buildBankMenu (const juce::String& currentBankName);
    /** The transfer code and start bank of a menu item; code -1 for none. */
    static std::pair<int, int> transferForMenuItem (int itemId);

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
    int total = 0, done = 0;
    bool transmitting = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TransferProgress)
};
