#include "library/ProgramLibrary.h"

#include "instrument/Bank_Program.h"
#include "instrument/ParDes.h"
#include "library/LibraryFile.h"
#include "library/PresetChunkFormat.h"
#include "library/ProgramFiles.h"
#include "library/ProgramScan.h"

#include <cstring>

namespace
{
constexpr size_t nameAt = (size_t)DSI_Program::nameOffset, nameLength = (size_t)DSI_Program::nameLength;
constexpr size_t categoryAt = (size_t)DSI_Program::categoryOffset;

} // namespace

void ProgramLibrary::Host::tell (const juce::String& message)
{
    ask ({message, {}, -1, {}, "OK", {}}, [] (const Answer&) {});
}

ProgramLibrary::ProgramLibrary (Host& h, ProgramSource& source) : host (h), programSource (source)
{
    refresh();
}

ravlin::Bytes ProgramLibrary::record (int n) const
{
    if (!juce::isPositiveAndBelow (n, size()))
        return {};
    const auto* p = records.data() + (size_t)n * recordSize;
    return ravlin::Bytes (p, p + recordSize);
}

int ProgramLibrary::getSelectedRecord() const noexcept
{
    return juce::isPositiveAndBelow (selectedRow, (int)visible.size()) ? visible[(size_t)selectedRow] : -1;
}

int ProgramLibrary::count (int category) const noexcept
{
    return juce::isPositiveAndBelow (category, (int)counts.size()) ? counts[(size_t)category] : 0;
}

juce::String ProgramLibrary::countText (int button) const
{
    if (button == listAll)
        return "Size: " + juce::String (size());
    const auto n = count (button);
    return n == 0 ? juce::String() : juce::String (n);
}

juce::String ProgramLibrary::nameOf (const uint8_t* r)
{
    juce::String name;
    for (size_t i = 0; i < nameLength; ++i)
    {
        const auto c = (int8_t)r[nameAt + i];
        name += juce::String::charToString (c >= 32 ? (juce::juce_wchar)c : (juce::juce_wchar)'A');
    }
    return name;
}

void ProgramLibrary::writeName (uint8_t* r, const juce::String& text)
{
    DSI_Program::writeName (r + nameAt, text);
}

void ProgramLibrary::keepOrChooseCategory (uint8_t* r, int answered)
{
    // The question shows the record's own byte, so an answer outside 0..25 is that byte
    // (a file may hold any); only a category picked in the box replaces it.
    if (juce::isPositiveAndBelow (answered, numCategories))
        r[categoryAt] = (uint8_t)answered;
}

bool ProgramLibrary::containsDuplicate (const uint8_t* r) const noexcept
{
    for (size_t at = 0; at + recordSize <= records.size(); at += recordSize)
    {
        const auto* other = records.data() + at;
        // Category and name first: most records differ there.
        if (other[categoryAt] != r[categoryAt] || std::memcmp (other + nameAt, r + nameAt, nameLength) != 0)
            continue;
        if (std::memcmp (other, r, recordSize) == 0)
            return true;
    }
    return false;
}

void ProgramLibrary::setRecords (ravlin::Bytes block)
{
    block.resize (block.size() / recordSize * recordSize);
    records = std::move (block);
    refresh();
}

//==============================================================================
void ProgramLibrary::refresh()
{
    selectedRow = -1;
    buildRows();
    if (onChange)
        onChange();
}

void ProgramLibrary::buildRows()
{
    visible.clear();
    counts.fill (0);
    for (int n = 0; n < size(); ++n)
    {
        const auto* r = records.data() + (size_t)n * recordSize;
        const auto category = r[categoryAt];
        ++counts[category];
        if ((!filterOn || category == chosenCategory) &&
            (nameFilter.isEmpty() || nameOf (r).containsIgnoreCase (nameFilter)) &&
            (!meta.isFavouritesOnly() || meta.ratingOf (r) > 0))
            visible.push_back (n);
    }
    if (meta.getOrder() != LibraryMeta::Order::library)
        LibraryOrder::sort (visible, records.data(), meta.getOrder(), meta);
}

void ProgramLibrary::loadDefault (const juce::File& folder)
{
    const auto sidecar = meta.load (folder);
    records = defaultFile.load (folder);
    toldAboutDefault = false;
    filterOn = false;
    refresh();
    if (defaultFile.isUnreadable())
    {
        host.tell (DefaultLibraryFile::describe (DefaultSave::keptOldFile, folder.getChildFile (defaultFileName)));
        toldAboutDefault = true;
    }
    else if (sidecar == LibraryMeta::Load::setAside)
        host.tell (LibraryMeta::fileName + juce::String (" could not be read; it was kept as ") +
                   meta.getSetAside().getFileName() + ". Ratings and the list's order start afresh.");
}

ProgramLibrary::DefaultSave ProgramLibrary::saveDefault (const juce::File& folder)
{
    if (folder != juce::File() && meta.hasUnsavedChanges())
        metaWriteFailed = !meta.save (folder); // told by keepDefault, while the user can act
    const auto result = defaultFile.save (folder, records);
    if (defaultFile.broughtChanges())
        refresh(); // another instance's records came in
    return result;
}

void ProgramLibrary::keepDefault()
{
    if (!hasUnsavedChanges())
        return;
    const auto result = saveDefault (defaultFile.getHome());
    auto message = DefaultLibraryFile::describe (result, defaultFile.getHome().getChildFile (defaultFileName));
    if (metaWriteFailed)
        message = (message + " Could not write " +
                   defaultFile.getHome().getChildFile (LibraryMeta::fileName).getFullPathName() +
                   "; the ratings and the order are kept here and written with the next change.")
                      .trim();
    if (message.isEmpty())
    {
        toldAboutDefault = false;
        return;
    }
    if (!toldAboutDefault)
        host.tell (message);
    toldAboutDefault = true;
}

juce::StringArray ProgramLibrary::loadMenuTexts (const ProgramSource& source)
{
    juce::StringArray texts{"From Library File", "From Program Bank File", ""};
    for (int b = 0; b < 4; ++b)
        texts.add (source.getBankName (b));
    texts.add ("");
    for (int b = 4; b < ProgramSource::numBanks; ++b)
        texts.add (source.getBankName (b));
    texts.add ("");
    texts.add ("Import from FX Preset Bank");
    return texts;
}

void ProgramLibrary::takePending (const std::vector<ravlin::Bytes>& source)
{
    pending.clear();
    std::vector<ravlin::Bytes> whole;
    for (const auto& r : source)
        if (r.size() >= (size_t)recordSize)
            whole.emplace_back (r.begin(), r.begin() + recordSize);
    for (const auto& r : LibraryFile::withoutRepeats (std::move (whole)))
        pending.insert (pending.end(), r.begin(), r.end());
}

bool ProgramLibrary::readFileByContent (const juce::File& file)
{
    pending.clear();
    const auto data = ProgramFiles::readProgramSource (file);
    if (!data.has_value())
    {
        host.tell (ProgramFiles::whyUnreadable (file, ProgramFiles::limitFor (file)) + " The library is unchanged.");
        return false;
    }
    if (LibraryFile::hasStartMarker (data->data(), data->size()))
    {
        // A library, its repeats once.
        takePending (LibraryFile::readRecords (data->data(), data->size(), LibraryFile::markerLength, true));
        if (pendingCount() == 0)
            host.tell (file.getFileName() + " is a library without programs. The library is unchanged.");
        return pendingCount() > 0;
    }
    // Anything else counts only for the well-formed program dumps in it.
    std::vector<ravlin::Bytes> programs;
    const auto scanned = ProgramScan::scan (data->data(), data->size());
    if (scanned.format == ProgramScan::Format::sysEx)
        for (const auto& found : scanned.programs)
            programs.push_back (found.image);
    takePending (programs);
    if (pendingCount() == 0)
        host.tell (file.getFileName() +
                   " is neither a library nor a file of Prophet 12 program dumps. The library is unchanged.");
    return pendingCount() > 0;
}

bool ProgramLibrary::loadFile (const juce::File& file)
{
    if (!readFileByContent (file))
        return false;
    offerPending();
    return true;
}

void ProgramLibrary::readSource (int source, std::function<void()> then)
{
    pending.clear();
    if (source == fromLibraryFile || source == fromBankFile)
    {
        host.chooseFile (source == fromLibraryFile ? 4 : 3, {},
                         [this, then] (juce::File file)
                         {
                             if (file != juce::File() && readFileByContent (file))
                                 then();
                         });
        return;
    }

    std::vector<ravlin::Bytes> programs;
    if (source >= fromInstrumentBank && source < fromInstrumentBank + ProgramSource::numBanks)
        for (int p = 0; p < Bank_Program::numPrograms; ++p)
            programs.push_back (programSource.getBankProgram (source - fromInstrumentBank, p));
    else if (source == fromPresetBank)
        for (int p = 0; p < Bank_Program::numPrograms; ++p)
            programs.push_back (programSource.getPresetProgram (p));
    else
        return;
    takePending (programs);
    then();
}

void ProgramLibrary::load (int source)
{
    readSource (source, [this] { offerPending(); });
}

void ProgramLibrary::offerPending()
{
    if (size() == 0)
    {
        if (pendingCount() > 0)
            replaceWithPending();
        return;
    }
    host.ask ({"Append Programs?", {}, -1, "YES", "NO", "CANCEL"},
              [this] (const Answer& a)
              {
                  if (a.button == Answer::positive)
                  {
                      appendPending();
                      return;
                  }
                  if (a.button != Answer::negative)
                      return;
                  host.ask ({"Save the Current Library?", {}, -1, "YES", "NO", "CANCEL"},
                            [this] (const Answer& b)
                            {
                                if (b.button == Answer::positive)
                                    saveThen ([this] { replaceWithPending(); });
                                else if (b.button == Answer::negative)
                                    replaceWithPending();
                            });
              });
}

void ProgramLibrary::replaceWithPending()
{
    records = pending;
    filterOn = false;
    refresh();
}

void ProgramLibrary::appendPending()
{
    if ((records.size() + pending.size()) / recordSize > (size_t)LibraryFile::maxRecords)
    {
        host.tell ("Appending " + juce::String (pendingCount()) + " programs would make the library larger than " +
                   juce::String (LibraryFile::maxRecords) + " programs, more than a library file takes. " +
                   "The library is unchanged.");
        return;
    }
    records.insert (records.end(), pending.begin(), pending.end());
    filterOn = false;
    refresh();
}

void ProgramLibrary::saveThen (std::function<void()> then)
{
    // What follows a save (replacing or emptying the library) happens only once the library
    // is safely in its file.
    host.chooseFile (104, "Untitled",
                     [this, then] (juce::File file)
                     {
                         if (file == juce::File())
                             return;
                         file = ProgramFiles::withExtension (file, ".p12l");
                         if (size() == 0)
                         {
                             if (then)
                                 then(); // nothing to lose
                             return;
                         }
                         if (size() > LibraryFile::maxRecords)
                         {
                             host.tell (DefaultLibraryFile::describe (DefaultSave::tooLarge, file));
                             return;
                         }
                         if (!LibraryFile::writeBlock (file, records))
                         {
                             host.tell ("Could not write " + file.getFullPathName() +
                                        ". Nothing was saved and the library is unchanged.");
                             return;
                         }
                         if (then)
                             then();
                     });
}

void ProgramLibrary::save()
{
    saveThen (nullptr);
}

void ProgramLibrary::clearAll()
{
    auto empty = [this]
    {
        records.clear();
        filterOn = false;
        refresh();
    };
    if (size() == 0)
    {
        empty();
        return;
    }
    host.ask ({"Save Current Library?", {}, -1, "YES", "NO", "CANCEL"},
              [this, empty] (const Answer& a)
              {
                  if (a.button == Answer::positive)
                      saveThen (empty); // emptied only once it is saved
                  else if (a.button == Answer::negative)
                      empty();
              });
}

void ProgramLibrary::rename()
{
    const auto n = getSelectedRecord();
    if (n < 0)
        return;
    const auto* r = records.data() + (size_t)n * recordSize;
    const auto name = nameOf (r);
    // The edit text without the padding, so that text typed at its end stays within the name.
    host.ask ({"Rename " + name + ":", name.trimEnd(), r[categoryAt], "OK", {}, "CANCEL"},
              [this, n] (const Answer& a)
              {
                  if (a.button != Answer::positive || a.text.isEmpty() || !juce::isPositiveAndBelow (n, size()))
                      return;
                  auto* target = records.data() + (size_t)n * recordSize;
                  const auto before = LibraryMeta::keyOf (target);
                  writeName (target, a.text);
                  keepOrChooseCategory (target, a.category);
                  meta.carry (before, LibraryMeta::keyOf (target));
                  filterByChosenCategory();
              });
}

void ProgramLibrary::remove()
{
    const auto n = getSelectedRecord();
    if (n < 0)
        return;
    const auto name = nameOf (records.data() + (size_t)n * recordSize);
    host.ask ({"Delete " + name + " ?", {}, -1, "OK", {}, "CANCEL"},
              [this, n] (const Answer& a)
              {
                  if (a.button != Answer::positive || !juce::isPositiveAndBelow (n, size()))
                      return;
                  const auto at = records.begin() + (std::ptrdiff_t)n * recordSize;
                  records.erase (at, at + recordSize);
                  refresh();
              });
}

void ProgramLibrary::addCurrent()
{
    auto current = programSource.getCurrentProgram();
    current.resize ((size_t)recordSize, 0);
    const auto name = nameOf (current.data()).trimEnd();
    if (containsDuplicate (current.data()))
    {
        host.ask ({name + " Program already exists in the library.", {}, -1, {}, "OK", {}}, [] (const Answer&) {});
        return;
    }
    host.ask ({"Program name:", name, current[categoryAt], "OK", {}, "CANCEL"},
              [this, current] (const Answer& a) mutable
              {
                  if (a.button != Answer::positive)
                      return;
                  keepOrChooseCategory (current.data(), a.category);
                  writeName (current.data(), a.text.isEmpty() ? juce::String ("Untitled") : a.text);
                  const bool add = !containsDuplicate (current.data());
                  if (add)
                      records.insert (records.end(), current.begin(), current.end());
                  refresh();
                  if (add && !visible.empty() && visible.back() == size() - 1)
                      select ((int)visible.size() - 1);
              });
}

void ProgramLibrary::setNameFilter (const juce::String& text)
{
    const auto trimmed = text.trim();
    if (trimmed == nameFilter)
        return;
    nameFilter = trimmed;
    refresh();
}

ravlin::Bytes ProgramLibrary::programChunk (const ravlin::Bytes& record)
{
    ravlin::Bytes chunk;
    for (auto c : juce::String (PresetChunkFormat::programChunkMarker) + PresetChunkFormat::version)
        chunk.push_back ((uint8_t)c);
    chunk.insert (chunk.end(), record.begin(), record.end());
    return chunk;
}

void ProgramLibrary::select (int visibleRow)
{
    if (visible.empty())
        return;
    selectedRow = juce::jlimit (0, (int)visible.size() - 1, visibleRow); // below the last row: the last
    host.applyProgramChunk (programChunk (record (visible[(size_t)selectedRow])));
    if (onChange)
        onChange();
}

void ProgramLibrary::chooseCategory (int button)
{
    if (button == listAll)
    {
        filterOn = false;
        heading = {};
        refresh();
        return;
    }
    if (!juce::isPositiveAndBelow (button, numCategories))
        return;
    chosenCategory = button;
    filterByChosenCategory();
}

void ProgramLibrary::filterByChosenCategory()
{
    filterOn = true;
    heading = ParDes::categoryText (chosenCategory);
    refresh();
}
