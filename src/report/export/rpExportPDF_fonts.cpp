// The fonts of a PDF export: the glyphs the layout took, their nominal widths and texts, and
// the composite font objects with an embedded subset of the face the layout measured.

#include "rpExportPDF.h"

#include "rpTrueTypeCollection.h"
#include "rpmd5.h"

#include "platform/Cp1251.h"
#include "report/core/Rounding.h"
#include "report/model/rpClass.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpCompression.h"
#include "report/model/rpDrawText.h"

#include <QBuffer>
#include <QVarLengthArray>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Fonts whose style is not part of their PDF name: bold and italic are simulated.
const QStringList& StyleIgnoringNames()
{
    static const QStringList names{QStringLiteral("ＭＳ ゴシック"), QStringLiteral("ＭＳ Ｐゴシック"),
                                   QStringLiteral("ＭＳ 明朝"), QStringLiteral("ＭＳ Ｐ明朝"),
                                   QStringLiteral("MS UI Gothic")};
    return names;
}

int U16(const QByteArray& table, int offset)
{
    if (offset < 0 || offset + 2 > table.size())
        return 0;
    return (static_cast<uint8_t>(table[offset]) << 8) | static_cast<uint8_t>(table[offset + 1]);
}

int S16(const QByteArray& table, int offset)
{
    return static_cast<int16_t>(static_cast<uint16_t>(U16(table, offset)));
}

QByteArray Hex4(uint32_t value)
{
    return QByteArray::number(value, 16).toUpper().rightJustified(4, '0');
}

} // namespace

bool TrpPDFFont::IgnoresStyle(const QString& reportName)
{
    return StyleIgnoringNames().contains(reportName);
}

TrpPDFFont::TrpPDFFont(const QString& reportName, bool bold, bool italic)
    : ReportName(reportName), Bold(bold), Italic(italic)
{
    // The face the layout measures with: style-ignoring names take it in their style too,
    // the PDF only simulates it.
    Face = ResolveReportFont(reportName, bold, italic);
    raw_ = ReportRawFont(Face, 12);
    const QByteArray head = raw_.fontTable("head");
    unitsPerEm_ = std::max(16, U16(head, 18));
    numberOfHMetrics_ = U16(raw_.fontTable("hhea"), 34);
    hmtx_ = raw_.fontTable("hmtx");
}

int TrpPDFFont::GlyphWidth(uint16_t glyph) const
{
    if (numberOfHMetrics_ <= 0)
        return 0;
    const int index = std::min<int>(glyph, numberOfHMetrics_ - 1);
    return static_cast<int>(RoundHalfEven(U16(hmtx_, index * 4) * 1000.0 / unitsPerEm_));
}

const QByteArray& TrpPDFFont::RemapString(const QString& text)
{
    auto cached = runs_.find(text);
    if (cached != runs_.end())
        return *cached;
    QByteArray result;
    const int count = static_cast<int>(text.size());
    if (count > 0) {
        // The layout's call: one glyph per code point, no shaping.
        QVarLengthArray<quint32, 256> glyphs(count);
        int glyphCount = count;
        if (!raw_.glyphIndexesForChars(text.constData(), count, glyphs.data(), &glyphCount))
            glyphCount = 0;
        result.reserve(glyphCount * 4);
        int glyph = 0;
        for (int i = 0; i < count && glyph < glyphCount;) {
            const bool pair = text[i].isHighSurrogate() && i + 1 < count && text[i + 1].isLowSurrogate();
            const QString unit = text.mid(i, pair ? 2 : 1);
            const auto id = static_cast<uint16_t>(glyphs[glyph++]);
            if (used_.find(id) == used_.end()) {
                used_.emplace(id, static_cast<int>(UsedAlphabet.size()));
                UsedAlphabet.push_back(id);
                Widths.push_back(GlyphWidth(id));
                UsedAlphabetUnicode.push_back(unit);
            }
            result += Hex4(id);
            i += pair ? 2 : 1;
        }
    }
    return *runs_.insert(text, result);
}

QByteArray TrpPDFFont::GetFontName() const
{
    std::string bytes = ReportName.toStdString();
    if (auto cp = platform::TryUtf8ToCp1251(bytes))
        bytes = *cp;
    QByteArray name;
    for (const char ch : bytes) {
        const auto b = static_cast<uint8_t>(ch);
        switch (b) {
        case ' ': name += "#20"; break;
        case '(': name += "#28"; break;
        case ')': name += "#29"; break;
        case '%': name += "#25"; break;
        case '<': name += "#3C"; break;
        case '>': name += "#3E"; break;
        case '[': name += "#5B"; break;
        case ']': name += "#5D"; break;
        case '{': name += "#7B"; break;
        case '}': name += "#7D"; break;
        case '/': name += "#2F"; break;
        case '#': name += "#23"; break;
        default:
            if (b >= 128 || b < 33)
                name += '#' + QByteArray::number(b, 16).toUpper().rightJustified(2, '0');
            else
                name += static_cast<char>(b);
        }
    }
    if (!IgnoresStyle(ReportName) && (Bold || Italic))
        name += QByteArray(",") + (Bold ? "Bold" : "") + (Italic ? "Italic" : "");
    return name;
}

QByteArray TrpPDFFont::SubsetTag() const
{
    QByteArray glyphs;
    for (uint16_t g : UsedAlphabet) {
        glyphs += static_cast<char>(g >> 8);
        glyphs += static_cast<char>(g & 0xFF);
    }
    const QByteArray digest = MD5Text(glyphs);
    QByteArray tag;
    for (int i = 0; i < 6; ++i)
        tag += static_cast<char>('A' + static_cast<uint8_t>(digest[i * 2]) % 26);
    return tag;
}

TrpPDFFont::Metrics TrpPDFFont::FontMetrics() const
{
    Metrics m;
    const auto scale = [this](double v) { return static_cast<int>(RoundHalfEven(v * 1000.0 / unitsPerEm_)); };
    const QByteArray head = raw_.fontTable("head");
    m.BBox[0] = scale(S16(head, 36));
    m.BBox[1] = scale(S16(head, 38));
    m.BBox[2] = scale(S16(head, 40));
    m.BBox[3] = scale(S16(head, 42));
    const QByteArray post = raw_.fontTable("post");
    if (post.size() >= 8) {
        const int32_t fixed = static_cast<int32_t>((static_cast<uint32_t>(U16(post, 4)) << 16) | U16(post, 6));
        m.ItalicAngle = fixed / 65536.0;
    }
    const QByteArray hhea = raw_.fontTable("hhea");
    const QByteArray os2 = raw_.fontTable("OS/2");
    const int winAscent = os2.size() >= 78 ? U16(os2, 74) : S16(hhea, 4);
    const int winDescent = os2.size() >= 78 ? U16(os2, 76) : -S16(hhea, 6);
    m.Ascent = scale(winAscent);
    m.Descent = -scale(winDescent);
    m.Leading = scale(winAscent + winDescent - unitsPerEm_);
    m.CapHeight = scale(winAscent + winDescent);
    m.Weight = os2.size() >= 6 ? U16(os2, 4) : 400;
    m.AvgWidth = scale(os2.size() >= 4 ? S16(os2, 2) : 0);
    m.MaxWidth = scale(U16(hhea, 10));
    return m;
}

QByteArray TrpPDFFont::GetFontFile(std::vector<std::string>& warnings) const
{
    const QByteArray data = ReportFontData(Face);
    TrueTypeCollection collection;
    collection.Initialize(std::span(reinterpret_cast<const uint8_t*>(data.constData()), static_cast<size_t>(data.size())));
    std::vector<int> glyphs(UsedAlphabet.begin(), UsedAlphabet.end());
    const std::vector<uint8_t> subset = collection.PackFont(Face.FaceIndex, glyphs);
    warnings.insert(warnings.end(), collection.Warnings().begin(), collection.Warnings().end());
    if (subset.empty())
        return data;
    return QByteArray(reinterpret_cast<const char*>(subset.data()), static_cast<qsizetype>(subset.size()));
}

// --- the writer's side

int TrpPDFExport::FindFont(const TrpFont& font)
{
    const QString name = font.Name();
    const bool bold = (font.Style() & kTextStyleBold) != 0;
    const bool italic = (font.Style() & kTextStyleItalic) != 0;
    const bool ignoreStyle = TrpPDFFont::IgnoresStyle(name);
    const auto matches = [&](const TrpPDFFont& f) {
        return f.ReportName == name && (ignoreStyle || (f.Bold == bold && f.Italic == italic));
    };
    TrpPDFFont* found = nullptr;
    for (const auto& f : FFonts)
        if (matches(*f)) {
            found = f.get();
            break;
        }
    if (found == nullptr) {
        auto created = std::make_unique<TrpPDFFont>(name, bold, italic);
        created->Name = QStringLiteral("/F") + QString::number(FFonts.size());
        found = created.get();
        FFonts.push_back(std::move(created));
    }
    for (size_t i = 0; i < FPageFonts.size(); ++i)
        if (matches(*FPageFonts[i]))
            return static_cast<int>(i);
    FPageFonts.push_back(found);
    return static_cast<int>(FPageFonts.size()) - 1;
}

QByteArray TrpPDFExport::Deflate(const QByteArray& data) const
{
    QByteArray source = data;
    QBuffer in(&source);
    in.open(QIODevice::ReadOnly);
    QByteArray packed;
    QBuffer out(&packed);
    out.open(QIODevice::WriteOnly);
    CompressStream(in, out, 1);
    return packed;
}

void TrpPDFExport::WriteFontObjects(TrpPDFFont& font)
{
    std::vector<std::string> warnings;
    // Refusals raise here, before any byte of the font is written.
    const QByteArray file = font.GetFontFile(warnings);
    if (Report != nullptr)
        for (const std::string& warning : warnings)
            Report->AddError(QString::fromStdString(warning));
    const QByteArray n = font.SubsetTag() + '+' + font.GetFontName();

    const int e = UpdateXRef();
    Line(Header(e));
    if (Compressed) {
        const QByteArray packed = Crypted(Deflate(file), e);
        Line("<< /Length " + QByteArray::number(packed.size()) + "  /Filter /FlateDecode /Length1 " +
             QByteArray::number(file.size()) + " >>");
        Line("stream");
        Write(packed);
    } else {
        Line("<< /Length " + QByteArray::number(file.size()) + " /Length1 " + QByteArray::number(file.size()) + " >>");
        Line("stream");
        Write(Crypted(file, e));
    }
    Line("");
    Line("endstream");
    Line("endobj");

    const TrpPDFFont::Metrics m = font.FontMetrics();
    const int d = UpdateXRef();
    Line(Header(d));
    Line("<<");
    Line("/Type /FontDescriptor");
    Line("/FontName /" + n);
    Line("/FontFamily /" + n);
    Line("/Flags 32");
    Line("/FontBBox [" + QByteArray::number(m.BBox[0]) + ' ' + QByteArray::number(m.BBox[1]) + ' ' +
         QByteArray::number(m.BBox[2]) + ' ' + QByteArray::number(m.BBox[3]) + " ]");
    Line("/ItalicAngle " + QByteArray::number(static_cast<int>(RoundHalfEven(m.ItalicAngle))));
    Line("/Ascent " + QByteArray::number(m.Ascent));
    Line("/Descent " + QByteArray::number(m.Descent));
    Line("/Leading " + QByteArray::number(m.Leading));
    Line("/CapHeight " + QByteArray::number(m.CapHeight));
    Line("/StemV " + QByteArray::number(static_cast<int>(RoundHalfEven(std::pow(m.Weight / 65.0, 2))) + 50));
    Line("/AvgWidth " + QByteArray::number(m.AvgWidth));
    Line("/MxWidth " + QByteArray::number(m.MaxWidth));
    Line("/MissingWidth " + QByteArray::number(m.AvgWidth));
    Line("/FontFile2 " + Ref(e));
    Line(">>");
    Line("endobj");

    QByteArray map;
    const auto add = [&map](const QByteArray& line) { map += line + "\r\n"; };
    add("/CIDInit /ProcSet findresource begin");
    add("12 dict begin");
    add("begincmap");
    add("/CIDSystemInfo");
    add("<< /Registry (Adobe)");
    add("/Ordering (UCS)");
    add("/Supplement 0");
    add(">> def");
    add("/CMapName /" + QByteArray(n).replace(',', '+') + " def");
    add("/CMapType 2 def");
    add("1 begincodespacerange");
    add("<0000> <FFFF>");
    add("endcodespacerange");
    // At most 100 entries a block, as CMap readers expect.
    const size_t count = font.UsedAlphabet.size();
    for (size_t first = 0; first < count; first += 100) {
        const size_t last = std::min(count, first + 100);
        add(QByteArray::number(static_cast<qsizetype>(last - first)) + " beginbfchar");
        for (size_t i = first; i < last; ++i) {
            QByteArray units;
            for (const QChar c : font.UsedAlphabetUnicode[i])
                units += Hex4(c.unicode());
            add('<' + Hex4(font.UsedAlphabet[i]) + "> <" + units + '>');
        }
        add("endbfchar");
    }
    add("endcmap");
    add("CMapName currentdict /CMap defineresource pop");
    add("end");
    add("end");
    const int t = UpdateXRef();
    Line(Header(t));
    if (Compressed) {
        const QByteArray packed = Crypted(Deflate(map), t);
        Line("<< /Length " + QByteArray::number(packed.size()) + "  /Filter /FlateDecode /Length1 " +
             QByteArray::number(map.size()) + " >>");
        Line("stream");
        Write(packed);
        Line("");
    } else {
        Line("<< /Length " + QByteArray::number(map.size()) + " /Length1 " + QByteArray::number(map.size()) + " >>");
        Line("stream");
        Write(Crypted(map, t));
    }
    Line("endstream");
    Line("endobj");

    const int s = UpdateXRef();
    Line(Header(s));
    Line("<<");
    Line("/Registry (" + CryptString("Adobe", s) + ") /Ordering (" + CryptString("Identity", s) + ") /Supplement 0");
    Line(">>");
    Line("endobj");

    const int c = UpdateXRef();
    Line(Header(c));
    Line("<<");
    Line("/Type /Font");
    Line("/Subtype /CIDFontType2");
    Line("/BaseFont /" + n);
    Line("/CIDSystemInfo " + Ref(s));
    Line("/FontDescriptor " + Ref(d));
    QByteArray widths = "/W [ ";
    for (size_t i = 0; i < count; ++i)
        widths += QByteArray::number(font.UsedAlphabet[i]) + " [" + QByteArray::number(font.Widths[i]) + "] ";
    Write(widths);
    Line("]");
    Line(">>");
    Line("endobj");

    FXRef[static_cast<size_t>(font.Reference) - 1] = position_;
    Line(Header(font.Reference));
    Line("<<");
    Line("/Type /Font");
    Line("/Subtype /Type0");
    Line("/BaseFont /" + n);
    Line("/Encoding /Identity-H");
    Line("/DescendantFonts [" + Ref(c) + "]");
    Line("/ToUnicode " + Ref(t));
    Line(">>");
    Line("endobj");
}
