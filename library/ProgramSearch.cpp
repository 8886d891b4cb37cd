#include "library/ProgramSearch.h"

#include "instrument/DSI_Program.h"
#include "instrument/ParDes.h"

namespace
{
constexpr size_t recordSize = 1024;
constexpr int programsPerBank = 99;

void describe (ProgramSearch::Hit& hit, const uint8_t* image, size_t size)
{
    hit.name = DSI_Program::nameFrom (image, size, true).trimEnd();
    const auto category = size > (size_t)DSI_Program::categoryOffset ? image[DSI_Program::categoryOffset] : 0;
    hit.category = category < ParDes::numCategories ? ParDes::categoryText (category) : juce::String (category);
}
} // namespace

juce::String ProgramSearch::Hit::where() const
{
    if (source == Source::bank)
        return bankName + " / " + juce::String (program + 1);
    return category + " / " + name;
}

std::vector<ProgramSearch::Hit> ProgramSearch::inBanks (const ProgramQuery& query, const ProgramSource& source)
{
    std::vector<Hit> hits;
    for (int bank = 0; bank < ProgramSource::numBanks; ++bank)
        for (int program = 0; program < programsPerBank; ++program)
        {
            auto image = source.getBankProgram (bank, program);
            image.resize (recordSize, 0);
            if (!query.matches (image.data()))
                continue;
            Hit hit;
            hit.source = Hit::Source::bank;
            hit.bank = bank;
            hit.program = program;
            hit.bankName = source.getBankName (bank);
            describe (hit, image.data(), image.size());
            hits.push_back (hit);
        }
    return hits;
}

std::vector<int> ProgramSearch::inRecords (const ProgramQuery& query, const uint8_t* block, size_t size)
{
    std::vector<int> found;
    const auto count = size / recordSize;
    for (size_t n = 0; n < count; ++n)
        if (query.matches (block + n * recordSize))
            found.push_back ((int)n);
    return found;
}

std::vector<ProgramSearch::Hit> ProgramSearch::inLibrary (const ProgramQuery& query, const ravlin::Bytes& block)
{
    std::vector<Hit> hits;
    for (const auto n : inRecords (query, block.data(), block.size()))
    {
        Hit hit;
        hit.source = Hit::Source::library;
        hit.record = n;
        describe (hit, block.data() + (size_t)n * recordSize, recordSize);
        hits.push_back (hit);
    }
    return hits;
}
