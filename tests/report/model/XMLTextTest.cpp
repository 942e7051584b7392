// Attribute text of the report XML dialect: escaping, unescaping, the attributes of an item's
// raw text, the item tree and the text of values.

#include "XMLTestSupport.h"

#include "report/model/rpXML.h"

#include "Failures.h"
#include "UnderLocale.h"
#include "platform/DateTime.h"
#include "report/core/Variant.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

using testsupport::MessageOf;

struct TextCase {
    const char* name;
    QString text;
    QString result;
};

void PrintTo(const TextCase& c, std::ostream* out)
{
    *out << c.name;
}

const QString kFortyWithAmpersand = QStringLiteral("0123456789012345678&0123456789012345678x");

const TextCase kEscapeCases[] = {
    {"Plain", QStringLiteral("Привет, мир"), QStringLiteral("Привет, мир")},
    {"AmpersandInFive", QStringLiteral("ab&cd"), QStringLiteral("ab&#38;cd")},
    {"AmpersandInForty", kFortyWithAmpersand, QStringLiteral("0123456789012345678&#38;0123456789012345678x")},
    {"EverySpecial", QStringLiteral("\r\n\"&<>"), QStringLiteral("&#13;&#10;&#34;&#38;&#60;&#62;")},
    {"QuotEntity", QStringLiteral("a&quot;b"), QStringLiteral("a&#34;b")},
    {"QuotAtEnd", QStringLiteral("&quot"), QStringLiteral("&#38;quot")},
    {"OtherEntityEscaped", QStringLiteral("&amp;"), QStringLiteral("&#38;amp;")},
    {"TabAndApostropheKept", QStringLiteral("a\t'b'"), QStringLiteral("a\t'b'")},
    {"Empty", QString(), QString()},
};

class XMLEscape : public ::testing::TestWithParam<TextCase> {};

TEST_P(XMLEscape, Escapes)
{
    EXPECT_EQ(EscapeXMLText(GetParam().text), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(Cases, XMLEscape, ::testing::ValuesIn(kEscapeCases),
                         [](const ::testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

const TextCase kUnescapeCases[] = {
    {"Quot", QStringLiteral("&quot;"), QStringLiteral("\"")},
    {"OnePassOnly", QStringLiteral("&amp;lt;"), QStringLiteral("&lt;")},
    {"Named", QStringLiteral("&lt;&gt;&amp;&quot;"), QStringLiteral("<>&\"")},
    {"NamedIsCaseSensitive", QStringLiteral("&LT;&apos;"), QStringLiteral("&LT;&apos;")},
    {"Decimal", QStringLiteral("&#65;"), QStringLiteral("A")},
    {"DecimalLeadingZeros", QStringLiteral("&#0065;"), QStringLiteral("A")},
    {"Cyrillic", QStringLiteral("&#1046;"), QStringLiteral("Ж")},
    {"AboveTheBasicPlane", QStringLiteral("&#128512;"), QString::fromUcs4(U"\U0001F600")},
    {"HighestCode", QStringLiteral("&#1114111;"), QString::fromUcs4(U"\U0010FFFF")},
    {"EscapedCharactersBack", QStringLiteral("&#13;&#10;&#34;&#38;&#60;&#62;"), QStringLiteral("\r\n\"&<>")},
    {"DecodedAmpersandNotReread", QStringLiteral("&#38;#65;"), QStringLiteral("&#65;")},
    {"NumberSignAtEnd", QStringLiteral("a&#"), QStringLiteral("a&#")},
    {"NoSemicolonAfter", QStringLiteral("&#65 and more"), QStringLiteral("&#65 and more")},
    {"TooShortForANumber", QStringLiteral("&#5"), QStringLiteral("&#5")},
    {"LoneAmpersand", QStringLiteral("a & b"), QStringLiteral("a & b")},
};

class XMLUnescape : public ::testing::TestWithParam<TextCase> {};

TEST_P(XMLUnescape, Unescapes)
{
    EXPECT_EQ(UnescapeXMLText(GetParam().text), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(Cases, XMLUnescape, ::testing::ValuesIn(kUnescapeCases),
                         [](const ::testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

TEST(XMLUnescape, NumbersThatAreNoCharacterFail)
{
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"&#x41;", "\"x41\" is an invalid integer"},
        {"&#0;", "\"0\" is an invalid integer"},
        {"&#1114112;", "\"1114112\" is an invalid integer"},
        {"&#99999999999999999999;", "\"99999999999999999999\" is an invalid integer"},
        {"&#-5;", "\"-5\" is an invalid integer"},
        {"&#;;", "\";\" is an invalid integer"},
        {"&#6 5;", "\"6 5\" is an invalid integer"},
    };
    for (const auto& c : cases) {
        try {
            UnescapeXMLText(QString::fromUtf8(c.text));
            ADD_FAILURE() << c.text << " decoded";
        } catch (const EConvertError& failure) {
            EXPECT_EQ(failure.Message(), c.message) << c.text;
        }
    }
}

TEST(XMLUnescape, UndoesEscapeForEveryCharacterOfTheBasicPlane)
{
    QString all;
    for (char32_t code = 1; code < 0x10000; ++code)
        if (code < 0xD800 || code > 0xDFFF)
            all += QChar(static_cast<char16_t>(code));
    all += QString::fromUcs4(U"\U0001F600 &quo &#; &#x;");
    EXPECT_EQ(UnescapeXMLText(EscapeXMLText(all)), all);
}

// ---------------------------------------------------------------------------------------------
// Attributes of the raw text

struct PropCase {
    const char* name;
    QString text;
    QString attribute;
    QString read;       // Prop
    bool exists;        // PropExists
    QString afterWrite; // text after SetProp(attribute, "v&1")
    QString afterDelete;
};

void PrintTo(const PropCase& c, std::ostream* out)
{
    *out << c.name;
}

const PropCase kPropCases[] = {
    {"First", R"(Name="A" Left="1")", "Name", "A", true, R"(Name="v&#38;1" Left="1")", R"(Left="1")"},
    {"Last", R"(Name="A" Left="1")", "Left", "1", true, R"(Name="A" Left="v&#38;1")", R"(Name="A" )"},
    {"NameAfterFontName", R"(Font.Name="Arial" Name="Memo1")", "Name", "Memo1", true,
     R"(Font.Name="Arial" Name="v&#38;1")", R"(Font.Name="Arial" )"},
    {"OnlyFontName", R"(Font.Name="Arial")", "Name", "", false, R"(Font.Name="Arial" Name="v&#38;1")",
     R"(Font.Name="Arial")"},
    {"AnyCase", R"(fONT.nAME="Arial")", "Font.Name", "Arial", true, R"(Font.Name="v&#38;1")", ""},
    {"Missing", R"(Left="1")", "Top", "", false, R"(Left="1" Top="v&#38;1")", R"(Left="1")"},
    {"EmptyText", "", "Top", "", false, R"(Top="v&#38;1")", ""},
    {"TextEndingInBlank", R"(Left="1" )", "Top", "", false, R"(Left="1" Top="v&#38;1")", R"(Left="1" )"},
    {"EscapedValue", R"(Text="a&#13;&#10;&#34;b&#34;")", "Text", "a\r\n\"b\"", true, R"(Text="v&#38;1")", ""},
    {"EmptyValue", R"(A="" B="2")", "A", "", true, R"(A="v&#38;1" B="2")", R"(B="2")"},
    {"ValueNotClosed", R"(A="1)", "A", "1", true, R"(A="v&#38;1")", ""},
    {"NameInsideAnotherValue", R"(Text="x Name=y" Name="z")", "Name", "z", true, R"(Text="x Name=y" Name="v&#38;1")",
     R"(Text="x Name=y" )"},
    {"ExtraBlanksBetween", "A=\"1\"   B=\"2\"", "B", "2", true, "A=\"1\"   B=\"v&#38;1\"", "A=\"1\"   "},
};

class XMLProp : public ::testing::TestWithParam<PropCase> {};

TEST_P(XMLProp, ReadsWritesAndDeletes)
{
    const PropCase& c = GetParam();
    TrpXMLItem item;
    item.SetText(c.text);
    EXPECT_EQ(item.Prop(c.attribute), c.read);
    EXPECT_EQ(item.PropExists(c.attribute), c.exists);
    item.SetProp(c.attribute, QStringLiteral("v&1"));
    EXPECT_EQ(item.Text(), c.afterWrite);
    EXPECT_EQ(item.Prop(c.attribute), QStringLiteral("v&1"));
    item.SetText(c.text);
    item.DeleteProp(c.attribute);
    EXPECT_EQ(item.Text(), c.afterDelete);
    EXPECT_FALSE(item.PropExists(c.attribute));
}

INSTANTIATE_TEST_SUITE_P(Cases, XMLProp, ::testing::ValuesIn(kPropCases),
                         [](const ::testing::TestParamInfo<PropCase>& info) { return std::string(info.param.name); });

TEST(XMLProp, ValuesSurviveASaveAndLoad)
{
    const QString values[] = {QStringLiteral("line 1\r\nline 2"), QStringLiteral("\"quoted\" & <tagged>"),
                              QStringLiteral("Итого ≥ 5 ✓"), QString::fromUcs4(U"\U0001F600"), QStringLiteral(" blanks  ")};
    TrpXMLDocument document;
    document.Root()->SetName(QStringLiteral("r"));
    for (size_t i = 0; i < std::size(values); ++i)
        document.Root()->SetProp(QStringLiteral("P%1").arg(i), values[i]);
    TrpXMLDocument again;
    xmltest::Load(again, xmltest::Save(document));
    for (size_t i = 0; i < std::size(values); ++i)
        EXPECT_EQ(again.Root()->Prop(QStringLiteral("P%1").arg(i)), values[i]);
}

// ---------------------------------------------------------------------------------------------
// The tree

TEST(XMLItem, FindItemFindsOrCreates)
{
    TrpXMLItem root;
    TrpXMLItem* b = root.Add(QStringLiteral("Bands"));
    EXPECT_EQ(root.FindItem(QStringLiteral("bands")), b);
    EXPECT_EQ(root.Find(u"BANDS"), 0);
    EXPECT_EQ(root.Find(u"pages"), -1);
    TrpXMLItem* created = root.FindItem(QStringLiteral("pages"));
    EXPECT_EQ(root.Count(), 2);
    EXPECT_EQ(root.Items(1), created);
    EXPECT_EQ(created->Name(), QStringLiteral("pages"));
    EXPECT_EQ(created->Text(), QString());
    EXPECT_EQ(created->Parent(), &root);
}

TEST(XMLItem, AddItemMovesAndInsertItemPlaces)
{
    TrpXMLItem first;
    TrpXMLItem second;
    TrpXMLItem* a = first.Add(QStringLiteral("a"));
    first.Add(QStringLiteral("b"));
    second.Add(QStringLiteral("c"));
    second.InsertItem(0, a);
    EXPECT_EQ(xmltest::Dump(first), "{b}");
    EXPECT_EQ(xmltest::Dump(second), "{a,c}");
    EXPECT_EQ(a->Parent(), &second);
    second.AddItem(a); // the same parent: to the end
    EXPECT_EQ(xmltest::Dump(second), "{c,a}");
    EXPECT_EQ(a->Root(), &second);
    EXPECT_EQ(second.IndexOf(a), 1);
    EXPECT_EQ(first.IndexOf(a), -1);

    auto loose = std::make_unique<TrpXMLItem>();
    loose->SetName(QStringLiteral("d"));
    second.InsertItem(1, loose.release());
    EXPECT_EQ(xmltest::Dump(second), "{c,d,a}");
    delete second.Items(1); // an item destroyed leaves its parent
    EXPECT_EQ(xmltest::Dump(second), "{c,a}");
    EXPECT_THROW(a->AddItem(&second), std::logic_error);
    EXPECT_THROW(a->AddItem(a), std::logic_error);
}

TEST(XMLItem, IndexOutsideTheChildrenFails)
{
    TrpXMLItem root;
    root.Add();
    EXPECT_EQ(MessageOf([&] { root.Items(1); }), "List index (1) out of bounds");
    EXPECT_EQ(MessageOf([&] { root.Items(-1); }), "List index (-1) out of bounds");
}

TEST(XMLItem, ClearUnloadsAnUnloadableItem)
{
    TrpXMLItem item;
    item.Add();
    item.Clear();
    EXPECT_TRUE(item.Loaded());
    item.SetUnloadable(true);
    item.Add();
    item.Clear();
    EXPECT_EQ(item.Count(), 0);
    EXPECT_FALSE(item.Loaded());
}

// ---------------------------------------------------------------------------------------------
// Values as attribute text

class XMLVariantText : public testsupport::UnderLocale {};

TEST_P(XMLVariantText, GivesTheTextOfEachKind)
{
    EXPECT_EQ(VariantToXMLText(Variant(int32_t{-42})), QStringLiteral("-42"));
    EXPECT_EQ(VariantToXMLText(Variant(int64_t{1} << 40)), QStringLiteral("1099511627776"));
    EXPECT_EQ(VariantToXMLText(Variant(1.5)), QStringLiteral("1.5"));
    EXPECT_EQ(VariantToXMLText(Variant(1.0 / 3)), QStringLiteral("0.333333333333333"));
    EXPECT_EQ(VariantToXMLText(Variant(1e20)), QStringLiteral("1E20"));
    EXPECT_EQ(VariantToXMLText(Variant::FromDateTime(EncodeDate(2024, 3, 5) + 0.75)), QStringLiteral("2024-03-05"));
    EXPECT_EQ(VariantToXMLText(Variant(QStringLiteral("a < \"b\""))), QStringLiteral("a &#60; &#34;b&#34;"));
    EXPECT_EQ(VariantToXMLText(Variant(true)), QStringLiteral("1"));
    EXPECT_EQ(VariantToXMLText(Variant(false)), QStringLiteral("0"));
    EXPECT_EQ(VariantToXMLText(Variant()), QString());
    EXPECT_EQ(VariantToXMLText(Variant::NullValue()), QString());
    EXPECT_EQ(VariantToXMLText(Variant::FromObject(0x10001)), QString());

    FormatSettings russian;
    russian.DecimalSeparator = u',';
    russian.DateSeparator = u'.';
    russian.ShortDateFormat = QStringLiteral("dd/mm/yyyy");
    EXPECT_EQ(VariantToXMLText(Variant(1.5), russian), QStringLiteral("1,5"));
    EXPECT_EQ(VariantToXMLText(Variant::FromDateTime(EncodeDate(2024, 3, 5)), russian), QStringLiteral("05.03.2024"));
    EXPECT_EQ(VariantToXMLText(Variant::FromDateTime(-1.5), russian), QStringLiteral("29.12.1899"));
}

DAX_INSTANTIATE_UNDER_LOCALES(XMLVariantText);

} // namespace
