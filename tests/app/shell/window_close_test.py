"""Starts the program on a real X server, finds its top-level window by title,
closes it the way a window manager does (WM_DELETE_WINDOW) and checks that
the program exits 0."""
import atexit
import os
import shutil
import subprocess
import sys
import tempfile
import time

from Xlib import X, display, protocol

CAPTION = "Quen Connect V1.10"
# Without a Bluetooth adapter the program runs the demo and says so.
CAPTIONS = (CAPTION, CAPTION + " [DEMO]")


def find_window(d, titles):
    pending = [d.screen().root]
    while pending:
        w = pending.pop()
        try:
            name = w.get_full_property(d.intern_atom("_NET_WM_NAME"), d.intern_atom("UTF8_STRING"))
            text = name.value.decode() if name else w.get_wm_name()
        except Exception:
            text = None
        if text in titles:
            return w
        try:
            pending.extend(w.query_tree().children)
        except Exception:
            pass
    return None


def main():
    program = sys.argv[1]
    env = dict(os.environ)
    env.pop("QT_QPA_PLATFORM", None)
    root = tempfile.mkdtemp(prefix="qc-close-")
    atexit.register(shutil.rmtree, root, True)
    env["QUENCONNECT_SETTINGS_DIR"] = os.path.join(root, "settings")
    env["QUENCONNECT_DATA_DIR"] = os.path.join(root, "data")
    env["XDG_RUNTIME_DIR"] = root
    proc = subprocess.Popen([program], env=env)
    d = display.Display()
    window = None
    deadline = time.monotonic() + 30
    while window is None and time.monotonic() < deadline:
        if proc.poll() is not None:
            sys.exit(f"program exited early with {proc.returncode}")
        window = find_window(d, CAPTIONS)
        time.sleep(0.2)
    if window is None:
        proc.kill()
        sys.exit(f"no window titled {CAPTION!r}")

    wm_protocols = d.intern_atom("WM_PROTOCOLS")
    wm_delete = d.intern_atom("WM_DELETE_WINDOW")
    event = protocol.event.ClientMessage(window=window, client_type=wm_protocols, data=(32, [wm_delete, X.CurrentTime, 0, 0, 0]))
    window.send_event(event)
    d.flush()
    try:
        rc = proc.wait(timeout=30)
    except subprocess.TimeoutExpired:
        proc.kill()
        sys.exit("program did not exit after its window was closed")
    if rc != 0:
        sys.exit(f"program exited with {rc}")
    print("window found and closed; exit code 0")


if __name__ == "__main__":
    main()
