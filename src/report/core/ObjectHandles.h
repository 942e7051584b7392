#pragma once

#include "Variant.h"

#include <QString>

#include <cstdint>
#include <span>
#include <vector>

// Identity of a native class as scripts and report files name it: its name and its
// ancestor. Class descriptors and the property registry refer to these records; one record
// lives as long as the program.
struct ScriptClassInfo {
    QString Name;
    const ScriptClassInfo* Ancestor = nullptr;

    // True when this class is `other` or descends from it.
    bool InheritsFrom(const ScriptClassInfo& other) const noexcept;
};

// Base of every native object a script or a report may refer to by number. The object gets
// a handle on its first request; destroying the object makes its handle stale, so that a
// script holding it gets an error instead of reaching freed memory.
class ScriptObject {
public:
    ScriptObject() = default;
    ScriptObject(const ScriptObject&) = delete;
    ScriptObject& operator=(const ScriptObject&) = delete;
    virtual ~ScriptObject();

    virtual const ScriptClassInfo& ScriptClass() const = 0;

    // Adds what the object holds in memory (itself and what it keeps: texts, bytes, items) to
    // a count of what a script holds (ScriptMemory.h); kScriptObjectBytes unless the class says more.
    virtual void CountMemory(ScriptMemoryCounter& counter) const;

    // The object's handle: the same for its whole life, never given to another object.
    uint32_t Handle();
    // Whether the object was ever given a handle (an object without one is known to no script).
    bool HasHandle() const { return handle_ != 0; }
    // Makes the handle stale now, for an object whose destruction has to wait (it is still
    // delivering an event): scripts get "Object was destroyed" from here on.
    void RevokeHandle();

private:
    uint32_t handle_ = 0; // 0 until the first request
};

// The table from handles to live objects. Handles count up from kFirstObjectHandle, so a
// small number a script makes up is no object; a handle is never reused while the program
// runs; 0 is nil.
namespace ObjectHandles {

inline constexpr uint32_t kFirstObjectHandle = 0x10000;

// The handle of an object as a value (Object kind); nil for no object.
Variant ToVariant(ScriptObject* object);

// The live object of a handle, or nullptr for nil and for stale or unknown handles.
ScriptObject* Find(uint32_t handle) noexcept;

// The object of a handle. Raises EAccessViolation: "Object reference is nil" for 0, "Object
// was destroyed" for a handle whose object is gone, "Invalid object reference" for a number
// that was never a handle.
ScriptObject& Resolve(uint32_t handle);

// As Resolve, for an object of the class `expected` or a descendant; EInvalidCast "Invalid
// class typecast" otherwise.
ScriptObject& Resolve(uint32_t handle, const ScriptClassInfo& expected);

// The handle a value holds: an Object value, or an integer that a script kept. Null and
// Unassigned count as nil; any other kind is EInvalidCast.
uint32_t HandleOf(const Variant& value);

// The objects of these handles that still live, in the same order (stale and nil ones left out).
std::vector<ScriptObject*> LiveObjects(std::span<const uint32_t> handles);

// How many objects currently have a handle (for tests).
size_t LiveCount() noexcept;

} // namespace ObjectHandles
