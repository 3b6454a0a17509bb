// 128-bit UUIDs: parsing the forms hosts pass in and the one form we report.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "status.h"

namespace vornik {

struct Uuid {
    // Bytes in text order: "00002902-0000-..." starts 0x00, 0x00, 0x29, 0x02.
    std::array<std::uint8_t, 16> bytes{};

    // A 16-bit SIG number on the Bluetooth base UUID.
    static Uuid FromShort(std::uint16_t value);
    // A 32-bit SIG number on the Bluetooth base UUID.
    static Uuid FromShort32(std::uint32_t value);

    bool operator==(const Uuid&) const = default;
    auto operator<=>(const Uuid&) const = default;
};

// "2902", "0x2902", "00002902", "{...}"-less 128-bit forms; spaces trimmed,
// every "0x" and "-" removed. Fails with 600.
Status ParseUuid(std::string_view text, Uuid& out);

// Comma-separated list; empty items skipped, duplicates dropped, the first
// bad item fails the whole list.
Status ParseUuidList(std::string_view text, std::vector<Uuid>& out);

// "00002902-0000-1000-8000-00805F9B34FB".
std::string FormatUuid(const Uuid& uuid);

// The formatted UUIDs joined by ",".
std::string JoinUuids(const std::vector<Uuid>& uuids);

}  // namespace vornik
