#pragma once

#include "PropertyRegistry.h"

#include <QString>

#include <functional>
#include <optional>

// How the value of a published property is stored as text, read back from it, compared,
// copied and taken from a script, one rule per property kind, for every reader of the
// property registry: the report serializer, the script engine's class descriptors and the
// designer's inspector.
//
// Stored texts: ordinals (Integer, Char, Enum, Set) as the enumeration's value name or a
// decimal number (a character by its code, a set as its bits), floats in the general form
// with 15 significant digits in the C locale (read back with '.' or ','), texts and event
// names as they are, variants as their text in the C locale, lists of lines as their text
// without the final line break, references as the name the caller gives the object ("nil"
// for none, which a writer stores only where an ancestor holds one). 64-bit
// integers, nested objects (whose own properties are stored) and wide string lists (which
// their owner stores as its text) have no stored text.
namespace propertycodec {

// How references are named: the text stored for a referenced object (empty: nothing to
// store), and the name by which references held by two objects count as the same (ignoring
// case). Without them a reference has no text and references compare by identity.
struct ReferenceNames {
    std::function<QString(const ScriptObject& referenced)> Stored;
    std::function<QString(const ScriptObject& referenced)> Compared;
};

// A list's text (each line followed by CR LF) as it is stored: without the final line break;
// and back, the final line break put on again, so that lines that end in empty ones do not
// lose one at every save.
QString StoredListText(QString listText);
QString ListTextFromStored(const QString& stored);

// Whether the kind's value is stored as a text of its own.
bool HasStoredText(PropertyKind kind);

// The text the value is stored as; none when it has none to store: a float that is no
// number, an empty text, a variant without a text (Null, arrays), a reference to an object
// without a stored name, and the kinds without stored text.
std::optional<QString> ToText(const PropertyInfo& property, const ScriptObject& object,
                              const ReferenceNames& names = {});

// Whether the value is the declared default: an ordinal equal to the property's default, a
// reference to no object. Values of the other kinds have no default that leaves them out.
bool IsDefault(const PropertyInfo& property, const ScriptObject& object);

// Whether two objects of the property's class hold values stored alike: equal ordinals,
// floats closer than 1e-6, equal texts, variants of one kind with one text, references both
// to no object or to objects of the same compared name, lists with the same text.
bool Equal(const PropertyInfo& property, const ScriptObject& a, const ScriptObject& b,
           const ReferenceNames& names = {});

// Whether a writer stores the value: when it differs from the ancestor's (with an ancestor)
// or from the default (without one); a writer of default values stores every value of the
// plain kinds as well, while references and lists are stored only when they differ.
bool Differs(const PropertyInfo& property, const ScriptObject& object, const ScriptObject* ancestor,
             bool withDefaults, const ReferenceNames& names = {});

// What reading a stored text did.
enum class TextRead {
    Set,        // the value was set
    Ignored,    // the text has nothing for this property (an unknown enumeration name, a kind
                // without stored text, a reference, which its reader resolves by name later)
    OutOfRange, // a number outside what the property holds: the caller reports the value
};

// Sets the property from its stored text. A text that is no number where one is needed
// raises the conversion errors ("... is an invalid integer", "... is an invalid float").
TextRead FromText(const PropertyInfo& property, ScriptObject& object, const QString& text);

// Copies the value from one object to another of the same class as its stored text would
// carry it (a float as it reads back); a default ordinal only with withDefaults, an empty
// text not at all. References and nested objects are the caller's (they need resolving and
// recursion); kinds without a setter are left alone.
void Copy(const PropertyInfo& property, const ScriptObject& from, ScriptObject& to, bool withDefaults);

// The value in the form the getter gives and the setter takes for the kind (see
// PropertyInfo::Canonical), from any value: a script's, the late-bound calls'.
Variant FromValue(const PropertyInfo& property, const Variant& value);

// What a value of the property is to a reader that types it (scripts): its type and the name
// of the enumeration or class.
enum class ValueType { Integer, Int64, Char, Boolean, Enum, Set, Float, String, Variant, Object };
struct TypeOfValue {
    ValueType Type = ValueType::Variant;
    QString TypeName; // as declarations write it: "Integer", "Extended", the enumeration or class
};
TypeOfValue TypeOf(const PropertyInfo& property);

} // namespace propertycodec
