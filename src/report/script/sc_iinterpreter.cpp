#include "sc_iinterpreter.h"

#include "sc_ievents.h"
#include "sc_iexpression.h"
#include "sc_iinterpreter_script.h"
#include "sc_iinterpreter_statements.h"
#include "sc_itools_types.h"

#include "report/core/ScriptErrors.h"

#include <algorithm>
#include <memory>
#include <new>
#include <typeinfo>

namespace {

const Variant kUnassigned;

} // namespace

// --- TscCallFrame ---------------------------------------------------------------------------

const Variant& TscCallFrame::Arg(size_t i) const
{
    return i < Args.size() ? Args[i] : kUnassigned;
}

ScriptObject& TscCallFrame::Object(const ScriptClassInfo& expected) const
{
    return ObjectHandles::Resolve(ObjectHandles::HandleOf(Instance), expected);
}

TscCallFrame TscCallFrame::ForStep(TscStepContext& context, const QString& memberName, const Variant* assignedValue)
{
    TscCallFrame frame;
    frame.Script = context.Program;
    frame.MemberName = &memberName;
    frame.Instance = context.Parent;
    frame.Args = context.Args;
    frame.AssignedValue = assignedValue;
    frame.Class = context.Class;
    return frame;
}

// --- TscCustomVariable ----------------------------------------------------------------------

TscCustomVariable::TscCustomVariable(const QString& name, TscVarType typ, const QString& typeName)
    : Typ(typ), TypeName(typeName), FName(name), FUppercaseName(name.toCaseFolded()), FUpperName(name.toUpper()),
      FValue(Variant::NullValue())
{
}

TscCustomVariable::~TscCustomVariable() = default;

Variant TscCustomVariable::GetValue()
{
    return FValue;
}

void TscCustomVariable::SetValue(const Variant& value)
{
    if (!IsReadOnly)
        FValue = value;
}

Variant TscCustomVariable::ReadStep(TscStepContext&)
{
    return GetValue();
}

void TscCustomVariable::WriteStep(TscStepContext&, const Variant& value)
{
    SetValue(value);
}

void TscCustomVariable::AddParam(std::unique_ptr<TscParamItem> param)
{
    FParams.push_back(std::move(param));
}

std::unique_ptr<TscParamItem> TscCustomVariable::TakeParam(int index)
{
    std::unique_ptr<TscParamItem> param = std::move(FParams[static_cast<size_t>(index)]);
    FParams.erase(FParams.begin() + index);
    return param;
}

int TscCustomVariable::GetNumberOfRequiredParams() const
{
    return static_cast<int>(std::count_if(FParams.begin(), FParams.end(),
                                          [](const std::unique_ptr<TscParamItem>& p) { return !p->IsOptional; }));
}

QString TscCustomVariable::GetFullTypeName() const
{
    return TypeRecName(TscTypeRec{Typ, TypeName});
}

// --- Variables ------------------------------------------------------------------------------

Variant ScConvertForTypeSlow(TscVarType typ, const Variant& value)
{
    const FormatSettings& settings = ScActiveSettings();
    switch (typ) {
    case fvtInt:
        return Variant(value.ToInt32(settings));
    case fvtBool:
        return Variant(value.ToBoolean(settings));
    case fvtFloat:
        // A date stays a date: TDateTime variables are floats that print as dates.
        return Variant(value.ToDouble(settings));
    case fvtString:
        return Variant(value.ToString(settings));
    case fvtInt64:
        return Variant(value.ToInt64(settings));
    default:
        return value;
    }
}

Variant TscVariable::GetValue()
{
    if (OnGetVarValue) {
        Variant supplied = OnGetVarValue(FName, Typ, FValue);
        if (!supplied.IsNull())
            return supplied;
    }
    return FValue;
}

void TscVariable::SetValue(const Variant& value)
{
    if (!IsReadOnly)
        FValue = ScConvertForType(Typ, value);
}

bool ScIsPlainValue(const TscCustomVariable* item)
{
    return item != nullptr && (typeid(*item) == typeid(TscVariable) || typeid(*item) == typeid(TscParamItem));
}

TscVariable::TscVariable(const QString& name, TscVarType typ, const QString& typeName)
    : TscCustomVariable(name, typ, typeName)
{
    FTraits |= HoldsValue;
}

TscStringVariable::TscStringVariable(const QString& name, TscVarType typ, const QString& typeName)
    : TscVariable(name, typ, typeName)
{
    FTraits |= TextVariable;
    FValue = Variant();
}

Variant TscStringVariable::GetValue()
{
    if (OnGetVarValue) {
        Variant supplied = OnGetVarValue(FName, Typ, Variant::SharingText(FStr));
        if (!supplied.IsNull())
            return supplied;
    }
    return Variant::SharingText(FStr);
}

void TscStringVariable::SetValue(const Variant& value)
{
    if (value.Kind() == VariantKind::String)
        FStr = value.AsString();
    else
        FStr = value.ToString(ScActiveSettings());
}

TscParamItem::TscParamItem(const QString& name, TscVarType typ, const QString& typeName, bool isOptional,
                           bool isVarParam)
    : TscCustomVariable(name, typ, typeName), DefValue(Variant::NullValue()), IsOptional(isOptional),
      IsVarParam(isVarParam)
{
    FTraits |= HoldsValue;
}


// --- Script routines ------------------------------------------------------------------------

TscProcVariable::TscProcVariable(const QString& name, TscVarType typ, const QString& typeName, TscScript* parent,
                                 bool isFunc)
    : TscCustomVariable(name, typ, typeName), IsFunc(isFunc), FProg(std::make_unique<TscScript>(parent))
{
    FTraits |= Routine;
    IsReadOnly = true;
    FProg->UseClassLateBinding = parent != nullptr && parent->UseClassLateBinding;
    if (isFunc) {
        std::unique_ptr<TscVariable> result;
        if (typ == fvtString || typ == fvtChar)
            result = std::make_unique<TscStringVariable>(QStringLiteral("Result"), typ, typeName);
        else
            result = std::make_unique<TscVariable>(QStringLiteral("Result"), typ, typeName);
        RefItem = FProg->AddItem(QStringLiteral("Result"), std::move(result));
        FPlainResult = ScIsPlainValue(RefItem);
        if (FPlainResult)
            FResultStart = ScUnassignedAs(typ);
    }
}

TscProcVariable::~TscProcVariable()
{
    // Native events bound to this routine are empty from now on.
    TscCustomEvent::HandlerDestroyed(this);
    // The parameters are listed in the local program but owned here.
    for (const auto& param : FParams)
        FProg->Remove(param.get()).release();
    FProg.reset();
}

void TscProcVariable::RebuildLocalState()
{
    FLocalState.clear();
    for (int i = 0; i < FProg->Count(); ++i) {
        auto* item = dynamic_cast<TscCustomVariable*>(FProg->Item(i));
        if (item != nullptr && item->IsLocalState())
            FLocalState.push_back(item);
    }
    FLocalStateVersion = FProg->FItemsVersion;
}

inline const std::vector<TscCustomVariable*>& TscProcVariable::LocalState()
{
    if (FLocalStateVersion != FProg->FItemsVersion)
        RebuildLocalState();
    return FLocalState;
}

bool TscProcVariable::HasVarParams() const
{
    return std::any_of(FParams.begin(), FParams.end(),
                       [](const std::unique_ptr<TscParamItem>& p) { return p->IsVarParam; });
}

Variant TscProcVariable::GetValue()
{
    std::vector<Variant> arguments;
    arguments.reserve(FParams.size());
    for (const auto& param : FParams)
        arguments.push_back(param->PValue());
    return Invoke(arguments);
}

Variant TscProcVariable::ReadStep(TscStepContext& context)
{
    return Invoke(context.Args);
}

Variant TscProcVariable::Invoke(std::span<Variant> arguments)
{
    return Run(arguments, true);
}


Variant TscProcVariable::Run(std::span<Variant> arguments, bool copyBack)
{
    TscScript* program = FProg.get();
    TscScript* root = program->Root();
    // A terminated run starts nothing new, so that even recursion ends at once.
    if (root->FTerminated)
        return Variant::NullValue();
    if (root->FCallDepth >= root->FMaxCallDepth)
        throw EStackOverflow();
    ScCheckStack();

    // Everything the call changes outside its own values comes back when it ends, also when
    // an exception passes. The locals a nested call saves go on the root's stack of saved
    // locals (calls on one root end in the reverse order they start).
    struct CallScope {
        TscProcVariable* Proc;
        TscScript* Root;
        TscScript* Main;
        TscScript* PreviousRunning;
        bool WasExecuting;
        size_t SavedFrom; // this call's entries of Root->FSavedLocals begin here
        ~CallScope()
        {
            TscScript* p = Proc->FProg.get();
            p->FExitCalled = false;
            p->FBreakCalled = false;
            p->FContinueCalled = false;
            p->FTerminated = false;
            p->FIsRunning = WasExecuting; // only a nested call saves locals
            auto& saved = Root->FSavedLocals;
            while (saved.size() > SavedFrom) {
                saved.back().first->RestoreState(std::move(saved.back().second));
                saved.pop_back();
            }
            Proc->Executing = WasExecuting;
            Main->FProgRunning = PreviousRunning;
            --Root->FCallDepth;
        }
    };
    TscScript* main = program->MainProgram();
    CallScope scope{this, root, main, main->FProgRunning, Executing, root->FSavedLocals.size()};
    ++root->FCallDepth;
    if (Executing) {
        // A nested call: the outer call's locals must survive it.
        for (TscCustomVariable* item : LocalState()) {
            if (item->Has(TextVariable))
                root->FSavedLocals.emplace_back(item, item->SaveState());
            else
                root->FSavedLocals.emplace_back(item, item->PValue()); // copied in place
        }
    }
    Executing = true;

    if (arguments.size() == 1 && FParams.size() == 1) {
        FParams.front()->SetValue(arguments.front()); // the usual call
    } else {
        for (size_t i = 0; i < FParams.size(); ++i) {
            TscParamItem* param = FParams[i].get();
            param->SetValue(i < arguments.size() ? arguments[i] : param->DefValue);
        }
    }
    if (IsFunc) {
        // Unassigned as the Result variable's type stores it.
        if (FPlainResult) {
            if (!RefItem->IsReadOnly)
                RefItem->PValue() = FResultStart;
        } else {
            RefItem->SetValue(Variant());
        }
    }
    main->FProgRunning = program;
    program->FExitCalled = false;
    program->FBreakCalled = false;
    program->FContinueCalled = false;
    program->FTerminated = false;
    program->FIsRunning = true;

    program->Statement()->RunItems(); // the stack was checked above, in this frame

    if (copyBack) {
        for (size_t i = 0; i < arguments.size() && i < FParams.size(); ++i)
            arguments[i] = FParams[i]->PValue();
    }
    if (!IsFunc)
        return Variant::NullValue();
    if (FPlainResult && !RefItem->OnGetVarValue)
        return RefItem->PValue();
    return RefItem->GetValue();
}

Variant TscProcVariable::RunWith(const std::vector<std::unique_ptr<TscExpression>>& arguments, bool needResult)
{
    if (arguments.size() != 1)
        return RunWithMany(arguments, needResult);
    Variant value = arguments.front()->Value();
    NeedResult = needResult;
    return Run(std::span<Variant>(&value, 1), false);
}

Variant TscProcVariable::RunWithMany(const std::vector<std::unique_ptr<TscExpression>>& arguments, bool needResult)
{
    // The values are made in place, each from its expression; only those made are destroyed.
    constexpr size_t kInline = 4; // kept small: recursion nests this frame
    const size_t count = arguments.size();
    if (count > kInline) {
        std::vector<Variant> values;
        values.reserve(count);
        for (const auto& argument : arguments)
            values.push_back(argument->GetValue());
        NeedResult = needResult;
        return Run(values, false);
    }
    alignas(Variant) unsigned char storage[kInline * sizeof(Variant)];
    auto* values = reinterpret_cast<Variant*>(storage);
    struct Made {
        Variant* Values;
        size_t Count = 0;
        ~Made() { std::destroy_n(Values, Count); }
    } made{values};
    for (; made.Count < count; ++made.Count)
        new (values + made.Count) Variant(arguments[made.Count]->Value());
    NeedResult = needResult;
    return Run(std::span<Variant>(values, count), false);
}

// --- Arrays and strings ---------------------------------------------------------------------

TscArrayHelper::TscArrayHelper(const QString& name, int dimCount, TscVarType typ, const QString& typeName)
    : TscCustomHelper(name, typ, typeName)
{
    FTraits |= ContainerStep;
    if (dimCount < 0) {
        AddParam(std::make_unique<TscParamItem>(QString(), fvtInt, QString(), false, false));
        AddParam(std::make_unique<TscParamItem>(QString(), fvtInt, QString(), true, false));
        AddParam(std::make_unique<TscParamItem>(QString(), fvtInt, QString(), true, false));
        return;
    }
    for (int i = 0; i < dimCount; ++i)
        AddParam(std::make_unique<TscParamItem>(QString(), fvtInt, QString(), false, false));
}

namespace {

// Indexes as the array expects them; up to kMaxArrayDimensions of them.
struct IndexList {
    int32_t Values[kMaxArrayDimensions];
    size_t Count = 0;
};

IndexList ToIndexes(std::span<const Variant> indexes)
{
    if (indexes.size() > static_cast<size_t>(kMaxArrayDimensions))
        throw EVariantInvalidArgError();
    IndexList list;
    const FormatSettings& settings = ScActiveSettings();
    for (const Variant& index : indexes)
        list.Values[list.Count++] = index.ToInt32(settings);
    return list;
}

} // namespace

const Variant& TscArrayHelper::Element(const Variant& array, std::span<const Variant> indexes)
{
    if (!array.IsArray())
        throw EVariantInvalidArgError();
    const IndexList list = ToIndexes(indexes);
    return array.ArrayItem(std::span<const int32_t>(list.Values, list.Count));
}

void TscArrayHelper::SetElement(Variant& storage, std::span<const Variant> indexes, const Variant& value)
{
    if (!storage.IsArray())
        throw EVariantInvalidArgError();
    const IndexList list = ToIndexes(indexes);
    storage.SetArrayItem(std::span<const int32_t>(list.Values, list.Count), value);
}

Variant TscArrayHelper::ReadStep(TscStepContext& context)
{
    return Element(context.Parent, context.Args);
}

void TscArrayHelper::WriteStep(TscStepContext& context, const Variant& value)
{
    if (context.ParentRef == nullptr)
        return;
    SetElement(context.ParentRef->PValue(), context.Args, ScConvertForType(Typ, value));
}

TscStringHelper::TscStringHelper() : TscCustomHelper(QStringLiteral("__StringHelper"), fvtChar, QString())
{
    FTraits |= ContainerStep;
    AddParam(std::make_unique<TscParamItem>(QString(), fvtInt, QString(), false, false));
}

int32_t TscStringHelper::CheckedIndex(const QString& text, const Variant& index)
{
    const int32_t i = index.ToInt32(ScActiveSettings());
    if (i < 1 || i > text.size())
        throw ERangeError();
    return i;
}

QString TscStringHelper::Character(const QString& text, const Variant& index)
{
    return QString(text[CheckedIndex(text, index) - 1]);
}

void TscStringHelper::SetCharacter(QString& text, const Variant& index, const Variant& value)
{
    const int32_t i = CheckedIndex(text, index);
    const QString replacement = value.ToString(ScActiveSettings());
    text[i - 1] = replacement.isEmpty() ? QChar() : replacement[0];
}

Variant TscStringHelper::ReadStep(TscStepContext& context)
{
    return Variant(Character(context.Parent.ToString(ScActiveSettings()), context.Args.empty() ? Variant() : context.Args[0]));
}

void TscStringHelper::WriteStep(TscStepContext& context, const Variant& value)
{
    if (context.ParentRef == nullptr)
        return;
    QString text = context.Parent.ToString(ScActiveSettings());
    SetCharacter(text, context.Args.empty() ? Variant() : context.Args[0], value);
    context.ParentRef->SetValue(Variant(text));
}

// --- Native members -------------------------------------------------------------------------

TscPropertyHelper::TscPropertyHelper(const QString& name, TscVarType typ, const QString& typeName)
    : TscCustomHelper(name, typ, typeName)
{
}

Variant TscPropertyHelper::ReadStep(TscStepContext& context)
{
    if (!OnGetValue)
        return Variant::NullValue();
    TscCallFrame frame = TscCallFrame::ForStep(context, FUpperName);
    Variant value = OnGetValue(frame);
    if (Typ == fvtBool && value.Kind() != VariantKind::Boolean)
        return Variant(!VariantCompare(VariantRelation::Equal, value, Variant(int32_t{0}), ScActiveSettings()));
    return value;
}

void TscPropertyHelper::WriteStep(TscStepContext& context, const Variant& value)
{
    if (IsReadOnly || !OnSetValue)
        return;
    TscCallFrame frame = TscCallFrame::ForStep(context, FUpperName, &value);
    OnSetValue(frame);
}

TscMethodHelper::TscMethodHelper(std::unique_ptr<TscCustomVariable> declaration, const QString& syntax)
    : TscCustomHelper(declaration->Name(), declaration->Typ, declaration->TypeName), Syntax(syntax)
{
    IsMacro = declaration->IsMacro;
    IsReadOnly = true;
    while (declaration->ParamCount() > 0)
        AddParam(declaration->TakeParam(0));
    Description = FName;
    FGetName = FUpperName + QStringLiteral(".GET");
    FSetName = FUpperName + QStringLiteral(".SET");
}

Variant TscMethodHelper::GetValue()
{
    TscStepContext context;
    return ReadStep(context);
}

Variant TscMethodHelper::ReadStep(TscStepContext& context)
{
    if (!OnCall)
        return Variant(int32_t{0});
    TscCallFrame frame = TscCallFrame::ForStep(context, IndexMethod ? FGetName : FUpperName);
    return OnCall(frame);
}

void TscMethodHelper::WriteStep(TscStepContext& context, const Variant& value)
{
    if (!IndexMethod || !OnCall)
        return;
    TscCallFrame frame = TscCallFrame::ForStep(context, FSetName, &value);
    OnCall(frame);
}

// --- Class descriptors ----------------------------------------------------------------------

TscClassVariable::TscClassVariable(const ScriptClassInfo* classInfo, const QString& name, const QString& ancestor,
                                   TscScript* program)
    : TscCustomVariable(name, fvtClass, name), Ancestor(ancestor), ClassRef(classInfo), FProgram(program)
{
    FTraits |= ClassItem;
    IsReadOnly = true;
    AddParam(std::make_unique<TscParamItem>(QString(), fvtVariant, QString(), true, false));
    AddPublishedProperties();
}

TscClassVariable::~TscClassVariable() = default;

Variant TscClassVariable::ReadStep(TscStepContext& context)
{
    if (context.Args.size() != 1)
        return Variant::NullValue();
    const Variant& value = context.Args[0];
    const uint32_t handle = ObjectHandles::HandleOf(value);
    if (handle == 0)
        return value;
    ScriptObject& object = ObjectHandles::Resolve(handle);
    if (ClassRef != nullptr ? !object.ScriptClass().InheritsFrom(*ClassRef)
                            : object.ScriptClass().Name.toCaseFolded() != FUppercaseName)
        throw EInvalidCast();
    return Variant::FromObject(handle);
}

TscClassVariable* TscClassVariable::AncestorClass() const
{
    if (Ancestor.isEmpty() || FProgram == nullptr)
        return nullptr;
    TscClassVariable* ancestor = FProgram->FindClass(Ancestor);
    return ancestor == this ? nullptr : ancestor;
}

TscCustomVariable* TscClassVariable::Find(const QString& name) const
{
    const QString folded = name.toCaseFolded();
    const TscClassVariable* current = this;
    // Ancestors form a chain of registered classes; the bound keeps a misregistered cycle finite.
    for (int depth = 0; current != nullptr && depth < 256; ++depth) {
        for (const auto& member : current->FMembers) {
            if (member->FoldedName() == folded)
                return member.get();
        }
        current = current->AncestorClass();
    }
    return nullptr;
}

bool TscClassVariable::InheritsFrom(const TscClassVariable* other) const
{
    const TscClassVariable* current = this;
    for (int depth = 0; current != nullptr && depth < 256; ++depth) {
        if (current == other)
            return true;
        current = current->AncestorClass();
    }
    return false;
}

TscMethodHelper* TscClassVariable::AddMethod(const QString& syntax, TscNativeCallable call)
{
    auto method = std::make_unique<TscMethodHelper>(ParseNativeDeclaration(syntax, FProgram), syntax);
    method->OnCall = std::move(call);
    method->FClassRef = this;
    TscMethodHelper* raw = method.get();
    FMembers.push_back(std::move(method));
    return raw;
}

TscMethodHelper* TscClassVariable::AddConstructor(const QString& syntax, TscNativeCallable call)
{
    const qsizetype blank = syntax.indexOf(u' ');
    const QString rest = blank < 0 ? QString() : syntax.mid(blank);
    return AddMethod(QStringLiteral("function") + rest + QStringLiteral(": Constructor"), std::move(call));
}

TscPropertyHelper* TscClassVariable::AddProperty(const QString& name, const QString& typ, TscNativeCallable getter,
                                                 TscNativeCallable setter)
{
    auto property = std::make_unique<TscPropertyHelper>(name, LookupVarType(typ, FProgram), typ);
    property->FClassRef = this;
    property->IsReadOnly = !setter;
    property->OnGetValue = std::move(getter);
    property->OnSetValue = std::move(setter);
    TscPropertyHelper* raw = property.get();
    FMembers.push_back(std::move(property));
    return raw;
}

TscMethodHelper* TscClassVariable::AddIndexProperty(const QString& name, const QString& params, const QString& typ,
                                                    TscNativeCallable call, bool readOnly)
{
    QStringList declared;
    const QStringList types = params.split(u',', Qt::SkipEmptyParts);
    for (int i = 0; i < types.size(); ++i)
        declared << QStringLiteral("p%1: %2").arg(i).arg(types[i].trimmed());
    const QString syntax =
        QStringLiteral("function %1(%2): %3").arg(name, declared.join(QStringLiteral("; ")), typ);
    TscMethodHelper* method = AddMethod(syntax, std::move(call));
    method->IsReadOnly = readOnly;
    method->IndexMethod = true;
    return method;
}

TscMethodHelper* TscClassVariable::AddDefaultProperty(const QString& name, const QString& params, const QString& typ,
                                                      TscNativeCallable call, bool readOnly)
{
    TscMethodHelper* method = AddIndexProperty(name, params, typ, std::move(call), readOnly);
    DefProperty = method;
    return method;
}

// --- Binding modules ------------------------------------------------------------------------

namespace {

std::vector<TscRTTIModuleFactory>& ModuleList()
{
    static std::vector<TscRTTIModuleFactory> list;
    return list;
}

} // namespace

std::unique_ptr<TscRTTIModule> CreateSysFunctions(TscScript* script);

const std::vector<TscRTTIModuleFactory>& GetRTTIModuleList()
{
    std::vector<TscRTTIModuleFactory>& list = ModuleList();
    if (list.empty())
        list.push_back(&CreateSysFunctions);
    return list;
}

void RegisterRTTIModule(TscRTTIModuleFactory factory)
{
    GetRTTIModuleList();
    std::vector<TscRTTIModuleFactory>& list = ModuleList();
    if (std::find(list.begin(), list.end(), factory) == list.end())
        list.push_back(factory);
}

void UnregisterRTTIModule(TscRTTIModuleFactory factory)
{
    std::vector<TscRTTIModuleFactory>& list = ModuleList();
    list.erase(std::remove(list.begin(), list.end(), factory), list.end());
}
