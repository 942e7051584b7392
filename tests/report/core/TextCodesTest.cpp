// Character codes in texts: hexadecimal digits, and the character references of XML attribute
// values under the two dialects' rules (the script engine's documents and the report files).

#include "report/core/TextCodes.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>

namespace {

TEST(TextCodes, HexDigits)
{
    const QString digits = QStringLiteral("0123456789abcdefABCDEF");
    const int values[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 10, 11, 12, 13, 14, 15};
    for (qsizetype i = 0; i < digits.size(); ++i)
        EXPECT_EQ(HexDigitValue(digits[i]), values[i]) << digits[i].toLatin1();
    for (const char16_t c : {u'g', u'G', u' ', u'/', u':', u'@', u'`', u'Ж', u'\u0660'})
        EXPECT_EQ(HexDigitValue(QChar(c)), -1);
}

struct BadReference : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void Raise(QStringView digits)
{
    throw BadReference(digits.toString().toStdString());
}

constexpr XMLReferenceRules kReport{3, true, Raise};
constexpr XMLReferenceRules kScript{2, false, Raise};

struct UnescapeCase {
    const char* Name;
    const char16_t* Text;
    std::optional<std::u16string> Report; // none: raises
    std::optional<std::u16string> Script; // none: raises
};

void PrintTo(const UnescapeCase& c, std::ostream* out)
{
    *out << c.Name;
}

class Unescaping : public testing::TestWithParam<UnescapeCase> {};

TEST_P(Unescaping, FollowsEachDialect)
{
    const UnescapeCase& c = GetParam();
    for (const auto& [rules, expected] : {std::pair{kReport, c.Report}, std::pair{kScript, c.Script}}) {
        SCOPED_TRACE(rules.AmpLtGt ? "report" : "script");
        if (expected) {
            EXPECT_EQ(UnescapeXMLReferences(QStringView(c.Text), rules), QString::fromStdU16String(*expected));
        } else {
            EXPECT_THROW(UnescapeXMLReferences(QStringView(c.Text), rules), BadReference);
        }
    }
}

const UnescapeCase kUnescapeCases[] = {
    {"plain", u"abc", u"abc", u"abc"},
    {"decimal", u"&#65;&#1046;", u"AЖ", u"AЖ"},
    {"past_16_bits", u"&#128512;", u"\U0001F600", u"\U0001F600"},
    {"quot", u"&quot;x&quot;", u"\"x\"", u"\"x\""},
    {"amp_lt_gt", u"&amp;&lt;&gt;", u"&<>", u"&amp;&lt;&gt;"},
    {"one_pass", u"&amp;lt;", u"&lt;", u"&amp;lt;"},
    {"no_semicolon", u"&#65x", u"&#65x", u"&#65x"},
    {"too_short", u"&#6", u"&#6", u"&#6"},
    {"ampersand_last", u"a&", u"a&", u"a&"},
    {"other_named", u"&apos;", u"&apos;", u"&apos;"},
    {"not_digits", u"&#6x;", std::nullopt, std::nullopt},
    {"zero", u"&#0;", std::nullopt, std::nullopt},
    {"past_the_last_code", u"&#1114112;", std::nullopt, std::nullopt},
    // The report files look for the ';' one character later.
    {"empty_digits", u"&#;x", u"&#;x", std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(References, Unescaping, testing::ValuesIn(kUnescapeCases));

} // namespace
