// The RTF document: tables, information, sections, the header, footer and body passes over the
// matrix rows, text cells and picture cells. Twips come from report pixels and millimetres by
// fixed factors, each value rounded half to even.

#include "rpExportRTF.h"

#include "ExportTexts.h"
#include "rpExportMatrix.h"

#include "report/core/FormatSettings.h"
#include "report/core/Formats.h"
#include "report/core/Rounding.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpDrawText.h"
#include "report/model/rpRes.h"
#include "report/model/rpStreams.h"

#include "platform/Exceptions.h"

#include <QBuffer>
#include <QImage>
#include <QIODevice>

#include <algorithm>
#include <climits>

namespace {

constexpr double kPageTwips = 15.02;   // page width and height per pixel
constexpr double kMarginTwips = 56.48; // margins per millimetre
constexpr double kCellTwips = 15.05;   // cell edges and indents per pixel
constexpr double kPictureTwips = 25.3; // picture size per pixel
constexpr int kTableLine = 254;        // font and colour table lines stay within this

int64_t Rounded(double value)
{
    return RoundHalfEvenClamped(value, INT32_MIN, INT32_MAX);
}

QString Twips(double value)
{
    return QString::number(Rounded(value));
}

// Bytes as upper-case hexadecimal, 64 bytes a line, each line ending in CR LF.
QString HexLines(const QByteArray& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    QByteArray out;
    out.reserve(bytes.size() * 2 + bytes.size() / 32 + 2);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<uint8_t>(bytes[i]);
        out += digits[b >> 4];
        out += digits[b & 15];
        if (i % 64 == 63 || i + 1 == bytes.size())
            out += "\r\n";
    }
    return QString::fromLatin1(out);
}

// Little-endian fields of the metafile in lower-case hexadecimal.
QString Le16(uint32_t value)
{
    return QStringLiteral("%1%2").arg(value & 0xFF, 2, 16, QChar(u'0')).arg((value >> 8) & 0xFF, 2, 16, QChar(u'0'));
}

QString Le32(uint32_t value)
{
    return Le16(value & 0xFFFF) + Le16(value >> 16);
}

} // namespace

void TrpRTFExport::WriteRaw(const QString& text)
{
    const QByteArray bytes = StringToAnsi(text);
    if (out_->write(bytes) != bytes.size())
        throw platform::Exception(out_->errorString().toStdString());
}

void TrpRTFExport::WriteLine(const QString& text)
{
    if (text.isEmpty())
        return;
    WriteRaw(text + QStringLiteral("\r\n"));
}

void TrpRTFExport::WriteTable(const QString& head, const QStringList& entries)
{
    QString line = head;
    for (const QString& entry : entries) {
        if (line.size() + entry.size() > kTableLine) {
            WriteLine(line);
            line = entry;
        } else {
            line += entry;
        }
    }
    WriteLine(line + u'}');
}

void TrpRTFExport::WriteSectionSettings(int32_t page)
{
    WriteLine(QStringLiteral("\\pgwsxn") + Twips(FMatrix->GetPageWidth(page) * kPageTwips) + QStringLiteral("\\pghsxn") +
              Twips(FMatrix->GetPageHeight(page) * kPageTwips) + QStringLiteral("\\marglsxn") +
              Twips(FMatrix->GetPageLMargin(page) * kMarginTwips) + QStringLiteral("\\margrsxn") +
              Twips(FMatrix->GetPageRMargin(page) * kMarginTwips) + QStringLiteral("\\margtsxn") +
              Twips(FMatrix->GetPageTMargin(page) * kMarginTwips) + QStringLiteral("\\margbsxn") +
              Twips(FMatrix->GetPageBMargin(page) * kMarginTwips));
    if (FMatrix->GetPageOrientation(page) == poLandscape)
        WriteLine(QStringLiteral("\\lndscpsxn"));
}

void TrpRTFExport::WriteDocument()
{
    PrepareTables();
    // The code page the font names' bytes are in.
    WriteLine(QStringLiteral("{\\rtf1\\ansi\\ansicpg1251"));
    QStringList fonts;
    for (qsizetype i = 0; i < FFontTable.size(); ++i)
        fonts << QStringLiteral("{\\f%1\\fcharset%2 %3}").arg(i).arg(FCharsetTable[i], RTFFontName(FFontTable[i]));
    WriteTable(QStringLiteral("{\\fonttbl"), fonts);
    WriteTable(QStringLiteral("{\\colortbl;"), FColorTable);
    const FormatSettings& c = FormatSettings::C();
    WriteLine(QStringLiteral("{\\info{\\title ") + RTFEncodeText(Report != nullptr ? Report->ReportOptions().Name : QString()) +
              QStringLiteral("}{\\author ") + RTFEncodeText(Creator) + QStringLiteral("}{\\creatim\\yr") +
              FormatDateTime(u"yyyy", CreationTime, c) + QStringLiteral("\\mo") + FormatDateTime(u"mm", CreationTime, c) +
              QStringLiteral("\\dy") + FormatDateTime(u"dd", CreationTime, c) + QStringLiteral("\\hr") +
              FormatDateTime(u"hh", CreationTime, c) + QStringLiteral("\\min") + FormatDateTime(u"nn", CreationTime, c) +
              QStringLiteral("}}"));
    if (FProgress != nullptr)
        FProgress->Execute(std::max(0, FMatrix->Height() - 1), GetResourcesInstance().Get(u"ProgressWait"), true);
    WriteSectionSettings(0);
    rowFactor_ = 15;
    if (HeaderFooterMode == hfPrint) {
        WriteLine(QStringLiteral("{\\header "));
        WritePass(0);
        WriteLine(QStringLiteral("}"));
        WriteLine(QStringLiteral("{\\footer "));
        WritePass(1);
        WriteLine(QStringLiteral("}"));
    }
    WritePass(2);
    WriteLine(QStringLiteral("}"));
}

bool TrpRTFExport::BelongsToPass(const TrpIEMObject& obj, int pass) const
{
    switch (pass) {
    case 0: return obj.Header;
    case 1: return obj.Footer;
    default:
        if (HeaderFooterMode == hfText)
            return true;
        return !obj.Header && !obj.Footer;
    }
}

void TrpRTFExport::WritePass(int pass)
{
    if (FMatrix->GetPagesCount() == 1)
        rowFactor_ = 14.5;
    // Every object starts unwritten in each pass.
    for (int32_t i = 0; i < FMatrix->GetObjectsCount(); ++i)
        FMatrix->GetObjectById(i)->Counter = -1;
    int32_t page = 0;
    int32_t sectionBreak = -1; // objects last written above this row start again below it
    const double origin = RoundHalfEven(FMatrix->GetXPosById(0));
    for (int32_t j = 0; j + 1 < FMatrix->Height(); ++j) {
        if (FProgress != nullptr) {
            FProgress->Tick();
            if (FProgress->Terminated())
                break;
        }
        if (pass == 2 && ExportPageBreaks && page + 1 < FMatrix->GetPagesCount() &&
            FMatrix->GetYPosById(j) >= FMatrix->GetPageBreak(page)) {
            WriteLine(QStringLiteral("\\pard\\sect"));
            ++page;
            if (page < FMatrix->GetPagesCount())
                WriteSectionSettings(page);
            if (page == FMatrix->GetPagesCount() - 1)
                rowFactor_ = 14.5;
            // A vertical merge cannot continue into a new section: what goes on (the empty
            // pieces of the background) starts afresh.
            sectionBreak = j;
            continue;
        }
        const int64_t rowTwips = Rounded((FMatrix->GetYPosById(j + 1) - FMatrix->GetYPosById(j)) * rowFactor_);
        const double left = origin + RoundHalfEven(FMatrix->GetPageLMargin(pass == 2 ? page : 0) * kMarginTwips / kCellTwips);
        QString definition = (AutoSize ? QStringLiteral("\\trrh") : QStringLiteral("\\trrh-")) + QString::number(rowTwips) +
                             QStringLiteral("\\trgaph15");
        QString cells;
        bool any = false;
        for (int32_t x = 0; x + 1 < FMatrix->Width(); ++x) {
            const int32_t index = FMatrix->GetCell(x, j);
            TrpIEMObject* obj = FMatrix->GetObjectById(index);
            if (obj == nullptr || !BelongsToPass(*obj, pass) || obj->Counter == j + 1)
                continue;
            int32_t ox = 0, oy = 0, dx = 0, dy = 0;
            FMatrix->GetObjectPos(index, ox, oy, dx, dy);
            const TrpIEMStyle* style = obj->Style;
            const QString right = QStringLiteral("\\cellx") + Twips((FMatrix->GetXPosById(ox + dx) - left) * kCellTwips);
            const QString borders = style != nullptr ? RTFBorderKeywords(*style) : QString();
            if (obj->Counter == -1 || obj->Counter <= sectionBreak) {
                if (dy > 1)
                    definition += QStringLiteral("\\clvmgf");
                if (style != nullptr && (static_cast<uint32_t>(style->Color) % 0x1000000u) != 0xFFFFFFu)
                    definition += QStringLiteral("\\clcbpat") + QString::number(GetColorIndex(style->Color));
                const uint8_t valign = style != nullptr ? style->VAlign : 0;
                definition += valign == 1 ? QStringLiteral("\\clvertalb")
                              : valign == 2 ? QStringLiteral("\\clvertalc")
                                            : QStringLiteral("\\clvertalt");
                definition += borders + QStringLiteral("\\cltxlrtb") + right;
                cells += obj->IsText ? TextCellContent(*obj) : PictureCellContent(*obj);
            } else {
                definition += QStringLiteral("\\clvmrg") + borders + QStringLiteral("\\cltxlrtb") + right;
                cells += QStringLiteral("{\\fs") + QString::number(std::min<int64_t>(rowTwips / 15, 20)) +
                         QStringLiteral("\\cell}\r\n");
            }
            obj->Counter = j + 1;
            any = true;
        }
        if (!any)
            continue;
        WriteLine(QStringLiteral("\\trowd") + definition + QStringLiteral("\\pard\\intbl"));
        WriteRaw(cells);
        WriteLine(QStringLiteral("\\pard\\intbl{\\trowd") + definition + QStringLiteral("\\row}"));
    }
}

QString TrpRTFExport::RTFBorderKeywords(const TrpIEMStyle& style)
{
    const QString width = Twips(style.FrameWidth * 20.0);
    const QString color = QString::number(GetColorIndex(style.FrameColor));
    const QString kind = style.FrameStyle == fsDouble  ? QStringLiteral("\\brdrdb")
                         : style.FrameStyle != fsSolid ? QStringLiteral("\\brdrdashsm")
                                                       : QString();
    const QString tail = QStringLiteral("\\brdrs\\brdrw") + width + QStringLiteral("\\brdrcf") + color + kind;
    QString out;
    if (style.FrameTyp & TrpIEMStyle::kFrameTop)
        out += QStringLiteral("\\clbrdrt") + tail;
    if (style.FrameTyp & TrpIEMStyle::kFrameLeft)
        out += QStringLiteral("\\clbrdrl") + tail;
    if (style.FrameTyp & TrpIEMStyle::kFrameBottom)
        out += QStringLiteral("\\clbrdrb") + tail;
    if (style.FrameTyp & TrpIEMStyle::kFrameRight)
        out += QStringLiteral("\\clbrdrr") + tail;
    return out;
}

QString TrpRTFExport::TextCellContent(const TrpIEMObject& obj)
{
    static const TrpIEMStyle kPlain;
    const TrpIEMStyle& style = obj.Style != nullptr ? *obj.Style : kPlain;
    const TrpFont& font = style.Font;
    QString out;
    switch (style.HAlign) {
    case 1: out += QStringLiteral("\\qr"); break;
    case 2: out += QStringLiteral("\\qc"); break;
    case 3: out += QStringLiteral("\\qj"); break;
    default: out += QStringLiteral("\\ql"); break;
    }
    out += QStringLiteral("{\\f") + QString::number(GetFontIndex(font.Name(), style.Charset)) + QStringLiteral("\\fs") +
           QString::number(font.Size() * 2);
    if (font.Style() & TrpFont::kItalic)
        out += QStringLiteral("\\i");
    if (font.Style() & TrpFont::kBold)
        out += QStringLiteral("\\b");
    if (font.Style() & TrpFont::kUnderline)
        out += QStringLiteral("\\ul");
    out += QStringLiteral("\\cf") + QString::number(GetColorIndex(font.Color()));

    QString memo = obj.Memo.join(QStringLiteral("\r\n"));
    QString text;
    if (obj.IsRichText) {
        text = memo;
    } else if (obj.HTMLTags) {
        QString escaped = RTFEscapeText(memo);
        TrpHTMLTagsList tags;
        tags.SetDefaults(font.Color(), font.Size(), font.Style());
        const TrpHTMLTags runs = tags.ExpandHTMLTags(escaped);
        TColor current = style.Color;
        uint32_t state = 0;
        const int count = std::min<int>(runs.Count(), static_cast<int>(escaped.size()));
        for (int i = 0; i < count; ++i) {
            const TrpHTMLTag& tag = runs[i];
            const auto toggle = [&](uint32_t bit, const char* on, const char* off) {
                if ((tag.Style & bit) && !(state & bit))
                    text += QLatin1String(on);
                else if (!(tag.Style & bit) && (state & bit))
                    text += QLatin1String(off);
            };
            toggle(TrpFont::kBold, "\\b ", "\\b0 ");
            toggle(TrpFont::kItalic, "\\i ", "\\i0 ");
            toggle(TrpFont::kUnderline, "\\ul ", "\\ul0 ");
            state = tag.Style;
            if (tag.Color != current) {
                text += QStringLiteral("\\cf") + QString::number(GetColorIndex(tag.Color)) + u' ';
                current = tag.Color;
            }
            text += RTFUnicodeText(QString(escaped[i]));
        }
        text += QStringLiteral("\\plain");
    } else {
        text = RTFEncodeText(memo);
    }

    if (!obj.IsRichText && !memo.trimmed().isEmpty()) {
        const double gapY = (style.GapY + style.LineSpacing - 1) * rowFactor_;
        out += QStringLiteral("\\sb") + (gapY > 0 ? Twips(gapY) : QStringLiteral("0"));
        out += QStringLiteral("\\li") + Twips(style.GapX / 2 * kCellTwips);
        out += QStringLiteral("\\fi") + Twips(style.ParagraphGap * kCellTwips);
        const int64_t e = Rounded(style.CharSpacing * 15);
        out += QStringLiteral("\\expnd") + QString::number(e / 5) + QStringLiteral("\\expndtw") + QString::number(e);
        out += QStringLiteral("\\sl-") + Twips((font.Size() * 96.0 / 72.0 + style.LineSpacing) * rowFactor_ * 0.98) +
               QStringLiteral("\\slmult0");
        if (style.WordBreak)
            out += QStringLiteral("\\hyphauto1\\hyphcaps1");
    }
    out += u' ' + text + QStringLiteral("\\cell}");
    const QString paragraphEnd = QStringLiteral("\\par\r\n\\cell");
    while (out.contains(paragraphEnd))
        out.replace(paragraphEnd, QStringLiteral("\\cell"));
    return out + QStringLiteral("\r\n");
}

QString TrpRTFExport::PictureCellContent(const TrpIEMObject& obj)
{
    if (!obj.Image.isNull() && obj.Image.width() > 0 && obj.Image.height() > 0) {
        if (PictureType == gpBMP)
            return WriteBitmapMetafile(obj.Image, obj.Width, obj.Height);
        return WritePicture(obj.Image, obj.Width, obj.Height);
    }
    // Every cell defined in the row gets its content, or the cells after it would shift.
    return QStringLiteral("{\\cell}\r\n");
}

QString TrpRTFExport::WritePicture(const QImage& graphic, double width, double height)
{
    // No metafiles here: EMF and WMF pictures are written as PNG.
    const TrpPictureType type = PictureType == gpJPG ? gpJPG : gpPNG;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    SaveGraphicAs(graphic, buffer, type);
    const QString blip = type == gpJPG ? QStringLiteral("jpegblip") : QStringLiteral("pngblip");
    return QStringLiteral("{\\sb0\\li0\\sl0\\slmult0 {\\pict\\picw") + Twips(width * kPictureTwips) + QStringLiteral("\\pich") +
           Twips(height * kPictureTwips) +
           QStringLiteral("\\picscalex98\\picscaley98\\piccropl0\\piccropr0\\piccropt0\\piccropb0\\") + blip +
           QStringLiteral("\r\n") + HexLines(bytes) + QStringLiteral("}\\cell}\r\n");
}

QString TrpRTFExport::WriteBitmapMetafile(const QImage& bitmap, double width, double height)
{
    QByteArray bmp;
    QBuffer buffer(&bmp);
    buffer.open(QIODevice::WriteOnly);
    SaveGraphicAs(bitmap.convertToFormat(QImage::Format_RGB888), buffer, gpBMP);
    if (bmp.size() < 54)
        throw platform::Exception(exporttexts::kRtfBitmapFailed);
    const uint32_t fileSize = static_cast<uint8_t>(bmp[2]) | static_cast<uint8_t>(bmp[3]) << 8 |
                              static_cast<uint8_t>(bmp[4]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(bmp[5])) << 24;
    const uint32_t record = fileSize / 2 + 7; // words of the picture record
    const uint32_t w = static_cast<uint32_t>(bitmap.width());
    const uint32_t h = static_cast<uint32_t>(bitmap.height());
    const int64_t pw = Rounded(width);
    const int64_t ph = Rounded(height);
    QString out = QStringLiteral("{\\sb0\\li0\\sl0\\slmult0 {\\pict\\wmetafile8\\picw") +
                  QString::number(Rounded(static_cast<double>(pw) * kPictureTwips)) + QStringLiteral("\\pich") +
                  QString::number(Rounded(static_cast<double>(ph) * kPictureTwips)) +
                  // The DIB the metafile carries is a 24-bit one.
                  QStringLiteral("\\picbmp\\picbpp24\r\n");
    out += QStringLiteral("010009000003") + Le32(record + 36) + QStringLiteral("0000") + Le32(record) +
           QStringLiteral("0000050000000b0200000000050000000c02") + Le16(h) + Le16(w) +
           QStringLiteral("05000000090200000000050000000102ffffff000400000007010300") + Le32(record) +
           QStringLiteral("430f2000cc000000") + Le16(h) + Le16(w) + QStringLiteral("00000000") + Le16(h) + Le16(w) +
           QStringLiteral("00000000\r\n");
    out += HexLines(bmp.mid(14));
    out += QStringLiteral("030000000000}\\cell}\r\n");
    return out;
}
