"""Reads a CSV file with Python's csv module (UTF-8, RFC 4180 quoting) and
prints its rows as a JSON array of arrays: csv_readback.py FILE. Fails when
the file is not UTF-8 or has a byte-order mark."""
import csv
import json
import sys


def main():
    with open(sys.argv[1], "rb") as f:
        raw = f.read()
    if raw.startswith(b"\xef\xbb\xbf"):
        print("byte-order mark", file=sys.stderr)
        return 1
    text = raw.decode("utf-8")
    rows = list(csv.reader(text.splitlines(keepends=True), strict=True))
    print(json.dumps(rows, ensure_ascii=False))
    return 0


if __name__ == "__main__":
    sys.exit(main())
