#include "ui/editor/menus/ProgramMenu.h"

#include "core/RavlinAudioProcessor.h"
#include "ui/controls/ValueMenus.h"
#include "ui/editor/BankComp.h"
#include "ui/editor/EditorPrograms.h"

ProgramMenu::ProgramMenu (MidiCntrState& h) : hub (h) {}

juce::PopupMenu ProgramMenu::build() const
{
    const auto bank = EditorPrograms::selectedBank (hub);
    juce::PopupMenu m;
    for (int b = 0; b < 4; ++b)
        m.addItem (firstBankItem + b, hub.banks[(size_t)b]->bankName, true, b == bank);
    m.addSeparator();
    const auto selected = hub.currentBank.load() == bank ? hub.currentProgram.load() : -1;
    for (int p = 0; p < 99; ++p)
        m.addItem (firstProgramItem + p,
                   "P " + juce::String (p + 1) + "  " + hub.getBankProgramName (bank, p).trimEnd(), true,
                   p == selected);
    return m;
}

void ProgramMenu::chosen (int item)
{
    auto bank = EditorPrograms::selectedBank (hub), program = EditorPrograms::selectedProgram (hub);
    if (item >= firstBankItem)
        bank = item - firstBankItem;
    else if (item >= firstProgramItem)
        program = item - firstProgramItem;
    hub.selectProgram (bank * 99 + program, true, true);
}

CategoryMenu::CategoryMenu (RavlinAudioProcessor& p, BankComp& page, std::function<void()> refresh)
    : processor (p), banksPage (page), refreshProgramDisplay (std::move (refresh))
{
}

juce::PopupMenu CategoryMenu::buildFor (int which) const
{
    auto& hub = processor.getHub();
    auto& grid = banksPage.getGrid();
    const auto current = which == programCategory ? (int)hub.getProgramByte (DSI_Program::categoryOffset)
                         : which == listedCategory
                             ? (grid.getMode() == 1 ? grid.getModeValue() : -1)
                             : (int)hub.getBankProgram (cellBank, cellProgram)[(size_t)DSI_Program::categoryOffset];
    return ParDes::buildCategoryMenu (current);
}

void CategoryMenu::chosen (int item)
{
    auto& hub = processor.getHub();
    const auto category = item - 1;
    if (target == programCategory)
    {
        processor.cableChanged (426, category, true, true, true);
        refreshProgramDisplay();
    }
    else if (target == listedCategory)
        banksPage.chooseCategory (category);
    else if (target == cellCategory)
    {
        auto image = hub.getBankProgram (cellBank, cellProgram);
        if (image.size() > (size_t)DSI_Program::categoryOffset)
        {
            image[(size_t)DSI_Program::categoryOffset] = (uint8_t)category;
            hub.setBankProgram (cellBank, cellProgram, image);
            banksPage.getGrid().refreshContent();
        }
    }
}
