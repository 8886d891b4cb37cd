#pragma once

#include "library/ProgramFiles.h"
#include "ui/editor/menus/Prompts.h"

class MidiCntrState;

/** What the banks page's FILE menu and files dropped on the editor do with the programs they
    read: into a user bank, into the banks and places their dumps name, or into the edited
    program. A user bank is overwritten only after a question. */
class BankActions
{
public:
    /** banksChanged shows the banks' new contents. */
    BankActions (MidiCntrState& hub, const Prompts& prompts, std::function<void()> banksChanged);

    /** The first programs of joined program dumps into a bank, asking first. */
    void askToLoadBankDumps (int bank, const ravlin::Bytes& joinedDumps, int count, const juce::String& fileName);
    /** Each program into the bank and place its dump names, asking first when user banks
        would be overwritten. */
    void importAllBanks (const std::vector<ProgramFiles::BankedProgram>& programs, const juce::String& fileName);

    /** Program files (.syx, .p12p, .p12b) are what a drop may bring. */
    static bool isProgramFile (const juce::String& path);
    /** A file dropped: on the banks page (shown) a bank file goes into listedUserBank (-1 when
        the page lists no user bank) or, naming several banks, into them; elsewhere a single
        program becomes the edited program. */
    void dropped (const juce::File& file, bool banksShown, bool onBanksPage, int listedUserBank);

private:
    void loadBankDumps (int bank, const ravlin::Bytes& joinedDumps, int count);

    MidiCntrState& hub;
    const Prompts& prompts;
    std::function<void()> banksChanged;

    JUCE_DECLARE_WEAK_REFERENCEABLE (BankActions)
};
