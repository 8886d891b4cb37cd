#include "ui/editor/menus/EditMenu.h"

#include "core/RavlinAudioProcessor.h"
#include "ui/editor/EditorPrograms.h"
#include "ui/editor/explore/ExploreWindows.h"

namespace
{
const char* const voiceParameterItems[] = {
    "OSCILLATORS            [1] ",         "CHARACTER                [2] ",      "VCA / LPF / HPF           [3] ",
    "HPF / FEEDBACK           [4] ",       "VCA                           [5] ", "FEEDBACK  / DELAY      [6] ",
    "LFO                            [7] ", "MODS                        [8] ",   "ARP / SLIDERS            [9] "};
constexpr int sectionOfItem[] = {1, 2, 3, 4, 5, 6, 7, 10, 11};
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
    m.addItem (randomiseItem, "Randomise...");
    m.addItem (mutateItem, "Mutate...");
    m.addItem (morphItem, "Morph...");
    m.addItem (explorationHistoryItem, "Exploration History");
    return m;
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
}
