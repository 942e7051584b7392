// The property codec: the stored text of every kind of value, reading it back, comparing and
// copying values as the text carries them, and the type scripts see.

#include "report/core/PropertyCodec.h"
#include "platform/DateTime.h"

#include "RegistryTestObjects.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <optional>
#include <ostream>

using namespace testsupport;

class TrpValueWriter {};
class TrpValueReader {};

namespace {

const PropertyInfo& Property(const char* name)
{
    RegisterRegistryTestClasses();
    return *PropertyRegistry::Global().Find(TTestObject::Class())->Find(QString::fromLatin1(name));
}

struct TextCase {
    const char* Name;
    const char* Property;
    std::function<void(TTestObject&)> Set;
    std::optional<std::string> Text; // none: nothing stored
};

void PrintTo(const TextCase& c, std::ostream* out)
{
    *out << c.Name;
}

class StoredTexts : public testing::TestWithParam<TextCase> {};

TEST_P(StoredTexts, AreWrittenAndReadBack)
{
    const TextCase& c = GetParam();
    const PropertyInfo& property = Property(c.Property);
    TTestObject object;
    c.Set(object);
    const std::optional<QString> text = propertycodec::ToText(property, object);
    ASSERT_EQ(text.has_value(), c.Text.has_value());
    if (!text)
        return;
    EXPECT_EQ(text->toStdString(), *c.Text);
    // Read into a fresh object, the text gives the same value back.
    TTestObject again;
    EXPECT_EQ(propertycodec::FromText(property, again, *text), propertycodec::TextRead::Set);
    EXPECT_EQ(propertycodec::ToText(property, again), text);
    // A variant comes back as its text; every other value as it was.
    if (property.Kind != PropertyKind::Variant) {
        EXPECT_TRUE(propertycodec::Equal(property, object, again));
    }
}

const TextCase kTextCases[] = {
    {"integer", "Width", [](TTestObject& o) { o.Width = -5; }, "-5"},
    {"character_by_code", "Letter", [](TTestObject& o) { o.Letter = u'Я'; }, "1071"},
    {"enumeration_by_name", "Align", [](TTestObject& o) { o.Align = 2; }, "taRight"},
    {"set_as_bits", "Style", [](TTestObject& o) { o.Style = 5; }, "5"},
    {"boolean_by_name", "Visible", [](TTestObject& o) { o.Visible = false; }, "False"},
    {"float_15_digits", "Ratio", [](TTestObject& o) { o.Ratio = 1.0 / 3; }, "0.333333333333333"},
    {"float_not_a_number", "Ratio", [](TTestObject& o) { o.Ratio = std::numeric_limits<double>::quiet_NaN(); }, std::nullopt},
    {"text", "Caption", [](TTestObject& o) { o.Caption = QStringLiteral("Итог \"1\""); }, "Итог \"1\""},
    {"empty_text", "Caption", [](TTestObject&) {}, std::nullopt},
    {"event_name", "OnClick", [](TTestObject& o) { o.OnClick = QStringLiteral("Go"); }, "Go"},
    {"variant_number", "Data", [](TTestObject& o) { o.Data = Variant(2.5); }, "2.5"},
    {"variant_null", "Data", [](TTestObject& o) { o.Data = Variant::NullValue(); }, std::nullopt},
    {"int64_has_none", "Big", [](TTestObject& o) { o.Big = 7; }, std::nullopt},
    {"nested_has_none", "Font", [](TTestObject&) {}, std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Kinds, StoredTexts, testing::ValuesIn(kTextCases));

struct ReadCase {
    const char* Name;
    const char* Property;
    const char* Text;
    propertycodec::TextRead Result;
    std::function<bool(const TTestObject&)> Holds; // what the object holds afterwards
};

void PrintTo(const ReadCase& c, std::ostream* out)
{
    *out << c.Name;
}

class ReadTexts : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadTexts, SetOrRefuse)
{
    const ReadCase& c = GetParam();
    TTestObject object;
    EXPECT_EQ(propertycodec::FromText(Property(c.Property), object, QString::fromUtf8(c.Text)), c.Result);
    EXPECT_TRUE(c.Holds(object));
}

using propertycodec::TextRead;
const ReadCase kReadCases[] = {
    {"enumeration_number", "Align", "1", TextRead::Set, [](const TTestObject& o) { return o.Align == 1; }},
    {"enumeration_any_case", "Align", "TACENTER", TextRead::Set, [](const TTestObject& o) { return o.Align == 1; }},
    {"unknown_name_keeps", "Align", "taMiddle", TextRead::Ignored, [](const TTestObject& o) { return o.Align == 0; }},
    {"enumeration_past_end", "Align", "3", TextRead::OutOfRange, [](const TTestObject& o) { return o.Align == 0; }},
    {"set_past_its_elements", "Style", "8", TextRead::OutOfRange, [](const TTestObject& o) { return o.Style == 0; }},
    {"integer_past_32_bits", "Width", "2147483648", TextRead::OutOfRange, [](const TTestObject& o) { return o.Width == 100; }},
    {"character_past_16_bits", "Letter", "65536", TextRead::OutOfRange, [](const TTestObject& o) { return o.Letter == u'A'; }},
    {"float_with_comma", "Ratio", "2,5", TextRead::Set, [](const TTestObject& o) { return o.Ratio == 2.5; }},
    {"boolean_number", "Visible", "0", TextRead::Set, [](const TTestObject& o) { return !o.Visible; }},
    {"read_only", "ReadOnlyValue", "3", TextRead::Ignored, [](const TTestObject& o) { return o.ReadOnlyValue == 7; }},
};

INSTANTIATE_TEST_SUITE_P(Texts, ReadTexts, testing::ValuesIn(kReadCases));

TEST(PropertyCodec, NonNumbersRaiseTheConversionErrors)
{
    TTestObject object;
    EXPECT_THROW(propertycodec::FromText(Property("Width"), object, QStringLiteral("ten")), EConvertError);
    EXPECT_THROW(propertycodec::FromText(Property("Ratio"), object, QStringLiteral("nan")), EConvertError);
}

TEST(PropertyCodec, DefaultsEqualityAndWhatAWriterStores)
{
    const PropertyInfo& width = Property("Width");
    const PropertyInfo& ratio = Property("Ratio");
    const PropertyInfo& data = Property("Data");
    TTestObject a;
    TTestObject b;
    EXPECT_TRUE(propertycodec::IsDefault(width, a));
    EXPECT_FALSE(propertycodec::Differs(width, a, nullptr, false));
    EXPECT_TRUE(propertycodec::Differs(width, a, nullptr, true)) << "a writer of default values stores it";
    EXPECT_FALSE(propertycodec::IsDefault(ratio, a)) << "floats are always stored";
    EXPECT_TRUE(propertycodec::Differs(ratio, a, nullptr, false));

    b.Ratio = a.Ratio + 5e-7;
    EXPECT_TRUE(propertycodec::Equal(ratio, a, b));
    EXPECT_FALSE(propertycodec::Differs(ratio, a, &b, false)) << "the ancestor holds the same";
    b.Ratio = a.Ratio + 2e-6;
    EXPECT_FALSE(propertycodec::Equal(ratio, a, b));
    a.Data = Variant(1);
    b.Data = Variant(QStringLiteral("1"));
    EXPECT_FALSE(propertycodec::Equal(data, a, b)) << "the same text of another kind";
}

TEST(PropertyCodec, CopiesAsTheTextCarriesTheValue)
{
    TTestObject from;
    TTestObject to;
    from.Ratio = 1.0 / 3;
    to.Width = 7;
    from.Caption = QString();
    to.Caption = QStringLiteral("kept");
    for (const char* name : {"Width", "Ratio", "Caption"})
        propertycodec::Copy(Property(name), from, to, false);
    EXPECT_EQ(to.Ratio, 0.333333333333333) << "15 digits, as a file reads back";
    EXPECT_EQ(to.Width, 7) << "the default is not copied";
    EXPECT_EQ(to.Caption, "kept") << "an empty text is not stored";
    propertycodec::Copy(Property("Width"), from, to, true);
    EXPECT_EQ(to.Width, 100);
}

TEST(PropertyCodec, TypesScriptsSee)
{
    using propertycodec::ValueType;
    const struct {
        const char* Property;
        ValueType Type;
        const char* TypeName;
    } table[] = {
        {"Width", ValueType::Integer, "Integer"},   {"Big", ValueType::Int64, "Int64"},
        {"Letter", ValueType::Char, "Char"},        {"Visible", ValueType::Boolean, "Boolean"},
        {"Align", ValueType::Enum, "TTestAlign"},   {"Style", ValueType::Set, "TTestStyles"},
        {"Ratio", ValueType::Float, "Extended"},    {"Caption", ValueType::String, "String"},
        {"OnClick", ValueType::String, "TNotifyEvent"}, {"Data", ValueType::Variant, "Variant"},
        {"Link", ValueType::Object, "TTestBase"},   {"Lines", ValueType::Object, "TTestStrings"},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.Property);
        const propertycodec::TypeOfValue type = propertycodec::TypeOf(Property(row.Property));
        EXPECT_EQ(type.Type, row.Type);
        EXPECT_EQ(type.TypeName, row.TypeName);
    }
}

TEST(PropertyCodec, ListsKeepTheirFinalLineBreakOutOfTheFile)
{
    EXPECT_EQ(propertycodec::StoredListText(QStringLiteral("a\r\nb\r\n")), "a\r\nb");
    EXPECT_EQ(propertycodec::ListTextFromStored(QStringLiteral("a\r\nb")), "a\r\nb\r\n");
    EXPECT_EQ(propertycodec::ListTextFromStored(QStringLiteral("a\r\n")), "a\r\n\r\n") << "an empty last line stays";
    EXPECT_EQ(propertycodec::ListTextFromStored(QString()), "");
}

} // namespace
