#pragma once

#include <string_view>

/** How the plug-in's chunks in a host project begin: a marker, then the version. Stored
    projects rely on these bytes; they never change. */
namespace PresetChunkFormat
{
constexpr const char* bankChunkMarker = "Prophet12RavlinBank";
constexpr const char* programChunkMarker = "Prophet12RavlinSettings";
constexpr const char* version = "Version100";
constexpr int bankChunkHeaderSize = 29;
constexpr int programChunkHeaderSize = 33;

static_assert (std::string_view (bankChunkMarker).size() + std::string_view (version).size() == bankChunkHeaderSize);
static_assert (std::string_view (programChunkMarker).size() + std::string_view (version).size() ==
               programChunkHeaderSize);
} // namespace PresetChunkFormat
