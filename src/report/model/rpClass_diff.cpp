// The difference text of prepared pages: the attributes of a printed object that differ from
// its template object. The prepared pages store these texts and read them back byte for byte.

#include "rpClass.h"

#include "rpXML.h"
#include "rpXMLSerializer.h"

#include "report/core/FormatSettings.h"
#include "report/core/NumberText.h"

#include <cmath>

namespace {

// Floats closer than this are no difference.
constexpr double kDiffTolerance = 0.0001;

QString BooleanText(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

QString TrpComponent::DiffFloatText(double value)
{
    return FloatToGeneralText(value, 15, FormatSettings::C());
}

bool TrpComponent::FloatsDiffer(double a, double b)
{
    return std::fabs(a - b) > kDiffTolerance;
}

void TrpComponent::AppendAttribute(QString& text, QStringView name, const QString& value)
{
    text += u' ';
    text += name;
    text += QStringLiteral("=\"");
    text += value;
    text += u'"';
}

void TrpComponent::DiffFont(QString& text, const TrpFont& font, const TrpFont& reference, QStringView prefix)
{
    const auto append = [&](QStringView name, const QString& value) {
        text += prefix;
        text += name;
        text += QStringLiteral("=\"");
        text += value;
        text += u'"';
    };
    if (font.Name() != reference.Name())
        append(u"Font.Name", EscapeXMLText(font.Name()));
    if (font.Size() != reference.Size())
        append(u"Font.Size", QString::number(font.Size()));
    if (font.Color() != reference.Color())
        append(u"Font.Color", QString::number(font.Color()));
    if (font.Style() != reference.Style())
        append(u"Font.Style", QString::number(font.Style()));
    if (font.Charset() != reference.Charset())
        append(u"Font.Charset", QString::number(font.Charset()));
}

QString TrpComponent::DiffCommon(const TrpComponent& original) const
{
    QString text;
    if (FloatsDiffer(left_, original.left_))
        AppendAttribute(text, u"l", DiffFloatText(left_));
    if (FloatsDiffer(top_, original.top_) || IsBand())
        AppendAttribute(text, u"t", DiffFloatText(top_));
    if (FloatsDiffer(width_, original.width_) && !HasAutoWidth())
        AppendAttribute(text, u"w", DiffFloatText(width_));
    if (FloatsDiffer(height_, original.height_))
        AppendAttribute(text, u"h", DiffFloatText(height_));
    if (visible_ != original.visible_)
        AppendAttribute(text, u"Visible", BooleanText(visible_));
    if (!parentFont_)
        DiffFont(text, *font_, *original.font_, u" ");
    if (parentFont_ != original.parentFont_)
        AppendAttribute(text, u"ParentFont", BooleanText(parentFont_));
    if (tag_ != original.tag_)
        AppendAttribute(text, u"Tag", QString::number(tag_));
    return text;
}

QString TrpComponent::Diff(const TrpComponent& original) const
{
    return DiffCommon(original);
}

QString TrpComponent::AllDiff(const TrpComponent* original) const
{
    TrpXMLSerializer serializer;
    serializer.SetOwner(Report());
    // The attributes of the object alone, as its empty element carries them.
    QString text = serializer.ObjToXML(this);
    if (text.startsWith(u' '))
        text.remove(0, 1);
    if (original != nullptr) {
        text += u' ';
        text += Diff(*original);
    }
    if (IsNullBand()) {
        AppendAttribute(text, u"l", DiffFloatText(left_));
        AppendAttribute(text, u"t", DiffFloatText(top_));
    }
    return text;
}
