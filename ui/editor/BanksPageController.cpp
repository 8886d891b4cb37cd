#include "ui/editor/BanksPageController.h"

#include "core/MidiCntrState.h"
#include "ui/editor/BankComp.h"
#include "ui/editor/EditorPrograms.h"
#include "ui/editor/menus/ProgramMenu.h"

BanksPageController::BanksPageController (MidiCntrState& h, BankComp& p, FileMan& files, ProgramClipboard& clipboard,
                                          const Prompts& prompts, CategoryMenu& category, ShowMenu s,
                                          TransferProgress& transfer, juce::Component& editor)
    : hub (h), page (p), categoryMenu (category), show (std::move (s)),
      actions (h, prompts, [this] { repaintIfShown(); }), fileMenu (h, files, actions),
      presetsMenu (h, prompts, [this] { page.getGrid().repaint(); }), transferMenu (h, transfer, prompts, editor),
      cellMenu (h, files, clipboard)
{
    page.addChangeListener (this);
    page.getGrid().addListener (this);
    page.getUseLoadedData().setOn (hub.playFromBankCopy.load());
}

BanksPageController::~BanksPageController()
{
    page.getGrid().removeListener (this);
    page.removeChangeListener (this);
}

void BanksPageController::repaintIfShown()
{
    if (page.isVisible())
        page.getGrid().repaint();
}

void BanksPageController::changeListenerCallback (juce::ChangeBroadcaster*)
{
    switch (page.getLastCode())
    {
        case BankComp::bankChosen:
            if (page.getGrid().getMode() == 0)
            {
                hub.selectProgram (page.getChosenBank() * 99 + EditorPrograms::selectedProgram (hub), true, true);
                page.getGrid().setContent (0, page.getChosenBank());
            }
            else
            {
                categoryMenu.setTarget (CategoryMenu::listedCategory);
                show (categoryMenu, &page);
            }
            break;
        case BankComp::presetsSource:
            if (page.getGrid().getMode() == 0)
                show (presetsMenu, &page.getSourceButton (2));
            break;
        case BankComp::useLoadedDataSwitch: hub.playFromBankCopy = page.getUseLoadedData().isOn(); break;
        case BankComp::fileSource: show (fileMenu, &page.getSourceButton (0)); break;
        case BankComp::midiSource: show (transferMenu, &page.getSourceButton (1)); break;
        default: break;
    }
}

void BanksPageController::gridAction (int action, int program, int bank)
{
    categoryMenu.setCell (bank, program);
    cellMenu.setCell (bank, program);
    if (action == StsGrid::categoryMenu)
    {
        categoryMenu.setTarget (CategoryMenu::cellCategory);
        show (categoryMenu, &page.getGrid());
    }
    else if (action == StsGrid::programMenu)
        show (cellMenu, &page.getGrid());
    else if (action == StsGrid::play)
    {
        if (hub.playFromBankCopy.load())
        {
            hub.currentBank = bank;
            hub.currentProgram = program;
            EditorPrograms::store (hub, false, bank, program, hub.getBankProgram (bank, program));
        }
        else
            hub.selectProgram (bank * 99 + program, true, true);
    }
}
