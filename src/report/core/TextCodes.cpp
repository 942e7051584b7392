#include "TextCodes.h"


int HexDigitValue(QChar c) noexcept
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

bool ParseXMLCharacterCode(QStringView digits, char32_t& code) noexcept
{
    if (digits.isEmpty())
        return false;
    uint32_t value = 0;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return false;
        value = value * 10 + (c.unicode() - u'0');
        if (value > 0x10FFFF)
            return false;
    }
    if (value == 0)
        return false;
    code = value;
    return true;
}

namespace {

struct NamedReference {
    QStringView Text;
    QChar Character;
    bool AmpLtGt; // read only where the dialect reads these
};

const NamedReference kNamedReferences[] = {
    {u"&quot;", u'"', false}, {u"&amp;", u'&', true}, {u"&lt;", u'<', true}, {u"&gt;", u'>', true}};

} // namespace

QString UnescapeXMLReferences(QStringView text, const XMLReferenceRules& rules)
{
    if (!text.contains(u'&'))
        return text.toString();
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text[i];
        if (c != u'&') {
            out += c;
            ++i;
            continue;
        }
        if (n - i - 1 >= 3 && text[i + 1] == u'#') {
            const qsizetype semicolon = text.indexOf(u';', i + rules.SemicolonSearchFrom);
            if (semicolon >= 0) {
                const QStringView digits = text.mid(i + 2, semicolon - i - 2);
                char32_t code = 0;
                if (ParseXMLCharacterCode(digits, code)) {
                    out += QChar::fromUcs4(code);
                    i = semicolon + 1;
                    continue;
                }
                if (rules.InvalidReference != nullptr)
                    rules.InvalidReference(digits);
            }
            // No ';' anywhere after it: the "&#" is plain text.
        }
        bool named = false;
        for (const NamedReference& reference : kNamedReferences) {
            if ((rules.AmpLtGt || !reference.AmpLtGt) && text.mid(i, reference.Text.size()) == reference.Text) {
                out += reference.Character;
                i += reference.Text.size();
                named = true;
                break;
            }
        }
        if (!named) {
            out += c;
            ++i;
        }
    }
    return out;
}
