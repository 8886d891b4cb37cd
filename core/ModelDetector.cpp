#include "core/ModelDetector.h"

#include <utility>

using ravlin::InstrumentModel;

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

void ModelDetector::setChoice (Choice c) noexcept
{
    choice = c;
}

void ModelDetector::asked (double nowMs) noexcept
{
    {
        const std::lock_guard<std::mutex> guard (keptLock);
        kept.clear();
    }
    askedAt = nowMs;
}

void ModelDetector::forget() noexcept
{
    detected = -1;
    askedAt = -1.0;
    const std::lock_guard<std::mutex> guard (keptLock);
    kept.clear();
}

std::vector<ravlin::Bytes> ModelDetector::replied (InstrumentModel m)
{
    const std::lock_guard<std::mutex> guard (keptLock);
    const auto before = model();
    detected = (int)m;
    auto again = std::exchange (kept, {});
    if (model() == before)
        return {};
    for (auto& message : again)
        message = ravlin::withDeviceByte (std::move (message), deviceByte());
    return again;
}

ModelDetector::State ModelDetector::getState (double nowMs) const noexcept
{
    if (choice != Choice::detect)
        return State::chosen;
    if (detected >= 0)
        return State::detected;
    const auto at = askedAt.load();
    if (at < 0)
        return State::notAsked;
    return nowMs - at < replyTimeoutMs ? State::waiting : State::noReply;
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

ravlin::Bytes ModelDetector::stamp (ravlin::Bytes message, double nowMs)
{
    if (!ravlin::isOwnMessage (message.data(), message.size()))
        return message;
    const std::lock_guard<std::mutex> guard (keptLock);
    message[2] = deviceByte();
    if (getState (nowMs) == State::waiting && message.size() <= maxKeptSize && kept.size() < maxKept)
        kept.push_back (message);
    return message;
}
