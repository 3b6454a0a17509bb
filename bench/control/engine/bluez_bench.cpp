// The control on the BlueZ backend against a mock bluetoothd on a private
// system bus: notifications per second and read round trips per second
// through the C interface, each beside a floor measured in the same run (a
// bare sdbus-c++ client receiving the same signals and making the same
// calls), and the same read round trips on the simulated radio. Run by
// hand (scripts/bench.sh):
//   build-release/bin/vornik_bluez_bench [notifications] [reads]
#include <poll.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <sdbus-c++/sdbus-c++.h>

#include "abi_helpers.h"
#include "mock_bluez.h"

namespace {

using namespace vornik::test;
using Clock = std::chrono::steady_clock;

const std::string kDevicePath = "/org/bluez/hci0/dev_E8_C0_4D_00_04_04";

long g_values = 0;

void CountValues(void*, std::int32_t dispid, vornik_variant*, std::int32_t)
{
    if (dispid == VORNIK_EVENT_Value)
        ++g_values;
}

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

void Require(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "%s failed: %s\n", what, lastError().description.c_str());
        std::exit(1);
    }
}

// Pumps the control until count Value events arrived (at most a minute).
void PumpValues(Control& control, long count)
{
    PumpEventsUntil(
        control, [count] { return g_values >= count; }, std::chrono::minutes(1));
}

double ControlNotifications(MockBluez& world, Control& control, long count)
{
    g_values = 0;
    const auto start = Clock::now();
    world.Send("w.burst('service0010/char0015', " + std::to_string(count) + ")");
    PumpValues(control, count);
    const double seconds = Seconds(start);
    world.Answer();
    Require(g_values == count, "notifications through the control");
    return count / seconds;
}

double RawNotifications(MockBluez& world, long count)
{
    auto bus = sdbus::createSystemBusConnection();
    long seen = 0;
    auto slot = bus->addMatch("type='signal',interface='org.freedesktop.DBus.Properties',member='PropertiesChanged',"
                              "path='" +
                                  kDevicePath + "/service0010/char0015'",
                              [&](sdbus::Message& message) {
                                  std::string interface;
                                  std::map<std::string, sdbus::Variant> changed;
                                  message >> interface >> changed;
                                  if (changed.count("Value"))
                                      ++seen;
                              });
    const auto start = Clock::now();
    world.Send("w.burst('service0010/char0015', " + std::to_string(count) + ")");
    const auto deadline = Clock::now() + std::chrono::minutes(1);
    while (seen < count && Clock::now() < deadline) {
        while (bus->processPendingRequest()) { }
        if (seen >= count)
            break;
        pollfd watched{bus->getEventLoopPollData().fd, POLLIN, 0};
        ::poll(&watched, 1, 20);
    }
    const double seconds = Seconds(start);
    world.Answer();
    Require(seen == count, "notifications to a bare client");
    return count / seconds;
}

double ControlReads(Control& control, const std::string& service, const std::string& characteristic, long count)
{
    const auto start = Clock::now();
    for (long i = 0; i < count; ++i) {
        Result value;
        Require(control.call(VORNIK_DISPID_ReadValue, {str(service), str(characteristic), str("")}, &value.v) ==
                    VORNIK_S_OK,
                "read through the control");
    }
    return count / Seconds(start);
}

double RawReads(long count)
{
    auto bus = sdbus::createSystemBusConnection();
    auto proxy = sdbus::createProxy(*bus, "org.bluez", kDevicePath + "/service0010/char0011");
    const auto start = Clock::now();
    for (long i = 0; i < count; ++i) {
        std::vector<std::uint8_t> value;
        proxy->callMethod("ReadValue")
            .onInterface("org.bluez.GattCharacteristic1")
            .withArguments(std::map<std::string, sdbus::Variant>{})
            .storeResultsTo(value);
    }
    return count / Seconds(start);
}

} // namespace

int main(int argc, char** argv)
{
    const long notifications = argc > 1 ? std::atol(argv[1]) : 5000;
    const long reads = argc > 2 ? std::atol(argv[2]) : 500;

    double simReads = 0;
    {
        // The demo peripheral's echo characteristic on the simulated radio.
        ::setenv("VORNIK220_RADIO", "sim", 1);
        ::setenv("VORNIK_SIM_MODULE", VORNIK_DEMO_MODULE, 1);
        Control control;
        Require(control.call(VORNIK_DISPID_Connect, {str("00C0FFEE0001")}) == VORNIK_S_OK, "sim connect");
        Require(control.call(VORNIK_DISPID_Discover, {str(""), str(""), boolean(false), str("")}) == VORNIK_S_OK,
                "sim discover");
        simReads = ControlReads(control, "000600000000", "000600080000", reads);
    }

    MockBluez world;
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", world.Address().c_str(), 1);
    ::unsetenv("VORNIK220_RADIO");
    Control control;
    Require(vornik_advise(control.get(), &CountValues, nullptr) == VORNIK_S_OK, "advise");
    Require(control.call(VORNIK_DISPID_Connect, {str(kServer)}) == VORNIK_S_OK, "connect");
    Require(control.call(VORNIK_DISPID_Discover, {str(""), str(""), boolean(true), str("")}) == VORNIK_S_OK,
            "discover");
    Require(control.call(VORNIK_DISPID_Subscribe, {str(kMain), str(kCounter)}) == VORNIK_S_OK, "subscribe");

    // The control first: its connection would queue the bare client's
    // burst too.
    const double controlNotify = ControlNotifications(world, control, notifications);
    const double rawNotify = RawNotifications(world, notifications);
    const double rawRead = RawReads(reads);
    const double controlRead = ControlReads(control, kMain, kEcho, reads);

    std::printf("BlueZ notifications through the C interface: %.0f /s (bare sdbus-c++ client: %.0f /s, ratio %.2f)\n",
                controlNotify, rawNotify, controlNotify / rawNotify);
    std::printf("BlueZ read round trips through the C interface: %.0f /s (bare sdbus-c++ calls: %.0f /s, ratio %.2f)\n",
                controlRead, rawRead, controlRead / rawRead);
    std::printf("Simulated radio read round trips through the C interface: %.0f /s "
                "(notifications on it: see vornik_engine_ops_bench)\n",
                simReads);
    return 0;
}
