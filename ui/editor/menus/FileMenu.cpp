#include "ui/editor/menus/FileMenu.h"

#include "core/MidiCntrState.h"
#include "library/FileMan.h"
#include "ui/editor/EditorPrograms.h"

FileMenu::FileMenu (MidiCntrState& h, FileMan& f, std::function<void()> about)
    : hub (h), files (f), toggleAbout (std::move (about))
{
}

juce::PopupMenu FileMenu::build() const
{
    juce::PopupMenu m;
    m.addItem (loadItem, "Load Single Program");
    m.addItem (saveItem, "Save " + EditorPrograms::currentProgramName (hub));
    m.addSeparator();
    m.addItem (aboutItem, "About");
    return m;
}

void FileMenu::chosen (int item)
{
    juce::WeakReference<FileMenu> self (this);
    if (item == loadItem)
        files.loadSingleProgram (
            [self] (bool read)
            {
                if (self == nullptr || !read)
                    return;
                auto& h = self->hub;
                EditorPrograms::store (h, false, EditorPrograms::selectedBank (h), EditorPrograms::selectedProgram (h),
                                       self->files.program.getImage());
            });
    else if (item == saveItem)
        files.saveSingleProgram (hub.getCurrentProgram(), EditorPrograms::currentProgramName (hub), nullptr);
    else if (item == aboutItem)
        toggleAbout();
}
