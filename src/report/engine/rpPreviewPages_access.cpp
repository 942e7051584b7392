// Prepared pages as page objects: rebuilding a page from its element, the page cache, page
// sizes, the preview's page editing, appending another report's pages, and what happens under
// the mouse in the preview.

#include "rpPreviewPages.h"

#include "rpPreviewPages_internal.h"

#include "report/core/Cursors.h"
#include "report/core/PropertyRegistry.h"
#include "report/core/Services.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpGraphicUtils.h"
#include "report/model/rpRes.h"
#include "report/model/rpStreams.h"
#include "report/model/rpXML.h"
#include "report/model/rpXMLSerializer.h"

#include <QUrl>

#include <algorithm>

using previewpages::IntProp;

namespace {

// An element and everything below it, counted up to `limit` (one more means too many).
int CountElements(const TrpXMLItem& item, int limit)
{
    int count = 1;
    for (int i = 0; i < item.Count() && count <= limit; ++i)
        count += CountElements(*item.Items(i), limit - count);
    return count;
}

[[noreturn]] void RaiseTooManyObjects()
{
    throw EReadError(ResourceText(u"xrTooManyObjects", {Variant(kMaxReportObjects)}).toStdString());
}

// Links the preview hands to the desktop: web pages and mail only, never a local file or
// program a prepared report could name.
bool MayOpen(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == u"http" || scheme == u"https" || scheme == u"mailto");
}

} // namespace

// --- the page list -----------------------------------------------------------------------------

int32_t TrpPreviewPages::GetCount()
{
    return RootItem(QStringLiteral("previewpages"))->Count();
}

QString TrpPreviewPages::PageElementName(int32_t index) const
{
    return PageItem(index)->Name();
}

bool TrpPreviewPages::IsWholePage(QStringView elementName)
{
    return elementName.compare(u"TrpReportPage", Qt::CaseInsensitive) == 0
           || elementName.compare(u"TrpDMPPage", Qt::CaseInsensitive) == 0;
}

std::unique_ptr<TrpReportPage> TrpPreviewPages::NewWholePage(QStringView elementName)
{
    if (elementName.compare(u"TrpReportPage", Qt::CaseInsensitive) == 0)
        return std::make_unique<TrpReportPage>();
    if (IsWholePage(elementName)) {
        const RegisteredClass* registered = PropertyRegistry::Global().FindCreatable(elementName);
        if (registered != nullptr) {
            std::unique_ptr<ScriptObject> made = registered->Factory();
            if (auto* page = dynamic_cast<TrpReportPage*>(made.get())) {
                made.release();
                return std::unique_ptr<TrpReportPage>(page);
            }
        }
    }
    throw EClassNotFound(ResourceText(u"xrClassNotFound", {Variant(elementName.toString())}).toStdString());
}

int32_t TrpPreviewPages::SourceIndexOf(QStringView elementName)
{
    if (!elementName.startsWith(u"page", Qt::CaseInsensitive))
        return -1;
    const QStringView digits = elementName.sliced(4);
    if (digits.isEmpty() || digits.size() > 5)
        return -1;
    int32_t index = 0;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return -1;
        index = index * 10 + (c.unicode() - u'0');
    }
    return index;
}

// --- rebuilding ------------------------------------------------------------------------------

const TrpComponent& TrpPreviewPages::Prototype(TrpComponent* source)
{
    const auto found = prototypes_.find(source);
    if (found != prototypes_.end())
        return *found->second;
    TrpXMLSerializer serializer;
    std::unique_ptr<TrpComponent> prototype(serializer.ReadComponentStr(nullptr, source->BaseName(), true));
    if (prototype == nullptr)
        throw TrpInvalidXMLException();
    const TrpComponent& result = *prototype;
    prototypes_.emplace(source, std::move(prototype));
    return result;
}

void TrpPreviewPages::RebuildChildren(TrpXMLItem* item, TrpComponent* parent)
{
    TrpXMLSerializer serializer;
    for (int i = 0; i < item->Count(); ++i) {
        TrpXMLItem* child = item->Items(i);
        TrpComponent* object = nullptr;
        if (TrpComponent* source = dictionary_.GetObject(child->Name())) {
            // The source as its base text reads, copied, with the element's differences on top.
            object = serializer.CloneComponent(Prototype(source), parent, true);
            serializer.ApplyComponentStr(object, child->Text(), true);
            object->SetName(source->Name());
            object->SetAliasName(child->Name());
            if (auto* picture = dynamic_cast<TrpPictureView*>(object); picture != nullptr && picture->Picture().IsEmpty())
                pictureCache_->GetPicture(picture);
        } else {
            object = serializer.ReadComponentStr(parent, child->Name() + u' ' + child->Text(), true);
        }
        if (object != nullptr)
            RebuildChildren(child, object);
    }
}

std::unique_ptr<TrpReportPage> TrpPreviewPages::RebuildPage(TrpXMLItem* item)
{
    xmlDoc_->LoadItem(item);
    // A page of a hostile file could hold millions of objects; no prepared page does.
    if (CountElements(*item, kMaxReportObjects) > kMaxReportObjects)
        RaiseTooManyObjects();
    const QString& name = item->Name();
    if (IsWholePage(name)) {
        std::unique_ptr<TrpReportPage> page = NewWholePage(name);
        TrpXMLSerializer serializer;
        serializer.OldFormat = xmlDoc_->OldVersion();
        // Names are looked up in an empty owner: a prepared page holds many objects of one
        // name (every row's memos), and each element is an object of its own.
        TrpComponent noObjects;
        serializer.SetOwner(&noObjects);
        serializer.ReadRootComponent(page.get(), item);
        return page;
    }
    const int32_t sourceIndex = SourceIndexOf(name);
    if (sourceIndex < 0 || static_cast<size_t>(sourceIndex) >= sourcePages_.size())
        throw TrpInvalidXMLException();
    const TrpReportPage& source = *sourcePages_[static_cast<size_t>(sourceIndex)];
    TrpXMLSerializer serializer;
    std::unique_ptr<TrpComponent> made(serializer.CloneComponent(source, nullptr, true));
    auto* page = dynamic_cast<TrpReportPage*>(made.get());
    if (page == nullptr)
        throw TrpInvalidXMLException();
    made.release();
    std::unique_ptr<TrpReportPage> owned(page);
    page->SetName(source.Name());
    RebuildChildren(item, page);
    return owned;
}

// --- the page cache --------------------------------------------------------------------------

void TrpPreviewPages::ClearPageCache()
{
    pageCache_.clear();
}

void TrpPreviewPages::MovePageToCacheFront(size_t position)
{
    std::rotate(pageCache_.begin(), pageCache_.begin() + static_cast<std::ptrdiff_t>(position),
                pageCache_.begin() + static_cast<std::ptrdiff_t>(position) + 1);
}

void TrpPreviewPages::InsertIntoCache(int32_t index, std::unique_ptr<TrpReportPage> page)
{
    pageCache_.insert(pageCache_.begin(), {index, std::move(page)});
    TrpReport* report = Report();
    const size_t limit = static_cast<size_t>(std::max(report != nullptr ? report->PreviewOptions().PagesInCache : 1, 1));
    const bool unload = report != nullptr && report->EngineOptions().UseFileCache;
    while (pageCache_.size() > 1 && pageCache_.size() > limit) {
        const int32_t dropped = pageCache_.back().first;
        pageCache_.pop_back();
        // A large report keeps in memory only the cached pages and those never unloaded.
        if (unload && dropped >= 0 && dropped < GetCount()) {
            TrpXMLItem* item = PageItem(dropped);
            if (item->Unloadable()) {
                try {
                    xmlDoc_->UnloadItem(item);
                } catch (const platform::Exception&) {
                    // It stays in memory.
                }
            }
        }
    }
}

TrpReportPage* TrpPreviewPages::GetPage(int32_t index)
{
    if (GetCount() == 0)
        return nullptr;
    // While the engine runs a page may still grow: it is always rebuilt.
    if (!EngineRunning()) {
        for (size_t i = 0; i < pageCache_.size(); ++i) {
            if (pageCache_[i].first == index) {
                MovePageToCacheFront(i);
                return pageCache_.front().second.get();
            }
        }
    }
    std::unique_ptr<TrpReportPage> page = RebuildPage(PageItem(index));
    page->AlignChildren();
    InsertIntoCache(index, std::move(page));
    return pageCache_.front().second.get();
}

QPoint TrpPreviewPages::GetPageSize(int32_t index)
{
    if (index < 0 || index >= GetCount())
        return QPoint(0, 0);
    const TrpXMLItem* item = PageItem(index);
    const TrpComponent* page = nullptr;
    if (IsWholePage(item->Name())) {
        page = GetPage(index);
    } else {
        const int32_t sourceIndex = SourceIndexOf(item->Name());
        if (sourceIndex >= 0 && static_cast<size_t>(sourceIndex) < sourcePages_.size())
            page = sourcePages_[static_cast<size_t>(sourceIndex)].get();
    }
    if (page == nullptr)
        return QPoint(0, 0);
    return QPoint(RoundToDevice(page->Width()), RoundToDevice(page->Height()));
}

// --- page editing ----------------------------------------------------------------------------

void TrpPreviewPages::AddEmptyPage(int32_t index)
{
    if (GetCount() == 0)
        return;
    TrpXMLItem* pages = RootItem(QStringLiteral("previewpages"));
    auto item = std::make_unique<TrpXMLItem>();
    item->SetName(pages->Items(index)->Name());
    pages->InsertItem(index, item.release());
    ClearPageCache();
}

void TrpPreviewPages::DeletePage(int32_t index)
{
    if (GetCount() <= 1)
        return;
    delete PageItem(index);
    ClearPageCache();
}

void TrpPreviewPages::WriteWholePage(TrpXMLItem* item, TrpReportPage* page)
{
    TrpXMLSerializer serializer;
    serializer.WriteRootComponent(page, true, item);
}

void TrpPreviewPages::ModifyPage(int32_t index, TrpReportPage* page)
{
    if (page == nullptr)
        return;
    TrpXMLItem* item = PageItem(index);
    xmlDoc_->LoadItem(item);
    item->SetUnloadable(false);
    item->Clear();
    // Written before the cache goes: the page is usually one of its objects.
    WriteWholePage(item, page);
    ClearPageCache();
}

void TrpPreviewPages::AddFrom(TrpReport& report)
{
    TrpCustomPreviewPages* other = report.PreviewPages();
    if (other == nullptr || other == this)
        return;
    const int32_t base = GetCount();
    pagesItem_ = RootItem(QStringLiteral("previewpages"));
    for (int32_t i = 0; i < other->GetCount(); ++i) {
        TrpReportPage* page = other->GetPage(i);
        if (page == nullptr)
            continue;
        WriteWholePage(pagesItem_->Add(), page);
    }
    if (auto* pages = dynamic_cast<TrpPreviewPages*>(other)) {
        TrpXMLItem* anchors = RootItem(QStringLiteral("anchors"));
        TrpXMLItem* theirs = pages->RootItem(QStringLiteral("anchors"));
        for (int i = 0; i < theirs->Count(); ++i) {
            TrpXMLItem* anchor = anchors->Add(QStringLiteral("item"));
            anchor->SetText(theirs->Items(i)->Text());
            anchor->SetProp(u"page", previewpages::IntText(int64_t{IntProp(anchor, u"page")} + base));
        }
    }
    TrpCustomOutline* from = other->Outline();
    TrpCustomOutline* to = Outline();
    if (from != nullptr && to != nullptr) {
        from->LevelRoot();
        to->LevelRoot();
        const auto copyLevel = [&](const auto& self) -> void {
            const int32_t count = from->GetCount();
            for (int32_t i = 0; i < count; ++i) {
                QString text;
                int32_t page = 0;
                int32_t top = 0;
                from->GetItem(i, text, page, top);
                CurPage = base + page;
                to->AddItem(text, top);
                from->LevelDown(i);
                self(self);
                from->LevelUp();
                to->LevelUp();
            }
        };
        copyLevel(copyLevel);
    }
    if (other->GetCount() > 0) {
        other->CurPage = other->GetCount() - 1;
        lastY_ = other->GetLastY(0);
        other->CurPage = -1;
    }
    ClearPageCache();
}

// --- the mouse -----------------------------------------------------------------------------

void TrpPreviewPages::ObjectOver(int32_t index, int32_t x, int32_t y, int32_t button, uint32_t shift, double scale,
                                 int32_t offsetX, int32_t offsetY, bool click, int32_t& cursor, bool doubleClick)
{
    if (index < 0 || index >= GetCount() || EngineRunning())
        return;
    // A click handler may empty the page cache (and free the page) or close the report's
    // window (and free the report): both are watched.
    const QPointer<TrpReport> report = Report();
    const QPointer<TrpReportPage> page = GetPage(index);
    if (page == nullptr || report == nullptr)
        return;
    TrpCustomPreview* preview = report->Preview();
    const bool reportHints = preview != nullptr && preview->UseReportHints;

    const double leftMargin = page->MirrorMargins && index % 2 == 1 ? page->RightMargin : page->LeftMargin;
    const int left0 = RoundToDevice(offsetX + scale * leftMargin * kPixelsPerMillimetre);
    const int top0 = RoundToDevice(offsetY + page->TopMargin * kPixelsPerMillimetre * scale);
    report->SetProgressMessage(QString(), false);
    report->SetProgressMessage(QString(), true);

    const auto contains = [&](const TrpComponent& object) {
        const int left = RoundToDevice(object.AbsLeft() * scale) + left0;
        const int top = RoundToDevice(object.AbsTop() * scale) + top0;
        const int right = RoundToDevice((object.AbsLeft() + object.Width()) * scale) + left0;
        const int bottom = RoundToDevice((object.AbsTop() + object.Height()) * scale) + top0;
        return x >= left && x < right && y >= top && y < bottom;
    };

    QPointer<TrpGroupHeader> drill;
    const std::vector<TrpComponent*> objects = page->AllObjects();
    for (auto it = objects.rbegin(); it != objects.rend(); ++it) {
        TrpComponent* object = *it;
        const bool inside = contains(*object);
        if (auto* group = dynamic_cast<TrpGroupHeader*>(object); group != nullptr && group->DrillDown && inside)
            drill = group;
        auto* view = dynamic_cast<TrpView*>(object);
        if (view == nullptr || !inside) {
            if (view != nullptr && view->ShowHint && reportHints)
                preview->SetObjectHint(QString(), false);
            continue;
        }
        if (auto* group = dynamic_cast<TrpGroupHeader*>(view->Parent()); group != nullptr && group->DrillDown)
            drill = group;
        if (view->Cursor != crDefault)
            cursor = view->Cursor;
        if (!view->URL.isEmpty()) {
            report->SetProgressMessage(view->URL, false);
            if (view->Cursor == crDefault)
                cursor = crHandPoint;
        }
        if (!view->Hint.isEmpty() && view->ShowHint && reportHints) {
            // The hint's short part shows by the mouse, the long one in the status line.
            const qsizetype bar = view->Hint.indexOf(u'|');
            const QString shortHint = bar < 0 ? view->Hint : view->Hint.left(bar);
            const QString longHint = bar < 0 ? view->Hint : view->Hint.mid(bar + 1);
            report->SetProgressMessage(longHint, true);
            preview->SetObjectHint(shortHint, true);
        }
        if (!click || drill != nullptr) {
            if (report->OnMouseOverObject)
                report->OnMouseOverObject(*view);
        } else {
            const QString url = view->URL;
            if (url.startsWith(u'@')) {
                bool ok = false;
                const int32_t number = url.mid(1, 255).trimmed().toInt(&ok);
                if (ok && preview != nullptr)
                    preview->SetPageNo(number);
            } else if (url.startsWith(u'#')) {
                if (const TrpXMLItem* anchor = FindAnchor(url.mid(1, 255)); anchor != nullptr && preview != nullptr)
                    preview->SetPosition(IntProp(anchor, u"page") + 1, IntProp(anchor, u"top"));
            } else if (!url.isEmpty()) {
                const QUrl link(url);
                if (MayOpen(link))
                    ReportServices::Ui().OpenUrl(link);
            }
            bool modified = false;
            report->DoPreviewClick(view, button, shift, modified, doubleClick);
            if (report == nullptr)
                return;
            preview = report->Preview();
            if (modified && page != nullptr) {
                ModifyPage(index, page);
                if (preview != nullptr)
                    preview->InvalidatePage();
            }
        }
        break;
    }

    if (drill != nullptr) {
        cursor = crHandPoint;
        if (click && button == kMouseButtonLeft) {
            const QString name = drill->DrillName;
            const qsizetype at = report->DrillState.indexOf(name);
            if (at < 0)
                report->DrillState.append(name);
            else
                report->DrillState.removeAt(at);
            // The handler of the mouse may have given the report another preview, or none.
            if (TrpCustomPreview* current = report->Preview())
                current->RefreshReport();
        }
    }
}
