#include "rpExportDialogs.h"

std::map<QString, TrpExportDialogRunner>& ExportDialogs()
{
    static auto* dialogs = new std::map<QString, TrpExportDialogRunner>; // outlives every static object
    return *dialogs;
}
