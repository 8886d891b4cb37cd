#pragma once

#include "instrument/ProgramPacking.h"

#include <optional>

namespace ravlin
{

/** The instrument comes as a desktop module and as a keyboard. Their SysEx differs in the
    device byte only (sysex::deviceModule, sysex::deviceKeyboard), and each answers requests
    carrying its own byte alone. */
enum class InstrumentModel
{
    module,
    keyboard
};

uint8_t deviceByteOf (InstrumentModel model) noexcept;
std::optional<InstrumentModel> modelOfDeviceByte (uint8_t device) noexcept;
/** "Prophet 12 Module" or "Prophet 12 Keyboard". */
const char* modelName (InstrumentModel model) noexcept;

/** The universal device identity exchange. */
namespace identity
{
/** F0 7E 7F 06 01 F7: every device on the port is asked. */
Bytes request();
bool isRequest (const uint8_t* message, size_t size) noexcept;
/** F0 7E id 06 02, manufacturer 01, family 2A or 2B and 00, member 00 00, version, F7. */
Bytes reply (InstrumentModel model, int deviceId, int versionMajor, int versionMinor);
/** The model from a reply of this maker's Prophet 12; nothing for anything else. */
std::optional<InstrumentModel> modelOfReply (const uint8_t* message, size_t size) noexcept;
} // namespace identity

/** A copy of one of this instrument's messages (F0 01 2A|2B ...) with the given model's byte;
    anything else is returned as it is. */
Bytes withDeviceByte (Bytes message, uint8_t device);

} // namespace ravlin
