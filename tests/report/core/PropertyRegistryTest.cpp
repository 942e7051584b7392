#include "report/core/PropertyRegistry.h"
#include "report/core/ScriptErrors.h"

#include "RegistryTestObjects.h"

#include <gtest/gtest.h>

using namespace testsupport;

// The report model's tagged-value reader and writer stand here as empty classes: the registry
// only hands them on, and this program does not link the model.
class TrpValueWriter {};
class TrpValueReader {};

namespace {

class PropertyRegistryTest : public testing::Test {
protected:
    void SetUp() override { RegisterRegistryTestClasses(); }
    PropertyRegistry& registry = PropertyRegistry::Global();
};

TEST_F(PropertyRegistryTest, ClassesKeepRegistrationOrderAndAncestors)
{
    const RegisteredClass* c = registry.FindByName(u"ttestobject");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c, registry.Find(TTestObject::Class()));
    ASSERT_NE(c->Parent, nullptr);
    EXPECT_EQ(c->Parent->Name(), "TTestBase");
    std::vector<QString> names;
    for (const RegisteredClass* r : registry.Classes())
        names.push_back(r->Name());
    const auto at = [&](const char* n) { return std::find(names.begin(), names.end(), QString(n)) - names.begin(); };
    EXPECT_LT(at("TTestStrings"), at("TTestFont"));
    EXPECT_LT(at("TTestBase"), at("TTestObject"));
    ASSERT_TRUE(c->Factory);
    const std::unique_ptr<ScriptObject> made = c->Factory();
    EXPECT_EQ(&made->ScriptClass(), &TTestObject::Class());
}

TEST_F(PropertyRegistryTest, PropertiesInDeclarationOrderAncestorsFirst)
{
    const RegisteredClass* c = registry.Find(TTestObject::Class());
    std::vector<QString> names;
    for (const PropertyInfo* p : c->AllProperties())
        names.push_back(p->Name);
    const std::vector<QString> expected = {"Tag",  "Width", "Big",   "Letter", "Align",   "Style",  "Ratio",
                                           "Caption", "Data", "Link", "Lines", "Font", "OnClick", "Visible",
                                           "BoolRaw", "ReadOnlyValue"};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(c->OwnProperties().size(), expected.size() - 1);
    EXPECT_EQ(c->Find(u"tag")->Name, "Tag");
    EXPECT_EQ(c->Find(u"Nope"), nullptr);
}

TEST_F(PropertyRegistryTest, FullTypeInformation)
{
    const RegisteredClass* c = registry.Find(TTestObject::Class());
    struct Expect {
        const char* name;
        PropertyKind kind;
        const char* typeName;
        bool setter;
    };
    const Expect table[] = {
        {"Width", PropertyKind::Integer, "Integer", true},     {"Big", PropertyKind::Int64, "Int64", true},
        {"Letter", PropertyKind::Char, "Char", true},          {"Align", PropertyKind::Enum, "TTestAlign", true},
        {"Style", PropertyKind::Set, "TTestStyles", true},     {"Ratio", PropertyKind::Float, "Extended", true},
        {"Caption", PropertyKind::String, "String", true},     {"Data", PropertyKind::Variant, "Variant", true},
        {"Link", PropertyKind::Reference, "TTestBase", true},  {"Lines", PropertyKind::StringList, "TTestStrings", false},
        {"Font", PropertyKind::NestedObject, "TTestFont", false}, {"OnClick", PropertyKind::EventName, "TNotifyEvent", true},
        {"Visible", PropertyKind::Enum, "Boolean", true},      {"ReadOnlyValue", PropertyKind::Integer, "Integer", false},
    };
    for (const Expect& e : table) {
        SCOPED_TRACE(e.name);
        const PropertyInfo* p = c->Find(QString::fromUtf8(e.name));
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->Kind, e.kind);
        EXPECT_EQ(p->TypeName, e.typeName);
        EXPECT_EQ(p->HasSetter(), e.setter);
    }
    const PropertyInfo* align = c->Find(u"Align");
    EXPECT_EQ(align->Enum->NameOf(2), "taRight");
    EXPECT_EQ(align->Enum->NameOf(3), "");
    EXPECT_EQ(align->Enum->OrdinalOf(u"TACENTER"), 1);
    EXPECT_EQ(align->Enum->High(), 2);
    EXPECT_EQ(c->Find(u"Style")->Enum->Name, "TTestStyle");
    EXPECT_EQ(c->Find(u"Visible")->Enum, &registry.BooleanEnum());
    EXPECT_EQ(c->Find(u"Link")->ObjectClass, &TTestBase::Class());
}

TEST_F(PropertyRegistryTest, DefaultsAndStoredTest)
{
    const RegisteredClass* c = registry.Find(TTestObject::Class());
    TTestObject o;
    EXPECT_FALSE(c->Find(u"Width")->IsStored(o));
    o.Width = 5;
    EXPECT_TRUE(c->Find(u"Width")->IsStored(o));
    EXPECT_FALSE(c->Find(u"Ratio")->IsStored(o));
    EXPECT_FALSE(c->Find(u"Visible")->IsStored(o));
    o.Visible = false;
    EXPECT_TRUE(c->Find(u"Visible")->IsStored(o));
    EXPECT_FALSE(c->Find(u"Link")->IsStored(o));
    // A stored test decides alone, whatever the value.
    o.Caption = QStringLiteral("x");
    EXPECT_FALSE(c->Find(u"Caption")->IsStored(o));
    o.CaptionStored = true;
    EXPECT_TRUE(c->Find(u"Caption")->IsStored(o));
    // Without a default a property is always stored.
    EXPECT_TRUE(c->Find(u"Data")->IsStored(o));
}

TEST_F(PropertyRegistryTest, CanonicalValuesByKind)
{
    const RegisteredClass* c = registry.Find(TTestObject::Class());
    EXPECT_EQ(c->Find(u"Width")->Canonical(Variant("12")).AsInt32(), 12);
    EXPECT_EQ(c->Find(u"Big")->Canonical(Variant(3)).Kind(), VariantKind::Int64);
    EXPECT_EQ(c->Find(u"Letter")->Canonical(Variant("xyz")).AsString(), "x");
    EXPECT_EQ(c->Find(u"Align")->Canonical(Variant("taRight")).AsInt32(), 2);
    EXPECT_THROW(c->Find(u"Align")->Canonical(Variant(3)), ERangeError);
    EXPECT_EQ(c->Find(u"Style")->Canonical(Variant(5)).AsInt32(), 5);
    EXPECT_THROW(c->Find(u"Style")->Canonical(Variant(8)), ERangeError);
    EXPECT_EQ(c->Find(u"Visible")->Canonical(Variant(2)).AsBoolean(), true);
    EXPECT_EQ(c->Find(u"Visible")->Canonical(Variant(0)).AsBoolean(), false);
    EXPECT_EQ(c->Find(u"Ratio")->Canonical(Variant(2)).Kind(), VariantKind::Double);
    EXPECT_THROW(c->Find(u"Ratio")->Canonical(Variant("abc")), EVariantError);
    EXPECT_EQ(c->Find(u"Link")->Canonical(Variant(0)).Kind(), VariantKind::Object);
    EXPECT_THROW(c->Find(u"Link")->Canonical(Variant("x")), EInvalidCast);
}

TEST_F(PropertyRegistryTest, DuplicatesAreRefused)
{
    EXPECT_THROW(registry.Register(TTestObject::Class()), platform::Exception);
    const ScriptClassInfo sameName{QStringLiteral("TTESTOBJECT"), nullptr};
    EXPECT_THROW(registry.Register(sameName), platform::Exception);
    PropertyRegistry local;
    const ScriptClassInfo info{QStringLiteral("TLocal"), nullptr};
    RegisteredClass& c = local.Register(info);
    c.AddInteger(QStringLiteral("A"), {}, {});
    EXPECT_THROW(c.AddInteger(QStringLiteral("a"), {}, {}), platform::Exception);
    EXPECT_EQ(&local.AddEnum(QStringLiteral("E"), {QStringLiteral("x")}), &local.AddEnum(QStringLiteral("e"), {QStringLiteral("x")}));
    EXPECT_THROW(local.AddEnum(QStringLiteral("E"), {QStringLiteral("y")}), platform::Exception);
}

TEST_F(PropertyRegistryTest, UnregisteredAncestorsAreSkipped)
{
    PropertyRegistry local;
    const ScriptClassInfo root{QStringLiteral("TRoot"), nullptr};
    const ScriptClassInfo middle{QStringLiteral("TMiddle"), &root};
    const ScriptClassInfo leaf{QStringLiteral("TLeaf"), &middle};
    local.Register(root).AddInteger(QStringLiteral("R"), {}, {});
    const RegisteredClass& l = local.Register(leaf);
    EXPECT_EQ(l.Parent, local.Find(root));
    EXPECT_EQ(local.FindFor(middle), local.Find(root));
    ASSERT_EQ(l.AllProperties().size(), 1u);
}

// Objects reached directly, lists of lines, event names, defined properties and placement.
TEST_F(PropertyRegistryTest, DirectObjectsListsEventsDefinedPropertiesAndPlacement)
{
    PropertyRegistry local;
    const ScriptClassInfo parentInfo{QStringLiteral("TParent"), nullptr};
    const ScriptClassInfo childInfo{QStringLiteral("TChild"), &parentInfo};
    RegisteredClass& parent = local.Register(parentInfo);
    RegisteredClass& child = local.Register(childInfo, [] { return std::make_unique<TTestBase>(); });
    TTestObject target;
    TTestObject holder;
    PropertyInfo& link = child.AddReference(
        QStringLiteral("Link"), TTestBase::Class(), [](const ScriptObject& o) { return static_cast<const TTestObject&>(o).Link; },
        [](ScriptObject& o, ScriptObject* v) { static_cast<TTestObject&>(o).Link = v; });
    PropertyInfo& font = child.AddNested(QStringLiteral("Font"), TTestFont::Class(), [](const ScriptObject& o) -> ScriptObject* {
        return &const_cast<TTestObject&>(static_cast<const TTestObject&>(o)).Font;
    });
    PropertyInfo& lines = child.AddLines(
        QStringLiteral("Lines"), PropertyKind::WideStringList, QStringLiteral("TWideStrings"),
        [](const ScriptObject& o) { return static_cast<const TTestObject&>(o).Caption; },
        [](ScriptObject& o, const QString& text) { static_cast<TTestObject&>(o).Caption = text; });
    PropertyInfo& event = child.AddEvent(QStringLiteral("OnPrint"), QStringLiteral("TrpNotifyEvent"),
                                         GetterOf<TTestObject>([](const TTestObject& o) { return Variant(o.OnClick); }),
                                         SetterOf<TTestObject>([](TTestObject& o, const Variant& v) { o.OnClick = v.ToString(); }));
    EXPECT_TRUE(link.IsReference());
    EXPECT_FALSE(link.IsOwnedObject());
    EXPECT_TRUE(font.IsOwnedObject());
    EXPECT_TRUE(lines.IsOwnedObject());
    EXPECT_EQ(lines.TypeName, "TWideStrings");
    EXPECT_EQ(event.TypeName, "TrpNotifyEvent");
    EXPECT_FALSE(font.HasSetter());
    EXPECT_THROW(child.AddLines(QStringLiteral("X"), PropertyKind::String, QString(), {}, {}), platform::Exception);

    // Set as handles; nil clears a reference.
    link.Set(holder, ObjectHandles::ToVariant(&target));
    EXPECT_EQ(holder.Link, &target);
    EXPECT_EQ(link.GetObject(holder), &target);
    EXPECT_EQ(ObjectHandles::HandleOf(link.Get(holder)), target.Handle());
    link.Set(holder, Variant::FromObject(0));
    EXPECT_EQ(holder.Link, nullptr);
    TTestFont other;
    EXPECT_THROW(link.Set(holder, ObjectHandles::ToVariant(&other)), EInvalidCast);
    EXPECT_EQ(font.GetObject(holder), &holder.Font);

    // Enumeration bounds.
    const RegisteredClass* object = registry.Find(TTestObject::Class());
    EXPECT_EQ(object->Find(u"Align")->MinValue(), 0);
    EXPECT_EQ(object->Find(u"Align")->MaxValue(), 2);
    EXPECT_EQ(object->Find(u"Style")->MaxValue(), 2);
    EXPECT_TRUE(object->Find(u"Caption")->StoredCondition(TTestObject()) == false);

    // Defined properties: written ancestors first, read by the nearest class knowing the name.
    QStringList calls;
    parent.WriteDefined = [&](const ScriptObject&, TrpValueWriter&) { calls << "parent writes"; };
    child.WriteDefined = [&](const ScriptObject&, TrpValueWriter&) { calls << "child writes"; };
    parent.ReadDefined = [&](ScriptObject&, const QString& name, TrpValueReader&) {
        calls << "parent reads " + name;
        return name == u"A";
    };
    child.ReadDefined = [&](ScriptObject&, const QString& name, TrpValueReader&) {
        calls << "child reads " + name;
        return name == u"B";
    };
    TrpValueWriter writer;
    TrpValueReader reader;
    child.WriteDefinedProperties(holder, writer);
    EXPECT_TRUE(child.ReadDefinedProperty(holder, QStringLiteral("A"), reader));
    EXPECT_TRUE(child.ReadDefinedProperty(holder, QStringLiteral("B"), reader));
    EXPECT_FALSE(child.ReadDefinedProperty(holder, QStringLiteral("C"), reader));
    EXPECT_EQ(calls, QStringList({"parent writes", "child writes", "child reads A", "parent reads A", "child reads B",
                                  "child reads C", "parent reads C"}));
    EXPECT_TRUE(child.HasDefinedProperties());

    // Placement: any child without a test, else the nearest class's test.
    EXPECT_TRUE(child.Accepts(holder, TTestFont::Class()));
    parent.AcceptsChild = [](const ScriptObject&, const ScriptClassInfo& c) { return c.Name == u"TTestFont"; };
    EXPECT_TRUE(child.Accepts(holder, TTestFont::Class()));
    EXPECT_FALSE(child.Accepts(holder, TTestBase::Class()));

    // Classes that can be created by name.
    EXPECT_EQ(local.FindCreatable(u"tchild"), &child);
    EXPECT_EQ(local.FindCreatable(u"TParent"), nullptr);
    EXPECT_EQ(local.FindCreatable(u"TNone"), nullptr);
}

} // namespace
