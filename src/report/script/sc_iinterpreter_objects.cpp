// The objects a script creates and the errors of its event handlers.
//
// A script is untrusted: it may create objects without freeing them, free what it did not
// create, or free the window whose event is running. Objects it created belong to it and go
// with it; freeing anything else is an error; an object still delivering an event is freed
// when the delivery has returned, its handle stale at once.

#include "sc_iinterpreter_script.h"

#include "sc_ievents.h"

#include "report/core/ScriptErrors.h"
#include "report/core/Services.h"

#include <QObject>

#include <algorithm>

void ScDestroyNativeObject(ScriptObject* object)
{
    auto* qobject = dynamic_cast<QObject*>(object);
    if (qobject != nullptr && TscDispatchScope::Busy(qobject)) {
        object->RevokeHandle();
        if (auto* source = dynamic_cast<TscEventSource*>(object))
            source->ScriptEvents().Clear();
        qobject->deleteLater();
        return;
    }
    delete object;
}

Variant TscScript::AdoptObject(std::unique_ptr<ScriptObject> object)
{
    if (object == nullptr)
        return Variant::FromObject(0);
    // The object is the script's from now on: charged to it (destroyed again when that is
    // more than the script may hold).
    ScriptMemoryCounter size;
    object->CountMemory(size);
    Memory().Charge(size.Total());
    const uint32_t handle = object->Handle();
    FRoot->FCreated.push_back(handle);
    object.release();
    return Variant::FromObject(handle);
}

bool TscScript::CreatedObject(uint32_t handle) const
{
    const std::vector<uint32_t>& created = FRoot->FCreated;
    return handle != 0 && ObjectHandles::Find(handle) != nullptr &&
           std::find(created.rbegin(), created.rend(), handle) != created.rend();
}

void TscScript::FreeObject(uint32_t handle)
{
    if (handle == 0)
        return;
    ScriptObject& object = ObjectHandles::Resolve(handle);
    std::vector<uint32_t>& created = FRoot->FCreated;
    // Usually the newest object goes first: search from the end.
    const auto found = std::find(created.rbegin(), created.rend(), handle);
    if (found == created.rend())
        throw EInvalidPointer();
    created.erase(std::next(found).base());
    ScDestroyNativeObject(&object);
}

size_t TscScript::CreatedCount() const
{
    const std::vector<uint32_t>& created = FRoot->FCreated;
    return static_cast<size_t>(std::count_if(created.begin(), created.end(),
                                             [](uint32_t handle) { return ObjectHandles::Find(handle) != nullptr; }));
}

void TscScript::FreeCreatedObjects()
{
    // Newest first: a later object may refer to an earlier one. An object may free others
    // (a form its controls): each handle is looked up when its turn comes.
    while (!FCreated.empty()) {
        const uint32_t handle = FCreated.back();
        FCreated.pop_back();
        if (ScriptObject* object = ObjectHandles::Find(handle))
            ScDestroyNativeObject(object);
    }
}

void TscScript::ReportError(const QString& className, const QString& message)
{
    if (FRoot->FErrorSink) {
        FRoot->FErrorSink(className, message);
        return;
    }
    ReportServices::Ui().MessageDlg(QString(), message, UiMessageType::Error, UiButtons({mbOK}));
}
