#include "ui/editor/menus/BankMenu.h"

#include "core/MidiCntrState.h"
#include "library/FileMan.h"
#include "ui/editor/BankActions.h"
#include "ui/editor/EditorPrograms.h"
#include "ui/editor/TransferProgress.h"

BankFileMenu::BankFileMenu (MidiCntrState& h, FileMan& f, BankActions& a) : hub (h), files (f), actions (a) {}

juce::PopupMenu BankFileMenu::build() const
{
    juce::PopupMenu m;
    for (int b = 0; b < 4; ++b)
        m.addItem (firstLoadItem + b, "Load Program Bank To Bank U" + juce::String (b + 1));
    m.addSeparator();
    for (int b = 0; b < 4; ++b)
        m.addItem (firstSaveItem + b, "Save Program Bank U" + juce::String (b + 1));
    m.addSeparator();
    m.addItem (allBanksItem, "Load All Banks From File");
    return m;
}

void BankFileMenu::chosen (int item)
{
    juce::WeakReference<BankFileMenu> self (this);
    const auto bank = item % 100;
    if (item == allBanksItem)
        files.loadProgramBank (
            [self] (bool read)
            {
                if (self != nullptr && read)
                    self->actions.importAllBanks (ProgramFiles::readBankedPrograms (self->files.sysExBytes),
                                                  self->files.chosenFile.getFileName());
            });
    else if (item >= firstSaveItem)
        files.saveProgramBank (*hub.banks[(size_t)bank], bank, nullptr);
    else
        files.loadProgramBank (
            [self, bank] (bool read)
            {
                if (self != nullptr && read)
                    self->actions.askToLoadBankDumps (bank, self->files.sysExBytes, self->files.bankMessages,
                                                      self->files.chosenFile.getFileName());
            });
}

BankPresetsMenu::BankPresetsMenu (MidiCntrState& h, const Prompts& p, std::function<void()> f)
    : hub (h), prompts (p), filled (std::move (f))
{
}

juce::PopupMenu BankPresetsMenu::build() const
{
    juce::PopupMenu m, factory;
    for (int b = 0; b < 4; ++b)
        factory.addItem (firstFactoryItem + b, "User Bank " + juce::String (b + 1));
    m.addSubMenu ("Load Factory Presets to", factory);
    const auto bank = EditorPrograms::selectedBank (hub);
    if (bank < 4)
    {
        m.addSeparator();
        m.addItem (initialiseItem, "Initialize User Program Bank " + juce::String (bank + 1));
    }
    return m;
}

void BankPresetsMenu::chosen (int item)
{
    // 99 initialises the selected user bank; 100 + k fills user bank k + 1 with factory set k.
    const auto bank = item == initialiseItem ? EditorPrograms::selectedBank (hub) : item - firstFactoryItem;
    if (!juce::isPositiveAndBelow (bank, 4))
        return;
    juce::WeakReference<BankPresetsMenu> self (this);
    prompts.ask ("Overwrite the 99 programs of " + EditorPrograms::bankName (bank) + "?",
                 [self, bank, item]
                 {
                     if (self == nullptr)
                         return;
                     Bank_Program programs ("options");
                     if (item == initialiseItem)
                         programs.initialise (false);
                     else
                         programs.loadFactoryBank (bank);
                     for (int p = 0; p < Bank_Program::numPrograms; ++p)
                         self->hub.setBankProgram (bank, p, programs.getProgram (p));
                     self->filled();
                 });
}

BankTransferMenu::BankTransferMenu (MidiCntrState& h, TransferProgress& t, const Prompts& p, juce::Component& e)
    : hub (h), transfer (t), prompts (p), editor (e)
{
}

juce::PopupMenu BankTransferMenu::build() const
{
    return TransferProgress::buildBankMenu (EditorPrograms::bankName (EditorPrograms::selectedBank (hub)),
                                            hub.verifyAfterWriting);
}

void BankTransferMenu::chosen (int item)
{
    if (item == TransferProgress::verifyMenuItem)
    {
        hub.setOption (SettingsBlock::verifyAfterWriting, !hub.verifyAfterWriting);
        hub.saveSettings();
        return;
    }
    const auto [code, firstBank] = TransferProgress::transferForMenuItem (item);
    if (code >= 0)
        start (code, firstBank);
}

void BankTransferMenu::start (int code, int firstBank)
{
    juce::WeakReference<BankTransferMenu> self (this);
    auto run = [self, code, firstBank]
    {
        if (self == nullptr)
            return;
        if (self->transfer.start (code, firstBank))
            self->transfer.getBar()->setBounds (self->editor.getLocalBounds());
        else
            self->prompts.tell (self->hub.getPorts().outputOpen
                                    ? juce::String ("A bank transfer is already running: nothing was sent.")
                                    : juce::String ("No MIDI output port is open: nothing was sent. Choose the "
                                                    "instrument's ports with MIDI."));
    };
    // Programs on the instrument are overwritten only when the user says so.
    if (TransferProgress::isTransmit (code) && hub.getPorts().outputOpen && !transfer.isRunning())
        prompts.ask (TransferProgress::overwriteQuestion (code, firstBank, hub.currentProgram), run);
    else
        run();
}

ProgramCellMenu::ProgramCellMenu (MidiCntrState& h, FileMan& f, ProgramClipboard& c) : hub (h), files (f), clipboard (c)
{
}

juce::PopupMenu ProgramCellMenu::build() const
{
    const auto name = hub.getBankProgramName (cellBank, cellProgram).trimEnd();
    juce::PopupMenu m;
    m.addItem (copyItem, "Copy Program: " + name);
    m.addItem (pasteItem, clipboard.pasteText());
    m.addSeparator();
    m.addItem (saveItem, "Save " + name);
    m.addItem (loadItem, "Load Program ");
    return m;
}

void ProgramCellMenu::chosen (int item)
{
    if (item == copyItem)
        clipboard.copyCurrent (hub); // as EDIT's Copy: nothing is sent or stored
    else if (item == pasteItem && clipboard.filled)
        EditorPrograms::store (hub, true, cellBank, cellProgram, clipboard.image);
    else if (item == saveItem)
        files.saveSingleProgram (hub.getBankProgram (cellBank, cellProgram),
                                 hub.getBankProgramName (cellBank, cellProgram).trimEnd(), nullptr);
    else if (item == loadItem)
    {
        juce::WeakReference<ProgramCellMenu> self (this);
        files.loadSingleProgram (
            [self] (bool read)
            {
                if (self == nullptr || !read)
                    return;
                const auto image = self->files.program.getImage();
                EditorPrograms::store (self->hub, true, self->cellBank, self->cellProgram, image);
            });
    }
}
