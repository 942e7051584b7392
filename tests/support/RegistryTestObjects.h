#pragma once

// Native classes for tests of the property registry and of what reads it (script class
// descriptors, the catalogue): TTestBase with one inherited property, and TTestObject with a
// property of every kind, declared out of alphabetical order.

#include "report/core/ObjectHandles.h"
#include "report/core/PropertyRegistry.h"

#include <QStringList>

#include <memory>

namespace testsupport {

class TTestStrings : public ScriptObject {
public:
    static const ScriptClassInfo& Class()
    {
        static const ScriptClassInfo info{QStringLiteral("TTestStrings"), nullptr};
        return info;
    }
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
    QStringList Lines;
};

class TTestFont : public ScriptObject {
public:
    static const ScriptClassInfo& Class()
    {
        static const ScriptClassInfo info{QStringLiteral("TTestFont"), nullptr};
        return info;
    }
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
    int32_t Size = 10;
};

class TTestBase : public ScriptObject {
public:
    static const ScriptClassInfo& Class()
    {
        static const ScriptClassInfo info{QStringLiteral("TTestBase"), nullptr};
        return info;
    }
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
    int32_t Tag = 0;
};

class TTestObject : public TTestBase {
public:
    static const ScriptClassInfo& Class()
    {
        static const ScriptClassInfo info{QStringLiteral("TTestObject"), &TTestBase::Class()};
        return info;
    }
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    int32_t Width = 100;
    int64_t Big = 0;
    QChar Letter = u'A';
    int32_t Align = 0;          // TTestAlign
    int32_t Style = 0;          // TTestStyles: bits of TTestStyle
    double Ratio = 1.5;
    QString Caption;
    Variant Data;
    ScriptObject* Link = nullptr;
    TTestStrings Lines;
    TTestFont Font;
    QString OnClick;
    bool Visible = true;
    int32_t BoolRaw = 2;        // a Boolean getter giving 2
    int32_t ReadOnlyValue = 7;
    bool CaptionStored = false; // the stored test of Caption
};

// Registers the test classes once in the program's registry.
inline void RegisterRegistryTestClasses()
{
    PropertyRegistry& registry = PropertyRegistry::Global();
    if (registry.Contains(TTestObject::Class()))
        return;
    const EnumTypeInfo& align = registry.AddEnum(QStringLiteral("TTestAlign"),
                                                 {QStringLiteral("taLeft"), QStringLiteral("taCenter"), QStringLiteral("taRight")});
    const EnumTypeInfo& style = registry.AddEnum(QStringLiteral("TTestStyle"),
                                                 {QStringLiteral("tsBold"), QStringLiteral("tsItalic"), QStringLiteral("tsUnderline")});

    registry.Register(TTestStrings::Class(), [] { return std::make_unique<TTestStrings>(); });
    RegisteredClass& font = registry.Register(TTestFont::Class(), [] { return std::make_unique<TTestFont>(); });
    font.AddInteger(QStringLiteral("Size"), GetterOf<TTestFont>([](const TTestFont& f) { return Variant(f.Size); }),
                    SetterOf<TTestFont>([](TTestFont& f, const Variant& v) { f.Size = v.AsInt32(); }), 10);

    RegisteredClass& base = registry.Register(TTestBase::Class(), [] { return std::make_unique<TTestBase>(); });
    base.AddInteger(QStringLiteral("Tag"), GetterOf<TTestBase>([](const TTestBase& o) { return Variant(o.Tag); }),
                    SetterOf<TTestBase>([](TTestBase& o, const Variant& v) { o.Tag = v.AsInt32(); }));

    RegisteredClass& c = registry.Register(TTestObject::Class(), [] { return std::make_unique<TTestObject>(); });
    using T = TTestObject;
    c.AddInteger(QStringLiteral("Width"), GetterOf<T>([](const T& o) { return Variant(o.Width); }),
                 SetterOf<T>([](T& o, const Variant& v) { o.Width = v.AsInt32(); }), 100);
    PropertyInfo big;
    big.Name = QStringLiteral("Big");
    big.Kind = PropertyKind::Int64;
    big.TypeName = QStringLiteral("Int64");
    big.Default = Variant(int64_t{0});
    big.Get = GetterOf<T>([](const T& o) { return Variant(o.Big); });
    big.Set = SetterOf<T>([](T& o, const Variant& v) { o.Big = v.AsInt64(); });
    c.Add(std::move(big));
    PropertyInfo letter;
    letter.Name = QStringLiteral("Letter");
    letter.Kind = PropertyKind::Char;
    letter.TypeName = QStringLiteral("Char");
    letter.Default = Variant(QStringLiteral("A"));
    letter.Get = GetterOf<T>([](const T& o) { return Variant(QString(o.Letter)); });
    letter.Set = SetterOf<T>([](T& o, const Variant& v) { o.Letter = v.AsString().isEmpty() ? QChar() : v.AsString()[0]; });
    c.Add(std::move(letter));
    c.AddEnum(QStringLiteral("Align"), align, GetterOf<T>([](const T& o) { return Variant(o.Align); }),
              SetterOf<T>([](T& o, const Variant& v) { o.Align = v.AsInt32(); }));
    c.AddSet(QStringLiteral("Style"), QStringLiteral("TTestStyles"), style,
             GetterOf<T>([](const T& o) { return Variant(o.Style); }),
             SetterOf<T>([](T& o, const Variant& v) { o.Style = v.AsInt32(); }));
    c.AddFloat(QStringLiteral("Ratio"), GetterOf<T>([](const T& o) { return Variant(o.Ratio); }),
               SetterOf<T>([](T& o, const Variant& v) { o.Ratio = v.AsDouble(); }), 1.5);
    PropertyInfo& caption = c.AddString(QStringLiteral("Caption"), GetterOf<T>([](const T& o) { return Variant(o.Caption); }),
                                        SetterOf<T>([](T& o, const Variant& v) { o.Caption = v.AsString(); }));
    caption.Stored = [](const ScriptObject& o) { return static_cast<const T&>(o).CaptionStored; };
    PropertyInfo data;
    data.Name = QStringLiteral("Data");
    data.Kind = PropertyKind::Variant;
    data.TypeName = QStringLiteral("Variant");
    data.Get = GetterOf<T>([](const T& o) { return o.Data; });
    data.Set = SetterOf<T>([](T& o, const Variant& v) { o.Data = v; });
    c.Add(std::move(data));
    c.AddObject(QStringLiteral("Link"), PropertyKind::Reference, TTestBase::Class(),
                GetterOf<T>([](const T& o) { return ObjectHandles::ToVariant(o.Link); }),
                SetterOf<T>([](T& o, const Variant& v) {
                    o.Link = ObjectHandles::Find(v.AsObject());
                }));
    c.AddObject(QStringLiteral("Lines"), PropertyKind::StringList, TTestStrings::Class(),
                GetterOf<T>([](const T& o) { return ObjectHandles::ToVariant(const_cast<TTestStrings*>(&o.Lines)); }));
    c.AddObject(QStringLiteral("Font"), PropertyKind::NestedObject, TTestFont::Class(),
                GetterOf<T>([](const T& o) { return ObjectHandles::ToVariant(const_cast<TTestFont*>(&o.Font)); }));
    PropertyInfo onClick;
    onClick.Name = QStringLiteral("OnClick");
    onClick.Kind = PropertyKind::EventName;
    onClick.TypeName = QStringLiteral("TNotifyEvent");
    onClick.Default = Variant(QString());
    onClick.Get = GetterOf<T>([](const T& o) { return Variant(o.OnClick); });
    onClick.Set = SetterOf<T>([](T& o, const Variant& v) { o.OnClick = v.AsString(); });
    c.Add(std::move(onClick));
    c.AddBoolean(QStringLiteral("Visible"), GetterOf<T>([](const T& o) { return Variant(o.Visible); }),
                 SetterOf<T>([](T& o, const Variant& v) { o.Visible = v.AsBoolean(); }), true);
    c.AddBoolean(QStringLiteral("BoolRaw"), GetterOf<T>([](const T& o) { return Variant(o.BoolRaw); }),
                 SetterOf<T>([](T& o, const Variant& v) { o.BoolRaw = v.AsBoolean() ? 1 : 0; }));
    c.AddInteger(QStringLiteral("ReadOnlyValue"), GetterOf<T>([](const T& o) { return Variant(o.ReadOnlyValue); }), {});
}

} // namespace testsupport
