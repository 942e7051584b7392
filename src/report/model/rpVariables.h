#pragma once

// Report variables: a flat list of named values grouped into categories. An entry whose name
// begins with a blank is a category heading; the variables after it, up to the next heading,
// belong to it. Names compare ignoring case; the first match in list order wins.
//
// A variables file is a report XML document with the root "variables" and one "item" child
// per entry (its Name and Value attributes).

#include "rpUtils.h"

#include "report/core/ObjectHandles.h"
#include "report/core/Variant.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class PropertyRegistry;
class QIODevice;
class TrpXMLItem;

class TrpVariable : public ScriptObject {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    TrpVariable() = default;
    TrpVariable(const TrpVariable&) = delete;
    TrpVariable& operator=(const TrpVariable&) = delete;

    QString Name;
    Variant Value = Variant::NullValue();

    void Assign(const TrpVariable& source);

    static void RegisterClass(PropertyRegistry& registry);
};

// Entries in list order, each owned by the list. Scripts reach the lists by handle.
class TrpVariableList : public TrpCollection, public ScriptObject {
public:
    int Count() const override { return static_cast<int>(items_.size()); }
    ScriptObject* CollectionItem(int index) override { return items_.at(static_cast<size_t>(index)).get(); }
    void ClearItems() override { items_.clear(); }
    ScriptObject* AddItem() override { return Add(); }

    TrpVariable* Items(int index) const { return items_.at(static_cast<size_t>(index)).get(); }
    // A new variable (empty name, Null value) at the end or at `index`.
    TrpVariable* Add();
    TrpVariable* Insert(int index);
    void Delete(int index);
    void Clear() { items_.clear(); }
    void Assign(const TrpVariableList& source);

protected:
    std::vector<std::unique_ptr<TrpVariable>> items_;
};

class TrpVariables : public TrpVariableList {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    // The first entry named `name` ignoring case (a category only with its blank), or -1.
    int IndexOf(const QString& name) const;
    // The named entry's value, Null when there is none.
    Variant GetValue(const QString& name) const;
    // Sets the named entry's value, or appends a variable outside any category.
    void SetValue(const QString& name, const Variant& value);

    // The category names without their blank, cut to 255 characters, in list order.
    void GetCategoriesList(QStringList& list, bool clearList = true) const;
    // The variables of a category (an empty name: those before the first category).
    void GetVariablesList(const QString& category, QStringList& list) const;
    // The category with its variables; nothing when it does not exist.
    void DeleteCategory(const QString& name);
    void DeleteVariable(const QString& name);
    // Into an existing category: sets the value of a variable that exists anywhere, else puts
    // a new variable at the end of the category's run. Nothing for a missing category.
    void AddVariable(const QString& category, const QString& name, const Variant& value);

    // Reading accepts any letter case of "variables" and "item"; other elements are ignored,
    // and a document with another root leaves the list empty.
    void LoadFromFile(const QString& fileName);
    void LoadFromStream(QIODevice& stream);
    void LoadFromXMLItem(TrpXMLItem& item, bool oldXMLFormat);
    // Files are written atomically, indented.
    void SaveToFile(const QString& fileName) const;
    void SaveToStream(QIODevice& stream) const;
    void SaveToXMLItem(TrpXMLItem& item) const;
};

// The same items keyed by the text of a value (scripts).
class TrpArray : public TrpVariableList {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    int IndexOf(const Variant& key) const;
    Variant GetValue(const Variant& key) const;
    void SetValue(const Variant& key, const Variant& value);
};

// The process-wide variables (such as "CopyName"), created with the model.
TrpVariables& GlobalVariables();
