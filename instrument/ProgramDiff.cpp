#include "instrument/ProgramDiff.h"

#include "instrument/DSI_Program.h"
#include "instrument/ParDes.h"
#include "instrument/ParameterNames.h"

#include <algorithm>

namespace
{
using ravlin::ParameterTable;

const char* const sectionNames[] = {
    "Arp Steps",  "Oscillators", "Character",   "Low-Pass Filter", "High-Pass Filter", "Amplifier",
    "Feedback",   "Delays",      "LFOs",        "Envelope 3",      "Envelope 4",       "Modulation",
    "Distortion", "Unison",      "Arpeggiator", "A/B Mode"};

int byteAt (const ravlin::Bytes& image, int index)
{
    return (size_t)index < image.size() ? image[(size_t)index] : 0;
}

/** Each section's place: the order in which the table first shows it, after the program's own rows. */
std::vector<int> sectionRanks (const ParameterNames& names)
{
    std::vector<int> rank (32, 1000);
    int next = 1;
    for (int p = 0; p < ParameterTable::layerSize; ++p)
    {
        const auto section = names.table().section (p);
        if (names.nameOf (p).isNotEmpty() && section >= 0 && section < (int)rank.size() &&
            rank[(size_t)section] == 1000)
            rank[(size_t)section] = next++;
    }
    return rank;
}
} // namespace

std::vector<ProgramDiff::Row> ProgramDiff::compare (const ravlin::Bytes& thisProgram, const ravlin::Bytes& otherProgram)
{
    const auto& names = ParameterNames::get();
    const auto& table = names.table();
    std::vector<Row> rows;

    const auto thisName = DSI_Program::nameFrom (thisProgram.data(), thisProgram.size(), true);
    const auto otherName = DSI_Program::nameFrom (otherProgram.data(), otherProgram.size(), true);
    bool nameDiffers = false;
    for (int i = 0; i < DSI_Program::nameLength; ++i)
        nameDiffers = nameDiffers || byteAt (thisProgram, DSI_Program::nameOffset + i) !=
                                         byteAt (otherProgram, DSI_Program::nameOffset + i);
    if (nameDiffers)
    {
        Row row;
        row.sectionName = sectionName (-1);
        row.name = "Name";
        row.dottedName = "name";
        row.thisText = thisName.trimEnd();
        row.otherText = otherName.trimEnd();
        row.index = nameRow;
        rows.push_back (row);
    }

    const auto thisCategory = byteAt (thisProgram, DSI_Program::categoryOffset);
    const auto otherCategory = byteAt (otherProgram, DSI_Program::categoryOffset);
    if (thisCategory != otherCategory)
    {
        Row row;
        row.sectionName = sectionName (-1);
        row.name = "Category";
        row.dottedName = "category";
        auto text = [] (int c) { return c < ParDes::numCategories ? ParDes::categoryText (c) : juce::String (c); };
        row.thisText = text (thisCategory);
        row.otherText = text (otherCategory);
        row.thisValue = thisCategory;
        row.otherValue = otherCategory;
        row.index = categoryRow;
        rows.push_back (row);
    }
    const auto programRows = rows.size();

    for (int p = 0; p < ParameterTable::numImageParameters; ++p)
    {
        const auto& dotted = names.nameOf (p);
        if (dotted.isEmpty())
            continue;
        const auto a = byteAt (thisProgram, p);
        const auto b = byteAt (otherProgram, p);
        if (a == b)
            continue;

        Row row;
        row.layer = ParameterNames::isProgramWide (p) ? Layer::none
                    : p < ParameterTable::layerSize   ? Layer::a
                                                      : Layer::b;
        row.section = table.section (p);
        row.sectionName = sectionName (row.section);
        row.name = juce::String (table.shortName (p));
        row.dottedName = dotted;
        row.thisText = valueText (p, a);
        row.otherText = valueText (p, b);
        row.thisValue = a;
        row.otherValue = b;
        row.index = p;
        rows.push_back (row);
    }

    static const auto rank = sectionRanks (names);
    std::stable_sort (rows.begin() + (std::ptrdiff_t)programRows, rows.end(),
                      [] (const Row& x, const Row& y) { return rank[(size_t)x.section] < rank[(size_t)y.section]; });
    return rows;
}

juce::String ProgramDiff::layerText (Layer layer)
{
    return layer == Layer::a ? "A" : layer == Layer::b ? "B" : "";
}

juce::String ProgramDiff::sectionName (int section)
{
    if (section < 0)
        return "Program";
    return section < (int)std::size (sectionNames) ? sectionNames[section]
                                                   : juce::String ("Section ") + juce::String (section);
}

juce::String ProgramDiff::valueText (int index, int value)
{
    const auto text = ParDes::valueText (ParameterNames::get().table().displayKind (index), value);
    return text.trim().isEmpty() ? juce::String (value) : text;
}
