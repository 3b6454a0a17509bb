// The control on the BlueZ backend, through its C interface only, against
// a mock bluetoothd on a private system bus: scanning, connecting,
// discovery, reads, writes, subscriptions, errors, link loss and deadlines.
#include <gtest/gtest.h>

#include <poll.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "abi_helpers.h"
#include "mock_bluez.h"

namespace vornik::test {
namespace {

struct Recorded {
    std::int32_t dispid;
    std::vector<std::string> texts;
};

class BluezControl : public ::testing::Test {
protected:
    void SetUp() override { Start(true); }

    void Start(bool build)
    {
        world = std::make_unique<MockBluez>(build);
        ::setenv("DBUS_SYSTEM_BUS_ADDRESS", world->Address().c_str(), 1);
        ::unsetenv("VORNIK220_RADIO"); // BlueZ is the default radio
        ::unsetenv("VORNIK220_BLUEZ_ADAPTER");
        control = std::make_unique<Control>();
        ASSERT_EQ(control->created(), VORNIK_S_OK) << lastError().description;
        ASSERT_EQ(vornik_advise(control->get(), &BluezControl::sink, this), VORNIK_S_OK);
        if (std::getenv("BLUEZ_TEST_TRACE"))
            control->config("LogLevel=3");
    }

    void TearDown() override
    {
        control.reset();
        world.reset();
    }

    static void sink(void* context, std::int32_t dispid, vornik_variant* args, std::int32_t count)
    {
        auto* self = static_cast<BluezControl*>(context);
        Recorded record{dispid, EventTexts(args, count)};
        if (std::getenv("BLUEZ_TEST_TRACE"))
            for (const auto& t : record.texts)
                fprintf(stderr, "%d: %s\n", dispid, t.c_str());
        self->events.push_back(record);
        // Answered only inside the event.
        if (dispid == VORNIK_EVENT_Advertisement && self->firstRawData.empty())
            self->firstRawData = self->control->config("AdvertisementRawData");
    }

    std::vector<Recorded> eventsOf(std::int32_t dispid) const
    {
        std::vector<Recorded> out;
        for (const auto& e : events)
            if (e.dispid == dispid)
                out.push_back(e);
        return out;
    }

    // Runs the control's events until done() holds; bounded.
    bool pumpUntil(const std::function<bool()>& done)
    {
        return PumpEventsUntil(*control, done, std::chrono::seconds(15));
    }

    void connectAndDiscover()
    {
        ASSERT_EQ(control->call(VORNIK_DISPID_Connect, {str(kServer)}), VORNIK_S_OK) << lastError().description;
        ASSERT_EQ(control->call(VORNIK_DISPID_Discover, {str(""), str(""), boolean(true), str("")}), VORNIK_S_OK)
            << lastError().description;
    }

    std::string read(const std::string& characteristic, const std::string& descriptor = "")
    {
        Result value;
        if (control->call(VORNIK_DISPID_ReadValue, {str(kMain), str(characteristic), str(descriptor)}, &value.v) !=
            VORNIK_S_OK)
            return "!" + lastError().description;
        return value.text();
    }

    std::unique_ptr<MockBluez> world;
    std::unique_ptr<Control> control;
    std::vector<Recorded> events;
    std::string firstRawData;
};

TEST_F(BluezControl, ConnectResolvesServicesAndDiscoveryTakesHandlesFromPaths)
{
    connectAndDiscover();
    ASSERT_EQ(control->call(VORNIK_DISPID_DiscoverServices, {str(""), str(kMain)}), VORNIK_S_OK)
        << lastError().description;
    ASSERT_EQ(control->call(VORNIK_DISPID_DiscoverCharacteristics, {str(kBattery), str("")}), VORNIK_S_OK)
        << lastError().description;
    const auto connected = eventsOf(VORNIK_EVENT_Connected);
    ASSERT_EQ(connected.size(), 1u);
    EXPECT_EQ(connected[0].texts[0], "0");
    const std::string tree = control->config("GattObjTreeInfo");
    // Characteristic Ids carry the value handle: the path's declaration
    // handle + 1; descriptors their own.
    for (const std::string& id : {kMain, kEcho, kCounter, kPlain, kCccd, std::string("001000120013"),
                                  std::string("001000120014"), kBattery, std::string("003000320000")})
        EXPECT_NE(tree.find("ID=" + id), std::string::npos) << id << "\n" << tree;
    // The user description and presentation format were read during
    // discovery.
    EXPECT_NE(tree.find("UserDescr=\"Echo\", VFCount=1"), std::string::npos) << tree;
    Result name;
    ASSERT_EQ(control->call(VORNIK_DISPID_ServerName, {}, &name.v), VORNIK_S_OK);
    EXPECT_EQ(name.text(), "PELLAX DUAL FE");
}

TEST_F(BluezControl, ReadsAndBothKindsOfWrite)
{
    connectAndDiscover();
    EXPECT_EQ(read(kEcho), "echo");
    struct Row {
        std::int32_t dispid;
        std::string value;
        std::string type; // the "type" option bluetoothd received
    };
    for (const Row& row : {Row{VORNIK_DISPID_WriteValue, "with response", "request"},
                           Row{VORNIK_DISPID_PostValue, "without", "command"}}) {
        SCOPED_TRACE(row.type);
        std::vector<vornik_variant> args{str(kMain), str(kEcho)};
        if (row.dispid == VORNIK_DISPID_WriteValue)
            args.push_back(str(""));
        args.push_back(str(row.value));
        ASSERT_EQ(control->call(row.dispid, args), VORNIK_S_OK) << lastError().description;
        EXPECT_EQ(world->Do("w.write_type('service0010/char0011')"), row.type);
        EXPECT_EQ(read(kEcho), row.value);
    }
    EXPECT_EQ(eventsOf(VORNIK_EVENT_WriteResponse).size(), 1u);
    // A descriptor read goes to the descriptor.
    EXPECT_EQ(read(kEcho, "001000120013"), "Echo");
    // A cached read answers with what bluetoothd holds.
    Result cached;
    ASSERT_EQ(control->call(VORNIK_DISPID_QueryCharacteristicCachedVal, {i2(0)}, &cached.v), VORNIK_S_OK)
        << lastError().description;
    EXPECT_EQ(cached.text(), "without");
}

TEST_F(BluezControl, SubscriptionDeliversValueChangesAndReadsAreNotNotifications)
{
    connectAndDiscover();
    ASSERT_EQ(control->call(VORNIK_DISPID_Subscribe, {str(kMain), str(kCounter)}), VORNIK_S_OK)
        << lastError().description;
    ASSERT_EQ(eventsOf(VORNIK_EVENT_Subscribed).size(), 1u);
    EXPECT_EQ(read(kCounter, kCccd), std::string("\x01\x00", 2)); // the configuration BlueZ keeps
    for (const char* data : {"41", "4243", "440045"})
        ASSERT_EQ(world->Do(std::string("w.notify('service0010/char0015', '") + data + "')"), "");
    ASSERT_TRUE(pumpUntil([&] { return eventsOf(VORNIK_EVENT_Value).size() >= 4; }));
    auto values = eventsOf(VORNIK_EVENT_Value);
    EXPECT_EQ(values[1].texts[5], "A");
    EXPECT_EQ(values[2].texts[5], "BC");
    EXPECT_EQ(values[3].texts[5], std::string("D\0E", 3));

    // bluetoothd sets Value from a read's answer too: one Value event only.
    events.clear();
    EXPECT_EQ(read(kCounter), std::string("D\0E", 3));
    EXPECT_EQ(eventsOf(VORNIK_EVENT_Value).size(), 1u);

    ASSERT_EQ(control->call(VORNIK_DISPID_Unsubscribe, {str(kMain), str(kCounter)}), VORNIK_S_OK)
        << lastError().description;
    EXPECT_EQ(eventsOf(VORNIK_EVENT_Unsubscribed).size(), 1u);
    EXPECT_EQ(world->Do("bool(w.obj(DEVICE + '/service0010/char0015', PROPS).Get(CHAR_IFACE, 'Notifying'))"), "False");
}

TEST_F(BluezControl, BluezErrorsMapToTheControlsErrorTable)
{
    connectAndDiscover();
    struct Row {
        std::string name;
        std::string message;
        int readNumber;  // error number of a failed read
        int writeNumber; // of a failed write with response
    };
    // Numbers are 20001 + the engine's code: 700 + ATT code, 952 + (code -
    // 0xFC), 607 unreachable, 612 application error.
    const std::vector<Row> rows = {
        {"org.bluez.Error.NotPermitted", "Read not permitted", 20703, 20703},
        {"org.bluez.Error.NotPermitted", "Write not permitted", 20704, 20704},
        {"org.bluez.Error.NotPermitted", "", 20703, 20704},
        {"org.bluez.Error.NotAuthorized", "", 20709, 20709},
        {"org.bluez.Error.NotPaired", "", 20706, 20706},
        {"org.bluez.Error.NotSupported", "", 20707, 20707},
        {"org.bluez.Error.InvalidValueLength", "", 20714, 20714},
        {"org.bluez.Error.InvalidOffset", "", 20708, 20708},
        {"org.bluez.Error.InvalidArguments", "Invalid offset", 20708, 20708},
        {"org.bluez.Error.InvalidArguments", "Invalid Length", 20714, 20714},
        {"org.bluez.Error.Failed", "Operation failed with ATT error: 0x0e", 20715, 20715},
        {"org.bluez.Error.Failed", "Operation failed with ATT error: 0x80", 20613, 20613},
        {"org.bluez.Error.Failed", "Operation failed with ATT error: 0xfd", 20954, 20954},
        {"org.bluez.Error.Failed", "Not connected", 20608, 20608},
        {"org.bluez.Error.InProgress", "In Progress", 20955, 20955},
        {"org.bluez.Error.NotConnected", "", 20608, 20608},
        {"org.freedesktop.DBus.Error.NoReply", "no reply", 20608, 20608},
        {"org.bluez.Error.SomethingNew", "", 20608, 20608},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name + " " + row.message);
        ASSERT_EQ(world->Do("w.fail('service0010/char0018', CHAR_IFACE, 'ReadValue', 'a{sv}', 'ay', '" + row.name +
                            "', '" + row.message + "')"),
                  "");
        ASSERT_EQ(world->Do("w.fail('service0010/char0018', CHAR_IFACE, 'WriteValue', 'aya{sv}', '', '" + row.name +
                            "', '" + row.message + "')"),
                  "");
        EXPECT_EQ(read(kPlain).substr(0, 1), "!");
        EXPECT_EQ(lastError().number, row.readNumber) << lastError().description;
        EXPECT_NE(control->call(VORNIK_DISPID_WriteValue, {str(kMain), str(kPlain), str(""), str("v")}), VORNIK_S_OK);
        EXPECT_EQ(lastError().number, row.writeNumber) << lastError().description;
    }
    // bluetoothd's own words are in the log.
    EXPECT_EQ(control->config("LogLevel=2"), "");
    events.clear();
    read(kPlain);
    bool detailed = false;
    for (const auto& log : eventsOf(VORNIK_EVENT_Log))
        detailed = detailed || log.texts[1].find("org.bluez.Error.SomethingNew") != std::string::npos;
    EXPECT_TRUE(detailed);
}

TEST_F(BluezControl, LinkLossAndRemovalEndTheConnection)
{
    struct Row {
        std::string what;
        std::string action;
    };
    for (const Row& row : {Row{"link loss", "w.update('', 'org.bluez.Device1', {'Connected': dbus.Boolean(False)})"},
                           Row{"device removed", "w.remove_device()"}, Row{"bluetoothd ends", "w.stop_mock()"}}) {
        SCOPED_TRACE(row.what);
        if (row.what != "link loss") {
            control.reset();
            world.reset();
            Start(true);
        }
        events.clear();
        connectAndDiscover();
        ASSERT_EQ(world->Do(row.action), "");
        ASSERT_TRUE(pumpUntil([&] { return !eventsOf(VORNIK_EVENT_Disconnected).empty(); }));
        EXPECT_EQ(read(kEcho).substr(0, 1), "!");
    }
}

TEST_F(BluezControl, ADeadlineEndsAnUnansweredReadAndItsLateAnswerReachesNobody)
{
    connectAndDiscover();
    Result timeout;
    ASSERT_EQ(control->put(VORNIK_DISPID_Timeout, {i2(1)}), VORNIK_S_OK);
    ASSERT_EQ(world->Do("w.set_read('service0010/char0011', \"import time\\ntime.sleep(2.5)\\nret = "
                        "dbus.Array(b'late', signature='y')\")"),
              "");
    EXPECT_EQ(read(kEcho).substr(0, 1), "!");
    EXPECT_EQ(lastError().number, 20302) << lastError().description;
    // The mock answers "late" after the control gave up; the next read
    // gets its own answer and the late one raises nothing.
    ASSERT_EQ(world->Do("w.set_read('service0010/char0011', \"ret = dbus.Array(b'fresh', signature='y')\")"), "");
    events.clear();
    EXPECT_EQ(read(kEcho), "fresh");
    EXPECT_EQ(eventsOf(VORNIK_EVENT_Value).size(), 1u);
}

TEST_F(BluezControl, TheLinkComesBackAfterALoss)
{
    connectAndDiscover();
    ASSERT_EQ(world->Do("w.update('', 'org.bluez.Device1', {'Connected': False})"), "");
    ASSERT_TRUE(pumpUntil([&] { return !eventsOf(VORNIK_EVENT_Disconnected).empty(); }));
    ASSERT_EQ(world->Do("w.update('', 'org.bluez.Device1', {'Connected': True})"), "");
    ASSERT_TRUE(pumpUntil([&] { return eventsOf(VORNIK_EVENT_Connected).size() >= 2; }));
    EXPECT_EQ(eventsOf(VORNIK_EVENT_Connected)[1].texts[0], "0");
    EXPECT_EQ(read(kEcho), "echo");
}

TEST_F(BluezControl, ServicesChangesReachTheHostAndGoneObjectsFailClearly)
{
    connectAndDiscover();
    ASSERT_EQ(world->Do("w.add_service_later('service0040', 0x180A)"), "");
    ASSERT_TRUE(pumpUntil([&] { return !eventsOf(VORNIK_EVENT_ServerUpdate).empty(); }));
    // A characteristic bluetoothd no longer has: the read fails, nothing
    // hangs and nothing crashes.
    ASSERT_EQ(world->Do("w.remove_object('service0010/char0018', CHAR_IFACE)"), "");
    ASSERT_TRUE(pumpUntil([&] { return eventsOf(VORNIK_EVENT_ServerUpdate).size() >= 1; }));
    EXPECT_EQ(read(kPlain).substr(0, 1), "!");
    EXPECT_NE(control->call(VORNIK_DISPID_WriteValue, {str(kMain), str(kPlain), str(""), str("v")}), VORNIK_S_OK);
    EXPECT_NE(control->call(VORNIK_DISPID_Subscribe, {str(kMain), str(kPlain)}), VORNIK_S_OK);
    EXPECT_EQ(read(kEcho), "echo"); // the rest of the device still answers
}

void InterruptFromPump(void* context)
{
    auto* control = static_cast<Control*>(context);
    vornik_interrupt(control->get());
}

TEST_F(BluezControl, InterruptEndsAWaitWithoutTimeLimitWhileTheLoopRuns)
{
    connectAndDiscover();
    ASSERT_EQ(control->put(VORNIK_DISPID_Timeout, {i2(0)}), VORNIK_S_OK);
    ASSERT_EQ(world->Do("w.set_read('service0010/char0011', \"import time\\ntime.sleep(2)\\nret = "
                        "dbus.Array(b'late', signature='y')\")"),
              "");
    // The host's pump runs during the wait (the loop keeps going) and is
    // where the host asks the wait to end.
    ASSERT_EQ(vornik_set_pump_hook(control->get(), &InterruptFromPump, control.get()), VORNIK_S_OK);
    EXPECT_EQ(read(kEcho).substr(0, 1), "!");
    EXPECT_EQ(lastError().number, 20302) << lastError().description;
    EXPECT_EQ(lastError().description, "Interrupted.");
    ASSERT_EQ(vornik_set_pump_hook(control->get(), nullptr, nullptr), VORNIK_S_OK);
    ASSERT_EQ(world->Do("w.set_read('service0010/char0011', \"ret = dbus.Array(b'fresh', signature='y')\")"), "");
    EXPECT_EQ(read(kEcho), "fresh");
}

TEST_F(BluezControl, ScanReportsTheAdvertisedFields)
{
    ASSERT_EQ(world->Do("w.update('', 'org.bluez.Device1', {'RSSI': dbus.Int16(-42), 'TxPower': dbus.Int16(-4), "
                        "'UUIDs': dbus.Array(['0000fff0-0000-1000-8000-00805f9b34fb'], signature='s')})"),
              "");
    ASSERT_EQ(world->Do("w.obj(DEVICE, PROPS).Set(DEVICE_IFACE, 'ManufacturerData', dbus.Dictionary({dbus.UInt16("
                        "0x0A5C): dbus.Array(b'\\x01\\x02\\x7f', signature='y', variant_level=1)}, signature='qv'))"),
              "");
    ASSERT_EQ(control->call(VORNIK_DISPID_StartScanning, {str("0000FFF0-0000-1000-8000-00805F9B34FB")}), VORNIK_S_OK)
        << lastError().description;
    ASSERT_TRUE(pumpUntil([&] { return !eventsOf(VORNIK_EVENT_Advertisement).empty(); }));
    const auto ad = eventsOf(VORNIK_EVENT_Advertisement)[0].texts;
    EXPECT_EQ(ad[0], kServer);
    EXPECT_EQ(ad[1], "PELLAX DUAL FE");
    EXPECT_EQ(ad[2], "-42");
    EXPECT_EQ(ad[3], "-4");
    EXPECT_NE(ad[4].find("0000FFF0-0000-1000-8000-00805F9B34FB"), std::string::npos) << ad[4];
    EXPECT_EQ(ad[7], std::to_string(0x0A5C));
    EXPECT_EQ(ad[8], "\x01\x02\x7f");
    EXPECT_EQ(ad[10], "0"); // BlueZ does not tell scan responses apart
    // The raw data rebuilt from the fields, as connectable undirected (a
    // text of one character per byte).
    const auto asText = [](const std::string& bytes) {
        std::string text;
        for (const unsigned char byte : bytes) {
            if (byte < 0x80) {
                text += static_cast<char>(byte);
            } else {
                text += static_cast<char>(0xC0 | byte >> 6);
                text += static_cast<char>(0x80 | (byte & 0x3F));
            }
        }
        return text;
    };
    ASSERT_GT(firstRawData.size(), 5u);
    EXPECT_EQ(firstRawData[4], '\x00');
    for (const std::string& section : {std::string("\x03\x03\xF0\xFF"), std::string("\x0F\x09PELLAX DUAL FE"),
                                       std::string("\x02\x0A\xFC"), std::string("\x06\xFF\x5C\x0A\x01\x02\x7F")})
        EXPECT_NE(firstRawData.find(asText(section)), std::string::npos) << testing::PrintToString(firstRawData);
    // The discovery filter asked bluetoothd for LE only and the service.
    const std::string filter = world->Do("str(w.obj(ADAPTER, PROPS).Get('org.bluez.Adapter1', 'DiscoveryFilter'))");
    EXPECT_NE(filter.find("'le'"), std::string::npos) << filter;
    EXPECT_NE(filter.find("0000fff0-0000-1000-8000-00805f9b34fb"), std::string::npos) << filter;
    // A change while scanning is a new advertisement.
    ASSERT_EQ(world->Do("w.update('', 'org.bluez.Device1', {'RSSI': dbus.Int16(-50)})"), "");
    ASSERT_TRUE(pumpUntil([&] { return eventsOf(VORNIK_EVENT_Advertisement).size() >= 2; }));
    EXPECT_EQ(eventsOf(VORNIK_EVENT_Advertisement)[1].texts[2], "-50");
    ASSERT_EQ(control->call(VORNIK_DISPID_StopScanning, {}), VORNIK_S_OK);
    ASSERT_EQ(eventsOf(VORNIK_EVENT_StopScan).size(), 1u);
    EXPECT_EQ(eventsOf(VORNIK_EVENT_StopScan)[0].texts[0], "0");
    EXPECT_EQ(world->Do("bool(w.obj(ADAPTER, PROPS).Get('org.bluez.Adapter1', 'Discovering'))"), "False");
}

TEST_F(BluezControl, SwitchingTheAdapterOffEndsTheScanWithAnError)
{
    ASSERT_EQ(control->call(VORNIK_DISPID_StartScanning, {str("")}), VORNIK_S_OK) << lastError().description;
    ASSERT_EQ(world->Do("w.switch_off()"), "");
    ASSERT_TRUE(pumpUntil([&] { return !eventsOf(VORNIK_EVENT_StopScan).empty(); }));
    EXPECT_NE(eventsOf(VORNIK_EVENT_StopScan)[0].texts[0], "0");
    Result scanning;
    ASSERT_EQ(control->call(VORNIK_DISPID_Scanning, {}, &scanning.v), VORNIK_S_OK);
    EXPECT_EQ(scanning.v.i, 0);
}

TEST(BluezRadio, WithoutBusOrAdapterThereIsNoAdapter)
{
    struct Row {
        std::string what;
        bool world;
    };
    for (const Row& row : {Row{"no system bus", false}, Row{"bluetoothd without adapter", true}}) {
        SCOPED_TRACE(row.what);
        std::unique_ptr<MockBluez> world;
        if (row.world) {
            world = std::make_unique<MockBluez>(false);
            ::setenv("DBUS_SYSTEM_BUS_ADDRESS", world->Address().c_str(), 1);
        } else {
            ::setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/system_bus_socket", 1);
        }
        ::unsetenv("VORNIK220_RADIO");
        Control control;
        ASSERT_EQ(control.created(), VORNIK_S_OK);
        EXPECT_NE(control.call(VORNIK_DISPID_StartScanning, {str("")}), VORNIK_S_OK);
        EXPECT_EQ(lastError().description, "No Bluetooth adapter found.");
    }
}

} // namespace
} // namespace vornik::test
