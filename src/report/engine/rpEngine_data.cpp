// Data bands over their data sets: headers, footers and details, groups and drill-down,
// multi-column data bands, outline items and subreports.

#include "rpEngine.h"

#include "report/core/Rounding.h"
#include "report/core/Services.h"
#include "report/model/rpClass_datasets.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpRes.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

bool SameValue(const Variant& a, const Variant& b)
{
    try {
        return VariantCompare(VariantRelation::Equal, a, b);
    } catch (const platform::Exception&) {
        return false; // values that cannot be compared differ
    }
}

std::vector<TrpGroupHeader*> GroupsOf(const TrpDataBand& band)
{
    std::vector<TrpGroupHeader*> groups;
    if (band.Group == nullptr)
        return groups;
    for (const QPointer<TrpBand>& entry : band.Group->SubBands) {
        if (auto* header = dynamic_cast<TrpGroupHeader*>(entry.data()))
            groups.push_back(header);
    }
    return groups;
}

} // namespace

void TrpEngine::ForgetLastValues(TrpBand* band)
{
    for (TrpComponent* object : band->Objects()) {
        if (auto* memo = dynamic_cast<TrpCustomMemoView*>(object))
            memo->ResetSuppress();
    }
}

void TrpEngine::PrintDataBands(const std::vector<QPointer<TrpBand>>& bands)
{
    TrpReport* report = Report();
    TrpCustomPreviewPages* store = PreviewPages();
    if (!report->EngineOptions().EnableThreadSafe)
        ReportServices::Ui().ProcessEvents();
    if (Terminated())
        return;
    const std::vector<QPointer<TrpBand>> list = bands;
    for (const QPointer<TrpBand>& entry : list) {
        auto* band = dynamic_cast<TrpDataBand*>(entry.data());
        if (band == nullptr || band->DataSet() == nullptr)
            continue;
        TrpDataSet* dataSet = band->DataSet();
        // Group footers are printed with the last record of their group current, which needs a
        // step back; a data set that cannot give the previous record's values again would print
        // the next group's values under the footer.
        if (band->Group != nullptr && !dataSet->CanStepBack())
            throw EEngineError(ResourceText(u"enGroupNoStepBack", {Variant(band->Group->Name())}).toStdString());

        dataSet->First();
        band->LineN = 1;
        band->LineThrough = 1;
        band->SetCurColumn(1);
        ForgetLastValues(band);
        bool printedOne = false;
        int32_t footerPosition = 0;
        int32_t rowPosition = 0;
        double rowStart = CurY;
        auto* header = dynamic_cast<TrpHeader*>(band->Header.data());

        while (!dataSet->Eof() && !(band->RowCount() > 0 && band->LineN > band->RowCount()) && !Terminated()) {
            if (BandHasData(band)) {
                const bool keepsHeader = band->KeepHeader && header != nullptr;
                if (!printedOne) {
                    if (keepsHeader) {
                        if (isFirstBand_)
                            isFirstBand_ = !titlePrinted_;
                        keepHeader_ = !isFirstBand_;
                        StartKeep(band);
                    }
                    if (header != nullptr && header->ReprintOnNewPage)
                        headerList_.AddItem(header, false, pageCurX_);
                    ShowBand(header);
                    if (band->KeepTogether)
                        StartKeep(band);
                } else if (band->KeepTogether && band->Group == nullptr) {
                    StartKeep(band);
                }
                if (band->Group != nullptr) {
                    if (!printedOne)
                        InitGroups(band, true, 0);
                    else
                        CheckGroups(band, rowStart, rowPosition);
                }
                if (band->KeepFooter)
                    footerPosition = store->GetCurPosition();
                if (band->Columns() > 1 && band->CurColumn() == 1)
                    rowPosition = store->GetCurPosition();
                rowStart = CurY;

                CurLine = band->LineN;
                CurLineThrough = band->LineThrough;
                ShowBand(band);
                keepHeader_ = false;
                NotifyObjects(band);
                if (!printedOne && keepsHeader)
                    EndKeep(band);

                hBandNamesTree_.append(band->Name() + u'.' + QString::number(band->LineThrough));
                ++band->LineN;
                ++band->LineThrough;
                NextDataColumn(band, rowPosition, rowStart);
                AddOutlineItem(band, band->OutlineText);

                PrintDataBands(band->SubBands);

                if (!hBandNamesTree_.isEmpty())
                    hBandNamesTree_.removeLast();
                if (!band->OutlineText.trimmed().isEmpty())
                    store->Outline()->LevelUp();
                isFirstBand_ = false;
                if (band->FooterAfterEach)
                    ShowBand(band->Footer);
                printedOne = true;
            }
            if (band->Group == nullptr && band->KeepTogether)
                EndKeep(band);
            dataSet->Next();
        }

        if (band->Columns() > 1) {
            band->SetCurColumn(band->Columns());
            NextDataColumn(band, rowPosition, rowStart);
        }
        if (printedOne) {
            if (band->Group != nullptr)
                ShowGroupFooters(0, band);
            if (keeping_)
                headerList_.RemoveItem(header);
            if (!band->FooterAfterEach) {
                keepFooter_ = true;
                try {
                    if (band->KeepFooter)
                        StartKeep(band, footerPosition);
                    ShowBand(band->Footer);
                } catch (...) {
                    keepFooter_ = false;
                    throw;
                }
                keepFooter_ = false;
                if (band->KeepFooter)
                    EndKeep(band);
            }
            headerList_.RemoveItem(header);
            if (band->Group != nullptr && band->KeepTogether)
                EndKeep(band);
        }
        if (Terminated())
            break;
        isFirstBand_ = false;
    }
}

void TrpEngine::InitGroups(TrpDataBand* band, bool firstTime, int fromLevel)
{
    TrpReport* report = Report();
    const std::vector<TrpGroupHeader*> groups = GroupsOf(*band);
    for (size_t i = static_cast<size_t>(fromLevel); i < groups.size(); ++i) {
        TrpGroupHeader* group = groups[i];
        if (firstTime) {
            group->LineN = 1;
            group->LineThrough = 1;
            ForgetLastValues(group);
        } else {
            ++group->LineN;
            ++group->LineThrough;
            if (i + 1 < groups.size())
                groups[i + 1]->LineN = 0;
        }
    }
    CheckDrill(band);
    for (size_t i = static_cast<size_t>(fromLevel); i < groups.size(); ++i) {
        TrpGroupHeader* group = groups[i];
        CurLine = group->LineN;
        CurLineThrough = group->LineThrough;
        report->CurObject = group->Name();
        group->LastValue = report->Calc(group->Condition);
        if (group->KeepTogether)
            StartKeep(group);
        ShowBand(group);
        AddOutlineItem(group, group->OutlineText);
        if (group->ReprintOnNewPage) {
            if (group->Vertical)
                vHeaderList_.emplace_back(group);
            else
                headerList_.AddItem(group, keeping_, pageCurX_);
        }
    }
}

void TrpEngine::CheckGroups(TrpDataBand* band, double rowStart, int32_t rowPosition)
{
    TrpReport* report = Report();
    CheckDrill(band);
    const std::vector<TrpGroupHeader*> groups = GroupsOf(*band);
    for (size_t i = 0; i < groups.size(); ++i) {
        TrpGroupHeader* group = groups[i];
        report->CurObject = group->Name();
        const Variant value = report->Calc(group->Condition);
        if (SameValue(value, group->LastValue))
            continue;
        if (band->Columns() > 1) {
            band->SetCurColumn(band->Columns());
            NextDataColumn(band, rowPosition, rowStart);
        }
        TrpDataSet* dataSet = band->DataSet();
        dataSet->Prior();
        ShowGroupFooters(static_cast<int>(i), band);
        dataSet->Next();
        InitGroups(band, false, static_cast<int>(i));
        band->LineN = 1;
        ForgetLastValues(band);
        return;
    }
}

void TrpEngine::ShowGroupFooters(int fromLevel, TrpDataBand* band)
{
    TrpCustomPreviewPages* store = PreviewPages();
    const std::vector<TrpGroupHeader*> groups = GroupsOf(*band);
    for (int i = static_cast<int>(groups.size()) - 1; i >= fromLevel; --i) {
        TrpGroupHeader* group = groups[static_cast<size_t>(i)];
        if (auto* footer = dynamic_cast<TrpGroupFooter*>(group->Footer.data())) {
            if (footer->HideIfSingleDataRecord && band->LineN < 3)
                aggregates_.Reset(footer);
            else
                ShowBand(footer);
        }
        if (!group->OutlineText.trimmed().isEmpty())
            store->Outline()->LevelUp();
        if (group->Vertical)
            vHeaderList_.erase(std::remove(vHeaderList_.begin(), vHeaderList_.end(), QPointer<TrpBand>(group)),
                               vHeaderList_.end());
        else
            headerList_.RemoveItem(group);
        if (group->KeepTogether)
            EndKeep(group);
    }
}

void TrpEngine::CheckDrill(TrpDataBand* band)
{
    TrpReport* report = Report();
    const std::vector<TrpGroupHeader*> groups = GroupsOf(*band);
    QString path;
    for (const QString& entry : hBandNamesTree_)
        path += entry + u'.';
    for (size_t i = 0; i < groups.size(); ++i) {
        TrpGroupHeader* group = groups[i];
        if (!group->DrillDown)
            continue;
        group->DrillName = path + group->Name() + u'.' + QString::number(group->LineThrough);
        bool expanded = report->DrillState.contains(group->DrillName);
        if (group->ExpandDrillDown)
            expanded = !expanded;
        if (TrpChild* child = group->Child(); child != nullptr && !groups.front()->ShowChildIfDrillDown)
            child->SetVisible(expanded);
        for (size_t j = i + 1; j < groups.size(); ++j) {
            groups[j]->SetVisible(expanded);
            if (groups[j]->Footer != nullptr)
                groups[j]->Footer->SetVisible(expanded);
        }
        band->SetVisible(expanded);
        if (group->Footer != nullptr && !group->ShowFooterIfDrillDown)
            group->Footer->SetVisible(expanded);
        if (!expanded)
            return;
    }
}

void TrpEngine::NextDataColumn(TrpDataBand* band, int32_t rowPosition, double rowStart)
{
    if (band->Columns() <= 1 || !band->Visible())
        return;
    TrpCustomPreviewPages* store = PreviewPages();
    band->MaxY = std::max(band->MaxY, CurY);
    if (band->CurColumn() < band->Columns()) {
        CurY = rowStart;
    } else if (PageHeight() - FooterHeight() - band->MaxY > 1e-4 || (page_ != nullptr && page_->EndlessHeight)) {
        CurY = band->MaxY;
    } else if (keeping_) {
        NewColumn();
    } else {
        // The row does not fit: it moves whole to the next column or page.
        const double rowHeight = band->MaxY - rowStart;
        store->CutObjects(rowPosition);
        NewColumn();
        store->PasteObjects(CurX, CurY);
        CurY += rowHeight;
    }
    band->SetCurColumn(band->CurColumn() + 1);
}

void TrpEngine::AddOutlineItem(TrpBand* band, const QString& outlineText)
{
    if (outlineText.trimmed().isEmpty())
        return;
    TrpReport* report = Report();
    report->CurObject = band->Name();
    if (!band->Visible())
        return;
    const double top = RoundHalfEven(CurY - band->StretchedHeight);
    const int32_t rounded = top > std::numeric_limits<int32_t>::min() && top < std::numeric_limits<int32_t>::max()
                                ? static_cast<int32_t>(top)
                                : 0;
    PreviewPages()->Outline()->AddItem(report->Calc(outlineText).ToString(), rounded);
}

// --- subreports --------------------------------------------------------------------------------

void TrpEngine::RunSubreportPage(TrpSubreport* subreport)
{
    TrpReportPage* page = subreport->Page();
    if (page == nullptr)
        return;
    if (std::find(buildingPages_.begin(), buildingPages_.end(), page) != buildingPages_.end())
        throw EEngineError(ResourceText(u"enSubreportCycle", {Variant(subreport->Name())}).toStdString());
    buildingPages_.push_back(page);
    try {
        PrintDataBands(page->SubBands);
    } catch (...) {
        buildingPages_.pop_back();
        throw;
    }
    buildingPages_.pop_back();
}

void TrpEngine::ShowSubreports(TrpBand* band)
{
    std::vector<TrpSubreport*> subreports;
    for (TrpComponent* object : band->Objects()) {
        auto* subreport = dynamic_cast<TrpSubreport*>(object);
        if (subreport != nullptr && subreport->Visible() && !subreport->PrintOnParent && subreport->Page() != nullptr)
            subreports.push_back(subreport);
    }
    if (subreports.empty())
        return;
    TrpCustomPreviewPages* store = PreviewPages();
    const int32_t startPage = store->CurPage;
    const int32_t startColumn = CurColumn;
    const double startX = CurX;
    const double bandTop = CurY - band->StretchedHeight;
    const double savedOffset = pageCurX_;
    int32_t bestPage = startPage;
    int32_t bestColumn = startColumn;
    double bestY = CurY;
    for (TrpSubreport* subreport : subreports) {
        store->CurPage = startPage;
        CurColumn = startColumn;
        pageCurX_ = savedOffset + subreport->Left();
        CurX = startX + subreport->Left();
        CurY = bandTop + subreport->Top();
        try {
            RunSubreportPage(subreport);
        } catch (...) {
            pageCurX_ = savedOffset;
            throw;
        }
        const bool further = store->CurPage > bestPage || (store->CurPage == bestPage && CurColumn > bestColumn)
                             || (store->CurPage == bestPage && CurColumn == bestColumn && CurY > bestY);
        if (further) {
            bestPage = store->CurPage;
            bestColumn = CurColumn;
            bestY = CurY;
        }
    }
    store->CurPage = bestPage;
    CurColumn = bestColumn;
    CurY = bestY;
    pageCurX_ = savedOffset;
    CurX = pageCurX_;
    if (CurColumn > 1 && page_ != nullptr && CurColumn - 1 < page_->ColumnPositions().size()) {
        QString text = page_->ColumnPositions()[CurColumn - 1].trimmed();
        text.replace(u',', u'.');
        bool ok = false;
        const double millimetres = text.toDouble(&ok);
        if (ok && std::isfinite(millimetres))
            CurX += millimetres * kPixelsPerMillimetre;
    }
}

void TrpEngine::CollectParentSubreports(TrpBand* band)
{
    std::vector<TrpSubreport*> subreports;
    for (TrpComponent* object : band->Objects()) {
        auto* subreport = dynamic_cast<TrpSubreport*>(object);
        if (subreport != nullptr && subreport->Visible() && subreport->PrintOnParent && subreport->Page() != nullptr)
            subreports.push_back(subreport);
    }
    if (subreports.empty())
        return;
    TrpReport* report = Report();
    if (band->OriginalObjectsCount == -1)
        band->OriginalObjectsCount = static_cast<int32_t>(band->Objects().size());
    auto collector = std::make_unique<TrpNullBand>();
    const double savedOffset = pageCurX_;
    const double savedX = CurX;
    const double savedY = CurY;
    const QPointer<TrpBand> savedBand = curBand_;
    const auto restore = [&] {
        outputTo_ = nullptr;
        pageCurX_ = savedOffset;
        CurX = savedX;
        CurY = savedY;
        curBand_ = savedBand;
    };
    outputTo_ = collector.get();
    try {
        for (TrpSubreport* subreport : subreports) {
            pageCurX_ = savedOffset + subreport->Left();
            CurX = subreport->Left();
            CurY = subreport->Top();
            RunSubreportPage(subreport);
        }
    } catch (...) {
        restore();
        throw;
    }
    restore();

    // The collected views move into the band at their place, as they were printed.
    const std::vector<TrpComponent*> copies = collector->Objects();
    for (TrpComponent* copy : copies) {
        const std::vector<TrpComponent*> children = copy->Objects();
        for (TrpComponent* child : children) {
            if (!child->IsView() || dynamic_cast<TrpSubreport*>(child) != nullptr)
                continue;
            if (const TrpComponent* original = report->FindObject(child->Name())) {
                child->SetAliasName(original->AliasName());
                child->SetOriginalComponent(original->OriginalComponent());
            }
            child->SetName(QString());
            const double left = copy->Left() + child->Left();
            const double top = copy->Top() + child->Top();
            child->SetParent(band);
            child->SetLeft(left);
            child->SetTop(top);
            child->SetParentFont(false);
            if (auto* stretchable = dynamic_cast<TrpStretcheable*>(child))
                stretchable->StretchMode = smDontStretch;
        }
    }
}
