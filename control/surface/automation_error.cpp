#include "automation_error.h"

#include "vornik220.h"

namespace vornik::surface {
namespace {
constexpr std::uint32_t kControlFacility = 0x800A0000u;
constexpr int kSmallCodeLimit = 10000;
constexpr int kSmallCodeOffset = 20001;
constexpr int kLargeCodeOffset = 15001;
} // namespace

std::int32_t HresultForEngineCode(int code)
{
    if (code == kEngineOutOfMemory)
        return VORNIK_CTL_E_OUTOFMEMORY;
    const int offset = code <= kSmallCodeLimit ? kSmallCodeOffset : kLargeCodeOffset;
    const auto low = static_cast<std::uint32_t>(code + offset) & 0xFFFFu;
    return static_cast<std::int32_t>(kControlFacility | low);
}

AutomationError EngineError(int code, std::string_view text, std::int32_t helpContext)
{
    AutomationError error;
    error.hresult = HresultForEngineCode(code);
    error.helpContext = helpContext;
    if (code == kEngineOutOfMemory)
        error.description = kTextOutOfMemory;
    else if (text.empty())
        error.description = kTextNoDescription;
    else
        error.description = text;
    return error;
}

std::int32_t ErrorNumber(std::int32_t hresult)
{
    const auto value = static_cast<std::uint32_t>(hresult);
    if ((value & 0xFFFF0000u) == kControlFacility)
        return static_cast<std::int32_t>(value & 0xFFFFu);
    return hresult;
}

} // namespace vornik::surface
