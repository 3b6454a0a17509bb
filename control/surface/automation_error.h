// How engine error codes and the wrapper's own failures reach a host: an
// HRESULT, the error number a late-bound caller sees, a description, the
// source and the member's help context.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vornik::surface {

inline constexpr std::string_view kSource = "CorvelBLE.Vornik.1";
inline constexpr std::string_view kTextOutOfMemory = "Out of memory.";
inline constexpr std::string_view kTextNoDescription = "No description available.";
inline constexpr std::string_view kTextReadOnly = "Property is read-only.";
inline constexpr std::string_view kTextInvalidIndex = "Invalid array index.";
inline constexpr std::string_view kTextMemberNotFound = "Member not found.";
inline constexpr std::string_view kTextTypeMismatch = "Type mismatch.";
inline constexpr std::string_view kTextOverflow = "Overflow.";
inline constexpr std::string_view kTextBadParamCount = "Invalid number of parameters.";
inline constexpr std::string_view kTextWrongThread =
    "The application called an interface that was marshalled for a different thread.";
inline constexpr std::string_view kTextNullArgument = "A required pointer argument is null.";
inline constexpr std::string_view kTextReleased = "The object invoked has disconnected from its clients.";

inline constexpr int kEngineOutOfMemory = 200;

struct AutomationError {
    std::int32_t hresult = 0;
    std::string description;
    std::int32_t helpContext = 0;
};

// 0x800A0000 | (code + 20001) for codes up to 10000, else | (code + 15001);
// code 200 is always "Out of memory." (0x800A0007).
std::int32_t HresultForEngineCode(int code);

// The error of a failed engine call; `text` is the last-error text already
// converted for the host.
AutomationError EngineError(int code, std::string_view text, std::int32_t helpContext);

// The number a late-bound caller sees: the low word for control errors
// (facility 0x0A), the HRESULT itself otherwise.
std::int32_t ErrorNumber(std::int32_t hresult);

} // namespace vornik::surface
