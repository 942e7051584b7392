#pragma once

// Late-bound steps of access paths (TscOLEHelper): a step that follows a value holding a
// late-bound object calls the member by name through IScriptDispatch (report/core).

#include "report/core/Variant.h"

#include <QString>

#include <span>

// Arguments one late-bound call may pass; more are refused with 8002000E.
inline constexpr size_t kScMaxDispatchArguments = 64;

struct TscOLEHelper {
    // Reading a step: a method call, or a property read when the value is used and the
    // object has a property of that name (so a parameterless property reads like a method
    // call); a statement call is a plain method call.
    static Variant Read(const Variant& object, const QString& member, std::span<const Variant> arguments,
                        bool needResult);
    // Assigning to a step: a property write with the index arguments followed by the value.
    static void Write(const Variant& object, const QString& member, std::span<const Variant> indexes,
                      const Variant& value);
};
