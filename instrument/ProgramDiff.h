#pragma once

#include "instrument/ProgramPacking.h"

#include <juce_core/juce_core.h>

#include <vector>

/** What differs between two program images, as the user reads it: one row for every named
    parameter whose byte differs, with the table's value text of each side, plus one row for the
    name (all its bytes as one text) and one for the category. Reserved and unnamed bytes, and the
    layer-B copies of the name and of the split point and A/B mode, which the instrument never
    reads, are not compared.

    Rows come grouped by section: first the program's name and category ("Program"), then the
    sections in the order the parameter table first shows each of them; within a section, layer A
    before layer B, each in table order. Headless and stateless. */
class ProgramDiff
{
public:
    enum class Layer
    {
        none, // the whole program: name, category, split point, A/B mode
        a,
        b
    };

    static constexpr int nameRow = -1;     // Row::index of the name
    static constexpr int categoryRow = -2; // Row::index of the category

    struct Row
    {
        Layer layer = Layer::none;
        int section = 0;          // the table's section; 0 for the name and the category
        juce::String sectionName; // "Program", "Oscillators", ...
        juce::String name;        // the table's short name, "Name" or "Category"
        juce::String dottedName;  // as queries write it (see ParameterNames)
        juce::String thisText, otherText;
        int thisValue = 0, otherValue = 0; // raw bytes; 0 for the name
        int index = nameRow;               // the table index, a view's way to the control
    };

    /** Two images of 1024 bytes; a shorter one reads 0 beyond its end. Empty when equal. */
    static std::vector<Row> compare (const ravlin::Bytes& thisProgram, const ravlin::Bytes& otherProgram);

    /** "A", "B" or "" for the whole program. */
    static juce::String layerText (Layer layer);
    /** The heading a section's rows stand under. */
    static juce::String sectionName (int section);
    /** A parameter's value text, its raw number where the table has no text. */
    static juce::String valueText (int index, int value);
};
