#include "rpDrawText.h"

#include "rpDrawText_internal.h"
#include "rpGraphicUtils.h"
#include "rpUtils.h"

#include "report/core/Rounding.h"

#include <QVarLengthArray>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace drawtext;

namespace drawtext {

void RunCharWidths(const QRawFont& font, QStringView text, int32_t* widths)
{
    const int count = static_cast<int>(text.size());
    if (count == 0)
        return;
    QVarLengthArray<quint32, 256> glyphs(count);
    int glyphCount = count;
    if (!font.glyphIndexesForChars(text.data(), count, glyphs.data(), &glyphCount))
        glyphCount = 0;
    QVarLengthArray<QPointF, 256> advances(std::max(glyphCount, 1));
    if (glyphCount > 0)
        font.advancesForGlyphIndexes(glyphs.data(), advances.data(), glyphCount, QRawFont::UseDesignMetrics);
    double sum = 0;
    int64_t previous = 0;
    int glyph = 0;
    for (int i = 0; i < count;) {
        const bool pair = text[i].isHighSurrogate() && i + 1 < count && text[i + 1].isLowSurrogate();
        if (glyph < glyphCount)
            sum += advances[glyph++].x();
        const int64_t position = static_cast<int64_t>(RoundHalfEven(sum));
        widths[i] = static_cast<int32_t>(position - previous);
        previous = position;
        if (pair)
            widths[i + 1] = 0;
        i += pair ? 2 : 1;
    }
}

double Bounded(double value)
{
    if (std::isnan(value))
        return 0;
    return std::clamp(value, -kMaxTextDistance, kMaxTextDistance);
}

int64_t Nearest(double value)
{
    constexpr double kBound = 1125899906842624.0; // 2^50
    if (std::isnan(value))
        return 0;
    return static_cast<int64_t>(RoundHalfEven(std::clamp(value, -kBound, kBound)));
}

int ClampToInt(int64_t value)
{
    constexpr int64_t kBound = int64_t{1} << 30;
    return static_cast<int>(std::clamp(value, -kBound, kBound));
}

int FontPixelSize(double points, double pixelsPerInch)
{
    const double pixels = RoundHalfEven(points * pixelsPerInch / 72);
    if (!(pixels >= 1))
        return 1;
    return pixels > kMaxFontPixelSize ? kMaxFontPixelSize : static_cast<int>(pixels);
}

int NormalizedRotation(int rotation)
{
    return ((rotation % 360) + 360) % 360;
}

} // namespace drawtext

namespace {

constexpr QStringView kVowels = u"АЕЁИОУЫЭЮЯ";
constexpr QStringView kConsonants = u"БВГДЖЗЙКЛМНПРСТФХЦЧШЩЬЪ";

bool IsVowel(QChar c)
{
    return kVowels.contains(c);
}

bool IsConsonant(QChar c)
{
    return kConsonants.contains(c);
}

bool EndsWord(QChar c)
{
    return c == u' ' || c == u'.' || c == u',' || c == u'-' || c == u';';
}

// Longer words are not hyphenated (no language has them; a line of data without blanks
// would otherwise be scanned again at every break).
constexpr int kMaxHyphenatedWordLength = 100;

// Where the Russian word starting at text[wordStart] may be broken: the length of the part
// before the hyphen, the largest allowed one shorter than `fitCount`; 0 when there is none.
int HyphenationPoint(QStringView text, int wordStart, int fitCount)
{
    const int scanEnd = std::min(static_cast<int>(text.size()), wordStart + kMaxHyphenatedWordLength + 1);
    int wordEnd = wordStart;
    while (wordEnd < scanEnd && !EndsWord(text[wordEnd]))
        ++wordEnd;
    const int length = wordEnd - wordStart;
    if (length <= 3 || length > kMaxHyphenatedWordLength || fitCount <= 2)
        return 0;
    const QString word = text.sliced(wordStart, length).toString().toUpper();
    std::vector<bool> vowelsBefore(static_cast<std::size_t>(length) + 1, false); // a vowel in word[0 .. p)
    for (int p = 1; p <= length; ++p)
        vowelsBefore[static_cast<std::size_t>(p)] = vowelsBefore[static_cast<std::size_t>(p) - 1] || IsVowel(word[p - 1]);
    int best = 0;
    bool vowelAfter = false; // a vowel in word[p .. length), updated walking back
    for (int p = length - 1; p >= 1; --p) {
        vowelAfter = vowelAfter || IsVowel(word[p]);
        if (p >= fitCount || p < 2 || length - p < 2)
            continue;
        const QChar c = word[p - 1];
        const QChar next = word[p];
        bool allowed = false;
        if (IsConsonant(c)) {
            allowed = !IsVowel(next) && next != u'Ь' && next != u'Ъ';
        } else if (IsVowel(c)) {
            const bool doubledBeforeVowel =
                p + 2 < length && IsConsonant(next) && word[p + 1] == next && IsVowel(word[p + 2]);
            allowed = next != u'Й' && !doubledBeforeVowel;
        }
        if (allowed && vowelsBefore[static_cast<std::size_t>(p)] && vowelAfter) {
            best = p;
            break; // walking back, the first allowed point is the largest
        }
    }
    return best;
}

} // namespace

TrpDrawText::TrpDrawText() : FBMP(1, 1, QImage::Format_RGB32)
{
    const int dotsPerMeter = static_cast<int>(RoundHalfEven(FDefPPI / 0.0254));
    FBMP.setDotsPerMeterX(dotsPerMeter);
    FBMP.setDotsPerMeterY(dotsPerMeter);
}

void TrpDrawText::SetFont(const TrpDrawFont& Font)
{
    FFont = Font;
    FFontSize = Font.Size;
    FFaces = {};
}

void TrpDrawText::SetOptions(bool WordWrap, bool HTMLTags, bool RTLReading, bool WordBreak, bool Clipped,
                             bool Wysiwyg, int Rotation)
{
    FWordWrap = WordWrap;
    FHTMLTags.SetAllowTags(HTMLTags);
    FRTLReading = RTLReading;
    FWordBreak = WordBreak;
    FOptions = (RTLReading ? 128 : 0) | (Clipped ? 4 : 0);
    FWysiwyg = Wysiwyg;
    FRotation = Rotation % 360;
}

void TrpDrawText::SetGaps(double ParagraphGap, double CharSpacing, double LineSpacing)
{
    FParagraphGap = Bounded(ParagraphGap);
    FCharSpacing = Bounded(CharSpacing);
    FLineSpacing = Bounded(LineSpacing);
}

void TrpDrawText::SetDimensions(double ScaleX, double ScaleY, double PrintScale, const QRectF& OriginalRect,
                                const QRectF& ScaledRect)
{
    FScaleX = Bounded(ScaleX);
    FScaleY = Bounded(ScaleY);
    FPrintScale = Bounded(PrintScale);
    FOriginalRect = OriginalRect;
    FScaledRect = ScaledRect;
}

const TrpFontFace& TrpDrawText::FaceFor(uint32_t style) const
{
    const bool bold = (style & kTextStyleBold) != 0;
    const bool italic = (style & kTextStyleItalic) != 0;
    std::optional<TrpFontFace>& face = FFaces[(bold ? 1 : 0) + (italic ? 2 : 0)];
    if (!face)
        face = ResolveReportFont(FFont.Name, bold, italic);
    return *face;
}

int TrpDrawText::MeasurePixelSize() const
{
    return FontPixelSize(FFontSize, FDefPPI);
}

int64_t TrpDrawText::CharSpacing600() const
{
    return Nearest(FCharSpacing * kMeasureFactor);
}

std::vector<int32_t> TrpDrawText::MeasureWidths(QStringView text, const TrpHTMLTags& tags) const
{
    const int count = static_cast<int>(text.size());
    std::vector<int32_t> widths(static_cast<std::size_t>(count), 0);
    const int pixelSize = MeasurePixelSize();
    for (int start = 0; start < count;) {
        int end = start + 1;
        while (end < count && tags[end].Default)
            ++end;
        const TrpHTMLTag& tag = tags[start];
        const QRawFont font = ReportRawFont(FaceFor(tag.Style), pixelSize);
        int32_t* runWidths = widths.data() + start;
        RunCharWidths(font, text.sliced(start, end - start), runWidths);
        if (tag.Small)
            for (int i = 0; i < end - start; ++i)
                runWidths[i] = static_cast<int32_t>(RoundHalfEven(runWidths[i] / 1.5));
        start = end;
    }
    return widths;
}

void TrpDrawText::SetText(const QStringList& Lines)
{
    FPlainText.clear();
    FText.clear();
    FHTMLTags.Clear();
    if (Lines.isEmpty())
        return;
    FHTMLTags.SetDefaults(FFont.Color, FFontSize, FFont.Style);
    const int rotation = NormalizedRotation(FRotation);
    const bool across = (rotation >= 90 && rotation <= 179) || rotation >= 270;
    const double wrapWidth = Bounded(across ? FOriginalRect.height() : FOriginalRect.width());
    const int64_t width = Nearest(wrapWidth * kMeasureFactor);
    const int64_t firstWidth = Nearest((wrapWidth - FParagraphGap) * kMeasureFactor);
    for (const QString& source : Lines) {
        const QString line = source.isEmpty() ? QStringLiteral(" ") : source;
        FPlainText += line;
        FPlainText += u"\r\n";
        const std::size_t first = FText.size();
        WrapLine(line, width, firstWidth, CharSpacing600());
        if (FText.size() > first) {
            FText[first].Flags |= kFirstLineOfParagraph;
            FText.back().Flags |= kLastLineOfParagraph;
        }
    }
}

void TrpDrawText::AddLine(const QString& text, const TrpHTMLTags& tags, int first, int count, bool hyphen)
{
    TextLine line;
    line.Text = text.mid(first, count);
    TrpHTMLTags lineTags = tags.Slice(first, count);
    if (hyphen) {
        line.Text += u'-';
        TrpHTMLTag hyphenTag = tags[first + count - 1];
        hyphenTag.Default = true;
        lineTags.Add(hyphenTag);
    }
    FText.push_back(std::move(line));
    FHTMLTags.Add(std::move(lineTags));
}

void TrpDrawText::WrapLine(QString line, int64_t width, int64_t firstWidth, int64_t spacing)
{
    const TrpHTMLTags tags = FHTMLTags.ExpandHTMLTags(line);
    FHTMLTags.SetPosition(FHTMLTags.Position() + 2);
    const int count = static_cast<int>(line.size());
    if (count < 2 || !FWordWrap) {
        AddLine(line, tags, 0, count, false);
        return;
    }
    const std::vector<int32_t> widths = MeasureWidths(line, tags);
    std::vector<int64_t> ends(static_cast<std::size_t>(count)); // cumulative width through each character
    int64_t total = 0;
    for (int i = 0; i < count; ++i) {
        total += widths[static_cast<std::size_t>(i)] + spacing;
        ends[static_cast<std::size_t>(i)] = total;
    }
    if (total < firstWidth) {
        AddLine(line, tags, 0, count, false);
        return;
    }
    const bool allowTags = FHTMLTags.AllowTags();
    auto endAt = [&](int i) { return ends[static_cast<std::size_t>(i)]; };
    int start = 0;         // first character of the output line in work
    int candidate = -1;    // the last blank after `start` where the line may break
    int64_t previousEnd = 0;
    int64_t available = firstWidth;
    for (int i = 0; i < count; ++i) {
        if (i < start)
            continue;
        if (line[i] == u' ' && i > start && !(allowTags && tags[i].DontWRAP))
            candidate = i;
        while (i >= start && endAt(i) - previousEnd > available) {
            int next;
            if (candidate < 0) {
                if (i == start) {
                    const bool pair = line[i].isHighSurrogate() && i + 1 < count && line[i + 1].isLowSurrogate();
                    AddLine(line, tags, start, pair ? 2 : 1, false);
                    next = i + (pair ? 2 : 1);
                } else {
                    const int point = FWordBreak ? HyphenationPoint(line, start, i - start) : 0;
                    if (point > 0) {
                        AddLine(line, tags, start, point, true);
                        next = start + point;
                    } else {
                        int cut = i;
                        if (cut > start + 1 && line[cut].isLowSurrogate() && line[cut - 1].isHighSurrogate())
                            --cut; // never between the halves of a surrogate pair
                        AddLine(line, tags, start, cut - start, false);
                        next = cut;
                    }
                }
            } else {
                const int wordStart = candidate + 1;
                const int point = FWordBreak ? HyphenationPoint(line, wordStart, i - wordStart) : 0;
                if (point > 0) {
                    AddLine(line, tags, start, wordStart + point - start, true);
                    next = wordStart + point;
                } else {
                    AddLine(line, tags, start, candidate - start, false);
                    next = wordStart; // the blank goes to neither line
                }
            }
            start = next;
            previousEnd = endAt(start - 1);
            available = width;
            candidate = -1;
        }
    }
    if (start < count)
        AddLine(line, tags, start, count - start, false);
}

void TrpDrawText::SetParaBreaks(bool FirstParaBreak, bool LastParaBreak)
{
    if (FText.empty())
        return;
    if (FirstParaBreak)
        FText.front().Flags &= ~kFirstLineOfParagraph;
    if (LastParaBreak)
        FText.back().Flags &= ~kLastLineOfParagraph;
}

double TrpDrawText::TextHeight() const
{
    return MeasurePixelSize() / kMeasureFactor;
}

double TrpDrawText::LineHeight() const
{
    return TextHeight() + FLineSpacing;
}

double TrpDrawText::CalcHeight() const
{
    if (FText.empty())
        return 0;
    double height = LineHeight() * static_cast<double>(FText.size());
    if (FLineSpacing < 0)
        height -= FLineSpacing; // the last line keeps its full height
    return height;
}

double TrpDrawText::LineWidth(int index) const
{
    const TextLine& line = FText.at(static_cast<std::size_t>(index));
    const std::vector<int32_t> widths = MeasureWidths(line.Text, FHTMLTags[index]);
    int64_t total = 0;
    for (int32_t width : widths)
        total += width;
    // The same rounded spacing per character as the wrapping, so a box as wide as this
    // holds the line without breaking it.
    double width = static_cast<double>(total) + static_cast<double>(widths.size()) * static_cast<double>(CharSpacing600());
    if (line.Flags & kFirstLineOfParagraph)
        width += FParagraphGap * kMeasureFactor;
    return width / kMeasureFactor;
}

double TrpDrawText::CalcWidth() const
{
    double widest = 0;
    for (int i = 0; i < LineCount(); ++i)
        widest = std::max(widest, LineWidth(i));
    return widest;
}

std::vector<TrpDrawText::TextRun> TrpDrawText::LineRuns(int index) const
{
    const TrpHTMLTags& tags = FHTMLTags[index];
    std::vector<TextRun> runs;
    for (int start = 0; start < tags.Count();) {
        int end = start + 1;
        while (end < tags.Count() && tags[end].Default)
            ++end;
        runs.push_back(TextRun{start, end - start, tags[start]});
        start = end;
    }
    return runs;
}

double TrpDrawText::UnusedSpace() const
{
    const double lineHeight = LineHeight();
    if (!(lineHeight > 0))
        return 0;
    const double boxHeight = Bounded(FOriginalRect.height());
    const double fitting = std::trunc((boxHeight + 1) / lineHeight);
    if (fitting < 1)
        return 0;
    // Less than this counts as nothing left (the line heights are not exact in binary).
    constexpr double kNothingLeft = 1e-4;
    const double left = boxHeight - fitting * lineHeight;
    return left > kNothingLeft ? left : kNothingLeft;
}

QString TrpDrawText::GetOutBoundsText(bool& ParaBreak)
{
    ParaBreak = false;
    const int lineCount = LineCount();
    int fitting = lineCount;
    if (const double lineHeight = LineHeight(); lineHeight > 0) {
        const double quotient = std::trunc((Bounded(FOriginalRect.height()) + 1) / lineHeight);
        fitting = quotient < 0 ? 0 : static_cast<int>(std::min<double>(quotient, lineCount));
    }
    if (fitting >= lineCount)
        return QString();
    const TrpHTMLTag first = FHTMLTags[fitting][0];
    ParaBreak = fitting > 0 && (FText[static_cast<std::size_t>(fitting) - 1].Flags & kLastLineOfParagraph) == 0;
    const qsizetype cut = std::clamp<qsizetype>(first.Position - 1, 0, FPlainText.size());
    QString rest = FPlainText.mid(cut);
    FText.resize(static_cast<std::size_t>(fitting));
    FHTMLTags.Truncate(fitting);
    if (ParaBreak && rest.startsWith(u' '))
        rest.remove(0, 1);
    FPlainText.truncate(cut);
    if (FWordBreak && fitting > 0 && FText.back().Text.endsWith(u'-'))
        FPlainText += u'-';
    if (FHTMLTags.AllowTags()) {
        QString prefix;
        if (first.Style & kTextStyleBold)
            prefix = QStringLiteral("<b>");
        if (first.Style & kTextStyleItalic)
            prefix = QStringLiteral("<i>") + prefix;
        if (first.Style & kTextStyleUnderline)
            prefix = QStringLiteral("<u>") + prefix;
        const QColor color = ToQColor(first.Color, ToQColor(FFont.Color));
        prefix = QStringLiteral("<font color=\"") + ColorToHexText(RGBColor(color.red(), color.green(), color.blue())) +
                 QStringLiteral("\">") + prefix;
        rest = prefix + rest;
    }
    return rest;
}

QString TrpDrawText::WrappedText() const
{
    QString text;
    for (std::size_t i = 0; i < FText.size(); ++i) {
        if (i > 0)
            text += u"\r\n";
        text += FText[i].Text;
    }
    return text;
}
