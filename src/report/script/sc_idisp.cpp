#include "sc_idisp.h"

#include "report/core/Dispatch.h"
#include "report/core/ScriptErrors.h"

#include <vector>

namespace {

IScriptDispatch& DispatchOf(const Variant& object)
{
    if (object.Kind() != VariantKind::Dispatch || !object.AsDispatch())
        throw EVariantInvalidOpError();
    return *object.AsDispatch();
}

void CheckCount(size_t count, const QString& member)
{
    if (count > kScMaxDispatchArguments)
        throw EOleSysError(kDispBadParamCount, member);
}

} // namespace

Variant TscOLEHelper::Read(const Variant& object, const QString& member, std::span<const Variant> arguments,
                           bool needResult)
{
    CheckCount(arguments.size(), member);
    const DispatchCall calls = needResult ? DispatchCall::Method | DispatchCall::PropertyGet : DispatchCall::Method;
    Variant result = DispatchInvoke(DispatchOf(object), member, calls, arguments);
    return needResult ? result : Variant::NullValue();
}

void TscOLEHelper::Write(const Variant& object, const QString& member, std::span<const Variant> indexes,
                         const Variant& value)
{
    CheckCount(indexes.size() + 1, member);
    std::vector<Variant> arguments(indexes.begin(), indexes.end());
    arguments.push_back(value);
    DispatchInvoke(DispatchOf(object), member, DispatchCall::PropertyPut, arguments);
}
