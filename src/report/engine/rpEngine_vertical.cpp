// Vertical bands: data printed from left to right. A horizontal band whose objects lie over
// vertical bands becomes, when it is output, the master band: the vertical bands run over
// their data sets and each of them adds copies of its objects of that row to the master band,
// side by side; what passes the page's right edge continues on the next prepared page.

#include "rpEngine.h"

#include "report/model/rpClass_datasets.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpRes.h"

#include <algorithm>

void TrpEngine::MoveObjectsIntoVerticalBands(TrpReportPage* page)
{
    std::vector<TrpBand*> verticalBands;
    for (TrpComponent* object : page->Objects()) {
        auto* band = dynamic_cast<TrpBand*>(object);
        if (band != nullptr && band->Vertical)
            verticalBands.push_back(band);
    }
    if (verticalBands.empty())
        return;
    // Objects moved by an earlier run (a report run without reloading) still mark their band.
    for (TrpBand* vertical : verticalBands) {
        for (TrpComponent* object : vertical->Objects()) {
            if (auto* origin = dynamic_cast<TrpBand*>(object->OriginalBand()))
                origin->HasVBands = true;
        }
    }
    const std::vector<TrpComponent*> children = page->Objects();
    for (TrpComponent* child : children) {
        auto* band = dynamic_cast<TrpBand*>(child);
        if (band == nullptr || band->Vertical || dynamic_cast<TrpOverlay*>(band) != nullptr)
            continue;
        const std::vector<TrpComponent*> objects = band->Objects();
        for (TrpComponent* object : objects) {
            for (TrpBand* vertical : verticalBands) {
                if (object->Left() >= vertical->Left() - 0.0001
                    && object->Left() + object->Width() <= vertical->Left() + vertical->Width() + 0.0001) {
                    object->SetOriginalBand(band);
                    object->SetParent(vertical);
                    object->SetLeft(object->Left() - vertical->Left());
                    band->HasVBands = true;
                    break;
                }
            }
        }
    }
}

void TrpEngine::RunVerticalBands(TrpBand* master)
{
    TrpReport* report = Report();
    TrpCustomPreviewPages* store = PreviewPages();
    report->CurObject = master->Name();
    master->BeforePrint();
    report->DoBeforePrint(master);
    master->OriginalObjectsCount = static_cast<int32_t>(master->Objects().size());
    master->AllowSplit = false;
    vStartPage_ = store->CurPage;
    vHeaderList_.clear();
    vPageList_.assign(1, 0);
    CurVColumn = 0;
    vMasterBand_ = master;
    CurX = 0;
    PrintVerticalDataBands(page_->VSubBands);
    vPageList_.push_back(static_cast<int32_t>(master->Objects().size()));
    store->CurPage = vStartPage_;
    CurX = 0;
    CurLine = master->LineN;
    CurLineThrough = master->LineThrough;
    store->AddPageAction = apAdd;
}

void TrpEngine::PrintVerticalDataBands(const std::vector<QPointer<TrpBand>>& bands)
{
    const std::vector<QPointer<TrpBand>> list = bands;
    for (const QPointer<TrpBand>& entry : list) {
        auto* band = dynamic_cast<TrpDataBand*>(entry.data());
        if (band == nullptr || band->DataSet() == nullptr)
            continue;
        TrpDataSet* dataSet = band->DataSet();
        if (band->Group != nullptr && !dataSet->CanStepBack())
            throw EEngineError(ResourceText(u"enGroupNoStepBack", {Variant(band->Group->Name())}).toStdString());
        dataSet->First();
        band->LineN = 1;
        band->LineThrough = 1;
        band->SetCurColumn(1);
        CurLine = 1;
        CurLineThrough = 1;
        ForgetLastValues(band);
        bool printedOne = false;
        TrpBand* header = band->Header.data();
        while (!dataSet->Eof() && !(band->RowCount() > 0 && band->LineN > band->RowCount()) && !Terminated()) {
            if (!printedOne) {
                ShowBand(header);
                auto* repeated = dynamic_cast<TrpHeader*>(header);
                if (repeated != nullptr && repeated->ReprintOnNewPage)
                    vHeaderList_.emplace_back(header);
            }
            if (band->Group != nullptr) {
                if (!printedOne)
                    InitGroups(band, true, 0);
                else
                    CheckGroups(band, 0, 0);
            }
            CurLine = band->LineN;
            CurLineThrough = band->LineThrough;
            ShowBand(band);
            NotifyObjects(band);
            ++band->LineN;
            ++band->LineThrough;
            PrintVerticalDataBands(band->SubBands);
            if (band->FooterAfterEach)
                ShowBand(band->Footer);
            printedOne = true;
            dataSet->Next();
        }
        if (printedOne) {
            if (band->Group != nullptr)
                ShowGroupFooters(0, band);
            vHeaderList_.erase(std::remove(vHeaderList_.begin(), vHeaderList_.end(), QPointer<TrpBand>(header)),
                               vHeaderList_.end());
            if (!band->FooterAfterEach)
                ShowBand(band->Footer);
        }
        if (Terminated())
            return;
    }
}

void TrpEngine::OutputVerticalBand(TrpBand* band)
{
    TrpReport* report = Report();
    TrpCustomPreviewPages* store = PreviewPages();
    TrpBand* master = vMasterBand_.data();
    if (master == nullptr)
        return; // vertical bands print only through a horizontal band over them
    auto* dataBand = dynamic_cast<TrpDataBand*>(band);
    if (dataBand != nullptr)
        ++CurVColumn;
    const bool isFooter = dynamic_cast<TrpFooter*>(band) != nullptr || dynamic_cast<TrpGroupFooter*>(band) != nullptr;
    curBand_ = isFooter ? band : master;
    report->CurObject = band->Name();
    band->BeforePrint();
    report->DoBeforePrint(band);

    if (band->Visible() && CurX + band->Width() > PageWidth + 0.0001 && CurX > 0) {
        if (page_->EndlessWidth) {
            PageWidth += band->Width();
        } else {
            // The next prepared page: the one there is, or a new one.
            store->AddPageAction = apWriteOver;
            store->AddPage(page_);
            CurX = 0;
            vPageList_.push_back(static_cast<int32_t>(master->Objects().size()));
            const std::vector<QPointer<TrpBand>> headers = vHeaderList_;
            for (const QPointer<TrpBand>& header : headers) {
                if (header != nullptr && header != band)
                    OutputVerticalBand(header);
            }
            curBand_ = isFooter ? band : master;
        }
    }

    if (band->Visible()) {
        const std::vector<TrpComponent*> objects = band->Objects();
        for (TrpComponent* object : objects) {
            auto* component = dynamic_cast<TrpReportComponent*>(object);
            if (component == nullptr || object->OriginalBand() != master)
                continue;
            report->CurObject = object->Name();
            component->BeforePrint();
            report->DoBeforePrint(object);
            if (object->Visible()) {
                component->GetData();
                report->DoNotifyEvent(object, component->OnAfterData);
            }
            std::unique_ptr<TrpComponent> copy = TrpComponent::CreateByName(object->ClassName());
            if (copy != nullptr) {
                copy->Assign(*object);
                copy->SetName(QString());
                copy->SetAliasName(object->AliasName());
                copy->SetOriginalComponent(object->OriginalComponent());
                copy->SetLeft(object->Left() + CurX);
                copy.release()->SetParent(master);
            }
            component->AfterPrint();
        }
        CurX += band->Width();
    }
    report->DoAfterPrint(band);
    band->AfterPrint();
    if (dataBand != nullptr)
        aggregates_.AddValue(dataBand, CurVColumn);
    else if (isFooter)
        aggregates_.Reset(band);
}

void TrpEngine::AddVerticalSlices(TrpBand* master)
{
    TrpCustomPreviewPages* store = PreviewPages();
    const std::vector<TrpComponent*> objects = master->Objects();
    std::vector<bool> wasVisible;
    for (TrpComponent* object : objects)
        wasVisible.push_back(object->Visible());
    const auto restore = [&] {
        for (size_t i = 0; i < objects.size(); ++i)
            objects[i]->SetVisible(wasVisible[i]);
    };
    try {
        for (size_t slice = 0; slice + 1 < vPageList_.size(); ++slice) {
            const size_t from = static_cast<size_t>(std::max(vPageList_[slice], 0));
            const size_t to = static_cast<size_t>(std::max(vPageList_[slice + 1], 0));
            for (size_t i = 0; i < objects.size(); ++i)
                objects[i]->SetVisible(wasVisible[i] && i >= from && i < to);
            master->SetTop(CurY);
            store->AddObject(master);
            if (slice + 2 < vPageList_.size()) {
                store->AddPageAction = apWriteOver;
                store->AddPage(page_);
            }
        }
    } catch (...) {
        restore();
        store->CurPage = vStartPage_;
        store->AddPageAction = apAdd;
        throw;
    }
    restore();
    store->CurPage = vStartPage_;
    store->AddPageAction = apAdd;
}
