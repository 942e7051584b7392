#include "rpDesgnCtrls.h"

#include "report/engine/rpPictureCache.h"
#include "report/model/rpClass.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_services.h"
#include "report/model/rpClass_views.h"
#include "report/model/rpRes.h"
#include "report/model/rpXML.h"
#include "report/model/rpXMLSerializer.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>

#include <algorithm>

namespace {

std::vector<TrpPictureView*> PictureViews(TrpComponent* component)
{
    std::vector<TrpPictureView*> views;
    std::vector<TrpComponent*> objects = component->AllObjects();
    objects.insert(objects.begin(), component);
    for (TrpComponent* object : objects)
        if (auto* view = dynamic_cast<TrpPictureView*>(object))
            views.push_back(view);
    return views;
}

// Gives a view the number of its picture in the cache, storing the picture only when the
// number it has does not hold it already (snapshots are taken often).
void NumberPicture(TrpPictureCache& cache, TrpPictureView& view)
{
    if (view.Picture().IsEmpty()) {
        view.ImageIndex = 0;
        return;
    }
    if (view.ImageIndex > 0 && view.ImageIndex <= cache.Count() &&
        cache.PictureBytes(view.ImageIndex) == view.Picture().Data())
        return;
    cache.AddPicture(&view);
}

// Picture views write their picture number instead of the picture while it lives, and the
// picture again afterwards, whatever happens meanwhile.
class ImageIndexWriting {
public:
    ImageIndexWriting(TrpComponent* component, TrpPictureCache* cache) : views_(PictureViews(component))
    {
        if (cache == nullptr) {
            views_.clear();
            return;
        }
        for (TrpPictureView* view : views_) {
            NumberPicture(*cache, *view);
            view->IsPictureStored = false;
            view->IsImageIndexStored = true;
        }
    }
    ~ImageIndexWriting()
    {
        for (TrpPictureView* view : views_) {
            view->IsPictureStored = true;
            view->IsImageIndexStored = false;
        }
    }
    ImageIndexWriting(const ImageIndexWriting&) = delete;
    ImageIndexWriting& operator=(const ImageIndexWriting&) = delete;

private:
    std::vector<TrpPictureView*> views_;
};

bool ClassInherits(const ScriptClassInfo* info, QStringView name)
{
    for (; info != nullptr; info = info->Ancestor)
        if (info->Name == name)
            return true;
    return false;
}

bool IsOneOf(const ScriptClassInfo* info, std::initializer_list<const char16_t*> names)
{
    for (const char16_t* name : names)
        if (ClassInherits(info, QStringView(name)))
            return true;
    return false;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Undo

QByteArray TrpUndoBuffer::Snapshot(TrpComponent* component)
{
    QByteArray bytes;
    QBuffer stream(&bytes);
    stream.open(QIODevice::WriteOnly);
    ImageIndexWriting indexes(component, pictureCache_);
    component->SaveToStream(stream, true, false, false);
    return bytes;
}

void TrpUndoBuffer::Restore(TrpComponent* component, const QByteArray& snapshot)
{
    QByteArray bytes = snapshot;
    QBuffer stream(&bytes);
    stream.open(QIODevice::ReadOnly);
    auto* report = dynamic_cast<TrpReport*>(component);
    struct ReloadingFlag {
        TrpReport* report;
        explicit ReloadingFlag(TrpReport* r) : report(r)
        {
            if (report != nullptr)
                report->Reloading = true;
        }
        ~ReloadingFlag()
        {
            if (report != nullptr)
                report->Reloading = false;
        }
    } reloading(report);
    component->LoadFromStream(stream);
    if (pictureCache_ != nullptr)
        for (TrpPictureView* view : PictureViews(component))
            pictureCache_->GetPicture(view);
}

void TrpUndoBuffer::AddUndo(TrpComponent* component)
{
    undo_.push_back(Snapshot(component));
}

void TrpUndoBuffer::AddRedo(TrpComponent* component)
{
    redo_.push_back(Snapshot(component));
}

void TrpUndoBuffer::GetUndo(TrpComponent* component)
{
    if (undo_.size() < 2)
        return;
    Restore(component, undo_[undo_.size() - 2]);
    undo_.pop_back();
}

void TrpUndoBuffer::RestoreLastUndo(TrpComponent* component)
{
    if (undo_.empty())
        return;
    const QByteArray snapshot = undo_.back();
    undo_.pop_back();
    Restore(component, snapshot);
}

void TrpUndoBuffer::GetRedo(TrpComponent* component)
{
    if (redo_.empty())
        return;
    const QByteArray snapshot = redo_.back();
    redo_.pop_back();
    Restore(component, snapshot);
}

// ---------------------------------------------------------------------------------------------
// Clipboard

QString TrpClipboard::CopyText() const
{
    TrpComponent* page = designer_->Page();
    TrpComponent* report = designer_->Report();
    QString text = QLatin1String(kClipboardMarker) + QStringLiteral("\n\r");
    if (page == nullptr)
        return text;
    std::vector<TrpComponent*> selected;
    for (const auto& object : designer_->SelectedObjects())
        if (object != nullptr)
            selected.push_back(object.data());
    double minLeft = 100000;
    double minTop = 100000;
    for (TrpComponent* object : selected) {
        minLeft = std::min(minLeft, object->AbsLeft());
        minTop = std::min(minTop, object->AbsTop());
    }
    const auto isSelected = [&](const TrpComponent* object) {
        return std::find(selected.begin(), selected.end(), object) != selected.end();
    };
    TrpXMLSerializer serializer;
    serializer.SetOwner(report);
    const auto element = [&](TrpComponent* source) {
        std::unique_ptr<TrpComponent> copy = TrpComponent::CreateByName(source->ClassName());
        if (!copy)
            return;
        copy->SetOwner(report);
        auto* sourcePicture = dynamic_cast<TrpPictureView*>(source);
        if (sourcePicture != nullptr && pictureCache_ != nullptr)
            NumberPicture(*pictureCache_, *sourcePicture);
        copy->Assign(*source);
        if (auto* picture = dynamic_cast<TrpPictureView*>(copy.get())) {
            if (sourcePicture != nullptr)
                picture->ImageIndex = sourcePicture->ImageIndex;
            if (pictureCache_ != nullptr) {
                picture->IsPictureStored = false;
                picture->IsImageIndexStored = true;
            }
        }
        copy->SetLeft(copy->Left() - minLeft);
        copy->SetTop(source->AbsTop() - minTop);
        TrpXMLItem attributes;
        attributes.SetText(serializer.ObjToXML(copy.get()));
        attributes.DeleteProp(u"Name");
        QString attributeText = attributes.Text();
        if (!attributeText.isEmpty() && !attributeText.startsWith(u' '))
            attributeText.prepend(u' ');
        text += u'<' + source->ClassName() + QStringLiteral(" Name=\"") + source->Name() + u'"' + attributeText +
                QStringLiteral("/>");
    };
    for (TrpComponent* object : page->AllObjects()) {
        if (!isSelected(object))
            continue;
        element(object);
        if (object->IsBand()) {
            const std::vector<TrpComponent*> children = object->AllObjects();
            if (std::none_of(children.begin(), children.end(), isSelected))
                for (TrpComponent* child : children)
                    element(child);
        }
    }
    return text;
}

void TrpClipboard::Copy() const
{
    QGuiApplication::clipboard()->setText(CopyText());
}

bool TrpClipboard::PasteAvailable() const
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr)
        return false;
    return clipboard->text().startsWith(QLatin1String(kClipboardMarker));
}

void TrpClipboard::Paste()
{
    PasteText(QGuiApplication::clipboard()->text());
}

void TrpClipboard::PasteText(const QString& text)
{
    TrpComponent* page = designer_->Page();
    TrpComponent* report = designer_->Report();
    auto& selection = designer_->SelectedObjects();
    selection.clear();
    if (page == nullptr || report == nullptr)
        return;
    // The text comes from anywhere: only the designer's own, of a sane size, is read.
    if (!text.startsWith(QLatin1String(kClipboardMarker)) || text.size() > kMaxClipboardTextLength)
        return;
    const qsizetype firstBreak = text.indexOf(u'\n');
    QByteArray bytes = firstBreak < 0 ? QByteArray() : text.mid(firstBreak + 1).toUtf8();
    QBuffer stream(&bytes);
    stream.open(QIODevice::ReadOnly);
    TrpXMLReader reader(&stream);
    TrpXMLSerializer serializer;
    serializer.SetOwner(report);

    const bool reportPage = page->InheritsFromClass(u"TrpReportPage");
    const bool dialogPage = page->IsDialogPage();
    const bool dmpPage = page->InheritsFromClass(u"TrpDMPPage");
    const bool dataPage = page->InheritsFromClass(u"TrpDataPage");
    std::vector<TrpComponent*> pasted;
    const RegisteredClass* pageClass = PropertyRegistry::Global().FindFor(page->ScriptClass());

    for (;;) {
        TrpXMLItem item;
        try {
            if (!reader.ReadRootItem(item, false))
                break;
        } catch (const std::exception&) {
            break; // an unreadable element ends the paste; what came before stays
        }
        const RegisteredClass* cls = PropertyRegistry::Global().FindCreatable(item.Name());
        if (cls == nullptr)
            break;
        const ScriptClassInfo* info = &cls->Info;

        // A page holds one of each of these bands.
        if (IsOneOf(info, {u"TrpReportTitle", u"TrpReportSummary", u"TrpPageHeader", u"TrpPageFooter",
                           u"TrpColumnHeader", u"TrpColumnFooter"})) {
            bool present = false;
            for (TrpComponent* object : page->AllObjects())
                present = present || &object->ScriptClass() == info;
            if (present)
                continue;
        }
        // The object must suit the page.
        const bool dialogControl = ClassInherits(info, u"TrpDialogControl");
        const bool dialogComponent = ClassInherits(info, u"TrpDialogComponent");
        const bool dmpObject = IsOneOf(info, {u"TrpDMPMemoView", u"TrpDMPLineView", u"TrpDMPCommand"});
        const bool band = ClassInherits(info, u"TrpBand");
        if (dialogControl && reportPage)
            continue;
        if (dialogPage && !dialogComponent && !dialogControl)
            continue;
        if (dmpObject && !dmpPage)
            continue;
        if (dmpPage && !band && !dmpObject)
            continue;
        if (dataPage && !IsOneOf(info, {u"TrpLineView", u"TrpMemoView", u"TrpShapeView", u"TrpDialogComponent"}))
            continue;

        std::unique_ptr<TrpComponent> object = TrpComponent::CreateByName(item.Name());
        if (!object)
            break;
        const QString name = item.Prop(u"Name");
        item.DeleteProp(u"Name");
        object->SetOwner(report);
        try {
            serializer.ApplyComponentStr(object.get(), item.Text());
        } catch (const std::exception&) {
            break;
        }
        if (auto* picture = dynamic_cast<TrpPictureView*>(object.get()); picture != nullptr && pictureCache_ != nullptr)
            pictureCache_->GetPicture(picture);

        // The parent: bands go to the page, others into the last pasted band they lie in.
        TrpComponent* parent = page;
        if (!band) {
            for (auto it = pasted.rbegin(); it != pasted.rend(); ++it) {
                TrpComponent* candidate = *it;
                if (candidate->IsBand() && candidate->Top() <= object->Top() &&
                    object->Top() < candidate->Top() + candidate->Height()) {
                    parent = candidate;
                    object->SetTop(object->Top() - candidate->Top());
                    break;
                }
            }
        }
        const RegisteredClass* parentClass =
            parent == page ? pageClass : PropertyRegistry::Global().FindFor(parent->ScriptClass());
        if (parentClass != nullptr && !parentClass->Accepts(*parent, *info))
            continue;
        TrpComponent* placed = object.release();
        try {
            placed->SetParent(parent);
        } catch (const std::exception&) {
            delete placed;
            break;
        }
        placed->SetOwner(report);
        pasted.push_back(placed);

        bool named = false;
        if (!name.isEmpty() && report->FindObject(name) == nullptr) {
            try {
                placed->SetName(name);
                named = true;
            } catch (const std::exception&) {
                // no identifier: a generated name below
            }
        }
        if (!named)
            placed->CreateUniqueName();
        placed->SetGroupIndex(0);
        designer_->Objects().emplace_back(placed);
        if (parent == page)
            selection.emplace_back(placed);
        placed->OnPaste();
    }
    if (selection.empty())
        selection.emplace_back(page);
}
