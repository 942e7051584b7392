#pragma once

#include <QStringList>

// rptool matrix IN.zp3 [--page N] [--set NAME=VALUE]...: the export matrix of the prepared
// report, prepared with the HTML export's matrix options, as text.
int RunMatrix(const QStringList& arguments);
