// FormatMaskText: an edit mask applied to a text.

#include "Formats.h"

#include <vector>

namespace {

enum class CaseMode { Keep, Upper, Lower };

// One output position of a mask.
struct MaskPosition {
    bool Input = false; // takes a character of the text
    QChar Literal;      // what a literal position writes
    CaseMode Case = CaseMode::Keep;
};

bool IsInputCharacter(QChar c)
{
    switch (c.unicode()) {
    case u'L':
    case u'l':
    case u'A':
    case u'a':
    case u'C':
    case u'c':
    case u'0':
    case u'9':
    case u'#':
        return true;
    default:
        return false;
    }
}

// The positions of "mask[;save[;blank]]": the mask part ends at the second ";" from the end
// that no "\" escapes.
struct ParsedMask {
    std::vector<MaskPosition> Positions;
    bool SaveLiterals = true;
    bool LeadingBlanks = false;
};

ParsedMask Parse(QStringView mask, const FormatSettings& settings)
{
    // Field separators: unescaped ";", at most the last two.
    std::vector<qsizetype> separators;
    for (qsizetype i = 0; i < mask.size(); ++i) {
        if (mask[i] == u'\\') {
            ++i;
            continue;
        }
        if (mask[i] == u';')
            separators.push_back(i);
    }
    if (separators.size() > 2)
        separators.erase(separators.begin(), separators.end() - 2);
    ParsedMask parsed;
    QStringView body = mask;
    if (!separators.empty()) {
        body = mask.left(separators[0]);
        const qsizetype saveStart = separators[0] + 1;
        const qsizetype saveEnd = separators.size() > 1 ? separators[1] : mask.size();
        const QStringView save = mask.mid(saveStart, saveEnd - saveStart);
        parsed.SaveLiterals = save.isEmpty() || save[0] != u'0';
    }
    CaseMode mode = CaseMode::Keep;
    for (qsizetype i = 0; i < body.size(); ++i) {
        const QChar c = body[i];
        MaskPosition position;
        if (c == u'\\') {
            if (i + 1 >= body.size())
                break;
            position.Literal = body[++i];
        } else if (c == u'<' && i + 1 < body.size() && body[i + 1] == u'>') {
            mode = CaseMode::Keep;
            ++i;
            continue;
        } else if (c == u'>') {
            mode = CaseMode::Upper;
            continue;
        } else if (c == u'<') {
            mode = CaseMode::Lower;
            continue;
        } else if (c == u'!') {
            parsed.LeadingBlanks = true;
            continue;
        } else if (IsInputCharacter(c)) {
            position.Input = true;
            position.Case = mode;
        } else if (c == u'_') {
            position.Literal = u' ';
        } else if (c == u':') {
            position.Literal = settings.TimeSeparator;
        } else if (c == u'/') {
            position.Literal = settings.DateSeparator;
        } else {
            position.Literal = c;
        }
        parsed.Positions.push_back(position);
    }
    return parsed;
}

QChar Cased(QChar c, CaseMode mode)
{
    switch (mode) {
    case CaseMode::Upper:
        return c.toUpper();
    case CaseMode::Lower:
        return c.toLower();
    case CaseMode::Keep:
        break;
    }
    return c;
}

} // namespace

QString FormatMaskText(QStringView mask, QStringView value, const FormatSettings& settings)
{
    const ParsedMask parsed = Parse(mask, settings);
    if (parsed.Positions.empty())
        return value.toString();

    // The characters of the text that go to input positions, in order.
    QString characters;
    if (parsed.SaveLiterals) {
        qsizetype at = 0;
        for (const MaskPosition& position : parsed.Positions) {
            if (at >= value.size())
                break;
            if (position.Input)
                characters += value[at++];
            else if (value[at] == position.Literal)
                ++at;
        }
    } else {
        characters = value.toString();
    }
    qsizetype inputs = 0;
    for (const MaskPosition& position : parsed.Positions)
        inputs += position.Input ? 1 : 0;
    if (characters.size() > inputs)
        characters.truncate(inputs);
    if (parsed.LeadingBlanks && characters.size() < inputs)
        characters.prepend(QString(inputs - characters.size(), u' '));

    QString out;
    out.reserve(static_cast<qsizetype>(parsed.Positions.size()));
    qsizetype next = 0;
    for (const MaskPosition& position : parsed.Positions) {
        if (!position.Input) {
            out += position.Literal;
        } else if (next < characters.size()) {
            out += Cased(characters[next++], position.Case);
        } else {
            out += u' ';
        }
    }
    return out;
}
