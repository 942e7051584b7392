#pragma once

// The base classes of the class library as native objects scripts can create and use:
// objects, persistent objects, components with owners, lists of object references and
// collections. The classes with more to them (string lists, streams, ini files, dialogs,
// graphics, controls) derive from these.

#include "sc_ievents.h"

#include "report/core/ObjectHandles.h"

#include <QString>

#include <cstdint>
#include <vector>

// TObject, TPersistent, TCollectionItem created as such: nothing but their class.
class ScriptPlainObject : public ScriptObject {
public:
    explicit ScriptPlainObject(const ScriptClassInfo& cls) : FClass(cls) {}
    const ScriptClassInfo& ScriptClass() const override { return FClass; }

    static const ScriptClassInfo& ObjectClass();         // TObject
    static const ScriptClassInfo& PersistentClass();     // TPersistent
    static const ScriptClassInfo& CollectionItemClass(); // TCollectionItem

private:
    const ScriptClassInfo& FClass;
};

// A native object that can copy another one (TPersistent.Assign). Assigning what it cannot
// take raises EConvertError "Cannot assign a TSource to a TTarget", as the class library does.
class ScriptPersistent {
public:
    virtual ~ScriptPersistent() = default;
    // Copies from source; false when it cannot take that class.
    virtual bool AssignFrom(ScriptObject& source) = 0;
};

// Assign of the run-time library: dest copies source; nil source and classes that do not fit
// raise the library's conversion error.
void ScriptAssign(ScriptObject& dest, ScriptObject* source);

// What a component takes in memory beyond its name, as scripts' memory counts it (controls
// count more: they are windows).
inline constexpr int64_t kScriptComponentBytes = 1024;

// TComponent: a name, a tag, an owner that destroys it, and events. The components a
// component owns go with it; a component destroyed first leaves its owner's list.
class ScriptComponent : public ScriptObject, public TscEventSource {
public:
    ScriptComponent() = default;
    ~ScriptComponent() override;

    static const ScriptClassInfo& Class(); // TComponent
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    ScriptComponent* Owner() const;
    // Makes owner (nullptr: none) responsible for destroying this component.
    void SetOwner(ScriptComponent* owner);
    // The components this one owns, in the order they were given to it (live ones only).
    std::vector<ScriptComponent*> Components() const;

    const QString& Name() const { return FName; }
    virtual void SetName(const QString& name) { FName = name; }
    int32_t Tag() const { return FTag; }
    void SetTag(int32_t tag) { FTag = tag; }

    TscEventSlots& ScriptEvents() override { return FEvents; }
    void CountMemory(ScriptMemoryCounter& counter) const override;

    // Registers TComponent (Name, Tag) in the property registry; idempotent.
    static void RegisterClass();

private:
    // A subclass that is also a QObject is busy while it delivers events: its owned components
    // are then freed when the delivery returns (see TscScript::FreeObject).
    QString FName;
    int32_t FTag = 0;
    uint32_t FOwner = 0;            // handle of the owner, 0 for none
    std::vector<uint32_t> FOwned;   // handles of owned components
    TscEventSlots FEvents;
};

// TList: a list of object references (handles; nil included). Indexes outside the list raise
// EListError "List index (N) out of bounds".
class ScriptList : public ScriptObject {
public:
    static const ScriptClassInfo& Class(); // TList
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    int Count() const { return static_cast<int>(FItems.size()); }
    uint32_t Item(int index) const;
    void SetItem(int index, uint32_t item);
    int Add(uint32_t item);
    void Insert(int index, uint32_t item);
    void Delete(int index);
    int IndexOf(uint32_t item) const;
    // Removes the first occurrence; its former index, or -1.
    int Remove(uint32_t item);
    void Clear() { FItems.clear(); }
    void CountMemory(ScriptMemoryCounter& counter) const override;

    // Items a list may hold (more raise EListError "List capacity (N) exceeded").
    static constexpr int kMaxCount = 16 * 1024 * 1024;

private:
    void CheckIndex(int index, int count) const;
    std::vector<uint32_t> FItems;
};

// TCollection: items owned by the collection. The report model's collections derive from it;
// scripts read Count and Items and can Clear.
class ScriptCollection : public ScriptObject {
public:
    static const ScriptClassInfo& Class(); // TCollection
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    virtual int Count() const = 0;
    // The item at index (checked by the caller against Count).
    virtual ScriptObject* Item(int index) = 0;
    virtual void Clear() = 0;
};
