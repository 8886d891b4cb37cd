#include "midi/VirtualInstrument.h"

#include <chrono>
#include <thread>

#include "instrument/BankFolder.h"
#include "instrument/DSI_Program.h"
#include "instrument/GlobalDump.h"

using ravlin::Bytes;
namespace sysex = ravlin::sysex;

namespace
{
constexpr size_t maxSysExSize = 8192; // longer messages are nothing this instrument knows

int messageLength (uint8_t status)
{
    if (status >= 0x80 && status < 0xC0)
        return 3;
    if (status >= 0xC0 && status < 0xE0)
        return 2;
    if (status >= 0xE0 && status < 0xF0)
        return 3;
    if (status == 0xF1 || status == 0xF3)
        return 2;
    if (status == 0xF2)
        return 3;
    return 1;
}

// Set as the MIDI setup's help text asks: all channels, parameters sent and received as NRPN,
// controllers and SysEx on, SysEx and MIDI out over USB and MIDI alike; tuning centred, local
// control and pressure on.
const uint8_t defaultGlobals[VirtualInstrument::numGlobals] = {12, 50, 0, 0, 0, 0, 1, 1, 1, 2, 3, 1, 0,
                                                               0,  0,  0, 0, 0, 1, 0, 0, 0, 0, 0, 0};
} // namespace

VirtualInstrument::VirtualInstrument (ravlin::InstrumentModel m)
    : juce::Thread (m == ravlin::InstrumentModel::keyboard ? "Virtual Prophet 12 Keyboard" : "Virtual Prophet 12"),
      model (m), editBuffer (DSI_Program::defaultImage()), globals (defaultGlobals, defaultGlobals + numGlobals)
{
    const BankFolder folder;
    for (int b = 0; b < numBanks; ++b)
    {
        const auto* data = folder.bank (b % 4); // the user banks start as copies of the factory banks
        banks.emplace_back (data, data + programsPerBank * sysex::imageSize);
    }
    startThread();
}

VirtualInstrument::~VirtualInstrument()
{
    signalThreadShouldExit();
    outgoingReady.signal();
    stopThread (2000);
}

const char* VirtualInstrument::portNameOf (ravlin::InstrumentModel m) noexcept
{
    return m == ravlin::InstrumentModel::keyboard ? keyboardPortName : portName;
}

const char* VirtualInstrument::getPortName() const noexcept
{
    return portNameOf (model);
}

void VirtualInstrument::connectOutput (juce::MidiInputCallback* newListener)
{
    std::lock_guard<std::mutex> guard (listenerLock);
    listener = newListener;
}

void VirtualInstrument::setSilent (bool shouldBeSilent)
{
    std::lock_guard<std::mutex> guard (stateLock);
    silent = shouldBeSilent;
}

void VirtualInstrument::setWireSpeed (WireSpeed speed)
{
    wireSpeed = speed;
}

void VirtualInstrument::setGlobal (int index, uint8_t value)
{
    std::lock_guard<std::mutex> guard (stateLock);
    if (juce::isPositiveAndBelow (index, numGlobals))
        globals[(size_t)index] = value;
}

void VirtualInstrument::setChannel (int newChannel)
{
    std::lock_guard<std::mutex> guard (stateLock);
    channel = juce::jlimit (1, 16, newChannel);
}

void VirtualInstrument::ignoreWritesTo (int bank, int program)
{
    std::lock_guard<std::mutex> guard (stateLock);
    writeIgnoredSlot = bank * 128 + program;
}

Bytes VirtualInstrument::getEditBuffer() const
{
    std::lock_guard<std::mutex> guard (stateLock);
    return editBuffer;
}

Bytes VirtualInstrument::getProgram (int bank, int program) const
{
    std::lock_guard<std::mutex> guard (stateLock);
    if (!juce::isPositiveAndBelow (bank, numBanks) || !juce::isPositiveAndBelow (program, programsPerBank))
        return {};
    const auto* data = banks[(size_t)bank].data() + program * sysex::imageSize;
    return Bytes (data, data + sysex::imageSize);
}

void VirtualInstrument::setProgram (int bank, int program, const Bytes& image)
{
    std::lock_guard<std::mutex> guard (stateLock);
    if (juce::isPositiveAndBelow (bank, numBanks) && juce::isPositiveAndBelow (program, programsPerBank))
        std::copy (image.begin(), image.begin() + (ptrdiff_t)juce::jmin (image.size(), (size_t)sysex::imageSize),
                   banks[(size_t)bank].begin() + program * sysex::imageSize);
}

Bytes VirtualInstrument::getGlobals() const
{
    std::lock_guard<std::mutex> guard (stateLock);
    return globals;
}

int VirtualInstrument::getCurrentBank() const
{
    std::lock_guard<std::mutex> guard (stateLock);
    return currentBank;
}

int VirtualInstrument::getCurrentProgram() const
{
    std::lock_guard<std::mutex> guard (stateLock);
    return currentProgram;
}

int VirtualInstrument::getNumMessagesReceived() const
{
    std::lock_guard<std::mutex> guard (stateLock);
    return messagesReceived;
}

int VirtualInstrument::getNumOtherModelMessages() const
{
    std::lock_guard<std::mutex> guard (stateLock);
    return otherModelMessages;
}

double VirtualInstrument::millisecondsPerByte() const noexcept
{
    switch (wireSpeed.load())
    {
        case WireSpeed::din: return dinMillisecondsPerByte;
        case WireSpeed::usb: return usbMillisecondsPerByte;
        case WireSpeed::unlimited: break;
    }
    return 0.0;
}

void VirtualInstrument::delayNextHandOvers (std::vector<int> milliseconds)
{
    std::lock_guard<std::mutex> guard (delayLock);
    handOverDelays.assign (milliseconds.begin(), milliseconds.end());
}

int VirtualInstrument::getNumDumpsLost() const
{
    std::lock_guard<std::mutex> guard (stateLock);
    return dumpsLost;
}

void VirtualInstrument::receive (const uint8_t* bytes, int size)
{
    int delay = 0;
    {
        std::lock_guard<std::mutex> guard (delayLock);
        if (!handOverDelays.empty())
        {
            delay = handOverDelays.front();
            handOverDelays.pop_front();
        }
    }
    if (delay > 0)
        std::this_thread::sleep_for (std::chrono::milliseconds (delay));
    std::lock_guard<std::mutex> guard (stateLock);
    if (silent || bytes == nullptr || size <= 0)
        return;

    // The bytes queue up behind those still on the wire.
    const auto now = juce::Time::getMillisecondCounterHiRes();
    inputWireFreeAt = juce::jmax (now, inputWireFreeAt) + size * millisecondsPerByte();

    for (int i = 0; i < size; ++i)
    {
        const auto b = bytes[i];

        if (b >= 0xF8) // real-time bytes may fall anywhere, even inside SysEx
            continue;

        if (inSysEx)
        {
            if (b == sysex::end)
            {
                pending.push_back (b);
                inSysEx = false;
                sysExComplete();
                pending.clear();
                continue;
            }
            if (b < 0x80)
            {
                if (pending.size() < maxSysExSize)
                    pending.push_back (b);
                continue;
            }
            inSysEx = false; // a status byte ends an unterminated SysEx; it is dropped
            pending.clear();
        }

        if (b == sysex::start)
        {
            inSysEx = true;
            runningStatus = 0;
            pending.assign (1, b);
            pendingStartedAt = now;
            continue;
        }

        if (b >= 0x80)
        {
            runningStatus = b < 0xF0 ? b : 0;
            pending.assign (1, b);
        }
        else
        {
            if (pending.empty() && runningStatus != 0)
                pending.assign (1, runningStatus);
            if (pending.empty())
                continue; // a stray data byte
            pending.push_back (b);
        }

        if ((int)pending.size() >= messageLength (pending[0]))
        {
            handleMessage (pending);
            pending.clear();
        }
    }
}

void VirtualInstrument::sysExComplete()
{
    const bool dump =
        pending.size() >= 4 && (pending[3] == sysex::cmdProgramDump || pending[3] == sysex::cmdEditBufferDump);
    if (dump && millisecondsPerByte() > 0)
    {
        // Handed over while the dump before was still crossing the wire: the input overruns.
        if (pendingStartedAt < lastDumpCrossedAt)
        {
            ++dumpsLost;
            return;
        }
        lastDumpCrossedAt = inputWireFreeAt;
    }
    handleMessage (pending);
}

void VirtualInstrument::handleMessage (const Bytes& message)
{
    ++messagesReceived;
    const auto status = message[0];

    if (status == sysex::start)
    {
        handleSysEx (message);
        return;
    }

    // The module listens on its own channel only.
    if (status < 0xF0 && (status & 0x0F) != channel - 1)
        return;

    switch (status & 0xF0)
    {
        case 0xB0: handleController (message[1], message[2]); break;
        case 0xC0:
            currentProgram = juce::jmin ((int)message[1], programsPerBank - 1);
            editBuffer = Bytes (banks[(size_t)currentBank].begin() + currentProgram * sysex::imageSize,
                                banks[(size_t)currentBank].begin() + (currentProgram + 1) * sysex::imageSize);
            break;
        default: break;
    }
}

void VirtualInstrument::handleController (int controller, int value)
{
    switch (controller)
    {
        case 32: currentBank = juce::jmin (value, numBanks - 1); break;
        case 99: nrpnNumberHigh = value; break;
        case 98: nrpnNumberLow = value; break;
        case 6: nrpnValueHigh = value; break;
        case 38: break;
        default: return;
    }

    // The value's low byte completes a change, whichever of the other three came before it.
    if (controller == 38)
    {
        const auto number = nrpnNumberHigh * 128 + nrpnNumberLow;
        const auto valueNow = juce::jmin (255, nrpnValueHigh * 128 + value);
        if (number >= 1024)
        {
            if (number - 1024 < numGlobals)
                globals[(size_t)(number - 1024)] = (uint8_t)valueNow;
        }
        else if (const auto index = table.parameterForNrpn (number); index >= 0)
        {
            editBuffer[(size_t)index] = (uint8_t)valueNow;
        }
    }
}

void VirtualInstrument::handleSysEx (const Bytes& m)
{
    const auto device = ravlin::deviceByteOf (model);
    if (ravlin::identity::isRequest (m.data(), m.size()))
    {
        send (ravlin::identity::reply (model, channel - 1, 1, 0));
        return;
    }
    // The other model's messages are not for this one.
    if (m.size() < 5 || m[1] != sysex::manufacturer || m[2] != device)
    {
        if (ravlin::isOwnMessage (m.data(), m.size()))
            ++otherModelMessages;
        return;
    }

    switch (m[3])
    {
        case sysex::cmdRequestProgram:
            if (m.size() == 7 && m[4] < numBanks && m[5] < programsPerBank)
            {
                const auto* data = banks[m[4]].data() + m[5] * sysex::imageSize;
                send (ravlin::packProgramDump (Bytes (data, data + sysex::imageSize), m[4], m[5], device));
            }
            break;
        case sysex::cmdRequestEditBuffer: send (ravlin::packEditBufferDump (editBuffer, device)); break;
        case sysex::cmdRequestGlobals:
        {
            ravlin::globalDump::Globals dumped{};
            std::copy (globals.begin(), globals.begin() + (ptrdiff_t)dumped.size(), dumped.begin());
            send (ravlin::globalDump::encode (dumped, device));
            break;
        }
        case sysex::cmdProgramDump:
            if (m.size() == (size_t)sysex::programDumpSize && m[4] < numBanks && m[5] < programsPerBank &&
                m[4] * 128 + m[5] != writeIgnoredSlot)
                ravlin::unpackImage (m.data() + sysex::programDumpDataOffset, (size_t)sysex::packedSize,
                                     banks[m[4]].data() + m[5] * sysex::imageSize);
            break;
        case sysex::cmdEditBufferDump:
            if (m.size() == (size_t)sysex::editBufferDumpSize)
                ravlin::unpackImage (m.data() + sysex::editBufferDumpDataOffset, (size_t)sysex::packedSize,
                                     editBuffer.data());
            break;
        default: break;
    }
}

void VirtualInstrument::turnKnob (int parameterIndex, int value)
{
    std::lock_guard<std::mutex> guard (stateLock);
    const auto number = table.nrpnNumber (parameterIndex);
    if (silent || number == ravlin::ParameterTable::noNrpn || !juce::isPositiveAndBelow (parameterIndex, 1024))
        return;

    editBuffer[(size_t)parameterIndex] = (uint8_t)juce::jlimit (0, 255, value);
    const auto status = (uint8_t)(0xB0 | (channel - 1));
    for (auto [controller, data] :
         {std::pair<int, int>{99, number >> 7}, {98, number & 0x7F}, {6, value >> 7}, {38, value & 0x7F}})
        send ({status, (uint8_t)controller, (uint8_t)data});
}

void VirtualInstrument::send (Bytes message)
{
    {
        std::lock_guard<std::mutex> guard (outputLock);
        outgoing.push_back (std::move (message));
    }
    outgoingReady.signal();
}

void VirtualInstrument::run()
{
    double wireFreeAt = 0;

    while (!threadShouldExit())
    {
        Bytes message;
        {
            std::lock_guard<std::mutex> guard (outputLock);
            if (!outgoing.empty())
            {
                message = std::move (outgoing.front());
                outgoing.pop_front();
            }
        }

        if (message.empty())
        {
            outgoingReady.wait (50);
            continue;
        }

        // A message arrives once its last byte has crossed the wire.
        const auto speed = wireSpeed.load();
        if (speed != WireSpeed::unlimited)
        {
            const auto perByte = speed == WireSpeed::din ? dinMillisecondsPerByte : usbMillisecondsPerByte;
            const auto now = juce::Time::getMillisecondCounterHiRes();
            wireFreeAt = juce::jmax (wireFreeAt, now) + perByte * (double)message.size();
            while (juce::Time::getMillisecondCounterHiRes() < wireFreeAt && !threadShouldExit())
            {
                const auto left = wireFreeAt - juce::Time::getMillisecondCounterHiRes();
                if (left > 2)
                    juce::Thread::sleep (1);
                else
                    std::this_thread::yield();
            }
        }

        std::lock_guard<std::mutex> guard (listenerLock);
        if (listener != nullptr)
            listener->handleIncomingMidiMessage (nullptr, juce::MidiMessage (message.data(), (int)message.size()));
    }
}

//==============================================================================
namespace
{
class VirtualInput : public MidiInputDevice
{
public:
    VirtualInput (VirtualInstrument& i, juce::MidiInputCallback& cb) : instrument (i), callback (cb) {}
    ~VirtualInput() override { stop(); }
    void start() override { instrument.connectOutput (&callback); }
    void stop() override { instrument.connectOutput (nullptr); }

private:
    VirtualInstrument& instrument;
    juce::MidiInputCallback& callback;
};

class VirtualOutput : public MidiOutputDevice
{
public:
    explicit VirtualOutput (VirtualInstrument& i) : instrument (i) {}
    void sendNow (const uint8_t* bytes, int size) override { instrument.receive (bytes, size); }
    double knownMillisecondsPerByte() const override { return instrument.millisecondsPerByte(); }

private:
    VirtualInstrument& instrument;
};
} // namespace

DevicesWithVirtualInstrument::DevicesWithVirtualInstrument (MidiDeviceSet& systemDevices,
                                                            std::vector<VirtualInstrument*> virtualInstruments)
    : system (systemDevices), instruments (std::move (virtualInstruments))
{
}

juce::StringArray DevicesWithVirtualInstrument::inputNames()
{
    auto names = system.inputNames();
    for (auto* instrument : instruments)
        names.add (instrument->getPortName());
    return names;
}

juce::StringArray DevicesWithVirtualInstrument::outputNames()
{
    auto names = system.outputNames();
    for (auto* instrument : instruments)
        names.add (instrument->getPortName());
    return names;
}

std::unique_ptr<MidiInputDevice> DevicesWithVirtualInstrument::openInput (int index, juce::MidiInputCallback& callback)
{
    const auto k = index - system.inputNames().size();
    if (juce::isPositiveAndBelow (k, (int)instruments.size()))
        return std::make_unique<VirtualInput> (*instruments[(size_t)k], callback);
    return system.openInput (index, callback);
}

std::unique_ptr<MidiOutputDevice> DevicesWithVirtualInstrument::openOutput (int index)
{
    const auto k = index - system.outputNames().size();
    if (juce::isPositiveAndBelow (k, (int)instruments.size()))
        return std::make_unique<VirtualOutput> (*instruments[(size_t)k]);
    return system.openOutput (index);
}
