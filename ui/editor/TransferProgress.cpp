#include "ui/editor/TransferProgress.h"

#include "core/MidiCntrState.h"
#include "ui/editor/EditorPrograms.h"
#include "ui/editor/StsGrid.h"

using EditorPrograms::bankName;

TransferProgress::TransferProgress (MidiCntrState& h, juce::Component& e) : hub (h), editor (e) {}

TransferProgress::~TransferProgress()
{
    if (isRunning())
        cancel();
}

juce::PopupMenu TransferProgress::buildBankMenu (const juce::String& currentBankName, bool verifyTicked)
{
    juce::PopupMenu receive, transmit, menu;
    for (int b = 0; b < 8; ++b)
    {
        receive.addItem (b + 1, bankName (b));
        transmit.addItem (100 + b, bankName (b));
    }
    menu.addSubMenu ("Receive Program Bank ", receive);
    menu.addItem (200, "Receive All User Banks");
    menu.addItem (250, "Receive All Factory Banks");
    menu.addSeparator();
    menu.addSubMenu ("Transmit Program " + currentBankName + " to:", transmit);
    menu.addItem (300, "Transmit All User Banks");
    menu.addItem (350, "Transmit All Factory Banks");
    menu.addSeparator();
    menu.addItem (verifyMenuItem, "Verify After Writing", true, verifyTicked);
    return menu;
}

bool TransferProgress::isTransmit (int code) noexcept
{
    return code == MidiCntrState::transmitProgramToBank || code == MidiCntrState::transmitAllUserBanks ||
           code == MidiCntrState::transmitAllFactoryBanks;
}

juce::String TransferProgress::overwriteQuestion (int code, int firstBank, int currentProgram)
{
    if (code == MidiCntrState::transmitProgramToBank)
        return "This overwrites 1 program in the instrument's memory: " +
               StsGrid::locationText (firstBank, juce::jlimit (0, 98, currentProgram)) + ". Continue?";
    if (code == MidiCntrState::transmitAllUserBanks || code == MidiCntrState::transmitAllFactoryBanks)
        return "This overwrites 396 programs in the instrument's memory: " +
               juce::String (code == MidiCntrState::transmitAllUserBanks ? "User" : "Factory") +
               " Banks 1 to 4. Continue?";
    return {};
}

juce::String TransferProgress::slotList (const std::vector<std::pair<int, int>>& slots)
{
    juce::StringArray parts;
    for (size_t i = 0; i < slots.size();)
    {
        auto end = i + 1;
        while (end < slots.size() && slots[end].first == slots[i].first &&
               slots[end].second == slots[end - 1].second + 1)
            ++end;
        auto text = StsGrid::locationText (slots[i].first, slots[i].second);
        if (end - i > 1)
            text << "-" << (slots[end - 1].second + 1);
        parts.add (text);
        i = end;
    }
    return parts.joinIntoString (", ");
}

juce::String TransferProgress::reportText (const BankTransmitter::Report& result)
{
    const auto programs = [] (int n) { return juce::String (n) + (n == 1 ? " program" : " programs"); };
    juce::String text;
    if (result.sent < result.total)
        return "The MIDI output stopped taking data: " + juce::String (result.total - result.sent) + " of " +
               programs (result.total) + " were not sent.";
    if (result.differing.empty() && result.answered)
        return "Read back " + programs (result.checked) + ": all matched what was sent.";
    if (!result.differing.empty())
        text << "Read back: " << (int)result.differing.size() << " of " << programs (result.checked)
             << (result.differing.size() == 1 ? " differs" : " differ")
             << " from what was sent: " << slotList (result.differing) << ".";
    if (!result.answered)
        text << (text.isEmpty() ? "" : "\n")
             << "The instrument stopped answering: " << programs (result.total - result.checked) << " not checked"
             << (result.checked > 0 && result.differing.empty() ? " (" + programs (result.checked) + " matched)."
                                                                : ".");
    return text;
}

std::pair<int, int> TransferProgress::transferForMenuItem (int id)
{
    if (id >= 1 && id <= 8)
        return {0, id - 1};
    if (id >= 100 && id <= 107)
        return {MidiCntrState::transmitProgramToBank, id - 100};
    switch (id)
    {
        case 200: return {MidiCntrState::receiveAllUserBanks, 0};
        case 250: return {MidiCntrState::receiveAllFactoryBanks, 4};
        case 300: return {MidiCntrState::transmitAllUserBanks, 0};
        case 350: return {MidiCntrState::transmitAllFactoryBanks, 4};
        default: return {-1, 0};
    }
}

bool TransferProgress::start (int code, int firstBank)
{
    if (isRunning() || !hub.getPorts().outputOpen)
        return false;
    const bool receive =
        code == 0 || code == MidiCntrState::receiveAllUserBanks || code == MidiCntrState::receiveAllFactoryBanks;
    sent = code == 0 ? 99 : code == MidiCntrState::transmitProgramToBank ? 1 : 4 * 99;
    total = !receive && hub.verifyAfterWriting ? 2 * sent : sent; // each program also read back
    done = 0;
    transmitting = !receive;

    bar = std::make_unique<ProgBar>();
    bar->setBounds (editor.getLocalBounds());
    bar->setText (receive ? "Receiving..." : "Transmitting...");
    bar->getCancelButton().onClick = [this] { cancel(); };
    editor.addAndMakeVisible (*bar);
    bar->toFront (false);

    const bool started = receive ? hub.startBankReceive (code, firstBank) : hub.startTransmit (code, firstBank);
    if (!started)
        close();
    return started;
}

void TransferProgress::cancel()
{
    hub.cancelTransfer();
    close();
}

void TransferProgress::close()
{
    if (bar != nullptr)
        editor.removeChildComponent (bar.get());
    bar.reset();
}

void TransferProgress::handleEvent (uint32_t code)
{
    if (!isRunning())
        return;
    if (HubEvent::kindOf (code) == 0x170)
    {
        ++done;
        const int bank = (int)((code >> 8) & 0xFF), program = (int)(code & 0xFF);
        bar->setValue (juce::roundToInt (127.0 * done / std::max (1, total)));
        bar->setText ((!transmitting ? "Received "
                       : done > sent ? "Read back "
                                     : "Sent ") +
                      StsGrid::locationText (bank, program));
    }
    else if (code == HubEvent::bankDone)
    {
        close();
        if (onFinished)
            onFinished();
    }
}
