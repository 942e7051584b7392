// The difference texts of printed views against their templates: views and their frames,
// shapes, memos and pictures. The prepared pages store these texts and read them back.

#include "rpClass_memo.h"
#include "rpClass_report.h"
#include "rpClass_services.h"
#include "rpXML.h"

namespace {

QString BooleanText(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

void Append(QString& text, QStringView name, const QString& value)
{
    text += u' ';
    text += name;
    text += QStringLiteral("=\"");
    text += value;
    text += u'"';
}

// A side of the frame: with the frame's own value changed from the template's, the side's
// value is written where it differs from its frame's; otherwise where it differs from the
// template's side.
void DiffFrameLine(QString& text, const TrpFrameLine& line, const TrpFrameLine& reference, QStringView name,
                   bool colorChanged, bool styleChanged, bool widthChanged)
{
    const TrpFrame& frame = *line.Frame();
    const auto nameOf = [&](QStringView part) { return name.toString() + part.toString(); };
    if (colorChanged ? line.Color != frame.Color() : line.Color != reference.Color)
        Append(text, nameOf(u".Color"), QString::number(line.Color));
    if (styleChanged ? line.Style != frame.Style() : line.Style != reference.Style)
        Append(text, nameOf(u".Style"), QString::number(line.Style));
    if (widthChanged ? TrpComponent::FloatsDiffer(line.Width, frame.Width())
                     : TrpComponent::FloatsDiffer(line.Width, reference.Width))
        Append(text, nameOf(u".Width"), TrpComponent::DiffFloatText(line.Width));
}

void DiffFrame(QString& text, const TrpFrame& frame, const TrpFrame& reference)
{
    if (frame.Color() != reference.Color())
        Append(text, u"Frame.Color", QString::number(frame.Color()));
    if (frame.DropShadow != reference.DropShadow)
        Append(text, u"Frame.DropShadow", BooleanText(frame.DropShadow));
    if (frame.ShadowColor != reference.ShadowColor)
        Append(text, u"Frame.ShadowColor", QString::number(frame.ShadowColor));
    if (TrpComponent::FloatsDiffer(frame.ShadowWidth, reference.ShadowWidth))
        Append(text, u"Frame.ShadowWidth", TrpComponent::DiffFloatText(frame.ShadowWidth));
    if (frame.Style() != reference.Style())
        Append(text, u"Frame.Style", QString::number(frame.Style()));
    if (frame.Typ != reference.Typ)
        Append(text, u"Frame.Typ", QString::number(frame.Typ));
    if (TrpComponent::FloatsDiffer(frame.Width(), reference.Width()))
        Append(text, u"Frame.Width", TrpComponent::DiffFloatText(frame.Width()));
    const bool colorChanged = frame.Color() != reference.Color();
    const bool styleChanged = frame.Style() != reference.Style();
    const bool widthChanged = TrpComponent::FloatsDiffer(frame.Width(), reference.Width());
    DiffFrameLine(text, frame.LeftLine(), reference.LeftLine(), u"Frame.LeftLine", colorChanged, styleChanged,
                  widthChanged);
    DiffFrameLine(text, frame.TopLine(), reference.TopLine(), u"Frame.TopLine", colorChanged, styleChanged,
                  widthChanged);
    DiffFrameLine(text, frame.RightLine(), reference.RightLine(), u"Frame.RightLine", colorChanged, styleChanged,
                  widthChanged);
    DiffFrameLine(text, frame.BottomLine(), reference.BottomLine(), u"Frame.BottomLine", colorChanged, styleChanged,
                  widthChanged);
}

} // namespace

QString TrpView::Diff(const TrpComponent& original) const
{
    QString text = DiffCommon(original);
    const auto* view = dynamic_cast<const TrpView*>(&original);
    if (view == nullptr)
        return text;
    if (BrushStyle != view->BrushStyle)
        Append(text, u"BrushStyle", QString::number(BrushStyle));
    if (Align != view->Align)
        Append(text, u"Align", QString::number(Align));
    if (Color != view->Color)
        Append(text, u"Color", QString::number(Color));
    DiffFrame(text, frame_, view->frame_);
    if (Cursor != view->Cursor)
        Append(text, u"Cursor", QString::number(Cursor));
    if (Printable != view->Printable)
        Append(text, u"Printable", BooleanText(Printable));
    if (TagStr != view->TagStr)
        Append(text, u"TagStr", EscapeXMLText(TagStr));
    if (URL != view->URL)
        Append(text, u"URL", EscapeXMLText(URL));
    return text;
}

QString TrpShapeView::Diff(const TrpComponent& original) const
{
    QString text = TrpView::Diff(original);
    if (const auto* shape = dynamic_cast<const TrpShapeView*>(&original); shape != nullptr && Shape != shape->Shape)
        Append(text, u"Shape", QString::number(Shape));
    return text;
}

QString TrpCustomMemoView::Diff(const TrpComponent& original) const
{
    QString text = TrpView::Diff(original);
    const auto* memo = dynamic_cast<const TrpCustomMemoView*>(&original);
    if (memo == nullptr)
        return text;
    if (AutoWidth != memo->AutoWidth)
        Append(text, u"AutoWidth", BooleanText(AutoWidth));
    if (FloatsDiffer(CharSpacing, memo->CharSpacing))
        Append(text, u"CharSpacing", DiffFloatText(CharSpacing));
    if (FloatsDiffer(GapX, memo->GapX))
        Append(text, u"GapX", DiffFloatText(GapX));
    if (FloatsDiffer(GapY, memo->GapY))
        Append(text, u"GapY", DiffFloatText(GapY));
    if (HAlign != memo->HAlign)
        Append(text, u"HAlign", QString::number(HAlign));
    if (highlight_.Active != memo->highlight_.Active)
        Append(text, u"Highlight.Active", BooleanText(highlight_.Active));
    if (FloatsDiffer(LineSpacing, memo->LineSpacing))
        Append(text, u"LineSpacing", DiffFloatText(LineSpacing));
    if (UseDefaultCharset != memo->UseDefaultCharset)
        Append(text, u"UseDefaultCharset", BooleanText(UseDefaultCharset));
    QString lines = memo_.Text();
    if (lines.endsWith(QStringLiteral("\r\n")))
        lines.chop(2);
    Append(text, u"u", EscapeXMLText(lines));
    if (FloatsDiffer(ParagraphGap, memo->ParagraphGap))
        Append(text, u"ParagraphGap", DiffFloatText(ParagraphGap));
    if (rotation_ != memo->rotation_)
        Append(text, u"Rotation", QString::number(rotation_));
    if (RTLReading != memo->RTLReading)
        Append(text, u"RTLReading", BooleanText(RTLReading));
    if (Underlines != memo->Underlines)
        Append(text, u"Underlines", BooleanText(Underlines));
    if (VAlign != memo->VAlign)
        Append(text, u"VAlign", QString::number(VAlign));
    if (WordWrap != memo->WordWrap)
        Append(text, u"WordWrap", BooleanText(WordWrap));
    const TrpFormat& format = displayFormat_;
    const TrpFormat& reference = memo->displayFormat_;
    if (format.Kind != reference.Kind)
        Append(text, u"DisplayFormat.Kind", QString::number(format.Kind));
    if (format.DecimalSeparator != reference.DecimalSeparator)
        Append(text, u"DisplayFormat.DecimalSeparator", EscapeXMLText(format.DecimalSeparator));
    if (format.ThousandSeparator != reference.ThousandSeparator)
        Append(text, u"DisplayFormat.ThousandSeparator", EscapeXMLText(format.ThousandSeparator));
    if (format.FormatStr != reference.FormatStr)
        Append(text, u"DisplayFormat.FormatStr", EscapeXMLText(format.FormatStr));
    if (FirstParaBreak)
        Append(text, u"FirstParaBreak", QStringLiteral("1"));
    if (LastParaBreak)
        Append(text, u"LastParaBreak", QStringLiteral("1"));
    // The next part of a split memo starts where this one ended: inside a paragraph or not.
    auto& self = const_cast<TrpCustomMemoView&>(*this);
    self.FirstParaBreak = LastParaBreak;
    self.LastParaBreak = false;
    return text;
}

QString TrpPictureView::Diff(const TrpComponent& original) const
{
    if (PictureChanged) {
        // Writing the difference is when a picture changed while printing reaches the
        // prepared pages' cache, which sets ImageIndex; the text below refers to it.
        auto& self = const_cast<TrpPictureView&>(*this);
        if (auto* report = dynamic_cast<TrpReport*>(Report()); report != nullptr && report->PreviewPages() != nullptr)
            report->PreviewPages()->AddPicture(&self);
        self.PictureChanged = false;
    }
    QString text = TrpView::Diff(original);
    Append(text, u"ImageIndex", QString::number(ImageIndex));
    if (transparent_)
        Append(text, u"Transparent", QStringLiteral("1"));
    if (TransparentColor != clWhite)
        Append(text, u"TransparentColor", QString::number(TransparentColor));
    return text;
}
