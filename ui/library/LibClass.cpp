#include "ui/library/LibClass.h"

#include "core/RavlinAudioProcessor.h"
#include "instrument/ParDes.h"
#include "ui/controls/ValueMenus.h"

LibClass::LibClass (RavlinAudioProcessor& p, juce::File f)
    : processor (p), folder (std::move (f)), library (*this, p.getHub()),
      buttons (*this,
               {{"LOAD", loadCommand, "Load Library or Bank Files"},
                {"SAVE", saveCommand, "Save Library File"},
                {"CLEAR ALL", clearAllCommand, "Remove all items from Library"},
                {"RENAME", renameCommand, "Rename selected program in the Library"},
                {"DELETE", deleteCommand, "Delete selected program from the Library"},
                {"ADD CURRENT", addCurrentCommand, "Add the current program to the Library"},
                {"DONE", doneCommand, ""},
                {"DUPLICATES", duplicatesCommand, "Find programs that sound the same"},
                {"AUTO CATEGORY", autoCategoryCommand, "Suggest categories from the programs' names"}},
               *this)
{
    sortLabel.setColour (juce::Label::textColourId, juce::Colours::white);
    sortLabel.setFont (juce::Font (15.0f));
    addAndMakeVisible (sortLabel);
    sortBox.addItemList ({"Library order", "Name", "Category", "Rating"}, 1);
    sortBox.setTitle ("Sort the list by");
    sortBox.onChange = [this]
    {
        if (sortBox.getSelectedId() > 0)
            library.setOrder ((LibraryMeta::Order) (sortBox.getSelectedId() - 1));
    };
    addAndMakeVisible (sortBox);
    favouritesButton.setColour (juce::ToggleButton::textColourId, juce::Colours::white);
    favouritesButton.setColour (juce::ToggleButton::tickColourId, juce::Colours::white);
    favouritesButton.onClick = [this] { library.setFavouritesOnly (favouritesButton.getToggleState()); };
    addAndMakeVisible (favouritesButton);
    addAndMakeVisible (list);
    addAndMakeVisible (heading);
    addAndMakeVisible (grid);
    status.setTextColour (juce::Colour (0xffcebdbd));
    addAndMakeVisible (status);
    list.setListener (this);
    grid.setListener (this);
    library.onChange = [this] { modelChanged(); };
    fileMan.confirm = [this] (const juce::String& question, std::function<void()> yes, std::function<void()> no)
    {
        ask ({question, {}, -1, "YES", {}, "NO"},
             [yes, no] (const ProgramLibrary::Answer& a)
             {
                 if (a.button == ProgramLibrary::Answer::positive)
                     yes();
                 else
                     no();
             });
    };
    fileMan.tell = [this] (const juce::String& message) { tell (message); };
    setSize (1000, 528);
    loadDefaultLibrary();
}

LibClass::~LibClass()
{
    library.onChange = nullptr;
    if (dialog != nullptr)
        dialog->removeListener (this);
    saveDefaultLibrary();
}

void LibClass::loadDefaultLibrary()
{
    if (folder != juce::File())
        library.loadDefault (folder);
    else
        library.refresh();
}

void LibClass::saveDefaultLibrary()
{
    stopTimer();
    if (folder != juce::File() && library.hasUnsavedChanges())
        library.saveDefault (folder); // at the editor's close nobody can be told of a failure
}

void LibClass::visibilityChanged()
{
    if (!isVisible() && (dialog == nullptr || !dialog->isVisible()))
        library.keepDefault();
}

void LibClass::timerCallback()
{
    if (dialog != nullptr && dialog->isVisible())
        return; // a question is open: its answer comes first
    stopTimer();
    library.keepDefault();
}

LibBut& LibClass::getButton (int command)
{
    return buttons.get (command);
}

void LibClass::applySelected()
{
    if (library.getSelectedRow() >= 0)
        library.select (library.getSelectedRow());
}

void LibClass::modelChanged()
{
    list.libraryChanged();
    if (library.hasUnsavedChanges())
        startTimer (1500);
}

void LibClass::contentChanged()
{
    grid.setCounts (library);
    grid.setShown (library.isFilterOn() ? library.getChosenCategory() : ProgramLibrary::listAll);
    heading.setText (library.getHeading());
    sortBox.setSelectedId ((int)library.getMeta().getOrder() + 1, juce::dontSendNotification);
    favouritesButton.setToggleState (library.getMeta().isFavouritesOnly(), juce::dontSendNotification);
    updateButtons();
}

void LibClass::updateButtons()
{
    const bool rows = !library.getVisibleRows().empty();
    const bool selected = library.getSelectedRow() >= 0;
    // setVisible leaves a button alone when its state does not change.
    getButton (saveCommand).setVisible (rows);
    getButton (clearAllCommand).setVisible (rows);
    getButton (renameCommand).setVisible (selected);
    getButton (deleteCommand).setVisible (selected);
}

std::vector<std::pair<juce::String, int>> LibClass::loadMenuEntries (const MidiCntrState& hub)
{
    std::vector<int> sources{ProgramLibrary::fromLibraryFile, ProgramLibrary::fromBankFile};
    for (int b = 0; b < MidiCntrState::numBanks; ++b)
        sources.push_back (ProgramLibrary::fromInstrumentBank + b);
    sources.push_back (ProgramLibrary::fromPresetBank);

    std::vector<std::pair<juce::String, int>> entries;
    size_t next = 0;
    for (const auto& text : ProgramLibrary::loadMenuTexts (hub))
        entries.emplace_back (text, text.isEmpty() || next >= sources.size() ? 0 : sources[next++]);
    return entries;
}

void LibClass::showLoadMenu()
{
    juce::PopupMenu menu;
    for (const auto& [text, source] : loadMenuEntries (processor.getHub()))
    {
        if (source == 0)
            menu.addSeparator();
        else
            menu.addItem (source, text);
    }
    juce::Component::SafePointer<LibClass> self (this);
    ValueMenus::show (menu, juce::PopupMenu::Options().withTargetComponent (&getButton (loadCommand)),
                      [self] (int source)
                      {
                          if (self != nullptr && source > 0)
                              self->library.load (source);
                      });
}

void LibClass::libButPressed (LibBut&, int command)
{
    switch (command)
    {
        case loadCommand: showLoadMenu(); break;
        case saveCommand: library.save(); break;
        case clearAllCommand: library.clearAll(); break;
        case renameCommand: library.rename(); break;
        case deleteCommand: library.remove(); break;
        case addCurrentCommand: library.addCurrent(); break;
        case doneCommand: library.keepDefault(); break; // while a failure can still be told
        case duplicatesCommand: library.findDuplicates(); break;
        case autoCategoryCommand: library.suggestCategories(); break;
        default: break;
    }
}

void LibClass::libButHover (LibBut& button, bool entered)
{
    status.setText (entered ? button.getTip() : juce::String());
}

void LibClass::categoryChosen (int index)
{
    library.chooseCategory (index);
}

void LibClass::selectionChanged (int) {}

void LibClass::rowDoubleClicked (int)
{
    getButton (doneCommand).press();
}

//==============================================================================
void LibClass::ask (const ProgramLibrary::Question& q, std::function<void (const ProgramLibrary::Answer&)> answered)
{
    if (dialog == nullptr)
    {
        dialog = std::make_unique<TextInputCont>();
        dialog->addListener (this);
        addChildComponent (*dialog);
    }
    pendingAnswer = std::move (answered);
    // Only name questions carry a category, and only they take a text.
    dialog->open (q.title, q.editText, q.category >= 0, q.category, q.cancel, q.positive, q.negative, ++questionId, 0);
    if (q.category >= 0)
        dialog->getEditor().grabKeyboardFocus();
}

void LibClass::answer (int identifier, ProgramLibrary::Answer a)
{
    if (identifier != questionId || !pendingAnswer)
        return;
    // The answer may ask the next question, which brings its own callback.
    auto answered = std::exchange (pendingAnswer, nullptr);
    answered (a);
}

void LibClass::positiveAnswer (int identifier, int, const juce::String& text, int category)
{
    answer (identifier, {ProgramLibrary::Answer::positive, text, category});
}

void LibClass::negativeAnswer (int identifier, int)
{
    answer (identifier, {ProgramLibrary::Answer::negative, {}, 0});
}

void LibClass::cancelAnswer (int identifier, int)
{
    answer (identifier, {ProgramLibrary::Answer::cancel, {}, 0});
}

void LibClass::chooseFile (int kind, const juce::String& defaultName, std::function<void (juce::File)> chosen)
{
    const auto k = FileMan::kind (kind);
    if (!k.has_value())
    {
        chosen ({});
        return;
    }
    juce::Component::SafePointer<LibClass> self (this);
    fileMan.browse (k->mode, kind, defaultName,
                    [self, chosen] (bool ok)
                    {
                        if (self != nullptr)
                            chosen (ok ? self->fileMan.chosenFile : juce::File());
                    });
}

void LibClass::applyProgramChunk (const ravlin::Bytes& chunk)
{
    processor.setCurrentProgramStateInformation (chunk.data(), (int)chunk.size());
}

//==============================================================================
void LibClass::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xff373535));
    g.setColour (juce::Colour (0xff0a0a0a));
    g.fillRect (0, 4, getWidth(), 2);
}

void LibClass::resized()
{
    list.setBounds (20, 10, 334, RecordList::rowsShown * RecordList::rowHeight);
    const auto x = getWidth() - 120, h = getHeight();
    const std::pair<int, int> places[] = {
        {loadCommand, 10},         {saveCommand, 50},        {clearAllCommand, 90}, {addCurrentCommand, h - 210},
        {deleteCommand, h - 170},  {renameCommand, h - 130}, {doneCommand, h - 40}, {duplicatesCommand, 150},
        {autoCategoryCommand, 190}};
    for (const auto& [command, y] : places)
        getButton (command).setBounds (x, y, 100, 34);
    heading.setBounds (400, 16, 200, 20);
    sortLabel.setBounds (400, 56, 44, 24);
    sortBox.setBounds (446, 56, 150, 24);
    favouritesButton.setBounds (616, 56, 160, 24);
    grid.setBounds (400, 140, 440, 320); // its 27 cells, above the status line
    status.setBounds (400, h - 30, 400, 24);
    if (dialog != nullptr && dialog->isVisible())
        dialog->setBounds (getLocalBounds());
}

void LibClass::mouseDown (const juce::MouseEvent& e)
{
    // Only presses on the page itself, not on its children.
    if (e.eventComponent == this)
        library.filterByChosenCategory();
}
