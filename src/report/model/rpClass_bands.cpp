#include "rpClass_bands.h"

#include "rpClass_datasets.h"
#include "rpClass_pages.h"
#include "rpClass_register.h"
#include "rpClass_views.h"
#include "rpRes.h"

#include "report/core/PropertyRegistry.h"
#include "report/core/Rounding.h"

#include <set>

// --- TrpBand

const ScriptClassInfo& TrpBand::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpBand"), &TrpReportComponent::Class()};
    return info;
}

TrpBand::TrpBand() = default;

TrpBand::~TrpBand() = default;

TrpChild* TrpBand::Child() const
{
    return static_cast<TrpChild*>(child_.data());
}

void TrpBand::SetChild(TrpChild* child)
{
    // The chain cannot hold a cycle (every link was checked here), but a visited set keeps the
    // walk finite whatever it meets.
    std::set<const TrpBand*> visited;
    for (const TrpBand* band = child; band != nullptr; band = band->Child()) {
        if (band == this)
            throw EComponentError(GetResourcesInstance().Get(u"clCirRefNotAllow").toStdString());
        if (!visited.insert(band).second)
            break;
    }
    child_ = child;
}

QString TrpBand::BandName() const
{
    return ClassNameStem(ClassName(), u"Band");
}

int TrpBand::BandNumber() const
{
    // The engine relies on 4 to 13 being the bands of a page's band tree and on each data
    // level being the previous one plus one (6 to 11). The last matching class wins.
    static const ScriptClassInfo* const kNumbers[] = {
        &TrpReportTitle::Class(), &TrpReportSummary::Class(), &TrpPageHeader::Class(),  &TrpPageFooter::Class(),
        &TrpHeader::Class(),      &TrpFooter::Class(),        &TrpMasterData::Class(),  &TrpDetailData::Class(),
        &TrpSubdetailData::Class(), &TrpDataBand4::Class(),   &TrpDataBand5::Class(),   &TrpDataBand6::Class(),
        &TrpGroupHeader::Class(), &TrpGroupFooter::Class(),   &TrpChild::Class(),       &TrpColumnHeader::Class(),
        &TrpColumnFooter::Class(), &TrpOverlay::Class(),
    };
    int number = 0;
    for (int i = 0; i < static_cast<int>(std::size(kNumbers)); ++i) {
        if (ScriptClass().InheritsFrom(*kNumbers[i]))
            number = i;
    }
    return number;
}

namespace {

bool OnDotMatrixPage(const TrpComponent& band)
{
    const auto* page = dynamic_cast<const TrpReportPage*>(band.Parent());
    return page != nullptr && page->IsDotMatrixPage();
}

double Snap(double value, double step)
{
    return RoundHalfEven(value / step) * step;
}

} // namespace

void TrpBand::SetLeft(double value)
{
    TrpReportComponent::SetLeft(OnDotMatrixPage(*this) ? Snap(value, kDotMatrixColumn) : value);
}

void TrpBand::SetTop(double value)
{
    TrpReportComponent::SetTop(OnDotMatrixPage(*this) ? Snap(value, kDotMatrixRow) : value);
}

void TrpBand::SetHeight(double value)
{
    TrpReportComponent::SetHeight(OnDotMatrixPage(*this) ? Snap(value, kDotMatrixRow) : value);
}

QString TrpBand::GetDescription() const
{
    return GetResourcesInstance().Get(u"obBand");
}

void TrpBand::Draw(QPainter&, double, double, double, double, const TrpDrawContext&) {}

void TrpBand::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    TrpReportComponent::RegisterClass(registry);
    using B = TrpBand;
    RegisteredClass& c = registry.Register(Class());
    // A band holds views (subreports included).
    c.AcceptsChild = [](const ScriptObject&, const ScriptClassInfo& child) { return child.InheritsFrom(TrpView::Class()); };
    for (TrpCommonProperty p :
         {TrpCommonProperty::Font, TrpCommonProperty::Left, TrpCommonProperty::Top, TrpCommonProperty::Width,
          TrpCommonProperty::Height, TrpCommonProperty::ParentFont, TrpCommonProperty::Restrictions})
        PublishComponentProperty(c, p);
    rpreg::Bool<B>(c, "Vertical", &B::Vertical, false);
    PublishComponentProperty(c, TrpCommonProperty::Visible);
    rpreg::Event<B>(c, "OnAfterCalcHeight", &B::OnAfterCalcHeight);
    PublishComponentProperty(c, TrpCommonProperty::OnAfterPrint);
    PublishComponentProperty(c, TrpCommonProperty::OnBeforePrint);
}

void PublishBandProperty(RegisteredClass& c, TrpBandProperty property)
{
    using B = TrpBand;
    switch (property) {
    case TrpBandProperty::AllowSplit:
        rpreg::Bool<B>(c, "AllowSplit", &B::AllowSplit, false);
        return;
    case TrpBandProperty::KeepChild:
        rpreg::Bool<B>(c, "KeepChild", &B::KeepChild, false);
        return;
    case TrpBandProperty::PrintChildIfInvisible:
        rpreg::Bool<B>(c, "PrintChildIfInvisible", &B::PrintChildIfInvisible, false);
        return;
    case TrpBandProperty::StartNewPage:
        rpreg::Bool<B>(c, "StartNewPage", &B::StartNewPage, false);
        return;
    case TrpBandProperty::Stretched:
        rpreg::Bool<B>(c, "Stretched", &B::Stretched, false);
        return;
    case TrpBandProperty::Child:
        rpreg::Reference<B, TrpChild>(c, "Child", &B::Child, &B::SetChild);
        return;
    case TrpBandProperty::OutlineText:
        rpreg::Str<B>(c, "OutlineText", &B::OutlineText);
        return;
    }
}

namespace {

// AllowSplit, KeepChild, PrintChildIfInvisible, StartNewPage and Stretched, as the plain kinds
// publish them.
void PublishPlainBandProperties(RegisteredClass& c)
{
    for (TrpBandProperty p : {TrpBandProperty::AllowSplit, TrpBandProperty::KeepChild,
                              TrpBandProperty::PrintChildIfInvisible, TrpBandProperty::StartNewPage,
                              TrpBandProperty::Stretched, TrpBandProperty::Child})
        PublishBandProperty(c, p);
}

template <class T>
RegisteredClass& RegisterKind(PropertyRegistry& registry)
{
    return registry.Register(T::Class(), [] { return std::make_unique<T>(); });
}

} // namespace

// --- TrpDataBand

const ScriptClassInfo& TrpDataBand::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpDataBand"), &TrpBand::Class()};
    return info;
}

TrpDataBand::TrpDataBand() : virtualDataSet_(std::make_unique<TrpUserDataSet>())
{
    virtualDataSet_->RangeEnd = reCount;
    virtualDataSet_->ValuesFollowRecNo = true;
}

TrpDataBand::~TrpDataBand() = default;

void TrpDataBand::SetRowCount(int32_t value)
{
    rowCount_ = value;
    virtualDataSet_->RangeEndCount = value;
}

void TrpDataBand::SetCurColumn(int32_t value)
{
    curColumn_ = value > columns_ ? 1 : value;
    if (curColumn_ == 1)
        MaxY = 0;
    SetLeft((curColumn_ - 1) * (ColumnWidth + ColumnGap));
}

TrpDataSet* TrpDataBand::DataSet() const
{
    return dynamic_cast<TrpDataSet*>(dataSet_.data());
}

void TrpDataBand::SetDataSet(TrpDataSet* dataSet)
{
    dataSet_ = dataSet;
    dataSetName_ = dataSet != nullptr ? dataSet->UserName() : QString();
}

QString TrpDataBand::DataSetName() const
{
    const TrpDataSet* bound = DataSet();
    return bound != nullptr ? bound->UserName() : dataSetName_;
}

void TrpDataBand::SetDataSetName(const QString& name)
{
    dataSetName_ = name;
    dataSet_ = FindDataSet(nullptr, name);
}

QString TrpDataBand::GetDescription() const
{
    return GetResourcesInstance().Get(u"obDataBand");
}

void TrpDataBand::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    TrpBand::RegisterClass(registry);
    using D = TrpDataBand;
    RegisteredClass& c = registry.Register(Class());
    for (TrpBandProperty p : {TrpBandProperty::AllowSplit, TrpBandProperty::KeepChild,
                              TrpBandProperty::PrintChildIfInvisible, TrpBandProperty::StartNewPage,
                              TrpBandProperty::Stretched})
        PublishBandProperty(c, p);
    rpreg::Bool<D>(c, "FooterAfterEach", &D::FooterAfterEach, false);
    rpreg::Bool<D>(c, "KeepFooter", &D::KeepFooter, false);
    rpreg::Bool<D>(c, "KeepHeader", &D::KeepHeader, false);
    rpreg::Bool<D>(c, "KeepTogether", &D::KeepTogether, false);
    rpreg::Bool<D>(c, "PrintIfDetailEmpty", &D::PrintIfDetailEmpty, false);
    PublishBandProperty(c, TrpBandProperty::Child);
    rpreg::BoundedInt<D>(c, "Columns", &D::Columns, &D::SetColumns, 0, 0, kMaxColumns);
    rpreg::Float<D>(c, "ColumnWidth", &D::ColumnWidth);
    rpreg::Float<D>(c, "ColumnGap", &D::ColumnGap);
    rpreg::Reference<D, TrpDataSet>(c, "DataSet", &D::DataSet, &D::SetDataSet);
    rpreg::Str<D>(c, "DataSetName", &D::DataSetName, &D::SetDataSetName);
    PublishBandProperty(c, TrpBandProperty::OutlineText);
    rpreg::BoundedInt<D>(c, "RowCount", &D::RowCount, &D::SetRowCount, std::nullopt, 0, kMaxRowCount);
    rpreg::Event<D>(c, "OnMasterDetail", &D::OnMasterDetail);
}

#define TRP_BAND_CLASS_INFO(Name, Base)                                                                                \
    const ScriptClassInfo& Name::Class()                                                                               \
    {                                                                                                                  \
        static const ScriptClassInfo info{QStringLiteral(#Name), &Base::Class()};                                      \
        return info;                                                                                                   \
    }

TRP_BAND_CLASS_INFO(TrpMasterData, TrpDataBand)
TRP_BAND_CLASS_INFO(TrpDetailData, TrpDataBand)
TRP_BAND_CLASS_INFO(TrpSubdetailData, TrpDataBand)
TRP_BAND_CLASS_INFO(TrpDataBand4, TrpDataBand)
TRP_BAND_CLASS_INFO(TrpDataBand5, TrpDataBand)
TRP_BAND_CLASS_INFO(TrpDataBand6, TrpDataBand)
TRP_BAND_CLASS_INFO(TrpHeader, TrpBand)
TRP_BAND_CLASS_INFO(TrpFooter, TrpBand)
TRP_BAND_CLASS_INFO(TrpPageHeader, TrpBand)
TRP_BAND_CLASS_INFO(TrpPageFooter, TrpBand)
TRP_BAND_CLASS_INFO(TrpColumnHeader, TrpBand)
TRP_BAND_CLASS_INFO(TrpColumnFooter, TrpBand)
TRP_BAND_CLASS_INFO(TrpGroupHeader, TrpBand)
TRP_BAND_CLASS_INFO(TrpGroupFooter, TrpBand)
TRP_BAND_CLASS_INFO(TrpReportTitle, TrpBand)
TRP_BAND_CLASS_INFO(TrpReportSummary, TrpBand)
TRP_BAND_CLASS_INFO(TrpChild, TrpBand)
TRP_BAND_CLASS_INFO(TrpOverlay, TrpBand)
TRP_BAND_CLASS_INFO(TrpNullBand, TrpBand)

#undef TRP_BAND_CLASS_INFO

void TrpMasterData::RegisterClass(PropertyRegistry& registry)
{
    RegisterKind<TrpMasterData>(registry);
}

void TrpDetailData::RegisterClass(PropertyRegistry& registry)
{
    RegisterKind<TrpDetailData>(registry);
}

void TrpSubdetailData::RegisterClass(PropertyRegistry& registry)
{
    RegisterKind<TrpSubdetailData>(registry);
}

void TrpDataBand4::RegisterClass(PropertyRegistry& registry)
{
    RegisterKind<TrpDataBand4>(registry);
}

void TrpDataBand5::RegisterClass(PropertyRegistry& registry)
{
    RegisterKind<TrpDataBand5>(registry);
}

void TrpDataBand6::RegisterClass(PropertyRegistry& registry)
{
    RegisterKind<TrpDataBand6>(registry);
}

void TrpHeader::RegisterClass(PropertyRegistry& registry)
{
    using H = TrpHeader;
    RegisteredClass& c = RegisterKind<H>(registry);
    PublishBandProperty(c, TrpBandProperty::AllowSplit);
    PublishBandProperty(c, TrpBandProperty::KeepChild);
    PublishBandProperty(c, TrpBandProperty::PrintChildIfInvisible);
    rpreg::Bool<H>(c, "ReprintOnNewPage", &H::ReprintOnNewPage, false);
    PublishBandProperty(c, TrpBandProperty::StartNewPage);
    PublishBandProperty(c, TrpBandProperty::Stretched);
    PublishBandProperty(c, TrpBandProperty::Child);
}

void TrpFooter::RegisterClass(PropertyRegistry& registry)
{
    RegisteredClass& c = RegisterKind<TrpFooter>(registry);
    for (TrpBandProperty p : {TrpBandProperty::AllowSplit, TrpBandProperty::KeepChild,
                              TrpBandProperty::PrintChildIfInvisible, TrpBandProperty::Stretched,
                              TrpBandProperty::Child})
        PublishBandProperty(c, p);
}

void TrpPageHeader::RegisterClass(PropertyRegistry& registry)
{
    using H = TrpPageHeader;
    RegisteredClass& c = RegisterKind<H>(registry);
    PublishBandProperty(c, TrpBandProperty::PrintChildIfInvisible);
    PublishBandProperty(c, TrpBandProperty::Stretched);
    rpreg::Bool<H>(c, "PrintOnFirstPage", &H::PrintOnFirstPage, true);
    PublishBandProperty(c, TrpBandProperty::Child);
}

void TrpPageFooter::RegisterClass(PropertyRegistry& registry)
{
    using F = TrpPageFooter;
    RegisteredClass& c = RegisterKind<F>(registry);
    rpreg::Bool<F>(c, "PrintOnFirstPage", &F::PrintOnFirstPage, true);
    rpreg::Bool<F>(c, "PrintOnLastPage", &F::PrintOnLastPage, true);
}

void TrpColumnHeader::RegisterClass(PropertyRegistry& registry)
{
    RegisteredClass& c = RegisterKind<TrpColumnHeader>(registry);
    PublishBandProperty(c, TrpBandProperty::Stretched);
    PublishBandProperty(c, TrpBandProperty::Child);
}

void TrpColumnFooter::RegisterClass(PropertyRegistry& registry)
{
    RegisterKind<TrpColumnFooter>(registry);
}

QString TrpGroupHeader::Diff(const TrpComponent& original) const
{
    QString text = TrpBand::Diff(original);
    if (DrillDown)
        AppendAttribute(text, u"DrillName", DrillName);
    return text;
}

void TrpGroupHeader::RegisterClass(PropertyRegistry& registry)
{
    using G = TrpGroupHeader;
    RegisteredClass& c = RegisterKind<G>(registry);
    PublishBandProperty(c, TrpBandProperty::AllowSplit);
    rpreg::Bool<G>(c, "DrillDown", &G::DrillDown, false);
    rpreg::Bool<G>(c, "ExpandDrillDown", &G::ExpandDrillDown, false);
    PublishBandProperty(c, TrpBandProperty::KeepChild);
    rpreg::Bool<G>(c, "KeepTogether", &G::KeepTogether, false);
    rpreg::Bool<G>(c, "ReprintOnNewPage", &G::ReprintOnNewPage, false);
    PublishBandProperty(c, TrpBandProperty::PrintChildIfInvisible);
    rpreg::Bool<G>(c, "ResetPageNumbers", &G::ResetPageNumbers, false);
    rpreg::Bool<G>(c, "ShowFooterIfDrillDown", &G::ShowFooterIfDrillDown, false);
    rpreg::Bool<G>(c, "ShowChildIfDrillDown", &G::ShowChildIfDrillDown, false);
    PublishBandProperty(c, TrpBandProperty::StartNewPage);
    PublishBandProperty(c, TrpBandProperty::Stretched);
    rpreg::Str<G>(c, "Condition", &G::Condition);
    PublishBandProperty(c, TrpBandProperty::OutlineText);
    rpreg::Str<G>(c, "DrillName", &G::DrillName);
    PublishBandProperty(c, TrpBandProperty::Child);
}

void TrpGroupFooter::RegisterClass(PropertyRegistry& registry)
{
    using F = TrpGroupFooter;
    RegisteredClass& c = RegisterKind<F>(registry);
    PublishBandProperty(c, TrpBandProperty::AllowSplit);
    rpreg::Bool<F>(c, "HideIfSingleDataRecord", &F::HideIfSingleDataRecord, false);
    PublishBandProperty(c, TrpBandProperty::KeepChild);
    PublishBandProperty(c, TrpBandProperty::PrintChildIfInvisible);
    PublishBandProperty(c, TrpBandProperty::Stretched);
    PublishBandProperty(c, TrpBandProperty::Child);
}

void TrpReportTitle::RegisterClass(PropertyRegistry& registry)
{
    PublishPlainBandProperties(RegisterKind<TrpReportTitle>(registry));
}

void TrpReportSummary::RegisterClass(PropertyRegistry& registry)
{
    PublishPlainBandProperties(RegisterKind<TrpReportSummary>(registry));
}

void TrpChild::RegisterClass(PropertyRegistry& registry)
{
    PublishPlainBandProperties(RegisterKind<TrpChild>(registry));
}

void TrpOverlay::RegisterClass(PropertyRegistry& registry)
{
    using O = TrpOverlay;
    RegisteredClass& c = RegisterKind<O>(registry);
    rpreg::Bool<O>(c, "PrintOnTop", &O::PrintOnTop, false);
}

void TrpNullBand::RegisterClass(PropertyRegistry& registry)
{
    RegisterKind<TrpNullBand>(registry);
}

void RegisterBandClasses(PropertyRegistry& registry)
{
    if (registry.Contains(TrpBand::Class()))
        return;
    TrpView::RegisterClass(registry);
    TrpBand::RegisterClass(registry);
    TrpDataBand::RegisterClass(registry);
    TrpMasterData::RegisterClass(registry);
    TrpDetailData::RegisterClass(registry);
    TrpSubdetailData::RegisterClass(registry);
    TrpDataBand4::RegisterClass(registry);
    TrpDataBand5::RegisterClass(registry);
    TrpDataBand6::RegisterClass(registry);
    TrpHeader::RegisterClass(registry);
    TrpFooter::RegisterClass(registry);
    TrpPageHeader::RegisterClass(registry);
    TrpPageFooter::RegisterClass(registry);
    TrpColumnHeader::RegisterClass(registry);
    TrpColumnFooter::RegisterClass(registry);
    TrpGroupHeader::RegisterClass(registry);
    TrpGroupFooter::RegisterClass(registry);
    TrpReportTitle::RegisterClass(registry);
    TrpReportSummary::RegisterClass(registry);
    TrpChild::RegisterClass(registry);
    TrpOverlay::RegisterClass(registry);
    TrpNullBand::RegisterClass(registry);
}
