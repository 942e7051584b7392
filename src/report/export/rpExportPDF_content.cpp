// The page content of a PDF export: memo texts as PDF text in the document's fonts, fills
// and frame lines as paths (lines, shapes and check boxes in rpExportPDF_paths.cpp).

#include "rpExportPDF.h"

#include "report/core/Colors.h"
#include "report/core/NumberText.h"
#include "report/core/Rounding.h"
#include "report/model/rpClass.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpChBox.h"
#include "report/model/rpClass_views.h"
#include "report/model/rpDrawText.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

bool HasSide(const TrpFrame& frame, TrpFrameType side)
{
    return (frame.Typ & (1u << side)) != 0;
}

} // namespace

QByteArray TrpPDFExport::Fixed(double value)
{
    return FloatToFixedText(value, 2, u'.').toLatin1();
}

QByteArray TrpPDFExport::ColorText(int32_t color)
{
    if (color == 0)
        return "0 0 0";
    if (color == 0xFFFFFF)
        return "1 1 1";
    if (color == FLastColor)
        return FLastColorResult;
    const uint32_t rgb = ColorToRgb(color);
    FLastColor = color;
    FLastColorResult = Fixed(((rgb >> 16) & 0xFF) / 255.0) + ' ' + Fixed(((rgb >> 8) & 0xFF) / 255.0) + ' ' +
                       Fixed((rgb & 0xFF) / 255.0);
    return FLastColorResult;
}

QByteArray TrpPDFExport::DashPattern(int style, double width)
{
    // The two styles the table lacks are penned as the preview pens them.
    if (style == fsAltDot)
        style = fsDot;
    else if (style == fsSquare)
        style = fsDash;
    const QByteArray d = Fixed(width * 6) + ' ';
    const QByteArray g = Fixed(width * 2) + ' ';
    switch (style) {
    case fsDash:
        return "[" + d + "] 0 d";
    case fsDot:
        return "[" + g + d + "] 0 d";
    case fsDashDot:
        return "[" + d + d + g + d + "] 0 d";
    case fsDashDotDot:
        return "[" + d + d + g + d + g + d + "] 0 d";
    default:
        return "[] 0 d";
    }
}

void TrpPDFExport::ExportObject(TrpComponent* object)
{
    auto* view = dynamic_cast<TrpView*>(object);
    if (view == nullptr || !(ExportNotPrintable || view->Printable))
        return;
    ExportViewContent(*view);
}

void TrpPDFExport::ExportViewContent(TrpView& view)
{
    ExportLink(view);
    if (auto* memo = dynamic_cast<TrpCustomMemoView*>(&view)) {
        const bool tags = memo->AllowHTMLTags && HTMLTags && memo->Text().contains(u'<');
        if ((view.BrushStyle == bsSolid || view.BrushStyle == bsClear) && !tags) {
            ExportMemoText(*memo);
            return;
        }
    }
    if (auto* line = dynamic_cast<TrpCustomLineView*>(&view)) {
        ExportLine(*line);
        return;
    }
    if (auto* shape = dynamic_cast<TrpShapeView*>(&view)) {
        ExportShape(*shape);
        return;
    }
    if (auto* box = dynamic_cast<TrpCheckBoxView*>(&view)) {
        ExportCheckBox(*box);
        return;
    }
    // The page background only when asked for; every other view with an area is a picture.
    if (view.Name() == QStringLiteral("_pagebackground") && !Background)
        return;
    if (view.Width() > 0 && view.Height() > 0)
        ExportPicture(view);
}

void TrpPDFExport::ExportFrameLines(TrpView& view)
{
    const TrpFrame& frame = view.Frame();
    if (frame.Typ == 0 || frame.Color() == clNone)
        return;
    const double left = view.AbsLeft();
    const double top = view.AbsTop();
    const double right = left + view.Width();
    const double bottom = top + view.Height();
    OutStream += ColorText(frame.Color()) + " RG\r\n";
    const auto side = [&](const TrpFrameLine& line, double x1, double y1, double x2, double y2) {
        OutStream += ColorText(line.Color) + " RG\r\n";
        OutStream += DashPattern(line.Style, line.Width) + "\r\n";
        OutStream += Fixed(line.Width * 0.75) + " w\r\n";
        OutStream += Fixed(X(x1)) + ' ' + Fixed(Y(y1)) + " m\r\n";
        OutStream += Fixed(X(x2)) + ' ' + Fixed(Y(y2)) + " l\r\nS\r\n";
    };
    if (HasSide(frame, ftTop))
        side(frame.TopLine(), left, top, right, top);
    if (HasSide(frame, ftRight))
        side(frame.RightLine(), right, top, right, bottom);
    if (HasSide(frame, ftBottom))
        side(frame.BottomLine(), left, bottom, right, bottom);
    if (HasSide(frame, ftLeft))
        side(frame.LeftLine(), left, top, left, bottom);
}

QByteArray TrpPDFExport::JustifiedGlyphs(TrpCustomMemoView& memo, TrpDrawText& renderer, TrpPDFFont& font, int index,
                                         double width, double size)
{
    // A justified line but the last of its paragraph gets the free space spread over its
    // blanks in whole pixels, as the layout draws it: the glyphs after each blank move by
    // that much (TJ), so the words stand where the preview and the printout show them.
    const int32_t flags = renderer.LineFlags(index);
    if (memo.HAlign != haBlock || (flags & kLastLineOfParagraph) != 0 || memo.Rotation() > 0 || size <= 0)
        return {};
    const QString line = renderer.Line(index);
    const auto isBlank = [](QChar c) { return c == u' ' || c == QChar(0xA0); };
    const int blanks = static_cast<int>(std::count_if(line.begin(), line.end(), isBlank));
    if (blanks == 0)
        return {};
    const double indent = (flags & kFirstLineOfParagraph) != 0 ? memo.ParagraphGap : 0;
    const auto free = static_cast<int64_t>(RoundHalfEven(memo.TextRect().DX() - indent - width));
    if (free <= 0)
        return {};
    const int64_t each = free / blanks;
    int64_t remainder = free % blanks;
    QByteArray result = "[";
    int start = 0;
    for (int i = 0; i < line.size(); ++i) {
        if (!isBlank(line[i]))
            continue;
        const int64_t extra = each + (remainder > 0 ? 1 : 0);
        if (remainder > 0)
            --remainder;
        result += '<' + font.RemapString(line.mid(start, i + 1 - start)) + "> " +
                  Fixed(-extra * 0.75 * 1000 / size) + ' ';
        start = i + 1;
    }
    if (start < line.size())
        result += '<' + font.RemapString(line.mid(start)) + '>';
    return result + ']';
}

void TrpPDFExport::ExportMemoText(TrpCustomMemoView& memo)
{
    const TrpFrame& frame = memo.Frame();
    const double f = frame.Typ != 0 ? frame.Width() : 0;
    const double left = memo.AbsLeft();
    const double top = memo.AbsTop();
    const double width = memo.Width();
    const double height = memo.Height();
    const double right = left + width;
    const double bottom = top + height;

    // 1. clip
    OutStream += "q\r\n";
    OutStream += Fixed(X(left - f)) + ' ' + Fixed(Y(bottom + f)) + ' ' + Fixed((2 * f + width) * 0.75) + ' ' +
                 Fixed((2 * f + height) * 0.75) + " re\r\nW\r\nn\r\n";
    // 2. shadow
    const double shadow = frame.DropShadow ? frame.ShadowWidth : 0;
    const double w1 = width - shadow;
    const double h1 = height - shadow;
    if (frame.DropShadow) {
        const QByteArray color = ColorText(frame.ShadowColor);
        OutStream += color + " rg\r\n" + color + " RG\r\n";
        OutStream += Fixed(X(left + w1)) + ' ' + Fixed(Y(bottom)) + ' ' + Fixed(shadow * 0.75) + ' ' +
                     Fixed(h1 * 0.75) + " re\r\nB\r\n";
        OutStream += Fixed(X(left + shadow)) + ' ' + Fixed(Y(bottom)) + ' ' + Fixed(w1 * 0.75) + ' ' +
                     Fixed(shadow * 0.75) + " re\r\nB\r\n";
    }
    // 3. both locks for the whole memo
    TrpDrawText& renderer = TrpCustomMemoView::Renderer();
    std::lock_guard rendererLock(renderer.Mutex());
    std::lock_guard unitLock(PDFExportLock());
    // 4., 5. the layout at scale 1 (tags laid out as text: such memos carrying tags never
    // come here)
    const int32_t savedColor = memo.Color;
    memo.LayOutForExport(renderer, false);
    const int32_t fillColor = memo.Color;
    memo.Color = savedColor;
    const TrpFont& font = memo.Highlight().Active ? memo.Highlight().Font() : memo.Font();
    const double lh = renderer.LineHeight();
    // 6. fill
    if (fillColor != clNone)
        OutStream += ColorText(fillColor) + " rg\r\n" + Fixed(X(left)) + ' ' + Fixed(Y(bottom)) + ' ' +
                     Fixed(width * 0.75) + ' ' + Fixed(height * 0.75) + " re\r\nf\r\n";
    // 7. frame
    ExportFrameLines(memo);
    // 8. rotation
    const int rotation = memo.Rotation();
    if (rotation > 0) {
        const double a = rotation * std::numbers::pi / 180;
        const double c = std::cos(a);
        const double s = std::sin(a);
        double cx;
        double cy;
        if (rotation == 90 || rotation == 180 || rotation == 270) {
            cx = X(left + width / 2);
            cy = Y(top + height / 2);
        } else {
            const bool steep = (rotation >= 45 && rotation <= 135) || (rotation >= 225 && rotation <= 315);
            const double p = steep ? height : width;
            const double q = steep ? width : height;
            cx = X(left + (p * c + q * s) / 2);
            cy = Y(top + (p * s + q * c) / 2);
        }
        OutStream += Fixed(c) + ' ' + Fixed(s) + ' ' + Fixed(-s) + ' ' + Fixed(c) + ' ' + Fixed(cx) + ' ' + Fixed(cy) +
                     " cm\r\n";
    }
    // 9. underlines
    if (memo.Underlines && lh > 0) {
        const int count = static_cast<int>(std::trunc(height / lh));
        for (int j = 1; j <= count; ++j) {
            const double y = Y(top + memo.GapY + 1 + j * lh);
            OutStream += ColorText(frame.Color()) + " RG\r\n" + Fixed(frame.Width() * 0.75) + " w\r\n";
            OutStream += Fixed(X(left)) + ' ' + Fixed(y) + " m\r\n" + Fixed(X(right)) + ' ' + Fixed(y) + " l\r\nS\r\n";
        }
    }
    // 10. the lines
    const int n = renderer.LineCount();
    if (n > 0) {
        const int index = FindFont(font);
        TrpPDFFont& pdfFont = *FPageFonts[static_cast<size_t>(index)];
        const double size = font.Size();
        OutStream += pdfFont.Name.toLatin1() + ' ' + QByteArray::number(font.Size()) + " Tf\r\n";
        const bool simulated = TrpPDFFont::IgnoresStyle(font.Name());
        const bool bold = simulated && (font.Style() & kTextStyleBold) != 0;
        const bool italic = simulated && (font.Style() & kTextStyleItalic) != 0;
        const QByteArray textColor = ColorText(font.Color() == clNone ? clBlack : font.Color());
        OutStream += textColor + " rg\r\n";
        const double cs = memo.CharSpacing * 0.75;
        if (cs != 0)
            OutStream += Fixed(cs) + " Tc\r\n";
        const double underlineOffset = size * 0.12;
        const double strikeOffset = size * 0.28;
        renderer.SetGaps(0, memo.CharSpacing, memo.LineSpacing);
        for (int i = 0; i < n; ++i) {
            const QString line = renderer.Line(i);
            if (line.isEmpty())
                continue;
            const double pg = i == 0 ? memo.ParagraphGap : 0;
            const double w = renderer.LineWidth(i);
            double x;
            double y;
            if (rotation < 1) {
                const double a = w1 - 2 * memo.GapX - pg;
                const double b = left + 1.5 * memo.GapX + pg + size * 0.01;
                switch (memo.HAlign) {
                case haRight: x = a + b - w; break;
                case haCenter: x = b + (a - w) / 2; break;
                default: x = b;
                }
                x = X(x);
                if (memo.HAlign == haRight)
                    x += cs;
                const double c = h1 - 2 * memo.GapY;
                const double d = top + memo.GapY - size * 0.1;
                switch (memo.VAlign) {
                case vaBottom: y = c + d - (n - i - 1) * lh; break;
                case vaCenter: y = d + (c - n * lh) / 2 + (i + 1) * lh; break;
                default: y = d + (i + 1) * lh;
                }
                y = Y(y);
            } else {
                const bool steep = (rotation > 45 && rotation < 136) || (rotation > 224 && rotation <= 315);
                const double p = steep ? h1 : w1;
                const double q = steep ? w1 : h1;
                switch (memo.HAlign) {
                case haRight: x = (p / 2 - w) * 0.75 + cs; break;
                case haCenter: x = -w / 2 * 0.75; break;
                default: x = -p / 2 * 0.75;
                }
                double qq;
                switch (memo.VAlign) {
                case vaBottom: qq = q / 2 - (n - i - 1) * lh; break;
                case vaCenter: qq = (i + 1) * lh - n * lh / 2; break;
                default: qq = (i + 1) * lh - q / 2;
                }
                y = -qq * 0.75 + size * 0.4;
            }
            const QByteArray point = Fixed(x) + ' ' + Fixed(y);
            OutStream += "BT\r\n" + point + " Td\r\n";
            if (italic)
                OutStream += "1 0 0.3333 1 " + point + " Tm\r\n";
            if (bold)
                OutStream += "2 Tr " + Fixed(size / 35) + " w " + textColor + " RG\r\n";
            const QByteArray spread = JustifiedGlyphs(memo, renderer, pdfFont, i, w, size);
            if (!spread.isEmpty())
                OutStream += spread + " TJ\r\nET\r\n";
            else
                OutStream += '<' + pdfFont.RemapString(line) + "> Tj\r\nET\r\n";
            if (bold)
                OutStream += "0 Tr\r\n";
            if ((font.Style() & kTextStyleUnderline) != 0) {
                OutStream += textColor + " RG\r\n" + Fixed(size * 0.08) + " w\r\n";
                OutStream += Fixed(x) + ' ' + Fixed(y - underlineOffset) + " m\r\n";
                OutStream += Fixed(x + w * 0.75) + ' ' + Fixed(y - underlineOffset) + " l\r\nS\r\n";
            }
            if ((font.Style() & kTextStyleStrikeOut) != 0) {
                OutStream += textColor + " RG\r\n" + Fixed(size * 0.08) + " w\r\n";
                OutStream += Fixed(x) + ' ' + Fixed(y + strikeOffset) + " m\r\n";
                OutStream += Fixed(x + w * 0.75) + ' ' + Fixed(y + strikeOffset) + " l\r\nS\r\n";
            }
        }
    }
    // 11.
    OutStream += "Q\r\n";
}
