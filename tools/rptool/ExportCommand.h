#pragma once

#include <QStringList>

// export IN.zp3 --format pdf --out OUT [--set NAME=VALUE]... [--pages LIST]: the prepared
// report IN through an export filter set up as the device frame holds it, each --set applied
// as a report file writes the property, into OUT. Usage errors exit 1 (so does a file that
// cannot be opened); a refused file, a bad --set or a failed export print their messages
// and exit 2, and OUT is then not written.
int RunExport(const QStringList& arguments);
