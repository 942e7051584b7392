#pragma once

#include <QStringList>

// preview (FILE.zp3 | REPORT.zi3 [--csv NAME=FILE]...) [--zoom Z | --page-width | --whole-page]
// [--page N] [--outline | --thumbnails] [--find TEXT] [--grab PNG]: shows the prepared report,
// or runs the report into the preview window (a CSV file per data set of the user name NAME).
// --find prints "found page=N" or "not found"; --grab saves a picture of the window once it is
// laid out and exits, without waiting for the user. Exit 1 for usage and unreadable files, 2
// for a report that does not load or run.
int RunPreview(const QStringList& arguments);
