// The run of a report: its passes, the band tree of every report page, the dialog pages and
// the run of one report page.

#include "rpEngine.h"

#include "rpPreviewPages.h"

#include "report/core/Services.h"
#include "report/model/rpClass_datasets.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_styles.h"
#include "report/model/rpRes.h"

#include <algorithm>
#include <cmath>

namespace {

// Band numbers of the band tree (TrpBand::BandNumber).
constexpr int kHeaderNumber = 4;
constexpr int kFooterNumber = 5;
constexpr int kMasterNumber = 6;
constexpr int kLastDataNumber = 11;
constexpr int kGroupHeaderNumber = 12;
constexpr int kGroupFooterNumber = 13;

bool IsDataNumber(int number)
{
    return number >= kMasterNumber && number <= kLastDataNumber;
}

QString ResourceWithName(const char16_t* resource, const TrpComponent& object)
{
    return GetResourcesInstance().Get(QStringView(resource)) + u' ' + object.Name();
}

} // namespace

// --- header list -------------------------------------------------------------------------------

void TrpHeaderList::AddItem(TrpBand* band, bool isInKeepList, double left)
{
    auto item = std::make_unique<TrpHeaderListItem>();
    item->Band = band;
    item->IsInKeepList = isInKeepList;
    item->Left = left;
    items_.push_back(std::move(item));
}

void TrpHeaderList::RemoveItem(TrpBand* band)
{
    for (auto it = items_.begin(); it != items_.end(); ++it) {
        if ((*it)->Band == band) {
            items_.erase(it);
            return;
        }
    }
}

// --- the engine --------------------------------------------------------------------------------

const ScriptClassInfo& TrpEngine::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpEngine"), &TrpCustomEngine::Class()};
    return info;
}

TrpEngine::TrpEngine(TrpReport* report) : TrpCustomEngine(report), aggregates_(report) {}

TrpEngine::~TrpEngine() = default;

bool TrpEngine::Terminated() const
{
    return Report()->Terminated();
}

double TrpEngine::GetPageHeight()
{
    if (page_ != nullptr && page_->EndlessHeight)
        return FooterHeight() + CurY;
    return TrpCustomEngine::GetPageHeight();
}

TrpBand* TrpEngine::PageBand(const ScriptClassInfo& bandClass) const
{
    if (page_ == nullptr)
        return nullptr;
    for (TrpComponent* object : page_->Objects()) {
        auto* band = dynamic_cast<TrpBand*>(object);
        if (band != nullptr && !band->Vertical && band->ScriptClass().InheritsFrom(bandClass))
            return band;
    }
    return nullptr;
}

double TrpEngine::HeaderHeight()
{
    double height = 0;
    for (TrpBand* band : {PageBand(TrpColumnHeader::Class()), PageBand(TrpPageHeader::Class())}) {
        // The band and its chain of children (a chain never comes back: SetChild refuses it).
        for (int depth = 0; band != nullptr && depth < 1000; ++depth) {
            height += band->Height();
            band = band->Child();
        }
    }
    return height;
}

double TrpEngine::FooterHeight()
{
    double height = 0;
    if (TrpBand* band = PageBand(TrpColumnFooter::Class()))
        height += band->Height();
    if (TrpBand* band = PageBand(TrpPageFooter::Class()))
        height += band->Height();
    return height;
}

double TrpEngine::FreeSpace()
{
    if (page_ != nullptr && page_->EndlessHeight)
        return 1000000;
    return PageHeight() - CurY - (prevFooterHeight_ != 0 ? prevFooterHeight_ : FooterHeight());
}

Variant TrpEngine::GetAggregateValue(const QString& name, const QString& expression, TrpBand* band, int32_t flags)
{
    return aggregates_.GetValue(curBand_.data(), CurVColumn, name, expression, band, flags);
}

void TrpEngine::ShowBand(const ScriptClassInfo& bandClass)
{
    ShowBand(PageBand(bandClass));
}

void TrpEngine::NotifyObjects(TrpBand* band)
{
    const std::vector<QPointer<TrpComponent>> list = NotifyList;
    for (const QPointer<TrpComponent>& object : list) {
        if (object != nullptr)
            object->OnNotify(band);
    }
}

// --- the run -----------------------------------------------------------------------------------

// Every way out of a run, exceptions included: the report's OnStopReport once Initialize has
// succeeded, the data sets finalised, the store finished, Running cleared.
class RunGuard {
public:
    explicit RunGuard(TrpEngine& engine) : engine_(engine) {}
    ~RunGuard()
    {
        TrpReport* report = engine_.Report();
        if (engine_.initialized_) {
            engine_.initialized_ = false;
            try {
                report->DoNotifyEvent(report, report->OnStopReport);
            } catch (const std::exception& error) {
                report->AddError(QString::fromUtf8(error.what()));
            }
        }
        engine_.FinishRun();
    }
    RunGuard(const RunGuard&) = delete;
    RunGuard& operator=(const RunGuard&) = delete;

private:
    TrpEngine& engine_;
};

void TrpEngine::FinishRun()
{
    TrpReport* report = Report();
    try {
        report->DataSets().Finalize();
    } catch (const std::exception& error) {
        report->AddError(QString::fromUtf8(error.what()));
    }
    if (TrpCustomPreviewPages* store = PreviewPages()) {
        try {
            store->Finish();
        } catch (const std::exception& error) {
            report->AddError(QString::fromUtf8(error.what()));
        }
    }
    buildingPages_.clear();
    keeping_ = false;
    Running = false;
}

bool TrpEngine::Run()
{
    TrpReport* report = Report();
    TrpCustomPreviewPages* store = PreviewPages();
    if (store == nullptr)
        return false;
    RunGuard guard(*this);
    if (!Initialize())
        return false;
    initialized_ = true;

    report->DataSets().Initialize();
    report->DoNotifyEvent(report, report->OnStartReport);
    if (!ShowDialogPages())
        return false;

    for (int i = 0; i < report->PagesCount(); ++i) {
        if (auto* page = dynamic_cast<TrpReportPage*>(report->Pages(i))) {
            store->AddSourcePage(page);
            aggregates_.AddItems(page);
        }
    }
    FinalPass = !DoublePass();
    TotalPages = 0;
    store->BeginPass();
    RunAllPages();
    if (DoublePass() && Terminated()) {
        // The first of two passes only lays pages out to count them: its pages hold the
        // objects' places but not their texts, so a run stopped there has nothing to show.
        store->ClearFirstPassPages();
        return true;
    }
    if (DoublePass()) {
        TotalPages = store->Count();
        store->CurPage = store->Count() - 1;
        store->ClearFirstPassPages();
        aggregates_.ClearValues();
        FinalPass = true;
        RunAllPages();
    }
    return true;
}

bool TrpEngine::Initialize()
{
    TrpReport* report = Report();
    TrpCustomPreviewPages* store = PreviewPages();
    prevFooterHeight_ = 0;
    store->AddPageAction = apAdd;
    store->Initialize();
    const double now = ReportServices::Clock().Now();
    StartDate = std::floor(now);
    StartTime = now - std::floor(now);
    Running = true;
    keeping_ = false;
    keepHeader_ = false;
    keepFooter_ = false;
    CurVColumn = 0;
    aggregates_.Clear();
    headerList_.Clear();
    hBandNamesTree_.clear();
    buildingPages_.clear();

    for (int i = 0; i < report->PagesCount(); ++i) {
        if (auto* page = dynamic_cast<TrpReportPage*>(report->Pages(i))) {
            BuildBandTree(page, false);
            BuildBandTree(page, true);
        }
    }
    CheckDataSets();
    return report->Errors().isEmpty();
}

void TrpEngine::CheckDataSets()
{
    TrpReport* report = Report();
    TrpDataSet* reportDataSet = report->DataSet();
    for (int i = 0; i < report->PagesCount(); ++i) {
        auto* page = dynamic_cast<TrpReportPage*>(report->Pages(i));
        if (page == nullptr)
            continue;
        if (reportDataSet != nullptr && page->DataSet() == reportDataSet) {
            report->AddError(QStringLiteral("Cannot use the same dataset for Report.DataSet and Page.DataSet"));
            return;
        }
        for (const QPointer<TrpBand>& band : page->SubBands) {
            auto* dataBand = dynamic_cast<TrpDataBand*>(band.data());
            if (dataBand == nullptr)
                continue;
            TrpDataSet* dataSet = dataBand->DataSet();
            if (reportDataSet != nullptr && dataSet == reportDataSet) {
                report->AddError(QStringLiteral("Cannot use the same dataset for Report.DataSet and Band.DataSet"));
                break;
            }
            if (page->DataSet() != nullptr && dataSet == page->DataSet()) {
                report->AddError(QStringLiteral("Cannot use the same dataset for Page.DataSet and Band.DataSet"));
                break;
            }
        }
    }
}

void TrpEngine::BuildBandTree(TrpReportPage* page, bool vertical)
{
    TrpReport* report = Report();
    page->AlignChildren();
    std::vector<QPointer<TrpBand>>& pageList = vertical ? page->VSubBands : page->SubBands;
    pageList.clear();

    std::vector<TrpBand*> list;
    for (TrpComponent* object : page->Objects()) {
        auto* band = dynamic_cast<TrpBand*>(object);
        if (band == nullptr || band->Vertical != vertical)
            continue;
        band->ShiftChildren.clear();
        band->SubBands.clear();
        band->Header = nullptr;
        band->Footer = nullptr;
        band->Group = nullptr;
        band->HasVBands = false;
        if (auto* dataBand = dynamic_cast<TrpDataBand*>(band)) {
            if (dataBand->DataSet() == nullptr && dataBand->RowCount() > 0) {
                dataBand->SetDataSet(&dataBand->VirtualDataSet());
                dataBand->VirtualDataSet().Initialize();
            }
        }
        const int number = band->BandNumber();
        if (number >= kHeaderNumber && number <= kGroupFooterNumber)
            list.push_back(band);
    }
    if (!vertical)
        MoveObjectsIntoVerticalBands(page);
    // By position, numerically; bands at the same position keep the page's order, and every
    // band is kept.
    std::stable_sort(list.begin(), list.end(), [vertical](const TrpBand* a, const TrpBand* b) {
        return vertical ? a->Left() < b->Left() : a->Top() < b->Top();
    });

    std::vector<bool> removed(list.size(), false);
    const auto number = [&](size_t i) { return list[i]->BandNumber(); };

    // Groups: a run of group headers belongs to the next data band.
    for (size_t i = 0; i < list.size(); ++i) {
        if (removed[i] || number(i) != kGroupHeaderNumber)
            continue;
        TrpBand* first = list[i];
        first->SubBands.clear();
        first->SubBands.push_back(first);
        removed[i] = true;
        size_t j = i + 1;
        for (; j < list.size() && number(j) == kGroupHeaderNumber; ++j) {
            first->SubBands.push_back(list[j]);
            removed[j] = true;
        }
        bool connected = false;
        for (size_t k = j; k < list.size(); ++k) {
            if (!removed[k] && IsDataNumber(number(k))) {
                list[k]->Group = first;
                connected = true;
                break;
            }
        }
        if (!connected)
            report->AddError(ResourceWithName(u"enUnconnGroup", *first));
        i = j - 1;
    }
    std::vector<bool> paired(list.size(), false);
    for (size_t i = 0; i < list.size(); ++i) {
        if (number(i) != kGroupFooterNumber)
            continue;
        bool found = false;
        for (size_t k = i; k-- > 0;) {
            if (number(k) == kGroupHeaderNumber && !paired[k]) {
                paired[k] = true;
                list[k]->Footer = list[i];
                found = true;
                break;
            }
        }
        if (!found)
            report->AddError(ResourceWithName(u"enUnconnGFooter", *list[i]));
        removed[i] = true;
    }

    std::vector<TrpBand*> rest;
    for (size_t i = 0; i < list.size(); ++i) {
        if (!removed[i])
            rest.push_back(list[i]);
    }

    // Headers and footers directly around their data band.
    std::vector<bool> gone(rest.size(), false);
    for (size_t i = 0; i < rest.size(); ++i) {
        if (!IsDataNumber(rest[i]->BandNumber()))
            continue;
        if (i > 0 && !gone[i - 1] && rest[i - 1]->BandNumber() == kHeaderNumber) {
            rest[i]->Header = rest[i - 1];
            gone[i - 1] = true;
        }
        if (i + 1 < rest.size() && rest[i + 1]->BandNumber() == kFooterNumber) {
            rest[i]->Footer = rest[i + 1];
            gone[i + 1] = true;
        }
    }
    std::vector<TrpBand*> bands;
    for (size_t i = 0; i < rest.size(); ++i) {
        if (gone[i])
            continue;
        const int n = rest[i]->BandNumber();
        if (n == kHeaderNumber || n == kFooterNumber)
            report->AddError(ResourceWithName(u"enUnconnHeader", *rest[i]));
        else
            bands.push_back(rest[i]);
    }

    // Masters and their details; data bands without a data set are dropped silently.
    std::vector<bool> taken(bands.size(), false);
    const auto hasDataSet = [](TrpBand* band) {
        auto* dataBand = dynamic_cast<TrpDataBand*>(band);
        return dataBand != nullptr && dataBand->DataSet() != nullptr;
    };
    const auto attachDetails = [&](const auto& self, size_t index) -> void {
        TrpBand* band = bands[index];
        const int level = band->BandNumber();
        for (size_t k = index + 1; k < bands.size(); ++k) {
            if (taken[k])
                continue;
            const int n = bands[k]->BandNumber();
            if (n <= level)
                return;
            if (n == level + 1 && n <= kLastDataNumber) {
                taken[k] = true;
                if (hasDataSet(bands[k]))
                    band->SubBands.push_back(bands[k]);
                self(self, k);
            }
        }
    };
    for (size_t i = 0; i < bands.size(); ++i) {
        if (taken[i] || bands[i]->BandNumber() != kMasterNumber)
            continue;
        taken[i] = true;
        if (hasDataSet(bands[i]))
            pageList.push_back(bands[i]);
        attachDetails(attachDetails, i);
    }
    for (size_t i = 0; i < bands.size(); ++i) {
        if (!taken[i])
            report->AddError(ResourceWithName(u"enBandPos", *bands[i]));
    }
}

bool TrpEngine::ShowDialogPages()
{
    TrpReport* report = Report();
    if (!report->OnRunDialogs.trimmed().isEmpty()) {
        std::vector<Variant> parameters{Variant(true)};
        report->DoParamEvent(report->OnRunDialogs, parameters);
        return parameters[0].ToBoolean();
    }
    for (int i = 0; i < report->PagesCount(); ++i) {
        auto* page = dynamic_cast<TrpDialogPage*>(report->Pages(i));
        if (page == nullptr || !page->Visible() || page->Objects().empty())
            continue;
        int32_t result = 0;
        if (OnRunDialog) {
            OnRunDialog(*page);
            result = page->ModalResult();
        } else {
            result = page->ShowModal();
        }
        if (result == mrCancel)
            return false;
    }
    return true;
}

void TrpEngine::RunAllPages()
{
    firstReportPage_ = true;
    if (TrpDataSet* dataSet = Report()->DataSet()) {
        dataSet->First();
        while (!dataSet->Eof() && !Terminated()) {
            RunReportPages();
            dataSet->Next();
        }
    } else {
        RunReportPages();
    }
}

void TrpEngine::RunReportPages()
{
    TrpReport* report = Report();
    for (int i = 0; i < report->PagesCount(); ++i) {
        auto* page = dynamic_cast<TrpReportPage*>(report->Pages(i));
        if (page == nullptr || page->IsSubReport() || !page->Visible())
            continue;
        BuildPage(page);
        if (Terminated())
            return;
        firstReportPage_ = false;
    }
}

void TrpEngine::BuildPage(TrpReportPage* page)
{
    TrpReport* report = Report();
    isFirstBand_ = true;
    report->DoNotifyEvent(page, page->OnBeforePrint);
    if (TrpDataSet* dataSet = page->DataSet()) {
        dataSet->First();
        while (!dataSet->Eof() && !Terminated()) {
            RunPage(page);
            dataSet->Next();
        }
    } else {
        for (int32_t i = 0; i < std::max(page->PageCount(), 1) && !Terminated(); ++i)
            RunPage(page);
    }
    report->DoNotifyEvent(page, page->OnAfterPrint);
}

bool TrpEngine::BandHasData(TrpDataBand* band)
{
    if (band->SubBands.empty() || band->PrintIfDetailEmpty)
        return true;
    TrpReport* report = Report();
    for (const QPointer<TrpBand>& sub : band->SubBands) {
        auto* detail = dynamic_cast<TrpDataBand*>(sub.data());
        if (detail == nullptr || detail->DataSet() == nullptr)
            continue;
        report->DoNotifyEvent(detail, detail->OnMasterDetail);
        TrpDataSet* dataSet = detail->DataSet();
        dataSet->First();
        while (!dataSet->Eof()) {
            if (BandHasData(detail))
                return true;
            if (Terminated())
                return false;
            dataSet->Next();
        }
    }
    return false;
}

bool TrpEngine::MastersHaveData(TrpReportPage* page)
{
    TrpReport* report = Report();
    for (const QPointer<TrpBand>& band : page->SubBands) {
        auto* master = dynamic_cast<TrpDataBand*>(band.data());
        if (master == nullptr || master->DataSet() == nullptr)
            continue;
        report->DoNotifyEvent(master, master->OnMasterDetail);
        TrpDataSet* dataSet = master->DataSet();
        dataSet->First();
        while (!dataSet->Eof()) {
            if (BandHasData(master))
                return true;
            if (Terminated())
                return false;
            dataSet->Next();
        }
    }
    return false;
}

void TrpEngine::RunPage(TrpReportPage* page)
{
    TrpReport* report = Report();
    page_ = page;
    if (!report->EngineOptions().PrintIfEmpty && !MastersHaveData(page))
        return;
    buildingPages_.assign(1, page);
    StartPage();
    PrintPageObjects();
    if (report->OnManualBuild)
        report->OnManualBuild(*page);
    else if (!page->OnManualBuild.trimmed().isEmpty())
        report->DoNotifyEvent(page, page->OnManualBuild);
    else
        PrintDataBands(page->SubBands);

    isLastPage_ = true;
    if (page->EndlessHeight || page->EndlessWidth) {
        if (page->EndlessHeight)
            SetPageHeight(FooterHeight() + CurY);
        const double width = page->EndlessWidth
                                 ? (page->LeftMargin + page->RightMargin) * kPixelsPerMillimetre + PageWidth
                                 : page->PaperWidth() * kPixelsPerMillimetre;
        const double height = page->EndlessHeight ? TrpCustomEngine::GetPageHeight()
                                                        + (page->TopMargin + page->BottomMargin) * kPixelsPerMillimetre
                                                  : page->PaperHeight() * kPixelsPerMillimetre;
        ResizeCurrentPage(width, height);
    }
    EndPage();
    isLastPage_ = false;
}

void TrpEngine::ResizeCurrentPage(double width, double height)
{
    // The page as built so far, stored whole with its own paper (custom, in millimetres).
    TrpCustomPreviewPages* store = PreviewPages();
    const int32_t index = store->CurPage;
    if (index < 0 || index >= store->Count())
        return;
    TrpReportPage* page = store->GetPage(index);
    if (page == nullptr)
        return;
    page->SetSizeAndDimensions(kPaperCustom, width / kPixelsPerMillimetre, height / kPixelsPerMillimetre);
    store->ModifyPage(index, page);
}

void TrpEngine::StartPage()
{
    TrpReport* report = Report();
    TrpCustomPreviewPages* store = PreviewPages();
    TrpBand* title = PageBand(TrpReportTitle::Class());
    TrpBand* pageHeader = PageBand(TrpPageHeader::Class());
    headerList_.Clear();
    if (page_->TitleBeforeHeader) {
        headerList_.AddItem(title, false, 0);
        headerList_.AddItem(pageHeader, false, 0);
    } else {
        headerList_.AddItem(pageHeader, false, 0);
        headerList_.AddItem(title, false, 0);
    }

    SetPageHeight(page_->PrintableHeight());
    PageWidth = page_->PrintableWidth();
    CurX = 0;
    CurY = 0;
    pageCurX_ = 0;
    CurColumn = 1;
    isFirstPage_ = true;
    isLastPage_ = false;
    titlePrinted_ = false;
    store->Outline()->LevelRoot();

    if (page_->ResetPageNumbers)
        store->ResetLogicalPageNumber();
    if (store->Count() > 0 && page_->PrintOnPreviousPage) {
        store->CurPage = store->Count() - 1;
        CurY = store->GetLastY(0);
        headerList_.RemoveItem(title);
        ShowBand(title);
    } else {
        AddPage();
    }
    if (firstReportPage_)
        store->FirstPage = store->CurPage;

    firstColumnY_ = CurY;
    TrpBand* columnHeader = PageBand(TrpColumnHeader::Class());
    ShowBand(columnHeader);
    headerList_.AddItem(columnHeader, false, 0);
    headerList_.RemoveItem(title);

    if (!page_->OutlineText.trimmed().isEmpty()) {
        store->Outline()->LevelRoot();
        report->CurObject = page_->Name();
        store->Outline()->AddItem(report->Calc(page_->OutlineText).ToString(), 0);
    }
}

void TrpEngine::PrintPageObjects()
{
    std::vector<std::pair<TrpComponent*, int>> objects;
    const std::vector<TrpComponent*> children = page_->Objects();
    for (int i = 0; i < static_cast<int>(children.size()); ++i) {
        if (!children[i]->IsBand())
            objects.emplace_back(children[i], i);
    }
    if (objects.empty())
        return;
    // The carrier lives on the page while it prints, so that expressions find the report.
    auto* carrier = new TrpNullBand(page_);
    std::unique_ptr<TrpComponent> owned;
    const double savedY = CurY;
    const auto restore = [&] {
        for (const auto& [object, index] : objects) {
            object->SetParent(page_);
            const auto& now = page_->Objects();
            const auto it = std::find(now.begin(), now.end(), object);
            page_->MoveObject(static_cast<int>(it - now.begin()), index);
        }
        owned = carrier->Detach();
        CurY = savedY;
    };
    try {
        for (const auto& entry : objects)
            entry.first->SetParent(carrier);
        carrier->SetBounds(0, 0, PageWidth, PageHeight());
        ShowBand(carrier);
    } catch (...) {
        restore();
        throw;
    }
    restore();
}
