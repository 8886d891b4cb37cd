#include "instrument/GlobalDump.h"

namespace ravlin::globalDump
{

Bytes encode (const Globals& globals, uint8_t device)
{
    Bytes dump{sysex::start, sysex::manufacturer, device, sysex::cmdGlobalDump};
    for (auto g : globals)
    {
        dump.push_back ((uint8_t)(g & 0x0F));
        dump.push_back ((uint8_t)(g >> 4));
    }
    dump.push_back (sysex::end);
    return dump;
}

std::optional<Globals> decode (const uint8_t* m, size_t size) noexcept
{
    if (size != (size_t)messageSize || !isOwnMessage (m, size) || m[3] != sysex::cmdGlobalDump ||
        m[size - 1] != sysex::end)
        return std::nullopt;
    Globals globals{};
    for (size_t k = 0; k < globals.size(); ++k)
    {
        const auto low = m[4 + 2 * k], high = m[5 + 2 * k];
        if (low > 0x0F || high > 0x0F)
            return std::nullopt;
        globals[k] = (uint8_t)(low | (high << 4));
    }
    return globals;
}

} // namespace ravlin::globalDump
