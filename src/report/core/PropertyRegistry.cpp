#include "PropertyRegistry.h"

#include "PropertyCodec.h"
#include "Formats.h"
#include "Texts.h"

#include "ScriptErrors.h"

#include "platform/Exceptions.h"

bool SameIdentifier(QStringView a, QStringView b)
{
    // Letter case folds one code unit to one, so names of other lengths never match; the
    // length test spares the case folding of nearly every name a look-up passes.
    return a.size() == b.size() && a.compare(b, Qt::CaseInsensitive) == 0;
}

const char* PropertyKindName(PropertyKind kind)
{
    switch (kind) {
    case PropertyKind::Integer:
        return "Integer";
    case PropertyKind::Int64:
        return "Int64";
    case PropertyKind::Char:
        return "Char";
    case PropertyKind::Enum:
        return "Enum";
    case PropertyKind::Set:
        return "Set";
    case PropertyKind::Float:
        return "Float";
    case PropertyKind::String:
        return "String";
    case PropertyKind::Variant:
        return "Variant";
    case PropertyKind::Reference:
        return "Reference";
    case PropertyKind::StringList:
        return "StringList";
    case PropertyKind::NestedObject:
        return "NestedObject";
    case PropertyKind::EventName:
        return "EventName";
    case PropertyKind::WideStringList:
        return "WideStringList";
    }
    return "Unknown";
}

QString EnumTypeInfo::NameOf(int ordinal) const
{
    if (ordinal < Low || ordinal > High())
        return QString();
    return Values[static_cast<size_t>(ordinal - Low)];
}

std::optional<int> EnumTypeInfo::OrdinalOf(QStringView name) const
{
    for (size_t i = 0; i < Values.size(); ++i) {
        if (SameIdentifier(Values[i], name))
            return Low + static_cast<int>(i);
    }
    return std::nullopt;
}

bool PropertyInfo::IsStored(const ScriptObject& object) const
{
    if (Stored)
        return Stored(object);
    if (Default.IsUnassigned() || !Get)
        return true;
    const Variant value = Get(object);
    if (value.Kind() != Default.Kind() && (value.IsNull() || Default.IsNull()))
        return true;
    try {
        return VariantCompare(VariantRelation::NotEqual, value, Default);
    } catch (const EScriptError&) {
        return true; // values that do not compare differ
    }
}

Variant PropertyInfo::Canonical(const Variant& value) const
{
    return propertycodec::FromValue(*this, value);
}

PropertyInfo& RegisteredClass::Add(PropertyInfo property)
{
    if (Find(property.Name) != nullptr)
        throw platform::Exception(
            FormatText(coretexts::kPropertyDeclaredTwiceFormat, {Variant(property.Name), Variant(Info.Name)}).toStdString());
    properties_.push_back(std::move(property));
    return properties_.back();
}

PropertyInfo& RegisteredClass::AddInteger(const QString& name, PropertyGetter get, PropertySetter set, int32_t def,
                                          const QString& typeName)
{
    PropertyInfo p;
    p.Name = name;
    p.Kind = PropertyKind::Integer;
    p.TypeName = typeName;
    p.Default = Variant(def);
    p.Get = std::move(get);
    p.Set = std::move(set);
    return Add(std::move(p));
}

PropertyInfo& RegisteredClass::AddBoolean(const QString& name, PropertyGetter get, PropertySetter set, bool def)
{
    PropertyInfo p;
    p.Name = name;
    p.Kind = PropertyKind::Enum;
    p.TypeName = QStringLiteral("Boolean");
    p.Enum = &registry_.BooleanEnum();
    p.Default = Variant(def);
    p.Get = std::move(get);
    p.Set = std::move(set);
    return Add(std::move(p));
}

PropertyInfo& RegisteredClass::AddFloat(const QString& name, PropertyGetter get, PropertySetter set, double def,
                                        const QString& typeName)
{
    PropertyInfo p;
    p.Name = name;
    p.Kind = PropertyKind::Float;
    p.TypeName = typeName;
    p.Default = Variant(def);
    p.Get = std::move(get);
    p.Set = std::move(set);
    return Add(std::move(p));
}

PropertyInfo& RegisteredClass::AddString(const QString& name, PropertyGetter get, PropertySetter set,
                                         const QString& typeName)
{
    PropertyInfo p;
    p.Name = name;
    p.Kind = PropertyKind::String;
    p.TypeName = typeName;
    p.Default = Variant(QString());
    p.Get = std::move(get);
    p.Set = std::move(set);
    return Add(std::move(p));
}

PropertyInfo& RegisteredClass::AddEnum(const QString& name, const EnumTypeInfo& type, PropertyGetter get,
                                       PropertySetter set, int def)
{
    PropertyInfo p;
    p.Name = name;
    p.Kind = PropertyKind::Enum;
    p.TypeName = type.Name;
    p.Enum = &type;
    p.Default = Variant(int32_t{def});
    p.Get = std::move(get);
    p.Set = std::move(set);
    return Add(std::move(p));
}

PropertyInfo& RegisteredClass::AddSet(const QString& name, const QString& typeName, const EnumTypeInfo& elements,
                                      PropertyGetter get, PropertySetter set, int32_t def)
{
    PropertyInfo p;
    p.Name = name;
    p.Kind = PropertyKind::Set;
    p.TypeName = typeName;
    p.Enum = &elements;
    p.Default = Variant(def);
    p.Get = std::move(get);
    p.Set = std::move(set);
    return Add(std::move(p));
}

PropertyInfo& RegisteredClass::AddObject(const QString& name, PropertyKind kind, const ScriptClassInfo& objectClass,
                                         PropertyGetter get, PropertySetter set)
{
    PropertyInfo p;
    p.Name = name;
    p.Kind = kind;
    p.TypeName = objectClass.Name;
    p.ObjectClass = &objectClass;
    if (kind == PropertyKind::Reference)
        p.Default = Variant::FromObject(0);
    p.Get = std::move(get);
    p.Set = std::move(set);
    return Add(std::move(p));
}

namespace {

// A Reference or NestedObject property reached directly, with Get and Set as handles: a
// reference takes nil, an owned object stays as it is when given nil.
PropertyInfo DirectObjectProperty(const QString& name, PropertyKind kind, const ScriptClassInfo& objectClass,
                                  PropertyObjectGetter get, PropertyObjectSetter set)
{
    PropertyInfo p;
    p.Name = name;
    p.Kind = kind;
    p.TypeName = objectClass.Name;
    p.ObjectClass = &objectClass;
    if (kind == PropertyKind::Reference)
        p.Default = Variant::FromObject(0);
    p.Get = [get](const ScriptObject& object) { return ObjectHandles::ToVariant(get(object)); };
    if (set) {
        const ScriptClassInfo* expected = &objectClass;
        const bool nilClears = kind == PropertyKind::Reference;
        p.Set = [set, expected, nilClears](ScriptObject& object, const Variant& value) {
            const uint32_t handle = ObjectHandles::HandleOf(value);
            if (handle != 0)
                set(object, &ObjectHandles::Resolve(handle, *expected));
            else if (nilClears)
                set(object, nullptr);
        };
    }
    p.GetObject = std::move(get);
    p.SetObject = std::move(set);
    return p;
}

} // namespace

PropertyInfo& RegisteredClass::AddReference(const QString& name, const ScriptClassInfo& objectClass,
                                            PropertyObjectGetter get, PropertyObjectSetter set)
{
    return Add(DirectObjectProperty(name, PropertyKind::Reference, objectClass, std::move(get), std::move(set)));
}

PropertyInfo& RegisteredClass::AddNested(const QString& name, const ScriptClassInfo& objectClass,
                                         PropertyObjectGetter get, PropertyObjectSetter set)
{
    return Add(DirectObjectProperty(name, PropertyKind::NestedObject, objectClass, std::move(get), std::move(set)));
}

PropertyInfo& RegisteredClass::AddLines(const QString& name, PropertyKind kind, const QString& typeName,
                                        PropertyTextGetter get, PropertyTextSetter set)
{
    if (kind != PropertyKind::StringList && kind != PropertyKind::WideStringList)
        throw platform::Exception(
            FormatText(coretexts::kPropertyNoLinesFormat, {Variant(name), Variant(Info.Name)}).toStdString());
    PropertyInfo p;
    p.Name = name;
    p.Kind = kind;
    p.TypeName = typeName;
    p.GetText = std::move(get);
    p.SetText = std::move(set);
    return Add(std::move(p));
}

PropertyInfo& RegisteredClass::AddEvent(const QString& name, const QString& typeName, PropertyGetter get,
                                        PropertySetter set)
{
    PropertyInfo p;
    p.Name = name;
    p.Kind = PropertyKind::EventName;
    p.TypeName = typeName;
    p.Default = Variant(QString());
    p.Get = std::move(get);
    p.Set = std::move(set);
    return Add(std::move(p));
}

void RegisteredClass::WriteDefinedProperties(const ScriptObject& object, TrpValueWriter& writer) const
{
    std::vector<const RegisteredClass*> chain;
    for (const RegisteredClass* c = this; c != nullptr; c = c->Parent)
        chain.push_back(c);
    for (auto c = chain.rbegin(); c != chain.rend(); ++c) {
        if ((*c)->WriteDefined)
            (*c)->WriteDefined(object, writer);
    }
}

bool RegisteredClass::ReadDefinedProperty(ScriptObject& object, const QString& name, TrpValueReader& reader) const
{
    for (const RegisteredClass* c = this; c != nullptr; c = c->Parent) {
        if (c->ReadDefined && c->ReadDefined(object, name, reader))
            return true;
    }
    return false;
}

bool RegisteredClass::HasDefinedProperties() const
{
    for (const RegisteredClass* c = this; c != nullptr; c = c->Parent) {
        if (c->WriteDefined || c->ReadDefined)
            return true;
    }
    return false;
}

bool RegisteredClass::Accepts(const ScriptObject& parent, const ScriptClassInfo& child) const
{
    for (const RegisteredClass* c = this; c != nullptr; c = c->Parent) {
        if (c->AcceptsChild)
            return c->AcceptsChild(parent, child);
    }
    return true;
}

std::vector<const PropertyInfo*> RegisteredClass::AllProperties() const
{
    std::vector<const RegisteredClass*> chain;
    for (const RegisteredClass* c = this; c != nullptr; c = c->Parent)
        chain.push_back(c);
    std::vector<const PropertyInfo*> all;
    for (auto c = chain.rbegin(); c != chain.rend(); ++c) {
        for (const PropertyInfo& p : (*c)->properties_)
            all.push_back(&p);
    }
    return all;
}

const PropertyInfo* RegisteredClass::Find(QStringView name) const
{
    for (const RegisteredClass* c = this; c != nullptr; c = c->Parent) {
        for (const PropertyInfo& p : c->properties_) {
            if (SameIdentifier(p.Name, name))
                return &p;
        }
    }
    return nullptr;
}

PropertyRegistry& PropertyRegistry::Global()
{
    static PropertyRegistry* registry = new PropertyRegistry; // outlives every static object
    return *registry;
}

PropertyRegistry::PropertyRegistry()
{
    boolean_ = &AddEnum(QStringLiteral("Boolean"), {QStringLiteral("False"), QStringLiteral("True")});
}

RegisteredClass& PropertyRegistry::Register(const ScriptClassInfo& info, ObjectFactory factory)
{
    if (byInfo_.count(&info) != 0 || FindByName(info.Name) != nullptr)
        throw platform::Exception(FormatText(coretexts::kClassRegisteredTwiceFormat, {Variant(info.Name)}).toStdString());
    const RegisteredClass* parent = nullptr;
    if (info.Ancestor != nullptr) {
        parent = FindFor(*info.Ancestor);
    }
    classes_.emplace_back(*this, info, parent, std::move(factory));
    byInfo_[&info] = &classes_.back();
    return classes_.back();
}

bool PropertyRegistry::Contains(const ScriptClassInfo& info) const
{
    return byInfo_.count(&info) != 0;
}

const RegisteredClass* PropertyRegistry::Find(const ScriptClassInfo& info) const
{
    const auto found = byInfo_.find(&info);
    return found == byInfo_.end() ? nullptr : found->second;
}

const RegisteredClass* PropertyRegistry::FindByName(QStringView name) const
{
    for (const RegisteredClass& c : classes_) {
        if (SameIdentifier(c.Name(), name))
            return &c;
    }
    return nullptr;
}

const RegisteredClass* PropertyRegistry::FindFor(const ScriptClassInfo& info) const
{
    for (const ScriptClassInfo* c = &info; c != nullptr; c = c->Ancestor) {
        if (const RegisteredClass* found = Find(*c))
            return found;
    }
    return nullptr;
}

const RegisteredClass* PropertyRegistry::FindCreatable(QStringView name) const
{
    const RegisteredClass* found = FindByName(name);
    return found != nullptr && found->Factory ? found : nullptr;
}

std::vector<const RegisteredClass*> PropertyRegistry::Classes() const
{
    std::vector<const RegisteredClass*> all;
    all.reserve(classes_.size());
    for (const RegisteredClass& c : classes_)
        all.push_back(&c);
    return all;
}

const EnumTypeInfo& PropertyRegistry::AddEnum(const QString& name, std::vector<QString> values, int low)
{
    if (const EnumTypeInfo* existing = FindEnum(name)) {
        if (existing->Values == values && existing->Low == low)
            return *existing;
        throw platform::Exception(FormatText(coretexts::kEnumerationDeclaredTwiceFormat, {Variant(name)}).toStdString());
    }
    enums_.push_back(EnumTypeInfo{name, std::move(values), low});
    return enums_.back();
}

const EnumTypeInfo* PropertyRegistry::FindEnum(QStringView name) const
{
    for (const EnumTypeInfo& e : enums_) {
        if (SameIdentifier(e.Name, name))
            return &e;
    }
    return nullptr;
}
