// The control on the BlueZ backend against a bluetoothd that says odd
// things: properties missing or of other types, texts that mean nothing,
// replies of the wrong form, errors nobody knows and signals that do not fit.
// Each row alters one thing in a fresh world; the request it drives ends
// with a clear error or a sensible result, and a normal request works after.
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

const std::string kServer = "E8C04D000404";
const std::string kMain = "001000000000";
const std::string kEcho = "001000120000";    // char0011
const std::string kCounter = "001000160000"; // char0015: notify and indicate
const std::string kPlain = "001000190000";   // char0018, value "x"
const std::string kCccd = "001000160017";
const std::string kEchoName = "001000120013"; // user description "Echo"

constexpr int kAnyFailure = -1;
constexpr int kUnreachable = 20608;
constexpr int kNotDiscovered = 20602;
constexpr int kTimeout = 20302;

// What a row asks of the control once the world is altered.
enum class Ask {
    Connect,      // Connect only
    Discover,     // Connect, then Discover with descriptors
    ServerName,   // after Discover
    Read,         // after Discover: the characteristic `target`
    ReadDetail,   // after Discover: the user description of kEcho
    Write,        // after Discover: WriteValue to `target`
    Subscribe,    // after Discover: Subscribe to `target`
    Notification, // subscribed to kCounter, `during` sent, then one good value
    Scan,         // a scan: the first advertisement's fields
    Tree,         // after Discover: how many objects the tree lists
};

// What shows the control still works afterwards.
enum class Then { ReadEcho, Scan };

struct Odd {
    std::string what;
    std::vector<std::string> before; // helper statements before the control starts
    std::vector<std::string> during; // after Discover (or the scan's start)
    Ask ask;
    std::string target;
    int number;         // 0: success, kAnyFailure, or the error number
    std::string answer; // on success; "*": any
    Then then = Then::ReadEcho;
    std::int16_t timeout = 5; // the control's Timeout, seconds
};

class BluezOddWorld : public ::testing::Test {
protected:
    void TearDown() override { Stop(); }

    void Stop()
    {
        control.reset();
        world.reset();
        events.clear();
    }

    bool Start(const std::vector<std::string>& before)
    {
        Stop();
        world = std::make_unique<MockBluez>(true);
        for (const std::string& statement : before)
            if (const std::string answer = world->Do(statement); !answer.empty() && answer[0] == '!') {
                ADD_FAILURE() << statement << ": " << answer;
                return false;
            }
        ::setenv("DBUS_SYSTEM_BUS_ADDRESS", world->Address().c_str(), 1);
        ::unsetenv("VORNIK220_RADIO");
        ::unsetenv("VORNIK220_BLUEZ_ADAPTER");
        control = std::make_unique<Control>();
        return control->created() == VORNIK_S_OK && vornik_advise(control->get(), &BluezOddWorld::Sink, this) == 0;
    }

    static void Sink(void* context, std::int32_t dispid, vornik_variant* args, std::int32_t count)
    {
        auto* self = static_cast<BluezOddWorld*>(context);
        Recorded record{dispid, {}};
        for (std::int32_t i = 0; i < count; ++i)
            record.texts.push_back(args[i].type == VORNIK_VT_STR || args[i].type == VORNIK_VT_BYTES
                                       ? std::string(args[i].data, args[i].len)
                                       : std::to_string(args[i].i));
        self->events.push_back(std::move(record));
    }

    std::vector<std::vector<std::string>> EventsOf(std::int32_t dispid) const
    {
        std::vector<std::vector<std::string>> out;
        for (const auto& e : events)
            if (e.dispid == dispid)
                out.push_back(e.texts);
        return out;
    }

    // Runs the control's events until done() holds or the time is up.
    bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
    {
        const int fd = vornik_event_fd(control->get());
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            pollfd watched{fd, POLLIN, 0};
            ::poll(&watched, 1, 20);
            vornik_do_events(control->get());
        }
        return true;
    }

    struct Outcome {
        int number = 0;
        std::string answer;
    };

    Outcome Called(vornik_hresult hr, const std::string& answer = "")
    {
        if (hr == VORNIK_S_OK)
            return {0, answer};
        const ErrorRecord error = lastError();
        return {error.number, error.description};
    }

    Outcome Connected(bool discover)
    {
        if (Outcome o = Called(control->call(VORNIK_DISPID_Connect, {str(kServer)})); o.number || !discover)
            return o;
        return Called(control->call(VORNIK_DISPID_Discover, {str(""), str(""), boolean(true), str("")}));
    }

    Outcome Read(const std::string& characteristic, const std::string& descriptor = "")
    {
        Result value;
        const vornik_hresult hr =
            control->call(VORNIK_DISPID_ReadValue, {str(kMain), str(characteristic), str(descriptor)}, &value.v);
        return Called(hr, hr == VORNIK_S_OK ? value.text() : "");
    }

    void Send(const std::vector<std::string>& statements)
    {
        for (const std::string& statement : statements)
            EXPECT_EQ(world->Do(statement), "") << statement;
    }

    Outcome Scan(const Odd& row)
    {
        if (Outcome o = Called(control->call(VORNIK_DISPID_StartScanning, {str("")})); o.number)
            return o;
        Send(row.during);
        const auto heard = [&] { return !EventsOf(VORNIK_EVENT_Advertisement).empty(); };
        PumpUntil(heard, std::chrono::milliseconds(1500));
        const auto ads = EventsOf(VORNIK_EVENT_Advertisement);
        std::string answer = ads.empty() ? "none" : ads[0][0] + " " + ads[0][2];
        for (const auto& ad : ads)
            if (ad[0] != kServer)
                answer += " and " + ad[0];
        if (Outcome o = Called(control->call(VORNIK_DISPID_StopScanning, {})); o.number)
            return o;
        return {0, answer};
    }

    Outcome Notification(const Odd& row)
    {
        if (Outcome o = Called(control->call(VORNIK_DISPID_Subscribe, {str(kMain), str(kCounter)})); o.number)
            return o;
        events.clear();
        Send(row.during);
        EXPECT_EQ(world->Do("w.notify('service0010/char0015', '41')"), "");
        const auto good = [&] {
            const auto values = EventsOf(VORNIK_EVENT_Value);
            return !values.empty() && values.back()[5] == "A";
        };
        PumpUntil(good, std::chrono::seconds(5));
        std::string answer;
        for (const auto& value : EventsOf(VORNIK_EVENT_Value))
            answer += "[" + value[5] + "]";
        return {0, answer};
    }

    Outcome Asked(const Odd& row)
    {
        if (row.ask == Ask::Scan)
            return Scan(row);
        if (Outcome o = Connected(row.ask != Ask::Connect);
            o.number || row.ask == Ask::Connect || row.ask == Ask::Discover)
            return o;
        if (row.ask == Ask::Notification)
            return Notification(row);
        Send(row.during);
        switch (row.ask) {
        case Ask::ServerName: {
            Result name;
            const vornik_hresult hr = control->call(VORNIK_DISPID_ServerName, {}, &name.v);
            return Called(hr, hr == VORNIK_S_OK ? name.text() : "");
        }
        case Ask::Read:
            return Read(row.target);
        case Ask::Tree: {
            const std::string tree = control->config("GattObjTreeInfo");
            std::size_t count = 0;
            for (auto at = tree.find("ID="); at != std::string::npos; at = tree.find("ID=", at + 1))
                ++count;
            if (std::getenv("ODD_TRACE"))
                fprintf(stderr, "%s\n", tree.c_str());
            return {0, std::to_string(count)};
        }
        case Ask::ReadDetail:
            return Read(kEcho, kEchoName);
        case Ask::Write:
            return Called(control->call(VORNIK_DISPID_WriteValue, {str(kMain), str(row.target), str(""), str("v")}));
        case Ask::Subscribe:
            return Called(control->call(VORNIK_DISPID_Subscribe, {str(kMain), str(row.target)}));
        default:
            return {};
        }
    }

    void StillWorks(const Odd& row)
    {
        if (row.then == Then::Scan) {
            EXPECT_EQ(Called(control->call(VORNIK_DISPID_StartScanning, {str("")})).number, 0);
            EXPECT_EQ(Called(control->call(VORNIK_DISPID_StopScanning, {})).number, 0);
            return;
        }
        // A whole round again: down (whatever the state), up, discovered.
        control->call(VORNIK_DISPID_Disconnect, {});
        const Outcome up = Connected(true);
        ASSERT_EQ(up.number, 0) << up.answer;
        const Outcome echo = Read(kEcho);
        EXPECT_EQ(echo.number, 0) << echo.answer;
        EXPECT_EQ(echo.answer, "echo");
    }

    void Sweep(const std::vector<Odd>& rows)
    {
        for (const Odd& row : rows) {
            SCOPED_TRACE(row.what);
            if (!Start(row.before))
                continue;
            ASSERT_EQ(control->put(VORNIK_DISPID_Timeout, {i2(row.timeout)}), VORNIK_S_OK);
            const Outcome outcome = Asked(row);
            if (std::getenv("ODD_TRACE"))
                fprintf(stderr, "%s: %d %s\n", row.what.c_str(), outcome.number, outcome.answer.substr(0, 60).c_str());
            if (row.number == kAnyFailure) {
                EXPECT_NE(outcome.number, 0) << outcome.answer;
            } else {
                EXPECT_EQ(outcome.number, row.number) << outcome.answer;
            }
            if (row.number == 0 && row.answer != "*") {
                EXPECT_EQ(outcome.answer, row.answer);
            }
            StillWorks(row);
        }
    }

    struct Recorded {
        std::int32_t dispid;
        std::vector<std::string> texts;
    };
    std::unique_ptr<MockBluez> world;
    std::unique_ptr<Control> control;
    std::vector<Recorded> events;
};

// A statement that sets one property of a named object (no signal reaches
// anybody: the control starts afterwards).
std::string Set(const std::string& name, const std::string& iface, const std::string& property,
                const std::string& value)
{
    const std::string path = name.empty() ? "DEVICE" : "DEVICE + '/" + name + "'";
    return "w.obj(" + path + ", PROPS).Set(" + iface + ", '" + property + "', " + value + ")";
}

std::string Drop(const std::string& name, const std::string& iface, const std::string& property)
{
    return "w.drop('" + name + "', " + iface + ", '" + property + "')";
}

const std::string kHeard = Set("", "DEVICE_IFACE", "RSSI", "dbus.Int16(-42)");

TEST_F(BluezOddWorld, DevicePropertiesOfOtherTypesOrMissing)
{
    const std::string connectOdd = "w.set_method('', DEVICE_IFACE, 'Connect', '', \"self.UpdateProperties("
                                   "'org.bluez.Device1', {'Connected': dbus.Boolean(True), 'ServicesResolved': ";
    Sweep({
        {"Address missing", {Drop("", "DEVICE_IFACE", "Address")}, {}, Ask::Connect, "", kAnyFailure, "", Then::Scan},
        {"Address a number",
         {Set("", "DEVICE_IFACE", "Address", "dbus.UInt32(7)")},
         {},
         Ask::Connect,
         "",
         kAnyFailure,
         "",
         Then::Scan},
        {"Address not an address",
         {Set("", "DEVICE_IFACE", "Address", "'E8:C0:4D:00:04'")},
         {},
         Ask::Connect,
         "",
         kAnyFailure,
         "",
         Then::Scan},
        {"Name a number", {Set("", "DEVICE_IFACE", "Name", "dbus.Int32(5)")}, {}, Ask::ServerName, "", 0, ""},
        {"Name missing", {Drop("", "DEVICE_IFACE", "Name")}, {}, Ask::ServerName, "", 0, ""},
        {"ServicesResolved a number",
         {connectOdd + "dbus.Int32(1)})\")"},
         {},
         Ask::Connect,
         "",
         kTimeout,
         "",
         Then::Scan,
         1},
        {"RSSI an int32",
         {Set("", "DEVICE_IFACE", "RSSI", "dbus.Int32(-42)")},
         {},
         Ask::Scan,
         "",
         0,
         "none",
         Then::Scan},
        {"TxPower a string",
         {kHeard, Set("", "DEVICE_IFACE", "TxPower", "'loud'")},
         {},
         Ask::Scan,
         "",
         0,
         kServer + " -42",
         Then::Scan},
        {"UUIDs not UUIDs",
         {kHeard, Set("", "DEVICE_IFACE", "UUIDs", "dbus.Array(['fff0', '', 'x' * 36], signature='s')")},
         {},
         Ask::Scan,
         "",
         0,
         kServer + " -42",
         Then::Scan},
        {"UUIDs numbers",
         {kHeard, Set("", "DEVICE_IFACE", "UUIDs", "dbus.Array([1, 2], signature='u')")},
         {},
         Ask::Scan,
         "",
         0,
         kServer + " -42",
         Then::Scan},
        {"ManufacturerData keyed by text",
         {kHeard, "w.obj(DEVICE, PROPS).Set(DEVICE_IFACE, 'ManufacturerData', dbus.Dictionary({'x': dbus.Array(b'1', "
                  "signature='y', variant_level=1)}, signature='sv'))"},
         {},
         Ask::Scan,
         "",
         0,
         kServer + " -42",
         Then::Scan},
        {"ManufacturerData of a text",
         {kHeard, "w.obj(DEVICE, PROPS).Set(DEVICE_IFACE, 'ManufacturerData', dbus.Dictionary({dbus.UInt16(1): "
                  "dbus.String('x', variant_level=1)}, signature='qv'))"},
         {},
         Ask::Scan,
         "",
         0,
         kServer + " -42",
         Then::Scan},
        {"ManufacturerData of a megabyte",
         {kHeard, "w.obj(DEVICE, PROPS).Set(DEVICE_IFACE, 'ManufacturerData', dbus.Dictionary({dbus.UInt16(1): "
                  "dbus.Array(bytes(1 << 20), signature='y', variant_level=1)}, signature='qv'))"},
         {},
         Ask::Scan,
         "",
         0,
         kServer + " -42",
         Then::Scan},
        {"ServiceData keyed by nonsense",
         {kHeard, "w.obj(DEVICE, PROPS).Set(DEVICE_IFACE, 'ServiceData', dbus.Dictionary({'nonsense': dbus.Array("
                  "b'1', signature='y', variant_level=1), '180f': dbus.Int32(3, variant_level=1)}, signature='sv'))"},
         {},
         Ask::Scan,
         "",
         0,
         kServer + " -42",
         Then::Scan},
        {"ServiceData a list",
         {kHeard, Set("", "DEVICE_IFACE", "ServiceData", "dbus.Array(['x'], signature='s')")},
         {},
         Ask::Scan,
         "",
         0,
         kServer + " -42",
         Then::Scan},
    });
}

// A GATT object added as bluetoothd would list it, with the given
// properties text (a Python dictionary body).
std::string Object(const std::string& name, const std::string& iface, const std::string& properties)
{
    return "w.obj('/').AddObject(DEVICE + '/" + name + "', " + iface + ", {" + properties + "}, [])";
}

const std::string kReadable = "'Flags': dbus.Array(['read'], signature='s')";

TEST_F(BluezOddWorld, GattObjectsOfOddShape)
{
    const std::string kObjects = "7"; // what the tree lists of the normal world
    const std::string under = "'Service': dbus.ObjectPath(DEVICE + '/service0010'), ";
    Sweep({
        {"service UUID missing", {Drop("service0030", "SERVICE_IFACE", "UUID")}, {}, Ask::Discover, "", 0, ""},
        {"service UUID not a UUID",
         {Set("service0030", "SERVICE_IFACE", "UUID", "'battery'")},
         {},
         Ask::Discover,
         "",
         0,
         ""},
        {"service UUID a number",
         {Set("service0030", "SERVICE_IFACE", "UUID", "dbus.UInt16(0x180F)")},
         {},
         Ask::Discover,
         "",
         0,
         ""},
        {"Primary a text", {Set("service0030", "SERVICE_IFACE", "Primary", "'no'")}, {}, Ask::Discover, "", 0, ""},
        {"Includes texts",
         {Set("service0010", "SERVICE_IFACE", "Includes", "dbus.Array(['x'], signature='s')")},
         {},
         Ask::Discover,
         "",
         0,
         ""},
        {"Includes a service that is not there",
         {Set("service0010", "SERVICE_IFACE", "Includes", "dbus.Array([DEVICE + '/service0099'], signature='o')")},
         {},
         Ask::Discover,
         "",
         0,
         ""},
        {"Includes itself",
         {Set("service0010", "SERVICE_IFACE", "Includes", "dbus.Array([DEVICE + '/service0010'], signature='o')")},
         {},
         Ask::Discover,
         "",
         0,
         ""},
        {"characteristic UUID not a UUID",
         {Set("service0010/char0018", "CHAR_IFACE", "UUID", "'plain'")},
         {},
         Ask::Read,
         kPlain,
         0,
         "x"},
        {"Flags with unknown words",
         {Set("service0010/char0018", "CHAR_IFACE", "Flags", "dbus.Array(['read', 'teleport', ''], signature='s')")},
         {},
         Ask::Read,
         kPlain,
         0,
         "x"},
        {"Flags a text", {Set("service0010/char0018", "CHAR_IFACE", "Flags", "'read'")}, {}, Ask::Read, kPlain, 0, "*"},
        {"Flags missing", {Drop("service0010/char0018", "CHAR_IFACE", "Flags")}, {}, Ask::Read, kPlain, 0, "*"},
        {"Service names no service",
         {Set("service0010/char0018", "CHAR_IFACE", "Service", "dbus.ObjectPath(DEVICE + '/service0099')")},
         {},
         Ask::Read,
         kPlain,
         kNotDiscovered,
         ""},
        {"Service a text",
         {Set("service0010/char0018", "CHAR_IFACE", "Service", "'service0010'")},
         {},
         Ask::Read,
         kPlain,
         0,
         "x"},
        {"descriptor whose characteristic is gone",
         {Set("service0010/char0011/desc0013", "DESC_IFACE", "Characteristic",
              "dbus.ObjectPath(DEVICE + '/service0010/char0099')")},
         {},
         Ask::ReadDetail,
         "",
         kAnyFailure,
         ""},
        {"descriptor UUID a number",
         {Set("service0010/char0015/desc0017", "DESC_IFACE", "UUID", "dbus.Int32(2)")},
         {},
         Ask::Subscribe,
         kCounter,
         0,
         ""},
        {"Notifying a text",
         {Set("service0010/char0015", "CHAR_IFACE", "Notifying", "'yes'")},
         {},
         Ask::Subscribe,
         kCounter,
         0,
         ""},
        {"Value a text",
         {Set("service0010/char0018", "CHAR_IFACE", "Value", "'x'")},
         {},
         Ask::Read,
         kPlain,
         kAnyFailure,
         ""},
        {"nothing odd", {}, {}, Ask::Tree, "", 0, kObjects},
        {"a service at handle 0",
         {Object("service0000", "SERVICE_IFACE", "'UUID': '0000ffe0-0000-1000-8000-00805f9b34fb'")},
         {},
         Ask::Tree,
         "",
         0,
         kObjects},
        {"a characteristic at handle ffff",
         {Object("service0010/charffff", "CHAR_IFACE", under + kReadable)},
         {},
         Ask::Tree,
         "",
         0,
         kObjects},
        {"a characteristic whose path has no handle",
         {Object("service0010/charzz", "CHAR_IFACE", under + kReadable)},
         {},
         Ask::Tree,
         "",
         0,
         kObjects},
        {"a descriptor at handle 0",
         {Object(
             "service0010/char0011/desc0000", "DESC_IFACE",
             "'Characteristic': dbus.ObjectPath(DEVICE + '/service0010/char0011'), 'UUID': '00002901-0000-1000-8000-"
             "00805f9b34fb'")},
         {},
         Ask::Tree,
         "",
         0,
         kObjects},
        {"a characteristic handle twice",
         {Object("service0030/char0011", "CHAR_IFACE",
                 "'Service': dbus.ObjectPath(DEVICE + '/service0030'), " + kReadable)},
         {},
         Ask::Read,
         kEcho,
         0,
         "echo"},
    });
}

// A method of a named object answering with out_sig as code says.
std::string Answers(const std::string& name, const std::string& iface, const std::string& method,
                    const std::string& inSig, const std::string& outSig, const std::string& code)
{
    return "w.obj(DEVICE + '/" + name + "').AddMethod(" + iface + ", '" + method + "', '" + inSig + "', '" + outSig +
           "', \"" + code + "\")";
}

std::string Fails(const std::string& name, const std::string& iface, const std::string& method,
                  const std::string& inSig, const std::string& error, const std::string& message)
{
    return "w.fail('" + name + "', " + iface + ", '" + method + "', '" + inSig + "', '', '" + error + "', '" + message +
           "')";
}

TEST_F(BluezOddWorld, RepliesAndErrorsOfOddShape)
{
    const std::string plain = "service0010/char0018";
    const std::string echoName = "service0010/char0011/desc0013";
    Sweep({
        {"ReadValue answering a text",
         {Answers(plain, "CHAR_IFACE", "ReadValue", "a{sv}", "s", "ret = 'x'")},
         {},
         Ask::Read,
         kPlain,
         kUnreachable,
         ""},
        {"ReadValue answering nothing",
         {Answers(plain, "CHAR_IFACE", "ReadValue", "a{sv}", "", "")},
         {},
         Ask::Read,
         kPlain,
         kUnreachable,
         ""},
        {"ReadValue answering a dictionary",
         {Answers(plain, "CHAR_IFACE", "ReadValue", "a{sv}", "a{sv}", "ret = {'a': 1}")},
         {},
         Ask::Read,
         kPlain,
         kUnreachable,
         ""},
        {"ReadValue answering more than the value",
         {Answers(plain, "CHAR_IFACE", "ReadValue", "a{sv}", "ays",
                  "ret = (dbus.Array(b'ab', signature='y'), 'more')")},
         {},
         Ask::Read,
         kPlain,
         0,
         "ab"},
        {"descriptor ReadValue answering a text",
         {Answers(echoName, "DESC_IFACE", "ReadValue", "a{sv}", "s", "ret = 'Echo'")},
         {},
         Ask::ReadDetail,
         "",
         kUnreachable,
         ""},
        {"descriptor ReadValue answering nothing",
         {Answers(echoName, "DESC_IFACE", "ReadValue", "a{sv}", "", "")},
         {},
         Ask::ReadDetail,
         "",
         kUnreachable,
         ""},
        {"WriteValue answering a text",
         {Answers(plain, "CHAR_IFACE", "WriteValue", "aya{sv}", "s", "ret = 'x'")},
         {},
         Ask::Write,
         kPlain,
         0,
         ""},
        {"an error of unknown name",
         {Fails(plain, "CHAR_IFACE", "ReadValue", "a{sv}", "org.bluez.Error.Odd", "")},
         {},
         Ask::Read,
         kPlain,
         kUnreachable,
         ""},
        {"an error of another namespace",
         {Fails(plain, "CHAR_IFACE", "ReadValue", "a{sv}", "com.example.Error.Odd", "odd")},
         {},
         Ask::Read,
         kPlain,
         kUnreachable,
         ""},
        {"Failed without a message",
         {Fails(plain, "CHAR_IFACE", "WriteValue", "aya{sv}", "org.bluez.Error.Failed", "")},
         {},
         Ask::Write,
         kPlain,
         kUnreachable,
         ""},
        {"an ATT code that is no number",
         {Fails(plain, "CHAR_IFACE", "ReadValue", "a{sv}", "org.bluez.Error.Failed", "ATT error: 0xzz")},
         {},
         Ask::Read,
         kPlain,
         kUnreachable,
         ""},
        {"StartNotify failing oddly",
         {Fails("service0010/char0015", "CHAR_IFACE", "StartNotify", "", "org.bluez.Error.Odd", "")},
         {},
         Ask::Subscribe,
         kCounter,
         kAnyFailure,
         ""},
        {"Connect failing oddly",
         {Fails("", "DEVICE_IFACE", "Connect", "", "com.example.Error.Odd", "")},
         {},
         Ask::Connect,
         "",
         kAnyFailure,
         "",
         Then::Scan},
        {"Connect answering more",
         {"w.set_method('', DEVICE_IFACE, 'Connect', '', CONNECT + '\\nret = 7')",
          "w.obj(DEVICE).AddMethod(DEVICE_IFACE, 'Connect', '', 'i', CONNECT + '\\nret = 7')"},
         {},
         Ask::Discover,
         "",
         0,
         ""},
    });
}

// Sizes bluetoothd never sends a gauge's client, each in its own world.
TEST_F(BluezOddWorld, VeryManyObjectsAndLargeValues)
{
    Sweep({
        {"thousands of characteristics", {"w.many(3000)"}, {}, Ask::Discover, "", 0, ""},
        {"thousands of services", {"w.many_services(3000)"}, {}, Ask::Discover, "", 0, ""},
        {"Value of a megabyte",
         {Set("service0010/char0018", "CHAR_IFACE", "Value", "dbus.Array(bytes(1 << 20), signature='y')")},
         {},
         Ask::Read,
         kPlain,
         0,
         "*"},
    });
}

const std::string kDevicePath = "/org/bluez/hci0/dev_E8_C0_4D_00_04_04";

// A signal as bluetoothd sends it: from the object at name (under the
// device, or a full path), with args a Python list.
std::string Signal(const std::string& name, const std::string& iface, const std::string& member,
                   const std::string& signature, const std::string& args)
{
    return "w.signal('" + name + "', '" + iface + "', '" + member + "', '" + signature + "', " + args + ")";
}

const std::string kProps = "org.freedesktop.DBus.Properties";
const std::string kManager = "org.freedesktop.DBus.ObjectManager";

std::string Changed(const std::string& name, const std::string& iface, const std::string& changes)
{
    return Signal(name, kProps, "PropertiesChanged", "sa{sv}as",
                  "['" + iface + "', dbus.Dictionary({" + changes +
                      "}, signature='sv'), dbus.Array([], signature='s')]");
}

TEST_F(BluezOddWorld, SignalsOfOddShape)
{
    const std::string counter = "service0010/char0015";
    const std::string chr = "org.bluez.GattCharacteristic1";
    const std::string dev = "org.bluez.Device1";
    // While the user description is read during discovery, bluetoothd
    // reports objects gone and new ones.
    const std::string meanwhile =
        "w.set_read('service0010/char0011/desc0013', \"self.EmitSignal('" + kManager +
        "', 'InterfacesRemoved', 'oas', [dbus.ObjectPath('" + kDevicePath + "/service0010/char0018'), ['" + chr +
        "']])\\nself.EmitSignal('" + kManager + "', 'InterfacesAdded', 'oa{sa{sv}}', [dbus.ObjectPath('" + kDevicePath +
        "/service0050'), {'org.bluez.GattService1': {'UUID': 'odd'}}])\\nret = dbus.Array(b'Echo', signature='y')\", "
        "DESC_IFACE)";
    Sweep({
        {"Value a text", {}, {Changed(counter, chr, "'Value': 'B'")}, Ask::Notification, "", 0, "[A]"},
        {"Value numbers",
         {},
         {Changed(counter, chr, "'Value': dbus.Array([66], signature='i')")},
         Ask::Notification,
         "",
         0,
         "[A]"},
        {"Value invalidated",
         {},
         {Signal(counter, kProps, "PropertiesChanged", "sa{sv}as",
                 "['" + chr + "', dbus.Dictionary({}, signature='sv'), ['Value']]")},
         Ask::Notification,
         "",
         0,
         "[A]"},
        {"PropertiesChanged of another form",
         {},
         {Signal(counter, kProps, "PropertiesChanged", "sa{ss}", "['" + chr + "', {'Value': 'B'}]"),
          Signal(counter, kProps, "PropertiesChanged", "s", "['" + chr + "']")},
         Ask::Notification,
         "",
         0,
         "[A]"},
        {"Value of a megabyte",
         {},
         {Changed(counter, chr, "'Value': dbus.Array(bytes(1 << 20), signature='y')")},
         Ask::Notification,
         "",
         0,
         "*"},
        {"a characteristic handle twice",
         {"w.service('service0040', 0xFFE0, True, [])",
          Object("service0040/char0015", "CHAR_IFACE",
                 "'Service': dbus.ObjectPath(DEVICE + '/service0040'), 'Value': dbus.Array(b'', signature='y'), "
                 "'Flags': dbus.Array(['notify'], signature='s')")},
         {Changed("service0040/char0015", chr, "'Value': dbus.Array(b'B', signature='y')")},
         Ask::Notification,
         "",
         0,
         "[A]"},
        {"Connected a number", {}, {Changed("", dev, "'Connected': dbus.Int32(0)")}, Ask::Read, kEcho, 0, "echo"},
        {"ServicesResolved a text", {}, {Changed("", dev, "'ServicesResolved': 'no'")}, Ask::Read, kEcho, 0, "echo"},
        {"InterfacesRemoved of an unknown path",
         {},
         {Signal("/", kManager, "InterfacesRemoved", "oas",
                 "[dbus.ObjectPath('/org/bluez/hci0/dev_odd'), ['" + dev + "']]")},
         Ask::Read,
         kEcho,
         0,
         "echo"},
        {"InterfacesRemoved of the device naming other interfaces",
         {},
         {Signal("/", kManager, "InterfacesRemoved", "oas", "[dbus.ObjectPath('" + kDevicePath + "'), ['org.odd']]")},
         Ask::Read,
         kEcho,
         0,
         "echo"},
        {"InterfacesRemoved of another form",
         {},
         {Signal("/", kManager, "InterfacesRemoved", "o", "[dbus.ObjectPath('" + kDevicePath + "')]"),
          Signal("/", kManager, "InterfacesRemoved", "s", "['" + kDevicePath + "']")},
         Ask::Read,
         kEcho,
         0,
         "echo"},
        {"InterfacesAdded of another form",
         {},
         {Signal("/", kManager, "InterfacesAdded", "o", "[dbus.ObjectPath('" + kDevicePath + "/service0050')]"),
          Signal("/", kManager, "InterfacesAdded", "oa{sv}",
                 "[dbus.ObjectPath('" + kDevicePath + "/service0050'), {'x': 1}]")},
         Ask::Read,
         kEcho,
         0,
         "echo"},
        {"InterfacesAdded of a service without properties",
         {},
         {Signal("/", kManager, "InterfacesAdded", "oa{sa{sv}}",
                 "[dbus.ObjectPath('" + kDevicePath +
                     "/service0050'), dbus.Dictionary({'org.bluez.GattService1': dbus.Dictionary({}, signature='sv')}, "
                     "signature='sa{sv}')]")},
         Ask::Read,
         kEcho,
         0,
         "echo"},
        {"a device outside the adapter",
         {kHeard},
         {Signal("/", kManager, "InterfacesAdded", "oa{sa{sv}}",
                 "[dbus.ObjectPath('/org/bluez/hci7/dev_11_22_33_44_55_66'), dbus.Dictionary({'" + dev +
                     "': dbus.Dictionary({'Address': '11:22:33:44:55:66', 'RSSI': dbus.Int16(-1)}, signature='sv')}, "
                     "signature='sa{sv}')]"),
          Signal("/", kManager, "InterfacesAdded", "oa{sa{sv}}",
                 "[dbus.ObjectPath('/com/example/dev_11_22_33_44_55_77'), dbus.Dictionary({'" + dev +
                     "': dbus.Dictionary({'Address': '11:22:33:44:55:77', 'RSSI': dbus.Int16(-1)}, signature='sv')}, "
                     "signature='sa{sv}')]")},
         Ask::Scan,
         "",
         0,
         kServer + " -42",
         Then::Scan},
        {"objects gone and new during discovery", {meanwhile}, {}, Ask::Discover, "", 0, ""},
    });
}

} // namespace
} // namespace vornik::test
