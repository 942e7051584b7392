#pragma once

#include "ObjectHandles.h"
#include "Variant.h"

#include <QString>
#include <QStringView>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

// The one description of the published properties of native classes. Script class
// descriptors, the report file serializer and the designer's inspector all read it, so a
// property is declared once: name, kind, type, default, when it is stored, getter, setter.
// Classes keep their declaration order; a class's full list starts with its ancestors'.
//
// Nothing registers itself: each library has an explicit, idempotent init that registers its
// classes, and registering a class twice is refused.

enum class PropertyKind : uint8_t {
    Integer,      // 32-bit integer
    Int64,
    Char,         // one character, as a one-character text
    Enum,         // an ordinal of an enumeration (Boolean is the enumeration "Boolean")
    Set,          // bits of the elements of an enumeration
    Float,
    String,
    Variant,      // any value
    Reference,    // another object, held by reference (a handle; nil is 0)
    StringList,   // an owned list of lines, as an object
    NestedObject, // an owned object whose properties belong to the owner's
    EventName,    // the name of a script routine that handles an event
    WideStringList, // an owned list of UTF-16 lines with a number each (memo texts), as an object
};

const char* PropertyKindName(PropertyKind kind);

// An enumeration: the names of its ordinals Low, Low + 1, ...
struct EnumTypeInfo {
    QString Name;
    std::vector<QString> Values;
    int Low = 0;

    int High() const { return Low + static_cast<int>(Values.size()) - 1; }
    // The name of an ordinal; empty outside Low..High.
    QString NameOf(int ordinal) const;
    // The ordinal of a name (names compared as SameIdentifier does).
    std::optional<int> OrdinalOf(QStringView name) const;
};

// Reading and writing a property of an object. The object is always of the property's class
// or a descendant: callers resolve it through the handle table for that class first.
using PropertyGetter = std::function<Variant(const ScriptObject& object)>;
using PropertySetter = std::function<void(ScriptObject& object, const Variant& value)>;
using PropertyStoredTest = std::function<bool(const ScriptObject& object)>;
// The object a Reference or NestedObject property holds (nullptr for none), and setting it:
// a reference refers to the object given, a nested object copies it into the owned one.
using PropertyObjectGetter = std::function<ScriptObject*(const ScriptObject& object)>;
using PropertyObjectSetter = std::function<void(ScriptObject& object, ScriptObject* value)>;
// The lines of a StringList or WideStringList property as one text, each line followed by
// CR LF, and replacing them from a text (split at its line breaks).
using PropertyTextGetter = std::function<QString(const ScriptObject& object)>;
using PropertyTextSetter = std::function<void(ScriptObject& object, const QString& text)>;

// The tagged values of component streams (report/model) that defined properties are written
// in and read from.
class TrpValueWriter;
class TrpValueReader;

// Defined properties: values a class writes and reads itself, beside its published
// properties, as named tagged values. The writer writes every defined property of the object
// (name and value); the reader reads the value of one property it knows and answers true, or
// answers false, reading nothing, for a name it does not define.
using DefinedPropertiesWriter = std::function<void(const ScriptObject& object, TrpValueWriter& writer)>;
using DefinedPropertyReader =
    std::function<bool(ScriptObject& object, const QString& name, TrpValueReader& reader)>;

// Whether an object of the class accepts a child of the given class in its object tree.
using ChildClassTest = std::function<bool(const ScriptObject& parent, const ScriptClassInfo& child)>;

struct PropertyInfo {
    QString Name;
    PropertyKind Kind = PropertyKind::Integer;
    // The type as declarations write it: "Integer", "Boolean", "TColor", "TFont", ...
    QString TypeName;
    // Enum: its enumeration; Set: the enumeration of its elements.
    const EnumTypeInfo* Enum = nullptr;
    // Reference, StringList, WideStringList, NestedObject: the class of the object.
    const ScriptClassInfo* ObjectClass = nullptr;
    // The declared default; Unassigned when the property has none (always stored).
    Variant Default;
    // Decides per object whether the value is stored; none: when it differs from Default.
    PropertyStoredTest Stored;
    PropertyGetter Get;
    PropertySetter Set; // none: read-only
    // Reference and NestedObject: the object itself, without going through a handle (the
    // serializer and the designer); set by AddReference and AddNested with Get and Set.
    PropertyObjectGetter GetObject;
    PropertyObjectSetter SetObject;
    // StringList and WideStringList: the lines as one text.
    PropertyTextGetter GetText;
    PropertyTextSetter SetText;

    bool HasSetter() const { return static_cast<bool>(Set); }
    // Enum: the lowest and highest ordinal; Set: those of its elements' enumeration (0 and -1
    // without an enumeration).
    int MinValue() const { return Enum != nullptr ? Enum->Low : 0; }
    int MaxValue() const { return Enum != nullptr ? Enum->High() : -1; }
    // Whether the property holds another object by reference (a component elsewhere in the
    // tree), an object it owns (nested object, string list) or a plain value.
    bool IsReference() const { return Kind == PropertyKind::Reference; }
    bool IsOwnedObject() const
    {
        return Kind == PropertyKind::NestedObject || Kind == PropertyKind::StringList ||
               Kind == PropertyKind::WideStringList;
    }
    // Whether an object's value of this property is stored: the stored test, or else whether
    // the value differs from Default.
    bool IsStored(const ScriptObject& object) const;
    // The stored test alone (true without one). Writers that compare values with defaults or
    // with an ancestor themselves ask this.
    bool StoredCondition(const ScriptObject& object) const { return !Stored || Stored(object); }
    // The value in the form the getter gives and the setter takes for this kind: Integer,
    // Enum, Set Int32 (a Boolean enumeration a Boolean); Int64; Char and String texts (Char one
    // character); Float Double; references and owned objects an Object handle; Variant and
    // EventName as given (EventName a text). Raises the variant conversion errors, and
    // ERangeError for an ordinal outside the enumeration or bits outside the set.
    Variant Canonical(const Variant& value) const;
};

using ObjectFactory = std::function<std::unique_ptr<ScriptObject>()>;

class PropertyRegistry;

class RegisteredClass {
public:
    RegisteredClass(const PropertyRegistry& registry, const ScriptClassInfo& info, const RegisteredClass* parent,
                    ObjectFactory factory)
        : Info(info), Parent(parent), Factory(std::move(factory)), registry_(registry)
    {
    }

    const ScriptClassInfo& Info;
    const RegisteredClass* Parent; // the registered ancestor, or none
    ObjectFactory Factory;         // none: the class cannot be created by name

    const QString& Name() const { return Info.Name; }

    // Declares a property; names are unique within a class and its ancestors.
    PropertyInfo& Add(PropertyInfo property);
    // Shorthands filling name, kind, type and accessors.
    PropertyInfo& AddInteger(const QString& name, PropertyGetter get, PropertySetter set, int32_t def = 0,
                             const QString& typeName = QStringLiteral("Integer"));
    PropertyInfo& AddBoolean(const QString& name, PropertyGetter get, PropertySetter set, bool def = false);
    PropertyInfo& AddFloat(const QString& name, PropertyGetter get, PropertySetter set, double def = 0,
                           const QString& typeName = QStringLiteral("Extended"));
    PropertyInfo& AddString(const QString& name, PropertyGetter get, PropertySetter set,
                            const QString& typeName = QStringLiteral("String"));
    PropertyInfo& AddEnum(const QString& name, const EnumTypeInfo& type, PropertyGetter get, PropertySetter set,
                          int def = 0);
    PropertyInfo& AddSet(const QString& name, const QString& typeName, const EnumTypeInfo& elements, PropertyGetter get,
                         PropertySetter set, int32_t def = 0);
    PropertyInfo& AddObject(const QString& name, PropertyKind kind, const ScriptClassInfo& objectClass,
                            PropertyGetter get, PropertySetter set = {});
    // A reference to another object, given directly; Get and Set follow as object handles.
    // Without a setter the property is read-only.
    PropertyInfo& AddReference(const QString& name, const ScriptClassInfo& objectClass, PropertyObjectGetter get,
                               PropertyObjectSetter set = {});
    // An owned object whose properties are stored with the owner's (a font, a frame); set
    // copies into it. Get gives its handle, Set takes one.
    PropertyInfo& AddNested(const QString& name, const ScriptClassInfo& objectClass, PropertyObjectGetter get,
                            PropertyObjectSetter set = {});
    // An owned list of lines (StringList or WideStringList), stored as its text.
    PropertyInfo& AddLines(const QString& name, PropertyKind kind, const QString& typeName, PropertyTextGetter get,
                           PropertyTextSetter set);
    // The name of a script routine handling an event; the type as the Parts write it
    // ("TrpNotifyEvent").
    PropertyInfo& AddEvent(const QString& name, const QString& typeName, PropertyGetter get, PropertySetter set);

    // Defined properties of this class (each class of a chain writes its own; see
    // WriteDefinedProperties and ReadDefinedProperty).
    DefinedPropertiesWriter WriteDefined;
    DefinedPropertyReader ReadDefined;
    // Which children this class accepts in its object tree; none: the ancestor's test, and any
    // child when no class of the chain has one.
    ChildClassTest AcceptsChild;

    // Writes the defined properties of the object, the ancestors' first.
    void WriteDefinedProperties(const ScriptObject& object, TrpValueWriter& writer) const;
    // Reads one defined property by the nearest class of the chain that knows the name; false
    // when none does (nothing was read).
    bool ReadDefinedProperty(ScriptObject& object, const QString& name, TrpValueReader& reader) const;
    // Whether any class of the chain defines properties.
    bool HasDefinedProperties() const;
    // The placement test of the nearest class of the chain that has one; true without one.
    bool Accepts(const ScriptObject& parent, const ScriptClassInfo& child) const;

    // This class's own properties in declaration order.
    const std::deque<PropertyInfo>& OwnProperties() const { return properties_; }
    // Every property, the ancestors' first, each class in declaration order.
    std::vector<const PropertyInfo*> AllProperties() const;
    // A property of this class or an ancestor (names compared as SameIdentifier does).
    const PropertyInfo* Find(QStringView name) const;

private:
    std::deque<PropertyInfo> properties_; // a deque keeps addresses stable while it grows
    const PropertyRegistry& registry_;
};

class PropertyRegistry {
public:
    // The registry of the program. It starts with the enumeration "Boolean" and no class.
    static PropertyRegistry& Global();

    PropertyRegistry();
    PropertyRegistry(const PropertyRegistry&) = delete;
    PropertyRegistry& operator=(const PropertyRegistry&) = delete;

    // Registers a class; its ancestor, when it has one, must be registered first. A class
    // registered before raises platform::Exception.
    RegisteredClass& Register(const ScriptClassInfo& info, ObjectFactory factory = {});
    // True when the class is registered.
    bool Contains(const ScriptClassInfo& info) const;

    const RegisteredClass* Find(const ScriptClassInfo& info) const;
    // A registered class by name (names compared as SameIdentifier does).
    const RegisteredClass* FindByName(QStringView name) const;
    // The nearest registered class of an object's class or its ancestors.
    const RegisteredClass* FindFor(const ScriptClassInfo& info) const;
    // A registered class by name that can be created by name (has a factory).
    const RegisteredClass* FindCreatable(QStringView name) const;

    // Every class in registration order.
    std::vector<const RegisteredClass*> Classes() const;

    // Declares an enumeration (names are unique; a second declaration of the same name and
    // values returns the first, other values raise platform::Exception).
    const EnumTypeInfo& AddEnum(const QString& name, std::vector<QString> values, int low = 0);
    const EnumTypeInfo* FindEnum(QStringView name) const;
    const EnumTypeInfo& BooleanEnum() const { return *boolean_; }

private:
    std::deque<RegisteredClass> classes_;
    std::unordered_map<const ScriptClassInfo*, RegisteredClass*> byInfo_;
    std::deque<EnumTypeInfo> enums_;
    const EnumTypeInfo* boolean_ = nullptr;
};

// Whether two names are equal under Unicode case folding, independent of the locale: the one
// fold of every class, member and symbol name.
bool SameIdentifier(QStringView a, QStringView b);

// Helpers for accessors of a known class: the object is cast to T (callers have resolved it
// for the class).
template <class T, class F>
PropertyGetter GetterOf(F function)
{
    return [function](const ScriptObject& object) -> Variant { return function(static_cast<const T&>(object)); };
}

template <class T, class F>
PropertySetter SetterOf(F function)
{
    return [function](ScriptObject& object, const Variant& value) { function(static_cast<T&>(object), value); };
}
