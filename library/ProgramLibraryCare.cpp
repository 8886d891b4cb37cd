// ProgramLibrary: ratings, the list's order, duplicates, category suggestions and bulk imports.
#include "library/ProgramLibrary.h"

#include "instrument/DSI_Program.h"
#include "instrument/ParDes.h"
#include "library/BulkImport.h"
#include "library/LibraryFile.h"

#include <algorithm>
#include <unordered_map>

namespace
{
constexpr size_t categoryAt = (size_t)DSI_Program::categoryOffset;

juce::String categoriesSet (int n)
{
    return juce::String (n) + (n == 1 ? " category set." : " categories set.");
}

juce::String quoted (const uint8_t* record)
{
    return "'" + ProgramLibrary::nameOf (record).trimEnd() + "'";
}
} // namespace

int ProgramLibrary::ratingOfRecord (int n) const
{
    return juce::isPositiveAndBelow (n, size()) ? meta.ratingOf (records.data() + (size_t)n * recordSize) : 0;
}

void ProgramLibrary::reselect (int record)
{
    // The rows are rebuilt around the record the user was on; nothing is applied again.
    selectedRow = -1;
    buildRows();
    for (size_t i = 0; i < visible.size(); ++i)
        if (visible[i] == record)
            selectedRow = (int)i;
    if (onChange)
        onChange();
}

void ProgramLibrary::setRating (int visibleRow, int stars)
{
    if (!juce::isPositiveAndBelow (visibleRow, (int)visible.size()))
        return;
    const auto n = visible[(size_t)visibleRow];
    const auto selected = getSelectedRecord();
    meta.setRating (LibraryMeta::keyOf (records.data() + (size_t)n * recordSize), stars);
    reselect (selected);
}

void ProgramLibrary::setOrder (LibraryMeta::Order order)
{
    const auto selected = getSelectedRecord();
    meta.setOrder (order);
    reselect (selected);
}

void ProgramLibrary::setFavouritesOnly (bool on)
{
    const auto selected = getSelectedRecord();
    meta.setFavouritesOnly (on);
    reselect (selected);
}

void ProgramLibrary::setCategoryRules (std::vector<LibraryMeta::Rule> rules)
{
    meta.setRules (std::move (rules));
}

void ProgramLibrary::setCategory (int n, int category)
{
    auto* r = records.data() + (size_t)n * recordSize;
    const auto before = LibraryMeta::keyOf (r);
    r[categoryAt] = (uint8_t)category;
    meta.carry (before, LibraryMeta::keyOf (r));
}

//==============================================================================
void ProgramLibrary::removeRecords (std::vector<int> numbers)
{
    std::sort (numbers.begin(), numbers.end());
    numbers.erase (std::unique (numbers.begin(), numbers.end()), numbers.end());
    ravlin::Bytes kept;
    kept.reserve (records.size());
    size_t next = 0;
    for (int n = 0; n < size(); ++n)
    {
        if (next < numbers.size() && numbers[next] == n)
        {
            ++next;
            continue;
        }
        const auto* r = records.data() + (size_t)n * recordSize;
        kept.insert (kept.end(), r, r + recordSize);
    }
    records = std::move (kept);
    refresh();
}

void ProgramLibrary::findDuplicates()
{
    const auto groups = LibraryOrder::duplicateGroups (records.data(), size());
    if (groups.empty())
    {
        host.tell ("No two programs in the library sound the same.");
        return;
    }
    std::vector<int> surplus;
    juce::StringArray lines;
    for (const auto& group : groups)
    {
        // The best rated record of the group stays, the first of them when several share it.
        auto keep = group.front();
        for (auto n : group)
            if (ratingOfRecord (n) > ratingOfRecord (keep))
                keep = n;
        juce::StringArray names;
        for (auto n : group)
        {
            names.add (juce::String (n + 1) + " " + quoted (records.data() + (size_t)n * recordSize));
            if (n != keep)
                surplus.push_back (n);
        }
        if (lines.size() < 6)
            lines.add (names.joinIntoString (" = "));
    }
    if ((int)groups.size() > lines.size())
        lines.add ("and " + juce::String ((int)groups.size() - lines.size()) + " more groups");
    const auto title = juce::String ((int)groups.size()) + (groups.size() == 1 ? " group" : " groups") +
                       " of programs sound the same: " + lines.joinIntoString ("; ") + ". Remove " +
                       juce::String ((int)surplus.size()) + " and keep one of each?";
    host.ask ({title, {}, -1, "KEEP ONE", {}, "KEEP ALL"},
              [this, surplus] (const Answer& a)
              {
                  if (a.button == Answer::positive)
                      removeRecords (surplus);
              });
}

//==============================================================================
void ProgramLibrary::suggestCategories()
{
    auto suggestions = LibraryOrder::suggestCategories (records.data(), size(), meta.getRules());
    if (suggestions.empty())
    {
        host.tell ("No program without a category has a name the category rules know.");
        return;
    }
    juce::StringArray lines;
    for (const auto& s : suggestions)
        if (lines.size() < 6)
            lines.add (quoted (records.data() + (size_t)s.record * recordSize) + " -> " +
                       ParDes::categoryText (s.category));
    if ((int)suggestions.size() > lines.size())
        lines.add ("and " + juce::String ((int)suggestions.size() - lines.size()) + " more");
    const auto title = juce::String ((int)suggestions.size()) + (suggestions.size() == 1 ? " program" : " programs") +
                       " without a category could be: " + lines.joinIntoString ("; ") + ".";
    host.ask ({title, {}, -1, "ACCEPT ALL", "ONE BY ONE", "NONE"},
              [this, suggestions] (const Answer& a)
              {
                  if (a.button == Answer::positive)
                  {
                      for (const auto& s : suggestions)
                          setCategory (s.record, s.category);
                      refresh();
                      host.tell (categoriesSet ((int)suggestions.size()));
                  }
                  else if (a.button == Answer::negative)
                      offerSuggestion (suggestions, 0);
              });
}

void ProgramLibrary::offerSuggestion (std::vector<LibraryOrder::Suggestion> left, int accepted)
{
    if (left.empty())
    {
        refresh();
        host.tell (categoriesSet (accepted));
        return;
    }
    const auto s = left.front();
    left.erase (left.begin());
    if (!juce::isPositiveAndBelow (s.record, size()))
        return;
    const auto title = quoted (records.data() + (size_t)s.record * recordSize) + " (" + s.word + ") -> " +
                       ParDes::categoryText (s.category) + "?";
    host.ask ({title, {}, -1, "YES", "NO", "STOP"},
              [this, s, left, accepted] (const Answer& a)
              {
                  if (a.button == Answer::cancel)
                  {
                      offerSuggestion ({}, accepted); // the ones accepted so far stay
                      return;
                  }
                  if (a.button == Answer::positive)
                      setCategory (s.record, s.category);
                  offerSuggestion (left, accepted + (a.button == Answer::positive ? 1 : 0));
              });
}

//==============================================================================
void ProgramLibrary::importFiles (const juce::StringArray& paths)
{
    auto found = BulkImport::read (paths);
    // A program counts as a duplicate when it sounds the same as one in the library or as one
    // earlier in this import.
    std::unordered_map<LibraryMeta::Key, std::vector<const uint8_t*>> known;
    auto seen = [&known] (const uint8_t* r)
    {
        auto& same = known[LibraryOrder::soundKeyOf (r)];
        for (const auto* other : same)
            if (LibraryOrder::soundsSame (other, r))
                return true;
        same.push_back (r);
        return false;
    };
    for (int n = 0; n < size(); ++n)
        seen (records.data() + (size_t)n * recordSize);
    std::vector<ravlin::Bytes> fresh, all;
    for (auto& p : found.programs)
    {
        p.resize ((size_t)recordSize, 0);
        all.push_back (p);
    }
    for (const auto& p : all)
        if (!seen (p.data()))
            fresh.push_back (p);

    const auto notUnderstood = found.notUnderstood;
    const auto duplicates = (int)(all.size() - fresh.size());
    if (duplicates == 0 || all.empty())
    {
        addImported (all, 0, notUnderstood);
        return;
    }
    host.ask ({juce::String (duplicates) + " of the " + juce::String ((int)all.size()) +
                   (duplicates == 1 ? " programs found sounds" : " programs found sound") +
                   " the same as programs in the library or each other. Skip them?",
               {},
               -1,
               "SKIP",
               "IMPORT ALL",
               "CANCEL"},
              [this, all, fresh, duplicates, notUnderstood] (const Answer& a)
              {
                  if (a.button == Answer::positive)
                      addImported (fresh, duplicates, notUnderstood);
                  else if (a.button == Answer::negative)
                      addImported (all, 0, notUnderstood);
                  else
                      host.tell ("Import cancelled. The library is unchanged.");
              });
}

void ProgramLibrary::addImported (const std::vector<ravlin::Bytes>& programs, int skipped,
                                  const juce::StringArray& notUnderstood)
{
    if ((size_t)size() + programs.size() > (size_t)LibraryFile::maxRecords)
    {
        host.tell ("Importing " + juce::String ((int)programs.size()) +
                   " programs would make the library larger than " + juce::String (LibraryFile::maxRecords) +
                   " programs. The library is unchanged.");
        return;
    }
    for (const auto& p : programs)
        records.insert (records.end(), p.begin(), p.begin() + recordSize);
    if (!programs.empty())
    {
        filterOn = false;
        refresh();
    }
    host.tell (BulkImport::summary ((int)programs.size(), skipped, notUnderstood));
}
