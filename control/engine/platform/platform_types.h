// The few value types the platform interface shares with the engine: the
// 128-bit UUID, the result of a step with its error code and text, and the
// error codes a backend reports itself. Nothing here depends on the engine,
// so a backend builds without it.
#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <string>
#include <utility>

namespace vornik {

// Result of a step: 0 or an error code, with the text the host sees.
struct Status {
    int code = 0;
    std::string text;

    bool ok() const { return code == 0; }
    static Status Ok() { return {}; }
    static Status Error(int errorCode, std::string message) { return {errorCode, std::move(message)}; }
};

namespace err {
// No radio, or none of the kind asked for, could be set up.
inline constexpr int kNoAdapter = 613;
}  // namespace err

struct Uuid {
    // Bytes in text order: "00002902-0000-..." starts 0x00, 0x00, 0x29, 0x02.
    std::array<std::uint8_t, 16> bytes{};

    // A 32-bit SIG number on the Bluetooth base UUID
    // (xxxxxxxx-0000-1000-8000-00805F9B34FB).
    static constexpr Uuid FromShort32(std::uint32_t value)
    {
        Uuid uuid{{0, 0, 0, 0, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0x80, 0x5F, 0x9B, 0x34, 0xFB}};
        uuid.bytes[0] = static_cast<std::uint8_t>(value >> 24);
        uuid.bytes[1] = static_cast<std::uint8_t>(value >> 16);
        uuid.bytes[2] = static_cast<std::uint8_t>(value >> 8);
        uuid.bytes[3] = static_cast<std::uint8_t>(value);
        return uuid;
    }
    // A 16-bit SIG number on the Bluetooth base UUID.
    static constexpr Uuid FromShort(std::uint16_t value) { return FromShort32(value); }

    bool operator==(const Uuid&) const = default;
    auto operator<=>(const Uuid&) const = default;
};

}  // namespace vornik
