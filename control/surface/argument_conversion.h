// Variants of the C interface to and from the engine's values, through the
// control's code page.
#pragma once

#include "dispatch_table.h"
#include "vornik220.h"

#include <cstdint>
#include <optional>
#include <string>

namespace vornik::surface {

// One argument or result as the engine sees it.
struct EngineValue {
    std::string text;        // Text, Bytes, ByteArray
    std::int32_t number = 0; // Short, Long
    bool flag = false;       // Bool
};

struct ConversionFailure {
    std::int32_t hresult;
    std::string description;
};

// Host variant to engine value. A string that holds a byte value is
// converted over its full length; an ordinary string up to its first zero.
// A byte array given for a string goes to the engine untouched.
std::optional<ConversionFailure> ToEngineValue(const vornik_variant& in, ArgType type, int codePage, EngineValue& out);

// Engine value to a variant the host then owns; `out` is overwritten
// without being freed, like an automation result.
std::optional<ConversionFailure> ToVariant(const EngineValue& in, ArgType type, int codePage, vornik_variant& out);

} // namespace vornik::surface
