#include "rpClass_views.h"

#include "rpClass_datasets.h"
#include "rpClass_register.h"
#include "rpGraphicUtils.h"
#include "rpRes.h"
#include "rpTaggedValues.h"

#include "report/core/PropertyRegistry.h"
#include "report/core/Services.h"

#include <QBuffer>
#include <QImageReader>

#include <array>
#include <atomic>

// --- TrpFrameLine

const ScriptClassInfo& TrpFrameLine::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpFrameLine"), nullptr};
    return info;
}

void TrpFrameLine::Assign(const TrpFrameLine& source)
{
    Color = source.Color;
    Style = source.Style;
    Width = source.Width;
}

bool TrpFrameLine::SameAs(const TrpFrameLine& other) const
{
    return Color == other.Color && Style == other.Style && Width == other.Width;
}

namespace {

const EnumTypeInfo& FrameStyleEnum(PropertyRegistry& registry)
{
    return registry.AddEnum(QStringLiteral("TrpFrameStyle"),
                            {QStringLiteral("fsSolid"), QStringLiteral("fsDash"), QStringLiteral("fsDot"),
                             QStringLiteral("fsDashDot"), QStringLiteral("fsDashDotDot"), QStringLiteral("fsDouble"),
                             QStringLiteral("fsAltDot"), QStringLiteral("fsSquare")});
}

const EnumTypeInfo& BrushStyleEnum(PropertyRegistry& registry)
{
    return registry.AddEnum(QStringLiteral("TBrushStyle"),
                            {QStringLiteral("bsSolid"), QStringLiteral("bsClear"), QStringLiteral("bsHorizontal"),
                             QStringLiteral("bsVertical"), QStringLiteral("bsFDiagonal"), QStringLiteral("bsBDiagonal"),
                             QStringLiteral("bsCross"), QStringLiteral("bsDiagCross")});
}

} // namespace

void TrpFrameLine::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    using L = TrpFrameLine;
    RegisteredClass& c = registry.Register(Class());
    // Each value is stored only where it differs from the frame's own.
    PropertyInfo& color = rpreg::Int<L>(c, "Color", &L::Color, std::nullopt, "TColor");
    color.Stored = [](const ScriptObject& o) {
        const auto& line = static_cast<const L&>(o);
        return line.Frame() == nullptr || line.Color != line.Frame()->Color();
    };
    PropertyInfo& style = rpreg::Enum<L, TrpFrameStyle>(c, "Style", FrameStyleEnum(registry), &L::Style, std::nullopt);
    style.Stored = [](const ScriptObject& o) {
        const auto& line = static_cast<const L&>(o);
        return line.Frame() == nullptr || line.Style != line.Frame()->Style();
    };
    PropertyInfo& width = rpreg::Float<L>(c, "Width", &L::Width);
    width.Stored = [](const ScriptObject& o) {
        const auto& line = static_cast<const L&>(o);
        return line.Frame() == nullptr || line.Width != line.Frame()->Width();
    };
}

// --- TrpFrame

const ScriptClassInfo& TrpFrame::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpFrame"), nullptr};
    return info;
}

TrpFrame::TrpFrame() = default;

void TrpFrame::SetColor(int32_t value)
{
    color_ = value;
    for (TrpFrameLine* line : {&left_, &top_, &right_, &bottom_})
        line->Color = value;
}

void TrpFrame::SetStyle(TrpFrameStyle value)
{
    style_ = value;
    for (TrpFrameLine* line : {&left_, &top_, &right_, &bottom_})
        line->Style = value;
}

void TrpFrame::SetWidth(double value)
{
    width_ = value;
    for (TrpFrameLine* line : {&left_, &top_, &right_, &bottom_})
        line->Width = value;
}

void TrpFrame::Assign(const TrpFrame& source)
{
    color_ = source.color_;
    style_ = source.style_;
    width_ = source.width_;
    DropShadow = source.DropShadow;
    ShadowWidth = source.ShadowWidth;
    ShadowColor = source.ShadowColor;
    Typ = source.Typ;
    left_.Assign(source.left_);
    top_.Assign(source.top_);
    right_.Assign(source.right_);
    bottom_.Assign(source.bottom_);
}

bool TrpFrame::SameAs(const TrpFrame& other) const
{
    return color_ == other.color_ && style_ == other.style_ && width_ == other.width_ &&
           DropShadow == other.DropShadow && ShadowWidth == other.ShadowWidth && ShadowColor == other.ShadowColor &&
           Typ == other.Typ && left_.SameAs(other.left_) && top_.SameAs(other.top_) && right_.SameAs(other.right_) &&
           bottom_.SameAs(other.bottom_);
}

void TrpFrame::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    TrpFrameLine::RegisterClass(registry);
    const EnumTypeInfo& sides = registry.AddEnum(
        QStringLiteral("TrpFrameType"),
        {QStringLiteral("ftLeft"), QStringLiteral("ftRight"), QStringLiteral("ftTop"), QStringLiteral("ftBottom")});
    using F = TrpFrame;
    RegisteredClass& c = registry.Register(Class());
    c.AddInteger(QStringLiteral("Color"), GetterOf<F>([](const F& o) { return Variant(o.Color()); }),
                 SetterOf<F>([](F& o, const Variant& v) { o.SetColor(v.ToInt32()); }), clBlack,
                 QStringLiteral("TColor"));
    rpreg::Bool<F>(c, "DropShadow", &F::DropShadow, false);
    rpreg::Int<F>(c, "ShadowColor", &F::ShadowColor, clBlack, "TColor");
    c.AddFloat(QStringLiteral("ShadowWidth"), GetterOf<F>([](const F& o) { return Variant(o.ShadowWidth); }),
               SetterOf<F>([](F& o, const Variant& v) {
                   o.ShadowWidth = rpreg::Bounded(QStringLiteral("ShadowWidth"), v, 0.0, kMaxFrameWidth);
               }))
        .Stored = [](const ScriptObject& o) { return static_cast<const F&>(o).ShadowWidth != 4; };
    c.AddEnum(QStringLiteral("Style"), FrameStyleEnum(registry),
              GetterOf<F>([](const F& o) { return Variant(static_cast<int32_t>(o.Style())); }),
              SetterOf<F>([](F& o, const Variant& v) { o.SetStyle(static_cast<TrpFrameStyle>(v.ToInt32())); }),
              fsSolid);
    c.AddSet(QStringLiteral("Typ"), QStringLiteral("TrpFrameTypes"), sides,
             GetterOf<F>([](const F& o) { return Variant(static_cast<int32_t>(o.Typ)); }),
             SetterOf<F>([](F& o, const Variant& v) { o.Typ = static_cast<TrpFrameTypes>(v.ToInt32()) & kAllFrameSides; }));
    c.AddFloat(QStringLiteral("Width"), GetterOf<F>([](const F& o) { return Variant(o.Width()); }),
               SetterOf<F>([](F& o, const Variant& v) {
                   o.SetWidth(rpreg::Bounded(QStringLiteral("Width"), v, 0.0, kMaxFrameWidth));
               }))
        .Stored = [](const ScriptObject& o) { return static_cast<const F&>(o).Width() != 1; };
    rpreg::Nested<F, TrpFrameLine>(c, "LeftLine", &F::LeftLine, &F::SetLeftLine);
    rpreg::Nested<F, TrpFrameLine>(c, "TopLine", &F::TopLine, &F::SetTopLine);
    rpreg::Nested<F, TrpFrameLine>(c, "RightLine", &F::RightLine, &F::SetRightLine);
    rpreg::Nested<F, TrpFrameLine>(c, "BottomLine", &F::BottomLine, &F::SetBottomLine);
}

// --- TrpHighlight

const ScriptClassInfo& TrpHighlight::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpHighlight"), nullptr};
    return info;
}

TrpHighlight::TrpHighlight()
{
    font_.SetName(QStringLiteral("Arial"));
    font_.SetSize(10);
    font_.SetColor(clRed);
    font_.SetCharset(kDefaultCharset);
}

void TrpHighlight::Assign(const TrpHighlight& source)
{
    font_.Assign(source.font_);
    Color = source.Color;
    Condition = source.Condition;
}

void TrpHighlight::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    TrpFont::RegisterClass(registry);
    using H = TrpHighlight;
    RegisteredClass& c = registry.Register(Class());
    rpreg::Bool<H>(c, "Active", &H::Active, false);
    rpreg::Nested<H, TrpFont>(c, "Font", &H::Font, &H::SetFont);
    rpreg::Int<H>(c, "Color", &H::Color, clNone, "TColor");
    rpreg::Str<H>(c, "Condition", &H::Condition);
}

// --- TrpFormat

const ScriptClassInfo& TrpFormat::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpFormat"), nullptr};
    return info;
}

void TrpFormat::Assign(const TrpFormat& source)
{
    DecimalSeparator = source.DecimalSeparator;
    ThousandSeparator = source.ThousandSeparator;
    FormatStr = source.FormatStr;
    Kind = source.Kind;
}

void TrpFormat::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    const EnumTypeInfo& kinds = registry.AddEnum(
        QStringLiteral("TrpFormatKind"),
        {QStringLiteral("fkText"), QStringLiteral("fkNumeric"), QStringLiteral("fkDateTime"), QStringLiteral("fkBoolean")});
    using T = TrpFormat;
    RegisteredClass& c = registry.Register(Class());
    rpreg::Str<T>(c, "DecimalSeparator", &T::DecimalSeparator);
    rpreg::Str<T>(c, "ThousandSeparator", &T::ThousandSeparator);
    rpreg::Str<T>(c, "FormatStr", &T::FormatStr);
    rpreg::Enum<T, TrpFormatKind>(c, "Kind", kinds, &T::Kind, fkText);
}

// --- TrpPicture

namespace {

constexpr std::array<const char*, 7> kPictureKinds = {"BMP", "JPEG", "PNG", "GIF", "ICO", "WMF", "EMF"};

} // namespace

const ScriptClassInfo& TrpPicture::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpPicture"), nullptr};
    return info;
}

bool TrpPicture::IsKnownKind(QStringView kind)
{
    for (const char* known : kPictureKinds) {
        if (kind == QLatin1String(known))
            return true;
    }
    return false;
}

namespace {

std::atomic<bool> gMetafileWarned{false};

} // namespace

void ResetMetafileWarning()
{
    gMetafileWarned = false;
}

void WarnMetafileNotDrawn(const QString& kind)
{
    // Once per program run: a report full of metafiles should not ask the user again and
    // again. Never an error of the report, which would stop it from running.
    if (gMetafileWarned.exchange(true))
        return;
    ReportServices::Ui().MessageDlg(GetResourcesInstance().Get(u"mbInfo"),
                                    ResourceText(u"rnMetafileNotDrawn", {Variant(kind)}),
                                    UiMessageType::Warning, UiButtons({mbOK}));
}

void TrpPicture::SetData(const QString& kind, const QByteArray& data)
{
    if (!IsKnownKind(kind))
        RaiseInvalidPropertyValue(u"Picture", kind);
    kind_ = kind;
    data_ = data;
    if (IsMetafileKind(kind))
        WarnMetafileNotDrawn(kind);
    Changed();
}

void TrpPicture::Clear()
{
    kind_.clear();
    data_.clear();
    Changed();
}

void TrpPicture::Assign(const TrpPicture& source)
{
    kind_ = source.kind_;
    data_ = source.data_;
    Changed();
}

void TrpPicture::Changed()
{
    sizeKnown_ = false;
    if (OnChange)
        OnChange();
}

void TrpPicture::ReadSize() const
{
    if (sizeKnown_)
        return;
    sizeKnown_ = true;
    width_ = 0;
    height_ = 0;
    if (IsEmpty() || kind_ == u"WMF" || kind_ == u"EMF")
        return;
    QByteArray bytes = data_;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (size.isValid()) {
        width_ = size.width();
        height_ = size.height();
    }
}

int32_t TrpPicture::Width() const
{
    ReadSize();
    return width_;
}

int32_t TrpPicture::Height() const
{
    ReadSize();
    return height_;
}

void TrpPicture::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    RegisteredClass& c = registry.Register(Class());
    // "Data": one length byte, the kind name, then the image file's bytes.
    c.WriteDefined = [](const ScriptObject& o, TrpValueWriter& writer) {
        const auto& picture = static_cast<const TrpPicture&>(o);
        if (picture.IsEmpty())
            return;
        const QByteArray kind = picture.Kind().toLatin1();
        QByteArray bytes;
        bytes.reserve(1 + kind.size() + picture.Data().size());
        bytes.append(static_cast<char>(kind.size()));
        bytes.append(kind);
        bytes.append(picture.Data());
        writer.WritePropName(u"Data");
        writer.WriteBinary(bytes);
    };
    c.ReadDefined = [](ScriptObject& o, const QString& name, TrpValueReader& reader) {
        if (name != u"Data")
            return false;
        auto& picture = static_cast<TrpPicture&>(o);
        const QByteArray bytes = reader.ReadBinary();
        if (bytes.isEmpty()) {
            picture.Clear();
            return true;
        }
        const int length = static_cast<uint8_t>(bytes[0]);
        if (length + 1 > bytes.size())
            RaiseInvalidPropertyValue(u"Picture.Data", QString::number(length));
        picture.SetData(QString::fromLatin1(bytes.mid(1, length)), bytes.mid(1 + length));
        return true;
    };
}

// --- TrpView

const ScriptClassInfo& TrpView::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpView"), &TrpReportComponent::Class()};
    return info;
}

TrpView::TrpView()
{
    SetComponentStyle(rpComponentStyle() | SetBit(csDefaultDiff));
}

TrpView::TrpView(TrpComponent* owner) : TrpView()
{
    AttachTo(owner);
}

TrpDataSet* TrpView::DataSet() const
{
    return dynamic_cast<TrpDataSet*>(dataSet_.data());
}

void TrpView::SetDataSet(TrpDataSet* dataSet)
{
    dataSet_ = dataSet;
    dataSetName_ = dataSet != nullptr ? dataSet->UserName() : QString();
}

QString TrpView::DataSetName() const
{
    const TrpDataSet* bound = DataSet();
    return bound != nullptr ? bound->UserName() : dataSetName_;
}

void TrpView::SetDataSetName(const QString& name)
{
    dataSetName_ = name;
    dataSet_ = FindDataSet(nullptr, name);
}

bool TrpView::IsDataField() const
{
    return DataSet() != nullptr && !DataField.isEmpty();
}


void TrpView::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    TrpReportComponent::RegisterClass(registry);
    TrpFrame::RegisterClass(registry);
    BrushStyleEnum(registry);
    registry.AddEnum(QStringLiteral("TrpShiftMode"),
                     {QStringLiteral("smDontShift"), QStringLiteral("smAlways"), QStringLiteral("smWhenOverlapped")});
    using V = TrpView;
    RegisteredClass& c = registry.Register(Class());
    c.AcceptsChild = [](const ScriptObject&, const ScriptClassInfo&) { return false; };
    rpreg::Enum<V, TrpAlign>(c, "Align", *registry.FindEnum(u"TrpAlign"), &V::Align, baNone);
    rpreg::Bool<V>(c, "Printable", &V::Printable, true);
    rpreg::Enum<V, TrpShiftMode>(c, "ShiftMode", *registry.FindEnum(u"TrpShiftMode"), &V::ShiftMode, smAlways);
    for (TrpCommonProperty p :
         {TrpCommonProperty::Left, TrpCommonProperty::Top, TrpCommonProperty::Width, TrpCommonProperty::Height,
          TrpCommonProperty::GroupIndex, TrpCommonProperty::Restrictions, TrpCommonProperty::Visible,
          TrpCommonProperty::OnAfterData, TrpCommonProperty::OnAfterPrint, TrpCommonProperty::OnBeforePrint,
          TrpCommonProperty::OnPreviewClick, TrpCommonProperty::OnPreviewDblClick})
        PublishComponentProperty(c, p);
    rpreg::Str<V>(c, "Hint", &V::Hint);
    rpreg::Bool<V>(c, "ShowHint", &V::ShowHint, false).Default = Variant();
}

void PublishViewProperty(RegisteredClass& c, TrpViewProperty property)
{
    using V = TrpView;
    PropertyRegistry& registry = PropertyRegistry::Global();
    switch (property) {
    case TrpViewProperty::BrushStyle:
        rpreg::Enum<V, TBrushStyle>(c, "BrushStyle", BrushStyleEnum(registry), &V::BrushStyle, bsSolid);
        return;
    case TrpViewProperty::Color:
        rpreg::Int<V>(c, "Color", &V::Color, clNone, "TColor");
        return;
    case TrpViewProperty::Cursor:
        rpreg::Int<V>(c, "Cursor", &V::Cursor, 0, "TCursor");
        return;
    case TrpViewProperty::DataField:
        rpreg::Str<V>(c, "DataField", &V::DataField);
        return;
    case TrpViewProperty::DataSet:
        rpreg::Reference<V, TrpDataSet>(c, "DataSet", &V::DataSet, &V::SetDataSet);
        return;
    case TrpViewProperty::DataSetName:
        rpreg::Str<V>(c, "DataSetName", &V::DataSetName, &V::SetDataSetName);
        return;
    case TrpViewProperty::Frame:
        rpreg::Nested<V, TrpFrame>(c, "Frame", &V::Frame, &V::SetFrame);
        return;
    case TrpViewProperty::TagStr:
        rpreg::Str<V>(c, "TagStr", &V::TagStr);
        return;
    case TrpViewProperty::URL:
        rpreg::Str<V>(c, "URL", &V::URL);
        return;
    }
}

// --- TrpStretcheable

const ScriptClassInfo& TrpStretcheable::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpStretcheable"), &TrpView::Class()};
    return info;
}

void TrpStretcheable::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    TrpView::RegisterClass(registry);
    const EnumTypeInfo& modes = registry.AddEnum(
        QStringLiteral("TrpStretchMode"),
        {QStringLiteral("smDontStretch"), QStringLiteral("smActualHeight"), QStringLiteral("smMaxHeight")});
    using S = TrpStretcheable;
    RegisteredClass& c = registry.Register(Class());
    rpreg::Enum<S, TrpStretchMode>(c, "StretchMode", modes, &S::StretchMode, smDontStretch);
}

// --- TrpShapeView

const ScriptClassInfo& TrpShapeView::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpShapeView"), &TrpView::Class()};
    return info;
}

TrpShapeView::TrpShapeView()
{
    SetComponentStyle(rpComponentStyle() & ~SetBit(csDefaultDiff));
}

void TrpShapeView::DesignCreate(uint16_t flags)
{
    if (flags <= skDiagonal2)
        Shape = static_cast<TrpShapeKind>(flags);
}

QString TrpShapeView::GetDescription() const
{
    return GetResourcesInstance().Get(u"obShape");
}

void TrpShapeView::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    TrpView::RegisterClass(registry);
    const EnumTypeInfo& kinds = registry.AddEnum(
        QStringLiteral("TrpShapeKind"),
        {QStringLiteral("skRectangle"), QStringLiteral("skRoundRectangle"), QStringLiteral("skEllipse"),
         QStringLiteral("skTriangle"), QStringLiteral("skDiamond"), QStringLiteral("skDiagonal1"),
         QStringLiteral("skDiagonal2")});
    using S = TrpShapeView;
    RegisteredClass& c = registry.Register(Class(), [] { return std::make_unique<TrpShapeView>(); });
    PublishViewProperty(c, TrpViewProperty::BrushStyle);
    PublishViewProperty(c, TrpViewProperty::Color);
    PublishViewProperty(c, TrpViewProperty::Cursor);
    rpreg::Int<S>(c, "Curve", &S::Curve, 0);
    PublishViewProperty(c, TrpViewProperty::Frame);
    rpreg::Enum<S, TrpShapeKind>(c, "Shape", kinds, &S::Shape, skRectangle);
    PublishViewProperty(c, TrpViewProperty::TagStr);
    PublishViewProperty(c, TrpViewProperty::URL);
}

// --- lines

const ScriptClassInfo& TrpCustomLineView::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpCustomLineView"), &TrpStretcheable::Class()};
    return info;
}

TrpCustomLineView::TrpCustomLineView()
{
    SetComponentStyle(rpComponentStyle() & ~SetBit(csDefaultDiff));
}

void TrpCustomLineView::DesignCreate(uint16_t flags)
{
    Diagonal = flags != 0;
    ArrowEnd = flags == 2 || flags == 4;
    ArrowStart = flags == 3 || flags == 4;
}

// Arrow heads beyond this many pixels are refused.
inline constexpr int32_t kMaxArrowSize = 10000;

void TrpCustomLineView::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    TrpStretcheable::RegisterClass(registry);
    RegisteredClass& c = registry.Register(Class(), [] { return std::make_unique<TrpCustomLineView>(); });
    PublishViewProperty(c, TrpViewProperty::TagStr);
}

const ScriptClassInfo& TrpLineView::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpLineView"), &TrpCustomLineView::Class()};
    return info;
}

QString TrpLineView::GetDescription() const
{
    return GetResourcesInstance().Get(u"obLine");
}

void TrpLineView::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    TrpCustomLineView::RegisterClass(registry);
    using L = TrpCustomLineView;
    RegisteredClass& c = registry.Register(Class(), [] { return std::make_unique<TrpLineView>(); });
    rpreg::Bool<L>(c, "ArrowEnd", &L::ArrowEnd, false);
    c.AddInteger(QStringLiteral("ArrowLength"), GetterOf<L>([](const L& o) { return Variant(o.ArrowLength); }),
                 SetterOf<L>([](L& o, const Variant& v) {
                     o.ArrowLength = rpreg::Bounded(QStringLiteral("ArrowLength"), v, 0, kMaxArrowSize);
                 }),
                 20);
    rpreg::Bool<L>(c, "ArrowSolid", &L::ArrowSolid, false);
    rpreg::Bool<L>(c, "ArrowStart", &L::ArrowStart, false);
    c.AddInteger(QStringLiteral("ArrowWidth"), GetterOf<L>([](const L& o) { return Variant(o.ArrowWidth); }),
                 SetterOf<L>([](L& o, const Variant& v) {
                     o.ArrowWidth = rpreg::Bounded(QStringLiteral("ArrowWidth"), v, 0, kMaxArrowSize);
                 }),
                 5);
    PublishViewProperty(c, TrpViewProperty::Frame);
    rpreg::Bool<L>(c, "Diagonal", &L::Diagonal, false);
}

// --- TrpPictureView

const ScriptClassInfo& TrpPictureView::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpPictureView"), &TrpView::Class()};
    return info;
}

TrpPictureView::TrpPictureView()
{
    SetComponentStyle(rpComponentStyle() & ~SetBit(csDefaultDiff));
    picture_.OnChange = [this] { PictureChange(); };
    Color = clWhite;
}

void TrpPictureView::PictureChange()
{
    SetAutoSize(autoSize_);
    PictureChanged = true;
}

void TrpPictureView::SetAutoSize(bool value)
{
    autoSize_ = value;
    if (value && !picture_.IsEmpty() && picture_.Width() > 0 && picture_.Height() > 0) {
        // Directly, without the design restrictions of the setters.
        const TrpRestrictions restrictions = Restrictions();
        SetRestrictions(0);
        SetWidth(picture_.Width());
        SetHeight(picture_.Height());
        SetRestrictions(restrictions);
    }
}

void TrpPictureView::SetTransparent(bool value)
{
    transparent_ = value;
    Color = value ? clNone : clWhite;
}

QString TrpPictureView::GetDescription() const
{
    return GetResourcesInstance().Get(u"obPicture");
}

void TrpPictureView::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    TrpView::RegisterClass(registry);
    TrpPicture::RegisterClass(registry);
    using P = TrpPictureView;
    RegisteredClass& c = registry.Register(Class(), [] { return std::make_unique<TrpPictureView>(); });
    PublishViewProperty(c, TrpViewProperty::Cursor);
    rpreg::Bool<P>(c, "AutoSize", &P::AutoSize, &P::SetAutoSize, false);
    rpreg::Bool<P>(c, "Center", &P::Center, false);
    PublishViewProperty(c, TrpViewProperty::DataField);
    PublishViewProperty(c, TrpViewProperty::DataSet);
    PublishViewProperty(c, TrpViewProperty::DataSetName);
    PublishViewProperty(c, TrpViewProperty::Frame);
    rpreg::Str<P>(c, "FileLink", &P::FileLink);
    rpreg::Int<P>(c, "ImageIndex", &P::ImageIndex, std::nullopt).Stored = [](const ScriptObject& o) {
        return static_cast<const P&>(o).IsImageIndexStored;
    };
    rpreg::Bool<P>(c, "KeepAspectRatio", &P::KeepAspectRatio, true);
    PropertyInfo& picture = rpreg::Nested<P, TrpPicture>(c, "Picture", &P::Picture, &P::SetPicture);
    picture.TypeName = QStringLiteral("TPicture");
    picture.Stored = [](const ScriptObject& o) { return static_cast<const P&>(o).IsPictureStored; };
    rpreg::Bool<P>(c, "Stretched", &P::Stretched, true);
    PublishViewProperty(c, TrpViewProperty::TagStr);
    PublishViewProperty(c, TrpViewProperty::URL);
    rpreg::Bool<P>(c, "HightQuality", &P::HightQuality, false).Default = Variant();
    rpreg::Bool<P>(c, "Transparent", &P::Transparent, &P::SetTransparent, false).Default = Variant();
    rpreg::Int<P>(c, "TransparentColor", &P::TransparentColor, std::nullopt, "TColor");
}
