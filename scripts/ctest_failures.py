#!/usr/bin/env python3
"""Prints, for each test that failed in the last ctest run of a build, the
lines that say why (assertion failures, sanitizer reports), read from ctest's
log: a compact account for the very end of a long CI log.
Usage: scripts/ctest_failures.py BUILD_DIR [MAX_LINES_PER_TEST]   (default 16)"""
import pathlib
import re
import sys

RULE = "----------------------------------------------------------\n"
TELLING = re.compile(r": Failure$|^\[  FAILED  \]|ERROR: \w+Sanitizer|runtime error:|Traceback|Error:|Timeout|Killed")


def telling_lines(output: str, limit: int) -> list[str]:
    lines = output.rstrip("\n").splitlines()
    picked: list[int] = []
    for i, line in enumerate(lines):
        if TELLING.search(line):
            # an assertion's text follows its "file:line: Failure" line
            follow = 3 if line.endswith(": Failure") else 0
            picked.extend(j for j in range(i, min(i + 1 + follow, len(lines))) if not picked or j > picked[-1])
        if len(picked) >= limit:
            break
    return [lines[j] for j in picked[:limit]] if picked else lines[-limit:]


def main() -> int:
    build = pathlib.Path(sys.argv[1])
    limit = int(sys.argv[2]) if len(sys.argv) > 2 else 16
    temp = build / "Testing" / "Temporary"
    failed_log = temp / "LastTestsFailed.log"
    if not failed_log.exists():
        return 0
    failed = {line.split(":", 1)[1].strip() for line in failed_log.read_text(errors="replace").splitlines() if ":" in line}
    log = (temp / "LastTest.log").read_text(errors="replace")
    # A test's record: "N/M Testing: name", ..., "Output:", a rule, its
    # output, "<end of output>".
    for record in log.split(" Testing: ")[1:]:
        name = record.split("\n", 1)[0].strip()
        if name not in failed:
            continue
        body = record.split("Output:\n" + RULE, 1)
        output = body[1].split("<end of output>", 1)[0] if len(body) > 1 else record
        print(f"== why {name} failed ({build.name}):")
        print("\n".join(telling_lines(output, limit)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
