// Lines (with arrow heads), the seven shapes and check boxes as vector paths, and the link
// annotations of views with a URL.

#include "rpExportPDF.h"

#include "report/core/Colors.h"
#include "report/core/Rounding.h"
#include "report/engine/rpPreviewPages.h"
#include "report/model/rpChBox.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_views.h"
#include "report/model/rpXML.h"

#include <cmath>

QByteArray TrpPDFExport::Point(double x, double y) const
{
    return Fixed(X(x)) + ' ' + Fixed(Y(y));
}

QByteArray TrpPDFExport::ArrowHead(double tipX, double tipY, double farX, double farY, double length,
                                   double halfWidth)
{
    // Page points: the base centre lies on the segment at the arrow length from the tip, the
    // corners at the half width either side of it.
    const double dx = farX - tipX;
    const double dy = farY - tipY;
    const double d = std::hypot(dx, dy);
    if (d == 0)
        return {};
    const double ux = dx / d;
    const double uy = dy / d;
    const double bx = tipX + ux * length;
    const double by = tipY + uy * length;
    const auto pt = [](double x, double y) { return Fixed(x) + ' ' + Fixed(y); };
    return pt(bx - uy * halfWidth, by + ux * halfWidth) + " m\r\n" + pt(tipX, tipY) + " l\r\n" +
           pt(bx + uy * halfWidth, by - ux * halfWidth) + " l\r\n";
}

void TrpPDFExport::ExportLine(TrpCustomLineView& line)
{
    const TrpFrame& frame = line.Frame();
    const double left = line.AbsLeft();
    const double top = line.AbsTop();
    const double right = left + line.Width();
    const double bottom = top + line.Height();
    const QByteArray dash = DashPattern(frame.Style(), frame.Width()) + "\r\n";
    OutStream += dash;
    OutStream += ColorText(frame.Color()) + " RG\r\n";
    OutStream += Fixed(frame.Width() * 0.75) + " w\r\n";
    OutStream += Point(left, top) + " m\r\n" + Point(right, bottom) + " l\r\nS\r\n";
    const auto arrow = [&](double tx, double ty, double fx, double fy) {
        const QByteArray head =
            ArrowHead(X(tx), Y(ty), X(fx), Y(fy), line.ArrowLength * 0.75, line.ArrowWidth * 0.75);
        if (head.isEmpty())
            return;
        OutStream += dash + head;
        if (line.ArrowSolid)
            OutStream += "1 j\r\n" + ColorText(frame.Color()) + " rg\r\nb\r\n";
        else
            OutStream += "S\r\n";
    };
    if (line.ArrowStart)
        arrow(left, top, right, bottom);
    if (line.ArrowEnd)
        arrow(right, bottom, left, top);
}

void TrpPDFExport::ExportShape(TrpShapeView& shape)
{
    const TrpFrame& frame = shape.Frame();
    const double left = shape.AbsLeft();
    const double top = shape.AbsTop();
    const double width = shape.Width();
    const double height = shape.Height();
    const double right = left + width;
    const double bottom = top + height;
    const QByteArray close = shape.Color == clNone ? "S\r\n" : "B\r\n";
    QByteArray& out = OutStream;
    out += DashPattern(frame.Style(), frame.Width()) + "\r\n";
    out += ColorText(frame.Color()) + " RG\r\n";
    out += Fixed(frame.Width() * 0.75) + " w\r\n";
    const QByteArray fill = ColorText(shape.Color == clNone ? clWhite : shape.Color) + " rg\r\n";
    const auto c = [&](double x1, double y1, double x2, double y2, double x3, double y3) {
        out += Point(x1, y1) + ' ' + Point(x2, y2) + ' ' + Point(x3, y3) + " c\r\n";
    };
    switch (shape.Shape) {
    case skRectangle:
        out += fill;
        out += Fixed(X(left)) + ' ' + Fixed(Y(bottom)) + " \r\n";
        out += Fixed(width * 0.75) + ' ' + Fixed(height * 0.75) + " re\r\n";
        out += close;
        break;
    case skRoundRectangle: {
        const double r = shape.Curve == 0 ? 7.48 : shape.Curve * 3.74;
        const double h = r / 2;
        out += fill;
        out += Point(left + r, bottom) + " m\r\n";
        out += Point(right - r, bottom) + " l\r\n";
        c(right - h, bottom, right, bottom - h, right, bottom - r);
        out += Point(right, top + r) + " l\r\n";
        c(right, top + h, right - h, top, right - r, top);
        out += Point(left + r, top) + " l\r\n";
        c(left + h, top, left, top + h, left, top + r);
        out += Point(left, bottom - r) + " l\r\n";
        c(left, bottom - h, left + h, bottom, left + r, bottom);
        out += close;
        break;
    }
    case skEllipse: {
        const double rx = width / 2;
        const double ry = height / 2;
        constexpr double a = 1.5522847498;
        constexpr double b = 0.4477152502;
        out += fill;
        out += Point(left + 2 * rx, top + ry) + " m\r\n";
        c(left + 2 * rx, top + a * ry, left + a * rx, top + 2 * ry, left + rx, top + 2 * ry);
        c(left + b * rx, top + 2 * ry, left, top + a * ry, left, top + ry);
        c(left, top + b * ry, left + b * rx, top, left + rx, top);
        c(left + a * rx, top, left + 2 * rx, top + b * ry, left + 2 * rx, top + ry);
        out += close;
        break;
    }
    case skTriangle: {
        const double cx = left + width / 2;
        out += fill;
        out += Point(cx, top) + " m " + Point(right, bottom) + " l " + Point(left, bottom) + " l " + Point(cx, top) +
               " l\r\n";
        out += close;
        break;
    }
    case skDiamond: {
        const double cx = left + width / 2;
        const double cy = top + height / 2;
        out += fill;
        out += Point(cx, top) + " m " + Point(right, cy) + " l " + Point(cx, bottom) + " l " + Point(left, cy) +
               " l " + Point(cx, top) + " l\r\n";
        out += close;
        break;
    }
    case skDiagonal1:
        out += Point(left, bottom) + " m\r\n" + Point(right, top) + " l\r\nS\r\n";
        break;
    case skDiagonal2:
        out += Point(left, top) + " m\r\n" + Point(right, bottom) + " l\r\nS\r\n";
        break;
    }
}

void TrpPDFExport::ExportCheckBox(TrpCheckBoxView& box)
{
    if (!box.Checked)
        return;
    const TrpFrame& frame = box.Frame();
    const double left = box.AbsLeft();
    const double top = box.AbsTop();
    const double width = box.Width();
    const double height = box.Height();
    const double right = left + width;
    const double bottom = top + height;
    QByteArray& out = OutStream;
    out += "[] 0 d\r\n";
    out += ColorText(frame.Color()) + " RG\r\n";
    out += Fixed(frame.Width() * 0.75 * 2) + " w\r\n";
    out += ColorText(box.Color == clNone ? clWhite : box.Color) + " rg\r\n";
    out += Point(left + width / 8, top + height / 2) + " m\r\n";
    out += Point(left + width / 3, bottom - height / 4) + " l\r\n";
    out += Point(right - width / 4, top + height / 7) + " l\r\n";
    if ((frame.Typ & 15u) == 15u) {
        out += Point(left, top) + " m\r\n";
        out += Point(right, top) + " l\r\n";
        out += Point(right, bottom - 3) + " l\r\n";
        out += Point(left, bottom - 3) + " l\r\n";
        out += Point(left, top) + " l\r\n";
    }
    out += box.Color == clNone ? "S\r\n" : "B\r\n";
}

// --- links --------------------------------------------------------------------------------------

bool TrpPDFExport::IsLiteralString(const QString& text)
{
    int depth = 0;
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c < 32 || c > 126)
            return false;
        if (c == u'(')
            ++depth;
        else if (c == u')' && --depth < 0)
            return false;
    }
    return depth == 0;
}

QByteArray TrpPDFExport::GetLiteralString(const QString& text)
{
    return '(' + text.toLatin1().replace('\\', "\\\\") + ')';
}

QByteArray TrpPDFExport::GetHexString(const QString& text)
{
    QByteArray result = "<";
    for (const QChar c : text)
        result += QByteArray::number(c.unicode(), 16).toUpper().rightJustified(4, '0');
    return result + '>';
}

void TrpPDFExport::ExportLink(TrpView& view)
{
    const QString url = view.URL;
    if (url.isEmpty())
        return;
    const double left = view.AbsLeft();
    const double top = view.AbsTop();
    TrpPDFAnnot annot;
    annot.Rect = Fixed(X(left)) + ' ' + Fixed(Y(top + view.Height())) + ' ' + Fixed(X(left + view.Width())) + ' ' +
                 Fixed(Y(top));
    if (url.startsWith(u'#')) {
        auto* pages = Report != nullptr ? dynamic_cast<TrpPreviewPages*>(Report->PreviewPages()) : nullptr;
        TrpXMLItem* anchor = pages != nullptr ? pages->FindAnchor(url.mid(1)) : nullptr;
        if (anchor == nullptr)
            return;
        annot.DestPage = anchor->Prop(u"page").toInt();
        annot.DestY = static_cast<int>(RoundHalfEven(Y(anchor->Prop(u"top").toDouble())));
    } else if (url.startsWith(u'@')) {
        // Only a page number makes a link: "@" and anything else is no target.
        const QString digits = url.mid(1);
        bool ok = !digits.isEmpty();
        for (const QChar c : digits)
            ok = ok && c >= u'0' && c <= u'9';
        const int number = ok ? digits.toInt(&ok) : 0;
        if (!ok || number < 1)
            return;
        annot.DestPage = number - 1;
        annot.DestY = static_cast<int>(RoundHalfEven(Y(0)));
    } else {
        annot.Uri = url;
    }
    annot.Number = UpdateXRef();
    FPageAnnots += Ref(annot.Number) + "\r\n";
    FAnnots.push_back(annot);
}

void TrpPDFExport::WriteAnnots()
{
    for (const TrpPDFAnnot& annot : FAnnots) {
        if (annot.Uri.isEmpty() && FindWrittenPage(annot.DestPage) == nullptr) {
            // Its page was not written: the page already lists the reserved number, which
            // becomes a link without a target and without a border.
            FXRef[static_cast<size_t>(annot.Number) - 1] = position_;
            Line(Header(annot.Number));
            Line("<<");
            Line("/Type /Annot");
            Line("/Subtype /Link");
            Line("/Rect [" + annot.Rect + "]");
            Line("/Border [0 0 0]");
            Line(">>");
            Line("endobj");
            continue;
        }
        FXRef[static_cast<size_t>(annot.Number) - 1] = position_;
        Line(Header(annot.Number));
        Line("<<");
        Line("/Type /Annot");
        Line("/Subtype /Link");
        Line("/Rect [" + annot.Rect + "]");
        if (!annot.Uri.isEmpty()) {
            QByteArray uri;
            if (FProtection) {
                QByteArray bytes;
                if (IsLiteralString(annot.Uri)) {
                    bytes = annot.Uri.toLatin1();
                } else {
                    for (const QChar c : annot.Uri) {
                        bytes += static_cast<char>(c.unicode() >> 8);
                        bytes += static_cast<char>(c.unicode() & 0xFF);
                    }
                }
                uri = '(' + CryptString(bytes, annot.Number) + ')';
            } else {
                uri = IsLiteralString(annot.Uri) ? GetLiteralString(annot.Uri) : GetHexString(annot.Uri);
            }
            Line("/BS << /W 0 >>");
            Line("/A <<");
            Line("/URI " + uri);
            Line("/Type /Action");
            Line("/S /URI");
            Line(">>");
        } else {
            const WrittenPage* page = FindWrittenPage(annot.DestPage);
            Line("/Border [16 16 0]");
            Line("/Dest [" + QByteArray::number(page->Reference) + " 0 R /XYZ null " + QByteArray::number(annot.DestY) +
                 " null]");
        }
        Line(">>");
        Line("endobj");
    }
}
