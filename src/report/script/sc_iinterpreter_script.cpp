#include "sc_iinterpreter_script.h"

#include "sc_iconsts.h"
#include "sc_iexpression.h"
#include "sc_iilparser.h"
#include "sc_iinterpreter_statements.h"
#include "sc_itools_types.h"

#include "report/core/ScriptErrors.h"

#include <algorithm>
#include <new>

// --- Run state of the thread ----------------------------------------------------------------

namespace scinternal {

thread_local constinit const FormatSettings* tActiveSettings = nullptr;

} // namespace scinternal

namespace {

using scinternal::tActiveSettings;

} // namespace

// The memory account of a root program. A check that became due while a value was made is
// made before the next statement (NotifyRunLineSlow).
class TscScript::TscMemory final : public ScriptMemory {
public:
    explicit TscMemory(const TscScript* root) : FRoot(root) {}
    ~TscMemory() override
    {
        if (CheckDue())
            --TscScript::sAttention;
    }
    // Makes a due check (EOutOfMemory past the limit).
    void CheckNow()
    {
        if (!CheckDue())
            return;
        --TscScript::sAttention;
        Check();
    }

protected:
    void CountHeld(ScriptMemoryCounter& counter) const override { FRoot->CountHeld(counter); }
    void OnCheckDue() noexcept override { ++TscScript::sAttention; }

private:
    const TscScript* FRoot;
};

// One entry into the interpreter from native code: the script's settings and memory account
// become the active ones, the stack guard is ready, and the outermost entry clears the root's
// stop flags when it starts and ends.
class TscScriptRunScope {
public:
    explicit TscScriptRunScope(TscScript* script)
        : FRoot(script->Root()), FPreviousSettings(tActiveSettings), FMemory(&FRoot->OwnMemory())
    {
        ScInitStackGuard();
        tActiveSettings = &FRoot->FSettings;
        if (FRoot->FEntryDepth++ == 0) {
            FRoot->FTerminated = false;
            FRoot->FExitCalled = false;
        }
    }
    ~TscScriptRunScope()
    {
        if (--FRoot->FEntryDepth == 0) {
            FRoot->FTerminated = false;
            FRoot->FExitCalled = false;
        }
        tActiveSettings = FPreviousSettings;
    }
    TscScriptRunScope(const TscScriptRunScope&) = delete;
    TscScriptRunScope& operator=(const TscScriptRunScope&) = delete;

    // Runs `run` in the scope. The allocator failing anywhere inside becomes the script error
    // EOutOfMemory; the account's reserve is given back first, so that whatever handles the
    // error has memory to work with.
    template <typename Run>
    auto operator()(const Run& run) -> decltype(run())
    {
        try {
            return run();
        } catch (const std::bad_alloc&) {
            FRoot->OwnMemory().ReleaseReserve();
            throw EOutOfMemory();
        }
    }

private:
    TscScript* FRoot;
    const FormatSettings* FPreviousSettings;
    ActiveScriptMemoryScope FMemory;
};

Variant TscScript::RunExpression(TscExpression& expression)
{
    TscScriptRunScope run(this);
    return run([&] { return expression.GetValue(); });
}

// --- Memory ---------------------------------------------------------------------------------

TscScript::TscMemory& TscScript::OwnMemory()
{
    if (!FMemory)
        FMemory = std::make_unique<TscMemory>(this);
    return *FMemory;
}

ScriptMemory& TscScript::Memory()
{
    return FRoot->OwnMemory();
}

void TscScript::CountHeld(ScriptMemoryCounter& counter) const
{
    std::vector<const TscScript*> pending{this};
    while (!pending.empty()) {
        const TscScript* script = pending.back();
        pending.pop_back();
        for (const Entry& entry : script->FItems) {
            const auto* item = dynamic_cast<const TscCustomVariable*>(entry.Item);
            if (item == nullptr)
                continue;
            if (item->Has(TscCustomVariable::Routine)) {
                if (entry.Owned)
                    pending.push_back(static_cast<const TscProcVariable*>(item)->Prog());
            } else if (item->Has(TscCustomVariable::TextVariable)) {
                counter.AddText(static_cast<const TscStringVariable*>(item)->Str());
            } else if (item->Has(TscCustomVariable::HoldsValue)) {
                counter.AddValue(const_cast<TscCustomVariable*>(item)->PValue());
            }
        }
    }
    for (const auto& saved : FSavedLocals)
        counter.AddValue(saved.second);
    counter.AddBytes(static_cast<int64_t>(FCreated.capacity() * sizeof(uint32_t)));
    for (const ScriptObject* object : ObjectHandles::LiveObjects(FCreated))
        object->CountMemory(counter);
}

// --- Construction ---------------------------------------------------------------------------

TscScript::TscScript(TscScript* parent)
    : FParent(parent), FRoot(parent != nullptr ? parent->FRoot : this),
      FStatement(std::make_unique<TscStatement>(this, QString(), QString()))
{
}

TscScript::~TscScript()
{
    // Objects and values go now: nothing of this program is charged any more.
    ActiveScriptMemoryScope noAccount(nullptr);
    if (FRoot == this)
        ++FTearingDown;
    SetOnRunLine({});
    if (FTerminateRequested.exchange(false))
        --sAttention;
    Clear();
    ClearRTTI();
    FStatement.reset();
    // Whatever is left (references, items of other owners) goes newest first.
    while (!FItems.empty())
        RemoveAt(FItems.size() - 1, true);
}

// --- Symbol table ---------------------------------------------------------------------------

TscObject* TscScript::Add(const QString& name, std::unique_ptr<TscObject> item)
{
    TscObject* raw = item.get();
    Entry entry;
    entry.Name = name;
    entry.Folded = name.toCaseFolded();
    entry.Item = raw;
    if (auto* value = dynamic_cast<TscCustomVariable*>(raw)) {
        value->AddedBy = AddedBy;
        entry.Owner = AddedBy;
    }
    entry.Owned = std::move(item);
    FIndex[entry.Folded].push_back(FItems.size());
    FItems.push_back(std::move(entry));
    ++FItemsVersion;
    return raw;
}

void TscScript::AddReference(const QString& name, TscObject* item)
{
    Entry entry;
    entry.Name = name;
    entry.Folded = name.toCaseFolded();
    entry.Item = item;
    if (auto* value = dynamic_cast<TscCustomVariable*>(item))
        entry.Owner = value->AddedBy;
    FIndex[entry.Folded].push_back(FItems.size());
    FItems.push_back(std::move(entry));
    ++FItemsVersion;
}

void TscScript::RebuildIndex()
{
    FIndex.clear();
    for (size_t i = 0; i < FItems.size(); ++i)
        FIndex[FItems[i].Folded].push_back(i);
}

void TscScript::RemoveAt(size_t index, bool free)
{
    std::unique_ptr<TscObject> owned = std::move(FItems[index].Owned);
    const QString folded = FItems[index].Folded;
    FItems.erase(FItems.begin() + static_cast<std::ptrdiff_t>(index));
    ++FItemsVersion;
    if (index == FItems.size()) {
        // The newest entry: only its own name's list changes.
        auto found = FIndex.find(folded);
        if (found != FIndex.end()) {
            found->pop_back();
            if (found->empty())
                FIndex.erase(found);
        }
    } else {
        RebuildIndex();
    }
    if (!free)
        owned.release();
    // Freed here, after the table is consistent again: a destructor may look things up.
}

std::unique_ptr<TscObject> TscScript::Remove(TscObject* item)
{
    for (size_t i = FItems.size(); i-- > 0;) {
        if (FItems[i].Item == item) {
            std::unique_ptr<TscObject> owned = std::move(FItems[i].Owned);
            RemoveAt(i, false);
            return owned;
        }
    }
    return nullptr;
}

TscCustomVariable* TscScript::FindLocal(const QString& name) const
{
    const auto found = FIndex.constFind(name.toCaseFolded());
    if (found == FIndex.constEnd() || found->empty())
        return nullptr;
    return dynamic_cast<TscCustomVariable*>(FItems[found->back()].Item);
}

TscCustomVariable* TscScript::Find(const QString& name) const
{
    const QString folded = name.toCaseFolded();
    for (const TscScript* script = this; script != nullptr; script = script->FParent) {
        const auto found = script->FIndex.constFind(folded);
        if (found != script->FIndex.constEnd() && !found->empty()) {
            if (auto* item = dynamic_cast<TscCustomVariable*>(script->FItems[found->back()].Item))
                return item;
        }
    }
    return nullptr;
}

TscClassVariable* TscScript::FindClass(const QString& name) const
{
    return dynamic_cast<TscClassVariable*>(Find(name));
}

void TscScript::RemoveWhere(const std::function<bool(const Entry&)>& remove)
{
    // Newest first; an item is freed only after it left the table.
    bool removed = false;
    for (size_t i = FItems.size(); i-- > 0;) {
        if (!remove(FItems[i]))
            continue;
        std::unique_ptr<TscObject> owned = std::move(FItems[i].Owned);
        FItems.erase(FItems.begin() + static_cast<std::ptrdiff_t>(i));
        ++FItemsVersion;
        removed = true;
        owned.reset();
    }
    if (removed)
        RebuildIndex();
}

void TscScript::RemoveItems(const void* owner)
{
    RemoveWhere([owner](const Entry& entry) {
        return entry.Owner == owner && dynamic_cast<TscCustomVariable*>(entry.Item) != nullptr;
    });
}

void TscScript::ClearProgram()
{
    FEvaluateCache.clear();
    FStatement->Clear();
    FUnitLines.clear();
}

void TscScript::ClearItems(const void* owner)
{
    ClearProgram();
    RemoveItems(owner);
}

void TscScript::Clear()
{
    // Nothing the script owns may run its handlers while it goes.
    ++FRoot->FTearingDown;
    struct Done {
        TscScript* Root;
        ~Done() { --Root->FTearingDown; }
    } done{FRoot};
    // Objects the script created go first, while the handlers they may still call exist.
    if (this == FRoot)
        FreeCreatedObjects();
    // Statements refer to the items: they go next.
    ClearProgram();
    RemoveWhere([](const Entry& entry) {
        const bool module = dynamic_cast<TscRTTIModule*>(entry.Item) != nullptr;
        const bool library = entry.Owner == kScLibraryOwner && dynamic_cast<TscCustomVariable*>(entry.Item) != nullptr;
        return !module && !library;
    });
    ErrorPos.clear();
    ErrorMsg.clear();
    ErrorUnit.clear();
    FCompileFailed = false;
}

void TscScript::SetVariable(const QString& name, const Variant& value)
{
    if (TscCustomVariable* item = Find(name)) {
        item->SetValue(value);
        return;
    }
    AddVariable(name, QStringLiteral("Variant"), value);
}

// --- Registration ---------------------------------------------------------------------------

TscClassVariable* TscScript::AddClass(const QString& name, const ScriptClassInfo* classInfo, const QString& ancestor)
{
    if (Find(name) != nullptr)
        return nullptr;
    auto descriptor = std::make_unique<TscClassVariable>(classInfo, name, ancestor, this);
    if (TscClassVariable* ancestorClass = FindClass(ancestor))
        descriptor->DefProperty = ancestorClass->DefProperty;
    return AddItem(name, std::move(descriptor));
}

TscVariable* TscScript::AddConst(const QString& name, const QString& typ, const Variant& value)
{
    if (Find(name) != nullptr)
        return nullptr;
    auto constant = std::make_unique<TscVariable>(name, LookupVarType(typ, this), typ);
    constant->PValue() = value;
    constant->IsReadOnly = true;
    return AddItem(name, std::move(constant));
}

namespace {

void AddEnumValues(TscScript* script, const QString& typ, const QString& names, bool asSet)
{
    auto type = std::make_unique<TscVariable>(typ, fvtEnum, typ);
    type->IsReadOnly = true;
    script->AddItem(typ, std::move(type));
    int index = 0;
    for (const QString& raw : names.split(u',')) {
        const QString name = raw.trimmed();
        auto value = std::make_unique<TscVariable>(name, fvtEnum, typ);
        value->PValue() = asSet ? Variant(static_cast<int32_t>(uint32_t{1} << (index & 31))) : Variant(int32_t{index});
        value->IsReadOnly = true;
        script->AddItem(name, std::move(value));
        ++index;
    }
}

} // namespace

void TscScript::AddEnum(const QString& typ, const QString& names)
{
    AddEnumValues(this, typ, names, false);
}

void TscScript::AddEnumSet(const QString& typ, const QString& names)
{
    AddEnumValues(this, typ, names, true);
}

TscMethodHelper* TscScript::AddMethod(const QString& syntax, TscNativeCallable call, const QString& category,
                                      const QString& description)
{
    auto method = std::make_unique<TscMethodHelper>(ParseNativeDeclaration(syntax, this), syntax);
    method->OnCall = std::move(call);
    method->Category = category;
    if (!description.isEmpty())
        method->Description = description;
    const QString name = method->Name();
    return AddItem(name, std::move(method));
}

TscVariable* TscScript::AddObject(const QString& name, ScriptObject* object)
{
    const QString className = object != nullptr ? object->ScriptClass().Name : QStringLiteral("TObject");
    return AddVariable(name, className, ObjectHandles::ToVariant(object));
}

TscVariable* TscScript::AddVariable(const QString& name, const QString& typ, const Variant& value)
{
    if (Find(name) != nullptr)
        return nullptr;
    const TscVarType code = LookupVarType(typ, this);
    std::unique_ptr<TscVariable> variable;
    if (code == fvtString || code == fvtChar)
        variable = std::make_unique<TscStringVariable>(name, code, typ);
    else
        variable = std::make_unique<TscVariable>(name, code, typ);
    variable->OnGetVarValue = OnGetVarValue;
    if (code == fvtString || code == fvtChar)
        variable->SetValue(value.IsNull() ? Variant(QString()) : value);
    else
        variable->PValue() = value;
    return AddItem(name, std::move(variable));
}

TscTypeVariable* TscScript::AddType(const QString& typeName, TscVarType parentType)
{
    if (Find(typeName) != nullptr)
        return nullptr;
    return AddItem(typeName, std::make_unique<TscTypeVariable>(typeName, parentType, QString()));
}

void TscScript::SetParent(TscScript* parent)
{
    if (parent == FParent)
        return;
    for (const TscScript* script = parent; script != nullptr; script = script->FParent) {
        if (script == this || script->FRoot == this)
            throw EScriptException(ScErrorText(TscMessage::SScriptEnclosesItself));
    }
    TscScript* root = parent != nullptr ? parent->FRoot : this;
    // Within one outermost program only lookups change; moving to another one while either
    // runs would split the counters and stop flags of a call in progress.
    if (root != FRoot && (FIsRunning || FRoot->FEntryDepth > 0 || root->FEntryDepth > 0))
        throw EScriptException(ScErrorText(TscMessage::SRunningScriptParent));
    FParent = parent;
    if (root != FRoot)
        SetRoot(root);
}

void TscScript::SetRoot(TscScript* root)
{
    // The local programs of the routines share the root of the program that holds them.
    std::vector<TscScript*> pending{this};
    while (!pending.empty()) {
        TscScript* script = pending.back();
        pending.pop_back();
        script->FRoot = root;
        for (const Entry& entry : script->FItems) {
            if (auto* proc = dynamic_cast<TscProcVariable*>(entry.Item); proc != nullptr && entry.Owned)
                pending.push_back(proc->Prog());
        }
    }
}

// --- Running --------------------------------------------------------------------------------

void TscScript::Execute()
{
    if (FCompileFailed)
        throw EScriptException(ScMessage(TscMessage::SNotCompiled).toStdString());
    TscScriptRunScope run(this);
    struct Flags {
        TscScript* Script;
        ~Flags()
        {
            Script->FExitCalled = false;
            Script->FBreakCalled = false;
            Script->FContinueCalled = false;
            Script->FTerminated = false;
            Script->FIsRunning = false;
        }
    } flags{this};
    FExitCalled = false;
    FBreakCalled = false;
    FContinueCalled = false;
    FTerminated = false;
    FIsRunning = true;
    MainProg = true;
    run([&] { FStatement->Execute(); });
}

void TscScript::Terminate()
{
    // Each program once, however the routines nest.
    std::vector<TscScript*> pending{this};
    if (FRoot != this)
        pending.push_back(FRoot);
    while (!pending.empty()) {
        TscScript* script = pending.back();
        pending.pop_back();
        script->FExitCalled = true;
        script->FTerminated = true;
        for (const Entry& entry : script->FItems) {
            if (auto* proc = dynamic_cast<TscProcVariable*>(entry.Item))
                pending.push_back(proc->Prog());
        }
    }
}

void TscScript::AddRTTI()
{
    if (FRTTIAdded)
        return;
    const void* previous = AddedBy;
    AddedBy = kScLibraryOwner;
    try {
        for (TscRTTIModuleFactory factory : GetRTTIModuleList())
            Add(QString(), factory(this));
    } catch (...) {
        AddedBy = previous;
        throw;
    }
    AddedBy = previous;
    FRTTIAdded = true;
}

void TscScript::ClearRTTI()
{
    if (!FRTTIAdded)
        return;
    ClearProgram();
    RemoveWhere([](const Entry& entry) {
        return dynamic_cast<TscRTTIModule*>(entry.Item) != nullptr || entry.Owner == kScLibraryOwner;
    });
    FRTTIAdded = false;
}

// --- Calls from native code -----------------------------------------------------------------

Variant TscScript::CallWithArguments(TscProcVariable* func, std::vector<Variant>& arguments)
{
    if (arguments.size() > static_cast<size_t>(func->ParamCount()))
        throw EScriptException(ScMessage(TscMessage::STooManyParams).toStdString());
    for (int i = static_cast<int>(arguments.size()); i < func->ParamCount(); ++i) {
        if (!func->Param(i)->IsOptional)
            throw EScriptException(ScMessage(TscMessage::SNotEnoughParams).toStdString());
    }
    TscScriptRunScope run(this);
    return run([&] { return func->Invoke(arguments); });
}

namespace {

std::vector<Variant> ArgumentsOf(const Variant& params)
{
    std::vector<Variant> arguments;
    if (!params.IsArray() || params.ArrayDimCount() != 1)
        return arguments;
    const VariantArrayBound bound = params.ArrayBound(0);
    for (int32_t i = bound.Low; i <= bound.High; ++i) {
        const int32_t index[] = {i};
        arguments.push_back(params.ArrayItem(index));
    }
    return arguments;
}

} // namespace

Variant TscScript::CallFunction2(TscProcVariable* func, Variant& params, bool copyBack)
{
    if (func == nullptr)
        return Variant::NullValue();
    std::vector<Variant> arguments = ArgumentsOf(params);
    const size_t passed = arguments.size();
    Variant result = CallWithArguments(func, arguments);
    if (copyBack && passed > 0) {
        const int32_t low = params.ArrayBound(0).Low;
        for (size_t i = 0; i < passed; ++i) {
            const int32_t index[] = {low + static_cast<int32_t>(i)};
            params.SetArrayItem(index, arguments[i]);
        }
    }
    return result;
}

Variant TscScript::CallFunction(const QString& name, Variant& params)
{
    return CallFunction2(dynamic_cast<TscProcVariable*>(FindLocal(name)), params, false);
}

Variant TscScript::CallFunction1(const QString& name, Variant& params)
{
    return CallFunction2(dynamic_cast<TscProcVariable*>(FindLocal(name)), params, true);
}

Variant TscScript::CallFunction(const QString& name, std::span<Variant> arguments)
{
    auto* func = dynamic_cast<TscProcVariable*>(FindLocal(name));
    if (func == nullptr)
        return Variant::NullValue();
    std::vector<Variant> copy(arguments.begin(), arguments.end());
    Variant result = CallWithArguments(func, copy);
    std::copy(copy.begin(), copy.end(), arguments.begin());
    return result;
}

// --- Lines ----------------------------------------------------------------------------------

void TscScript::AddCodeLine(const QString& unitName, const QString& pos)
{
    const qsizetype colon = pos.indexOf(u':');
    bool ok = false;
    const int row = (colon < 0 ? pos : pos.left(colon)).toInt(&ok);
    if (ok)
        FUnitLines[unitName].insert(row);
}

bool TscScript::IsExecutableLine(int lineN, const QString& unitName) const
{
    const auto found = FUnitLines.find(unitName);
    return found != FUnitLines.end() && found->second.count(lineN) != 0;
}

void TscScript::SetOnRunLine(TscRunLineEvent handler)
{
    const bool had = static_cast<bool>(FOnRunLine);
    FOnRunLine = std::move(handler);
    const bool has = static_cast<bool>(FOnRunLine);
    if (has && !had)
        ++sAttention;
    else if (had && !has)
        --sAttention;
}

void TscScript::RequestTerminate()
{
    if (!FRoot->FTerminateRequested.exchange(true))
        ++sAttention;
}

void TscScript::NotifyRunLineSlow(const QString& unitName, const QString& sourcePos)
{
    if (FRoot->FMemory)
        FRoot->FMemory->CheckNow();
    if (FRoot->FTerminateRequested.load() && FRoot->FTerminateRequested.exchange(false)) {
        --sAttention;
        FRoot->Terminate();
    }
    for (TscScript* script = this; script != nullptr; script = script->FParent) {
        if (script->FOnRunLine) {
            // A copy: the handler may replace itself.
            TscRunLineEvent handler = script->FOnRunLine;
            handler(this, unitName, sourcePos);
            return;
        }
    }
}
