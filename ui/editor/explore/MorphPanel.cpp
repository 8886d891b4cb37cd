#include "ui/editor/explore/MorphPanel.h"

#include "core/RavlinAudioProcessor.h"
#include "ui/editor/EditorPrograms.h"

MorphPanel::MorphPanel (RavlinAudioProcessor& p) : processor (p)
{
    for (auto* picker : {&pickA, &pickB})
    {
        fillPicker (*picker);
        addAndMakeVisible (picker);
    }
    pickA.onChange = [this] { choose (0, pickA.getSelectedId()); };
    pickB.onChange = [this] { choose (1, pickB.getSelectedId()); };
    pickA.setSelectedId (editedItem, juce::sendNotificationSync);
    pickB.setSelectedId (firstPresetItem, juce::sendNotificationSync);

    slider.setRange (0.0, 100.0, 1.0);
    slider.setTextValueSuffix (" %");
    slider.onDragStart = [this] { pressed(); };
    slider.onValueChange = [this] { moved(); };
    slider.onDragEnd = [this] { released(); };
    addAndMakeVisible (slider);

    const auto& table = processor.getHub().parameterTable;
    hostNote.setText (ExploreSession::freeHostSlot (table) < 0
                          ? "The morph position cannot be automated by the host: all 624 automation slots carry "
                            "parameters, and none may move."
                          : "The morph position can be automated by the host.",
                      juce::dontSendNotification);
    for (auto* label : {&labelA, &labelB, &hostNote, &status})
        addAndMakeVisible (label);
    setSize (520, 200);
}

void MorphPanel::fillPicker (juce::ComboBox& picker)
{
    auto& hub = processor.getHub();
    auto* root = picker.getRootMenu();
    root->addItem (editedItem, "Edited program (as chosen)");
    juce::PopupMenu presets;
    for (int program = 0; program < Bank_Program::numPrograms; ++program)
        presets.addItem (firstPresetItem + program,
                         juce::String (program + 1) + " " + hub.getPresetProgramName (program).trimEnd());
    root->addSubMenu ("Presets", presets);
    for (int bank = 0; bank < MidiCntrState::numBanks; ++bank)
    {
        juce::PopupMenu slots;
        for (int program = 0; program < Bank_Program::numPrograms; ++program)
            slots.addItem (firstBankItem + 100 * bank + program,
                           juce::String (program + 1) + " " + hub.getBankProgramName (bank, program).trimEnd());
        root->addSubMenu (EditorPrograms::bankName (bank), slots);
    }
}

ravlin::Bytes MorphPanel::programOf (int item) const
{
    auto& hub = processor.getHub();
    ravlin::Bytes image;
    if (item == editedItem)
        image = hub.getCurrentProgram();
    else if (item >= firstPresetItem && item < firstPresetItem + Bank_Program::numPrograms)
        image = hub.getPresetProgram (item - firstPresetItem);
    else if (item >= firstBankItem && item < firstBankItem + 100 * MidiCntrState::numBanks &&
             (item - firstBankItem) % 100 < Bank_Program::numPrograms)
        image = hub.getBankProgram ((item - firstBankItem) / 100, (item - firstBankItem) % 100);
    if (!image.empty())
        image.resize ((size_t)ravlin::sysex::imageSize, 0);
    return image;
}

void MorphPanel::choose (int side, int item)
{
    auto image = programOf (item);
    if (image.empty())
        return;
    programs[side] = std::move (image);
    auto& picker = side == 0 ? pickA : pickB;
    if (picker.getSelectedId() != item)
        picker.setSelectedId (item, juce::dontSendNotification);
}

void MorphPanel::pressed()
{
    processor.getExploreSession().beginMorph (programs[0], programs[1]);
}

void MorphPanel::moved()
{
    auto& session = processor.getExploreSession();
    const bool byDrag = session.isMorphing();
    if (!byDrag) // the keyboard or a click on the text box: a move of its own
        pressed();
    const auto changed = session.morphTo (slider.getValue() / 100.0);
    status.setText (juce::String (changed) + " parameters changed", juce::dontSendNotification);
    if (!byDrag)
        released();
}

void MorphPanel::released()
{
    processor.getExploreSession().endMorph();
    status.setText ("Morph " + juce::String (juce::roundToInt (slider.getValue())) + " %: applied. Undo takes it back.",
                    juce::dontSendNotification);
}

void MorphPanel::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);
}

void MorphPanel::resized()
{
    auto area = getLocalBounds().reduced (10);
    auto row = area.removeFromTop (26);
    labelA.setBounds (row.removeFromLeft (20));
    pickA.setBounds (row.removeFromLeft (220).reduced (2));
    labelB.setBounds (row.removeFromLeft (20));
    pickB.setBounds (row.removeFromLeft (220).reduced (2));
    slider.setBounds (area.removeFromTop (36));
    status.setBounds (area.removeFromTop (26));
    hostNote.setBounds (area.removeFromTop (48));
}
