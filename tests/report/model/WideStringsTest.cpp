// Wide string lists: splitting, Insert, streams with and without marks, the defined-property
// forms from hand-built bytes, and the code-page helpers.

#include "report/model/rpWideStrings.h"

#include "report/model/rpTaggedValues.h"

#include "Failures.h"
#include "report/core/Charsets.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <ostream>
#include <string>

namespace {

using testsupport::MessageOf;

std::string Lines(const TrpWideStrings& list)
{
    std::string out;
    for (int i = 0; i < list.Count(); ++i)
        out += (i ? "|" : "") + list[i].toStdString();
    return out;
}

TrpWideStrings ListOf(std::initializer_list<const char16_t*> lines)
{
    TrpWideStrings list;
    for (const char16_t* line : lines)
        list.Add(QString::fromUtf16(line));
    return list;
}

struct SplitCase {
    const char* name;
    QString text;
    std::string lines;
    int count;
};

void PrintTo(const SplitCase& c, std::ostream* out)
{
    *out << c.name;
}

const SplitCase kSplitCases[] = {
    {"EveryBreak", QString::fromUtf16(u"a\r\nb\rc\nd\u2028e"), "a|b|c|d|e", 5},
    {"LineFeedThenReturn", QStringLiteral("a\n\rb"), "a||b", 3},
    {"BreakAtEndAddsNoLine", QStringLiteral("a\r\n"), "a", 1},
    {"TwoBreaksAtEnd", QStringLiteral("a\r\n\r\n"), "a|", 2},
    {"OneBreakTakesReturnFeedAndSeparator", QString::fromUtf16(u"a\r\n\u2028b"), "a|b", 2},
    {"SeparatorThenFeed", QString::fromUtf16(u"a\u2028\nb"), "a||b", 3},
    {"EndsAtCodeZero", QString::fromUtf16(u"a\nb\0c", 5), "a|b", 2},
    {"ZeroAfterBreak", QString::fromUtf16(u"a\n\0b", 4), "a", 1},
    {"Empty", QString(), "", 0},
    {"OnlyABreak", QStringLiteral("\r\n"), "", 1},
};

class WideStringsSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(WideStringsSplit, CutsAtLineBreaks)
{
    TrpWideStrings list = ListOf({u"old"});
    list.SetText(GetParam().text);
    EXPECT_EQ(list.Count(), GetParam().count);
    EXPECT_EQ(Lines(list), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(Cases, WideStringsSplit, ::testing::ValuesIn(kSplitCases),
                         [](const ::testing::TestParamInfo<SplitCase>& info) { return std::string(info.param.name); });

TEST(WideStrings, TextEndsEveryLine)
{
    EXPECT_EQ(ListOf({u"a", u"b"}).Text(), QStringLiteral("a\r\nb\r\n"));
    EXPECT_EQ(TrpWideStrings().Text(), QString());
}

TEST(WideStrings, InsertReplacesInsideAppendsAtTheEnd)
{
    const struct {
        int index;
        std::string result; // or the failure
    } cases[] = {
        {0, "x|b|c"}, {1, "a|x|c"}, {2, "a|b|x"}, {3, "a|b|c|x"}, {4, "Wide String Out of Bounds"},
        {5, "Wide String Out of Bounds"}, {-1, "Wide String Out of Bounds"},
    };
    for (const auto& c : cases) {
        TrpWideStrings list = ListOf({u"a", u"b", u"c"});
        list.PutObject(1, 7);
        const std::string failure = MessageOf([&] { list.Insert(c.index, QStringLiteral("x")); });
        EXPECT_EQ(failure == "no exception" ? Lines(list) : failure, c.result) << c.index;
        EXPECT_EQ(list.Objects(1), 7) << "the value stays with its line";
        TrpWideStrings put = ListOf({u"a", u"b", u"c"});
        const std::string putFailure = MessageOf([&] { put.Put(c.index, QStringLiteral("x")); });
        EXPECT_EQ(putFailure == "no exception" ? Lines(put) : putFailure, c.result) << c.index;
    }
}

TEST(WideStrings, OutOfRangeReadsAreEmptyAndDeleteIsChecked)
{
    TrpWideStrings list;
    list.AddObject(QStringLiteral("a"), 5);
    list.Add(QStringLiteral("b"));
    EXPECT_EQ(list.Strings(2), QString());
    EXPECT_EQ(list.Strings(-1), QString());
    EXPECT_EQ(list.Objects(0), 5);
    EXPECT_EQ(list.Objects(1), 0);
    EXPECT_EQ(list.Objects(9), 0);
    list.PutObject(9, 1);
    EXPECT_EQ(list.IndexOf(u"b"), 1);
    EXPECT_EQ(list.IndexOf(u"B"), -1);
    EXPECT_EQ(MessageOf([&] { list.Delete(2); }), "List index (2) out of bounds");
    list.Delete(0);
    EXPECT_EQ(Lines(list), "b");

    TrpWideStrings copy;
    copy.Assign(ListOf({u"x"}));
    copy.AddStrings(copy);
    copy.AddStrings(list);
    EXPECT_EQ(Lines(copy), "x|x|b");
    QStringList plain;
    copy.AssignTo(plain);
    EXPECT_EQ(plain, (QStringList{QStringLiteral("x"), QStringLiteral("x"), QStringLiteral("b")}));
    copy.Assign(QStringList{QStringLiteral("p"), QStringLiteral("q")});
    EXPECT_EQ(Lines(copy), "p|q");
}

QByteArray Saved(const TrpWideStrings& list)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    list.SaveToStream(buffer);
    return buffer.data();
}

std::string Loaded(const QByteArray& bytes, bool wide = false)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    TrpWideStrings list;
    if (wide)
        list.LoadFromWStream(buffer);
    else
        list.LoadFromStream(buffer);
    return Lines(list);
}

TEST(WideStrings, SavedListLoadsBack)
{
    const TrpWideStrings list = ListOf({u"Строка 1", u"", u"line ✓"});
    const QByteArray bytes = Saved(list);
    EXPECT_EQ(bytes.left(6), QByteArray("\xFF\xFE\x21\x04\x42\x04"));
    EXPECT_EQ(Loaded(bytes), "Строка 1||line ✓");
    EXPECT_EQ(Saved(TrpWideStrings()), QByteArray("\xFF\xFE"));
    EXPECT_EQ(Loaded(QByteArray("\xFF\xFE")), "");
}

TEST(WideStrings, StreamsWithAndWithoutMarks)
{
    EXPECT_EQ(Loaded(QByteArray("\xFF\xFE" "a\0\n\0b\0", 8)), "a|b");
    EXPECT_EQ(Loaded(QByteArray("\xFF\xFE" "a\0b", 5)), "a") << "an odd last byte is no unit";
    EXPECT_EQ(Loaded("\xEF\xBB\xBF\xD0\x96\r\nz"), "Ж|z");
    EXPECT_EQ(Loaded("\xD0\x96\nz"), "Ж|z");
    EXPECT_EQ(Loaded(""), "");
    EXPECT_EQ(Loaded(QByteArray("a\0b\0", 4), true), "ab");
    EXPECT_EQ(Loaded(QByteArray("\xFF\xFE" "a\0", 4), true), "\xEF\xBB\xBF" "a") << "no mark is looked for";
}

TEST(WideStrings, FilesRoundTrip)
{
    QTemporaryDir folder;
    const QString name = folder.filePath(QStringLiteral("lines.txt"));
    ListOf({u"один", u"two"}).SaveToFile(name);
    TrpWideStrings list;
    list.LoadFromFile(name);
    EXPECT_EQ(Lines(list), "один|two");
    EXPECT_EQ(MessageOf([&] { list.LoadFromFile(folder.filePath(QStringLiteral("missing"))); }).rfind("Cannot open file", 0), 0u);
}

// ---------------------------------------------------------------------------------------------
// Defined properties

QByteArray B(std::initializer_list<int> bytes)
{
    QByteArray out;
    for (int b : bytes)
        out.append(static_cast<char>(b));
    return out;
}

TEST(WideStrings, ReadsTheThreeDefinedPropertyForms)
{
    const struct {
        const char* name;
        QByteArray bytes;
        std::string lines;
    } cases[] = {
        // 8-bit strings in Windows-1251, a long string and a wide string.
        {"Strings", B({1, 6, 2, 0xC0, 0xE1, 12, 1, 0, 0, 0, 'x', 18, 1, 0, 0, 0, 0x16, 0x04, 0}), "Аб|x|Ж"},
        // The 8-bit bytes are UTF-8.
        {"UTF8", B({1, 6, 2, 0xD0, 0x96, 12, 3, 0, 0, 0, 0xE2, 0x9C, 0x93, 0}), "Ж|✓"},
        {"UTF8W", B({1, 20, 2, 0, 0, 0, 0xD0, 0x96, 6, 1, 'q', 18, 0, 0, 0, 0, 0}), "Ж|q|"},
        {"utf8w", B({1, 0}), ""},
    };
    for (const auto& c : cases) {
        TrpWideStrings list = ListOf({u"old"});
        TrpValueReader reader(c.bytes);
        EXPECT_TRUE(list.ReadDefinedProperty(QString::fromLatin1(c.name), reader)) << c.name;
        EXPECT_TRUE(reader.AtEnd()) << c.name;
        EXPECT_EQ(Lines(list), c.lines) << c.name;
    }
    TrpWideStrings list = ListOf({u"old"});
    TrpValueReader other(B({1, 0}));
    EXPECT_FALSE(list.ReadDefinedProperty(u"Lines", other));
    // A value cut short leaves the list as it was.
    TrpValueReader cut(B({1, 6, 1, 'a', 6, 5, 'b'}));
    EXPECT_EQ(MessageOf([&] { list.ReadDefinedProperty(u"UTF8W", cut); }), "Stream read error");
    EXPECT_EQ(Lines(list), "old");
}

TEST(WideStrings, WritesUtf8WAndReadsItBack)
{
    QByteArray bytes;
    TrpValueWriter writer(bytes);
    TrpWideStrings().WriteDefinedProperties(writer);
    EXPECT_TRUE(bytes.isEmpty()) << "an empty list writes nothing";
    // ASCII as 8-bit, text whose UTF-8 is not shorter than two bytes a character as UTF-16.
    ListOf({u"ab", u"Жж", u"é"}).WriteDefinedProperties(writer);
    EXPECT_EQ(bytes.toHex(' '), (B({5}) + "UTF8W" + B({1, 6, 2, 'a', 'b', 18, 2, 0, 0, 0, 0x16, 0x04, 0x36, 0x04, 18, 1, 0, 0, 0, 0xE9, 0x00, 0})).toHex(' '));
    TrpValueReader reader(bytes);
    TrpWideStrings list;
    ASSERT_TRUE(list.ReadDefinedProperty(reader.ReadPropName(), reader));
    EXPECT_EQ(Lines(list), "ab|Жж|é");
}

// ---------------------------------------------------------------------------------------------
// Code pages

TEST(CodePages, CharsetToCodePage)
{
    const struct {
        uint8_t charset;
        int codePage;
    } cases[] = {
        {RUSSIAN_CHARSET, 1251}, {EASTEUROPE_CHARSET, 1250}, {ANSI_CHARSET, 1252}, {DEFAULT_CHARSET, 1251},
        {MAC_CHARSET, CP_MACCP}, {OEM_CHARSET, CP_OEMCP}, {GREEK_CHARSET, 1253}, {SHIFTJIS_CHARSET, 932},
        {THAI_CHARSET, 874}, {SYMBOL_CHARSET, CP_SYMBOL},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CharsetToCodePage(c.charset), c.codePage) << int(c.charset);
    EXPECT_THROW(CharsetToCodePage(3), platform::EOSError);
}

TEST(CodePages, ConvertsByCharsetOrCodePage)
{
    EXPECT_EQ(AnsiToWideByCharset("\xCF\xF0\xE8\xE2\xE5\xF2", RUSSIAN_CHARSET), QStringLiteral("Привет"));
    EXPECT_EQ(AnsiToWideByCharset("\xCF\xF0\xE8\xE2\xE5\xF2", DEFAULT_CHARSET), QStringLiteral("Привет"));
    EXPECT_EQ(AnsiToWideByCharset("\xC8", EASTEUROPE_CHARSET), QStringLiteral("Č"));
    EXPECT_EQ(AnsiToWideByCharset("\xC8", RUSSIAN_CHARSET, 1253), QStringLiteral("Θ")) << "the code page wins";
    EXPECT_EQ(AnsiToWideByCharset("\x8F\xE0", OEM_CHARSET), QStringLiteral("Пр"));
    EXPECT_EQ(AnsiToWideByCharset("\x80", MAC_CHARSET), QStringLiteral("А"));
    EXPECT_EQ(AnsiToWideByCharset("\x41\x10", SYMBOL_CHARSET), QString::fromUtf16(u"\uF041\u0010"));
    EXPECT_EQ(AnsiToWideByCharset("", RUSSIAN_CHARSET), QString());
    EXPECT_EQ(AnsiToWideByCharset("x", JOHAB_CHARSET), QString()) << "no codec for 1361";

    EXPECT_EQ(WideToAnsiByCharset(u"Привет", RUSSIAN_CHARSET), QByteArray("\xCF\xF0\xE8\xE2\xE5\xF2"));
    EXPECT_EQ(WideToAnsiByCharset(u"Čx", EASTEUROPE_CHARSET), QByteArray("\xC8x"));
    EXPECT_EQ(WideToAnsiByCharset(u"\uF041", SYMBOL_CHARSET), QByteArray("A"));
    EXPECT_EQ(OemToAnsiText("\x8F\xE0\xA8\xA2\xA5\xE2 \xC9"), QByteArray("\xCF\xF0\xE8\xE2\xE5\xF2 ?"));
}

TEST(CodePages, CharsetToLocale)
{
    EXPECT_EQ(CharsetToLocale(RUSSIAN_CHARSET), 1049);
    EXPECT_EQ(CharsetToLocale(SHIFTJIS_CHARSET), 1041);
    EXPECT_EQ(CharsetToLocale(ARABIC_CHARSET), 13313);
    EXPECT_EQ(CharsetToLocale(EASTEUROPE_CHARSET), 1029);
    EXPECT_EQ(CharsetToLocale(ANSI_CHARSET), kSystemLocale);
    EXPECT_EQ(CharsetToLocale(99), kSystemLocale);
}

} // namespace
