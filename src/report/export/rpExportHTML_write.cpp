// The HTML export's documents: the page document (styles, one table per report page, cells
// with spans, links and pictures), the navigator page and the frameset.

#include "rpExportHTML.h"

#include "rpExportMatrix.h"

#include "report/core/Colors.h"
#include "report/core/NumberText.h"
#include "report/core/Rounding.h"
#include "report/model/rpClass_options.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpRes.h"
#include "report/model/rpStreams.h"

#include <QIODevice>

#include <algorithm>
#include <limits>

namespace {

// Collects the lines of a document and hands them to the device in large pieces.
class LineWriter {
public:
    explicit LineWriter(QIODevice& device) : device_(device) {}
    ~LineWriter() = default;

    void Line(const QString& text)
    {
        buffer_ += text.toUtf8();
        buffer_ += "\r\n";
        if (buffer_.size() >= kChunk)
            Flush();
    }
    void Lines(const QStringList& lines)
    {
        for (const QString& line : lines)
            Line(line);
    }
    void Flush()
    {
        WriteAllBytes(device_, buffer_);
        buffer_.clear();
    }

private:
    static constexpr qsizetype kChunk = 1 << 16;
    QIODevice& device_;
    QByteArray buffer_;
};

QString Rounded(double value)
{
    return QString::number(RoundHalfEvenClamped(value, std::numeric_limits<int32_t>::min(),
                                                 std::numeric_limits<int32_t>::max()));
}

// "#RRGGBB" in upper case.
QString HexColor(TColor color)
{
    return u'#' + QString::number(ColorToRgb(color), 16).toUpper().rightJustified(6, u'0');
}

// A font name as a CSS string: quoted, its quotation marks and backslashes escaped, and "<"
// written so that it cannot close the style element.
QString CssString(const QString& text)
{
    QString result = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == u'"' || c == u'\\')
            result += u'\\' + QString(c);
        else if (c == u'<')
            result += QStringLiteral("\\3C ");
        else if (c == u'\r' || c == u'\n')
            result += u' ';
        else
            result += c;
    }
    return result + u'"';
}

// A text as a JavaScript string literal inside a script element.
QString ScriptString(const QString& text)
{
    QString result = QStringLiteral("\"");
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'"': result += QStringLiteral("\\\""); break;
        case u'\\': result += QStringLiteral("\\\\"); break;
        case u'<': result += QStringLiteral("\\x3C"); break;
        case u'\r': result += QStringLiteral("\\r"); break;
        case u'\n': result += QStringLiteral("\\n"); break;
        default: result += c;
        }
    }
    return result + u'"';
}

bool IsBlank(const QString& text)
{
    return text.trimmed().isEmpty();
}

} // namespace

QString TrpHTMLExport::StyleRule(int32_t index) const
{
    const TrpIEMStyle* style = FMatrix != nullptr ? FMatrix->GetStyleById(index) : nullptr;
    if (style == nullptr)
        return QString();
    QStringList lines;
    lines << u'.' + QStringLiteral("s") + QString::number(index) + QStringLiteral(" {");
    const TrpFont& font = style->Font;
    QString fontLines = QStringLiteral(" font-family: ") + CssString(font.Name()) + QStringLiteral(";\r\n");
    fontLines += QStringLiteral(" font-size: ") + Rounded(font.Size() * 96.0 / 72.0) + QStringLiteral("px;\r\n");
    fontLines += QStringLiteral(" color: ") + HexColor(font.Color()) + u';';
    if (font.Style() & TrpFont::kBold)
        fontLines += QStringLiteral(" font-weight: bold;");
    fontLines += (font.Style() & TrpFont::kItalic) ? QStringLiteral(" font-style: italic;")
                                                    : QStringLiteral(" font-style: normal;");
    const bool underline = font.Style() & TrpFont::kUnderline;
    const bool strikeOut = font.Style() & TrpFont::kStrikeOut;
    if (underline)
        fontLines += strikeOut ? QStringLiteral(" text-decoration: underline line-through;")
                               : QStringLiteral(" text-decoration: underline;");
    else if (strikeOut)
        fontLines += QStringLiteral(" text-decoration: line-through;");
    lines << fontLines;
    if (style->Color == clNone)
        lines << QStringLiteral(" background-color: transparent;");
    else
        lines << QStringLiteral(" background-color: ") + HexColor(style->Color) + u';';
    if (style->ParagraphGap > 0)
        lines << QStringLiteral("  text-indent: ") + FloatToGeneralText(style->ParagraphGap, 15, FormatSettings::C())
                     + QStringLiteral("px;");
    if (style->FrameTyp != 0) {
        lines << QStringLiteral(" border-color:") + HexColor(style->FrameColor) + QStringLiteral("; border-style: solid;");
        const QString width = Rounded(style->FrameWidth) + QStringLiteral("px;");
        const struct {
            uint8_t bit;
            const char16_t* name;
        } sides[] = {{TrpIEMStyle::kFrameLeft, u" border-left-width: "},
                     {TrpIEMStyle::kFrameRight, u" border-right-width: "},
                     {TrpIEMStyle::kFrameTop, u" border-top-width: "},
                     {TrpIEMStyle::kFrameBottom, u" border-bottom-width: "}};
        for (const auto& side : sides)
            lines << QString::fromUtf16(side.name) + ((style->FrameTyp & side.bit) ? width : QStringLiteral("0px;"));
    }
    static const char16_t* const kHAlign[] = {u"Left", u"Right", u"Center", u"Justify"};
    static const char16_t* const kVAlign[] = {u"Top", u"Bottom", u"Middle"};
    lines << QStringLiteral(" text-align: ") + QString::fromUtf16(kHAlign[std::min<int>(style->HAlign, 3)])
                 + QStringLiteral("; vertical-align: ") + QString::fromUtf16(kVAlign[std::min<int>(style->VAlign, 2)])
                 + u';';
    lines << QStringLiteral("}");
    return lines.join(QStringLiteral("\r\n"));
}

QString TrpHTMLExport::TableOpening() const
{
    QString table = QStringLiteral("<table");
    if (FixedWidth)
        table += QStringLiteral(" width=\"") + Rounded(FMatrix->MaxWidth() - FMatrix->Left()) + u'"';
    if (Centered)
        table += QStringLiteral(" align=\"center\"");
    table += QStringLiteral(" border=\"0\" cellspacing=\"0\" cellpadding=\"0\"");
    return table;
}

QString TrpHTMLExport::WidthRow() const
{
    QString row = QStringLiteral("<tr style=\"height: 1px\">");
    const int32_t width = FMatrix->Width();
    if (width < 2)
        row += QStringLiteral("<td/>");
    for (int32_t x = 0; x + 1 < width; ++x)
        row += QStringLiteral("<td width=\"") + Rounded(FMatrix->GetXPosById(x + 1) - FMatrix->GetXPosById(x))
               + QStringLiteral("\"/>");
    return row + QStringLiteral("</tr>");
}

QString TrpHTMLExport::Link(const TrpIEMObject& obj) const
{
    QString url = obj.URL;
    if (url.startsWith(u'@')) {
        const QString page = url.mid(1).trimmed();
        if (Multipage)
            url = PathLink(pageLinkPrefix_) + page + QStringLiteral(".html");
        else
            url = QStringLiteral("#PageN") + page;
    }
    QString link = QStringLiteral("<a href=\"") + Escape(url) + u'"';
    if (!URLTarget.isEmpty())
        link += QStringLiteral(" target=\"") + Escape(URLTarget) + u'"';
    return link + u'>';
}

QString TrpHTMLExport::PictureContent(const TrpIEMObject& obj)
{
    const QString name = QStringLiteral("img") + QString::number(FPicturesCount) + u'.' + PictureExtension(PictureType);
    ++FPicturesCount;
    SavePicture(obj.Image, picturesFolder_ + name);
    return QStringLiteral("<img src=\"") + Escape(PathLink(pageLinkPrefix_ + name)) + QStringLiteral("\" width=\"")
           + QString::number(obj.Image.width()) + QStringLiteral("\" height=\"") + QString::number(obj.Image.height())
           + QStringLiteral("\" alt=\"\">");
}

QString TrpHTMLExport::CellLine(int32_t y)
{
    QString line;
    const int32_t width = FMatrix->Width();
    for (int32_t x = 0; x + 1 < width; ++x) {
        const int32_t index = FMatrix->GetCell(x, y);
        TrpIEMObject* obj = index < 0 ? nullptr : FMatrix->GetObjectById(index);
        if (obj == nullptr) {
            line += QStringLiteral("<td/>");
            continue;
        }
        if (obj->Counter == 1)
            continue; // a span of an earlier cell covers it
        obj->Counter = 1;
        int32_t ox = 0, oy = 0, dx = 1, dy = 1;
        FMatrix->GetObjectPos(index, ox, oy, dx, dy);
        const QString text = obj->Memo.join(QStringLiteral("\r\n"));
        line += QStringLiteral("<td");
        if (dx >= 2)
            line += QStringLiteral(" colspan=\"") + QString::number(dx) + u'"';
        if (dy >= 2)
            line += QStringLiteral(" rowspan=\"") + QString::number(dy) + u'"';
        if (ExportStyles && obj->StyleIndex >= 0)
            line += QStringLiteral(" class=\"s") + QString::number(obj->StyleIndex) + u'"';
        if (IsBlank(text))
            line += QStringLiteral(" style=\"font-size:1px\"");
        line += u'>';
        const bool linked = !obj->URL.isEmpty();
        if (linked)
            line += Link(*obj);
        if (!obj->Image.isNull()) {
            line += PictureContent(*obj);
        } else {
            const QString html = TextToHTML(text).trimmed();
            line += html.isEmpty() ? QStringLiteral("&nbsp;") : html;
        }
        if (linked)
            line += QStringLiteral("</a>");
        line += QStringLiteral("</td>");
    }
    return line;
}

void TrpHTMLExport::WriteStyles(QIODevice& device)
{
    LineWriter out(device);
    out.Line(QStringLiteral("<style type=\"text/css\"><!-- "));
    out.Line(QStringLiteral(".page_break {page-break-before: always;}"));
    for (int32_t i = 0; i < FMatrix->GetStylesCount(); ++i)
        out.Line(StyleRule(i));
    out.Line(QStringLiteral("--></style>"));
    out.Flush();
}

void TrpHTMLExport::WritePage(QIODevice& device, TrpExportProgress* progress)
{
    cancelled_ = false;
    LineWriter out(device);
    out.Lines(HTMLDocumentBegin);
    if (Print)
        out.Line(QStringLiteral(
            "<script language=\"javascript\" type=\"text/javascript\"> parent.focus(); parent.print();</script>"));
    out.Line(QStringLiteral("<title>") + Escape(ReportTitle()) + QStringLiteral("</title>"));
    if (ExportStyles) {
        out.Flush();
        WriteStyles(device);
    }
    out.Line(QStringLiteral("</head>"));
    out.Line(QStringLiteral("<body"));
    if (FBackImageExist && ExportPictures && !FBackImage.isNull()) {
        const QString name = QStringLiteral("backgrnd.") + PictureExtension(PictureType);
        SavePicture(FBackImage, picturesFolder_ + name);
        out.Line(QStringLiteral(" background=\"") + Escape(PathLink(pageLinkPrefix_ + name)) + u'"');
    }
    out.Line(QStringLiteral(" bgcolor=\"#FFFFFF\" text=\"#000000\">"));
    out.Lines(HTMLDocumentBody);
    out.Line(QStringLiteral("<a name=\"PageN1\"></a>"));
    const QString table = TableOpening();
    const QString widthRow = WidthRow();
    out.Line(table + u'>');
    out.Line(widthRow);
    bool tableOpen = true;

    int32_t page = 0;
    const int32_t pages = FMatrix->GetPagesCount();
    const int32_t height = FMatrix->Height();
    for (int32_t y = 0; y + 1 < height; ++y) {
        if (progress != nullptr && progress->Terminated()) {
            cancelled_ = true;
            break;
        }
        bool pageBreak = false;
        if (page < pages
            && RoundHalfEven(FMatrix->GetYPosById(y + 1)) >= RoundHalfEven(FMatrix->GetPageBreak(page))) {
            ++page;
            if (progress != nullptr)
                progress->Tick();
            pageBreak = true;
        }
        const double rowHeight = std::max(1.0, RoundHalfEven((FMatrix->GetYPosById(y + 1) - FMatrix->GetYPosById(y)) / 1.03));
        out.Line(QStringLiteral("<tr style=\"height:") + Rounded(rowHeight) + QStringLiteral("px\">"));
        out.Line(CellLine(y));
        out.Line(QStringLiteral("</tr>"));
        if (pageBreak) {
            out.Line(QStringLiteral("</table>"));
            tableOpen = false;
            if (y < height - 2) {
                out.Line(QStringLiteral("<a name=\"PageN") + QString::number(page + 1) + QStringLiteral("\"></a>"));
                out.Line(table + QStringLiteral(" class=\"page_break\">"));
                out.Line(widthRow);
                tableOpen = true;
            }
        }
    }
    // Every table opened is closed, whatever rows the page breaks fell on.
    if (tableOpen)
        out.Line(QStringLiteral("</table>"));
    out.Lines(HTMLDocumentEnd);
    out.Flush();
}

void TrpHTMLExport::WriteNavigator(QIODevice& device)
{
    const QString reportName =
        EncodeReportName(Report != nullptr ? QString(Report->FileName()).remove(ReportPath) : QString());
    const int32_t pages = FCurrentPage;
    const QString prefix = PicsInSameFolder ? namePrefix_ : QString();
    if (UseTemplates && OnGetNavTemplate) {
        QString text;
        OnGetNavTemplate(reportName, Multipage, text, pages, namePrefix_, PicsInSameFolder);
        WriteAllBytes(device, text.toUtf8());
        return;
    }
    TrpResources& res = GetResourcesInstance();
    const auto button = [&res](const char* name, const char16_t* key, const QString& action) {
        return QStringLiteral("<td width=\"60\" align=\"center\"><input type=\"button\" name=\"") + QString::fromLatin1(name)
               + QStringLiteral("\" class=\"nav\" style=\"width: 60px\" value=\"") + Escape(res.Get(key))
               + QStringLiteral("\" onclick=\"") + action + QStringLiteral("\"></td>");
    };
    LineWriter out(device);
    out.Line(QStringLiteral("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">"));
    out.Line(QStringLiteral("<html><head>"));
    out.Line(QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"));
    out.Line(QStringLiteral("<meta name=\"Generator\" content=\"RedaVedera 4.0\">"));
    out.Line(QStringLiteral("<title></title>"));
    out.Line(QStringLiteral("<style type=\"text/css\"><!--"));
    out.Line(QStringLiteral("body { font-family: Tahoma; font-size: 8px; font-weight: bold; font-style: normal; "
                            "text-align: center; vertical-align: middle; }"));
    out.Line(QStringLiteral("input { text-align: center; }"));
    out.Line(QStringLiteral(".nav { font-family: Tahoma; font-size: 9pt; color: #283e66; font-weight: bold; "
                            "text-decoration: none; }"));
    out.Line(QStringLiteral("--></style>"));
    out.Line(QStringLiteral("<script language=\"javascript\" type=\"text/javascript\"><!--"));
    out.Line(QStringLiteral("var rpPgCnt = ") + QString::number(pages) + u';');
    out.Line(QStringLiteral("var rpRepName = \"") + reportName + QStringLiteral("\";"));
    out.Line(QStringLiteral("var rpMultipage = ") + (Multipage ? u'1' : u'0') + u';');
    out.Line(QStringLiteral("var rpPrefix = ") + ScriptString(prefix) + u';');
    out.Line(QStringLiteral("function DoPage(PgN) {"));
    out.Line(QStringLiteral("  if ((PgN >= 1) && (PgN <= rpPgCnt) && (PgN != parent.rpCurPage)) {"));
    out.Line(QStringLiteral("    if (rpMultipage == 1) parent.mainFrame.location = rpPrefix + PgN + \".html\";"));
    out.Line(QStringLiteral("    else parent.mainFrame.location = rpPrefix + \"main.html#PageN\" + PgN;"));
    out.Line(QStringLiteral("    UpdateNav(PgN);"));
    out.Line(QStringLiteral("  } else document.PgForm.PgEdit.value = parent.rpCurPage;"));
    out.Line(QStringLiteral("}"));
    out.Line(QStringLiteral("function UpdateNav(PgN) {"));
    out.Line(QStringLiteral("  parent.rpCurPage = PgN;"));
    out.Line(QStringLiteral("  document.PgForm.PgEdit.value = PgN;"));
    out.Line(QStringLiteral("  document.PgForm.bFirst.disabled = (PgN == 1);"));
    out.Line(QStringLiteral("  document.PgForm.bPrev.disabled = (PgN == 1);"));
    out.Line(QStringLiteral("  document.PgForm.bNext.disabled = (PgN == rpPgCnt);"));
    out.Line(QStringLiteral("  document.PgForm.bLast.disabled = (PgN == rpPgCnt);"));
    out.Line(QStringLiteral("}"));
    if (RefreshLink.isEmpty())
        out.Line(QStringLiteral("function RefreshRep() { parent.location = \"result?report=\" + rpRepName + "
                                "\"&multipage=\" + rpMultipage; }"));
    else
        out.Line(QStringLiteral("function RefreshRep() { parent.location = ") + ScriptString(RefreshLink)
                 + QStringLiteral("; }"));
    if (PrintLink.isEmpty())
        out.Line(QStringLiteral("function PrintRep() { parent.mainFrame.focus(); parent.mainFrame.print(); }"));
    else
        out.Line(QStringLiteral("function PrintRep() { parent.location = ") + ScriptString(PrintLink)
                 + QStringLiteral("; }"));
    out.Line(QStringLiteral("--></script></head>"));
    out.Line(QStringLiteral("<body bgcolor=\"#DDDDDD\" text=\"#000000\" leftmargin=\"0\" topmargin=\"4\" "
                            "onload=\"UpdateNav(parent.rpCurPage)\">"));
    out.Line(QStringLiteral("<form name=\"PgForm\" onsubmit=\"DoPage(Number(document.PgForm.PgEdit.value)); "
                            "return false;\">"));
    out.Line(QStringLiteral("<table cellspacing=\"0\" cellpadding=\"0\" border=\"0\" width=\"100%\"><tr valign=\"middle\">"));
    out.Line(button("bFirst", u"HTMLNavFirst", QStringLiteral("DoPage(1)")));
    out.Line(button("bPrev", u"HTMLNavPrev", QStringLiteral("DoPage(parent.rpCurPage - 1)")));
    out.Line(QStringLiteral("<td width=\"100\" align=\"center\"><input type=\"text\" name=\"PgEdit\" size=\"4\" "
                            "value=\"1\"></td>"));
    out.Line(button("bNext", u"HTMLNavNext", QStringLiteral("DoPage(parent.rpCurPage + 1)")));
    out.Line(button("bLast", u"HTMLNavLast", QStringLiteral("DoPage(rpPgCnt)")));
    out.Line(QStringLiteral("<td width=\"20\">&nbsp;</td>"));
    if (Server) {
        out.Line(button("bRefresh", u"HTMLNavRefresh", QStringLiteral("RefreshRep()")));
        out.Line(button("bPrint", u"HTMLNavPrint", QStringLiteral("PrintRep()")));
    }
    out.Line(QStringLiteral("<td align=\"right\" class=\"nav\">") + Escape(res.Get(u"HTMLNavTotal"))
             + QStringLiteral(": <script language=\"javascript\" type=\"text/javascript\">document.write(rpPgCnt);"
                              "</script></td>"));
    out.Line(QStringLiteral("<td width=\"10\">&nbsp;</td>"));
    out.Line(QStringLiteral("</tr></table></form></body></html>"));
    out.Flush();
}

void TrpHTMLExport::WriteFrameset(QIODevice& device)
{
    const QString prefix = PathLink(framesetLinkPrefix_);
    if (UseTemplates && OnGetMainTemplate) {
        QString text;
        OnGetMainTemplate(ReportTitle(), prefix, text, Multipage);
        WriteAllBytes(device, text.toUtf8());
        return;
    }
    LineWriter out(device);
    out.Line(QStringLiteral(
        "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Frameset//EN\" \"http://www.w3.org/TR/html4/frameset.dtd\">"));
    out.Line(QStringLiteral("<html><head>"));
    out.Line(QStringLiteral("<title>") + Escape(ReportTitle()) + QStringLiteral("</title>"));
    out.Line(QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"));
    out.Line(QStringLiteral("<script language=\"javascript\" type=\"text/javascript\"> var rpCurPage = 1;</script></head>"));
    out.Line(QStringLiteral("<frameset rows=\"32,*\" cols=\"*\">"));
    out.Line(QStringLiteral("<frame name=\"topFrame\" src=\"") + Escape(prefix) + QStringLiteral("nav.html\" noresize scrolling=\"no\">"));
    out.Line(QStringLiteral("<frame name=\"mainFrame\" src=\"") + Escape(prefix)
             + (Multipage ? QStringLiteral("1.html") : QStringLiteral("main.html")) + QStringLiteral("\">"));
    out.Line(QStringLiteral("</frameset>"));
    out.Line(QStringLiteral("</html>"));
    out.Flush();
}
