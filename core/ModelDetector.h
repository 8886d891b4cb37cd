#pragma once

#include "instrument/InstrumentModel.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

/** Which model of the instrument the plug-in talks to, and so which device byte its SysEx
    carries: the model the user chose in the MIDI setup, or, with "Detect", the one the identity
    reply names. Until a reply names one, and when none comes, it is the module.

    Every message of ours to the instrument goes through send(). While an identity reply is
    awaited those messages wait too, and go out in their order, with the right byte, as soon as
    the reply comes or the wait times out: the instrument never sees the other model's byte.
    Any thread may send and read the byte. */
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
    /** What may wait for the reply: a bank transmit started in that second waits for room. */
    static constexpr size_t maxHeld = 64, maxHeldBytes = 64 * 1024;

    /** Where messages go out; false when the port did not take one. */
    using Sender = std::function<bool (const ravlin::Bytes&)>;
    explicit ModelDetector (Sender sender);
    ~ModelDetector();
    /** Nothing is sent any more, not even what waits: before the ports go. */
    void shutdown();

    /** Settings byte 9: 0 "Detect" (what every older file holds), 1 module, 2 keyboard. */
    static Choice choiceOfSetting (uint8_t setting) noexcept;
    static uint8_t settingOf (Choice choice) noexcept { return (uint8_t)choice; }
    /** "Detect", "Prophet 12 Module", "Prophet 12 Keyboard". */
    static const char* choiceName (Choice choice) noexcept;

    void setChoice (Choice choice);
    Choice getChoice() const noexcept { return choice.load(); }

    /** The identity request is about to go out. Unless a model is known already, what is sent
        from now on waits for the answer. */
    void asked();
    /** Other ports: nothing is known of whoever is on them, and what waited for the answer of
        the ones before is dropped. */
    void forget();
    /** An identity reply names the model; what waited goes out with its byte. */
    void replied (ravlin::InstrumentModel model);

    /** One of the instrument's messages (F0 01 2A|2B ...) with the byte of the model in use, now
        or once the model is known; anything else goes now as it is. False when it was not taken. */
    bool send (const ravlin::Bytes& message);

    State getState() const noexcept;
    /** Milliseconds on the clock the reply's time-out runs on. */
    static double clockMs() noexcept;
    ravlin::InstrumentModel model() const noexcept;
    uint8_t deviceByte() const noexcept { return ravlin::deviceByteOf (model()); }
    bool hasDetected() const noexcept { return detected.load() >= 0; }
    /** The model the last identity reply named, whatever the choice. */
    std::optional<ravlin::InstrumentModel> getDetected() const noexcept;

private:
    State stateAt (double ms) const noexcept;
    void sendHeld(); // with the lock held
    void run();

    Sender sender;
    std::atomic<Choice> choice{Choice::detect};
    std::atomic<int> detected{-1};     // InstrumentModel as int, or -1
    std::atomic<double> askedAt{-1.0}; // -1: not asked since the last forget

    std::mutex lock; // orders every send against the release of what waited
    std::condition_variable wake;
    std::vector<ravlin::Bytes> held;
    size_t heldBytes = 0;
    bool stopping = false;
    std::thread worker; // sends what waited when the reply does not come

    ModelDetector (const ModelDetector&) = delete;
    ModelDetector& operator= (const ModelDetector&) = delete;
};
