// Cost of the control's C interface: calls per second by dispatch id (a
// property, Config, a read from the simulated demo peripheral) and the code
// page conversion of large values. Run by hand:
//   VORNIK_SIM_MODULE=build/bin/libvornikctl_demo_peripherals.so build/bin/vornik_surface_dispatch_bench
#include "code_page.h"
#include "vornik220.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kCalls = 20000;
constexpr int kReads = 2000;
constexpr std::size_t kLargeValue = 64 * 1024;

vornik_variant text(const std::string& value)
{
    vornik_variant v{};
    v.type = VORNIK_VT_STR;
    v.data = const_cast<char*>(value.data());
    v.len = static_cast<std::uint32_t>(value.size());
    return v;
}

template <class F>
void measure(const char* what, int count, F&& call)
{
    const auto start = Clock::now();
    for (int i = 0; i < count; ++i)
        if (!call()) {
            std::printf("%-44s failed\n", what);
            return;
        }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("%-44s %10.0f calls/s  (%d calls, %.3f s)\n", what, count / seconds, count, seconds);
}

bool invoke(vornik_control* ctl, std::int32_t dispid, std::vector<vornik_variant> args)
{
    vornik_variant result{};
    const bool ok = vornik_invoke(ctl, dispid, VORNIK_INVOKE_METHOD | VORNIK_INVOKE_PROPERTYGET, args.data(),
                                  static_cast<std::int32_t>(args.size()), &result) == VORNIK_S_OK;
    vornik_variant_clear(&result);
    return ok;
}

} // namespace

int main()
{
    ::setenv("VORNIK220_RADIO", "sim", 0);
    vornik_control* ctl = nullptr;
    if (vornik_create(VORNIK_PROGID, &ctl) != VORNIK_S_OK) {
        vornik_error_info info{};
        vornik_get_error_info(&info);
        std::fprintf(stderr, "cannot create the control: %s\n", info.description);
        return 1;
    }
    const std::string logLevel = "LogLevel";
    measure("ServiceCount (property get)", kCalls, [&] { return invoke(ctl, VORNIK_DISPID_ServiceCount, {}); });
    measure("Config(\"LogLevel\")", kCalls, [&] { return invoke(ctl, VORNIK_DISPID_Config, {text(logLevel)}); });

    const std::string server = "00C0FFEE0001", service = "000600000000", echo = "000600080000", none;
    if (invoke(ctl, VORNIK_DISPID_Connect, {text(server)}) &&
        invoke(ctl, VORNIK_DISPID_Discover,
               {text(none), text(none), vornik_variant{VORNIK_VT_BOOL, -1, nullptr, 0, 0}, text(none)})) {
        const std::string small = "$quen00!";
        std::string large(kLargeValue, '\0');
        for (std::size_t i = 0; i < large.size(); ++i)
            large[i] = static_cast<char>('A' + i % 26);
        const std::string config = "LogLevel=0";
        invoke(ctl, VORNIK_DISPID_Config, {text(config)});
        measure("ReadValue, 8 bytes (simulated radio)", kReads, [&] {
            return invoke(ctl, VORNIK_DISPID_ReadValue, {text(service), text(echo), text(none)});
        });
        measure("WriteValue, 8 bytes (simulated radio)", kReads, [&] {
            return invoke(ctl, VORNIK_DISPID_WriteValue, {text(service), text(echo), text(none), text(small)});
        });
        invoke(ctl, VORNIK_DISPID_WriteValue, {text(service), text(echo), text(none), text(large)});
        measure("ReadValue, 64 KiB through CodePage 0", kReads / 10, [&] {
            return invoke(ctl, VORNIK_DISPID_ReadValue, {text(service), text(echo), text(none)});
        });
    } else {
        std::printf("no demo peripheral (set VORNIK_SIM_MODULE): reads not measured\n");
    }
    vornik_release(ctl);

    std::string bytes(kLargeValue, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i);
    const std::string utf8 = vornik::surface::FromEngine(bytes, 0).text;
    measure("64 KiB bytes -> UTF-8, CodePage 0", kReads / 10, [&] { return vornik::surface::FromEngine(bytes, 0).ok; });
    measure("64 KiB UTF-8 -> bytes, CodePage 0", kReads / 10, [&] { return vornik::surface::ToEngine(utf8, 0).ok; });
    // Many characters Windows-1251 lacks: each one is a separate iconv call.
    measure("64 KiB UTF-8 -> bytes, CodePage 1251 (iconv)", kReads / 200,
            [&] { return vornik::surface::ToEngine(utf8, 1251).ok; });
    return 0;
}
