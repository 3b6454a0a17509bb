// 128-bit UUIDs: parsing the forms hosts pass in and the one form we report.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "status.h"  // also the Uuid type

namespace vornik {

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
