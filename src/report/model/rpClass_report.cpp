// The report document: creation, clearing, its parts and the look-ups of data sets.

#include "rpClass_report.h"

#include "rpChBox.h"
#include "rpClass_bands.h"
#include "rpClass_datasets.h"
#include "rpClass_expressioncache.h"
#include "rpClass_memo.h"
#include "rpClass_pages.h"
#include "rpClass_register.h"
#include "rpRes.h"
#include "rpTaggedValues.h"
#include "rpUtils.h"

#include "report/core/PropertyRegistry.h"
#include "report/script/sc_iinterpreter_script.h"

#include <QCoreApplication>
#include <QDir>
#include <QTimer>

#include <algorithm>

namespace {

// ShowReport prepares the report this long after the preview has appeared.
constexpr int kPrepareDelayMs = 50;

} // namespace

const ScriptClassInfo& TrpReport::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpReport"), &TrpComponent::Class()};
    return info;
}

TrpReport::TrpReport()
{
    Init();
}

TrpReport::TrpReport(QObject* owner)
{
    SetOwner(owner);
    Init();
}

void TrpReport::Init()
{
    script_ = std::make_unique<TscScript>();
    script_->AddRTTI();
    expressionCache_ = std::make_unique<TrpExpressionCache>(script_.get());
    // The deferred preparation of ShowReport: once, shortly after the preview is on screen.
    timer_ = std::make_unique<QTimer>();
    timer_->setSingleShot(true);
    timer_->setInterval(kPrepareDelayMs);
    QObject::connect(timer_.get(), &QTimer::timeout, this, [this] { PrepareTimerTick(); });
    dataSets_ = std::make_unique<TrpReportDataSets>(this);
    enabledDataSets_ = std::make_unique<TrpReportDataSets>(this);
    styles_ = std::make_unique<TrpStyles>(this);
    dataSets_->OnDropped = [this] {
        if (designer_ != nullptr)
            designer_->UpdateDataTree();
    };
    const TrpModelServices& services = ModelServices();
    if (services.CreateEngine)
        engine_ = services.CreateEngine(*this);
    if (services.CreatePreviewPages)
        previewPages_ = services.CreatePreviewPages(*this);
    if (engine_ != nullptr && previewPages_ != nullptr) {
        engine_->SetPreviewPages(previewPages_.get());
        previewPages_->SetEngine(engine_.get());
    }
    Clear();
}

TrpReport::~TrpReport()
{
    timer_->stop();
    // The pages first, while the lists they may reach are still whole.
    while (!Objects().empty())
        delete Objects().back();
    if (preview_ != nullptr)
        preview_->report_ = nullptr;
    if (designer_ != nullptr)
        designer_->report_ = nullptr;
}

QString TrpReport::GetDescription() const
{
    return GetResourcesInstance().Get(u"obReport");
}

void TrpReport::AddError(const QString& error)
{
    const auto at = std::lower_bound(errors_.begin(), errors_.end(), error);
    if (at == errors_.end() || *at != error)
        errors_.insert(at, error);
}

void TrpReport::AddErrors(const QStringList& errors)
{
    for (const QString& error : errors)
        AddError(error);
}

void TrpReport::RebuildSysVariables()
{
    sysVariables_ = {QStringLiteral("Date"),     QStringLiteral("Time"),        QStringLiteral("Page"),
                     QStringLiteral("Page#"),    QStringLiteral("TotalPages"),  QStringLiteral("TotalPages#"),
                     QStringLiteral("Line"),     QStringLiteral("Line#"),       QStringLiteral("CopyName#")};
}

void TrpReport::Clear()
{
    // Without a template first, so that no object is kept as inherited.
    SetParentReport(QString());
    TrpComponent::Clear();
    dataSets_->Clear();
    variables_.Clear();
    styles_->Clear();
    engineOptions_.Clear();
    previewOptions_.Clear();
    printOptions_.Clear();
    reportOptions_.Clear();
    SetDataSet(nullptr);
    DotMatrixReport = false;
    ScriptLanguage = QStringLiteral("RireroRidoze");
    scriptText_ = {QStringLiteral("begin"), QString(), QStringLiteral("end.")};
    RebuildSysVariables();
    OnRunDialogs.clear();
    OnStartReport.clear();
    OnStopReport.clear();
}

const QStringList& TrpReport::ScriptText() const
{
    return IsWriting() && !StoreInDFM ? fakeScriptText_ : scriptText_;
}

void TrpReport::SetStyles(const TrpStyles* styles)
{
    if (styles == nullptr) {
        styles_->Clear();
        return;
    }
    styles_->Assign(*styles);
    styles_->Apply();
}

TrpComponent* TrpReport::Pages(int index) const
{
    if (index < 0 || index >= PagesCount())
        return nullptr;
    return Objects()[static_cast<size_t>(index)];
}

void TrpReport::SetPreview(TrpCustomPreview* preview)
{
    if (preview_ != nullptr && preview_ != preview) {
        preview_->report_ = nullptr;
        preview_->SetPreviewPages(nullptr);
    }
    preview_ = preview;
    if (preview == nullptr) {
        previewForm_ = nullptr;
        return;
    }
    preview->report_ = this;
    preview->SetPreviewPages(previewPages_.get());
    preview->Init();
}

void TrpReport::SetDesigner(TrpCustomDesigner* designer)
{
    designer_ = designer;
}

// --- the report's own data set

TrpDataSet* TrpReport::DataSet() const
{
    return dynamic_cast<TrpDataSet*>(dataSet_.data());
}

void TrpReport::SetDataSet(TrpDataSet* dataSet)
{
    dataSet_ = dataSet;
    dataSetName_ = dataSet != nullptr ? dataSet->UserName() : QString();
}

QString TrpReport::DataSetName() const
{
    const TrpDataSet* bound = DataSet();
    return bound != nullptr ? bound->UserName() : dataSetName_;
}

void TrpReport::SetDataSetName(const QString& name)
{
    dataSetName_ = name;
    dataSet_ = FindDataSet(nullptr, name);
}

// --- data-set look-ups

TrpComponent* TrpReport::FindReportDataSet(TrpComponent* dataSet, const QString& name) const
{
    if (name.isEmpty())
        return nullptr;
    // The report's own lists first, so that two reports (two frames, two tests) may each have
    // a data set of the same user name.
    for (const TrpReportDataSets* list : {dataSets_.get(), enabledDataSets_.get()}) {
        if (const TrpDataSetItem* item = list->Find(name))
            return item->DataSet();
    }
    if (!engineOptions_.UseGlobalDataSetList)
        return dataSet;
    return TrpGlobalDataSetList::Instance().Find(name, this, dynamic_cast<TrpDataSet*>(dataSet));
}

TrpDataSet* TrpReport::GetDataset(const QString& alias) const
{
    const TrpDataSetItem* item = dataSets_->Find(alias);
    return item != nullptr ? item->DataSet() : nullptr;
}

QString TrpReport::GetAlias(const TrpDataSet* dataSet) const
{
    if (dataSet == nullptr)
        return QString();
    if (dataSets_->Find(dataSet) != nullptr)
        return dataSet->UserName();
    return GetResourcesInstance().Get(u"clDSNotIncl");
}

void TrpReport::GetDatasetAndField(const QString& complexName, TrpDataSet*& dataSet, QString& field) const
{
    dataSet = nullptr;
    field.clear();
    const qsizetype mark = complexName.indexOf(QLatin1String(".\""));
    if (mark < 0)
        return;
    dataSet = GetDataset(complexName.left(mark));
    // The text between the mark and the last character (the closing quote).
    field = complexName.mid(mark + 2, complexName.size() - mark - 3);
}

void TrpReport::GetDataSetList(QStringList& names, std::vector<TrpDataSet*>& dataSets, bool onlyDatabases) const
{
    names.clear();
    dataSets.clear();
    dataSets_->DropGone();
    for (int i = 0; i < dataSets_->Count(); ++i) {
        TrpDataSet* dataSet = dataSets_->Items(i)->DataSet();
        if (dataSet == nullptr || (onlyDatabases && dataSet->ScriptClass().InheritsFrom(TrpUserDataSet::Class())))
            continue;
        names.append(dataSet->UserName());
        dataSets.push_back(dataSet);
    }
}

void TrpReport::GetActiveDataSetList(QStringList& names, std::vector<TrpDataSet*>& dataSets) const
{
    if (engineOptions_.UseGlobalDataSetList) {
        TrpGlobalDataSetList::Instance().GetUsable(names, dataSets);
        return;
    }
    names.clear();
    dataSets.clear();
    for (int i = 0; i < enabledDataSets_->Count(); ++i) {
        TrpDataSet* dataSet = enabledDataSets_->Items(i)->DataSet();
        if (dataSet == nullptr)
            continue;
        names.append(dataSet->UserName());
        dataSets.push_back(dataSet);
    }
}

void TrpReport::CheckDataPage()
{
    const std::vector<TrpComponent*> all = AllObjects();
    if (std::any_of(all.begin(), all.end(), [](const TrpComponent* o) { return dynamic_cast<const TrpDataPage*>(o); }))
        return;
    auto* dataPage = new TrpDataPage(this);
    MoveObject(PagesCount() - 1, 0);
    if (FindObject(u"Data") == nullptr)
        dataPage->SetName(QStringLiteral("Data"));
    else
        dataPage->CreateUniqueName();
    // Dialog components left elsewhere by older files go onto the data page in a row.
    double left = 60;
    for (TrpComponent* object : all) {
        if (!object->ScriptClass().InheritsFrom(TrpDialogComponent::Class()))
            continue;
        object->SetParent(dataPage);
        object->SetTop(20);
        object->SetLeft(left);
        left += 64;
    }
}

// --- settings and printers

QString TrpReport::GetApplicationFolder() const
{
    if (IsDesigning())
        return QDir::currentPath() + u'/';
    return GetModuleFolder();
}

void TrpReport::SelectPrinter()
{
    if (const auto& select = ModelServices().SelectPrinter)
        select(printOptions_.Printer);
}

// --- what running the script will fill


// --- errors

void HandleReportError(TrpReport& report, const QString& message)
{
    switch (report.EngineOptions().NewSilentMode) {
    case simMessageBoxes:
        ErrorMessageBox(message);
        return;
    case simSilent: {
        // Kept where the caller can read it. Callers that report the report's own error list
        // under the "clErrors" heading have those lines there already.
        const QString ownList = GetResourcesInstance().Get(u"clErrors") + QStringLiteral("\r\n") +
                                report.Errors().join(QStringLiteral("\r\n"));
        if (message != ownList)
            report.AddError(message);
        return;
    }
    case simReThrow:
        throw EReportError(message.toStdString());
    }
}

// --- registration

void TrpReport::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    TrpComponent::RegisterClass(registry);
    TrpEngineOptions::RegisterClass(registry);
    TrpPreviewOptions::RegisterClass(registry);
    TrpPrintOptions::RegisterClass(registry);
    TrpReportOptions::RegisterClass(registry);
    TrpDataSet::RegisterClass(registry);
    TrpDataSetItem::RegisterClass(registry);
    TrpStyleItem::RegisterClass(registry);
    TrpVariable::RegisterClass(registry);
    using R = TrpReport;
    RegisteredClass& c = registry.Register(Class(), [] { return std::make_unique<TrpReport>(); });
    c.AcceptsChild = [](const ScriptObject&, const ScriptClassInfo& child) { return child.InheritsFrom(TrpPage::Class()); };
    c.AddString(QStringLiteral("Version"), GetterOf<R>([](const R& o) { return Variant(o.Version()); }),
                SetterOf<R>([](R& o, const Variant& v) { o.SetVersion(v.ToString()); }));
    c.AddString(QStringLiteral("ParentReport"), GetterOf<R>([](const R& o) { return Variant(o.ParentReport()); }),
                SetterOf<R>([](R& o, const Variant& v) { o.SetParentReport(v.ToString()); }));
    rpreg::Reference<R, TrpDataSet>(c, "DataSet", &R::DataSet, &R::SetDataSet);
    rpreg::Str<R>(c, "DataSetName", &R::DataSetName, &R::SetDataSetName);
    rpreg::Bool<R>(c, "DotMatrixReport", &R::DotMatrixReport, false).Default = Variant();
    c.AddNested(QStringLiteral("EngineOptions"), TrpEngineOptions::Class(),
                [](const ScriptObject& o) -> ScriptObject* { return &const_cast<R&>(static_cast<const R&>(o)).EngineOptions(); },
                [](ScriptObject& o, ScriptObject* v) {
                    static_cast<R&>(o).SetEngineOptions(static_cast<const TrpEngineOptions&>(*v));
                });
    c.AddNested(QStringLiteral("PreviewOptions"), TrpPreviewOptions::Class(),
                [](const ScriptObject& o) -> ScriptObject* { return &const_cast<R&>(static_cast<const R&>(o)).PreviewOptions(); },
                [](ScriptObject& o, ScriptObject* v) {
                    static_cast<R&>(o).SetPreviewOptions(static_cast<const TrpPreviewOptions&>(*v));
                });
    c.AddNested(QStringLiteral("PrintOptions"), TrpPrintOptions::Class(),
                [](const ScriptObject& o) -> ScriptObject* { return &const_cast<R&>(static_cast<const R&>(o)).PrintOptions(); },
                [](ScriptObject& o, ScriptObject* v) {
                    static_cast<R&>(o).SetPrintOptions(static_cast<const TrpPrintOptions&>(*v));
                });
    c.AddNested(QStringLiteral("ReportOptions"), TrpReportOptions::Class(),
                [](const ScriptObject& o) -> ScriptObject* { return &const_cast<R&>(static_cast<const R&>(o)).ReportOptions(); },
                [](ScriptObject& o, ScriptObject* v) {
                    static_cast<R&>(o).SetReportOptions(static_cast<const TrpReportOptions&>(*v));
                });
    rpreg::Str<R>(c, "IniFile", &R::IniFile);
    rpreg::Bool<R>(c, "OldStyleProgress", &R::OldStyleProgress, false);
    // A script has a language: an empty name would not be written and would come back as the
    // default, so it is refused.
    c.AddString(QStringLiteral("ScriptLanguage"), GetterOf<R>([](const R& o) { return Variant(o.ScriptLanguage); }),
                SetterOf<R>([](R& o, const Variant& v) {
                    const QString language = v.ToString();
                    if (language.trimmed().isEmpty())
                        RaiseInvalidPropertyValue(u"ScriptLanguage", language);
                    o.ScriptLanguage = language;
                }));
    rpreg::Lines<R>(c, "ScriptText", &R::ScriptText, &R::SetScriptText);
    rpreg::Bool<R>(c, "ShowProgress", &R::ShowProgress, true);
    rpreg::Bool<R>(c, "StoreInDFM", &R::StoreInDFM, true);
    rpreg::Event<R>(c, "OnRunDialogs", &R::OnRunDialogs);
    rpreg::Event<R>(c, "OnStartReport", &R::OnStartReport);
    rpreg::Event<R>(c, "OnStopReport", &R::OnStopReport);
    rpreg::Event<R>(c, "OnReportPrint", &R::OnReportPrint);
    // "Datasets", "Variables" and "Style": each a list of items, each item's attribute text.
    c.WriteDefined = [](const ScriptObject& o, TrpValueWriter& writer) {
        auto& report = const_cast<R&>(static_cast<const R&>(o));
        if (!report.StoreInDFM)
            return;
        report.DataSets().DropGone();
        writer.WritePropName(u"Datasets");
        WriteCollectionItems(report.DataSets(), writer, &report);
        writer.WritePropName(u"Variables");
        WriteCollectionItems(report.Variables(), writer, &report);
        writer.WritePropName(u"Style");
        WriteCollectionItems(report.Styles(), writer, &report);
    };
    c.ReadDefined = [](ScriptObject& o, const QString& name, TrpValueReader& reader) {
        auto& report = static_cast<R&>(o);
        if (name == u"Datasets")
            ReadCollectionItems(report.DataSets(), reader, &report);
        else if (name == u"Variables")
            ReadCollectionItems(report.Variables(), reader, &report);
        else if (name == u"Style")
            ReadCollectionItems(report.Styles(), reader, &report);
        else
            return false;
        return true;
    };
}

void RegisterReportClasses(PropertyRegistry& registry)
{
    TrpDialogComponent::RegisterClass(registry);
    TrpDataSet::RegisterClass(registry);
    TrpUserDataSet::RegisterClass(registry);
    TrpCustomDBDataSet::RegisterClass(registry);
    TrpCustomDatabase::RegisterClass(registry);
    TrpFrame::RegisterClass(registry);
    TrpHighlight::RegisterClass(registry);
    TrpFormat::RegisterClass(registry);
    TrpPicture::RegisterClass(registry);
    TrpView::RegisterClass(registry);
    TrpStretcheable::RegisterClass(registry);
    TrpShapeView::RegisterClass(registry);
    TrpCustomLineView::RegisterClass(registry);
    TrpLineView::RegisterClass(registry);
    TrpPictureView::RegisterClass(registry);
    TrpCheckBoxView::RegisterClass(registry);
    TrpMemoView::RegisterClass(registry);
    TrpSysMemoView::RegisterClass(registry);
    RegisterBandClasses(registry);
    TrpPage::RegisterClass(registry);
    TrpReportPage::RegisterClass(registry);
    TrpDataPage::RegisterClass(registry);
    TrpDialogPage::RegisterClass(registry);
    TrpSubreport::RegisterClass(registry);
    TrpReport::RegisterClass(registry);
}
