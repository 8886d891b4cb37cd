#include "ui/editor/BankActions.h"

#include "core/MidiCntrState.h"
#include "library/FileMan.h"
#include "ui/editor/EditorPrograms.h"

using EditorPrograms::bankName;

BankActions::BankActions (MidiCntrState& h, const Prompts& p, std::function<void()> changed)
    : hub (h), prompts (p), banksChanged (std::move (changed))
{
}

void BankActions::loadBankDumps (int bank, const ravlin::Bytes& joinedDumps, int count)
{
    Bank_Program loaded ("file");
    loaded.loadFromDumps (joinedDumps);
    for (int p = 0; p < std::min (count, Bank_Program::numPrograms); ++p)
        hub.setBankProgram (bank, p, loaded.getProgram (p));
    hub.postEvent (HubEvent::bankChanged);
    banksChanged();
}

void BankActions::askToLoadBankDumps (int bank, const ravlin::Bytes& joinedDumps, int count,
                                      const juce::String& fileName)
{
    juce::WeakReference<BankActions> self (this);
    prompts.ask ("Load the " + juce::String (juce::jmin (count, Bank_Program::numPrograms)) + " programs of " +
                     fileName + " into " + bankName (bank) + "?",
                 [self, bank, joinedDumps, count]
                 {
                     if (self != nullptr)
                         self->loadBankDumps (bank, joinedDumps, count);
                 });
}

void BankActions::importAllBanks (const std::vector<ProgramFiles::BankedProgram>& programs,
                                  const juce::String& fileName)
{
    const auto banks = ProgramFiles::banksNamed (programs);
    if (banks.empty())
    {
        prompts.tell (fileName + " holds no program dumps that name a bank.");
        return;
    }
    juce::StringArray names, userNames;
    for (auto b : banks)
    {
        names.add (bankName (b));
        if (b < 4)
            userNames.add (bankName (b));
    }
    juce::WeakReference<BankActions> self (this);
    auto import = [self, programs, names, fileName]
    {
        if (self == nullptr)
            return;
        for (const auto& p : programs)
            self->hub.setBankProgram (p.bank, p.program, p.image);
        self->hub.postEvent (HubEvent::bankChanged);
        self->banksChanged();
        self->prompts.tell ("Loaded " + juce::String ((int)programs.size()) + " programs from " + fileName + " into " +
                            names.joinIntoString (", ") + ".");
    };
    if (userNames.isEmpty())
        import();
    else
        prompts.ask (fileName + " holds " + juce::String ((int)programs.size()) + " programs. Overwrite " +
                         userNames.joinIntoString (", ") + " with them?",
                     import);
}

bool BankActions::isProgramFile (const juce::String& path)
{
    const auto extension = juce::File (path).getFileExtension().toLowerCase();
    return extension == ".syx" || extension == ".p12p" || extension == ".p12b";
}

void BankActions::dropped (const juce::File& file, bool banksShown, bool onBanksPage, int listedUserBank)
{
    const auto name = file.getFileName();
    if (banksShown && onBanksPage)
    {
        FileMan reader;
        if (!reader.readProgramBank (file))
        {
            prompts.tell (name + " holds no program bank.");
            return;
        }
        const auto banked = ProgramFiles::readBankedPrograms (reader.sysExBytes);
        if (ProgramFiles::banksNamed (banked).size() > 1)
        {
            importAllBanks (banked, name);
            return;
        }
        if (!juce::isPositiveAndBelow (listedUserBank, 4))
        {
            prompts.tell ("Show a user bank to drop a bank file on it.");
            return;
        }
        askToLoadBankDumps (listedUserBank, reader.sysExBytes, reader.bankMessages, name);
        return;
    }

    // A bank's first program is not what a bank dropped on the editor means.
    FileMan reader;
    if ((reader.readProgramBank (file) && reader.bankMessages > 1) || !reader.readSingleProgram (file))
    {
        prompts.tell (name + " holds no single program" + (banksShown ? "." : ": drop bank files on the banks page."));
        return;
    }
    EditorPrograms::store (hub, false, EditorPrograms::selectedBank (hub), EditorPrograms::selectedProgram (hub),
                           reader.program.getImage());
}
