// The formatting routines as tables of cases under the C and the Russian settings. Each
// table also runs under the C library's C and ru_RU.UTF-8 locales, which must change nothing.
// Where Free Pascal has the routine, the C cases agree with it except where noted.

#include "report/core/Formats.h"
#include "report/core/QuotedText.h"

#include "platform/DateTime.h"

#include "UnderLocale.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QLocale>

#include <vector>

namespace {

const FormatSettings& Settings(char set)
{
    return set == 'R' ? FormatSettings::RuRu() : FormatSettings::C();
}

// ---------------------------------------------------------------- Format

struct FormatCase {
    const char* format;
    std::vector<Variant> args;
    char set; // 'C' or 'R'
    const char* expected; // nullptr: EConvertError
};

class FormatTable : public testsupport::UnderLocale {};

TEST_P(FormatTable, Cases)
{
    const Variant big = Variant(QString(300, u'x'));
    const std::vector<FormatCase> cases = {
        {"%d", {Variant(42)}, 'C', "42"},
        {"%5d|%-5d|", {Variant(42), Variant(42)}, 'C', "   42|42   |"},
        {"%.5d", {Variant(-12)}, 'C', "-00012"},
        {"%5.3d", {Variant(7)}, 'C', "  007"},
        {"%u", {Variant(-1)}, 'C', "4294967295"},
        {"%u", {Variant(int64_t{-1})}, 'C', "18446744073709551615"},
        {"%x", {Variant(255)}, 'C', "FF"},
        {"%.4x", {Variant(255)}, 'C', "00FF"},
        {"%x", {Variant(-1)}, 'C', "FFFFFFFF"},
        {"%x", {Variant(int64_t{-1})}, 'C', "FFFFFFFFFFFFFFFF"},
        {"%d", {Variant(INT64_MAX)}, 'C', "9223372036854775807"},
        {"%p", {Variant(255)}, 'C', "000000FF"},
        // 15 significant digits: a double has no more (Free Pascal shows 17 of its extended).
        {"%e", {Variant(1.5)}, 'C', "1.50000000000000E+000"},
        {"%.3e", {Variant(12345.678)}, 'C', "1.23E+004"},
        {"%e", {Variant(-1.5e-300)}, 'C', "-1.50000000000000E-300"},
        {"%10.4e|", {Variant(1.5)}, 'C', "1.500E+000|"},
        {"%f", {Variant(1.005)}, 'C', "1.01"},
        {"%.0f", {Variant(2.5)}, 'C', "3"},
        {"%.0f", {Variant(3.5)}, 'C', "4"},
        {"%.2f", {Variant(2.675)}, 'C', "2.68"},
        {"%.1f", {Variant(0.05)}, 'C', "0.1"},
        {"%.1f", {Variant(0.25)}, 'C', "0.3"},
        {"%.3f", {Variant(-0.0004)}, 'C', "0.000"},
        {"%f", {Variant(1e20)}, 'C', "100000000000000000000.00"},
        {"%.20f", {Variant(0.1)}, 'C', "0.100000000000000000"},
        {"%f", {Variant::FromDateTime(1.5)}, 'C', "1.50"},
        {"%g", {Variant(1.5)}, 'C', "1.5"},
        {"%g", {Variant(1e20)}, 'C', "1E20"},
        {"%g", {Variant(0.00001)}, 'C', "0.00001"},
        {"%.3g", {Variant(1234.5)}, 'C', "1.23E3"},
        {"%g", {Variant(123456789012345.0)}, 'C', "123456789012345"},
        {"%n", {Variant(1234567.891)}, 'C', "1,234,567.89"},
        {"%.0n", {Variant(1234567.5)}, 'C', "1,234,568"},
        {"%n", {Variant(-1234.5)}, 'C', "-1,234.50"},
        {"%m", {Variant(1234.5)}, 'C', "$1,234.50"},
        {"%m", {Variant(-1234.5)}, 'C', "($1,234.50)"},
        {"%s", {Variant("abc")}, 'C', "abc"},
        {"%.2s", {Variant("abc")}, 'C', "ab"},
        {"%5s|%-5s|", {Variant("ab"), Variant("ab")}, 'C', "   ab|ab   |"},
        {"%5.1s|", {Variant("abc")}, 'C', "    a|"},
        {"%1:s %0:s", {Variant("a"), Variant("b")}, 'C', "b a"},
        {"%0:s%s%s", {Variant("a"), Variant("b"), Variant("c")}, 'C', "abc"},
        {"%*d", {Variant(5), Variant(42)}, 'C', "   42"},
        {"%-*.*f|", {Variant(8), Variant(2), Variant(3.14159)}, 'C', "3.14    |"},
        {"%%", {}, 'C', "%"},
        {"%d%%", {Variant(5)}, 'C', "5%"},
        {"%D %S %X", {Variant(1), Variant("s"), Variant(10)}, 'C', "1 s A"},
        // Texts are never cut.
        {"%s", {big}, 'C', nullptr},
        // Mismatches, missing arguments, bad directives, limits.
        {"%s", {Variant(42)}, 'C', nullptr},
        {"%d", {Variant("x")}, 'C', nullptr},
        {"%d", {Variant(1.5)}, 'C', nullptr},
        {"%f", {Variant(42)}, 'C', nullptr},
        {"%s", {Variant(true)}, 'C', nullptr},
        {"%d", {Variant::NullValue()}, 'C', nullptr},
        {"%s", {Variant()}, 'C', nullptr},
        {"%s %s", {Variant("a")}, 'C', nullptr},
        {"%2:s", {Variant("a")}, 'C', nullptr},
        {"%z", {Variant(1)}, 'C', nullptr},
        {"%-", {Variant(1)}, 'C', nullptr},
        {"abc%", {}, 'C', nullptr},
        {"%5000d", {Variant(1)}, 'C', nullptr},
        {"%.5000d", {Variant(1)}, 'C', nullptr},
        {"%*d", {Variant(-1), Variant(1)}, 'C', nullptr},
        {"%*d", {Variant("5"), Variant(1)}, 'C', nullptr},
        {"%99999999999999999999d", {Variant(1)}, 'C', nullptr},
        // The Russian set.
        {"%f", {Variant(1234.5)}, 'R', "1234,50"},
        {"%n", {Variant(1234567.891)}, 'R', "1\u00A0234\u00A0567,89"},
        {"%m", {Variant(1234.5)}, 'R', "1\u00A0234,50 ₽"},
        {"%m", {Variant(-1234.5)}, 'R', "-1\u00A0234,50 ₽"},
        {"%e", {Variant(1.5)}, 'R', "1,50000000000000E+000"},
        {"%g", {Variant(0.5)}, 'R', "0,5"},
        {"%d", {Variant(-1234567)}, 'R', "-1234567"},
    };
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(std::string(c.format) + " [" + c.set + "]");
        if (c.expected == nullptr && std::string(c.format) == "%s" && c.args.size() == 1 && c.args[0].IsString()) {
            // The long text: no cut at 255 characters.
            EXPECT_EQ(Format(QString::fromUtf8(c.format), c.args, Settings(c.set)), QString(300, u'x'));
            continue;
        }
        if (c.expected == nullptr) {
            try {
                Format(QString::fromUtf8(c.format), c.args, Settings(c.set));
                ADD_FAILURE() << "no error";
            } catch (const EConvertError& e) {
                EXPECT_EQ(std::string(e.what()),
                          "Format '" + std::string(c.format) + "' invalid or incompatible with argument");
            }
            continue;
        }
        EXPECT_EQ(Format(QString::fromUtf8(c.format), c.args, Settings(c.set)).toStdString(), c.expected);
    }
}

DAX_INSTANTIATE_UNDER_LOCALES(FormatTable);

// ---------------------------------------------------------------- FormatFloat

struct FloatCase {
    const char* format;
    double value;
    char set;
    const char* expected;
};

class FormatFloatTable : public testsupport::UnderLocale {};

TEST_P(FormatFloatTable, Cases)
{
    const FloatCase cases[] = {
        {"#,##0.00", 1234.5, 'C', "1,234.50"},
        {"0.00", 2.675, 'C', "2.68"}, // on its 15 digits; Free Pascal rounds its binary value down
        {"#.##", 0, 'C', ""},
        {"0", 2.5, 'C', "3"},
        {"0", 3.5, 'C', "4"},
        {"0", -2.5, 'C', "-3"},
        {"#,##0", 1234567, 'C', "1,234,567"},
        {"0.000E+00", 12345, 'C', "1.235E+04"},
        {"0.0E-0", 0.00012, 'C', "1.2E-4"},
        {"#.###E+0", 0, 'C', "0E+0"},
        {"0.00E+00", -1.5e-300, 'C', "-1.50E-300"},
        {"0.00E00", 15, 'C', "15.00E00"},
        {"0.00;(0.00);zero", -5, 'C', "(5.00)"},
        {"0.00;(0.00);zero", 0, 'C', "zero"},
        {"0.00;;zero", -5, 'C', "-5.00"}, // an empty section uses the first (Free Pascal: "-5")
        {";(0)", 5, 'C', "5"},
        {"'abc'0", 5, 'C', "abc5"},
        {"\"x\"#", 12, 'C', "x12"},
        {"0 '%'", 50, 'C', "50 %"},
        {"0 ';' 0", 5, 'C', "0 ; 5"},
        {"", 1.5, 'C', "1.5"},
        {"#", 0, 'C', ""},
        {"0.##", 1.5, 'C', "1.5"},
        {"0.##", 1, 'C', "1"},
        {"00000", 42, 'C', "00042"},
        {"#,##0.00", -1234567.891, 'C', "-1,234,567.89"},
        {"0.0", 1e20, 'C', "1E20"},
        {"0.0", 1e17, 'C', "100000000000000000.0"},
        {"0.00", 1e-20, 'C', "0.00"},
        {"#", 0.4, 'C', ""},
        {"0.#", 0.04, 'C', "0"},
        {"#,#", 1234, 'C', "1,234"},
        {"0,000", 12, 'C', "0,012"},
        {"###", 1234, 'C', "1234"},
        {"0.000", 1.0 / 3, 'C', "0.333"},
        {"0.00", 12345678901234567890.0, 'C', "1.23456789012346E19"},
        {"0.00,", 1234, 'C', "1,234.00"},
        {".00", 12.5, 'C', "12.50"},
        {"00-00", 1234, 'C', "12-34"},
        {"$#,##0.00", 1234.5, 'C', "$1,234.50"},
        {"0.000000000000000000000000", 0.1, 'C', "0.100000000000000000000000"},
        {"#,##0.00", 1234.5, 'R', "1\u00A0234,50"},
        {"0.00", -0.5, 'R', "-0,50"},
        {"0.0E+00", 1234, 'R', "1,2E+03"},
    };
    for (const FloatCase& c : cases) {
        SCOPED_TRACE(std::string(c.format) + " " + std::to_string(c.value) + " [" + c.set + "]");
        EXPECT_EQ(FormatFloat(QString::fromUtf8(c.format), c.value, Settings(c.set)).toStdString(), c.expected);
    }
}

DAX_INSTANTIATE_UNDER_LOCALES(FormatFloatTable);

// ---------------------------------------------------------------- FormatDateTime

struct DateCase {
    const char* format;
    double value;
    char set;
    const char* expected;
};

class FormatDateTimeTable : public testsupport::UnderLocale {};

TEST_P(FormatDateTimeTable, Cases)
{
    const double t = EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 45);
    const double date = EncodeDate(2024, 3, 5);
    const DateCase cases[] = {
        {"yyyy-mm-dd hh:nn:ss.zzz", t, 'C', "2024-03-05 14:07:09.045"},
        {"d/m/yy h:n:s.z", t, 'C', "5-3-24 14:7:9.45"},
        {"ddd dddd mmm mmmm", t, 'C', "Tue Tuesday Mar March"},
        {"ddddd", t, 'C', "2024-03-05"},
        {"dddddd", t, 'C', "2024-03-05"},
        {"c", t, 'C', "2024-03-05 14:07:09"},
        {"c", date, 'C', "2024-03-05"},
        {"", t, 'C', "2024-03-05 14:07:09"},
        {"t", t, 'C', "14:07"},
        {"tt", t, 'C', "14:07:09"},
        {"h:mm", t, 'C', "14:07"},
        {"hh:mm:ss mm", t, 'C', "14:07:09 03"},
        {"mm/dd", t, 'C', "03-05"},
        {"h am/pm", t, 'C', "2 pm"},
        {"h AM/PM", t, 'C', "2 PM"},
        {"h a/p", t, 'C', "2 p"},
        {"h ampm", t, 'C', "2 PM"},
        {"hh am/pm", EncodeTime(0, 30, 0, 0), 'C', "12 am"},
        {"hh am/pm", EncodeTime(12, 30, 0, 0), 'C', "12 pm"},
        {"\"quoted\" 'q' yyyy", t, 'C', "quoted q 2024"},
        {"yyy", t, 'C', "2024"},
        {"y", t, 'C', "24"},
        {"mmmmm", t, 'C', "March"},
        {"hhh nnn sss zz", t, 'C', "14 07 09 045"},
        {"c", 0, 'C', "1899-12-30"},
        {"c", 0.5, 'C', "1899-12-30 12:00:00"},
        {"m/d/y h:n", -1.25, 'C', "12-29-99 6:0"},
        {"dddd", 0, 'C', "Saturday"},
        {"dddd", 1, 'C', "Sunday"},
        {"d mmmm yyyy", EncodeDate(1, 1, 1), 'C', "1 January 0001"},
        {"yyyy-mm-dd", 1e300, 'C', "9999-12-31"},
        {"ddddd t", t, 'R', "05.03.2024 14:07"},
        {"c", t, 'R', "05.03.2024 14:07:09"},
        {"dddd d mmmm", t, 'R', "вторник 5 март"},
        {"ddd mmm", t, 'R', "вт мар"},
        {"dddddd", t, 'R', "5 март 2024"},
        {"h:nn ampm", t, 'R', "2:07 "},
        {"dd/mm hh:nn", t, 'R', "05.03 14:07"},
    };
    for (const DateCase& c : cases) {
        SCOPED_TRACE(std::string(c.format) + " [" + c.set + "]");
        EXPECT_EQ(FormatDateTime(QString::fromUtf8(c.format), c.value, Settings(c.set)).toStdString(), c.expected);
    }
}

TEST(FormatDateTime, SettingsNamingThemselvesStopAtTheNestingLimit)
{
    FormatSettings s;
    s.ShortDateFormat = QStringLiteral("ddddd");
    s.LongTimeFormat = QStringLiteral("c");
    // Each level adds one blank between date and time, and nothing else.
    EXPECT_EQ(FormatDateTime(u"c", 0.5, s), QString("    "));
}

DAX_INSTANTIATE_UNDER_LOCALES(FormatDateTimeTable);

// ---------------------------------------------------------------- FormatMaskText

struct MaskCase {
    const char* mask;
    const char* value;
    char set;
    const char* expected;
};

class FormatMaskTextTable : public testsupport::UnderLocale {};

TEST_P(FormatMaskTextTable, Cases)
{
    const MaskCase cases[] = {
        {"(000) 000-0000;0;_", "5551234567", 'C', "(555) 123-4567"},
        {"(000) 000-0000;1;_", "(555) 123-4567", 'C', "(555) 123-4567"},
        {"(000) 000-0000;0;_", "555123", 'C', "(555) 123-    "},
        {"(000) 000-0000;1;_", "555123", 'C', "(555) 123-    "},
        {"(000) 000-0000", "5551234567", 'C', "(555) 123-4567"},
        {">LL<ll;0;_", "abCD", 'C', "ABcd"},
        {">L<>l;0;_", "aB", 'C', "AB"},
        {"!999;0;_", "12", 'C', " 12"},
        {"999;0;*", "12", 'C', "12 "},
        {"\\(000\\);0;_", "123", 'C', "(123)"},
        {"00:00;0;_", "1234", 'C', "12:34"},
        {"00/00/0000;0;_", "01022023", 'C', "01-02-2023"},
        {"aaaa;0;_", "x1", 'C', "x1  "},
        {"_00;0;_", "12", 'C', " 12"},
        {"99-99;1;_", "12-34", 'C', "12-34"},
        {"99-99;1;_", "1234", 'C', "12-34"},
        {"00;0;_", "12345", 'C', "12"},
        {"0\\;0;0;_", "12", 'C', "1;2"},
        {"", "abc", 'C', "abc"},
        {">ccc;0;_", "абв", 'C', "АБВ"},
        {"00/00/0000;0;_", "01022023", 'R', "01.02.2023"},
        {"00:00;0;_", "1234", 'R', "12:34"},
    };
    for (const MaskCase& c : cases) {
        SCOPED_TRACE(std::string(c.mask) + " [" + c.set + "]");
        EXPECT_EQ(FormatMaskText(QString::fromUtf8(c.mask), QString::fromUtf8(c.value), Settings(c.set)).toStdString(),
                  c.expected);
    }
}

DAX_INSTANTIATE_UNDER_LOCALES(FormatMaskTextTable);

// ---------------------------------------------------------------- FormatSettings

TEST(FormatSettings, NamedSets)
{
    EXPECT_EQ(FormatSettings::Named(u"C"), &FormatSettings::C());
    EXPECT_EQ(FormatSettings::Named(u"ru_RU"), &FormatSettings::RuRu());
    EXPECT_EQ(FormatSettings::Named(u"de_DE"), nullptr);
    const FormatSettings& c = FormatSettings::C();
    EXPECT_EQ(c.DecimalSeparator, u'.');
    EXPECT_EQ(c.ThousandSeparator, u',');
    EXPECT_EQ(c.ShortDateFormat, "yyyy-mm-dd");
    EXPECT_EQ(c.LongTimeFormat, "hh:nn:ss");
    const FormatSettings& ru = FormatSettings::RuRu();
    EXPECT_EQ(ru.DecimalSeparator, u',');
    EXPECT_EQ(ru.ThousandSeparator, QChar(0x00A0));
    EXPECT_EQ(ru.ShortDateFormat, "dd.mm.yyyy");
    EXPECT_EQ(ru.LongTimeFormat, "h:nn:ss");
    EXPECT_EQ(ru.LongMonthNames[0], QString::fromUtf8("январь"));
    EXPECT_EQ(ru.LongDayNames[1], QString::fromUtf8("понедельник"));
}

TEST(FormatSettings, FromQtLocale)
{
    const FormatSettings ru = FormatSettings::FromLocale(QLocale(QLocale::Russian, QLocale::Russia));
    EXPECT_EQ(ru.DecimalSeparator, u',');
    EXPECT_EQ(ru.ShortDateFormat, "dd.mm.yyyy");
    EXPECT_EQ(ru.DateSeparator, u'.');
    EXPECT_EQ(ru.LongTimeFormat, "hh:nn:ss");
    EXPECT_EQ(ru.TimeSeparator, u':');
    EXPECT_EQ(ru.LongDayNames[0], QString::fromUtf8("воскресенье"));
    const FormatSettings us = FormatSettings::FromLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(us.DecimalSeparator, u'.');
    EXPECT_EQ(us.ThousandSeparator, u',');
    EXPECT_EQ(us.ShortDateFormat, "m/d/yy");
    EXPECT_EQ(us.LongTimeFormat, "h:nn:ss ampm");
    EXPECT_EQ(us.CurrencyString, "$");
    EXPECT_EQ(us.CurrencyFormat, 0);
    EXPECT_EQ(us.LongMonthNames[11], "December");
    // A date written with a locale's own set reads as Qt writes it.
    const double t = EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 0);
    EXPECT_EQ(FormatDateTime(ru.ShortDateFormat, t, ru), QLocale(QLocale::Russian).toString(QDate(2024, 3, 5), QLocale::ShortFormat));
}

} // namespace

// The one reading of quoted parts that every format reader shares.
TEST(QuotedText, QuotedPartsAreSkippedAndUnclosedOnesRunToTheEnd)
{
    const QString text = QStringLiteral("a'b;c'd\"e'f\";g'h");
    EXPECT_EQ(IndexOutsideQuotes(text, u';'), 12);
    EXPECT_EQ(QuotedPartEnd(text, 1), 6);
    EXPECT_EQ(QuotedPartText(text, 7).toString(), QStringLiteral("e'f"));
    EXPECT_EQ(QuotedPartText(text, 14).toString(), QStringLiteral("h")); // unclosed
    EXPECT_EQ(QuotedPartEnd(text, 14), text.size());
    QString outside;
    ScanOutsideQuotes(text, [&](qsizetype i) {
        outside += text[i];
        return true;
    });
    EXPECT_EQ(outside, QStringLiteral("ad;g"));
    EXPECT_EQ(IndexOutsideQuotes(QStringLiteral("'x;y'"), u';'), -1);
}
