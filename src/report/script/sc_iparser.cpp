#include "sc_iparser.h"

#include "report/core/TextCodes.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace {

constexpr char16_t kCR = 13;
constexpr char16_t kLF = 10;
constexpr uint32_t kMaxCode = 0x10FFFF;

bool IsLineEnd(QChar c)
{
    return c.unicode() == kCR || c.unicode() == kLF;
}

bool IsPunctuation(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 33 && u <= 47) || (u >= 58 && u <= 64) || (u >= 91 && u <= 96) || (u >= 123 && u <= 126);
}

// Characters that end a string: every control character but the tab.
bool IsStringBreaker(QChar c)
{
    const char16_t u = c.unicode();
    return u <= 8 || (u >= 10 && u <= 31);
}

bool IsDecimalDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

// Splits "open,close" like a comma-separated list: first item opening, second closing.
void SplitPair(const QString& pair, QString& open, QString& close)
{
    const QStringList items = pair.split(QLatin1Char(','));
    open = items.value(0).trimmed();
    close = items.value(1).trimmed();
}

} // namespace

TscParser::TscParser()
{
    Clear();
    SetText(QString());
}

TscParser::TscParser(DefaultsTag)
{
    ResetSettings();
    SetText(QString());
}

const TscParser& TscParser::Defaults()
{
    static const TscParser defaults{DefaultsTag{}};
    return defaults;
}

void TscParser::Clear()
{
    CopySettingsFrom(Defaults());
}

void TscParser::CopySettingsFrom(const TscParser& other)
{
    Forget();
    FCaseSensitive = other.FCaseSensitive;
    FCommentBlock1 = other.FCommentBlock1;
    FCommentBlock2 = other.FCommentBlock2;
    FCommentBlock11 = other.FCommentBlock11;
    FCommentBlock12 = other.FCommentBlock12;
    FCommentBlock21 = other.FCommentBlock21;
    FCommentBlock22 = other.FCommentBlock22;
    FCommentLine1 = other.FCommentLine1;
    FCommentLine2 = other.FCommentLine2;
    FHexSequence = other.FHexSequence;
    FIdentifierCharset = other.FIdentifierCharset;
    FKeywords = other.FKeywords;
    FFoldedKeywords = other.FFoldedKeywords;
    FSkiPChar = other.FSkiPChar;
    FCommentStarts = other.FCommentStarts;
    FSkipEOL = other.FSkipEOL;
    FSkipSpace = other.FSkipSpace;
    FStringQuotes = other.FStringQuotes;
    FSpecStrChar = other.FSpecStrChar;
}

void TscParser::ResetSettings()
{
    Forget();
    FKeywords.clear();
    FFoldedKeywords.clear();
    FSpecStrChar = false;
    FCommentLine1 = QStringLiteral("//");
    FCommentLine2.clear();
    SetCommentBlock1(QStringLiteral("{,}"));
    SetCommentBlock2(QStringLiteral("(*,*)"));
    FHexSequence = QStringLiteral("$");
    FIdentifierCharset.reset();
    for (char16_t c = 'A'; c <= 'Z'; ++c)
        FIdentifierCharset.set(c);
    for (char16_t c = 'a'; c <= 'z'; ++c)
        FIdentifierCharset.set(c);
    for (char16_t c = '0'; c <= '9'; ++c)
        FIdentifierCharset.set(c);
    FIdentifierCharset.set('_');
    FSkiPChar.clear();
    FindCommentStarts();
    FSkipEOL = true;
    FStringQuotes = QStringLiteral("'");
    FSkipSpace = true;
    FCaseSensitive = false;
}

void TscParser::SetCommentBlock1(const QString& pair)
{
    Forget();
    FCommentBlock1 = pair;
    SplitPair(pair, FCommentBlock11, FCommentBlock12);
    FindCommentStarts();
}

void TscParser::SetCommentBlock2(const QString& pair)
{
    Forget();
    FCommentBlock2 = pair;
    SplitPair(pair, FCommentBlock21, FCommentBlock22);
    FindCommentStarts();
}

void TscParser::AddKeyword(const QString& word)
{
    Forget();
    const auto at = std::lower_bound(FKeywords.begin(), FKeywords.end(), word);
    FKeywords.insert(at, word);
    const QString folded = word.toCaseFolded();
    FFoldedKeywords.insert(std::lower_bound(FFoldedKeywords.begin(), FFoldedKeywords.end(), folded), folded);
}

void TscParser::SetKeywords(const QStringList& words)
{
    Forget();
    FKeywords.clear();
    FFoldedKeywords.clear();
    for (const QString& word : words)
        AddKeyword(word);
}

void TscParser::SetText(const QString& text)
{
    Forget();
    FText = text;
    FSize = static_cast<int>(text.size());
    FPosition = 1;
    FLastPosition = 1;
    RebuildLines();
}

void TscParser::RebuildLines()
{
    FYList.assign(1, 0);
    if (!FUseY)
        return;
    for (int i = 1; i <= FSize; ++i) {
        const QChar c = At(i);
        if (c.unicode() == kLF || (c.unicode() == kCR && At(i + 1).unicode() != kLF))
            FYList.push_back(i);
    }
}

void TscParser::ConstructCharset(const QString& s)
{
    Forget();
    FIdentifierCharset.reset();
    for (const QChar c : s)
        if (c.unicode() < 256)
            FIdentifierCharset.set(c.unicode());
}


bool TscParser::IsIdentChar(QChar c) const
{
    return c.unicode() >= 127 || FIdentifierCharset.test(c.unicode());
}

bool TscParser::IsIdentStart(QChar c) const
{
    return c.unicode() >= 127 || (FIdentifierCharset.test(c.unicode()) && !IsDecimalDigit(c));
}

bool TscParser::MatchesAt(int position, const QString& s) const
{
    if (s.isEmpty() || position < 1 || position + s.size() - 1 > FSize || FText[position - 1] != s.front())
        return false;
    return QStringView(FText).mid(position - 1, s.size()) == s;
}

bool TscParser::MatchesCommentLine(int position, const QString& marker) const
{
    if (marker.isEmpty() || position + marker.size() - 1 > FSize)
        return false;
    const QStringView here = QStringView(FText).mid(position - 1, marker.size());
    if (!IsIdentChar(marker.back()))
        return here == marker;
    // A word marker ("rem") is a comment only as a whole word, in any letter case.
    return here.compare(marker, Qt::CaseInsensitive) == 0 && !IsIdentChar(At(position + static_cast<int>(marker.size())));
}

void TscParser::SkipLineEnd()
{
    if (At(FPosition).unicode() == kCR)
        ++FPosition;
    if (At(FPosition).unicode() == kLF && FPosition <= FSize)
        ++FPosition;
}

void TscParser::FindCommentStarts()
{
    FCommentStarts.reset();
    for (char16_t u = 0; u < 128; ++u)
        if (MayStartCommentSlow(QChar(u)))
            FCommentStarts.set(u);
}

bool TscParser::MayStartCommentSlow(QChar c) const
{
    // The first characters of the markers, compared as the checks below compare them: word
    // markers in any letter case.
    for (const QString* marker : {&FCommentLine1, &FCommentLine2, &FCommentBlock11, &FCommentBlock21, &FSkiPChar}) {
        if (marker->isEmpty())
            continue;
        const QChar first = marker->front();
        if (first == c || (first.isLetter() && c.isLetter() && first.toCaseFolded() == c.toCaseFolded()))
            return true;
    }
    return false;
}

void TscParser::SkipSpaces()
{
    // Skipping is the same from the same place, and nothing is left to skip where it ended.
    if (FPosition == FSkipFrom || FPosition == FSkipTo) {
        FPosition = FSkipTo;
        FLastPosition = FPosition;
        return;
    }
    const int from = FPosition;
    bool lineEndPending = false; // a continuation character waits for its line end
    for (;;) {
        while (FPosition <= FSize && IsBlank(At(FPosition)))
            ++FPosition;
        if (lineEndPending && IsLineEnd(At(FPosition)) && FPosition <= FSize) {
            while (FPosition <= FSize && IsLineEnd(At(FPosition)))
                ++FPosition;
            lineEndPending = false;
            continue;
        }
        lineEndPending = false;
        if (FPosition <= FSize && !MayStartComment(At(FPosition)))
            break; // the usual case: a token starts here
        if (!FSkiPChar.isEmpty() && FPosition <= FSize && At(FPosition) == FSkiPChar[0]) {
            ++FPosition;
            lineEndPending = true;
            continue;
        }
        if (FPosition > FSize)
            break;
        if (MatchesCommentLine(FPosition, FCommentLine1) || MatchesCommentLine(FPosition, FCommentLine2)) {
            // Behind a statement, a line-oriented grammar keeps the line end for its eol rule;
            // a comment that begins a line disappears with its line end.
            const bool keepLineEnd = !FSkipEOL && FPosition > 1 && !IsLineEnd(At(FPosition - 1));
            while (FPosition <= FSize && !IsLineEnd(At(FPosition)))
                ++FPosition;
            if (!keepLineEnd)
                SkipLineEnd();
            continue;
        }
        QString close;
        int openLength = 0;
        if (!FCommentBlock11.isEmpty() && !FCommentBlock12.isEmpty() && MatchesAt(FPosition, FCommentBlock11)) {
            close = FCommentBlock12;
            openLength = static_cast<int>(FCommentBlock11.size());
        } else if (!FCommentBlock21.isEmpty() && !FCommentBlock22.isEmpty() && MatchesAt(FPosition, FCommentBlock21)) {
            close = FCommentBlock22;
            openLength = static_cast<int>(FCommentBlock21.size());
        }
        if (openLength == 0)
            break;
        // Block comments do not nest; an unclosed one runs to the end of the source.
        FPosition += openLength;
        while (FPosition <= FSize && !MatchesAt(FPosition, close))
            ++FPosition;
        FPosition = std::min(FPosition + static_cast<int>(close.size()), FSize + 1);
    }
    FLastPosition = FPosition;
    FSkipFrom = from;
    FSkipTo = FPosition;
}

bool TscParser::GetEOL()
{
    SkipSpaces();
    if (!IsLineEnd(At(FPosition)) || FPosition > FSize)
        return false;
    while (FPosition <= FSize && IsLineEnd(At(FPosition))) {
        while (FPosition <= FSize && IsLineEnd(At(FPosition)))
            ++FPosition;
        SkipSpaces();
    }
    return true;
}

QString TscParser::GetChar()
{
    if (FPosition > FSize || !IsPunctuation(At(FPosition)))
        return QString();
    const QChar c = At(FPosition++);
    if (c.unicode() < 128) {
        // Shared texts for the ASCII characters: grammars try many alternatives at one place.
        static const std::array<QString, 128> kAscii = [] {
            std::array<QString, 128> texts;
            for (char16_t u = 0; u < 128; ++u)
                texts[u] = QString(QChar(u));
            return texts;
        }();
        return kAscii[c.unicode()];
    }
    return QString(c);
}

QString TscParser::GetWord()
{
    if (FSkipSpace)
        SkipSpaces();
    const int start = FPosition;
    if (start == FWordStart) {
        FPosition = FWordEnd;
        return FWord;
    }
    if (FPosition > FSize || !IsIdentStart(At(FPosition)))
        return QString();
    while (FPosition <= FSize && IsIdentChar(At(FPosition)))
        ++FPosition;
    FWord = FText.mid(start - 1, FPosition - start);
    FWordIsKeyword = IsKeyWord(FWord);
    FWordStart = start;
    FWordEnd = FPosition;
    return FWord;
}

QString TscParser::GetIdent()
{
    const QString word = GetWord();
    if (word.isEmpty())
        return word;
    // The word just read is the remembered one.
    return FWordIsKeyword ? QString() : word;
}

bool TscParser::IsKeyWord(const QString& s) const
{
    if (s.isEmpty())
        return false;
    if (FCaseSensitive)
        return std::binary_search(FKeywords.begin(), FKeywords.end(), s);
    return std::binary_search(FFoldedKeywords.begin(), FFoldedKeywords.end(), s.toCaseFolded());
}

int TscParser::ReadDigits(int& position, bool hex) const
{
    int count = 0;
    while (position <= FSize && (hex ? HexDigitValue(At(position)) >= 0 : IsDecimalDigit(At(position)))) {
        ++position;
        ++count;
    }
    return count;
}

bool TscParser::ReadIntegerPart(int& position) const
{
    int p = position;
    bool hex = false;
    if (MatchesAt(p, FHexSequence)) {
        p += static_cast<int>(FHexSequence.size());
        hex = true;
    }
    if (ReadDigits(p, hex) == 0)
        return false;
    position = p;
    return true;
}

QString TscParser::GetNumber()
{
    if (FSkipSpace)
        SkipSpaces();
    const int start = FPosition;
    int p = start;
    if (!ReadIntegerPart(p))
        return QString();
    // A fraction needs digits behind the dot: "1..5" is 1 and "3." is 3, the dot stays.
    int real = p;
    bool isReal = true;
    if (At(real) == QLatin1Char('.')) {
        ++real;
        isReal = ReadDigits(real, false) > 0;
    }
    if (isReal && (At(real) == QLatin1Char('E') || At(real) == QLatin1Char('e'))) {
        int exponent = real + 1;
        if (At(exponent) == QLatin1Char('+') || At(exponent) == QLatin1Char('-'))
            ++exponent;
        if (ReadDigits(exponent, false) > 0)
            real = exponent;
    }
    FPosition = isReal ? real : p;
    QString token = FText.mid(start - 1, FPosition - start);
    if (!FHexSequence.isEmpty() && !(FHexSequence.size() == 1 && FHexSequence.front() == u'$'))
        token.replace(FHexSequence, QStringLiteral("$"));
    return token;
}

bool TscParser::ReadQuotedPart(QString& parts)
{
    if (FStringQuotes.isEmpty() || FPosition > FSize || At(FPosition) != FStringQuotes[0])
        return false;
    const QChar quote = FStringQuotes[0];
    const int opening = FPosition;
    QString part;
    int p = opening + 1;
    bool closed = false;
    // A string never spans lines: any control character but the tab ends it unclosed.
    while (p <= FSize && !IsStringBreaker(At(p))) {
        const QChar c = At(p);
        if (FSpecStrChar && c == QLatin1Char('\\')) {
            const QChar next = At(p + 1);
            const char16_t lower = next.toLower().unicode();
            if (p + 1 > FSize || IsStringBreaker(next))
                break;
            p += 2;
            if (lower == 'n') {
                part += QChar(kLF);
            } else if (lower == 'r') {
                part += QChar(kCR);
            } else if (lower == 'x') {
                uint64_t code = 0;
                int digits = 0;
                while (p <= FSize && HexDigitValue(At(p)) >= 0) {
                    code = std::min<uint64_t>(code * 16 + static_cast<uint64_t>(HexDigitValue(At(p))), kMaxCode + 1);
                    ++p;
                    ++digits;
                }
                if (code > kMaxCode)
                    break; // no such character: the string is not a token
                if (digits > 0)
                    part.append(QChar::fromUcs4(char32_t(code)));
            } else {
                part += next;
            }
            continue;
        }
        if (c == quote) {
            if (!FSpecStrChar && At(p + 1) == quote && p + 1 <= FSize) {
                part += quote;
                p += 2;
                continue;
            }
            closed = true;
            ++p;
            break;
        }
        part += c;
        ++p;
    }
    if (!closed) {
        FPosition = opening;
        return false;
    }
    FPosition = p;
    parts += part;
    return true;
}

bool TscParser::ReadCodePart(QString& parts)
{
    if (FPosition > FSize || At(FPosition) != QLatin1Char('#'))
        return false;
    int p = FPosition + 1;
    bool hex = false;
    if (MatchesAt(p, FHexSequence)) {
        p += static_cast<int>(FHexSequence.size());
        hex = true;
    }
    uint64_t code = 0;
    int digits = 0;
    while (p <= FSize && (hex ? HexDigitValue(At(p)) >= 0 : IsDecimalDigit(At(p)))) {
        const int value = hex ? HexDigitValue(At(p)) : At(p).unicode() - '0';
        code = std::min<uint64_t>(code * (hex ? 16 : 10) + static_cast<uint64_t>(value), kMaxCode + 1);
        ++p;
        ++digits;
    }
    if (digits == 0 || code > kMaxCode)
        return false;
    parts.append(QChar::fromUcs4(char32_t(code)));
    FPosition = p;
    return true;
}

QString TscParser::GetString()
{
    if (FSkipSpace)
        SkipSpaces();
    QString parts;
    bool any = false;
    while (ReadQuotedPart(parts) || ReadCodePart(parts))
        any = true;
    if (!any)
        return QString();
    return QLatin1Char('\'') + parts + QLatin1Char('\'');
}

QString TscParser::GetFRString()
{
    const int start = FPosition;
    int depth = 1;
    bool inApostrophes = false;
    bool inQuotes = false;
    int p = start;
    for (; p <= FSize; ++p) {
        const char16_t c = At(p).unicode();
        if (c == '"' && !inApostrophes) {
            inQuotes = !inQuotes;
        } else if (c == '\'' && !inQuotes) {
            inApostrophes = !inApostrophes;
        } else if (!inQuotes && !inApostrophes) {
            if (c == '<' || c == '[')
                ++depth;
            else if (c == '>' || c == ']')
                --depth;
            if (depth == 0)
                break;
        }
    }
    FPosition = p;
    return FText.mid(start - 1, p - start);
}

QString TscParser::GetXYPosition() const
{
    return XYPositionOf(FPosition);
}

QString TscParser::XYPositionOf(int position) const
{
    // The first line end at or after the position closes the position's row.
    const auto entry = std::lower_bound(FYList.begin(), FYList.end(), position);
    const int row = std::max(static_cast<int>(entry - FYList.begin()), 1);
    const int column = position - FYList[static_cast<size_t>(row - 1)];
    XYEntry& cached = FXYCache[static_cast<size_t>(row * 31 + column) % FXYCache.size()];
    if (cached.row == row && cached.column == column)
        return cached.text;
    // Made in one piece: every token of a compilation asks for its position.
    char text[24];
    char* end = std::to_chars(text, text + 11, row).ptr;
    *end++ = ':';
    end = std::to_chars(end, text + sizeof text, column).ptr;
    const auto length = static_cast<qsizetype>(end - text);
    QString made(length, Qt::Uninitialized);
    QChar* out = made.data();
    for (qsizetype i = 0; i < length; ++i)
        out[i] = QLatin1Char(text[i]);
    cached.row = row;
    cached.column = column;
    cached.text = made;
    return made;
}

int TscParser::GetPlainPosition(QPoint point) const
{
    const int index = point.y() - 1;
    if (index < 0 || index >= static_cast<int>(FYList.size()))
        return -1;
    return point.x() + FYList[static_cast<size_t>(index)];
}

bool TscParser::AtEndOfText()
{
    const int saved = FPosition;
    for (;;) {
        SkipSpaces();
        if (FPosition <= FSize && IsLineEnd(At(FPosition))) {
            ++FPosition;
            continue;
        }
        break;
    }
    const bool atEnd = FPosition > FSize;
    FPosition = saved;
    FLastPosition = saved;
    return atEnd;
}
