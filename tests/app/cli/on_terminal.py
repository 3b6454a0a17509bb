"""Runs a program with its standard error on a pseudo-terminal and prints
what it wrote there: on_terminal.py PROGRAM [ARGS...]. Standard output
stays a pipe (and is dropped). Exits with the program's exit code."""
import os
import pty
import subprocess
import sys


def main():
    master, slave = pty.openpty()
    result = subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=slave, timeout=60)
    os.close(slave)
    chunks = []
    while True:
        try:
            data = os.read(master, 65536)
        except OSError:
            break
        if not data:
            break
        chunks.append(data)
    os.close(master)
    sys.stdout.write(b"".join(chunks).decode("utf-8", "replace"))
    return result.returncode


if __name__ == "__main__":
    sys.exit(main())
