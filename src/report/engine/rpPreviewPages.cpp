// The prepared-page store as the engine fills it: source pages and their aliases, pages and
// their objects as differences, the memory budget, keep-together cut and paste, anchors,
// logical page numbers and the questions the engine asks about the page being built.

#include "rpPreviewPages.h"

#include "rpPreviewPages_internal.h"

#include "report/core/Conversions.h"
#include "report/core/FormatSettings.h"
#include "report/core/Rounding.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpRes.h"
#include "report/model/rpUtils.h"
#include "report/model/rpXML.h"
#include "report/model/rpXMLSerializer.h"

#include <algorithm>
#include <cmath>
#include <limits>

using previewpages::IntProp;
using previewpages::IntText;

namespace {

bool HasStyle(const TrpComponent& object, TrpComponentStyleElement element)
{
    return (object.rpComponentStyle() & SetBit(element)) != 0;
}

// What rebuilding an object of a source starts from: the class name alone for an object
// whose differences are written whole, otherwise the class name and every published property.
QString BaseTextOf(const TrpComponent& copy)
{
    if (HasStyle(copy, csDefaultDiff))
        return copy.ClassName();
    TrpXMLSerializer serializer;
    return serializer.WriteComponentStr(&copy);
}

// The stem of an alias: the first letter of the object's unique-name stem, lower-cased.
QString AliasStem(const TrpComponent& copy)
{
    return copy.BaseName().left(1).toLower();
}

// Copies the template object into `copy` as Assign does, but a picture stays behind: the
// prepared picture views take theirs from the picture cache.
void AssignWithoutPicture(TrpComponent& copy, TrpComponent& source)
{
    auto* picture = dynamic_cast<TrpPictureView*>(&source);
    if (picture == nullptr) {
        copy.Assign(source);
        return;
    }
    struct Restore {
        TrpPictureView& view;
        bool stored;
        ~Restore() { view.IsPictureStored = stored; }
    } restore{*picture, picture->IsPictureStored};
    picture->IsPictureStored = false;
    copy.Assign(source);
}

QString SourceName(size_t pageIndex, const TrpComponent& copy)
{
    return QStringLiteral("Page") + IntText(static_cast<int64_t>(pageIndex)) + u'.' + copy.Name();
}

double FloatProp(const TrpXMLItem* item, QStringView name)
{
    const QString text = item->Prop(name);
    if (text.isEmpty())
        return 0;
    try {
        return ParseLocaleFloat(text);
    } catch (const platform::Exception&) {
        return 0;
    }
}

} // namespace

EExportTerminated::EExportTerminated() : platform::Exception(ResourceText(u"enExportTerminated").toStdString()) {}

// --- construction ----------------------------------------------------------------------------

TrpPreviewPages::TrpPreviewPages(TrpReport* report)
    : TrpCustomPreviewPages(report), pictureCache_(std::make_unique<TrpPictureCache>()),
      xmlDoc_(std::make_unique<TrpXMLDocument>())
{
    SetOutline(std::make_unique<TrpOutline>(this));
    xmlDoc_->Root()->SetName(QStringLiteral("preparedreport"));
    CurPage = -1;
}

TrpPreviewPages::~TrpPreviewPages()
{
    // Rebuilt pages and prototypes first: they refer to the source pages.
    ClearPageCache();
    prototypes_.clear();
    sourcePages_.clear();
}

std::vector<TrpReportPage*> TrpPreviewPages::SourcePages() const
{
    std::vector<TrpReportPage*> pages;
    pages.reserve(sourcePages_.size());
    for (const auto& page : sourcePages_)
        pages.push_back(page.get());
    return pages;
}

bool TrpPreviewPages::EngineRunning() const
{
    return Engine() != nullptr && Engine()->Running;
}

bool TrpPreviewPages::FirstOfTwoPasses() const
{
    return Engine() != nullptr && Engine()->DoublePass() && !Engine()->FinalPass;
}

bool TrpPreviewPages::FinalOfTwoPasses() const
{
    return Engine() != nullptr && Engine()->DoublePass() && Engine()->FinalPass;
}

TrpXMLItem* TrpPreviewPages::RootItem(const QString& name) const
{
    return xmlDoc_->Root()->FindItem(name);
}

TrpXMLItem* TrpPreviewPages::PageItem(int32_t index) const
{
    TrpXMLItem* pages = pagesItem_ != nullptr ? pagesItem_ : RootItem(QStringLiteral("previewpages"));
    return pages->Items(index);
}

void TrpPreviewPages::Clear()
{
    ClearPageCache();
    prototypes_.clear();
    sourcePages_.clear();
    xmlDoc_->Clear();
    pagesItem_ = nullptr;
    // The outline's current node lived in the document.
    Outline()->CurItem = nullptr;
    dictionary_.Clear();
    pictureCache_->Clear();
    CurPage = -1;
    xmlSize_ = 0;
    lastY_ = 0;
}

void TrpPreviewPages::Initialize()
{
    TrpReport* report = Report();
    if (report == nullptr)
        return;
    pictureCache_->SetUseFileCache(report->PreviewOptions().PictureCacheInFile);
    pictureCache_->SetTempDir(report->EngineOptions().TempDir);
    xmlDoc_->SetTempDir(report->EngineOptions().TempDir);
    report->InternalOnProgressStart(ptRunning);
}

// --- source pages ----------------------------------------------------------------------------

void TrpPreviewPages::AddSourcePage(TrpReportPage* page)
{
    if (page == nullptr)
        return;
    std::unique_ptr<TrpComponent> made = TrpComponent::CreateByName(page->ClassName());
    auto* pageCopy = dynamic_cast<TrpReportPage*>(made.get());
    if (pageCopy == nullptr)
        return;
    made.release();
    std::unique_ptr<TrpReportPage> owned(pageCopy);
    pageCopy->Assign(*page);
    pageCopy->SetName(page->Name());

    // Template objects and their copies, depth first; none for an object left out.
    std::vector<std::pair<TrpComponent*, TrpComponent*>> pairs;
    const auto copyChildren = [&](const auto& self, TrpComponent* source, TrpComponent* parentCopy) -> void {
        for (TrpComponent* child : source->Objects()) {
            if (!HasStyle(*child, csPreviewVisible)) {
                pairs.emplace_back(child, nullptr);
                continue;
            }
            std::unique_ptr<TrpComponent> copy = TrpComponent::CreateByName(child->ClassName());
            if (copy == nullptr) {
                pairs.emplace_back(child, nullptr);
                continue;
            }
            TrpComponent* placed = copy.release();
            placed->AttachTo(parentCopy);
            AssignWithoutPicture(*placed, *child);
            placed->SetName(child->Name());
            pairs.emplace_back(child, placed);
            self(self, child, placed);
        }
    };
    copyChildren(copyChildren, page, pageCopy);

    pageCopy->SetOriginalComponent(page);
    const size_t sourceIndex = sourcePages_.size();
    sourcePages_.push_back(std::move(owned));
    for (const auto& [source, copy] : pairs) {
        if (copy == nullptr) {
            source->AddSourceObjects();
            continue;
        }
        source->SetOriginalComponent(copy);
        copy->SetOriginalComponent(source);
        const QString stem = copy->IsBand() ? QStringLiteral("b") : AliasStem(*copy);
        const QString alias = dictionary_.AddUnique(stem, SourceName(sourceIndex, *copy), copy);
        if (auto* memo = dynamic_cast<TrpCustomMemoView*>(copy)) {
            memo->SetDataSet(nullptr);
            memo->DataField.clear();
        }
        copy->SetBaseName(BaseTextOf(*copy));
        source->SetAliasName(alias);
        copy->SetAliasName(alias);
    }
}

void TrpPreviewPages::AddToSourcePage(TrpComponent* object)
{
    if (object == nullptr || sourcePages_.empty())
        return;
    std::unique_ptr<TrpComponent> made = TrpComponent::CreateByName(object->ClassName());
    if (made == nullptr)
        return;
    TrpReportPage* page = sourcePages_.back().get();
    TrpComponent* copy = made.release();
    copy->AttachTo(page);
    copy->Assign(*object);
    copy->CreateUniqueName();
    const QString alias = dictionary_.AddUnique(AliasStem(*copy), SourceName(sourcePages_.size() - 1, *copy), copy);
    copy->SetBaseName(BaseTextOf(*copy));
    object->SetOriginalComponent(copy);
    object->SetAliasName(alias);
    copy->SetAliasName(alias);
}

void TrpPreviewPages::UpdatePageDimensions(TrpReportPage* page, double width, double height)
{
    if (page == nullptr)
        return;
    for (const auto& source : sourcePages_) {
        if (source->OriginalComponent() != page)
            continue;
        const double paperWidth = width / kPixelsPerMillimetre;
        const double paperHeight = height / kPixelsPerMillimetre;
        source->SetSizeAndDimensions(kPaperCustom, paperWidth, paperHeight);
        // The base text keeps the new paper, in the short form of page dimensions.
        TrpXMLItem attributes;
        attributes.SetText(source->BaseName());
        attributes.SetProp(u"PaperSize", IntText(kPaperCustom));
        attributes.SetProp(u"PaperWidth", FloatToShortText(source->PaperWidth(), FormatSettings::C()));
        attributes.SetProp(u"PaperHeight", FloatToShortText(source->PaperHeight(), FormatSettings::C()));
        source->SetBaseName(attributes.Text());
        ClearPageCache();
        return;
    }
}

// --- passes and pages ------------------------------------------------------------------------

void TrpPreviewPages::BeginPass()
{
    firstPageIndex_ = GetCount() - 1;
    if (GetCount() > 0) {
        TrpXMLItem* last = PageItem(firstPageIndex_);
        xmlDoc_->LoadItem(last);
        firstObjectIndex_ = last->Count();
        firstOutlineIndex_ = RootItem(QStringLiteral("outline"))->Count();
    }
    ResetLogicalPageNumber();
}

void TrpPreviewPages::ClearFirstPassPages()
{
    ClearPageCache();
    TrpXMLItem* root = xmlDoc_->Root();
    if (firstPageIndex_ == -1) {
        // The numbers and anchors of the first pass are what the second reads.
        for (int i = 0; i < root->Count(); ++i) {
            TrpXMLItem* child = root->Items(i);
            if (child->Name().compare(u"anchors", Qt::CaseInsensitive) != 0
                && child->Name().compare(u"logicalpagenumbers", Qt::CaseInsensitive) != 0)
                child->Clear();
        }
        Outline()->CurItem = nullptr;
    } else {
        TrpXMLItem* pages = RootItem(QStringLiteral("previewpages"));
        if (firstPageIndex_ < pages->Count()) {
            TrpXMLItem* last = pages->Items(firstPageIndex_);
            xmlDoc_->LoadItem(last);
            while (last->Count() > firstObjectIndex_)
                delete last->Items(last->Count() - 1);
        }
        while (pages->Count() > firstPageIndex_ + 1)
            delete pages->Items(pages->Count() - 1);
        TrpXMLItem* outline = RootItem(QStringLiteral("outline"));
        while (outline->Count() > firstOutlineIndex_)
            delete outline->Items(outline->Count() - 1);
        Outline()->CurItem = nullptr;
    }
    ResetLogicalPageNumber();
    CurPage = firstPageIndex_;
    xmlSize_ = 0;
}

void TrpPreviewPages::AddPage(TrpReportPage* page)
{
    pagesItem_ = RootItem(QStringLiteral("previewpages"));
    TrpReport* report = Report();
    if (report != nullptr) {
        const TrpEngineOptions& options = report->EngineOptions();
        const qint64 budget = qint64{std::max(options.MaxMemSize, 0)} * 1048576;
        if (options.UseFileCache && budget < xmlSize_) {
            // The newest page is being built and the first two are never unloaded.
            for (int i = GetCount() - 2; i >= 0; --i) {
                TrpXMLItem* item = pagesItem_->Items(i);
                if (!item->Loaded())
                    break;
                try {
                    xmlDoc_->UnloadItem(item);
                } catch (const platform::Exception&) {
                    break; // what cannot be written out stays in memory
                }
            }
            xmlSize_ = 0;
        }
    }

    ++CurPage;
    if (CurPage < GetCount() && AddPageAction != apAdd)
        return; // the page of the first pass is written over
    int32_t sourceIndex = -1;
    for (size_t i = 0; i < sourcePages_.size(); ++i) {
        if (page != nullptr && sourcePages_[i]->OriginalComponent() == page) {
            sourceIndex = static_cast<int32_t>(i);
            break;
        }
    }
    TrpXMLItem* item = pagesItem_->Add(QStringLiteral("page") + IntText(sourceIndex));
    if (GetCount() > 2)
        item->SetUnloadable(true);
    if (report != nullptr)
        report->InternalOnProgress(ptRunning, CurPage + 1);
    AddPageAction = apWriteOver;
    CurPage = GetCount() - 1;
    IncLogicalPageNumber();
}

void TrpPreviewPages::AddObject(TrpComponent* object)
{
    if (object == nullptr)
        return;
    TrpXMLItem* page = PageItem(CurPage);
    // A page written out of memory comes back before anything is added to it.
    xmlDoc_->LoadItem(page);
    AddObjectItem(page, object, IsWholePage(page->Name()));
}

void TrpPreviewPages::AddObjectItem(TrpXMLItem* parent, TrpComponent* object, bool wholePage)
{
    if (!object->Visible() || !HasStyle(*object, csPreviewVisible))
        return;
    const TrpComponent* original = object->OriginalComponent();
    QString name;
    QString text;
    if (original == nullptr || wholePage || object->AliasName().isEmpty()) {
        name = object->ClassName();
        text = object->AllDiff(nullptr);
    } else {
        name = object->AliasName();
        if (FirstOfTwoPasses())
            text = object->DiffCommon(*original);
        else if (HasStyle(*object, csDefaultDiff))
            text = object->AllDiff(original);
        else
            text = object->Diff(*original);
    }
    if (text.startsWith(u' '))
        text.remove(0, 1);
    TrpXMLItem* item = parent->Add(name);
    item->SetText(text);
    xmlSize_ += (name.size() + text.size()) * qint64{sizeof(QChar)} + qint64{sizeof(TrpXMLItem)} + 16;
    for (TrpComponent* child : object->Objects())
        AddObjectItem(item, child, wholePage);
}

// --- keep-together -----------------------------------------------------------------------------

void TrpPreviewPages::CutObjects(int32_t position)
{
    TrpXMLItem* page = PageItem(CurPage);
    xmlDoc_->LoadItem(page);
    TrpXMLItem* cutted = RootItem(QStringLiteral("cutted"));
    const int from = std::max(position, 0);
    while (page->Count() > from)
        cutted->AddItem(page->Items(from));
}

void TrpPreviewPages::PasteObjects(double x, double y)
{
    TrpXMLItem* root = xmlDoc_->Root();
    const int index = root->Find(u"cutted");
    if (index < 0)
        return;
    std::unique_ptr<TrpXMLItem> cutted(root->Items(index));
    if (cutted->Count() > 0) {
        TrpXMLItem* first = cutted->Items(0);
        const double dx = x - FloatProp(first, u"l");
        const double dy = y - FloatProp(first, u"t");
        TrpXMLItem* page = PageItem(CurPage);
        xmlDoc_->LoadItem(page);
        while (cutted->Count() > 0) {
            TrpXMLItem* child = cutted->Items(0);
            // Written in the C locale whatever the user's, as every difference text is.
            child->SetProp(u"l", TrpComponent::DiffFloatText(FloatProp(child, u"l") + dx));
            child->SetProp(u"t", TrpComponent::DiffFloatText(FloatProp(child, u"t") + dy));
            page->AddItem(child);
        }
    }
}

// --- anchors -----------------------------------------------------------------------------------

void TrpPreviewPages::AddAnchor(const QString& text)
{
    TrpXMLItem* item = RootItem(QStringLiteral("anchors"))->Add(QStringLiteral("item"));
    const double top = Engine() != nullptr ? Engine()->CurY : 0;
    item->SetText(QStringLiteral("text=\"") + EscapeXMLText(text) + QStringLiteral("\" page=\"") + IntText(CurPage)
                  + QStringLiteral("\" top=\"") + IntText(RoundHalfEvenClamped(top, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max())) + u'"');
}

TrpXMLItem* TrpPreviewPages::FindAnchor(const QString& text)
{
    TrpXMLItem* anchors = RootItem(QStringLiteral("anchors"));
    for (int i = anchors->Count() - 1; i >= 0; --i) {
        TrpXMLItem* item = anchors->Items(i);
        if (item->Prop(u"text").compare(text, Qt::CaseInsensitive) == 0)
            return item;
    }
    return nullptr;
}

int32_t TrpPreviewPages::GetAnchorPage(const QString& text)
{
    const TrpXMLItem* item = FindAnchor(text);
    return item != nullptr ? IntProp(item, u"page") + 1 : 1;
}

void TrpPreviewPages::ShiftAnchors(int32_t from, int32_t newTop)
{
    TrpXMLItem* anchors = RootItem(QStringLiteral("anchors"));
    const int first = from + 1;
    if (first < 0 || first >= anchors->Count())
        return;
    const int32_t delta = newTop - IntProp(anchors->Items(first), u"top");
    // The moved anchors are on the page the block was pasted on: the next page, or the same
    // one when the block only went to the next column.
    for (int i = first; i < anchors->Count(); ++i) {
        TrpXMLItem* item = anchors->Items(i);
        item->SetProp(u"page", IntText(CurPage));
        item->SetProp(u"top", IntText(int64_t{IntProp(item, u"top")} + delta));
    }
}

int32_t TrpPreviewPages::GetAnchorCurPosition()
{
    return RootItem(QStringLiteral("anchors"))->Count() - 1;
}

// --- logical page numbers ----------------------------------------------------------------------

void TrpPreviewPages::IncLogicalPageNumber()
{
    if (FinalOfTwoPasses())
        return;
    ++logicalPageN_;
    TrpXMLItem* item = RootItem(QStringLiteral("logicalpagenumbers"))->Add(QStringLiteral("page"));
    item->SetText(QStringLiteral("n=\"") + IntText(logicalPageN_) + u'"');
}

void TrpPreviewPages::ResetLogicalPageNumber()
{
    if (FinalOfTwoPasses())
        return;
    TrpXMLItem* numbers = RootItem(QStringLiteral("logicalpagenumbers"));
    for (int i = CurPage; i > firstPageIndex_; --i) {
        if (i < 0 || i >= numbers->Count())
            continue;
        TrpXMLItem* item = numbers->Items(i);
        item->SetProp(u"t", IntText(logicalPageN_));
        if (item->Prop(u"n") == u"1")
            break;
    }
    logicalPageN_ = 0;
}

int32_t TrpPreviewPages::GetLogicalPageNo()
{
    TrpXMLItem* numbers = RootItem(QStringLiteral("logicalpagenumbers"));
    if (CurPage >= 0 && CurPage < numbers->Count())
        return IntProp(numbers->Items(CurPage), u"n");
    return CurPage - FirstPage + 1;
}

int32_t TrpPreviewPages::GetLogicalTotalPages()
{
    TrpXMLItem* numbers = RootItem(QStringLiteral("logicalpagenumbers"));
    if (CurPage >= 0 && CurPage < numbers->Count())
        return IntProp(numbers->Items(CurPage), u"t");
    const int32_t total = Engine() != nullptr ? Engine()->TotalPages : GetCount();
    return total - FirstPage;
}

// --- the page being built ----------------------------------------------------------------------

int32_t TrpPreviewPages::GetCurPosition()
{
    if (CurPage < 0 || CurPage >= GetCount())
        return 0;
    TrpXMLItem* page = PageItem(CurPage);
    xmlDoc_->LoadItem(page);
    return page->Count();
}

void TrpPreviewPages::AddPicture(TrpPictureView* picture)
{
    pictureCache_->AddPicture(picture);
}

bool TrpPreviewPages::BandExists(TrpBand* band)
{
    if (band == nullptr || CurPage < 0 || CurPage >= GetCount())
        return false;
    TrpXMLItem* page = PageItem(CurPage);
    xmlDoc_->LoadItem(page);
    const auto isPageFooter = [](const TrpComponent* c) { return dynamic_cast<const TrpPageFooter*>(c) != nullptr; };
    const auto isColumnFooter = [](const TrpComponent* c) {
        return dynamic_cast<const TrpColumnFooter*>(c) != nullptr;
    };
    for (int i = 0; i < page->Count(); ++i) {
        const TrpComponent* source = dictionary_.GetObject(page->Items(i)->Name());
        if (source == nullptr)
            continue;
        if (source->OriginalComponent() == band || (isPageFooter(band) && isPageFooter(source))
            || (isColumnFooter(band) && isColumnFooter(source)))
            return true;
    }
    return false;
}

double TrpPreviewPages::GetLastY(double columnPosition)
{
    double result = 0;
    if (CurPage >= 0 && CurPage < GetCount()) {
        TrpXMLItem* page = PageItem(CurPage);
        xmlDoc_->LoadItem(page);
        for (int i = 0; i < page->Count(); ++i) {
            const TrpXMLItem* item = page->Items(i);
            const TrpComponent* source = dictionary_.GetObject(item->Name());
            if (source == nullptr || !source->IsBand() || dynamic_cast<const TrpPageFooter*>(source) != nullptr
                || dynamic_cast<const TrpOverlay*>(source) != nullptr)
                continue;
            const double x = item->PropExists(u"l") ? FloatProp(item, u"l") : source->Left();
            const bool fixedPlace = dynamic_cast<const TrpPageHeader*>(source) != nullptr
                                    || dynamic_cast<const TrpReportTitle*>(source) != nullptr;
            if (columnPosition == 0 || std::fabs(columnPosition - x) < 0.001 || fixedPlace) {
                const double top = item->PropExists(u"t") ? FloatProp(item, u"t") : source->Top();
                const double height = item->PropExists(u"h") ? FloatProp(item, u"h") : source->Height();
                result = std::max(result, top + height);
            }
        }
    }
    if (result == 0 && lastY_ != 0)
        result = lastY_;
    return result;
}

void TrpPreviewPages::Finish()
{
    lastY_ = 0;
    ClearPageCache();
    for (const auto& page : sourcePages_)
        page->SetOriginalComponent(nullptr);
    if (TrpReport* report = Report())
        report->InternalOnProgressStop(ptRunning);
}
