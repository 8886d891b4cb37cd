#include "core/ExploreSession.h"

#include "core/RavlinAudioProcessor.h"
#include "instrument/DSI_Program.h"
#include "midi/PendingParameters.h"

#include <algorithm>
#include <cstddef>

namespace
{
int64_t nowMs()
{
    return juce::Time::currentTimeMillis();
}

juce::String percent (double amount)
{
    return juce::String (juce::roundToInt (amount * 100.0)) + " %";
}
} // namespace

ExploreSession::ExploreSession (RavlinAudioProcessor& p) : processor (p), explorer (p.getHub().parameterTable) {}

const ravlin::ExplorationHistory::Entry& ExploreSession::made (const ravlin::Bytes& image, const std::string& madeBy)
{
    apply (image);
    return history.add (image, madeBy, nowMs());
}

const ravlin::ExplorationHistory::Entry& ExploreSession::randomise (const ravlin::ExploreMask& mask, uint32_t seed)
{
    const auto image = explorer.randomise (processor.getHub().getCurrentProgram(), mask, seed);
    return made (image, ("Randomise, seed " + juce::String (seed)).toStdString());
}

const ravlin::ExplorationHistory::Entry& ExploreSession::mutate (const ravlin::ExploreMask& mask, double amount,
                                                                 uint32_t seed)
{
    const auto image = explorer.mutate (processor.getHub().getCurrentProgram(), mask, amount, seed);
    return made (image, ("Mutate " + percent (amount) + ", seed " + juce::String (seed)).toStdString());
}

void ExploreSession::apply (const ravlin::Bytes& image)
{
    auto& hub = processor.getHub();
    auto whole = image;
    whole.resize ((size_t)ravlin::sysex::imageSize, 0);
    // Held, so that the whole change is one step of its own, never folded into an edit before
    // or after it.
    processor.holdHistoryStep (true);
    hub.setCurrentProgram (whole);
    hub.postEvent (HubEvent::programLoaded);
    hub.sendToInstrument (ravlin::packEditBufferDump (whole));
    processor.holdHistoryStep (false);
}

//==============================================================================
void ExploreSession::beginMorph (const ravlin::Bytes& a, const ravlin::Bytes& b)
{
    if (morphing)
        endMorph();
    morphA = a;
    morphB = b;
    morphStart = processor.getHub().getCurrentProgram();
    morphSent = morphStart;
    morphing = true;
    processor.holdHistoryStep (true);
}

int ExploreSession::morphTo (double position)
{
    if (!morphing)
        return 0;
    morphPosition = juce::jlimit (0.0, 1.0, position);
    auto& hub = processor.getHub();
    const auto& table = hub.parameterTable;
    const auto image = explorer.morph (morphA, morphB, morphPosition);
    auto& ports = hub.getPorts();
    int changed = 0;
    for (int index = 0; index < ravlin::ParameterTable::numImageParameters; ++index)
    {
        const auto value = image[(size_t)index];
        if (index < (int)morphSent.size() && morphSent[(size_t)index] == value)
            continue;
        ++changed;
        hub.storeValue (index, value);
        const auto nrpn = table.nrpnNumber (index);
        if (nrpn != ravlin::ParameterTable::noNrpn && ports.outputOpen)
            // The newest value of each parameter waits for the link, as host automation does.
            ports.getSender().offerParameter (index, ParameterMessage::makeNrpn (hub.midiChannel, nrpn, value),
                                              TimedMidiSender::now());
        hub.postEvent (HubEvent::parameter (index, value));
    }
    morphSent = image;
    morphSent.resize ((size_t)ravlin::ParameterTable::numImageParameters, 0);
    return changed;
}

void ExploreSession::endMorph()
{
    if (!morphing)
        return;
    morphing = false;
    auto& hub = processor.getHub();
    const auto& table = hub.parameterTable;
    const auto result = hub.getCurrentProgram();

    // What has no NRPN reaches the instrument only inside a whole program.
    bool needsDump = false;
    for (size_t i = 0; i < result.size() && !needsDump; ++i)
        needsDump = (i >= morphStart.size() || result[i] != morphStart[i]) &&
                    table.nrpnNumber ((int)i) == ravlin::ParameterTable::noNrpn;
    if (needsDump)
    {
        hub.postEvent (HubEvent::programLoaded);
        hub.sendToInstrument (ravlin::packEditBufferDump (result));
    }
    processor.holdHistoryStep (false);
    if (result != morphStart)
        history.add (result, ("Morph " + percent (morphPosition)).toStdString(), nowMs());
}

//==============================================================================
bool ExploreSession::audition (int row)
{
    const auto* entry = history.at (row);
    if (entry == nullptr)
        return false;
    apply (entry->image);
    return true;
}

ExploreSession::StoreResult ExploreSession::storeInLibrary (int row, const juce::File& folder, juce::String& message)
{
    const auto* entry = history.at (row);
    if (entry == nullptr)
    {
        message = "Nothing to store.";
        return StoreResult::noEntry;
    }
    auto record = entry->image;
    record.resize ((size_t)ravlin::sysex::imageSize, 0);
    const auto name = ravlin::ExplorationHistory::storedName (*entry);
    DSI_Program::writeName (record.data() + DSI_Program::nameOffset, name);

    DefaultLibraryFile file;
    auto records = file.load (folder);
    if (file.isUnreadable())
    {
        message = "The library file could not be read, so nothing was stored: " +
                  folder.getChildFile (DefaultLibraryFile::fileName).getFullPathName();
        return StoreResult::notWritten;
    }
    for (size_t at = 0; at + record.size() <= records.size(); at += record.size())
        if (std::equal (record.begin(), record.end(), records.begin() + (std::ptrdiff_t)at))
        {
            message = juce::String (name).trimEnd() + " is in the library already.";
            return StoreResult::alreadyThere;
        }
    records.insert (records.end(), record.begin(), record.end());
    const auto result = file.save (folder, records);
    if (result != DefaultLibraryFile::Result::written)
    {
        message = DefaultLibraryFile::describe (result, file.getHome());
        if (message.isEmpty())
            message = "Nothing was stored.";
        return StoreResult::notWritten;
    }
    message = juce::String (name).trimEnd() + " was added to the library.";
    return StoreResult::stored;
}

int ExploreSession::freeHostSlot (const ravlin::ParameterTable& table)
{
    for (int slot = 0; slot < ravlin::ParameterTable::numHostSlots; ++slot)
        if (table.parameterForSlot (slot) < 0)
            return slot;
    return -1;
}
