"""A private system bus with a mock bluetoothd (python-dbusmock's bluez5
template) holding one adapter and one gauge-like device with GATT services,
for the BlueZ backend's tests.

Prints "ready <bus address>" once the world is built, then runs one command
per line from standard input (a Python statement using the helpers below)
and answers "ok" or "error <text>". Everything it started ends when standard
input closes, also when the test that started it dies.
"""

import ctypes
import os
import signal
import subprocess
import sys
import tempfile

import dbus
from dbusmock import DBusTestCase

BLUEZ = "org.bluez"
MOCK = "org.freedesktop.DBus.Mock"
ADAPTER = "/org/bluez/hci0"
ADDRESS = "E8:C0:4D:00:04:04"
DEVICE = ADAPTER + "/dev_E8_C0_4D_00_04_04"
DEVICE_IFACE = "org.bluez.Device1"
SERVICE_IFACE = "org.bluez.GattService1"
CHAR_IFACE = "org.bluez.GattCharacteristic1"
DESC_IFACE = "org.bluez.GattDescriptor1"
PROPS = "org.freedesktop.DBus.Properties"


def base_uuid(short):
    return "%08x-0000-1000-8000-00805f9b34fb" % short


def die_with_parent():
    libc = ctypes.CDLL(None)
    libc.prctl(1, signal.SIGTERM)  # PR_SET_PDEATHSIG


CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:tmpdir=/tmp</listen>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
"""

# Method bodies run inside the mock: they act as bluetoothd does.
CONNECT = ("self.UpdateProperties('org.bluez.Device1', {'Connected': dbus.Boolean(True)})\n"
           "self.UpdateProperties('org.bluez.Device1', {'ServicesResolved': dbus.Boolean(True)})")
DISCONNECT = ("if not self.props['org.bluez.Device1']['Connected']:\n"
              "    raise dbus.exceptions.DBusException('Not Connected', name='org.bluez.Error.NotConnected')\n"
              "self.UpdateProperties('org.bluez.Device1', {'ServicesResolved': dbus.Boolean(False), 'Connected': dbus.Boolean(False)})")
# bluetoothd sets Value from a read's answer (a PropertiesChanged) before it
# sends the reply.
READ = ("v = dbus.Array(self.props[IFACE].get('Value', []), signature='y')\n"
        "self.props[IFACE]['Value'] = v\n"
        "self.EmitSignal('org.freedesktop.DBus.Properties', 'PropertiesChanged', 'sa{sv}as', "
        "[IFACE, {'Value': dbus.Array(v, signature='y', variant_level=1)}, []])\n"
        "ret = v")
WRITE = ("self.props[IFACE]['Value'] = dbus.Array(args[0], signature='y')\n"
         "self.props[IFACE]['WriteType'] = dbus.String(args[1].get('type', ''))")
# Run inside the mock: the next call of the method answers only after a
# while, then as before.
LATE_ONCE = ("in_sig, out_sig, code, _ = self.methods[{iface!r}][{method!r}]\n"
             "again = 'self.AddMethod(%r, %r, %r, %r, %r)\\n' % ({iface!r}, {method!r}, in_sig, out_sig, code)\n"
             "self.AddMethod({iface!r}, {method!r}, in_sig, out_sig, "
             "'time.sleep({seconds!r})\\n' + again + code)")
START_NOTIFY = "self.UpdateProperties('org.bluez.GattCharacteristic1', {'Notifying': dbus.Boolean(True)})"
STOP_NOTIFY = "self.UpdateProperties('org.bluez.GattCharacteristic1', {'Notifying': dbus.Boolean(False)})"


class World:
    def __init__(self):
        self.folder = tempfile.TemporaryDirectory()
        config = os.path.join(self.folder.name, "system.conf")
        with open(config, "w", encoding="utf-8") as f:
            f.write(CONFIG)
        self.daemon = subprocess.Popen(["dbus-daemon", "--nofork", "--print-address=1", "--config-file=" + config],
                                       stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
                                       preexec_fn=die_with_parent)
        self.address = self.daemon.stdout.readline().strip()
        os.environ["DBUS_SYSTEM_BUS_ADDRESS"] = self.address
        self.bus = dbus.bus.BusConnection(self.address)
        self.mock = None
        self.start_mock()

    def start_mock(self):
        self.mock = subprocess.Popen([sys.executable, "-m", "dbusmock", "--system", "--template", "bluez5"],
                                     stdout=subprocess.DEVNULL, preexec_fn=die_with_parent)
        # dbusmock's own wait for the name, bounded (ten seconds).
        DBusTestCase.wait_for_bus_object(BLUEZ, "/", system_bus=True, timeout=100)
        if self.mock.poll() is not None:
            raise RuntimeError("the mock bluetoothd ended")

    def stop_mock(self):
        if self.mock and self.mock.poll() is None:
            self.mock.terminate()
            self.mock.wait(10)

    def close(self):
        self.stop_mock()
        self.daemon.terminate()
        self.daemon.wait(10)
        self.folder.cleanup()

    def obj(self, path, iface=MOCK):
        return dbus.Interface(self.bus.get_object(BLUEZ, path), iface)

    def build(self, connect_code=CONNECT):
        root = self.obj("/org/bluez", "org.bluez.Mock")
        root.AddAdapter("hci0", "inspector")
        root.AddDevice("hci0", ADDRESS, "PELLAX DUAL FE")
        device = self.obj(DEVICE)
        device.AddMethod(DEVICE_IFACE, "Connect", "", "", connect_code)
        device.AddMethod(DEVICE_IFACE, "Disconnect", "", "", DISCONNECT)
        # Main service 0x0010 (includes 0x0030), battery 0x0030 (secondary).
        self.service("service0010", 0xFFF0, True, ["service0030"])
        self.characteristic("service0010/char0011", 0xFFF1, ["read", "write", "write-without-response"], b"echo")
        self.descriptor("service0010/char0011/desc0013", 0x2901, None)
        self.descriptor("service0010/char0011/desc0014", 0x2904, None)
        self.characteristic("service0010/char0015", 0xFFF2, ["read", "notify", "indicate"], b"")
        self.descriptor("service0010/char0015/desc0017", 0x2902, b"\0\0")
        self.characteristic("service0010/char0018", 0xFFF3, ["read", "write"], b"x")
        self.service("service0030", 0x180F, False, [])
        self.characteristic("service0030/char0031", 0x2A19, ["read", "notify"], b"\x55")
        # Answers of the detail descriptors, as the gauge holds them.
        self.set_read("service0010/char0011/desc0013", "ret = dbus.Array(b'Echo', signature='y')", DESC_IFACE)
        self.set_read("service0010/char0011/desc0014",
                      "ret = dbus.Array(b'\\x06\\xfe\\x01\\x27\\x01\\x00\\x00', signature='y')", DESC_IFACE)

    def service(self, name, short, primary, includes):
        path = DEVICE + "/" + name
        self.obj("/").AddObject(path, SERVICE_IFACE, {
            "UUID": base_uuid(short), "Primary": dbus.Boolean(primary), "Device": dbus.ObjectPath(DEVICE),
            "Includes": dbus.Array([dbus.ObjectPath(DEVICE + "/" + i) for i in includes], signature="o"),
        }, [])

    def characteristic(self, name, short, flags, value):
        path = DEVICE + "/" + name
        service = path.rsplit("/", 1)[0]
        self.obj("/").AddObject(path, CHAR_IFACE, {
            "UUID": base_uuid(short), "Service": dbus.ObjectPath(service),
            "Value": dbus.Array(value, signature="y"), "Notifying": dbus.Boolean(False),
            "Flags": dbus.Array(flags, signature="s"),
        }, [
            ("ReadValue", "a{sv}", "ay", READ.replace("IFACE", repr(CHAR_IFACE))),
            ("WriteValue", "aya{sv}", "", WRITE.replace("IFACE", repr(CHAR_IFACE))),
            ("StartNotify", "", "", START_NOTIFY),
            ("StopNotify", "", "", STOP_NOTIFY),
        ])

    def descriptor(self, name, short, value):
        path = DEVICE + "/" + name
        props = {"UUID": base_uuid(short), "Characteristic": dbus.ObjectPath(path.rsplit("/", 1)[0])}
        if value is not None:
            props["Value"] = dbus.Array(value, signature="y")
        self.obj("/").AddObject(path, DESC_IFACE, props, [
            ("ReadValue", "a{sv}", "ay", "ret = dbus.Array(self.props[IFACE].get('Value', []), signature='y')"
             .replace("IFACE", repr(DESC_IFACE))),
            ("WriteValue", "aya{sv}", "", "self.props[IFACE]['Value'] = dbus.Array(args[0], signature='y')"
             .replace("IFACE", repr(DESC_IFACE))),
        ])

    # Helpers the tests call by name.
    def set_read(self, name, code, iface=CHAR_IFACE):
        self.obj(DEVICE + "/" + name).AddMethod(iface, "ReadValue", "a{sv}", "ay", code)

    def set_method(self, name, iface, method, in_sig, code):
        self.obj(DEVICE + "/" + name if name else DEVICE).AddMethod(iface, method, in_sig, "", code)

    def fail(self, name, iface, method, in_sig, out_sig, error, message):
        code = "raise dbus.exceptions.DBusException(%r, name=%r)" % (message, error)
        self.obj(DEVICE + "/" + name if name else DEVICE).AddMethod(iface, method, in_sig, out_sig, code)

    def update(self, name, iface, props):
        self.obj(DEVICE + "/" + name if name else DEVICE).UpdateProperties(iface, props)

    def notify(self, name, data):
        self.update(name, CHAR_IFACE, {"Value": dbus.Array(bytes.fromhex(data), signature="y")})

    def burst(self, name, count):
        """count value changes of one characteristic, sent as fast as the mock can."""
        self.obj(DEVICE + "/" + name).AddMethod(
            CHAR_IFACE, "Burst", "u", "",
            "for i in range(args[0]):\n"
            "    self.EmitSignal('org.freedesktop.DBus.Properties', 'PropertiesChanged', 'sa{sv}as', "
            "['org.bluez.GattCharacteristic1', {'Value': dbus.Array([i & 0x7F, 1], signature='y', "
            "variant_level=1)}, []])")
        self.obj(DEVICE + "/" + name, CHAR_IFACE).Burst(dbus.UInt32(count), timeout=600)

    def late_once(self, name, iface, method, seconds):
        """The next call of method answers only after seconds (bluetoothd
        waiting for the link), then calls are answered as before."""
        path = DEVICE + "/" + name if name else DEVICE
        code = LATE_ONCE.format(iface=iface, method=method, seconds=seconds)
        self.obj(path).AddMethod(MOCK, "LateOnce", "", "", code)
        self.obj(path).LateOnce()

    def late_read(self, name, notes, reply):
        """The next read of a characteristic answers after a second and a
        half; the value changes in notes (hex) arrive meanwhile. reply
        "echo": Value is set from the answer just before the reply, as
        bluetoothd does; "error": the read fails, as when the link is lost;
        "none": nothing comes for a minute. Later reads are answered as
        usual."""
        read = READ.replace("IFACE", repr(CHAR_IFACE))
        code = "self.AddMethod(%r, 'ReadValue', 'a{sv}', 'ay', %r)\ntime.sleep(1.5)\n" % (CHAR_IFACE, read)
        for note in notes:
            code += ("self.EmitSignal(%r, 'PropertiesChanged', 'sa{sv}as', [%r, {'Value': dbus.Array("
                     "bytes.fromhex(%r), signature='y', variant_level=1)}, []])\n" % (PROPS, CHAR_IFACE, note))
        code += {
            "echo": "time.sleep(0.3)\n" + read,
            "error": "raise dbus.exceptions.DBusException('Not connected', name='org.bluez.Error.Failed')",
            "none": "time.sleep(60)\nret = dbus.Array([], signature='y')",
        }[reply]
        self.set_read(name, code)

    def late_notify(self, name, method, notes, reply):
        """The next StartNotify or StopNotify of a characteristic answers
        after a second and a half. reply "ok": carried out, and the value
        changes in notes (hex) arrive just before the reply; "error":
        refused, nothing changes; "none": nothing comes for a minute. Later
        calls are answered as usual."""
        done = {"StartNotify": START_NOTIFY, "StopNotify": STOP_NOTIFY}[method]
        code = "self.AddMethod(%r, %r, '', '', %r)\ntime.sleep(1.5)\n" % (CHAR_IFACE, method, done)
        if reply == "ok":
            code += done + "\n"
            for note in notes:
                code += ("self.EmitSignal(%r, 'PropertiesChanged', 'sa{sv}as', [%r, {'Value': dbus.Array("
                         "bytes.fromhex(%r), signature='y', variant_level=1)}, []])\n" % (PROPS, CHAR_IFACE, note))
        elif reply == "error":
            code += "raise dbus.exceptions.DBusException('Not connected', name='org.bluez.Error.Failed')"
        else:
            code += "time.sleep(60)"
        self.set_method(name, CHAR_IFACE, method, "", code)

    def notify_calls(self, name):
        """The StartNotify and StopNotify calls of a characteristic since the
        last look, in order."""
        mock = self.obj(DEVICE + "/" + name)
        calls = [str(call[1]) for call in mock.GetCalls() if call[1] in ("StartNotify", "StopNotify")]
        mock.ClearCalls()
        return " ".join(calls)

    def notifying(self, name):
        return bool(self.obj(DEVICE + "/" + name, PROPS).Get(CHAR_IFACE, "Notifying"))

    def write_type(self, name):
        return str(self.obj(DEVICE + "/" + name, PROPS).Get(CHAR_IFACE, "WriteType"))

    def remove_device(self):
        self.obj(ADAPTER, "org.bluez.Adapter1").RemoveDevice(dbus.ObjectPath(DEVICE))

    def add_service_later(self, name, short):
        """A service appearing on a connected device, as after a services change."""
        self.service(name, short, True, [])
        path = DEVICE + "/" + name
        props = self.obj(path, PROPS).GetAll(SERVICE_IFACE)
        self.obj("/").EmitSignal("org.freedesktop.DBus.ObjectManager", "InterfacesAdded", "oa{sa{sv}}",
                                 [dbus.ObjectPath(path), dbus.Dictionary({SERVICE_IFACE: props}, signature="sa{sv}")])

    def remove_object(self, name, iface):
        path = DEVICE + "/" + name
        self.obj("/").RemoveObject(path)
        self.obj("/").EmitSignal("org.freedesktop.DBus.ObjectManager", "InterfacesRemoved", "oas",
                                 [dbus.ObjectPath(path), dbus.Array([iface], signature="s")])

    def switch_off(self):
        self.obj(ADAPTER).UpdateProperties("org.bluez.Adapter1", {"Powered": False})

    # Oddities: what a faulty bluetoothd, or something posing as it, says.
    def drop(self, name, iface, prop):
        """prop gone from the object, without a signal."""
        path = DEVICE + "/" + name if name else DEVICE
        self.obj(path).AddMethod(iface, "OddDrop", "s", "", "self.props[%r].pop(args[0], None)" % iface)
        self.obj(path, iface).OddDrop(prop)

    def many(self, count):
        """One more service with count characteristics, made inside the mock in one call."""
        service = DEVICE + "/service0100"
        code = ("self.AddObject(%r, %r, {'UUID': %r, 'Primary': dbus.Boolean(True), 'Device': dbus.ObjectPath(%r)}, [])\n"
                "for i in range(args[0]):\n"
                "    self.AddObject(%r %% (0x101 + 2 * i), %r, {'UUID': %r, 'Service': dbus.ObjectPath(%r), "
                "'Flags': dbus.Array(['read'], signature='s')}, [])"
                % (service, SERVICE_IFACE, base_uuid(0xFFE0), DEVICE, service + "/char%04x", CHAR_IFACE,
                   base_uuid(0xFFE1), service))
        self.obj("/").AddMethod("org.bluez.Odd", "Many", "u", "", code)
        self.obj("/", "org.bluez.Odd").Many(dbus.UInt32(count), timeout=120)

    def many_services(self, count):
        """count more services of one characteristic each, made inside the mock in one call."""
        code = ("for i in range(args[0]):\n"
                "    s = %r %% (0x100 + 2 * i)\n"
                "    self.AddObject(s, %r, {'UUID': %r, 'Primary': dbus.Boolean(True), 'Device': dbus.ObjectPath(%r)}, [])\n"
                "    self.AddObject(s + '/char%%04x' %% (0x101 + 2 * i), %r, {'UUID': %r, 'Service': dbus.ObjectPath(s), "
                "'Flags': dbus.Array(['read'], signature='s')}, [])"
                % (DEVICE + "/service%04x", SERVICE_IFACE, base_uuid(0xFFE0), DEVICE, CHAR_IFACE, base_uuid(0xFFE1)))
        self.obj("/").AddMethod("org.bluez.Odd", "ManyServices", "u", "", code)
        self.obj("/", "org.bluez.Odd").ManyServices(dbus.UInt32(count), timeout=120)

    def signal(self, path, iface, name, signature, args):
        """A signal as bluetoothd would send it, from the mock's name."""
        path = path if path.startswith("/") else DEVICE + "/" + path if path else DEVICE
        self.obj(path).EmitSignal(iface, name, signature, args)


def main():
    world = World()
    try:
        build = os.environ.get("BLUEZ_WORLD_BUILD", "1") == "1"
        if build:
            world.build()
        print("ready " + world.address, flush=True)
        for line in sys.stdin:
            line = line.strip()
            if not line:
                continue
            try:
                result = eval(line, dict(globals(), w=world))  # pylint: disable=eval-used
                print("ok" if result is None else "ok " + str(result), flush=True)
            except Exception as e:  # pylint: disable=broad-except
                print("error " + str(e).replace("\n", " "), flush=True)
    finally:
        world.close()


if __name__ == "__main__":
    main()
