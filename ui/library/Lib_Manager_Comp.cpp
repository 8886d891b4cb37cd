#include "ui/library/Lib_Manager_Comp.h"
#include "ui/controls/Fonts.h"

#include "core/RavlinAudioProcessor.h"

Lib_Manager_Comp::Lib_Manager_Comp (RavlinAudioProcessor& p, juce::File folder)
    : processor (p), libraryFolder (std::move (folder)), keyPlayer (p.getHub(), KeyPlayClass::windowMode)
{
    for (auto* b : {&presetButton, &libraryButton})
    {
        b->addListener (this);
        addAndMakeVisible (*b);
    }
    closeControl.addListener (this);
    addAndMakeVisible (closeControl);
    keyPlayer.setColours (juce::Colour (0x000a0a0a), juce::Colours::white);
    keyPlayer.addListener (this);
    addAndMakeVisible (keyPlayer);
    status.setTextColour (juce::Colour (0xffcebdbd));
    addAndMakeVisible (status);

    searchBox.setTextToShowWhenEmpty ("Search names", juce::Colour (0xff8a8686));
    searchBox.setTitle ("Search the library by name");
    searchBox.setFont (juce::Font (ravlin::arialName(), 14.0f, juce::Font::plain));
    searchBox.setColour (juce::TextEditor::backgroundColourId, juce::Colour (0xff0a0a0a));
    searchBox.setColour (juce::TextEditor::textColourId, juce::Colour (0xffede9e9));
    searchBox.setColour (juce::TextEditor::outlineColourId, juce::Colour (0xff8f8f8f));
    searchBox.setColour (juce::TextEditor::focusedOutlineColourId, juce::Colour (0xffede9e9));
    searchBox.setEscapeAndReturnKeysConsumed (false);
    searchBox.onTextChange = [this]
    {
        if (libraryPage != nullptr)
            libraryPage->getLibrary().setNameFilter (searchBox.getText());
    };
    searchBox.onEscapeKey = [this] { searchBox.clear(), searchBox.onTextChange(); };
    addChildComponent (searchBox);

    setSize (defaultWidth, defaultHeight);
    presetButton.press();
}

Lib_Manager_Comp::~Lib_Manager_Comp()
{
    if (libraryPage != nullptr)
        libraryPage->getButton (LibClass::doneCommand).removeListener (this);
    if (presetPage != nullptr)
        presetPage->getButton (Plugin_Bank::doneCommand).removeListener (this);
    keyPlayer.removeListener (this);
    closeControl.removeListener (this);
    for (auto* b : {&presetButton, &libraryButton})
        b->removeListener (this);
}

juce::File Lib_Manager_Comp::libraryFolderOf (RavlinAudioProcessor& p)
{
    const auto& files = p.getHub().getFiles();
    return files.keepsFiles() ? files.settingsFile().getParentDirectory() : juce::File();
}

void Lib_Manager_Comp::showPage (int tab)
{
    if (tab == libraryTab)
    {
        if (presetPage != nullptr)
            presetPage->setVisible (false);
        title = "LIBRARY";
        if (libraryPage == nullptr)
        {
            // Reads the default library as it is made.
            libraryPage = std::make_unique<LibClass> (processor, libraryFolder);
            libraryPage->getButton (LibClass::doneCommand).addListener (this);
            addChildComponent (*libraryPage);
            libraryPage->getLibrary().setNameFilter (searchBox.getText());
        }
        libraryPage->setVisible (true);
    }
    else if (tab == presetBankTab)
    {
        if (libraryPage != nullptr)
            libraryPage->setVisible (false);
        title = "PRESET BANK";
        if (presetPage == nullptr)
        {
            presetPage = std::make_unique<Plugin_Bank> (processor);
            presetPage->keepRatingsIn (libraryFolder);
            presetPage->getButton (Plugin_Bank::doneCommand).addListener (this);
            addChildComponent (*presetPage);
        }
        presetPage->followCurrentPreset();
        presetPage->setVisible (true);
    }
    else
        return;
    shownTab = tab;
    searchBox.setVisible (tab == libraryTab);
    presetButton.setLit (tab == presetBankTab);
    libraryButton.setLit (tab == libraryTab);
    resized();
    repaint();
}

void Lib_Manager_Comp::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xff373535));
    g.setColour (juce::Colour (0xff0a0a0a));
    g.fillRect (0, 4, getWidth(), 20);
    g.setColour (juce::Colour (0xffede9e9));
    g.setFont (juce::Font (ravlin::arialName(), 15.0f, juce::Font::plain));
    g.drawText ("PROPHET 12 : " + title, 0, 4, getWidth(), 20, juce::Justification::centred);
}

void Lib_Manager_Comp::resized()
{
    closeControl.setBounds (getWidth() - 20, 6, 18, 22);
    // The tabs stand between the key player's line and the page.
    presetButton.setBounds (20, 24, 100, 26);
    libraryButton.setBounds (130, 24, 100, 26);
    keyPlayer.setBounds (100, 4, 200, 20);
    status.setBounds (getWidth() - 400, getHeight() - 30, 400, 24);
    const juce::Rectangle<int> shown (0, 50, getWidth(), getHeight() - 92), away (-1000, -1000, 20, 20);
    if (libraryPage != nullptr)
        libraryPage->setBounds (shownTab == libraryTab ? shown : away);
    if (presetPage != nullptr)
        presetPage->setBounds (shownTab == presetBankTab ? shown : away);
    // Right of the tabs, above the record list.
    searchBox.setBounds (244, 26, 300, 22);
    // The tabs and the search box stay in front of whatever a page draws at its edge.
    presetButton.toFront (false);
    libraryButton.toFront (false);
    searchBox.toFront (false);
}

bool Lib_Manager_Comp::isInterestedInFileDrag (const juce::StringArray& files)
{
    if (shownTab != libraryTab || files.isEmpty())
        return false;
    if (files.size() > 1 || juce::File (files[0]).isDirectory())
        return true; // imported in bulk, with a summary of what was not understood
    const auto extension = juce::File (files[0]).getFileExtension().toLowerCase();
    return extension == ".p12l" || extension == ".p12b" || extension == ".syx" || extension == ".p12p" ||
           extension == ".mid" || extension == ".midi";
}

void Lib_Manager_Comp::filesDropped (const juce::StringArray& files, int, int)
{
    if (libraryPage == nullptr || files.isEmpty())
        return;
    const juce::File file (files[0]);
    const auto extension = file.getFileExtension().toLowerCase();
    if (files.size() > 1 || file.isDirectory() || extension == ".mid" || extension == ".midi")
    {
        libraryPage->getLibrary().importFiles (files);
        return;
    }
    if (!libraryPage->getLibrary().loadFile (file))
        status.setText ("No programs found in " + file.getFileName());
}

void Lib_Manager_Comp::libButPressed (LibBut&, int command)
{
    if (command == libraryTab || command == presetBankTab)
        showPage (command);
    else if (command == LibClass::doneCommand)
        windowControl (closeCode);
}

void Lib_Manager_Comp::libButHover (LibBut& button, bool entered)
{
    status.setText (entered ? button.getTip() : juce::String());
}

void Lib_Manager_Comp::windowControl (int code)
{
    if (code == closeCode && onClose)
        onClose();
}

//==============================================================================
void Lib_Manager_Comp::startWindowDrag (const juce::MouseEvent& e)
{
    dragStartMouse = e.getScreenPosition();
    if (auto* top = getTopLevelComponent())
        dragStartWindow = top->getPosition();
}

void Lib_Manager_Comp::dragWindow (const juce::MouseEvent& e)
{
    auto* top = getTopLevelComponent();
    if (top != nullptr && top != this)
        top->setTopLeftPosition (dragStartWindow + (e.getScreenPosition() - dragStartMouse));
}

void Lib_Manager_Comp::mouseDown (const juce::MouseEvent& e)
{
    draggingWindow = e.y < 20;
    if (draggingWindow)
        startWindowDrag (e);
}

void Lib_Manager_Comp::mouseDrag (const juce::MouseEvent& e)
{
    if (draggingWindow)
        dragWindow (e);
}

void Lib_Manager_Comp::mouseMove (const juce::MouseEvent& e)
{
    setMouseCursor (e.y < 20 ? juce::MouseCursor::DraggingHandCursor : juce::MouseCursor::NormalCursor);
}

bool Lib_Manager_Comp::keyPressed (const juce::KeyPress& key)
{
    return keyPlayer.keyPressed (key);
}

bool Lib_Manager_Comp::keyStateChanged (bool isKeyDown)
{
    return keyPlayer.keyStateChanged (isKeyDown);
}

void Lib_Manager_Comp::keyPlayDragStarted (const juce::MouseEvent& e)
{
    startWindowDrag (e);
}

void Lib_Manager_Comp::keyPlayDragged (const juce::MouseEvent& e)
{
    dragWindow (e);
}

//==============================================================================
Lib_Manager_Win::Lib_Manager_Win (RavlinAudioProcessor& processor, juce::File libraryFolder)
    : juce::DocumentWindow ({}, juce::Colours::black, 0, true)
{
    setTitleBarHeight (0);
    setUsingNativeTitleBar (false);
    content = new Lib_Manager_Comp (processor, std::move (libraryFolder));
    content->onClose = [this] { setVisible (false); };
    setContentOwned (content, true);
    setWantsKeyboardFocus (false);
    content->setSize (Lib_Manager_Comp::defaultWidth, Lib_Manager_Comp::defaultHeight);
    setResizable (false, false);
    centreWithSize (getWidth(), getHeight());
}

void Lib_Manager_Win::present()
{
    setAlwaysOnTop (true);
    setVisible (true);
    toFront (true);
    content->getKeyPlayer().grabKeyboardFocus();
}
