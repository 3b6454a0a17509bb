"""vornikctl against the simulated radio, as a user runs it from a terminal."""

import os
import re
import signal
import subprocess
import sys
import tempfile
import time
import unittest

VORNIKCTL = os.environ["VORNIKCTL"]
SERVER = "00C0FFEE0001"
SERVICE = "000600000000"
ECHO = "000600080000"
COUNTER = "0006000B0000"
SLOW_SERVER = "00C0FFEE0002"
COMMANDS = ["scan", "connect", "disconnect", "discover", "tree", "read", "read-descriptor", "write",
            "write-descriptor", "post", "subscribe", "unsubscribe", "wait", "config", "get", "set"]


class Vornikctl(unittest.TestCase):
    def setUp(self):
        self.home = tempfile.TemporaryDirectory()
        self.env = dict(os.environ, XDG_DATA_HOME=self.home.name,
                        XDG_DATA_DIRS=os.path.join(self.home.name, "system"))
        # The radio-less answer must not depend on a Bluetooth stack this
        # machine may have.
        self.env["VORNIK220_RADIO"] = "none"

    def tearDown(self):
        self.home.cleanup()

    def run_ctl(self, *args):
        return subprocess.run([VORNIKCTL, *args], env=self.env, capture_output=True, text=True, timeout=60)

    def test_help_documents_every_command(self):
        result = self.run_ctl("--help")
        self.assertEqual(result.returncode, 0)
        for command in COMMANDS:
            self.assertRegex(result.stdout, r"\n  " + re.escape(command) + r"( |\n)")
        for option in ["--sim", "--sim-module", "--module", "--progid", "--log-level", "--timeout", "--register",
                       "--unregister"]:
            self.assertIn("  " + option, result.stdout)

    def test_ctrl_c_ends_a_blocking_call(self):
        """With Timeout 0 nothing but an interrupt ends a request that is never answered."""
        process = subprocess.Popen([VORNIKCTL, "--sim", "--timeout", "0", "connect", SLOW_SERVER, "discover",
                                    "tree"], env=self.env, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                   text=True)
        try:
            line = process.stdout.readline()
            self.assertRegex(line, r'^Connected 0 "[^"]*"\n$')
            time.sleep(0.3)  # inside the discovery's wait by now
            self.assertIsNone(process.poll())
            process.send_signal(signal.SIGINT)
            out, err = process.communicate(timeout=10)
        finally:
            if process.poll() is None:
                process.kill()
                process.communicate()
        self.assertEqual(process.returncode, 1, err)
        self.assertIn("vornikctl: discover: Interrupted. (20302)\n", err)
        self.assertNotIn("GATT Object Tree Info", out)

    def test_scan_connect_tree_read_write_notifications(self):
        result = self.run_ctl("--sim", "scan", "0.3", "connect", SERVER, "discover", "tree",
                              "write", SERVICE, ECHO, "hex:48690041", "read", SERVICE, ECHO,
                              "subscribe", SERVICE, COUNTER, "1")
        self.assertEqual(result.returncode, 0, result.stderr)
        out = result.stdout
        self.assertIn('StartScan ""\n', out)
        self.assertRegex(out, r'Advertisement 00C0FFEE0001 name="Vornik Demo" rssi=-60 txpower=-4 '
                              r'services="0000FFF0-0000-1000-8000-00805F9B34FB" company=-1 data=010200FF '
                              r'connectable=True scanresponse=False\n')
        self.assertIn('StopScan 0 ""\n', out)
        self.assertRegex(out, r'Connected 0 "[^"]*"\n')
        self.assertIn(">>0000FFF1-0000-1000-8000-00805F9B34FB [ID=000600080000, Flags=0xE (R,WWR,W)", out)
        self.assertIn("WriteResponse 000600000000 000600080000  0000FFF1-0000-1000-8000-00805F9B34FB\n", out)
        self.assertIn('hex=48690041 text="Hi\\x00A"\n', out)
        self.assertIn('ReadValue "Hi\\x00A"\n', out)
        self.assertIn("Subscribed 000600000000 0006000B0000 0000FFF2-0000-1000-8000-00805F9B34FB", out)
        self.assertRegex(out, r'Value 000600000000 0006000B0000  0000FFF2-0000-1000-8000-00805F9B34FB '
                              r'hex=[0-9A-F]+ text="Count \d+"\n')

    def test_config_query_and_text_values(self):
        result = self.run_ctl("--sim", "config", "LogLevel", "config", "CodePage=65001", "connect", SERVER,
                              "discover", "post", SERVICE, ECHO, "Grüße", "read", SERVICE, ECHO)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertTrue(result.stdout.startswith("1\n"))
        self.assertIn('hex=4772C3BCC39F65 text="Grüße"\n', result.stdout)

    def test_properties_by_name(self):
        result = self.run_ctl("--sim", "connect", SERVER, "discover", "get", "ServerName", "set", "Service", SERVICE,
                              "get", "CharacteristicCount", "get", "CharacteristicId(1)", "get",
                              "CharacteristicCanSubscribe(1)", "set", "Timeout", "5", "get", "Timeout")
        self.assertEqual(result.returncode, 0, result.stderr)
        lines = [line for line in result.stdout.splitlines() if " = " in line]
        self.assertEqual(lines, ['ServerName = "Vornik Demo"', "CharacteristicCount = 2",
                                 'CharacteristicId(1) = "0006000B0000"', "CharacteristicCanSubscribe(1) = True",
                                 "Timeout = 5"])
        for args, message in [(["get", "ServiceId(9)"], "vornikctl: get: Invalid array index. (381)\n"),
                              (["set", "ServiceCount", "1"], "vornikctl: set: Property is read-only. (383)\n"),
                              (["get", "Frequency"], 'vornikctl: get: "Frequency" is no property of the control.\n'),
                              (["get", "ServiceId(x)"], 'vornikctl: get: "ServiceId(x)" needs a whole number in '
                                                        'brackets.\n')]:
            result = self.run_ctl("--sim", *args)
            self.assertEqual(result.returncode, 1, args)
            self.assertEqual(result.stderr, message)

    def test_failures_are_reported_with_their_number(self):
        result = self.run_ctl("--sim", "read", SERVICE, ECHO, "tree")
        self.assertEqual(result.returncode, 1)
        self.assertEqual(result.stderr, "vornikctl: read: You must be connected to a server to perform the "
                                        "requested action. (20606)\n")
        result = self.run_ctl("--sim", "connect", SERVER, "discover", "write", SERVICE, ECHO, "hex:4")
        self.assertEqual(result.returncode, 1)
        self.assertEqual(result.stderr, 'vornikctl: write: "hex:4" needs two hex digits per byte.\n')

    def test_usage_errors(self):
        for args, message in [(["frobnicate"], 'vornikctl: unknown command "frobnicate" (see --help)\n'),
                              (["read", SERVICE], "vornikctl: usage: read SERVICEID CHARID\n"),
                              ([], "vornikctl: no command given (see --help)\n"),
                              (["--timeout", "x", "tree"], 'vornikctl: bad option "--timeout" (see --help)\n')]:
            result = self.run_ctl(*args)
            self.assertEqual(result.returncode, 2, args)
            self.assertEqual(result.stderr, message)

    def test_register_and_unregister_per_user(self):
        registry = os.path.join(self.home.name, "inproc-servers", "classes.reg")
        result = self.run_ctl("--register", "user")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertRegex(result.stdout, r"^Registered /.*/libvornik220\.so\.2 \(user\)\n$")
        with open(registry, encoding="utf-8") as f:
            text = f.read()
        self.assertIn('[CorvelBLE.Vornik\\CurVer]\n@="CorvelBLE.Vornik.1"\n', text)
        self.assertIn('"ThreadingModel"="Apartment"\n', text)
        result = self.run_ctl("--unregister", "user")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertFalse(os.path.exists(registry))

    def test_without_a_radio_there_is_no_adapter(self):
        result = self.run_ctl("scan", "0.1")
        self.assertEqual(result.returncode, 1)
        self.assertEqual(result.stderr, "vornikctl: scan: No Bluetooth adapter found. (20614)\n")


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]], verbosity=2)
