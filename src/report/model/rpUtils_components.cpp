// The report utilities that need report components: component paths over the named global
// roots, the collection form of the report's defined properties and the message boxes.

#include "rpUtils.h"

#include "rpClass.h"
#include "rpRes.h"
#include "rpTaggedValues.h"
#include "rpXMLSerializer.h"

#include "report/core/Services.h"

#include <QPointer>

#include <vector>

namespace {

// Text after a dot is taken up to this many characters.
constexpr qsizetype kMaxPathPart = 255;

struct GlobalRoot {
    QString Name;
    QPointer<QObject> Root;
    std::function<TrpComponent*(QStringView)> Find;
    QPointer<QObject> Parent; // the root this one lives in, or none
    bool HasParent = false;
};

std::vector<GlobalRoot>& Roots()
{
    static std::vector<GlobalRoot>* roots = new std::vector<GlobalRoot>; // outlives every static object
    std::erase_if(*roots, [](const GlobalRoot& r) { return r.Root.isNull() || (r.HasParent && r.Parent.isNull()); });
    return *roots;
}

const GlobalRoot* RootOf(const QObject* object)
{
    if (object == nullptr)
        return nullptr;
    for (const GlobalRoot& root : Roots()) {
        if (root.Root.data() == object)
            return &root;
    }
    return nullptr;
}

// A root by name; with `parent` only a root registered inside it, else only a top-level one.
const GlobalRoot* RootNamed(QStringView name, const QObject* parent)
{
    for (const GlobalRoot& root : Roots()) {
        const bool placed = parent == nullptr ? !root.HasParent : root.Parent.data() == parent;
        if (placed && root.Name.compare(name, Qt::CaseInsensitive) == 0)
            return &root;
    }
    return nullptr;
}

TrpComponent* FindInRoot(const GlobalRoot& root, QStringView name)
{
    return root.Find ? root.Find(name.left(kMaxPathPart)) : nullptr;
}

} // namespace

void RegisterGlobalRoot(const QString& name, QObject* root, std::function<TrpComponent*(QStringView name)> find,
                        QObject* parentRoot)
{
    UnregisterGlobalRoot(root);
    if (root == nullptr)
        return;
    Roots().push_back(GlobalRoot{name, root, std::move(find), parentRoot, parentRoot != nullptr});
}

void UnregisterGlobalRoot(QObject* root)
{
    std::erase_if(Roots(), [root](const GlobalRoot& r) { return r.Root.data() == root; });
}

TrpComponent* FindComponentByPath(const TrpComponent* owner, QStringView name)
{
    try {
        const qsizetype dot = name.indexOf(u'.');
        if (dot >= 0) {
            const GlobalRoot* root = RootNamed(name.left(dot), nullptr);
            if (root == nullptr)
                return nullptr;
            const QStringView rest = name.mid(dot + 1);
            const qsizetype second = rest.indexOf(u'.');
            if (second < 0)
                return FindInRoot(*root, rest);
            const GlobalRoot* frame = RootNamed(rest.left(second).left(kMaxPathPart), root->Root.data());
            return frame != nullptr ? FindInRoot(*frame, rest.mid(second + 1)) : nullptr;
        }
        if (owner == nullptr)
            return nullptr;
        if (TrpComponent* found = owner->FindObject(name))
            return found;
        if (owner->IsReport()) {
            if (const GlobalRoot* root = RootOf(owner->Owner()))
                return FindInRoot(*root, name);
        }
        return nullptr;
    } catch (const platform::Exception&) {
        throw EClassNotFound(ResourceText(u"xrMissingComponent", {Variant(name.toString())}).toStdString());
    }
}

QString GetComponentPath(const TrpComponent* root, const TrpComponent* component)
{
    if (component == nullptr)
        return QString();
    const QObject* owner = component->Owner();
    if (owner == nullptr || owner == root || (root != nullptr && root->IsReport() && owner == root->Owner()))
        return component->Name();
    if (const GlobalRoot* global = RootOf(owner)) {
        if (const GlobalRoot* parent = global->HasParent ? RootOf(global->Parent.data()) : nullptr)
            return parent->Name + u'.' + global->Name + u'.' + component->Name();
        return global->Name + u'.' + component->Name();
    }
    return QString();
}

void WriteCollectionItems(TrpCollection& collection, TrpValueWriter& writer, TrpComponent* report)
{
    TrpXMLSerializer serializer;
    serializer.SetOwner(report);
    writer.WriteListBegin();
    for (int i = 0; i < collection.Count(); ++i) {
        writer.WriteListBegin();
        writer.WriteString(serializer.ObjToXML(collection.CollectionItem(i)));
        writer.WriteListEnd();
    }
    writer.WriteListEnd();
}

void ReadCollectionItems(TrpCollection& collection, TrpValueReader& reader, TrpComponent* report)
{
    TrpXMLSerializer* loading = report != nullptr ? report->CurrentSerializer() : nullptr;
    if (reader.NextValue() == vaCollection) {
        reader.SkipValue();
        const QString message = GetResourcesInstance().Get(u"xrCollectionForm");
        if (loading != nullptr)
            loading->AddError(message);
        else if (report != nullptr)
            report->AddErrors({message});
        return;
    }
    collection.ClearItems();
    reader.ReadListBegin();
    while (!reader.EndOfList()) {
        reader.ReadListBegin();
        ScriptObject* item = collection.AddItem();
        if (!reader.EndOfList()) {
            const QString text = reader.ReadString();
            if (loading != nullptr) {
                loading->XMLToObj(text, item);
            } else {
                TrpXMLSerializer own;
                own.SetOwner(report);
                own.ReadPersistentStr(report, item, text);
                if (report != nullptr && !own.Errors().isEmpty())
                    report->AddErrors(own.Errors());
            }
        }
        while (!reader.EndOfList())
            reader.SkipValue();
        reader.ReadListEnd();
    }
    reader.ReadListEnd();
}

void ErrorMessageBox(const QString& text)
{
    ReportServices::Ui().MessageDlg(GetResourcesInstance().Get(u"mbError"), text, UiMessageType::Error,
                                    UiButtons({mbOK}));
}

int ConfirmMessageBox(const QString& text, uint32_t buttons)
{
    return ReportServices::Ui().MessageDlg(GetResourcesInstance().Get(u"mbConfirm"), text,
                                           UiMessageType::Confirmation, buttons);
}

void InfoMessageBox(const QString& text)
{
    ReportServices::Ui().MessageDlg(GetResourcesInstance().Get(u"mbInfo"), text, UiMessageType::Information,
                                    UiButtons({mbOK}));
}
