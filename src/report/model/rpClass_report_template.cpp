// Templates: a report that names a template (ParentReport) is the template's content with its
// own objects stored as differences; InheritFromTemplate turns a report into one.

#include "rpClass_report.h"

#include "rpClass_pages.h"
#include "rpRes.h"
#include "rpStreams.h"
#include "rpUtils.h"
#include "rpXMLSerializer.h"

#include "report/core/InputFiles.h"
#include "report/core/PropertyRegistry.h"
#include "report/core/Services.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <map>

namespace {

// The templates being applied right now, innermost last: a template that names one of them
// (or the report itself) would be applied without end.
std::vector<QString>& ActiveTemplates()
{
    static thread_local std::vector<QString> active;
    return active;
}

class ActiveTemplate {
public:
    explicit ActiveTemplate(const QString& key) { ActiveTemplates().push_back(key); }
    ~ActiveTemplate() { ActiveTemplates().pop_back(); }
    ActiveTemplate(const ActiveTemplate&) = delete;
    ActiveTemplate& operator=(const ActiveTemplate&) = delete;
};

// A file's identity: its canonical path when it exists, else its clean absolute path.
QString FileKey(const QString& fileName)
{
    const QFileInfo info(fileName);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

bool IsAbsoluteOrNetwork(const QString& name)
{
    return QDir::isAbsolutePath(name) || name.startsWith(QLatin1String("\\\\")) ||
           (name.size() > 1 && name[1] == u':');
}

// Writes a report's tree as it is (no password handling) and reads it into another.
QByteArray TreeBytes(TrpReport& report)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    report.TrpComponent::SaveToStream(buffer, true, true, false);
    return buffer.data();
}

void ReadTree(TrpReport& report, const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    report.TrpComponent::LoadFromStream(buffer);
}

} // namespace

void TrpReport::ClearAncestorMarks()
{
    SetAncestor(false);
    for (TrpComponent* object : AllObjects())
        object->SetAncestor(false);
}

bool TrpReport::LoadTemplate(const QString& fileName)
{
    QString reason;
    const std::unique_ptr<QFile> file = OpenInputFile(fileName, kMaxReportXMLFileBytes, reason);
    if (file == nullptr)
        return false;
    Clear();
    try {
        TrpComponent::LoadFromStream(*file);
    } catch (const platform::Exception& failure) {
        AddError(QString::fromStdString(failure.Message()));
    }
    CheckDataPage();
    return true;
}

void TrpReport::SetParentReport(const QString& fileName)
{
    parentReport_ = fileName;
    parentReportObject_.reset();
    if (fileName.isEmpty()) {
        ClearAncestorMarks();
        return;
    }

    // Where the template is: the application loads it itself, or it is looked up beside the
    // report's own file and then in the program's folder.
    QString path = fileName;
    if (!OnLoadTemplate && fileName.size() > 1 && !IsAbsoluteOrNetwork(fileName)) {
        const QString besideReport = fileName_.isEmpty()
                                         ? QString()
                                         : QFileInfo(fileName_).absoluteDir().filePath(fileName);
        path = !besideReport.isEmpty() && QFileInfo(besideReport).isFile()
                   ? besideReport
                   : QDir(GetApplicationFolder()).filePath(fileName);
    }
    const QString key = OnLoadTemplate ? fileName : FileKey(path);
    const std::vector<QString>& active = ActiveTemplates();
    const bool cycle = (!fileName_.isEmpty() && !OnLoadTemplate && key == FileKey(fileName_)) ||
                       std::find(active.begin(), active.end(), key) != active.end();
    if (cycle || static_cast<int>(active.size()) >= kMaxTemplateDepth) {
        AddError(FormatResource(GetResourcesInstance().Get(cycle ? u"xrTemplateCycle" : u"xrTemplateTooDeep"),
                                {Variant(fileName)}));
        return;
    }
    const ActiveTemplate applying(key);

    const QString ownFile = fileName_;
    const QString ownName = Name();
    TrpXMLSerializer* const serializer = serializer_;
    // While the template's content comes in, the report names the template's own template
    // (if any), so that the copy below is the template as it is.
    parentReport_.clear();
    if (OnLoadTemplate) {
        OnLoadTemplate(*this, fileName);
    } else if (!LoadTemplate(path)) {
        // Applied without its content the report's own objects would become "inherited" and be
        // saved as empty differences: a template that cannot be read is not applied.
        AddError(FormatResource(GetResourcesInstance().Get(u"xrTemplateMissing"), {Variant(fileName)}));
        parentReport_ = fileName;
        return;
    }
    fileName_ = ownFile;

    // The copy the report's objects are compared with when it is saved: the template as it
    // now stands, written whole (the objects it inherits included, as plain elements, not as
    // differences) and without the name of its own template, so that reading the copy applies
    // no template again. Each level of nested templates is then read once, not once more for
    // every copy above it.
    auto copy = std::make_unique<TrpReport>();
    copy->OnLoadTemplate = OnLoadTemplate;
    copy->fileName_ = path;
    const QString nestedTemplate = parentReport_;
    try {
        QBuffer whole;
        whole.open(QIODevice::WriteOnly);
        parentReport_.clear();
        TrpXMLSerializer writer(&whole);
        writer.SetOwner(this);
        writer.SerializeDefaultValues = true;
        writer.WriteRootComponent(this, true, nullptr, true);
        ReadTree(*copy, whole.data());
    } catch (const platform::Exception& failure) {
        AddError(QString::fromStdString(failure.Message()));
    }
    copy->parentReport_ = nestedTemplate;
    for (TrpComponent* object : copy->AllObjects()) {
        if (auto* page = dynamic_cast<TrpReportPage*>(object))
            page->SetPaperSize(kPaperCustom);
    }
    parentReportObject_ = std::move(copy);

    SetAncestor(true);
    for (TrpComponent* object : AllObjects())
        object->SetAncestor(true);
    parentReport_ = fileName;
    serializer_ = serializer;
    try {
        SetName(ownName);
    } catch (const platform::Exception&) {
        // The template's objects may use the name; the report keeps the template's.
    }
}

namespace {

QString ScriptCommentOpen(const QString& language)
{
    if (language.compare(u"R++Idirud", Qt::CaseInsensitive) == 0 || language.compare(u"JScript", Qt::CaseInsensitive) == 0)
        return QStringLiteral("/*");
    if (language.compare(u"ZuvivUradur", Qt::CaseInsensitive) == 0)
        return QStringLiteral("/\\");
    return QStringLiteral("{");
}

QString ScriptCommentClose(const QString& language)
{
    if (language.compare(u"R++Idirud", Qt::CaseInsensitive) == 0 || language.compare(u"JScript", Qt::CaseInsensitive) == 0)
        return QStringLiteral("*/");
    if (language.compare(u"ZuvivUradur", Qt::CaseInsensitive) == 0)
        return QStringLiteral("/\\");
    return QStringLiteral("}");
}

// Merges the objects of one report into another, from the report level down.
class TemplateMerge {
public:
    TemplateMerge(TrpReport& target, bool deleteDuplicates) : target_(target), deleteDuplicates_(deleteDuplicates)
    {
        serializer_.SetOwner(&target);
    }

    void Run(TrpReport& source)
    {
        // The report itself: only what differs from the defaults.
        serializer_.SerializeDefaultValues = false;
        serializer_.XMLToObj(serializer_.ObjToXML(&source), &target_);
        serializer_.SerializeDefaultValues = true;
        MergeChildren(source, target_);
        ResolveReferences();
    }

private:
    void MergeChildren(const TrpComponent& source, TrpComponent& target)
    {
        for (TrpComponent* child : source.Objects()) {
            TrpComponent* counterpart = nullptr;
            TrpComponent* existing = child->Name().isEmpty() ? nullptr : target_.FindObject(child->Name());
            if (child->IsPage()) {
                if (existing != nullptr && existing->IsPage())
                    counterpart = existing;
            } else if (existing != nullptr && deleteDuplicates_) {
                continue;
            }
            if (counterpart == nullptr) {
                counterpart = Create(*child, target, existing != nullptr);
                if (counterpart == nullptr)
                    continue;
            }
            serializer_.XMLToObj(serializer_.ObjToXML(child), counterpart);
            MergeChildren(*child, *counterpart);
        }
    }

    // A new object of the source's class under `parent`, named like the source or, when the
    // name is taken or empty, given a unique one (references to the old name follow it).
    TrpComponent* Create(const TrpComponent& source, TrpComponent& parent, bool nameTaken)
    {
        const RegisteredClass* parentClass = PropertyRegistry::Global().FindFor(parent.ScriptClass());
        if (parentClass != nullptr && !parentClass->Accepts(parent, source.ScriptClass()))
            return nullptr;
        std::unique_ptr<TrpComponent> made = TrpComponent::CreateByName(source.ClassName());
        if (made == nullptr)
            return nullptr;
        TrpComponent* object = made.release();
        object->AttachTo(&parent);
        if (!nameTaken && !source.Name().isEmpty()) {
            object->SetName(source.Name());
        } else {
            object->CreateUniqueName();
            if (!source.Name().isEmpty())
                renamed_[source.Name().toCaseFolded()] = object->Name();
        }
        return object;
    }

    void ResolveReferences()
    {
        std::vector<TrpFixupItem> fixups;
        serializer_.CopyFixupList(&fixups);
        for (const TrpFixupItem& fixup : fixups) {
            ScriptObject* object = fixup.Object();
            if (object == nullptr || fixup.PropInfo == nullptr || !fixup.PropInfo->SetObject)
                continue;
            QString name = fixup.Value;
            if (const auto found = renamed_.find(name.toCaseFolded()); found != renamed_.end())
                name = found->second;
            try {
                TrpComponent* referenced = target_.FindObject(name);
                if (referenced == nullptr)
                    referenced = FindComponentByPath(&target_, name);
                if (referenced != nullptr &&
                    (fixup.PropInfo->ObjectClass == nullptr ||
                     referenced->ScriptClass().InheritsFrom(*fixup.PropInfo->ObjectClass)))
                    fixup.PropInfo->SetObject(*object, referenced);
            } catch (const platform::Exception& failure) {
                target_.AddError(QString::fromStdString(failure.Message()));
            }
        }
    }

    TrpReport& target_;
    bool deleteDuplicates_;
    TrpXMLSerializer serializer_;
    std::map<QString, QString> renamed_; // case-folded old name -> new name
};

} // namespace

bool TrpReport::InheritFromTemplate(const QString& templateName, TrpInheritMode mode)
{
    const auto absolute = [](const QString& name) {
        return name.size() > 1 && (name.startsWith(u'.') || name.startsWith(u'/')) ? FileKey(name) : name;
    };
    const QString ownFile = absolute(fileName_);
    const QString templateFile = absolute(templateName);
    if (!ownFile.isEmpty() && ownFile == templateFile)
        return false;

    // The report as it was, to merge from (and to go back to on cancel).
    const QByteArray before = TreeBytes(*this);
    TrpReport copy;
    copy.Reloading = true;
    ReadTree(copy, before);

    const QString relative =
        ownFile.isEmpty() ? templateFile : QFileInfo(ownFile).absoluteDir().relativeFilePath(templateFile);
    SetParentReport(relative);

    bool conflicts = false;
    for (const TrpComponent* object : copy.AllObjects()) {
        if (!object->IsPage() && !object->Name().isEmpty() && FindObject(object->Name()) != nullptr) {
            conflicts = true;
            break;
        }
    }
    bool deleteDuplicates = mode == imDelete;
    if (conflicts && mode == imDefault) {
        bool deleteChosen = true;
        const auto& ask = ModelServices().InheritConflict;
        const int result = ask ? ask(deleteChosen) : mrCancel;
        if (result != mrOk) {
            Clear();
            ReadTree(*this, before);
            return false;
        }
        deleteDuplicates = deleteChosen;
    }

    const QStringList templateScript = scriptText_;
    const QString templateLanguage = ScriptLanguage;
    TemplateMerge(*this, deleteDuplicates).Run(copy);
    QStringList script = templateScript;
    script << ScriptCommentOpen(templateLanguage) << QStringLiteral("**********Script from parent report**********");
    script << copy.ScriptText();
    script << ScriptCommentClose(templateLanguage);
    scriptText_ = script;
    ScriptLanguage = templateLanguage;
    dataSets_->Rebind();
    return true;
}
