#pragma once

#include "ui/editor/BankActions.h"
#include "ui/editor/StsGrid.h"
#include "ui/editor/menus/BankMenu.h"

class BankComp;
class CategoryMenu;

/** What the banks page's buttons and grid do: its FILE, MIDI and PRESETS menus, a bank or a
    category listed, the "Use Loaded Data" switch, and a bank program played or its menus opened.
    The menus open where the editor shows them. */
class BanksPageController : private juce::ChangeListener, private GridListener
{
public:
    using ShowMenu = std::function<void (BarMenu& menu, juce::Component* at)>;

    /** The MIDI menu's transfers run in transfer, their progress bar over the editor. */
    BanksPageController (MidiCntrState& hub, BankComp& page, FileMan& files, ProgramClipboard& clipboard,
                         const Prompts& prompts, CategoryMenu& categoryMenu, ShowMenu show, TransferProgress& transfer,
                         juce::Component& editor);
    ~BanksPageController() override;

    BankActions& getActions() noexcept { return actions; }
    BankFileMenu& getFileMenu() noexcept { return fileMenu; }
    BankPresetsMenu& getPresetsMenu() noexcept { return presetsMenu; }
    BankTransferMenu& getTransferMenu() noexcept { return transferMenu; }
    ProgramCellMenu& getCellMenu() noexcept { return cellMenu; }

private:
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;
    void gridAction (int action, int program, int bank) override;
    void repaintIfShown();

    MidiCntrState& hub;
    BankComp& page;
    CategoryMenu& categoryMenu;
    ShowMenu show;
    BankActions actions;
    BankFileMenu fileMenu;
    BankPresetsMenu presetsMenu;
    BankTransferMenu transferMenu;
    ProgramCellMenu cellMenu;
};
