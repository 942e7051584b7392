#pragma once

// Late-bound objects: what scripts reach through IScriptDispatch (Variant.h) when a value
// holds an object whose members are only known by name at run time. There is no OLE
// Automation here: objects come from an in-process factory registry (empty unless the
// program or a test registers a name), and any object of the property registry can be
// exposed through one adapter.

#include "PropertyRegistry.h"
#include "ScriptErrors.h"
#include "Variant.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

// Result codes of failed dispatch calls.
enum DispatchResult : uint32_t {
    kDispMemberNotFound = 0x80020003u,
    kDispTypeMismatch = 0x80020005u,
    kDispUnknownName = 0x80020006u,
    kDispException = 0x80020009u,
    kDispBadParamCount = 0x8002000Eu,
    kInvalidClassString = 0x800401F3u,
};

// The fixed text of a result code ("Member not found." ...); "Unspecified error" for others.
QString DispatchResultText(uint32_t code);

// What a dispatch object throws when a call fails: the result code and, for kDispException,
// the server's own texts.
struct DispatchFailure {
    uint32_t Code = kDispException;
    QString Source;
    QString Description;
    QString HelpFile;
};

// The error scripts see for a failed late-bound call (EOleException for an exception of the
// object, EOleSysError for the others). Its message is "OLE error XXXXXXXX: member: text",
// then a line for each non-empty text of the object:
//   "Source        ::  ...", "Description ::  ...", "Help File     ::  ...".
class EOleSysError : public EScriptError {
public:
    EOleSysError(uint32_t code, const QString& member, const DispatchFailure& failure = {});
    uint32_t Code() const noexcept { return code_; }

protected:
    EOleSysError(const char* className, uint32_t code, const QString& member, const DispatchFailure& failure);

private:
    uint32_t code_;
};

class EOleException : public EOleSysError {
public:
    EOleException(const QString& member, const DispatchFailure& failure);
};

// One late-bound call, as scripts make it: the member is found by name (EOleSysError
// 80020006 when the object has none), then invoked with the call kinds given; a
// DispatchFailure becomes the script's error. `calls` combines DispatchCall flags.
Variant DispatchInvoke(IScriptDispatch& object, const QString& member, DispatchCall calls,
                       std::span<const Variant> arguments);

// The in-process registry of creatable late-bound objects by programmatic name.
namespace DispatchFactories {

using Factory = std::function<std::shared_ptr<IScriptDispatch>()>;

// Registers (or replaces) a name; an empty factory removes it. Names compare without case.
void Register(const QString& name, Factory factory);
// A new object of that name. EOleSysError "OLE error 800401F3: CreateOleObject: Invalid class
// string" for a name nobody registered.
std::shared_ptr<IScriptDispatch> Create(const QString& name);

} // namespace DispatchFactories

// Exposes an object of the property registry as a late-bound object: its properties are the
// members. Reading a property works as a method without arguments too; writing needs a
// setter (80020003 otherwise); arguments where none belong are 80020E; a value that does not
// convert is 80020005. The adapter holds the object by handle, so a destroyed object gives the
// script error of a stale handle instead of reaching freed memory.
class RegistryDispatch : public IScriptDispatch {
public:
    RegistryDispatch(ScriptObject& object, const RegisteredClass& cls);
    // Owns the object it exposes.
    RegistryDispatch(std::unique_ptr<ScriptObject> object, const RegisteredClass& cls);

    int FindMember(const QString& name) override;
    Variant Invoke(int member, DispatchCall calls, std::span<const Variant> arguments) override;

private:
    ScriptObject& Target() const;

    std::unique_ptr<ScriptObject> owned_;
    uint32_t handle_;
    const RegisteredClass& class_;
    std::vector<const PropertyInfo*> members_;
};
