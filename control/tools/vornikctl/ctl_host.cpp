#include "ctl_host.h"

#include <poll.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cinttypes>

namespace vornikctl {
namespace {

std::atomic<bool> g_interrupted{false};
// The control a Ctrl-C interrupts, and the module's entry point for it; read
// from the signal handler.
std::atomic<vornik_control*> g_control{nullptr};
std::atomic<decltype(&vornik_interrupt)> g_interruptControl{nullptr};
constexpr int kMaxPollMillis = 100;

using vornik::host::VariantText;

// vornikctl's arguments as the variants of one call.
vornik::host::Args ToArgs(const std::vector<Arg>& args)
{
    vornik::host::Args out;
    for (const auto& arg : args) {
        switch (arg.kind) {
        case Arg::Kind::Text:
            out.Text(arg.data);
            break;
        case Arg::Kind::Bytes:
            out.Bytes(arg.data);
            break;
        case Arg::Kind::Short:
            out.Short(static_cast<std::int16_t>(arg.number));
            break;
        case Arg::Kind::Bool:
            out.Bool(arg.number != 0);
            break;
        }
    }
    return out;
}

const char* BoolText(const vornik_variant& v) { return v.i ? "True" : "False"; }

} // namespace

std::string HexOf(const std::string& bytes)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out += kDigits[b >> 4];
        out += kDigits[b & 0x0F];
    }
    return out;
}

std::string Printable(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F || c == '"' || c == '\\') {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", b);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out;
}

CtlHost::~CtlHost()
{
    g_control = nullptr;
    if (control_ && module_)
        module_->api().release(control_);
}

// Signal-safe: an atomic flag and the control's own interrupt, which ends
// the blocking call in progress with "Interrupted.".
void CtlHost::Interrupt()
{
    g_interrupted = true;
    vornik_control* control = g_control.load();
    const auto interruptControl = g_interruptControl.load();
    if (control && interruptControl)
        interruptControl(control);
}

bool CtlHost::Interrupted() { return g_interrupted.load(); }

bool CtlHost::Start(const std::string& progId, const std::string& moduleFile, std::string& error)
{
    module_ = moduleFile.empty() ? vornik::Module::load(progId, error) : vornik::Module::open(moduleFile, "", error);
    if (!module_)
        return false;
    const vornik_hresult hr = module_->create(progId, &control_);
    if (hr != VORNIK_S_OK) {
        error = "Cannot create " + progId + ": " + vornik::host::LastError(module_->api(), hr).description;
        return false;
    }
    module_->api().advise(control_, &CtlHost::OnEvent, this);
    g_interruptControl = module_->api().interrupt;
    g_control = control_;
    return true;
}

CallResult CtlHost::Invoke(std::int32_t dispid, std::int32_t kind, const std::vector<Arg>& args)
{
    const vornik::host::Args variants = ToArgs(args);
    vornik::host::Result result(module_->api());
    vornik::host::Error error;
    CallResult out;
    if (vornik::host::Caller(module_->api(), control_)
            .Invoke(dispid, kind, variants.Data(), variants.Count(), &result, &error) != VORNIK_S_OK) {
        out.error = error.Text();
        return out;
    }
    out.ok = true;
    out.type = result.Type();
    out.text = result.Text();
    out.number = result.Number();
    return out;
}

CallResult CtlHost::Call(std::int32_t dispid, const std::vector<Arg>& args)
{
    return Invoke(dispid, VORNIK_INVOKE_METHOD, args);
}

CallResult CtlHost::Get(std::int32_t dispid, const std::vector<Arg>& args)
{
    return Invoke(dispid, VORNIK_INVOKE_PROPERTYGET, args);
}

CallResult CtlHost::Put(std::int32_t dispid, const std::vector<Arg>& args)
{
    return Invoke(dispid, VORNIK_INVOKE_PROPERTYPUT, args);
}

bool CtlHost::Dispid(const std::string& name, std::int32_t& out)
{
    return module_->api().getDispid(name.c_str(), &out) == VORNIK_S_OK;
}

void CtlHost::PumpFor(double seconds)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    const int fd = module_->api().eventFd(control_);
    while (!g_interrupted) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            break;
        pollfd watched{fd, POLLIN, 0};
        ::poll(&watched, fd >= 0 ? 1 : 0, static_cast<int>(std::min<long long>(left, kMaxPollMillis)));
        module_->api().doEvents(control_);
    }
    module_->api().doEvents(control_);
}

void CtlHost::OnEvent(void* context, std::int32_t dispid, vornik_variant* args, std::int32_t count)
{
    static_cast<CtlHost*>(context)->PrintEvent(dispid, args, count);
}

void CtlHost::PrintEvent(std::int32_t dispid, const vornik_variant* a, std::int32_t count)
{
    // Arguments other than the table says are shown, not read.
    const vornik::EventInfo* info = vornik::FindEventInfo(dispid);
    if (!info || !vornik::EventArgsMatch(*info, a, count)) {
        if (info)
            std::fprintf(out_, "%s with %d unexpected arguments\n", info->name, count);
        else
            std::fprintf(out_, "Event %d\n", dispid);
        std::fflush(out_);
        return;
    }
    auto s = [&](int i) { return Printable(VariantText(a[i])); };
    switch (dispid) {
    case VORNIK_EVENT_Advertisement:
        std::fprintf(out_,
                     "Advertisement %s name=\"%s\" rssi=%d txpower=%d services=\"%s\" company=%d data=%s "
                     "connectable=%s scanresponse=%s\n",
                     s(0).c_str(), s(1).c_str(), a[2].i, a[3].i, s(4).c_str(), a[7].i,
                     HexOf(Get(VORNIK_DISPID_AdvertisementManufacturerDataB).text).c_str(), BoolText(a[9]),
                     BoolText(a[10]));
        break;
    case VORNIK_EVENT_Connected:
    case VORNIK_EVENT_Disconnected:
        std::fprintf(out_, "%s %d \"%s\"\n", info->name, a[0].i, s(1).c_str());
        break;
    case VORNIK_EVENT_Discovered:
        std::fprintf(out_, "Discovered %d %s %s %s %s \"%s\"\n", a[0].i, s(1).c_str(), s(2).c_str(), s(3).c_str(),
                     s(4).c_str(), s(5).c_str());
        break;
    case VORNIK_EVENT_Error:
        std::fprintf(out_, "Error %d \"%s\"\n", a[0].i, s(1).c_str());
        break;
    case VORNIK_EVENT_Log:
        if (showLog_)
            std::fprintf(err_, "Log [%d] %s: %s\n", a[0].i, s(2).c_str(), s(1).c_str());
        break;
    case VORNIK_EVENT_ServerUpdate:
        std::fprintf(out_, "ServerUpdate name=\"%s\" changed=\"%s\"\n", s(0).c_str(), s(1).c_str());
        break;
    case VORNIK_EVENT_StartScan:
        std::fprintf(out_, "StartScan \"%s\"\n", s(0).c_str());
        break;
    case VORNIK_EVENT_StopScan:
        std::fprintf(out_, "StopScan %d \"%s\"\n", a[0].i, s(1).c_str());
        break;
    case VORNIK_EVENT_Subscribed:
    case VORNIK_EVENT_Unsubscribed:
        std::fprintf(out_, "%s %s %s %s \"%s\"\n", info->name, s(0).c_str(), s(1).c_str(), s(2).c_str(), s(3).c_str());
        break;
    case VORNIK_EVENT_Value:
        std::fprintf(out_, "Value %s %s %s %s hex=%s text=\"%s\"\n", s(0).c_str(), s(1).c_str(), s(2).c_str(),
                     s(3).c_str(), HexOf(Get(VORNIK_DISPID_ValueValueB).text).c_str(), s(5).c_str());
        break;
    case VORNIK_EVENT_WriteResponse:
        std::fprintf(out_, "WriteResponse %s %s %s %s\n", s(0).c_str(), s(1).c_str(), s(2).c_str(), s(3).c_str());
        break;
    default:
        std::fprintf(out_, "%s\n", info->name);
        break;
    }
    std::fflush(out_);
}

} // namespace vornikctl
