#pragma once

#include <juce_core/juce_core.h>

#include <ostream>

/** The JSON that ravlin-cli's --json writes: one document of objects (keys in the order they
    were set), arrays, strings, whole numbers, booleans and null, on one line. Strings are UTF-8;
    quotes, backslashes and control characters are escaped as JSON requires. */
namespace cliJson
{
inline void writeString (std::ostream& out, const juce::String& text)
{
    out << '"';
    for (auto p = text.getCharPointer(); !p.isEmpty();)
    {
        const auto c = p.getAndAdvance();
        switch (c)
        {
            case '"': out << "\\\""; break;
            case '\\': out << "\\\\"; break;
            case '\b': out << "\\b"; break;
            case '\f': out << "\\f"; break;
            case '\n': out << "\\n"; break;
            case '\r': out << "\\r"; break;
            case '\t': out << "\\t"; break;
            default:
                if (c < 0x20)
                    out << "\\u" << juce::String::toHexString ((int)c).paddedLeft ('0', 4);
                else
                {
                    char utf8[8] = {};
                    juce::CharPointer_UTF8 (utf8).write (c);
                    out << utf8;
                }
        }
    }
    out << '"';
}

inline void write (std::ostream& out, const juce::var& value)
{
    if (auto* object = value.getDynamicObject())
    {
        out << '{';
        bool first = true;
        for (const auto& property : object->getProperties())
        {
            if (!std::exchange (first, false))
                out << ',';
            writeString (out, property.name.toString());
            out << ':';
            write (out, property.value);
        }
        out << '}';
    }
    else if (auto* array = value.getArray())
    {
        out << '[';
        for (int i = 0; i < array->size(); ++i)
        {
            if (i > 0)
                out << ',';
            write (out, array->getReference (i));
        }
        out << ']';
    }
    else if (value.isString())
        writeString (out, value.toString());
    else if (value.isBool())
        out << ((bool)value ? "true" : "false");
    else if (value.isInt() || value.isInt64())
        out << (juce::int64)value;
    else
        out << "null";
}

/** The whole document, and the end of its line. */
inline void writeDocument (std::ostream& out, const juce::var& document)
{
    write (out, document);
    out << '\n' << std::flush;
}

/** A new object, to be filled with set(). */
inline juce::var object()
{
    return juce::var (new juce::DynamicObject());
}

inline void set (juce::var& object, const char* name, const juce::var& value)
{
    object.getDynamicObject()->setProperty (name, value);
}

/** A number, or null when there is none. */
inline juce::var numberOrNull (bool present, int number)
{
    return present ? juce::var (number) : juce::var();
}
} // namespace cliJson
