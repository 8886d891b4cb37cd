#pragma once

#include "instrument/InstrumentModel.h"

#include <atomic>
#include <mutex>
#include <vector>

/** Which model of the instrument the plug-in talks to, and so which device byte its SysEx
    carries: the model the user chose in the MIDI setup, or, with "Detect", the one the identity
    reply names. Until a reply names one, and when none comes, it is the module.

    Requests that go out while a reply is awaited are remembered, so that they can go again with
    the keyboard's byte when the reply names the keyboard. Any thread may read the byte. */
class ModelDetector
{
public:
    enum class Choice
    {
        detect = 0,
        module = 1,
        keyboard = 2
    };

    enum class State
    {
        chosen,   // the user chose the model: nobody is asked
        notAsked, // "Detect", but no identity request went out (no ports)
        waiting,  // asked, no reply yet
        detected, // a reply named the model
        noReply   // asked, nothing came in time: the module
    };

    /** A reply takes a few milliseconds even on DIN MIDI; a second means nobody answers. */
    static constexpr double replyTimeoutMs = 1000.0;

    /** Settings byte 9: 0 "Detect" (what every older file holds), 1 module, 2 keyboard. */
    static Choice choiceOfSetting (uint8_t setting) noexcept;
    static uint8_t settingOf (Choice choice) noexcept { return (uint8_t)choice; }
    /** "Detect", "Prophet 12 Module", "Prophet 12 Keyboard". */
    static const char* choiceName (Choice choice) noexcept;

    void setChoice (Choice choice) noexcept;
    Choice getChoice() const noexcept { return choice.load(); }

    /** The identity request went out at the given time. */
    void asked (double nowMs) noexcept;
    /** The instrument on the ports may have changed: nothing is known about it. */
    void forget() noexcept;
    /** An identity reply. When it changes the model in use, the messages that went out while it
        was awaited come back with the new model's byte, to be sent again. */
    std::vector<ravlin::Bytes> replied (ravlin::InstrumentModel model);

    State getState (double nowMs) const noexcept;
    ravlin::InstrumentModel model() const noexcept;
    uint8_t deviceByte() const noexcept { return ravlin::deviceByteOf (model()); }
    bool hasDetected() const noexcept { return detected.load() >= 0; }
    /** The model the last identity reply named, whatever the choice. */
    std::optional<ravlin::InstrumentModel> getDetected() const noexcept
    {
        const auto d = detected.load();
        return d < 0 ? std::nullopt : std::optional<ravlin::InstrumentModel> ((ravlin::InstrumentModel)d);
    }

    /** A message of ours about to go out, with the byte of the model in use; kept while a reply is
        awaited. Anything else comes back as it is. */
    ravlin::Bytes stamp (ravlin::Bytes message, double nowMs);

    static constexpr size_t maxKept = 16;
    static constexpr size_t maxKeptSize = 16; // requests only: dumps are the user's, sent once

private:
    std::atomic<Choice> choice{Choice::detect};
    std::atomic<int> detected{-1};     // InstrumentModel as int, or -1
    std::atomic<double> askedAt{-1.0}; // -1: not asked since the last forget

    std::mutex keptLock; // also orders a stamp against a reply: no message misses both bytes
    std::vector<ravlin::Bytes> kept;
};
