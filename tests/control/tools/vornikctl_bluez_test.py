"""vornikctl on the BlueZ radio, against a mock bluetoothd on a private
system bus, as a user runs it from a terminal."""

import os
import subprocess
import sys
import unittest

sys.path.insert(0, os.environ["BLUEZ_WORLD_DIR"])
from bluez_world import World  # noqa: E402  pylint: disable=wrong-import-position

VORNIKCTL = os.environ["VORNIKCTL"]
SERVER = "E8C04D000404"
SERVICE = "001000000000"
ECHO = "001000120000"


class VornikctlOnBluez(unittest.TestCase):
    def setUp(self):
        self.world = World()
        self.env = dict(os.environ, DBUS_SYSTEM_BUS_ADDRESS=self.world.address)
        self.env.pop("VORNIK220_RADIO", None)  # BlueZ is the default

    def tearDown(self):
        self.world.close()

    def run_ctl(self, *args):
        return subprocess.run([VORNIKCTL, *args], env=self.env, capture_output=True, text=True, timeout=60)

    def test_scan_connect_discover_read_write(self):
        self.world.build()
        result = self.run_ctl("scan", "0.3", "connect", SERVER, "discover", "tree", "read", SERVICE, ECHO,
                              "write", SERVICE, ECHO, "hex:48690041", "read", SERVICE, ECHO)
        self.assertEqual(result.returncode, 0, result.stderr)
        lines = result.stdout.splitlines()
        self.assertEqual(lines[0], 'StartScan ""')
        self.assertIn('Advertisement E8C04D000404 name="PELLAX DUAL FE" rssi=-79 txpower=0 services="" '
                      'company=-1 data= connectable=True scanresponse=False', lines)
        self.assertIn('Connected 0 "OK"', lines)
        self.assertIn('>>0000FFF1-0000-1000-8000-00805F9B34FB [ID=001000120000, Flags=0xE (R,WWR,W), '
                      'Subscribed=False, UserDescr="Echo", VFCount=1]', lines)
        self.assertIn('ReadValue "echo"', lines)
        self.assertIn('ReadValue "Hi\\x00A"', lines)

    def test_without_an_adapter_the_answer_is_no_adapter(self):
        result = self.run_ctl("scan", "0.1")
        self.assertEqual(result.returncode, 1)
        self.assertIn("No Bluetooth adapter found.", result.stderr)

    def test_an_unknown_device_fails_to_connect(self):
        self.world.build()
        result = self.run_ctl("connect", "E8C04D0004FF")
        self.assertEqual(result.returncode, 1)
        self.assertIn("was unsuccessful", result.stderr)


if __name__ == "__main__":
    unittest.main()
