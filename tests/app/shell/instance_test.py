"""Starts the real program twice with private folders: the second instance
shows its notice for a few seconds and ends while the first keeps running.
Also checks what start-up leaves behind: the log emptied of an earlier run, the settings and data
folders created, the manuals copied beside the settings; and that a log
that cannot be written does not stop the program."""
import os
import subprocess
import sys
import tempfile
import time

LOG_NAME = "Quen ConnectTransferLog.txt"
MANUALS = ["DE_Manual_Quen_Connect.pdf", "EN_Manual_Quen_Connect.pdf"]


def environment(root):
    env = dict(os.environ)
    env["QT_QPA_PLATFORM"] = "offscreen"
    env["QUENCONNECT_SETTINGS_DIR"] = os.path.join(root, "settings")
    env["QUENCONNECT_DATA_DIR"] = os.path.join(root, "data")
    runtime = os.path.join(root, "run")
    os.makedirs(runtime, mode=0o700, exist_ok=True)
    env["XDG_RUNTIME_DIR"] = runtime
    return env


def wait_for(condition, seconds, what):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if condition():
            return
        time.sleep(0.05)
    sys.exit(f"timed out waiting for {what}")


def stop(proc):
    proc.terminate()
    try:
        proc.wait(timeout=10)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()


def second_instance_ends_at_once(program, root):
    env = environment(root)
    settings = env["QUENCONNECT_SETTINGS_DIR"]
    os.makedirs(settings)
    log = os.path.join(settings, LOG_NAME)
    with open(log, "wb") as f:
        f.write(b"entry of an earlier run\r\n")

    first = subprocess.Popen([program], env=env)
    try:
        lock = os.path.join(env["XDG_RUNTIME_DIR"], "quenconnect.lock")
        wait_for(lambda: os.path.exists(lock) and os.path.getsize(log) == 0, 30, "the first instance to start")
        wait_for(lambda: all(os.path.exists(os.path.join(settings, m)) for m in MANUALS), 30, "the manuals")
        with open(log, "ab") as f:
            f.write(b"written by the first instance\r\n")

        started = time.monotonic()
        second = subprocess.run([program], env=env, timeout=20, capture_output=True, text=True)
        took = time.monotonic() - started
        if second.returncode != 0:
            sys.exit(f"second instance exited with {second.returncode}")
        if "already running" not in second.stderr:
            sys.exit(f"second instance said {second.stderr!r}")
        if took > 15:
            sys.exit(f"second instance took {took:.1f} s")
        if took < 4:
            sys.exit(f"second instance ended after {took:.1f} s without showing its notice")
        if first.poll() is not None:
            sys.exit("the first instance ended too")
        with open(log, "rb") as f:
            if f.read() != b"written by the first instance\r\n":
                sys.exit("the second instance touched the log of the first")
        if not os.path.isdir(env["QUENCONNECT_DATA_DIR"]):
            sys.exit("data folder not created")
    finally:
        stop(first)


def unwritable_log_is_harmless(program, root):
    env = environment(root)
    settings = env["QUENCONNECT_SETTINGS_DIR"]
    os.makedirs(os.path.join(settings, LOG_NAME))  # a folder where the log file should be
    proc = subprocess.Popen([program], env=env)
    try:
        lock = os.path.join(env["XDG_RUNTIME_DIR"], "quenconnect.lock")
        wait_for(lambda: os.path.exists(lock), 30, "the program to start")
        time.sleep(1)
        if proc.poll() is not None:
            sys.exit(f"program ended with {proc.returncode} when the log could not be written")
    finally:
        stop(proc)


def main():
    program = sys.argv[1]
    with tempfile.TemporaryDirectory(prefix="qc-instance-") as root:
        second_instance_ends_at_once(program, os.path.join(root, "a"))
        unwritable_log_is_harmless(program, os.path.join(root, "b"))
    print("second instance ended at once; unwritable log harmless")


if __name__ == "__main__":
    main()
