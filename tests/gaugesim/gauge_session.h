// A host of the control on the simulated gauges, through the control's C
// interface only: connect, discover, send commands as the program does and
// read back the bytes. The gauges' run-time hooks come from the loaded
// module.
#pragma once

#include "abi_helpers.h"
#include "gauge_gatt.h"
#include "quen_gaugesim.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <poll.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace quen::gaugesim::test {

using vornik::test::boolean;
using vornik::test::Control;
using vornik::test::lastError;
using vornik::test::Result;
using vornik::test::str;

struct Event {
    std::int32_t dispid;
    std::vector<std::string> texts;
};

// The module's hooks, found in the copy the control loaded.
struct Hooks {
    int (*configure)(const char*, const char*) = nullptr;
    int (*takeReading)(const char*) = nullptr;
    const char* (*lastError)() = nullptr;

    static Hooks Find()
    {
        Hooks hooks;
        void* module = ::dlopen(QUEN_GAUGESIM_MODULE, RTLD_NOW | RTLD_NOLOAD);
        if (module == nullptr)
            return hooks;
        using Configure = int (*)(const char*, const char*);
        hooks.configure = reinterpret_cast<Configure>(::dlsym(module, "quen_gaugesim_configure"));
        hooks.takeReading = reinterpret_cast<int (*)(const char*)>(::dlsym(module, "quen_gaugesim_take_reading"));
        hooks.lastError = reinterpret_cast<const char* (*)()>(::dlsym(module, "quen_gaugesim_last_error"));
        ::dlclose(module); // the control keeps it loaded
        return hooks;
    }
};

class GaugeSession {
public:
    // Creates a control on the simulated radio with the gauge module; a
    // content folder when given.
    explicit GaugeSession(const std::string& folder = "")
    {
        ::setenv("VORNIK220_RADIO", "sim", 1);
        ::setenv("VORNIK_SIM_MODULE", QUEN_GAUGESIM_MODULE, 1);
        if (folder.empty())
            ::unsetenv(QUEN_GAUGESIM_DIR_VARIABLE);
        else
            ::setenv(QUEN_GAUGESIM_DIR_VARIABLE, folder.c_str(), 1);
        control_ = std::make_unique<Control>();
        created_ = control_->created() == VORNIK_S_OK;
        if (!created_) {
            createError_ = lastError().description;
            return;
        }
        vornik_advise(control_->get(), &GaugeSession::Sink, this);
        hooks = Hooks::Find();
    }

    bool Created() const { return created_; }
    const std::string& CreateError() const { return createError_; }
    Control& control() { return *control_; }

    // Connects and discovers everything; the object Ids by UUID.
    ::testing::AssertionResult Connect(const std::string& address)
    {
        address_ = address;
        if (control_->call(VORNIK_DISPID_Connect, {str(address)}) != VORNIK_S_OK)
            return ::testing::AssertionFailure() << "Connect " << address << ": " << lastError().description;
        ids_.clear();
        if (control_->call(VORNIK_DISPID_Discover, {str(""), str(""), boolean(true), str("")}) != VORNIK_S_OK)
            return ::testing::AssertionFailure() << "Discover: " << lastError().description;
        for (const Event& e : events)
            if (e.dispid == VORNIK_EVENT_Discovered && e.texts.size() >= 5) {
                const bool service = e.texts[0] == "0";
                ids_[e.texts[4]] = {e.texts[1], service ? "" : e.texts[2]};
            }
        return ::testing::AssertionSuccess();
    }

    bool Has(const char* uuid) const { return ids_.count(uuid) != 0; }
    std::string ServiceOf(const char* uuid) const { return Id(uuid).first; }
    std::string CharacteristicOf(const char* uuid) const { return Id(uuid).second; }

    // WriteValue to a characteristic; "" or "!" + the error.
    std::string Write(const char* uuid, const std::string& value)
    {
        if (control_->call(VORNIK_DISPID_WriteValue,
                           {str(ServiceOf(uuid)), str(CharacteristicOf(uuid)), str(""), str(value)}) != VORNIK_S_OK)
            return "!" + lastError().description;
        return "";
    }

    // ReadValue; the value, or "!" + the error. Bytes travel as the
    // control's code page 0 maps them, so the gauges' ASCII is unchanged.
    std::string Read(const char* uuid)
    {
        Result value;
        if (control_->call(VORNIK_DISPID_ReadValue, {str(ServiceOf(uuid)), str(CharacteristicOf(uuid)), str("")},
                           &value.v) != VORNIK_S_OK)
            return "!" + lastError().description;
        return value.text();
    }

    // Sends a command and reads the command characteristic until the value
    // is no longer the echo (at most `reads` times); the last value read.
    std::string Command(const std::string& command, int reads = 1);

    // Runs the control's events until `done` or the deadline.
    bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(10))
    {
        return PumpEventsUntil(*control_, done, limit);
    }

    // Events for a while without waiting on any one of them (to show that
    // something does not come).
    void PumpFor(int rounds)
    {
        const int fd = vornik_event_fd(control_->get());
        for (int i = 0; i < rounds; ++i) {
            pollfd watched{fd, POLLIN, 0};
            ::poll(&watched, 1, 5);
            vornik_do_events(control_->get());
        }
    }

    std::vector<Event> EventsOf(std::int32_t dispid) const
    {
        std::vector<Event> out;
        for (const Event& e : events)
            if (e.dispid == dispid)
                out.push_back(e);
        return out;
    }

    int Configure(const std::string& line) { return hooks.configure(address_.c_str(), line.c_str()); }
    int TakeReading() { return hooks.takeReading(address_.c_str()); }

    std::vector<Event> events;
    Hooks hooks;

private:
    std::pair<std::string, std::string> Id(const char* uuid) const
    {
        auto found = ids_.find(uuid);
        return found == ids_.end() ? std::pair<std::string, std::string>{} : found->second;
    }

    static void Sink(void* context, std::int32_t dispid, vornik_variant* args, std::int32_t count)
    {
        auto* self = static_cast<GaugeSession*>(context);
        if (!vornik::test::EventAsTableSays(dispid, args, count))
            ADD_FAILURE() << "event " << dispid << " with " << count << " arguments not as the event table says";
        Event event{dispid, vornik::test::EventTexts(args, count)};
        if (dispid != VORNIK_EVENT_Log)
            self->events.push_back(std::move(event));
    }

    std::unique_ptr<Control> control_;
    bool created_ = false;
    std::string createError_;
    std::string address_;
    std::map<std::string, std::pair<std::string, std::string>> ids_;
};

inline std::string GaugeSession::Command(const std::string& command, int reads)
{
    const std::string written = Write(gatt::kCommand, command);
    if (!written.empty())
        return written;
    std::string value;
    for (int i = 0; i < reads; ++i)
        value = Read(gatt::kCommand);
    return value;
}

} // namespace quen::gaugesim::test
