#pragma once

#include "instrument/ParameterTable.h"

#include <juce_core/juce_core.h>

#include <vector>

/** A stable dotted lowercase name for every sound parameter, made from the table's section and
    short name, for queries and for scripts.

    The rule, applied to the layer-A rows:
    - The name starts with the section's word: 0 step, 1 osc, 2 char, 3 lpf, 4 hpf, 5 amp, 6 fb,
      7 dly, 8 lfo, 9 env3, 10 env4, 11 mod, 12 dist, 13 unison, 14 arp, 15 layer.
    - The short name is split into words, lowercased; dots are dropped, "On/Off" reads "on", any
      other "/" is dropped, single letters in a row ("P. B.", "A B") join ("pb", "ab"), "ArpNote" reads
      "note" and "ArpVel" "vel". A first word that repeats the section ("LPF", "VCA", "Dly", "LFO",
      "Mod", "Unis", "Arp", "FeedBk", "Distor", "Osc", "ENV3", "ENV4") is dropped.
    - A number that tells the members of a family apart (rows of one section whose names differ
      only in that number: "Shape 1" ... "Shape 4") goes after the section's word: "osc1.shape",
      "lfo2.freq", "mod16.dest", "step32.vel". Any other number at the end is dropped ("LPF Env
      Amt 1" is "lpf.env_amt"); a number inside the name stays a word ("lpf.4_pole").
    - The words are joined with "_" after a ".": "osc.glide_mode", "arp.on", "layer.ab_mode".
    - Layer B's twin is the same name after "b." ("b.osc1.shape"); "a." may be written before a
      layer-A name. "layer.split_point" and "layer.ab_mode" belong to the whole program and have
      no "b." form. Reserved and unnamed bytes have no name.
    Message thread or any thread: the names are built once and read-only afterwards. */
class ParameterNames
{
public:
    /** The names of one table, built on first use. */
    static const ParameterNames& get();

    /** The dotted name of a parameter index 0..1023, or "" for a byte without one. */
    const juce::String& nameOf (int index) const;
    /** The index a dotted name stands for (any case, "a."/"b." as above), or -1. */
    int indexOf (const juce::String& dottedName) const;
    /** Every name, layer A's in table order, then layer B's. */
    const juce::StringArray& allNames() const noexcept { return names; }
    /** Up to count names nearest to a mistyped one, nearest first. */
    juce::StringArray nearest (const juce::String& mistyped, int count = 3) const;
    /** Letters to insert, delete or change to turn a into b (Levenshtein), as nearest() ranks. */
    static int editDistance (const juce::String& a, const juce::String& b);

    /** True for a byte whose one value belongs to the whole program (split point, A/B mode). */
    static bool isProgramWide (int index);
    /** The section's word above, "" beyond 0..15. */
    static juce::String sectionWord (int section);

    const ravlin::ParameterTable& table() const noexcept { return parameterTable; }

private:
    ParameterNames();

    ravlin::ParameterTable parameterTable;
    std::vector<juce::String> byIndex; // 1024
    juce::StringArray names;
    std::vector<int> indexOfName; // parallel to names
};
