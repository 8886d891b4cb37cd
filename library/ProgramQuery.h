#pragma once

#include <juce_core/juce_core.h>

#include <cstdint>
#include <memory>
#include <vector>

/** A search over programs by what they contain, written as the user types it:

        osc1.shape = Sawtooth and arp.on = On and lpf.freq > 100
        (b.lfo1.dest = "LPF Cutoff" or mod1.src = LFO 1) and name contains "pad"
        category = Pads and name contains "str"

    - A term is NAME OPERATOR VALUE, with the operators = != < <= > >=. Terms join with "and"
      (binding closer) and "or", and group with parentheses. Keywords are any case.
    - NAME is a parameter's dotted name (see ParameterNames: "osc1.shape"; layer B "b.osc1.shape";
      a bare name means layer A), or "name" or "category".
    - VALUE is one of the parameter's value texts as the editor shows them, any case ("Sawtooth",
      "on", "1/8 Half Swing"), or a whole number. A number that is one of the texts ("0" of a
      centred knob) means the value showing it; another number is the raw value. A value runs to
      the next "and", "or", ")" or the end; quotes allow anything else ("Dotted 1/4.").
      For the comparing operators the values are in the order of their raw bytes.
    - "name" takes = and != (the name without its trailing blanks, any case) and "contains";
      "category" takes = and != with a category's text or number.
    Errors name the column (from 1) and what was expected; an unknown name comes with the
    nearest names. Headless; a parsed query may be used from any thread. */
class ProgramQuery
{
public:
    struct Error
    {
        int column = 0; // 1-based; 0 when there is no error
        juce::String message;
        juce::StringArray suggestions;
        /** "column 12: expected a value after \"=\"" and the suggestions, in words. */
        juce::String describe() const;
    };

    /** Parses a query; false with the error when it is malformed. */
    bool parse (const juce::String& text);
    bool isValid() const noexcept { return root != nullptr; }
    const Error& error() const noexcept { return lastError; }

    /** True when the 1024-byte program image meets the query (false without a valid query). */
    bool matches (const uint8_t* image) const;

    /** What may be typed at the cursor: the options, and the position from which the chosen
        option replaces the text (the word being typed). */
    struct Completion
    {
        int replaceFrom = 0;
        juce::StringArray options;
    };
    static Completion complete (const juce::String& text, int cursor);

    /** The value texts a name ("osc1.shape", "category") may be compared with, in raw order;
        empty for "name" and for unknown names. */
    static juce::StringArray valuesOf (const juce::String& name);

    struct Node;

private:
    std::shared_ptr<const Node> root;
    Error lastError;
};
