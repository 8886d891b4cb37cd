#pragma once

#include "library/ProgramLibrary.h"

#include <juce_gui_basics/juce_gui_basics.h>

class LibBut;

class LibButListener
{
public:
    virtual ~LibButListener() = default;
    virtual void libButPressed (LibBut& button, int command) = 0;
    virtual void libButHover (LibBut& button, bool entered) { juce::ignoreUnused (button, entered); }
};

/** The library window's button: reports a press, and mouse enter and exit, with its command. */
class LibBut : public juce::Component
{
public:
    LibBut (const juce::String& text, int command, const juce::String& tooltip = {});

    int getCommand() const noexcept { return command; }
    const juce::String& getText() const noexcept { return text; }
    void setText (const juce::String& newText);
    const juce::String& getTip() const noexcept { return tip; }
    void addListener (LibButListener* l) { listeners.add (l); }
    void removeListener (LibButListener* l) { listeners.remove (l); }
    /** What a mouse press does: tells every listener. */
    void press();
    /** Lit: drawn brighter, as the tab of the page shown. */
    void setLit (bool shouldBeLit);
    bool isLit() const noexcept { return lit; }

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseEnter (const juce::MouseEvent& e) override;
    void mouseExit (const juce::MouseEvent& e) override;
    bool keyPressed (const juce::KeyPress& key) override;
    void focusGained (FocusChangeType) override { repaint(); }
    void focusLost (FocusChangeType) override { repaint(); }
    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;

private:
    juce::String text;
    const int command;
    const juce::String tip;
    bool lit = false;
    juce::ListenerList<LibButListener> listeners;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LibBut)
};

/** A page's row of buttons, made from (text, command, tooltip) and found by command. */
class LibButtons
{
public:
    struct Item
    {
        const char* text;
        int command;
        const char* tip;
    };

    LibButtons (juce::Component& page, std::initializer_list<Item> items, LibButListener& listener);
    ~LibButtons();

    LibBut& get (int command);
    void place (int command, juce::Rectangle<int> bounds) { get (command).setBounds (bounds); }

private:
    juce::OwnedArray<LibBut> buttons;
    LibButListener& listener;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LibButtons)
};

/** A plain label: fill, text colour, font height, bold or not, justification. */
class SimpleLabel : public juce::Component
{
public:
    SimpleLabel (juce::Colour fill, float fontHeight, bool bold = false,
                 juce::Justification justification = juce::Justification::centred);
    void setText (const juce::String& newText);
    const juce::String& getText() const noexcept { return text; }
    void setTextColour (juce::Colour c);
    /** Long texts wrap onto up to this many lines (1 by default). */
    void setMaximumLines (int lines) { maximumLines = juce::jmax (1, lines); }
    void paint (juce::Graphics& g) override;

private:
    int maximumLines = 1;
    juce::Colour fill, textColour{juce::Colours::white};
    float fontHeight;
    bool bold;
    juce::Justification justification;
    juce::String text;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SimpleLabel)
};

class CatListener
{
public:
    virtual ~CatListener() = default;
    virtual void categoryChosen (int index) = 0; // 0..25, 26 for "LIST ALL"
};

/** The category grid: 26 category cells and "LIST ALL", each with its count below. */
class CatContainer : public juce::Component
{
public:
    static constexpr int numCells = 27;

    CatContainer();
    ~CatContainer() override;

    void setListener (CatListener* l) { listener = l; }
    void setCounts (const ProgramLibrary& library);
    /** Marks the cell whose rows the list shows (26 for all). */
    void setShown (int k);
    int getShown() const noexcept { return shown; }
    juce::String getCellText (int k) const;
    juce::String getCountText (int k) const { return counts[k]->getText(); }
    juce::Rectangle<int> cellBounds (int k) const noexcept;
    static juce::Point<int> cellPosition (int k) noexcept;

    void resized() override;

private:
    class Cell;
    juce::OwnedArray<Cell> cells;
    juce::OwnedArray<SimpleLabel> counts;
    CatListener* listener = nullptr;
    int shown = -1;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CatContainer)
};

/** A dialog drawn over the whole of its page, and moved away when answered. */
class PageDialog : public juce::Component
{
public:
    void dismiss();

protected:
    /** Covers the parent page and comes to the front. */
    void cover();
};

class textmsgListener
{
public:
    virtual ~textmsgListener() = default;
    virtual void positiveAnswer (int identifier, int variant, const juce::String& text, int category) = 0;
    virtual void negativeAnswer (int identifier, int variant) = 0;
    virtual void cancelAnswer (int identifier, int variant) = 0;
};

/** The question dialog both library pages use: a title, an optional edit line, an optional
    category box, and up to three buttons. */
class TextInputCont : public PageDialog, private LibButListener
{
public:
    static constexpr int positiveCommand = 1201, cancelCommand = 1202, negativeCommand = 1200;

    TextInputCont();
    ~TextInputCont() override;

    /** A button whose text is empty is hidden; category -1 shows no category box; showEditor
        false hides the edit line (plain questions). */
    void open (const juce::String& title, const juce::String& editText, bool showEditor, int category,
               const juce::String& cancelText, const juce::String& positiveText, const juce::String& negativeText,
               int identifier, int variant);

    void addListener (textmsgListener* l) { listeners.add (l); }
    void removeListener (textmsgListener* l) { listeners.remove (l); }

    juce::TextEditor& getEditor() noexcept { return editor; }
    LibBut* getButton (int command) noexcept; // nullptr when hidden
    int getCategory() const noexcept { return category; }
    void setCategory (int newCategory);
    juce::String getTitle() const { return title.getText(); }
    const SimpleLabel& getTitleLabel() const noexcept { return title; }
    juce::Rectangle<int> categoryBoxBounds() const noexcept;
    bool hasCategoryBox() const noexcept { return category >= 0; }

    void paint (juce::Graphics& g) override;
    void resized() override;
    void mouseDown (const juce::MouseEvent& e) override;

private:
    void libButPressed (LibBut& button, int command) override;
    void setButtons (const juce::String& cancelText, const juce::String& positiveText,
                     const juce::String& negativeText);

    SimpleLabel title{juce::Colour (0xff191919), 24.0f};
    juce::TextEditor editor;
    // Kept for the dialog's life: a listener may open the next question from inside a press.
    LibBut positive{{}, positiveCommand}, negative{{}, negativeCommand}, cancel{{}, cancelCommand};
    int category = -1, identifier = 0, variant = 0;
    juce::ListenerList<textmsgListener> listeners;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TextInputCont)
};
