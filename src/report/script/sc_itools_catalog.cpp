// The script catalogue: an XML description of everything a script can use (functions by
// category, classes with their members, enumerations, variables and constants), read by the
// code completion of the report designer. Attribute values go through the XML writer's
// escaping, so a description holding a double quote reads back as written.

#include "sc_itools.h"

#include "sc_iinterpreter.h"
#include "sc_iinterpreter_script.h"
#include "sc_xml.h"

#include <map>

namespace {

const QString kText = QStringLiteral("text");
const QString kItem = QStringLiteral("item");

TscXMLItem* AddEntry(TscXMLItem* parent, const QString& text)
{
    TscXMLItem* entry = parent->Add(kItem);
    entry->SetProp(kText, text);
    return entry;
}

// The catalogue text of one member of a class.
QString MemberText(const TscCustomVariable* member)
{
    if (const auto* method = dynamic_cast<const TscMethodHelper*>(member)) {
        if (method->IndexMethod) {
            const qsizetype blank = method->Syntax.indexOf(u' ');
            return QStringLiteral("index property") + (blank < 0 ? QString() : method->Syntax.mid(blank));
        }
        return method->Syntax;
    }
    if (dynamic_cast<const TscEventHelper*>(member) != nullptr)
        return QStringLiteral("event ") + member->Name();
    return QStringLiteral("property ") + member->Name() + QStringLiteral(": ") + member->GetFullTypeName();
}

void AddMembers(const TscClassVariable* cls, TscXMLItem* item)
{
    for (int i = 0; i < cls->MembersCount(); ++i)
        AddEntry(item, MemberText(cls->Member(i)));
}

} // namespace

void GenerateScriptCatalogXML(TscScript* script, TscXMLItem* item, bool functionsOnly)
{
    TscXMLItem* functions = item->FindItem(QStringLiteral("Functions"));
    TscXMLItem* classes = item->FindItem(QStringLiteral("Classes"));
    TscXMLItem* types = item->FindItem(QStringLiteral("Types"));
    TscXMLItem* variables = item->FindItem(QStringLiteral("Variables"));
    TscXMLItem* constants = item->FindItem(QStringLiteral("Constants"));

    // The values of each enumeration, gathered while its entries pass.
    std::map<TscXMLItem*, QStringList> enumValues;

    for (int i = 0; i < script->Count(); ++i) {
        const auto* value = dynamic_cast<const TscCustomVariable*>(script->Item(i));
        if (value == nullptr)
            continue; // binding modules and bridges
        if (const auto* method = dynamic_cast<const TscMethodHelper*>(value)) {
            TscXMLItem* category = functions->Find(method->Category) >= 0
                                       ? functions->Items(functions->Find(method->Category))
                                       : functions->Add(method->Category);
            category->SetProp(kText, method->Category);
            TscXMLItem* entry = AddEntry(category, method->Syntax);
            entry->SetProp(QStringLiteral("description"), method->Description);
            continue;
        }
        if (functionsOnly)
            continue;
        if (const auto* cls = dynamic_cast<const TscClassVariable*>(value)) {
            TscXMLItem* entry =
                AddEntry(classes, cls->Name() + QStringLiteral(" = class(") + cls->Ancestor + QStringLiteral(")"));
            AddMembers(cls, entry);
            continue;
        }
        if (dynamic_cast<const TscVariable*>(value) == nullptr)
            continue; // types, helpers, routines
        if (value->Typ == fvtEnum) {
            TscXMLItem* type =
                types->Find(value->TypeName) >= 0 ? types->Items(types->Find(value->TypeName)) : types->Add(value->TypeName);
            QStringList& names = enumValues[type];
            if (value->Name().compare(value->TypeName, Qt::CaseInsensitive) != 0)
                names.append(value->Name());
            continue;
        }
        QString text = value->Name() + QStringLiteral(": ") + value->GetFullTypeName();
        if (value->IsReadOnly) {
            const Variant v = const_cast<TscCustomVariable*>(value)->PValue();
            QString shown;
            try {
                shown = VarToStr(v);
            } catch (const std::exception&) {
                shown.clear(); // a value without a text form (an array)
            }
            AddEntry(constants, text + QStringLiteral(" = ") + shown);
        } else {
            AddEntry(variables, text);
        }
    }

    for (int i = 0; i < types->Count(); ++i) {
        TscXMLItem* type = types->Items(i);
        if (type->Name() == kItem)
            continue;
        const QString name = type->Name();
        type->SetName(kItem);
        type->SetText(QString());
        type->SetProp(kText, name + QStringLiteral(": (") + enumValues[type].join(u',') + QStringLiteral(")"));
    }
}

void GenerateClassMembersXML(TscScript* script, TscClassVariable* cls, TscXMLItem* item)
{
    for (int i = 0; i < script->Count(); ++i) {
        const auto* descriptor = dynamic_cast<const TscClassVariable*>(script->Item(i));
        if (descriptor != nullptr && cls->InheritsFrom(descriptor))
            AddMembers(descriptor, item);
    }
}
