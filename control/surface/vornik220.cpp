// Exported entry points that need no control: version, value formats,
// registration and the unload check.
#include "vornik220.h"

#include "error_info.h"
#include "registration.h"
#include "value_formats.h"

#include <atomic>
#include <cstring>
#include <string>

extern "C" const char* vornik_version(void) { return "2.2.0"; }

extern "C" const char* vornik_value_format_name(int32_t format) { return vornik::surface::ValueFormatName(format); }

extern "C" const char* vornik_value_format_help(int32_t format) { return vornik::surface::ValueFormatHelp(format); }

namespace {

constexpr std::string_view kUserScope = "user";

vornik_hresult ApplyRegistration(bool install, vornik::surface::RegistrationScope scope)
{
    using namespace vornik::surface;
    ClearErrorInfo();
    std::string error;
    const bool ok = install ? RegisterControl(scope, ModulePath(), error) : UnregisterControl(scope, error);
    if (ok)
        return VORNIK_S_OK;
    return SetErrorInfo(VORNIK_SELFREG_E_CLASS, error);
}

} // namespace

extern "C" vornik_hresult DllRegisterServer(void)
{
    return ApplyRegistration(true, vornik::surface::RegistrationScope::System);
}

extern "C" vornik_hresult DllUnregisterServer(void)
{
    return ApplyRegistration(false, vornik::surface::RegistrationScope::System);
}

extern "C" vornik_hresult DllInstall(int32_t install, const char* cmdline)
{
    const bool perUser = cmdline && std::string_view(cmdline) == kUserScope;
    return ApplyRegistration(install != 0, perUser ? vornik::surface::RegistrationScope::User
                                                   : vornik::surface::RegistrationScope::System);
}
