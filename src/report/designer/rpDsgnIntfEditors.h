#pragma once

// The designer's property and component editors. A property editor turns one published
// property of one or several selected objects into a text value, an optional list of choices,
// an optional dialog and optional owner drawing; the object inspector shows one row per
// editor. A component editor adds a default action and context-menu entries to one object.
// The registries that name the editors live in the model (rpDsgnIntf.h) and know editors only
// by class name; CreatePropertyEditor and CreateComponentEditor turn those names into objects
// through the factory table DesignerRuntime fills.

#include "report/core/PropertyRegistry.h"

#include <QColor>
#include <QMenu>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QAction;

class QPainter;
class TrpComponent;
class TrpCustomDesigner;
struct FormatSettings;

enum TrpPropertyAttribute : uint32_t {
    paValueList = 1u << 0,
    paSortList = 1u << 1,
    paDialog = 1u << 2,
    paMultiSelect = 1u << 3,
    paSubProperties = 1u << 4,
    paReadOnly = 1u << 5,
    paOwnerDraw = 1u << 6,
};
using TrpPropertyAttributes = uint32_t;

class TrpPropertyEditor {
public:
    explicit TrpPropertyEditor(TrpCustomDesigner* designer);
    virtual ~TrpPropertyEditor();
    TrpPropertyEditor(const TrpPropertyEditor&) = delete;
    TrpPropertyEditor& operator=(const TrpPropertyEditor&) = delete;

    // The registered class name of the editor ("TrpIntegerProperty").
    virtual QString ClassName() const { return QStringLiteral("TrpPropertyEditor"); }

    // The default action (a double-click or the ellipsis): the base steps to the next choice
    // of the value list, wrapping past the end; false when there are no choices.
    virtual bool Edit();
    virtual TrpPropertyAttributes GetAttributes() const { return paMultiSelect; }
    virtual QString GetName() const;
    // Extra width an owner-drawn drop-down list needs.
    virtual int GetExtraLBSize() const { return ItemHeight() + 2; }
    virtual QString GetValue() const { return QStringLiteral("(Unknown)"); }
    // Clears Values (sorted when the attributes ask for it); subclasses add their choices.
    virtual void GetValues();
    // Raises platform::Exception with the text of "prInvProp" (or a conversion error) for a
    // text the property does not take; nothing is written then.
    virtual void SetValue(const QString& value);
    virtual void OnDrawLBItem(QPainter& painter, int index, const QRect& rect, bool selected);
    virtual void OnDrawItem(QPainter& painter, const QRect& rect);

    TrpCustomDesigner* Designer() const { return designer_; }
    // The first edited object, and it as a report component (none for other objects).
    ScriptObject* Component() const { return compList_.empty() ? nullptr : compList_.front(); }
    TrpComponent* rpComponent() const;
    const PropertyInfo* PropInfo() const { return propList_.empty() ? nullptr : propList_.front(); }
    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int height) { itemHeight_ = height; }
    const QStringList& Values() const { return values_; }
    QString Value() const { return GetValue(); }
    void SetValueText(const QString& value) { SetValue(value); }

    // One more edited object with its property (parallel lists).
    void AddEdited(ScriptObject* object, const PropertyInfo* property);
    int EditedCount() const { return static_cast<int>(compList_.size()); }
    ScriptObject* Edited(int index) const { return compList_[static_cast<size_t>(index)]; }
    const PropertyInfo* EditedProperty(int index) const { return propList_[static_cast<size_t>(index)]; }

    // The number formats the editors read and write numbers and dates with (the designer's).
    static const FormatSettings& Formats();

protected:
    int32_t ReadOrdinal() const;
    double ReadFloat() const;
    QString ReadText() const;
    // Writes into every edited object whose property has a setter; the others are skipped.
    void WriteOrdinal(int32_t value);
    void WriteFloat(double value);
    void WriteText(const QString& value);
    void AddValue(const QString& value) { values_.append(value); }
    [[noreturn]] static void RaiseInvalidValue();
    // A number typed for the property: text that is no number, or a number outside
    // [low, high], is refused in the designer's words naming the property.
    double TypedNumber(const QString& text, double low, double high) const;
    int32_t TypedInteger(const QString& text) const;
    QStringList& MutableValues() { return values_; }

private:
    TrpCustomDesigner* designer_;
    std::vector<ScriptObject*> compList_;
    std::vector<const PropertyInfo*> propList_;
    int itemHeight_ = 0;
    QStringList values_;
};

class TrpIntegerProperty : public TrpPropertyEditor {
public:
    using TrpPropertyEditor::TrpPropertyEditor;
    QString ClassName() const override { return QStringLiteral("TrpIntegerProperty"); }
    QString GetValue() const override;
    void SetValue(const QString& value) override;
};

class TrpFloatProperty : public TrpPropertyEditor {
public:
    using TrpPropertyEditor::TrpPropertyEditor;
    QString ClassName() const override { return QStringLiteral("TrpFloatProperty"); }
    QString GetValue() const override;
    void SetValue(const QString& value) override;
};

class TrpCharProperty : public TrpPropertyEditor {
public:
    using TrpPropertyEditor::TrpPropertyEditor;
    QString ClassName() const override { return QStringLiteral("TrpCharProperty"); }
    QString GetValue() const override;
    void SetValue(const QString& value) override;
};

class TrpStringProperty : public TrpPropertyEditor {
public:
    using TrpPropertyEditor::TrpPropertyEditor;
    QString ClassName() const override { return QStringLiteral("TrpStringProperty"); }
    QString GetValue() const override { return ReadText(); }
    void SetValue(const QString& value) override { WriteText(value); }
};

class TrpEnumProperty : public TrpPropertyEditor {
public:
    using TrpPropertyEditor::TrpPropertyEditor;
    QString ClassName() const override { return QStringLiteral("TrpEnumProperty"); }
    TrpPropertyAttributes GetAttributes() const override { return paValueList | paSortList | paMultiSelect; }
    QString GetValue() const override;
    void GetValues() override;
    void SetValue(const QString& value) override;
};

// A Boolean property; the inspector toggles it with one click.
class TrpBooleanProperty : public TrpEnumProperty {
public:
    using TrpEnumProperty::TrpEnumProperty;
    QString ClassName() const override { return QStringLiteral("TrpBooleanProperty"); }
};

class TrpSetProperty : public TrpPropertyEditor {
public:
    using TrpPropertyEditor::TrpPropertyEditor;
    QString ClassName() const override { return QStringLiteral("TrpSetProperty"); }
    TrpPropertyAttributes GetAttributes() const override { return paMultiSelect | paSubProperties | paReadOnly; }
    QString GetValue() const override;
};

class TrpSetElementProperty : public TrpPropertyEditor {
public:
    using TrpPropertyEditor::TrpPropertyEditor;
    QString ClassName() const override { return QStringLiteral("TrpSetElementProperty"); }
    TrpPropertyAttributes GetAttributes() const override { return paValueList | paSortList | paMultiSelect; }
    QString GetName() const override;
    QString GetValue() const override;
    void GetValues() override;
    void SetValue(const QString& value) override;
    int Element() const { return element_; }
    void SetElement(int element) { element_ = element; }

private:
    int element_ = 0;
};

class TrpClassProperty : public TrpPropertyEditor {
public:
    using TrpPropertyEditor::TrpPropertyEditor;
    QString ClassName() const override { return QStringLiteral("TrpClassProperty"); }
    TrpPropertyAttributes GetAttributes() const override { return paMultiSelect | paSubProperties | paReadOnly; }
    QString GetValue() const override;
};

class TrpComponentProperty : public TrpPropertyEditor {
public:
    using TrpPropertyEditor::TrpPropertyEditor;
    QString ClassName() const override { return QStringLiteral("TrpComponentProperty"); }
    TrpPropertyAttributes GetAttributes() const override { return paValueList | paSortList | paMultiSelect; }
    QString GetValue() const override;
    void GetValues() override;
    void SetValue(const QString& value) override;
};

class TrpNameProperty : public TrpStringProperty {
public:
    using TrpStringProperty::TrpStringProperty;
    QString ClassName() const override { return QStringLiteral("TrpNameProperty"); }
    TrpPropertyAttributes GetAttributes() const override { return 0; }
};

class TrpColorProperty : public TrpIntegerProperty {
public:
    using TrpIntegerProperty::TrpIntegerProperty;
    QString ClassName() const override { return QStringLiteral("TrpColorProperty"); }
    TrpPropertyAttributes GetAttributes() const override { return paValueList | paMultiSelect | paOwnerDraw; }
    bool Edit() override;
    QString GetValue() const override;
    void GetValues() override;
    void SetValue(const QString& value) override;
    void OnDrawLBItem(QPainter& painter, int index, const QRect& rect, bool selected) override;
    void OnDrawItem(QPainter& painter, const QRect& rect) override;
};

class TrpFontProperty : public TrpClassProperty {
public:
    using TrpClassProperty::TrpClassProperty;
    QString ClassName() const override { return QStringLiteral("TrpFontProperty"); }
    TrpPropertyAttributes GetAttributes() const override
    {
        return paDialog | paMultiSelect | paSubProperties | paReadOnly;
    }
    bool Edit() override;
};

class TrpFontNameProperty : public TrpStringProperty {
public:
    using TrpStringProperty::TrpStringProperty;
    QString ClassName() const override { return QStringLiteral("TrpFontNameProperty"); }
    TrpPropertyAttributes GetAttributes() const override { return paValueList | paSortList | paMultiSelect; }
    void GetValues() override;
};

class TrpFontCharsetProperty : public TrpIntegerProperty {
public:
    using TrpIntegerProperty::TrpIntegerProperty;
    QString ClassName() const override { return QStringLiteral("TrpFontCharsetProperty"); }
    TrpPropertyAttributes GetAttributes() const override { return paValueList | paSortList | paMultiSelect; }
    QString GetValue() const override;
    void GetValues() override;
    void SetValue(const QString& value) override;
};

class TrpModalResultProperty : public TrpIntegerProperty {
public:
    using TrpIntegerProperty::TrpIntegerProperty;
    QString ClassName() const override { return QStringLiteral("TrpModalResultProperty"); }
    TrpPropertyAttributes GetAttributes() const override { return paValueList | paMultiSelect; }
    QString GetValue() const override;
    void GetValues() override;
    void SetValue(const QString& value) override;
};

class TrpShortCutProperty : public TrpPropertyEditor {
public:
    using TrpPropertyEditor::TrpPropertyEditor;
    QString ClassName() const override { return QStringLiteral("TrpShortCutProperty"); }
    TrpPropertyAttributes GetAttributes() const override { return paValueList | paMultiSelect; }
    QString GetValue() const override;
    void GetValues() override;
    void SetValue(const QString& value) override;
};

class TrpCursorProperty : public TrpIntegerProperty {
public:
    using TrpIntegerProperty::TrpIntegerProperty;
    QString ClassName() const override { return QStringLiteral("TrpCursorProperty"); }
    TrpPropertyAttributes GetAttributes() const override { return paValueList | paSortList | paMultiSelect; }
    QString GetValue() const override;
    void GetValues() override;
    void SetValue(const QString& value) override;
};

class TrpDateTimeProperty : public TrpPropertyEditor {
public:
    using TrpPropertyEditor::TrpPropertyEditor;
    QString ClassName() const override { return QStringLiteral("TrpDateTimeProperty"); }
    QString GetValue() const override;
    void SetValue(const QString& value) override;
};

class TrpDateProperty : public TrpPropertyEditor {
public:
    using TrpPropertyEditor::TrpPropertyEditor;
    QString ClassName() const override { return QStringLiteral("TrpDateProperty"); }
    QString GetValue() const override;
    void SetValue(const QString& value) override;
};

class TrpTimeProperty : public TrpPropertyEditor {
public:
    using TrpPropertyEditor::TrpPropertyEditor;
    QString ClassName() const override { return QStringLiteral("TrpTimeProperty"); }
    QString GetValue() const override;
    void SetValue(const QString& value) override;
};

class TrpPropertyList;

class TrpPropertyItem {
public:
    TrpPropertyItem() = default;
    ~TrpPropertyItem();
    TrpPropertyItem(const TrpPropertyItem&) = delete;
    TrpPropertyItem& operator=(const TrpPropertyItem&) = delete;

    TrpPropertyEditor* Editor() const { return editor_.get(); }
    bool Expanded() const { return expanded_; }
    void SetExpanded(bool expanded) { expanded_ = expanded; }
    TrpPropertyList* SubProperty() const { return subProperty_.get(); }

private:
    friend class TrpPropertyList;
    friend std::unique_ptr<TrpPropertyList> BuildCommonPropertyList(const std::vector<ScriptObject*>&,
                                                                   TrpCustomDesigner*);
    std::unique_ptr<TrpPropertyEditor> editor_;
    bool expanded_ = false;
    std::unique_ptr<TrpPropertyList> subProperty_;
};

class TrpPropertyList {
public:
    explicit TrpPropertyList(TrpCustomDesigner* designer, TrpPropertyList* parent = nullptr);
    ~TrpPropertyList();
    TrpPropertyList(const TrpPropertyList&) = delete;
    TrpPropertyList& operator=(const TrpPropertyList&) = delete;

    ScriptObject* Component() const { return component_; }
    // Stores the object, clears the list and collects the object's properties.
    void SetComponent(ScriptObject* component);
    TrpCustomDesigner* Designer() const { return designer_; }
    TrpPropertyList* Parent() const { return parent_; }
    // How many lists lie above this one.
    int Depth() const;

    int Count() const { return static_cast<int>(items_.size()); }
    TrpPropertyItem& Items(int index) const { return *items_[static_cast<size_t>(index)]; }
    TrpPropertyItem& Add();
    void Delete(int index);
    // Takes an item out, keeping its editor and sub-list.
    std::unique_ptr<TrpPropertyItem> Take(int index);
    void Insert(std::unique_ptr<TrpPropertyItem> item);
    void Clear() { items_.clear(); }
    // The item whose editor has that property name, or none.
    TrpPropertyItem* Find(QStringView name) const;

private:
    friend std::unique_ptr<TrpPropertyList> BuildCommonPropertyList(const std::vector<ScriptObject*>&,
                                                                   TrpCustomDesigner*);
    void CollectProperties(ScriptObject* object);

    ScriptObject* component_ = nullptr;
    TrpCustomDesigner* designer_;
    TrpPropertyList* parent_;
    std::vector<std::unique_ptr<TrpPropertyItem>> items_;
};

// The list the inspector shows for a selection: the properties common to all objects (by kind
// and name, multi-select ones only when several are selected), each editor editing them all;
// none for no objects.
std::unique_ptr<TrpPropertyList> BuildCommonPropertyList(const std::vector<ScriptObject*>& objects,
                                                        TrpCustomDesigner* designer);

// Hides the named properties (separated by ";") of the class and its descendants.
void RegisterHiddenProperties(const ScriptClassInfo* classRef, const QString& names);

// A float as a user types it: "," and "." alike.
double TolerantStrToFloat(const QString& text);

class TrpComponentEditor {
public:
    TrpComponentEditor(TrpComponent* component, TrpCustomDesigner* designer, QMenu* menu);
    virtual ~TrpComponentEditor() = default;
    TrpComponentEditor(const TrpComponentEditor&) = delete;
    TrpComponentEditor& operator=(const TrpComponentEditor&) = delete;

    virtual QString ClassName() const { return QStringLiteral("TrpComponentEditor"); }
    // The default action; true when the object changed.
    virtual bool Edit() { return false; }
    virtual bool HasEditor() const { return false; }
    virtual void GetMenuItems() {}
    // One of the editor's menu items was chosen; true when the object changed.
    virtual bool Execute(int tag, bool checked);

    TrpComponent* Component() const { return component_; }
    TrpCustomDesigner* Designer() const { return designer_; }
    QMenu* Menu() const { return menu_; }
    // A checkable action carrying the tag as its data, appended to the menu.
    QAction* AppendMenuItem(const QString& caption, int tag, bool checked);

private:
    TrpComponent* component_;
    TrpCustomDesigner* designer_;
    QPointer<QMenu> menu_;
};

// Factories of the editor classes by name.
using PropertyEditorFactory = std::function<std::unique_ptr<TrpPropertyEditor>(TrpCustomDesigner*)>;
using ComponentEditorFactory =
    std::function<std::unique_ptr<TrpComponentEditor>(TrpComponent*, TrpCustomDesigner*, QMenu*)>;

void RegisterPropertyEditorClass(const QString& name, PropertyEditorFactory factory);
void RegisterComponentEditorClass(const QString& name, ComponentEditorFactory factory);
void ClearEditorClasses();
// A new editor of a registered class name; none for an unknown name.
std::unique_ptr<TrpPropertyEditor> CreatePropertyEditor(QStringView className, TrpCustomDesigner* designer);

// The component editor of an object: the first registry entry of exactly its class, else the
// last entry of an ancestor; none when no entry fits or its editor class is unknown.
std::unique_ptr<TrpComponentEditor> GetComponentEditor(TrpComponent* component, TrpCustomDesigner* designer,
                                                       QMenu* menu);
