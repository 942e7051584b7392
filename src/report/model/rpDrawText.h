#pragma once

#include "rpDrawContext.h"
#include "rpFontResolver.h"

#include "report/core/Colors.h"

#include <QImage>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

class QPainter;

// Text layout and drawing of memos and exports. A text is laid out once on a private
// measuring canvas at 600 dots per inch and drawn on any device at the positions that
// measurement gives, so it breaks into the same lines and takes the same width on the screen
// at every zoom, in the preview and on every printer.
//
// Units: widths, heights, gaps and spacing given and returned are pixels at 96 per inch;
// font sizes are points. Rounding to whole pixels takes halves to the even neighbour.
//
// Inline tags (letters in any case): <b> <i> <u> <strike> and their closing forms,
// <sub> <sup> (two-thirds size, a subscript lower), </sub> </sup>, <nowrap> </nowrap> (no
// line break at its blanks), <font color="#RRGGBB"> or <font color=name> (a colour
// identifier without its "cl"), </font>. Anything else that starts with "<" is text.

enum TrpHAlign : int { haLeft, haRight, haCenter, haBlock };
enum TrpVAlign : int { vaTop, vaBottom, vaCenter };

// Font styles as a set: bold 1, italic 2, underline 4, strike-out 8.
inline constexpr uint32_t kTextStyleBold = 1;
inline constexpr uint32_t kTextStyleItalic = 2;
inline constexpr uint32_t kTextStyleUnderline = 4;
inline constexpr uint32_t kTextStyleStrikeOut = 8;

// Paragraph flags of a laid-out line.
inline constexpr int32_t kFirstLineOfParagraph = 1;
inline constexpr int32_t kLastLineOfParagraph = 2;

// Limits that keep hostile report data from exhausting memory: font pixel sizes (on the
// measuring canvas and on a device) are clamped to 1..kMaxFontPixelSize; gaps, spacing and
// box sizes to +-kMaxTextDistance pixels.
inline constexpr int kMaxFontPixelSize = 10000;
inline constexpr double kMaxTextDistance = 1e6;

// The font the text is laid out in, as a plain value (the memo's font, adapted).
struct TrpDrawFont {
    QString Name = QStringLiteral("Arial");
    int32_t Size = 10;      // points
    uint32_t Style = 0;     // kTextStyle* bits
    TColor Color = clBlack;
    uint8_t Charset = 1;    // kept for the exports; the text stays Unicode
};

// The style of one character of a laid-out text.
class TrpHTMLTag {
public:
    int32_t Position = 0; // 1-based position in the source text, tags included, two per line break
    int32_t Size = 0;     // points
    int32_t AddY = 0;     // 1 for a subscript character
    uint32_t Style = 0;   // kTextStyle* bits
    TColor Color = 0;
    bool Default = false;  // same style, colour, size, shift and no-wrap state as the character before
    bool Small = false;    // Size differs from the default size
    bool DontWRAP = false; // inside a no-wrap run

    // Copies every field but DontWRAP.
    void Assign(const TrpHTMLTag& source);
};

// The tags of one laid-out line, one per character.
class TrpHTMLTags {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    const TrpHTMLTag& operator[](int index) const { return FItems.at(static_cast<std::size_t>(index)); }
    TrpHTMLTag& operator[](int index) { return FItems.at(static_cast<std::size_t>(index)); }
    void Add(const TrpHTMLTag& tag) { FItems.push_back(tag); }
    void Clear() { FItems.clear(); }
    // The tags first .. first + count - 1 as a line of their own.
    TrpHTMLTags Slice(int first, int count) const;
    std::span<const TrpHTMLTag> Items() const { return FItems; }

private:
    std::vector<TrpHTMLTag> FItems;
};

// The tags of all laid-out lines, and the state of the tag expansion that produces them.
class TrpHTMLTagsList {
public:
    TrpHTMLTagsList();

    bool AllowTags() const { return FAllowTags; }
    void SetAllowTags(bool value) { FAllowTags = value; }
    int32_t Position() const { return FPosition; }
    void SetPosition(int32_t value) { FPosition = value; }

    void Clear() { FItems.clear(); }
    int Count() const { return static_cast<int>(FItems.size()); }
    const TrpHTMLTags& operator[](int index) const { return FItems.at(static_cast<std::size_t>(index)); }
    TrpHTMLTags& operator[](int index) { return FItems.at(static_cast<std::size_t>(index)); }
    void Add(TrpHTMLTags tags) { FItems.push_back(std::move(tags)); }
    // Keeps the first `count` lines.
    void Truncate(int count);

    // Starts a text: the state becomes the defaults (no shift, no no-wrap run), Position 1.
    void SetDefaults(TColor DefColor, int32_t DefSize, uint32_t DefStyle);
    // Removes the tags from one line of text and answers one tag per remaining character;
    // Position advances over the line (not over its line break). A line that is empty
    // afterwards becomes one blank with one tag.
    TrpHTMLTags ExpandHTMLTags(QString& text);

private:
    // The length of the tag starting at text[at] (0 when none starts there), applying its
    // effect to the state.
    int MatchTag(QStringView text, int at);
    TrpHTMLTag CurrentTag() const;
    // The tag of the next character at `position`, with its Default mark; it becomes the
    // character before the one after it.
    TrpHTMLTag NextTag(int32_t position);

    bool FAllowTags = true;
    TColor FColor = 0;
    TColor FDefColor = 0;
    int32_t FAddY = 0;
    int32_t FDefSize = 10;
    uint32_t FDefStyle = 0;
    std::vector<TrpHTMLTags> FItems; // one per laid-out line
    int32_t FPosition = 1;
    int32_t FSize = 10;
    uint32_t FStyle = 0;
    bool FDontWRAP = false;
    TrpHTMLTag FPrevious;            // the state of the character before the next one
};

// The text engine. Configure it (SetFont, SetOptions, SetGaps, SetDimensions), lay a text
// out (SetText), then measure, split or draw it; measuring and drawing leave the layout as
// it is, so one layout can be measured and drawn any number of times. The engine shared by
// many users is used between Lock and Unlock only; an engine made for one caller needs no
// lock.
class TrpDrawText {
public:
    TrpDrawText();
    TrpDrawText(const TrpDrawText&) = delete;
    TrpDrawText& operator=(const TrpDrawText&) = delete;

    // The engine's lock; recursive, because a memo measuring its own width (AutoWidth) does
    // so inside its locked drawing.
    void Lock() { FLock.lock(); }
    void Unlock() { FLock.unlock(); }
    std::recursive_mutex& Mutex() { return FLock; }

    void SetFont(const TrpDrawFont& Font);
    // Rotation in degrees, kept modulo 360 with its sign.
    void SetOptions(bool WordWrap, bool HTMLTags, bool RTLReading, bool WordBreak, bool Clipped, bool Wysiwyg,
                    int Rotation);
    void SetGaps(double ParagraphGap, double CharSpacing, double LineSpacing);
    // The box at 96 per inch and zoom 1 (the layout's), and on the output device.
    void SetDimensions(double ScaleX, double ScaleY, double PrintScale, const QRectF& OriginalRect,
                       const QRectF& ScaledRect);

    // Lays the lines out; each source line is a paragraph. Raises EFontNotInstalled when the
    // font's face is missing.
    void SetText(const QStringList& Lines);
    // Clears flag 1 of the first laid-out line (FirstParaBreak) and flag 2 of the last
    // (LastParaBreak): the parts of a memo split across pages continue one paragraph.
    void SetParaBreaks(bool FirstParaBreak, bool LastParaBreak);
    // The text without the inline tags.
    static QString DeleteTags(const QString& Txt);

    // Draws the laid-out text into the box given by SetDimensions.
    void DrawText(QPainter& Canvas, TrpHAlign HAlign, TrpVAlign VAlign, const TrpDrawContext& Context = {}) const;

    double TextHeight() const;
    double LineHeight() const;
    double CalcHeight() const;
    double CalcWidth() const;
    // The height left in the box below the whole lines that fit (1e-4 when none is left);
    // 0 when no line fits.
    double UnusedSpace() const;
    // Cuts the layout after the lines that fit the box and answers the source text of the
    // rest (empty when everything fits), prefixed with the tags that continue its style.
    // ParaBreak tells whether the cut fell inside a paragraph.
    QString GetOutBoundsText(bool& ParaBreak);
    // The source text (after GetOutBoundsText: of the part that fits).
    QString GetInBoundsText() const { return FPlainText; }
    // The laid-out lines, CR LF between them.
    QString WrappedText() const;

    // The layout at scale 1, without a painter (the exports read it).
    int LineCount() const { return static_cast<int>(FText.size()); }
    QString Line(int index) const { return FText.at(static_cast<std::size_t>(index)).Text; }
    int32_t LineFlags(int index) const { return FText.at(static_cast<std::size_t>(index)).Flags; }
    const TrpHTMLTags& LineTags(int index) const { return FHTMLTags[index]; }
    // A line's width: its characters as measured, its character spacing and, on the first
    // line of a paragraph, the paragraph gap.
    double LineWidth(int index) const;
    struct TextRun {
        int Start = 0;  // first character in the line
        int Length = 0;
        TrpHTMLTag Tag; // the style of all its characters
    };
    // A line cut where the style changes.
    std::vector<TextRun> LineRuns(int index) const;

    QImage& Canvas() { return FBMP; }
    int DefPPI() const { return FDefPPI; }
    int ScrPPI() const { return FScrPPI; }
    bool UseDefaultCharset() const { return FUseDefaultCharset; }
    void SetUseDefaultCharset(bool value) { FUseDefaultCharset = value; }

    // Spreads `count` increments of `unit` (+1 or -1) over the elements first .. last of
    // `values` so that they fall evenly: count >= the number of elements gives each element
    // count div number first; the rest goes half to the first half of the range, half to
    // the other, down to single elements.
    static void SpreadIncrements(std::span<int> values, int first, int last, int unit, int count);

private:
    struct TextLine {
        QString Text;
        int32_t Flags = 0;
    };
    struct Measured; // per-character widths of a line, see rpDrawText.cpp

    void WrapLine(QString line, int64_t width, int64_t firstWidth, int64_t spacing);
    void AddLine(const QString& text, const TrpHTMLTags& tags, int first, int count, bool hyphen);
    // The width of every character of text[0 .. count) on the measuring canvas at 600 per
    // inch, without character spacing.
    std::vector<int32_t> MeasureWidths(QStringView text, const TrpHTMLTags& tags) const;
    const TrpFontFace& FaceFor(uint32_t style) const;
    int MeasurePixelSize() const;
    int64_t CharSpacing600() const;

    QImage FBMP;                     // the measuring canvas, 600 dots per inch
    int FDefPPI = 600;
    int FScrPPI = 96;
    int32_t FFontSize = 10;          // points
    TrpDrawFont FFont;
    TrpHTMLTagsList FHTMLTags;
    double FCharSpacing = 0;
    double FLineSpacing = 0;
    int32_t FOptions = 0;            // 4 clip to the box, 128 right-to-left reading
    QRectF FOriginalRect;
    double FParagraphGap = 0;
    QString FPlainText;              // source lines, each followed by CR LF
    double FPrintScale = 1;
    int32_t FRotation = 0;
    bool FRTLReading = false;
    QRectF FScaledRect;
    double FScaleX = 1;
    double FScaleY = 1;
    std::vector<TextLine> FText;     // the laid-out lines with their paragraph flags
    bool FWordBreak = false;
    bool FWordWrap = true;
    bool FWysiwyg = true;
    bool FUseDefaultCharset = false;
    mutable std::array<std::optional<TrpFontFace>, 4> FFaces; // by bold and italic bits, resolved when first used
    std::recursive_mutex FLock;
};
