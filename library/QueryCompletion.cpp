#include "instrument/ParameterNames.h"
#include "library/ProgramQuery.h"

namespace
{
bool isWordChar (juce::juce_wchar c)
{
    return juce::CharacterFunctions::isLetterOrDigit (c) || c == '.' || c == '_';
}

/** Where the term under the cursor starts: after the last "(", "and" or "or" outside quotes. */
int termStart (const juce::String& prefix)
{
    int start = 0;
    bool quoted = false;
    for (int i = 0; i < prefix.length(); ++i)
    {
        const auto c = prefix[i];
        if (c == '"')
            quoted = !quoted;
        if (quoted)
            continue;
        if (c == '(')
            start = i + 1;
        const bool atWordStart = i == 0 || !isWordChar (prefix[i - 1]);
        for (const char* keyword : {"and", "or"})
        {
            const juce::String k (keyword);
            const auto end = i + k.length();
            if (atWordStart && prefix.substring (i, end).equalsIgnoreCase (k) && end < prefix.length() &&
                juce::CharacterFunctions::isWhitespace (prefix[end]))
                start = end;
        }
    }
    return start;
}

juce::StringArray startingWith (const juce::StringArray& candidates, const juce::String& typed)
{
    juce::StringArray result;
    for (const auto& c : candidates)
        if (c.startsWithIgnoreCase (typed))
            result.add (c);
    return result;
}
} // namespace

ProgramQuery::Completion ProgramQuery::complete (const juce::String& text, int cursor)
{
    const auto prefix = text.substring (0, juce::jlimit (0, text.length(), cursor));
    Completion completion;

    auto at = termStart (prefix);
    while (at < prefix.length() && juce::CharacterFunctions::isWhitespace (prefix[at]))
        ++at;
    const auto term = prefix.substring (at);

    int nameEnd = 0;
    while (nameEnd < term.length() && isWordChar (term[nameEnd]))
        ++nameEnd;
    const auto name = term.substring (0, nameEnd);

    if (nameEnd == term.length())
    {
        // Typing a name.
        juce::StringArray candidates ("name", "category");
        candidates.addArray (ParameterNames::get().allNames());
        completion.replaceFrom = at;
        completion.options = startingWith (candidates, name);
        return completion;
    }

    auto rest = term.substring (nameEnd);
    const auto afterName = at + nameEnd + (rest.length() - rest.trimStart().length());
    rest = rest.trimStart();
    juce::String op;
    for (const char* candidate : {"<=", ">=", "!=", "=", "<", ">", "contains "})
        if (rest.startsWithIgnoreCase (candidate))
        {
            op = candidate;
            break;
        }
    if (op.isEmpty())
    {
        // Between the name and its value: the operators.
        juce::StringArray operators ("=", "!=", "<", "<=", ">", ">=");
        if (name.equalsIgnoreCase ("name"))
            operators = juce::StringArray ("=", "!=", "contains");
        completion.replaceFrom = afterName;
        completion.options = startingWith (operators, rest);
        return completion;
    }

    auto value = rest.substring (op.length());
    completion.replaceFrom = afterName + op.length() + (value.length() - value.trimStart().length());
    value = value.trimStart();
    const auto values = valuesOf (name);

    // A whole value and a blank after it: what joins the next term.
    if (value.endsWithChar (' ') && (values.contains (value.trim(), true) || value.startsWithChar ('"')))
    {
        completion.replaceFrom = prefix.length();
        completion.options = juce::StringArray ("and", "or");
        return completion;
    }
    if (value.startsWithChar ('"'))
        value = value.substring (1);
    for (const auto& v : startingWith (values, value))
        completion.options.add (v.containsChar (')') || v.containsIgnoreCase (" and ") || v.containsIgnoreCase (" or ")
                                    ? "\"" + v + "\""
                                    : v);
    return completion;
}
