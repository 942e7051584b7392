// The tagged values of defined properties: the codes pinned, every tag byte for byte, lengths
// checked against what is left.

#include "report/model/rpTaggedValues.h"

#include "report/model/rpStreams.h"

#include "Failures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <ostream>
#include <string>

namespace {

using testsupport::MessageOf;

TEST(TaggedValues, CodesAreFixed)
{
    const TValueType inOrder[] = {vaNull,   vaList,   vaInt8,    vaInt16,      vaInt32,  vaExtended, vaString, vaIdent,
                                  vaFalse,  vaTrue,   vaBinary,  vaSet,        vaLString, vaNil,     vaCollection,
                                  vaSingle, vaCurrency, vaDate,  vaWString,    vaInt64,  vaUTF8String, vaDouble};
    ASSERT_EQ(std::size(inOrder), static_cast<size_t>(kValueTypeCount));
    for (size_t i = 0; i < std::size(inOrder); ++i)
        EXPECT_EQ(static_cast<int>(inOrder[i]), static_cast<int>(i));
}

struct ValueCase {
    const char* name;
    std::function<void(TrpValueWriter&)> write;
    QByteArray bytes;
    std::function<std::string(TrpValueReader&)> read; // what reading the bytes gives
    std::string value;
};

void PrintTo(const ValueCase& c, std::ostream* out)
{
    *out << c.name;
}

QByteArray B(std::initializer_list<int> bytes)
{
    QByteArray out;
    for (int b : bytes)
        out.append(static_cast<char>(b));
    return out;
}

std::string Integer(TrpValueReader& r)
{
    return std::to_string(r.ReadInteger());
}

std::string String(TrpValueReader& r)
{
    return r.ReadString().toStdString();
}

std::string Float(TrpValueReader& r)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", r.ReadFloat());
    return text;
}

const ValueCase kValueCases[] = {
    {"Null", [](TrpValueWriter& w) { w.WriteValue(vaNull); }, B({0}), [](TrpValueReader& r) { return r.ReadIdent().toStdString(); }, "Null"},
    {"EmptyList", [](TrpValueWriter& w) { w.WriteListBegin(); w.WriteListEnd(); }, B({1, 0}),
     [](TrpValueReader& r) { r.ReadListBegin(); const bool end = r.EndOfList(); r.ReadListEnd(); return std::string(end ? "empty" : "?"); }, "empty"},
    {"Int8", [](TrpValueWriter& w) { w.WriteInteger(-128); }, B({2, 0x80}), Integer, "-128"},
    {"Int8Top", [](TrpValueWriter& w) { w.WriteInteger(127); }, B({2, 0x7F}), Integer, "127"},
    {"Int16", [](TrpValueWriter& w) { w.WriteInteger(128); }, B({3, 0x80, 0x00}), Integer, "128"},
    {"Int16Low", [](TrpValueWriter& w) { w.WriteInteger(-32768); }, B({3, 0x00, 0x80}), Integer, "-32768"},
    {"Int32", [](TrpValueWriter& w) { w.WriteInteger(32768); }, B({4, 0x00, 0x80, 0x00, 0x00}), Integer, "32768"},
    {"Int32Low", [](TrpValueWriter& w) { w.WriteInteger(INT32_MIN); }, B({4, 0, 0, 0, 0x80}), Integer, "-2147483648"},
    {"Int64", [](TrpValueWriter& w) { w.WriteInteger(int64_t{1} << 32); }, B({19, 0, 0, 0, 0, 1, 0, 0, 0}), Integer, "4294967296"},
    {"Extended", [](TrpValueWriter& w) { w.WriteFloat(1.0); }, B({5, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}), Float, "1"},
    {"ExtendedNegative", [](TrpValueWriter& w) { w.WriteFloat(-2.5); },
     B({5, 0, 0, 0, 0, 0, 0, 0, 0xA0, 0x00, 0xC0}), Float, "-2.5"},
    {"ExtendedTenth", [](TrpValueWriter& w) { w.WriteFloat(0.1); },
     B({5, 0x00, 0xD0, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xFB, 0x3F}), Float, "0.10000000000000001"},
    {"AsciiString", [](TrpValueWriter& w) { w.WriteString(u"Abc"); }, B({6, 3, 'A', 'b', 'c'}), String, "Abc"},
    {"LongAsciiString", [](TrpValueWriter& w) { w.WriteString(QString(256, u'x')); },
     B({12, 0, 1, 0, 0}) + QByteArray(256, 'x'), String, std::string(256, 'x')},
    {"Utf8String", [](TrpValueWriter& w) { w.WriteString(u"é x"); }, B({20, 4, 0, 0, 0, 0xC3, 0xA9, ' ', 'x'}), String, "é x"},
    {"WideStringForCyrillic", [](TrpValueWriter& w) { w.WriteString(u"Жж"); }, B({18, 2, 0, 0, 0, 0x16, 0x04, 0x36, 0x04}), String, "Жж"},
    {"EmptyStringIsWide", [](TrpValueWriter& w) { w.WriteString(u""); }, B({18, 0, 0, 0, 0}), String, ""},
    {"Ident", [](TrpValueWriter& w) { w.WriteIdent(u"pmDefault"); }, B({7, 9}) + "pmDefault",
     [](TrpValueReader& r) { return r.ReadIdent().toStdString(); }, "pmDefault"},
    {"False", [](TrpValueWriter& w) { w.WriteBoolean(false); }, B({8}), [](TrpValueReader& r) { return std::string(r.ReadBoolean() ? "T" : "F"); }, "F"},
    {"True", [](TrpValueWriter& w) { w.WriteIdent(u"True"); }, B({9}), [](TrpValueReader& r) { return std::string(r.ReadBoolean() ? "T" : "F"); }, "T"},
    {"Binary", [](TrpValueWriter& w) { w.WriteBinary(QByteArray("\x00\xFF", 2)); }, B({10, 2, 0, 0, 0, 0x00, 0xFF}),
     [](TrpValueReader& r) { return r.ReadBinary().toHex().toStdString(); }, "00ff"},
    {"Set", [](TrpValueWriter& w) { w.WriteSet({QStringLiteral("fsBold"), QStringLiteral("fsItalic")}); },
     B({11, 6}) + "fsBold" + B({8}) + "fsItalic" + B({0}), [](TrpValueReader& r) { return r.ReadSet().join(u',').toStdString(); },
     "fsBold,fsItalic"},
    {"Nil", [](TrpValueWriter& w) { w.WriteIdent(u"nil"); }, B({13}), [](TrpValueReader& r) { return r.ReadIdent().toStdString(); }, "nil"},
    {"Single", [](TrpValueWriter& w) { w.WriteSingle(1.5f); }, B({15, 0, 0, 0xC0, 0x3F}), Float, "1.5"},
    {"Currency", [](TrpValueWriter& w) { w.WriteCurrency(12345); }, B({16, 0x39, 0x30, 0, 0, 0, 0, 0, 0}), Float, "1.2344999999999999"},
    {"Date", [](TrpValueWriter& w) { w.WriteDate(2.0); }, B({17, 0, 0, 0, 0, 0, 0, 0, 0x40}), Float, "2"},
    {"Double", [](TrpValueWriter& w) { w.WriteDouble(-0.5); }, B({21, 0, 0, 0, 0, 0, 0, 0xE0, 0xBF}), Float, "-0.5"},
    {"PropName", [](TrpValueWriter& w) { w.WritePropName(u"UTF8W"); }, B({5}) + "UTF8W",
     [](TrpValueReader& r) { return r.ReadPropName().toStdString(); }, "UTF8W"},
};

class TaggedValueCases : public ::testing::TestWithParam<ValueCase> {};

TEST_P(TaggedValueCases, WritesTheseBytesAndReadsThemBack)
{
    const ValueCase& c = GetParam();
    QByteArray bytes;
    TrpValueWriter writer(bytes);
    c.write(writer);
    EXPECT_EQ(bytes.toHex(' '), c.bytes.toHex(' '));
    TrpValueReader reader(c.bytes);
    EXPECT_EQ(c.read(reader), c.value);
    EXPECT_TRUE(reader.AtEnd());
    TrpValueReader skipped(c.bytes);
    if (c.bytes.size() > 0 && c.bytes[0] != vaList && c.name != std::string("PropName")) {
        skipped.SkipValue();
        EXPECT_TRUE(skipped.AtEnd());
    }
    // Every shorter prefix ends in a read error, never a read past the bytes.
    for (qsizetype n = 0; n < c.bytes.size(); ++n) {
        TrpValueReader cut(c.bytes.first(n));
        EXPECT_EQ(MessageOf([&] { c.read(cut); }), "Stream read error") << "first " << n << " bytes";
    }
}

INSTANTIATE_TEST_SUITE_P(Tags, TaggedValueCases, ::testing::ValuesIn(kValueCases),
                         [](const ::testing::TestParamInfo<ValueCase>& info) { return std::string(info.param.name); });

TEST(TaggedValues, EightBitStringsReadAsWindows1251)
{
    TrpValueReader reader(B({6, 2, 0xC0, 0xE1, 12, 1, 0, 0, 0, 0xFF}));
    EXPECT_EQ(reader.ReadString(), QStringLiteral("Аб"));
    EXPECT_EQ(reader.ReadString(), QStringLiteral("я"));
    TrpValueReader raw(B({6, 2, 0xD0, 0x96, 18, 1, 0, 0, 0, 0x16, 0x04}));
    EXPECT_EQ(raw.ReadString8(), QByteArray("\xD0\x96"));
    EXPECT_EQ(raw.ReadString8(), QByteArray("\xC6"));
}

TEST(TaggedValues, LengthsPastTheEndAndWrongKindsAreRefused)
{
    const struct {
        const char* name;
        QByteArray bytes;
        std::function<void(TrpValueReader&)> read;
        const char* message;
    } cases[] = {
        {"string longer than the bytes", B({6, 5, 'a'}), [](TrpValueReader& r) { r.ReadString(); }, "Stream read error"},
        {"huge long string", B({12, 0xFF, 0xFF, 0xFF, 0x7F, 'a'}), [](TrpValueReader& r) { r.ReadString(); }, "Stream read error"},
        {"negative long string", B({12, 0xFF, 0xFF, 0xFF, 0xFF}), [](TrpValueReader& r) { r.ReadString(); }, "Stream read error"},
        {"wide string counted in units", B({18, 2, 0, 0, 0, 'a', 0, 'b'}), [](TrpValueReader& r) { r.ReadString(); }, "Stream read error"},
        {"huge wide string", B({18, 0xFF, 0xFF, 0xFF, 0x7F}), [](TrpValueReader& r) { r.ReadString(); }, "Stream read error"},
        {"huge binary", B({10, 0, 0, 0, 0x40, 1, 2}), [](TrpValueReader& r) { r.ReadBinary(); }, "Stream read error"},
        {"set without its end", B({11, 1, 'a'}), [](TrpValueReader& r) { r.ReadSet(); }, "Stream read error"},
        {"unknown tag", B({22}), [](TrpValueReader& r) { r.SkipValue(); }, "Invalid property value"},
        {"integer asked, string found", B({6, 0}), [](TrpValueReader& r) { r.ReadInteger(); }, "Invalid property value"},
        {"list end missing", B({1, 2, 5}), [](TrpValueReader& r) { r.SkipValue(); }, "Stream read error"},
        {"int64 beyond int32", B({19, 0, 0, 0, 0, 1, 0, 0, 0}), [](TrpValueReader& r) { r.ReadInt32(); }, "Invalid property value"},
        {"property name past the end", B({9, 'a'}), [](TrpValueReader& r) { r.ReadPropName(); }, "Stream read error"},
        {"lists nested too deeply", QByteArray(100, 1) + QByteArray(100, 0), [](TrpValueReader& r) { r.SkipValue(); },
         "Property values nested too deeply"},
    };
    for (const auto& c : cases) {
        TrpValueReader reader(c.bytes);
        EXPECT_EQ(MessageOf([&] { c.read(reader); }), c.message) << c.name;
    }
}

TEST(TaggedValues, SkipsCollectionsAndNestedLists)
{
    // A collection of two items (the first with an order value) and a list of lists.
    QByteArray bytes;
    TrpValueWriter w(bytes);
    w.WriteValue(vaCollection);
    w.WriteInteger(0);
    w.WriteListBegin();
    w.WritePropName(u"Name");
    w.WriteString(u"a");
    w.WritePropName(u"Flags");
    w.WriteSet({QStringLiteral("x")});
    w.WriteListEnd();
    w.WriteListBegin();
    w.WriteListEnd();
    w.WriteListEnd();
    w.WriteListBegin();
    w.WriteListBegin();
    w.WriteFloat(1.5);
    w.WriteBinary("xy");
    w.WriteListEnd();
    w.WriteListEnd();
    w.WriteInteger(7);
    TrpValueReader r(bytes);
    r.SkipValue();
    r.SkipValue();
    EXPECT_EQ(r.ReadInteger(), 7);
    EXPECT_TRUE(r.AtEnd());
}

TEST(TaggedValues, ExtendedFloatsConvertExactly)
{
    const double values[] = {0.0, -0.0, 1.0, 0.1, -123456.789, 1e308, 1e-308, 5e-324, 2.2250738585072014e-308,
                             std::numeric_limits<double>::max(), std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity()};
    for (const double value : values) {
        uint8_t bytes[10];
        DoubleToExtended(value, bytes);
        const double back = ExtendedToDouble(bytes);
        EXPECT_EQ(back, value) << value;
        EXPECT_EQ(std::signbit(back), std::signbit(value)) << value;
    }
    uint8_t nan[10];
    DoubleToExtended(std::numeric_limits<double>::quiet_NaN(), nan);
    EXPECT_TRUE(std::isnan(ExtendedToDouble(nan)));
    // Beyond the double range: infinity; below it: zero; 1 + 2^-63 rounds to 1.
    const uint8_t huge[10] = {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFE, 0x7F};
    EXPECT_TRUE(std::isinf(ExtendedToDouble(huge)));
    const uint8_t tiny[10] = {0, 0, 0, 0, 0, 0, 0, 0x80, 0x01, 0x00};
    EXPECT_EQ(ExtendedToDouble(tiny), 0.0);
    const uint8_t nearOne[10] = {1, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F};
    EXPECT_EQ(ExtendedToDouble(nearOne), 1.0);
}

} // namespace
