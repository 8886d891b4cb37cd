#pragma once

#include "instrument/ExplorationHistory.h"
#include "instrument/ProgramExplorer.h"
#include "library/DefaultLibraryFile.h"

#include <juce_core/juce_core.h>

class RavlinAudioProcessor;

/** Randomise, mutate and morph applied to the program being edited, and the list of what they
    made in this session. The processor owns it, so closing the editor loses nothing.

    A randomised or mutated program becomes the edited program as one undo step and goes to the
    instrument as one edit-buffer dump. While the morph slider moves, each parameter whose value
    changed goes out by NRPN the way host automation does: the newest value of each waits for the
    link, so the link is never flooded and the instrument ends on the last value. Letting go makes
    one undo step. Message thread. */
class ExploreSession
{
public:
    explicit ExploreSession (RavlinAudioProcessor& processor);

    ravlin::ExplorationHistory& getHistory() noexcept { return history; }
    const ravlin::ProgramExplorer& getExplorer() const noexcept { return explorer; }

    /** The edited program with every parameter in the mask at random; applied and listed. */
    const ravlin::ExplorationHistory::Entry& randomise (const ravlin::ExploreMask& mask, uint32_t seed);
    /** The edited program moved by amount (0..1); applied and listed. */
    const ravlin::ExplorationHistory::Entry& mutate (const ravlin::ExploreMask& mask, double amount, uint32_t seed);

    /** Makes image the edited program: one undo step, one edit-buffer dump. */
    void apply (const ravlin::Bytes& image);

    // Morph. The slider's press, moves and release.
    /** Starts from the program the instrument holds now (the edited one). */
    void beginMorph (const ravlin::Bytes& a, const ravlin::Bytes& b);
    /** Parameters whose value changes go to the instrument; returns how many changed. */
    int morphTo (double position);
    /** One undo step and an entry in the list when the program changed; the bytes that have no
        NRPN (the arpeggiator's steps, the name) go with one edit-buffer dump if they changed. */
    void endMorph();
    bool isMorphing() const noexcept { return morphing; }
    double getMorphPosition() const noexcept { return morphPosition; }

    /** An entry of the list becomes the edited program (undoable) and goes to the instrument. */
    bool audition (int row);

    enum class StoreResult
    {
        stored,
        alreadyThere, // the same program is in the library already: nothing written
        noEntry,
        notWritten // the library file could not be written or read; the file is as it was
    };
    /** Adds an entry, named "Explored N", at the end of the library file in folder; never
        overwrites a record. message says what happened in words. */
    StoreResult storeInLibrary (int row, const juce::File& folder, juce::String& message);

    /** The automation slot the morph position could use: none, since every one of the host's
        624 slots carries a parameter and no slot may move. -1 when there is none. */
    static int freeHostSlot (const ravlin::ParameterTable& table);

private:
    const ravlin::ExplorationHistory::Entry& made (const ravlin::Bytes& image, const std::string& madeBy);

    RavlinAudioProcessor& processor;
    ravlin::ProgramExplorer explorer;
    ravlin::ExplorationHistory history;

    bool morphing = false;
    double morphPosition = 0;
    ravlin::Bytes morphA, morphB, morphStart, morphSent;
};
