#pragma once

#include <QStringList>

// prepare REPORT.zi3 [--csv NAME=FILE]... [--var NAME=VALUE]... [--cancel-dialogs] --out OUT.zp3:
// loads the report, gives it each CSV file as a data set of the user name NAME, sets each
// report variable to the text VALUE, runs the report (dialog pages answering Cancel with
// --cancel-dialogs) and saves the prepared pages to OUT. The report's errors are printed one
// per line on stderr, and then nothing is written (exit 2); a file that cannot be opened or
// written exits 1.
int RunPrepare(const QStringList& arguments);
