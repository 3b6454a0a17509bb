// The demo peripheral of `vornikctl --sim`, loaded by the simulated radio:
// "Vornik Demo" with a Device Information service and a service holding an
// echo characteristic (what is written is read back) and a counter that
// notifies every 200 ms. A second, silent peripheral, "Vornik Slow", never
// answers a service discovery: it shows how a blocking call with Timeout 0
// is ended (Ctrl-C in vornikctl, vornik_interrupt in a host).
#include "platform/sim/sim_radio.h"

#include <atomic>
#include <string>

namespace {

constexpr std::uint64_t kAddress = 0x00C0FFEE0001ULL;
constexpr const char* kName = "Vornik Demo";
constexpr std::uint16_t kDemoService = 0xFFF0;
constexpr std::uint16_t kEcho = 0xFFF1;
constexpr std::uint16_t kCounter = 0xFFF2;
constexpr std::uint16_t kDeviceInformation = 0x180A;
constexpr std::uint16_t kManufacturerName = 0x2A29;
constexpr std::uint16_t kModelNumber = 0x2A24;
constexpr std::uint16_t kCompanyId = 0xFFFF; // reserved for tests and demos
constexpr std::int8_t kTxPower = -4;
constexpr auto kCounterPeriod = std::chrono::milliseconds(200);
constexpr std::uint64_t kSlowAddress = 0x00C0FFEE0002ULL;
constexpr const char* kSlowName = "Vornik Slow";
constexpr auto kNever = std::chrono::hours(24);

vornik::platform::Bytes Bytes(const std::string& text) { return {text.begin(), text.end()}; }

} // namespace

extern "C" __attribute__((visibility("default"))) int vornik_sim_populate(vornik::sim::SimRadio* radio)
{
    using vornik::Uuid;
    namespace prop = vornik::platform::prop;
    auto demo = radio->AddPeripheral(kAddress, kName);
    auto& advertising = demo->Advertising();
    advertising.data.localName = kName;
    advertising.data.flags = 0x06;
    advertising.data.serviceUuids = {Uuid::FromShort(kDemoService)};
    advertising.data.manufacturerData = {{kCompanyId, {0x01, 0x02, 0x00, 0xFF}}};
    advertising.data.txPower = kTxPower;

    const auto info = demo->AddService(Uuid::FromShort(kDeviceInformation));
    demo->AddCharacteristic(info, Uuid::FromShort(kManufacturerName), prop::kRead, Bytes("Vornik"));
    demo->AddCharacteristic(info, Uuid::FromShort(kModelNumber), prop::kRead, Bytes("Demo 1"));

    const auto service = demo->AddService(Uuid::FromShort(kDemoService));
    const auto echo = demo->AddCharacteristic(service, Uuid::FromShort(kEcho),
                                              prop::kRead | prop::kWrite | prop::kWriteWithoutResponse, Bytes("echo"));
    demo->AddUserDescription(echo, "Echo");
    const auto counter =
        demo->AddCharacteristic(service, Uuid::FromShort(kCounter), prop::kRead | prop::kNotify, Bytes("Count 0"));
    demo->AddUserDescription(counter, "Counter");
    auto count = std::make_shared<std::atomic<int>>(0);
    demo->NotifyEvery(kCounterPeriod, counter, [count] { return Bytes("Count " + std::to_string(++*count)); });

    auto slow = radio->AddPeripheral(kSlowAddress, kSlowName);
    slow->Advertising().enabled = false;
    slow->AddService(Uuid::FromShort(kDeviceInformation));
    slow->SetLatency(vornik::sim::SimOp::DiscoverServices, kNever);
    return 0;
}
