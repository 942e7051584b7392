// The shared report utilities.

#include "report/model/rpUtils.h"

#include "Failures.h"
#include "Subprocess.h"
#include "UnderLocale.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <limits>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace {

using testsupport::MessageOf;

TEST(RectArea, OverlapNeedsMoreThanTheTolerance)
{
    const TrpRectArea a(0, 0, 10, 10);
    EXPECT_FALSE(a.InterceptsX(TrpRectArea(10, 0, 20, 10))) << "touching";
    EXPECT_FALSE(a.InterceptsX(TrpRectArea(10 - 0.5e-4, 0, 20, 10))) << "within the tolerance";
    EXPECT_TRUE(a.InterceptsX(TrpRectArea(10 - 2e-4, 0, 20, 10)));
    EXPECT_FALSE(a.InterceptsY(TrpRectArea(0, -5, 10, 0)));
    EXPECT_TRUE(a.InterceptsY(TrpRectArea(0, -5, 10, 0.001)));

    const auto x = a.InterceptX(TrpRectArea(4, 50, 30, 60));
    ASSERT_TRUE(x);
    EXPECT_EQ((std::vector<double>{x->X, x->Y, x->X1, x->Y1}), (std::vector<double>{4, 0, 10, 0}));
    const auto y = a.InterceptY(TrpRectArea(50, -3, 60, 6));
    ASSERT_TRUE(y);
    EXPECT_EQ((std::vector<double>{y->X, y->Y, y->X1, y->Y1}), (std::vector<double>{0, 0, 0, 6}));
    EXPECT_FALSE(a.InterceptX(TrpRectArea(20, 0, 30, 10)));
    EXPECT_EQ(TrpRectArea::Max(1, 2), 2);
    EXPECT_EQ(TrpRectArea::Min(1, 2), 1);
    const TrpRect rect = MakeRpRect(1, 2, 3, 4);
    EXPECT_EQ((std::vector<double>{rect.Left, rect.Top, rect.Right, rect.Bottom}), (std::vector<double>{1, 2, 3, 4}));
    const TrpPoint point = MakeRpPoint(5, 6);
    EXPECT_EQ(point.X, 5);
    EXPECT_EQ(point.Y, 6);
}

TEST(StreamCRC32, OfAbcFromAnyPositionWhichStays)
{
    QBuffer buffer;
    buffer.setData("abc");
    buffer.open(QIODevice::ReadOnly);
    buffer.seek(2);
    EXPECT_EQ(StreamCRC32(buffer), 0x352441C2u);
    EXPECT_EQ(buffer.pos(), 2);
    QBuffer empty;
    empty.open(QIODevice::ReadOnly);
    EXPECT_EQ(StreamCRC32(empty), 0u);
}

TEST(StreamCRC32, AgreesWithPython)
{
    std::mt19937 random(7);
    QByteArray bytes(100000, Qt::Uninitialized);
    for (char& byte : bytes)
        byte = static_cast<char>(random());
    QTemporaryDir folder;
    const QString fileName = folder.filePath(QStringLiteral("bytes"));
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.write(bytes);
    std::string output;
    ASSERT_EQ(testsupport::RunCommand("python3 -c \"import sys, zlib; print('%08X' % zlib.crc32(open(sys.argv[1], 'rb').read()))\" '" +
                                          fileName.toStdString() + "'",
                                      output),
              0)
        << output;
    char ours[16];
    std::snprintf(ours, sizeof ours, "%08X\n", StreamCRC32(file));
    EXPECT_EQ(output, ours);
}

TEST(SplitToList, PiecesBetweenDelimiters)
{
    const struct {
        const char* text;
        QStringList pieces;
    } cases[] = {
        {"a;;b;", {QStringLiteral("a"), QString(), QStringLiteral("b")}},
        {"a", {QStringLiteral("a")}},
        {";a", {QString(), QStringLiteral("a")}},
        {"", {}},
        {";", {QString()}},
        {"\"a;b\"", {QStringLiteral("\"a"), QStringLiteral("b\"")}},
    };
    for (const auto& c : cases) {
        QStringList list{QStringLiteral("old")};
        SplitToList(QString::fromUtf8(c.text), list, u';');
        EXPECT_EQ(list, c.pieces) << c.text;
    }
}

TEST(HexText, BothWays)
{
    EXPECT_EQ(StreamToHexText(QByteArray("\x00\xAB\xFF", 3)), QStringLiteral("00ABFF"));
    EXPECT_EQ(StreamToHexText(QByteArray()), QString());
    const struct {
        const char* text;
        QByteArray bytes; // or the failure below
        const char* failure;
    } cases[] = {
        {"00abff", QByteArray("\x00\xAB\xFF", 3), nullptr},
        {"00ABFF", QByteArray("\x00\xAB\xFF", 3), nullptr},
        {"00AB5", QByteArray("\x00\xAB", 2), nullptr},
        {"", QByteArray(), nullptr},
        {"0G", {}, "Invalid hexadecimal text"},
        {"00 1", {}, "Invalid hexadecimal text"},
        {"001Z", {}, "Invalid hexadecimal text"},
        {"00A-", {}, "Invalid hexadecimal text"},
    };
    for (const auto& c : cases) {
        QBuffer buffer;
        buffer.setData("kept");
        buffer.open(QIODevice::ReadWrite);
        buffer.seek(4);
        const std::string failure = MessageOf([&] { HexTextToStream(QString::fromLatin1(c.text), buffer); });
        if (c.failure) {
            EXPECT_EQ(failure, c.failure) << c.text;
            EXPECT_EQ(buffer.data(), QByteArray("kept")) << "nothing written: " << c.text;
        } else {
            EXPECT_EQ(failure, "no exception");
            EXPECT_EQ(buffer.data().left(c.bytes.size()), c.bytes) << c.text;
            EXPECT_EQ(buffer.pos(), c.bytes.size()) << "written from position 0: " << c.text;
        }
    }
}

class ParseLocaleFloatTest : public testsupport::UnderLocale {};

TEST_P(ParseLocaleFloatTest, TakesPointAndCommaAlike)
{
    const struct {
        const char* text;
        double value;
    } good[] = {
        {"1 234,5", 1234.5}, {"1234.5", 1234.5}, {" -0,25 ", -0.25}, {"3", 3}, {"1e3", 1000}, {"1,5E-2", 0.015},
        {",5", 0.5}, {"+2.", 2},
    };
    for (const auto& c : good)
        EXPECT_EQ(ParseLocaleFloat(QString::fromUtf8(c.text)), c.value) << c.text;
    const char* bad[] = {"", "   ", "1.2.3", "1,2,3", "12a", "abc", "1e999", "-1e999", "NAN", "INF", "1 2x"};
    for (const char* text : bad)
        EXPECT_EQ(MessageOf([&] { ParseLocaleFloat(QString::fromUtf8(text)); }),
                  std::string("\"") + text + "\" is an invalid float");
}

TEST_P(ParseLocaleFloatTest, ShortTextHasTwoDecimalsOnlyForFractions)
{
    FormatSettings russian;
    russian.DecimalSeparator = u',';
    EXPECT_EQ(FloatToShortText(2.5, FormatSettings::C()), QStringLiteral("2.50"));
    EXPECT_EQ(FloatToShortText(2.5, russian), QStringLiteral("2,50"));
    EXPECT_EQ(FloatToShortText(3, russian), QStringLiteral("3"));
    EXPECT_EQ(FloatToShortText(-0.125, FormatSettings::C()), QStringLiteral("-0.13"));
    EXPECT_EQ(FloatToShortText(210, FormatSettings::C()), QStringLiteral("210"));
    EXPECT_EQ(FloatToShortText(1e20, FormatSettings::C()), QStringLiteral("1E20"));
}

DAX_INSTANTIATE_UNDER_LOCALES(ParseLocaleFloatTest);

struct BracketCase {
    const char* name;
    const char* text;
    const char* open;
    const char* close;
    int start;
    const char* result;
    int newStart;
    int end;
    bool closed;
};

void PrintTo(const BracketCase& c, std::ostream* out)
{
    *out << c.name;
}

const BracketCase kBracketCases[] = {
    {"Simple", "x[a]y", "[", "]", 1, "a", 1, 3, true},
    {"Nested", "[a[b]c]d", "[", "]", 0, "a[b]c", 0, 6, true},
    {"QuotedCloseIgnored", "[a\"]\"b]", "[", "]", 0, "a\"]\"b", 0, 6, true},
    {"SingleQuotedOpenIgnored", "['[' + x]", "[", "]", 0, "'[' + x", 0, 8, true},
    {"DoubleQuoteInsideSingle", "[a'\"'b]", "[", "]", 0, "a'\"'b", 0, 6, true},
    {"LongBrackets", "<%a%>b", "<%", "%>", 0, "a", 0, 4, true},
    {"Unclosed", "[abc", "[", "]", 0, "ab", 0, 3, false},
    {"UnclosedEndingInANestedClose", "[a[b]", "[", "]", 0, "a[b", 0, 4, false},
    {"NoBracketAtStart", "a[b]", "[", "]", 0, "", 0, 0, false},
    {"StartBeyondText", "[a]", "[", "]", 5, "", 5, -7, false},
    {"EmptyText", "", "[", "]", 0, "", 0, -7, false},
    {"EmptyBrackets", "[]", "[", "]", 0, "", 0, 1, true},
};

class FindBracketedTextTest : public ::testing::TestWithParam<BracketCase> {};

TEST_P(FindBracketedTextTest, FindsTheMatchingBracket)
{
    const BracketCase& c = GetParam();
    int start = c.start;
    int end = -7;
    bool closed = !c.closed;
    EXPECT_EQ(FindBracketedText(QString::fromUtf8(c.text), QString::fromUtf8(c.open), QString::fromUtf8(c.close), start, end,
                                &closed),
              QString::fromUtf8(c.result));
    EXPECT_EQ(start, c.newStart);
    EXPECT_EQ(end, c.end);
    EXPECT_EQ(closed, c.closed);
}

INSTANTIATE_TEST_SUITE_P(Cases, FindBracketedTextTest, ::testing::ValuesIn(kBracketCases),
                         [](const ::testing::TestParamInfo<BracketCase>& info) { return std::string(info.param.name); });

// As a vector: Qt 6.4 compares an empty list with a cleared one through memcmp of a null
// pointer, which the sanitizer build rightly reports.
std::vector<int> Pages(const QList<int>& list)
{
    return std::vector<int>(list.begin(), list.end());
}

TEST(ParsePageNumbers, ListsAndRanges)
{
    const struct {
        const char* text;
        int lastPage;
        std::vector<int> pages;
    } cases[] = {
        {"1,3,5-7", 0, {1, 3, 5, 6, 7}},
        {"4-", 6, {4, 5, 6}},
        {"7-5", 10, {}},
        {"2,2", 0, {2, 2}},
        {" 1 , 2 - 3 ", 0, {1, 2, 3}},
        {"", 5, {}},
        {"   ", 5, {}},
        {"8-12", 10, {8, 9, 10}},
        {"12", 10, {12}},
        {"4-", 0, {}},
    };
    for (const auto& c : cases) {
        QList<int> list{99};
        ParsePageNumbers(QString::fromUtf8(c.text), list, c.lastPage);
        EXPECT_EQ(Pages(list), c.pages) << c.text;
    }
}

TEST(ParsePageNumbers, HugeRangesStopAtTheLastPageOrTheLimit)
{
    QList<int> list;
    ParsePageNumbers(u"1-2000000000", list, 25);
    EXPECT_EQ(list.size(), 25);
    EXPECT_EQ(list.back(), 25);
    ParsePageNumbers(u"1-2000000000", list, 0);
    EXPECT_EQ(list.size(), kMaxPageNumbers);
    ParsePageNumbers(u"2147483646-2147483647", list, 0);
    EXPECT_EQ(Pages(list), (std::vector<int>{2147483646, 2147483647}));
    ParsePageNumbers(u"5,1-2000000000,3", list, 0);
    EXPECT_EQ(list.size(), kMaxPageNumbers);
    EXPECT_EQ(list.front(), 5);
}

TEST(ParsePageNumbers, NonNumbersFail)
{
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"a", "\"a\" is an invalid integer"},
        {"1,,2", "\"\" is an invalid integer"},
        {"-3", "\"\" is an invalid integer"},
        {"1-x", "\"x\" is an invalid integer"},
        {"$10", "\"$10\" is an invalid integer"},
        {"1-2-3", "\"2-3\" is an invalid integer"},
        {"99999999999", "\"99999999999\" is an invalid integer"},
    };
    for (const auto& c : cases) {
        QList<int> list;
        EXPECT_EQ(MessageOf([&] { ParsePageNumbers(QString::fromUtf8(c.text), list, 10); }), c.message) << c.text;
    }
}

TEST(ColorToHexText, RedGreenBlueOfBgr)
{
    EXPECT_EQ(ColorToHexText(0x00336699), QStringLiteral("#996633"));
    EXPECT_EQ(ColorToHexText(0x000000FF), QStringLiteral("#FF0000"));
    EXPECT_EQ(ColorToHexText(0x00ABCDEF), QStringLiteral("#EFCDAB"));
    EXPECT_EQ(ColorToHexText(0), QStringLiteral("#000000"));
}

TEST(TempFiles, MadeWithThePrefixWhereAsked)
{
    QTemporaryDir folder;
    const QString inFolder = CreateTempFileIn(folder.path());
    EXPECT_TRUE(QFileInfo(inFolder).isFile());
    EXPECT_EQ(QFileInfo(inFolder).absolutePath(), folder.path());
    EXPECT_TRUE(QFileInfo(inFolder).fileName().startsWith(QStringLiteral("rp")));
    EXPECT_EQ(QFileInfo(CreateTempFileIn(folder.path() + u'/')).absolutePath(), folder.path());
    const QString inSystem = CreateTempFile();
    EXPECT_EQ(QFileInfo(inSystem).absolutePath() + u'/', GetTempFolder());
    EXPECT_TRUE(QFileInfo(inSystem).size() == 0 && QFile::remove(inSystem));
    EXPECT_TRUE(GetTempFolder().endsWith(u'/'));
    EXPECT_EQ(MessageOf([] { CreateTempFileIn(QStringLiteral("/nonexistent/folder")); }).rfind("Cannot create file", 0), 0u);
}

TEST(ProgramFile, IsThisTestProgram)
{
    EXPECT_TRUE(GetProgramFileName().endsWith(QStringLiteral("/report_model_tests"))) << GetProgramFileName().toStdString();
    EXPECT_EQ(GetModuleFolder(), QFileInfo(GetProgramFileName()).absolutePath() + u'/');
}

TEST(ReplaceChar, EveryOccurrence)
{
    EXPECT_EQ(ReplaceChar(u"a.b.c", u'.', u','), QStringLiteral("a,b,c"));
    EXPECT_EQ(SlashesToBackslashes(u"/tmp/a/b"), QStringLiteral("\\tmp\\a\\b"));
    EXPECT_EQ(SlashesToBackslashes(u""), QString());
}

} // namespace
