#include "rpClass_exportfilter.h"

#include "rpDsgnIntf.h"

#include "report/core/PropertyRegistry.h"
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

namespace {

template <class T>
PropertyGetter FilterGetter(T TrpCustomExportFilter::*field)
{
    return [field](const ScriptObject& o) { return Variant(static_cast<const TrpCustomExportFilter&>(o).*field); };
}

} // namespace

void TrpCustomExportFilter::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    RegisteredClass& c = registry.Register(Class());
    const auto boolean = [&c](const QString& name, bool TrpCustomExportFilter::*field, bool def) {
        c.AddBoolean(name, FilterGetter(field), [field](ScriptObject& o, const Variant& v) {
            static_cast<TrpCustomExportFilter&>(o).*field = v.ToBoolean();
        }, def);
    };
    const auto text = [&c](const QString& name, QString TrpCustomExportFilter::*field) {
        c.AddString(name, FilterGetter(field), [field](ScriptObject& o, const Variant& v) {
            static_cast<TrpCustomExportFilter&>(o).*field = v.ToString();
        });
    };
    boolean(QStringLiteral("ShowDialog"), &TrpCustomExportFilter::ShowDialog, true);
    text(QStringLiteral("FileName"), &TrpCustomExportFilter::FileName);
    boolean(QStringLiteral("ExportNotPrintable"), &TrpCustomExportFilter::ExportNotPrintable, false);
    boolean(QStringLiteral("UseFileCache"), &TrpCustomExportFilter::UseFileCache, true);
    text(QStringLiteral("DefaultPath"), &TrpCustomExportFilter::DefaultPath);
    boolean(QStringLiteral("ShowProgress"), &TrpCustomExportFilter::ShowProgress, true);
    boolean(QStringLiteral("OverwritePrompt"), &TrpCustomExportFilter::OverwritePrompt, false);
    c.AddFloat(QStringLiteral("CreationTime"), FilterGetter(&TrpCustomExportFilter::CreationTime),
               [](ScriptObject& o, const Variant& v) {
                   static_cast<TrpCustomExportFilter&>(o).CreationTime = v.ToDouble();
               },
               0, QStringLiteral("TDateTime"));
    boolean(QStringLiteral("DataOnly"), &TrpCustomExportFilter::DataOnly, false);
}
