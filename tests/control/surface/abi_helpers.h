// Small helpers for tests that drive the control through its C interface
// only, as a late-bound host does: the hosts' own call helper over the
// entry points this test links.
#pragma once

#include "host_call.h"
#include "vornik220.h"
#include "vornik_events.h"

#include <poll.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vornik::test {

// The C interface as a loaded module offers it, from the linked library.
inline const Api& LinkedApi()
{
    static const Api api = [] {
        Api a;
        a.create = &vornik_create;
        a.addRef = &vornik_add_ref;
        a.release = &vornik_release;
        a.getDispid = &vornik_get_dispid;
        a.invoke = &vornik_invoke;
        a.advise = &vornik_advise;
        a.eventFd = &vornik_event_fd;
        a.doEvents = &vornik_do_events;
        a.setPumpHook = &vornik_set_pump_hook;
        a.interrupt = &vornik_interrupt;
        a.getErrorInfo = &vornik_get_error_info;
        a.variantInit = &vornik_variant_init;
        a.variantClear = &vornik_variant_clear;
        a.variantSetString = &vornik_variant_set_string;
        a.variantSetBytes = &vornik_variant_set_bytes;
        a.variantSetI2 = &vornik_variant_set_i2;
        a.variantSetI4 = &vornik_variant_set_i4;
        a.variantSetBool = &vornik_variant_set_bool;
        a.valueFormatHelp = &vornik_value_format_help;
        a.version = &vornik_version;
        return a;
    }();
    return api;
}

inline vornik_variant str(const std::string& utf8) { return host::TextArg(utf8); }
inline vornik_variant i2(std::int16_t value) { return host::ShortArg(value); }
inline vornik_variant boolean(bool value) { return host::BoolArg(value); }

// A variant the control filled, freed on scope exit.
struct Result : host::Result {
    Result()
        : host::Result(LinkedApi())
    {
    }
    std::string text() const { return Text(); }
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

// True when an event's arguments are what the public event table gives it.
inline bool EventAsTableSays(std::int32_t dispid, const vornik_variant* args, std::int32_t count)
{
    const EventInfo* info = FindEventInfo(dispid);
    return info && EventArgsMatch(*info, args, count);
}

// The arguments of an event as texts (numbers and flags in decimal, byte
// arrays as they are).
inline std::vector<std::string> EventTexts(const vornik_variant* args, std::int32_t count)
{
    std::vector<std::string> texts;
    for (std::int32_t i = 0; i < count; ++i) {
        if (args[i].type == VORNIK_VT_STR || args[i].type == VORNIK_VT_BYTES)
            texts.push_back(host::VariantText(args[i]));
        else
            texts.push_back(std::to_string(args[i].i));
    }
    return texts;
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

    // `out` is overwritten on success, as the C interface does.
    vornik_hresult call(std::int32_t dispid, std::vector<vornik_variant> args, vornik_variant* out = nullptr)
    {
        return vornik_invoke(ctl_, dispid, VORNIK_INVOKE_METHOD | VORNIK_INVOKE_PROPERTYGET, args.data(),
                             static_cast<std::int32_t>(args.size()), out);
    }
    vornik_hresult put(std::int32_t dispid, std::vector<vornik_variant> args)
    {
        return caller().Invoke(dispid, VORNIK_INVOKE_PROPERTYPUT, args.data(), static_cast<std::int32_t>(args.size()));
    }
    // Config(text); the reply, or "!" + the error's description.
    std::string config(const std::string& text)
    {
        Result reply;
        host::Error error;
        if (!caller().Call(VORNIK_DISPID_Config, host::Args().Text(text), &reply, &error))
            return "!" + error.description;
        return reply.text();
    }
    host::Caller caller() const { return host::Caller(LinkedApi(), ctl_); }

private:
    vornik_control* ctl_ = nullptr;
    vornik_hresult hr_ = VORNIK_E_UNEXPECTED;
};

// Runs the control's events, waiting on its descriptor between rounds,
// until done() holds or the time is up; whether done() held.
inline bool PumpEventsUntil(Control& control, const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    const int fd = vornik_event_fd(control.get());
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        pollfd watched{fd, POLLIN, 0};
        ::poll(&watched, 1, 20);
        vornik_do_events(control.get());
    }
    return true;
}

} // namespace vornik::test
