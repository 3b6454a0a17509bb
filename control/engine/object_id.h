// Object Ids: the service, characteristic and descriptor attribute handles
// as twelve upper-case hex digits, e.g. "000C000E0010".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "status.h"

namespace vornik {

Status BuildObjectId(std::uint16_t serviceHandle, std::uint16_t characteristicHandle,
                     std::uint16_t descriptorHandle, std::string& out);

// "000C000E0010" -> "000C00000000".
std::string OwningServiceId(std::string_view id);

// Ids compare as upper-case text with surrounding spaces removed.
std::string NormaliseId(std::string_view id);

}  // namespace vornik
