// vornikctl's side of the control: loads the module, creates the control
// and calls it by dispatch id through the C interface only.
#pragma once

#include "host_call.h"
#include "vornik_events.h"
#include "vornik_loader.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace vornikctl {

// An argument as vornikctl passes it; the variant points into it.
struct Arg {
    enum class Kind { Text, Bytes, Short, Bool } kind = Kind::Text;
    std::string data;
    int number = 0;

    static Arg Text(std::string value) { return {Kind::Text, std::move(value), 0}; }
    static Arg Bytes(std::string value) { return {Kind::Bytes, std::move(value), 0}; }
    static Arg ShortValue(int value) { return {Kind::Short, {}, value}; }
    static Arg Flag(bool value) { return {Kind::Bool, {}, value ? -1 : 0}; }
};

struct CallResult {
    bool ok = false;
    std::int32_t type = VORNIK_VT_EMPTY;
    std::string text;  // strings and byte arrays
    int number = 0;    // numbers and booleans
    std::string error; // "description (number)" on failure
};

class CtlHost {
public:
    CtlHost(std::FILE* out, std::FILE* err)
        : out_(out)
        , err_(err)
    {
    }
    ~CtlHost();
    CtlHost(const CtlHost&) = delete;
    CtlHost& operator=(const CtlHost&) = delete;

    // Loads the module (a file, or by ProgID through the registry with the
    // module beside vornikctl as fallback) and creates the control.
    bool Start(const std::string& progId, const std::string& moduleFile, std::string& error);

    CallResult Call(std::int32_t dispid, const std::vector<Arg>& args);
    CallResult Get(std::int32_t dispid, const std::vector<Arg>& args = {});
    CallResult Put(std::int32_t dispid, const std::vector<Arg>& args);
    // Dispatch id of a member name; false when the control knows none.
    bool Dispid(const std::string& name, std::int32_t& out);

    // Delivers events for `seconds` (or until interrupted).
    void PumpFor(double seconds);
    void SetShowLog(bool show) { showLog_ = show; }
    // Ctrl-C: ends the pump and the blocking call in progress. Safe in a
    // signal handler.
    static void Interrupt();
    static bool Interrupted();

private:
    CallResult Invoke(std::int32_t dispid, std::int32_t kind, const std::vector<Arg>& args);
    static void OnEvent(void* context, std::int32_t dispid, vornik_variant* args, std::int32_t count);
    void PrintEvent(std::int32_t dispid, const vornik_variant* args, std::int32_t count);

    std::FILE* out_;
    std::FILE* err_;
    std::unique_ptr<vornik::Module> module_;
    vornik_control* control_ = nullptr;
    bool showLog_ = false;
};

// "0A FF" style hex of bytes, and text with control characters escaped.
std::string HexOf(const std::string& bytes);
std::string Printable(const std::string& text);

} // namespace vornikctl
