#include "rpDsgnIntf.h"

#include "rpFont.h"

#include "platform/Exceptions.h"
#include "report/core/PropertyRegistry.h"
#include "report/script/sc_iconsts.h"
#include "rpRes.h"

#include <algorithm>
#include <string>

namespace {

[[noreturn]] void RaiseIndex(int index)
{
    throw platform::Exception(FormatScMessage(TscMessage::SListIndexError, QString::number(index)).toStdString());
}

template <class T>
const T& At(const std::vector<T>& items, int index)
{
    if (index < 0 || index >= static_cast<int>(items.size()))
        RaiseIndex(index);
    return items[static_cast<size_t>(index)];
}

// Classes tested by name: they come with the report documents and are not known here.
bool InheritsFromName(const ScriptClassInfo& info, QStringView name)
{
    for (const ScriptClassInfo* c = &info; c != nullptr; c = c->Ancestor) {
        if (c->Name.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

// --- objects

void TrpObjectCollection::RegisterObject1(const ScriptClassInfo* classRef, const QImage& buttonBmp,
                                          const QString& buttonHint, const QString& categoryName, uint16_t flags,
                                          int32_t imageIndex, TrpObjectCategories category)
{
    if (classRef != nullptr) {
        for (const TrpObjectItem& item : items_) {
            if (item.ClassRef == classRef && item.Flags == flags)
                return;
        }
        if (PropertyRegistry::Global().FindCreatable(classRef->Name) == nullptr)
            throw platform::Exception(ResourceText(u"dsClassNotRegistered", {Variant(classRef->Name)}).toStdString());
    }
    TrpObjectItem item;
    item.ClassRef = classRef;
    item.ButtonBmp = buttonBmp;
    item.ButtonImageIndex = imageIndex;
    item.ButtonHint = buttonHint;
    item.CategoryName = categoryName;
    item.Flags = flags;
    item.Category = category;
    if (classRef != nullptr && category == 0) {
        if (InheritsFromName(*classRef, u"TrpDataSet") || InheritsFromName(*classRef, u"TrpCustomDatabase"))
            item.Category = uint32_t{1} << ctData;
        else if (InheritsFromName(*classRef, u"TrpDialogControl") || InheritsFromName(*classRef, u"TrpDialogComponent"))
            item.Category = uint32_t{1} << ctDialog;
        else
            item.Category = uint32_t{1} << ctReport;
    }
    items_.push_back(std::move(item));
}

void TrpObjectCollection::RegisterObject(const ScriptClassInfo* classRef, const QImage& buttonBmp,
                                         const QString& categoryName)
{
    RegisterObject1(classRef, buttonBmp, QString(), categoryName, 0, -1, 0);
}

void TrpObjectCollection::RegisterCategory(const QString& categoryName, const QImage& buttonBmp,
                                           const QString& buttonHint, int32_t imageIndex)
{
    RegisterObject1(nullptr, buttonBmp, buttonHint, categoryName, 0, imageIndex, 0);
}

void TrpObjectCollection::Unregister(const ScriptClassInfo* classRef)
{
    std::erase_if(items_, [classRef](const TrpObjectItem& item) { return item.ClassRef == classRef; });
}

const TrpObjectItem& TrpObjectCollection::Items(int index) const
{
    return At(items_, index);
}

const TrpObjectItem* TrpObjectCollection::FindClass(const ScriptClassInfo* classRef) const
{
    for (const TrpObjectItem& item : items_) {
        if (item.ClassRef == classRef)
            return &item;
    }
    return nullptr;
}

// --- component editors

void TrpComponentEditorCollection::Register(const ScriptClassInfo* componentClass, const QString& componentEditor)
{
    items_.push_back(TrpComponentEditorItem{componentClass, componentEditor});
}

void TrpComponentEditorCollection::UnRegister(QStringView componentEditor)
{
    std::erase_if(items_, [componentEditor](const TrpComponentEditorItem& item) {
        return item.ComponentEditor.compare(componentEditor, Qt::CaseInsensitive) == 0;
    });
}

const TrpComponentEditorItem& TrpComponentEditorCollection::Items(int index) const
{
    return At(items_, index);
}

// --- property editors

void TrpPropertyEditorCollection::Register(const QString& propertyType, const ScriptClassInfo* componentClass,
                                           const QString& propertyName, const QString& editorClass)
{
    items_.push_back(TrpPropertyEditorItem{propertyType, componentClass, propertyName, editorClass});
}

void TrpPropertyEditorCollection::RegisterEventEditor(const QString& editorClass)
{
    items_.push_back(TrpPropertyEditorItem{QString(), nullptr, QString(), editorClass});
    eventEditorItem_ = static_cast<int>(items_.size()) - 1;
}

void TrpPropertyEditorCollection::UnRegister(QStringView editorClass)
{
    // The event editor's index follows the entries it stands among, so that a removal before
    // it does not leave it pointing at another editor.
    std::vector<TrpPropertyEditorItem> kept;
    int eventEditor = -1;
    for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
        TrpPropertyEditorItem& item = items_[static_cast<size_t>(i)];
        if (item.EditorClass.compare(editorClass, Qt::CaseInsensitive) == 0)
            continue;
        if (i == eventEditorItem_)
            eventEditor = static_cast<int>(kept.size());
        kept.push_back(std::move(item));
    }
    items_ = std::move(kept);
    eventEditorItem_ = eventEditor;
}

int TrpPropertyEditorCollection::GetPropertyEditor(QStringView propertyType, const ScriptClassInfo* component,
                                                   QStringView propertyName) const
{
    const QString type = propertyType.toString().toLower();
    if (type.startsWith(QLatin1String("trp")) && type.endsWith(QLatin1String("event")))
        return eventEditorItem_;
    int candidate = -1;
    for (int i = static_cast<int>(items_.size()) - 1; i >= 0; --i) {
        const TrpPropertyEditorItem& item = items_[static_cast<size_t>(i)];
        const bool sameType =
            !item.PropertyType.isEmpty() && item.PropertyType.compare(propertyType, Qt::CaseInsensitive) == 0;
        const bool sameName =
            !item.PropertyName.isEmpty() && item.PropertyName.compare(propertyName, Qt::CaseInsensitive) == 0;
        if (item.ComponentClass == nullptr) {
            if (sameType && item.PropertyName.isEmpty())
                candidate = i;
            else if (sameType && sameName)
                return i;
        } else if (component != nullptr && component->InheritsFrom(*item.ComponentClass) && sameName) {
            return i;
        }
    }
    return candidate;
}

const TrpPropertyEditorItem& TrpPropertyEditorCollection::Items(int index) const
{
    return At(items_, index);
}

void TrpPropertyEditorCollection::Clear()
{
    items_.clear();
    eventEditorItem_ = -1;
}

// --- export filters

void TrpExportFilterCollection::Prune() const
{
    std::erase_if(items_, [](const QPointer<QObject>& item) { return item.isNull(); });
}

void TrpExportFilterCollection::Register(QObject* filter)
{
    Prune();
    if (filter == nullptr)
        return;
    for (const QPointer<QObject>& item : items_) {
        if (item.data() == filter)
            return;
    }
    items_.emplace_back(filter);
}

void TrpExportFilterCollection::Unregister(QObject* filter)
{
    std::erase_if(items_, [filter](const QPointer<QObject>& item) { return item.isNull() || item.data() == filter; });
}

int TrpExportFilterCollection::Count() const
{
    Prune();
    return static_cast<int>(items_.size());
}

QObject* TrpExportFilterCollection::Items(int index) const
{
    Prune();
    return At(items_, index).data();
}

// --- wizards

int TrpWizardCollection::IndexOf(QStringView classRef) const
{
    for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
        if (items_[static_cast<size_t>(i)].ClassRef.compare(classRef, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void TrpWizardCollection::Register(const QString& classRef, const QImage& buttonBmp, bool isToolbarWizard)
{
    if (IndexOf(classRef) >= 0)
        return;
    items_.push_back(TrpWizardItem{classRef, buttonBmp, -1, isToolbarWizard});
}

void TrpWizardCollection::Register1(const QString& classRef, int32_t imageIndex)
{
    if (IndexOf(classRef) >= 0)
        return;
    items_.push_back(TrpWizardItem{classRef, QImage(), imageIndex, false});
}

void TrpWizardCollection::Unregister(QStringView classRef)
{
    std::erase_if(items_, [classRef](const TrpWizardItem& item) {
        return item.ClassRef.compare(classRef, Qt::CaseInsensitive) == 0;
    });
}

const TrpWizardItem& TrpWizardCollection::Items(int index) const
{
    return At(items_, index);
}

TrpWizardItem& TrpWizardCollection::Items(int index)
{
    return const_cast<TrpWizardItem&>(At(items_, index));
}

// --- the registries

TrpObjectCollection& GetObjectRegistry()
{
    static TrpObjectCollection* registry = new TrpObjectCollection; // outlives every static object
    return *registry;
}

TrpComponentEditorCollection& GetComponentEditorRegistry()
{
    static TrpComponentEditorCollection* registry = new TrpComponentEditorCollection;
    return *registry;
}

TrpPropertyEditorCollection& GetPropertyEditorRegistry()
{
    static TrpPropertyEditorCollection* registry = new TrpPropertyEditorCollection;
    return *registry;
}

TrpExportFilterCollection& GetExportFilterRegistry()
{
    static TrpExportFilterCollection* registry = new TrpExportFilterCollection;
    return *registry;
}

TrpWizardCollection& GetWizardRegistry()
{
    static TrpWizardCollection* registry = new TrpWizardCollection;
    return *registry;
}

void RegisterStartupPropertyEditors()
{
    TrpPropertyEditorCollection& editors = GetPropertyEditorRegistry();
    const ScriptClassInfo* font = &TrpFont::Class();
    editors.Register(QStringLiteral("TComponentName"), nullptr, QStringLiteral("Name"), QStringLiteral("TrpNameProperty"));
    editors.Register(QStringLiteral("TColor"), nullptr, QString(), QStringLiteral("TrpColorProperty"));
    editors.Register(QStringLiteral("TFont"), nullptr, QString(), QStringLiteral("TrpFontProperty"));
    editors.Register(QStringLiteral("String"), font, QStringLiteral("Name"), QStringLiteral("TrpFontNameProperty"));
    editors.Register(QStringLiteral("Integer"), font, QStringLiteral("Charset"), QStringLiteral("TrpFontCharsetProperty"));
    editors.Register(QStringLiteral("TModalResult"), nullptr, QString(), QStringLiteral("TrpModalResultProperty"));
    editors.Register(QStringLiteral("TShortCut"), nullptr, QString(), QStringLiteral("TrpShortCutProperty"));
    editors.Register(QStringLiteral("TCursor"), nullptr, QString(), QStringLiteral("TrpCursorProperty"));
    editors.Register(QStringLiteral("TDateTime"), nullptr, QString(), QStringLiteral("TrpDateTimeProperty"));
    editors.Register(QStringLiteral("TDate"), nullptr, QString(), QStringLiteral("TrpDateProperty"));
    editors.Register(QStringLiteral("TTime"), nullptr, QString(), QStringLiteral("TrpTimeProperty"));
}

void ClearDesignRegistries()
{
    GetObjectRegistry().Clear();
    GetComponentEditorRegistry().Clear();
    GetPropertyEditorRegistry().Clear();
    GetExportFilterRegistry().Clear();
    GetWizardRegistry().Clear();
}
