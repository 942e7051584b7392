#include "report/core/Dispatch.h"

#include "RegistryTestObjects.h"

#include <gtest/gtest.h>

using namespace testsupport;

namespace {

// A late-bound object whose members fail in each way a server can.
class FailingObject : public IScriptDispatch {
public:
    int FindMember(const QString& name) override { return name == QLatin1String("Fail") ? 0 : -1; }
    Variant Invoke(int, DispatchCall, std::span<const Variant>) override
    {
        throw DispatchFailure{kDispException, QStringLiteral("Srv"), QStringLiteral("It broke"), QStringLiteral("srv.hlp")};
    }
};

std::string MessageOf(const std::function<void()>& call, std::string* className = nullptr)
{
    try {
        call();
    } catch (const EScriptError& e) {
        if (className)
            *className = e.ClassName();
        return e.what();
    }
    return "(no error)";
}

TEST(Dispatch, RegistryObjectsThroughTheAdapter)
{
    RegisterRegistryTestClasses();
    TTestObject object;
    RegistryDispatch d(object, *PropertyRegistry::Global().Find(TTestObject::Class()));
    const Variant none[] = {Variant()};
    EXPECT_EQ(DispatchInvoke(d, QStringLiteral("width"), DispatchCall::Method | DispatchCall::PropertyGet, {}).AsInt32(), 100);
    const Variant five[] = {Variant(5)};
    DispatchInvoke(d, QStringLiteral("Width"), DispatchCall::PropertyPut, five);
    EXPECT_EQ(object.Width, 5);
    EXPECT_EQ(DispatchInvoke(d, QStringLiteral("Tag"), DispatchCall::PropertyGet, {}).AsInt32(), 0);

    std::string cls;
    EXPECT_EQ(MessageOf([&] { DispatchInvoke(d, QStringLiteral("Foo"), DispatchCall::Method, {}); }, &cls),
              "OLE error 80020006: Foo: Unknown name.");
    EXPECT_EQ(cls, "EOleSysError");
    EXPECT_EQ(MessageOf([&] { DispatchInvoke(d, QStringLiteral("Width"), DispatchCall::Method, five); }),
              "OLE error 8002000E: Width: Invalid number of parameters.");
    const Variant text[] = {Variant("abc")};
    EXPECT_EQ(MessageOf([&] { DispatchInvoke(d, QStringLiteral("Width"), DispatchCall::PropertyPut, text); }),
              "OLE error 80020005: Width: Type mismatch.");
    EXPECT_EQ(MessageOf([&] { DispatchInvoke(d, QStringLiteral("ReadOnlyValue"), DispatchCall::PropertyPut, five); }),
              "OLE error 80020003: ReadOnlyValue: Member not found.");
    (void)none;
}

TEST(Dispatch, ServerExceptionsCarryTheirTexts)
{
    FailingObject f;
    std::string cls;
    EXPECT_EQ(MessageOf([&] { DispatchInvoke(f, QStringLiteral("Fail"), DispatchCall::Method, {}); }, &cls),
              "OLE error 80020009: Fail: Exception occurred.\nSource        ::  Srv\nDescription ::  It broke\n"
              "Help File     ::  srv.hlp");
    EXPECT_EQ(cls, "EOleException");
}

TEST(Dispatch, FactoriesByNameAndAStaleObject)
{
    RegisterRegistryTestClasses();
    std::string cls;
    EXPECT_EQ(MessageOf([] { DispatchFactories::Create(QStringLiteral("X.Y")); }, &cls),
              "OLE error 800401F3: CreateOleObject: Invalid class string");
    EXPECT_EQ(cls, "EOleSysError");
    DispatchFactories::Register(QStringLiteral("Test.Object"), [] {
        return std::make_shared<RegistryDispatch>(std::make_unique<TTestObject>(),
                                                  *PropertyRegistry::Global().Find(TTestObject::Class()));
    });
    std::shared_ptr<IScriptDispatch> made = DispatchFactories::Create(QStringLiteral("test.object"));
    EXPECT_EQ(DispatchInvoke(*made, QStringLiteral("Ratio"), DispatchCall::PropertyGet, {}).AsDouble(), 1.5);
    DispatchFactories::Register(QStringLiteral("Test.Object"), {});
    EXPECT_THROW(DispatchFactories::Create(QStringLiteral("Test.Object")), EOleSysError);

    auto object = std::make_unique<TTestObject>();
    RegistryDispatch d(*object, *PropertyRegistry::Global().Find(TTestObject::Class()));
    object.reset();
    EXPECT_EQ(MessageOf([&] { DispatchInvoke(d, QStringLiteral("Width"), DispatchCall::PropertyGet, {}); }),
              "Object was destroyed");
}

} // namespace
