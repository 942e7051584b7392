#include "rpDMPClass.h"

#include "report/core/PropertyRegistry.h"
#include "report/core/Rounding.h"
#include "report/model/rpDsgnIntf.h"
#include "report/model/rpRes.h"
#include "report/model/rpXML.h"

#include <QPainter>

#include <cmath>

namespace {

constexpr double kCharX = kDotMatrixColumn;          // one character, pixels
constexpr double kCharY = kDotMatrixRow;             // one line, pixels

// Button images of the three objects in the object registry.
constexpr int32_t kTextImage = 2;
constexpr int32_t kLineImage = 5;
constexpr int32_t kCommandImage = 21;

// The highest character code a command may send.
constexpr int kMaxCommandCode = 255;

void Append(QString& text, QStringView name, const QString& value)
{
    text += u' ';
    text += name;
    text += QStringLiteral("=\"");
    text += value;
    text += u'"';
}

void SetCourierFont(TrpFont& font, TrpDMPFontStyles styles)
{
    font.SetName(QStringLiteral("Courier New"));
    font.SetSize(12);
    uint32_t bits = 0;
    if ((styles & (1u << fsxBold)) != 0)
        bits |= kFontStyleBold;
    if ((styles & (1u << fsxItalic)) != 0)
        bits |= kFontStyleItalic;
    if ((styles & (1u << fsxUnderline)) != 0)
        bits |= kFontStyleUnderline;
    font.SetStyle(bits);
}

// The object's font becomes "Courier New" 12 pt with the styles, in one change.
void AssignCourierFont(TrpComponent& object, TrpDMPFontStyles styles)
{
    TrpFont font;
    SetCourierFont(font, styles);
    object.Font().Assign(font);
}

TrpDMPPage* DMPPageOf(const TrpComponent& object)
{
    return dynamic_cast<TrpDMPPage*>(object.Page());
}

[[noreturn]] void BadCommand(const TrpDMPCommand& command)
{
    throw EDMPCommandError(FormatResource(GetResourcesInstance().Get(u"enDMPBadCommand"),
                                          {Variant(command.Name()), Variant(command.Command)})
                               .toStdString());
}

int HexValue(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    return -1;
}

} // namespace

double DMPRound(double value)
{
    return RoundHalfEven(value);
}

double DMPTrunc(double value)
{
    return std::trunc(value);
}

// --- TrpDMPPage ---------------------------------------------------------------------------------

const ScriptClassInfo& TrpDMPPage::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpDMPPage"), &TrpReportPage::Class()};
    return info;
}

TrpDMPPage::TrpDMPPage()
{
    ResetFontOptions();
}

void TrpDMPPage::SetFontStyle(TrpDMPFontStyles value)
{
    fontStyle_ = value & kDMPFontStyleMask;
    ResetFontOptions();
}

void TrpDMPPage::ResetFontOptions()
{
    // The font change reaches every object of the page whose ParentFont is on (their own
    // SetParentFont takes the style).
    AssignCourierFont(*this, fontStyle_);
    for (TrpComponent* object : AllObjects()) {
        if (object->ParentFont())
            object->SetParentFont(true);
    }
}

void TrpDMPPage::SetPaperWidth(double value)
{
    TrpReportPage::SetPaperWidth(value);
    const double width = DMPRound(PaperWidth() * kPixelsPerMillimetre / kCharX) * kCharX / kPixelsPerMillimetre;
    SetSizeAndDimensions(PaperSize(), width, PaperHeight());
    UpdateDimensions();
}

void TrpDMPPage::SetPaperHeight(double value)
{
    TrpReportPage::SetPaperHeight(value);
    const double height = DMPRound(PaperHeight() * kPixelsPerMillimetre / kCharY) * kCharY / kPixelsPerMillimetre;
    SetSizeAndDimensions(PaperSize(), PaperWidth(), height);
    UpdateDimensions();
}

void TrpDMPPage::SetPaperSize(int32_t value)
{
    // A stored page keeps the paper it was saved with: its width and height, read before the
    // size code, are already whole characters and lines of that paper (the table's size would
    // round them up again).
    if (IsLoading()) {
        SetSizeAndDimensions(value, PaperWidth(), PaperHeight());
        UpdateDimensions();
        return;
    }
    TrpReportPage::SetPaperSize(value);
    const double width = DMPRound(PaperWidth() * kPixelsPerMillimetre / kCharX) * kCharX / kPixelsPerMillimetre;
    const double height = DMPRound(PaperHeight() * kPixelsPerMillimetre / kCharY) * kCharY / kPixelsPerMillimetre;
    SetSizeAndDimensions(PaperSize(), width, height);
    UpdateDimensions();
}

void TrpDMPPage::SetDefaults()
{
    TrpReportPage::SetDefaults();
    LeftMargin = RightMargin = kCharX / kPixelsPerMillimetre;
    TopMargin = BottomMargin = kCharY / kPixelsPerMillimetre;
    const double width = DMPTrunc(PaperWidth() * kPixelsPerMillimetre / kCharX) * kCharX / kPixelsPerMillimetre;
    const double height = DMPTrunc(PaperHeight() * kPixelsPerMillimetre / kCharY) * kCharY / kPixelsPerMillimetre;
    SetSizeAndDimensions(PaperSize(), width, height);
    UpdateDimensions();
}

// --- TrpDMPMemoView -----------------------------------------------------------------------------

const ScriptClassInfo& TrpDMPMemoView::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpDMPMemoView"), &TrpCustomMemoView::Class()};
    return info;
}

TrpDMPMemoView::TrpDMPMemoView()
{
    ResetFontOptions();
}

void TrpDMPMemoView::SetFontStyle(TrpDMPFontStyles value)
{
    fontStyle_ = value & kDMPFontStyleMask;
    TrpCustomMemoView::SetParentFont(false);
    ResetFontOptions();
}

void TrpDMPMemoView::ResetFontOptions()
{
    // The font is the object's own setting here, not a change that turns ParentFont off.
    resettingFont_ = true;
    AssignCourierFont(*this, fontStyle_);
    resettingFont_ = false;
    CharSpacing = 0;
    LineSpacing = 1;
    GapX = 0;
    GapY = 0;
}

void TrpDMPMemoView::FontChanged()
{
    if (!resettingFont_)
        TrpCustomMemoView::FontChanged();
}

void TrpDMPMemoView::SetParentFont(bool value)
{
    TrpCustomMemoView::SetParentFont(value);
    if (value) {
        if (const TrpDMPPage* page = DMPPageOf(*this))
            fontStyle_ = page->FontStyle();
    }
    ResetFontOptions();
}

void TrpDMPMemoView::SetLeft(double value)
{
    const double cells = value / kCharX;
    TrpCustomMemoView::SetLeft((Align == baRight ? DMPTrunc(cells) : DMPRound(cells)) * kCharX);
}

void TrpDMPMemoView::SetTop(double value)
{
    TrpCustomMemoView::SetTop(DMPRound(value / kCharY) * kCharY);
}

void TrpDMPMemoView::SetWidth(double value)
{
    TrpCustomMemoView::SetWidth(DMPRound(value / kCharX) * kCharX);
}

void TrpDMPMemoView::SetHeight(double value)
{
    TrpCustomMemoView::SetHeight(DMPRound(value / kCharY) * kCharY);
}

void TrpDMPMemoView::SetBoundsDirect(double left, double top, double width, double height)
{
    TrpCustomMemoView::SetLeft(left);
    TrpCustomMemoView::SetTop(top);
    TrpCustomMemoView::SetWidth(width);
    TrpCustomMemoView::SetHeight(height);
}

QString TrpDMPMemoView::GetDescription() const
{
    return GetResourcesInstance().Get(u"obDMPText");
}

QString TrpDMPMemoView::Diff(const TrpComponent& original) const
{
    QString text = TrpCustomMemoView::Diff(original);
    const auto* memo = dynamic_cast<const TrpDMPMemoView*>(&original);
    if (memo != nullptr && memo->fontStyle_ != fontStyle_)
        Append(text, u"FontStyle", QString::number(fontStyle_ & kDMPFontStyleMask));
    return text;
}

void TrpDMPMemoView::DrawFrame(QPainter& painter)
{
    const TrpDeviceRect kept = FRect;
    const auto device = [](double value) { return static_cast<int32_t>(RoundHalfEven(value)); };
    FRect.X = device((AbsLeft() - kCharX / 2) * FScaleX + FOffsetX);
    FRect.Y = device((AbsTop() - kCharY / 2) * FScaleY + FOffsetY);
    FRect.X1 = device((AbsLeft() + Width() + kCharX / 2) * FScaleX + FOffsetX);
    FRect.Y1 = device((AbsTop() + Height() + kCharY / 2) * FScaleY + FOffsetY);
    TrpCustomMemoView::DrawFrame(painter);
    FRect = kept;
}

double TrpDMPMemoView::CalcHeight()
{
    return DMPRound(TrpCustomMemoView::CalcHeight() / kCharY) * kCharY;
}

double TrpDMPMemoView::CalcWidth()
{
    return DMPRound(TrpCustomMemoView::CalcWidth() / kCharX) * kCharX;
}

QString TrpDMPMemoView::GetoutBoundText() const
{
    const double lines = DMPRound(Height() / kCharY);
    const double characters = DMPRound(Width() / kCharX);
    const int n = lines <= 0 ? 0 : static_cast<int>(std::min(lines, 1e6));
    const qsizetype m = characters <= 0 ? 0 : static_cast<qsizetype>(std::min(characters, 1e6));
    QString text;
    for (int i = 0; i < n && i < Memo().Count(); ++i)
        text += Memo().Strings(i).left(m) + QStringLiteral("\r\n");
    return text;
}

// --- TrpDMPLineView -----------------------------------------------------------------------------

const ScriptClassInfo& TrpDMPLineView::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpDMPLineView"), &TrpCustomLineView::Class()};
    return info;
}

void TrpDMPLineView::SetFontStyle(TrpDMPFontStyles value)
{
    fontStyle_ = value & kDMPFontStyleMask;
    TrpLineView::SetParentFont(false);
}

void TrpDMPLineView::SetParentFont(bool value)
{
    TrpLineView::SetParentFont(value);
    if (value) {
        if (const TrpDMPPage* page = DMPPageOf(*this))
            fontStyle_ = page->FontStyle();
    }
}

void TrpDMPLineView::SetLeft(double value)
{
    const double cells = value / kCharX;
    double left = 0;
    if (value < 0)
        left = DMPTrunc(cells) * kCharX - kCharX / 2;
    else if (Align == baRight)
        left = DMPRound(cells) * kCharX - kCharX / 2;
    else
        left = DMPTrunc(cells) * kCharX + kCharX / 2;
    TrpLineView::SetLeft(left);
}

void TrpDMPLineView::SetTop(double value)
{
    TrpLineView::SetTop(DMPTrunc(value / kCharY) * kCharY + kCharY / 2);
}

void TrpDMPLineView::SetWidth(double value)
{
    const double cells = value / kCharX;
    TrpLineView::SetWidth((Align == baWidth ? DMPTrunc(cells) : DMPRound(cells)) * kCharX);
}

QString TrpDMPLineView::GetDescription() const
{
    return GetResourcesInstance().Get(u"obDMPLine");
}

QString TrpDMPLineView::Diff(const TrpComponent& original) const
{
    QString text = TrpLineView::Diff(original);
    const auto* line = dynamic_cast<const TrpDMPLineView*>(&original);
    if (line != nullptr && line->fontStyle_ != fontStyle_)
        Append(text, u"FontStyle", QString::number(fontStyle_ & kDMPFontStyleMask));
    return text;
}

// --- TrpDMPCommand ------------------------------------------------------------------------------

const ScriptClassInfo& TrpDMPCommand::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpDMPCommand"), &TrpView::Class()};
    return info;
}

void TrpDMPCommand::SetLeft(double value)
{
    TrpView::SetLeft(DMPRound(value / kCharX) * kCharX);
}

void TrpDMPCommand::SetTop(double value)
{
    TrpView::SetTop(DMPRound(value / kCharY) * kCharY);
}

QString TrpDMPCommand::GetDescription() const
{
    return GetResourcesInstance().Get(u"obDMPCmd");
}

QString TrpDMPCommand::Diff(const TrpComponent& original) const
{
    QString text = TrpView::Diff(original);
    const auto* command = dynamic_cast<const TrpDMPCommand*>(&original);
    if (command != nullptr && command->Command != Command)
        Append(text, u"Command", EscapeXMLText(Command));
    return text;
}

QByteArray TrpDMPCommand::ToChr() const
{
    QByteArray result;
    if (Command.startsWith(u'#')) {
        const QString text = Command + u'#';
        int code = -1; // -1: no digit collected yet
        for (qsizetype i = 1; i < text.size(); ++i) {
            const QChar c = text[i];
            if (c >= u'0' && c <= u'9') {
                code = (code < 0 ? 0 : code * 10) + (c.unicode() - u'0');
                if (code > kMaxCommandCode)
                    BadCommand(*this);
            } else if (c == u'#') {
                if (code >= 0)
                    result.append(static_cast<char>(code));
                code = -1;
            } else {
                BadCommand(*this);
            }
        }
        return result;
    }
    for (qsizetype i = 0; i + 1 < Command.size(); i += 2) {
        const int high = HexValue(Command[i]);
        const int low = HexValue(Command[i + 1]);
        if (high < 0 || low < 0)
            BadCommand(*this);
        result.append(static_cast<char>(high * 16 + low));
    }
    return result;
}

bool IsDMPMemoWithBottomLine(const TrpComponent* object)
{
    const auto* memo = dynamic_cast<const TrpDMPMemoView*>(object);
    return memo != nullptr && (memo->Frame().Typ & (1u << ftBottom)) != 0;
}

// --- registration -------------------------------------------------------------------------------

namespace {

const EnumTypeInfo& FontStyleElements(PropertyRegistry& registry)
{
    if (const EnumTypeInfo* known = registry.FindEnum(u"TrpDMPFontStyle"))
        return *known;
    return registry.AddEnum(QStringLiteral("TrpDMPFontStyle"),
                            {QStringLiteral("fsxBold"), QStringLiteral("fsxItalic"), QStringLiteral("fsxUnderline"),
                             QStringLiteral("fsxSuperScript"), QStringLiteral("fsxSubScript"),
                             QStringLiteral("fsxCondensed"), QStringLiteral("fsxWide"), QStringLiteral("fsx12cpi"),
                             QStringLiteral("fsx15cpi")});
}

template <class T>
PropertyInfo& AddFontStyle(RegisteredClass& c, const EnumTypeInfo& elements)
{
    return c.AddSet(
        QStringLiteral("FontStyle"), QStringLiteral("TrpDMPFontStyles"), elements,
        GetterOf<T>([](const T& o) { return Variant(static_cast<int32_t>(o.FontStyle())); }),
        SetterOf<T>([](T& o, const Variant& v) { o.SetFontStyle(static_cast<TrpDMPFontStyles>(v.ToInt32())); }), 0);
}

} // namespace

void TrpDMPPage::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    TrpReportPage::RegisterClass(registry);
    RegisteredClass& c = registry.Register(Class(), [] { return std::make_unique<TrpDMPPage>(); });
    AddFontStyle<TrpDMPPage>(c, FontStyleElements(registry));
}

void TrpDMPMemoView::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    TrpCustomMemoView::RegisterClass(registry);
    RegisteredClass& c = registry.Register(Class(), [] { return std::make_unique<TrpDMPMemoView>(); });
    const EnumTypeInfo& elements = FontStyleElements(registry);
    for (const char* name : {"AutoWidth", "AllowExpressions", "DataField", "DataSet", "DataSetName", "DisplayFormat",
                             "ExpressionDelimiters", "FlowTo"})
        PublishMemoProperty(c, name);
    AddFontStyle<TrpDMPMemoView>(c, elements).Stored = [](const ScriptObject& o) {
        return !static_cast<const TrpDMPMemoView&>(o).ParentFont();
    };
    for (const char* name : {"Frame", "HAlign", "HideZeros", "Memo", "ParentFont", "RTLReading", "SuppressRepeated",
                             "WordWrap"})
        PublishMemoProperty(c, name);
    c.AddBoolean(QStringLiteral("TruncOutboundText"),
                 GetterOf<TrpDMPMemoView>([](const TrpDMPMemoView& o) { return Variant(o.TruncOutboundText); }),
                 SetterOf<TrpDMPMemoView>([](TrpDMPMemoView& o, const Variant& v) { o.TruncOutboundText = v.ToBoolean(); }),
                 false);
    PublishMemoProperty(c, "VAlign");
}

void TrpDMPLineView::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    TrpLineView::RegisterClass(registry);
    RegisteredClass& c = registry.Register(Class(), [] { return std::make_unique<TrpDMPLineView>(); });
    AddFontStyle<TrpDMPLineView>(c, FontStyleElements(registry)).Stored = [](const ScriptObject& o) {
        return !static_cast<const TrpDMPLineView&>(o).ParentFont();
    };
    PublishComponentProperty(c, TrpCommonProperty::ParentFont);
}

void TrpDMPCommand::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    TrpView::RegisterClass(registry);
    RegisteredClass& c = registry.Register(Class(), [] { return std::make_unique<TrpDMPCommand>(); });
    c.AddString(QStringLiteral("Command"),
                GetterOf<TrpDMPCommand>([](const TrpDMPCommand& o) { return Variant(o.Command); }),
                SetterOf<TrpDMPCommand>([](TrpDMPCommand& o, const Variant& v) { o.Command = v.ToString(); }));
}

void RegisterDMPClasses()
{
    PropertyRegistry& registry = PropertyRegistry::Global();
    if (registry.Contains(TrpDMPPage::Class()))
        return;
    TrpDMPPage::RegisterClass(registry);
    TrpDMPMemoView::RegisterClass(registry);
    TrpDMPLineView::RegisterClass(registry);
    TrpDMPCommand::RegisterClass(registry);
    TrpObjectCollection& objects = GetObjectRegistry();
    objects.RegisterObject1(&TrpDMPMemoView::Class(), QImage(), QString(), QString(), 0, kTextImage, 1u << ctDMP);
    objects.RegisterObject1(&TrpDMPLineView::Class(), QImage(), QString(), QString(), 0, kLineImage, 1u << ctDMP);
    objects.RegisterObject1(&TrpDMPCommand::Class(), QImage(), QString(), QString(), 0, kCommandImage, 1u << ctDMP);
}
