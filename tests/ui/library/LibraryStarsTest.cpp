// Stars, sorting and the favourites filter of the library page, as the user sees and uses them.
#include "core/RavlinAudioProcessor.h"
#include "support/FakeMidiDevices.h"
#include "support/UiEvents.h"
#include "ui/library/Lib_Manager_Comp.h"

#include <gtest/gtest.h>

using ravlin::Bytes;
using ravlin::test::click;

namespace
{
Bytes makeRecord (const juce::String& name, int category, int salt)
{
    Bytes r (1024, 0);
    r[0] = (uint8_t)(salt & 0x7F);
    ProgramLibrary::writeName (r.data(), name);
    r[(size_t)DSI_Program::categoryOffset] = (uint8_t)category;
    return r;
}

class LibraryStars : public ::testing::Test
{
protected:
    LibraryStars()
    {
        home = juce::File::getSpecialLocation (juce::File::tempDirectory)
                   .getChildFile ("ravlin-stars-" + juce::String::toHexString (juce::Random().nextInt64()));
        home.createDirectory();
        processor = std::make_unique<RavlinAudioProcessor> (std::make_unique<ravlin::test::FakeMidiDevices>(), home);
        window = std::make_unique<Lib_Manager_Comp> (*processor, juce::File());
        window->getTab (Lib_Manager_Comp::libraryTab).press();
        page = window->getLibraryPage();
        Bytes block;
        for (const auto& r : {makeRecord ("Zither Keys", 1, 1), makeRecord ("Acid Bass", 8, 2),
                              makeRecord ("Motion Pad", 24, 3), makeRecord ("Brass Stab", 12, 4)})
            block.insert (block.end(), r.begin(), r.end());
        page->getLibrary().setRecords (block);
    }
    ~LibraryStars() override
    {
        window.reset();
        processor.reset();
        home.deleteRecursively();
    }

    /** How many of a row's three stars are painted filled (gold at their centre). */
    int starsPainted (int row) { return starsPainted (page->getList(), row); }
    static int starsPainted (RecordList& list, int row)
    {
        const auto image = list.createComponentSnapshot (list.getLocalBounds());
        const auto area = list.starArea (row);
        int filled = 0;
        for (int k = 0; k < RecordList::starCount; ++k)
        {
            const auto c = image.getPixelAt (area.getX() + k * RecordList::starSize + RecordList::starSize / 2,
                                             (row - list.getFirstRow()) * RecordList::rowHeight + area.getCentreY());
            filled += c.getRed() > 200 && c.getGreen() > 150 && c.getBlue() < 100 ? 1 : 0;
        }
        return filled;
    }

    void clickStar (int row, int star) { clickStar (page->getList(), row, star); }
    static void clickStar (RecordList& list, int row, int star)
    {
        const auto area = list.starArea (row);
        click (list, area.getX() + (star - 1) * RecordList::starSize + RecordList::starSize / 2,
               (row - list.getFirstRow()) * RecordList::rowHeight + area.getCentreY());
    }

    juce::StringArray shown()
    {
        juce::StringArray names;
        for (int row = 0; row < page->getList().numRows(); ++row)
            names.add (page->getList().rowName (row).trimEnd());
        return names;
    }

    juce::ScopedJuceInitialiser_GUI messageThread;
    juce::File home;
    std::unique_ptr<RavlinAudioProcessor> processor;
    std::unique_ptr<Lib_Manager_Comp> window;
    LibClass* page = nullptr;
};
} // namespace

TEST_F (LibraryStars, StarsAreShownAndSetByClickAndByKey)
{
    for (int row = 0; row < 4; ++row)
    {
        EXPECT_FALSE (page->getList().starArea (row).isEmpty());
        EXPECT_EQ (starsPainted (row), 0) << "unrated rows show empty stars";
    }
    const auto before = processor->getHub().getCurrentProgram();
    clickStar (1, 2);
    EXPECT_EQ (starsPainted (1), 2);
    EXPECT_EQ (page->getLibrary().ratingOfRecord (1), 2);
    EXPECT_EQ (page->getLibrary().getSelectedRow(), -1) << "rating a row does not select it";
    EXPECT_EQ (processor->getHub().getCurrentProgram(), before) << "nor send it to the instrument";
    clickStar (1, 2);
    EXPECT_EQ (starsPainted (1), 0) << "the same star again takes the stars away";
    clickStar (1, 3);
    EXPECT_EQ (starsPainted (1), 3);

    click (page->getList(), 50, 5); // select row 0
    auto& list = page->getList();
    EXPECT_TRUE (list.keyPressed (juce::KeyPress ('1', {}, '1')));
    EXPECT_EQ (starsPainted (0), 1);
    EXPECT_TRUE (list.keyPressed (juce::KeyPress ('3', {}, '3')));
    EXPECT_EQ (starsPainted (0), 3);
    EXPECT_TRUE (list.keyPressed (juce::KeyPress ('0', {}, '0')));
    EXPECT_EQ (starsPainted (0), 0);
    EXPECT_FALSE (list.keyPressed (juce::KeyPress ('4', {}, '4'))) << "three stars at most";
    EXPECT_EQ (page->getLibrary().getSelectedRow(), 0) << "the selection stays";
}

TEST_F (LibraryStars, TheSortBoxAndTheFavouritesButtonRearrangeTheList)
{
    clickStar (2, 1); // Motion Pad
    clickStar (3, 3); // Brass Stab
    auto& sort = page->getSortBox();
    EXPECT_EQ (sort.getText(), "Library order");
    sort.setSelectedId (2, juce::sendNotificationSync); // Name
    EXPECT_EQ (shown(), juce::StringArray ("Acid Bass", "Brass Stab", "Motion Pad", "Zither Keys"));
    sort.setSelectedId (3, juce::sendNotificationSync); // Category
    EXPECT_EQ (shown(), juce::StringArray ("Zither Keys", "Acid Bass", "Brass Stab", "Motion Pad"));
    sort.setSelectedId (4, juce::sendNotificationSync); // Rating
    EXPECT_EQ (shown(), juce::StringArray ("Brass Stab", "Motion Pad", "Zither Keys", "Acid Bass"));
    EXPECT_EQ (starsPainted (0), 3) << "the stars move with their rows";

    page->getFavouritesButton().setToggleState (true, juce::sendNotificationSync);
    EXPECT_EQ (shown(), juce::StringArray ("Brass Stab", "Motion Pad"));
    page->getFavouritesButton().setToggleState (false, juce::sendNotificationSync);
    EXPECT_EQ (page->getList().numRows(), 4);

    page->getList().setFirstRow (0);
    ravlin::test::saveSnapshot (*window, "library-stars");
    EXPECT_TRUE (juce::File (RAVLIN_SCREENSHOT_DIR).getChildFile ("library-stars.png").existsAsFile());
}

TEST_F (LibraryStars, PresetsHaveStarsKeptInTheSidecarByTheirSound)
{
    const auto folder = home.getChildFile ("library");
    for (int p = 0; p < 99; ++p)
        processor->getHub().setPresetProgram (p, makeRecord ("Preset " + juce::String (p + 1), p % 26, p));
    {
        Lib_Manager_Comp presets (*processor, folder);
        auto& list = presets.getPresetPage()->getList();
        list.setFirstRow (0);
        EXPECT_EQ (starsPainted (list, 4), 0);
        clickStar (list, 4, 2);
        EXPECT_EQ (starsPainted (list, 4), 2);
        ASSERT_EQ (list.selectedRow(), 0) << "the current preset is selected";
        EXPECT_TRUE (list.keyPressed (juce::KeyPress ('3', {}, '3')));
        EXPECT_EQ (starsPainted (list, 0), 3);
        EXPECT_EQ (processor->getCurrentProgram(), 0) << "a star never changes the current preset";
    }
    LibraryMeta onDisk;
    ASSERT_EQ (onDisk.load (folder), LibraryMeta::Load::loaded) << "written as soon as the star was set";
    EXPECT_EQ (onDisk.ratingOf (processor->getHub().getPresetProgram (4).data()), 2);
    EXPECT_EQ (onDisk.ratingOf (processor->getHub().getPresetProgram (0).data()), 3);
    EXPECT_EQ (onDisk.ratingOf (processor->getHub().getPresetProgram (5).data()), 0);

    // The same sound in the library shows the same stars.
    Lib_Manager_Comp again (*processor, folder);
    again.getTab (Lib_Manager_Comp::libraryTab).press();
    auto& library = again.getLibraryPage()->getLibrary();
    library.setRecords (processor->getHub().getPresetProgram (4));
    EXPECT_EQ (library.ratingOfRecord (0), 2);
}

TEST_F (LibraryStars, AFolderDroppedOnTheLibraryPageIsImportedWithASummary)
{
    const auto dropped = home.getChildFile ("dropped");
    ASSERT_TRUE (dropped.createDirectory());
    const auto dump = ravlin::packEditBufferDump (makeRecord ("Dropped Sound", 3, 77));
    ASSERT_TRUE (dropped.getChildFile ("sound.syx").replaceWithData (dump.data(), dump.size()));
    ASSERT_TRUE (dropped.getChildFile ("readme.txt").replaceWithText ("not a program"));
    const juce::StringArray files{dropped.getFullPathName()};
    ASSERT_TRUE (window->isInterestedInFileDrag (files));
    window->filesDropped (files, 100, 200);
    ASSERT_NE (page->getDialog(), nullptr);
    EXPECT_TRUE (page->getDialog()->isVisible());
    EXPECT_EQ (page->getDialog()->getTitle(), "1 added, 0 duplicates skipped, files not understood: readme.txt");
    EXPECT_EQ (page->getLibrary().size(), 5);
    EXPECT_EQ (page->getList().rowName (4).trimEnd(), "Dropped Sound");
}
