#include "rpXMLSerializer.h"

#include "rpClass.h"
#include "rpRes.h"
#include "rpStreams.h"
#include "rpTaggedValues.h"
#include "rpUtils.h"
#include "rpWideStrings.h"
#include "rpXML.h"

#include "platform/DateTime.h"
#include "report/core/Conversions.h"
#include "report/core/NumberText.h"
#include "report/core/PropertyCodec.h"
#include "report/core/PropertyRegistry.h"

#include <QBuffer>

#include <algorithm>
#include <cmath>

namespace {

// Attribute values in error messages are cut here, so a hostile value cannot make the
// message huge.
constexpr qsizetype kMaxValueInMessage = 64;

QString ShortValue(const QString& value)
{
    return value.size() <= kMaxValueInMessage ? value : value.left(kMaxValueInMessage) + QStringLiteral("...");
}

[[noreturn]] void RaiseInvalidValue(QStringView name, const QString& value)
{
    throw EComponentError((GetResourcesInstance().Get(u"prInvProp") + u' ' + name.toString() + QStringLiteral("=\"") +
                           ShortValue(value) + u'"')
                              .toStdString());
}

const RegisteredClass* ClassOf(const ScriptObject& object)
{
    return PropertyRegistry::Global().FindFor(object.ScriptClass());
}

// The property of `ancestor` that corresponds to `prop` (the same declaration), or none when
// the ancestor's class does not have it.
bool SharesProperty(const ScriptObject* ancestor, const PropertyInfo& prop)
{
    if (ancestor == nullptr)
        return false;
    const RegisteredClass* cls = ClassOf(*ancestor);
    return cls != nullptr && cls->Find(prop.Name) == &prop;
}

QString ObjectName(const ScriptObject& object)
{
    const auto* component = dynamic_cast<const TrpComponent*>(&object);
    return component != nullptr && !component->Name().isEmpty() ? component->Name() : object.ScriptClass().Name;
}

// Marks objects as being written for the time of one ObjToXML.
class WritingFlag {
public:
    explicit WritingFlag(const ScriptObject* object)
        : component_(const_cast<TrpComponent*>(dynamic_cast<const TrpComponent*>(object)))
    {
        if (component_ != nullptr) {
            previous_ = component_->IsWriting();
            component_->SetWriting(true);
        }
    }
    ~WritingFlag()
    {
        if (component_ != nullptr)
            component_->SetWriting(previous_);
    }
    WritingFlag(const WritingFlag&) = delete;
    WritingFlag& operator=(const WritingFlag&) = delete;

private:
    TrpComponent* component_;
    bool previous_ = false;
};

// The elements of a tree, the root included; the count stops just past the object limit.
qsizetype CountElements(const TrpXMLItem& root)
{
    qsizetype count = 0;
    std::vector<const TrpXMLItem*> pending{&root};
    while (!pending.empty() && count <= kMaxReportObjects) {
        const TrpXMLItem* item = pending.back();
        pending.pop_back();
        ++count;
        for (int i = 0; i < item->Count(); ++i)
            pending.push_back(item->Items(i));
    }
    return count;
}

// Text of old-format documents was read as Windows-1251; a memo text in them is UTF-8 bytes.
QString DecodeOldFormatText(const QString& text)
{
    return QString::fromUtf8(StringToAnsi(text));
}

} // namespace

ScriptObject* TrpFixupItem::Object() const
{
    return ObjectHandles::Find(Obj);
}

TrpXMLSerializer::TrpXMLSerializer(QIODevice* stream) : stream_(stream) {}

TrpXMLSerializer::~TrpXMLSerializer() = default;

void TrpXMLSerializer::AddError(const QString& message)
{
    const auto at = std::lower_bound(errors_.begin(), errors_.end(), message);
    if (at != errors_.end() && *at == message)
        return;
    if (errors_.size() >= kMaxSerializerErrors)
        return;
    errors_.insert(at, message);
}

// --- writing

QByteArray TrpXMLSerializer::DefinedPropertyBytes(const ScriptObject& obj) const
{
    QByteArray bytes;
    const RegisteredClass* cls = ClassOf(obj);
    if (cls == nullptr || !cls->HasDefinedProperties())
        return bytes;
    TrpValueWriter writer(bytes);
    cls->WriteDefinedProperties(obj, writer);
    return bytes;
}

propertycodec::ReferenceNames TrpXMLSerializer::ReferenceNames() const
{
    propertycodec::ReferenceNames names;
    // A reference is stored as the object's path from the owner, and two references are the
    // same when their objects have the same name (an ancestor's objects live in another tree).
    names.Stored = [owner = owner_](const ScriptObject& referenced) {
        const auto* component = dynamic_cast<const TrpComponent*>(&referenced);
        return component != nullptr ? GetComponentPath(owner, component) : QString();
    };
    names.Compared = [](const ScriptObject& referenced) {
        const auto* component = dynamic_cast<const TrpComponent*>(&referenced);
        return component != nullptr ? component->Name() : QString();
    };
    return names;
}

void TrpXMLSerializer::AppendAttribute(QString& text, const QString& add, const QString& name, const QString& value)
{
    text += u' ';
    text += add;
    text += name;
    text += QStringLiteral("=\"");
    text += EscapeXMLText(value);
    text += u'"';
}

void TrpXMLSerializer::WritePublishedProperties(QString& result, const ScriptObject& obj, const QString& add,
                                                const ScriptObject* ancestor)
{
    const RegisteredClass* cls = ClassOf(obj);
    if (cls == nullptr)
        return;
    const propertycodec::ReferenceNames names = ReferenceNames();
    for (const PropertyInfo* prop : cls->AllProperties()) {
        if (!prop->StoredCondition(obj))
            continue;
        const ScriptObject* sharedAncestor = SharesProperty(ancestor, *prop) ? ancestor : nullptr;
        if (prop->Kind == PropertyKind::NestedObject) {
            // A nested object's properties are stored with the owner's, under dotted names.
            if (prop->GetObject) {
                const ScriptObject* ancestorNested = sharedAncestor != nullptr ? prop->GetObject(*sharedAncestor) : nullptr;
                result += ObjToXML(prop->GetObject(obj), add + prop->Name + u'.', ancestorNested);
            }
            continue;
        }
        if (!propertycodec::Differs(*prop, obj, sharedAncestor, SerializeDefaultValues, names))
            continue;
        if (const std::optional<QString> text = propertycodec::ToText(*prop, obj, names))
            AppendAttribute(result, add, prop->Kind == PropertyKind::StringList ? prop->Name + QStringLiteral(".Text") : prop->Name,
                            *text);
    }
}

void TrpXMLSerializer::WriteMemoText(QString& result, const ScriptObject& obj, const QString& add,
                                     const ScriptObject* ancestor)
{
    const auto* component = dynamic_cast<const TrpComponent*>(&obj);
    const TrpWideStrings* lines = component != nullptr ? component->MemoLines() : nullptr;
    if (lines == nullptr)
        return;
    const auto* ancestorComponent = dynamic_cast<const TrpComponent*>(ancestor);
    const TrpWideStrings* ancestorLines = ancestorComponent != nullptr ? ancestorComponent->MemoLines() : nullptr;
    const QString text = propertycodec::StoredListText(lines->Text());
    if (ancestorLines == nullptr || text != propertycodec::StoredListText(ancestorLines->Text()))
        AppendAttribute(result, add, QStringLiteral("Text"), text);
}

void TrpXMLSerializer::WritePropData(QString& result, const ScriptObject& obj, const QString& add,
                                     const ScriptObject* ancestor) const
{
    const QByteArray defined = DefinedPropertyBytes(obj);
    if (defined.isEmpty())
        return;
    if (ancestor != nullptr && &ancestor->ScriptClass() == &obj.ScriptClass()) {
        QByteArray other = DefinedPropertyBytes(*ancestor);
        QByteArray mine = defined;
        QBuffer a(&mine);
        QBuffer b(&other);
        a.open(QIODevice::ReadOnly);
        b.open(QIODevice::ReadOnly);
        if (StreamCRC32(a) == StreamCRC32(b))
            return;
    }
    result += u' ';
    result += add;
    result += QStringLiteral("PropData=\"");
    result += StreamToHexText(defined);
    result += u'"';
}

QString TrpXMLSerializer::ObjToXML(const ScriptObject* obj, const QString& add, const ScriptObject* ancestor)
{
    QString result;
    if (obj == nullptr)
        return result;
    const auto* component = dynamic_cast<const TrpComponent*>(obj);
    if (component != nullptr && ancestor == nullptr && OnGetAncestor) {
        TrpComponent* found = nullptr;
        OnGetAncestor(component->Name(), found);
        ancestor = found;
    }
    const WritingFlag writing(obj);
    const WritingFlag ancestorWriting(ancestor);
    if (ClassOf(*obj) == nullptr)
        return result;
    WritePublishedProperties(result, *obj, add, ancestor);
    WriteMemoText(result, *obj, add, ancestor);
    WritePropData(result, *obj, add, ancestor);
    return result;
}

void TrpXMLSerializer::WriteItem(TrpXMLItem& item, TrpComponent* component, bool isRoot, bool saveChildren,
                                 bool streaming)
{
    item.SetName(component->IsAncestor() && !streaming ? QStringLiteral("inherited") : component->ClassName());
    QString text;
    if (!isRoot)
        text = QStringLiteral("Name=\"") + EscapeXMLText(component->Name()) + u'"';
    text += ObjToXML(component);
    item.SetText(text);
    if (!saveChildren)
        return;
    for (TrpComponent* child : component->Objects())
        WriteItem(*item.Add(), child, false, true, streaming);
}

void TrpXMLSerializer::WriteRootComponent(TrpComponent* root, bool saveChildren, TrpXMLItem* item, bool streaming)
{
    if (owner_ == nullptr)
        owner_ = root;
    if (item != nullptr) {
        WriteItem(*item, root, true, saveChildren, streaming);
        return;
    }
    TrpXMLDocument document;
    document.SetAutoIndent(true);
    WriteItem(*document.Root(), root, true, saveChildren, streaming);
    if (stream_ == nullptr)
        throw EWriteError();
    document.SaveToStream(*stream_);
}

QString TrpXMLSerializer::WriteComponentStr(const TrpComponent* component)
{
    return component->ClassName() + ObjToXML(component);
}

void TrpXMLSerializer::WriteComponent(const TrpComponent* component)
{
    if (stream_ == nullptr)
        throw EWriteError();
    WriteAllBytes(*stream_, QByteArray("<") + WriteComponentStr(component).toUtf8() + QByteArray("/>"));
}

// --- reading attributes

void TrpXMLSerializer::XMLToObj(QStringView text, ScriptObject* obj)
{
    if (obj == nullptr)
        return;
    qsizetype pos = 0;
    const qsizetype n = text.size();
    while (pos < n - 1) {
        while (pos < n && text[pos].unicode() <= u' ')
            ++pos;
        const qsizetype equals = text.indexOf(u'=', pos);
        if (equals < 0)
            return;
        QStringView name = text.mid(pos, equals - pos);
        while (!name.isEmpty() && name.back().unicode() <= u' ')
            name.chop(1);
        if (name.isEmpty())
            return;
        const qsizetype open = text.indexOf(u'"', equals + 1);
        if (open < 0)
            return;
        const qsizetype close = text.indexOf(u'"', open + 1);
        if (close < 0)
            return;
        pos = close + 1;
        try {
            ApplyAttribute(obj, name, UnescapeXMLText(text.mid(open + 1, close - open - 1)));
        } catch (const platform::Exception& failure) {
            AddError(QString::fromStdString(failure.Message()));
        }
    }
}

void TrpXMLSerializer::ApplyAttribute(ScriptObject* obj, QStringView name, const QString& value)
{
    ScriptObject* current = obj;
    const RegisteredClass* cls = ClassOf(*current);
    const QList<QStringView> parts = name.split(u'.');
    if (parts.size() > kMaxSerializerNesting)
        return;
    qsizetype first = 0;
    for (; first < parts.size() - 1 && cls != nullptr; ++first) {
        const PropertyInfo* prop = cls->Find(parts[first]);
        if (prop == nullptr)
            break; // the rest of the name, from this part on, is taken as the name
        if (prop->Kind == PropertyKind::NestedObject) {
            ScriptObject* next = prop->GetObject ? prop->GetObject(*current) : nullptr;
            if (next == nullptr)
                return;
            current = next;
            cls = ClassOf(*current);
            continue;
        }
        const bool lines = prop->Kind == PropertyKind::StringList || prop->Kind == PropertyKind::WideStringList;
        if (lines && first == parts.size() - 2 && parts.back() == u"Text") {
            if (prop->SetText)
                prop->SetText(*current, propertycodec::ListTextFromStored(value));
            return;
        }
        return; // references and values hold nothing that an attribute may reach into
    }
    QString rest;
    for (qsizetype i = first; i < parts.size(); ++i) {
        if (i > first)
            rest += u'.';
        rest += parts[i];
    }

    auto* component = dynamic_cast<TrpComponent*>(current);
    if (rest.size() == 1) {
        const char16_t letter = rest[0].unicode();
        if (letter == u'l' || letter == u't' || letter == u'w' || letter == u'h') {
            if (component == nullptr || !component->InheritsFromClass(u"TrpReportComponent") || cls == nullptr)
                return;
            // Through the published property, so the short form meets the same bounds as the long.
            const QString full = letter == u'l'   ? QStringLiteral("Left")
                                 : letter == u't' ? QStringLiteral("Top")
                                 : letter == u'w' ? QStringLiteral("Width")
                                                  : QStringLiteral("Height");
            const PropertyInfo* prop = cls->Find(full);
            if (prop != nullptr && prop->HasSetter())
                SetValue(current, *prop, value);
            return;
        }
        if (letter == u'x' || letter == u'u') {
            TrpWideStrings* lines = component != nullptr ? component->MemoLines() : nullptr;
            if (lines != nullptr)
                lines->SetText(propertycodec::ListTextFromStored(letter == u'u' && OldFormat ? DecodeOldFormatText(value) : value));
            return;
        }
    }
    if (rest == u"Text") {
        TrpWideStrings* lines = component != nullptr ? component->MemoLines() : nullptr;
        if (lines != nullptr) {
            lines->SetText(propertycodec::ListTextFromStored(OldFormat ? DecodeOldFormatText(value) : value));
            return;
        }
    }
    if (rest == u"PropData") {
        ReplayPropData(current, value);
        return;
    }
    if (component != nullptr && component->IsReport() && rest == u"Name")
        return;
    if (cls == nullptr)
        return;
    const PropertyInfo* prop = cls->Find(rest);
    if (prop == nullptr)
        return;
    if (prop->Kind == PropertyKind::Reference) {
        if (prop->SetObject)
            fixups_.push_back(TrpFixupItem{current->Handle(), prop, value});
        return;
    }
    if (!prop->HasSetter())
        return;
    SetValue(current, *prop, value);
}

void TrpXMLSerializer::SetValue(ScriptObject* obj, const PropertyInfo& prop, const QString& value)
{
    if (propertycodec::FromText(prop, *obj, value) == propertycodec::TextRead::OutOfRange)
        RaiseInvalidValue(prop.Name, value);
}

void TrpXMLSerializer::ReplayPropData(ScriptObject* obj, const QString& hexText)
{
    if (hexText.size() / 2 > kMaxPropDataBytes)
        RaiseInvalidValue(QStringLiteral("PropData"), hexText);
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    HexTextToStream(hexText, buffer);
    const RegisteredClass* cls = ClassOf(*obj);
    TrpValueReader reader(buffer.data());
    try {
        while (!reader.AtEnd()) {
            const QString name = reader.ReadPropName();
            if (cls == nullptr || !cls->ReadDefinedProperty(*obj, name, reader))
                throw EReadError(ResourceText(u"xrPropertyDoesNotExist", {Variant(name)}).toStdString());
        }
    } catch (const platform::Exception& failure) {
        AddError(GetResourcesInstance().Get(u"xrPropDataError") + u' ' + ObjectName(*obj) + QStringLiteral(": ") +
                 QString::fromStdString(failure.Message()));
    }
}

// --- references

void TrpXMLSerializer::ResolveFixups()
{
    std::vector<TrpFixupItem> pending;
    pending.swap(fixups_);
    for (const TrpFixupItem& item : pending) {
        ScriptObject* obj = item.Object();
        if (obj == nullptr || item.PropInfo == nullptr || !item.PropInfo->SetObject)
            continue;
        try {
            if (item.Value.compare(u"nil", Qt::CaseInsensitive) == 0) {
                item.PropInfo->SetObject(*obj, nullptr);
                continue;
            }
            TrpComponent* found = owner_ != nullptr ? owner_->FindObject(item.Value) : nullptr;
            if (found == nullptr) {
                try {
                    found = FindComponentByPath(owner_, item.Value);
                } catch (const platform::Exception&) {
                    found = nullptr;
                }
            }
            if (found == nullptr)
                continue;
            if (item.PropInfo->ObjectClass != nullptr && !found->ScriptClass().InheritsFrom(*item.PropInfo->ObjectClass))
                RaiseInvalidValue(item.PropInfo->Name, item.Value);
            item.PropInfo->SetObject(*obj, found);
        } catch (const platform::Exception& failure) {
            AddError(QString::fromStdString(failure.Message()));
        }
    }
}

void TrpXMLSerializer::CopyFixupList(std::vector<TrpFixupItem>* list) const
{
    if (list != nullptr)
        list->insert(list->end(), fixups_.begin(), fixups_.end());
}

// --- reading components

TrpComponent* TrpXMLSerializer::Create(QStringView className, TrpComponent* parent)
{
    // Pages are rebuilt object by object: the error text is made only when it is needed.
    const auto refuse = [&]() -> TrpComponent* {
        AddError(GetResourcesInstance().Get(u"xrCantPlaceClass") + u' ' + className.toString());
        return nullptr;
    };
    const RegisteredClass* cls = PropertyRegistry::Global().FindCreatable(className);
    if (cls == nullptr || !cls->Info.InheritsFrom(TrpComponent::Class()))
        return refuse();
    if (parent != nullptr) {
        const RegisteredClass* parentClass = ClassOf(*parent);
        if (parentClass != nullptr && !parentClass->Accepts(*parent, cls->Info))
            return refuse();
    }
    std::unique_ptr<ScriptObject> made = cls->Factory();
    auto* component = dynamic_cast<TrpComponent*>(made.get());
    if (component == nullptr)
        return refuse();
    // Placed under a parent, the parent owns it; without one the caller does.
    made.release();
    component->AttachTo(parent);
    return component;
}

void TrpXMLSerializer::ReadElement(TrpXMLItem& item, TrpComponent* object, std::vector<QPointer<TrpComponent>>& read)
{
    object->SetLoading(true);
    read.emplace_back(object);
    XMLToObj(item.Text(), object);
    const QPointer<TrpComponent> guard(object);
    for (int i = 0; i < item.Count(); ++i) {
        if (guard.isNull())
            return;
        TrpXMLItem& child = *item.Items(i);
        const QString& name = child.Name();
        const bool inherited = name.compare(u"inherited", Qt::CaseInsensitive) == 0;
        if (!inherited && PropertyRegistry::Global().FindCreatable(name) == nullptr) {
            AddError(GetResourcesInstance().Get(u"xrCantFindClass") + u' ' + name);
            continue;
        }
        TrpComponent* childObject = nullptr;
        const QString childName = child.Prop(u"Name");
        if (!childName.isEmpty() && owner_ != nullptr)
            childObject = owner_->FindObject(childName);
        if (childObject == nullptr) {
            if (inherited)
                continue;
            try {
                childObject = Create(name, object);
            } catch (const platform::Exception& failure) {
                AddError(QString::fromStdString(failure.Message()));
                childObject = nullptr;
            }
            if (childObject == nullptr)
                continue;
        }
        ReadElement(child, childObject, read);
    }
}

void TrpXMLSerializer::ReadRootComponent(TrpComponent* root, TrpXMLItem* item)
{
    if (owner_ == nullptr)
        owner_ = root;
    TrpXMLDocument document;
    if (item == nullptr) {
        if (stream_ == nullptr)
            throw EReadError();
        document.LoadFromStream(*stream_);
        OldFormat = document.OldVersion();
        item = document.Root();
    }
    if (CountElements(*item) > kMaxReportObjects)
        throw EReadError(FormatResource(GetResourcesInstance().Get(u"xrTooManyObjects"), {Variant(kMaxReportObjects)})
                             .toStdString());
    std::vector<QPointer<TrpComponent>> read;
    ReadElement(*item, root, read);
    ResolveFixups();
    for (const QPointer<TrpComponent>& object : read) {
        if (object.isNull())
            continue;
        object->SetLoading(false);
        if (!object->IsReport())
            object->Loaded();
    }
}

void TrpXMLSerializer::FinishRead(TrpComponent* component, bool dontFixup)
{
    if (dontFixup)
        fixups_.clear();
    else
        ResolveFixups();
    component->SetLoading(false);
    if (!component->IsReport())
        component->Loaded();
}

TrpComponent* TrpXMLSerializer::ReadComponentStr(TrpComponent* root, QStringView text, bool dontFixup)
{
    owner_ = root;
    text = text.trimmed();
    if (text.isEmpty())
        return nullptr;
    const qsizetype blank = text.indexOf(u' ');
    const QStringView className = blank < 0 ? text : text.left(blank);
    const QStringView attributes = blank < 0 ? QStringView() : text.mid(blank + 1);
    const RegisteredClass* cls = PropertyRegistry::Global().FindCreatable(className);
    if (cls == nullptr)
        throw EClassNotFound(ResourceText(u"xrClassNotFound", {Variant(className.toString())}).toStdString());
    TrpComponent* component = Create(className, root);
    if (component == nullptr)
        throw EComponentError((GetResourcesInstance().Get(u"xrCantPlaceClass") + u' ' + className.toString()).toStdString());
    ApplyComponentStr(component, attributes, dontFixup);
    return component;
}

void TrpXMLSerializer::ApplyComponentStr(TrpComponent* component, QStringView attributeText, bool dontFixup)
{
    component->SetLoading(true);
    try {
        XMLToObj(attributeText, component);
    } catch (...) {
        FinishRead(component, dontFixup);
        throw;
    }
    FinishRead(component, dontFixup);
}

TrpComponent* TrpXMLSerializer::ReadComponent(TrpComponent* root)
{
    if (stream_ == nullptr)
        throw EReadError();
    TrpXMLItem item;
    {
        TrpXMLReader reader(stream_);
        if (!reader.ReadRootItem(item, true))
            return nullptr;
    }
    return ReadComponentStr(root, QString(item.Name() + u' ' + item.Text()));
}

void TrpXMLSerializer::ReadPersistentStr(TrpComponent* root, ScriptObject* obj, QStringView text)
{
    owner_ = root;
    XMLToObj(text, obj);
    ResolveFixups();
}

// --- copies

void TrpXMLSerializer::CopyProperties(const ScriptObject& source, ScriptObject& target, const QString& path)
{
    const RegisteredClass* cls = ClassOf(source);
    if (cls == nullptr || ClassOf(target) != cls)
        return;
    for (const PropertyInfo* prop : cls->AllProperties()) {
        if (!prop->StoredCondition(source))
            continue;
        try {
            if (prop->Kind == PropertyKind::Reference) {
                // Named as a serializer of the source's report writes it; resolved as a read
                // under the new root resolves it.
                if (!prop->GetObject || !prop->SetObject)
                    continue;
                const auto* referenced = dynamic_cast<const TrpComponent*>(prop->GetObject(source));
                const auto* sourceComponent = dynamic_cast<const TrpComponent*>(&source);
                const TrpComponent* writingOwner = sourceComponent != nullptr ? sourceComponent->Report() : nullptr;
                const QString name = referenced != nullptr ? GetComponentPath(writingOwner, referenced) : QString();
                if (!name.isEmpty())
                    fixups_.push_back(TrpFixupItem{target.Handle(), prop, name});
            } else if (prop->Kind == PropertyKind::NestedObject) {
                const ScriptObject* from = prop->GetObject ? prop->GetObject(source) : nullptr;
                ScriptObject* to = prop->GetObject ? prop->GetObject(target) : nullptr;
                if (from != nullptr && to != nullptr)
                    CopyProperties(*from, *to, path + prop->Name + u'.');
            } else {
                propertycodec::Copy(*prop, source, target, SerializeDefaultValues);
            }
        } catch (const platform::Exception& failure) {
            AddError(QString::fromStdString(failure.Message()));
        }
    }
    const auto* sourceComponent = dynamic_cast<const TrpComponent*>(&source);
    auto* targetComponent = dynamic_cast<TrpComponent*>(&target);
    if (sourceComponent != nullptr && targetComponent != nullptr) {
        const TrpWideStrings* from = sourceComponent->MemoLines();
        TrpWideStrings* to = targetComponent->MemoLines();
        if (from != nullptr && to != nullptr)
            to->SetText(propertycodec::ListTextFromStored(propertycodec::StoredListText(from->Text())));
    }
    const QByteArray defined = DefinedPropertyBytes(source);
    if (!defined.isEmpty())
        ReplayPropData(&target, StreamToHexText(defined));
}

TrpComponent* TrpXMLSerializer::CloneComponent(const TrpComponent& source, TrpComponent* root, bool dontFixup)
{
    owner_ = root;
    TrpComponent* copy = Create(source.ClassName(), root);
    if (copy == nullptr)
        throw EComponentError((GetResourcesInstance().Get(u"xrCantPlaceClass") + u' ' + source.ClassName()).toStdString());
    copy->SetLoading(true);
    const WritingFlag writing(&source);
    CopyProperties(source, *copy, QString());
    FinishRead(copy, dontFixup);
    return copy;
}
