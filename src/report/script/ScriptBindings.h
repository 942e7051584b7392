#pragma once

// Helpers of the binding modules: arguments as the declared types, the instance and object
// arguments resolved through the handle table for their class (so a freed, nil or wrong object
// is a script error, never a crash), objects handed to the script that creates them, and the
// file-access check every member that touches a file makes first.

#include "sc_iinterpreter.h"
#include "report/core/Texts.h"
#include "sc_iconsts.h"
#include "sc_iinterpreter_script.h"

#include "report/core/FileAccess.h"
#include "report/core/ObjectHandles.h"
#include "report/core/ScriptErrors.h"
#include "report/core/Variant.h"

#include <QString>

#include <memory>

namespace scbind {

inline const FormatSettings& Settings(const TscCallFrame& frame)
{
    return frame.Script != nullptr ? frame.Script->Settings() : ScActiveSettings();
}

inline QString Text(const TscCallFrame& frame, size_t i)
{
    return VarToStr(frame.Arg(i), Settings(frame));
}

inline int32_t Int(const TscCallFrame& frame, size_t i)
{
    return frame.Arg(i).ToInt32(Settings(frame));
}

inline int64_t Int64(const TscCallFrame& frame, size_t i)
{
    return frame.Arg(i).ToInt64(Settings(frame));
}

inline double Real(const TscCallFrame& frame, size_t i)
{
    return frame.Arg(i).ToDouble(Settings(frame));
}

inline bool Bool(const TscCallFrame& frame, size_t i)
{
    return frame.Arg(i).ToBoolean(Settings(frame));
}

// The value being assigned (property and indexed-property writes).
inline const Variant& Assigned(const TscCallFrame& frame)
{
    static const Variant kNone;
    return frame.AssignedValue != nullptr ? *frame.AssignedValue : kNone;
}

// The bits of a set value: a set constructor's elements (each its bit) joined, or a number.
inline int32_t SetMask(const TscCallFrame& frame, const Variant& value)
{
    return ScSetValue(value).ToInt32(Settings(frame));
}

// A value as an integer of 32 bits when it fits, else 64.
inline Variant Integer(int64_t value)
{
    if (value >= INT32_MIN && value <= INT32_MAX)
        return Variant(static_cast<int32_t>(value));
    return Variant(value);
}

template <class T>
T& Cast(ScriptObject& object)
{
    auto* typed = dynamic_cast<T*>(&object);
    if (typed == nullptr)
        throw EInvalidCast();
    return *typed;
}

// The instance the member is called on, as the native class of the descriptor.
template <class T>
T& Self(const TscCallFrame& frame, const ScriptClassInfo& cls)
{
    return Cast<T>(frame.Object(cls));
}

// An object argument: nullptr for nil, the object for a live one of the class, errors for
// stale, invented or other objects.
template <class T>
T* ObjectArg(const TscCallFrame& frame, size_t i)
{
    const uint32_t handle = ObjectHandles::HandleOf(frame.Arg(i));
    if (handle == 0)
        return nullptr;
    return &Cast<T>(ObjectHandles::Resolve(handle));
}

// The same, nil refused ("Object reference is nil").
template <class T>
T& RequiredArg(const TscCallFrame& frame, size_t i)
{
    T* object = ObjectArg<T>(frame, i);
    if (object == nullptr)
        throw EAccessViolation(coretexts::kNilObjectText);
    return *object;
}

// An object reference argument kept by a list: nil, or the handle of a live object.
inline uint32_t ReferenceArg(const Variant& value)
{
    const uint32_t handle = ObjectHandles::HandleOf(value);
    if (handle != 0)
        ObjectHandles::Resolve(handle);
    return handle;
}

// Hands an object the script constructed to the script (it goes with it) and gives its
// reference.
inline Variant Adopt(const TscCallFrame& frame, std::unique_ptr<ScriptObject> object)
{
    if (frame.Script == nullptr)
        throw EInvalidOperation(ScErrorText(TscMessage::SNoOwningScript));
    return frame.Script->AdoptObject(std::move(object));
}

// The file-access check of the script the member runs in (none allowed without a script).
inline void CheckFile(const TscCallFrame& frame, const QString& path, FileAccessMode mode)
{
    static const FileAccessPolicy kNothingAllowed;
    (frame.Script != nullptr ? frame.Script->FileAccess() : kNothingAllowed).Check(path, mode);
}

inline const FileAccessPolicy& Files(const TscCallFrame& frame)
{
    static const FileAccessPolicy kNothingAllowed;
    return frame.Script != nullptr ? frame.Script->FileAccess() : kNothingAllowed;
}

// The class named before a constructor (TStringList in TStringList.Create).
inline const ScriptClassInfo& ConstructedClass(const TscCallFrame& frame)
{
    if (frame.Class == nullptr || frame.Class->ClassRef == nullptr)
        throw EInvalidOperation(ScErrorText(TscMessage::SConstructorNeedsClass));
    return *frame.Class->ClassRef;
}

// A new object of the class named before a constructor, made by its factory in the property
// registry; EInvalidOperation for a class that cannot be created.
std::unique_ptr<ScriptObject> CreateInstance(const TscCallFrame& frame);

// The generic constructor: an object of the class named before it, from its factory, owned by
// the script.
inline Variant Construct(TscCallFrame& frame)
{
    return Adopt(frame, CreateInstance(frame));
}

// A whole file read for a script: the policy first, then the file (a regular file of at most
// maxBytes); EFOpenError `Unable to open file "PATH": reason` on failure.
QByteArray ReadFile(const TscCallFrame& frame, const QString& path, qint64 maxBytes);
// Bytes written over a file for a script, atomically: the policy first; EFCreateError
// `Unable to create file "PATH": reason` on failure.
void WriteFile(const TscCallFrame& frame, const QString& path, const QByteArray& bytes);

inline const Variant kNothing = Variant::NullValue();

} // namespace scbind
