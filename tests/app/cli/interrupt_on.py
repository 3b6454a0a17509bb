"""Runs a program with its standard error on a pseudo-terminal, sends it
SIGINT once that shows TEXT, and prints what it wrote there:
interrupt_on.py TEXT PROGRAM [ARGS...]. Exits with the program's exit code
(130 when SIGINT ended it that way); 99 when TEXT never came."""
import os
import pty
import signal
import subprocess
import sys
import time


def main():
    text = sys.argv[1].encode()
    master, slave = pty.openpty()
    proc = subprocess.Popen(sys.argv[2:], stdout=subprocess.DEVNULL, stderr=slave)
    os.close(slave)
    seen = b""
    sent = False
    deadline = time.monotonic() + 60
    while time.monotonic() < deadline:
        try:
            data = os.read(master, 65536)
        except OSError:
            break
        if not data:
            break
        seen += data
        if not sent and text in seen:
            proc.send_signal(signal.SIGINT)
            sent = True
    try:
        code = proc.wait(timeout=max(1, deadline - time.monotonic()))
    except subprocess.TimeoutExpired:
        proc.kill()
        code = proc.wait()
    os.close(master)
    sys.stdout.write(seen.decode("utf-8", "replace"))
    return code if sent else 99


if __name__ == "__main__":
    sys.exit(main())
