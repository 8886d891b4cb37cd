#pragma once

#include "instrument/ProgramPacking.h"
#include "library/DefaultLibraryFile.h"
#include "library/LibraryMeta.h"
#include "library/LibraryOrder.h"
#include "library/ProgramSource.h"

#include <juce_core/juce_core.h>

#include <array>
#include <functional>

/** The user's program library: a flat list of 1024-byte records with a category filter, filled
    from library and bank files, the instrument's banks and the preset bank, edited, saved, and
    applied as the current program. It asks its questions and shows its dialogs through a Host,
    so that it runs without windows. Message thread only. */
class ProgramLibrary
{
public:
    static constexpr int recordSize = 1024;
    static constexpr int numCategories = 26;
    static constexpr int listAll = 26; // the category grid's "LIST ALL"
    static constexpr const char* defaultFileName = DefaultLibraryFile::fileName;

    // LOAD menu item identifiers.
    enum Source
    {
        fromLibraryFile = 1,
        fromBankFile = 2,
        fromInstrumentBank = 11, // 11..18: banks 1..8
        fromPresetBank = 20
    };

    struct Question
    {
        juce::String title, editText;
        int category = -1; // -1: no category selector
        juce::String positive, negative, cancel;
    };

    struct Answer
    {
        enum Button
        {
            positive,
            negative,
            cancel
        } button = cancel;
        juce::String text;
        int category = 0;
    };

    /** What the page provides: the question dialog, the file dialogs and applying a program. */
    class Host
    {
    public:
        virtual ~Host() = default;
        virtual void ask (const Question& question, std::function<void (const Answer&)> answered) = 0;
        /** A file dialog of the given kind; chosen gets the file, or an empty one. */
        virtual void chooseFile (int kind, const juce::String& defaultName,
                                 std::function<void (juce::File)> chosen) = 0;
        /** The program chunk of the record, for the processor's program-chunk load. */
        virtual void applyProgramChunk (const ravlin::Bytes& chunk) = 0;
        /** A message with one button: a refused file, a failed write. */
        virtual void tell (const juce::String& message);
    };

    /** What a write of the default library did. */
    using DefaultSave = DefaultLibraryFile::Result;

    ProgramLibrary (Host& host, ProgramSource& programSource);

    // State.
    int size() const noexcept { return (int)(records.size() / recordSize); }
    ravlin::Bytes record (int n) const;
    const std::vector<int>& getVisibleRows() const noexcept { return visible; }
    int getSelectedRow() const noexcept { return selectedRow; }
    int getSelectedRecord() const noexcept;
    bool isFilterOn() const noexcept { return filterOn; }
    /** Rows shown are those whose name holds the text (any case) and, with the filter on, of
        the chosen category; an empty text hides nothing. */
    void setNameFilter (const juce::String& text);
    const juce::String& getNameFilter() const noexcept { return nameFilter; }
    int getChosenCategory() const noexcept { return chosenCategory; }
    juce::String getHeading() const { return heading; }
    int count (int category) const noexcept;
    /** Under a category button: its count, or nothing when 0; under "LIST ALL": "Size: " + size. */
    juce::String countText (int button) const;
    int pendingCount() const noexcept { return (int)(pending.size() / recordSize); }

    // Name rules.
    /** The 20 name bytes, a byte below 32 (read as signed) shown as "A"; padding kept. */
    static juce::String nameOf (const uint8_t* record);
    /** All 20 name bytes: the text cut or padded with blanks (see DSI_Program::writeName). */
    static void writeName (uint8_t* record, const juce::String& text);
    /** The category a question answered: a category 0..25 is stored, anything else (the
        record's own out-of-range byte, shown unchanged) leaves the byte as it is. */
    static void keepOrChooseCategory (uint8_t* record, int answeredCategory);
    bool containsDuplicate (const uint8_t* record) const noexcept;
    /** What choosing a row hands the host to apply: the program chunk of a record. */
    static ravlin::Bytes programChunk (const ravlin::Bytes& record);

    // Operations.
    /** Reads "p12Lib.p12l" from the folder, which then is this library's home; a file that
        cannot be read is told and kept (see DefaultLibraryFile). */
    void loadDefault (const juce::File& folder);
    /** Writes the library there, merged with another instance's changes (which it then shows). */
    DefaultSave saveDefault (const juce::File& folder);
    /** Writes the default library when it changed here, and tells the user when that fails. */
    void keepDefault();
    bool hasUnsavedChanges() const noexcept
    {
        return defaultFile.differsFrom (records) || (defaultFile.getHome() != juce::File() && meta.hasUnsavedChanges());
    }
    static juce::StringArray loadMenuTexts (const ProgramSource& source); // "" marks a separator
    void load (int source);
    /** LOAD with the file already chosen (one dropped on the page, or chosen in a dialog): a
        library file by its start marker, else SysEx program dumps. False, with a message and
        nothing changed, when it holds no programs. */
    bool loadFile (const juce::File& file);
    void save();
    void clearAll();
    void rename();
    void remove();
    void addCurrent();
    void select (int visibleRow);
    void chooseCategory (int button);
    void filterByChosenCategory();
    void refresh();

    // Ratings, order, duplicates, category suggestions and imports (ProgramLibraryCare.cpp).
    const LibraryMeta& getMeta() const noexcept { return meta; }
    int ratingOfRecord (int n) const;
    /** Sets the stars (0..3) of the record shown in a row; the selection stays on it. */
    void setRating (int visibleRow, int stars);
    void setOrder (LibraryMeta::Order order);
    void setFavouritesOnly (bool on);
    /** "Find Duplicates": tells the groups of records that sound the same and offers to keep
        one of each (the best rated, else the first) or all. */
    void findDuplicates();
    /** Offers the rule table's categories for records without one: all, one by one, or none. */
    void suggestCategories();
    void setCategoryRules (std::vector<LibraryMeta::Rule> rules);
    /** Imports every program in dropped files and folders, asking whether to skip those that
        sound the same as one already in the library, and tells what came of it. */
    void importFiles (const juce::StringArray& paths);

    /** For tests: the records as one block. */
    const ravlin::Bytes& block() const noexcept { return records; }
    void setRecords (ravlin::Bytes block);

    std::function<void()> onChange; // after every refresh

private:
    void readSource (int source, std::function<void()> then);
    /** Fills the pending records from a file by its content; false (and a message) if none. */
    bool readFileByContent (const juce::File& file);
    void takePending (const std::vector<ravlin::Bytes>& source);
    void offerPending();
    void replaceWithPending();
    void appendPending();
    void saveThen (std::function<void()> then);
    /** Rows shown: the category, name and favourites filters, in the chosen order. */
    void buildRows();
    void reselect (int record);
    void removeRecords (std::vector<int> numbers);
    void offerSuggestion (std::vector<LibraryOrder::Suggestion> left, int accepted);
    void setCategory (int n, int category);
    void addImported (const std::vector<ravlin::Bytes>& programs, int skipped, const juce::StringArray& notUnderstood);

    Host& host;
    ProgramSource& programSource;
    ravlin::Bytes records, pending;
    DefaultLibraryFile defaultFile;
    LibraryMeta meta;
    bool toldAboutDefault = false, metaWriteFailed = false;
    std::vector<int> visible;
    bool filterOn = false;
    int chosenCategory = 0;
    int selectedRow = -1;
    std::array<int, 256> counts{};
    juce::String heading, nameFilter;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ProgramLibrary)
};
