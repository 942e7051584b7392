// Expressions inside view texts: bracket expansion, format specifications, numeric and
// Boolean display formats and the memo macros. The expected numbers of the format table were
// printed by Free Pascal's Format, FormatFloat and FormatDateTime with the C settings, the
// independent reference of the run-time library these formats follow.

#include "ReportModelTestClasses.h"
#include "UnderLocale.h"

#include "report/model/rpClass_expressions.h"

#include <gtest/gtest.h>

namespace {

QString Bracketed(const QString& expression)
{
    return QStringLiteral("<") + expression + QStringLiteral(">");
}

} // namespace

TEST(ViewExpressions, ExpandsBracketsFromLeftToRight)
{
    struct Case {
        const char* name;
        const char* text;
        const char* open;
        const char* close;
        const char* expected;
    };
    const Case cases[] = {
        {"words and one expression", "Итого: [Value]", "[", "]", "Итого: <Value>"},
        {"two expressions", "[A] и [B]", "[", "]", "<A> и <B>"},
        {"nested brackets stay inside", "[A[1]] end", "[", "]", "<A[1]> end"},
        {"a quoted bracket does not close", "[Copy('a]', 1)]", "[", "]", "<Copy('a]', 1)>"},
        {"other delimiters leave square brackets alone", "[A] <%B%>", "<%", "%>", "[A] <B>"},
        {"no expression", "plain text", "[", "]", "plain text"},
        {"never closed: left as it stands", "Итого [Value", "[", "]", "Итого [Value"},
        {"an empty pair ends the expansion", "[] [A]", "[", "]", "[] [A]"},
        {"the inserted text is not expanded again", "[Inner]", "[", "]", "<Inner>"},
    };
    for (const Case& c : cases) {
        const QString result = ExpandBracketedExpressions(QString::fromUtf8(c.text), QString::fromUtf8(c.open),
                                                          QString::fromUtf8(c.close), Bracketed);
        EXPECT_EQ(result, QString::fromUtf8(c.expected)) << c.name;
    }
    // A value that holds brackets itself is not evaluated again.
    const QString result =
        ExpandBracketedExpressions(u"[A] [B]", u"[", u"]", [](const QString& e) { return QStringLiteral("[") + e + QStringLiteral("]"); });
    EXPECT_EQ(result, u"[A] [B]");
}

TEST(ViewExpressions, FormatSpecifications)
{
    struct Case {
        const char* text;
        const char* expression;
        char16_t kind;
        const char* formatStr;
        const char* decimalSeparator;
    };
    const Case cases[] = {
        {"X #n%2,2f", "X", u'N', "%2.2f", ","},
        {"X #N#,##0-00", "X", u'N', "#.##0.00", "-"},
        {"D #ddd.mm.yyyy", "D", u'D', "dd.mm.yyyy", ""},
        {"T #thh:nn", "T", u'T', "hh:nn", ""},
        {"B #bНет,Да", "B", u'B', "Нет,Да", ""},
        {"Copy(S, 1, 2) #x)", "Copy(S, 1, 2) #x)", 0, "", ""},
        {"S #q12", "S", 0, "12", ""},
        {"No format", "No format", 0, "", ""},
        {"A#b", "A#b", 0, "", ""},
    };
    for (const Case& c : cases) {
        const TrpExpressionFormat format = SplitExpressionFormat(QString::fromUtf8(c.text));
        EXPECT_EQ(format.Expression, QString::fromUtf8(c.expression)) << c.text;
        EXPECT_EQ(format.KindLetter, QChar(c.kind)) << c.text;
        EXPECT_EQ(format.FormatStr, QString::fromUtf8(c.formatStr)) << c.text;
        EXPECT_EQ(format.DecimalSeparator, QString::fromUtf8(c.decimalSeparator)) << c.text;
        EXPECT_EQ(format.HasFormat, format.Expression != QString::fromUtf8(c.text)) << c.text;
    }
    // The format string is cut at 255 characters.
    const TrpExpressionFormat longFormat = SplitExpressionFormat(QStringLiteral("A #d") + QString(300, u'y'));
    EXPECT_EQ(longFormat.FormatStr.size(), kMaxFormatSpecification);
}

TEST(ViewExpressions, Macros)
{
    EXPECT_EQ(MacroOfExpression(u"TotalPages#"), u"[TotalPages#]");
    EXPECT_EQ(MacroOfExpression(u"copyname#"), u"[CopyName#]");
    EXPECT_EQ(MacroOfExpression(u"TotalPages"), QString());
    bool replaced = false;
    EXPECT_EQ(ReplaceMacros(u"Стр. [Page#] из [totalpages#], [TotalPages#]; [CopyName#]", 12, QStringLiteral("Копия 2"), replaced),
              u"Стр. [Page#] из 12, 12; Копия 2");
    EXPECT_TRUE(replaced);
    EXPECT_EQ(ReplaceMacros(u"[CopyName#]", 1, QString(), replaced), QString());
    EXPECT_TRUE(replaced);
    EXPECT_EQ(ReplaceMacros(u"no macros", 1, QStringLiteral("x"), replaced), u"no macros");
    EXPECT_FALSE(replaced);
    // A copy name holding the macro text is not replaced again.
    EXPECT_EQ(ReplaceMacros(u"[CopyName#]", 1, QStringLiteral("[CopyName#]"), replaced), u"[CopyName#]");
    EXPECT_EQ(ReplaceTotalPagesField(u"[TotalPages] and [TOTALPAGES]", 7), u"7 and [TOTALPAGES]");
}

class ViewFormatsUnderLocale : public testsupport::UnderLocale {};

TEST_P(ViewFormatsUnderLocale, NumericFormats)
{
    struct Case {
        double value;
        const char* formatStr;
        const char* decimalSeparator;
        const char* thousandSeparator;
        const char* expected;
    };
    const Case cases[] = {
        {3.14159, "%2.2f", "", "", "3.14"},
        {3.14159, "%2.2f", ",", "", "3,14"},
        {1234567.891, "#,##0.00", "", "", "1,234,567.89"},
        {1234567.891, "#,##0.00", ",", " ", "1 234 567,89"},
        // Swapped separators: the decimal place is found before the thousands change.
        {1234567.891, "#,##0.00", ",", ".", "1.234.567,89"},
        {1234567.891, "%n", "", "'", "1'234'567.89"},
        {42, "%d", "", "", "42"},
        {42, "%5d", "", "", "   42"},
        {7, "%.3d", "", "", "007"},
        {2.5, "0.000", "", "", "2.500"},
        {-2.25, "%10.1f", "", "", "      -2.3"},
        {0, "#.##", "", "", ""},
        {-3.25, "0.0;(0.0);zero", "", "", "(3.3)"},
        {1234567, "#,##0", "", "", "1,234,567"},
        // A separator of more than one character is not used.
        {3.5, "%2.2f", ",,", "", "3.50"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatNumericValue(Variant(c.value), QString::fromUtf8(c.formatStr), QString::fromUtf8(c.decimalSeparator),
                                     QString::fromUtf8(c.thousandSeparator), FormatSettings::C()),
                  QString::fromUtf8(c.expected))
            << c.formatStr << " " << c.value;
    }
}

TEST_P(ViewFormatsUnderLocale, NumericFormatsOfTheRussianSettings)
{
    // The settings' own separators are "," and a no-break space: a format asking for them
    // changes nothing, one asking for "." changes the decimal comma.
    const FormatSettings& ru = FormatSettings::RuRu();
    EXPECT_EQ(FormatNumericValue(Variant(3.14159), u"%2.2f"_qs, u","_qs, QString(), ru), u"3,14");
    EXPECT_EQ(FormatNumericValue(Variant(3.14159), u"%2.2f"_qs, u"."_qs, QString(), ru), u"3.14");
    EXPECT_EQ(FormatNumericValue(Variant(1234.5), u"#,##0.00"_qs, QString(), u" "_qs, ru), u"1 234,50");
    EXPECT_EQ(FormatNumericValue(Variant(QStringLiteral("2,5")), u"%.1f"_qs, QString(), QString(), ru), u"2,5");
}

TEST_P(ViewFormatsUnderLocale, NumericFormatErrorsRaise)
{
    const auto format = [](const Variant& value, const char* formatStr) {
        return FormatNumericValue(value, QString::fromUtf8(formatStr), QString(), QString(), FormatSettings::C());
    };
    // "%d" of a text that is no number, a format without a directive's argument, a width past
    // the limit: each fails cleanly, and the memo prints the plain text instead.
    EXPECT_THROW(format(Variant(QStringLiteral("abc")), "%d"), std::exception);
    EXPECT_THROW(format(Variant(1.5), "%s"), std::exception);
    EXPECT_THROW(format(Variant(1.5), "%99999f"), std::exception);
    EXPECT_THROW(format(Variant::NullValue(), "%2.2f"), std::exception);
}

DAX_INSTANTIATE_UNDER_LOCALES(ViewFormatsUnderLocale);

TEST(ViewExpressions, BooleanWords)
{
    const QString words = QStringLiteral("Нет,Да");
    EXPECT_EQ(FormatBooleanValue(Variant(true), words, FormatSettings::C()), u"Да");
    EXPECT_EQ(FormatBooleanValue(Variant(false), words, FormatSettings::C()), u"Нет");
    EXPECT_EQ(FormatBooleanValue(Variant(true), u"Нет,Да,Может"_qs, FormatSettings::C()), u"Да,Может");
    // Without a comma: the whole text for True, nothing for False.
    EXPECT_EQ(FormatBooleanValue(Variant(true), u"Да"_qs, FormatSettings::C()), u"Да");
    EXPECT_EQ(FormatBooleanValue(Variant(false), u"Да"_qs, FormatSettings::C()), QString());
}

TEST(ViewExpressions, ZerosThatHideZerosHides)
{
    EXPECT_TRUE(IsZeroValue(Variant(0), FormatSettings::C()));
    EXPECT_TRUE(IsZeroValue(Variant(0.0), FormatSettings::C()));
    EXPECT_TRUE(IsZeroValue(Variant(int64_t{0}), FormatSettings::C()));
    EXPECT_FALSE(IsZeroValue(Variant(12.5), FormatSettings::C()));
    EXPECT_FALSE(IsZeroValue(Variant(QStringLiteral("0")), FormatSettings::C()));
    EXPECT_FALSE(IsZeroValue(Variant::NullValue(), FormatSettings::C()));
}
