"""Binds the control late from another language, with ctypes only: register
per user, find the module by ProgID in the class registry, create, Config,
a read-only property and an error's number and description."""

import ctypes
import os
import re
import sys
import tempfile
import unittest

VT_STR = 8
VT_I2 = 2
INVOKE_METHOD = 1
INVOKE_GET = 2
INVOKE_PUT = 4
DISPID_CONFIG = 503
DISPID_SELECT = 515
DISPID_SERVICE_COUNT = 26
S_OK = 0


class Variant(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int32), ("i", ctypes.c_int32), ("data", ctypes.c_void_p),
                ("len", ctypes.c_uint32), ("reserved", ctypes.c_uint32)]


class ErrorInfo(ctypes.Structure):
    _fields_ = [("hresult", ctypes.c_int32), ("number", ctypes.c_int32), ("description", ctypes.c_char_p),
                ("source", ctypes.c_char_p), ("help_file", ctypes.c_char_p), ("help_context", ctypes.c_int32)]


def string_variant(text, keep):
    data = text.encode("utf-8")
    buffer = ctypes.create_string_buffer(data, len(data))
    keep.append(buffer)
    return Variant(VT_STR, 0, ctypes.cast(buffer, ctypes.c_void_p), len(data), 0)


def bind(lib):
    lib.vornik_create.argtypes = [ctypes.c_char_p, ctypes.POINTER(ctypes.c_void_p)]
    lib.vornik_create.restype = ctypes.c_int32
    lib.vornik_release.argtypes = [ctypes.c_void_p]
    lib.vornik_release.restype = ctypes.c_uint32
    lib.vornik_invoke.argtypes = [ctypes.c_void_p, ctypes.c_int32, ctypes.c_int32, ctypes.POINTER(Variant),
                                  ctypes.c_int32, ctypes.POINTER(Variant)]
    lib.vornik_invoke.restype = ctypes.c_int32
    lib.vornik_variant_clear.argtypes = [ctypes.POINTER(Variant)]
    lib.vornik_get_error_info.argtypes = [ctypes.POINTER(ErrorInfo)]
    lib.vornik_get_error_info.restype = ctypes.c_int32
    lib.DllInstall.argtypes = [ctypes.c_int32, ctypes.c_char_p]
    lib.DllInstall.restype = ctypes.c_int32
    return lib


def registered_module(prog_id, registry_file):
    """Follows CurVer and CLSID to InprocServer32 in the registry file."""
    keys = {}
    current = None
    with open(registry_file, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if line.startswith("["):
                current = keys.setdefault(line[1:-1].lower(), {})
            elif line.startswith("@="):
                current["@"] = re.sub(r'\\(.)', r'\1', line[3:-1])
    cur_ver = keys.get(prog_id.lower() + "\\curver", {}).get("@", prog_id)
    clsid = keys[cur_ver.lower() + "\\clsid"]["@"]
    return keys[("clsid\\" + clsid + "\\inprocserver32").lower()]["@"]


class LateBinding(unittest.TestCase):
    def setUp(self):
        self.home = tempfile.TemporaryDirectory()
        os.environ["XDG_DATA_HOME"] = self.home.name
        os.environ["XDG_DATA_DIRS"] = os.path.join(self.home.name, "system")
        installer = bind(ctypes.CDLL(os.environ["VORNIK_TEST_MODULE"]))
        self.assertEqual(installer.DllInstall(1, b"user"), S_OK)
        registry = os.path.join(self.home.name, "inproc-servers", "classes.reg")
        self.lib = bind(ctypes.CDLL(registered_module("CorvelBLE.Vornik", registry)))
        self.ctl = ctypes.c_void_p()
        self.assertEqual(self.lib.vornik_create(b"CorvelBLE.Vornik", ctypes.byref(self.ctl)), S_OK)

    def tearDown(self):
        self.assertEqual(self.lib.vornik_release(self.ctl), 0)
        self.assertEqual(self.lib.DllInstall(0, b"user"), S_OK)
        self.home.cleanup()

    def invoke(self, dispid, kind, *args):
        keep = []
        array = (Variant * max(1, len(args)))(*[string_variant(a, keep) if isinstance(a, str)
                                               else Variant(VT_I2, a, None, 0, 0) for a in args])
        result = Variant()
        hr = self.lib.vornik_invoke(self.ctl, dispid, kind, array, len(args), ctypes.byref(result))
        value = None
        if hr == S_OK:
            value = ctypes.string_at(result.data, result.len).decode("utf-8") if result.type == VT_STR else result.i
            self.lib.vornik_variant_clear(ctypes.byref(result))
        return hr, value

    def error(self):
        info = ErrorInfo()
        self.assertEqual(self.lib.vornik_get_error_info(ctypes.byref(info)), S_OK)
        return info.number, info.description.decode("utf-8"), info.help_context

    def test_config_set_and_query(self):
        self.assertEqual(self.invoke(DISPID_CONFIG, INVOKE_METHOD, "LogLevel"), (S_OK, "1"))
        self.assertEqual(self.invoke(DISPID_CONFIG, INVOKE_METHOD, "LogLevel = 3"), (S_OK, ""))
        self.assertEqual(self.invoke(DISPID_CONFIG, INVOKE_METHOD, "LogLevel"), (S_OK, "3"))

    def test_read_only_property(self):
        self.assertEqual(self.invoke(DISPID_SERVICE_COUNT, INVOKE_GET), (S_OK, 0))
        hr, _ = self.invoke(DISPID_SERVICE_COUNT, INVOKE_PUT, 2)
        self.assertEqual(hr & 0xFFFFFFFF, 0x800A017F)
        self.assertEqual(self.error(), (383, "Property is read-only.", 24026))

    def test_engine_errors_are_numbered_code_plus_20001(self):
        hr, _ = self.invoke(DISPID_CONFIG, INVOKE_METHOD, "NoSuchSetting")
        self.assertEqual(hr & 0xFFFFFFFF, 0x800A4E20)
        self.assertEqual(self.error(), (20000, "Unknown config setting.", 44002))
        hr, _ = self.invoke(DISPID_SELECT, INVOKE_METHOD, "000C00000000", "")
        self.assertEqual(self.error(),
                         (20606, "You must be connected to a server to perform the requested action.", 44014))


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]], verbosity=2)
