#include "rpXMLSerializer.h"

#include "ModelTexts.h"
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
#include "report/core/PropertyRegistry.h"

#include <QBuffer>

#include <algorithm>
#include <cmath>

namespace {

// The text of a float in report files: 15 significant digits in the general form, C locale.
QString FloatText(double value)
{
    return FloatToGeneralText(value, 15, FormatSettings::C());
}

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

bool IsOrdinal(PropertyKind kind)
{
    return kind == PropertyKind::Integer || kind == PropertyKind::Char || kind == PropertyKind::Enum ||
           kind == PropertyKind::Set;
}

// The ordinal value of a getter's result (a Boolean is 0 or 1, a character its code).
int64_t OrdinalValue(const PropertyInfo& prop, const Variant& value)
{
    if (value.Kind() == VariantKind::Boolean)
        return value.AsBoolean() ? 1 : 0;
    if (prop.Kind == PropertyKind::Char) {
        const QString text = value.ToString();
        return text.isEmpty() ? 0 : text[0].unicode();
    }
    return value.ToInt64();
}

QString OrdinalText(const PropertyInfo& prop, int64_t ordinal)
{
    if (prop.Kind == PropertyKind::Enum && prop.Enum != nullptr) {
        const QString name = prop.Enum->NameOf(static_cast<int>(ordinal));
        if (!name.isEmpty())
            return name;
    }
    return QString::number(ordinal);
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

// A list's text without its final line break, as files keep it.
QString WithoutFinalBreak(QString text)
{
    if (text.endsWith(QLatin1String("\r\n")))
        text.chop(2);
    return text;
}

// The text to give a list for a text a file keeps: the final line break goes back on, so
// that lines that end in empty ones do not lose one at every save.
QString WithFinalBreak(const QString& fileText)
{
    return fileText.isEmpty() ? fileText : fileText + QStringLiteral("\r\n");
}

bool SameName(const ScriptObject* a, const ScriptObject* b)
{
    const auto* ca = dynamic_cast<const TrpComponent*>(a);
    const auto* cb = dynamic_cast<const TrpComponent*>(b);
    if (ca == nullptr || cb == nullptr)
        return a == b;
    return ca->Name().compare(cb->Name(), Qt::CaseInsensitive) == 0;
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

// The text a variant is stored as: its string form in the C locale. Null (a variable without a
// value), arrays and late-bound objects have none and are not written.
QString StoredVariantText(const Variant& value)
{
    switch (value.Kind()) {
    case VariantKind::Null:
    case VariantKind::Array:
    case VariantKind::Dispatch:
        return QString();
    default:
        return value.ToString();
    }
}

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

    const RegisteredClass* cls = ClassOf(*obj);
    if (cls == nullptr)
        return result;
    const auto append = [&](const QString& name, const QString& value) {
        result += u' ';
        result += add;
        result += name;
        result += QStringLiteral("=\"");
        result += EscapeXMLText(value);
        result += u'"';
    };

    for (const PropertyInfo* prop : cls->AllProperties()) {
        if (!prop->StoredCondition(*obj))
            continue;
        const bool compareAncestor = SharesProperty(ancestor, *prop);
        if (IsOrdinal(prop->Kind)) {
            if (!prop->Get)
                continue;
            const int64_t value = OrdinalValue(*prop, prop->Get(*obj));
            bool write = SerializeDefaultValues;
            if (!write) {
                if (compareAncestor)
                    write = value != OrdinalValue(*prop, prop->Get(*ancestor));
                else
                    write = prop->Default.IsUnassigned() || value != OrdinalValue(*prop, prop->Default);
            }
            if (write)
                append(prop->Name, OrdinalText(*prop, value));
            continue;
        }
        switch (prop->Kind) {
        case PropertyKind::Float: {
            if (!prop->Get)
                break;
            const double value = prop->Get(*obj).ToDouble();
            if (!std::isfinite(value))
                break; // would not read back
            const bool write = SerializeDefaultValues || !compareAncestor ||
                               std::fabs(value - prop->Get(*ancestor).ToDouble()) >= 1e-6;
            if (write)
                append(prop->Name, FloatText(value));
            break;
        }
        case PropertyKind::String:
        case PropertyKind::EventName: {
            if (!prop->Get)
                break;
            const QString value = prop->Get(*obj).ToString();
            if (value.isEmpty())
                break;
            if (SerializeDefaultValues || !compareAncestor || value != prop->Get(*ancestor).ToString())
                append(prop->Name, value);
            break;
        }
        case PropertyKind::Variant: {
            if (!prop->Get)
                break;
            const Variant value = prop->Get(*obj);
            const QString text = StoredVariantText(value);
            if (text.isEmpty())
                break;
            bool write = SerializeDefaultValues || !compareAncestor;
            if (!write) {
                const Variant other = prop->Get(*ancestor);
                write = value.Kind() != other.Kind() || text != StoredVariantText(other);
            }
            if (write)
                append(prop->Name, text);
            break;
        }
        case PropertyKind::Reference: {
            if (!prop->GetObject)
                break;
            const ScriptObject* target = prop->GetObject(*obj);
            const ScriptObject* ancestorTarget = compareAncestor ? prop->GetObject(*ancestor) : nullptr;
            QString text;
            if (!compareAncestor) {
                if (target != nullptr)
                    text = GetComponentPath(owner_, dynamic_cast<const TrpComponent*>(target));
            } else if (target == nullptr && ancestorTarget == nullptr) {
            } else if (target != nullptr && ancestorTarget != nullptr && SameName(target, ancestorTarget)) {
            } else if (target == nullptr) {
                text = QStringLiteral("nil");
            } else {
                text = GetComponentPath(owner_, dynamic_cast<const TrpComponent*>(target));
            }
            if (!text.isEmpty())
                append(prop->Name, text);
            break;
        }
        case PropertyKind::StringList: {
            if (!prop->GetText)
                break;
            const QString text = WithoutFinalBreak(prop->GetText(*obj));
            if (compareAncestor && text == WithoutFinalBreak(prop->GetText(*ancestor)))
                break;
            append(prop->Name + QStringLiteral(".Text"), text);
            break;
        }
        case PropertyKind::NestedObject: {
            if (!prop->GetObject)
                break;
            const ScriptObject* nested = prop->GetObject(*obj);
            const ScriptObject* ancestorNested = compareAncestor ? prop->GetObject(*ancestor) : nullptr;
            result += ObjToXML(nested, add + prop->Name + u'.', ancestorNested);
            break;
        }
        default:
            break; // wide string lists have a text of their own; 64-bit integers are not stored
        }
    }

    if (component != nullptr) {
        if (const TrpWideStrings* lines = component->MemoLines()) {
            const auto* ancestorComponent = dynamic_cast<const TrpComponent*>(ancestor);
            const TrpWideStrings* ancestorLines =
                ancestorComponent != nullptr ? ancestorComponent->MemoLines() : nullptr;
            const QString text = WithoutFinalBreak(lines->Text());
            if (ancestorLines == nullptr || text != WithoutFinalBreak(ancestorLines->Text()))
                append(QStringLiteral("Text"), text);
        }
    }

    const QByteArray defined = DefinedPropertyBytes(*obj);
    if (!defined.isEmpty()) {
        bool write = true;
        if (ancestor != nullptr && &ancestor->ScriptClass() == &obj->ScriptClass()) {
            QByteArray other = DefinedPropertyBytes(*ancestor);
            QByteArray mine = defined;
            QBuffer a(&mine);
            QBuffer b(&other);
            a.open(QIODevice::ReadOnly);
            b.open(QIODevice::ReadOnly);
            write = StreamCRC32(a) != StreamCRC32(b);
        }
        if (write) {
            result += u' ';
            result += add;
            result += QStringLiteral("PropData=\"");
            result += StreamToHexText(defined);
            result += u'"';
        }
    }
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
                prop->SetText(*current, WithFinalBreak(value));
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
                lines->SetText(WithFinalBreak(letter == u'u' && OldFormat ? DecodeOldFormatText(value) : value));
            return;
        }
    }
    if (rest == u"Text") {
        TrpWideStrings* lines = component != nullptr ? component->MemoLines() : nullptr;
        if (lines != nullptr) {
            lines->SetText(WithFinalBreak(OldFormat ? DecodeOldFormatText(value) : value));
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
    switch (prop.Kind) {
    case PropertyKind::Integer:
    case PropertyKind::Char:
    case PropertyKind::Set: {
        int64_t number = 0;
        if (!TextToInt64(value, number))
            RaiseInvalidInteger(value);
        if (prop.Kind == PropertyKind::Integer) {
            if (number < INT32_MIN || number > INT32_MAX)
                RaiseInvalidValue(prop.Name, value);
            prop.Set(*obj, Variant(static_cast<int32_t>(number)));
        } else if (prop.Kind == PropertyKind::Char) {
            if (number < 0 || number > 0xFFFF)
                RaiseInvalidValue(prop.Name, value);
            prop.Set(*obj, Variant(QString(QChar(static_cast<char16_t>(number)))));
        } else {
            const int count = prop.Enum != nullptr ? static_cast<int>(prop.Enum->Values.size()) : 32;
            const uint64_t allowed = count >= 32 ? 0xFFFFFFFFu : ((uint64_t{1} << count) - 1u);
            if (number < 0 || (static_cast<uint64_t>(number) & ~allowed) != 0)
                RaiseInvalidValue(prop.Name, value);
            prop.Set(*obj, Variant(static_cast<int32_t>(number)));
        }
        return;
    }
    case PropertyKind::Enum: {
        int64_t ordinal = 0;
        if (!TextToInt64(value, ordinal)) {
            const std::optional<int> named = prop.Enum != nullptr ? prop.Enum->OrdinalOf(value) : std::nullopt;
            if (!named)
                return; // a name the enumeration does not have leaves the value
            ordinal = *named;
        }
        if (prop.Enum != nullptr && (ordinal < prop.Enum->Low || ordinal > prop.Enum->High()))
            RaiseInvalidValue(prop.Name, value);
        prop.Set(*obj, prop.Canonical(Variant(static_cast<int32_t>(ordinal))));
        return;
    }
    case PropertyKind::Float:
        prop.Set(*obj, Variant(ParseLocaleFloat(value)));
        return;
    case PropertyKind::String:
    case PropertyKind::EventName:
    case PropertyKind::Variant:
        prop.Set(*obj, Variant(value));
        return;
    default:
        return;
    }
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
                throw EReadError(QString::fromUtf8(modeltexts::kPropertyDoesNotExist).arg(name).toStdString());
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
    const RegisteredClass* cls = PropertyRegistry::Global().FindCreatable(className);
    const QString placementError = GetResourcesInstance().Get(u"xrCantPlaceClass") + u' ' + className.toString();
    if (cls == nullptr || !cls->Info.InheritsFrom(TrpComponent::Class())) {
        AddError(placementError);
        return nullptr;
    }
    if (parent != nullptr) {
        const RegisteredClass* parentClass = ClassOf(*parent);
        if (parentClass != nullptr && !parentClass->Accepts(*parent, cls->Info)) {
            AddError(placementError);
            return nullptr;
        }
    }
    std::unique_ptr<TrpComponent> made = TrpComponent::CreateByName(className);
    if (made == nullptr) {
        AddError(placementError);
        return nullptr;
    }
    // Placed under a parent, the parent owns it; without one the caller does.
    TrpComponent* raw = made.release();
    raw->AttachTo(parent);
    return raw;
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
        throw EClassNotFound(QString::fromUtf8(modeltexts::kClassNotFound).arg(className).toStdString());
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
            if (IsOrdinal(prop->Kind)) {
                if (!prop->Get || !prop->HasSetter())
                    continue;
                const Variant value = prop->Get(source);
                const int64_t ordinal = OrdinalValue(*prop, value);
                if (!SerializeDefaultValues && !prop->Default.IsUnassigned() &&
                    ordinal == OrdinalValue(*prop, prop->Default))
                    continue;
                prop->Set(target, value);
                continue;
            }
            switch (prop->Kind) {
            case PropertyKind::Float: {
                if (!prop->Get || !prop->HasSetter())
                    break;
                const double value = prop->Get(source).ToDouble();
                if (std::isfinite(value))
                    prop->Set(target, Variant(ParseLocaleFloat(FloatText(value)))); // as the text reads back
                break;
            }
            case PropertyKind::String:
            case PropertyKind::EventName:
            case PropertyKind::Variant: {
                if (!prop->Get || !prop->HasSetter())
                    break;
                const QString text = StoredVariantText(prop->Get(source));
                if (!text.isEmpty())
                    prop->Set(target, Variant(text));
                break;
            }
            case PropertyKind::Reference: {
                if (!prop->GetObject || !prop->SetObject)
                    break;
                // Named as a serializer of the source's report writes it; resolved as a read
                // under the new root resolves it.
                const auto* referenced = dynamic_cast<const TrpComponent*>(prop->GetObject(source));
                const auto* sourceComponent = dynamic_cast<const TrpComponent*>(&source);
                const TrpComponent* writingOwner = sourceComponent != nullptr ? sourceComponent->Report() : nullptr;
                const QString name = referenced != nullptr ? GetComponentPath(writingOwner, referenced) : QString();
                if (!name.isEmpty())
                    fixups_.push_back(TrpFixupItem{target.Handle(), prop, name});
                break;
            }
            case PropertyKind::StringList:
                if (prop->GetText && prop->SetText)
                    prop->SetText(target, WithFinalBreak(WithoutFinalBreak(prop->GetText(source))));
                break;
            case PropertyKind::NestedObject: {
                if (!prop->GetObject)
                    break;
                const ScriptObject* from = prop->GetObject(source);
                ScriptObject* to = prop->GetObject(target);
                if (from != nullptr && to != nullptr)
                    CopyProperties(*from, *to, path + prop->Name + u'.');
                break;
            }
            default:
                break;
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
            to->SetText(WithFinalBreak(WithoutFinalBreak(from->Text())));
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
