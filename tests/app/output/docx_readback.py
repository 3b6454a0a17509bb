"""Reads a report document with python-docx and compares it with the
expected lines: docx_readback.py DOCX EXPECTED_UTF8_TEXT. Exit 0 when the
text, the font and its size match."""
import sys

import docx
from docx.shared import Pt


def main():
    document = docx.Document(sys.argv[1])
    with open(sys.argv[2], encoding="utf-8", newline="") as f:
        text = f.read()
    expected = text.split("\n") if text else []
    paragraphs = document.paragraphs
    got = [p.text for p in paragraphs]
    if got != expected:
        for i, (g, e) in enumerate(zip(got, expected)):
            if g != e:
                print(f"line {i + 1}: got {g!r} expected {e!r}")
                break
        print(f"{len(got)} paragraphs, {len(expected)} lines expected")
        return 1
    runs = [r for p in paragraphs for r in p.runs]
    for r in runs:
        if r.font.name != "Lucida Console" or r.font.size != Pt(10) or r.font.bold:
            print(f"run {r.text!r}: font {r.font.name!r} size {r.font.size} bold {r.font.bold}")
            return 1
    print(f"{len(got)} paragraphs, {len(runs)} runs in Lucida Console 10 pt")
    return 0


if __name__ == "__main__":
    sys.exit(main())
