#include "library/ProgramQuery.h"

#include "instrument/DSI_Program.h"
#include "instrument/ParDes.h"
#include "instrument/ParameterNames.h"

#include <algorithm>
#include <bitset>
#include <cstring>
#include <string>
#include <string_view>

struct ProgramQuery::Node
{
    enum Kind
    {
        all,
        any,
        byteTerm,
        nameTerm
    } kind = all;
    std::vector<std::shared_ptr<const Node>> children;
    int offset = 0;           // byteTerm: the byte tested
    std::bitset<256> accepts; // byteTerm: the byte values that meet it
    std::string nameText;     // nameTerm: lowercase
    bool contains = false, negate = false;
};

namespace
{
using Node = ProgramQuery::Node;
using NodePtr = std::shared_ptr<const Node>;

const char* const operatorsInWords = "= != < <= > >=";

bool isNameChar (juce::juce_wchar c)
{
    return juce::CharacterFunctions::isLetterOrDigit (c) || c == '.' || c == '_';
}

/** The texts a value may be written as, index = raw value ("" where there is none). */
std::vector<juce::String> valueTexts (int offset)
{
    std::vector<juce::String> texts;
    if (offset == DSI_Program::categoryOffset)
    {
        for (int c = 0; c < ParDes::numCategories; ++c)
            texts.push_back (ParDes::categoryText (c).trim());
        return texts;
    }
    const auto& table = ParameterNames::get().table();
    for (int v = 0; v <= table.highest (offset); ++v)
    {
        const auto text = ParDes::valueText (table.displayKind (offset), v).trim();
        texts.push_back (text == "*/*" ? juce::String() : text);
    }
    return texts;
}

class Parser
{
public:
    explicit Parser (const juce::String& source) : text (source) {}

    NodePtr parseWhole()
    {
        auto node = parseOr();
        if (node == nullptr)
            return nullptr;
        skipSpaces();
        if (pos < text.length())
        {
            if (text[pos] == ')')
                return fail (pos, "\")\" without its \"(\"");
            return fail (pos, "expected \"and\", \"or\" or the end, found \"" + wordAt (pos) + "\"");
        }
        return node;
    }

    ProgramQuery::Error error;

private:
    NodePtr fail (int at, const juce::String& message, const juce::StringArray& suggestions = {})
    {
        if (error.column == 0)
            error = {at + 1, message, suggestions};
        return nullptr;
    }

    void skipSpaces()
    {
        while (pos < text.length() && juce::CharacterFunctions::isWhitespace (text[pos]))
            ++pos;
    }

    juce::String wordAt (int at) const
    {
        int end = at;
        while (end < text.length() && !juce::CharacterFunctions::isWhitespace (text[end]))
            ++end;
        return text.substring (at, std::max (end, at + 1));
    }

    bool keywordAt (int at, const char* word) const
    {
        const juce::String w (word);
        if (!text.substring (at, at + w.length()).equalsIgnoreCase (w))
            return false;
        const auto after = at + w.length();
        return after >= text.length() || !isNameChar (text[after]);
    }

    bool takeKeyword (const char* word)
    {
        skipSpaces();
        if (!keywordAt (pos, word))
            return false;
        pos += juce::String (word).length();
        return true;
    }

    NodePtr join (Node::Kind kind, NodePtr (Parser::*next)(), const char* keyword)
    {
        auto first = (this->*next)();
        if (first == nullptr)
            return nullptr;
        auto joined = std::make_shared<Node>();
        joined->kind = kind;
        joined->children.push_back (first);
        while (takeKeyword (keyword))
        {
            auto more = (this->*next)();
            if (more == nullptr)
                return nullptr;
            joined->children.push_back (more);
        }
        return joined->children.size() == 1 ? first : joined;
    }

    NodePtr parseOr() { return join (Node::any, &Parser::parseAnd, "or"); }
    NodePtr parseAnd() { return join (Node::all, &Parser::parsePrimary, "and"); }

    NodePtr parsePrimary()
    {
        skipSpaces();
        if (pos >= text.length())
            return fail (pos, "expected a name or \"(\" at the end");
        if (text[pos] != '(')
            return parseTerm();

        const auto open = pos++;
        auto inside = parseOr();
        if (inside == nullptr)
            return nullptr;
        skipSpaces();
        if (pos >= text.length() || text[pos] != ')')
            return fail (pos, "expected \")\" to close the \"(\" of column " + juce::String (open + 1));
        ++pos;
        return inside;
    }

    NodePtr parseTerm()
    {
        const auto nameStart = pos;
        while (pos < text.length() && isNameChar (text[pos]))
            ++pos;
        const auto name = text.substring (nameStart, pos).toLowerCase();
        if (name.isEmpty())
            return fail (nameStart, "expected a name or \"(\", found \"" + wordAt (nameStart) + "\"");
        if (name == "and" || name == "or")
            return fail (nameStart, "expected a name or \"(\", found \"" + name + "\"");

        const auto& names = ParameterNames::get();
        int offset = -1;
        const bool isName = name == "name";
        if (name == "category")
            offset = DSI_Program::categoryOffset;
        else if (!isName)
        {
            offset = names.indexOf (name);
            if (offset < 0)
                return fail (nameStart, "unknown name \"" + name + "\"", names.nearest (name));
        }

        skipSpaces();
        const auto opStart = pos;
        juce::String op;
        for (const char* candidate : {"<=", ">=", "!=", "=", "<", ">"})
            if (text.substring (pos, pos + (int)strlen (candidate)) == candidate)
            {
                op = candidate;
                break;
            }
        if (op.isEmpty() && isName && keywordAt (pos, "contains"))
            op = "contains";
        if (op.isEmpty())
            return fail (opStart, juce::String ("expected an operator (") + operatorsInWords +
                                      (isName ? " contains" : "") + ") after \"" + name + "\"");
        pos += op.length();
        if (isName && op != "=" && op != "!=" && op != "contains")
            return fail (opStart, "\"name\" takes =, != or contains, not \"" + op + "\"");

        skipSpaces();
        const auto valueStart = pos;
        if (pos < text.length() && juce::String ("=<>!").containsChar (text[pos]))
            return fail (pos, "expected a value after \"" + op + "\", found \"" +
                                  juce::String::charToString (text[pos]) + "\"");
        juce::String value;
        if (pos < text.length() && text[pos] == '"')
        {
            const auto close = text.indexOfChar (pos + 1, '"');
            if (close < 0)
                return fail (pos, "the quote of column " + juce::String (pos + 1) + " is not closed");
            value = text.substring (pos + 1, close);
            pos = close + 1;
        }
        else
        {
            while (pos < text.length() && text[pos] != ')')
            {
                if (juce::CharacterFunctions::isWhitespace (text[pos]))
                {
                    int next = pos;
                    while (next < text.length() && juce::CharacterFunctions::isWhitespace (text[next]))
                        ++next;
                    if (keywordAt (next, "and") || keywordAt (next, "or"))
                        break;
                }
                ++pos;
            }
            value = text.substring (valueStart, pos).trim();
            if (value.isEmpty())
                return fail (valueStart, "expected a value after \"" + op + "\"");
        }

        auto node = std::make_shared<Node>();
        if (isName)
        {
            node->kind = Node::nameTerm;
            node->nameText = value.trimEnd().toLowerCase().toStdString();
            node->contains = op == "contains";
            node->negate = op == "!=";
            return node;
        }

        const auto texts = valueTexts (offset);
        std::vector<int> written;
        for (int v = 0; v < (int)texts.size(); ++v)
            if (texts[(size_t)v].isNotEmpty() && texts[(size_t)v].equalsIgnoreCase (value.trim()))
                written.push_back (v);
        if (written.empty())
        {
            const auto number = value.trim();
            if (number.isNotEmpty() && number.containsOnly ("0123456789") && number.length() <= 3 &&
                number.getIntValue() <= 255)
                written.push_back (number.getIntValue());
            else if (number.trimCharactersAtStart ("-").containsOnly ("0123456789"))
                return fail (valueStart, "\"" + value + "\" is not a value of " + name);
            else
            {
                juce::StringArray near;
                std::vector<std::pair<int, int>> ranked;
                for (int v = 0; v < (int)texts.size(); ++v)
                    if (texts[(size_t)v].isNotEmpty())
                        ranked.emplace_back (
                            ParameterNames::editDistance (value.toLowerCase(), texts[(size_t)v].toLowerCase()), v);
                std::stable_sort (ranked.begin(), ranked.end());
                for (const auto& [distance, v] : ranked)
                    if (near.size() < 3 && distance <= std::max (2, value.length() / 3))
                        near.addIfNotAlreadyThere (texts[(size_t)v]);
                return fail (valueStart, "\"" + value + "\" is not a value of " + name, near);
            }
        }

        node->kind = Node::byteTerm;
        node->offset = offset;
        const auto pivot = written.front();
        for (int v = 0; v < 256; ++v)
        {
            bool yes = false;
            if (op == "=" || op == "!=")
                yes = std::find (written.begin(), written.end(), v) != written.end();
            else if (op == "<")
                yes = v < pivot;
            else if (op == "<=")
                yes = v <= pivot;
            else if (op == ">")
                yes = v > pivot;
            else
                yes = v >= pivot;
            node->accepts[(size_t)v] = op == "!=" ? !yes : yes;
        }
        return node;
    }

    const juce::String& text;
    int pos = 0;
};

bool evaluate (const Node& node, const uint8_t* image)
{
    switch (node.kind)
    {
        case Node::all:
            for (const auto& child : node.children)
                if (!evaluate (*child, image))
                    return false;
            return true;
        case Node::any:
            for (const auto& child : node.children)
                if (evaluate (*child, image))
                    return true;
            return false;
        case Node::byteTerm: return node.accepts[image[node.offset]];
        case Node::nameTerm:
        {
            char name[DSI_Program::nameLength + 1] = {};
            int length = 0;
            for (int i = 0; i < DSI_Program::nameLength; ++i)
            {
                auto c = image[DSI_Program::nameOffset + i];
                if (c < 32)
                    c = 'A';
                name[length++] = (char)(c >= 'A' && c <= 'Z' ? c + 32 : c);
            }
            while (length > 0 && name[length - 1] == ' ')
                --length;
            const std::string_view have (name, (size_t)length);
            const bool yes =
                node.contains ? have.find (node.nameText) != std::string_view::npos : have == node.nameText;
            return node.negate ? !yes : yes;
        }
    }
    return false;
}
} // namespace

juce::String ProgramQuery::Error::describe() const
{
    if (column == 0)
        return {};
    auto text = "column " + juce::String (column) + ": " + message;
    if (!suggestions.isEmpty())
        text << "; did you mean " << suggestions.joinIntoString (", ") << "?";
    return text;
}

bool ProgramQuery::parse (const juce::String& text)
{
    Parser parser (text);
    root = parser.parseWhole();
    lastError = root == nullptr ? parser.error : Error{};
    return root != nullptr;
}

bool ProgramQuery::matches (const uint8_t* image) const
{
    return root != nullptr && evaluate (*root, image);
}

juce::StringArray ProgramQuery::valuesOf (const juce::String& name)
{
    const auto lower = name.trim().toLowerCase();
    const auto offset = lower == "category" ? DSI_Program::categoryOffset : ParameterNames::get().indexOf (lower);
    juce::StringArray values;
    if (offset >= 0)
        for (const auto& text : valueTexts (offset))
            if (text.isNotEmpty())
                values.addIfNotAlreadyThere (text);
    return values;
}
