"""vornikctl on the simulated gauges, as a tester runs it from a terminal."""

import os
import subprocess
import tempfile
import unittest

VORNIKCTL = os.environ["VORNIKCTL"]
# Object Ids follow the gauges' attribute handles: main service 1 with the
# command characteristic 3; memory service 7 with the directory 9.
MAIN = "000100000000"
COMMAND = "000100030000"
MEMORY = "000700000000"
DIRECTORY = "000700090000"


class VornikctlGauges(unittest.TestCase):
    def setUp(self):
        self.home = tempfile.TemporaryDirectory()
        self.env = dict(os.environ, XDG_DATA_HOME=self.home.name,
                        XDG_DATA_DIRS=os.path.join(self.home.name, "system"))
        for name in ("VORNIK220_RADIO", "VORNIK_SIM_MODULE", "QUENCONNECT_GAUGESIM_DIR"):
            self.env.pop(name, None)

    def tearDown(self):
        self.home.cleanup()

    def run_ctl(self, *args):
        return subprocess.run([VORNIKCTL, *args], env=self.env, capture_output=True, text=True, timeout=60)

    def test_help_names_the_gauge_options(self):
        result = self.run_ctl("--help")
        self.assertEqual(result.returncode, 0)
        self.assertIn("  --sim-gauges ", result.stdout)
        self.assertIn("  --sim-gauge-folder FOLDER", result.stdout)

    def test_built_in_gauges_scan_echo_then_reply(self):
        result = self.run_ctl("--sim-gauges", "scan", "0.3", "connect", "E8C04D000404", "discover",
                              "write", MAIN, COMMAND, "$gcv!", "read", MAIN, COMMAND,
                              "wait", "0.3", "read", MAIN, COMMAND, "read", MEMORY, DIRECTORY)
        self.assertEqual(result.returncode, 0, result.stderr)
        out = result.stdout
        for address, name in [("E8C04D000501", "QV-FE 500"), ("E8C04D000503", "GV-4 200"),
                              ("E8C04D000404", "PELLAX DUAL FE"), ("E8C04D000406", "Thickness FE")]:
            self.assertIn('Advertisement %s name="%s"' % (address, name), out)
        self.assertIn('ReadValue "$gcv!"\n', out)
        self.assertIn('ReadValue "$gcv?1.45!"\n', out)
        self.assertIn('ReadValue "4\\x0A1,250\\x0A2,0\\x0A3,5000\\x0A4,12"\n', out)

    def test_gauge_folder(self):
        with tempfile.TemporaryDirectory() as folder:
            with open(os.path.join(folder, "gauge.txt"), "w") as f:
                f.write("model = ZIN\nname = ZIN FE replay\naddress = 112233445566\nreply_delay = 0\n")
            with open(os.path.join(folder, "3.txt"), "w") as f:
                f.write("   1       12.5 FN   FE  2024-12-05 10:15:30\n")
            result = self.run_ctl("--sim-gauge-folder", folder, "connect", "112233445566", "discover",
                                  "read", MEMORY, DIRECTORY, "write", MAIN, COMMAND, "$gcv!",
                                  "read", MAIN, COMMAND)
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertIn('ReadValue "1\\x0A3,1"\n', result.stdout)
            self.assertIn('ReadValue "$gcv?1.05!"\n', result.stdout)

    def test_bad_gauge_folder_says_why(self):
        with tempfile.TemporaryDirectory() as folder:
            result = self.run_ctl("--sim-gauge-folder", folder, "connect", "112233445566")
            self.assertNotEqual(result.returncode, 0)
            self.assertIn("no gauge", result.stderr)


if __name__ == "__main__":
    unittest.main()
