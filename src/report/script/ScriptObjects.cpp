#include "ScriptObjects.h"
#include "report/core/Texts.h"
#include "sc_iconsts.h"

#include "sc_iinterpreter_script.h"

#include "report/core/Conversions.h"

#include "platform/DateTime.h"
#include "report/core/PropertyRegistry.h"
#include "report/core/ScriptFont.h"
#include "report/core/ScriptErrors.h"

#include <algorithm>

// --- Plain objects --------------------------------------------------------------------------

const ScriptClassInfo& ScriptPlainObject::ObjectClass()
{
    static const ScriptClassInfo info{QStringLiteral("TObject"), nullptr};
    return info;
}

const ScriptClassInfo& ScriptPlainObject::PersistentClass()
{
    static const ScriptClassInfo info{QStringLiteral("TPersistent"), &ObjectClass()};
    return info;
}

const ScriptClassInfo& ScriptPlainObject::CollectionItemClass()
{
    static const ScriptClassInfo info{QStringLiteral("TCollectionItem"), &PersistentClass()};
    return info;
}

void ScriptAssign(ScriptObject& dest, ScriptObject* source)
{
    // Fonts are the report core's plain values.
    auto* destFont = dynamic_cast<ScriptFont*>(&dest);
    auto* sourceFont = dynamic_cast<ScriptFont*>(source);
    if (destFont != nullptr && sourceFont != nullptr) {
        destFont->Assign(*sourceFont);
        return;
    }
    auto* persistent = dynamic_cast<ScriptPersistent*>(&dest);
    if (source != nullptr && persistent != nullptr && persistent->AssignFrom(*source))
        return;
    const QString from = source != nullptr ? source->ScriptClass().Name : QStringLiteral("nil");
    throw EConvertError(ScErrorText(TscMessage::SCannotAssign, {from, dest.ScriptClass().Name}));
}

// --- Components -----------------------------------------------------------------------------

const ScriptClassInfo& ScriptComponent::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TComponent"), &ScriptPlainObject::PersistentClass()};
    return info;
}

ScriptComponent::~ScriptComponent()
{
    // Events first: nothing of this object may run a script from here on.
    FEvents.Clear();
    // Owned components go newest first; one may own (and destroy) others.
    while (!FOwned.empty()) {
        const uint32_t handle = FOwned.back();
        FOwned.pop_back();
        if (ScriptObject* owned = ObjectHandles::Find(handle)) {
            static_cast<ScriptComponent*>(owned)->FOwner = 0;
            ScDestroyNativeObject(owned);
        }
    }
    SetOwner(nullptr);
}

ScriptComponent* ScriptComponent::Owner() const
{
    return static_cast<ScriptComponent*>(ObjectHandles::Find(FOwner));
}

void ScriptComponent::SetOwner(ScriptComponent* owner)
{
    if (owner == Owner())
        return;
    if (owner != nullptr) {
        // An owner may not be owned by this component, directly or not: the chain would never end.
        for (ScriptComponent* o = owner; o != nullptr; o = o->Owner()) {
            if (o == this)
                throw EInvalidOperation(ScErrorText(TscMessage::SComponentOwnsItself));
        }
    }
    const uint32_t self = Handle();
    if (ScriptComponent* old = Owner()) {
        std::vector<uint32_t>& list = old->FOwned;
        list.erase(std::remove(list.begin(), list.end(), self), list.end());
    }
    FOwner = 0;
    if (owner == nullptr)
        return;
    FOwner = owner->Handle();
    owner->FOwned.push_back(self);
}

std::vector<ScriptComponent*> ScriptComponent::Components() const
{
    std::vector<ScriptComponent*> live;
    for (uint32_t handle : FOwned) {
        if (ScriptObject* owned = ObjectHandles::Find(handle))
            live.push_back(static_cast<ScriptComponent*>(owned));
    }
    return live;
}

void ScriptComponent::RegisterClass()
{
    PropertyRegistry& registry = PropertyRegistry::Global();
    if (registry.Contains(Class()))
        return;
    RegisteredClass& c = registry.Register(Class(), [] { return std::make_unique<ScriptComponent>(); });
    c.AddString(
        QStringLiteral("Name"), GetterOf<ScriptComponent>([](const ScriptComponent& o) { return Variant(o.Name()); }),
        SetterOf<ScriptComponent>([](ScriptComponent& o, const Variant& v) { o.SetName(v.ToString()); }),
        QStringLiteral("TComponentName"));
    c.AddInteger(QStringLiteral("Tag"),
                 GetterOf<ScriptComponent>([](const ScriptComponent& o) { return Variant(o.Tag()); }),
                 SetterOf<ScriptComponent>([](ScriptComponent& o, const Variant& v) { o.SetTag(v.ToInt32()); }));
}

// --- TList ----------------------------------------------------------------------------------

const ScriptClassInfo& ScriptList::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TList"), &ScriptPlainObject::ObjectClass()};
    return info;
}

void ScriptList::CheckIndex(int index, int count) const
{
    if (index < 0 || index >= count)
        throw EListError(ScErrorText(TscMessage::SListIndexError, {QString::number(index)}));
}

uint32_t ScriptList::Item(int index) const
{
    CheckIndex(index, Count());
    return FItems[static_cast<size_t>(index)];
}

void ScriptList::SetItem(int index, uint32_t item)
{
    CheckIndex(index, Count());
    FItems[static_cast<size_t>(index)] = item;
}

void ScriptList::CountMemory(ScriptMemoryCounter& counter) const
{
    counter.AddBytes(kScriptObjectBytes + static_cast<int64_t>(FItems.capacity() * sizeof(uint32_t)));
}

void ScriptComponent::CountMemory(ScriptMemoryCounter& counter) const
{
    counter.AddBytes(kScriptComponentBytes);
    counter.AddText(FName);
}

int ScriptList::Add(uint32_t item)
{
    Insert(Count(), item);
    return Count() - 1;
}

void ScriptList::Insert(int index, uint32_t item)
{
    CheckIndex(index, Count() + 1);
    if (Count() >= kMaxCount)
        throw EListError(ScErrorText(TscMessage::SListCapacityError, {QString::number(kMaxCount)}));
    FItems.insert(FItems.begin() + index, item);
}

void ScriptList::Delete(int index)
{
    CheckIndex(index, Count());
    FItems.erase(FItems.begin() + index);
}

int ScriptList::IndexOf(uint32_t item) const
{
    const auto found = std::find(FItems.begin(), FItems.end(), item);
    return found == FItems.end() ? -1 : static_cast<int>(found - FItems.begin());
}

int ScriptList::Remove(uint32_t item)
{
    const int index = IndexOf(item);
    if (index >= 0)
        FItems.erase(FItems.begin() + index);
    return index;
}

// --- TCollection ----------------------------------------------------------------------------

const ScriptClassInfo& ScriptCollection::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TCollection"), &ScriptPlainObject::PersistentClass()};
    return info;
}
