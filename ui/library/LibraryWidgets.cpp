#include "ui/library/LibraryWidgets.h"
#include "ui/controls/ControlAccess.h"
#include "ui/controls/Fonts.h"

#include "instrument/DSI_Program.h"
#include "instrument/ParDes.h"
#include "ui/controls/ValueMenus.h"

namespace
{
using ravlin::arial;
} // namespace

//==============================================================================
LibBut::LibBut (const juce::String& t, int c, const juce::String& tooltip) : text (t), command (c), tip (tooltip)
{
    setTitle (text);
    setDescription (tip);
    ControlAccess::makeFocusable (*this);
}

void LibBut::setText (const juce::String& newText)
{
    text = newText;
    setTitle (text);
    repaint();
}

bool LibBut::keyPressed (const juce::KeyPress& key)
{
    return ControlAccess::pressOnKey (key, [this] { press(); });
}

std::unique_ptr<juce::AccessibilityHandler> LibBut::createAccessibilityHandler()
{
    return ControlAccess::button (*this, [this] { press(); });
}

void LibBut::mouseDown (const juce::MouseEvent&)
{
    press();
}

void LibBut::setLit (bool shouldBeLit)
{
    if (lit == shouldBeLit)
        return;
    lit = shouldBeLit;
    repaint();
}

void LibBut::press()
{
    listeners.call ([this] (LibButListener& l) { l.libButPressed (*this, command); });
}

void LibBut::mouseEnter (const juce::MouseEvent&)
{
    listeners.call ([this] (LibButListener& l) { l.libButHover (*this, true); });
}

void LibBut::mouseExit (const juce::MouseEvent&)
{
    listeners.call ([this] (LibButListener& l) { l.libButHover (*this, false); });
}

void LibBut::paint (juce::Graphics& g)
{
    // The face: a wide left part and a 5-pixel right cap.
    const auto face = getLocalBounds().toFloat().reduced (0.5f);
    g.setGradientFill (juce::ColourGradient (juce::Colour (lit ? 0xff8a8c9c : 0xff5a5a60), 0.0f, 0.0f,
                                             juce::Colour (lit ? 0xff5b5e70 : 0xff2e2e33), 0.0f, face.getHeight(),
                                             false));
    g.fillRoundedRectangle (face, 4.0f);
    g.setColour (juce::Colour (0xff202020));
    g.fillRect (face.getRight() - 5.0f, face.getY() + 4.0f, 1.0f, face.getHeight() - 8.0f);
    g.setColour (juce::Colours::black);
    g.drawRoundedRectangle (face, 4.0f, 1.0f);
    g.setColour (juce::Colour (0xfff7f7f7));
    g.setFont (arial (12.0f));
    g.drawFittedText (text, getLocalBounds().reduced (4, 0), juce::Justification::centred, 1, 0.8f);
    ControlAccess::drawFocus (g, *this);
}

//==============================================================================
LibButtons::LibButtons (juce::Component& page, std::initializer_list<Item> items, LibButListener& l) : listener (l)
{
    for (const auto& item : items)
    {
        auto* b = buttons.add (new LibBut (item.text, item.command, item.tip));
        b->addListener (&listener);
        page.addAndMakeVisible (b);
    }
}

LibButtons::~LibButtons()
{
    for (auto* b : buttons)
        b->removeListener (&listener);
}

LibBut& LibButtons::get (int command)
{
    for (auto* b : buttons)
        if (b->getCommand() == command)
            return *b;
    jassertfalse;
    return *buttons.getFirst();
}

//==============================================================================
SimpleLabel::SimpleLabel (juce::Colour f, float height, bool b, juce::Justification j)
    : fill (f), fontHeight (height), bold (b), justification (j)
{
    setInterceptsMouseClicks (false, false);
}

void SimpleLabel::setText (const juce::String& newText)
{
    if (newText == text)
        return;
    text = newText;
    repaint();
}

void SimpleLabel::setTextColour (juce::Colour c)
{
    textColour = c;
    repaint();
}

void SimpleLabel::paint (juce::Graphics& g)
{
    g.fillAll (fill);
    g.setColour (textColour);
    g.setFont (arial (fontHeight, bold));
    g.drawFittedText (text, getLocalBounds(), justification, maximumLines, 0.8f);
}

//==============================================================================
/** One grid button: darker under the mouse and while pressed; reports on release inside. */
class CatContainer::Cell : public juce::Component
{
public:
    Cell (CatContainer& o, int k) : owner (o), index (k) { ControlAccess::makeFocusable (*this); }

    juce::String text;

    void choose()
    {
        if (owner.listener != nullptr)
            owner.listener->categoryChosen (index);
    }
    bool keyPressed (const juce::KeyPress& key) override
    {
        return ControlAccess::pressOnKey (key, [this] { choose(); });
    }
    void focusGained (FocusChangeType) override { repaint(); }
    void focusLost (FocusChangeType) override { repaint(); }
    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override
    {
        // Read out with its count: "Pads, 12".
        return ControlAccess::ranged (
            *this, juce::AccessibilityRole::button,
            {[this] { return owner.counts[index]->getText().getIntValue(); }, nullptr,
             [this] { return owner.counts[index]->getText(); }, 0, 1 << 30},
            juce::AccessibilityActions().addAction (juce::AccessibilityActionType::press, [this] { choose(); }));
    }

    void paint (juce::Graphics& g) override
    {
        const auto face = getLocalBounds().toFloat().reduced (0.5f);
        g.setColour (juce::Colour (0xffb8b8bc));
        g.fillRoundedRectangle (face, 3.0f);
        if (pressed || hover)
        {
            g.setColour (juce::Colour (pressed ? 0x22000000u : 0x11000000u));
            g.fillRoundedRectangle (face, 3.0f);
        }
        if (owner.shown == index)
        {
            g.setColour (juce::Colours::white);
            g.drawRoundedRectangle (face, 3.0f, 1.5f);
        }
        g.setColour (pressed ? juce::Colours::white : juce::Colours::black);
        g.setFont (arial (12.0f));
        g.drawFittedText (text.toUpperCase(), getLocalBounds().reduced (2, 0), juce::Justification::centred, 1, 0.7f);
        ControlAccess::drawFocus (g, *this);
    }
    void mouseEnter (const juce::MouseEvent&) override { hover = true, repaint(); }
    void mouseExit (const juce::MouseEvent&) override { hover = false, repaint(); }
    void mouseDown (const juce::MouseEvent&) override { pressed = true, repaint(); }
    void mouseUp (const juce::MouseEvent& e) override
    {
        pressed = false;
        repaint();
        if (getLocalBounds().contains (e.getPosition()))
            choose();
    }

private:
    CatContainer& owner;
    const int index;
    bool pressed = false, hover = false;
};

CatContainer::CatContainer()
{
    for (int k = 0; k < numCells; ++k)
    {
        auto* cell = cells.add (new Cell (*this, k));
        cell->text = k == 26 ? juce::String ("LIST ALL") : ParDes::categoryText (k);
        cell->setTitle (k == 26 ? juce::String ("List All") : ParDes::categoryText (k));
        addAndMakeVisible (cell);
        addAndMakeVisible (counts.add (new SimpleLabel (juce::Colour (0xff373535), 12.0f)));
    }
    setSize (440, 380);
}

CatContainer::~CatContainer() = default;

juce::String CatContainer::getCellText (int k) const
{
    return cells[k]->text;
}

juce::Point<int> CatContainer::cellPosition (int k) noexcept
{
    return k == 26 ? juce::Point<int> (330, 276) : juce::Point<int> (110 * (k % 4), 46 * (k / 4));
}

juce::Rectangle<int> CatContainer::cellBounds (int k) const noexcept
{
    return {cellPosition (k).x, cellPosition (k).y, 100, 18};
}

void CatContainer::setCounts (const ProgramLibrary& library)
{
    for (int k = 0; k < numCells; ++k)
        counts[k]->setText (library.countText (k));
}

void CatContainer::setShown (int k)
{
    if (k == shown)
        return;
    shown = k;
    repaint();
}

void CatContainer::resized()
{
    for (int k = 0; k < numCells; ++k)
    {
        cells[k]->setBounds (cellBounds (k));
        counts[k]->setBounds (cellBounds (k).translated (0, 18));
    }
}

//==============================================================================
TextInputCont::TextInputCont()
{
    for (auto* b : {&positive, &negative, &cancel})
    {
        b->addListener (this);
        addChildComponent (*b);
    }
    addAndMakeVisible (title);
    editor.setFont (arial (16.0f));
    editor.setMultiLine (false);
    // The edit line only ever holds a program name.
    editor.setInputRestrictions (DSI_Program::nameLength);
    // 24 pixels hold a 16-point line only with small margins.
    editor.setBorder ({});
    editor.setIndents (6, 0);
    editor.setJustification (juce::Justification::centredLeft);
    // Return answers as the positive button would, Escape as cancel.
    editor.onReturnKey = [this]
    {
        if (positive.isVisible())
            positive.press();
    };
    editor.onEscapeKey = [this]
    {
        if (cancel.isVisible())
            cancel.press();
    };
    addChildComponent (editor);
}

TextInputCont::~TextInputCont()
{
    for (auto* b : {&positive, &negative, &cancel})
        b->removeListener (this);
}

LibBut* TextInputCont::getButton (int command) noexcept
{
    for (auto* b : {&positive, &negative, &cancel})
        if (b->getCommand() == command && b->isVisible())
            return b;
    return nullptr;
}

void TextInputCont::setButtons (const juce::String& cancelText, const juce::String& positiveText,
                                const juce::String& negativeText)
{
    const std::pair<LibBut*, juce::String> texts[] = {
        {&positive, positiveText}, {&negative, negativeText}, {&cancel, cancelText}};
    for (const auto& [button, text] : texts)
    {
        button->setText (text);
        button->setVisible (text.isNotEmpty());
    }
}

void TextInputCont::open (const juce::String& titleText, const juce::String& editText, bool showEditor,
                          int categoryNumber, const juce::String& cancelText, const juce::String& positiveText,
                          const juce::String& negativeText, int id, int var)
{
    title.setText (titleText);
    editor.setText (editText, juce::dontSendNotification);
    editor.applyFontToAllText (arial (16.0f));
    editor.setVisible (showEditor);
    category = categoryNumber;
    identifier = id;
    variant = var;
    setButtons (cancelText, positiveText, negativeText);
    cover();
}

//==============================================================================
void PageDialog::cover()
{
    if (auto* p = getParentComponent())
        setBounds (p->getLocalBounds());
    setVisible (true);
    toFront (true);
    resized();
    repaint();
}

void PageDialog::dismiss()
{
    setVisible (false);
    setBounds (-100, -100, 50, 50);
}

void TextInputCont::setCategory (int newCategory)
{
    category = juce::jlimit (0, ProgramLibrary::numCategories - 1, newCategory);
    repaint();
}

juce::Rectangle<int> TextInputCont::categoryBoxBounds() const noexcept
{
    return {(getWidth() - 280) / 2, 94, 280, 30};
}

void TextInputCont::resized()
{
    // A long message (no edit line below it) wraps onto up to three lines above the buttons.
    const bool wraps =
        !editor.isVisible() && arial (24.0f).getStringWidthFloat (title.getText()) > (float)(getWidth() - 40);
    title.setBounds (20, wraps ? 14 : 24, getWidth() - 40, wraps ? 96 : 30);
    title.setMaximumLines (wraps ? 3 : 1);
    editor.setBounds ((getWidth() - 280) / 2, 64, 280, 24);
    const int y = hasCategoryBox() ? 136 : 116;
    // Positions follow the three-button rule whenever the negative button shows.
    if (negative.isVisible())
    {
        const int left = (getWidth() - 340) / 2;
        positive.setBounds (left, y, 100, 34);
        negative.setBounds (left + 120, y, 100, 34);
        cancel.setBounds (left + 240, y, 100, 34);
    }
    else
    {
        const int left = (getWidth() - 220) / 2;
        positive.setBounds (left, y, 100, 34);
        cancel.setBounds (left + 120, y, 100, 34);
    }
}

void TextInputCont::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xff191919));
    if (!hasCategoryBox())
        return;
    const auto box = categoryBoxBounds();
    g.setColour (juce::Colour (0xff272527));
    g.fillRect (box);
    g.setColour (juce::Colour (0xfff2f0f0));
    g.setFont (arial (15.0f));
    g.drawText (ParDes::categoryText (category).toUpperCase(), box, juce::Justification::centred);
}

void TextInputCont::mouseDown (const juce::MouseEvent& e)
{
    if (!hasCategoryBox() || !categoryBoxBounds().contains (e.getPosition()))
        return;
    juce::PopupMenu menu;
    for (int k = 0; k < ProgramLibrary::numCategories; ++k)
        menu.addItem (k + 1, ParDes::categoryText (k), true, k == category);
    juce::Component::SafePointer<TextInputCont> self (this);
    ValueMenus::show (menu,
                      juce::PopupMenu::Options().withTargetComponent (this).withTargetScreenArea (
                          localAreaToGlobal (categoryBoxBounds())),
                      [self] (int item)
                      {
                          if (self != nullptr && item > 0)
                              self->setCategory (item - 1);
                      });
}

void TextInputCont::libButPressed (LibBut&, int command)
{
    const auto id = identifier, var = variant;
    const auto text = editor.getText();
    const auto chosen = category;
    // The dialog goes away first: a listener may open the next question at once.
    dismiss();
    if (command == positiveCommand)
        listeners.call ([&] (textmsgListener& l) { l.positiveAnswer (id, var, text, chosen); });
    else if (command == negativeCommand)
        listeners.call ([&] (textmsgListener& l) { l.negativeAnswer (id, var); });
    else
        listeners.call ([&] (textmsgListener& l) { l.cancelAnswer (id, var); });
}
