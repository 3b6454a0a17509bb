// Engine operations on the simulated radio: notifications per second from
// the radio through the engine to an event sink, and the time to discover a
// 20-service tree, each with the radio's request counts; and notifications
// through the control's C interface to a host's sink, with the ratio to a
// raw callback loop over the same values. Run by hand:
//   build/bin/vornik_engine_ops_bench [notifications] [discoveries]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "ble_engine.h"
#include "control.h"
#include "platform/sim/sim_radio.h"

namespace {

using namespace vornik;
using Clock = std::chrono::steady_clock;
using sim::SimOp;

constexpr std::uint64_t kAddress = 0xA4C138F0B27Dull;
constexpr const char* kServerId = "A4C138F0B27D";
constexpr int kServices = 20;
constexpr int kCharacteristicsPerService = 3;

class CountingSink : public EngineEvents {
public:
    long values = 0;
    long discovered = 0;
    std::size_t bytes = 0;
    void Value(std::string&, std::string&, std::string&, std::string&, std::string&, std::string& value) override
    {
        ++values;
        bytes += value.size();
    }
    void Discovered(short&, std::string&, std::string&, std::string&, std::string&, std::string&) override
    {
        ++discovered;
    }
};

void Check(int code, const BleEngine& engine, const char* what)
{
    if (code != 0) {
        std::fprintf(stderr, "%s failed: %d %s\n", what, code, engine.LastError().c_str());
        std::exit(1);
    }
}

void BenchNotifications(long count)
{
    auto radio = std::make_unique<sim::SimRadio>();
    sim::SimRadio& sim = *radio;
    auto gauge = sim.AddPeripheral(kAddress, "Bench");
    const std::uint16_t service = gauge->AddService(Uuid::FromShort(0xFFE0));
    const std::uint16_t live = gauge->AddCharacteristic(service, Uuid::FromShort(0xFFE1), platform::prop::kNotify);
    BleEngine engine(std::move(radio));
    CountingSink sink;
    engine.SetEventSink(&sink);
    Check(engine.Connect(kServerId), engine, "Connect");
    Check(engine.Discover("", "", false, ""), engine, "Discover");
    Check(engine.Subscribe("000100000000", "000100030000"), engine, "Subscribe");
    gauge->ResetCounters();

    // A reading record as a gauge sends it: 20 bytes.
    const platform::Bytes reading(20, 0x35);
    const auto start = Clock::now();
    const auto deadline = start + std::chrono::seconds(60);
    constexpr long kBatch = 1000;
    for (long sent = 0; sent < count;) {
        const long batch = std::min(kBatch, count - sent);
        for (long i = 0; i < batch; ++i)
            gauge->Notify(live, reading);
        sent += batch;
        while (sink.values < sent && Clock::now() < deadline)
            engine.DoEvents();
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("notifications: %ld delivered of %ld in %.3f s = %.0f per second (%zu bytes)\n", sink.values, count,
                seconds, sink.values / seconds, sink.bytes);
    std::printf("  radio requests during the run: %d (CCCD writes %d, reads %d)\n", gauge->Count(SimOp::Any),
                gauge->Count(SimOp::WriteCccd), gauge->Count(SimOp::ReadValue));
    engine.SetEventSink(nullptr);
}

// The host's side of the C interface: a sink that counts Value events.
struct HostCounter {
    long values = 0;
    std::size_t bytes = 0;
};

void CountingHostSink(void* context, std::int32_t dispid, vornik_variant* args, std::int32_t count)
{
    auto* counter = static_cast<HostCounter*>(context);
    if (dispid != VORNIK_EVENT_Value || count != 6)
        return;
    ++counter->values;
    counter->bytes += args[5].len;
}

bool Invoke(surface::Control& control, std::int32_t dispid, std::vector<std::string> texts)
{
    std::vector<vornik_variant> args;
    for (std::string& text : texts)
        args.push_back({VORNIK_VT_STR, 0, text.data(), static_cast<std::uint32_t>(text.size()), 0});
    if (dispid == VORNIK_DISPID_Discover)
        args.insert(args.begin() + 2, vornik_variant{VORNIK_VT_BOOL, 0, nullptr, 0, 0});
    return control.Invoke(dispid, VORNIK_INVOKE_METHOD, args.data(), static_cast<std::int32_t>(args.size()), nullptr) ==
           VORNIK_S_OK;
}

// Notifications from the radio through engine and surface to a host's C
// sink, against the floor of the same sink called in a plain loop with the
// same six arguments.
void BenchHostNotifications(long count)
{
    auto radio = std::make_unique<sim::SimRadio>();
    auto gauge = radio->AddPeripheral(kAddress, "Bench");
    const std::uint16_t service = gauge->AddService(Uuid::FromShort(0xFFE0));
    const std::uint16_t live = gauge->AddCharacteristic(service, Uuid::FromShort(0xFFE1), platform::prop::kNotify);
    auto* control = new surface::Control(std::move(radio));
    HostCounter counter;
    control->Advise(&CountingHostSink, &counter);
    if (!Invoke(*control, VORNIK_DISPID_Connect, {kServerId}) ||
        !Invoke(*control, VORNIK_DISPID_Discover, {"", "", ""}) ||
        !Invoke(*control, VORNIK_DISPID_Subscribe, {"000100000000", "000100030000"})) {
        std::fprintf(stderr, "cannot subscribe through the C interface\n");
        std::exit(1);
    }
    const platform::Bytes reading(20, 0x35);
    const auto start = Clock::now();
    const auto deadline = start + std::chrono::seconds(60);
    constexpr long kBatch = 1000;
    for (long sent = 0; sent < count;) {
        const long batch = std::min(kBatch, count - sent);
        for (long i = 0; i < batch; ++i)
            gauge->Notify(live, reading);
        sent += batch;
        while (counter.values < sent && Clock::now() < deadline)
            control->Invoke(VORNIK_DISPID_DoEvents, VORNIK_INVOKE_METHOD, nullptr, 0, nullptr);
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const long delivered = counter.values;
    control->Release();

    // The floor: the sink called directly, the arguments made once.
    std::string texts[5] = {"000100000000", "000100030000", "", "0000FFE1-0000-1000-8000-00805F9B34FB", ""};
    std::string value(reading.begin(), reading.end());
    vornik_variant args[6];
    for (int i = 0; i < 5; ++i)
        args[i] = {VORNIK_VT_STR, 0, texts[i].data(), static_cast<std::uint32_t>(texts[i].size()), 0};
    args[5] = {VORNIK_VT_STR, 0, value.data(), static_cast<std::uint32_t>(value.size()), 0};
    HostCounter raw;
    // Called through a volatile pointer, as the control calls it: the loop
    // cannot be folded away.
    vornik_event_sink volatile sink = &CountingHostSink;
    const auto rawStart = Clock::now();
    for (long i = 0; i < count; ++i)
        sink(&raw, VORNIK_EVENT_Value, args, 6);
    const double rawSeconds = std::chrono::duration<double>(Clock::now() - rawStart).count();
    const double perSecond = delivered / seconds;
    const double rawPerSecond = raw.values / std::max(rawSeconds, 1e-9);
    std::printf("notifications to a host's C sink: %ld of %ld in %.3f s = %.0f per second\n", delivered, count, seconds,
                perSecond);
    std::printf("  raw callback loop over the same values: %.0f per second; the control reaches %.2f %% of it\n",
                rawPerSecond, 100.0 * perSecond / rawPerSecond);
}

std::shared_ptr<sim::SimPeripheral> TwentyServiceTree(sim::SimRadio& radio)
{
    auto gauge = radio.AddPeripheral(kAddress, "Bench");
    for (int s = 0; s < kServices; ++s) {
        const std::uint16_t service = gauge->AddService(Uuid::FromShort(static_cast<std::uint16_t>(0xA000 + s)));
        for (int c = 0; c < kCharacteristicsPerService; ++c) {
            const auto uuid = Uuid::FromShort(static_cast<std::uint16_t>(0xB000 + s * 16 + c));
            const std::uint16_t properties = c == 0 ? platform::prop::kRead | platform::prop::kNotify
                                                    : platform::prop::kRead | platform::prop::kWrite;
            const std::uint16_t chr = gauge->AddCharacteristic(service, uuid, properties, {0x01});
            gauge->AddUserDescription(chr, "Value " + std::to_string(c));
        }
    }
    return gauge;
}

void BenchDiscovery(int rounds)
{
    auto radio = std::make_unique<sim::SimRadio>();
    auto gauge = TwentyServiceTree(*radio);
    BleEngine engine(std::move(radio));
    CountingSink sink;
    engine.SetEventSink(&sink);

    double total = 0;
    double best = 1e9;
    for (int round = 0; round < rounds; ++round) {
        Check(engine.Connect(kServerId), engine, "Connect");
        gauge->ResetCounters();
        sink.discovered = 0;
        const auto start = Clock::now();
        Check(engine.Discover("", "", true, ""), engine, "Discover");
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        total += seconds;
        best = std::min(best, seconds);
        Check(engine.Disconnect(), engine, "Disconnect");
    }
    std::printf("discovery of %d services x %d characteristics with descriptors: mean %.3f ms, best %.3f ms over %d "
                "rounds\n",
                kServices, kCharacteristicsPerService, 1000 * total / rounds, 1000 * best, rounds);
    std::printf("  per discovery: %ld Discovered events; requests: services %d, characteristics %d, descriptors %d, "
                "total %d\n",
                sink.discovered, gauge->Count(SimOp::DiscoverServices), gauge->Count(SimOp::DiscoverCharacteristics),
                gauge->Count(SimOp::DiscoverDescriptors), gauge->Count(SimOp::Any));
    engine.SetEventSink(nullptr);
}

} // namespace

int main(int argc, char** argv)
{
    const long notifications = argc > 1 ? std::max(1L, std::atol(argv[1])) : 100000;
    const int discoveries = argc > 2 ? std::max(1, std::atoi(argv[2])) : 50;
    BenchNotifications(notifications);
    BenchHostNotifications(notifications);
    BenchDiscovery(discoveries);
    return 0;
}
