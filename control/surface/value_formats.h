// Enumeration ValueFormats: names and help strings by value.
#pragma once

#include <cstdint>

namespace vornik::surface {

// Null outside 0..27.
const char* ValueFormatName(std::int32_t format);
const char* ValueFormatHelp(std::int32_t format);

} // namespace vornik::surface
