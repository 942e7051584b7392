#pragma once

#include <QStringList>

// The sub-commands on prepared-report files (.zp3). Each loads the file whole; a file that is
// no prepared report (or a page that cannot be rebuilt) prints its message on stderr and exits
// 2, a file that cannot be opened or written exits 1.

// zp3-roundtrip IN OUT: loads IN and saves it to OUT (atomically).
int RunZp3RoundTrip(const QStringList& arguments);

// zp3-info FILE: "pages=N", then one line per page: its index, element name, size in pixels
// (WxH) and paper in millimetres (WxH), tab-separated.
int RunZp3Info(const QStringList& arguments);

// zp3-text FILE [--page N] [--band NAME]: the lines of every memo (of page N from 1, of the
// bands named NAME), macros expanded as the export loop expands them.
int RunZp3Text(const QStringList& arguments);

// zp3-dump FILE: per page a line "page INDEX ELEMENT WIDTH HEIGHT", then one line per object
// indented by two blanks a level: its alias (or class), source name (or "-"), left, top,
// width and height with two decimals, and a memo's text on one line ("\n" between lines).
int RunZp3Dump(const QStringList& arguments);

// zp3-render FILE --page N --out PNG [--scale S]: page N (from 1) on white paper, 96 dots per
// inch times S (0.1 to 8).
int RunZp3Render(const QStringList& arguments);
