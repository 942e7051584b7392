#include "rpVariables.h"

#include "rpStreams.h"
#include "rpXML.h"
#include "rpXMLSerializer.h"

#include "report/core/PropertyRegistry.h"
#include "report/script/sc_iconsts.h"

namespace {

// Category headings begin with a blank.
bool IsCategory(const QString& name)
{
    return name.startsWith(u' ');
}

bool SameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The names of category headings are cut here when listed.
constexpr qsizetype kMaxCategoryName = 255;

} // namespace

// --- TrpVariable

const ScriptClassInfo& TrpVariables::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpVariables"), nullptr};
    return info;
}

const ScriptClassInfo& TrpArray::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpArray"), nullptr};
    return info;
}

const ScriptClassInfo& TrpVariable::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpVariable"), nullptr};
    return info;
}

void TrpVariable::Assign(const TrpVariable& source)
{
    Name = source.Name;
    Value = source.Value;
}

void TrpVariable::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    using V = TrpVariable;
    RegisteredClass& c = registry.Register(Class(), [] { return std::make_unique<TrpVariable>(); });
    c.AddString(QStringLiteral("Name"), GetterOf<V>([](const V& o) { return Variant(o.Name); }),
                SetterOf<V>([](V& o, const Variant& v) { o.Name = v.ToString(); }));
    PropertyInfo value;
    value.Name = QStringLiteral("Value");
    value.Kind = PropertyKind::Variant;
    value.TypeName = QStringLiteral("Variant");
    value.Get = GetterOf<V>([](const V& o) { return o.Value; });
    value.Set = SetterOf<V>([](V& o, const Variant& v) { o.Value = v; });
    c.Add(std::move(value));
}

// --- TrpVariableList

TrpVariable* TrpVariableList::Add()
{
    items_.push_back(std::make_unique<TrpVariable>());
    return items_.back().get();
}

TrpVariable* TrpVariableList::Insert(int index)
{
    if (index < 0 || index > Count())
        throw platform::Exception(FormatScMessage(TscMessage::SListIndexError, QString::number(index)).toStdString());
    return items_.insert(items_.begin() + index, std::make_unique<TrpVariable>())->get();
}

void TrpVariableList::Delete(int index)
{
    if (index < 0 || index >= Count())
        throw platform::Exception(FormatScMessage(TscMessage::SListIndexError, QString::number(index)).toStdString());
    items_.erase(items_.begin() + index);
}

void TrpVariableList::Assign(const TrpVariableList& source)
{
    if (&source == this)
        return;
    items_.clear();
    for (const auto& item : source.items_)
        Add()->Assign(*item);
}

// --- TrpVariables

int TrpVariables::IndexOf(const QString& name) const
{
    for (int i = 0; i < Count(); ++i) {
        if (SameName(Items(i)->Name, name))
            return i;
    }
    return -1;
}

Variant TrpVariables::GetValue(const QString& name) const
{
    const int index = IndexOf(name);
    return index >= 0 ? Items(index)->Value : Variant::NullValue();
}

void TrpVariables::SetValue(const QString& name, const Variant& value)
{
    const int index = IndexOf(name);
    TrpVariable* variable = index >= 0 ? Items(index) : Add();
    if (index < 0)
        variable->Name = name;
    variable->Value = value;
}

void TrpVariables::GetCategoriesList(QStringList& list, bool clearList) const
{
    if (clearList)
        list.clear();
    for (int i = 0; i < Count(); ++i) {
        const QString& name = Items(i)->Name;
        if (IsCategory(name))
            list.append(name.mid(1, kMaxCategoryName));
    }
}

void TrpVariables::GetVariablesList(const QString& category, QStringList& list) const
{
    list.clear();
    int i = 0;
    if (!category.isEmpty()) {
        i = IndexOf(u' ' + category);
        if (i < 0)
            return;
        ++i;
    }
    // The run ends at the next heading, or at an entry with an empty name (a variable just
    // added and not yet named).
    for (; i < Count(); ++i) {
        const QString& name = Items(i)->Name;
        if (name.isEmpty() || IsCategory(name))
            break;
        list.append(name);
    }
}

void TrpVariables::DeleteCategory(const QString& name)
{
    const int heading = IndexOf(u' ' + name);
    if (heading < 0)
        return;
    int end = heading + 1;
    while (end < Count() && !IsCategory(Items(end)->Name))
        ++end;
    items_.erase(items_.begin() + heading, items_.begin() + end);
}

void TrpVariables::DeleteVariable(const QString& name)
{
    const int index = IndexOf(name);
    if (index >= 0)
        Delete(index);
}

void TrpVariables::AddVariable(const QString& category, const QString& name, const Variant& value)
{
    const int heading = IndexOf(u' ' + category);
    if (heading < 0)
        return;
    const int existing = IndexOf(name);
    if (existing >= 0) {
        Items(existing)->Value = value;
        return;
    }
    int end = heading + 1;
    while (end < Count() && !IsCategory(Items(end)->Name))
        ++end;
    TrpVariable* variable = Insert(end);
    variable->Name = name;
    variable->Value = value;
}

void TrpVariables::LoadFromFile(const QString& fileName)
{
    ReadFileWith(fileName, [this](QIODevice& in) { LoadFromStream(in); });
}

void TrpVariables::LoadFromStream(QIODevice& stream)
{
    Clear();
    TrpXMLDocument document;
    document.LoadFromStream(stream);
    TrpXMLItem* root = document.Root();
    if (root->Name().compare(u"variables", Qt::CaseInsensitive) == 0)
        LoadFromXMLItem(*root, document.OldVersion());
}

void TrpVariables::LoadFromXMLItem(TrpXMLItem& item, bool oldXMLFormat)
{
    Clear();
    TrpXMLSerializer serializer;
    serializer.OldFormat = oldXMLFormat;
    for (int i = 0; i < item.Count(); ++i) {
        TrpXMLItem& child = *item.Items(i);
        if (child.Name().compare(u"item", Qt::CaseInsensitive) == 0)
            serializer.XMLToObj(child.Text(), Add());
    }
}

void TrpVariables::SaveToXMLItem(TrpXMLItem& item) const
{
    TrpXMLSerializer serializer;
    for (int i = 0; i < Count(); ++i) {
        TrpXMLItem* child = item.Add(QStringLiteral("item"));
        child->SetText(serializer.ObjToXML(Items(i)));
    }
}

void TrpVariables::SaveToStream(QIODevice& stream) const
{
    TrpXMLDocument document;
    document.SetAutoIndent(true);
    document.Root()->SetName(QStringLiteral("variables"));
    SaveToXMLItem(*document.Root());
    document.SaveToStream(stream);
}

void TrpVariables::SaveToFile(const QString& fileName) const
{
    SaveFileAtomically(fileName, [this](QIODevice& out) { SaveToStream(out); });
}

// --- TrpArray

int TrpArray::IndexOf(const Variant& key) const
{
    const QString name = key.ToString();
    for (int i = 0; i < Count(); ++i) {
        if (SameName(Items(i)->Name, name))
            return i;
    }
    return -1;
}

Variant TrpArray::GetValue(const Variant& key) const
{
    const int index = IndexOf(key);
    return index >= 0 ? Items(index)->Value : Variant::NullValue();
}

void TrpArray::SetValue(const Variant& key, const Variant& value)
{
    const int index = IndexOf(key);
    TrpVariable* variable = index >= 0 ? Items(index) : Add();
    if (index < 0)
        variable->Name = key.ToString();
    variable->Value = value;
}

TrpVariables& GlobalVariables()
{
    static TrpVariables* variables = new TrpVariables; // outlives every report
    return *variables;
}
