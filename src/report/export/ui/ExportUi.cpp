#include "ExportUi.h"

#include "rpHTMLExportDialog.h"
#include "rpPDFExportDialog.h"

#include "report/core/Services.h"
#include "report/export/ExportRuntime.h"
#include "report/export/rpExportDialogs.h"
#include "report/export/rpExportHTML.h"
#include "report/export/rpExportPDF.h"

#include <QApplication>

namespace ExportUi {

void init()
{
    ExportRuntime::init();
    ExportDialogs()[TrpPDFExport::Class().Name] = [](TrpCustomExportFilter& filter) {
        auto* pdf = dynamic_cast<TrpPDFExport*>(&filter);
        if (pdf == nullptr || qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr)
            return static_cast<int>(mrOk);
        return TrpPDFExportDialog::Run(*pdf);
    };
    ExportDialogs()[TrpHTMLExport::Class().Name] = [](TrpCustomExportFilter& filter) {
        auto* html = dynamic_cast<TrpHTMLExport*>(&filter);
        if (html == nullptr || qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr)
            return static_cast<int>(mrOk);
        return TrpHTMLExportDialog::Run(*html);
    };
}

} // namespace ExportUi
