#pragma once

#include <QStringList>

// rptool report-roundtrip IN OUT [--password P]
// Loads the report file IN (P as the program's own password, errors neither shown nor raised)
// and saves it to OUT. With load errors it prints them one per line on stderr, exits 2 and
// writes nothing.
int RunReportRoundTrip(const QStringList& arguments);

// rptool eval FILE EXPR
// Loads the report file FILE, prepares its script (the engine does not run) and prints the
// value of the expression EXPR (numbers in the C locale). An error prints its text on stderr
// and exits 2.
int RunReportEval(const QStringList& arguments);
