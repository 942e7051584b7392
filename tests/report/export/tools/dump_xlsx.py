#!/usr/bin/python3
"""Prints what an .xlsx workbook's first worksheet holds, read by openpyxl (cells, sizes,
page set-up) and by zipfile (pictures and their anchors), as sorted JSON:

  cells            "A1": {"type": "s" | "n", "value": ..., "number_format": ..., "style": {...}}
  merged           ["A1:C2", ...]
  row_heights      "1": points, for rows with a height of their own (1-based)
  default_row_height, column_widths ("A": stored width, padding included)
  page_breaks      the first row (0-based) of each new page, as the file stores it
  margins          inches; orientation; gridlines (shown on screen)
  pictures         anchors (0-based cell and EMU offsets), extent (EMU), media name and size

Usage: dump_xlsx.py FILE.xlsx
"""

import json
import sys
import xml.etree.ElementTree as ET
import zipfile

import openpyxl
from openpyxl.utils import get_column_letter

XDR = "{http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing}"
A = "{http://schemas.openxmlformats.org/drawingml/2006/main}"
R = "{http://schemas.openxmlformats.org/officeDocument/2006/relationships}"
REL = "{http://schemas.openxmlformats.org/package/2006/relationships}"


def color(c):
    if c is None or c.type != "rgb" or c.rgb is None:
        return None
    return str(c.rgb)[-6:]


def style_of(cell):
    f = cell.font
    fill = cell.fill
    al = cell.alignment
    b = cell.border
    sides = [name for name, side in (("left", b.left), ("right", b.right), ("top", b.top), ("bottom", b.bottom))
             if side is not None and side.style is not None]
    return {
        "font": f.name,
        "size": f.sz,
        "bold": bool(f.b),
        "italic": bool(f.i),
        "underline": f.u is not None,
        "color": color(f.color),
        "fill": color(fill.fgColor) if fill is not None and fill.fill_type == "solid" else None,
        "halign": al.horizontal,
        "valign": al.vertical,
        "wrap": bool(al.wrap_text),
        "rotation": al.textRotation or 0,
        "borders": sides,
    }


def pictures(path):
    result = []
    with zipfile.ZipFile(path) as z:
        names = set(z.namelist())
        for name in sorted(n for n in names if n.startswith("xl/drawings/drawing") and n.endswith(".xml")):
            rels_name = "xl/drawings/_rels/" + name.rsplit("/", 1)[1] + ".rels"
            targets = {}
            if rels_name in names:
                for rel in ET.fromstring(z.read(rels_name)).iter(REL + "Relationship"):
                    targets[rel.get("Id")] = rel.get("Target")
            root = ET.fromstring(z.read(name))
            for anchor in list(root):
                entry = {"anchor": anchor.tag.replace(XDR, "")}
                for corner in ("from", "to"):
                    node = anchor.find(XDR + corner)
                    if node is not None:
                        entry[corner] = {k: int(node.find(XDR + k).text) for k in ("col", "colOff", "row", "rowOff")}
                pic = anchor.find(XDR + "pic")
                if pic is not None:
                    ext = pic.find(".//" + A + "ext")
                    if ext is not None:
                        entry["extent"] = {"cx": int(ext.get("cx")), "cy": int(ext.get("cy"))}
                    blip = pic.find(".//" + A + "blip")
                    if blip is not None:
                        target = targets.get(blip.get(R + "embed"), "")
                        media = "xl/" + target.replace("../", "")
                        entry["media"] = media
                        entry["bytes"] = len(z.read(media)) if media in names else 0
                        entry["png"] = media in names and z.read(media)[:8] == b"\x89PNG\r\n\x1a\n"
                result.append(entry)
    return result


def main():
    if len(sys.argv) != 2:
        sys.stderr.write("usage: dump_xlsx.py FILE.xlsx\n")
        return 1
    path = sys.argv[1]
    wb = openpyxl.load_workbook(path)
    ws = wb.worksheets[0]
    cells = {}
    for row in ws.iter_rows():
        for cell in row:
            if cell.value is None and not cell.has_style:
                continue
            if type(cell).__name__ == "MergedCell":
                continue
            if isinstance(cell.value, bool):
                kind = "b"
            elif isinstance(cell.value, (int, float)):
                kind = "n"
            elif cell.value is None:
                kind = "blank"
            else:
                kind = "s"
            cells[cell.coordinate] = {
                "type": kind,
                "value": cell.value,
                "number_format": cell.number_format,
                "style": style_of(cell),
            }
    widths = {}
    for key, dim in ws.column_dimensions.items():
        if dim.width is None or not dim.customWidth:
            continue
        low = dim.min or openpyxl.utils.column_index_from_string(key)
        high = dim.max or low
        for index in range(low, high + 1):
            widths[get_column_letter(index)] = dim.width
    heights = {str(r): dim.height for r, dim in ws.row_dimensions.items() if dim.height is not None}
    result = {
        "cells": cells,
        "merged": sorted(str(r) for r in ws.merged_cells.ranges),
        "row_heights": heights,
        "default_row_height": ws.sheet_format.defaultRowHeight,
        "column_widths": widths,
        "page_breaks": sorted(b.id for b in ws.row_breaks.brk),
        "margins": {
            "left": ws.page_margins.left,
            "right": ws.page_margins.right,
            "top": ws.page_margins.top,
            "bottom": ws.page_margins.bottom,
        },
        "orientation": ws.page_setup.orientation,
        "gridlines": ws.sheet_view.showGridLines is not False,
        "pictures": pictures(path),
        "max_row": ws.max_row,
        "max_column": ws.max_column,
    }
    sys.stdout.write(json.dumps(result, sort_keys=True, ensure_ascii=False, indent=1) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
