#include "ScriptBindings.h"
#include "sc_iconsts.h"

#include "report/core/PropertyRegistry.h"


namespace scbind {

std::unique_ptr<ScriptObject> CreateInstance(const TscCallFrame& frame)
{
    const ScriptClassInfo& cls = ConstructedClass(frame);
    const RegisteredClass* registered = PropertyRegistry::Global().Find(cls);
    std::unique_ptr<ScriptObject> object;
    if (registered != nullptr && registered->Factory)
        object = registered->Factory();
    if (object == nullptr)
        throw EInvalidOperation(ScErrorText(TscMessage::SCannotCreateInstance, {cls.Name}));
    return object;
}

QByteArray ReadFile(const TscCallFrame& frame, const QString& path, qint64 maxBytes)
{
    return Files(frame).ReadFile(path, maxBytes);
}

void WriteFile(const TscCallFrame& frame, const QString& path, const QByteArray& bytes)
{
    Files(frame).WriteFile(path, bytes);
}

} // namespace scbind
