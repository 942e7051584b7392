#include "rpClass_exportfilter.h"

#include "rpDsgnIntf.h"

#include "report/core/Services.h"

TrpCustomExportFilter::TrpCustomExportFilter(QObject* owner) : QObject(owner)
{
    GetExportFilterRegistry().Register(this);
}

TrpCustomExportFilter::TrpCustomExportFilter(TrpNoRegister) : noRegister_(true) {}

TrpCustomExportFilter::~TrpCustomExportFilter()
{
    if (!noRegister_)
        GetExportFilterRegistry().Unregister(this);
}

int TrpCustomExportFilter::ShowModal()
{
    return mrOk;
}

void TrpCustomExportFilter::StartPage(TrpReportPage*, int32_t) {}

void TrpCustomExportFilter::FinishPage(TrpReportPage*, int32_t) {}

const ScriptClassInfo& TrpCustomExportFilter::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpCustomExportFilter"), nullptr};
    return info;
}
