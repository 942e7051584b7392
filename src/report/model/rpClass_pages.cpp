#include "rpClass_pages.h"

#include "ModelRuntime.h"
#include "rpClass_bands.h"
#include "rpClass_datasets.h"
#include "rpClass_memo.h"
#include "rpClass_register.h"
#include "rpClass_report.h"
#include "rpRes.h"

#include "report/core/FormatSettings.h"
#include "report/core/NumberText.h"
#include "report/core/PropertyRegistry.h"
#include "report/core/Rounding.h"
#include "report/core/Services.h"

#include <QRect>

#include <algorithm>
#include <mutex>

namespace {

// Whether a class is one of the dialog controls (their classes live with the windows; the
// model knows them by name).
bool IsDialogControlClass(const ScriptClassInfo& info)
{
    for (const ScriptClassInfo* c = &info; c != nullptr; c = c->Ancestor) {
        if (c->Name == QLatin1String("TrpDialogControl"))
            return true;
    }
    return false;
}

// A whole number of pixels for a window, rounded half to even and kept within 32 bits.
int32_t WindowPixels(double value)
{
    return RoundHalfEvenClamped(value, INT32_MIN, INT32_MAX);
}

} // namespace

// --- TrpPage

const ScriptClassInfo& TrpPage::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpPage"), &TrpComponent::Class()};
    return info;
}

void TrpPage::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    TrpComponent::RegisterClass(registry);
    RegisteredClass& c = registry.Register(Class());
    PublishComponentProperty(c, TrpCommonProperty::Font);
    PublishComponentProperty(c, TrpCommonProperty::Visible);
}

// --- TrpReportPage

const ScriptClassInfo& TrpReportPage::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpReportPage"), &TrpPage::Class()};
    return info;
}

TrpReportPage::TrpReportPage() : backPicture_(std::make_unique<TrpPictureView>())
{
    backPicture_->Color = clNone;
    backPicture_->KeepAspectRatio = false;
    SetBaseName(QStringLiteral("Page"));
    LookupPaperDimensions(kPaperA4, paperWidth_, paperHeight_);
    UpdateDimensions();
}

TrpReportPage::~TrpReportPage()
{
    if (TrpSubreport* subreport = SubReport())
        subreport->page_ = nullptr;
}

void TrpReportPage::UpdateDimensions()
{
    SetWidth(RoundHalfEven(paperWidth_ * kPixelsPerMillimetre));
    SetHeight(RoundHalfEven(paperHeight_ * kPixelsPerMillimetre));
}

void TrpReportPage::SetOrientation(TPrinterOrientation value)
{
    if (value != orientation_) {
        std::swap(paperWidth_, paperHeight_);
        const double left = LeftMargin;
        const double right = RightMargin;
        const double top = TopMargin;
        const double bottom = BottomMargin;
        if (value == poLandscape) {
            LeftMargin = top;
            RightMargin = bottom;
            TopMargin = right;
            BottomMargin = left;
        } else {
            LeftMargin = bottom;
            RightMargin = top;
            TopMargin = left;
            BottomMargin = right;
        }
        UpdateDimensions();
    }
    orientation_ = value;
}

void TrpReportPage::SetPaperWidth(double value)
{
    paperWidth_ = RoundTo8Decimals(value);
    paperSize_ = kPaperCustom;
    UpdateDimensions();
}

void TrpReportPage::SetPaperHeight(double value)
{
    paperHeight_ = RoundTo8Decimals(value);
    paperSize_ = kPaperCustom;
    UpdateDimensions();
}

void TrpReportPage::SetPaperSize(int32_t value)
{
    paperSize_ = value;
    if (value >= kPaperCustom)
        return;
    double width = paperWidth_;
    double height = paperHeight_;
    if (LookupPaperDimensions(value, width, height)) {
        if (orientation_ == poLandscape)
            std::swap(width, height);
        paperWidth_ = width;
        paperHeight_ = height;
    }
    UpdateDimensions();
}

void TrpReportPage::SetSizeAndDimensions(int32_t paperSize, double width, double height)
{
    paperSize_ = paperSize;
    paperWidth_ = RoundTo8Decimals(width);
    paperHeight_ = RoundTo8Decimals(height);
    UpdateDimensions();
}

void TrpReportPage::SetDefaults()
{
    LeftMargin = RightMargin = TopMargin = BottomMargin = 10;
    TrpPrinterDefaults defaults;
    if (const auto& printer = ModelServices().PrinterDefaults) {
        if (const std::optional<TrpPrinterDefaults> given = printer())
            defaults = *given;
    }
    paperSize_ = defaults.PaperSize;
    paperWidth_ = defaults.PaperWidth;
    paperHeight_ = defaults.PaperHeight;
    orientation_ = defaults.Orientation;
    UpdateDimensions();
}

void TrpReportPage::SetColumns(int32_t value)
{
    columns_ = value;
    columnPositions_.clear();
    if (value <= 0)
        return;
    ColumnWidth = (paperWidth_ - LeftMargin - RightMargin) / value;
    for (int32_t i = 0; i < value; ++i)
        columnPositions_.append(FloatToGeneralText(i * ColumnWidth, 15, FormatSettings::C()));
}

void TrpReportPage::SetPageCount(int32_t value)
{
    if (value > 0)
        pageCount_ = value;
}

void TrpReportPage::ClearGuides()
{
    hGuides_.clear();
    vGuides_.clear();
}

TrpDataSet* TrpReportPage::DataSet() const
{
    return dynamic_cast<TrpDataSet*>(dataSet_.data());
}

void TrpReportPage::SetDataSet(TrpDataSet* dataSet)
{
    dataSet_ = dataSet;
    dataSetName_ = dataSet != nullptr ? dataSet->UserName() : QString();
}

QString TrpReportPage::DataSetName() const
{
    const TrpDataSet* bound = DataSet();
    return bound != nullptr ? bound->UserName() : dataSetName_;
}

void TrpReportPage::SetDataSetName(const QString& name)
{
    dataSetName_ = name;
    dataSet_ = FindDataSet(nullptr, name);
}

TrpSubreport* TrpReportPage::SubReport() const
{
    return dynamic_cast<TrpSubreport*>(subReport_.data());
}

TrpBand* TrpReportPage::FindBand(const ScriptClassInfo& bandClass) const
{
    for (TrpComponent* object : Objects()) {
        if (object->ScriptClass().InheritsFrom(bandClass))
            return dynamic_cast<TrpBand*>(object);
    }
    return nullptr;
}

double TrpReportPage::PrintableWidth() const
{
    return (paperWidth_ - LeftMargin - RightMargin) * kPixelsPerMillimetre;
}

double TrpReportPage::PrintableHeight() const
{
    return (paperHeight_ - TopMargin - BottomMargin) * kPixelsPerMillimetre;
}

void TrpReportPage::AlignChildren()
{
    const double width = PrintableWidth();
    const double height = PrintableHeight();
    SetWidth(width);
    SetHeight(height);
    TrpPage::AlignChildren();
    for (TrpComponent* object : Objects()) {
        auto* band = dynamic_cast<TrpBand*>(object);
        if (band == nullptr)
            continue;
        if (band->Vertical) {
            band->SetHeight(height - band->Top());
        } else if (columns_ > 1 && !band->IsNullBand() &&
                   !band->InheritsFromClass(u"TrpReportSummary") && !band->InheritsFromClass(u"TrpPageHeader") &&
                   !band->InheritsFromClass(u"TrpPageFooter") && !band->InheritsFromClass(u"TrpReportTitle") &&
                   !band->InheritsFromClass(u"TrpOverlay")) {
            band->SetWidth(ColumnWidth * kPixelsPerMillimetre);
        } else {
            band->SetWidth(width - band->Left());
        }
        band->AlignChildren();
    }
    UpdateDimensions();
}

QString TrpReportPage::GetDescription() const
{
    return GetResourcesInstance().Get(u"obRepPage");
}

void TrpReportPage::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    TrpPage::RegisterClass(registry);
    TrpPictureView::RegisterClass(registry);
    const EnumTypeInfo& orientations = registry.AddEnum(QStringLiteral("TPrinterOrientation"),
                                                        {QStringLiteral("poPortrait"), QStringLiteral("poLandscape")});
    const EnumTypeInfo& duplex = registry.AddEnum(
        QStringLiteral("TrpDuplexMode"),
        {QStringLiteral("dmNone"), QStringLiteral("dmVertical"), QStringLiteral("dmHorizontal"), QStringLiteral("dmSimplex")});
    using P = TrpReportPage;
    RegisteredClass& c = registry.Register(Class(), [] { return std::make_unique<TrpReportPage>(); });
    // Bands, and views placed on the page itself (the engine prints them once per page);
    // dialog components too, which older files kept here before the data page held them.
    // Dialog controls belong on dialog pages.
    c.AcceptsChild = [](const ScriptObject&, const ScriptClassInfo& child) {
        return child.InheritsFrom(TrpBand::Class()) || child.InheritsFrom(TrpView::Class()) ||
               child.InheritsFrom(TrpDialogComponent::Class());
    };
    rpreg::Enum<P, TPrinterOrientation>(c, "Orientation", orientations, &P::Orientation, &P::SetOrientation, poPortrait);
    rpreg::BoundedFloat<P>(c, "PaperWidth", &P::PaperWidth, &P::SetPaperWidth, 0, kMaxPaperMillimetres);
    rpreg::BoundedFloat<P>(c, "PaperHeight", &P::PaperHeight, &P::SetPaperHeight, 0, kMaxPaperMillimetres);
    rpreg::Int<P>(c, "PaperSize", &P::PaperSize, &P::SetPaperSize, std::nullopt);
    for (const auto& [name, field] : {std::pair{"LeftMargin", &P::LeftMargin}, std::pair{"RightMargin", &P::RightMargin},
                                      std::pair{"TopMargin", &P::TopMargin}, std::pair{"BottomMargin", &P::BottomMargin}}) {
        const QString n = QString::fromLatin1(name);
        const auto member = field;
        c.AddFloat(n, GetterOf<P>([member](const P& o) { return Variant(o.*member); }),
                   SetterOf<P>([member, n](P& o, const Variant& v) {
                       o.*member = rpreg::Bounded(n, v, 0.0, kMaxPaperMillimetres);
                   }))
            .Default = Variant();
    }
    rpreg::Bool<P>(c, "MirrorMargins", &P::MirrorMargins, false);
    rpreg::BoundedInt<P>(c, "Columns", &P::Columns, &P::SetColumns, 0, 0, kMaxColumns);
    rpreg::Float<P>(c, "ColumnWidth", &P::ColumnWidth);
    rpreg::Lines<P>(c, "ColumnPositions", &P::ColumnPositions, &P::SetColumnPositions);
    rpreg::Int<P>(c, "Bin", &P::Bin, 7);
    rpreg::Int<P>(c, "BinOtherPages", &P::BinOtherPages, 7);
    rpreg::Nested<P, TrpPicture>(c, "BackPicture", &P::BackPicture, &P::SetBackPicture).TypeName =
        QStringLiteral("TPicture");
    rpreg::Bool<P>(c, "BackPictureVisible", &P::BackPictureVisible, true);
    rpreg::Bool<P>(c, "BackPicturePrintable", &P::BackPicturePrintable, true);
    c.AddInteger(QStringLiteral("PageCount"), GetterOf<P>([](const P& o) { return Variant(o.PageCount()); }),
                 SetterOf<P>([](P& o, const Variant& v) {
                     const int32_t count = v.ToInt32();
                     if (count > kMaxPageCount)
                         RaiseInvalidPropertyValue(u"PageCount", v.ToString());
                     o.SetPageCount(count);
                 }),
                 1);
    rpreg::Int<P>(c, "Color", &P::Color, &P::SetColor, clNone, "TColor");
    rpreg::Reference<P, TrpDataSet>(c, "DataSet", &P::DataSet, &P::SetDataSet);
    rpreg::Str<P>(c, "DataSetName", &P::DataSetName, &P::SetDataSetName);
    rpreg::Enum<P, TrpDuplexMode>(c, "Duplex", duplex, &P::Duplex, dmNone);
    rpreg::Nested<P, TrpFrame>(c, "Frame", &P::Frame, &P::SetFrame);
    rpreg::Bool<P>(c, "EndlessHeight", &P::EndlessHeight, false);
    rpreg::Bool<P>(c, "EndlessWidth", &P::EndlessWidth, false);
    rpreg::Bool<P>(c, "LargeDesignHeight", &P::LargeDesignHeight, false);
    rpreg::Str<P>(c, "OutlineText", &P::OutlineText);
    rpreg::Bool<P>(c, "PrintIfEmpty", &P::PrintIfEmpty, true);
    rpreg::Bool<P>(c, "PrintOnPreviousPage", &P::PrintOnPreviousPage, false);
    rpreg::Bool<P>(c, "ResetPageNumbers", &P::ResetPageNumbers, false);
    rpreg::Bool<P>(c, "TitleBeforeHeader", &P::TitleBeforeHeader, true);
    rpreg::Lines<P>(c, "HGuides", &P::HGuides, &P::SetHGuides);
    rpreg::Lines<P>(c, "VGuides", &P::VGuides, &P::SetVGuides);
    rpreg::Event<P>(c, "OnAfterPrint", &P::OnAfterPrint);
    rpreg::Event<P>(c, "OnBeforePrint", &P::OnBeforePrint);
    rpreg::Event<P>(c, "OnManualBuild", &P::OnManualBuild);
}

// --- TrpDataPage

const ScriptClassInfo& TrpDataPage::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpDataPage"), &TrpPage::Class()};
    return info;
}

TrpDataPage::TrpDataPage()
{
    SetWidth(1000);
    SetHeight(1000);
}

QString TrpDataPage::GetDescription() const
{
    return GetResourcesInstance().Get(u"obDataPage");
}

void TrpDataPage::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    TrpPage::RegisterClass(registry);
    RegisteredClass& c = registry.Register(Class(), [] { return std::make_unique<TrpDataPage>(); });
    // Data sets and database components, and the lines, memos and shapes that label them.
    c.AcceptsChild = [](const ScriptObject&, const ScriptClassInfo& child) {
        return child.InheritsFrom(TrpDialogComponent::Class()) || child.InheritsFrom(TrpCustomLineView::Class()) ||
               child.InheritsFrom(TrpCustomMemoView::Class()) || child.InheritsFrom(TrpShapeView::Class());
    };
    for (TrpCommonProperty p :
         {TrpCommonProperty::Left, TrpCommonProperty::Top, TrpCommonProperty::Width, TrpCommonProperty::Height})
        PublishComponentProperty(c, p);
}

// --- TrpSubreport

const ScriptClassInfo& TrpSubreport::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpSubreport"), &TrpView::Class()};
    return info;
}

TrpSubreport::TrpSubreport()
{
    SetComponentStyle(rpComponentStyle() & ~SetBit(csPreviewVisible));
    Frame().Typ = kAllFrameSides;
    TrpFont font;
    font.SetName(QStringLiteral("Tahoma"));
    font.SetSize(8);
    SetFont(font);
    Color = clSilver;
}

TrpSubreport::~TrpSubreport()
{
    if (page_ != nullptr && page_->subReport_ == this)
        page_->subReport_ = nullptr;
}

void TrpSubreport::SetPage(TrpReportPage* page)
{
    if (page_ != nullptr && page_ != page && page_->subReport_ == this)
        page_->subReport_ = nullptr;
    page_ = page;
    if (page != nullptr)
        page->subReport_ = this;
}

QString TrpSubreport::GetDescription() const
{
    return GetResourcesInstance().Get(u"obSubRep");
}

void TrpSubreport::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    TrpReportPage::RegisterClass(registry);
    using S = TrpSubreport;
    RegisteredClass& c = registry.Register(Class(), [] { return std::make_unique<TrpSubreport>(); });
    rpreg::Reference<S, TrpReportPage>(c, "Page", &S::Page, &S::SetPage);
    rpreg::Bool<S>(c, "PrintOnParent", &S::PrintOnParent, false);
}

// --- TrpDialogPage

const ScriptClassInfo& TrpDialogPage::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpDialogPage"), &TrpPage::Class()};
    return info;
}

TrpDialogPage::TrpDialogPage()
{
    TrpFont font;
    font.SetName(QStringLiteral("Tahoma"));
    font.SetSize(8);
    SetFont(font);
    if (const auto& create = ModelServices().CreateDialogWindow)
        window_ = create(*this);
    if (window_ != nullptr) {
        window_->SetFont(Font());
        window_->SetBorderStyle(BorderStyle);
        window_->SetPosition(Position);
        window_->SetWindowState(WindowState);
        window_->SetColor(color_);
    }
}

TrpDialogPage::TrpDialogPage(TrpComponent* owner) : TrpDialogPage()
{
    AttachTo(owner);
}

TrpDialogPage::~TrpDialogPage()
{
    const std::lock_guard lock(ModelRuntime::GlobalLock());
    // The children first: controls placed in the window leave it before it goes.
    while (!Objects().empty())
        delete Objects().back();
    window_.reset();
}

void TrpDialogPage::SetCaption(const QString& value)
{
    caption_ = value;
    if (window_ != nullptr)
        window_->SetCaption(value);
}

void TrpDialogPage::SetColor(int32_t value)
{
    color_ = value;
    if (window_ != nullptr)
        window_->SetColor(value);
}

int32_t TrpDialogPage::ClientWidth() const
{
    return window_ != nullptr ? window_->ClientWidth() : clientWidth_;
}

void TrpDialogPage::SetClientWidth(int32_t value)
{
    clientWidth_ = value;
    if (window_ != nullptr) {
        window_->SetClientWidth(value);
        TrpPage::SetWidth(window_->Bounds().width());
    }
}

int32_t TrpDialogPage::ClientHeight() const
{
    return window_ != nullptr ? window_->ClientHeight() : clientHeight_;
}

void TrpDialogPage::SetClientHeight(int32_t value)
{
    clientHeight_ = value;
    if (window_ != nullptr) {
        window_->SetClientHeight(value);
        TrpPage::SetHeight(window_->Bounds().height());
    }
}

int32_t TrpDialogPage::ModalResult() const
{
    return window_ != nullptr ? window_->ModalResult() : modalResult_;
}

void TrpDialogPage::SetModalResult(int32_t value)
{
    modalResult_ = value;
    if (window_ != nullptr)
        window_->SetModalResult(value);
}

void TrpDialogPage::SetLeft(double value)
{
    TrpPage::SetLeft(value);
    if (window_ != nullptr) {
        const QRect bounds = window_->Bounds();
        window_->SetBounds(WindowPixels(value), bounds.top(), bounds.width(), bounds.height());
    }
}

void TrpDialogPage::SetTop(double value)
{
    TrpPage::SetTop(value);
    if (window_ != nullptr) {
        const QRect bounds = window_->Bounds();
        window_->SetBounds(bounds.left(), WindowPixels(value), bounds.width(), bounds.height());
    }
}

void TrpDialogPage::SetWidth(double value)
{
    TrpPage::SetWidth(value);
    if (window_ != nullptr && !(IsLoading() && clientWidth_ != 0)) {
        const QRect bounds = window_->Bounds();
        window_->SetBounds(bounds.left(), bounds.top(), WindowPixels(value), bounds.height());
    }
}

void TrpDialogPage::SetHeight(double value)
{
    TrpPage::SetHeight(value);
    if (window_ != nullptr && !(IsLoading() && clientHeight_ != 0)) {
        const QRect bounds = window_->Bounds();
        window_->SetBounds(bounds.left(), bounds.top(), bounds.width(), WindowPixels(value));
    }
}

void TrpDialogPage::FontChanged()
{
    TrpPage::FontChanged();
    if (window_ != nullptr)
        window_->SetFont(Font());
}

void TrpDialogPage::CopyWindowBounds()
{
    if (window_ == nullptr)
        return;
    const QRect bounds = window_->Bounds();
    TrpPage::SetLeft(bounds.left());
    TrpPage::SetTop(bounds.top());
    TrpPage::SetWidth(bounds.width());
    TrpPage::SetHeight(bounds.height());
}

void TrpDialogPage::Bridge(const QString& eventName)
{
    auto* report = dynamic_cast<TrpReport*>(Report());
    if (report != nullptr && !eventName.isEmpty())
        report->DoNotifyEvent(this, eventName);
}

void TrpDialogPage::Initialize()
{
    if (window_ == nullptr)
        return;
    if (window_->IsVisible())
        window_->Hide();
    window_->SetPosition(Position);
    window_->SetWindowState(WindowState);
    ITrpDialogWindow::Events events;
    events.Activate = [this] {
        CopyWindowBounds();
        Bridge(OnActivate);
    };
    events.Click = [this] { Bridge(OnClick); };
    events.Deactivate = [this] { Bridge(OnDeactivate); };
    events.Hide = [this] { Bridge(OnHide); };
    events.Show = [this] { Bridge(OnShow); };
    events.Resize = [this] { Bridge(OnResize); };
    events.CloseQuery = [this](bool& canClose) {
        auto* report = dynamic_cast<TrpReport*>(Report());
        if (report == nullptr || OnCloseQuery.isEmpty())
            return;
        std::vector<Variant> parameters{Variant(static_cast<int32_t>(Handle())), Variant(canClose)};
        report->DoParamEvent(OnCloseQuery, parameters);
        canClose = parameters[1].ToBoolean();
    };
    const auto keyEvent = [this](const QString& eventName, int32_t& key, uint32_t shift) {
        auto* report = dynamic_cast<TrpReport*>(Report());
        if (report == nullptr || eventName.isEmpty())
            return;
        std::vector<Variant> parameters{Variant(static_cast<int32_t>(Handle())), Variant(key),
                                        Variant(static_cast<int32_t>(shift))};
        report->DoParamEvent(eventName, parameters);
        key = parameters[1].ToInt32();
    };
    events.KeyDown = [this, keyEvent](int32_t& key, uint32_t shift) { keyEvent(OnKeyDown, key, shift); };
    events.KeyUp = [this, keyEvent](int32_t& key, uint32_t shift) { keyEvent(OnKeyUp, key, shift); };
    events.KeyPress = [this](QChar& key) {
        auto* report = dynamic_cast<TrpReport*>(Report());
        if (report == nullptr || OnKeyPress.isEmpty())
            return;
        std::vector<Variant> parameters{Variant(static_cast<int32_t>(Handle())), Variant(QString(key))};
        report->DoParamEvent(OnKeyPress, parameters);
        const QString text = parameters[1].ToString();
        key = text.isEmpty() ? QChar() : text[0];
    };
    events.MouseMove = [this] {
        if (auto* report = dynamic_cast<TrpReport*>(Report()))
            report->SetProgressMessage(QString(), true);
    };
    events.BoundsChanged = [this] { CopyWindowBounds(); };
    window_->SetEvents(std::move(events));
}

int32_t TrpDialogPage::ShowModal()
{
    if (window_ == nullptr)
        return mrNone;
    Initialize();
    window_->SetBorderStyle(BorderStyle);
    window_->SetStayOnTop(false);
    struct StayOnTopAfterwards {
        ITrpDialogWindow& window;
        ~StayOnTopAfterwards() { window.SetStayOnTop(true); }
    } afterwards{*window_};
    return window_->ShowModal();
}

QString TrpDialogPage::GetDescription() const
{
    return GetResourcesInstance().Get(u"obDlgPage");
}

void TrpDialogPage::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    TrpPage::RegisterClass(registry);
    const EnumTypeInfo& borderStyles = registry.AddEnum(
        QStringLiteral("TFormBorderStyle"), {QStringLiteral("bsNone"), QStringLiteral("bsSingle"),
                                             QStringLiteral("bsSizeable"), QStringLiteral("bsDialog"),
                                             QStringLiteral("bsToolWindow"), QStringLiteral("bsSizeToolWin")});
    const EnumTypeInfo& positions = registry.AddEnum(
        QStringLiteral("TPosition"),
        {QStringLiteral("poDesigned"), QStringLiteral("poDefault"), QStringLiteral("poDefaultPosOnly"),
         QStringLiteral("poDefaultSizeOnly"), QStringLiteral("poScreenCenter"), QStringLiteral("poDesktopCenter"),
         QStringLiteral("poMainFormCenter"), QStringLiteral("poOwnerFormCenter")});
    const EnumTypeInfo& states = registry.AddEnum(
        QStringLiteral("TWindowState"), {QStringLiteral("wsNormal"), QStringLiteral("wsMinimized"), QStringLiteral("wsMaximized")});
    using D = TrpDialogPage;
    RegisteredClass& c = registry.Register(Class(), [] { return std::make_unique<TrpDialogPage>(); });
    c.AcceptsChild = [](const ScriptObject&, const ScriptClassInfo& child) {
        return child.InheritsFrom(TrpDialogComponent::Class()) || IsDialogControlClass(child);
    };
    rpreg::Enum<D, TFormBorderStyle>(c, "BorderStyle", borderStyles, &D::BorderStyle, bsSizeable);
    c.AddString(QStringLiteral("Caption"), GetterOf<D>([](const D& o) { return Variant(o.Caption()); }),
                SetterOf<D>([](D& o, const Variant& v) { o.SetCaption(v.ToString()); }), QStringLiteral("TCaption"));
    rpreg::Int<D>(c, "Color", &D::Color, &D::SetColor, clBtnFace, "TColor");
    PublishComponentProperty(c, TrpCommonProperty::Height);
    rpreg::Int<D>(c, "ClientHeight", &D::ClientHeight, &D::SetClientHeight, std::nullopt);
    PublishComponentProperty(c, TrpCommonProperty::Left);
    rpreg::Enum<D, TPosition>(c, "Position", positions, &D::Position, poScreenCenter);
    PublishComponentProperty(c, TrpCommonProperty::Top);
    PublishComponentProperty(c, TrpCommonProperty::Width);
    rpreg::Int<D>(c, "ClientWidth", &D::ClientWidth, &D::SetClientWidth, std::nullopt);
    rpreg::Enum<D, TWindowState>(c, "WindowState", states, &D::WindowState, wsNormal);
    rpreg::Event<D>(c, "OnActivate", &D::OnActivate);
    rpreg::Event<D>(c, "OnClick", &D::OnClick);
    rpreg::Event<D>(c, "OnCloseQuery", &D::OnCloseQuery, "TrpCloseQueryEvent");
    rpreg::Event<D>(c, "OnDeactivate", &D::OnDeactivate);
    rpreg::Event<D>(c, "OnHide", &D::OnHide);
    rpreg::Event<D>(c, "OnKeyDown", &D::OnKeyDown, "TrpKeyEvent");
    rpreg::Event<D>(c, "OnKeyPress", &D::OnKeyPress, "TrpKeyPressEvent");
    rpreg::Event<D>(c, "OnKeyUp", &D::OnKeyUp, "TrpKeyEvent");
    rpreg::Event<D>(c, "OnShow", &D::OnShow);
    rpreg::Event<D>(c, "OnResize", &D::OnResize);
}
