// Loads the control's module at run time and binds its C interface late:
// by ProgID through the class registry, else the module installed beside
// the program. Header-only; link with -ldl (CMAKE_DL_LIBS).
#pragma once

#include "vornik220.h"
#include "vornik_registry.h"

#include <dlfcn.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace vornik {

inline constexpr const char* kModuleFileNames[] = {"libvornik220.so.2", "libvornik220.so"};

// The C interface of one loaded module.
struct Api {
    decltype(&vornik_create) create = nullptr;
    decltype(&vornik_add_ref) addRef = nullptr;
    decltype(&vornik_release) release = nullptr;
    decltype(&vornik_get_dispid) getDispid = nullptr;
    decltype(&vornik_invoke) invoke = nullptr;
    decltype(&vornik_advise) advise = nullptr;
    decltype(&vornik_event_fd) eventFd = nullptr;
    decltype(&vornik_do_events) doEvents = nullptr;
    decltype(&vornik_set_pump_hook) setPumpHook = nullptr;
    decltype(&vornik_interrupt) interrupt = nullptr;
    decltype(&vornik_get_error_info) getErrorInfo = nullptr;
    decltype(&vornik_variant_init) variantInit = nullptr;
    decltype(&vornik_variant_clear) variantClear = nullptr;
    decltype(&vornik_variant_set_string) variantSetString = nullptr;
    decltype(&vornik_variant_set_bytes) variantSetBytes = nullptr;
    decltype(&vornik_variant_set_i2) variantSetI2 = nullptr;
    decltype(&vornik_variant_set_i4) variantSetI4 = nullptr;
    decltype(&vornik_variant_set_bool) variantSetBool = nullptr;
    decltype(&vornik_value_format_help) valueFormatHelp = nullptr;
    decltype(&DllGetClassObject) getClassObject = nullptr;
    decltype(&DllCanUnloadNow) canUnloadNow = nullptr;
    decltype(&DllInstall) install = nullptr;
    decltype(&vornik_version) version = nullptr;
};

// The directory of the running program.
inline std::filesystem::path programDirectory()
{
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::current_path(ec) : exe.parent_path();
}

class Module {
public:
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;
    ~Module()
    {
        // Unload only when the module says no control is alive any more.
        if (handle_ && api_.canUnloadNow && api_.canUnloadNow() == VORNIK_S_OK)
            dlclose(handle_);
    }

    // Resolves progIdOrClsid through the registry and loads that module;
    // when it is not registered or its module does not load, falls back to
    // the module in `fallbackDir` (the program's directory by default).
    static std::unique_ptr<Module> load(const std::string& progIdOrClsid, std::string& error,
                                        const std::filesystem::path& fallbackDir = programDirectory())
    {
        std::string reason;
        if (auto resolved = registry::resolve(progIdOrClsid, reason)) {
            if (auto module = open(resolved->module, resolved->clsid, reason))
                return module;
        }
        for (const char* name : kModuleFileNames) {
            const auto candidate = fallbackDir / name;
            if (!std::filesystem::exists(candidate))
                continue;
            std::string fallbackError;
            if (auto module = open(candidate, "", fallbackError))
                return module;
            reason += " " + fallbackError;
        }
        error = reason + " No module beside the program in " + fallbackDir.string() + ".";
        return nullptr;
    }

    // Loads one module file.
    static std::unique_ptr<Module> open(const std::filesystem::path& file, const std::string& clsid, std::string& error)
    {
        void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            const char* why = dlerror();
            error = "Cannot load " + file.string() + ": " + (why ? why : "unknown error");
            return nullptr;
        }
        std::unique_ptr<Module> module(new Module(handle, file, clsid));
        if (!module->bind(error)) {
            dlclose(handle);
            module->handle_ = nullptr;
            return nullptr;
        }
        return module;
    }

    const Api& api() const { return api_; }
    const std::filesystem::path& path() const { return path_; }

    // Creates a control: through the class object when the module came from
    // the registry, else by name.
    vornik_hresult create(const std::string& progIdOrClsid, vornik_control** out) const
    {
        if (!clsid_.empty()) {
            const vornik_class_factory* factory = nullptr;
            const vornik_hresult hr = api_.getClassObject(clsid_.c_str(), &factory);
            if (hr != VORNIK_S_OK)
                return hr;
            return factory->create_instance(out);
        }
        return api_.create(progIdOrClsid.c_str(), out);
    }

private:
    Module(void* handle, std::filesystem::path path, std::string clsid)
        : handle_(handle), path_(std::move(path)), clsid_(std::move(clsid)) {}

    template <typename F>
    bool symbol(F& target, const char* name, std::string& error)
    {
        target = reinterpret_cast<F>(dlsym(handle_, name));
        if (!target && error.empty())
            error = path_.string() + " does not export " + name;
        return target != nullptr;
    }

    bool bind(std::string& error)
    {
        error.clear();
        symbol(api_.create, "vornik_create", error);
        symbol(api_.addRef, "vornik_add_ref", error);
        symbol(api_.release, "vornik_release", error);
        symbol(api_.getDispid, "vornik_get_dispid", error);
        symbol(api_.invoke, "vornik_invoke", error);
        symbol(api_.advise, "vornik_advise", error);
        symbol(api_.eventFd, "vornik_event_fd", error);
        symbol(api_.doEvents, "vornik_do_events", error);
        symbol(api_.setPumpHook, "vornik_set_pump_hook", error);
        symbol(api_.interrupt, "vornik_interrupt", error);
        symbol(api_.getErrorInfo, "vornik_get_error_info", error);
        symbol(api_.variantInit, "vornik_variant_init", error);
        symbol(api_.variantClear, "vornik_variant_clear", error);
        symbol(api_.variantSetString, "vornik_variant_set_string", error);
        symbol(api_.variantSetBytes, "vornik_variant_set_bytes", error);
        symbol(api_.variantSetI2, "vornik_variant_set_i2", error);
        symbol(api_.variantSetI4, "vornik_variant_set_i4", error);
        symbol(api_.variantSetBool, "vornik_variant_set_bool", error);
        symbol(api_.valueFormatHelp, "vornik_value_format_help", error);
        symbol(api_.getClassObject, "DllGetClassObject", error);
        symbol(api_.canUnloadNow, "DllCanUnloadNow", error);
        symbol(api_.install, "DllInstall", error);
        symbol(api_.version, "vornik_version", error);
        return error.empty();
    }

    void* handle_;
    std::filesystem::path path_;
    std::string clsid_;
    Api api_;
};

} // namespace vornik
