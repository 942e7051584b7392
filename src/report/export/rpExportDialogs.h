#pragma once

// The options windows of the export filters, by the filter's class name. The export library
// has no windows: the export user-interface library fills the table at start-up, and a filter
// without a runner exports with its options as they are.

#include <QString>

#include <functional>
#include <map>

class TrpCustomExportFilter;

// Shows the filter's options window and answers the modal result (mrOk, mrCancel).
using TrpExportDialogRunner = std::function<int(TrpCustomExportFilter& filter)>;

std::map<QString, TrpExportDialogRunner>& ExportDialogs();
