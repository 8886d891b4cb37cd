// The library window: its two pages, their lists and dialogs, and the keyboard player.
#include "core/RavlinAudioProcessor.h"
#include "library/LibraryFile.h"
#include "library/ProgramFiles.h"
#include "support/FakeMidiDevices.h"
#include "support/MessagePump.h"
#include "support/UiEvents.h"
#include "ui/editor/MainComp.h"
#include "ui/library/Lib_Manager_Comp.h"

#include <gtest/gtest.h>

#include <set>

using ravlin::Bytes;
using ravlin::test::click;
using ravlin::test::mouseAt;

namespace
{
Bytes makeRecord (const juce::String& name, int category, int salt)
{
    Bytes r (1024, 0);
    r[0] = (uint8_t)(salt & 0x7F);
    r[1] = (uint8_t)((salt >> 7) & 0x7F);
    ProgramLibrary::writeName (r.data(), name);
    r[(size_t)DSI_Program::categoryOffset] = (uint8_t)category;
    return r;
}

/** 40 records, categories 1 to 5 in turn. */
Bytes fortyRecords()
{
    Bytes block;
    for (int n = 0; n < 40; ++n)
    {
        const auto r = makeRecord ("Sound " + juce::String (n + 1).paddedLeft ('0', 2), 1 + n % 5, n);
        block.insert (block.end(), r.begin(), r.end());
    }
    return block;
}

class LibraryWindow : public ::testing::Test
{
protected:
    LibraryWindow()
    {
        home = juce::File::getSpecialLocation (juce::File::tempDirectory)
                   .getChildFile ("ravlin-library-" + juce::String::toHexString (juce::Random().nextInt64()));
        home.createDirectory();
        auto fake = std::make_unique<ravlin::test::FakeMidiDevices>();
        devices = fake.get();
        processor = std::make_unique<RavlinAudioProcessor> (std::move (fake), home);
    }
    ~LibraryWindow() override
    {
        processor.reset();
        home.deleteRecursively();
    }

    juce::File libraryFile() const
    {
        return Lib_Manager_Comp::libraryFolderOf (*processor).getChildFile ("p12Lib.p12l");
    }
    MidiCntrState& hub() { return processor->getHub(); }
    /** Every file dialog answers with this file (none when empty). */
    void answerDialogs (FileMan& fm, juce::File file)
    {
        fm.answerDialog = [file, this] (const FileMan::Kind& k)
        {
            dialogKinds.push_back (k.number);
            return file;
        };
    }

    juce::ScopedJuceInitialiser_GUI messageThread;
    juce::File home;
    ravlin::test::FakeMidiDevices* devices = nullptr;
    std::unique_ptr<RavlinAudioProcessor> processor;
    std::vector<int> dialogKinds;
};

void answer (TextInputCont& dialog, int command)
{
    ASSERT_NE (dialog.getButton (command), nullptr);
    dialog.getButton (command)->mouseDown (mouseAt (*dialog.getButton (command), 10, 10));
}
} // namespace

//==============================================================================
TEST_F (LibraryWindow, AFreshLibraryPageIsEmptyAndOffersOnlyWhatMakesSense)
{
    Lib_Manager_Comp window (*processor, Lib_Manager_Comp::libraryFolderOf (*processor));
    EXPECT_EQ (window.getTitle(), "PRESET BANK") << "the window opens on the preset bank";
    EXPECT_EQ (window.getLibraryPage(), nullptr) << "the library page comes with its tab";
    window.getTab (Lib_Manager_Comp::libraryTab).press();
    auto& page = *window.getLibraryPage();
    EXPECT_EQ (window.getTitle(), "LIBRARY");
    EXPECT_TRUE (window.getTab (Lib_Manager_Comp::libraryTab).isLit());
    EXPECT_FALSE (window.getTab (Lib_Manager_Comp::presetBankTab).isLit());
    EXPECT_EQ (page.getBounds(), juce::Rectangle<int> (0, 50, 1000, 528));
    EXPECT_FALSE (window.getPresetPage()->isVisible());
    EXPECT_EQ (window.getPresetPage()->getBounds(), juce::Rectangle<int> (-1000, -1000, 20, 20));

    EXPECT_EQ (page.getList().numRows(), 0);
    EXPECT_EQ (page.getGrid().getCountText (26), "Size: 0");
    for (auto c : {LibClass::loadCommand, LibClass::addCurrentCommand, LibClass::doneCommand})
        EXPECT_TRUE (page.getButton (c).isVisible()) << c;
    for (auto c : {LibClass::saveCommand, LibClass::clearAllCommand, LibClass::renameCommand, LibClass::deleteCommand})
        EXPECT_FALSE (page.getButton (c).isVisible()) << c;
    EXPECT_EQ (page.getButton (LibClass::addCurrentCommand).getBounds(), juce::Rectangle<int> (880, 318, 100, 34));
}

TEST_F (LibraryWindow, ButtonsFollowTheListAndTheSelection)
{
    LibClass page (*processor, {});
    page.getLibrary().setRecords (fortyRecords());
    EXPECT_TRUE (page.getButton (LibClass::saveCommand).isVisible());
    EXPECT_TRUE (page.getButton (LibClass::clearAllCommand).isVisible());
    EXPECT_FALSE (page.getButton (LibClass::renameCommand).isVisible());

    click (page.getList(), 50, 3 * RecordList::rowHeight + 10);
    EXPECT_EQ (page.getLibrary().getSelectedRow(), 3);
    EXPECT_TRUE (page.getButton (LibClass::renameCommand).isVisible());
    EXPECT_TRUE (page.getButton (LibClass::deleteCommand).isVisible());
    EXPECT_EQ (page.getGrid().getCountText (1), "8");
    EXPECT_EQ (page.getGrid().getCountText (6), "") << "an empty category shows no count";

    // A category that holds nothing: no rows, so neither SAVE nor CLEAR ALL.
    page.getLibrary().chooseCategory (9);
    EXPECT_EQ (page.getList().numRows(), 0);
    EXPECT_EQ (page.getHeading().getText(), ParDes::categoryText (9));
    EXPECT_EQ (page.getGrid().getShown(), 9);
    EXPECT_FALSE (page.getButton (LibClass::saveCommand).isVisible());
    EXPECT_FALSE (page.getButton (LibClass::clearAllCommand).isVisible());
    EXPECT_FALSE (page.getButton (LibClass::renameCommand).isVisible());

    // Hovering shows the tooltip in the status label, leaving clears it.
    auto& load = page.getButton (LibClass::loadCommand);
    load.mouseEnter (mouseAt (load, 5, 5));
    EXPECT_EQ (page.getStatus().getText(), "Load Library or Bank Files");
    load.mouseExit (mouseAt (load, 5, 5));
    EXPECT_EQ (page.getStatus().getText(), "");
}

TEST_F (LibraryWindow, ARowPressAppliesTheRecordAsTheCurrentProgram)
{
    LibClass page (*processor, {});
    page.getLibrary().setRecords (fortyRecords());
    processor->setCurrentProgram (7);

    click (page.getList(), 100, 2 * RecordList::rowHeight + 5);
    const auto chosen = page.getLibrary().record (2);
    EXPECT_EQ (hub().getCurrentProgram(), chosen);
    EXPECT_EQ (hub().getPresetProgram (7), chosen) << "stored in the current preset slot";

    // A press below the last row takes the last row; right of the names only scrolls.
    page.getLibrary().chooseCategory (2); // 8 records
    click (page.getList(), 100, 14 * RecordList::rowHeight);
    EXPECT_EQ (page.getLibrary().getSelectedRow(), 7);
    click (page.getList(), RecordList::selectWidth + 5, 10);
    EXPECT_EQ (page.getLibrary().getSelectedRow(), 7);
}

TEST_F (LibraryWindow, TheListScrollsByWheelStripThumbAndDrag)
{
    LibClass page (*processor, {});
    page.getLibrary().setRecords (fortyRecords());
    auto& list = page.getList();
    ASSERT_TRUE (list.hasScrollStrip());
    EXPECT_EQ (list.maxFirstRow(), 25);

    juce::MouseWheelDetails notch{};
    notch.deltaY = -50.0f / 256.0f;
    list.mouseWheelMove (mouseAt (list, 50, 50), notch);
    list.mouseWheelMove (mouseAt (list, 50, 50), notch);
    EXPECT_EQ (list.getFirstRow(), 2);
    notch.deltaY = 1.0f;
    for (int i = 0; i < 5; ++i)
        list.mouseWheelMove (mouseAt (list, 50, 50), notch);
    EXPECT_EQ (list.getFirstRow(), 0) << "never above the first row";

    // Dragging the thumb to the bottom shows the last 15 rows, never more.
    const auto thumb = list.thumbBounds();
    list.mouseDown (mouseAt (list, thumb.getCentreX(), thumb.getCentreY()));
    list.mouseDrag (mouseAt (list, thumb.getCentreX(), 2000));
    list.mouseUp (mouseAt (list, thumb.getCentreX(), 2000));
    EXPECT_EQ (list.getFirstRow(), 25);
    EXPECT_EQ (list.thumbBounds().getBottom(), list.getHeight());

    // A press on the strip above the thumb moves one row, then again every 200 ms while held.
    list.setFirstRow (20);
    list.mouseDown (mouseAt (list, RecordList::stripX + 10, 5));
    EXPECT_EQ (list.getFirstRow(), 19);
    EXPECT_TRUE (ravlin::test::pumpUntil ([&] { return list.getFirstRow() < 19; }, 2000)) << "it repeats while held";
    list.mouseUp (mouseAt (list, RecordList::stripX + 10, 5));
    const auto afterHold = list.getFirstRow();
    ravlin::test::pumpMessages (3 * RecordList::repeatMs);
    EXPECT_EQ (list.getFirstRow(), afterHold) << "the repeat stops with the release";

    // Dragging a selection past the bottom edge scrolls one row per movement.
    list.setFirstRow (0);
    list.mouseDown (mouseAt (list, 50, 20));
    list.mouseDrag (mouseAt (list, 50, list.getHeight() + 5));
    list.mouseDrag (mouseAt (list, 50, list.getHeight() + 9));
    list.mouseUp (mouseAt (list, 50, list.getHeight() + 9));
    EXPECT_EQ (list.getFirstRow(), 2);
}

TEST_F (LibraryWindow, RenameThroughTheDialogFiltersByTheChosenCategory)
{
    LibClass page (*processor, {});
    page.setSize (1000, 528);
    page.getLibrary().setRecords (fortyRecords());
    click (page.getList(), 50, 5); // record 0, category 1
    page.getButton (LibClass::renameCommand).press();
    auto* dialog = page.getDialog();
    ASSERT_NE (dialog, nullptr);
    EXPECT_TRUE (dialog->isVisible());
    EXPECT_EQ (dialog->getBounds(), page.getLocalBounds());
    EXPECT_EQ (dialog->getTitle(), "Rename Sound 01            :");
    EXPECT_EQ (dialog->getEditor().getText(), "Sound 01");
    EXPECT_EQ (dialog->getCategory(), 1);

    dialog->getEditor().setText ("Deep Bass");
    dialog->setCategory (4);
    answer (*dialog, TextInputCont::positiveCommand);
    EXPECT_FALSE (dialog->isVisible());
    EXPECT_EQ (ProgramLibrary::nameOf (page.getLibrary().record (0).data()), "Deep Bass           ");
    EXPECT_EQ (page.getLibrary().record (0)[(size_t)DSI_Program::categoryOffset], 4);
    // No category was chosen yet: the list shows category 0, which holds nothing.
    EXPECT_TRUE (page.getLibrary().isFilterOn());
    EXPECT_EQ (page.getHeading().getText(), ParDes::categoryText (0));
    EXPECT_EQ (page.getList().numRows(), 0);

    // A press on the page's own surface filters by the chosen category again.
    page.getLibrary().chooseCategory (ProgramLibrary::listAll);
    EXPECT_EQ (page.getHeading().getText(), "");
    page.getLibrary().chooseCategory (4);
    page.getLibrary().chooseCategory (ProgramLibrary::listAll);
    page.mouseDown (mouseAt (page, 700, 100));
    EXPECT_EQ (page.getList().numRows(), 9) << "eight of category 4 and the renamed one";
}

TEST_F (LibraryWindow, AddingTheCurrentProgramTwiceShowsTheAlreadyExistsMessage)
{
    LibClass page (*processor, {});
    page.setSize (1000, 528);
    hub().setCurrentProgram (makeRecord ("Warm Pad", 3, 99));

    page.getButton (LibClass::addCurrentCommand).press();
    auto& dialog = *page.getDialog();
    EXPECT_EQ (dialog.getTitle(), "Program name:");
    EXPECT_EQ (dialog.getEditor().getText(), "Warm Pad");
    EXPECT_EQ (dialog.getCategory(), 3);
    EXPECT_EQ (dialog.getButton (TextInputCont::negativeCommand), nullptr);
    answer (dialog, TextInputCont::positiveCommand);
    ASSERT_EQ (page.getLibrary().size(), 1);
    EXPECT_EQ (page.getLibrary().getSelectedRow(), 0) << "the added row is selected";

    page.getButton (LibClass::addCurrentCommand).press();
    EXPECT_EQ (dialog.getTitle(), "Warm Pad Program already exists in the library.");
    EXPECT_EQ (dialog.getButton (TextInputCont::positiveCommand), nullptr);
    EXPECT_EQ (dialog.getButton (TextInputCont::cancelCommand), nullptr);
    auto* ok = dialog.getButton (TextInputCont::negativeCommand);
    ASSERT_NE (ok, nullptr);
    EXPECT_EQ (ok->getX(), (1000 - 340) / 2 + 120);
    EXPECT_FALSE (dialog.getEditor().isVisible());
    answer (dialog, TextInputCont::negativeCommand);
    EXPECT_FALSE (dialog.isVisible());
    EXPECT_EQ (page.getLibrary().size(), 1);
}

TEST_F (LibraryWindow, LoadingAppendsOrReplacesAfterTheQuestions)
{
    LibClass page (*processor, {});
    page.setSize (1000, 528);
    const auto entries = LibClass::loadMenuEntries (hub());
    ASSERT_EQ (entries.size(), 14u);
    EXPECT_EQ (entries[0], (std::pair<juce::String, int> ("From Library File", ProgramLibrary::fromLibraryFile)));
    EXPECT_EQ (entries[3].second, ProgramLibrary::fromInstrumentBank);
    EXPECT_EQ (entries[3].first, hub().banks[0]->bankName);
    EXPECT_EQ (entries[7].second, 0);
    EXPECT_EQ (entries[13],
               (std::pair<juce::String, int> ("Import from FX Preset Bank", ProgramLibrary::fromPresetBank)));

    // A library file of 40 records, loaded into an empty library, then appended.
    const auto file = home.getChildFile ("forty.p12l");
    std::vector<Bytes> list;
    const auto block = fortyRecords();
    for (size_t n = 0; n < 40; ++n)
        list.emplace_back (block.begin() + (std::ptrdiff_t) (n * 1024),
                           block.begin() + (std::ptrdiff_t) ((n + 1) * 1024));
    ASSERT_TRUE (LibraryFile::write (file, list));
    page.getLibrary().setRecords ({});
    answerDialogs (page.getFileMan(), file);
    page.getLibrary().load (ProgramLibrary::fromLibraryFile);
    EXPECT_EQ (page.getLibrary().size(), 40);
    EXPECT_EQ (page.getGrid().getCountText (26), "Size: 40");

    page.getLibrary().load (ProgramLibrary::fromLibraryFile);
    auto& dialog = *page.getDialog();
    EXPECT_EQ (dialog.getTitle(), "Append Programs?");
    answer (dialog, TextInputCont::positiveCommand);
    EXPECT_EQ (page.getLibrary().size(), 80) << "appending does not look for duplicates in the library";

    // NO, then NO: the source replaces the library.
    page.getLibrary().load (ProgramLibrary::fromLibraryFile);
    answer (dialog, TextInputCont::negativeCommand);
    EXPECT_EQ (dialog.getTitle(), "Save the Current Library?");
    answer (dialog, TextInputCont::negativeCommand);
    EXPECT_EQ (page.getLibrary().size(), 40);
    EXPECT_EQ (dialogKinds, (std::vector<int>{4, 4, 4}));
}

TEST_F (LibraryWindow, LibraryAndBankFilesDroppedOnTheLibraryPageGoThroughLoad)
{
    Lib_Manager_Comp window (*processor, {});
    const auto library = home.getChildFile ("dropped.p12l");
    std::vector<Bytes> list;
    for (int n = 0; n < 3; ++n)
        list.push_back (makeRecord ("Dropped " + juce::String (n), 1, n));
    ASSERT_TRUE (LibraryFile::write (library, list));
    const juce::StringArray files{library.getFullPathName()};
    EXPECT_FALSE (window.isInterestedInFileDrag (files)) << "the preset bank takes no drops";

    window.getTab (Lib_Manager_Comp::libraryTab).press();
    ASSERT_TRUE (window.isInterestedInFileDrag (files));
    EXPECT_FALSE (window.isInterestedInFileDrag ({home.getChildFile ("a.wav").getFullPathName()}));
    auto& page = *window.getLibraryPage();
    page.getLibrary().setRecords ({});
    window.filesDropped (files, 100, 200);
    EXPECT_EQ (page.getLibrary().size(), 3) << "an empty library takes the file without asking";

    // A bank file, into a library that is no longer empty: LOAD's question comes first.
    Bytes bank;
    for (int p = 0; p < 99; ++p)
    {
        const auto dump = ravlin::packProgramDump (makeRecord ("Bank " + juce::String (p), 2, 500 + p), 0, p);
        bank.insert (bank.end(), dump.begin(), dump.end());
    }
    const auto bankFile = home.getChildFile ("dropped.p12b");
    ASSERT_TRUE (ProgramFiles::write (bankFile, bank));
    window.filesDropped ({bankFile.getFullPathName()}, 100, 200);
    ASSERT_NE (page.getDialog(), nullptr);
    EXPECT_EQ (page.getDialog()->getTitle(), "Append Programs?");
    answer (*page.getDialog(), TextInputCont::positiveCommand);
    EXPECT_EQ (page.getLibrary().size(), 3 + 99);

    const auto garbage = home.getChildFile ("garbage.syx");
    garbage.replaceWithText ("no programs in here");
    window.filesDropped ({garbage.getFullPathName()}, 100, 200);
    EXPECT_EQ (page.getLibrary().size(), 3 + 99);
    EXPECT_EQ (window.getStatus().getText(), "No programs found in garbage.syx");
}

TEST_F (LibraryWindow, TheDefaultLibraryComesWithThePageAndGoesBackWithTheEditor)
{
    {
        MainComp editor (processor.get());
        editor.showLibrary();
        auto& window = editor.getLibraryWindow()->getContent();
        window.getTab (Lib_Manager_Comp::libraryTab).press();
        EXPECT_EQ (window.getLibraryPage()->getLibrary().size(), 0);
        window.getLibraryPage()->getLibrary().setRecords (fortyRecords());
        EXPECT_FALSE (libraryFile().existsAsFile()) << "written shortly after the change, not at once";
        window.getLibraryPage()->getButton (LibClass::doneCommand).press();
        EXPECT_TRUE (libraryFile().existsAsFile()) << "DONE writes it while a failure can still be told";
    }
    ASSERT_TRUE (libraryFile().existsAsFile());
    EXPECT_EQ (libraryFile().getSize(), 13 + 40 * 1024 + 13) << "between its two markers";

    {
        MainComp editor (processor.get());
        editor.showLibrary();
        auto& window = editor.getLibraryWindow()->getContent();
        window.getTab (Lib_Manager_Comp::libraryTab).press();
        auto& library = window.getLibraryPage()->getLibrary();
        EXPECT_EQ (library.block(), fortyRecords());
        // Emptied: nothing is written, so the records come back next time.
        library.setRecords ({});
    }
    EXPECT_EQ (libraryFile().getSize(), 13 + 40 * 1024 + 13) << "between its two markers";
}

TEST_F (LibraryWindow, TheWindowIsMadeOnceAndKeepsItsPageListAndFilter)
{
    MainComp editor (processor.get());
    editor.showLibrary();
    auto* window = editor.getLibraryWindow();
    ASSERT_NE (window, nullptr);
    EXPECT_TRUE (window->isVisible());
    EXPECT_TRUE (window->isAlwaysOnTop());
    EXPECT_EQ (window->getContentComponent()->getBounds().getWidth(), 1000);
    EXPECT_EQ (window->getContentComponent()->getBounds().getHeight(), 620);

    auto& content = window->getContent();
    content.getTab (Lib_Manager_Comp::libraryTab).press();
    auto& page = *content.getLibraryPage();
    page.getLibrary().setRecords (fortyRecords());
    page.getLibrary().chooseCategory (3);
    page.getList().setFirstRow (0);

    page.getButton (LibClass::doneCommand).press();
    EXPECT_FALSE (window->isVisible()) << "DONE hides the window";
    editor.showLibrary();
    EXPECT_EQ (editor.getLibraryWindow(), window);
    EXPECT_TRUE (window->isVisible());
    EXPECT_EQ (content.getShownTab(), Lib_Manager_Comp::libraryTab);
    EXPECT_EQ (content.getLibraryPage(), &page);
    EXPECT_EQ (page.getList().numRows(), 8);
    EXPECT_EQ (page.getHeading().getText(), ParDes::categoryText (3));

    // The close control hides it too; a double-click applies the row and hides.
    content.getCloseControl().mouseDown (mouseAt (content.getCloseControl(), 9, 9));
    content.getCloseControl().mouseUp (mouseAt (content.getCloseControl(), 9, 9));
    EXPECT_FALSE (window->isVisible());
    editor.showLibrary();
    auto& list = page.getList();
    list.mouseDown (mouseAt (list, 60, RecordList::rowHeight + 5, false, 2));
    list.mouseDoubleClick (mouseAt (list, 60, RecordList::rowHeight + 5, false, 2));
    EXPECT_FALSE (window->isVisible());
    EXPECT_EQ (hub().getCurrentProgram(), page.getLibrary().record (page.getLibrary().getVisibleRows()[1]));

    // Dragging the title strip moves the window.
    editor.showLibrary();
    const auto before = window->getPosition();
    content.mouseDown (mouseAt (content, 500, 10));
    auto drag = mouseAt (content, 540, 30);
    content.mouseDrag (drag.withNewPosition (juce::Point<float> (540.0f, 30.0f)));
    EXPECT_NE (window->getPosition(), before);
}

TEST_F (LibraryWindow, ThePresetTabFollowsTheHostsProgramChange)
{
    Lib_Manager_Comp window (*processor, {});
    auto& presets = *window.getPresetPage();
    EXPECT_EQ (presets.getList().selectedRow(), 0);
    window.getTab (Lib_Manager_Comp::libraryTab).press();
    processor->setCurrentProgram (42);
    window.getTab (Lib_Manager_Comp::presetBankTab).press();
    EXPECT_EQ (window.getTitle(), "PRESET BANK");
    EXPECT_EQ (presets.getList().selectedRow(), 42);
    EXPECT_GE (42, presets.getList().getFirstRow());
    EXPECT_LT (42, presets.getList().getFirstRow() + RecordList::rowsShown) << "scrolled to the current preset";

    // While the page is shown it follows the host by itself.
    processor->setCurrentProgram (70);
    EXPECT_TRUE (ravlin::test::pumpUntil ([&] { return presets.getList().selectedRow() == 70; }, 2000));
}

TEST_F (LibraryWindow, DeletingTheOnlyRecordOfACategoryKeepsTheFilter)
{
    LibClass page (*processor, {});
    page.setSize (1000, 528);
    auto block = fortyRecords();
    const auto lone = makeRecord ("Lonely Bell", 17, 777);
    block.insert (block.end(), lone.begin(), lone.end());
    page.getLibrary().setRecords (block);
    page.getLibrary().chooseCategory (17);
    ASSERT_EQ (page.getList().numRows(), 1);
    click (page.getList(), 40, 10);
    page.getButton (LibClass::deleteCommand).press();
    auto& dialog = *page.getDialog();
    EXPECT_EQ (dialog.getTitle(), "Delete Lonely Bell          ?");
    answer (dialog, TextInputCont::positiveCommand);
    EXPECT_EQ (page.getLibrary().size(), 40);
    EXPECT_TRUE (page.getLibrary().isFilterOn());
    EXPECT_EQ (page.getList().numRows(), 0);
    for (auto c : {LibClass::saveCommand, LibClass::clearAllCommand, LibClass::renameCommand, LibClass::deleteCommand})
        EXPECT_FALSE (page.getButton (c).isVisible()) << c;
    EXPECT_EQ (page.getGrid().getCountText (26), "Size: 40");

    // CLEAR ALL asks first; NO empties the library.
    page.getLibrary().chooseCategory (ProgramLibrary::listAll);
    page.getButton (LibClass::clearAllCommand).press();
    EXPECT_EQ (dialog.getTitle(), "Save Current Library?");
    answer (dialog, TextInputCont::negativeCommand);
    EXPECT_EQ (page.getLibrary().size(), 0);
    EXPECT_FALSE (page.getButton (LibClass::clearAllCommand).isVisible());
}

TEST_F (LibraryWindow, LibraryNamesRunToTwentyCharactersAndRenameKeepsWhatIsTyped)
{
    LibClass page (*processor, {});
    page.setSize (1000, 528);
    Bytes block;
    for (const auto& r : {makeRecord ("Twenty Characters!!!", 2, 1), makeRecord ("Warm Pad", 40, 2)})
        block.insert (block.end(), r.begin(), r.end());
    page.getLibrary().setRecords (block);
    auto& list = page.getList();
    EXPECT_EQ (list.rowName (0), "Twenty Characters!!!");
    click (list, 50, 5);
    EXPECT_EQ (list.selectionText(), "1 of 2: Twenty Characters!!!");

    // Text typed at the end of the offered name is kept, and the category byte 40, which the
    // box cannot show, survives a rename that did not touch the box.
    click (list, 50, RecordList::rowHeight + 5);
    page.getButton (LibClass::renameCommand).press();
    auto& dialog = *page.getDialog();
    auto& editor = dialog.getEditor();
    EXPECT_EQ (editor.getText(), "Warm Pad");
    editor.moveCaretToEnd();
    editor.insertTextAtCaret (" Strings Wide");
    EXPECT_EQ (editor.getText(), "Warm Pad Strings Wid") << "the edit line takes 20 characters";
    answer (dialog, TextInputCont::positiveCommand);
    const auto renamed = page.getLibrary().record (1);
    EXPECT_EQ (ProgramLibrary::nameOf (renamed.data()), "Warm Pad Strings Wid");
    EXPECT_EQ (renamed[(size_t)DSI_Program::categoryOffset], 40);
}

//==============================================================================
TEST_F (LibraryWindow, PresetRowsAndRenaming)
{
    Plugin_Bank page (*processor);
    auto& list = page.getList();
    for (int p = 0; p < 99; ++p)
        hub().setPresetProgram (p, makeRecord ("", 0, p));
    hub().setPresetProgram (5, makeRecord ("Bass", 2, 5));
    EXPECT_EQ (list.numRows(), 99) << "blank names still make rows";
    EXPECT_EQ (list.rowName (5), "Bass");

    click (list, 50, 5 * RecordList::rowHeight + 5);
    EXPECT_EQ (processor->getCurrentProgram(), 5);
    EXPECT_EQ (hub().getCurrentProgram(), hub().getPresetProgram (5));
    EXPECT_TRUE (page.getButton (Plugin_Bank::renameCommand).isVisible());

    const auto save = page.saveMenuEntries();
    EXPECT_EQ (save[0].first, "Save Bass Preset as");
    EXPECT_EQ (save[1].first, "Save Preset Bank as");
    const auto load = page.loadMenuEntries();
    ASSERT_EQ (load.size(), 14u);
    EXPECT_EQ (load[3].first, "Load Program Bank From File");
    EXPECT_EQ (load[5].first, "Load From " + hub().banks[0]->bankName);
    EXPECT_EQ (load[9].second, 0);
    EXPECT_EQ (load[13].first, "Load From " + hub().banks[7]->bankName);

    // Renaming with an empty text changes only the category, and never the current program.
    const auto current = hub().getCurrentProgram();
    page.rename();
    auto& dialog = *page.getDialog();
    EXPECT_EQ (dialog.getTitle(), "Rename Bass:");
    dialog.getEditor().setText ("");
    dialog.setCategory (7);
    answer (dialog, TextInputCont::positiveCommand);
    EXPECT_EQ (list.rowName (5), "Bass");
    EXPECT_EQ (list.rowCategory (5), 7);
    EXPECT_EQ (hub().getCurrentProgram(), current);

    page.rename();
    dialog.getEditor().setText ("Sub Bass");
    answer (dialog, TextInputCont::positiveCommand);
    EXPECT_EQ (processor->getProgramName (5), "Sub Bass            ");
}

TEST_F (LibraryWindow, PresetNamesRunToTwentyCharactersForTheHostAndTheRenameDialog)
{
    Plugin_Bank page (*processor);
    page.setSize (1000, 528);
    auto& list = page.getList();
    hub().setPresetProgram (5, makeRecord ("Wurly Trem ModWheel2", 40, 5));
    EXPECT_EQ (processor->getProgramName (5), "Wurly Trem ModWheel2");
    EXPECT_EQ (list.rowName (5), "Wurly Trem ModWheel2");

    click (list, 50, 5 * RecordList::rowHeight + 5);
    page.rename();
    auto& dialog = *page.getDialog();
    EXPECT_EQ (dialog.getEditor().getText(), "Wurly Trem ModWheel2");
    EXPECT_EQ (dialog.getCategory(), 40);
    dialog.getEditor().setText ("Pad");
    answer (dialog, TextInputCont::positiveCommand);
    const auto renamed = hub().getPresetProgram (5);
    EXPECT_EQ (juce::String ((const char*)renamed.data() + DSI_Program::nameOffset, 20), "Pad                 ");
    EXPECT_EQ (renamed[(size_t)DSI_Program::categoryOffset], 40) << "no category was picked";

    // The host's rename and the store dialog take all 20 characters too.
    processor->changeProgramName (6, "Twenty Characters!!!");
    EXPECT_EQ (processor->getProgramName (6), "Twenty Characters!!!");
    hub().setCurrentProgram (makeRecord ("Glass Organ Pad And", 3, 7));
    page.setCurrent();
    auto& store = *page.getStoreDialog();
    EXPECT_EQ (store.getEditor().getText(), "Glass Organ Pad And");
    store.getEditor().moveCaretToEnd();
    store.getEditor().insertTextAtCaret ("s!");
    store.setTarget (7);
    store.getOkButton().press();
    EXPECT_EQ (processor->getProgramName (7), "Glass Organ Pad Ands");
}

TEST_F (LibraryWindow, SetCurrentStoresTheCurrentProgramUnderTheTypedName)
{
    Plugin_Bank page (*processor);
    page.setSize (1000, 528);
    processor->setCurrentProgram (9);
    auto edited = makeRecord ("--- init ---", 1, 1234);
    hub().setCurrentProgram (edited);

    page.getButton (Plugin_Bank::setCurrentCommand).press();
    auto& store = *page.getStoreDialog();
    EXPECT_TRUE (store.isVisible());
    EXPECT_EQ (store.getEditor().getText(), "Untitled") << "names beginning --- are offered as Untitled";
    EXPECT_EQ (store.getTarget(), 9);
    EXPECT_EQ (store.slotText (9), "10    " + processor->getProgramName (9).trimEnd());
    EXPECT_EQ (TextSetCurCont::startingName ("                "), "");

    store.getEditor().setText ("Lead One");
    store.getOkButton().press();
    EXPECT_FALSE (store.isVisible());
    EXPECT_EQ (processor->getCurrentProgram(), 9);
    EXPECT_EQ (processor->getProgramName (9), "Lead One            ");
    EXPECT_EQ (hub().getCurrentProgram(), hub().getPresetProgram (9)) << "reloaded as the current program";
    auto expected = edited;
    ProgramLibrary::writeName (expected.data(), "Lead One");
    EXPECT_EQ (hub().getPresetProgram (9), expected);

    // Another target becomes the current preset.
    page.setCurrent();
    store.setTarget (20);
    store.getEditor().setText ("");
    store.getOkButton().press();
    EXPECT_EQ (processor->getCurrentProgram(), 20);
    EXPECT_EQ (processor->getProgramName (20), juce::String::repeatedString (" ", 20));
    EXPECT_EQ (page.getList().selectedRow(), 20);
}

TEST_F (LibraryWindow, ASavedPresetHoldsTheEditedProgramAndBanksLoadBack)
{
    Plugin_Bank page (*processor);
    processor->setCurrentProgram (3);
    const auto before = hub().getPresetProgram (3);
    auto edited = hub().getCurrentProgram();
    edited[100] = (uint8_t)(edited[100] ^ 0x15);
    hub().setCurrentProgram (edited);

    const auto fxp = home.getChildFile ("edited");
    answerDialogs (page.getFileMan(), fxp);
    page.perform (Plugin_Bank::savePreset);
    const auto saved = home.getChildFile ("edited.fxp");
    ASSERT_TRUE (saved.existsAsFile());
    const auto data = ProgramFiles::readFile (saved);
    ASSERT_TRUE (data.has_value());
    ASSERT_GE (data->size(), 1024u);
    EXPECT_TRUE (std::equal (edited.begin(), edited.end(), data->end() - 1024)) << "the edited program, not the slot";
    EXPECT_EQ (hub().getPresetProgram (3), edited) << "the slot is updated by the save";
    EXPECT_NE (before, edited);

    // Into another slot through "Load Single Preset File".
    processor->setCurrentProgram (30);
    answerDialogs (page.getFileMan(), saved);
    page.perform (Plugin_Bank::loadSinglePreset);
    EXPECT_EQ (hub().getPresetProgram (30), edited);

    // The preset bank as a whole, out and back.
    const auto fxb = home.getChildFile ("bank.fxb");
    answerDialogs (page.getFileMan(), fxb);
    page.perform (Plugin_Bank::savePresetBank);
    ASSERT_TRUE (fxb.existsAsFile());
    hub().setPresetProgram (30, makeRecord ("Other", 0, 1));
    answerDialogs (page.getFileMan(), fxb);
    page.perform (Plugin_Bank::loadPresetBank);
    ASSERT_NE (page.getDialog(), nullptr);
    EXPECT_EQ (page.getDialog()->getTitle(), "Replace the 99 presets with those of bank.fxb?");
    answer (*page.getDialog(), TextInputCont::cancelCommand); // NO
    EXPECT_EQ (hub().getPresetProgram (30), makeRecord ("Other", 0, 1));
    page.perform (Plugin_Bank::loadPresetBank);
    answer (*page.getDialog(), TextInputCont::positiveCommand);
    EXPECT_EQ (hub().getPresetProgram (30), edited);
    EXPECT_EQ (dialogKinds, (std::vector<int>{111, 11, 110, 10, 10}));

    // A cancelled dialog changes nothing.
    answerDialogs (page.getFileMan(), {});
    page.perform (Plugin_Bank::loadPresetBank);
    EXPECT_EQ (hub().getPresetProgram (30), edited);
}

TEST_F (LibraryWindow, AProgramBankFileFillsOnlyAsManySlotsAsItHolds)
{
    Plugin_Bank page (*processor);
    page.setBounds (0, 0, 1000, 528);
    Bank_Program source ("source");
    for (int p = 0; p < 99; ++p)
        source.setProgram (p, makeRecord ("From File " + juce::String (p), 2, 500 + p));
    const auto all = ProgramFiles::bankContent (source, 0);
    const auto dumpSize = all.size() / 99;
    const auto file = home.getChildFile ("twenty.syx");
    ASSERT_TRUE (ProgramFiles::write (file, Bytes (all.begin(), all.begin() + (std::ptrdiff_t) (20 * dumpSize))));
    const auto slot20 = hub().getPresetProgram (20);
    const auto current = hub().getCurrentProgram();

    answerDialogs (page.getFileMan(), file);
    page.perform (Plugin_Bank::loadProgramBankFile);
    ASSERT_NE (page.getDialog(), nullptr);
    EXPECT_EQ (page.getDialog()->getTitle(), "Replace presets 1 to 20 with the programs of twenty.syx?");
    answer (*page.getDialog(), TextInputCont::positiveCommand);
    for (int p = 0; p < 20; ++p)
        EXPECT_EQ (hub().getPresetProgram (p), source.getProgram (p)) << p;
    EXPECT_EQ (hub().getPresetProgram (20), slot20);
    EXPECT_EQ (hub().getCurrentProgram(), current);

    const auto slot98 = hub().getPresetProgram (98);
    page.perform (Plugin_Bank::loadInstrumentBank + 2);
    EXPECT_EQ (page.getDialog()->getTitle(), "Replace the 99 presets with the programs of User Bank 3?");
    answer (*page.getDialog(), TextInputCont::cancelCommand);
    EXPECT_EQ (hub().getPresetProgram (98), slot98);
    page.perform (Plugin_Bank::loadInstrumentBank + 2);
    answer (*page.getDialog(), TextInputCont::positiveCommand);
    EXPECT_EQ (hub().getPresetProgram (98), hub().getBankProgram (2, 98));
}

//==============================================================================
TEST_F (LibraryWindow, TheKeyboardPlayerPlaysAndKeepsItsLimits)
{
    hub().selectOutputPort (1);
    KeyPlayClass player (hub(), KeyPlayClass::windowMode);
    std::set<int> held;
    player.isKeyDown = [&held] (int key) { return held.count (key) > 0; };

    held.insert ('x');
    EXPECT_TRUE (player.keyPressed (juce::KeyPress ('x', {}, 'x')));
    EXPECT_TRUE (player.isSounding (38));
    EXPECT_EQ (player.getMessage(), "Play Chn: 1  Key: 38  Vel: 100");
    held.clear();
    player.keyStateChanged (false);
    EXPECT_FALSE (player.isSounding (38));
    auto& out = devices->recorders[0]; // port 1 is the first system port
    ASSERT_TRUE (ravlin::test::pumpUntil ([&] { return out.count() >= 2; }));
    const auto sent = out.taken();
    EXPECT_EQ (sent[sent.size() - 2].bytes, (std::vector<uint8_t>{0x90, 38, 100}));
    EXPECT_EQ (sent.back().bytes, (std::vector<uint8_t>{0x80, 38, 0}));

    for (int i = 0; i < 9; ++i)
        player.keyPressed (juce::KeyPress ('p', {}, 'p'));
    EXPECT_EQ (player.getBaseNote(), 120);
    EXPECT_EQ (player.getMessage(), "Octave 8");
    for (int i = 0; i < 20; ++i)
        player.keyPressed (juce::KeyPress ('u', {}, 'u'));
    EXPECT_EQ (player.getVelocity(), 0);
    EXPECT_EQ (player.getMessage(), "Note Velocity: 0");
    // At octave 8 the twelve keys reach notes 120 to 131: the last one played is 127.
    const auto sentBefore = out.count();
    EXPECT_TRUE (player.keyPressed (juce::KeyPress ('h', {}, 'h'))); // 128
    EXPECT_TRUE (player.keyPressed (juce::KeyPress ('m', {}, 'm'))); // 131
    ravlin::test::pumpMessages (100);
    EXPECT_EQ (out.count(), sentBefore) << "notes above 127 are not played";
    EXPECT_EQ (player.getMessage(), "Note Velocity: 0") << "and say nothing";
    EXPECT_TRUE (player.keyPressed (juce::KeyPress ('b', {}, 'b'))); // 127
    EXPECT_TRUE (player.isSounding (127));
    ASSERT_TRUE (ravlin::test::pumpUntil ([&] { return out.count() > sentBefore; }));
    EXPECT_EQ (out.taken().back().bytes[1], 127);
    EXPECT_EQ (out.count(), sentBefore + 1);

    // Keys that reach the library window's own surface play too.
    Lib_Manager_Comp window (*processor, {});
    EXPECT_TRUE (window.keyPressed (juce::KeyPress ('i', {}, 'i')));
    EXPECT_EQ (window.getKeyPlayer().getVelocity(), 105);

    // In the library window the digits are taken and do nothing.
    hub().takeEvents();
    EXPECT_TRUE (player.keyPressed (juce::KeyPress ('3', {}, '3')));
    EXPECT_TRUE (hub().takeEvents().empty());
    KeyPlayClass editorPlayer (hub(), KeyPlayClass::editorMode);
    editorPlayer.keyPressed (juce::KeyPress ('3', {}, '3'));
    EXPECT_EQ (hub().takeEvents(), (std::vector<uint32_t>{KeyPlayClass::sectionJumpCode + 3}));
    EXPECT_FALSE (player.keyPressed (juce::KeyPress ('q', {}, 'q'))) << "other keys go to the host";

    EXPECT_TRUE (ravlin::test::pumpUntil ([&] { return player.getMessage().isEmpty(); }, 3000)) << "messages go away";
}

TEST_F (LibraryWindow, TheSearchBoxFiltersTheListAsOneTypes)
{
    Lib_Manager_Comp window (*processor, {});
    auto& search = window.getSearchBox();
    EXPECT_FALSE (search.isVisible()) << "the preset bank has no search";
    window.getTab (Lib_Manager_Comp::libraryTab).press();
    EXPECT_TRUE (search.isVisible());
    auto& page = *window.getLibraryPage();
    const auto list = page.getList().getBounds().translated (page.getX(), page.getY());
    EXPECT_LT (search.getBottom(), list.getY()) << "above the record list";
    EXPECT_GT (search.getRight(), list.getX());
    EXPECT_LT (search.getX(), list.getRight());

    page.getLibrary().setRecords (fortyRecords());
    const auto& rows = page.getLibrary().getVisibleRows();
    search.insertTextAtCaret ("1");
    // "Sound 01", "Sound 10" … "Sound 19", "Sound 21", "Sound 31"
    EXPECT_TRUE (ravlin::test::pumpUntil ([&] { return rows.size() == 13u; }));
    search.insertTextAtCaret ("2");
    ASSERT_TRUE (ravlin::test::pumpUntil ([&] { return rows == std::vector<int>{11}; }));
    EXPECT_EQ (page.getList().numRows(), 1);

    search.setText ("sound 0", true); // "Sound 01" … "Sound 09", categories 1 to 5 in turn
    page.getLibrary().chooseCategory (2);
    EXPECT_TRUE (ravlin::test::pumpUntil ([&] { return rows == std::vector<int>{1, 6}; }));
    ravlin::test::saveSnapshot (window, "library-search");

    search.keyPressed (juce::KeyPress (juce::KeyPress::escapeKey));
    EXPECT_TRUE (ravlin::test::pumpUntil ([&] { return search.isEmpty(); }));
    EXPECT_TRUE (ravlin::test::pumpUntil ([&] { return rows.size() == 8u; })) << "category 2 only again";
}

TEST_F (LibraryWindow, TheListAndTheCategoryGridWorkFromTheKeyboard)
{
    Lib_Manager_Comp window (*processor, {});
    window.getTab (Lib_Manager_Comp::libraryTab).press();
    auto& page = *window.getLibraryPage();
    auto& list = page.getList();
    EXPECT_EQ (list.selectionText(), "empty");
    EXPECT_FALSE (list.keyPressed (juce::KeyPress (juce::KeyPress::downKey)));
    page.getLibrary().setRecords (fortyRecords());

    EXPECT_TRUE (list.keyPressed (juce::KeyPress (juce::KeyPress::downKey)));
    EXPECT_EQ (page.getLibrary().getSelectedRow(), 0);
    EXPECT_EQ (hub().getCurrentProgram()[0], 0) << "selecting applies the record, as a press does";
    EXPECT_TRUE (list.keyPressed (juce::KeyPress (juce::KeyPress::pageDownKey)));
    EXPECT_EQ (page.getLibrary().getSelectedRow(), RecordList::rowsShown);
    EXPECT_EQ (list.getFirstRow(), 1) << "scrolled just enough to show it";
    EXPECT_TRUE (list.keyPressed (juce::KeyPress (juce::KeyPress::endKey)));
    EXPECT_EQ (page.getLibrary().getSelectedRow(), 39);
    EXPECT_EQ (list.selectionText(), "40 of 40: Sound 40");
    EXPECT_EQ (list.createAccessibilityHandler()->getRole(), juce::AccessibilityRole::list);

    auto* cell = page.getGrid().getChildComponent (2 * 2); // cells and their counts alternate
    ASSERT_NE (cell, nullptr);
    EXPECT_EQ (cell->getTitle(), ParDes::categoryText (2));
    EXPECT_TRUE (cell->keyPressed (juce::KeyPress (juce::KeyPress::spaceKey)));
    EXPECT_EQ (page.getLibrary().getVisibleRows().size(), 8u) << "category 2 chosen";
    // Handlers exist for components on the screen.
    window.addToDesktop (juce::ComponentPeer::windowIsTemporary);
    window.setVisible (true);
    auto* access = cell->getAccessibilityHandler();
    ASSERT_NE (access, nullptr);
    EXPECT_EQ (access->getRole(), juce::AccessibilityRole::button);
    EXPECT_EQ (access->getValueInterface()->getCurrentValueAsString(), "8") << "read out with its count";
    window.removeFromDesktop();
}

//==============================================================================
TEST_F (LibraryWindow, Screenshots)
{
    for (int p = 0; p < 99; ++p)
        hub().setPresetProgram (p, makeRecord ("Preset " + juce::String (p + 1), p % 26, p));
    hub().setPresetProgram (1, makeRecord ("Wurly Trem ModWheel2", 20, 1)); // names run to 20 characters
    hub().setPresetProgram (3, makeRecord ("Broad Mellow Strings", 25, 3));
    Lib_Manager_Comp window (*processor, {});
    processor->setCurrentProgram (2);
    window.getTab (Lib_Manager_Comp::presetBankTab).press();
    ravlin::test::saveSnapshot (window, "library-preset-bank");
    window.getPresetPage()->setCurrent();
    ravlin::test::saveSnapshot (window, "library-store-dialog");
    window.getPresetPage()->getStoreDialog()->getCancelButton().press();

    window.getTab (Lib_Manager_Comp::libraryTab).press();
    auto& page = *window.getLibraryPage();
    page.getLibrary().setRecords (fortyRecords());
    page.getList().setFirstRow (3);
    click (page.getList(), 50, 2 * RecordList::rowHeight + 5);
    ravlin::test::saveSnapshot (window, "library-forty");
    page.getLibrary().chooseCategory (2);
    click (page.getList(), 50, 5);
    ravlin::test::saveSnapshot (window, "library-filtered");
    page.getButton (LibClass::renameCommand).press();
    page.getDialog()->getEditor().setText ("Glassy Pad gjpqy"); // descenders must show
    ravlin::test::saveSnapshot (window, "library-rename");
    answer (*page.getDialog(), TextInputCont::cancelCommand);
    page.getButton (LibClass::addCurrentCommand).press(); // the applied row is the current program
    ravlin::test::saveSnapshot (window, "library-already-exists");
    EXPECT_TRUE (juce::File (RAVLIN_SCREENSHOT_DIR).getChildFile ("library-rename.png").existsAsFile());
}

TEST_F (LibraryWindow, PresetFilesAreCheckedBeforeAnythingChanges)
{
    Plugin_Bank page (*processor);
    page.setBounds (0, 0, 1000, 528);
    processor->setCurrentProgram (4);
    std::vector<Bytes> before;
    for (int p = 0; p < 99; ++p)
        before.push_back (hub().getPresetProgram (p));
    const auto current = hub().getCurrentProgram();

    // A 43-byte .fxp, a host .fxb of another plug-in and a random file: refused, with a message.
    Bytes shortPreset{'C', 'c', 'n', 'K', 0, 0, 0, 35, 'F', 'P', 'C', 'h'};
    shortPreset.resize (43, 0);
    Bytes foreign{'C', 'c', 'n', 'K', 0, 1, 0, 0, 'F', 'B', 'C', 'h'};
    foreign.resize (160 + 102430, 0x11);
    foreign[156] = 0, foreign[157] = 1, foreign[158] = 0x90, foreign[159] = 0x1E; // 102430
    const std::vector<std::tuple<juce::String, Bytes, int>> files{
        {"short.fxp", shortPreset, Plugin_Bank::loadSinglePreset},
        {"foreign.fxb", foreign, Plugin_Bank::loadPresetBank},
        {"noise.fxb", Bytes (102430, 0x42), Plugin_Bank::loadPresetBank}};
    for (const auto& [name, content, item] : files)
    {
        const auto file = home.getChildFile (name);
        ASSERT_TRUE (file.replaceWithData (content.data(), content.size()));
        answerDialogs (page.getFileMan(), file);
        page.perform (item);
        ASSERT_NE (page.getDialog(), nullptr) << name;
        EXPECT_TRUE (page.getDialog()->isVisible()) << name;
        EXPECT_TRUE (page.getDialog()->getTitle().startsWith (name + " was not loaded: "))
            << page.getDialog()->getTitle();
        EXPECT_TRUE (page.getDialog()->getTitle().endsWith ("Nothing was changed.")) << name;
        answer (*page.getDialog(), 1200);
        for (int p = 0; p < 99; ++p)
            ASSERT_EQ (hub().getPresetProgram (p), before[(size_t)p]) << name << " slot " << p;
        EXPECT_EQ (hub().getCurrentProgram(), current) << name;
    }

    // The host's own container around this plug-in's bank is unwrapped and loaded.
    juce::MemoryBlock chunk;
    hub().setPresetProgram (7, makeRecord ("In The Bank", 3, 77));
    processor->getStateInformation (chunk);
    hub().setPresetProgram (7, before[7]);
    Bytes hostFxb{'C', 'c', 'n', 'K', 0, 0, 0, 0, 'F', 'B', 'C', 'h'};
    hostFxb.resize (156, 0);
    const auto size = (uint32_t)chunk.getSize();
    for (int shift = 24; shift >= 0; shift -= 8)
        hostFxb.push_back ((uint8_t)(size >> shift));
    hostFxb.insert (hostFxb.end(), (const uint8_t*)chunk.getData(), (const uint8_t*)chunk.getData() + chunk.getSize());
    const auto file = home.getChildFile ("host.fxb");
    ASSERT_TRUE (file.replaceWithData (hostFxb.data(), hostFxb.size()));
    answerDialogs (page.getFileMan(), file);
    page.perform (Plugin_Bank::loadPresetBank);
    answer (*page.getDialog(), TextInputCont::positiveCommand);
    EXPECT_EQ (hub().getPresetProgram (7), makeRecord ("In The Bank", 3, 77));
    EXPECT_EQ (hub().getPresetProgram (8), before[8]);

    // On the library page the same file is refused too, in one line.
    LibClass library (*processor, {});
    library.setBounds (0, 0, 1000, 528);
    EXPECT_FALSE (library.getLibrary().loadFile (home.getChildFile ("noise.fxb")));
    ASSERT_NE (library.getDialog(), nullptr);
    const auto& title = library.getDialog()->getTitleLabel();
    EXPECT_TRUE (title.getText().startsWith ("noise.fxb is neither a library nor")) << title.getText();
    EXPECT_EQ (title.getHeight(), 30);

    // A message too long for one line, with a path in it, wraps above its button instead of
    // being cut.
    library.tell (
        DefaultLibraryFile::describe (DefaultLibraryFile::Result::keptOldFile,
                                      home.getChildFile ("a folder with a long name").getChildFile ("p12Lib.p12l")));
    EXPECT_GT (title.getHeight(), 60);
    EXPECT_LE (title.getBottom(), library.getDialog()->getButton (TextInputCont::negativeCommand)->getY());
    ravlin::test::saveSnapshot (library, "library-file-refused");
}

TEST_F (LibraryWindow, SavingOverAnExistingPresetFileAsksAndAFailedWriteIsTold)
{
    Plugin_Bank page (*processor);
    page.setBounds (0, 0, 1000, 528);
    const auto existing = home.getChildFile ("Mine.fxp");
    ASSERT_TRUE (existing.replaceWithText ("keep me"));
    answerDialogs (page.getFileMan(), home.getChildFile ("Mine"));
    page.perform (Plugin_Bank::savePreset);
    ASSERT_NE (page.getDialog(), nullptr);
    EXPECT_EQ (page.getDialog()->getTitle(), "Replace the existing file Mine.fxp?");
    answer (*page.getDialog(), 1202); // NO
    EXPECT_EQ (existing.loadFileAsString(), "keep me");

    const auto plain = home.getChildFile ("plain");
    ASSERT_TRUE (plain.replaceWithText ("x"));
    answerDialogs (page.getFileMan(), plain.getChildFile ("bank"));
    page.perform (Plugin_Bank::savePresetBank);
    EXPECT_TRUE (page.getDialog()->getTitle().startsWith ("Could not write ")) << page.getDialog()->getTitle();
}
