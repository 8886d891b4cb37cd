#include "ui/editor/WriteSnd.h"
#include "ui/controls/Fonts.h"

#include "core/MidiCntrState.h"
#include "instrument/ParDes.h"
#include "ui/controls/ValueMenus.h"

namespace
{
void styleButton (juce::TextButton& b)
{
    b.setColour (juce::TextButton::buttonColourId, juce::Colour (0xff282626));
    b.setColour (juce::TextButton::textColourOffId, juce::Colour (0xfff3f3f3));
}
} // namespace

WriteSnd::WriteSnd (MidiCntrState& h, int bank, int program, const juce::String& name, int categoryNumber)
    : hub (h), chosenBank (juce::jlimit (0, 3, bank)), chosenProgram (juce::jlimit (0, 98, program)),
      category (juce::jlimit (0, ParDes::numCategories - 1, categoryNumber)), grid (h)
{
    for (int i = 0; i < 4; ++i)
    {
        auto* b = bankButtons.add (new StsBut ("BANK U" + juce::String (i + 1), i, 140));
        b->addListener (this);
        addAndMakeVisible (b);
    }

    nameEditor.setFont (juce::Font (ravlin::arialName(), 12.0f, juce::Font::plain));
    nameEditor.setMultiLine (false);
    nameEditor.setInputRestrictions (nameLength);
    nameEditor.setText (name.substring (0, nameLength).trimEnd(), juce::dontSendNotification);
    nameEditor.onTextChange = [this] { repaint (getLcdBounds()); };
    addAndMakeVisible (nameEditor);

    categoryField.setButtonText (ParDes::categoryText (category));
    categoryField.setTitle ("Category");
    categoryField.onClick = [this]
    { showCategoryMenu (categoryField, category, [this] (int chosen) { chooseCategory (chosen); }); };

    for (auto* b : {&writeButton, &cancelButton, &categoryField})
    {
        styleButton (*b);
        addAndMakeVisible (*b);
    }
    writeButton.onClick = [this] { write(); };
    cancelButton.onClick = [this]
    {
        if (onClose)
            onClose (false);
    };

    verifyBox.setTicked (hub.verifyAfterWriting);
    verifyBox.addChangeListener (this);
    addAndMakeVisible (verifyBox);
    listModeBox.addChangeListener (this);
    addAndMakeVisible (listModeBox);

    grid.addListener (this);
    grid.setColumnWidths ({50, 140, 100, 0});
    addAndMakeVisible (grid);
    chooseBank (chosenBank);
    grid.selectProgram (chosenProgram, chosenBank);
}

WriteSnd::~WriteSnd()
{
    verifyBox.removeChangeListener (this);
    listModeBox.removeChangeListener (this);
    grid.removeListener (this);
    for (auto* b : bankButtons)
        b->removeListener (this);
}

juce::String WriteSnd::getName() const
{
    return nameEditor.getText().substring (0, nameLength).paddedRight (' ', nameLength);
}

void WriteSnd::chooseCategory (int number)
{
    if (!juce::isPositiveAndBelow (number, ParDes::numCategories))
        return;
    category = number;
    categoryField.setButtonText (ParDes::categoryText (category));
    repaint (getLcdBounds());
}

void WriteSnd::listByCategory (bool byCategory)
{
    listModeBox.setTicked (byCategory);
    if (byCategory)
        chooseListedCategory (isListedByCategory() ? grid.getModeValue() : category);
    else
        chooseBank (chosenBank);
}

void WriteSnd::chooseListedCategory (int number)
{
    if (!juce::isPositiveAndBelow (number, ParDes::numCategories))
        return;
    grid.setContent (1, number);
    grid.selectProgram (chosenProgram, chosenBank);
    for (auto* b : bankButtons)
        b->setSelected (false); // no one bank is listed
    repaint();
}

void WriteSnd::showCategoryMenu (juce::Component& anchor, int ticked, std::function<void (int)> onChosen)
{
    juce::Component::SafePointer<WriteSnd> self (this);
    ValueMenus::show (ParDes::buildCategoryMenu (ticked), juce::PopupMenu::Options().withTargetComponent (&anchor),
                      [self, onChosen = std::move (onChosen)] (int item)
                      {
                          if (self != nullptr && item > 0)
                              onChosen (item - 1);
                      });
}

juce::String WriteSnd::getLcdText() const
{
    const auto edited = hub.getCurrentProgram();
    // What will be written: the edited program under the chosen name and category.
    return StsGrid::locationText (chosenBank, chosenProgram) + "  " + nameEditor.getText() + "\n" +
           ParDes::categoryText (category) + "  " + Bank_Program::abModeTextOf (edited.data(), edited.size()) + " " +
           Bank_Program::arpMarkOf (edited.data(), edited.size());
}

void WriteSnd::chooseBank (int bank)
{
    chosenBank = juce::jlimit (0, 3, bank);
    for (int i = 0; i < 4; ++i)
        bankButtons[i]->setSelected (i == chosenBank);
    grid.setContent (0, chosenBank);
    grid.selectProgram (chosenProgram, chosenBank);
    repaint();
}

void WriteSnd::stsbutChanged (StsBut& button)
{
    if (isListedByCategory())
    {
        // Listed by category, the bank selector picks the listed category instead.
        showCategoryMenu (button, grid.getModeValue(), [this] (int chosen) { chooseListedCategory (chosen); });
        return;
    }
    chooseBank (button.getCommand());
}

void WriteSnd::gridAction (int action, int program, int bank)
{
    if (action != StsGrid::play)
        return;
    chosenProgram = program;
    chosenBank = bank;
    repaint (getLcdBounds());
}

void WriteSnd::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (source == &listModeBox)
    {
        listByCategory (listModeBox.isTicked());
        return;
    }
    hub.setOption (SettingsBlock::verifyAfterWriting, verifyBox.isTicked());
    hub.saveSettings();
}

void WriteSnd::write()
{
    const bool sameSlot = chosenBank == hub.currentBank && chosenProgram == hub.currentProgram;
    if (sameSlot || !ask)
    {
        writeNow();
        return;
    }
    juce::Component::SafePointer<WriteSnd> self (this);
    ask ("This overwrites 1 program in the instrument's memory: " + StsGrid::locationText (chosenBank, chosenProgram) +
             " " + hub.getBankProgramName (chosenBank, chosenProgram).trimEnd() + ". Continue?",
         [self]
         {
             if (self != nullptr)
                 self->writeNow();
         });
}

void WriteSnd::writeNow()
{
    switch (hub.writeProgram (chosenBank, chosenProgram, getName(), category))
    {
        case MidiCntrState::WriteResult::written:
            if (onClose)
                onClose (true);
            return;
        case MidiCntrState::WriteResult::noOutput:
            if (tell)
                tell ("Nothing was written: no MIDI output port is open. Choose the instrument's ports with MIDI.");
            return;
        case MidiCntrState::WriteResult::busy:
            if (tell)
                tell ("Nothing was written: a bank transfer is running.");
            return;
        case MidiCntrState::WriteResult::notUserSlot:
            if (tell)
                tell ("Nothing was written: programs are written to the user banks only.");
            return;
    }
}

void WriteSnd::resized()
{
    for (int i = 0; i < 4; ++i)
        bankButtons[i]->setBounds (102, 80 + 36 * i, 80, 24);
    nameEditor.setBounds (440, 30, 160, 22);
    categoryField.setBounds (620, 30, 140, 22);
    listModeBox.setBounds (102, 80 + 36 * 4, 96, 18);
    const auto gridHeight = gridHeightFor (getHeight() - 80);
    grid.setBounds (202, 74, 350, gridHeight);
    const auto gridBottom = grid.getBottom();
    verifyBox.setBounds (582, gridBottom - 84, 120, 18);
    cancelButton.setBounds (582, gridBottom - 54, 90, 24);
    writeButton.setBounds (582, gridBottom - 18, 90, 24);
}

void WriteSnd::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xff141414));
    const auto lcd = getLcdBounds();
    g.setColour (juce::Colour (0xff0c2a38));
    g.fillRoundedRectangle (lcd.toFloat(), 4.0f);
    g.setColour (juce::Colour (0xff8ed3ff));
    g.setFont (juce::Font (ravlin::arialName(), 13.0f, juce::Font::plain));
    g.drawFittedText (getLcdText(), lcd.reduced (6, 4), juce::Justification::centredLeft, 2, 0.8f);

    g.setColour (juce::Colour (0xfff3f3f3));
    g.setFont (juce::Font (ravlin::arialName(), 12.0f, juce::Font::plain));
    g.drawText ("Name:", 440, 12, 100, 16, juce::Justification::centredLeft);
    g.drawText ("Category:", 620, 12, 100, 16, juce::Justification::centredLeft);
}
