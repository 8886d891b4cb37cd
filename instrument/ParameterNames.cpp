#include "instrument/ParameterNames.h"

#include <algorithm>
#include <map>

namespace
{
using ravlin::ParameterTable;

const char* const sectionWords[] = {"step", "osc",  "char", "lpf", "hpf",  "amp",    "fb",  "dly",
                                    "lfo",  "env3", "env4", "mod", "dist", "unison", "arp", "layer"};

/** The first words that only repeat the section they stand in. */
bool repeatsSection (int section, const juce::String& word)
{
    static const std::map<int, juce::StringArray> words{
        {1, {"osc"}}, {3, {"lpf"}},  {4, {"hpf"}},   {5, {"vca"}},  {6, {"feedbk"}},  {7, {"dly"}},
        {8, {"lfo"}}, {9, {"env3"}}, {10, {"env4"}}, {11, {"mod"}}, {12, {"distor"}}, {13, {"unis", "unison"}},
        {14, {"arp"}}};
    const auto found = words.find (section);
    return found != words.end() && found->second.contains (word);
}

bool isNumber (const juce::String& word)
{
    return word.isNotEmpty() && word.containsOnly ("0123456789");
}

/** The lowercased words of a short name, with the spellings of the rule applied. */
juce::StringArray wordsOf (const std::string& shortName)
{
    juce::StringArray raw;
    raw.addTokens (juce::String (shortName).toLowerCase(), " ", "");
    raw.removeEmptyStrings();

    juce::StringArray words;
    bool lastWasInitial = false;
    for (auto word : raw)
    {
        const bool initial = word.removeCharacters (".").length() == 1 && juce::CharacterFunctions::isLetter (word[0]);
        if (word == "on/off")
            word = "on";
        word = word.removeCharacters ("./");
        if (word == "arpnote")
            word = "note";
        else if (word == "arpvel")
            word = "vel";
        if (word.isEmpty())
            continue;
        if (initial && lastWasInitial)
            words.getReference (words.size() - 1) += word;
        else
            words.add (word);
        lastWasInitial = initial;
    }
    return words;
}

/** Words with their first number as "#": rows sharing it within a section make a family. */
juce::String familyKey (int section, const juce::StringArray& words)
{
    juce::String key (section);
    bool replaced = false;
    for (const auto& w : words)
    {
        key << ' ';
        if (!replaced && isNumber (w))
        {
            key << '#';
            replaced = true;
        }
        else
            key << w;
    }
    return replaced ? key : juce::String();
}

} // namespace

const ParameterNames& ParameterNames::get()
{
    static const ParameterNames names;
    return names;
}

ParameterNames::ParameterNames()
{
    const auto& t = parameterTable;
    byIndex.resize (ParameterTable::numImageParameters);

    std::vector<juce::StringArray> words ((size_t)ParameterTable::layerSize);
    std::map<juce::String, int> familySize;
    for (int p = 0; p < ParameterTable::layerSize; ++p)
    {
        const auto& shortName = t.shortName (p);
        if (shortName.empty() || shortName == "rfu")
            continue;
        auto& w = words[(size_t)p];
        w = wordsOf (shortName);
        if (w.size() > 1 && repeatsSection (t.section (p), w[0]))
            w.remove (0);
        const auto key = familyKey (t.section (p), w);
        if (key.isNotEmpty())
            ++familySize[key];
    }

    for (int p = 0; p < ParameterTable::layerSize; ++p)
    {
        auto w = words[(size_t)p];
        if (w.isEmpty())
            continue;

        auto head = sectionWord (t.section (p));
        const auto key = familyKey (t.section (p), w);
        if (key.isNotEmpty() && familySize[key] > 1)
        {
            for (int i = 0; i < w.size(); ++i)
                if (isNumber (w[i]))
                {
                    head << w[i];
                    w.remove (i);
                    break;
                }
        }
        else if (w.size() > 1 && isNumber (w[w.size() - 1]))
            w.remove (w.size() - 1);

        byIndex[(size_t)p] = head + "." + w.joinIntoString ("_");
        if (!isProgramWide (p))
            byIndex[(size_t)p + ParameterTable::layerSize] = "b." + byIndex[(size_t)p];
    }

    for (int p = 0; p < ParameterTable::numImageParameters; ++p)
        if (byIndex[(size_t)p].isNotEmpty())
        {
            names.add (byIndex[(size_t)p]);
            indexOfName.push_back (p);
        }
}

const juce::String& ParameterNames::nameOf (int index) const
{
    static const juce::String none;
    return index >= 0 && index < (int)byIndex.size() ? byIndex[(size_t)index] : none;
}

int ParameterNames::indexOf (const juce::String& dottedName) const
{
    auto name = dottedName.trim().toLowerCase();
    if (name.startsWith ("a."))
    {
        name = name.substring (2);
        if (name.startsWith ("b."))
            return -1;
    }
    const auto at = names.indexOf (name);
    return at < 0 ? -1 : indexOfName[(size_t)at];
}

juce::StringArray ParameterNames::nearest (const juce::String& mistyped, int count) const
{
    const auto typed = mistyped.trim().toLowerCase();
    std::vector<std::pair<int, int>> ranked; // distance, position in names
    for (int i = 0; i < names.size(); ++i)
    {
        auto distance = editDistance (typed, names[i]);
        if (typed.isNotEmpty() && names[i].startsWith (typed))
            distance = 0;
        ranked.emplace_back (distance, i);
    }
    std::stable_sort (ranked.begin(), ranked.end(), [] (const auto& x, const auto& y) { return x.first < y.first; });

    juce::StringArray result;
    for (const auto& [distance, i] : ranked)
    {
        if ((int)result.size() >= count || distance > std::max (3, typed.length() / 2))
            break;
        result.add (names[i]);
    }
    return result;
}

bool ParameterNames::isProgramWide (int index)
{
    return index == ParameterTable::splitPointIndex || index == ParameterTable::abModeIndex;
}

juce::String ParameterNames::sectionWord (int section)
{
    return section >= 0 && section < (int)std::size (sectionWords) ? sectionWords[section] : "";
}

int ParameterNames::editDistance (const juce::String& a, const juce::String& b)
{
    std::vector<int> row ((size_t)b.length() + 1);
    for (size_t j = 0; j < row.size(); ++j)
        row[j] = (int)j;
    for (int i = 1; i <= a.length(); ++i)
    {
        int diagonal = row[0];
        row[0] = i;
        for (int j = 1; j <= b.length(); ++j)
        {
            const int above = row[(size_t)j];
            row[(size_t)j] = std::min ({above + 1, row[(size_t)j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row.back();
}
