"""Reads a workbook with openpyxl and prints what the tests compare as
JSON: xlsx_readback.py XLSX. Sheets (name, kind, state), the cells of the
first worksheet (value, number format, font), its column widths, the
cached values of the hidden line sheet, and every chart with its title,
axis titles, legend, plot area fill and series (name, ranges, colour,
dash, width)."""
import json
import re
import sys
import zipfile

import openpyxl


def text_of(rich):
    """Plain text of a chart title (rich text runs)."""
    if rich is None or rich.tx is None or rich.tx.rich is None:
        return None
    out = []
    for p in rich.tx.rich.p:
        for r in p.r or []:
            out.append(r.t)
    return "".join(out)


def font_of(cell):
    f = cell.font
    return [f.name, bool(f.b), float(f.sz) if f.sz is not None else None]


def colour_of(rgb):
    return rgb if isinstance(rgb, str) else rgb.val


def series_of(s):
    name = None
    if s.tx is not None:
        name = s.tx.v if s.tx.v is not None else (s.tx.strRef.f if s.tx.strRef is not None else None)
    ln = s.spPr.ln if s.spPr is not None else None
    colour = None
    dash = None
    width = None
    if ln is not None:
        if ln.solidFill is not None and ln.solidFill.srgbClr is not None:
            colour = colour_of(ln.solidFill.srgbClr)
        dash = ln.prstDash
        width = ln.w
    marker = s.marker.symbol if s.marker is not None else None
    return {
        "name": name,
        "x": s.xVal.numRef.f if s.xVal is not None and s.xVal.numRef is not None else None,
        "y": s.yVal.numRef.f if s.yVal is not None and s.yVal.numRef is not None else None,
        "colour": colour,
        "dash": dash,
        "width": width,
        "marker": marker,
    }


def chart_of(c):
    plot_fill = None
    sp = c.plot_area.spPr if c.plot_area is not None else None
    if sp is not None and sp.solidFill is not None and sp.solidFill.srgbClr is not None:
        plot_fill = colour_of(sp.solidFill.srgbClr)
    return {
        "type": c.tagname,
        "title": text_of(c.title),
        "x_title": text_of(c.x_axis.title),
        "y_title": text_of(c.y_axis.title),
        "legend": c.legend.position if c.legend is not None else None,
        "plot_fill": plot_fill,
        "series": [series_of(s) for s in c.series],
    }


def raw_charts(path):
    """Parts of the chart XML openpyxl does not keep: plot area and chart
    area fill, marker symbols."""
    out = []
    with zipfile.ZipFile(path) as z:
        for name in sorted(n for n in z.namelist() if n.startswith("xl/charts/chart")):
            xml = z.read(name).decode("utf-8")
            plot = re.search(r"</c:valAx><c:spPr>(.*?)</c:spPr></c:plotArea>", xml)
            area = re.search(r"</c:plotArea>.*?<c:spPr>(.*?)</c:spPr>", xml)
            out.append({
                "plot_fill": re.findall(r'srgbClr val="([0-9A-F]{6})"', plot.group(1)) if plot else [],
                "area_no_fill": bool(area and "<a:noFill/>" in area.group(1)),
                "markers": re.findall(r'<c:marker><c:symbol val="(\w+)"/>', xml),
            })
    return out


def main():
    path = sys.argv[1]
    wb = openpyxl.load_workbook(path)
    cached = openpyxl.load_workbook(path, data_only=True)
    out = {"sheets": [], "cells": {}, "widths": {}, "charts": [], "lines": {}}
    data = None
    for ws in wb._sheets:
        kind = "chart" if ws.__class__.__name__ == "Chartsheet" else "work"
        out["sheets"].append([ws.title, kind, ws.sheet_state])
        if kind == "chart":
            out["charts"].extend(chart_of(c) for c in ws._charts)
        elif data is None:
            data = ws
        elif ws.sheet_state == "hidden":
            for row in cached[ws.title].iter_rows():
                for cell in row:
                    if cell.value is not None:
                        out["lines"][cell.coordinate] = [cell.value, wb[ws.title][cell.coordinate].value]
    if data is not None:
        for row in data.iter_rows():
            for cell in row:
                if cell.value is None:
                    continue
                out["cells"][cell.coordinate] = [cell.value, cell.number_format, font_of(cell)]
        for key, dim in data.column_dimensions.items():
            if dim.width:
                out["widths"][key] = dim.width
        out["max_row"] = data.max_row
    for chart, raw in zip(out["charts"], raw_charts(path)):
        chart.update(raw)
    json.dump(out, sys.stdout, ensure_ascii=False)
    return 0


if __name__ == "__main__":
    sys.exit(main())
