#include "PropertyCodec.h"

#include "Conversions.h"
#include "NumberText.h"
#include "ScriptErrors.h"

#include <cmath>
#include <iterator>

namespace propertycodec {

namespace {

// The kinds grouped by how their values are stored; every rule below is one case per group.
enum class Form {
    Ordinal,   // Integer, Char, Enum, Set: a number, or an enumeration's value name
    Float,
    Text,      // String, EventName
    AnyValue,  // Variant
    Reference,
    Lines,     // StringList
    None,      // Int64, NestedObject, WideStringList: no stored text of their own
};

Form FormOf(PropertyKind kind)
{
    switch (kind) {
    case PropertyKind::Integer:
    case PropertyKind::Char:
    case PropertyKind::Enum:
    case PropertyKind::Set:
        return Form::Ordinal;
    case PropertyKind::Float:
        return Form::Float;
    case PropertyKind::String:
    case PropertyKind::EventName:
        return Form::Text;
    case PropertyKind::Variant:
        return Form::AnyValue;
    case PropertyKind::Reference:
        return Form::Reference;
    case PropertyKind::StringList:
        return Form::Lines;
    case PropertyKind::Int64:
    case PropertyKind::NestedObject:
    case PropertyKind::WideStringList:
        return Form::None;
    }
    return Form::None;
}

// Floats closer than this are the same stored value.
constexpr double kFloatTolerance = 1e-6;

QString FloatText(double value)
{
    return FloatToGeneralText(value, 15, FormatSettings::C());
}

// The ordinal of a getter's result (a Boolean is 0 or 1, a character its code).
int64_t OrdinalValue(const PropertyInfo& property, const Variant& value)
{
    if (value.Kind() == VariantKind::Boolean)
        return value.AsBoolean() ? 1 : 0;
    if (property.Kind == PropertyKind::Char) {
        const QString text = value.ToString();
        return text.isEmpty() ? 0 : text[0].unicode();
    }
    return value.ToInt64();
}

QString OrdinalText(const PropertyInfo& property, int64_t ordinal)
{
    if (property.Kind == PropertyKind::Enum && property.Enum != nullptr) {
        const QString name = property.Enum->NameOf(static_cast<int>(ordinal));
        if (!name.isEmpty())
            return name;
    }
    return QString::number(ordinal);
}

// The text a variant is stored as: its text in the C locale. Null (a variable without a
// value), arrays and late-bound objects have none.
QString VariantText(const Variant& value)
{
    switch (value.Kind()) {
    case VariantKind::Null:
    case VariantKind::Array:
    case VariantKind::Dispatch:
        return QString();
    default:
        return value.ToString();
    }
}

bool SameReference(const ScriptObject* a, const ScriptObject* b, const ReferenceNames& names)
{
    if (a == nullptr || b == nullptr || a == b)
        return a == b;
    if (!names.Compared)
        return false;
    const QString nameA = names.Compared(*a);
    const QString nameB = names.Compared(*b);
    return !nameA.isEmpty() && SameIdentifier(nameA, nameB);
}

// Reads an ordinal's stored text into the property.
TextRead OrdinalFromText(const PropertyInfo& property, ScriptObject& object, const QString& text)
{
    int64_t number = 0;
    if (property.Kind == PropertyKind::Enum) {
        if (!TextToInt64(text, number)) {
            const std::optional<int> named = property.Enum != nullptr ? property.Enum->OrdinalOf(text) : std::nullopt;
            if (!named)
                return TextRead::Ignored; // a name the enumeration does not have leaves the value
            number = *named;
        }
        if (property.Enum != nullptr && (number < property.Enum->Low || number > property.Enum->High()))
            return TextRead::OutOfRange;
        property.Set(object, FromValue(property, Variant(static_cast<int32_t>(number))));
        return TextRead::Set;
    }
    if (!TextToInt64(text, number))
        RaiseInvalidInteger(text);
    if (property.Kind == PropertyKind::Char) {
        if (number < 0 || number > 0xFFFF)
            return TextRead::OutOfRange;
        property.Set(object, Variant(QString(QChar(static_cast<char16_t>(number)))));
        return TextRead::Set;
    }
    if (property.Kind == PropertyKind::Set) {
        const int count = property.Enum != nullptr ? static_cast<int>(property.Enum->Values.size()) : 32;
        const uint64_t allowed = count >= 32 ? 0xFFFFFFFFu : ((uint64_t{1} << count) - 1u);
        if (number < 0 || (static_cast<uint64_t>(number) & ~allowed) != 0)
            return TextRead::OutOfRange;
    } else if (number < INT32_MIN || number > INT32_MAX) {
        return TextRead::OutOfRange;
    }
    property.Set(object, Variant(static_cast<int32_t>(number)));
    return TextRead::Set;
}

} // namespace

QString StoredListText(QString listText)
{
    if (listText.endsWith(QLatin1String("\r\n")))
        listText.chop(2);
    return listText;
}

QString ListTextFromStored(const QString& stored)
{
    return stored.isEmpty() ? stored : stored + QStringLiteral("\r\n");
}

bool HasStoredText(PropertyKind kind)
{
    return FormOf(kind) != Form::None;
}

std::optional<QString> ToText(const PropertyInfo& property, const ScriptObject& object, const ReferenceNames& names)
{
    std::optional<QString> text;
    switch (FormOf(property.Kind)) {
    case Form::Ordinal:
        if (property.Get)
            text = OrdinalText(property, OrdinalValue(property, property.Get(object)));
        break;
    case Form::Float:
        if (property.Get) {
            const double value = property.Get(object).ToDouble();
            if (std::isfinite(value)) // anything else would not read back
                text = FloatText(value);
        }
        break;
    case Form::Text:
        if (property.Get)
            text = property.Get(object).ToString();
        break;
    case Form::AnyValue:
        if (property.Get)
            text = VariantText(property.Get(object));
        break;
    case Form::Reference:
        if (property.GetObject) {
            const ScriptObject* referenced = property.GetObject(object);
            if (referenced == nullptr)
                text = QStringLiteral("nil");
            else if (names.Stored)
                text = names.Stored(*referenced);
        }
        break;
    case Form::Lines:
        if (property.GetText)
            return StoredListText(property.GetText(object)); // an empty list is stored too
        break;
    case Form::None:
        break;
    }
    if (text && text->isEmpty())
        return std::nullopt;
    return text;
}

bool IsDefault(const PropertyInfo& property, const ScriptObject& object)
{
    switch (FormOf(property.Kind)) {
    case Form::Ordinal:
        return property.Get && !property.Default.IsUnassigned() &&
               OrdinalValue(property, property.Get(object)) == OrdinalValue(property, property.Default);
    case Form::Reference:
        return property.GetObject && property.GetObject(object) == nullptr;
    default:
        return false;
    }
}

bool Equal(const PropertyInfo& property, const ScriptObject& a, const ScriptObject& b, const ReferenceNames& names)
{
    switch (FormOf(property.Kind)) {
    case Form::Ordinal:
        return !property.Get || OrdinalValue(property, property.Get(a)) == OrdinalValue(property, property.Get(b));
    case Form::Float:
        return !property.Get || std::fabs(property.Get(a).ToDouble() - property.Get(b).ToDouble()) < kFloatTolerance;
    case Form::Text:
        return !property.Get || property.Get(a).ToString() == property.Get(b).ToString();
    case Form::AnyValue: {
        if (!property.Get)
            return true;
        const Variant valueA = property.Get(a);
        const Variant valueB = property.Get(b);
        return valueA.Kind() == valueB.Kind() && VariantText(valueA) == VariantText(valueB);
    }
    case Form::Reference:
        return !property.GetObject || SameReference(property.GetObject(a), property.GetObject(b), names);
    case Form::Lines:
        return !property.GetText ||
               StoredListText(property.GetText(a)) == StoredListText(property.GetText(b));
    case Form::None:
        return true;
    }
    return true;
}

bool Differs(const PropertyInfo& property, const ScriptObject& object, const ScriptObject* ancestor,
             bool withDefaults, const ReferenceNames& names)
{
    const bool differs = ancestor != nullptr ? !Equal(property, object, *ancestor, names) : !IsDefault(property, object);
    if (differs)
        return true;
    const Form form = FormOf(property.Kind);
    return withDefaults && (form == Form::Ordinal || form == Form::Float || form == Form::Text || form == Form::AnyValue);
}

TextRead FromText(const PropertyInfo& property, ScriptObject& object, const QString& text)
{
    const Form form = FormOf(property.Kind);
    if (form == Form::Lines) {
        if (!property.SetText)
            return TextRead::Ignored;
        property.SetText(object, ListTextFromStored(text));
        return TextRead::Set;
    }
    if (!property.Set)
        return TextRead::Ignored;
    switch (form) {
    case Form::Ordinal:
        return OrdinalFromText(property, object, text);
    case Form::Float:
        property.Set(object, Variant(ParseLocaleFloat(text)));
        return TextRead::Set;
    case Form::Text:
    case Form::AnyValue:
        property.Set(object, Variant(text));
        return TextRead::Set;
    default:
        return TextRead::Ignored;
    }
}

void Copy(const PropertyInfo& property, const ScriptObject& from, ScriptObject& to, bool withDefaults)
{
    switch (FormOf(property.Kind)) {
    case Form::Ordinal:
        if (property.Get && property.Set && (withDefaults || !IsDefault(property, from)))
            property.Set(to, property.Get(from));
        break;
    case Form::Float:
    case Form::Text:
    case Form::AnyValue:
    case Form::Lines:
        // As the stored text reads back (a float's 15 digits; an empty text is not stored).
        if (const std::optional<QString> text = ToText(property, from))
            FromText(property, to, *text);
        break;
    case Form::Reference:
    case Form::None:
        break;
    }
}

Variant FromValue(const PropertyInfo& property, const Variant& value)
{
    switch (property.Kind) {
    case PropertyKind::Integer:
        return Variant(value.ToInt32());
    case PropertyKind::Int64:
        return Variant(value.ToInt64());
    case PropertyKind::Char:
        return Variant(value.ToString().left(1));
    case PropertyKind::Enum: {
        if (property.Enum != nullptr && property.Enum->Name == QLatin1String("Boolean")) {
            // An ordinal 0 is False, anything else True, as the class library writes them.
            if (value.Kind() == VariantKind::Boolean)
                return value;
            return Variant(value.ToInt64() != 0);
        }
        int32_t ordinal = 0;
        if (value.IsString() && property.Enum != nullptr) {
            const std::optional<int> named = property.Enum->OrdinalOf(value.AsString());
            ordinal = named ? *named : value.ToInt32();
        } else {
            ordinal = value.ToInt32();
        }
        if (property.Enum != nullptr && (ordinal < property.Enum->Low || ordinal > property.Enum->High()))
            throw ERangeError();
        return Variant(ordinal);
    }
    case PropertyKind::Set: {
        const int32_t bits = value.ToInt32();
        if (property.Enum != nullptr) {
            const int count = static_cast<int>(property.Enum->Values.size());
            // Elements are numbered from the enumeration's lowest ordinal; a set holds at most 32.
            const uint32_t allowed = count >= 32 ? 0xFFFFFFFFu : ((uint32_t{1} << count) - 1u);
            if ((static_cast<uint32_t>(bits) & ~allowed) != 0)
                throw ERangeError();
        }
        return Variant(bits);
    }
    case PropertyKind::Float:
        return Variant(value.ToDouble());
    case PropertyKind::String:
    case PropertyKind::EventName:
        return Variant(value.ToString());
    case PropertyKind::Variant:
        return value;
    case PropertyKind::Reference:
    case PropertyKind::StringList:
    case PropertyKind::WideStringList:
    case PropertyKind::NestedObject:
        return Variant::FromObject(ObjectHandles::HandleOf(value));
    }
    return value;
}

TypeOfValue TypeOf(const PropertyInfo& property)
{
    // By kind, in the order of PropertyKind; an enumeration named Boolean reads as one.
    static constexpr ValueType kTypeOfKind[] = {
        ValueType::Integer, ValueType::Int64,  ValueType::Char,   ValueType::Enum,   ValueType::Set,
        ValueType::Float,   ValueType::String, ValueType::Variant, ValueType::Object, ValueType::Object,
        ValueType::Object,  ValueType::String, ValueType::Object,
    };
    static_assert(std::size(kTypeOfKind) == static_cast<size_t>(PropertyKind::WideStringList) + 1);
    TypeOfValue type{kTypeOfKind[static_cast<size_t>(property.Kind)], property.TypeName};
    if (type.Type == ValueType::Enum) {
        if (SameIdentifier(property.TypeName, u"Boolean") || SameIdentifier(property.TypeName, u"bool"))
            type.Type = ValueType::Boolean;
        else if (property.Enum != nullptr)
            type.TypeName = property.Enum->Name;
    } else if (type.Type == ValueType::Object && property.ObjectClass != nullptr) {
        type.TypeName = property.ObjectClass->Name;
    }
    return type;
}

} // namespace propertycodec
