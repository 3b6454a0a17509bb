#include "error_info.h"

#include "vornik220.h"

#include <string>

namespace vornik::surface {
namespace {

struct ThreadErrorInfo {
    bool set = false;
    AutomationError error;
    std::string source;
};

ThreadErrorInfo& Current()
{
    thread_local ThreadErrorInfo info;
    return info;
}

} // namespace

void ClearErrorInfo() { Current() = ThreadErrorInfo{}; }

std::int32_t SetErrorInfo(const AutomationError& error)
{
    auto& info = Current();
    info.set = true;
    info.error = error;
    info.source = kSource;
    return error.hresult;
}

std::int32_t SetErrorInfo(std::int32_t hresult, std::string_view description, std::int32_t helpContext)
{
    return SetErrorInfo(AutomationError{hresult, std::string(description), helpContext});
}

} // namespace vornik::surface

extern "C" vornik_hresult vornik_get_error_info(vornik_error_info* out)
{
    using namespace vornik::surface;
    if (!out)
        return VORNIK_E_POINTER;
    const auto& info = Current();
    static constexpr char kEmpty[] = "";
    *out = vornik_error_info{0, 0, kEmpty, kEmpty, kEmpty, 0};
    if (!info.set)
        return VORNIK_S_FALSE;
    out->hresult = info.error.hresult;
    out->number = ErrorNumber(info.error.hresult);
    out->description = info.error.description.c_str();
    out->source = info.source.c_str();
    out->help_context = info.error.helpContext;
    return VORNIK_S_OK;
}
