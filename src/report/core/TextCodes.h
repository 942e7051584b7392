#pragma once

#include <QString>
#include <QStringView>

// Character codes written as text, read the one way for every report library: hexadecimal
// digits (binary data, colours, ini values, script literals) and the character references of
// XML attribute values (the script engine's XML documents and the report XML files).

// The value of a hexadecimal digit (either case), or -1 for any other character.
int HexDigitValue(QChar c) noexcept;

// The code a numeric character reference's digits stand for: decimal digits only, 1 to
// 0x10FFFF; false for anything else (no digits, a non-digit, 0, past the last code).
bool ParseXMLCharacterCode(QStringView digits, char32_t& code) noexcept;

// How a dialect reads the references of its attribute values.
struct XMLReferenceRules {
    // Where, counted from the '&', the search for the ';' of "&#...;" starts.
    qsizetype SemicolonSearchFrom = 2;
    // Whether "&amp;", "&lt;" and "&gt;" are read besides "&quot;".
    bool AmpLtGt = false;
    // Raises the dialect's error for a numeric reference whose digits are no character code;
    // without it (or when it returns) such a reference stays as it is.
    void (*InvalidReference)(QStringView digits) = nullptr;
};

// One pass from left to right, a decoded character never looked at again: at an ampersand with
// at least three more characters, the next one '#' and a ';' found, "&#N;" becomes the
// character N (a surrogate pair above 0xFFFF); "&quot;" (and with AmpLtGt "&amp;", "&lt;",
// "&gt;") becomes its character; every other ampersand stays as it is.
QString UnescapeXMLReferences(QStringView text, const XMLReferenceRules& rules);
