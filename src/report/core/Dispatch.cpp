#include "Dispatch.h"

#include "Formats.h"
#include "Texts.h"

#include <map>
#include <mutex>

QString DispatchResultText(uint32_t code)
{
    static const struct {
        uint32_t Code;
        const char* Text;
    } kResults[] = {
        {kDispMemberNotFound, coretexts::kDispMemberNotFoundText}, {kDispTypeMismatch, coretexts::kDispTypeMismatchText},
        {kDispUnknownName, coretexts::kDispUnknownNameText},       {kDispException, coretexts::kDispExceptionText},
        {kDispBadParamCount, coretexts::kDispBadParamCountText},   {kInvalidClassString, coretexts::kInvalidClassStringText},
    };
    for (const auto& result : kResults) {
        if (result.Code == code)
            return QString::fromUtf8(result.Text);
    }
    return QString::fromUtf8(coretexts::kUnspecifiedErrorText);
}

namespace {

std::string OleMessage(uint32_t code, const QString& member, const DispatchFailure& failure)
{
    QString text = FormatText(coretexts::kOleErrorFormat,
                              {Variant(QString::number(code, 16).toUpper().rightJustified(8, u'0')), Variant(member),
                               Variant(DispatchResultText(code))});
    if (!failure.Source.isEmpty())
        text += FormatText(coretexts::kOleSourceFormat, {Variant(failure.Source)});
    if (!failure.Description.isEmpty())
        text += FormatText(coretexts::kOleDescriptionFormat, {Variant(failure.Description)});
    if (!failure.HelpFile.isEmpty())
        text += FormatText(coretexts::kOleHelpFileFormat, {Variant(failure.HelpFile)});
    return text.toStdString();
}

} // namespace

EOleSysError::EOleSysError(uint32_t code, const QString& member, const DispatchFailure& failure)
    : EOleSysError("EOleSysError", code, member, failure)
{
}

EOleSysError::EOleSysError(const char* className, uint32_t code, const QString& member, const DispatchFailure& failure)
    : EScriptError(className, OleMessage(code, member, failure)), code_(code)
{
}

EOleException::EOleException(const QString& member, const DispatchFailure& failure)
    : EOleSysError("EOleException", kDispException, member, failure)
{
}

Variant DispatchInvoke(IScriptDispatch& object, const QString& member, DispatchCall calls,
                       std::span<const Variant> arguments)
{
    const int id = object.FindMember(member);
    if (id < 0)
        throw EOleSysError(kDispUnknownName, member);
    try {
        return object.Invoke(id, calls, arguments);
    } catch (const DispatchFailure& failure) {
        if (failure.Code == kDispException)
            throw EOleException(member, failure);
        throw EOleSysError(failure.Code, member, failure);
    }
}

namespace DispatchFactories {

namespace {

struct Registry {
    std::mutex Lock;
    std::map<QString, Factory> Factories; // by case-folded name
};

Registry& Instance()
{
    static Registry* registry = new Registry; // outlives every static object
    return *registry;
}

} // namespace

void Register(const QString& name, Factory factory)
{
    Registry& r = Instance();
    std::lock_guard guard(r.Lock);
    if (factory)
        r.Factories[name.toCaseFolded()] = std::move(factory);
    else
        r.Factories.erase(name.toCaseFolded());
}

std::shared_ptr<IScriptDispatch> Create(const QString& name)
{
    Factory factory;
    {
        Registry& r = Instance();
        std::lock_guard guard(r.Lock);
        const auto found = r.Factories.find(name.toCaseFolded());
        if (found != r.Factories.end())
            factory = found->second;
    }
    std::shared_ptr<IScriptDispatch> object = factory ? factory() : nullptr;
    if (!object)
        throw EOleSysError(kInvalidClassString, QStringLiteral("CreateOleObject"));
    return object;
}

} // namespace DispatchFactories

RegistryDispatch::RegistryDispatch(ScriptObject& object, const RegisteredClass& cls)
    : handle_(object.Handle()), class_(cls), members_(cls.AllProperties())
{
}

RegistryDispatch::RegistryDispatch(std::unique_ptr<ScriptObject> object, const RegisteredClass& cls)
    : owned_(std::move(object)), handle_(owned_->Handle()), class_(cls), members_(cls.AllProperties())
{
}

ScriptObject& RegistryDispatch::Target() const
{
    return ObjectHandles::Resolve(handle_, class_.Info);
}

int RegistryDispatch::FindMember(const QString& name)
{
    for (size_t i = 0; i < members_.size(); ++i) {
        if (SameIdentifier(members_[i]->Name, name))
            return static_cast<int>(i);
    }
    return -1;
}

Variant RegistryDispatch::Invoke(int member, DispatchCall calls, std::span<const Variant> arguments)
{
    if (member < 0 || static_cast<size_t>(member) >= members_.size())
        throw DispatchFailure{kDispMemberNotFound, {}, {}, {}};
    const PropertyInfo& property = *members_[static_cast<size_t>(member)];
    ScriptObject& object = Target();
    if (HasCall(calls, DispatchCall::PropertyPut)) {
        if (!property.Set)
            throw DispatchFailure{kDispMemberNotFound, {}, {}, {}};
        if (arguments.size() != 1)
            throw DispatchFailure{kDispBadParamCount, {}, {}, {}};
        Variant value;
        try {
            value = property.Canonical(arguments[0]);
        } catch (const EScriptError&) {
            throw DispatchFailure{kDispTypeMismatch, {}, {}, {}};
        }
        property.Set(object, value);
        return Variant();
    }
    if (!property.Get)
        throw DispatchFailure{kDispMemberNotFound, {}, {}, {}};
    if (!arguments.empty())
        throw DispatchFailure{kDispBadParamCount, {}, {}, {}};
    return property.Get(object);
}
