// Small helpers for tests that drive the control through its C interface
// only, as a late-bound host does.
#pragma once

#include "vornik220.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vornik::test {

inline vornik_variant str(const std::string& utf8)
{
    vornik_variant v{};
    v.type = VORNIK_VT_STR;
    v.data = const_cast<char*>(utf8.data());
    v.len = static_cast<std::uint32_t>(utf8.size());
    return v;
}

inline vornik_variant i2(std::int16_t value)
{
    vornik_variant v{};
    v.type = VORNIK_VT_I2;
    v.i = value;
    return v;
}

inline vornik_variant boolean(bool value)
{
    vornik_variant v{};
    v.type = VORNIK_VT_BOOL;
    v.i = value ? -1 : 0;
    return v;
}

// A variant the control filled, freed on scope exit.
struct Result {
    vornik_variant v{};
    ~Result() { vornik_variant_clear(&v); }
    std::string text() const { return v.data ? std::string(v.data, v.len) : std::string(); }
};

struct ErrorRecord {
    std::uint32_t hresult = 0;
    std::int32_t number = 0;
    std::string description;
    std::string source;
    std::int32_t helpContext = 0;
};

inline ErrorRecord lastError()
{
    vornik_error_info info{};
    vornik_get_error_info(&info);
    return {static_cast<std::uint32_t>(info.hresult), info.number, info.description, info.source, info.help_context};
}

// Owns one control.
class Control {
public:
    explicit Control(const char* name = VORNIK_PROGID_INDEPENDENT) { hr_ = vornik_create(name, &ctl_); }
    ~Control()
    {
        if (ctl_)
            vornik_release(ctl_);
    }
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    vornik_control* get() const { return ctl_; }
    // For a control the test released itself.
    void forget() { ctl_ = nullptr; }
    vornik_hresult created() const { return hr_; }

    vornik_hresult call(std::int32_t dispid, std::vector<vornik_variant> args, vornik_variant* out = nullptr)
    {
        return vornik_invoke(ctl_, dispid, VORNIK_INVOKE_METHOD | VORNIK_INVOKE_PROPERTYGET, args.data(),
                             static_cast<std::int32_t>(args.size()), out);
    }
    vornik_hresult put(std::int32_t dispid, std::vector<vornik_variant> args)
    {
        return vornik_invoke(ctl_, dispid, VORNIK_INVOKE_PROPERTYPUT, args.data(),
                             static_cast<std::int32_t>(args.size()), nullptr);
    }
    // Config(text); the reply, or "!" + the error's description.
    std::string config(const std::string& text)
    {
        Result r;
        if (call(VORNIK_DISPID_Config, {str(text)}, &r.v) != VORNIK_S_OK)
            return "!" + lastError().description;
        return r.text();
    }

private:
    vornik_control* ctl_ = nullptr;
    vornik_hresult hr_ = VORNIK_E_UNEXPECTED;
};

} // namespace vornik::test
