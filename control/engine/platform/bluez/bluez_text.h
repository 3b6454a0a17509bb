// How BlueZ spells what the platform interface carries: object paths with
// their attribute handles, device addresses, UUID texts, characteristic
// flags, and the error names mapped to the platform's results.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "../platform.h"

namespace vornik::bluez {

// The handle in the last element of a GATT object path
// (".../service000a", ".../char000b", ".../desc000d"); none when the
// element is not of that kind or its four hex digits are missing.
std::optional<std::uint16_t> HandleFromPath(std::string_view path, std::string_view kind);

// "AA:BB:CC:DD:EE:FF" <-> 48-bit number; none for anything else.
std::optional<std::uint64_t> ParseAddress(std::string_view text);
std::string FormatAddress(std::uint64_t address);

// "0000fff0-0000-1000-8000-00805f9b34fb" (either case) <-> Uuid.
std::optional<Uuid> ParseUuid(std::string_view text);
std::string FormatUuid(const Uuid& uuid);

// GattCharacteristic1.Flags as platform property bits; unknown words are
// ignored.
std::uint16_t PropertiesFromFlags(const std::vector<std::string>& flags);

// What a request was, for errors whose meaning depends on it.
enum class Request { Read, Write, Other };

// The result a failed call gives: the D-Bus error name and message
// ("org.bluez.Error.NotPermitted", "Read not permitted") mapped to a status
// and an ATT error code, with both words kept as the detail text.
platform::GattResult MapError(std::string_view name, std::string_view message, Request request);

} // namespace vornik::bluez
