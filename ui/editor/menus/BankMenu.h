#pragma once

#include "ui/editor/menus/BarMenu.h"
#include "ui/editor/menus/Prompts.h"

class BankActions;
class FileMan;
class MidiCntrState;
struct ProgramClipboard;
class TransferProgress;

/** The banks page's FILE: a bank file into a user bank, a user bank into a file, or a file of
    several banks into the banks its dumps name. */
class BankFileMenu : public BarMenu
{
public:
    static constexpr int firstLoadItem = 100, firstSaveItem = 200, allBanksItem = 300;

    BankFileMenu (MidiCntrState& hub, FileMan& files, BankActions& actions);

    juce::PopupMenu build() const override;
    void chosen (int item) override;

private:
    MidiCntrState& hub;
    FileMan& files;
    BankActions& actions;

    JUCE_DECLARE_WEAK_REFERENCEABLE (BankFileMenu)
};

/** The banks page's PRESETS: a factory set into a user bank, or the selected user bank
    initialised, each after a question. */
class BankPresetsMenu : public BarMenu
{
public:
    static constexpr int initialiseItem = 99, firstFactoryItem = 100;

    /** filled shows the bank's new programs. */
    BankPresetsMenu (MidiCntrState& hub, const Prompts& prompts, std::function<void()> filled);

    juce::PopupMenu build() const override;
    void chosen (int item) override;

private:
    MidiCntrState& hub;
    const Prompts& prompts;
    std::function<void()> filled;

    JUCE_DECLARE_WEAK_REFERENCEABLE (BankPresetsMenu)
};

/** The banks page's MIDI: banks and programs to and from the instrument, and whether what is
    written is read back to verify it. */
class BankTransferMenu : public BarMenu
{
public:
    /** Transfers run in transfer, their progress bar over editor. */
    BankTransferMenu (MidiCntrState& hub, TransferProgress& transfer, const Prompts& prompts, juce::Component& editor);

    juce::PopupMenu build() const override;
    void chosen (int item) override;
    /** Starts a transfer (its code and first bank), asking first when programs on the instrument
        would be overwritten; says why when it cannot start. */
    void start (int code, int firstBank);

private:
    MidiCntrState& hub;
    TransferProgress& transfer;
    const Prompts& prompts;
    juce::Component& editor;

    JUCE_DECLARE_WEAK_REFERENCEABLE (BankTransferMenu)
};

/** A bank program's menu in the grid: copy, paste over it, save it to a file, load it from one. */
class ProgramCellMenu : public BarMenu
{
public:
    static constexpr int copyItem = 1, pasteItem = 2, saveItem = 3, loadItem = 4;

    ProgramCellMenu (MidiCntrState& hub, FileMan& files, ProgramClipboard& clipboard);

    /** The bank program last pressed in the grid. */
    void setCell (int bank, int program) noexcept { cellBank = bank, cellProgram = program; }

    juce::PopupMenu build() const override;
    void chosen (int item) override;

private:
    MidiCntrState& hub;
    FileMan& files;
    ProgramClipboard& clipboard;
    int cellBank = 0, cellProgram = 0;

    JUCE_DECLARE_WEAK_REFERENCEABLE (ProgramCellMenu)
};
