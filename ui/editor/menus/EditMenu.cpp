#include "ui/editor/menus/EditMenu.h"

#include "core/RavlinAudioProcessor.h"
#include "instrument/DSI_Program.h"
#include "instrument/ParDes.h"
#include "ui/editor/EditorPrograms.h"
#include "ui/editor/explore/ExploreWindows.h"

namespace
{
const char* const voiceParameterItems[] = {
    "OSCILLATORS            [1] ",         "CHARACTER                [2] ",      "VCA / LPF / HPF           [3] ",
    "HPF / FEEDBACK           [4] ",       "VCA                           [5] ", "FEEDBACK  / DELAY      [6] ",
    "LFO                            [7] ", "MODS                        [8] ",   "ARP / SLIDERS            [9] "};
constexpr int sectionOfItem[] = {1, 2, 3, 4, 5, 6, 7, 10, 11};
constexpr int programsPerBank = 99;
constexpr size_t recordSize = 1024;
constexpr size_t maxLibraryItems = 2000;
} // namespace

EditMenu::EditMenu (RavlinAudioProcessor& p, ProgramClipboard& c, std::function<void (int)> jump)
    : processor (p), clipboard (c), jumpTo (std::move (jump))
{
}

EditMenu::~EditMenu() = default;

juce::PopupMenu EditMenu::build() const
{
    auto& history = processor.getHistory();
    auto& hub = processor.getHub();
    const auto& table = hub.parameterTable;
    juce::PopupMenu m;
    m.addItem (undoItem, ("Undo " + history.undoDescription (table)).trimEnd(), history.canUndo());
    m.addItem (redoItem, ("Redo " + history.redoDescription (table)).trimEnd(), history.canRedo());
    m.addSeparator();
    m.addItem (copyItem, "Copy Program: " + EditorPrograms::currentProgramName (hub));
    m.addItem (pasteItem, clipboard.pasteText());
    m.addSeparator();
    juce::PopupMenu voice;
    for (int k = 0; k < numSectionItems; ++k)
        voice.addItem (firstSectionItem + k, voiceParameterItems[k]);
    m.addSubMenu ("Voice Parameters ", voice);
    m.addSeparator();
    m.addSubMenu ("Compare With...", compareMenu());
    m.addItem (findProgramsItem, "Find Programs...");
    m.addSeparator();
    m.addItem (randomiseItem, "Randomise...");
    m.addItem (mutateItem, "Mutate...");
    m.addItem (morphItem, "Morph...");
    m.addItem (explorationHistoryItem, "Exploration History");
    return m;
}

juce::PopupMenu EditMenu::compareMenu() const
{
    auto& hub = processor.getHub();
    juce::PopupMenu m;
    const auto bank = EditorPrograms::selectedBank (hub), program = EditorPrograms::selectedProgram (hub);
    if (bank >= 0 && program >= 0)
        m.addItem (compareStoredItem, "Stored Version: " + storedName());

    juce::PopupMenu banks;
    for (int b = 0; b < ProgramSource::numBanks; ++b)
    {
        juce::PopupMenu programs;
        for (int n = 0; n < programsPerBank; ++n)
        {
            const auto image = hub.getBankProgram (b, n);
            programs.addItem (firstCompareBankItem + b * 100 + n,
                              juce::String (n + 1) + "  " +
                                  DSI_Program::nameFrom (image.data(), image.size(), true).trimEnd());
        }
        banks.addSubMenu (hub.getBankName (b), programs);
    }
    m.addSubMenu ("Bank Program", banks);

    juce::PopupMenu presets;
    for (int n = 0; n < programsPerBank; ++n)
        presets.addItem (firstComparePresetItem + n,
                         juce::String (n + 1) + "  " + hub.getPresetProgramName (n).trimEnd());
    m.addSubMenu ("Preset", presets);

    juce::PopupMenu records;
    const auto library = libraryRecords ? libraryRecords() : ravlin::Bytes();
    for (size_t n = 0; n + recordSize <= library.size() && n / recordSize < maxLibraryItems; n += recordSize)
        records.addItem (firstCompareLibraryItem + (int)(n / recordSize),
                         DSI_Program::nameFrom (library.data() + n, recordSize, true).trimEnd() + "  (" +
                             ParDes::categoryText (library[n + (size_t)DSI_Program::categoryOffset]) + ")");
    m.addSubMenu ("Library Record", records, records.getNumItems() > 0);
    m.addItem (compareFileItem, "File...");
    return m;
}

juce::String EditMenu::storedName() const
{
    auto& hub = processor.getHub();
    const auto bank = EditorPrograms::selectedBank (hub), program = EditorPrograms::selectedProgram (hub);
    const auto image = hub.getBankProgram (bank, program);
    return hub.getBankName (bank) + " / " + juce::String (program + 1) + "  " +
           DSI_Program::nameFrom (image.data(), image.size(), true).trimEnd();
}

void EditMenu::compare (int item)
{
    auto& hub = processor.getHub();
    if (!compareWith)
        return;
    if (item == compareStoredItem && EditorPrograms::selectedBank (hub) >= 0 &&
        EditorPrograms::selectedProgram (hub) >= 0)
        compareWith (hub.getBankProgram (EditorPrograms::selectedBank (hub), EditorPrograms::selectedProgram (hub)),
                     storedName());
    else if (item >= firstCompareBankItem && item < firstCompareBankItem + ProgramSource::numBanks * 100 &&
             item % 100 < programsPerBank)
    {
        const auto bank = (item - firstCompareBankItem) / 100, program = item % 100;
        const auto image = hub.getBankProgram (bank, program);
        compareWith (image, hub.getBankName (bank) + " / " + juce::String (program + 1) + "  " +
                                DSI_Program::nameFrom (image.data(), image.size(), true).trimEnd());
    }
    else if (item >= firstComparePresetItem && item < firstComparePresetItem + programsPerBank)
    {
        const auto n = item - firstComparePresetItem;
        compareWith (hub.getPresetProgram (n),
                     "Preset " + juce::String (n + 1) + "  " + hub.getPresetProgramName (n).trimEnd());
    }
    else if (item >= firstCompareLibraryItem)
    {
        const auto library = libraryRecords ? libraryRecords() : ravlin::Bytes();
        const auto at = (size_t)(item - firstCompareLibraryItem) * recordSize;
        if (at + recordSize > library.size())
            return;
        const ravlin::Bytes image (library.begin() + (std::ptrdiff_t)at,
                                   library.begin() + (std::ptrdiff_t) (at + recordSize));
        compareWith (image, "Library: " + DSI_Program::nameFrom (image.data(), image.size(), true).trimEnd());
    }
}

void EditMenu::chosen (int item)
{
    auto& hub = processor.getHub();
    if (item == undoItem)
        processor.undoEdit();
    else if (item == redoItem)
        processor.redoEdit();
    else if (item == copyItem)
        clipboard.copyCurrent (hub); // only copies: SEND is what sends
    else if (item == pasteItem && clipboard.filled)
        EditorPrograms::store (hub, false, EditorPrograms::selectedBank (hub), EditorPrograms::selectedProgram (hub),
                               clipboard.image);
    else if (item >= firstSectionItem && item < firstSectionItem + numSectionItems)
        jumpTo (sectionOfItem[item - firstSectionItem]);
    else if (item >= randomiseItem && item <= explorationHistoryItem)
    {
        if (exploreWindows == nullptr)
            exploreWindows = std::make_unique<ExploreWindows> (processor);
        exploreWindows->show ((ExploreWindows::Kind) (item - randomiseItem));
    }
    else if (item == findProgramsItem && findPrograms)
        findPrograms();
    else if (item == compareFileItem && compareWithFile)
        compareWithFile();
    else if (item == compareStoredItem || item >= firstCompareBankItem)
        compare (item);
}
