#pragma once

#include "library/ProgramQuery.h"
#include "library/ProgramSource.h"

#include <vector>

/** A query run over the instrument's eight banks and over library records: the programs that
    meet it, with where each comes from. Headless. */
class ProgramSearch
{
public:
    struct Hit
    {
        enum class Source
        {
            bank,
            library
        } source = Source::bank;
        int bank = -1, program = -1; // a bank hit: bank 0..7, program 0..98
        int record = -1;             // a library hit: the record's number
        juce::String name, category, bankName;
        /** "User Bank 1 / 5" (programs counted from 1) or "Pads / Warm Pad". */
        juce::String where() const;
    };

    /** Every bank program (bank by bank, program by program) that meets the query. */
    static std::vector<Hit> inBanks (const ProgramQuery& query, const ProgramSource& source);
    /** The numbers of the 1024-byte records of a block that meet the query, in order. */
    static std::vector<int> inRecords (const ProgramQuery& query, const uint8_t* block, size_t size);
    /** inRecords as hits, with each record's name and category. */
    static std::vector<Hit> inLibrary (const ProgramQuery& query, const ravlin::Bytes& block);
};
