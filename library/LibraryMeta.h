#pragma once

#include <juce_core/juce_core.h>

#include <cstdint>
#include <iterator>
#include <map>
#include <vector>

/** What the library knows about programs beyond their images, kept in "p12Lib.meta.json" beside
    the library file: star ratings, the list's order and favourites filter, and the table of name
    words that suggest a category. Programs are keyed by a hash of their whole 1024-byte image
    (64-bit FNV-1a, written as 16 hex digits), so a rating follows a program wherever its image
    goes: copies share it, reordering keeps it, and a rename carries it to the new image. The
    library file itself is never touched. A sidecar that cannot be read is set aside under a new
    name (and the caller tells the user) rather than written over. Message thread only. */
class LibraryMeta
{
public:
    static constexpr const char* fileName = "p12Lib.meta.json";
    static constexpr int maxRating = 3;
    static constexpr juce::int64 maxFileSize = 32 * 1024 * 1024;

    using Key = uint64_t;

    enum class Order
    {
        library,
        name,
        category,
        rating
    };

    /** A word in a program's name that suggests a category (0..25). */
    struct Rule
    {
        juce::String word;
        int category = 0;
        bool operator== (const Rule& o) const { return word == o.word && category == o.category; }
    };

    enum class Load
    {
        missing, // no sidecar yet: everything starts empty
        loaded,  // read
        setAside // unreadable: moved to getSetAside(), everything starts empty
    };

    LibraryMeta();

    /** 64-bit FNV-1a over the 1024 bytes of a program image. */
    static Key keyOf (const uint8_t* image) noexcept;
    static juce::String keyText (Key key);

    int rating (Key key) const;
    int ratingOf (const uint8_t* image) const { return rating (keyOf (image)); }
    /** 0..3; 0 forgets the program. */
    void setRating (Key key, int stars);
    /** A program whose image changed (a rename) keeps its rating under the new image. */
    void carry (Key from, Key to);
    int ratedCount() const noexcept { return (int)ratings.size(); }

    Order getOrder() const noexcept { return order; }
    void setOrder (Order o);
    static juce::String orderName (Order o);
    bool isFavouritesOnly() const noexcept { return favouritesOnly; }
    void setFavouritesOnly (bool on);

    const std::vector<Rule>& getRules() const noexcept { return rules; }
    void setRules (std::vector<Rule> table);
    /** "bass" -> Soft Bass, "pad" -> Pads, "lead" -> Soft Lead, "arp" -> Arpeggiator, ... */
    static std::vector<Rule> defaultRules();

    /** Reads the folder's sidecar (what is read counts as saved). */
    Load load (const juce::File& folder);
    /** Where an unreadable sidecar was moved, after Load::setAside. */
    const juce::File& getSetAside() const noexcept { return setAsideFile; }
    /** Writes the sidecar to the folder through a temporary file; false when that failed.
        Another view or instance may have written it since: what was changed here is laid over
        what the file holds now, so neither loses the other's stars. */
    bool save (const juce::File& folder);
    bool hasUnsavedChanges() const noexcept
    {
        return !touched.empty() || orderTouched || favouritesTouched || rulesTouched;
    }

    juce::String toJson() const;
    /** False, and nothing changed, when the text is not a sidecar. */
    bool fromJson (const juce::String& text);

private:
    std::map<Key, int> ratings;
    Order order = Order::library;
    bool favouritesOnly = false;
    std::vector<Rule> rules;
    /** Moves an unreadable sidecar aside; false when it could not be moved. */
    bool setAside (const juce::File& file);

    juce::File setAsideFile;
    std::map<Key, int> touched; // stars set here since the last load or save (0: taken away)
    bool orderTouched = false, favouritesTouched = false, rulesTouched = false;
};
