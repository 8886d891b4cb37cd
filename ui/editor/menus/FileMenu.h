#pragma once

#include "ui/editor/menus/BarMenu.h"

class FileMan;
class MidiCntrState;

/** FILE: a program file into the edited program, the edited program into a file, the About box. */
class FileMenu : public BarMenu
{
public:
    static constexpr int loadItem = 1, saveItem = 2, aboutItem = 3;

    /** toggleAbout shows the About box, or closes it when it shows. */
    FileMenu (MidiCntrState& hub, FileMan& files, std::function<void()> toggleAbout);

    juce::PopupMenu build() const override;
    void chosen (int item) override;

private:
    MidiCntrState& hub;
    FileMan& files;
    std::function<void()> toggleAbout;

    JUCE_DECLARE_WEAK_REFERENCEABLE (FileMenu)
};
