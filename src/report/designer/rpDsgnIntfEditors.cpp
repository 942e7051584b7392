#include "rpDsgnIntfEditors.h"

#include "DesignerFields.h"
#include "DesignerRuntime.h"

#include "platform/Exceptions.h"
#include "report/core/Charsets.h"
#include "report/core/Colors.h"
#include "report/core/Conversions.h"
#include "report/core/Cursors.h"
#include "report/core/KeyCodes.h"
#include "report/core/ScriptFont.h"
#include "report/core/Services.h"
#include "report/core/gui/QtConversions.h"
#include "report/model/rpClass.h"
#include "report/model/rpDsgnIntf.h"
#include "report/model/rpRes.h"

#include <QAction>
#include <QFontDatabase>
#include <QMenu>
#include <QPainter>

#include <algorithm>
#include <limits>
#include <map>

namespace {

// Ordinal values as the property registry gives them: Booleans as 0 and 1.
int32_t OrdinalOf(const Variant& value)
{
    if (value.Kind() == VariantKind::Boolean)
        return value.AsBoolean() ? 1 : 0;
    return value.ToInt32();
}

std::map<QString, PropertyEditorFactory>& PropertyEditorClasses()
{
    static std::map<QString, PropertyEditorFactory> table;
    return table;
}

std::map<QString, ComponentEditorFactory>& ComponentEditorClasses()
{
    static std::map<QString, ComponentEditorFactory> table;
    return table;
}

const char* const kModalResults[] = {"mrNone", "mrOk",  "mrCancel",  "mrAbort",   "mrRetry",   "mrIgnore",
                                     "mrYes",  "mrNo",  "mrAll",     "mrNoToAll", "mrYesToAll"};

QString PropertyText(const QString& key)
{
    return GetResourcesInstance().Get(key);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TrpPropertyEditor

TrpPropertyEditor::TrpPropertyEditor(TrpCustomDesigner* designer) : designer_(designer) {}

TrpPropertyEditor::~TrpPropertyEditor() = default;

const FormatSettings& TrpPropertyEditor::Formats()
{
    return DesignerRuntime::Formats();
}

TrpComponent* TrpPropertyEditor::rpComponent() const
{
    return dynamic_cast<TrpComponent*>(Component());
}

void TrpPropertyEditor::AddEdited(ScriptObject* object, const PropertyInfo* property)
{
    compList_.push_back(object);
    propList_.push_back(property);
}

QString TrpPropertyEditor::GetName() const
{
    return PropInfo() != nullptr ? PropInfo()->Name : QString();
}

void TrpPropertyEditor::GetValues()
{
    values_.clear();
}

void TrpPropertyEditor::SetValue(const QString&) {}

bool TrpPropertyEditor::Edit()
{
    GetValues();
    if (values_.isEmpty())
        return false;
    int index = values_.indexOf(GetValue()) + 1;
    if (index >= values_.size())
        index = 0;
    SetValue(values_[index]);
    return true;
}

void TrpPropertyEditor::OnDrawLBItem(QPainter& painter, int index, const QRect& rect, bool selected)
{
    const QPalette palette;
    painter.fillRect(rect, selected ? palette.highlight() : palette.base());
    painter.setPen(selected ? palette.highlightedText().color() : palette.text().color());
    if (index >= 0 && index < values_.size())
        painter.drawText(QPoint(rect.left() + ItemHeight() + 4, rect.top() + 1 + painter.fontMetrics().ascent()),
                         values_[index]);
    painter.setPen(Qt::gray);
}

void TrpPropertyEditor::OnDrawItem(QPainter& painter, const QRect& rect)
{
    painter.drawText(QPoint(rect.left() + ItemHeight() - 2, rect.top() + painter.fontMetrics().ascent()), GetValue());
    painter.setPen(Qt::gray);
}

int32_t TrpPropertyEditor::ReadOrdinal() const
{
    return OrdinalOf(PropInfo()->Get(*Component()));
}

double TrpPropertyEditor::ReadFloat() const
{
    return PropInfo()->Get(*Component()).ToDouble();
}

QString TrpPropertyEditor::ReadText() const
{
    return PropInfo()->Get(*Component()).ToString();
}

void TrpPropertyEditor::WriteOrdinal(int32_t value)
{
    for (size_t i = 0; i < compList_.size(); ++i)
        if (propList_[i]->HasSetter())
            propList_[i]->Set(*compList_[i], propList_[i]->Canonical(Variant(value)));
}

void TrpPropertyEditor::WriteFloat(double value)
{
    for (size_t i = 0; i < compList_.size(); ++i)
        if (propList_[i]->HasSetter())
            propList_[i]->Set(*compList_[i], propList_[i]->Canonical(Variant(value)));
}

void TrpPropertyEditor::WriteText(const QString& value)
{
    for (size_t i = 0; i < compList_.size(); ++i)
        if (propList_[i]->HasSetter())
            propList_[i]->Set(*compList_[i], propList_[i]->Canonical(Variant(value)));
}

void TrpPropertyEditor::RaiseInvalidValue()
{
    throw platform::Exception(PropertyText(QStringLiteral("prInvProp")).toStdString());
}

double TrpPropertyEditor::TypedNumber(const QString& text, double low, double high) const
{
    return DesignerFields::ReadNumber(text, GetName(), {low, high});
}

int32_t TrpPropertyEditor::TypedInteger(const QString& text) const
{
    return DesignerFields::ReadInteger(text, GetName(),
                                       {static_cast<double>(std::numeric_limits<int32_t>::min()),
                                        static_cast<double>(std::numeric_limits<int32_t>::max())});
}

// ---------------------------------------------------------------------------------------------
// The standard editors

QString TrpIntegerProperty::GetValue() const
{
    return QString::number(ReadOrdinal());
}

void TrpIntegerProperty::SetValue(const QString& value)
{
    WriteOrdinal(TypedInteger(value));
}

QString TrpFloatProperty::GetValue() const
{
    return FloatToStr(ReadFloat(), Formats());
}

void TrpFloatProperty::SetValue(const QString& value)
{
    WriteFloat(TypedNumber(value, -std::numeric_limits<double>::max(), std::numeric_limits<double>::max()));
}

QString TrpCharProperty::GetValue() const
{
    const QString text = ReadText();
    const int code = text.isEmpty() ? 0 : text.at(0).unicode();
    if (code >= 33 && code <= 255)
        return QString(QChar(code));
    return QStringLiteral("#%1").arg(code);
}

void TrpCharProperty::SetValue(const QString& value)
{
    int code = 0;
    if (value.size() == 1) {
        code = value.at(0).unicode();
    } else if (value.size() > 1) {
        if (!value.startsWith(u'#'))
            RaiseInvalidValue();
        code = StrToInt(QStringView(value).mid(1));
        if (code < 0 || code > 0xFFFF)
            RaiseInvalidValue();
    }
    WriteText(code == 0 ? QString() : QString(QChar(code)));
}

QString TrpEnumProperty::GetValue() const
{
    return PropInfo()->Enum != nullptr ? PropInfo()->Enum->NameOf(ReadOrdinal()) : QString();
}

void TrpEnumProperty::GetValues()
{
    TrpPropertyEditor::GetValues();
    if (const EnumTypeInfo* type = PropInfo()->Enum)
        for (int i = type->Low; i <= type->High(); ++i)
            AddValue(type->NameOf(i));
    MutableValues().sort();
}

void TrpEnumProperty::SetValue(const QString& value)
{
    const EnumTypeInfo* type = PropInfo()->Enum;
    const std::optional<int> ordinal = type != nullptr ? type->OrdinalOf(value) : std::nullopt;
    if (!ordinal || *ordinal < 0)
        RaiseInvalidValue();
    WriteOrdinal(*ordinal);
}

QString TrpSetProperty::GetValue() const
{
    const auto bits = static_cast<uint32_t>(ReadOrdinal());
    const EnumTypeInfo* type = PropInfo()->Enum;
    QStringList names;
    for (int i = 0; i < 32; ++i)
        if (bits & (1u << i))
            names.append(type != nullptr ? type->NameOf(i) : QString::number(i));
    return u'[' + names.join(u',') + u']';
}

QString TrpSetElementProperty::GetName() const
{
    const EnumTypeInfo* type = PropInfo()->Enum;
    return type != nullptr ? type->NameOf(element_) : QString::number(element_);
}

QString TrpSetElementProperty::GetValue() const
{
    const auto bits = static_cast<uint32_t>(ReadOrdinal());
    const bool member = element_ >= 0 && element_ < 32 && (bits & (1u << element_)) != 0;
    return member ? QStringLiteral("True") : QStringLiteral("False");
}

void TrpSetElementProperty::GetValues()
{
    TrpPropertyEditor::GetValues();
    AddValue(QStringLiteral("False"));
    AddValue(QStringLiteral("True"));
}

void TrpSetElementProperty::SetValue(const QString& value)
{
    auto bits = static_cast<uint32_t>(ReadOrdinal());
    const bool inRange = element_ >= 0 && element_ < 32;
    if (value.compare(u"True", Qt::CaseInsensitive) == 0) {
        if (inRange)
            bits |= 1u << element_;
    } else if (value.compare(u"False", Qt::CaseInsensitive) == 0) {
        if (inRange)
            bits &= ~(1u << element_);
    } else {
        RaiseInvalidValue();
    }
    WriteOrdinal(static_cast<int32_t>(bits));
}

QString TrpClassProperty::GetValue() const
{
    return u'(' + PropInfo()->TypeName + u')';
}

QString TrpComponentProperty::GetValue() const
{
    const ScriptObject* object = PropInfo()->GetObject ? PropInfo()->GetObject(*Component()) : nullptr;
    const auto* component = dynamic_cast<const TrpComponent*>(object);
    return component != nullptr ? component->Name() : QString();
}

void TrpComponentProperty::GetValues()
{
    TrpPropertyEditor::GetValues();
    TrpComponent* self = rpComponent();
    if (self == nullptr)
        return;
    TrpComponent* root = self->Page() != nullptr && self->IsView() ? self->Page() : self;
    const ScriptClassInfo* wanted = PropInfo()->ObjectClass;
    for (TrpComponent* object : root->AllObjects())
        if (object != self && (wanted == nullptr || object->ScriptClass().InheritsFrom(*wanted)))
            AddValue(object->Name());
    MutableValues().sort();
}

void TrpComponentProperty::SetValue(const QString& value)
{
    TrpComponent* found = nullptr;
    if (!value.isEmpty()) {
        TrpComponent* self = rpComponent();
        TrpComponent* report = self != nullptr ? self->Report() : nullptr;
        found = report != nullptr ? report->FindObject(value) : nullptr;
        const ScriptClassInfo* wanted = PropInfo()->ObjectClass;
        if (found == nullptr || (wanted != nullptr && !found->ScriptClass().InheritsFrom(*wanted)))
            RaiseInvalidValue();
    }
    for (int i = 0; i < EditedCount(); ++i) {
        // Every edited object takes the reference through its own property.
        const PropertyInfo* info = nullptr;
        if (const RegisteredClass* cls = PropertyRegistry::Global().FindFor(Edited(i)->ScriptClass()))
            info = cls->Find(GetName());
        if (info != nullptr && info->SetObject && info->HasSetter())
            info->SetObject(*Edited(i), found);
    }
}

QString TrpColorProperty::GetValue() const
{
    const auto color = static_cast<TColor>(ReadOrdinal());
    if (const ColorIdentifier* id = FindColorIdentifier(color))
        return QString::fromLatin1(id->Name);
    return QStringLiteral("$%1").arg(static_cast<uint32_t>(color), 8, 16, QChar(u'0')).toUpper().replace(0, 1, u'$');
}

void TrpColorProperty::GetValues()
{
    TrpPropertyEditor::GetValues();
    for (const ColorIdentifier& id : ColorIdentifiers())
        AddValue(QString::fromLatin1(id.Name));
}

void TrpColorProperty::SetValue(const QString& value)
{
    if (const ColorIdentifier* id = FindColorIdentifier(value))
        WriteOrdinal(static_cast<int32_t>(id->Color));
    else
        WriteOrdinal(StrToInt(value));
}

bool TrpColorProperty::Edit()
{
    uint32_t rgb = ColorToRgb(static_cast<TColor>(ReadOrdinal()));
    if (!ReportServices::Ui().ColorDialog(rgb))
        return false;
    WriteOrdinal(static_cast<int32_t>(RgbToColor(rgb)));
    return true;
}

namespace {

QColor SwatchColor(const QString& name)
{
    TColor color = 0;
    if (const ColorIdentifier* id = FindColorIdentifier(name)) {
        color = id->Color;
    } else {
        // A colour without a name shows as its number ("$00C0FFC0"): the swatch shows that colour.
        try {
            color = static_cast<TColor>(StrToInt(name));
        } catch (const platform::Exception&) {
        }
    }
    return ToQColor(color);
}

} // namespace

void TrpColorProperty::OnDrawLBItem(QPainter& painter, int index, const QRect& rect, bool selected)
{
    TrpPropertyEditor::OnDrawLBItem(painter, index, rect, selected);
    if (index < 0 || index >= Values().size())
        return;
    const int height = rect.height();
    painter.setBrush(SwatchColor(Values()[index]));
    painter.drawRect(QRect(QPoint(rect.left() + 2, rect.top() + 2),
                           QPoint(rect.left() + height - 2 - 1, rect.bottom() - 2)));
}

void TrpColorProperty::OnDrawItem(QPainter& painter, const QRect& rect)
{
    TrpPropertyEditor::OnDrawItem(painter, rect);
    const int height = rect.height();
    painter.setBrush(SwatchColor(GetValue()));
    painter.drawRect(QRect(QPoint(rect.left(), rect.top() + 1), QPoint(rect.left() + height - 5 - 1, rect.bottom() - 4)));
}

bool TrpFontProperty::Edit()
{
    const ScriptObject* object = PropInfo()->GetObject ? PropInfo()->GetObject(*Component()) : nullptr;
    const auto* font = dynamic_cast<const ScriptFont*>(object);
    if (font == nullptr)
        return false;
    UiFont ui;
    ui.Name = font->Name();
    ui.Size = font->Size();
    ui.Bold = (font->Style() & 1) != 0;
    ui.Italic = (font->Style() & 2) != 0;
    ui.Underline = (font->Style() & 4) != 0;
    ui.StrikeOut = (font->Style() & 8) != 0;
    ui.Rgb = ColorToRgb(font->Color());
    if (!ReportServices::Ui().FontDialog(ui))
        return false;
    for (int i = 0; i < EditedCount(); ++i) {
        const RegisteredClass* cls = PropertyRegistry::Global().FindFor(Edited(i)->ScriptClass());
        const PropertyInfo* info = cls != nullptr ? cls->Find(GetName()) : nullptr;
        auto* target = info != nullptr && info->GetObject ? dynamic_cast<ScriptFont*>(info->GetObject(*Edited(i)))
                                                          : nullptr;
        if (target == nullptr)
            continue;
        target->SetName(ui.Name);
        target->SetSize(ui.Size);
        target->SetStyle((ui.Bold ? 1u : 0u) | (ui.Italic ? 2u : 0u) | (ui.Underline ? 4u : 0u) |
                         (ui.StrikeOut ? 8u : 0u));
        target->SetColor(RgbToColor(ui.Rgb));
        if (info->SetObject && info->HasSetter())
            info->SetObject(*Edited(i), target); // lets the owner notice the change
    }
    return true;
}

void TrpFontNameProperty::GetValues()
{
    TrpPropertyEditor::GetValues();
    for (const QString& family : QFontDatabase::families())
        AddValue(family);
    MutableValues().sort();
}

QString TrpFontCharsetProperty::GetValue() const
{
    const int32_t value = ReadOrdinal();
    if (value >= 0 && value <= 255)
        if (const CharsetInfo* info = FindCharset(static_cast<uint8_t>(value)))
            return QString::fromLatin1(info->Name);
    return QString::number(value);
}

void TrpFontCharsetProperty::GetValues()
{
    TrpPropertyEditor::GetValues();
    for (const CharsetInfo& info : Charsets())
        AddValue(QString::fromLatin1(info.Name));
    MutableValues().sort();
}

void TrpFontCharsetProperty::SetValue(const QString& value)
{
    if (const CharsetInfo* info = FindCharset(QStringView(value)))
        WriteOrdinal(info->Charset);
    else
        WriteOrdinal(StrToInt(value));
}

QString TrpModalResultProperty::GetValue() const
{
    const int32_t value = ReadOrdinal();
    if (value >= 0 && value <= 10)
        return QString::fromLatin1(kModalResults[value]);
    return QString::number(value);
}

void TrpModalResultProperty::GetValues()
{
    TrpPropertyEditor::GetValues();
    for (const char* name : kModalResults)
        AddValue(QString::fromLatin1(name));
}

void TrpModalResultProperty::SetValue(const QString& value)
{
    const QString text = value.isEmpty() ? QStringLiteral("0") : value;
    for (int i = 0; i <= 10; ++i)
        if (text.compare(QLatin1String(kModalResults[i]), Qt::CaseInsensitive) == 0) {
            WriteOrdinal(i);
            return;
        }
    WriteOrdinal(StrToInt(text));
}

QString TrpShortCutProperty::GetValue() const
{
    const auto value = static_cast<uint16_t>(ReadOrdinal() & 0xFFFF);
    if (value == 0)
        return QStringLiteral("(None)");
    return ShortCutToText(value);
}

void TrpShortCutProperty::GetValues()
{
    TrpPropertyEditor::GetValues();
    AddValue(QStringLiteral("(None)"));
    for (uint16_t shortCut : StandardShortCuts())
        AddValue(ShortCutToText(shortCut));
}

void TrpShortCutProperty::SetValue(const QString& value)
{
    if (value.isEmpty() || value.compare(u"(None)", Qt::CaseInsensitive) == 0)
        WriteOrdinal(0);
    else
        WriteOrdinal(TextToShortCut(value));
}

QString TrpCursorProperty::GetValue() const
{
    const int32_t value = ReadOrdinal();
    for (const CursorInfo& info : CursorNames())
        if (info.Code == value)
            return QString::fromLatin1(info.Name);
    return QString::number(value);
}

void TrpCursorProperty::GetValues()
{
    TrpPropertyEditor::GetValues();
    for (const CursorInfo& info : CursorNames())
        AddValue(QString::fromLatin1(info.Name));
    MutableValues().sort();
}

void TrpCursorProperty::SetValue(const QString& value)
{
    for (const CursorInfo& info : CursorNames())
        if (value.compare(QLatin1String(info.Name), Qt::CaseInsensitive) == 0) {
            WriteOrdinal(info.Code);
            return;
        }
    WriteOrdinal(StrToInt(value));
}

QString TrpDateTimeProperty::GetValue() const
{
    const double value = ReadFloat();
    return value == 0 ? QString() : DateTimeToStr(value, Formats());
}

void TrpDateTimeProperty::SetValue(const QString& value)
{
    WriteFloat(value.isEmpty() ? 0.0 : StrToDateTime(value, Formats()));
}

QString TrpDateProperty::GetValue() const
{
    const double value = ReadFloat();
    return value == 0 ? QString() : DateToStr(value, Formats());
}

void TrpDateProperty::SetValue(const QString& value)
{
    WriteFloat(value.isEmpty() ? 0.0 : StrToDate(value, Formats()));
}

QString TrpTimeProperty::GetValue() const
{
    const double value = ReadFloat();
    return value == 0 ? QString() : TimeToStr(value, Formats());
}

void TrpTimeProperty::SetValue(const QString& value)
{
    WriteFloat(value.isEmpty() ? 0.0 : StrToTime(value, Formats()));
}

// ---------------------------------------------------------------------------------------------
// Property lists

TrpPropertyItem::~TrpPropertyItem() = default;

TrpPropertyList::TrpPropertyList(TrpCustomDesigner* designer, TrpPropertyList* parent)
    : designer_(designer), parent_(parent)
{
}

TrpPropertyList::~TrpPropertyList() = default;

int TrpPropertyList::Depth() const
{
    int depth = 0;
    for (const TrpPropertyList* list = parent_; list != nullptr; list = list->parent_)
        ++depth;
    return depth;
}

TrpPropertyItem& TrpPropertyList::Add()
{
    items_.push_back(std::make_unique<TrpPropertyItem>());
    return *items_.back();
}

void TrpPropertyList::Delete(int index)
{
    items_.erase(items_.begin() + index);
}

std::unique_ptr<TrpPropertyItem> TrpPropertyList::Take(int index)
{
    std::unique_ptr<TrpPropertyItem> item = std::move(items_[static_cast<size_t>(index)]);
    items_.erase(items_.begin() + index);
    return item;
}

void TrpPropertyList::Insert(std::unique_ptr<TrpPropertyItem> item)
{
    items_.push_back(std::move(item));
}

TrpPropertyItem* TrpPropertyList::Find(QStringView name) const
{
    for (const auto& item : items_)
        if (item->Editor() != nullptr && item->Editor()->GetName() == name)
            return item.get();
    return nullptr;
}

void TrpPropertyList::SetComponent(ScriptObject* component)
{
    component_ = component;
    items_.clear();
    CollectProperties(component);
}

namespace {

// The editor of a property: the registry's entry, else the default class of its kind; none
// when the registry hides it or the class name is unknown.
std::unique_ptr<TrpPropertyEditor> MakeEditor(const PropertyInfo& property, ScriptObject& object,
                                              const QString& defaultClass, TrpCustomDesigner* designer)
{
    const TrpPropertyEditorCollection& registry = GetPropertyEditorRegistry();
    const int entry = registry.GetPropertyEditor(property.TypeName, &object.ScriptClass(), property.Name);
    QString className = defaultClass;
    if (entry >= 0)
        className = registry.Items(entry).EditorClass;
    if (className.isEmpty())
        return nullptr;
    std::unique_ptr<TrpPropertyEditor> editor = CreatePropertyEditor(className, designer);
    if (editor)
        editor->AddEdited(&object, &property);
    return editor;
}

QString DefaultEditorClass(const PropertyInfo& property)
{
    switch (property.Kind) {
    case PropertyKind::Integer:
        return QStringLiteral("TrpIntegerProperty");
    case PropertyKind::Char:
        return QStringLiteral("TrpCharProperty");
    case PropertyKind::Enum:
        if (property.Enum == &PropertyRegistry::Global().BooleanEnum())
            return QStringLiteral("TrpBooleanProperty");
        return QStringLiteral("TrpEnumProperty");
    case PropertyKind::Float:
        return QStringLiteral("TrpFloatProperty");
    case PropertyKind::String:
    case PropertyKind::EventName:
        return QStringLiteral("TrpStringProperty");
    case PropertyKind::Set:
        return QStringLiteral("TrpSetProperty");
    case PropertyKind::Reference:
        return QStringLiteral("TrpComponentProperty");
    case PropertyKind::NestedObject:
    case PropertyKind::StringList:
    case PropertyKind::WideStringList:
        return QStringLiteral("TrpClassProperty");
    case PropertyKind::Int64:
    case PropertyKind::Variant:
        break;
    }
    return QString();
}

} // namespace

void TrpPropertyList::CollectProperties(ScriptObject* object)
{
    if (object == nullptr)
        return;
    const RegisteredClass* cls = PropertyRegistry::Global().FindFor(object->ScriptClass());
    if (cls == nullptr)
        return;
    std::vector<const PropertyInfo*> properties = cls->AllProperties();
    std::stable_sort(properties.begin(), properties.end(), [](const PropertyInfo* a, const PropertyInfo* b) {
        return a->Name.compare(b->Name, Qt::CaseInsensitive) < 0;
    });
    for (const PropertyInfo* property : properties) {
        const QString defaultClass = DefaultEditorClass(*property);
        if (defaultClass.isEmpty())
            continue;
        std::unique_ptr<TrpPropertyEditor> editor = MakeEditor(*property, *object, defaultClass, designer_);
        if (!editor)
            continue;
        auto item = std::make_unique<TrpPropertyItem>();
        if (property->Kind == PropertyKind::Set && property->Enum != nullptr) {
            item->subProperty_ = std::make_unique<TrpPropertyList>(designer_, this);
            item->subProperty_->component_ = object;
            for (int ordinal = property->MinValue(); ordinal <= property->MaxValue(); ++ordinal) {
                std::unique_ptr<TrpPropertyEditor> element =
                    MakeEditor(*property, *object, QStringLiteral("TrpSetElementProperty"), designer_);
                auto* setElement = dynamic_cast<TrpSetElementProperty*>(element.get());
                if (setElement == nullptr)
                    continue;
                setElement->SetElement(ordinal);
                TrpPropertyItem& sub = item->subProperty_->Add();
                sub.editor_ = std::move(element);
            }
        } else if (property->IsOwnedObject()) {
            ScriptObject* value = property->GetObject ? property->GetObject(*object) : nullptr;
            auto sub = std::make_unique<TrpPropertyList>(designer_, this);
            sub->SetComponent(value);
            if (sub->Count() > 0)
                item->subProperty_ = std::move(sub);
        }
        item->editor_ = std::move(editor);
        items_.push_back(std::move(item));
    }
}

namespace {

bool SameProperty(const TrpPropertyItem& a, const TrpPropertyItem& b)
{
    const PropertyInfo* pa = a.Editor()->PropInfo();
    const PropertyInfo* pb = b.Editor()->PropInfo();
    // Set elements share their set's property: their names tell them apart.
    return pa->Kind == pb->Kind && a.Editor()->GetName() == b.Editor()->GetName();
}

const TrpPropertyItem* Matching(const TrpPropertyList& list, const TrpPropertyItem& item)
{
    for (int i = 0; i < list.Count(); ++i)
        if (SameProperty(list.Items(i), item))
            return &list.Items(i);
    return nullptr;
}

// Keeps in `target` the multi-select items `other` has too, and the reverse.
void Intersect(TrpPropertyList& target, TrpPropertyList& other)
{
    for (int i = target.Count() - 1; i >= 0; --i) {
        const TrpPropertyItem& item = target.Items(i);
        if ((item.Editor()->GetAttributes() & paMultiSelect) == 0 || Matching(other, item) == nullptr)
            target.Delete(i);
    }
    for (int i = other.Count() - 1; i >= 0; --i) {
        const TrpPropertyItem& item = other.Items(i);
        if ((item.Editor()->GetAttributes() & paMultiSelect) == 0 || Matching(target, item) == nullptr)
            other.Delete(i);
    }
}

// Adds the objects of `other`'s editors to those of `target`, item by item by property name,
// and so on down the sub-lists (sub-lists of different classes keep their common rows).
void Join(TrpPropertyList& target, TrpPropertyList& other)
{
    Intersect(target, other);
    for (int i = 0; i < target.Count(); ++i) {
        TrpPropertyItem& item = target.Items(i);
        const TrpPropertyItem* match = Matching(other, item);
        if (match == nullptr)
            continue;
        TrpPropertyEditor* from = match->Editor();
        for (int k = 0; k < from->EditedCount(); ++k)
            item.Editor()->AddEdited(from->Edited(k), from->EditedProperty(k));
        if (item.SubProperty() != nullptr && match->SubProperty() != nullptr)
            Join(*item.SubProperty(), *match->SubProperty());
    }
}

} // namespace

std::unique_ptr<TrpPropertyList> BuildCommonPropertyList(const std::vector<ScriptObject*>& objects,
                                                        TrpCustomDesigner* designer)
{
    if (objects.empty())
        return nullptr;
    auto first = std::make_unique<TrpPropertyList>(designer);
    first->SetComponent(objects.front());
    for (size_t i = 1; i < objects.size(); ++i) {
        TrpPropertyList other(designer);
        other.SetComponent(objects[i]);
        Join(*first, other);
    }
    return first;
}

void RegisterHiddenProperties(const ScriptClassInfo* classRef, const QString& names)
{
    for (const QString& name : names.split(u';', Qt::SkipEmptyParts))
        GetPropertyEditorRegistry().Register(QString(), classRef, name.trimmed(), QString());
}

double TolerantStrToFloat(const QString& text)
{
    return ParseLocaleFloat(text);
}

// ---------------------------------------------------------------------------------------------
// Component editors

TrpComponentEditor::TrpComponentEditor(TrpComponent* component, TrpCustomDesigner* designer, QMenu* menu)
    : component_(component), designer_(designer), menu_(menu)
{
}

bool TrpComponentEditor::Execute(int, bool)
{
    return false;
}

QAction* TrpComponentEditor::AppendMenuItem(const QString& caption, int tag, bool checked)
{
    if (menu_ == nullptr)
        return nullptr;
    auto* action = new QAction(caption, menu_);
    // "-" stands for a separator, tagged -1 so that no Execute takes it for a switch.
    if (caption == u"-") {
        action->setSeparator(true);
        action->setData(-1);
        menu_->addAction(action);
        return action;
    }
    action->setCheckable(true);
    action->setChecked(checked);
    action->setData(tag);
    menu_->addAction(action);
    return action;
}

void RegisterPropertyEditorClass(const QString& name, PropertyEditorFactory factory)
{
    PropertyEditorClasses()[name] = std::move(factory);
}

void RegisterComponentEditorClass(const QString& name, ComponentEditorFactory factory)
{
    ComponentEditorClasses()[name] = std::move(factory);
}

void ClearEditorClasses()
{
    PropertyEditorClasses().clear();
    ComponentEditorClasses().clear();
}

std::unique_ptr<TrpPropertyEditor> CreatePropertyEditor(QStringView className, TrpCustomDesigner* designer)
{
    const auto& table = PropertyEditorClasses();
    const auto it = table.find(className.toString());
    return it != table.end() ? it->second(designer) : nullptr;
}

std::unique_ptr<TrpComponentEditor> GetComponentEditor(TrpComponent* component, TrpCustomDesigner* designer,
                                                       QMenu* menu)
{
    if (component == nullptr)
        return nullptr;
    const TrpComponentEditorCollection& registry = GetComponentEditorRegistry();
    const ScriptClassInfo& cls = component->ScriptClass();
    int chosen = -1;
    for (int i = 0; i < registry.Count(); ++i) {
        const ScriptClassInfo* entry = registry.Items(i).ComponentClass;
        if (entry == nullptr)
            continue;
        if (entry == &cls) {
            chosen = i;
            break;
        }
        if (cls.InheritsFrom(*entry))
            chosen = i;
    }
    if (chosen < 0)
        return nullptr;
    const auto& table = ComponentEditorClasses();
    const auto it = table.find(registry.Items(chosen).ComponentEditor);
    return it != table.end() ? it->second(component, designer, menu) : nullptr;
}
