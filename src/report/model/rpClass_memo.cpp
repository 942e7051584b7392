#include "rpClass_memo.h"

#include "rpClass_register.h"
#include "rpClass_report.h"
#include "rpClass_styles.h"
#include "rpRes.h"

#include "report/core/PropertyRegistry.h"

#include <cstring>

// Paddings, gaps and spacings beyond this many pixels are refused.
inline constexpr double kMaxMemoSpacing = 10000;

const ScriptClassInfo& TrpCustomMemoView::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpCustomMemoView"), &TrpStretcheable::Class()};
    return info;
}

TrpCustomMemoView::TrpCustomMemoView()
{
    SetComponentStyle(rpComponentStyle() & ~SetBit(csDefaultDiff));
    SetParentFont(true);
}

void TrpCustomMemoView::SetStyle(const QString& name)
{
    style_ = name;
    auto* report = dynamic_cast<TrpReport*>(Report());
    if (report != nullptr)
        ApplyStyle(report->Styles().Find(name));
}

void TrpCustomMemoView::ApplyStyle(const TrpStyleItem* style)
{
    if (style == nullptr)
        return;
    Color = style->Color;
    SetFont(style->Font());
    SetFrame(style->Frame());
}

QString TrpCustomMemoView::GetDescription() const
{
    return GetResourcesInstance().Get(u"obText");
}

namespace {

using M = TrpCustomMemoView;

PropertyInfo& SpacingFloat(RegisteredClass& c, const char* name, double M::*field, double storedUnless)
{
    const QString n = QString::fromLatin1(name);
    PropertyInfo& p = c.AddFloat(n, GetterOf<M>([field](const M& o) { return Variant(o.*field); }),
                                 SetterOf<M>([field, n](M& o, const Variant& v) {
                                     o.*field = rpreg::Bounded(n, v, -kMaxMemoSpacing, kMaxMemoSpacing);
                                 }));
    p.Default = Variant();
    p.Stored = [field, storedUnless](const ScriptObject& o) { return static_cast<const M&>(o).*field != storedUnless; };
    return p;
}

} // namespace

void PublishMemoProperty(RegisteredClass& c, const char* name)
{
    PropertyRegistry& registry = PropertyRegistry::Global();
    const auto is = [name](const char* candidate) { return std::strcmp(name, candidate) == 0; };
    if (is("AutoWidth"))
        rpreg::Bool<M>(c, name, &M::AutoWidth, false);
    else if (is("AllowExpressions"))
        rpreg::Bool<M>(c, name, &M::AllowExpressions, true);
    else if (is("AllowHTMLTags"))
        rpreg::Bool<M>(c, name, &M::AllowHTMLTags, false);
    else if (is("BrushStyle"))
        PublishViewProperty(c, TrpViewProperty::BrushStyle);
    else if (is("CharSpacing"))
        SpacingFloat(c, name, &M::CharSpacing, 0);
    else if (is("Clipped"))
        rpreg::Bool<M>(c, name, &M::Clipped, true);
    else if (is("Color"))
        PublishViewProperty(c, TrpViewProperty::Color);
    else if (is("DataField"))
        PublishViewProperty(c, TrpViewProperty::DataField);
    else if (is("DataSet"))
        PublishViewProperty(c, TrpViewProperty::DataSet);
    else if (is("DataSetName"))
        PublishViewProperty(c, TrpViewProperty::DataSetName);
    else if (is("DisplayFormat"))
        rpreg::Nested<M, TrpFormat>(c, name, &M::DisplayFormat, &M::SetDisplayFormat);
    else if (is("ExpressionDelimiters")) {
        // The opening and the closing delimiter, separated by a comma, neither empty.
        PropertyInfo& p = c.AddString(
            QString::fromLatin1(name), GetterOf<M>([](const M& o) { return Variant(o.ExpressionDelimiters); }),
            SetterOf<M>([](M& o, const Variant& v) {
                const QString delimiters = v.ToString();
                const qsizetype comma = delimiters.indexOf(u',');
                if (comma <= 0 || comma == delimiters.size() - 1)
                    RaiseInvalidPropertyValue(u"ExpressionDelimiters", delimiters);
                o.ExpressionDelimiters = delimiters;
            }));
        p.Stored = [](const ScriptObject& o) {
            return static_cast<const M&>(o).ExpressionDelimiters != QLatin1String("[,]");
        };
    }
    else if (is("FlowTo"))
        rpreg::Reference<M, M>(c, name, &M::FlowTo, &M::SetFlowTo);
    else if (is("Font"))
        PublishComponentProperty(c, TrpCommonProperty::Font);
    else if (is("Frame"))
        PublishViewProperty(c, TrpViewProperty::Frame);
    else if (is("GapX"))
        SpacingFloat(c, name, &M::GapX, 2);
    else if (is("GapY"))
        SpacingFloat(c, name, &M::GapY, 1);
    else if (is("HAlign"))
        rpreg::Enum<M, TrpHAlign>(c, name, *registry.FindEnum(u"TrpHAlign"), &M::HAlign, haLeft);
    else if (is("HideZeros"))
        rpreg::Bool<M>(c, name, &M::HideZeros, false);
    else if (is("Highlight"))
        rpreg::Nested<M, TrpHighlight>(c, name, &M::Highlight, &M::SetHighlight).Stored = [](const ScriptObject& o) {
            return !static_cast<const M&>(o).Highlight().Condition.trimmed().isEmpty();
        };
    else if (is("LineSpacing"))
        SpacingFloat(c, name, &M::LineSpacing, 2);
    else if (is("Memo"))
        c.AddLines(QString::fromLatin1(name), PropertyKind::WideStringList, QStringLiteral("TWideStrings"),
                   [](const ScriptObject& o) { return static_cast<const M&>(o).Text(); },
                   [](ScriptObject& o, const QString& text) { static_cast<M&>(o).SetText(text); });
    else if (is("ParagraphGap"))
        SpacingFloat(c, name, &M::ParagraphGap, 0);
    else if (is("ParentFont"))
        PublishComponentProperty(c, TrpCommonProperty::ParentFont);
    else if (is("Rotation"))
        rpreg::Int<M>(c, name, &M::Rotation, &M::SetRotation, 0);
    else if (is("RTLReading"))
        rpreg::Bool<M>(c, name, &M::RTLReading, false);
    else if (is("Style"))
        c.AddString(QString::fromLatin1(name), GetterOf<M>([](const M& o) { return Variant(o.Style()); }),
                    SetterOf<M>([](M& o, const Variant& v) { o.SetStyle(v.ToString()); }));
    else if (is("SuppressRepeated"))
        rpreg::Bool<M>(c, name, &M::SuppressRepeated, false);
    else if (is("Underlines"))
        rpreg::Bool<M>(c, name, &M::Underlines, false);
    else if (is("UseDefaultCharset"))
        rpreg::Bool<M>(c, name, &M::UseDefaultCharset, false);
    else if (is("WordBreak"))
        rpreg::Bool<M>(c, name, &M::WordBreak, false);
    else if (is("WordWrap"))
        rpreg::Bool<M>(c, name, &M::WordWrap, true);
    else if (is("Wysiwyg"))
        rpreg::Bool<M>(c, name, &M::Wysiwyg, true);
    else if (is("VAlign"))
        rpreg::Enum<M, TrpVAlign>(c, name, *registry.FindEnum(u"TrpVAlign"), &M::VAlign, vaTop);
    else
        throw platform::Exception(ResourceText(u"clNoMemoProperty", {Variant(QString::fromLatin1(name))}).toStdString());
}

void TrpCustomMemoView::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    TrpStretcheable::RegisterClass(registry);
    TrpHighlight::RegisterClass(registry);
    TrpFormat::RegisterClass(registry);
    registry.AddEnum(QStringLiteral("TrpHAlign"),
                     {QStringLiteral("haLeft"), QStringLiteral("haRight"), QStringLiteral("haCenter"),
                      QStringLiteral("haBlock")});
    registry.AddEnum(QStringLiteral("TrpVAlign"),
                     {QStringLiteral("vaTop"), QStringLiteral("vaBottom"), QStringLiteral("vaCenter")});
    RegisteredClass& c = registry.Register(Class(), [] { return std::make_unique<TrpCustomMemoView>(); });
    rpreg::Bool<M>(c, "FirstParaBreak", &M::FirstParaBreak, false);
    rpreg::Bool<M>(c, "LastParaBreak", &M::LastParaBreak, false);
    PublishViewProperty(c, TrpViewProperty::Cursor);
    PublishViewProperty(c, TrpViewProperty::TagStr);
    PublishViewProperty(c, TrpViewProperty::URL);
}

// --- TrpMemoView

const ScriptClassInfo& TrpMemoView::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpMemoView"), &TrpCustomMemoView::Class()};
    return info;
}

QString TrpMemoView::GetDescription() const
{
    return GetResourcesInstance().Get(u"obText");
}

void TrpMemoView::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    TrpCustomMemoView::RegisterClass(registry);
    RegisteredClass& c = registry.Register(Class(), [] { return std::make_unique<TrpMemoView>(); });
    for (const char* name :
         {"AutoWidth", "AllowExpressions", "AllowHTMLTags", "BrushStyle", "CharSpacing", "Clipped", "Color",
          "DataField", "DataSet", "DataSetName", "DisplayFormat", "ExpressionDelimiters", "FlowTo", "Font", "Frame",
          "GapX", "GapY", "HAlign", "HideZeros", "Highlight", "LineSpacing", "Memo", "ParagraphGap", "ParentFont",
          "Rotation", "RTLReading", "Style", "SuppressRepeated", "Underlines", "UseDefaultCharset", "WordBreak",
          "WordWrap", "Wysiwyg", "VAlign"})
        PublishMemoProperty(c, name);
}

// --- TrpSysMemoView

const ScriptClassInfo& TrpSysMemoView::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpSysMemoView"), &TrpCustomMemoView::Class()};
    return info;
}

QString TrpSysMemoView::GetDescription() const
{
    return GetResourcesInstance().Get(u"obSysText");
}

void TrpSysMemoView::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    TrpCustomMemoView::RegisterClass(registry);
    RegisteredClass& c = registry.Register(Class(), [] { return std::make_unique<TrpSysMemoView>(); });
    for (const char* name :
         {"AutoWidth", "BrushStyle", "CharSpacing", "Color", "DisplayFormat", "Font", "Frame", "GapX", "GapY",
          "HAlign", "HideZeros", "Highlight", "Memo", "ParentFont", "Rotation", "RTLReading", "Style",
          "SuppressRepeated", "VAlign", "WordWrap"})
        PublishMemoProperty(c, name);
}
