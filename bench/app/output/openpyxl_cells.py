"""Writes the cells listed in a TSV file (row, column, kind, format, value)
into a workbook with openpyxl, in the same font and number formats, and
prints the best time of N runs in milliseconds:
openpyxl_cells.py CELLS.tsv OUT.xlsx RUNS"""
import sys
import time

import openpyxl
from openpyxl.styles import Font


def main():
    cells = []
    with open(sys.argv[1], encoding="utf-8") as f:
        for line in f:
            row, col, kind, fmt, value = line.rstrip("\n").split("\t", 4)
            cells.append((int(row), int(col), float(value) if kind == "n" else value, fmt))
    runs = int(sys.argv[3])
    best = None
    for _ in range(runs):
        start = time.perf_counter()
        wb = openpyxl.Workbook()
        ws = wb.active
        ws.title = "Messwerte"
        font = Font(name="Lucida Console", bold=True, size=10)
        for row, col, value, fmt in cells:
            c = ws.cell(row=row, column=col, value=value)
            c.font = font
            if fmt:
                c.number_format = fmt
        ws.column_dimensions["A"].width = 50
        ws.column_dimensions["C"].width = 17
        ws.column_dimensions["D"].width = 15
        wb.save(sys.argv[2])
        took = (time.perf_counter() - start) * 1000
        best = took if best is None else min(best, took)
    print(f"{best:.3f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
