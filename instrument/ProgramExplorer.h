#pragma once

#include "instrument/ParameterTable.h"
#include "instrument/ProgramPacking.h"

#include <bitset>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace ravlin
{

/** Which parameters of a program randomise and mutate may move. A parameter is a named row of
    the image with more than one value; the name, the category and the bytes no row describes are
    never parameters, so they never move. */
class ExploreMask
{
public:
    /** A group of parameters the user ticks as one: a section of the panels, or one of the
        groups that are left out unless asked for (oscillator tuning, the program volume, the
        arpeggiator's steps). Each group holds the parameters of both layers. */
    struct Group
    {
        std::string name;
        std::vector<int> parameters; // layer A and layer B
        bool onByDefault = true;
    };

    /** The groups in the order a dialog shows them; every parameter is in exactly one. */
    static std::vector<Group> groups (const ParameterTable& table);

    /** Everything except the groups that are off by default, in both layers. */
    static ExploreMask defaults (const ParameterTable& table);
    /** The groups ticked (one flag per group of groups()), in the layers ticked. */
    static ExploreMask fromGroups (const ParameterTable& table, const std::vector<bool>& ticked, bool layerA,
                                   bool layerB);

    static bool isParameter (const ParameterTable& table, int index);

    bool includes (int index) const
    {
        return index >= 0 && index < ParameterTable::numImageParameters && bits[(size_t)index];
    }
    void set (int index, bool on);
    int count() const { return (int)bits.count(); }

private:
    std::bitset<ParameterTable::numImageParameters> bits;
};

/** Makes new programs from old ones: randomise, mutate and morph. Every result is a whole
    1024-byte image whose parameters lie within their ranges; bytes that are not parameters are
    carried over. The same seed gives the same program on every machine. */
class ProgramExplorer
{
public:
    explicit ProgramExplorer (const ParameterTable& parameterTable) : table (parameterTable) {}

    /** A continuous parameter moves along its range; a choice parameter (a value menu or a
        switch) jumps between its values. */
    bool isContinuous (int index) const;
    /** The values a parameter may take: lowest (not below 0) to highest. */
    int lowestValue (int index) const;
    int highestValue (int index) const;

    /** A new program: every parameter in the mask takes any value of its range; everything else
        stays as in base. */
    Bytes randomise (const Bytes& base, const ExploreMask& mask, uint32_t seed) const;

    /** The program moved by amount (0..1): a continuous parameter by up to amount times its
        range either way, a choice parameter switches to another value with the chance amount.
        At 0 nothing changes. */
    Bytes mutate (const Bytes& base, const ExploreMask& mask, double amount, uint32_t seed) const;

    /** Between a (position 0) and b (position 1): continuous parameters linearly, rounded; choice
        parameters and every other byte from a below 0.5 and from b from 0.5 on. */
    Bytes morph (const Bytes& a, const Bytes& b, double position) const;

    /** A seed to show the user, taken from the clock and a counter. */
    static uint32_t freshSeed();

private:
    /** 0 .. n-1, the same on every standard library (no distributions). */
    static int below (std::mt19937& generator, int n);
    static double unit (std::mt19937& generator);

    const ParameterTable& table;
};

} // namespace ravlin
