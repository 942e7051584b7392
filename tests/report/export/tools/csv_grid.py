#!/usr/bin/python3
"""Prints the non-empty fields of a UTF-8 CSV file (comma, double quotes) as sorted JSON keyed
by cell name ("A1", "AA7"), as a spreadsheet names them.

Usage: csv_grid.py FILE.csv
"""

import csv
import json
import sys


def column_name(index):
    name = ""
    n = index + 1
    while n > 0:
        n, rest = divmod(n - 1, 26)
        name = chr(ord("A") + rest) + name
    return name


def main():
    if len(sys.argv) != 2:
        sys.stderr.write("usage: csv_grid.py FILE.csv\n")
        return 1
    grid = {}
    with open(sys.argv[1], newline="", encoding="utf-8") as f:
        for r, row in enumerate(csv.reader(f)):
            for c, field in enumerate(row):
                if field != "":
                    grid[column_name(c) + str(r + 1)] = field
    sys.stdout.write(json.dumps(grid, sort_keys=True, ensure_ascii=False) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
