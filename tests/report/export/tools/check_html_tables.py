#!/usr/bin/env python3
"""Checks the tables of an HTML export with Python's own HTML parser.

usage: check_html_tables.py FILE.html [--matrix DUMP]

Every table is laid out with its colspans and rowspans: its first row (the width row) gives
the columns, and every further row must fill exactly those columns, with no cell overlapping
another and no row span reaching past the table. Every class="sN" used must be defined in the
document's style element. With --matrix, the output of `rptool matrix` for the same report is
read and each cell that holds an object must match the placement at its grid position: spans,
style index and the first line of its text (rows run on from table to table, the width rows
not counted).

Prints "ok tables=T rows=R cells=C" and exits 0, or prints one line per fault and exits 1.
"""

import re
import sys
from html.parser import HTMLParser

# The inline tags of report texts, removed from a matrix text before it is compared.
REPORT_TAGS = re.compile(r"</?(b|i|u|strike|sub|sup|nowrap)>|<font\s+color\s*=\s*[^>]*>|</font>", re.I)


class Cell:
    def __init__(self, attrs, empty):
        self.attrs = dict(attrs)
        self.empty = empty  # written as <td/>: no object
        self.text = ""
        self.colspan = self.span("colspan")
        self.rowspan = self.span("rowspan")

    def span(self, name):
        value = self.attrs.get(name)
        if value is None:
            return 1
        try:
            return int(value)
        except ValueError:
            return -1


class Tables(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.tables = []       # each: list of rows, each a list of cells
        self.styles = ""
        self.in_style = False
        self.cell = None
        self.faults = []

    def handle_starttag(self, tag, attrs):
        self.start(tag, attrs, empty=False)

    def handle_startendtag(self, tag, attrs):
        self.start(tag, attrs, empty=True)

    def start(self, tag, attrs, empty):
        if tag == "style":
            self.in_style = True
        elif tag == "table":
            self.tables.append([])
        elif tag == "tr":
            if not self.tables:
                self.faults.append("a row outside any table")
                self.tables.append([])
            self.tables[-1].append([])
        elif tag == "td":
            if not self.tables or not self.tables[-1]:
                self.faults.append("a cell outside any row")
                return
            cell = Cell(attrs, empty)
            self.tables[-1][-1].append(cell)
            self.cell = None if empty else cell
        elif tag == "br" and self.cell is not None:
            self.cell.text += "\n"

    def handle_endtag(self, tag):
        if tag == "style":
            self.in_style = False
        elif tag == "td":
            self.cell = None

    def handle_data(self, data):
        if self.in_style:
            self.styles += data
        elif self.cell is not None:
            self.cell.text += data


def first_line(text):
    line = text.split("\n", 1)[0]
    return line.replace("\xa0", " ").strip()


def unescape_line(text):
    """A text of the dump back from its one-line form (backslash, tab, CR and LF escaped)."""
    escapes = {"\\": "\\", "t": "\t", "r": "\r", "n": "\n"}
    result = []
    i = 0
    while i < len(text):
        if text[i] == "\\" and i + 1 < len(text) and text[i + 1] in escapes:
            result.append(escapes[text[i + 1]])
            i += 2
        else:
            result.append(text[i])
            i += 1
    return "".join(result)


def read_matrix(path):
    """The placements of an `rptool matrix` dump by (x, y): (dx, dy, style, first text line).

    The dump lists its cells after a line "cells N: ..." as tab-separated lines
    X Y DX DY sINDEX KIND FIRSTLINE.
    """
    placements = {}
    in_cells = False
    with open(path, encoding="utf-8") as dump:
        for line in dump:
            line = line.rstrip("\n")
            if line.startswith("cells "):
                in_cells = True
                continue
            if line.startswith("styles "):
                in_cells = False
                continue
            if not in_cells:
                continue
            fields = line.split("\t")
            if len(fields) < 7 or not fields[4].startswith("s"):
                continue
            x, y, dx, dy = (int(v) for v in fields[:4])
            style = int(fields[4][1:])
            text = unescape_line("\t".join(fields[6:]))
            if dx > 0 and dy > 0:
                placements[(x, y)] = (dx, dy, style, first_line(REPORT_TAGS.sub("", text)))
    return placements


def check(path, matrix_path=None):
    with open(path, encoding="utf-8") as source:
        document = source.read()
    parser = Tables()
    parser.feed(document)
    parser.close()
    faults = list(parser.faults)
    defined = set(re.findall(r"\.(s\d+)\s*\{", parser.styles))
    placements = read_matrix(matrix_path) if matrix_path else None
    rows_total = 0
    cells_total = 0
    matrix_row = 0
    for t, table in enumerate(parser.tables, 1):
        if not table:
            faults.append(f"table {t}: no rows")
            continue
        width_row = table[0]
        # A grid without columns writes one bare "<td/>" there.
        columns = sum(1 for cell in width_row if "width" in cell.attrs)
        if any(not cell.empty for cell in width_row):
            faults.append(f"table {t}: the width row holds content")
        # Which cells of the rows below are taken by row spans from above: row -> set of columns.
        taken = {}
        body = table[1:]
        for r, row in enumerate(body):
            rows_total += 1
            occupied = taken.get(r, set())
            column = 0
            for cell in row:
                cells_total += 1
                while column in occupied:
                    column += 1
                if cell.colspan < 1 or cell.rowspan < 1:
                    faults.append(f"table {t} row {r + 1}: a span that is no positive number")
                    break
                for c in range(column, column + cell.colspan):
                    if c in occupied:
                        faults.append(f"table {t} row {r + 1} column {c}: two cells overlap")
                    for below in range(r, r + cell.rowspan):
                        taken.setdefault(below, set()).add(c)
                if r + cell.rowspan > len(body):
                    faults.append(f"table {t} row {r + 1} column {column}: the row span reaches past the table")
                cls = cell.attrs.get("class")
                if cls is not None and cls not in defined:
                    faults.append(f"table {t} row {r + 1} column {column}: class {cls} is not defined")
                if placements is not None and not cell.empty:
                    key = (column, matrix_row + r)
                    expected = placements.get(key)
                    if expected is None:
                        faults.append(f"table {t} row {r + 1} column {column}: no placement at {key} in the matrix")
                    else:
                        style = int(cls[1:]) if cls and cls[1:].isdigit() else -1
                        got = (cell.colspan, cell.rowspan, style if cls else expected[2], first_line(cell.text))
                        if got != expected:
                            faults.append(f"table {t} row {r + 1} column {column}: cell {got} but matrix {expected}")
                column += cell.colspan
            filled = len(taken.get(r, set()))
            if filled != columns:
                faults.append(f"table {t} row {r + 1}: {filled} columns filled of {columns}")
        matrix_row += len(body)
    if not parser.tables:
        faults.append("no table")
    for fault in faults[:50]:
        print(fault)
    if faults:
        print(f"{len(faults)} faults")
        return 1
    print(f"ok tables={len(parser.tables)} rows={rows_total} cells={cells_total}")
    return 0


def main(argv):
    if len(argv) == 2:
        return check(argv[1])
    if len(argv) == 4 and argv[2] == "--matrix":
        return check(argv[1], argv[3])
    print(__doc__.strip().splitlines()[2], file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
