#include "library/LibraryMeta.h"

#include "instrument/ParDes.h"
#include "instrument/ProgramPacking.h"
#include "library/ProgramFiles.h"
#include "library/SafeFileWrite.h"

namespace
{
const char* const orderNames[] = {"library", "name", "category", "rating"};

int categoryNamed (const juce::String& name)
{
    for (int c = 0; c < ParDes::numCategories; ++c)
        if (ParDes::categoryText (c).equalsIgnoreCase (name.trim()))
            return c;
    return -1;
}
} // namespace

LibraryMeta::LibraryMeta() : rules (defaultRules()) {}

LibraryMeta::Key LibraryMeta::keyOf (const uint8_t* image) noexcept
{
    Key hash = 14695981039346656037ull;
    for (int i = 0; i < ravlin::sysex::imageSize; ++i)
    {
        hash ^= image[i];
        hash *= 1099511628211ull;
    }
    return hash;
}

juce::String LibraryMeta::keyText (Key key)
{
    return juce::String::toHexString ((juce::int64)key).paddedLeft ('0', 16);
}

int LibraryMeta::rating (Key key) const
{
    const auto found = ratings.find (key);
    return found != ratings.end() ? found->second : 0;
}

void LibraryMeta::setRating (Key key, int stars)
{
    stars = juce::jlimit (0, maxRating, stars);
    touched[key] = stars; // even when it is so here already: the file may say otherwise
    if (rating (key) == stars)
        return;
    if (stars == 0)
        ratings.erase (key);
    else
        ratings[key] = stars;
}

void LibraryMeta::carry (Key from, Key to)
{
    if (from != to && rating (from) > 0)
        setRating (to, rating (from));
}

void LibraryMeta::setOrder (Order o)
{
    orderTouched = orderTouched || o != order;
    order = o;
}

juce::String LibraryMeta::orderName (Order o)
{
    return orderNames[(int)o];
}

void LibraryMeta::setFavouritesOnly (bool on)
{
    favouritesTouched = favouritesTouched || on != favouritesOnly;
    favouritesOnly = on;
}

void LibraryMeta::setRules (std::vector<Rule> table)
{
    rulesTouched = rulesTouched || table != rules;
    rules = std::move (table);
}

std::vector<LibraryMeta::Rule> LibraryMeta::defaultRules()
{
    // The first rule that matches wins: the narrower word before the wider ("Sub Bass" is a sub).
    const std::pair<const char*, const char*> table[] = {
        {"sub", "Sub Bass"},    {"bass", "Soft Bass"}, {"pad", "Pads"},       {"lead", "Soft Lead"},
        {"arp", "Arpeggiator"}, {"seq", "Sequence"},   {"string", "Strings"}, {"brass", "Brass"},
        {"organ", "Organs"},    {"key", "Keys"},       {"piano", "Keys"},     {"bell", "Bells"},
        {"vox", "Vox"},         {"voice", "Vox"},      {"choir", "Vox"},      {"perc", "Percussion"},
        {"drum", "Percussion"}, {"noise", "Noise"},    {"fx", "Sound FX"},    {"sync", "Sync"},
        {"evol", "Evolution"},  {"motion", "Motion"},  {"harm", "Harmonics"}};
    std::vector<Rule> result;
    for (const auto& [word, category] : table)
        result.push_back ({word, categoryNamed (category)});
    return result;
}

//==============================================================================
juce::String LibraryMeta::toJson() const
{
    auto* root = new juce::DynamicObject();
    juce::var keep (root);
    root->setProperty ("format", "Prophet 12 Ravlin library sidecar");
    root->setProperty ("version", 1);
    root->setProperty ("key", "64-bit FNV-1a of the 1024-byte program image, 16 hex digits");
    root->setProperty ("order", orderName (order));
    root->setProperty ("favouritesOnly", favouritesOnly);

    auto* programs = new juce::DynamicObject();
    for (const auto& [key, stars] : ratings)
    {
        auto* entry = new juce::DynamicObject();
        entry->setProperty ("rating", stars);
        programs->setProperty (keyText (key), juce::var (entry));
    }
    root->setProperty ("programs", juce::var (programs));

    juce::Array<juce::var> table;
    for (const auto& rule : rules)
    {
        auto* entry = new juce::DynamicObject();
        entry->setProperty ("word", rule.word);
        entry->setProperty ("category", ParDes::categoryText (rule.category));
        table.add (juce::var (entry));
    }
    root->setProperty ("categoryRules", table);
    return juce::JSON::toString (keep);
}

bool LibraryMeta::fromJson (const juce::String& text)
{
    juce::var parsed;
    if (juce::JSON::parse (text, parsed).failed())
        return false;
    const auto* root = parsed.getDynamicObject();
    if (root == nullptr || !root->hasProperty ("programs"))
        return false;

    std::map<Key, int> readRatings;
    if (auto* programs = root->getProperty ("programs").getDynamicObject())
        for (const auto& entry : programs->getProperties())
        {
            const auto keyString = entry.name.toString();
            if (keyString.length() != 16 || !keyString.containsOnly ("0123456789abcdefABCDEF"))
                continue;
            const auto stars = juce::jlimit (0, maxRating, (int)entry.value.getProperty ("rating", 0));
            if (stars > 0)
                readRatings[(Key)keyString.getHexValue64()] = stars;
        }

    auto readOrder = Order::library;
    for (int o = 0; o < (int)std::size (orderNames); ++o)
        if (root->getProperty ("order").toString() == orderNames[o])
            readOrder = (Order)o;

    auto readRules = defaultRules();
    if (const auto* table = root->getProperty ("categoryRules").getArray())
    {
        readRules.clear();
        for (const auto& entry : *table)
        {
            const auto word = entry.getProperty ("word", {}).toString().trim();
            const auto category = categoryNamed (entry.getProperty ("category", {}).toString());
            if (word.isNotEmpty() && category > 0)
                readRules.push_back ({word, category});
        }
    }

    ratings = std::move (readRatings);
    order = readOrder;
    favouritesOnly = (bool)root->getProperty ("favouritesOnly");
    rules = std::move (readRules);
    touched.clear();
    orderTouched = favouritesTouched = rulesTouched = false;
    return true;
}

LibraryMeta::Load LibraryMeta::load (const juce::File& folder)
{
    *this = LibraryMeta();
    const auto file = folder.getChildFile (fileName);
    if (!file.existsAsFile())
        return Load::missing;
    const auto data = ProgramFiles::readFile (file, maxFileSize);
    if (data.has_value() && fromJson (juce::String::fromUTF8 ((const char*)data->data(), (int)data->size())))
        return Load::loaded;
    setAside (file);
    return Load::setAside;
}

bool LibraryMeta::setAside (const juce::File& file)
{
    // Kept for the user under a name of its own; a fresh sidecar starts beside it.
    setAsideFile = file.getParentDirectory().getNonexistentChildFile (file.getFileName() + ".unreadable", "", false);
    if (file.moveFileTo (setAsideFile))
        return true;
    setAsideFile = file; // it stays where it is, and is not written over (see save)
    return false;
}

bool LibraryMeta::save (const juce::File& folder)
{
    const auto file = folder.getChildFile (fileName);
    if (setAsideFile == file)
        return false; // an unreadable sidecar that could not be moved is never written over

    // What is on disk now, with this side's changes over it.
    if (file.existsAsFile())
    {
        LibraryMeta onDisk;
        const auto data = ProgramFiles::readFile (file, maxFileSize);
        if (data.has_value() && onDisk.fromJson (juce::String::fromUTF8 ((const char*)data->data(), (int)data->size())))
        {
            for (const auto& [key, stars] : touched)
            {
                if (stars == 0)
                    onDisk.ratings.erase (key);
                else
                    onDisk.ratings[key] = stars;
            }
            ratings = std::move (onDisk.ratings);
            if (!orderTouched)
                order = onDisk.order;
            if (!favouritesTouched)
                favouritesOnly = onDisk.favouritesOnly;
            if (!rulesTouched)
                rules = std::move (onDisk.rules);
        }
        else if (!setAside (file))
            return false;
    }
    const auto text = toJson().toStdString();
    if (!ravlin::replaceFileSafely (file, text.data(), text.size()))
        return false;
    touched.clear();
    orderTouched = favouritesTouched = rulesTouched = false;
    return true;
}
