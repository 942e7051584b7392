#pragma once

// The interpreter's values: variables, constants, parameters, script routines, native
// functions, members of native classes and the class descriptors through which scripts reach
// native classes. Access paths and set constructors are in sc_iinterpreter_designators.h,
// statements in sc_iinterpreter_statements.h, the script object in sc_iinterpreter_script.h.
//
// Scripts come from report files and are not trusted: every value here is reached through
// checked operations, objects travel as handles of the object table (report/core), and
// native code is called with its own argument frame, so a call never overwrites the state of
// another one that is still running.

#include "sc_istack.h"

#include "report/core/FormatSettings.h"
#include "report/core/ObjectHandles.h"
#include "report/core/Variant.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

class TscClassVariable;
class TscDesignatorItem;
class TscExpression;
class TscParamItem;
class TscScript;

// Type codes of script values.
enum TscVarType : uint8_t {
    fvtInt,
    fvtBool,
    fvtFloat,
    fvtChar,
    fvtString,
    fvtClass,
    fvtArray,
    fvtVariant,
    fvtEnum,
    fvtConstructor,
    fvtInt64,
};

// The owner mark of the items the binding modules register; they survive Clear.
inline const void* const kScLibraryOwner = reinterpret_cast<const void*>(uintptr_t{1});

namespace scinternal {
extern thread_local constinit const FormatSettings* tActiveSettings;
} // namespace scinternal

// The number and date texts of the script running on this thread (the C set when none runs).
inline const FormatSettings& ScActiveSettings()
{
    const FormatSettings* settings = scinternal::tActiveSettings;
    return settings != nullptr ? *settings : FormatSettings::C();
}

// Base of everything a symbol table owns.
class TscObject {
public:
    TscObject() = default;
    TscObject(const TscObject&) = delete;
    TscObject& operator=(const TscObject&) = delete;
    virtual ~TscObject() = default;
};

// Supplies a variable's value on request (the report's data fields); Null keeps the stored one.
using TscGetVariableValueEvent = std::function<Variant(const QString& name, TscVarType typ, const Variant& oldValue)>;

// What one call of native code gets: the argument values (a callee writes var arguments back
// into them), the instance it is called on and, for writes, the value being written.
struct TscCallFrame {
    TscScript* Script = nullptr;           // the program the call runs in
    const QString* MemberName = nullptr;   // upper-case name; ".GET"/".SET" added for indexed properties
    Variant Instance;                      // the value of the step before: an object handle, Null for functions
    std::span<Variant> Args;
    const Variant* AssignedValue = nullptr; // the value written (property and indexed-property writes)
    TscClassVariable* Class = nullptr;     // the class named before a constructor

    // The argument i, or Unassigned when the call has fewer.
    const Variant& Arg(size_t i) const;
    // The instance as an object of the class `expected` (or a descendant): EAccessViolation
    // for nil, stale or invented handles, EInvalidCast for another class.
    ScriptObject& Object(const ScriptClassInfo& expected) const;

    // The frame of one step of an access path (see TscStepContext), under that member name.
    static TscCallFrame ForStep(struct TscStepContext& context, const QString& memberName,
                                const Variant* assignedValue = nullptr);
};

using TscNativeCallable = std::function<Variant(TscCallFrame&)>;

// One step of an access path being read or written: the value and item of the step before
// and the argument values of this step. Lives on the stack of the evaluation.
struct TscStepContext {
    TscScript* Program = nullptr;
    Variant Parent;                          // value of the step before
    class TscCustomVariable* ParentRef = nullptr; // item of the step before, when it holds its value
    std::span<Variant> Args;
    TscClassVariable* Class = nullptr;       // class descriptor named by the step before
    bool NeedResult = true;
};

// Base of every named or computed value. Its parameters (for routines and members) are its
// children.
class TscCustomVariable : public TscObject {
public:
    TscCustomVariable(const QString& name, TscVarType typ, const QString& typeName);
    ~TscCustomVariable() override;

    virtual Variant GetValue();
    virtual void SetValue(const Variant& value);

    // Reading and writing as a step of an access path. By default the plain value.
    virtual Variant ReadStep(TscStepContext& context);
    virtual void WriteStep(TscStepContext& context, const Variant& value);

    // The stored value, bypassing conversions and handlers (for loops and saved locals).
    Variant& PValue() { return FValue; }
    // What a nested call of a routine saves and restores for this item: its value (a text
    // variable's text).
    inline Variant SaveState() const;
    inline void RestoreState(Variant&& state);
    // A local whose value a nested call of its routine must keep (variables and parameters).
    virtual bool IsLocalState() const { return false; }

    const QString& Name() const { return FName; }
    // The name folded for comparisons (one locale-free case fold for every lookup).
    const QString& FoldedName() const { return FUppercaseName; }
    // The upper-case name native code is called with.
    const QString& UpperName() const { return FUpperName; }

    int ParamCount() const { return static_cast<int>(FParams.size()); }
    TscParamItem* Param(int index) const { return FParams[static_cast<size_t>(index)].get(); }
    void AddParam(std::unique_ptr<TscParamItem> param);
    std::unique_ptr<TscParamItem> TakeParam(int index);
    int GetNumberOfRequiredParams() const;

    // "Integer", "Boolean", "Extended", "Char", "String", the class or enumeration name,
    // "Array", "Int64", "Variant".
    QString GetFullTypeName() const;

    // What an access path needs to know of an item, without asking its class each time.
    enum Trait : uint8_t {
        HoldsValue = 1,     // a variable or parameter: its value lives in it
        TextVariable = 2,   // a TscStringVariable
        ClassItem = 4,      // a class descriptor
        ContainerStep = 8,  // element of an array or character of a text (writes change the step before)
        Routine = 16,       // a script routine
    };
    bool Has(Trait trait) const { return (FTraits & trait) != 0; }

    const void* AddedBy = nullptr; // owner mark (kScLibraryOwner for the binding modules)
    bool IsMacro = false;          // arguments are passed as their source text
    bool IsReadOnly = false;
    bool NeedResult = true;        // whether the caller uses the value
    TscCustomVariable* RefItem = nullptr;
    QString SourcePos;
    QString SourceUnit;
    TscVarType Typ;
    QString TypeName;
    TscGetVariableValueEvent OnGetVarValue;

protected:
    uint8_t FTraits = 0;
    QString FName;
    QString FUppercaseName; // case-folded
    QString FUpperName;
    Variant FValue;
    std::vector<std::unique_ptr<TscParamItem>> FParams;
};

// Variables, constants, enumeration values and enumeration type entries. A write converts
// the value to the variable's type.
class TscVariable : public TscCustomVariable {
public:
    TscVariable(const QString& name, TscVarType typ, const QString& typeName);
    Variant GetValue() override;
    void SetValue(const Variant& value) override;
    bool IsLocalState() const override { return !IsReadOnly; }
};

// Converts a value for storing into an item of type typ: integers (range checked), Booleans,
// floats, texts and 64-bit integers; other types keep the value.
Variant ScConvertForTypeSlow(TscVarType typ, const Variant& value);
inline Variant ScConvertForType(TscVarType typ, const Variant& value)
{
    const VariantKind kind = value.Kind();
    if ((typ == fvtInt && kind == VariantKind::Int32) || typ == fvtVariant || typ == fvtClass || typ == fvtArray ||
        typ == fvtEnum || typ == fvtChar || typ == fvtConstructor ||
        (typ == fvtFloat && (kind == VariantKind::Double || kind == VariantKind::DateTime)) ||
        (typ == fvtBool && kind == VariantKind::Boolean) || (typ == fvtString && kind == VariantKind::String) ||
        (typ == fvtInt64 && kind == VariantKind::Int64))
        return value;
    return ScConvertForTypeSlow(typ, value);
}

// The value of a set: its bits as they are, or the elements of a set constructor (each already
// its bit) joined.
Variant ScSetValue(const Variant& value);

// What storing Unassigned into an item of type typ stores (ScConvertForType).
inline Variant ScUnassignedAs(TscVarType typ)
{
    switch (typ) {
    case fvtInt:
        return Variant(int32_t{0});
    case fvtBool:
        return Variant(false);
    case fvtFloat:
        return Variant(0.0);
    case fvtString:
        return Variant(QString());
    case fvtInt64:
        return Variant(int64_t{0});
    default:
        return Variant();
    }
}

// The usual cases where an item of type typ stores a value as it is (ScConvertForType).
inline bool ScStoredAsItIs(TscVarType typ, VariantKind kind)
{
    return (typ == fvtInt && kind == VariantKind::Int32) || (typ == fvtFloat && kind == VariantKind::Double) ||
           (typ == fvtBool && kind == VariantKind::Boolean) || typ == fvtVariant;
}

// Stores a value into an item's storage as SetValue of a variable of type typ does.
inline void ScStoreForType(TscVarType typ, Variant& storage, const Variant& value)
{
    if (ScStoredAsItIs(typ, value.Kind()))
        storage = value;
    else
        storage = ScConvertForType(typ, value);
}
// (Always inlined: the compiler kept it out of line on the call path, where results are stored.)
[[gnu::always_inline]] inline void ScStoreForType(TscVarType typ, Variant& storage, Variant&& value)
{
    if (ScStoredAsItIs(typ, value.Kind()))
        storage = std::move(value);
    else
        storage = ScConvertForType(typ, value);
}

// A TscVariable or TscParamItem itself, no descendant: its value is its stored value and a
// write stores the value converted by its type, so the interpreter may read and write the
// storage directly (as long as no OnGetVarValue handler supplies the value).
bool ScIsPlainValue(const TscCustomVariable* item);

// A type name.
class TscTypeVariable : public TscCustomVariable {
public:
    using TscCustomVariable::TscCustomVariable;
};

// A variable of type Char or String, with its own text storage.
class TscStringVariable : public TscVariable {
public:
    TscStringVariable(const QString& name, TscVarType typ, const QString& typeName);
    Variant GetValue() override;
    void SetValue(const Variant& value) override;
    bool IsLocalState() const override { return true; }
    QString& Str() { return FStr; }
    const QString& Str() const { return FStr; }

private:
    QString FStr;
};

inline Variant TscCustomVariable::SaveState() const
{
    if (Has(TextVariable))
        return Variant::SharingText(static_cast<const TscStringVariable*>(this)->Str());
    return FValue;
}

inline void TscCustomVariable::RestoreState(Variant&& state)
{
    if (Has(TextVariable))
        static_cast<TscStringVariable*>(this)->Str() = state.AsString();
    else
        FValue = std::move(state);
}

// A formal parameter; inside its routine also a local variable.
class TscParamItem final : public TscCustomVariable {
public:
    TscParamItem(const QString& name, TscVarType typ, const QString& typeName, bool isOptional, bool isVarParam);
    // A parameter takes its declared type like a variable, so the routine sees the value it
    // declared whatever the caller passed.
    void SetValue(const Variant& value) override
    {
        if (!IsReadOnly)
            ScStoreForType(Typ, FValue, value);
    }
    bool IsLocalState() const override { return true; }

    Variant DefValue;
    bool IsOptional;
    bool IsVarParam;
};

// A script procedure or function with its own local program.
class TscProcVariable : public TscCustomVariable {
public:
    TscProcVariable(const QString& name, TscVarType typ, const QString& typeName, TscScript* parent, bool isFunc);
    ~TscProcVariable() override;

    // Runs the routine with its parameters as they stand.
    Variant GetValue() override;
    Variant ReadStep(TscStepContext& context) override;

    // Runs the routine with these argument values: the parameters take them in order
    // (missing ones their defaults); afterwards every argument holds its parameter's final
    // value, so that the caller can write var parameters back. A routine that is already
    // running (recursion, re-entry from native code) keeps its locals: they are saved before
    // and restored after the call. Raises EStackOverflow past the call-depth limit.
    Variant Invoke(std::span<Variant> arguments);
    // Invoke; the arguments keep what they held unless copyBack is set.
    Variant Run(std::span<Variant> arguments, bool copyBack);
    // Run with the values of these argument expressions, evaluated in order before the call;
    // NeedResult is set after them.
    Variant RunWith(const std::vector<std::unique_ptr<TscExpression>>& arguments, bool needResult);
    // Some parameter is a var parameter.
    bool HasVarParams() const;

    TscScript* Prog() const { return FProg.get(); }
    bool Executing = false;
    bool IsFunc;

private:
    // RunWith for any other number of arguments than one.
    [[gnu::noinline]] Variant RunWithMany(const std::vector<std::unique_ptr<TscExpression>>& arguments,
                                          bool needResult);
    // The items a nested call saves, found once per state of the local program.
    const std::vector<TscCustomVariable*>& LocalState();
    [[gnu::noinline]] void RebuildLocalState();

    std::unique_ptr<TscScript> FProg;
    bool FPlainResult = false; // the Result variable is a plain variable (ScIsPlainValue)
    Variant FResultStart;      // what a plain Result variable holds when a call begins (a plain value)
    std::vector<TscCustomVariable*> FLocalState;
    uint64_t FLocalStateVersion = ~uint64_t{0}; // FItemsVersion of the program when FLocalState was made
};

// Base of the members reached through the value of the step before.
class TscCustomHelper : public TscCustomVariable {
public:
    using TscCustomVariable::TscCustomVariable;
};

// Element access into Variant arrays: as many index parameters as dimensions. The shared
// "__ArrayHelper" (dimension count -1) takes one index and two optional ones.
class TscArrayHelper : public TscCustomHelper {
public:
    TscArrayHelper(const QString& name, int dimCount, TscVarType typ, const QString& typeName);
    Variant ReadStep(TscStepContext& context) override;
    void WriteStep(TscStepContext& context, const Variant& value) override;

    // Element of an array value; indexes outside the bounds raise EVariantBadIndexError.
    static const Variant& Element(const Variant& array, std::span<const Variant> indexes);
    // Writes an element of the array held in `storage` in place.
    static void SetElement(Variant& storage, std::span<const Variant> indexes, const Variant& value);
};

// Character access into strings by a 1-based index; outside 1..Length raises ERangeError.
class TscStringHelper : public TscCustomHelper {
public:
    TscStringHelper();
    Variant ReadStep(TscStepContext& context) override;
    void WriteStep(TscStepContext& context, const Variant& value) override;

    // The 1-based index, checked against the text.
    static int32_t CheckedIndex(const QString& text, const Variant& index);
    static QString Character(const QString& text, const Variant& index);
    static void SetCharacter(QString& text, const Variant& index, const Variant& value);
};

// A native property of a class.
class TscPropertyHelper : public TscCustomHelper {
public:
    TscPropertyHelper(const QString& name, TscVarType typ, const QString& typeName);
    Variant ReadStep(TscStepContext& context) override;
    void WriteStep(TscStepContext& context, const Variant& value) override;

    TscClassVariable* FClassRef = nullptr;
    bool IsPublished = false;
    TscNativeCallable OnGetValue;
    TscNativeCallable OnSetValue; // none: the property is read-only
};

// A native method or global function. Its declaration text gives its name, result type and
// parameters (ParseNativeDeclaration).
class TscMethodHelper : public TscCustomHelper {
public:
    // Takes name, result type, macro flag and parameters from a parsed declaration (see
    // ParseNativeDeclaration).
    TscMethodHelper(std::unique_ptr<TscCustomVariable> declaration, const QString& syntax);
    Variant GetValue() override;
    Variant ReadStep(TscStepContext& context) override;
    void WriteStep(TscStepContext& context, const Variant& value) override;

    QString Category;
    TscClassVariable* FClassRef = nullptr;
    QString Description;
    bool IndexMethod = false; // getter and setter of an indexed property
    TscNativeCallable OnCall;
    QString Syntax;

private:
    QString FGetName; // upper-case name with ".GET"
    QString FSetName; // upper-case name with ".SET"
};

class TscProcVariable;

// Connects a native event of an object to a script routine (or disconnects it, handler
// null). The event bridges provide one per event type.
using TscEventBinder = std::function<void(TscCallFrame& frame, TscProcVariable* handler)>;

// An event property of a native class: reads as an empty text; writing the name of a script
// procedure or function binds it, writing "0" clears the event, any other name raises "Event
// handler must be a procedure".
class TscEventHelper : public TscCustomHelper {
public:
    TscEventHelper(const QString& name, TscEventBinder binder);
    Variant ReadStep(TscStepContext& context) override;
    void WriteStep(TscStepContext& context, const Variant& value) override;

    TscClassVariable* FClassRef = nullptr;
    TscEventBinder FEvent;
};

// A child component of a form: reads as the component.
class TscComponentHelper : public TscCustomHelper {
public:
    TscComponentHelper(const QString& name, ScriptObject& component);
    Variant ReadStep(TscStepContext& context) override;

private:
    uint32_t FComponent; // handle of the component
};

// A class descriptor: how scripts see a native class.
class TscClassVariable : public TscCustomVariable {
public:
    // `classInfo` may be null for a class that scripts only name.
    TscClassVariable(const ScriptClassInfo* classInfo, const QString& name, const QString& ancestor, TscScript* program);
    ~TscClassVariable() override;

    // A class applied to one value is a checked cast: nil stays nil, an object of the class
    // (or a descendant) passes, anything else is EInvalidCast.
    Variant ReadStep(TscStepContext& context) override;

    // The member of that name (one case fold), searched in this class and then its ancestors.
    TscCustomVariable* Find(const QString& name) const;
    // This class or one of its ancestors is `other`.
    bool InheritsFrom(const TscClassVariable* other) const;
    TscClassVariable* AncestorClass() const;

    // Registration (used by the binding modules).
    TscMethodHelper* AddMethod(const QString& syntax, TscNativeCallable call);
    // "constructor Create(...)" becomes a function of that name returning the class.
    TscMethodHelper* AddConstructor(const QString& syntax, TscNativeCallable call);
    TscPropertyHelper* AddProperty(const QString& name, const QString& typ, TscNativeCallable getter,
                                   TscNativeCallable setter = {});
    TscMethodHelper* AddIndexProperty(const QString& name, const QString& params, const QString& typ,
                                      TscNativeCallable call, bool readOnly = false);
    TscMethodHelper* AddDefaultProperty(const QString& name, const QString& params, const QString& typ,
                                        TscNativeCallable call, bool readOnly = false);
    // AddProperty; every callable gets the whole call frame, so the caller-passing form is
    // the same.
    TscPropertyHelper* AddPropertyEx(const QString& name, const QString& typ, TscNativeCallable getter,
                                     TscNativeCallable setter = {})
    {
        return AddProperty(name, typ, std::move(getter), std::move(setter));
    }
    TscEventHelper* AddEvent(const QString& name, TscEventBinder binder);
    TscComponentHelper* AddComponent(const QString& name, ScriptObject& component);

    int MembersCount() const { return static_cast<int>(FMembers.size()); }
    TscCustomVariable* Member(int index) const { return FMembers[static_cast<size_t>(index)].get(); }

    QString Ancestor;
    const ScriptClassInfo* ClassRef;
    TscCustomVariable* DefProperty = nullptr;

private:
    // The published properties of the class in the property registry, sorted by name.
    void AddPublishedProperties();

    std::vector<std::unique_ptr<TscCustomVariable>> FMembers;
    TscScript* FProgram;
};

// Base of the binding modules: a module registers its types, classes, constants and
// functions into one script when it is created.
class TscRTTIModule : public TscObject {
public:
    explicit TscRTTIModule(TscScript* script) : FScript(script) {}
    TscScript* Script() const { return FScript; }

private:
    TscScript* FScript;
};

using TscRTTIModuleFactory = std::unique_ptr<TscRTTIModule> (*)(TscScript* script);

// The process-wide list of binding modules, in the order scripts instantiate them. It starts
// with the system module; every further module is added by explicit registration.
const std::vector<TscRTTIModuleFactory>& GetRTTIModuleList();
void RegisterRTTIModule(TscRTTIModuleFactory factory);
void UnregisterRTTIModule(TscRTTIModuleFactory factory);
