// The control on the BlueZ backend against a bluetoothd that says odd
// things: properties missing or of other types, texts that mean nothing,
// replies of the wrong form, errors nobody knows and signals that do not fit.
// Each row alters one thing in a fresh world; the request it drives ends
// with a clear error or a sensible result, and a normal request works after.
#include "bluez_odd_world.h"

namespace vornik::test {
namespace {

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
