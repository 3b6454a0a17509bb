// A download of 5000 readings from the simulated gauges through the
// control's C interface, as the program does it: a class 5 file in "$rd"
// blocks of 32 bytes (write, then read the reply) and a class 4 memory in
// data reads of five records. The floor is the same number of bare
// requests to the command characteristic in the same run; the ratio says
// what the gauge adds to the radio's cost. Run by hand:
//   build-release/bin/gaugesim_download_bench
#include "vornik220.h"

#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Object Ids of a gauge with the main service (fixed by its handles).
const std::string kMain = "000100000000", kCommand = "000100030000";
const std::string kMemory = "000700000000", kDirectory = "000700090000", kData = "0007000B0000";
const std::string kFileGauge = "E8C04D000501", kMemoryGauge = "E8C04D000404";
constexpr int kFileSize = 160 + 5000 * 16;

vornik_variant text(const std::string& value)
{
    vornik_variant v{};
    v.type = VORNIK_VT_STR;
    v.data = const_cast<char*>(value.data());
    v.len = static_cast<std::uint32_t>(value.size());
    return v;
}

bool invoke(vornik_control* ctl, std::int32_t dispid, std::vector<vornik_variant> args, std::string* out = nullptr)
{
    vornik_variant result{};
    const bool ok = vornik_invoke(ctl, dispid, VORNIK_INVOKE_METHOD, args.data(),
                                  static_cast<std::int32_t>(args.size()), &result) == VORNIK_S_OK;
    if (out != nullptr)
        *out = result.data ? std::string(result.data, result.len) : std::string();
    vornik_variant_clear(&result);
    return ok;
}

bool connect(vornik_control* ctl, const std::string& address)
{
    vornik_variant yes{};
    yes.type = VORNIK_VT_BOOL;
    yes.i = -1;
    return invoke(ctl, VORNIK_DISPID_Connect, {text(address)}) &&
           invoke(ctl, VORNIK_DISPID_Discover, {text(""), text(""), yes, text("")});
}

bool command(vornik_control* ctl, const std::string& sent, std::string& reply)
{
    return invoke(ctl, VORNIK_DISPID_WriteValue, {text(kMain), text(kCommand), text(""), text(sent)}) &&
           invoke(ctl, VORNIK_DISPID_ReadValue, {text(kMain), text(kCommand), text("")}, &reply);
}

// The gauge replies at once: the benchmark measures cost, not its delay.
bool replyAtOnce(const std::string& address)
{
    void* module = ::dlopen(QUEN_GAUGESIM_MODULE, RTLD_NOW | RTLD_NOLOAD);
    if (module == nullptr)
        return false;
    auto configure = reinterpret_cast<int (*)(const char*, const char*)>(::dlsym(module, "quen_gaugesim_configure"));
    const bool done = configure != nullptr && configure(address.c_str(), "reply_delay = 0") == 0;
    ::dlclose(module);
    return done;
}

double seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

}  // namespace

int main()
{
    ::setenv("VORNIK220_RADIO", "sim", 1);
    ::setenv("VORNIK_SIM_MODULE", QUEN_GAUGESIM_MODULE, 1);
    ::unsetenv("QUENCONNECT_GAUGESIM_DIR");
    vornik_control* ctl = nullptr;
    if (vornik_create(VORNIK_PROGID, &ctl) != VORNIK_S_OK) {
        vornik_error_info info{};
        vornik_get_error_info(&info);
        std::fprintf(stderr, "cannot create the control: %s\n", info.description);
        return 1;
    }
    int failed = 0;
    std::string reply;
    if (!connect(ctl, kFileGauge) || !replyAtOnce(kFileGauge)) {
        std::fprintf(stderr, "cannot connect to %s\n", kFileGauge.c_str());
        return 1;
    }
    // The floor: bare write-and-read pairs on the command characteristic.
    const int blocks = (kFileSize + 31) / 32;
    auto start = Clock::now();
    for (int i = 0; i < blocks; ++i)
        failed += !invoke(ctl, VORNIK_DISPID_WriteValue, {text(kMain), text(kCommand), text(""), text("x")}) ||
                  !invoke(ctl, VORNIK_DISPID_ReadValue, {text(kMain), text(kCommand), text("")});
    const double floorPairs = seconds(start);

    start = Clock::now();
    std::string hex;
    failed += !command(ctl, "$fr?m0006!", reply);
    const std::string handle = reply.substr(4, reply.find(' ') - 4);
    for (int done = 0; done < kFileSize; done += 32) {
        const int count = std::min(32, kFileSize - done);
        failed += !command(ctl, "$rd?" + handle + " " + std::to_string(count) + "!", reply);
        const std::size_t digits = 2 * static_cast<std::size_t>(count);
        hex += reply.substr(reply.size() - 1 - digits, digits);
    }
    failed += !command(ctl, "$fc?" + handle + "!", reply);
    const double file = seconds(start);
    std::printf("class 5 file of 5000 readings: %d blocks in %.3f s; floor %.3f s; ratio %.2f (%zu hex digits)\n",
                blocks, file, floorPairs, file / floorPairs, hex.size());

    if (!connect(ctl, kMemoryGauge)) {
        std::fprintf(stderr, "cannot connect to %s\n", kMemoryGauge.c_str());
        return 1;
    }
    const int reads = 5000 / 5 + 1;
    start = Clock::now();
    for (int i = 0; i < reads; ++i)
        failed += !invoke(ctl, VORNIK_DISPID_ReadValue, {text(kMain), text(kCommand), text("")});
    const double floorReads = seconds(start);
    start = Clock::now();
    failed += !invoke(ctl, VORNIK_DISPID_WriteValue, {text(kMemory), text(kDirectory), text(""), text("3")});
    int records = 0;
    for (std::string value;;) {
        failed += !invoke(ctl, VORNIK_DISPID_ReadValue, {text(kMemory), text(kData), text("")}, &value);
        if (value.empty())
            break;
        records += 1 + static_cast<int>(std::count(value.begin(), value.end(), '\n'));
    }
    const double memory = seconds(start);
    std::printf("class 4 memory of %d readings: %d reads in %.3f s; floor %.3f s; ratio %.2f\n", records, reads,
                memory, floorReads, memory / floorReads);
    vornik_release(ctl);
    if (failed != 0 || hex.size() != 2u * kFileSize || records != 5000) {
        std::fprintf(stderr, "download incomplete (%d failed requests)\n", failed);
        return 1;
    }
    return 0;
}
