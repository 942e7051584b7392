#pragma once

// The lexer of the script engine. It has no fixed token set: the grammar-driven parser asks
// it, at the current position, for one kind of token at a time and moves the position back
// itself when a rule fails. It is configured from a grammar's "parser" section. Positions are
// 1-based indexes of UTF-16 units; rows and columns count from 1, and a carriage return, a
// line feed or the pair of them each end a line.
//
// No reader ever throws or reads outside the text: a missing token is an empty string and the
// position is where it was (for GetIdent on a keyword: behind the word).

#include <QPoint>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <array>
#include <bitset>
#include <vector>

// The characters allowed in identifiers, over the codes 0 to 255. Code units of 127 and more
// are identifier characters anyway (the Cyrillic letters of Russian scripts).
using TscIdentifierCharset = std::bitset<256>;

class TscParser {
public:
    TscParser();

    // Every setting back to its default: no keywords, no backslash escapes, "//" line comments,
    // "{,}" and "(*,*)" block comments, "$" hexadecimal prefix, letters, digits and underscore
    // in identifiers, no line continuation, line ends as blanks, "'" string quotes, blanks
    // skipped before tokens, case-insensitive keywords and no second line-comment marker.
    void Clear();
    // Every setting (keywords, comments, quotes, identifier characters, flags; not the text,
    // the position or UseY) as another parser has them.
    void CopySettingsFrom(const TscParser& other);

    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool on) { FCaseSensitive = on; Forget(); }
    const QString& CommentBlock1() const { return FCommentBlock1; }
    void SetCommentBlock1(const QString& pair);
    const QString& CommentBlock2() const { return FCommentBlock2; }
    void SetCommentBlock2(const QString& pair);
    const QString& CommentLine1() const { return FCommentLine1; }
    void SetCommentLine1(const QString& marker) { FCommentLine1 = marker; Forget(); FindCommentStarts(); }
    const QString& CommentLine2() const { return FCommentLine2; }
    void SetCommentLine2(const QString& marker) { FCommentLine2 = marker; Forget(); FindCommentStarts(); }
    const QString& HexSequence() const { return FHexSequence; }
    void SetHexSequence(const QString& prefix) { FHexSequence = prefix; Forget(); }
    const TscIdentifierCharset& IdentifierCharset() const { return FIdentifierCharset; }
    void SetIdentifierCharset(const TscIdentifierCharset& set) { FIdentifierCharset = set; Forget(); }
    // The reserved words, kept sorted.
    const QStringList& Keywords() const { return FKeywords; }
    void AddKeyword(const QString& word);
    void SetKeywords(const QStringList& words);
    const QString& SkiPChar() const { return FSkiPChar; }
    void SetSkiPChar(const QString& c) { FSkiPChar = c; Forget(); FindCommentStarts(); }
    bool SkipEOL() const { return FSkipEOL; }
    void SetSkipEOL(bool on) { FSkipEOL = on; Forget(); }
    bool SkipSpace() const { return FSkipSpace; }
    void SetSkipSpace(bool on) { FSkipSpace = on; Forget(); }
    const QString& StringQuotes() const { return FStringQuotes; }
    void SetStringQuotes(const QString& quotes) { FStringQuotes = quotes; Forget(); }
    bool SpecStrChar() const { return FSpecStrChar; }
    void SetSpecStrChar(bool on) { FSpecStrChar = on; Forget(); }
    bool UseY() const { return FUseY; }
    void SetUseY(bool on) { FUseY = on; Forget(); }

    int Position() const { return FPosition; }
    // Sets the position and the last token start (clamped to 1..Size+1).
    void SetPosition(int position)
    {
        FPosition = std::clamp(position, 1, FSize + 1);
        FLastPosition = FPosition;
    }
    // Where the last token started (set at the end of every blank skipping).
    int LastPosition() const { return FLastPosition; }
    int Size() const { return FSize; }
    const QString& Text() const { return FText; }
    // Stores the source, goes to position 1 and rebuilds the line table.
    void SetText(const QString& text);

    // Identifier characters := exactly the characters of s below code 256.
    void ConstructCharset(const QString& s);

    // Skips blanks, line continuations and comments.
    void SkipSpaces();
    // After blanks, one or more line ends (with the blanks, comments and empty lines between
    // them); false, not moving, when no line end follows.
    bool GetEOL();
    // One punctuation character (no blank skipping).
    QString GetChar();
    QString GetWord();
    // A word that is not a keyword.
    QString GetIdent();
    // A decimal, real or hexadecimal number; the hexadecimal prefix comes out as "$".
    QString GetNumber();
    // A string of quoted parts and "#code" parts, given back between apostrophes whatever the
    // grammar's quote character.
    QString GetString();
    // The raw text of a report expression up to the '>' that closes it (the position stays on
    // that character).
    QString GetFRString();
    bool IsKeyWord(const QString& s) const;
    // "row:col" of the current position.
    QString GetXYPosition() const;
    QString XYPositionOf(int position) const;
    // Plain position of (column x, row y); -1 when the row is outside the text.
    int GetPlainPosition(QPoint point) const;

    // True when only blanks, comments and line ends follow the current position.
    bool AtEndOfText();

private:
    struct DefaultsTag {};
    // Forgets what the readers remembered (the settings or the text changed).
    void Forget()
    {
        FSkipFrom = -1;
        FSkipTo = -1;
        FWordStart = -1;
    }
    explicit TscParser(DefaultsTag);
    // The settings Clear gives, made once.
    static const TscParser& Defaults();
    void ResetSettings();

    // The unit at a 1-based position, NUL outside the text.
    QChar At(int position) const { return position >= 1 && position <= FSize ? FText[position - 1] : QChar(0); }
    bool IsBlank(QChar c) const
    {
        if (c.unicode() > 32)
            return false;
        // In a line-oriented grammar line ends are tokens of their own.
        return FSkipEOL || (c.unicode() != 10 && c.unicode() != 13);
    }
    bool IsIdentChar(QChar c) const;
    bool IsIdentStart(QChar c) const;
    bool MatchesAt(int position, const QString& s) const;
    // Whether a comment or the continuation character may begin with c.
    bool MayStartComment(QChar c) const
    {
        return c.unicode() < 128 ? FCommentStarts.test(c.unicode()) : MayStartCommentSlow(c);
    }
    bool MayStartCommentSlow(QChar c) const;
    // Works out FCommentStarts (after a marker changed).
    void FindCommentStarts();
    bool MatchesCommentLine(int position, const QString& marker) const;
    // Reads one or more digits (hexadecimal when hex) from position; returns the count read.
    int ReadDigits(int& position, bool hex) const;
    // The integer part of a number at position (step over the prefix, then digits).
    bool ReadIntegerPart(int& position) const;
    void SkipLineEnd(); // one line end: CR LF, CR or LF
    bool ReadQuotedPart(QString& parts);
    bool ReadCodePart(QString& parts);
    void RebuildLines();

    bool FCaseSensitive = false;
    std::bitset<128> FCommentStarts; // the ASCII characters MayStartComment holds for
    QString FCommentBlock1;
    QString FCommentBlock2;
    QString FCommentBlock11, FCommentBlock12; // split delimiters of the first pair
    QString FCommentBlock21, FCommentBlock22; // and of the second
    QString FCommentLine1;
    QString FCommentLine2;
    QString FHexSequence;
    TscIdentifierCharset FIdentifierCharset;
    QStringList FKeywords;           // sorted
    QStringList FFoldedKeywords;     // case-folded and sorted, for the case-insensitive lookup
    int FLastPosition = 1;
    int FPosition = 1;
    int FSize = 0;
    QString FSkiPChar;
    bool FSkipEOL = true;
    bool FSkipSpace = true;
    QString FStringQuotes;
    QString FText;
    bool FUseY = true;
    std::vector<int> FYList; // entry 0 is 0; entry k the position of the last unit of the k-th line end
    bool FSpecStrChar = false;
    // The grammar asks for the same blanks and words at one place again and again, once for
    // each alternative it tries: the last answers, by the place they started.
    int FSkipFrom = -1; // SkipSpaces from here (or from FSkipTo itself) ends at FSkipTo
    int FSkipTo = -1;
    // "row:col" texts made lately, by row and column: they depend on nothing else, so they
    // stay valid from one text to the next (expressions evaluated one after another ask for
    // the same few places).
    struct XYEntry {
        int row = -1;
        int column = -1;
        QString text;
    };
    mutable std::array<XYEntry, 64> FXYCache;
    int FWordStart = -1; // GetWord at this place gives FWord, ending at FWordEnd
    int FWordEnd = -1;
    QString FWord;
    bool FWordIsKeyword = false;
};
