#pragma once

#include <QStringList>

// The designer's views of a report file from the command line (a widgets application runs).

// props FILE OBJECT[,OBJECT...] [--events] [--set NAME=TEXT]... [--save OUT] [--grab PNG]
// [--locale ru_RU]: one line per inspector row, sub-rows one level deep: level, name, value
// and attribute letters (v value list, s sorted, d dialog, m multi-select, p sub-properties,
// r read-only, o owner-draw), tab-separated. --set goes through the row's editor (dotted names
// reach sub-rows); a refused value prints its message and exits 2, nothing saved.
int RunProps(const QStringList& arguments);

// tree FILE: the report tree, two blanks a level: name, class, and for bands and views
// Left Top Width Height with two decimals.
int RunTree(const QStringList& arguments);

// syntax --lang L FILE [--grab PNG]: each line of FILE and under it its class codes as the
// script editor colours it (1 text, 3 blank or comment, 4 keyword, 5 string, 6 number; codes
// below 32 unchanged); --grab draws the editor with FILE at 640 x 480. An unknown language
// prints the registry's message and exits 2.
int RunSyntax(const QStringList& arguments);
