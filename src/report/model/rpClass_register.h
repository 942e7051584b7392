#pragma once

// Helpers for declaring the published properties of the report classes in the property
// registry from their members: a plain field, or a getter and setter pair. Only the model's
// own sources include this.

#include "rpClass.h"

#include "report/core/PropertyRegistry.h"

#include <QString>

#include <cmath>
#include <cstdint>
#include <optional>

// Declares the class record of a report class and its ScriptClass override.
#define TRP_CLASS(Name, Base)                                                                                          \
    static const ScriptClassInfo& Class()                                                                              \
    {                                                                                                                  \
        static const ScriptClassInfo info{QStringLiteral(#Name), &Base::Class()};                                      \
        return info;                                                                                                   \
    }                                                                                                                  \
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

// The same for a class without ancestor (options, frames, collection items).
#define TRP_ROOT_CLASS(Name)                                                                                           \
    static const ScriptClassInfo& Class()                                                                              \
    {                                                                                                                  \
        static const ScriptClassInfo info{QStringLiteral(#Name), nullptr};                                             \
        return info;                                                                                                   \
    }                                                                                                                  \
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

// "Неверное значение свойства <name>="<value>"": the error a value outside its property's
// bounds gives; a load reports it as one error line and keeps the property's value.
[[noreturn]] void RaiseInvalidPropertyValue(QStringView name, const QString& value);

// A list of lines as one text, each line followed by CR LF, and back (split at CR LF, LF or CR;
// a final line break adds no empty line).
QString LinesToText(const QStringList& lines);
QStringList TextToLines(const QString& text);

namespace rpreg {

// A float from a script or a file: infinities and NaN are refused.
inline double Finite(const QString& name, const Variant& value)
{
    const double d = value.ToDouble();
    if (!std::isfinite(d))
        RaiseInvalidPropertyValue(name, value.ToString());
    return d;
}

// A float within [low, high].
inline double Bounded(const QString& name, const Variant& value, double low, double high)
{
    const double d = Finite(name, value);
    if (d < low || d > high)
        RaiseInvalidPropertyValue(name, value.ToString());
    return d;
}

// An integer within [low, high].
inline int32_t Bounded(const QString& name, const Variant& value, int32_t low, int32_t high)
{
    const int32_t i = value.ToInt32();
    if (i < low || i > high)
        RaiseInvalidPropertyValue(name, value.ToString());
    return i;
}

template <class T>
PropertyInfo& Bool(RegisteredClass& c, const char* name, bool T::*field, bool def)
{
    return c.AddBoolean(QString::fromLatin1(name), GetterOf<T>([field](const T& o) { return Variant(o.*field); }),
                        SetterOf<T>([field](T& o, const Variant& v) { o.*field = v.ToBoolean(); }), def);
}

template <class T>
PropertyInfo& Bool(RegisteredClass& c, const char* name, bool (T::*get)() const, void (T::*set)(bool), bool def)
{
    return c.AddBoolean(QString::fromLatin1(name), GetterOf<T>([get](const T& o) { return Variant((o.*get)()); }),
                        SetterOf<T>([set](T& o, const Variant& v) { (o.*set)(v.ToBoolean()); }), def);
}

// An integer; without a default it is always written.
template <class T>
PropertyInfo& Int(RegisteredClass& c, const char* name, int32_t T::*field, std::optional<int32_t> def,
                  const char* type = "Integer")
{
    PropertyInfo& p = c.AddInteger(
        QString::fromLatin1(name), GetterOf<T>([field](const T& o) { return Variant(o.*field); }),
        SetterOf<T>([field](T& o, const Variant& v) { o.*field = v.ToInt32(); }), def.value_or(0),
        QString::fromLatin1(type));
    if (!def)
        p.Default = Variant();
    return p;
}

template <class T>
PropertyInfo& Int(RegisteredClass& c, const char* name, int32_t (T::*get)() const, void (T::*set)(int32_t),
                  std::optional<int32_t> def, const char* type = "Integer")
{
    PropertyInfo& p = c.AddInteger(
        QString::fromLatin1(name), GetterOf<T>([get](const T& o) { return Variant((o.*get)()); }),
        SetterOf<T>([set](T& o, const Variant& v) { (o.*set)(v.ToInt32()); }), def.value_or(0),
        QString::fromLatin1(type));
    if (!def)
        p.Default = Variant();
    return p;
}

// An integer whose value outside [low, high] is refused with the property error.
template <class T>
PropertyInfo& BoundedInt(RegisteredClass& c, const char* name, int32_t (T::*get)() const, void (T::*set)(int32_t),
                         std::optional<int32_t> def, int32_t low, int32_t high)
{
    const QString n = QString::fromLatin1(name);
    PropertyInfo& p = c.AddInteger(
        n, GetterOf<T>([get](const T& o) { return Variant((o.*get)()); }),
        SetterOf<T>([set, n, low, high](T& o, const Variant& v) { (o.*set)(Bounded(n, v, low, high)); }),
        def.value_or(0));
    if (!def)
        p.Default = Variant();
    return p;
}

// A float; floats are written whenever stored (a default only decides `stored`).
template <class T>
PropertyInfo& Float(RegisteredClass& c, const char* name, double T::*field, const char* type = "Extended")
{
    const QString n = QString::fromLatin1(name);
    PropertyInfo& p = c.AddFloat(
        n, GetterOf<T>([field](const T& o) { return Variant(o.*field); }),
        SetterOf<T>([field, n](T& o, const Variant& v) { o.*field = Finite(n, v); }), 0, QString::fromLatin1(type));
    p.Default = Variant();
    return p;
}

template <class T>
PropertyInfo& Float(RegisteredClass& c, const char* name, double (T::*get)() const, void (T::*set)(double),
                    const char* type = "Extended")
{
    const QString n = QString::fromLatin1(name);
    PropertyInfo& p = c.AddFloat(
        n, GetterOf<T>([get](const T& o) { return Variant((o.*get)()); }),
        SetterOf<T>([set, n](T& o, const Variant& v) { (o.*set)(Finite(n, v)); }), 0, QString::fromLatin1(type));
    p.Default = Variant();
    return p;
}

template <class T>
PropertyInfo& BoundedFloat(RegisteredClass& c, const char* name, double (T::*get)() const, void (T::*set)(double),
                           double low, double high)
{
    const QString n = QString::fromLatin1(name);
    PropertyInfo& p = c.AddFloat(
        n, GetterOf<T>([get](const T& o) { return Variant((o.*get)()); }),
        SetterOf<T>([set, n, low, high](T& o, const Variant& v) { (o.*set)(Bounded(n, v, low, high)); }));
    p.Default = Variant();
    return p;
}

// A float stored only when it differs from `def`.
template <class T, class Member>
PropertyInfo& FloatUnless(RegisteredClass& c, const char* name, Member member, double def)
{
    PropertyInfo& p = Float<T>(c, name, member);
    const PropertyGetter get = p.Get;
    p.Stored = [get, def](const ScriptObject& o) { return get(o).ToDouble() != def; };
    return p;
}

template <class T>
PropertyInfo& Str(RegisteredClass& c, const char* name, QString T::*field, const char* type = "String")
{
    return c.AddString(QString::fromLatin1(name), GetterOf<T>([field](const T& o) { return Variant(o.*field); }),
                       SetterOf<T>([field](T& o, const Variant& v) { o.*field = v.ToString(); }),
                       QString::fromLatin1(type));
}

template <class T>
PropertyInfo& Str(RegisteredClass& c, const char* name, QString (T::*get)() const, void (T::*set)(const QString&),
                  const char* type = "String")
{
    return c.AddString(QString::fromLatin1(name), GetterOf<T>([get](const T& o) { return Variant((o.*get)()); }),
                       SetterOf<T>([set](T& o, const Variant& v) { (o.*set)(v.ToString()); }),
                       QString::fromLatin1(type));
}

// An enumeration held in a field of enum type E; without a default it is always written.
template <class T, class E>
PropertyInfo& Enum(RegisteredClass& c, const char* name, const EnumTypeInfo& type, E T::*field, std::optional<E> def)
{
    PropertyInfo& p = c.AddEnum(
        QString::fromLatin1(name), type, GetterOf<T>([field](const T& o) { return Variant(static_cast<int32_t>(o.*field)); }),
        SetterOf<T>([field](T& o, const Variant& v) { o.*field = static_cast<E>(v.ToInt32()); }),
        def ? static_cast<int>(*def) : 0);
    if (!def)
        p.Default = Variant();
    return p;
}

template <class T, class E>
PropertyInfo& Enum(RegisteredClass& c, const char* name, const EnumTypeInfo& type, E (T::*get)() const,
                   void (T::*set)(E), std::optional<E> def)
{
    PropertyInfo& p = c.AddEnum(
        QString::fromLatin1(name), type, GetterOf<T>([get](const T& o) { return Variant(static_cast<int32_t>((o.*get)())); }),
        SetterOf<T>([set](T& o, const Variant& v) { (o.*set)(static_cast<E>(v.ToInt32())); }),
        def ? static_cast<int>(*def) : 0);
    if (!def)
        p.Default = Variant();
    return p;
}

// The name of a script procedure handling an event.
template <class T>
PropertyInfo& Event(RegisteredClass& c, const char* name, QString T::*field, const char* type = "TrpNotifyEvent")
{
    return c.AddEvent(QString::fromLatin1(name), QString::fromLatin1(type),
                      GetterOf<T>([field](const T& o) { return Variant(o.*field); }),
                      SetterOf<T>([field](T& o, const Variant& v) { o.*field = v.ToString(); }));
}

// An owned object whose properties are stored with the owner's; setting copies into it.
template <class T, class N>
PropertyInfo& Nested(RegisteredClass& c, const char* name, N& (T::*get)(), void (T::*set)(const N&))
{
    return c.AddNested(
        QString::fromLatin1(name), N::Class(),
        [get](const ScriptObject& o) -> ScriptObject* { return &(const_cast<T&>(static_cast<const T&>(o)).*get)(); },
        [set](ScriptObject& o, ScriptObject* value) {
            if (value != nullptr)
                (static_cast<T&>(o).*set)(static_cast<const N&>(*value));
        });
}

// A reference to another object of class R, held by the getter and setter.
template <class T, class R>
PropertyInfo& Reference(RegisteredClass& c, const char* name, R* (T::*get)() const, void (T::*set)(R*))
{
    return c.AddReference(
        QString::fromLatin1(name), R::Class(),
        [get](const ScriptObject& o) -> ScriptObject* { return (static_cast<const T&>(o).*get)(); },
        [set](ScriptObject& o, ScriptObject* value) {
            (static_cast<T&>(o).*set)(value != nullptr ? dynamic_cast<R*>(value) : nullptr);
        });
}

// A list of lines kept as a QStringList, stored as its text.
template <class T>
PropertyInfo& Lines(RegisteredClass& c, const char* name, const QStringList& (T::*get)() const,
                    void (T::*set)(const QStringList&))
{
    return c.AddLines(
        QString::fromLatin1(name), PropertyKind::StringList, QStringLiteral("TStrings"),
        [get](const ScriptObject& o) { return LinesToText((static_cast<const T&>(o).*get)()); },
        [set](ScriptObject& o, const QString& text) { (static_cast<T&>(o).*set)(TextToLines(text)); });
}

} // namespace rpreg
