#include "instrument/InstrumentModel.h"

namespace ravlin
{

uint8_t deviceByteOf (InstrumentModel model) noexcept
{
    return model == InstrumentModel::keyboard ? sysex::deviceKeyboard : sysex::deviceModule;
}

std::optional<InstrumentModel> modelOfDeviceByte (uint8_t device) noexcept
{
    if (device == sysex::deviceModule)
        return InstrumentModel::module;
    if (device == sysex::deviceKeyboard)
        return InstrumentModel::keyboard;
    return std::nullopt;
}

const char* modelName (InstrumentModel model) noexcept
{
    return model == InstrumentModel::keyboard ? "Prophet 12 Keyboard" : "Prophet 12 Module";
}

namespace identity
{
namespace
{
constexpr uint8_t universalNonRealtime = 0x7E, allDevices = 0x7F, generalInformation = 0x06, identityRequest = 0x01,
                  identityReply = 0x02;
} // namespace

Bytes request()
{
    return {sysex::start, universalNonRealtime, allDevices, generalInformation, identityRequest, sysex::end};
}

bool isRequest (const uint8_t* m, size_t size) noexcept
{
    return size == 6 && m[0] == sysex::start && m[1] == universalNonRealtime && m[3] == generalInformation &&
           m[4] == identityRequest && m[5] == sysex::end;
}

Bytes reply (InstrumentModel model, int deviceId, int versionMajor, int versionMinor)
{
    return {sysex::start,
            universalNonRealtime,
            (uint8_t)(deviceId & 0x7F),
            generalInformation,
            identityReply,
            sysex::manufacturer,
            deviceByteOf (model),
            0x00,
            0x00,
            0x00,
            (uint8_t)(versionMinor & 0x7F),
            (uint8_t)(versionMajor & 0x7F),
            0x00,
            0x00,
            sysex::end};
}

std::optional<InstrumentModel> modelOfReply (const uint8_t* m, size_t size) noexcept
{
    // Start, 7E, id, 06, 02, manufacturer, family (2), member (2), version, end: only the
    // first seven bytes matter here, and makers differ in how many version bytes follow.
    if (size < 8 || m[0] != sysex::start || m[size - 1] != sysex::end || m[1] != universalNonRealtime ||
        m[3] != generalInformation || m[4] != identityReply || m[5] != sysex::manufacturer)
        return std::nullopt;
    return modelOfDeviceByte (m[6]);
}
} // namespace identity

Bytes withDeviceByte (Bytes message, uint8_t device)
{
    if (isOwnMessage (message.data(), message.size()))
        message[2] = device;
    return message;
}

} // namespace ravlin
