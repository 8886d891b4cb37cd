#include "ui/library/Plugin_Bank.h"

#include "core/RavlinAudioProcessor.h"
#include "instrument/ParDes.h"
#include "library/ProgramLibrary.h"
#include "library/ProgramScan.h"
#include "ui/controls/ValueMenus.h"

namespace
{
constexpr int renameQuestion = 1, messageQuestion = 2, yesNoQuestion = 3;
} // namespace

Plugin_Bank::Plugin_Bank (RavlinAudioProcessor& p)
    : processor (p), list (p.getHub()),
      buttons (*this,
               {{"LOAD", loadCommand, "Load preset or preset bank from files."},
                {"SAVE", saveCommand, "Save th current preset or preset bank."},
                {"SET CURRENT", setCurrentCommand, "Import current preset to the preset bank."},
                {"RENAME", renameCommand, "Rename the current preset."},
                {"DONE", doneCommand, ""}},
               *this)
{
    list.setListener (this);
    addAndMakeVisible (list);
    status.setTextColour (juce::Colour (0xffcebdbd));
    addAndMakeVisible (status);
    fileMan.tell = [this] (const juce::String& message) { tell (message); };
    fileMan.confirm = [this] (const juce::String& question, std::function<void()> yes, std::function<void()> no)
    { confirm (question, std::move (yes), std::move (no)); };
    setSize (1000, 528);
    updateButtons();
}

Plugin_Bank::~Plugin_Bank()
{
    stopTimer();
    if (dialog != nullptr)
        dialog->removeListener (this);
    if (storeDialog != nullptr)
        storeDialog->removeListener (this);
}

LibBut& Plugin_Bank::getButton (int command)
{
    return buttons.get (command);
}

int Plugin_Bank::currentPreset()
{
    return juce::jmax (0, processor.getCurrentProgram());
}

void Plugin_Bank::followCurrentPreset()
{
    const auto current = currentPreset();
    followed = current;
    if (current < list.numRows() && current != list.selectedRow())
        list.setSelectedRow (current);
    updateButtons();
}

void Plugin_Bank::visibilityChanged()
{
    if (isVisible())
        startTimer (followMs);
    else
        stopTimer();
}

void Plugin_Bank::timerCallback()
{
    if (currentPreset() == followed)
        return;
    followCurrentPreset();
    list.repaint(); // a host loading a program may bring new names too
}

void Plugin_Bank::updateButtons()
{
    getButton (renameCommand).setVisible (list.selectedRow() >= 0);
}

void Plugin_Bank::changed()
{
    // The host shows the preset names as its program list.
    processor.updateHostDisplay (juce::AudioProcessorListener::ChangeDetails().withProgramChanged (true));
    list.repaint();
    updateButtons();
}

//==============================================================================
std::vector<std::pair<juce::String, int>> Plugin_Bank::loadMenuEntries() const
{
    const auto& hub = processor.getHub();
    std::vector<std::pair<juce::String, int>> entries{{"Load Single Preset File", loadSinglePreset},
                                                      {"Load Preset Bank File", loadPresetBank},
                                                      {{}, 0},
                                                      {"Load Program Bank From File", loadProgramBankFile}};
    for (int b = 0; b < MidiCntrState::numBanks; ++b)
    {
        if (b % 4 == 0)
            entries.emplace_back (juce::String(), 0);
        entries.emplace_back ("Load From " + hub.banks[(size_t)b]->bankName, loadInstrumentBank + b);
    }
    return entries;
}

std::vector<std::pair<juce::String, int>> Plugin_Bank::saveMenuEntries() const
{
    const auto name = processor.getProgramName (juce::jmax (0, processor.getCurrentProgram())).trimEnd();
    return {{"Save " + name + " Preset as", savePreset}, {"Save Preset Bank as", savePresetBank}};
}

void Plugin_Bank::showMenu (const std::vector<std::pair<juce::String, int>>& entries, LibBut& at)
{
    juce::PopupMenu menu;
    for (const auto& [text, item] : entries)
    {
        if (item == 0)
            menu.addSeparator();
        else
            menu.addItem (item, text);
    }
    juce::Component::SafePointer<Plugin_Bank> self (this);
    ValueMenus::show (menu, juce::PopupMenu::Options().withTargetComponent (&at),
                      [self] (int item)
                      {
                          if (self != nullptr && item > 0)
                              self->perform (item);
                      });
}

void Plugin_Bank::loadFile (int kind, std::function<void (const ravlin::Bytes&)> use)
{
    juce::Component::SafePointer<Plugin_Bank> self (this);
    fileMan.browse (FileMan::Mode::open, kind, {},
                    [self, use, kind] (bool chosen)
                    {
                        if (self == nullptr || !chosen)
                            return;
                        const auto& file = self->fileMan.chosenFile;
                        const auto data = ProgramFiles::readFile (file);
                        if (!data.has_value())
                        {
                            self->tell (ProgramFiles::whyUnreadable (file) + " Nothing was changed.");
                            return;
                        }
                        const auto fx = ProgramScan::readFxChunk (data->data(), data->size());
                        const auto wanted = kind == 11 ? ProgramScan::Format::fxPreset : ProgramScan::Format::fxBank;
                        if (fx.format != wanted)
                        {
                            const auto why = fx.format == ProgramScan::Format::none ? fx.problem
                                             : kind == 11 ? juce::String ("it is a preset bank, not a single preset.")
                                                          : juce::String ("it is a single preset, not a preset bank.");
                            self->tell (file.getFileName() + " was not loaded: " + why + " Nothing was changed.");
                            return;
                        }
                        auto load = [self, use, chunk = fx.chunk]
                        {
                            if (self == nullptr)
                                return;
                            use (chunk);
                            self->changed();
                        };
                        if (kind == 11)
                            load(); // into the current preset, as asked
                        else
                            self->confirm ("Replace the 99 presets with those of " + file.getFileName() + "?", load,
                                           nullptr);
                    });
}

void Plugin_Bank::saveFile (int kind, const juce::String& defaultName, std::function<juce::MemoryBlock()> content)
{
    juce::Component::SafePointer<Plugin_Bank> self (this);
    fileMan.browse (FileMan::Mode::save, kind, defaultName,
                    [self, content] (bool chosen)
                    {
                        if (self == nullptr || !chosen)
                            return;
                        const auto block = content();
                        self->fileMan.writeChosen (block.getData(), block.getSize());
                        self->changed();
                    });
}

void Plugin_Bank::perform (int item)
{
    auto& hub = processor.getHub();
    switch (item)
    {
        case loadSinglePreset:
            loadFile (11, [this] (const ravlin::Bytes& data)
                      { processor.setCurrentProgramStateInformation (data.data(), (int)data.size()); });
            return;
        case loadPresetBank:
            loadFile (10, [this] (const ravlin::Bytes& data)
                      { processor.setStateInformation (data.data(), (int)data.size()); });
            return;
        case loadProgramBankFile:
        {
            juce::Component::SafePointer<Plugin_Bank> self (this);
            fileMan.loadProgramBank (
                [self] (bool read)
                {
                    if (self == nullptr || !read || self->fileMan.bankMessages <= 0)
                        return;
                    const auto count = std::min (self->fileMan.bankMessages, Bank_Program::numPrograms);
                    auto bank = std::make_shared<Bank_Program> ("file");
                    bank->loadFromDumps (self->fileMan.sysExBytes);
                    self->confirm (
                        "Replace presets 1 to " + juce::String (count) + " with the programs of " +
                            self->fileMan.chosenFile.getFileName() + "?",
                        [self, bank, count]
                        {
                            if (self == nullptr)
                                return;
                            for (int p = 0; p < count; ++p)
                                self->processor.getHub().setPresetProgram (p, bank->getProgram (p));
                            self->changed();
                        },
                        nullptr);
                });
            return;
        }
        case savePreset:
        {
            const auto name = processor.getProgramName (currentPreset()).trimEnd();
            saveFile (111, name,
                      [this]
                      {
                          juce::MemoryBlock block;
                          processor.getCurrentProgramStateInformation (block);
                          return block;
                      });
            return;
        }
        case savePresetBank:
            saveFile (110, "Prophet 12 Preset Bank",
                      [this]
                      {
                          juce::MemoryBlock block;
                          processor.getStateInformation (block);
                          return block;
                      });
            return;
        default: break;
    }
    if (item >= loadInstrumentBank && item < loadInstrumentBank + MidiCntrState::numBanks)
    {
        const auto bank = item - loadInstrumentBank;
        confirm (
            "Replace the 99 presets with the programs of " + hub.banks[(size_t)bank]->bankName + "?",
            [this, bank]
            {
                auto& h = processor.getHub();
                for (int p = 0; p < Bank_Program::numPrograms; ++p)
                    h.setPresetProgram (p, h.getBankProgram (bank, p));
                changed();
            },
            nullptr);
    }
}

void Plugin_Bank::rename()
{
    const auto row = list.selectedRow();
    if (row < 0)
        return;
    questionDialog();
    const auto name = processor.getProgramName (row).trimEnd();
    dialog->open ("Rename " + name + ":", name, true, list.rowCategory (row), "CANCEL", "OK", {}, renameQuestion, row);
    dialog->getEditor().grabKeyboardFocus();
}

void Plugin_Bank::positiveAnswer (int identifier, int row, const juce::String& text, int category)
{
    if (identifier == yesNoQuestion)
    {
        onNo = nullptr;
        if (auto yes = std::exchange (onYes, nullptr))
            yes();
        return;
    }
    if (identifier != renameQuestion || !juce::isPositiveAndBelow (row, Bank_Program::numPrograms))
        return;
    auto& hub = processor.getHub();
    if (text.isNotEmpty())
        hub.renamePresetProgram (row, text);
    auto program = hub.getPresetProgram (row);
    program.resize ((size_t)Bank_Program::programSize, 0);
    ProgramLibrary::keepOrChooseCategory (program.data(), category);
    hub.setPresetProgram (row, program);
    changed();
}

TextInputCont& Plugin_Bank::questionDialog()
{
    if (dialog == nullptr)
    {
        dialog = std::make_unique<TextInputCont>();
        dialog->addListener (this);
        addChildComponent (*dialog);
    }
    return *dialog;
}

void Plugin_Bank::tell (const juce::String& message)
{
    onYes = onNo = nullptr;
    questionDialog().open (message, {}, false, -1, {}, {}, "OK", messageQuestion, 0);
}

void Plugin_Bank::confirm (const juce::String& question, std::function<void()> yes, std::function<void()> no)
{
    onYes = std::move (yes);
    onNo = std::move (no);
    questionDialog().open (question, {}, false, -1, "NO", "YES", {}, yesNoQuestion, 0);
}

void Plugin_Bank::negativeAnswer (int identifier, int)
{
    cancelAnswer (identifier, 0);
}

void Plugin_Bank::cancelAnswer (int identifier, int)
{
    if (identifier != yesNoQuestion)
        return;
    onYes = nullptr;
    if (auto no = std::exchange (onNo, nullptr))
        no();
}

void Plugin_Bank::setCurrent()
{
    if (storeDialog == nullptr)
    {
        storeDialog = std::make_unique<TextSetCurCont> (processor.getHub());
        storeDialog->addListener (this);
        addChildComponent (*storeDialog);
    }
    storeDialog->open (currentPreset());
}

void Plugin_Bank::storeAccepted (int slot, const juce::String& name)
{
    auto& hub = processor.getHub();
    auto copy = hub.getCurrentProgram();
    copy.resize ((size_t)Bank_Program::programSize, 0);
    ProgramLibrary::writeName (copy.data(), name);
    hub.setPresetProgram (slot, copy);
    processor.setCurrentProgram (slot);
    list.setSelectedRow (slot);
    changed();
}

//==============================================================================
void Plugin_Bank::libButPressed (LibBut& button, int command)
{
    switch (command)
    {
        case loadCommand: showMenu (loadMenuEntries(), button); break;
        case saveCommand: showMenu (saveMenuEntries(), button); break;
        case renameCommand: rename(); break;
        case setCurrentCommand: setCurrent(); break;
        default: break; // DONE: the window hides itself
    }
}

void Plugin_Bank::libButHover (LibBut& button, bool entered)
{
    status.setText (entered ? button.getTip() : juce::String());
}

void Plugin_Bank::presetRowPressed (int row)
{
    updateButtons();
    if (row >= 0)
        processor.setCurrentProgram (row);
}

void Plugin_Bank::presetRowDoubleClicked (int)
{
    getButton (doneCommand).press();
}

void Plugin_Bank::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xff373535));
    g.setColour (juce::Colour (0xff0a0a0a));
    g.fillRect (0, 4, getWidth(), 2);
}

void Plugin_Bank::resized()
{
    list.setBounds (20, 10, 334, 510);
    const auto x = getWidth() - 120, h = getHeight();
    const std::pair<int, int> places[] = {{loadCommand, 10},
                                          {saveCommand, 50},
                                          {setCurrentCommand, h - 170},
                                          {renameCommand, h - 130},
                                          {doneCommand, h - 40}};
    for (const auto& [command, y] : places)
        getButton (command).setBounds (x, y, 100, 34);
    status.setBounds (400, h - 30, 400, 24);
    for (juce::Component* d : {(juce::Component*)dialog.get(), (juce::Component*)storeDialog.get()})
        if (d != nullptr && d->isVisible())
            d->setBounds (getLocalBounds());
}

void Plugin_Bank::keepRatingsIn (const juce::File& folder)
{
    ratingsFolder = folder;
    if (folder != juce::File() && ratings.load (folder) == LibraryMeta::Load::setAside)
        status.setText (juce::String (LibraryMeta::fileName) + " could not be read; it was kept as " +
                        ratings.getSetAside().getFileName() + ".");
    list.setRatings (&ratings);
    list.onRated = [this]
    {
        if (ratingsFolder != juce::File() && !ratings.save (ratingsFolder))
            tell ("Could not write " + ratingsFolder.getChildFile (LibraryMeta::fileName).getFullPathName() +
                  ". The stars are kept here and written with the next change.");
    };
    list.repaint();
}
