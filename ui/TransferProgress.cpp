#include "ui/TransferProgress.h"

#include "core/MidiCntrState.h"
#include "ui/StsGrid.h"

namespace
{
juce::String bankName (int bank)
{
    return bank < 4 ? "User Bank " + juce::String (bank + 1) : "Factory Bank " + juce::String (bank - 3);
}
} // namespace

TransferProgress::TransferProgress (MidiCntrState& h, juce::Component& e) : hub (h), editor (e) {}

TransferProgress::~TransferProgress()
{
    if (isRunning())
        cancel();
}

juce::PopupMenu TransferProgress::buildBankMenu (const juce::String& currentBankName)
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
    return menu;
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
    total = code == 0 ? 99 : code == MidiCntrState::transmitProgramToBank ? 1 : 4 * 99;
    done = 0;
    transmitting = !receive;

    bar = std::make_unique<ProgBar>();
    bar->setBounds (editor.getLocalBounds());
    bar->setText (receive ? "Receiving..." : "Transmitting...");
    bar->getCancelButton().onClick = [this] { cancel(); };
    editor.addAndMakeVisible (*bar);
    bar->toFront (false);

    const bool started = receive ? (hub.startBankReceive (code, firstBank), true) : hub.startTransmit (code, firstBank);
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
        bar->setText ((transmitting ? "Sent " : "Received ") + StsGrid::locationText (bank, program));
    }
    else if (code == HubEvent::bankDone)
    {
        close();
        if (onFinished)
            onFinished();
    }
}
