// Exported entry points that create, call and release controls.
#include "vornik220.h"

#include "automation_error.h"
#include "control.h"
#include "dispatch_table.h"
#include "error_info.h"
#include "platform/platform.h"
#include "platform/platform_factory.h"
#include "vornik_registry.h"

#include <atomic>
#include <exception>
#include <new>
#include <string_view>

using vornik::surface::Control;

namespace {

constexpr std::string_view kTextInvalidClassString = "Invalid class string.";
constexpr std::string_view kTextClassNotAvailable = "The class is not provided by this module.";
constexpr std::string_view kTextUnknownName = "Unknown name.";

std::atomic<int> g_serverLocks{0};

bool IsOurProgId(std::string_view name)
{
    using vornik::registry::lowerCase;
    const std::string lower = lowerCase(name);
    for (const char* progId : {VORNIK_PROGID, VORNIK_PROGID_INDEPENDENT, VORNIK_PROGID_LEGACY})
        if (lower == lowerCase(progId))
            return true;
    return false;
}

bool IsOurClsid(std::string_view clsid)
{
    return vornik::registry::lowerCase(clsid) == vornik::registry::lowerCase(VORNIK_CLSID);
}

vornik_hresult CreateInstance(vornik_control** out)
{
    using namespace vornik::surface;
    if (!out)
        return SetErrorInfo(VORNIK_E_POINTER, kTextNullArgument);
    *out = nullptr;
    std::string error;
    auto platform = vornik::platform::CreatePlatform(error);
    if (!platform)
        return SetErrorInfo(VORNIK_E_FAIL, error);
    Control* control = nullptr;
    try {
        control = new Control(std::move(platform));
    } catch (const std::bad_alloc&) {
        return SetErrorInfo(VORNIK_CTL_E_OUTOFMEMORY, kTextOutOfMemory);
    } catch (const std::exception& e) {
        return SetErrorInfo(VORNIK_E_FAIL, e.what());
    }
    *out = reinterpret_cast<vornik_control*>(control);
    return VORNIK_S_OK;
}

// An unlock without a lock is ignored: a negative count would let the
// module report it can be unloaded while a lock is still held.
vornik_hresult LockServer(int32_t lock)
{
    if (lock) {
        ++g_serverLocks;
        return VORNIK_S_OK;
    }
    int held = g_serverLocks.load();
    while (held > 0 && !g_serverLocks.compare_exchange_weak(held, held - 1)) { }
    return VORNIK_S_OK;
}

const vornik_class_factory kFactory = {&CreateInstance, &LockServer};

Control* AsControl(vornik_control* ctl) { return reinterpret_cast<Control*>(ctl); }

vornik_hresult NullControl()
{
    return vornik::surface::SetErrorInfo(VORNIK_E_POINTER, vornik::surface::kTextNullArgument);
}

} // namespace

extern "C" {

vornik_hresult vornik_create(const char* progid_or_clsid, vornik_control** out)
{
    using namespace vornik::surface;
    ClearErrorInfo();
    if (!progid_or_clsid || !out)
        return SetErrorInfo(VORNIK_E_POINTER, kTextNullArgument);
    *out = nullptr;
    const std::string_view name(progid_or_clsid);
    if (vornik::registry::isClsidString(name)) {
        if (!IsOurClsid(name))
            return SetErrorInfo(VORNIK_CLASS_E_CLASSNOTAVAILABLE, kTextClassNotAvailable);
    } else if (!IsOurProgId(name)) {
        return SetErrorInfo(VORNIK_CO_E_CLASSSTRING, kTextInvalidClassString);
    }
    return CreateInstance(out);
}

uint32_t vornik_add_ref(vornik_control* ctl) { return ctl ? AsControl(ctl)->AddRef() : 0; }

uint32_t vornik_release(vornik_control* ctl) { return ctl ? AsControl(ctl)->Release() : 0; }

vornik_hresult vornik_get_dispid(const char* name, int32_t* dispid)
{
    using namespace vornik::surface;
    ClearErrorInfo();
    if (!name || !dispid)
        return SetErrorInfo(VORNIK_E_POINTER, kTextNullArgument);
    if (const auto* member = FindMemberByName(name)) {
        *dispid = member->dispid;
        return VORNIK_S_OK;
    }
    if (const auto* event = FindEventByName(name)) {
        *dispid = event->dispid;
        return VORNIK_S_OK;
    }
    return SetErrorInfo(VORNIK_DISP_E_UNKNOWNNAME, kTextUnknownName);
}

vornik_hresult vornik_invoke(vornik_control* ctl, int32_t dispid, int32_t kind, const vornik_variant* args,
                             int32_t arg_count, vornik_variant* result)
{
    return ctl ? AsControl(ctl)->Invoke(dispid, kind, args, arg_count, result) : NullControl();
}

vornik_hresult vornik_advise(vornik_control* ctl, vornik_event_sink sink, void* context)
{
    return ctl ? AsControl(ctl)->Advise(sink, context) : NullControl();
}

int vornik_event_fd(vornik_control* ctl) { return ctl ? AsControl(ctl)->EventFd() : -1; }

vornik_hresult vornik_do_events(vornik_control* ctl)
{
    return vornik_invoke(ctl, VORNIK_DISPID_DoEvents, VORNIK_INVOKE_METHOD, nullptr, 0, nullptr);
}

vornik_hresult vornik_interrupt(vornik_control* ctl)
{
    // No error record: this may run in a signal handler.
    if (!ctl)
        return VORNIK_E_POINTER;
    AsControl(ctl)->Interrupt();
    return VORNIK_S_OK;
}

vornik_hresult vornik_set_pump_hook(vornik_control* ctl, vornik_pump_hook hook, void* context)
{
    return ctl ? AsControl(ctl)->SetPumpHook(hook, context) : NullControl();
}

vornik_hresult DllGetClassObject(const char* clsid, const vornik_class_factory** out)
{
    using namespace vornik::surface;
    ClearErrorInfo();
    if (!clsid || !out)
        return SetErrorInfo(VORNIK_E_POINTER, kTextNullArgument);
    *out = nullptr;
    if (!IsOurClsid(clsid))
        return SetErrorInfo(VORNIK_CLASS_E_CLASSNOTAVAILABLE, kTextClassNotAvailable);
    *out = &kFactory;
    return VORNIK_S_OK;
}

vornik_hresult DllCanUnloadNow(void)
{
    return Control::LiveCount() == 0 && g_serverLocks.load() <= 0 ? VORNIK_S_OK : VORNIK_S_FALSE;
}

} // extern "C"
