#include "ObjectHandles.h"

#include "ScriptErrors.h"
#include "Texts.h"

#include <mutex>
#include <unordered_map>

namespace {

// Report work runs on the main thread, but objects may be destroyed elsewhere (a worker's
// data set); the lock keeps the table whole either way.
struct HandleTable {
    std::mutex Lock;
    std::unordered_map<uint32_t, ScriptObject*> Live;
    uint32_t Next = ObjectHandles::kFirstObjectHandle;
};

HandleTable& Table()
{
    static HandleTable* table = new HandleTable; // outlives every static object
    return *table;
}

} // namespace

bool ScriptClassInfo::InheritsFrom(const ScriptClassInfo& other) const noexcept
{
    for (const ScriptClassInfo* c = this; c != nullptr; c = c->Ancestor) {
        if (c == &other)
            return true;
    }
    return false;
}

ScriptObject::~ScriptObject()
{
    if (handle_ == 0)
        return;
    HandleTable& table = Table();
    std::lock_guard guard(table.Lock);
    table.Live.erase(handle_);
}

void ScriptObject::CountMemory(ScriptMemoryCounter& counter) const
{
    counter.AddBytes(kScriptObjectBytes);
}

uint32_t ScriptObject::Handle()
{
    if (handle_ != 0)
        return handle_;
    HandleTable& table = Table();
    std::lock_guard guard(table.Lock);
    if (table.Next == UINT32_MAX)
        throw EOutOfMemory();
    handle_ = table.Next++;
    table.Live.emplace(handle_, this);
    return handle_;
}

void ScriptObject::RevokeHandle()
{
    if (handle_ == 0)
        Handle();
    HandleTable& table = Table();
    std::lock_guard guard(table.Lock);
    table.Live.erase(handle_);
}

namespace ObjectHandles {

Variant ToVariant(ScriptObject* object)
{
    return Variant::FromObject(object ? object->Handle() : 0);
}

ScriptObject* Find(uint32_t handle) noexcept
{
    if (handle == 0)
        return nullptr;
    HandleTable& table = Table();
    std::lock_guard guard(table.Lock);
    const auto found = table.Live.find(handle);
    return found == table.Live.end() ? nullptr : found->second;
}

ScriptObject& Resolve(uint32_t handle)
{
    if (handle == 0)
        throw EAccessViolation(coretexts::kNilObjectText);
    HandleTable& table = Table();
    std::lock_guard guard(table.Lock);
    const auto found = table.Live.find(handle);
    if (found != table.Live.end())
        return *found->second;
    if (handle >= kFirstObjectHandle && handle < table.Next)
        throw EAccessViolation(coretexts::kDestroyedObjectText);
    throw EAccessViolation(coretexts::kInvalidObjectReferenceText);
}

ScriptObject& Resolve(uint32_t handle, const ScriptClassInfo& expected)
{
    ScriptObject& object = Resolve(handle);
    if (!object.ScriptClass().InheritsFrom(expected))
        throw EInvalidCast();
    return object;
}

uint32_t HandleOf(const Variant& value)
{
    switch (value.Kind()) {
    case VariantKind::Object:
        return value.AsObject();
    case VariantKind::Null:
    case VariantKind::Unassigned:
        return 0;
    case VariantKind::Int32:
        // A negative number was never a handle; its bits make an invalid one.
        return static_cast<uint32_t>(value.AsInt32());
    case VariantKind::Int64:
        if (value.AsInt64() < 0 || value.AsInt64() > UINT32_MAX)
            return UINT32_MAX;
        return static_cast<uint32_t>(value.AsInt64());
    default:
        throw EInvalidCast();
    }
}

std::vector<ScriptObject*> LiveObjects(std::span<const uint32_t> handles)
{
    std::vector<ScriptObject*> live;
    live.reserve(handles.size());
    HandleTable& table = Table();
    std::lock_guard guard(table.Lock);
    for (const uint32_t handle : handles) {
        const auto found = table.Live.find(handle);
        if (found != table.Live.end())
            live.push_back(found->second);
    }
    return live;
}

size_t LiveCount() noexcept
{
    HandleTable& table = Table();
    std::lock_guard guard(table.Lock);
    return table.Live.size();
}

} // namespace ObjectHandles
