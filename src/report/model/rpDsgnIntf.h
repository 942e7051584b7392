#pragma once

#include "report/core/ObjectHandles.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <vector>

// The registries that tell the report subsystems which pluggable pieces exist: report object
// classes with their tool-bar categories, component and property editors, export filters
// and wizards. Each is process-wide, owned by the model runtime (ModelRuntime::shutdown
// empties them). Editor and wizard classes belong to the designer; the registries know them
// by class name. Object classes must be registered (creatable by name) in the property
// registry before they are entered here.

enum TrpObjectCategory : int { ctData, ctReport, ctDialog, ctDMP };
using TrpObjectCategories = uint32_t;

struct TrpObjectItem {
    const ScriptClassInfo* ClassRef = nullptr; // none for a category entry
    QImage ButtonBmp;                          // may be null
    int32_t ButtonImageIndex = -1;
    QString ButtonHint;
    QString CategoryName;
    uint16_t Flags = 0;                        // passed to DesignCreate of the class
    TrpObjectCategories Category = 0;
};

class TrpObjectCollection {
public:
    // Appends an entry, unless one of the same class and Flags exists (one class may stand
    // several times with different Flags). An empty category of a class is derived: ctData
    // for data sets and database connections, else ctDialog for dialog controls and
    // components, else ctReport. Raises platform::Exception for a class the property registry
    // cannot create by name.
    void RegisterObject1(const ScriptClassInfo* classRef, const QImage& buttonBmp, const QString& buttonHint,
                         const QString& categoryName, uint16_t flags, int32_t imageIndex,
                         TrpObjectCategories category);
    void RegisterObject(const ScriptClassInfo* classRef, const QImage& buttonBmp, const QString& categoryName);
    // An entry standing for a tool-bar category with its own button.
    void RegisterCategory(const QString& categoryName, const QImage& buttonBmp, const QString& buttonHint,
                          int32_t imageIndex);
    // Removes every entry of the class.
    void Unregister(const ScriptClassInfo* classRef);

    int Count() const { return static_cast<int>(items_.size()); }
    const TrpObjectItem& Items(int index) const;
    // The first entry of exactly that class, or none.
    const TrpObjectItem* FindClass(const ScriptClassInfo* classRef) const;
    void Clear() { items_.clear(); }

private:
    std::vector<TrpObjectItem> items_;
};

struct TrpComponentEditorItem {
    const ScriptClassInfo* ComponentClass = nullptr;
    QString ComponentEditor; // editor class name
};

class TrpComponentEditorCollection {
public:
    // Appends an entry (no duplicate check).
    void Register(const ScriptClassInfo* componentClass, const QString& componentEditor);
    // Removes every entry of the editor.
    void UnRegister(QStringView componentEditor);

    int Count() const { return static_cast<int>(items_.size()); }
    const TrpComponentEditorItem& Items(int index) const;
    void Clear() { items_.clear(); }

private:
    std::vector<TrpComponentEditorItem> items_;
};

struct TrpPropertyEditorItem {
    QString PropertyType;                      // the type name as the registry records it; empty: none
    const ScriptClassInfo* ComponentClass = nullptr;
    QString PropertyName;                      // empty: any
    QString EditorClass;                       // editor class name
};

class TrpPropertyEditorCollection {
public:
    void Register(const QString& propertyType, const ScriptClassInfo* componentClass, const QString& propertyName,
                  const QString& editorClass);
    // Appends an entry with only the editor and makes it the event editor.
    void RegisterEventEditor(const QString& editorClass);
    // Removes every entry of the editor.
    void UnRegister(QStringView editorClass);
    // The entry for a property, or -1: a type "Trp...Event" gets the event editor; otherwise
    // the entries from the newest: one for the component's class (or an ancestor) and the
    // property name answers at once whatever its type, one without class for the type and the
    // name answers at once, and of those without class and name for the type the oldest is
    // the answer when nothing else answered.
    int GetPropertyEditor(QStringView propertyType, const ScriptClassInfo* component, QStringView propertyName) const;

    int Count() const { return static_cast<int>(items_.size()); }
    const TrpPropertyEditorItem& Items(int index) const;
    int EventEditorItem() const { return eventEditorItem_; }
    void Clear();

private:
    std::vector<TrpPropertyEditorItem> items_;
    int eventEditorItem_ = -1;
};

class TrpExportFilterCollection {
public:
    // Appends the filter unless it is none or listed already.
    void Register(QObject* filter);
    void Unregister(QObject* filter);

    // Filters that exist, in order of registration (a destroyed filter is gone from the list).
    int Count() const;
    QObject* Items(int index) const;
    void Clear() { items_.clear(); }

private:
    void Prune() const;

    mutable std::vector<QPointer<QObject>> items_;
};

struct TrpWizardItem {
    QString ClassRef; // wizard class name
    QImage ButtonBmp;
    int32_t ButtonImageIndex = -1;
    bool IsToolbarWizard = false;
};

class TrpWizardCollection {
public:
    // Append unless the class is listed already.
    void Register(const QString& classRef, const QImage& buttonBmp, bool isToolbarWizard);
    void Register1(const QString& classRef, int32_t imageIndex);
    void Unregister(QStringView classRef);

    int Count() const { return static_cast<int>(items_.size()); }
    const TrpWizardItem& Items(int index) const;
    // For giving an entry with a picture its image index once the picture joins a list.
    TrpWizardItem& Items(int index);
    void Clear() { items_.clear(); }

private:
    int IndexOf(QStringView classRef) const;

    std::vector<TrpWizardItem> items_;
};

TrpObjectCollection& GetObjectRegistry();
TrpComponentEditorCollection& GetComponentEditorRegistry();
TrpPropertyEditorCollection& GetPropertyEditorRegistry();
TrpExportFilterCollection& GetExportFilterRegistry();
TrpWizardCollection& GetWizardRegistry();

// The property-editor entries the registry starts with (the editor classes of the designer).
void RegisterStartupPropertyEditors();
// Empties all five registries.
void ClearDesignRegistries();
