#include "core/MidiCntrState.h"

#include "core/HubTransfers.h"

using ravlin::Bytes;

MidiCntrState::MidiCntrState (std::unique_ptr<MidiDeviceSet> system, juce::File applicationDataFolder)
    : hubListeners (std::make_unique<HubListeners> (*this)), settings (std::make_unique<HubSettings> (*this)),
      store (std::make_unique<ProgramStore>()), nrpnSender (std::make_unique<NrpnSender> (parameterTable, midiChannel)),
      router (std::make_unique<HostBlockRouter> (*this)), transfers (std::make_unique<HubTransfers> (*this)),
      input (std::make_unique<HubInput> (*this, *router, *transfers)), files (std::move (applicationDataFolder)),
      banks (store->banks), presetBank (store->presetBank), sliderSent (nrpnSender->sliderSent),
      bankReceiving (transfers->bankReceiving), bankProgress (transfers->bankProgress),
      bankReceiveKind (transfers->bankReceiveKind), nextBank (transfers->nextBank),
      transferCode (transfers->transferCode), keyState (router->keyState), systemDevices (std::move (system))
{
    static_assert (numBanks == ProgramStore::numBanks);

    // Settings come first: the channel, the options and the latency depend on them, and the
    // first messages in already go by them.
    settings->load();
    store->load (files);

    settings->loadPortNames();
    ports = std::make_unique<MIDI_PORTS_Control> (devices, *this);
    nrpnSender->attach (*ports);
    ports->reopenRememberedPorts (portNames[0], portNames[1]);
    settings->portsChanged();
    if (const auto number = portNames[3].getIntValue(); number != 0)
        ports->sysExBufferChoice = number;

    loadDefaultPreset();
}

MidiCntrState::~MidiCntrState()
{
    modelDetector.shutdown(); // sends nothing more to the ports about to close
    // The input goes first: its callback reads the ports and writes the banks saved below.
    ports->openInput (0);
    transfers->shutdown(); // stops after the dump in flight
    store->save (files);
    settings->saveSettings();
    ports->openOutput (0);
    ports.reset();
}

void MidiCntrState::loadDefaultPreset()
{
    const auto image = files.readDefaultPreset();
    if (!image.has_value())
        return;
    if (presetProgramIndex < 0)
        presetProgramIndex = 0;
    setPresetProgram (presetProgramIndex, *image);
    loadPresetProgram();
}

//==============================================================================
void MidiCntrState::postEvent (uint32_t code)
{
    // Another program: whatever the instrument's NRPN receiver held, the next NRPN goes out whole.
    if (code == HubEvent::programLoaded)
        nrpnSender->forgetInstrumentState();
    hubListeners->post (code);
}

//==============================================================================
void MidiCntrState::storeValue (int index, int value)
{
    if (juce::isPositiveAndBelow (index, ravlin::ParameterTable::numImageParameters))
    {
        store->storeByte (index, value);
        return;
    }

    switch (index)
    {
        case 1024:
            if (value < 0)
            {
                currentBank = -1;
                currentProgram = -1;
            }
            else if (value <= 791)
            {
                currentBank = value / 99;
                currentProgram = value % 99;
            }
            break;
        case 1025: sliderToHost[0] = value; break;
        case 1026: sliderToHost[2] = value; break;
        case 1027: sliderToHost[1] = value; break;
        case 1028: latches[0] = value; break;
        case 1029: latches[1] = value; break;
        default: break;
    }
}

//==============================================================================
void MidiCntrState::fastNrpnSend (int row, int value, double delayMilliseconds, double rate)
{
    juce::ignoreUnused (rate); // every byte goes out at one moment, so only the delay matters
    nrpnSender->fastNrpnSend (row, value, delayMilliseconds);
}

void MidiCntrState::requestProgram (int bank, int program)
{
    if (ports->outputOpen)
    {
        noteProgramRequest (bank, program);
        sendToInstrument (ravlin::requestProgramDump (bank, program));
    }
}

void MidiCntrState::requestEditBuffer()
{
    input->expectComparedEditBuffer (false); // this reply is the program to edit
    sendToInstrument (ravlin::requestEditBufferDump());
}

bool MidiCntrState::requestEditBufferToCompare()
{
    if (!ports->outputOpen)
        return false;
    input->expectComparedEditBuffer (true);
    return sendToInstrument (ravlin::requestEditBufferDump());
}

bool MidiCntrState::sendToInstrument (const Bytes& message)
{
    if (!ports->outputOpen)
        return false;
    return modelDetector.send (message);
}

void MidiCntrState::requestGlobals()
{
    // Without an output the instrument is off line too: no earlier reply may stand for it.
    globalsReceived = false;
    postEvent (HubEvent::offline);
    sendToInstrument (ravlin::requestGlobalParameters());
}

void MidiCntrState::noteOnToInstrument (int channel, int note, int velocity)
{
    if (channel > 16 || note > 127 || !ports->outputOpen)
        return;
    nrpnSender->sendShortNow ((uint8_t)(0x90 | ((juce::jmax (1, channel) - 1) & 0x0F)), note,
                              (velocity & 0x80) ? 127 : velocity, 3);
}

void MidiCntrState::pitchBendToInstrumentAndHost (int channel, int value)
{
    const auto message = juce::MidiMessage::pitchWheel (juce::jlimit (1, 16, channel), value & 0x3FFF);
    router->queueForHost (message.getRawData(), message.getRawDataSize());
    ports->sendPitchWheel (channel, value);
}

void MidiCntrState::controllerToHost (int channel, int controller, int value)
{
    if (channel > 16 || controller >= 128)
        return;
    const auto message = juce::MidiMessage::controllerEvent (juce::jmax (1, channel), controller, value & 0x7F);
    router->queueForHost (message.getRawData(), message.getRawDataSize());
}

void MidiCntrState::programChangeToHost (int channel, int program)
{
    if (channel > 16 || program >= 128)
        return;
    const auto message = juce::MidiMessage::programChange (juce::jmax (1, channel), program);
    router->queueForHost (message.getRawData(), message.getRawDataSize());
}

//==============================================================================
void MidiCntrState::selectProgram (int slot, bool sendToInstrument, bool tellHost)
{
    if (slot < 0)
    {
        currentBank = -1;
        currentProgram = -1;
    }
    else if (slot <= 791)
    {
        currentBank = slot / 99;
        currentProgram = slot % 99;
    }

    const int bank = currentBank, program = currentProgram;
    if (!juce::isPositiveAndBelow (bank, numBanks) || !juce::isPositiveAndBelow (program, 99))
        return; // no valid selection: the program being edited stays as it is

    store->loadBankProgram (bank, program);
    selectedSlot = bank * 99 + program;
    postEvent (HubEvent::programLoaded);

    if (tellHost)
    {
        if (programChangeWithAutomation)
        {
            // The host hears of it; the instrument is told below, or told us itself.
            hubListeners->cableChanged (1024, bank * 99 + program, true, false, true);
        }
        controllerToHost (midiChannel, 32, bank);
        programChangeToHost (midiChannel, program);
    }

    if (sendToInstrument)
        sendSelectionAt (TimedMidiSender::now());
}

void MidiCntrState::programChangeFromInstrument (int program)
{
    // A bank holds 99 programs; higher numbers name nothing and are ignored. The same number
    // after a bank select is another program.
    if (program >= Bank_Program::numPrograms ||
        (program == currentProgram && program + 99 * currentBank == selectedSlot.load()))
        return;
    currentProgram = program;
    selectProgram (program + 99 * currentBank, false, programChangeWithAutomation);
}

void MidiCntrState::hostChange (int index, int raw)
{
    if (juce::isPositiveAndBelow (index, ravlin::ParameterTable::numImageParameters))
    {
        storeValue (index, raw);
        nrpnSender->offerHostChange (index, raw, currentLatencyMs());
        postEvent (HubEvent::parameter (index, raw));
        return;
    }

    switch (index)
    {
        case 1024:
            storeValue (1024, raw);
            if (programChangeWithAutomation && raw >= 0)
            {
                // Late by the latency, as the parameters the host automates around it.
                selectProgram (raw, false, false);
                sendSelectionAt (TimedMidiSender::now() + currentLatencyMs());
            }
            break;
        case 1025:
        case 1026:
        case 1027:
            storeValue (index, raw);
            nrpnSender->offerHostChange (index, raw, currentLatencyMs());
            postEvent (HubEvent::sliders);
            break;
        case 1028:
        case 1029: setLatch (index, raw); break;
        default: break;
    }
}

void MidiCntrState::setLatch (int index, int value)
{
    if (index != 1028 && index != 1029)
        return;
    storeValue (index, value);
    postEvent (index == 1028 ? HubEvent::latch1 : HubEvent::latch2);
}

void MidiCntrState::loadPresetProgram()
{
    if (presetProgramIndex < 0)
        presetProgramIndex = 0;
    store->loadPreset (presetProgramIndex);
    postEvent (HubEvent::programLoaded);
}

void MidiCntrState::storeEditorProgram (bool toBank, int bank, int program, const Bytes& image)
{
    if (toBank)
    {
        setBankProgram (bank, program, image);
        postEvent (HubEvent::bankChanged);
    }
    else
    {
        setCurrentProgram (image);
    }
    postEvent (HubEvent::programLoaded);
}

//==============================================================================
bool MidiCntrState::startBankReceive (int kind, int firstBank)
{
    return transfers->startBankReceive (kind, firstBank);
}

bool MidiCntrState::startTransmit (int code, int firstBank)
{
    return transfers->startTransmit (code, firstBank);
}

bool MidiCntrState::transmitPrograms (std::vector<BankTransmitter::Item> programs, bool reportProgress, bool readBack)
{
    return transfers->transmitPrograms (std::move (programs), reportProgress, readBack);
}

MidiCntrState::WriteResult MidiCntrState::writeProgram (int bank, int program, const juce::String& name, int category)
{
    return transfers->writeProgram (bank, program, name, category);
}

void MidiCntrState::cancelTransfer()
{
    transfers->cancelTransfer();
}

void MidiCntrState::noteProgramRequest (int bank, int program)
{
    transfers->noteProgramRequest (bank, program);
}

void MidiCntrState::abandonOutstandingRequest()
{
    transfers->abandonOutstandingRequest();
}

BankTransmitter::Report MidiCntrState::getLastTransmitReport() const
{
    return transfers->getLastTransmitReport();
}

void MidiCntrState::setLastTransmitReport (const BankTransmitter::Report& result)
{
    transfers->setLastTransmitReport (result);
}

void MidiCntrState::transmitFinished (bool reportProgress)
{
    transfers->transmitFinished (reportProgress);
}

bool MidiCntrState::isTransmitting() const
{
    return transfers->isTransmitting();
}

//==============================================================================
int MidiCntrState::sampleRateIndexFor (double rate) noexcept
{
    const int rates[] = {44100, 48000, 88200, 96000, 176400, 192000};
    for (int i = 0; i < 6; ++i)
        if ((int)rate == rates[i])
            return i;
    return 0;
}

double MidiCntrState::currentLatencyMs() const noexcept
{
    return latencyMode < 100 ? (double)latencyTable[(size_t)juce::jlimit (0, 5, sampleRateIndex.load())].load() : 0.0;
}
