#include "ui/library/TextSetCurCont.h"
#include "ui/controls/Fonts.h"

#include "core/MidiCntrState.h"
#include "instrument/ParDes.h"
#include "ui/controls/ValueMenus.h"

namespace
{
using ravlin::arial;
} // namespace

TextSetCurCont::TextSetCurCont (MidiCntrState& h) : hub (h)
{
    for (auto* b : {&ok, &cancel})
    {
        b->addListener (this);
        addAndMakeVisible (*b);
    }
    editor.setFont (arial (16.0f));
    editor.setMultiLine (false);
    editor.setInputRestrictions (DSI_Program::nameLength);
    editor.setBorder ({});
    editor.setIndents (6, 0);
    editor.setJustification (juce::Justification::centredLeft);
    editor.onReturnKey = [this] { ok.press(); };
    editor.onEscapeKey = [this] { cancel.press(); };
    addAndMakeVisible (editor);
}

TextSetCurCont::~TextSetCurCont()
{
    for (auto* b : {&ok, &cancel})
        b->removeListener (this);
}

juce::String TextSetCurCont::startingName (const juce::String& storedName)
{
    if (storedName.startsWith ("---") || storedName.isEmpty())
        return "Untitled";
    return storedName.trimEnd();
}

juce::String TextSetCurCont::slotText (int slot) const
{
    return juce::String (slot + 1) + "    " + hub.getPresetProgramName (slot).trimEnd();
}

void TextSetCurCont::open (int currentPreset)
{
    auto current = hub.getCurrentProgram();
    current.resize ((size_t)Bank_Program::programSize, 0);
    editor.setText (startingName (ProgramLibrary::nameOf (current.data())), juce::dontSendNotification);
    editor.applyFontToAllText (arial (16.0f));
    target = juce::jlimit (0, Bank_Program::numPrograms - 1, currentPreset);
    cover();
    editor.grabKeyboardFocus();
    editor.selectAll();
}

void TextSetCurCont::setTarget (int slot)
{
    target = juce::jlimit (0, Bank_Program::numPrograms - 1, slot);
    repaint();
}

juce::Rectangle<int> TextSetCurCont::slotBoxBounds() const noexcept
{
    return {(getWidth() - 280) / 2 - 1, 139, 282, 34};
}

void TextSetCurCont::resized()
{
    editor.setBounds ((getWidth() - 280) / 2, 64, 280, 24);
    ok.setBounds ((getWidth() - 220) / 2, 256, 100, 34);
    cancel.setBounds ((getWidth() - 220) / 2 + 120, 256, 100, 34);
}

void TextSetCurCont::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xff191919));
    g.setColour (juce::Colours::white);
    g.setFont (arial (24.0f));
    g.drawText ("Preset name:", 20, 24, getWidth() - 40, 30, juce::Justification::centred);
    g.drawText ("Replace:", 20, 24, getWidth() - 40, 180, juce::Justification::centred);

    const auto box = slotBoxBounds();
    g.setColour (juce::Colours::black);
    g.fillRect (box);
    g.setColour (juce::Colours::white);
    g.drawRect (box, 1);
    g.setFont (arial (20.0f));
    g.drawText (slotText (target), (getWidth() - 280) / 2, 140, 280, 30, juce::Justification::centred);
}

void TextSetCurCont::mouseDown (const juce::MouseEvent& e)
{
    if (!slotBoxBounds().contains (e.getPosition()))
        return;
    juce::PopupMenu menu;
    for (int slot = 0; slot < Bank_Program::numPrograms; ++slot)
        menu.addItem (slot + 1, slotText (slot), true, slot == target);
    juce::Component::SafePointer<TextSetCurCont> self (this);
    ValueMenus::show (menu,
                      juce::PopupMenu::Options().withTargetComponent (this).withTargetScreenArea (
                          localAreaToGlobal (slotBoxBounds())),
                      [self] (int item)
                      {
                          if (self != nullptr && item > 0)
                              self->setTarget (item - 1);
                      });
}

void TextSetCurCont::libButPressed (LibBut&, int command)
{
    const auto slot = target;
    const auto name = editor.getText();
    dismiss();
    if (command == okCommand)
        listeners.call ([&] (textSetCurListener& l) { l.storeAccepted (slot, name); });
    else
        listeners.call ([] (textSetCurListener& l) { l.storeCancelled(); });
}
