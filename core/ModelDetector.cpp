#include "core/ModelDetector.h"

#include <chrono>

using ravlin::InstrumentModel;

double ModelDetector::clockMs() noexcept
{
    using namespace std::chrono;
    return duration<double, std::milli> (steady_clock::now().time_since_epoch()).count();
}

ModelDetector::ModelDetector (Sender s) : sender (std::move (s))
{
    worker = std::thread ([this] { run(); });
}

ModelDetector::~ModelDetector()
{
    shutdown();
}

void ModelDetector::shutdown()
{
    {
        const std::lock_guard<std::mutex> guard (lock);
        stopping = true;
        held.clear();
    }
    wake.notify_all();
    if (worker.joinable())
        worker.join();
}

ModelDetector::Choice ModelDetector::choiceOfSetting (uint8_t setting) noexcept
{
    switch (setting)
    {
        case 1: return Choice::module;
        case 2: return Choice::keyboard;
        default: return Choice::detect;
    }
}

const char* ModelDetector::choiceName (Choice c) noexcept
{
    switch (c)
    {
        case Choice::module: return "Prophet 12 Module";
        case Choice::keyboard: return "Prophet 12 Keyboard";
        case Choice::detect: break;
    }
    return "Detect";
}

void ModelDetector::setChoice (Choice c)
{
    const std::lock_guard<std::mutex> guard (lock);
    choice = c;
    if (c != Choice::detect)
        sendHeld();
}

void ModelDetector::asked()
{
    {
        const std::lock_guard<std::mutex> guard (lock);
        askedAt = clockMs();
    }
    wake.notify_all();
}

void ModelDetector::forget()
{
    const std::lock_guard<std::mutex> guard (lock);
    detected = -1;
    askedAt = -1.0;
    held.clear();
    heldBytes = 0;
}

void ModelDetector::replied (InstrumentModel m)
{
    const std::lock_guard<std::mutex> guard (lock);
    detected = (int)m;
    sendHeld();
}

bool ModelDetector::send (const ravlin::Bytes& message)
{
    const std::lock_guard<std::mutex> guard (lock);
    if (stopping)
        return false;
    if (!ravlin::isOwnMessage (message.data(), message.size()))
        return sender (message);
    if (getState() == State::waiting || !held.empty())
    {
        // Behind what already waits, so that nothing overtakes it.
        if (held.size() >= maxHeld || heldBytes + message.size() > maxHeldBytes)
            return false;
        held.push_back (message);
        heldBytes += message.size();
        wake.notify_all();
        return true;
    }
    return sender (ravlin::withDeviceByte (message, deviceByte()));
}

void ModelDetector::sendHeld()
{
    if (stopping)
        return;
    const auto device = deviceByte();
    for (const auto& message : held)
        sender (ravlin::withDeviceByte (message, device));
    held.clear();
    heldBytes = 0;
}

void ModelDetector::run()
{
    std::unique_lock<std::mutex> guard (lock);
    while (!stopping)
    {
        if (held.empty())
        {
            wake.wait (guard);
            continue;
        }
        const auto now = clockMs();
        if (stateAt (now) == State::waiting)
        {
            const auto left = askedAt.load() + replyTimeoutMs - now;
            wake.wait_for (guard, std::chrono::duration<double, std::milli> (std::max (1.0, left)));
            continue;
        }
        sendHeld(); // nobody answered: the module's byte
    }
}

ModelDetector::State ModelDetector::getState() const noexcept
{
    return stateAt (clockMs());
}

ModelDetector::State ModelDetector::stateAt (double at) const noexcept
{
    if (choice != Choice::detect)
        return State::chosen;
    if (detected >= 0)
        return State::detected;
    const auto asked = askedAt.load();
    if (asked < 0)
        return State::notAsked;
    return at - asked < replyTimeoutMs ? State::waiting : State::noReply;
}

InstrumentModel ModelDetector::model() const noexcept
{
    switch (choice.load())
    {
        case Choice::module: return InstrumentModel::module;
        case Choice::keyboard: return InstrumentModel::keyboard;
        case Choice::detect: break;
    }
    return detected.load() == (int)InstrumentModel::keyboard ? InstrumentModel::keyboard : InstrumentModel::module;
}

std::optional<InstrumentModel> ModelDetector::getDetected() const noexcept
{
    const auto d = detected.load();
    return d < 0 ? std::nullopt : std::optional<InstrumentModel> ((InstrumentModel)d);
}
